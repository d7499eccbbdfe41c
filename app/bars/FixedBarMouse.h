#pragma once
// The press handling the two fixed bars share (a docking bar and a dialog bar that stay
// where the frame docked them). Their hit test answers transparent everywhere, so a
// press only resets the caption buttons and reaches the non-client press with that
// answer, where nothing starts a move, a size drag or a caption button.
#include "toolkit/frames/TKSizingControlBar.h"

template <class Bar>
void FixedBarLButtonDown(Bar& bar, CPoint point) {
  if (bar.IsFloating()) {
    bar.Default();
    return;
  }
  if (bar.m_captionHeight > 0) {
    for (int i = 0; i < 2; ++i) {
      TKSizingCaptionButton& button = bar.m_captionButtons[i];
      if (!button.pushed && !button.focused) continue;
      button.pushed = button.focused = FALSE;
      if (::GetCapture() == bar.m_hWnd) ::ReleaseCapture();
      bar.RedrawButton(i);
    }
  }
  POINT screen = point;
  ::ClientToScreen(bar.m_hWnd, &screen);
  CRect window;
  bar.GetWindowRect(&window);
  if (window.PtInRect(screen))
    bar.OnNcLButtonDown(static_cast<UINT>(bar.OnNcHitTest(CPoint(screen.x, screen.y))),
                        CPoint(screen.x, screen.y));
}

template <class Bar>
void FixedBarNcLButtonDown(Bar& bar, UINT hitTest, CPoint point) {
  if (bar.IsFloating()) {
    bar.Default();
    return;
  }
  if (bar.m_isDragging) return;
  const int hit = static_cast<int>(hitTest);
  if (bar.m_captionHeight > 0) {
    for (int i = 0; i < 2; ++i) {
      TKSizingCaptionButton& button = bar.m_captionButtons[i];
      if (button.hitTest != hit || (hit == HTMAXBUTTON && bar.m_isRolled)) continue;
      button.pushed = button.focused = TRUE;
      bar.RedrawButton(i);
      ::SetCapture(bar.m_hWnd);
    }
  }
  if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
    ::ScreenToClient(bar.m_hWnd, &point);
    bar.BeginEdgeDrag(hit, point);
  }
}
