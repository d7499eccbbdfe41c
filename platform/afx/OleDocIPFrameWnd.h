#pragma once
// The in-place frame of a document object: it takes the container's whole document
// area, with its bars inside it, instead of growing around an embedded object.
#include "platform/afx/OleIPFrameWnd.h"

class COleDocIPFrameWnd : public COleIPFrameWnd {
  DECLARE_DYNAMIC(COleDocIPFrameWnd)

public:
  COleDocIPFrameWnd() = default;

  // The frame covers posRect; its bars take their room inside it.
  void RepositionFrame(LPCRECT posRect, LPCRECT clipRect) override;
};
