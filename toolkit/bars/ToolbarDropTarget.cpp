#include "toolkit/bars/ToolbarDropTarget.h"

#include "toolkit/bars/TKToolBar.h"

BOOL CToolbarDropTarget::Register(CTKToolBar* owner) {
  m_pOwner = owner;
  return COleDropTarget::Register(owner);
}

BOOL CToolbarDropTarget::Accepts(COleDataObject* data) const {
  return m_pOwner && CTKToolBar::IsCustomizeMode() && data &&
         data->IsDataAvailable(CTKToolbarButton::GetClipboardFormat());
}

DROPEFFECT CToolbarDropTarget::OnDragEnter(CWnd*, COleDataObject* data, DWORD keyState, CPoint point) {
  return Accepts(data) ? m_pOwner->OnDragEnter(data, keyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT CToolbarDropTarget::OnDragOver(CWnd*, COleDataObject* data, DWORD keyState, CPoint point) {
  return Accepts(data) ? m_pOwner->OnDragOver(data, keyState, point) : DROPEFFECT_NONE;
}

void CToolbarDropTarget::OnDragLeave(CWnd*) {
  if (m_pOwner) m_pOwner->OnDragLeave();
}

BOOL CToolbarDropTarget::OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint point) {
  return Accepts(data) && m_pOwner->OnDrop(data, effect, point);
}
