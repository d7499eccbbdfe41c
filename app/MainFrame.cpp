#include "app/MainFrame.h"

#include "app/view/ShellServices.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_WM_TIMER()
  ON_MESSAGE(kZoomToFitMessage, OnZoomToFit)
END_MESSAGE_MAP()

namespace {
// The tick counter lives outside the frame: one heartbeat per program.
int g_tickCount = 0;
}  // namespace

CMainFrame::CMainFrame() : m_waveFrame(GetViewInfo()) {}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
  if (!m_waveFrame.Create(this, context ? context->m_pNewViewClass : nullptr, context)) return FALSE;
  const LONG exStyle = ::GetWindowLongA(m_hWnd, GWL_EXSTYLE);
  if (exStyle & WS_EX_CLIENTEDGE) {
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, exStyle & ~WS_EX_CLIENTEDGE);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  m_nTimer = SetTimer(kHeartbeatTimer, kHeartbeatMs);
  return 0;
}

void CMainFrame::OnDestroy() {
  if (m_nTimer) KillTimer(m_nTimer);
  m_nTimer = 0;
  CFrameWnd::OnDestroy();
}

void CMainFrame::OnClose() {
  CDocument* doc = GetActiveDocument();
  if (doc && !doc->CanCloseFrame(this)) return;
  if (doc)
    doc->OnCloseDocument();
  else
    DestroyWindow();
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id != kHeartbeatTimer) {
    Default();
    return;
  }
  if (++g_tickCount % kBlinkTicks == 0) m_bBlink = !m_bBlink;
  if (IsWindowVisible() && m_waveFrame.m_hWnd) m_waveFrame.OnRefreshTick(static_cast<int>(kHeartbeatMs));
}

LRESULT CMainFrame::OnZoomToFit(WPARAM, LPARAM) {
  if (m_waveFrame.m_hWnd) m_waveFrame.ZoomToFit();
  return 1;
}
