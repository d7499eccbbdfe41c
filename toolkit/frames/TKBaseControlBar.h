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
