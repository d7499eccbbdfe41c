#include "toolkit/bars/TKComboEdit.h"

#include "toolkit/bars/TKEditBoxEdit.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarComboBoxButton.h"

BEGIN_MESSAGE_MAP(CTKComboEdit, CEdit)
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

BOOL CTKComboEdit::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd != m_hWnd || msg->message != WM_KEYDOWN || ::GetKeyState(VK_MENU) < 0 ||
      ::GetKeyState(VK_CONTROL) < 0)
    return CEdit::PreTranslateMessage(msg);
  HWND combo = ::GetParent(m_hWnd);
  const BOOL dropped = static_cast<BOOL>(::SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  switch (msg->wParam) {
    case VK_RETURN:
      if (dropped) ::SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
      if (auto* bar = dynamic_cast<CTKToolBar*>(&m_bar))
        if (CWnd* owner = bar->GetCommandTarget()) owner->PostMessage(WM_COMMAND, m_button.m_nID);
      return TRUE;
    case VK_ESCAPE:
      if (dropped) {
        ::SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
        return TRUE;
      }
      return HandleToolbarControlKey(combo, msg);
    case VK_TAB:
      return HandleToolbarControlKey(combo, msg);
    case VK_UP:
    case VK_DOWN:
      if (!dropped) {
        ::SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return CEdit::PreTranslateMessage(msg);
}

void CTKComboEdit::OnSetFocus(CWnd* oldWnd) {
  CEdit::OnSetFocus(oldWnd);
  m_button.SetHighlight(TRUE);
}

void CTKComboEdit::OnKillFocus(CWnd* newWnd) {
  CEdit::OnKillFocus(newWnd);
  m_button.SetHighlight(FALSE);
}

void CTKComboEdit::OnMouseMove(UINT flags, CPoint point) {
  m_button.SetHighlight(TRUE);
  if (!m_bTracked) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
    m_bTracked = ::TrackMouseEvent(&track);
  }
  CEdit::OnMouseMove(flags, point);
}

void CTKComboEdit::OnMouseLeave() {
  m_bTracked = FALSE;
  if (::GetFocus() != m_hWnd) m_button.SetHighlight(FALSE);
  CEdit::OnMouseLeave();
}
