#pragma once
// An edit control of the system's "Edit" class.
#include "platform/afx/Wnd.h"

class CEdit : public CWnd {
public:
  CEdit() = default;
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void GetSel(int& start, int& end) const;
  void ReplaceSel(const char* text) {
    ::SendMessageA(m_hWnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  }
  void LimitText(int count) { ::SendMessageA(m_hWnd, EM_LIMITTEXT, static_cast<WPARAM>(count), 0); }
};
