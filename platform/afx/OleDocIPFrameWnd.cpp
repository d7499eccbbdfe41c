#include "platform/afx/OleDocIPFrameWnd.h"

IMPLEMENT_DYNAMIC(COleDocIPFrameWnd, COleIPFrameWnd)

void COleDocIPFrameWnd::RepositionFrame(LPCRECT posRect, LPCRECT clipRect) {
  if (!posRect) return;
  PlaceFrame(*posRect, clipRect);
}
