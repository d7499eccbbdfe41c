#pragma once
// The application object of the program.
#include "platform/afx/afxwin.h"

class CTVLApp : public CWinApp {
public:
  CTVLApp() = default;
  BOOL InitInstance() override;
  int ExitInstance() override;
};
