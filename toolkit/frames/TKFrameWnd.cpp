#include "toolkit/frames/TKFrameWnd.h"

#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

CWnd* CTKFrameWnd::s_pOpenPopup = nullptr;

namespace {
// Registered by the first frame made, before any toolbar can send it.
UINT g_deleteToolbarMessage = 0;
}  // namespace

CTKFrameWnd::CTKFrameWnd() : m_Impl(this) {
  if (!g_deleteToolbarMessage) g_deleteToolbarMessage = ::RegisterWindowMessageA("TKTOOLBAR_DELETE");
}
CTKFrameWnd::~CTKFrameWnd() = default;

BOOL CTKFrameWnd::OnMenuPopupShown(CWnd* popup) {
  if (popup && popup->m_hWnd && GlobalData::Get().accessibilityHook)
    ::NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, popup->m_hWnd, OBJID_WINDOW, CHILDID_SELF);
  return TRUE;
}

void CTKFrameWnd::OnMenuPopupClosed(CWnd* popup) {
  if (popup && popup->m_hWnd && GlobalData::Get().accessibilityHook)
    ::NotifyWinEvent(EVENT_SYSTEM_MENUEND, popup->m_hWnd, OBJID_WINDOW, CHILDID_SELF);
  if (popup == s_pOpenPopup) s_pOpenPopup = nullptr;
}

BOOL CTKFrameWnd::NotifyPopupMenuOpen(CWnd* popup) {
  s_pOpenPopup = popup;
  if (g_toolbarsCustomizing) return TRUE;
  return OnMenuPopupShown(popup);
}

BOOL CTKFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  m_Impl.ApplyStoredPlacement(cs);
  return CFrameWnd::PreCreateWindow(cs);
}

BOOL CTKFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent) {
  m_nLoadedResourceId = resourceId;
  if (!CFrameWnd::LoadFrame(resourceId, style, parent)) return FALSE;
  if (CTKWorkspace* workspace = CurrentWorkspace()) workspace->LoadState(nullptr, &m_Impl);
  return TRUE;
}

BOOL CTKFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (g_toolbarsCustomizing) return FALSE;
  if (HIWORD(wParam) == 1) {
    if (g_pCommandUsageCounter) g_pCommandUsageCounter->CountUse(LOWORD(wParam));
    // An accelerator closes an open library popup menu first; a minimised frame
    // swallows it.
    if (s_pOpenPopup && s_pOpenPopup->m_hWnd) {
      ::SendMessageA(s_pOpenPopup->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
      return TRUE;
    }
    if (::IsIconic(m_hWnd)) return TRUE;
  }
  return CFrameWnd::OnCommand(wParam, lParam);
}

BEGIN_MESSAGE_MAP(CTKFrameWnd, CFrameWnd)
  ON_REGISTERED_MESSAGE(g_deleteToolbarMessage, OnDeleteToolbar)
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_WM_ACTIVATE()
  ON_MESSAGE(WM_MENUCHAR, OnMenuChar)
END_MESSAGE_MAP()

LRESULT CTKFrameWnd::OnDeleteToolbar(WPARAM, LPARAM lParam) {
  // Only a user-defined toolbar can be deleted: it leaves the list and goes.
  CWnd* bar = reinterpret_cast<CWnd*>(lParam);
  for (POSITION pos = m_Impl.m_userBars.GetHeadPosition(); pos;) {
    POSITION at = pos;
    if (m_Impl.m_userBars.GetNext(pos) != bar) continue;
    m_Impl.m_userBars.RemoveAt(at);
    if (bar->m_hWnd) bar->DestroyWindow();
    delete bar;
    RecalcLayout();
    return TRUE;
  }
  return FALSE;
}

void CTKFrameWnd::OnClose() {
  m_Impl.OnClosingFrame();
  CFrameWnd::OnClose();
}

void CTKFrameWnd::OnDestroy() {
  if (m_hAccelTable) {
    ::DestroyAcceleratorTable(m_hAccelTable);
    m_hAccelTable = nullptr;
  }
  CFrameWnd::OnDestroy();
}

void CTKFrameWnd::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  CFrameWnd::OnActivate(state, other, minimized);
  if (state == WA_CLICKACTIVE)
    UpdateWindow();
  else if (state == WA_INACTIVE && !g_toolbarsCustomizing && s_pOpenPopup && s_pOpenPopup->m_hWnd)
    ::SendMessageA(s_pOpenPopup->m_hWnd, WM_CLOSE, 0, 0);
}

void CTKFrameWnd::EnableDocking(DWORD style) { m_dockingSides |= style & CBRS_ALIGN_ANY; }

namespace {
DWORD AlignOfDockBar(UINT dockBarId) {
  switch (dockBarId) {
    case AFX_IDW_DOCKBAR_TOP:
      return CBRS_ALIGN_TOP;
    case AFX_IDW_DOCKBAR_BOTTOM:
      return CBRS_ALIGN_BOTTOM;
    case AFX_IDW_DOCKBAR_LEFT:
      return CBRS_ALIGN_LEFT;
    case AFX_IDW_DOCKBAR_RIGHT:
      return CBRS_ALIGN_RIGHT;
    default:
      return 0;
  }
}
}  // namespace

UINT CTKFrameWnd::DockBarIdOf(const CControlBar* bar) {
  if (!bar || bar->IsFloating()) return 0;
  DWORD style = bar->m_dwStyle;
  if (style & CBRS_ALIGN_TOP) return AFX_IDW_DOCKBAR_TOP;
  if (style & CBRS_ALIGN_BOTTOM) return AFX_IDW_DOCKBAR_BOTTOM;
  if (style & CBRS_ALIGN_LEFT) return AFX_IDW_DOCKBAR_LEFT;
  if (style & CBRS_ALIGN_RIGHT) return AFX_IDW_DOCKBAR_RIGHT;
  return 0;
}

BOOL CTKFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId) {
  if (!bar) return FALSE;
  DWORD align = AlignOfDockBar(dockBarId);
  // Without a side, the first side the bar's own style and the frame both allow,
  // in the frame's order: top, bottom, left, right.
  if (!align) {
    for (DWORD side : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT})
      if ((bar->m_dwStyle & side) && (m_dockingSides & side)) {
        align = side;
        break;
      }
  }
  if (!align || !(m_dockingSides & align)) return FALSE;
  bar->SetBarStyle((bar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | align);
  if (bar->m_hWnd) {
    for (POSITION pos = m_dockedBars.GetHeadPosition(); pos;) {
      POSITION at = pos;
      if (m_dockedBars.GetNext(pos) == bar->m_hWnd) m_dockedBars.RemoveAt(at);
    }
    m_dockedBars.AddTail(bar->m_hWnd);
    ::SetWindowPos(bar->m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  RecalcLayout();
  return TRUE;
}

BOOL CTKFrameWnd::DockControlBarBeside(CControlBar* bar, CControlBar* other) {
  if (!bar || !other) return FALSE;
  RecalcLayout();
  DWORD style = other->m_dwStyle;
  UINT dockBar = (style & CBRS_ALIGN_TOP)      ? AFX_IDW_DOCKBAR_TOP
                 : (style & CBRS_ALIGN_BOTTOM) ? AFX_IDW_DOCKBAR_BOTTOM
                 : (style & CBRS_ALIGN_LEFT)   ? AFX_IDW_DOCKBAR_LEFT
                                               : AFX_IDW_DOCKBAR_RIGHT;
  return DockControlBar(bar, dockBar);
}

void CTKFrameWnd::RecalcLayout(BOOL) {
  if (m_inRecalcLayout || !m_hWnd) return;
  m_inRecalcLayout = TRUE;
  // Forget the bars whose windows went.
  for (POSITION pos = m_dockedBars.GetHeadPosition(); pos;) {
    POSITION at = pos;
    HWND bar = m_dockedBars.GetNext(pos);
    if (!::IsWindow(bar) || ::GetParent(bar) != m_hWnd) m_dockedBars.RemoveAt(at);
  }
  AFX_SIZEPARENTPARAMS layout{};
  ::GetClientRect(m_hWnd, &layout.rect);
  layout.bStretch = TRUE;
  layout.hDWP = ::BeginDeferWindowPos(8);
  auto isDocked = [this](HWND child) {
    for (POSITION pos = m_dockedBars.GetHeadPosition(); pos;)
      if (m_dockedBars.GetNext(pos) == child) return true;
    return false;
  };
  HWND pane = nullptr;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
    if (id == AFX_IDW_PANE_FIRST)
      pane = child;
    else if (!isDocked(child))
      ::SendMessageA(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
  }
  for (DWORD side : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT}) {
    for (POSITION pos = m_dockedBars.GetHeadPosition(); pos;) {
      HWND bar = m_dockedBars.GetNext(pos);
      auto* object = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(bar));
      if (object && (object->m_dwStyle & CBRS_ALIGN_ANY) == side)
        ::SendMessageA(bar, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
  }
  if (pane && layout.hDWP)
    layout.hDWP = ::DeferWindowPos(layout.hDWP, pane, nullptr, layout.rect.left, layout.rect.top,
                                   layout.rect.right - layout.rect.left, layout.rect.bottom - layout.rect.top,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
  if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
  m_inRecalcLayout = FALSE;
}

BOOL CTKFrameWnd::ProcessKey(UINT key) {
  if (s_pOpenPopup && s_pOpenPopup->m_hWnd) {
    ::SendMessageA(s_pOpenPopup->m_hWnd, WM_KEYDOWN, key, 0);
    return TRUE;
  }
  if (::IsIconic(m_hWnd)) return TRUE;
  return FALSE;
}

BOOL CTKFrameWnd::PreTranslateMessage(MSG* msg) {
  const bool popupOpen = s_pOpenPopup && s_pOpenPopup->m_hWnd;
  CWnd* menuBar = m_Impl.GetMenuBar();
  switch (msg->message) {
    case WM_SYSKEYDOWN:
      if (popupOpen && msg->wParam == VK_MENU) {
        ::SendMessageA(s_pOpenPopup->m_hWnd, WM_CLOSE, 0, 0);
        return TRUE;
      }
      if (ProcessKey(static_cast<UINT>(msg->wParam))) return TRUE;
      // With a menu bar, Alt and F10 belong to it: the default handling would start
      // the system's own menu mode when the key comes up.
      if (menuBar && menuBar->m_hWnd && (msg->wParam == VK_MENU || msg->wParam == VK_F10)) return TRUE;
      if (msg->wParam != VK_MENU && msg->wParam != VK_F10 && ::GetKeyState(VK_CONTROL) >= 0 &&
          ::GetKeyState(VK_MENU) < 0 && ProcessMenuCharacter(static_cast<UINT>(msg->wParam)))
        return TRUE;
      break;
    case WM_SYSKEYUP:
      if (menuBar && menuBar->m_hWnd) {
        if (msg->wParam != VK_MENU && msg->wParam != VK_F10) {
          if (popupOpen) return TRUE;
          break;
        }
        if (::GetFocus() == menuBar->m_hWnd)
          ::SetFocus(m_hWnd);
        else if (!(msg->lParam & (1 << 29)))
          ::SetFocus(menuBar->m_hWnd);
        return TRUE;
      }
      if (popupOpen) return TRUE;
      break;
    case WM_KEYDOWN: {
      const bool plainF1 = msg->wParam == VK_F1 && !(msg->lParam & (1 << 30)) &&
                           ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_CONTROL) >= 0 &&
                           ::GetKeyState(VK_MENU) >= 0;
      if (!plainF1 && ProcessKey(static_cast<UINT>(msg->wParam))) return TRUE;
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: {
      if (!popupOpen || g_toolbarsCustomizing) break;
      POINT screen{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
      if (msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONDBLCLK ||
          msg->message == WM_RBUTTONDOWN || msg->message == WM_MBUTTONDOWN) {
        if (!::IsWindow(msg->hwnd)) return TRUE;
        ::ClientToScreen(msg->hwnd, &screen);
      }
      if (ProcessMouseClick(msg->message, screen)) return TRUE;
      break;
    }
    default:
      break;
  }
  return CFrameWnd::PreTranslateMessage(msg);
}

BOOL CTKFrameWnd::ProcessMouseClick(UINT, POINT screen) {
  auto* popup = dynamic_cast<CTKPopupMenu*>(s_pOpenPopup);
  if (!popup || !popup->m_hWnd) return FALSE;
  CTKPopupMenu* outermost = popup;
  for (CTKPopupMenu* at = popup; at; at = at->GetParentPopupMenu()) {
    outermost = at;
    const int hit = at->HitTest(screen);
    if (hit == CTKPopupMenu::kHitRightShadow || hit == CTKPopupMenu::kHitBottomShadow) {
      CTKPopupMenu* top = at;
      while (top->GetParentPopupMenu()) top = top->GetParentPopupMenu();
      top->CloseMenu(FALSE);
      ::SetFocus(m_hWnd);
      return TRUE;
    }
    if (hit != CTKPopupMenu::kHitOutside) return FALSE;
  }
  // Outside the whole chain. A press on the button that opened it closes it (the
  // press does not open it again).
  CTKToolbarMenuButton* opener = outermost->GetParentButton();
  CTKToolBar* bar = outermost->GetParentToolBar();
  if (opener && bar && bar->m_hWnd) {
    CRect rect = opener->m_rect;
    ::MapWindowPoints(bar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    if (rect.PtInRect(screen)) {
      outermost->CloseMenu(FALSE);
      return TRUE;
    }
  }
  const BOOL fromMenuBar = bar && bar->LookKind() == CTKBaseControlBar::kMenuBar;
  outermost->CloseMenu(FALSE);
  HWND focus = ::GetFocus();
  for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos && focus;) {
    CTKToolBar* toolbar = CTKToolBar::GetAllToolbars().GetNext(pos);
    if (toolbar->m_hWnd == focus) {
      ::SetFocus(m_hWnd);
      break;
    }
  }
  return fromMenuBar;
}

BOOL CTKFrameWnd::ProcessMenuCharacter(UINT key) {
  CWnd* menuBar = m_Impl.GetMenuBar();
  if (auto* bar = dynamic_cast<CTKToolBar*>(menuBar); bar && bar->m_hWnd && ::IsWindowVisible(bar->m_hWnd)) {
    if (bar->ProcessMnemonic(key)) return TRUE;
  }
  for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos;) {
    CTKToolBar* toolbar = CTKToolBar::GetAllToolbars().GetNext(pos);
    if (toolbar == menuBar || !toolbar->m_hWnd || !::IsWindowVisible(toolbar->m_hWnd) ||
        toolbar->LookKind() == CTKBaseControlBar::kPopupMenuBar ||
        ::GetAncestor(toolbar->m_hWnd, GA_ROOT) != m_hWnd)
      continue;
    if (toolbar->ProcessMnemonic(key)) return TRUE;
  }
  return FALSE;
}

LRESULT CTKFrameWnd::OnMenuChar(WPARAM wParam, LPARAM) {
  const UINT character = LOWORD(wParam);
  char upper[2] = {static_cast<char>(character), 0};
  ::CharUpperA(upper);
  if (ProcessMenuCharacter(static_cast<unsigned char>(upper[0]))) return static_cast<LRESULT>(-65534);
  return Default();
}
