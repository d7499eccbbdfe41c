#pragma once
// The toolkit's side of a frame where bars dock: painted by the current look, the
// toolkit's own bars laid end to end without overlapping their borders, a menu bar
// across the whole side, and a bar that would run past the end of its row moved to a
// new row.
#include "platform/afx/afxwin.h"

class CTKToolDockBar : public CDockBar {
public:
  CTKToolDockBar() = default;

protected:
  int Overlap(CControlBar* bar) const override;
  BOOL TakesWholeRow(CControlBar* bar) const override;
  BOOL WrapsLongRows() const override { return TRUE; }
  BOOL OnEraseBkgnd(CDC* dc);
  void OnPaint();

  DECLARE_MESSAGE_MAP()
};
