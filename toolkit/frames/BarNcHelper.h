#pragma once
// The non-client work of a toolkit bar: how much of the window its borders and
// gripper take, painting that area through the current look, and showing the
// parent's background under the bar. The bar calls it from its non-client size,
// non-client paint and background handlers.
#include "toolkit/frames/TKBaseControlBar.h"

class BarNcHelper {
public:
  explicit BarNcHelper(CTKBaseControlBar* owner) : m_pOwner(owner) {}
  virtual ~BarNcHelper() = default;

  // Shrinks a window rectangle to the bar's client rectangle.
  void ShrinkClientRect(RECT* rect) const;
  // Paints the border lines, the background and the gripper outside the client area;
  // updateRegion is WM_NCPAINT's region (1 or null for all).
  void PaintNonClient(HRGN updateRegion = nullptr);
  void PaintParentBack(CDC* dc);

  CTKBaseControlBar* m_pOwner;
};
