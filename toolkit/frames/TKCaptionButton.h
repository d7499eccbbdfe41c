#pragma once
// The caption buttons of sizing bars (hide, expand/collapse) as the looks see them.
#include "platform/afx/afxwin.h"

class CTKCaptionButton {
public:
  CRect rect;
  int hitTest = 0;        // 19: the hide button
  BOOL pushed = FALSE;
  BOOL focused = FALSE;
};
