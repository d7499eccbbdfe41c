#include "toolkit/bars/TKToolbarSystemMenuButton.h"

#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolBar.h"

IMPLEMENT_DYNCREATE(CTKToolbarSystemMenuButton, CTKToolbarMenuButton)

namespace {

BOOL CALLBACK FindMdiClient(HWND hwnd, LPARAM found) {
  char name[32] = "";
  ::GetClassNameA(hwnd, name, sizeof name);
  if (lstrcmpiA(name, "MDIClient") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

}  // namespace

CTKToolbarSystemMenuButton::CTKToolbarSystemMenuButton(HMENU systemMenu, HICON icon)
    : CTKToolbarMenuButton(0, systemMenu, -1), m_hSysMenu(systemMenu), m_hSysIcon(icon) {}

void CTKToolbarSystemMenuButton::CopyFrom(const CTKToolbarButton& source) {
  CTKToolbarMenuButton::CopyFrom(source);
  if (const auto* other = dynamic_cast<const CTKToolbarSystemMenuButton*>(&source)) {
    m_hSysMenu = other->m_hSysMenu;
    m_hSysIcon = other->m_hSysIcon;
  }
}

SIZE CTKToolbarSystemMenuButton::OnCalculateSize(CDC*, const SIZE& defaultSize, BOOL) {
  return SIZE{::GetSystemMetrics(SM_CXSMICON), defaultSize.cy};
}

void CTKToolbarSystemMenuButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList*, BOOL, BOOL, BOOL,
                                        BOOL, BOOL) {
  if (!m_hSysIcon) return;
  int width = ::GetSystemMetrics(SM_CXSMICON), height = ::GetSystemMetrics(SM_CYSMICON);
  // A small icon taller than the small caption buttons would not fit the bar.
  if (height > ::GetSystemMetrics(SM_CYSMSIZE)) width = height = 16;
  ::DrawIconEx(dc->m_hDC, rect.left, rect.top + (rect.Height() - height) / 2, m_hSysIcon, width, height, 0,
               nullptr, DI_NORMAL);
}

HWND CTKToolbarSystemMenuButton::ActiveChildOf(CTKBaseControlBar* bar) {
  if (!bar || !bar->m_hWnd) return nullptr;
  HWND top = ::GetAncestor(bar->m_hWnd, GA_ROOT);
  // A bar floating in its own small frame belongs to the frame that owns it.
  if (HWND owner = ::GetWindow(top, GW_OWNER)) top = owner;
  HWND client = nullptr;
  ::EnumChildWindows(top, &FindMdiClient, reinterpret_cast<LPARAM>(&client));
  if (!client) return nullptr;
  return reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0));
}

void CTKToolbarSystemMenuButton::OnDblClick(CWnd*) {
  if (CTKToolBar::IsCustomizeMode()) return;
  OnCancelMode();
  HWND child = ActiveChildOf(m_bar);
  if (!child) return;
  HMENU menu = ::GetSystemMenu(child, FALSE);
  const UINT state = menu ? ::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) : 0;
  if (state != (UINT)-1 && (state & (MF_GRAYED | MF_DISABLED))) return;
  ::SendMessageA(child, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CTKToolbarSystemMenuButton::OnCancelMode() {
  if (CTKPopupMenu* popup = GetPopupMenu();
      popup && popup->m_hWnd && popup->GetMenuBar() && !popup->IsInCommand()) {
    popup->m_bAutoDestroyParent = FALSE;
    popup->CloseMenu(FALSE);
  }
  m_popupMenu = nullptr;
  m_nStyle &= ~TBBS_PRESSED;
}

void CTKToolbarSystemMenuButton::CreateFromMenu(HMENU menu) {
  m_hSysMenu = menu;
  CTKToolbarMenuButton::CreateFromMenu(menu);
}

HMENU CTKToolbarSystemMenuButton::CreateMenu() const {
  HMENU menu = CTKToolbarMenuButton::CreateMenu();
  if (!menu || !m_hSysMenu || !::IsMenu(m_hSysMenu)) return menu;
  // The window's own menu says which commands are checked or greyed now.
  const int count = ::GetMenuItemCount(m_hSysMenu);
  for (int i = 0; i < count; ++i) {
    const UINT id = ::GetMenuItemID(m_hSysMenu, i);
    if (id == 0 || id == (UINT)-1) continue;
    const UINT state = ::GetMenuState(m_hSysMenu, i, MF_BYPOSITION);
    ::CheckMenuItem(menu, id, MF_BYCOMMAND | ((state & MF_CHECKED) ? MF_CHECKED : MF_UNCHECKED));
    ::EnableMenuItem(menu, id, MF_BYCOMMAND | (state & (MF_GRAYED | MF_DISABLED)));
  }
  return menu;
}
