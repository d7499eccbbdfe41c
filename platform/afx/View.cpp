#include "platform/afx/View.h"

#include "platform/afx/Document.h"
#include "platform/afx/FrameWnd.h"
#include "platform/afx/PaintDC.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_MOUSEACTIVATE()
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

CFrameWnd* CView::GetParentFrame() const {
  for (HWND hwnd = ::GetParent(m_hWnd); hwnd; hwnd = ::GetParent(hwnd))
    if (CWnd* wnd = FromHandlePermanent(hwnd))
      if (wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(wnd);
  return nullptr;
}

BOOL CView::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass)
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  auto* context = static_cast<CCreateContext*>(cs->lpCreateParams);
  if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
  return 0;
}

void CView::OnDestroy() {
  if (CFrameWnd* frame = GetParentFrame())
    if (frame->GetActiveView() == this) frame->SetActiveView(nullptr, FALSE);
  CWnd::OnDestroy();
}

void CView::PostNcDestroy() {
  // Views are made with new (from their runtime class) and go with their window.
  delete this;
}

void CView::OnPaint() {
  CPaintDC dc(this);
  OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message) {
  int result = CWnd::OnMouseActivate(topLevel, hitTest, message);
  if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT) return result;
  if (CFrameWnd* frame = GetParentFrame()) {
    if (frame->GetActiveView() != this) frame->SetActiveView(this);
  }
  return result;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
  OnInitialUpdate();
  return 0;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CView::OnActivateView(BOOL activate, CView* activated, CView*) {
  if (activate && activated == this && ::GetFocus() != m_hWnd) ::SetFocus(m_hWnd);
}

BOOL CView::OnCmdMsg(UINT id, int code, void* extra) {
  if (CWnd::OnCmdMsg(id, code, extra)) return TRUE;
  return m_pDocument && m_pDocument->OnCmdMsg(id, code, extra);
}
