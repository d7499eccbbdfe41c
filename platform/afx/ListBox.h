#pragma once
// A list box of the system's "ListBox" class, with the calls the program's lists use.
#include "platform/afx/String.h"
#include "platform/afx/Wnd.h"

class CListBox : public CWnd {
public:
  CListBox() = default;

  int GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0)); }
  int AddString(const char* text) {
    return static_cast<int>(::SendMessageA(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int DeleteString(int index) { return static_cast<int>(::SendMessageA(m_hWnd, LB_DELETESTRING, index, 0)); }
  void ResetContent() { ::SendMessageA(m_hWnd, LB_RESETCONTENT, 0, 0); }
  int GetTextLen(int index) const {
    return static_cast<int>(::SendMessageA(m_hWnd, LB_GETTEXTLEN, index, 0));
  }
  int GetTopIndex() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETTOPINDEX, 0, 0)); }
  int SetTopIndex(int index) { return static_cast<int>(::SendMessageA(m_hWnd, LB_SETTOPINDEX, index, 0)); }
  int GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0)); }
  int SetCurSel(int index) { return static_cast<int>(::SendMessageA(m_hWnd, LB_SETCURSEL, index, 0)); }
  int GetSel(int index) const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETSEL, index, 0)); }
  // Selects (or clears) the lines first..last of a multiple-selection list.
  int SelItemRange(BOOL select, int first, int last) {
    return static_cast<int>(select ? ::SendMessageA(m_hWnd, LB_SELITEMRANGEEX, first, last)
                                   : ::SendMessageA(m_hWnd, LB_SELITEMRANGEEX, last, first));
  }
  void SetHorizontalExtent(int extent) { ::SendMessageA(m_hWnd, LB_SETHORIZONTALEXTENT, extent, 0); }
  int SetItemHeight(int index, UINT height) {
    return static_cast<int>(::SendMessageA(m_hWnd, LB_SETITEMHEIGHT, index, MAKELPARAM(height, 0)));
  }
  // The line's text; empty for an index outside the list.
  CString GetText(int index) const {
    const int length = GetTextLen(index);
    if (length == LB_ERR) return CString();
    CString text;
    char* buffer = text.GetBuffer(length + 1);
    ::SendMessageA(m_hWnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer();
    return text;
  }
};
