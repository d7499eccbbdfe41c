#pragma once
// A push button of the toolkit as the looks see it (its own border routine).
#include "platform/afx/afxwin.h"
#include "toolkit/frames/GlobalData.h"

class CTKButtonBase : public CWnd {
public:
  virtual void OnDrawBorder(CDC* dc, CRect& rect, UINT state) {
    dc->Draw3dRect(&rect, GlobalData::Get().buttonHighlight, GlobalData::Get().buttonDarkShadow);
    rect.DeflateRect(1, 1);
  }
  BOOL m_pushed = FALSE;
  BOOL m_hot = FALSE;
};
