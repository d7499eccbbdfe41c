#include "toolkit/frames/TKFrameWnd.h"

#include "toolkit/bars/TKToolBar.h"

#include "toolkit/frames/TKBaseControlBar.h"

#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/DialogHelper.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKMiniDockFrameWnd.h"
#include "toolkit/frames/TKPopupMenuBase.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKToolDockBar.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

CWnd* CTKFrameWnd::s_pOpenPopup = nullptr;

CTKFrameWnd::CTKFrameWnd() : m_Impl(this) {}
CTKFrameWnd::~CTKFrameWnd() = default;

BOOL CTKFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  m_Impl.ApplyStoredPlacement(cs);
  return CFrameWnd::PreCreateWindow(cs);
}

BOOL CTKFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  m_nLoadedResourceId = resourceId;
  if (!CFrameWnd::LoadFrame(resourceId, style, parent, context)) return FALSE;
  m_Impl.OnFrameLoaded();
  return TRUE;
}

BOOL CTKFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  BOOL result = FALSE;
  if (m_Impl.PreCommand(wParam, &result)) return result;
  return CFrameWnd::OnCommand(wParam, lParam);
}

void CTKFrameWnd::ContextHelpFor(CFrameWnd* frame, BOOL& running) {
  // The hook is left as it was found (customization may have it on).
  const BOOL hadHook = CTKToolBar::HasHotTrackHook();
  running = TRUE;
  if (!hadHook) CTKToolBar::SetHotTrackHook(TRUE);
  frame->CFrameWnd::OnContextHelp();
  if (!hadHook) CTKToolBar::SetHotTrackHook(FALSE);
  running = FALSE;
}

void CTKFrameWnd::OnContextHelp() { ContextHelpFor(this, m_inContextHelp); }

BOOL CTKFrameWnd::ContextHelpAgainFor(CFrameWnd* frame, DWORD_PTR data, BOOL running) {
  if (data != 0 || !running) return FALSE;
  frame->CFrameWnd::OnContextHelp();
  return TRUE;
}

void CTKFrameWnd::WinHelp(DWORD_PTR data, UINT command) {
  if (!ContextHelpAgainFor(this, data, m_inContextHelp)) CFrameWnd::WinHelp(data, command);
}

BEGIN_MESSAGE_MAP(CTKFrameWnd, CFrameWnd)
  ON_TK_FRAME_MESSAGES()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

LRESULT CTKFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CFrameWnd::OnIdleUpdateCmdUI(wParam, lParam);
  FrameHelper::UpdateOpenPopup(wParam);
  return result;
}

LRESULT CTKFrameWnd::OnMenuChar(WPARAM wParam, LPARAM) {
  return m_Impl.TakeMenuChar(LOWORD(wParam)) ? FrameHelper::kMenuCharTaken : Default();
}

namespace {
// A bar's answer to a menu character: a toolbar looks among its buttons' mnemonics
// (by the letter's key), other bars answer for themselves.
BOOL OfferMenuChar(CTKBaseControlBar* bar, UINT character) {
  if (auto* toolBar = dynamic_cast<CTKToolBar*>(bar)) {
    const UINT key = (character >= 'a' && character <= 'z') ? character - 'a' + 'A' : character;
    if (toolBar->ProcessMnemonic(key)) return TRUE;
  }
  return bar->TranslateMenuChar(character);
}

int ButtonAt(CTKBaseControlBar* bar, CPoint client) {
  if (auto* toolBar = dynamic_cast<CTKToolBar*>(bar)) return toolBar->HitTest(client);
  return bar->ButtonHitTest(client);
}
}  // namespace

BOOL CTKFrameWnd::ProcessMenuCharFor(CFrameWnd* frame, FrameHelper& impl, UINT character) {
  auto* menuBar = dynamic_cast<CTKBaseControlBar*>(impl.GetMenuBar());
  if (menuBar && menuBar->m_hWnd && menuBar->IsWindowVisible() && OfferMenuChar(menuBar, character))
    return TRUE;
  CList<CControlBar*, CControlBar*> bars;
  frame->GetDockingBars(bars);
  for (POSITION pos = bars.GetHeadPosition(); pos;) {
    auto* bar = dynamic_cast<CTKBaseControlBar*>(bars.GetNext(pos));
    if (!bar || bar == menuBar || !bar->m_hWnd || !bar->IsVisible() ||
        bar->LookKind() != CTKBaseControlBar::kToolBar)
      continue;
    if (OfferMenuChar(bar, character)) return TRUE;
  }
  return FALSE;
}

BOOL CTKFrameWnd::ProcessMouseClickFor(CFrameWnd* frame, UINT message, POINT screen, HWND window) {
  // A press on a toolbar button while customising, or with Alt held, goes to that
  // toolbar (the button is picked up to be moved).
  // Not for presses in a dialog the frame owns (the customization sheet over a bar).
  char rootClass[16] = "";
  ::GetClassNameA(::GetAncestor(window, GA_ROOT), rootClass, sizeof rootClass);
  const bool inDialog = lstrcmpA(rootClass, "#32770") == 0;
  if (message == WM_LBUTTONDOWN && !inDialog && (g_toolbarsCustomizing || ::GetKeyState(VK_MENU) < 0)) {
    CList<CControlBar*, CControlBar*> bars;
    frame->GetDockingBars(bars);
    for (POSITION pos = bars.GetHeadPosition(); pos;) {
      auto* bar = dynamic_cast<CTKBaseControlBar*>(bars.GetNext(pos));
      if (!bar || !bar->m_hWnd || !bar->IsVisible()) continue;
      POINT client = screen;
      ::ScreenToClient(bar->m_hWnd, &client);
      if (ButtonAt(bar, CPoint(client.x, client.y)) < 0) continue;
      bar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
      return TRUE;
    }
  }
  if (g_toolbarsCustomizing || !s_pOpenPopup || !s_pOpenPopup->m_hWnd) return FALSE;
  auto* popup = dynamic_cast<CTKPopupMenuBase*>(s_pOpenPopup);
  int hit = CTKPopupMenuBase::kOutside;
  if (popup) {
    hit = popup->HitTest(screen);
  } else {
    RECT rect;
    ::GetWindowRect(s_pOpenPopup->m_hWnd, &rect);
    if (::PtInRect(&rect, screen)) hit = CTKPopupMenuBase::kInside;
  }
  auto close = [&] {
    if (popup)
      popup->CloseMenu();
    else
      ::SendMessageA(s_pOpenPopup->m_hWnd, WM_CLOSE, 0, 0);
  };
  switch (hit) {
    case CTKPopupMenuBase::kRightShadow:
    case CTKPopupMenuBase::kBottomShadow:
      // A click on the shadow closes the popup and goes no further.
      close();
      ::SetFocus(frame->m_hWnd);
      return TRUE;
    case CTKPopupMenuBase::kOutside:
      break;
    default:
      return FALSE;  // the popup handles its own clicks
  }
  // The button that opened the popup handles the click itself (it closes or keeps it).
  if (popup && popup->OpenerButtonRect().PtInRect(screen)) return TRUE;
  const BOOL fromMenuBar = popup && popup->IsOpenedFromMenuBar();
  if (popup && popup->KeepsOpenOnClickOutside()) return FALSE;
  HWND focus = ::GetFocus();
  const BOOL barHadFocus =
      focus && dynamic_cast<CTKBaseControlBar*>(CWnd::FromHandlePermanent(focus)) != nullptr;
  close();
  if (barHadFocus) ::SetFocus(frame->m_hWnd);
  (void)window;
  return fromMenuBar;
}

LRESULT CTKFrameWnd::OnCreateToolbar(WPARAM, LPARAM lParam) { return m_Impl.OnCreateToolbarMessage(lParam); }

LRESULT CTKFrameWnd::OnDeleteToolbar(WPARAM, LPARAM lParam) {
  return m_Impl.DeleteUserBar(reinterpret_cast<CWnd*>(lParam));
}

void CTKFrameWnd::OnClose() {
  m_Impl.OnClosingFrame();
  CFrameWnd::OnClose();
}

void CTKFrameWnd::OnDestroy() {
  m_Impl.DestroyAccelerators();
  CFrameWnd::OnDestroy();
}

void CTKFrameWnd::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  CFrameWnd::OnActivate(state, other, minimized);
  m_Impl.OnFrameActivate(state);
}

namespace {
CMiniDockFrameWnd* NewToolkitFloatingFrame() { return new CTKMiniDockFrameWnd; }
}  // namespace

void CTKFrameWnd::EnableDocking(DWORD style) { EnableDockingFor(this, style); }

void CTKFrameWnd::EnableDockingFor(CFrameWnd* frame, DWORD style) {
  static const struct {
    UINT id;
    DWORD align;
  } sides[] = {{AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
               {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
               {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
               {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT}};
  for (const auto& side : sides) {
    if (!(style & side.align)) continue;
    CDockBar* existing = frame->GetDockBar(side.id);
    if (dynamic_cast<CTKToolDockBar*>(existing)) continue;
    if (existing) existing->DestroyWindow();  // a plain dock bar deletes itself with its window
    auto* dockBar = new CTKToolDockBar;
    if (!dockBar->Create(frame, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | side.align,
                         side.id))
      delete dockBar;
  }
  frame->m_pfnCreateFloatingFrame = NewToolkitFloatingFrame;
}

BOOL CTKFrameWnd::DockControlBarBeside(CControlBar* bar, CControlBar* other) {
  if (!bar || !other || !other->m_hWnd || !other->m_pDockBar || other->m_pDockBar->m_bFloating) return FALSE;
  // By the rows, not by where the windows are: while the frame is being made its bars
  // have no size yet.
  bar->m_pDockSite = this;
  other->m_pDockBar->DockControlBarAfter(bar, other);
  RecalcLayout();
  RememberDockPlace(bar);
  return TRUE;
}

BOOL CTKFrameWnd::ProcessKeyFor(CFrameWnd* frame, FrameHelper& impl, UINT key, BOOL* translate) {
  if (translate) *translate = TRUE;
  if (s_pOpenPopup && s_pOpenPopup->m_hWnd) {
    ::SendMessageA(s_pOpenPopup->m_hWnd, WM_KEYDOWN, key, 0);
    return TRUE;
  }
  if (::IsIconic(frame->m_hWnd)) return TRUE;
  if (g_toolbarsCustomizing) return FALSE;
  // The modifiers as they were when the key's message was made (the state the
  // message queue keeps), not as they are by now.
  BYTE modifiers = FVIRTKEY;
  if (::GetKeyState(VK_CONTROL) < 0) modifiers |= FCONTROL;
  if (::GetKeyState(VK_MENU) < 0) modifiers |= FALT;
  if (::GetKeyState(VK_SHIFT) < 0) modifiers |= FSHIFT;
  // While a control on a toolbar button has the focus the keys are its own: no frame
  // shortcut fires, and only Alt with a key still reaches the bars' menu characters.
  BOOL editing = FALSE;
  for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos && !editing;) {
    CTKToolBar* bar = CTKToolBar::GetAllToolbars().GetNext(pos);
    editing = bar->m_hWnd && bar->IsWindowVisible() && bar->HasEditedButton();
  }
  // A key of the frame's shortcuts goes to the accelerators.
  if (!editing && g_pKeyboardManager &&
      g_pKeyboardManager->IsKeyUsed(static_cast<WORD>(key), modifiers, frame, FALSE))
    return FALSE;
  // Alt alone with the key: one of the bars' menu characters.
  if ((modifiers & ~FVIRTKEY) == FALT) {
    // Letters and digits are their own characters; other keys go through the layout.
    UINT character = ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
                         ? key
                         : ::MapVirtualKeyA(key, 2 /* MAPVK_VK_TO_CHAR */);
    if (character && ProcessMenuCharFor(frame, impl, character)) return TRUE;
  }
  if (editing && translate) *translate = FALSE;
  return FALSE;
}

BOOL CTKFrameWnd::PreTranslateFor(CFrameWnd* frame, FrameHelper& impl, MSG* msg, BOOL* passOn, BOOL inPlace) {
  *passOn = FALSE;
  const bool popupOpen = s_pOpenPopup && s_pOpenPopup->m_hWnd;
  CWnd* menuBar = impl.GetMenuBar();
  UINT message = msg->message;
  if (inPlace) {
    if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) {
      *passOn = TRUE;
      return FALSE;
    }
    // Double clicks go the way of the presses. The left button's release does not:
    // over the button that opened a menu it would close the menu it just opened.
    if (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK)
      message = WM_MBUTTONUP;
  }
  switch (message) {
    case WM_SYSKEYDOWN:
      if (popupOpen && msg->wParam == VK_MENU) {
        ::SendMessageA(s_pOpenPopup->m_hWnd, WM_CLOSE, 0, 0);
        return TRUE;
      }
      if (ProcessKeyFor(frame, impl, static_cast<UINT>(msg->wParam))) return TRUE;
      // With a menu bar, Alt and F10 belong to it: the default handling would start
      // the system's own menu mode when the key comes up.
      if (menuBar && menuBar->m_hWnd && (msg->wParam == VK_MENU || msg->wParam == VK_F10)) return TRUE;
      break;
    case WM_SYSKEYUP:
      if (menuBar && menuBar->m_hWnd) {
        if (msg->wParam != VK_MENU && msg->wParam != VK_F10) {
          if (popupOpen) return TRUE;
          break;
        }
        if (::GetFocus() == menuBar->m_hWnd)
          ::SetFocus(frame->m_hWnd);
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
      if (plainF1) break;
      BOOL translate = TRUE;
      if (ProcessKeyFor(frame, impl, static_cast<UINT>(msg->wParam), &translate)) return TRUE;
      if (!translate) return FALSE;
      break;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP: {
      POINT screen{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
      if (ProcessMouseClickFor(frame, msg->message - WM_NCLBUTTONDOWN + WM_LBUTTONDOWN, screen, msg->hwnd))
        return TRUE;
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: {
      POINT screen{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
      ::ClientToScreen(msg->hwnd, &screen);
      if (ProcessMouseClickFor(frame, msg->message, screen, msg->hwnd)) return TRUE;
      // The window went while the click was handled: nothing is left to take it.
      if (!::IsWindow(msg->hwnd)) return TRUE;
      if (msg->message == WM_RBUTTONUP && !g_toolbarsCustomizing &&
          dynamic_cast<CDockBar*>(CWnd::FromHandlePermanent(msg->hwnd))) {
        static const UINT menuMessage = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
        frame->SendMessage(menuMessage, reinterpret_cast<WPARAM>(frame->m_hWnd),
                           static_cast<LPARAM>((static_cast<DWORD>(screen.y) << 16) | (screen.x & 0xFFFF)));
      }
      break;
    }
    case WM_MOUSEMOVE:
      if (popupOpen && DialogHelper::TrackPopupMouseMove(s_pOpenPopup, msg)) return TRUE;
      break;
    default:
      break;
  }
  *passOn = TRUE;
  return FALSE;
}

BOOL CTKFrameWnd::PreTranslateMessage(MSG* msg) {
  BOOL passOn = FALSE;
  if (PreTranslateFor(this, m_Impl, msg, &passOn)) return TRUE;
  if (!passOn) return FALSE;
  // The frame's keyboard shortcuts, for keys pressed in the frame and its children
  // (not in windows it merely owns, such as a sheet capturing a new shortcut).
  if (m_hAccelTable && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
      (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd)) &&
      ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg))
    return TRUE;
  return CFrameWnd::PreTranslateMessage(msg);
}

BOOL CTKFrameWnd::ProcessMenuChar(UINT character) { return ProcessMenuCharFor(this, m_Impl, character); }

BOOL CTKFrameWnd::ProcessMouseClick(UINT message, POINT screen, HWND window) {
  return ProcessMouseClickFor(this, message, screen, window);
}
