#pragma once
// The drop target of one toolbar: accepts dragged toolbar buttons in customize mode
// and hands enter, over, leave and drop to its toolbar.
#include "platform/afx/afxole.h"

class CTKToolBar;

class CToolbarDropTarget : public COleDropTarget {
public:
  CToolbarDropTarget() = default;
  BOOL Register(CTKToolBar* owner);

  DROPEFFECT OnDragEnter(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point) override;
  DROPEFFECT OnDragOver(CWnd* window, COleDataObject* data, DWORD keyState, CPoint point) override;
  void OnDragLeave(CWnd* window) override;
  BOOL OnDrop(CWnd* window, COleDataObject* data, DROPEFFECT effect, CPoint point) override;

  CTKToolBar* m_pOwner = nullptr;

private:
  BOOL Accepts(COleDataObject* data) const;
};
