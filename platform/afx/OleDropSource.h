#pragma once
// What the dragging side tells OLE while a drag runs: whether to go on, drop or
// cancel, and which cursor shows the effect. OnBeginDrag waits, before the drag
// begins, until the mouse leaves the small start rectangle (a click is no drag).
#include "platform/afx/OleInit.h"
#include "platform/afx/Rect.h"
#include "platform/afx/Wnd.h"

class COleDropSource : public CCmdTarget {
public:
  COleDropSource();
  ~COleDropSource() override;

  // TRUE when the mouse left the start rectangle with the button down; FALSE when
  // the button came up (or Escape was pressed) first.
  virtual BOOL OnBeginDrag(CWnd* window);
  // S_OK to go on, DRAGDROP_S_DROP to drop, DRAGDROP_S_CANCEL to cancel.
  virtual SCODE QueryContinueDrag(BOOL escapePressed, DWORD keyState);
  // DRAGDROP_S_USEDEFAULTCURSORS, or S_OK when the source set the cursor itself.
  virtual SCODE GiveFeedback(DWORD dropEffect);

  IDropSource* GetDropSource();

  // The start rectangle around the press, in screen coordinates (empty: the system's
  // drag distance around the cursor).
  CRect m_rectStartDrag;
  BOOL m_bDragStarted = FALSE;

private:
  class DropSource;
  DropSource* m_pDropSource;
};
