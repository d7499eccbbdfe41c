#include "toolkit/frames/DialogHelper.h"

#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKUserToolsManager.h"

namespace {
CTKPopupMenuBase* g_openMenu = nullptr;
HHOOK g_mouseHook = nullptr;
DialogHelper* g_hookingHelper = nullptr;

bool IsDown(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
         message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN || message == WM_NCMBUTTONDOWN;
}

bool PopupAlive() { return g_openMenu && g_openMenu->m_hWnd && ::IsWindow(g_openMenu->m_hWnd); }

// Where a screen point lies against the open popup: 0 inside, 4 outside. (The
// popup's own shadow and logo areas count as inside until the popup menus say
// otherwise.)
int PopupHitTest(POINT point) {
  RECT rect{};
  ::GetWindowRect(g_openMenu->m_hWnd, &rect);
  return ::PtInRect(&rect, point) ? 0 : 4;
}
}  // namespace

LRESULT CALLBACK DialogMouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  // Closing the popup below removes the hook; the chain is passed on all the same.
  HHOOK hook = g_mouseHook;
  if (code >= 0 && IsDown(static_cast<UINT>(wParam)) && g_hookingHelper && g_hookingHelper->m_pDlg &&
      g_hookingHelper->m_pDlg->m_hWnd) {
    POINT point{};
    ::GetCursorPos(&point);
    RECT dialogRect{};
    ::GetWindowRect(g_hookingHelper->m_pDlg->m_hWnd, &dialogRect);
    if (!::PtInRect(&dialogRect, point)) g_hookingHelper->ProcessMouseClick(point);
  }
  return ::CallNextHookEx(hook, code, wParam, lParam);
}

DialogHelper::~DialogHelper() {
  if (g_hookingHelper == this) ReleaseHook();
}

CTKPopupMenuBase* DialogHelper::GetOpenMenu() { return g_openMenu; }
DialogHelper* DialogHelper::GetHookingHelper() { return g_hookingHelper; }
BOOL DialogHelper::IsHookInstalled() { return g_mouseHook != nullptr; }

void DialogHelper::SetOpenMenu(CTKPopupMenuBase* popup) {
  g_openMenu = popup;
  if (popup) {
    if (!g_mouseHook) {
      g_mouseHook = ::SetWindowsHookExA(WH_MOUSE, DialogMouseHookProc, nullptr, ::GetCurrentThreadId());
      g_hookingHelper = this;
    }
  } else {
    if (g_mouseHook) ::UnhookWindowsHookEx(g_mouseHook);
    g_mouseHook = nullptr;
    g_hookingHelper = nullptr;
  }
}

void DialogHelper::ReleaseHook() {
  if (g_hookingHelper != this) return;
  if (g_mouseHook) ::UnhookWindowsHookEx(g_mouseHook);
  g_mouseHook = nullptr;
  g_hookingHelper = nullptr;
}

BOOL DialogHelper::ProcessMouseClick(POINT point) {
  if (g_toolbarsCustomizing || !PopupAlive()) return FALSE;
  if (PopupHitTest(point) != 4) return FALSE;
  // Outside: the popup closes and the dialog gets its focus back. A popup that
  // closes without telling us is forgotten here, so the hook cannot outlive it.
  CTKPopupMenuBase* popup = g_openMenu;
  ::SendMessageA(popup->m_hWnd, WM_CLOSE, 0, 0);
  if (g_openMenu == popup) SetOpenMenu(nullptr);
  if (m_pDlg && m_pDlg->m_hWnd && ::IsWindow(m_pDlg->m_hWnd)) ::SetFocus(m_pDlg->m_hWnd);
  return FALSE;
}

BOOL DialogHelper::PreTranslateMessage(MSG* msg) {
  const bool open = PopupAlive();
  switch (msg->message) {
    case WM_SYSKEYDOWN:
      if (open && msg->wParam == VK_MENU) {
        ::SendMessageA(g_openMenu->m_hWnd, WM_CLOSE, 0, 0);
        return TRUE;
      }
      return FALSE;
    case WM_KEYDOWN:
      if (!open) return FALSE;
      ::SendMessageA(g_openMenu->m_hWnd, WM_KEYDOWN, msg->wParam, msg->lParam);
      return TRUE;
    case WM_SYSKEYUP:
      return open;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
      return ProcessMouseClick(msg->pt);
    case WM_MOUSEMOVE:
      return open && TrackPopupMouseMove(g_openMenu, msg);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      if (!::IsWindow(msg->hwnd)) return TRUE;
      if (ProcessMouseClick(msg->pt)) return TRUE;
      // A dock bar of the dialog asks it for the bars' context menu.
      if (msg->message == WM_RBUTTONUP && !g_toolbarsCustomizing && m_pDlg && m_pDlg->m_hWnd &&
          dynamic_cast<CDockBar*>(CWnd::FromHandlePermanent(msg->hwnd))) {
        static const UINT menuMessage = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
        m_pDlg->SendMessage(
            menuMessage, reinterpret_cast<WPARAM>(m_pDlg->m_hWnd),
            static_cast<LPARAM>((static_cast<DWORD>(msg->pt.y) << 16) | (msg->pt.x & 0xFFFF)));
      }
      return FALSE;
    default:
      return FALSE;
  }
}

BOOL DialogHelper::TrackPopupMouseMove(CWnd* popup, const MSG* msg) {
  if (g_toolbarsCustomizing || !popup || !popup->m_hWnd || !::IsWindow(popup->m_hWnd) ||
      !::IsWindow(msg->hwnd))
    return FALSE;
  // The popup's own moves (it may hold the mouse, as while its band is dragged) are its.
  if (msg->hwnd == popup->m_hWnd || ::IsChild(popup->m_hWnd, msg->hwnd)) return FALSE;
  POINT screen{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
  ::ClientToScreen(msg->hwnd, &screen);
  RECT rect{};
  ::GetWindowRect(popup->m_hWnd, &rect);
  if (::PtInRect(&rect, screen)) return FALSE;
  auto* menu = dynamic_cast<CTKPopupMenuBase*>(popup);
  CWnd* bar = menu ? menu->MenuBarAt(screen) : nullptr;
  if (!bar || !bar->m_hWnd) return TRUE;
  // Addressed to the bar (or a control on it), the move goes its way; otherwise (the
  // mouse held by another window) the bar gets it in its own coordinates.
  if (msg->hwnd == bar->m_hWnd || ::IsChild(bar->m_hWnd, msg->hwnd)) return FALSE;
  ::ScreenToClient(bar->m_hWnd, &screen);
  bar->SendMessage(WM_MOUSEMOVE, msg->wParam, MAKELPARAM(screen.x, screen.y));
  return TRUE;
}

BOOL DialogHelper::OnCommand(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) != 1) return FALSE;
  const UINT command = LOWORD(wParam);
  if (g_pCommandUsageCounter) g_pCommandUsageCounter->CountUse(command);
  if (PopupAlive()) {
    ::SendMessageA(g_openMenu->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    return TRUE;
  }
  if (g_pUserToolsManager && g_pUserToolsManager->LookupTool(command))
    return g_pUserToolsManager->RunToolCommand(command);
  return FALSE;
}

void DialogHelper::OnActivate(UINT state, HWND other) {
  m_stayActive = FALSE;
  if (!m_pDlg || !m_pDlg->m_hWnd) return;
  HWND owner = m_pDlg->m_hWnd;
  HWND active = state != WA_INACTIVE ? owner : other;
  if (active && (active == owner || ::SendMessageA(active, WM_FLOATSTATUS, FS_SYNCACTIVE, 0)))
    m_stayActive = TRUE;
  if (!active) ::SendMessageA(owner, WM_NCPAINT, 1, 0);
}

void DialogHelper::OnNcActivate(BOOL& active) {
  if (!m_pDlg || !m_pDlg->m_hWnd) return;
  if (m_stayActive) active = TRUE;
  if (!::IsWindowEnabled(m_pDlg->m_hWnd)) active = FALSE;
}
