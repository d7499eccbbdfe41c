#pragma once
// The toolkit's floating frame: a tool-window caption, a close button that hides a
// sizing bar only when the bar allows it, the bars' context menu on its caption, and a
// frame that keeps its caption inside the work area.
#include "platform/afx/afxwin.h"

class CTKMiniDockFrameWnd : public CMiniDockFrameWnd {
public:
  CTKMiniDockFrameWnd() = default;

  BOOL Create(CFrameWnd* dockSite, DWORD barStyle) override;

protected:
  void OnClose();
  void OnNcRButtonDown(UINT hitTest, CPoint point);
  void OnWindowPosChanged(WINDOWPOS* pos);
  BOOL OnNcActivate(BOOL active);

  DECLARE_MESSAGE_MAP()

private:
  BOOL m_inWorkAreaCheck = FALSE;
};
