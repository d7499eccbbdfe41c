#pragma once
// Moving a bar with the mouse: dragging it by its gripper or caption shows a rectangle
// that follows the cursor, thin where the bar would dock (over a side of the frame the
// bar may dock on) and thick where it would float; letting go docks or floats it there.
// Holding Ctrl keeps it floating. A double click toggles between its last docked place
// and its last floating place. Floating frames are resized through it too.
#include "platform/afx/Rect.h"

class CControlBar;
class CDockBar;
class CFrameWnd;

class CDockContext {
public:
  explicit CDockContext(CControlBar* bar);
  virtual ~CDockContext() = default;
  CDockContext(const CDockContext&) = delete;
  CDockContext& operator=(const CDockContext&) = delete;

  // Starts a drag from a screen point on the bar (or its floating frame's caption).
  virtual void StartDrag(CPoint point);
  // Starts resizing the floating frame from one of its borders (hit code 10..17).
  virtual void StartResize(int hitTest, CPoint point);
  // Docks a floating bar where it was docked last, floats a docked one where it
  // floated last.
  virtual void ToggleDocking();

  CControlBar* m_pBar;
  CFrameWnd* m_pDockSite = nullptr;
  // Where the bar was docked last (dock bar id and rectangle in screen coordinates) and
  // where its floating frame stood last.
  UINT m_uMRUDockID = 0;
  CRect m_rectMRUDockPos;
  CPoint m_ptMRUFloatPos{-1, -1};
  BOOL m_bHasMRUFloatPos = FALSE;

  // The tracking state.
  BOOL m_bDragging = FALSE;
  BOOL m_bForceFrame = FALSE;  // Ctrl held: never dock
  CPoint m_ptLast;
  CPoint m_ptStart;
  CRect m_rectDragHorz;   // the bar's rectangle as it would dock on a top or bottom side
  CRect m_rectDragVert;   // ... on a left or right side
  CRect m_rectFrameDrag;  // ... floating, its frame included
  CRect m_rectResize;     // the floating frame while it is resized
  int m_nHitTest = 0;
  CDockBar* m_pTargetDockBar = nullptr;

protected:
  // Reads the mouse and keys until the button is released (TRUE) or the tracking is
  // cancelled (Esc, right button, capture lost, WM_QUIT).
  BOOL Track();
  void Move(CPoint point);
  // Moves one edge of the resize rectangle to the point.
  virtual void Stretch(CPoint point);
  void EndDrag();
  void EndResize();
  void CancelLoop();
  // The dock bar the drag would dock on at the cursor (null: float).
  CDockBar* DockBarAt(CPoint point) const;
  // Draws (or erases, drawn a second time) the drag rectangle on the screen.
  void DrawFocusRect(BOOL erase = FALSE);
  CRect m_rectLastDrawn;
  int m_lastThickness = 0;
};
