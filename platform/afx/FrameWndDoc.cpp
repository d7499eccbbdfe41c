// The document and view side of frames: creating the client from a template's
// context, the active view, the initial update and the title.
#include "platform/afx/ControlBar.h"
#include "platform/afx/Document.h"
#include "platform/afx/FrameWnd.h"
#include "platform/afx/View.h"
#include "platform/afx/WinApp.h"

int CFrameWnd::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  auto* context = static_cast<CCreateContext*>(cs->lpCreateParams);
  if (context && !OnCreateClient(cs, context)) return -1;
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
  if (!context || !context->m_pNewViewClass) return TRUE;
  return CreateView(context, AFX_IDW_PANE_FIRST) != nullptr;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
  if (!context || !context->m_pNewViewClass) return nullptr;
  CObject* object = context->m_pNewViewClass->CreateObject();
  auto* view = dynamic_cast<CWnd*>(object);
  if (!view) {
    delete object;
    return nullptr;
  }
  RECT rect{0, 0, 0, 0};
  // A view that fails to be made deletes itself with its window (PostNcDestroy).
  if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, rect, this, id, context))
    return nullptr;
  return view;
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify) {
  CView* previous = m_pViewActive;
  if (view == previous) return;
  m_pViewActive = nullptr;
  if (notify && previous) previous->OnActivateView(FALSE, view, previous);
  m_pViewActive = view;
  if (notify && view) view->OnActivateView(TRUE, view, previous);
}

CDocument* CFrameWnd::GetActiveDocument() { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

namespace {
BOOL CALLBACK SendInitialUpdate(HWND hwnd, LPARAM) {
  if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd))
    if (wnd->IsKindOf(RUNTIME_CLASS(CView))) ::SendMessageA(hwnd, WM_INITIALUPDATE, 0, 0);
  return TRUE;
}
}  // namespace

void CFrameWnd::InitialUpdateFrame(CDocument* doc, BOOL makeVisible) {
  if (!m_pViewActive && doc && doc->GetViewCount() > 0) SetActiveView(doc->GetView(0), FALSE);
  ::EnumChildWindows(m_hWnd, SendInitialUpdate, 0);
  OnUpdateFrameTitle(TRUE);
  if (makeVisible) ShowInitialFrame();
}

void CFrameWnd::ShowInitialFrame() {
  if (!::IsWindowVisible(m_hWnd)) {
    CWinApp* app = AfxGetApp();
    ShowWindow(app && app->m_pMainWnd == this ? app->m_nCmdShow : SW_SHOWNORMAL);
  }
  UpdateWindow();
  if (m_pViewActive) m_pViewActive->OnActivateView(TRUE, m_pViewActive, m_pViewActive);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
  if (!m_bAddToTitle || !addToTitle || !m_hWnd) return;
  CDocument* doc = GetActiveDocument();
  CString title = m_strTitle;
  if (doc && !doc->GetTitle().IsEmpty()) title = doc->GetTitle() + " - " + m_strTitle;
  CString current;
  GetWindowText(current);
  if (current != title) SetWindowText(title);
}

void CFrameWnd::OnClose() {
  if (CDocument* doc = GetActiveDocument())
    if (!doc->CanCloseFrame(this)) return;
  CWnd::OnClose();
}
