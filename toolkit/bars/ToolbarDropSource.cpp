#include "toolkit/bars/ToolbarDropSource.h"

CToolbarDropSource& CToolbarDropSource::Get() {
  static CToolbarDropSource s_source;
  return s_source;
}

BOOL CToolbarDropSource::OnBeginDrag(CWnd* window) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  if (!m_hcurDelete) m_hcurDelete = ::LoadCursorA(instance, MAKEINTRESOURCEA(16133));
  if (!m_hcurMove) m_hcurMove = ::LoadCursorA(instance, MAKEINTRESOURCEA(16146));
  if (!m_hcurCopy) m_hcurCopy = ::LoadCursorA(instance, MAKEINTRESOURCEA(16004));
  m_bDragStarted = TRUE;
  m_bEscapePressed = FALSE;
  return COleDropSource::OnBeginDrag(window);
}

SCODE CToolbarDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  if (m_bDeleteOnDrop && m_hcurDelete) ::SetCursor(m_hcurDelete);
  m_bEscapePressed = escapePressed;
  return COleDropSource::QueryContinueDrag(escapePressed, keyState);
}

SCODE CToolbarDropSource::GiveFeedback(DWORD dropEffect) {
  HCURSOR cursor = dropEffect == DROPEFFECT_COPY   ? m_hcurCopy
                   : dropEffect == DROPEFFECT_MOVE ? m_hcurMove
                                                   : m_hcurDelete;
  if (!cursor) return COleDropSource::GiveFeedback(dropEffect);
  ::SetCursor(cursor);
  return S_OK;
}
