#pragma once
// The DC of a window's WM_PAINT: made with BeginPaint, ended with EndPaint when the
// object goes, so every path out of a paint handler validates the window.
#include "platform/afx/DC.h"

class CPaintDC : public CDC {
public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;

  // What BeginPaint answered: the rectangle to paint, whether to erase.
  PAINTSTRUCT m_ps{};

protected:
  HWND m_hWnd;
};
