#include "app/PeakMeterBar.h"

BEGIN_MESSAGE_MAP(CPeakMeterBar, CTKSizingControlBar)
  ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {
// The meter's own window id inside the bar.
constexpr UINT kMeterId = 1;
}  // namespace

BOOL CPeakMeterBar::Create(CWnd* parent, CSize size, DWORD style, UINT id) {
  if (!CTKSizingControlBar::Create("", parent, size, FALSE, id, style)) return FALSE;
  CRect client;
  GetClientRect(&client);
  return m_meter.Create(this, client, kMeterId);
}

void CPeakMeterBar::OnSize(UINT type, int cx, int cy) {
  Default();
  if (m_meter.m_hWnd)
    ::SetWindowPos(m_meter.m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}
