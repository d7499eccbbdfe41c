#pragma once
// Print preview: a view that takes the frame's client area and draws the print
// view's pages (one or two side by side) scaled onto the screen, with commands for the
// next and previous page, one or two pages, zoom in and out, print, and close, which
// gives the frame back as it was.
#include "platform/afx/ControlBar.h"
#include "platform/afx/PrintInfo.h"
#include "platform/afx/View.h"

class CCmdUI;

// The bar of preview's commands at the top of the frame: the controls of a dialog
// template when the program has one, else an empty strip (a toolkit puts its own
// toolbar there).
class CPreviewBar : public CControlBar {
public:
  BOOL Create(CWnd* parent, UINT templateId);
  CSize CalcFixedLayout(BOOL stretch, BOOL horizontal) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
  // The bar's height (the template's, or what a toolbar in it needs).
  CSize m_sizeDefault{0, 28};

protected:
  void PostNcDestroy() override { delete this; }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CPreviewView : public CView {
  DECLARE_DYNCREATE(CPreviewView)

public:
  CPreviewView() = default;
  ~CPreviewView() override;

  enum ZoomState { kZoomOut = 0, kZoomMiddle = 1, kZoomIn = 2 };

  void OnDraw(CDC* dc) override;
  // The number of the first page shown, the pages shown (1 or 2), the zoom.
  UINT GetCurrentPage() const { return m_nCurrentPage; }
  UINT GetPagesShown() const { return m_nPages; }
  int GetZoomState() const { return m_nZoomState; }
  // Where page (0: the left one) is drawn, in client coordinates.
  CRect PageRect(int index) const;

  // The page number (first page, pages shown) for the user: the page description's
  // part 0 (one page) or 1 (two pages), to the frame's message line.
  virtual void OnDisplayPageNumber(UINT page, UINT pagesDisplayed);

  CPreviewBar* m_pToolBar = nullptr;
  CView* m_pPrintView = nullptr;
  CView* m_pOrigView = nullptr;
  CPrintInfo* m_pPreviewInfo = nullptr;
  CPrintPreviewState* m_pPreviewState = nullptr;

protected:
  friend class CView;
  // Ready to show printView's pages (after its OnPreparePrinting).
  BOOL SetPrintView(CView* printView);
  void ClosePreview();
  // The page shown first, kept within the pages there are.
  void SetCurrentPage(UINT page);
  void SetZoom(int state);
  void UpdateScrollBars();
  // The size of one page on the screen at the current zoom.
  CSize ScreenPageSize() const;

  void OnPreviewClose();
  void OnPreviewPrint();
  void OnNextPage();
  void OnPrevPage();
  void OnNumPageChange();
  void OnZoomIn();
  void OnZoomOut();
  void OnUpdateNextPage(CCmdUI* state);
  void OnUpdatePrevPage(CCmdUI* state);
  void OnUpdateNumPageChange(CCmdUI* state);
  void OnUpdateZoomIn(CCmdUI* state);
  void OnUpdateZoomOut(CCmdUI* state);
  void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
  void OnSize(UINT type, int cx, int cy);
  void OnHScroll(UINT code, UINT position, CWnd* scrollBar);
  void OnVScroll(UINT code, UINT position, CWnd* scrollBar);
  BOOL OnEraseBkgnd(CDC* dc);
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

  UINT m_nCurrentPage = 1;
  UINT m_nPages = 1;
  int m_nZoomState = kZoomOut;
  CPoint m_scroll;

  DECLARE_MESSAGE_MAP()
};
