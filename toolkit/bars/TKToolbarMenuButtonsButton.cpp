#include "toolkit/bars/TKToolbarMenuButtonsButton.h"

#include "toolkit/bars/TKToolbarSystemMenuButton.h"
#include "toolkit/frames/TKVisualManager.h"

IMPLEMENT_DYNCREATE(CTKToolbarMenuButtonsButton, CTKToolbarButton)

CTKToolbarMenuButtonsButton::CTKToolbarMenuButtonsButton(UINT systemCommand)
    : CTKToolbarButton(systemCommand, -1), m_nSysCommand(systemCommand) {}

void CTKToolbarMenuButtonsButton::CopyFrom(const CTKToolbarButton& source) {
  CTKToolbarButton::CopyFrom(source);
  if (const auto* other = dynamic_cast<const CTKToolbarMenuButtonsButton*>(&source))
    m_nSysCommand = other->m_nSysCommand;
}

SIZE CTKToolbarMenuButtonsButton::OnCalculateSize(CDC*, const SIZE&, BOOL) {
  return SIZE{::GetSystemMetrics(SM_CXMENUSIZE), ::GetSystemMetrics(SM_CYMENUSIZE)};
}

void CTKToolbarMenuButtonsButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList*, BOOL, BOOL,
                                         BOOL highlighted, BOOL, BOOL) {
  CTKVisualManager::GetInstance()->PaintMDIButton(dc, rect, m_nSysCommand, m_nStyle, highlighted);
}

BOOL CTKToolbarMenuButtonsButton::OnClickUp() {
  if (HWND child = CTKToolbarSystemMenuButton::ActiveChildOf(m_bar))
    ::PostMessageA(child, WM_SYSCOMMAND, m_nSysCommand, 0);
  return TRUE;
}
