#pragma once
// The program's options sheet: the toolkit's property sheet with its Apply button
// hidden. It holds the options pages, or a single page for the Record Wizard.
#include "toolkit/frames/TKPropertySheet.h"

class CTVLOptionsPropSheet : public CTKPropertySheet {
public:
  explicit CTVLOptionsPropSheet(CWnd* parent = nullptr, UINT selectPage = 0);

  BOOL OnInitDialog() override;
};
