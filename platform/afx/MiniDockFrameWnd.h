#pragma once
// The small tool window a floating bar lives in: a caption with the bar's name and a
// close button, and inside it a floating dock bar that holds the bar. Dragging the
// caption moves the bar through its docking context (so it can dock again), a double
// click on the caption docks it where it was, the close button hides it, and a frame
// whose last bar left goes away.
#include "platform/afx/DockBar.h"
#include "platform/afx/FrameWnd.h"

class CMiniDockFrameWnd : public CFrameWnd {
public:
  CMiniDockFrameWnd();

  // Makes the (hidden) floating frame, owned by the dock site.
  virtual BOOL Create(CFrameWnd* dockSite, DWORD barStyle);
  // Sizes the frame around its bar and names it after the bar.
  void RecalcLayout(BOOL notify = TRUE) override;
  CControlBar* FirstBar() const;
  // The floating frame a bar floats in, null when it is docked.
  static CMiniDockFrameWnd* FrameOf(const CControlBar* bar);
  // The widths of the frame around a floating bar: left, top, right, bottom.
  static CRect Borders(const CControlBar* bar);
  static DWORD FrameStyleFor(const CControlBar* bar);
  // Called by the dock bar when its last bar left: the frame hides and goes soon after.
  void OnLastBarRemoved();

  CDockBar m_wndDockBar{TRUE};
  CFrameWnd* m_pDockSite = nullptr;

protected:
  void PostNcDestroy() override;
  void OnNcLButtonDown(UINT hitTest, CPoint point);
  void OnNcLButtonDblClk(UINT hitTest, CPoint point);
  void OnClose();
  void OnDestroy();
  LRESULT OnDestroyIfEmpty(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()
};
