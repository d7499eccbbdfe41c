#include "platform/afx/MDIChildWnd.h"

#include "platform/afx/CreateContext.h"
#include "platform/afx/DocTemplate.h"
#include "platform/afx/Document.h"
#include "platform/afx/MDIFrameWnd.h"
#include "platform/afx/View.h"
#include "platform/afx/WinApp.h"

IMPLEMENT_DYNAMIC(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
  ON_WM_CREATE()
  ON_MESSAGE(WM_MDIACTIVATE, OnMDIActivate)
END_MESSAGE_MAP()

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass) {
    HICON icon =
        m_nIDResource ? ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDResource)) : nullptr;
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                                       icon ? icon : ::LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION));
  }
  return TRUE;
}

BOOL CMDIChildWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect,
                          CMDIFrameWnd* parent, CCreateContext* context) {
  if (!parent) parent = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
  if (!parent || !parent->m_hWndMDIClient) return FALSE;
  m_pMDIFrame = parent;
  CREATESTRUCTA cs{};
  cs.lpszClass = className;
  cs.lpszName = title;
  cs.style = style | WS_CHILD;
  const bool byDefault = rect.left == static_cast<LONG>(CW_USEDEFAULT);
  cs.x = byDefault ? CW_USEDEFAULT : rect.left;
  cs.y = byDefault ? CW_USEDEFAULT : rect.top;
  cs.cx = byDefault ? CW_USEDEFAULT : rect.right - rect.left;
  cs.cy = byDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
  cs.hwndParent = parent->m_hWndMDIClient;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = context;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  MDICREATESTRUCTA mcs{};
  mcs.szClass = cs.lpszClass;
  mcs.szTitle = cs.lpszName;
  mcs.hOwner = cs.hInstance;
  mcs.x = cs.x;
  mcs.y = cs.y;
  mcs.cx = cs.cx;
  mcs.cy = cs.cy;
  // The client honours only the caption-button styles of the child unless it was made
  // with MDIS_ALLCHILDSTYLES.
  mcs.style = cs.style & ~(WS_MAXIMIZE | WS_VISIBLE);
  mcs.lParam = reinterpret_cast<LPARAM>(context);
  // The client makes the window; its first message attaches it to this object. A
  // window that fails to be made takes this object with it (PostNcDestroy).
  CWnd* previous = SetCreatingWindow(this);
  HWND hwnd = reinterpret_cast<HWND>(
      ::SendMessageA(parent->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  SetCreatingWindow(previous);
  if (!hwnd) return FALSE;
  // Shown (and maximized when asked) only once made, so the client lays it out with
  // the others.
  if (style & WS_VISIBLE) {
    ActivateFrame((style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : -1);
  } else if (style & WS_MAXIMIZE) {
    ::SendMessageA(parent->m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(hwnd), 0);
  }
  return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  m_nIDResource = resourceId;
  if (auto* made = dynamic_cast<CMultiDocTemplate*>(context ? context->m_pNewDocTemplate : nullptr)) {
    m_hMenuShared = made->m_hMenuShared;
    m_hAccelShared = made->m_hAccelTable;
  }
  CString title;
  if (title.LoadString(resourceId)) {
    int newline = title.Find('\n');
    if (newline >= 0) title = title.Left(newline);
  }
  m_bAddToTitle = (style & FWS_ADDTOTITLE) != 0;
  m_strTitle = title;
  return Create(nullptr, title, style & ~FWS_ADDTOTITLE, rectDefault, dynamic_cast<CMDIFrameWnd*>(parent),
                context);
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  if (!m_pMDIFrame) m_pMDIFrame = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
  // The client hands our context on inside its own creation record.
  const auto* mcs = static_cast<const MDICREATESTRUCTA*>(cs->lpCreateParams);
  auto* context = mcs ? reinterpret_cast<CCreateContext*>(mcs->lParam) : nullptr;
  if (context && !OnCreateClient(cs, context)) return -1;
  return 0;
}

void CMDIChildWnd::ActivateFrame(int cmdShow) {
  if (!m_hWnd) return;
  if (cmdShow == -1) cmdShow = ::IsZoomed(m_hWnd) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  ::ShowWindow(m_hWnd, cmdShow);
  if (m_pMDIFrame && m_pMDIFrame->m_hWndMDIClient)
    ::SendMessageA(m_pMDIFrame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const { return m_pMDIFrame; }

BOOL CMDIChildWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  HWND client = m_pMDIFrame ? m_pMDIFrame->m_hWndMDIClient : nullptr;
  if (!client || ::GetParent(m_hWnd) != client) return CFrameWnd::DestroyWindow();
  ::SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
  return TRUE;
}

void CMDIChildWnd::MDIDestroy() {
  if (m_hWnd && m_pMDIFrame)
    ::SendMessageA(m_pMDIFrame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
}
void CMDIChildWnd::MDIActivate() {
  if (m_pMDIFrame) m_pMDIFrame->MDIActivate(this);
}
void CMDIChildWnd::MDIMaximize() {
  if (m_pMDIFrame) m_pMDIFrame->MDIMaximize(this);
}
void CMDIChildWnd::MDIRestore() {
  if (m_pMDIFrame) m_pMDIFrame->MDIRestore(this);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* msg) {
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST || !m_hAccelShared) return FALSE;
  CWnd* frame = m_pMDIFrame ? static_cast<CWnd*>(m_pMDIFrame) : AfxGetMainWnd();
  return frame && frame->m_hWnd && ::TranslateAcceleratorA(frame->m_hWnd, m_hAccelShared, msg);
}

BOOL CMDIChildWnd::OnCmdMsg(UINT id, int code, void* extra) {
  if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, extra)) return TRUE;
  if (CWnd::OnCmdMsg(id, code, extra)) return TRUE;
  // Then the frame's own handlers (not its routing, which would come back here).
  if (m_pMDIFrame && m_pMDIFrame->CWnd::OnCmdMsg(id, code, extra)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(id, code, extra);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CMDIChildWnd::OnMDIActivate(WPARAM, LPARAM lParam) {
  const LRESULT result = Default();
  const bool activated = reinterpret_cast<HWND>(lParam) == m_hWnd;
  if (m_pViewActive) m_pViewActive->OnActivateView(activated, m_pViewActive, m_pViewActive);
  return result;
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL addToTitle) {
  if (!m_hWnd) return;
  CDocument* doc = GetActiveDocument();
  if (!addToTitle || !doc || doc->GetTitle().IsEmpty()) return;
  CString current;
  GetWindowText(current);
  if (current != doc->GetTitle()) SetWindowText(doc->GetTitle());
}
