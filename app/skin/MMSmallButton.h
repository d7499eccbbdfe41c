#pragma once
// The control panel's small option buttons: the toolkit's button with its frames
// drawn in the colour scheme's shades.
#include "toolkit/frames/TKButton.h"

class CMMSmallButton : public CTKButton {
public:
  void FitToContent(SIZE& size, BOOL keepSize = FALSE) override;
  void FillBackground(CDC* dc, const CRect& rect) override;
  void DrawBorder(CDC* dc, CRect& rect, UINT itemState) override;
};
