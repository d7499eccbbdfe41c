#pragma once
// The caption buttons of sizing bars (hide, expand/collapse) as the looks see them: a
// plain record that the bar fills in.
#include "platform/afx/afxwin.h"

struct CTKCaptionButton {
  // What each button answers to a hit test: the expand/collapse button is the bar's
  // maximise box; the hide button has a code of its own that the system does not use.
  enum HitCode { kHitExpand = HTMAXBUTTON, kHitHide = 19 };

  CRect rect;
  int hitTest = 0;  // a HitCode
  BOOL pushed = FALSE;
  BOOL focused = FALSE;
};
