#include "platform/afx/CFrameWnd.h"

#include "platform/afx/CWinApp.h"

const RECT CFrameWnd::rectDefault = {static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT), 0, 0};

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass) {
    HICON icon = m_nIDResource
                     ? ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDResource))
                     : nullptr;
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1),
                                       icon ? icon : ::LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION));
  }
  return TRUE;
}

BOOL CFrameWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect,
                       CWnd* parent, const char* menuName, DWORD exStyle) {
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

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent) {
  m_nIDResource = resourceId;
  CString title;
  if (title.LoadString(resourceId)) {
    int newline = title.Find('\n');
    if (newline >= 0) title = title.Left(newline);
  }
  if (title.IsEmpty() && AfxGetApp() && AfxGetApp()->m_pszAppName)
    title = AfxGetApp()->m_pszAppName;
  if (title.IsEmpty()) title.LoadString(AFX_IDS_APP_TITLE);
  const char* menuName = nullptr;
  if (::FindResourceA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId), (LPCSTR)RT_MENU))
    menuName = MAKEINTRESOURCEA(resourceId);
  return Create(nullptr, title, style, rectDefault, parent, menuName);
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra) {
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
