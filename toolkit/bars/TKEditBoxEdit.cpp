#include "toolkit/bars/TKEditBoxEdit.h"

#include "toolkit/bars/TKToolbarEditBoxButton.h"

BEGIN_MESSAGE_MAP(CTKEditBoxEdit, CEdit)
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

BOOL HandleToolbarControlKey(HWND control, const MSG* msg) {
  if (msg->message != WM_KEYDOWN) return FALSE;
  if (msg->wParam == VK_TAB) {
    HWND parent = ::GetParent(control);
    if (HWND next = ::GetNextDlgTabItem(parent, control, ::GetKeyState(VK_SHIFT) < 0)) ::SetFocus(next);
    return TRUE;
  }
  if (msg->wParam == VK_ESCAPE) {
    if (HWND top = ::GetAncestor(control, GA_ROOT)) ::SetFocus(top);
    return TRUE;
  }
  return FALSE;
}

BOOL CTKEditBoxEdit::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd != m_hWnd) return CEdit::PreTranslateMessage(msg);
  if (HandleToolbarControlKey(m_hWnd, msg)) return TRUE;
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
    // The bar sends the command of the item whose field has the focus.
    ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, IDOK, 0);
    return TRUE;
  }
  return CEdit::PreTranslateMessage(msg);
}

void CTKEditBoxEdit::OnSetFocus(CWnd* oldWnd) {
  CEdit::OnSetFocus(oldWnd);
  m_button.SetHighlight(TRUE);
}

void CTKEditBoxEdit::OnKillFocus(CWnd* newWnd) {
  CEdit::OnKillFocus(newWnd);
  m_button.SetHighlight(FALSE);
}

void CTKEditBoxEdit::OnMouseMove(UINT flags, CPoint point) {
  m_button.SetHighlight(TRUE);
  if (!m_bTracked) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
    m_bTracked = ::TrackMouseEvent(&track);
  }
  CEdit::OnMouseMove(flags, point);
}

void CTKEditBoxEdit::OnMouseLeave() {
  m_bTracked = FALSE;
  if (::GetFocus() != m_hWnd) m_button.SetHighlight(FALSE);
  CEdit::OnMouseLeave();
}
