#include "platform/afx/Edit.h"

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateEx(0, "EDIT", "", style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                  parent ? parent->m_hWnd : nullptr, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CEdit::SetSel(int start, int end, BOOL noScroll) {
  ::SendMessageA(m_hWnd, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  if (!noScroll) ::SendMessageA(m_hWnd, EM_SCROLLCARET, 0, 0);
}

void CEdit::GetSel(int& start, int& end) const {
  DWORD first = 0, last = 0;
  ::SendMessageA(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
  start = static_cast<int>(first);
  end = static_cast<int>(last);
}
