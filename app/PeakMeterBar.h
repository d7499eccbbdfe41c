#pragma once
// The docking bar that carries the peak meter at the side of the main frame: a
// sizing bar whose only child, the meter, always fills it.
#include "app/view/PeakMeterWnd.h"
#include "toolkit/frames/TKSizingControlBar.h"

class CPeakMeterBar : public CTKSizingControlBar {
public:
  // Makes the bar (size the meter's default size) with the meter inside it.
  BOOL Create(CWnd* parent, CSize size, DWORD style, UINT id);
  CPeakMeterWnd& Meter() { return m_meter; }

protected:
  void OnSize(UINT type, int cx, int cy);

private:
  CPeakMeterWnd m_meter;

  DECLARE_MESSAGE_MAP()
};
