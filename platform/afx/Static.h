#pragma once
// A static control of the system's "Static" class.
#include "platform/afx/Wnd.h"

class CStatic : public CWnd {
public:
  CStatic() = default;
  BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
};
