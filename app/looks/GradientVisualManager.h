#pragma once
// A look on the classic one that shades bars and tab areas from a pale green at the
// bottom to white at the top, with green shaded grippers and menu highlights.
#include "toolkit/frames/TKVisualManager.h"

class CGradientVisualManager : public CTKVisualManager {
public:
  static constexpr COLORREF kBarStart = RGB(163, 225, 210);
  static constexpr COLORREF kBarEnd = RGB(255, 255, 255);
  static constexpr COLORREF kAccent = RGB(0, 159, 98);

  CGradientVisualManager() = default;

  void PaintBarBackground(CDC* dc, CTKBaseControlBar* bar, CRect client, CRect clip,
                          BOOL nonClient = FALSE) override;
  void PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar) override;
  void PaintSeparator(CDC* dc, CTKBaseControlBar* bar, CRect rect, BOOL horizontal) override;
  void PaintFace3D(CDC* dc, CTKToolbarButton* menuButton, CRect rect, COLORREF& textColor) override;
  void PaintTabAreaBackground(CDC* dc, CRect rect, CWnd* window) override;
  void PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase* tabWindow) override;
};
