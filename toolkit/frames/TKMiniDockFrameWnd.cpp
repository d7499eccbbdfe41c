#include "toolkit/frames/TKMiniDockFrameWnd.h"

#include "toolkit/frames/GlobalData.h"
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
  ON_WM_WINDOWPOSCHANGED()
  ON_WM_NCACTIVATE()
END_MESSAGE_MAP()

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
