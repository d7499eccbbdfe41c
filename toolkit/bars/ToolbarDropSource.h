#pragma once
// The one drop source of dragged toolbar buttons: the removal cursor outside any
// toolbar, the move or copy cursor over one.
#include "platform/afx/afxole.h"

class CToolbarDropSource : public COleDropSource {
public:
  static CToolbarDropSource& Get();

  BOOL OnBeginDrag(CWnd* window) override;
  SCODE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  SCODE GiveFeedback(DWORD dropEffect) override;

  HCURSOR m_hcurDelete = nullptr;
  HCURSOR m_hcurMove = nullptr;
  HCURSOR m_hcurCopy = nullptr;
  // Set while the mouse is outside every toolbar (a drop there removes the button).
  BOOL m_bDeleteOnDrop = TRUE;
  BOOL m_bEscapePressed = FALSE;
};
