#pragma once
// A group of the tasks pane as the looks see it (a pane this program does not show).
#include "platform/afx/afxwin.h"

class CTKTasksGroup {
public:
  CRect rect;
  const char* caption = "";
  BOOL special = FALSE;
  BOOL collapsed = FALSE;
  HICON icon = nullptr;
  COLORREF textColor = (COLORREF)-1;
};
