#include "platform/afx/FrameWnd.h"

#include "platform/afx/ControlBar.h"
#include "platform/afx/DockBar.h"
#include "platform/afx/DockContext.h"
#include "platform/afx/DockState.h"
#include "platform/afx/MiniDockFrameWnd.h"
#include "platform/afx/PreviewView.h"
#include "platform/afx/View.h"
#include "platform/afx/WinApp.h"

const RECT CFrameWnd::rectDefault = {static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT), 0,
                                     0};

namespace {
constexpr UINT kDelayedLayout = WM_USER + 0x7F1;
}  // namespace
IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_MESSAGE(kDelayedLayout, OnDelayedLayout)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
  ON_MESSAGE(WM_MENUSELECT, OnMenuSelect)
  ON_COMMAND(ID_CONTEXT_HELP, OnContextHelp)
END_MESSAGE_MAP()

namespace {
// The help context of what lies under a screen point: the first answer to
// WM_HELPHITTEST from the window there up to the frame.
DWORD HelpContextAt(HWND frame, POINT screen) {
  for (HWND at = ::WindowFromPoint(screen); at; at = ::GetParent(at)) {
    POINT client = screen;
    ::ScreenToClient(at, &client);
    const auto context =
        static_cast<DWORD>(::SendMessageA(at, WM_HELPHITTEST, 0, MAKELPARAM(client.x, client.y)));
    if (context) return context;
    if (at == frame) break;
  }
  return 0;
}
}  // namespace

void CFrameWnd::OnContextHelp() {
  if (m_bHelpMode || !m_hWnd) return;
  m_bHelpMode = TRUE;
  const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_HELP);
  const HCURSOR old = ::SetCursor(arrow);
  ::SetCapture(m_hWnd);
  BOOL clicked = FALSE;
  DWORD context = 0;
  // The click that ends help mode is the mode's to its release: the release must not
  // reach the window under the pointer (a toolbar would open its menu).
  UINT endingRelease = 0;
  MSG msg;
  while ((m_bHelpMode || endingRelease) && ::GetCapture() == m_hWnd) {
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    switch (msg.message) {
      case WM_LBUTTONDOWN:
      case WM_NCLBUTTONDOWN:
        if (!m_bHelpMode) break;
        context = HelpContextAt(m_hWnd, msg.pt);
        clicked = TRUE;
        m_bHelpMode = FALSE;
        endingRelease = WM_LBUTTONUP;
        break;
      case WM_RBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
        if (!m_bHelpMode) break;
        m_bHelpMode = FALSE;
        endingRelease = WM_RBUTTONUP;
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_NCLBUTTONUP:
      case WM_NCRBUTTONUP: {
        const UINT release = msg.message == WM_NCLBUTTONUP   ? WM_LBUTTONUP
                             : msg.message == WM_NCRBUTTONUP ? WM_RBUTTONUP
                                                             : msg.message;
        if (release == endingRelease) endingRelease = 0;
        break;
      }
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (msg.wParam == VK_ESCAPE) m_bHelpMode = FALSE;
        break;
      case WM_MOUSEMOVE:
      case WM_NCMOUSEMOVE:
      case WM_SETCURSOR:
        ::SetCursor(arrow);
        break;
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK:
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SYSKEYUP:
      case WM_SYSCHAR:
        // Input is the help mode's while it lasts.
        break;
      default:
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        break;
    }
  }
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  ::SetCursor(old);
  m_bHelpMode = FALSE;
  if (clicked) WinHelp(context, HELP_CONTEXT);
}

namespace {
void UpdateBarsBelow(HWND parent, CFrameWnd* target, BOOL disableIfNoHandler) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    CWnd* wnd = CWnd::FromHandlePermanent(child);
    if (dynamic_cast<CDockBar*>(wnd)) {
      UpdateBarsBelow(child, target, disableIfNoHandler);
    } else if (auto* bar = dynamic_cast<CControlBar*>(wnd)) {
      if (bar->IsVisible()) bar->OnUpdateCmdUI(target, disableIfNoHandler);
    }
  }
}
}  // namespace

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  // The message pane starts with the idle text once the frame's bars are there.
  if (!m_bIdleTextShown) {
    m_bIdleTextShown = TRUE;
    if (m_nIDLastMessage == 0) SetMessageText(static_cast<UINT>(AFX_IDS_IDLEMESSAGE));
  }
  const BOOL disableIfNoHandler = wParam != 0;
  UpdateBarsBelow(m_hWnd, this, disableIfNoHandler);
  for (POSITION pos = m_listFloating.GetHeadPosition(); pos;) {
    CMiniDockFrameWnd* mini = m_listFloating.GetNext(pos);
    if (mini->m_hWnd) UpdateBarsBelow(mini->m_hWnd, this, disableIfNoHandler);
  }
  return 0;
}

CString CFrameWnd::GetMessageString(UINT id) const {
  CString text;
  if (id != 0 && text.LoadString(id)) {
    const int newline = text.Find('\n');
    if (newline >= 0) text = text.Left(newline);
  }
  return text;
}

void CFrameWnd::SetMessageText(const char* text) {
  if (!m_hWnd) return;
  if (HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_STATUS_BAR))
    ::SendMessageA(bar, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

void CFrameWnd::SetMessageText(UINT id) {
  // In print preview the page display stands where the idle text would.
  if (id == AFX_IDS_IDLEMESSAGE) {
    if (auto* preview = dynamic_cast<CPreviewView*>(m_pViewActive)) {
      preview->OnDisplayPageNumber(preview->GetCurrentPage(), preview->GetPagesShown());
      return;
    }
  }
  CString text;
  if (id != AFX_IDS_IDLEMESSAGE) text = GetMessageString(id);
  // A command without a prompt shows the idle text; a program without an idle text
  // leaves the pane as it is.
  if (text.IsEmpty() && !text.LoadString(AFX_IDS_IDLEMESSAGE)) return;
  SetMessageText(static_cast<const char*>(text));
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
  const UINT last = m_nIDLastMessage;
  const UINT id = static_cast<UINT>(wParam);
  if (lParam)
    SetMessageText(reinterpret_cast<const char*>(lParam));
  else
    SetMessageText(id);
  m_nIDLastMessage = lParam ? 0 : id;
  return static_cast<LRESULT>(last);
}

LRESULT CFrameWnd::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
  const UINT item = LOWORD(wParam), flags = HIWORD(wParam);
  if (flags == 0xFFFF && !lParam) {
    SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    return 0;
  }
  // Sub-menus and separators have no prompt; the window menu's commands take the
  // framework's prompts of the system commands.
  UINT id = (flags & (MF_POPUP | MF_SEPARATOR)) ? 0 : item;
  if (id >= 0xF000 && id <= 0xF1EF)
    id = ((id - 0xF000) >> 4) + 0xEF00;
  else if (id >= 0xFF00)
    id = 0xEF1F;
  SendMessage(WM_SETMESSAGESTRING, id);
  return 0;
}

void CFrameWnd::DelayRecalcLayout() {
  if (m_layoutPosted || !m_hWnd) return;
  m_layoutPosted = TRUE;
  PostMessage(kDelayedLayout);
}

LRESULT CFrameWnd::OnDelayedLayout(WPARAM, LPARAM) {
  m_layoutPosted = FALSE;
  RecalcLayout();
  return 0;
}

void CFrameWnd::RecalcLayout(BOOL) {
  if (m_inRecalcLayout || !m_hWnd) return;
  m_inRecalcLayout = TRUE;
  AfxRepositionBars(m_hWnd, 0, 0xFFFF, AFX_IDW_PANE_FIRST);
  m_inRecalcLayout = FALSE;
}

void CFrameWnd::ShowControlBar(CWnd* bar, BOOL show, BOOL delay) {
  if (!bar || !bar->m_hWnd) return;
  ::SetWindowPos(
      bar->m_hWnd, nullptr, 0, 0, 0, 0,
      SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  if (auto* controlBar = dynamic_cast<CControlBar*>(bar)) {
    if (CMiniDockFrameWnd* mini = CMiniDockFrameWnd::FrameOf(controlBar)) {
      if (show) {
        mini->RecalcLayout();
        ::ShowWindow(mini->m_hWnd, SW_SHOWNA);
      } else if (mini->m_wndDockBar.GetDockedVisibleCount() == 0) {
        ::ShowWindow(mini->m_hWnd, SW_HIDE);
      }
    }
  }
  if (delay)
    ::PostMessageA(m_hWnd, WM_SIZE, SIZE_RESTORED, 0);
  else
    RecalcLayout();
}

void CFrameWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  if (type != SIZE_MINIMIZED) RecalcLayout();
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass) {
    HICON icon =
        m_nIDResource ? ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDResource)) : nullptr;
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1),
                                       icon ? icon : ::LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION));
  }
  return TRUE;
}

BOOL CFrameWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect, CWnd* parent,
                       const char* menuName, DWORD exStyle) {
  HMENU menu = nullptr;
  if (menuName) menu = ::LoadMenuA(AfxGetInstanceHandle(), menuName);
  int width = rect.left == static_cast<LONG>(CW_USEDEFAULT) ? CW_USEDEFAULT : rect.right - rect.left;
  int height = rect.left == static_cast<LONG>(CW_USEDEFAULT) ? CW_USEDEFAULT : rect.bottom - rect.top;
  if (!CreateEx(exStyle, className, title, style, rect.left, rect.top, width, height,
                parent ? parent->m_hWnd : nullptr, menu)) {
    if (menu) ::DestroyMenu(menu);
    return FALSE;
  }
  return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  m_nIDResource = resourceId;
  CString title;
  if (title.LoadString(resourceId)) {
    int newline = title.Find('\n');
    if (newline >= 0) title = title.Left(newline);
  }
  if (title.IsEmpty() && AfxGetApp() && AfxGetApp()->m_pszAppName) title = AfxGetApp()->m_pszAppName;
  if (title.IsEmpty()) title.LoadString(AFX_IDS_APP_TITLE);
  const char* menuName = nullptr;
  // A child frame (one shown in place inside another window) has no menu of its own.
  if (!(style & WS_CHILD) &&
      ::FindResourceA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId), (LPCSTR)RT_MENU))
    menuName = MAKEINTRESOURCEA(resourceId);
  m_bAddToTitle = (style & FWS_ADDTOTITLE) != 0;
  m_strTitle = title;
  style &= ~FWS_ADDTOTITLE;
  HMENU menu = menuName ? ::LoadMenuA(AfxGetInstanceHandle(), menuName) : nullptr;
  if (!CreateEx(0, nullptr, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                parent ? parent->m_hWnd : nullptr, menu, context)) {
    if (menu) ::DestroyMenu(menu);
    return FALSE;
  }
  return TRUE;
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra) {
  if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, extra)) return TRUE;
  if (CWnd::OnCmdMsg(id, code, extra)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(id, code, extra);
}

void CFrameWnd::OnDestroy() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    app->m_pMainWnd = nullptr;
    ::PostQuitMessage(0);
  }
  CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy() {
  // Frames are made with new and live as long as their window.
  delete this;
}

namespace {
constexpr struct {
  UINT id;
  DWORD align;
} kSides[] = {{AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
              {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
              {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
              {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT}};

CMiniDockFrameWnd* NewMiniDockFrame() { return new CMiniDockFrameWnd; }
}  // namespace

void CFrameWnd::EnableDocking(DWORD style) {
  for (const auto& side : kSides) {
    if (!(style & side.align) || GetDockBar(side.id)) continue;
    auto* dockBar = new CDockBar;
    if (!dockBar->Create(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | side.align,
                         side.id))
      delete dockBar;
  }
  if (!m_pfnCreateFloatingFrame) m_pfnCreateFloatingFrame = NewMiniDockFrame;
}

CDockBar* CFrameWnd::GetDockBar(UINT dockBarId) const {
  if (!m_hWnd) return nullptr;
  HWND child = ::GetDlgItem(m_hWnd, static_cast<int>(dockBarId));
  return child ? dynamic_cast<CDockBar*>(CWnd::FromHandlePermanent(child)) : nullptr;
}

BOOL CFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId, const RECT* rect) {
  if (!bar) return FALSE;
  if (dockBarId == 0) {
    // The sides the bar allows (its own alignment when docking was never enabled on it).
    DWORD allowed = bar->m_dwDockStyle & CBRS_ALIGN_ANY;
    if (!allowed) allowed = bar->m_dwStyle & CBRS_ALIGN_ANY;
    for (const auto& side : kSides)
      if ((allowed & side.align) && GetDockBar(side.id)) {
        dockBarId = side.id;
        break;
      }
  }
  return DockControlBar(bar, GetDockBar(dockBarId), rect);
}

BOOL CFrameWnd::DockControlBar(CControlBar* bar, CDockBar* dockBar, const RECT* rect) {
  if (!bar || !dockBar) return FALSE;
  bar->m_pDockSite = this;
  dockBar->DockControlBar(bar, rect);
  RecalcLayout();
  RememberDockPlace(bar);
  return TRUE;
}

void CFrameWnd::RememberDockPlace(CControlBar* bar) {
  if (!bar->m_pDockContext || !bar->m_pDockBar || !bar->m_hWnd) return;
  CDockContext* context = bar->m_pDockContext;
  if (bar->m_pDockBar->m_bFloating) {
    CRect frame;
    if (CMiniDockFrameWnd* mini = CMiniDockFrameWnd::FrameOf(bar)) {
      mini->GetWindowRect(&frame);
      context->m_ptMRUFloatPos = frame.TopLeft();
      context->m_bHasMRUFloatPos = TRUE;
    }
    return;
  }
  context->m_uMRUDockID = static_cast<UINT>(bar->m_pDockBar->GetDlgCtrlID());
  bar->GetWindowRect(&context->m_rectMRUDockPos);
}

void CFrameWnd::FloatControlBar(CControlBar* bar, CPoint point, DWORD style) {
  if (!bar || !bar->m_hWnd) return;
  bar->m_pDockSite = this;
  CMiniDockFrameWnd* mini = CMiniDockFrameWnd::FrameOf(bar);
  if (!mini) {
    mini = m_pfnCreateFloatingFrame ? m_pfnCreateFloatingFrame() : new CMiniDockFrameWnd;
    if (!mini->Create(this, bar->m_dwStyle | (style & CBRS_ALIGN_ANY))) {
      delete mini;
      return;
    }
    mini->m_wndDockBar.AppendBar(bar, TRUE);
  }
  ::SetWindowPos(mini->m_hWnd, nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  mini->RecalcLayout();
  if (bar->IsVisible()) ::ShowWindow(mini->m_hWnd, SW_SHOWNA);
  RecalcLayout();
  RememberDockPlace(bar);
}

void CFrameWnd::GetDockingBars(CList<CControlBar*, CControlBar*>& bars) const {
  for (const auto& side : kSides)
    if (CDockBar* dockBar = GetDockBar(side.id))
      for (int i = 0; i < dockBar->m_arrBars.GetSize(); ++i)
        if (dockBar->m_arrBars[i]) bars.AddTail(dockBar->m_arrBars[i]);
  for (POSITION pos = m_listFloating.GetHeadPosition(); pos;) {
    CMiniDockFrameWnd* mini = m_listFloating.GetNext(pos);
    for (int i = 0; i < mini->m_wndDockBar.m_arrBars.GetSize(); ++i)
      if (mini->m_wndDockBar.m_arrBars[i]) bars.AddTail(mini->m_wndDockBar.m_arrBars[i]);
  }
}

CControlBar* CFrameWnd::GetControlBar(UINT id) const {
  CList<CControlBar*, CControlBar*> bars;
  GetDockingBars(bars);
  for (POSITION pos = bars.GetHeadPosition(); pos;) {
    CControlBar* bar = bars.GetNext(pos);
    if (bar->m_hWnd && static_cast<UINT>(bar->GetDlgCtrlID()) == id) return bar;
  }
  return nullptr;
}

void CFrameWnd::GetDockState(CDockState& state) const {
  state.Clear();
  auto addContext = [](CControlBarInfo& info, CControlBar* bar) {
    if (CDockContext* context = bar->m_pDockContext) {
      info.m_uMRUDockID = context->m_uMRUDockID;
      info.m_rectMRUDockPos = context->m_rectMRUDockPos;
      info.m_bHasMRUFloatPos = context->m_bHasMRUFloatPos;
      info.m_ptMRUFloatPos = context->m_ptMRUFloatPos;
    }
  };
  for (const auto& side : kSides) {
    CDockBar* dockBar = GetDockBar(side.id);
    if (!dockBar) continue;
    int row = 0, column = 0;
    for (int i = 1; i < dockBar->m_arrBars.GetSize(); ++i) {
      CControlBar* bar = dockBar->m_arrBars[i];
      if (!bar) {
        ++row;
        column = 0;
        continue;
      }
      if (!bar->m_hWnd) continue;
      CControlBarInfo info;
      info.m_nBarID = static_cast<UINT>(bar->GetDlgCtrlID());
      info.m_bVisible = (bar->GetStyle() & WS_VISIBLE) != 0;
      info.m_nDockBarID = side.id;
      info.m_nRow = row;
      info.m_nColumn = column++;
      addContext(info, bar);
      state.m_arrBarInfo.Add(info);
    }
  }
  for (POSITION pos = m_listFloating.GetHeadPosition(); pos;) {
    CMiniDockFrameWnd* mini = m_listFloating.GetNext(pos);
    CControlBar* bar = mini->FirstBar();
    if (!bar || !bar->m_hWnd) continue;
    CControlBarInfo info;
    info.m_nBarID = static_cast<UINT>(bar->GetDlgCtrlID());
    info.m_bVisible = (bar->GetStyle() & WS_VISIBLE) != 0;
    info.m_nDockBarID = AFX_IDW_DOCKBAR_FLOAT;
    CRect frame;
    mini->GetWindowRect(&frame);
    info.m_pointPos = frame.TopLeft();
    addContext(info, bar);
    state.m_arrBarInfo.Add(info);
  }
}

void CFrameWnd::SetDockState(const CDockState& state) {
  // The bars the state names, found while they are still in their places; they
  // leave those first, the rest stay where they are.
  CArray<CControlBar*, CControlBar*> named;
  for (int i = 0; i < state.m_arrBarInfo.GetSize(); ++i)
    named.Add(GetControlBar(state.m_arrBarInfo[i].m_nBarID));
  auto barOf = [&](UINT id) -> CControlBar* {
    for (int i = 0; i < named.GetSize(); ++i)
      if (named[i] && state.m_arrBarInfo[i].m_nBarID == id) return named[i];
    return nullptr;
  };
  for (int i = 0; i < named.GetSize(); ++i) {
    CControlBar* bar = named[i];
    if (bar && bar->m_pDockBar && !bar->m_pDockBar->m_bFloating) bar->m_pDockBar->RemoveControlBar(bar);
  }
  for (const auto& side : kSides) {
    CDockBar* dockBar = GetDockBar(side.id);
    if (!dockBar) continue;
    // The side's bars in row order, then in their order in the row.
    CArray<CControlBarInfo, const CControlBarInfo&> sorted;
    for (int i = 0; i < state.m_arrBarInfo.GetSize(); ++i)
      if (state.m_arrBarInfo[i].m_nDockBarID == side.id) sorted.Add(state.m_arrBarInfo[i]);
    for (int i = 1; i < sorted.GetSize(); ++i)
      for (int j = i; j > 0; --j) {
        CControlBarInfo a = sorted[j - 1];
        CControlBarInfo b = sorted[j];
        if (a.m_nRow < b.m_nRow || (a.m_nRow == b.m_nRow && a.m_nColumn <= b.m_nColumn)) break;
        sorted[j - 1] = b;
        sorted[j] = a;
      }
    int lastRow = -1;
    for (int i = 0; i < sorted.GetSize(); ++i) {
      CControlBar* bar = barOf(sorted[i].m_nBarID);
      if (!bar) continue;
      bar->m_pDockSite = this;
      dockBar->AppendBar(bar, sorted[i].m_nRow != lastRow);
      lastRow = sorted[i].m_nRow;
    }
  }
  for (int i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
    const CControlBarInfo& info = state.m_arrBarInfo[i];
    CControlBar* bar = named[i];
    if (!bar) continue;
    ::ShowWindow(bar->m_hWnd, info.m_bVisible ? SW_SHOWNA : SW_HIDE);
    if (info.m_nDockBarID == AFX_IDW_DOCKBAR_FLOAT) FloatControlBar(bar, info.m_pointPos);
    if (CDockContext* context = bar->m_pDockContext) {
      context->m_uMRUDockID = info.m_uMRUDockID;
      context->m_rectMRUDockPos = info.m_rectMRUDockPos;
      context->m_bHasMRUFloatPos = info.m_bHasMRUFloatPos;
      context->m_ptMRUFloatPos = info.m_ptMRUFloatPos;
    }
    if (CMiniDockFrameWnd* mini = CMiniDockFrameWnd::FrameOf(bar))
      ::ShowWindow(mini->m_hWnd, info.m_bVisible ? SW_SHOWNA : SW_HIDE);
  }
  RecalcLayout();
}

void CFrameWnd::SaveBarState(const char* profile) const {
  CDockState state;
  GetDockState(state);
  state.SaveState(profile);
}

void CFrameWnd::LoadBarState(const char* profile) {
  CDockState state;
  if (state.LoadState(profile)) SetDockState(state);
}
