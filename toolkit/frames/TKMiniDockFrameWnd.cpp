#include "toolkit/frames/TKMiniDockFrameWnd.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKPopupMenuBase.h"
#include "toolkit/frames/TKSizingControlBar.h"
#include "toolkit/frames/TKVisualManager.h"

BOOL CTKMiniDockFrameWnd::Create(CFrameWnd* dockSite, DWORD barStyle) {
  if (!CMiniDockFrameWnd::Create(dockSite, barStyle)) return FALSE;
  ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, ::GetWindowLongA(m_hWnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  return TRUE;
}

BEGIN_MESSAGE_MAP(CTKMiniDockFrameWnd, CMiniDockFrameWnd)
  ON_WM_CLOSE()
  ON_WM_NCRBUTTONDOWN()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_NCMOUSEMOVE()
  ON_WM_NCPAINT()
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_WM_WINDOWPOSCHANGING()
  ON_WM_WINDOWPOSCHANGED()
  ON_WM_NCACTIVATE()
END_MESSAGE_MAP()

CTKSizingControlBar* CTKMiniDockFrameWnd::SizingBar() const {
  return dynamic_cast<CTKSizingControlBar*>(FirstBar());
}

void CTKMiniDockFrameWnd::SetRolling(int rollingType, BOOL rolled) {
  m_rollingType = rollingType;
  m_isRolled = rolled;
  ApplyRolling();
}

void CTKMiniDockFrameWnd::ApplyRolling() {
  if (CTKSizingControlBar* bar = SizingBar()) {
    bar->m_rollingType = m_rollingType;
    bar->m_isRolled = m_isRolled;
  }
  if (!m_hWnd) return;
  PlaceRollButton();
  RecalcLayout();
  // The rolled size comes with the next size change; ask for one at the same size.
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  CRect window;
  GetWindowRect(&window);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.Width(), window.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CTKMiniDockFrameWnd::PlaceRollButton() {
  if (!m_rollingType || !m_hWnd) {
    m_rollButton = CRect(0, 0, 0, 0);
    return;
  }
  const BOOL thick = (GetStyle() & WS_THICKFRAME) != 0;
  const int borderX = ::GetSystemMetrics(thick ? SM_CXFRAME : SM_CXDLGFRAME);
  const int borderY = ::GetSystemMetrics(thick ? SM_CYFRAME : SM_CYDLGFRAME);
  CRect window;
  GetWindowRect(&window);
  const int right = window.Width() - borderX;
  const int top = borderY;
  const int cx = ::GetSystemMetrics(SM_CXSMSIZE), cy = ::GetSystemMetrics(SM_CYSMSIZE);
  // Just left of the close button, inside the caption.
  m_rollButton = CRect(right - 2 * cx, top + 2, right - cx - 2, top + cy - 2);
}

void CTKMiniDockFrameWnd::OnSize(UINT type, int cx, int cy) {
  CMiniDockFrameWnd::OnSize(type, cx, cy);
  PlaceRollButton();
  if (m_rollingType) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void CTKMiniDockFrameWnd::OnNcPaint() {
  Default();
  if (!m_rollingType || m_rollButton.IsRectEmpty()) return;
  HDC dc = ::GetWindowDC(m_hWnd);
  RECT button = m_rollButton;
  ::DrawFrameControl(dc, &button, DFC_BUTTON, DFCS_BUTTONPUSH);
  // Pinned open (or a manual roll that is open): an arrow up; rolling by itself or
  // rolled: an arrow down.
  const BOOL pinned = m_rollingType == 3 || m_rollingType == 5 || (!AutoRolls() && !m_isRolled);
  const SIZE glyph = MenuImages::Size();
  CDC cdc(dc);
  MenuImages::Draw(&cdc, pinned ? MenuImages::kArrowUp : MenuImages::kArrowDown,
                   POINT{m_rollButton.left + (m_rollButton.Width() - glyph.cx) / 2,
                         m_rollButton.top + (m_rollButton.Height() - glyph.cy) / 2});
  ::ReleaseDC(m_hWnd, dc);
}

void CTKMiniDockFrameWnd::OnNcLButtonDown(UINT hitTest, CPoint point) {
  CRect window;
  GetWindowRect(&window);
  if (m_rollingType && m_rollButton.PtInRect(CPoint(point.x - window.left, point.y - window.top))) {
    switch (m_rollingType) {
      case 2:
        m_rollingType = 3;
        m_isRolled = FALSE;
        break;
      case 3:
        m_rollingType = 2;
        break;
      case 4:
        m_rollingType = 5;
        m_isRolled = FALSE;
        break;
      case 5:
        m_rollingType = 4;
        break;
      default:
        m_isRolled = !m_isRolled;
        break;
    }
    ApplyRolling();
    if (AutoRolls()) {
      m_rollCountdown = 6;
      SetTimer(static_cast<UINT_PTR>(FirstBar()->GetDlgCtrlID()), 250);
    }
    return;
  }
  CMiniDockFrameWnd::OnNcLButtonDown(hitTest, point);
}

void CTKMiniDockFrameWnd::OnNcMouseMove(UINT hitTest, CPoint point) {
  CMiniDockFrameWnd::OnNcMouseMove(hitTest, point);
  if (!AutoRolls() || !m_isRolled || !SizingBar()) return;
  CWnd* main = AfxGetMainWnd();
  if ((main && main->m_hWnd && !main->IsWindowEnabled()) || CTKFrameWnd::OpenPopupMenu() || !::GetFocus())
    return;
  // The cursor over a rolled frame opens it until the cursor and the focus leave.
  m_isRolled = FALSE;
  ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ApplyRolling();
  m_rollCountdown = 6;
  SetTimer(static_cast<UINT_PTR>(FirstBar()->GetDlgCtrlID()), 250);
}

void CTKMiniDockFrameWnd::OnTimer(UINT_PTR id) {
  CControlBar* bar = FirstBar();
  if (!bar || id != static_cast<UINT_PTR>(bar->GetDlgCtrlID())) {
    CMiniDockFrameWnd::OnTimer(id);
    return;
  }
  // Pinned open (or a manual roll): nothing rolls by itself any more.
  if (!AutoRolls()) {
    KillTimer(id);
    return;
  }
  POINT cursor;
  ::GetCursorPos(&cursor);
  HWND under = ::WindowFromPoint(cursor);
  const BOOL overFrame = under && (under == m_hWnd || ::IsChild(m_hWnd, under));
  HWND focus = ::GetFocus();
  const BOOL focusInside = focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
  const BOOL popupOpen = CTKFrameWnd::OpenPopupMenu() != nullptr;
  if (overFrame || focusInside || ::GetCapture() == bar->m_hWnd) {
    m_rollCountdown = 6;
    if (overFrame && !popupOpen && IsWindowEnabled() && focus)
      ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  if (popupOpen) return;
  if (m_rollCountdown < 1) {
    m_isRolled = TRUE;
    ApplyRolling();
    KillTimer(id);
  }
  --m_rollCountdown;
}

void CTKMiniDockFrameWnd::OnWindowPosChanging(WINDOWPOS* pos) {
  CMiniDockFrameWnd::OnWindowPosChanging(pos);
  if (!m_rollingType || !m_isRolled || (pos->flags & SWP_NOSIZE)) return;
  pos->cy = 2 * ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYSMCAPTION) - 1;
  if (m_rollingType == 4) {
    // Narrow: the caption's buttons and its text, measured once.
    if (m_narrowLeft < 0) {
      CString text;
      GetWindowText(text);
      HDC dc = ::GetWindowDC(m_hWnd);
      HGDIOBJ old = ::SelectObject(dc, GlobalData::Get().regularFont.m_hObject);
      SIZE extent{0, 0};
      ::GetTextExtentPoint32A(dc, text, text.GetLength(), &extent);
      ::SelectObject(dc, old);
      ::ReleaseDC(m_hWnd, dc);
      CRect window;
      GetWindowRect(&window);
      m_narrowLeft = window.left;
      m_narrowRight = window.left + 3 * ::GetSystemMetrics(SM_CXSMSIZE) + 2 * ::GetSystemMetrics(SM_CXFRAME) +
                      4 + extent.cx;
    }
    pos->cx = m_narrowRight - m_narrowLeft;
  }
}

void CTKMiniDockFrameWnd::OnClose() {
  auto* sizing = dynamic_cast<CTKSizingControlBar*>(FirstBar());
  if (sizing && !sizing->CanHideByCaption()) return;
  CMiniDockFrameWnd::OnClose();
}

void CTKMiniDockFrameWnd::OnNcRButtonDown(UINT hitTest, CPoint point) {
  if (!g_toolbarsCustomizing && m_pDockSite && m_pDockSite->m_hWnd) {
    static const UINT message = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
    ::SendMessageA(m_pDockSite->m_hWnd, message, reinterpret_cast<WPARAM>(m_hWnd),
                   static_cast<LPARAM>((static_cast<DWORD>(point.y) << 16) | (point.x & 0xFFFF)));
    return;
  }
  CMiniDockFrameWnd::OnNcRButtonDown(hitTest, point);
}

BOOL CTKMiniDockFrameWnd::OnNcActivate(BOOL active) {
  BOOL result = CMiniDockFrameWnd::OnNcActivate(active);
  if (active)
    if (CControlBar* bar = FirstBar())
      ::RedrawWindow(bar->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return result;
}

void CTKMiniDockFrameWnd::OnWindowPosChanged(WINDOWPOS* pos) {
  CMiniDockFrameWnd::OnWindowPosChanged(pos);
  if (m_inWorkAreaCheck || (pos->flags & SWP_NOMOVE) || !dynamic_cast<CTKSizingControlBar*>(FirstBar()))
    return;
  m_inWorkAreaCheck = TRUE;
  CRect frame;
  GetWindowRect(&frame);
  RECT work{};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  HMONITOR monitor = ::MonitorFromPoint(frame.TopLeft(), MONITOR_DEFAULTTONEAREST);
  if (monitor && ::GetMonitorInfoA(monitor, &info))
    work = info.rcWork;
  else
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  // The caption stays reachable: never above the work area, never below its bottom.
  int top = frame.top;
  const int caption = ::GetSystemMetrics(SM_CYSMCAPTION);
  if (top + caption > work.bottom) top = work.bottom - caption;
  if (top < work.top) top = work.top;
  if (top != frame.top)
    ::SetWindowPos(m_hWnd, nullptr, frame.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_inWorkAreaCheck = FALSE;
}

BOOL CTKMiniDockFrameWnd::TrackTearOff(CTKPopupMenuBase* popup) {
  CControlBar* bar = FirstBar();
  if (!bar || !bar->m_hWnd || !m_hWnd) return FALSE;
  HWND popupHwnd = popup ? popup->m_hWnd : nullptr;
  if (popupHwnd) {
    ::ShowWindow(popupHwnd, SW_HIDE);
    // The button that opened the popup shows unpressed again.
    CRect opener = popup->OpenerButtonRect();
    if (!opener.IsRectEmpty() && popup->m_parentBar && popup->m_parentBar->m_hWnd) {
      opener.InflateRect(4, 4);
      ::MapWindowPoints(nullptr, popup->m_parentBar->m_hWnd, reinterpret_cast<POINT*>(&opener), 2);
      ::RedrawWindow(popup->m_parentBar->m_hWnd, &opener, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
  }
  // While it moves, the bar cannot dock.
  const DWORD dockStyle = bar->m_dwDockStyle;
  bar->m_dwDockStyle = 0;
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) ::DispatchMessageA(&msg);
  if (::GetCapture()) {
    bar->m_dwDockStyle = dockStyle;
    return FALSE;
  }
  ::SetCapture(bar->m_hWnd);
  CRect frame;
  GetWindowRect(&frame);
  // The cursor holds the frame at the middle of its top edge, 5 pixels down.
  const CPoint hold(frame.Width() / 2, 5);
  ::SetCursorPos(frame.left + hold.x, frame.top + hold.y);
  BOOL placed = FALSE;
  bool done = false;
  while (!done && ::GetCapture() == bar->m_hWnd) {
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    switch (msg.message) {
      case WM_LBUTTONUP:
        placed = TRUE;
        done = true;
        break;
      case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) done = true;
        break;
      case WM_RBUTTONDOWN:
        done = true;
        break;
      case WM_MOUSEMOVE:
        ::SetWindowPos(m_hWnd, nullptr, msg.pt.x - hold.x, msg.pt.y - hold.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      default:
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        break;
    }
  }
  if (::GetCapture() == bar->m_hWnd) ::ReleaseCapture();
  bar->m_dwDockStyle = dockStyle;
  if (placed) {
    if (popupHwnd && ::IsWindow(popupHwnd) && popup) popup->CloseMenu();
    ::SetFocus(m_hWnd);
    return TRUE;
  }
  // Cancelled: the popup comes back, and the bar that was torn off goes.
  if (popupHwnd && ::IsWindow(popupHwnd)) ::ShowWindow(popupHwnd, SW_SHOWNA);
  if (auto* site = CTKFrameSite::Of(m_pDockSite)) site->GetFrameHelper().ForgetTearOffBar(bar);
  bar->DestroyWindow();
  delete bar;
  return FALSE;
}
