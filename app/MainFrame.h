#pragma once
// The main window of the program.
#include "platform/afx/afxwin.h"

class CMainFrame : public CFrameWnd {
public:
  CMainFrame() = default;

  // The colour the client area is painted with.
  static constexpr COLORREF kBackground = RGB(0x1E, 0x2A, 0x3A);

protected:
  void OnPaint();

  DECLARE_MESSAGE_MAP()
};
