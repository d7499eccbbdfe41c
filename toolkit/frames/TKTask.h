#pragma once
// A task of the tasks pane as the looks see it (a pane this program does not show): a
// plain record.
#include "platform/afx/afxwin.h"

struct CTKTask {
  CRect rect;
  const char* text = "";
  BOOL separator = FALSE;
  BOOL enabled = TRUE;
  BOOL hot = FALSE;
  int image = -1;
  HIMAGELIST imageList = nullptr;
  COLORREF textColor = (COLORREF)-1;
};
