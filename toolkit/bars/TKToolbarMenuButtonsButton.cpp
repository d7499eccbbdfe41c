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
  HWND child = CTKToolbarSystemMenuButton::ActiveChildOf(m_bar);
  if (!child) return TRUE;
  // The window may have greyed its Close after the button was made.
  if (m_nSysCommand == SC_CLOSE && !CanClose(child)) {
    ::MessageBeep((UINT)-1);
    return TRUE;
  }
  ::PostMessageA(child, WM_SYSCOMMAND, m_nSysCommand, 0);
  return TRUE;
}

BOOL CTKToolbarMenuButtonsButton::CanClose(HWND window) {
  HMENU menu = window ? ::GetSystemMenu(window, FALSE) : nullptr;
  if (!menu) return FALSE;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE;
  if (!::GetMenuItemInfoA(menu, SC_CLOSE, FALSE, &info)) return FALSE;
  return !(info.fState & (MFS_GRAYED | MFS_DISABLED));
}
