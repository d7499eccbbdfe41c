#pragma once
// The docking context of the toolkit's sizing bars: it drags and toggles like any
// other, but a floating sizing bar is resized by asking the bar for its size at each
// mouse position, and the floating frame never leaves the desktop while it is sized.
#include "platform/afx/afxwin.h"

class CTKSizingDockContext : public CDockContext {
public:
  explicit CTKSizingDockContext(CControlBar* bar) : CDockContext(bar) {}

  void StartResize(int hitTest, CPoint point) override;

protected:
  void Stretch(CPoint point) override;
};
