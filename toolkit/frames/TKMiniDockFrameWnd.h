#pragma once
// The toolkit's floating frame: a tool-window caption, a close button that hides a
// sizing bar only when the bar allows it, the bars' context menu on its caption, a
// frame that keeps its caption inside the work area, and for a floating sizing bar
// with a rolling type a roll button that rolls the frame up to its caption: by itself
// when the cursor and the focus have left it for a while (types 2 and 4, 4 also
// narrowing it to its caption's text), or on the button (3 and 5 are 2 and 4 pinned
// open; any other type rolls and unrolls on the button only).
#include "platform/afx/afxwin.h"

class CTKPopupMenuBase;
class CTKSizingControlBar;

class CTKMiniDockFrameWnd : public CMiniDockFrameWnd {
public:
  CTKMiniDockFrameWnd() = default;

  BOOL Create(CFrameWnd* dockSite, DWORD barStyle) override;
  // Takes the rolling type and the rolled flag (from the bar's stored state) and
  // sizes the frame for them.
  void SetRolling(int rollingType, BOOL rolled);
  // Moves the frame of a toolbar just torn off the popup menu with the mouse until
  // the button is released (TRUE: placed, the popup closes) or the move is cancelled
  // with Esc or the right button (the popup shows again and the bar goes).
  BOOL TrackTearOff(CTKPopupMenuBase* popup);
  // The roll button's place in window coordinates (empty without a rolling type).
  CRect RollButtonRect() const { return m_rollButton; }

  int m_rollingType = 0;
  BOOL m_isRolled = FALSE;
  int m_narrowLeft = -1;
  int m_narrowRight = -1;
  int m_rollCountdown = 6;

protected:
  void OnClose();
  void OnNcRButtonDown(UINT hitTest, CPoint point);
  void OnNcLButtonDown(UINT hitTest, CPoint point);
  void OnNcMouseMove(UINT hitTest, CPoint point);
  void OnNcPaint();
  void OnSize(UINT type, int cx, int cy);
  void OnTimer(UINT_PTR id);
  void OnWindowPosChanging(WINDOWPOS* pos);
  void OnWindowPosChanged(WINDOWPOS* pos);
  BOOL OnNcActivate(BOOL active);

  DECLARE_MESSAGE_MAP()

private:
  CTKSizingControlBar* SizingBar() const;
  void PlaceRollButton();
  // Copies the frame's rolling state to its bar and lays the frame out again.
  void ApplyRolling();
  BOOL AutoRolls() const { return m_rollingType == 2 || m_rollingType == 4; }
  CRect m_rollButton;
  BOOL m_inWorkAreaCheck = FALSE;
};
