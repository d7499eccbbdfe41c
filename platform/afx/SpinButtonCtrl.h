#pragma once
// The common controls' up-down control ("spin button"), usually attached to the edit
// before it (its buddy).
#include <windows.h>
#include <commctrl.h>

#include "platform/afx/Wnd.h"

class CSpinButtonCtrl : public CWnd {
public:
  CSpinButtonCtrl() = default;

  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  void SetRange32(int lower, int upper) { SendMessage(UDM_SETRANGE32, lower, upper); }
  void GetRange32(int& lower, int& upper) const;
  int SetPos32(int position) { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, position)); }
  int GetPos32() const;
  CWnd* SetBuddy(CWnd* buddy);
  CWnd* GetBuddy() const;
};
