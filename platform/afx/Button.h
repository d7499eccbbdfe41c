#pragma once
// A button control (push button, check box, radio button) of the system's "Button"
// class.
#include "platform/afx/Wnd.h"

class CButton : public CWnd {
public:
  CButton() = default;
  BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
  void SetCheck(int check) { ::SendMessageA(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(check), 0); }
  UINT GetState() const { return static_cast<UINT>(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0)); }
  UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
  void SetButtonStyle(UINT style, BOOL redraw = TRUE) { ::SendMessageA(m_hWnd, BM_SETSTYLE, style, redraw); }
};
