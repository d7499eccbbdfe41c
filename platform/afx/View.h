#pragma once
// A view: a child window of a frame that shows a document. Its painting goes to
// OnDraw, commands go to the view first and then to its document.
#include "platform/afx/CreateContext.h"
#include "platform/afx/Wnd.h"

class CDC;
class CDocument;
class CFrameWnd;
class CPreviewView;
class CPrintInfo;
class CPrintPreviewState;

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)

public:
  CView() = default;
  ~CView() override;

  CDocument* GetDocument() const { return m_pDocument; }
  // The nearest frame among the window's parents; null when there is none.
  CFrameWnd* GetParentFrame() const;

  virtual void OnDraw(CDC* dc) = 0;
  // Once, when the document and frame are in place: OnUpdate with no hint.
  virtual void OnInitialUpdate();
  // The document changed: the base repaints the whole view.
  virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
  virtual void OnActivateView(BOOL activate, CView* activated, CView* deactivated);

  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

  // Printing and print preview (ViewPrint.cpp). OnPreparePrinting sets the pages (the
  // base: DoPreparePrinting); OnPrint draws the current page (the base: OnDraw).
  virtual BOOL OnPreparePrinting(CPrintInfo* info);
  virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info) {}
  virtual void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr) {}
  virtual void OnPrint(CDC* dc, CPrintInfo* info);
  virtual void OnEndPrinting(CDC* dc, CPrintInfo* info) {}
  // Preview closes: the frame gets its bars, menu and views back and preview goes.
  virtual void OnEndPrintPreview(CDC* dc, CPrintInfo* info, POINT point, CPreviewView* preview);
  // The page of the default printer, when there is one, for the pages to come.
  BOOL DoPreparePrinting(CPrintInfo* info);
  // Shows print preview of printView in the top-level frame: a view of previewClass
  // (a CPreviewView) takes the frame's client area, under a bar made from the dialog
  // template toolBarId (an empty bar without one). FALSE when it could not start; the
  // frame is then as it was. On success the preview owns state.
  BOOL DoPrintPreview(UINT toolBarId, CView* printView, const CRuntimeClass* previewClass,
                      CPrintPreviewState* state);

protected:
  void PostNcDestroy() override;
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnPaint();
  int OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message);
  LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

  CDocument* m_pDocument = nullptr;
  friend class CDocument;

  DECLARE_MESSAGE_MAP()
};
