#include "platform/afx/ComboBox.h"

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateEx(0, "COMBOBOX", "", style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CComboBox::GetLBText(int index, CString& text) const {
  const int length = static_cast<int>(::SendMessageA(m_hWnd, CB_GETLBTEXTLEN, index, 0));
  if (length < 0) {
    text.Empty();
    return;
  }
  char* buffer = text.GetBuffer(length + 1);
  buffer[0] = 0;
  ::SendMessageA(m_hWnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
  text.ReleaseBuffer();
}
