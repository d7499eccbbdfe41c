// The view's side of printing and print preview.
#include <windows.h>
#include <winspool.h>

#include "platform/afx/ControlBar.h"
#include "platform/afx/DC.h"
#include "platform/afx/FrameWnd.h"
#include "platform/afx/PreviewView.h"
#include "platform/afx/PrintInfo.h"
#include "platform/afx/View.h"

BOOL CView::OnPreparePrinting(CPrintInfo* info) { return DoPreparePrinting(info); }

void CView::OnPrint(CDC* dc, CPrintInfo*) { OnDraw(dc); }

BOOL CView::DoPreparePrinting(CPrintInfo* info) {
  if (!info) return FALSE;
  // The default printer's page when there is a printer; preview does without one.
  char name[256] = "";
  DWORD size = sizeof name;
  HDC printer = ::GetDefaultPrinterA(name, &size) ? ::CreateDCA("WINSPOOL", name, nullptr, nullptr) : nullptr;
  if (!printer) return info->m_bPreview;
  info->m_pageSize = CSize(::GetDeviceCaps(printer, HORZRES), ::GetDeviceCaps(printer, VERTRES));
  info->m_dotsPerInch = CSize(::GetDeviceCaps(printer, LOGPIXELSX), ::GetDeviceCaps(printer, LOGPIXELSY));
  info->m_rectDraw = CRect(0, 0, info->m_pageSize.cx, info->m_pageSize.cy);
  ::DeleteDC(printer);
  return TRUE;
}

BOOL CView::DoPrintPreview(UINT toolBarId, CView* printView, const CRuntimeClass* previewClass,
                           CPrintPreviewState* state) {
  auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(::GetAncestor(m_hWnd, GA_ROOT)));
  if (!frame || !printView || !previewClass || !state) return FALSE;
  CObject* object = previewClass->CreateObject();
  auto* preview = dynamic_cast<CPreviewView*>(object);
  if (!preview) {
    delete object;
    return FALSE;
  }
  auto* info = new CPrintInfo;
  info->m_bPreview = TRUE;
  preview->m_pPreviewInfo = info;
  if (!printView->OnPreparePrinting(info)) {
    delete preview;
    return FALSE;
  }
  preview->m_pOrigView = frame->GetActiveView();
  preview->SetPrintView(printView);
  frame->OnSetPreviewMode(TRUE, state);
  auto* bar = new CPreviewBar;
  if (!bar->Create(frame, toolBarId)) {
    frame->OnSetPreviewMode(FALSE, state);
    delete preview;
    return FALSE;
  }
  preview->m_pToolBar = bar;
  CCreateContext context;
  context.m_pCurrentDoc = printView->GetDocument();
  RECT none{0, 0, 0, 0};
  // The preview's window going (a failed creation) takes the object along, but not
  // the state: that stays the caller's until preview has started.
  if (!preview->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, none, frame,
                       AFX_IDW_PANE_FIRST, &context)) {
    bar->DestroyWindow();
    frame->OnSetPreviewMode(FALSE, state);
    return FALSE;
  }
  preview->m_pPreviewState = state;
  HDC screen = ::GetDC(nullptr);
  CDC dc(screen);
  printView->OnBeginPrinting(&dc, info);
  dc.Detach();
  ::ReleaseDC(nullptr, screen);
  frame->SetActiveView(preview, TRUE);
  frame->RecalcLayout();
  preview->SetCurrentPage(preview->GetCurrentPage());
  return TRUE;
}

void CView::OnEndPrintPreview(CDC* dc, CPrintInfo* info, POINT, CPreviewView* preview) {
  OnEndPrinting(dc, info);
  auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(::GetAncestor(m_hWnd, GA_ROOT)));
  if (!preview) return;
  if (frame) frame->OnSetPreviewMode(FALSE, preview->m_pPreviewState);
  if (preview->m_pToolBar && preview->m_pToolBar->m_hWnd) preview->m_pToolBar->DestroyWindow();
  preview->m_pToolBar = nullptr;
  // The preview deletes itself with its window, and with it the print information and
  // the state.
  preview->DestroyWindow();
  if (frame) frame->RecalcLayout();
}
