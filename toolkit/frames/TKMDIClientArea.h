#pragma once
// The MDI client of the toolkit's MDI frame, taken over: it tells the frame when its
// children change (made, activated, maximized, restored, destroyed), so the menu
// bar's document buttons follow the active child.
#include "platform/afx/afxwin.h"

class CTKMDIFrameWnd;

class CTKMDIClientArea : public CWnd {
public:
  CTKMDIClientArea() = default;

  // Takes over the frame's MDI client.
  BOOL AttachClient(CTKMDIFrameWnd* frame, HWND client);

  // The small icon a child shows: its own WM_GETICON answer, else its class's.
  static HICON IconOf(HWND child);

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  CTKMDIFrameWnd* m_pFrame = nullptr;
};
