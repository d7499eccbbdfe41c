#include "toolkit/frames/TKMDIFrameWnd.h"

#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolbarMenuButtonsButton.h"
#include "toolkit/bars/TKToolbarSystemMenuButton.h"

#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKWindowsDialog.h"
#include "toolkit/frames/TKWorkspace.h"

namespace {
// Posted to bring the menu bar's document buttons up to date once.
constexpr UINT kUpdateMenuButtons = WM_USER + 0x7F3;

// The commands of a window menu, and the ids the client gives its list of children.
constexpr UINT kFirstWindowCommand = 57648;
constexpr UINT kEndWindowCommands = 57664;
constexpr UINT kFirstChildId = 0xFF00;
constexpr UINT kLastChildId = 0xFFFE;

bool HoldsWindowCommands(CTKPopupMenu* popup) {
  for (int i = 0; i < popup->GetMenuItemCount(); ++i) {
    const UINT id = popup->GetMenuItem(i)->m_nID;
    if (id >= kFirstWindowCommand && id < kEndWindowCommands) return true;
  }
  return false;
}
}  // namespace

CTKMDIFrameWnd::CTKMDIFrameWnd() : m_Impl(this) {}
CTKMDIFrameWnd::~CTKMDIFrameWnd() = default;

void CTKMDIFrameWnd::OnContextHelp() { CTKFrameWnd::ContextHelpFor(this, m_inContextHelp); }

void CTKMDIFrameWnd::WinHelp(DWORD_PTR data, UINT command) {
  if (!CTKFrameWnd::ContextHelpAgainFor(this, data, m_inContextHelp)) CMDIFrameWnd::WinHelp(data, command);
}

BEGIN_MESSAGE_MAP(CTKMDIFrameWnd, CMDIFrameWnd)
  ON_TK_FRAME_MESSAGES()
  ON_MESSAGE(kUpdateMenuButtons, OnUpdateMenuButtons)
  ON_REGISTERED_MESSAGE(TKM_ONCHANGE_ACTIVE_TAB, OnChangeActiveTab)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

LRESULT CTKMDIFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CMDIFrameWnd::OnIdleUpdateCmdUI(wParam, lParam);
  FrameHelper::UpdateOpenPopup(wParam);
  return result;
}

BOOL CTKMDIFrameWnd::NotifyPopupMenuOpen(CWnd* popup) {
  CTKFrameWnd::SetOpenPopupMenu(popup);
  if (g_toolbarsCustomizing) return TRUE;
  auto* menu = dynamic_cast<CTKPopupMenu*>(popup);
  if (menu && m_hmenuWindow && HoldsWindowCommands(menu)) {
    // The window menu shows the children as the client lists them now: the old list
    // goes, the client refreshes its own, and each item comes with its check mark.
    for (int i = menu->GetMenuItemCount() - 1; i >= 0; --i) {
      const UINT id = menu->GetMenuItem(i)->m_nID;
      if ((id >= kFirstChildId && id <= kLastChildId) || (m_uiWindowsDlgMenuId && id == m_uiWindowsDlgMenuId))
        menu->RemoveItem(i);
    }
    ::SendMessageA(m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    HWND active = reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
    const UINT activeId = active ? static_cast<UINT>(::GetDlgCtrlID(active)) : 0;
    bool first = true;
    for (int i = 0, n = ::GetMenuItemCount(m_hmenuWindow); i < n; ++i) {
      const UINT id = ::GetMenuItemID(m_hmenuWindow, i);
      if (id < kFirstChildId || id > kLastChildId) continue;
      char text[256] = "";
      ::GetMenuStringA(m_hmenuWindow, i, text, sizeof text, MF_BYPOSITION);
      if (first) menu->InsertSeparator();
      first = false;
      CTKToolbarMenuButton item(id, nullptr, -1, text);
      // The check goes to the active child (its control id is its item's id).
      if (id == activeId || (!activeId && (::GetMenuState(m_hmenuWindow, i, MF_BYPOSITION) & MF_CHECKED)))
        item.m_nStyle |= TBBS_CHECKED;
      menu->InsertItem(item);
    }
    if (m_bShowWindowsDlgMenuItem && !first)
      menu->InsertItem(CTKToolbarMenuButton(m_uiWindowsDlgMenuId, nullptr, -1, m_strWindowsDlgMenuText));
    if (!first) menu->RecalcLayout();
  }
  return OnMenuPopupShown(popup);
}

BOOL CTKMDIFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  m_Impl.ApplyStoredPlacement(cs);
  return CMDIFrameWnd::PreCreateWindow(cs);
}

BOOL CTKMDIFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  m_nLoadedResourceId = resourceId;
  if (!CMDIFrameWnd::LoadFrame(resourceId, style, parent, context)) return FALSE;
  m_Impl.OnFrameLoaded();
  return TRUE;
}

BOOL CTKMDIFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  BOOL result = FALSE;
  if (m_Impl.PreCommand(wParam, &result)) return result;
  return CMDIFrameWnd::OnCommand(wParam, lParam);
}

BOOL CTKMDIFrameWnd::OnCmdMsg(UINT id, int code, void* extra) {
  // The item that opens the "Windows" dialog is always there to be chosen.
  if (m_bShowWindowsDlgMenuItem && m_uiWindowsDlgMenuId && id == m_uiWindowsDlgMenuId) {
    if (code == static_cast<int>(CN_UPDATE_COMMAND_UI)) {
      if (extra) static_cast<CCmdUI*>(extra)->Enable(TRUE);
      return TRUE;
    }
    if (code == CN_COMMAND) {
      ShowWindowsDialog();
      return TRUE;
    }
  }
  return CMDIFrameWnd::OnCmdMsg(id, code, extra);
}

BOOL CTKMDIFrameWnd::PreTranslateMessage(MSG* msg) {
  BOOL passOn = FALSE;
  if (CTKFrameWnd::PreTranslateFor(this, m_Impl, msg, &passOn)) return TRUE;
  return passOn ? CMDIFrameWnd::PreTranslateMessage(msg) : FALSE;
}

void CTKMDIFrameWnd::EnableDocking(DWORD style) { CTKFrameWnd::EnableDockingFor(this, style); }

BOOL CTKMDIFrameWnd::CreateClient(LPCREATESTRUCT cs, HMENU windowMenu) {
  if (!CMDIFrameWnd::CreateClient(cs, windowMenu)) return FALSE;
  // Children keep the styles they are made with: one without a system menu lives
  // maximized (CTKMDIChildWnd) instead of getting one from the client.
  ::SetWindowLongA(m_hWndMDIClient, GWL_STYLE,
                   ::GetWindowLongA(m_hWndMDIClient, GWL_STYLE) | MDIS_ALLCHILDSTYLES);
  return m_wndClientArea.AttachClient(this, m_hWndMDIClient);
}

HMENU CTKMDIFrameWnd::GetWindowMenuPopup(HMENU menu) {
  m_hmenuWindow = CMDIFrameWnd::GetWindowMenuPopup(menu);
  return m_hmenuWindow;
}

void CTKMDIFrameWnd::OnUpdateFrameMenu(HMENU alternate) {
  CMDIFrameWnd::OnUpdateFrameMenu(alternate);
  CWnd* menuBar = m_Impl.GetMenuBar();
  if (menuBar && menuBar->m_hWnd && menuBar->IsWindowVisible()) ::SetMenu(m_hWnd, nullptr);
}

void CTKMDIFrameWnd::EnableWindowsDialog(UINT commandId, const char* text, BOOL show) {
  m_uiWindowsDlgMenuId = commandId;
  m_strWindowsDlgMenuText = text ? text : "";
  m_bShowWindowsDlgMenuItem = show;
}

void CTKMDIFrameWnd::ShowWindowsDialog() {
  CTKWindowsDialog dialog(this);
  dialog.DoModal();
}

LRESULT CTKMDIFrameWnd::OnMenuChar(WPARAM wParam, LPARAM) {
  return m_Impl.TakeMenuChar(LOWORD(wParam)) ? FrameHelper::kMenuCharTaken : Default();
}

LRESULT CTKMDIFrameWnd::OnCreateToolbar(WPARAM, LPARAM lParam) {
  return m_Impl.OnCreateToolbarMessage(lParam);
}

LRESULT CTKMDIFrameWnd::OnDeleteToolbar(WPARAM, LPARAM lParam) {
  return m_Impl.DeleteUserBar(reinterpret_cast<CWnd*>(lParam));
}

void CTKMDIFrameWnd::OnClose() {
  m_Impl.OnClosingFrame();
  CMDIFrameWnd::OnClose();
}

void CTKMDIFrameWnd::OnDestroy() {
  m_Impl.DestroyAccelerators();
  CMDIFrameWnd::OnDestroy();
}

void CTKMDIFrameWnd::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  CMDIFrameWnd::OnActivate(state, other, minimized);
  m_Impl.OnFrameActivate(state);
}

void CTKMDIFrameWnd::DelayUpdateMenuBarButtons() {
  if (m_menuButtonsPosted || !m_hWnd) return;
  m_menuButtonsPosted = TRUE;
  PostMessage(kUpdateMenuButtons);
}

LRESULT CTKMDIFrameWnd::OnUpdateMenuButtons(WPARAM, LPARAM) {
  m_menuButtonsPosted = FALSE;
  UpdateMenuBarButtons();
  m_wndClientArea.UpdateTabs();
  return 0;
}

LRESULT CTKMDIFrameWnd::OnChangeActiveTab(WPARAM wParam, LPARAM) {
  CWnd* child = m_wndClientArea.m_wndTab.GetTabWnd(static_cast<int>(wParam));
  if (child && child->m_hWnd && ::GetParent(child->m_hWnd) == m_hWndMDIClient) MDIActivate(child);
  return 0;
}

void CTKMDIFrameWnd::RecalcLayout(BOOL notify) {
  CMDIFrameWnd::RecalcLayout(notify);
  m_wndClientArea.LayoutTabs();
}

void CTKMDIFrameWnd::OnSetPreviewMode(BOOL preview, CPrintPreviewState* state) {
  if (preview) {
    CMDIFrameWnd::OnSetPreviewMode(preview, state);
    m_wndClientArea.SetPreviewMode(TRUE);
  } else {
    m_wndClientArea.SetPreviewMode(FALSE);
    CMDIFrameWnd::OnSetPreviewMode(preview, state);
  }
}

void CTKMDIFrameWnd::EnableMDITabs(BOOL enable, int location) {
  m_wndClientArea.EnableTabs(enable, location);
}

void CTKMDIFrameWnd::UpdateMenuBarButtons() {
  auto* menuBar = dynamic_cast<CTKMenuBar*>(m_Impl.GetMenuBar());
  if (!menuBar || !menuBar->m_hWnd || !m_hWndMDIClient) return;
  BOOL maximized = FALSE;
  HWND child = reinterpret_cast<HWND>(
      ::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
  // A maximised child shows its system menu and caption buttons on the bar; one
  // without a system menu shows none of them.
  HMENU systemMenu = child && maximized && (::GetWindowLongA(child, GWL_STYLE) & WS_SYSMENU)
                         ? ::GetSystemMenu(child, FALSE)
                         : nullptr;
  if (systemMenu && !::IsMenu(systemMenu)) systemMenu = nullptr;
  const bool wanted = systemMenu != nullptr;
  HICON icon = wanted ? CTKMDIClientArea::IconOf(child) : nullptr;
  // The active child's template menu, or the frame's own menu with no such child.
  auto* active = dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(child));
  HMENU menu = active && active->m_hMenuShared ? active->m_hMenuShared : menuBar->GetDefaultMenu();
  const bool switchMenu = menu && menu != menuBar->GetMenu();
  auto* shown = dynamic_cast<CTKToolbarSystemMenuButton*>(menuBar->GetButton(0));
  if (!switchMenu) {
    if (wanted && shown && shown->GetSystemMenu() == systemMenu && shown->GetIcon() == icon) {
      // Same child: only its Close may have been greyed or given back meanwhile.
      const int last = menuBar->GetCount() - 1;
      auto* close = dynamic_cast<CTKToolbarMenuButtonsButton*>(menuBar->GetButton(last));
      if (close && close->GetSystemCommand() == SC_CLOSE) {
        const UINT style = CTKToolbarMenuButtonsButton::CanClose(child) ? close->m_nStyle & ~TBBS_DISABLED
                                                                        : close->m_nStyle | TBBS_DISABLED;
        if (style != close->m_nStyle) {
          close->m_nStyle = style;
          menuBar->InvalidateButton(last);
        }
      }
      return;
    }
    if (!wanted && !shown) return;
  }
  // The old buttons go (they stood for another child, or for none); they never go
  // into the list kept for a menu.
  menuBar->TakeOffCaptionButtons();
  if (switchMenu) menuBar->CreateFromMenu(menu, FALSE, FALSE);
  if (wanted) {
    menuBar->InsertButton(new CTKToolbarSystemMenuButton(systemMenu, icon), 0);
    // Minimize and restore only when the child's own caption has them; close always,
    // greyed when the child's Close is.
    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
    if (style & WS_MINIMIZEBOX) menuBar->InsertButton(new CTKToolbarMenuButtonsButton(SC_MINIMIZE));
    if (style & WS_MAXIMIZEBOX) menuBar->InsertButton(new CTKToolbarMenuButtonsButton(SC_RESTORE));
    auto* close = new CTKToolbarMenuButtonsButton(SC_CLOSE);
    if (!CTKToolbarMenuButtonsButton::CanClose(child)) close->m_nStyle |= TBBS_DISABLED;
    menuBar->InsertButton(close);
  }
  menuBar->AdjustSize();
  RecalcLayout();
  menuBar->Invalidate();
}
