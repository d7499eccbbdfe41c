#pragma once
// The receiving side of OLE drag and drop for one window: registered with OLE for the
// window, it hands enter, over, leave and drop to virtual operations with the data
// and the point in the window's client coordinates.
#include "platform/afx/OleDataObject.h"
#include "platform/afx/OleDataSource.h"
#include "platform/afx/Rect.h"
#include "platform/afx/Wnd.h"

class COleDropTarget : public CCmdTarget {
public:
  COleDropTarget();
  ~COleDropTarget() override;

  // Registers with OLE for the window; FALSE without OLE or on failure.
  BOOL Register(CWnd* window);
  void Revoke();
  CWnd* GetWindow() const { return m_pWnd; }

  virtual DROPEFFECT OnDragEnter(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point);
  virtual DROPEFFECT OnDragOver(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point);
  virtual void OnDragLeave(CWnd* window);
  virtual BOOL OnDrop(CWnd* window, COleDataObject* data, DROPEFFECT effect, CPoint point);

private:
  class DropTarget;
  DropTarget* m_pDropTarget;
  CWnd* m_pWnd = nullptr;
  HWND m_hWndRegistered = nullptr;
};
