#include "audiofiles/dialogs/EchoDlg.h"

#include "audiofiles/dialogs/EffectDialogText.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

CEchoDlg::CEchoDlg(double delay, double decay, CWnd* parent)
    : CDialog(IDD, parent), m_delay(delay), m_decay(decay) {}

void CEchoDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_ECHO_DELAY_SPIN, m_delaySpin);
  DDX_Control(dx, IDC_ECHO_DECAY_SPIN, m_decaySpin);
  DDX_FloatInRange(dx, IDC_ECHO_DELAY, m_delay, effect_dialog_text::kEchoDelayRange);
  DDX_FloatInRange(dx, IDC_ECHO_DECAY, m_decay, effect_dialog_text::kEchoDecayRange);
}

BOOL CEchoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_delaySpin.SetDecimalPlaces(3);
  m_delaySpin.SetRangeAndDelta(0.0, 60.0, 0.05);
  m_delaySpin.SetPos(m_delay);
  m_decaySpin.SetDecimalPlaces(2);
  m_decaySpin.SetRangeAndDelta(0.0, 1.0, 0.05);
  m_decaySpin.SetPos(m_decay);
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", m_delay);
  SetDlgItemText(IDC_ECHO_DELAY, text);
  std::snprintf(text, sizeof text, "%.2f", m_decay);
  SetDlgItemText(IDC_ECHO_DECAY, text);
  return TRUE;
}
