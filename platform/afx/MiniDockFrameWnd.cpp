#include "platform/afx/MiniDockFrameWnd.h"

#include "platform/afx/DockContext.h"

namespace {
// Posted to a floating frame whose last bar left while one of its own handlers may
// still be running; it goes when the message arrives and it is still empty.
constexpr UINT kDestroyIfEmpty = WM_USER + 0x7F0;
}  // namespace

CMiniDockFrameWnd::CMiniDockFrameWnd() = default;

DWORD CMiniDockFrameWnd::FrameStyleFor(const CControlBar* bar) {
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  // Bars that size themselves can be sized from the frame's border.
  if (bar && (bar->m_dwStyle & CBRS_SIZE_DYNAMIC)) style |= WS_THICKFRAME;
  return style;
}

CRect CMiniDockFrameWnd::Borders(const CControlBar* bar) {
  RECT rect{0, 0, 0, 0};
  ::AdjustWindowRectEx(&rect, FrameStyleFor(bar), FALSE, WS_EX_TOOLWINDOW);
  return CRect(-rect.left, -rect.top, rect.right, rect.bottom);
}

BOOL CMiniDockFrameWnd::Create(CFrameWnd* dockSite, DWORD barStyle) {
  m_pDockSite = dockSite;
  const char* cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (barStyle & CBRS_SIZE_DYNAMIC) style |= WS_THICKFRAME;
  if (!CreateEx(WS_EX_TOOLWINDOW, cls, "", style, 0, 0, 10, 10, dockSite ? dockSite->m_hWnd : nullptr,
                nullptr))
    return FALSE;
  // The floating dock bar lays its bar out along the top.
  if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_FLOAT)) return FALSE;
  if (dockSite) dockSite->m_listFloating.AddTail(this);
  return TRUE;
}

CControlBar* CMiniDockFrameWnd::FirstBar() const {
  for (int i = 0; i < m_wndDockBar.m_arrBars.GetSize(); ++i)
    if (m_wndDockBar.m_arrBars[i]) return m_wndDockBar.m_arrBars[i];
  return nullptr;
}

CMiniDockFrameWnd* CMiniDockFrameWnd::FrameOf(const CControlBar* bar) {
  if (!bar || !bar->m_pDockBar || !bar->m_pDockBar->m_bFloating || !bar->m_pDockBar->m_hWnd) return nullptr;
  return dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(bar->m_pDockBar->m_hWnd)));
}

void CMiniDockFrameWnd::RecalcLayout(BOOL) {
  if (m_inRecalcLayout || !m_hWnd) return;
  m_inRecalcLayout = TRUE;
  CControlBar* bar = FirstBar();
  if (bar && bar->m_hWnd) {
    CString text;
    bar->GetWindowText(text);
    CString now;
    GetWindowText(now);
    if (now != text) SetWindowText(text);
    // The floating dock bar places the bar at its top-left corner and gives its size.
    CSize size = m_wndDockBar.CalcFixedLayout(FALSE, TRUE);
    CRect borders = Borders(bar);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx + borders.left + borders.right,
                   size.cy + borders.top + borders.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(m_wndDockBar.m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  m_inRecalcLayout = FALSE;
}

void CMiniDockFrameWnd::OnLastBarRemoved() {
  if (!m_hWnd) return;
  ::ShowWindow(m_hWnd, SW_HIDE);
  PostMessage(kDestroyIfEmpty);
}

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CFrameWnd)
  ON_WM_NCLBUTTONDOWN()
  ON_WM_NCLBUTTONDBLCLK()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_MESSAGE(kDestroyIfEmpty, OnDestroyIfEmpty)
END_MESSAGE_MAP()

LRESULT CMiniDockFrameWnd::OnDestroyIfEmpty(WPARAM, LPARAM) {
  if (m_wndDockBar.GetDockedCount() == 0) DestroyWindow();
  return 0;
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT hitTest, CPoint point) {
  CControlBar* bar = FirstBar();
  if (hitTest == HTCAPTION && bar && bar->m_pDockContext) {
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!(m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI)) {
      bar->m_pDockContext->StartDrag(point);
      return;
    }
  }
  if (hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT && bar && bar->m_pDockContext &&
      (bar->m_dwStyle & CBRS_SIZE_DYNAMIC)) {
    bar->m_pDockContext->StartResize(static_cast<int>(hitTest), point);
    return;
  }
  CFrameWnd::OnNcLButtonDown(hitTest, point);
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT hitTest, CPoint point) {
  CControlBar* bar = FirstBar();
  if (hitTest == HTCAPTION && bar && bar->m_pDockContext) {
    bar->m_pDockContext->ToggleDocking();
    return;
  }
  CFrameWnd::OnNcLButtonDblClk(hitTest, point);
}

void CMiniDockFrameWnd::OnClose() {
  // Closing hides the bar; the frame stays for when it is shown again.
  if (CControlBar* bar = FirstBar()) {
    if (m_pDockSite)
      m_pDockSite->ShowControlBar(bar, FALSE, FALSE);
    else
      ::ShowWindow(bar->m_hWnd, SW_HIDE);
  }
  ::ShowWindow(m_hWnd, SW_HIDE);
}

void CMiniDockFrameWnd::OnDestroy() {
  if (m_pDockSite) {
    POSITION pos = m_pDockSite->m_listFloating.Find(this);
    if (pos) m_pDockSite->m_listFloating.RemoveAt(pos);
  }
  CFrameWnd::OnDestroy();
}

void CMiniDockFrameWnd::PostNcDestroy() { delete this; }
