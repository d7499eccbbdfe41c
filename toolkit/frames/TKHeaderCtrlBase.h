#pragma once
// A header control of the sorting lists as the looks see it: a header inside a dialog
// is painted in the dialog's button colours, any other in the bar colours.
#include "platform/afx/afxwin.h"

class CTKHeaderCtrlBase : public CHeaderCtrl {
public:
  BOOL m_bIsDlgControl = FALSE;
};
