#include "audiofiles/dialogs/InsertSilenceDlg.h"

#include "audiofiles/dialogs/EffectDialogText.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

CInsertSilenceDlg::CInsertSilenceDlg(double duration, CWnd* parent)
    : CDialog(IDD, parent), m_duration(duration) {}

void CInsertSilenceDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_SILENCE_DURATION_SPIN, m_durationSpin);
  DDX_FloatInRange(dx, IDC_SILENCE_DURATION, m_duration, effect_dialog_text::kSilenceDurationRange);
}

BOOL CInsertSilenceDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_durationSpin.SetDecimalPlaces(3);
  m_durationSpin.SetRangeAndDelta(0.0, 300.0, 0.1);
  m_durationSpin.SetPos(m_duration);
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", m_duration);
  SetDlgItemText(IDC_SILENCE_DURATION, text);
  return TRUE;
}
