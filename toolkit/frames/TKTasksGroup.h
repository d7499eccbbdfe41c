#pragma once
// A group of the tasks pane as the looks see it (a pane this program does not show): a
// plain record.
#include "platform/afx/afxwin.h"

struct CTKTasksGroup {
  CRect rect;
  const char* caption = "";
  BOOL special = FALSE;
  BOOL collapsed = FALSE;
  HICON icon = nullptr;
  COLORREF textColor = (COLORREF)-1;
};
