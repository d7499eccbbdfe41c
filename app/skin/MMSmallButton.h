#pragma once
// The control panel's small option buttons: the toolkit's button with its frames
// drawn in the colour scheme's shades.
#include "toolkit/frames/TKButton.h"

class CMMSmallButton : public CTKButton {
public:
  void FitToContent(SIZE& size, BOOL keepSize = FALSE) override;
  void FillBackground(CDC* dc, const CRect& rect) override;
  void DrawBorder(CDC* dc, CRect& rect, UINT itemState) override;
  // A disabled button's text is etched in the scheme's shades, so the user sees it
  // cannot be pressed.
  void DrawButtonText(CDC* dc, CRect& rect, const CString& text, UINT format) override;
};
