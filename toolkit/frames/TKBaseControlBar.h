#pragma once
// A bar that a look paints (toolbars, menu bars, popup menu bars, colour bars,
// outlook bars, caption bars, sizing bars, status bars). The real bars derive from it,
// so it is a framework control bar, and the looks read its bar style from there.
#include "platform/afx/afxwin.h"
#include "toolkit/frames/GlobalData.h"

class CTKBaseControlBar : public CControlBar {
public:
  enum Kind {
    kOtherBar,
    kToolBar,
    kMenuBar,
    kPopupMenuBar,
    kColorBar,
    kOutlookBar,
    kCaptionBar,
    kSizingBar,
    kStatusBar
  };
  virtual Kind LookKind() const { return kOtherBar; }
  virtual DWORD GetBarStyle() const { return m_dwStyle; }
  // The bar's vertical orientation (docked left or right, or a vertical float).
  virtual BOOL IsHorizontal() const { return TRUE; }
  // Side on which the bar is docked (a Side).
  enum Side { kFloating = 0, kDockedLeft = 1, kDockedTop = 2, kDockedRight = 3, kDockedBottom = 4 };
  virtual int DockSide() const { return kFloating; }

  // What the frame asks of its toolbars; the toolbar classes give the answers (a bar
  // of another kind keeps these defaults).
  // Makes the bar's window in the frame with the style and control id.
  virtual BOOL CreateBar(CWnd* parent, DWORD style, UINT id) { return FALSE; }
  // The bar's state under a profile name: loaded, saved, removed; true on success.
  virtual BOOL LoadState(const char* profile, int index = -1, UINT id = static_cast<UINT>(-1)) {
    return FALSE;
  }
  virtual BOOL SaveState(const char* profile, int index = -1, UINT id = static_cast<UINT>(-1)) {
    return FALSE;
  }
  virtual BOOL RemoveStateFromRegistry(const char* profile, int index = -1, UINT id = static_cast<UINT>(-1)) {
    return FALSE;
  }
  // The bar's buttons through an archive (a torn-off bar is stored this way).
  virtual void SerializeBar(CArchive& ar) {}
  // A menu character (Alt plus a letter) for one of the bar's buttons: true when a
  // button took it.
  virtual BOOL TranslateMenuChar(UINT character) { return FALSE; }
  // The index of the button at a client point, -1 for none.
  virtual int ButtonHitTest(CPoint clientPoint) const { return -1; }

  // The bar keeps its top edge line off (set by bars drawn flush under a menu).
  BOOL m_noTopEdgeLine = FALSE;
  // Caption bar: its background colour, -1 for none.
  COLORREF m_backgroundColor = (COLORREF)-1;
  // Outlook bar: paints its own background (the look's PaintBarBackground hands the
  // work to it).
  virtual void PaintOwnBackground(CDC* dc, CRect rect) {
    dc->FillSolidRect(&rect, GlobalData::Get().barShadow);
  }
  BOOL m_outlookAsksBaseLook = FALSE;
  // Colour bar: a palette docked on a toolbar.
  BOOL m_isToolbarPalette = FALSE;
  // Popup menu bar: hides its image strip; its popup narrows the strip.
  BOOL m_hidesImageStrip = FALSE;
  BOOL m_popupNarrowsStrip = TRUE;
  // Toolbars: the size of images in menus (16 by 15 by default), the button margins
  // and the custom text colour (-1: the global bar text).
  SIZE m_menuImageSize{16, 15};
  SIZE m_buttonMargins{3, 3};
  COLORREF m_customTextColor = (COLORREF)-1;
};
