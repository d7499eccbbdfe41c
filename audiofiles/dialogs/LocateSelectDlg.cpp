#include "audiofiles/dialogs/LocateSelectDlg.h"

#include "audiofiles/dialogs/EffectDialogText.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include <utility>
#include "platform/afx/linux_headers_end.h"

namespace {
// The fields show five decimals, so a time can show up to half a unit of the last
// digit above its real value (the project's end time among them): that much past the
// end still counts as the end.
constexpr double kShownPrecision = 0.5e-5;

void SetTime(CWnd* dialog, int id, double seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%.5f", seconds);
  dialog->SetDlgItemText(id, text);
}
}  // namespace

CLocateSelectDlg::CLocateSelectDlg(double* times, std::function<double()> projectEndTime, CWnd* parent)
    : CDialog(IDD, parent), m_pTimes(times), m_projectEndTime(std::move(projectEndTime)) {}

double CLocateSelectDlg::ProjectEndTime() const { return m_projectEndTime ? m_projectEndTime() : 0.0; }

void CLocateSelectDlg::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_FROM_SPIN, m_fromSpin);
  DDX_Control(dx, IDC_TO_SPIN, m_toSpin);
  DDX_Radio(dx, IDC_LOCATE, m_mode);
  DDX_FloatInRange(dx, IDC_FROM, m_from, effect_dialog_text::kFromRange);
  DDX_FloatInRange(dx, IDC_TO, m_to, effect_dialog_text::kToRange);
}

BOOL CLocateSelectDlg::OnInitDialog() {
  const double end = ProjectEndTime();
  m_from = m_pTimes ? m_pTimes[0] : 0.0;
  m_to = m_pTimes ? m_pTimes[1] : 0.0;
  m_mode = m_from != m_to ? kSelect : kLocate;
  CDialog::OnInitDialog();
  for (CNumSpinCtrl* spin : {&m_fromSpin, &m_toSpin}) {
    spin->SetDecimalPlaces(5);
    spin->SetRangeAndDelta(0.0, end, 0.05);
  }
  m_fromSpin.SetPos(m_from);
  m_toSpin.SetPos(m_to);
  SetTime(this, IDC_FROM, m_from);
  SetTime(this, IDC_TO, m_to);
  return TRUE;
}

void CLocateSelectDlg::AdjustToEnd(double& value, int editId, const char* field, double end) {
  value = end;
  SetTime(this, editId, end);
  CString message;
  message.Format(effect_dialog_text::kTimeAdjusted, field, 0.0, end);
  AfxMessageBox(message);
  GotoDlgCtrl(::GetDlgItem(m_hWnd, editId));
}

void CLocateSelectDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  const double end = ProjectEndTime();
  if (m_from > end + kShownPrecision) {
    AdjustToEnd(m_from, IDC_FROM, effect_dialog_text::kFromField, end);
    return;
  }
  if (m_to > end + kShownPrecision) {
    AdjustToEnd(m_to, IDC_TO, effect_dialog_text::kToField, end);
    return;
  }
  // Past the end only by the rounding of the shown digits: the end itself.
  if (m_from > end) m_from = end;
  if (m_to > end) m_to = end;

  const bool select = m_mode == kSelect;
  if (m_pTimes) {
    if (m_to >= m_from) {
      m_pTimes[0] = m_from;
      m_pTimes[1] = select ? m_to : m_from;
    } else {
      m_pTimes[0] = select ? m_to : m_from;
      m_pTimes[1] = m_from;
    }
  }
  EndDialog(IDOK);
}
