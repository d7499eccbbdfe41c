#pragma once
// Geometry the program's looks share when they fill a bar's background: where the
// bar window's own top-left lies on the DC the bar paints on, so that a docked bar's
// fill (a gradient, a tiled bitmap) starts at the bar's corner whatever part of it is
// being painted.
#include "toolkit/frames/TKBaseControlBar.h"

namespace looks {

// The bar window's top-left corner in the coordinates of the DC: (0, 0) on the
// window DC of a non-client paint, the client area's offset negated otherwise.
CPoint BarWindowOrigin(CWnd* bar, BOOL nonClient);

// The rectangle a bar fill covers: the given one, with its top-left moved to the bar
// window's corner when the bar is docked and is not a popup menu bar.
CRect BarFillRect(CTKBaseControlBar* bar, const CRect& rect, BOOL nonClient);

// Keeps drawing inside the rectangle while it lives (only when asked to).
class ScopedClip {
public:
  ScopedClip(CDC* dc, const CRect& rect, bool active);
  ~ScopedClip();
  ScopedClip(const ScopedClip&) = delete;
  ScopedClip& operator=(const ScopedClip&) = delete;

private:
  CDC* m_pDC;
  int m_nSaved = 0;
};

}  // namespace looks
