#pragma once
// A toolbar button as the looks see it.
#include "platform/afx/afxwin.h"
#include "toolkit/frames/BarStyles.h"

class CTKBaseControlBar;

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
