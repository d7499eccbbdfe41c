#include "app/bars/TVLMenuBar.h"

#include "app/bars/TVLToolBar.h"

IMPLEMENT_SERIAL(CTVLMenuBar, CWnd, 0x80000001)

BEGIN_MESSAGE_MAP(CTVLMenuBar, CTKMenuBar)
END_MESSAGE_MAP()

CTVLMenuBar::CTVLMenuBar() = default;

CTVLMenuBar::~CTVLMenuBar() = default;

BOOL CTVLMenuBar::Create(CWnd* parent, DWORD style, UINT id) {
  return CreateEx(parent, 0x800, style, CRect(1, 1, 1, 1), id);
}

BOOL CTVLMenuBar::CreateEx(CWnd* parent, DWORD controlStyle, DWORD style, CRect borders, UINT id) {
  m_pParentFrame = dynamic_cast<CFrameWnd*>(parent);
  return CTVLToolBar::CreateBarWindow(*this, parent, controlStyle, style, borders, id);
}
