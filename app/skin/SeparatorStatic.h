#pragma once
// An etched double divider between groups of the control panel, drawn in the colour
// scheme's light and dark shades (read at each paint).
#include "platform/afx/afxwin.h"

class CSeparatorStatic : public CWnd {
public:
  BOOL SubclassFromControl(UINT id, CWnd* parent) { return parent && SubclassDlgItem(id, parent); }

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  LRESULT OnPrintClient(WPARAM dc, LPARAM);

private:
  void Paint(HDC dc);

  DECLARE_MESSAGE_MAP()
};
