#include "audiofiles/dialogs/AmplifyDlg.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

CAmplifyDlg::CAmplifyDlg(double ratio, double peak, CWnd* parent)
    : CDialog(IDD, parent), m_ratio(ratio), m_peak(peak) {}

int CAmplifyDlg::SliderPosition(double ratio) {
  // Tenths of a decibel, rounded half up and then cut toward zero; a ratio beyond the
  // slider (or 0, which has no decibels) sits at its end.
  double tenths = 200.0 * std::log10(ratio) + 0.5;
  if (!(tenths > -kSliderZero)) tenths = -kSliderZero;
  if (tenths > kSliderMax - kSliderZero) tenths = kSliderMax - kSliderZero;
  return static_cast<int>(tenths) + kSliderZero;
}

void CAmplifyDlg::ShowValues(double ratio, double peak) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", ratio);
  SetDlgItemText(IDC_AMPLIFY_RATIO, text);
  std::snprintf(text, sizeof text, "%.3f", peak);
  SetDlgItemText(IDC_AMPLIFY_PEAK, text);
}

BOOL CAmplifyDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ShowValues(m_ratio, m_peak);
  SendDlgItemMessage(IDC_AMPLIFY_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(0, kSliderMax));
  SendDlgItemMessage(IDC_AMPLIFY_SLIDER, TBM_SETPOS, TRUE, SliderPosition(m_ratio));
  return TRUE;
}

void CAmplifyDlg::OnHScroll(UINT, UINT, CWnd* scrollBar) {
  if (!scrollBar || scrollBar->GetDlgCtrlID() != IDC_AMPLIFY_SLIDER) return;
  const int position = static_cast<int>(SendDlgItemMessage(IDC_AMPLIFY_SLIDER, TBM_GETPOS));
  const double db = std::clamp((position - kSliderZero) * 0.1, -240.0, 240.0);
  m_ratio = std::pow(10.0, db * 0.05);
  // From now on the peak box shows the peak as it will be.
  ShowValues(m_ratio, m_peak * m_ratio);
}

BEGIN_MESSAGE_MAP(CAmplifyDlg, CDialog)
  ON_WM_HSCROLL()
END_MESSAGE_MAP()
