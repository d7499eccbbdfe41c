#pragma once
// The class of the main frame's menu bar: the toolkit's menu bar in a window class
// named in the framework's pattern, made like the program's toolbars.
#include "toolkit/bars/TKMenuBar.h"

class CTVLMenuBar : public CTKMenuBar {
  DECLARE_SERIAL(CTVLMenuBar)

public:
  CTVLMenuBar();
  ~CTVLMenuBar() override;

  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = kMenuBarId) override;
  BOOL CreateEx(CWnd* parent, DWORD controlStyle = 0x800,
                DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect borders = CRect(1, 1, 1, 1),
                UINT id = kMenuBarId) override;

protected:
  DECLARE_MESSAGE_MAP()
};
