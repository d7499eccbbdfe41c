#include "platform/afx/FrameWnd.h"

#include "platform/afx/ControlBar.h"
#include "platform/afx/View.h"
#include "platform/afx/WinApp.h"

const RECT CFrameWnd::rectDefault = {static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT), 0,
                                     0};

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_WM_SIZE()
END_MESSAGE_MAP()

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
  if (::FindResourceA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId), (LPCSTR)RT_MENU))
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
