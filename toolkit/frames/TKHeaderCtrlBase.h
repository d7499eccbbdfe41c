#pragma once
// A header control of the sorting lists as the looks see it.
#include "platform/afx/afxwin.h"

class CTKHeaderCtrlBase : public CHeaderCtrl {
public:
  BOOL dialogColors = FALSE;
};
