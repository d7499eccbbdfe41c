#pragma once
// What the looks need to know of the windows and buttons they paint. The bars,
// buttons, tab windows, headers and task panes of the toolkit derive from these and
// fill them in; the looks only read them. Each kind answers LookKind so a look can
// choose its drawing without knowing the full class.
#include "platform/afx/afxwin.h"
#include "toolkit/frames/GlobalData.h"

// Toolbar button styles read by the looks.
#ifndef TBBS_CHECKED
#define TBBS_CHECKED 0x10000
#define TBBS_PRESSED 0x20000
#define TBBS_DISABLED 0x40000
#define TBBS_INDETERMINATE 0x100000
#endif

// Bar border styles.
#ifndef CBRS_BORDER_LEFT
#define CBRS_BORDER_LEFT 0x100
#define CBRS_BORDER_TOP 0x200
#define CBRS_BORDER_RIGHT 0x400
#define CBRS_BORDER_BOTTOM 0x800
#define CBRS_BORDER_3D 0x80
#endif

// Status pane styles.
#ifndef SBPS_NOBORDERS
#define SBPS_NOBORDERS 0x100
#define SBPS_POPOUT 0x200
#endif

// A bar that a look paints (toolbars, menu bars, popup menu bars, colour bars,
// outlook bars, caption bars, sizing bars, status bars). The real bars derive from it,
// so it is a framework control bar; the looks read the bar style of either place.
class CTKBaseControlBar : public CControlBar {
public:
  enum Kind { kOtherBar, kToolBar, kMenuBar, kPopupMenuBar, kColorBar, kOutlookBar, kCaptionBar,
              kSizingBar, kStatusBar };
  virtual Kind LookKind() const { return kOtherBar; }
  virtual DWORD GetBarStyle() const { return barStyle | m_dwStyle; }
  // The bar's vertical orientation (docked left or right, or a vertical float).
  virtual BOOL IsHorizontal() const { return TRUE; }
  // Side on which the bar is docked: 1 left, 2 top, 3 right, 4 bottom; 0 floating.
  virtual int DockSide() const { return 0; }

  DWORD barStyle = 0;
  // The bar keeps its top edge line off (set by bars drawn flush under a menu).
  BOOL noTopEdgeLine = FALSE;
  // Caption bar: its background colour, -1 for none.
  COLORREF backgroundColor = (COLORREF)-1;
  // Outlook bar: paints its own background (slot 10 hands the work to it).
  virtual void PaintOwnBackground(CDC* dc, CRect rect) {
    dc->FillSolidRect(&rect, GlobalData::Get().barShadow);
  }
  BOOL outlookAsksBaseLook = FALSE;
  // Colour bar: a palette docked on a toolbar.
  BOOL isToolbarPalette = FALSE;
  // Popup menu bar: hides its image strip; its popup narrows the strip.
  BOOL hidesImageStrip = FALSE;
  BOOL popupNarrowsStrip = TRUE;
  // Toolbars: the size of images in menus (16 by 15 by default), the button margins
  // and the custom text colour (-1: the global bar text).
  SIZE menuImageSize{16, 15};
  SIZE buttonMargins{3, 3};
  COLORREF customTextColor = (COLORREF)-1;
};

// A popup menu (the window that hosts a popup menu bar).
class CTKPopupMenuBase : public CWnd {
public:
  CTKBaseControlBar* parentBar = nullptr;  // the bar whose button opened it
};

// A toolbar button as the looks see it.
class CTKToolbarButton {
public:
  enum Kind { kPlain, kShowAll, kOutlook, kMenuButton };
  virtual ~CTKToolbarButton() = default;
  virtual Kind LookKind() const { return kPlain; }
  // The button's own border drawing (used with the flat button style); nonzero when
  // it drew the border itself.
  virtual BOOL OnDrawBorder(CDC* dc, CRect& rect, int state) { return FALSE; }

  UINT nStyle = 0;
  CRect rect;
  CTKBaseControlBar* bar = nullptr;        // the toolbar holding it
  CWnd* popupMenu = nullptr;               // a menu button's open popup, if any
  BOOL refusesCustomize = FALSE;
  BOOL popupIsOpen() const { return popupMenu && popupMenu->m_hWnd && ::IsWindowVisible(popupMenu->m_hWnd); }
};

// The caption buttons of sizing bars (hide, expand/collapse).
class CTKCaptionButton {
public:
  CRect rect;
  int hitTest = 0;        // 19: the hide button
  BOOL pushed = FALSE;
  BOOL focused = FALSE;
};

// A push button of the toolkit (its own border routine).
class CTKButtonBase : public CWnd {
public:
  virtual void OnDrawBorder(CDC* dc, CRect& rect, UINT state) {
    dc->Draw3dRect(&rect, GlobalData::Get().buttonHighlight, GlobalData::Get().buttonDarkShadow);
    rect.DeflateRect(1, 1);
  }
  BOOL pushed = FALSE;
  BOOL hot = FALSE;
};

// A tab window as the looks see it.
class CTKTabWndBase : public CWnd {
public:
  enum Style { kStyle3D, kStyleFlat, kStyle3DScrolled, kStyle3DOneNote, kStyle3DVS2005,
               kStyleSlanted, kStyleHalfSlanted };
  virtual ~CTKTabWndBase() = default;
  virtual int GetTabIcon(int tab) const { return -1; }
  virtual const char* GetTabLabel(int tab) const { return ""; }
  virtual COLORREF GetTabColor(int tab) const { return (COLORREF)-1; }
  virtual COLORREF GetTabTextColor(int tab) const { return (COLORREF)-1; }
  Style style = kStyle3D;
  BOOL locationBottom = FALSE;
  BOOL labelsOnly = FALSE;
  BOOL hidePrefix = FALSE;
  BOOL centredLabels = FALSE;
  int activeTab = 0;
  COLORREF faceColor = (COLORREF)-1;
  HIMAGELIST imageList = nullptr;
  SIZE imageSize{16, 16};
};

// A header control of the sorting lists.
class CTKHeaderCtrlBase : public CHeaderCtrl {
public:
  BOOL dialogColors = FALSE;
};

// The tasks pane's groups and tasks (a pane this program does not show).
class CTKTasksGroup {
public:
  CRect rect;
  const char* caption = "";
  BOOL special = FALSE;
  BOOL collapsed = FALSE;
  HICON icon = nullptr;
  COLORREF textColor = (COLORREF)-1;
};

class CTKTask {
public:
  CRect rect;
  const char* text = "";
  BOOL separator = FALSE;
  BOOL enabled = TRUE;
  BOOL hot = FALSE;
  int image = -1;
  HIMAGELIST imageList = nullptr;
  COLORREF textColor = (COLORREF)-1;
};

// Whether the toolbars are being customised (set by the customisation sheet).
extern BOOL g_toolbarsCustomizing;
