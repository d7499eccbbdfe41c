#pragma once
// A combo box of the system's "ComboBox" class.
#include "platform/afx/Wnd.h"

class CComboBox : public CWnd {
public:
  CComboBox() = default;
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  int GetCount() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0)); }
  int GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0)); }
  int SetCurSel(int index) { return static_cast<int>(::SendMessageA(m_hWnd, CB_SETCURSEL, index, 0)); }
  int AddString(const char* text) {
    return static_cast<int>(::SendMessageA(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int InsertString(int index, const char* text) {
    return static_cast<int>(::SendMessageA(m_hWnd, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text)));
  }
  void ResetContent() { ::SendMessageA(m_hWnd, CB_RESETCONTENT, 0, 0); }
  DWORD_PTR GetItemData(int index) const {
    return static_cast<DWORD_PTR>(::SendMessageA(m_hWnd, CB_GETITEMDATA, index, 0));
  }
  int SetItemData(int index, DWORD_PTR data) {
    return static_cast<int>(::SendMessageA(m_hWnd, CB_SETITEMDATA, index, static_cast<LPARAM>(data)));
  }
  void GetLBText(int index, CString& text) const;
  void ShowDropDown(BOOL show = TRUE) { ::SendMessageA(m_hWnd, CB_SHOWDROPDOWN, show, 0); }
  BOOL GetDroppedState() const { return static_cast<BOOL>(::SendMessageA(m_hWnd, CB_GETDROPPEDSTATE, 0, 0)); }
  BOOL SetEditSel(int start, int end) {
    return static_cast<BOOL>(::SendMessageA(m_hWnd, CB_SETEDITSEL, 0, MAKELPARAM(start, end)));
  }
};
