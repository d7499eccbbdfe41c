#include "platform/afx/SpinButtonCtrl.h"

BOOL CSpinButtonCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(UPDOWN_CLASSA, nullptr, style, rect, parent, id);
}

void CSpinButtonCtrl::GetRange32(int& lower, int& upper) const {
  ::SendMessageA(m_hWnd, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
}

int CSpinButtonCtrl::GetPos32() const { return static_cast<int>(::SendMessageA(m_hWnd, UDM_GETPOS32, 0, 0)); }

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* buddy) {
  return FromHandle(reinterpret_cast<HWND>(
      SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy ? buddy->m_hWnd : nullptr))));
}

CWnd* CSpinButtonCtrl::GetBuddy() const {
  return FromHandle(reinterpret_cast<HWND>(::SendMessageA(m_hWnd, UDM_GETBUDDY, 0, 0)));
}
