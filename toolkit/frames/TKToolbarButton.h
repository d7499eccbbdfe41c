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

  BOOL IsPopupOpen() const {
    return m_popupMenu && m_popupMenu->m_hWnd && ::IsWindowVisible(m_popupMenu->m_hWnd);
  }

  UINT m_nStyle = 0;  // TBBS_ state bits
  CRect m_rect;
  CTKBaseControlBar* m_bar = nullptr;  // the toolbar holding it
  CWnd* m_popupMenu = nullptr;         // a menu button's open popup, if any
  BOOL m_refusesCustomize = FALSE;
};
