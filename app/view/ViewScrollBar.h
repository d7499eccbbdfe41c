#pragma once
// The waveform frame's scroll bars. While a recording grows, the horizontal bar's range
// changes every few seconds; the bar is repainted only when what it shows moved (its
// thumb, or whether it is enabled), and it paints into an off-screen picture first:
// a themed bar draws its parts with transparent blits, which cost several requests to
// the window system each when they go straight to the screen.
#include "platform/afx/afxwin.h"

class CViewScrollBar : public CWnd {
public:
  // A scroll bar control of the given style (SBS_HORZ, SBS_VERT or SBS_SIZEBOX).
  BOOL Create(CWnd* parent, DWORD style);
  // SetScrollInfo with its redraw, but the bar is repainted only if it now looks
  // different.
  void SetInfo(const SCROLLINFO& info);

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }

private:
  // What a user sees of the bar: the thumb's extent, the arrows' size and the parts'
  // states.
  bool LooksChanged();

  SCROLLBARINFO m_shown{};

  DECLARE_MESSAGE_MAP()
};
