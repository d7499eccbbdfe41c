#pragma once
// A view: a child window of a frame that shows a document. Its painting goes to
// OnDraw, commands go to the view first and then to its document.
#include "platform/afx/CreateContext.h"
#include "platform/afx/Wnd.h"

class CDC;
class CDocument;
class CFrameWnd;

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
