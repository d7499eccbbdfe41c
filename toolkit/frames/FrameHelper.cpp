#include "toolkit/frames/FrameHelper.h"

#include "toolkit/frames/TKWorkspace.h"

FrameHelper::~FrameHelper() {
  while (!m_userBars.IsEmpty()) DestroyBar(m_userBars.RemoveHead());
  while (!m_tearOffBars.IsEmpty()) DestroyBar(m_tearOffBars.RemoveHead());
}

void FrameHelper::DestroyBar(CWnd* bar) {
  if (!bar) return;
  if (bar->m_hWnd) bar->DestroyWindow();
  delete bar;
}

void FrameHelper::AttachMenuBar(CWnd* menuBar) {
  m_pMenuBar = menuBar;
  if (!m_pFrame || !m_pFrame->m_hWnd) return;
  m_hDefaultMenu = ::GetMenu(m_pFrame->m_hWnd);
  // The frame keeps the menu alive for the menu bar but no longer shows it.
  ::SetMenu(m_pFrame->m_hWnd, nullptr);
}

BOOL FrameHelper::IsUserBarId(CWnd* bar) const {
  if (!bar || !bar->m_hWnd || m_firstUserBarId < 0) return FALSE;
  int id = bar->GetDlgCtrlID();
  return id >= m_firstUserBarId && id <= m_lastUserBarId;
}

int FrameHelper::FirstFreeUserBarId() const {
  if (m_firstUserBarId < 0) return -1;
  for (int id = m_firstUserBarId; id <= m_lastUserBarId; ++id) {
    bool used = false;
    for (POSITION pos = m_userBars.GetHeadPosition(); pos && !used;) {
      CWnd* bar = m_userBars.GetNext(pos);
      used = bar && bar->m_hWnd && bar->GetDlgCtrlID() == id;
    }
    if (!used) return id;
  }
  return -1;
}

void FrameHelper::ForgetTearOffBar(CWnd* bar) {
  for (POSITION pos = m_tearOffBars.GetHeadPosition(); pos;) {
    POSITION at = pos;
    if (m_tearOffBars.GetNext(pos) == bar) {
      m_tearOffBars.RemoveAt(at);
      return;
    }
  }
}

namespace {
RECT WorkAreaNear(POINT point) {
  RECT work{};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  HMONITOR monitor = ::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
  if (monitor && ::GetMonitorInfoA(monitor, &info)) return info.rcWork;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}
}  // namespace

void FrameHelper::ApplyStoredPlacement(CREATESTRUCTA& cs) {
  CTKWorkspace* workspace = CurrentWorkspace();
  if (!workspace) return;
  RECT rect{cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
  int flags = 0;
  int showCmd = SW_SHOWNORMAL;
  if (!workspace->LoadWindowPlacement(rect, flags, showCmd)) return;
  if (showCmd != SW_SHOWMAXIMIZED) showCmd = SW_SHOWNORMAL;
  CWinApp* app = AfxGetApp();
  if (app) {
    int current = app->m_nCmdShow;
    // A start minimised or maximised by the caller wins over the stored show command.
    if (current != SW_SHOWMINIMIZED && current != SW_SHOWMAXIMIZED && current != SW_MINIMIZE &&
        current != SW_SHOWMINNOACTIVE)
      app->m_nCmdShow = showCmd;
  }
  RECT work = WorkAreaNear(POINT{rect.left, rect.top});
  RECT common{};
  if (::IntersectRect(&common, &rect, &work)) {
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
  }
}

void FrameHelper::OnClosingFrame() {
  for (POSITION pos = m_tearOffBars.GetHeadPosition(); pos;) {
    POSITION at = pos;
    CWnd* bar = m_tearOffBars.GetNext(pos);
    if (bar && bar->m_hWnd && !bar->IsWindowVisible()) {
      m_tearOffBars.RemoveAt(at);
      DestroyBar(bar);
    }
  }
  CTKWorkspace* workspace = CurrentWorkspace();
  if (!workspace || !m_pFrame || !m_pFrame->m_hWnd) return;
  workspace->SaveStateOfFrame(this);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!::GetWindowPlacement(m_pFrame->m_hWnd, &placement)) return;
  int showCmd = placement.showCmd == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  // The normal position is in work-area coordinates; the stored one is the screen's.
  RECT work = WorkAreaNear(POINT{placement.rcNormalPosition.left, placement.rcNormalPosition.top});
  RECT rect = placement.rcNormalPosition;
  ::OffsetRect(&rect, work.left, work.top);
  workspace->StoreWindowPlacement(rect, static_cast<int>(placement.flags), showCmd);
}

BOOL FrameHelper::IsDockStateValid(const CDockState& state) const {
  if (!m_pFrame) return FALSE;
  for (int i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
    const CControlBarInfo info = state.m_arrBarInfo[i];
    if (info.m_nDockBarID == AFX_IDW_DOCKBAR_FLOAT) continue;
    if (!m_pFrame->GetControlBar(info.m_nBarID)) return FALSE;
  }
  return TRUE;
}
