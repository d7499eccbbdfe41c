#include "options/sheet/OptionsAdvanceRecordSettingPage.h"

#include "options/sheet/AutoDetectSilenceDlg.h"
#include "options/sheet/DialogControls.h"
#include "options/sheet/OptionsHost.h"
#include "options/sheet/OptionsText.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include "platform/afx/linux_headers_end.h"

using namespace dialogcontrols;

namespace {

constexpr double kUnbounded = 1e9;
constexpr double kFactorLimit = 0.2;

// The controls that are usable only while silence detection is on.
constexpr int kSilenceGroup[] = {
    IDC_AR_LABEL_1172,   IDC_AR_LABEL_1173, IDC_AR_LOGIC,          IDC_AR_LABEL_1174, IDC_AR_LABEL_1175,
    IDC_AR_ZCR,          IDC_AR_ZCR_LEFT,   IDC_AR_ZCR_LEFT_SPIN,  IDC_AR_ZCR_RIGHT,  IDC_AR_ZCR_RIGHT_SPIN,
    IDC_AR_AUTO_DETECT,  IDC_AR_ZCR_DELAY,  IDC_AR_ZCR_DELAY_SPIN, IDC_AR_SE,         IDC_AR_SE_LEFT,
    IDC_AR_SE_LEFT_SPIN, IDC_AR_SE_RIGHT,   IDC_AR_SE_RIGHT_SPIN,  IDC_AR_SE_DELAY,   IDC_AR_SE_DELAY_SPIN,
    IDC_AR_LABEL_1176,   IDC_AR_LABEL_1177, IDC_AR_EDITING_ACTION, IDC_AR_LABEL_1178, IDC_AR_SAVING_ACTION};

void FillNames(HWND dialog, int id, std::span<const char* const> names, int selected) {
  HWND combo = ::GetDlgItem(dialog, id);
  ::SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const char* name : names) ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

}  // namespace

COptionsAdvanceRecordSettingPage::COptionsAdvanceRecordSettingPage() : CTKPropertyPage(IDD) {
  if (const AdvanceRecordSetting* advance = GetOptionsHost().advance) m_options = *advance;
}

COptionsAdvanceRecordSettingPage::COptionsAdvanceRecordSettingPage(const AdvanceRecordSetting& options)
    : CTKPropertyPage(IDD), m_options(options) {}

BOOL COptionsAdvanceRecordSettingPage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();  // attaches the spins
  const struct {
    CNumSpinCtrl* spin;
    double low, high, step;
  } spins[] = {{&m_limitSpin, 0.1, kUnbounded, 1.0},   {&m_zcrLeftSpin, 0.0, 0.2, 0.001},
               {&m_zcrRightSpin, 0.0, 0.2, 0.001},     {&m_zcrDelaySpin, 0.001, 1000.0, 0.001},
               {&m_seLeftSpin, 0.0, 0.2, 0.001},       {&m_seRightSpin, 0.0, 0.2, 0.001},
               {&m_seDelaySpin, 0.001, 1000.0, 0.001}, {&m_splitSpin, 20.0, kUnbounded, 1.0}};
  for (const auto& s : spins) {
    s.spin->SetRangeAndDelta(s.low, s.high, s.step);
    s.spin->SetDecimalPlaces(3);
    s.spin->SetTrimTrailingZeros(FALSE);
  }
  m_bSpinsReady = true;
  ShowValues();
  return TRUE;
}

void COptionsAdvanceRecordSettingPage::ShowValues() {
  HWND dialog = m_hWnd;
  CheckRadioButton(IDC_AR_EDITING_MODE, IDC_AR_SAVING_MODE,
                   m_options.ActiveRecordingMode == 1 ? IDC_AR_SAVING_MODE : IDC_AR_EDITING_MODE);
  CheckRadioButton(IDC_AR_NO_LIMIT, IDC_AR_LIMIT_TO,
                   m_options.TimeLimitType == 1 ? IDC_AR_LIMIT_TO : IDC_AR_NO_LIMIT);
  SetChecked(dialog, IDC_AR_ENABLE_SILENCE, m_options.EnableSilenceDetection != 0);
  SetChecked(dialog, IDC_AR_ZCR, (m_options.SilenceDetectionAlgorihms & 1u) != 0);
  SetChecked(dialog, IDC_AR_SE, (m_options.SilenceDetectionAlgorihms & 2u) != 0);
  SetChecked(dialog, IDC_AR_AUTO_SPLIT, m_options.EnableAutoSplit != 0);
  FillNames(dialog, IDC_AR_LOGIC, options_text::kSilenceLogic, m_options.SilenceDetectionLogic ? 1 : 0);
  FillNames(dialog, IDC_AR_EDITING_ACTION, options_text::kEditingModeActions, m_options.ActionsOfEditingMode);
  FillNames(dialog, IDC_AR_SAVING_ACTION, options_text::kSavingModeActions, m_options.ActionsOfSavingMode);
  m_limitSpin.SetPos(m_options.TimeLimitTo);
  m_zcrLeftSpin.SetPos(m_options.ZCRFactorLeft);
  m_zcrRightSpin.SetPos(m_options.ZCRFactorRight);
  m_zcrDelaySpin.SetPos(m_options.ZCRDelaySeconds);
  m_seLeftSpin.SetPos(m_options.SEFactorLeft);
  m_seRightSpin.SetPos(m_options.SEFactorRight);
  m_seDelaySpin.SetPos(m_options.SEDelaySeconds);
  m_splitSpin.SetPos(m_options.AutoSplitTimeSeconds);
  SetItemDouble(dialog, IDC_AR_LIMIT, options_text::kSecondsFormat, m_options.TimeLimitTo);
  EnableGroups();
}

void COptionsAdvanceRecordSettingPage::EnableGroups() {
  const bool silence = IsChecked(m_hWnd, IDC_AR_ENABLE_SILENCE);
  for (int id : kSilenceGroup) EnableItem(m_hWnd, id, silence);
  const bool split = IsChecked(m_hWnd, IDC_AR_AUTO_SPLIT);
  EnableItem(m_hWnd, IDC_AR_SPLIT, split);
  EnableItem(m_hWnd, IDC_AR_SPLIT_SPIN, split);
  const bool limit = IsChecked(m_hWnd, IDC_AR_LIMIT_TO);
  EnableItem(m_hWnd, IDC_AR_LIMIT, limit);
  EnableItem(m_hWnd, IDC_AR_LIMIT_SPIN, limit);
}

void COptionsAdvanceRecordSettingPage::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_AR_LIMIT_SPIN, m_limitSpin);
  DDX_Control(dx, IDC_AR_ZCR_LEFT_SPIN, m_zcrLeftSpin);
  DDX_Control(dx, IDC_AR_ZCR_RIGHT_SPIN, m_zcrRightSpin);
  DDX_Control(dx, IDC_AR_ZCR_DELAY_SPIN, m_zcrDelaySpin);
  DDX_Control(dx, IDC_AR_SE_LEFT_SPIN, m_seLeftSpin);
  DDX_Control(dx, IDC_AR_SE_RIGHT_SPIN, m_seRightSpin);
  DDX_Control(dx, IDC_AR_SE_DELAY_SPIN, m_seDelaySpin);
  DDX_Control(dx, IDC_AR_SPLIT_SPIN, m_splitSpin);
  if (!dx->m_bSaveAndValidate) {
    if (m_bSpinsReady) ShowValues();
    return;
  }
  HWND dialog = m_hWnd;
  DDX_FloatInRange(dx, IDC_AR_LIMIT, m_options.TimeLimitTo, options_text::kTimeLimitRange);
  DDX_FloatInRange(dx, IDC_AR_ZCR_LEFT, m_options.ZCRFactorLeft, options_text::kZcrFactorRange);
  DDX_FloatInRange(dx, IDC_AR_ZCR_RIGHT, m_options.ZCRFactorRight, options_text::kZcrFactorRange);
  DDX_FloatInRange(dx, IDC_AR_ZCR_DELAY, m_options.ZCRDelaySeconds, options_text::kZcrDelayRange);
  DDX_FloatInRange(dx, IDC_AR_SE_LEFT, m_options.SEFactorLeft, options_text::kSeFactorRange);
  DDX_FloatInRange(dx, IDC_AR_SE_RIGHT, m_options.SEFactorRight, options_text::kSeFactorRange);
  DDX_FloatInRange(dx, IDC_AR_SE_DELAY, m_options.SEDelaySeconds, options_text::kSeDelayRange);
  DDX_FloatInRange(dx, IDC_AR_SPLIT, m_options.AutoSplitTimeSeconds, options_text::kAutoSplitRange);
  m_options.ActiveRecordingMode = IsChecked(dialog, IDC_AR_SAVING_MODE) ? 1 : 0;
  m_options.TimeLimitType = IsChecked(dialog, IDC_AR_LIMIT_TO) ? 1 : 0;
  m_options.EnableSilenceDetection = IsChecked(dialog, IDC_AR_ENABLE_SILENCE) ? 1 : 0;
  m_options.EnableAutoSplit = IsChecked(dialog, IDC_AR_AUTO_SPLIT) ? 1 : 0;
  // The two algorithm bits one by one; other bits stay.
  std::uint32_t bits = m_options.SilenceDetectionAlgorihms;
  bits = IsChecked(dialog, IDC_AR_ZCR) ? (bits | 1u) : (bits & ~1u);
  bits = IsChecked(dialog, IDC_AR_SE) ? (bits | 2u) : (bits & ~2u);
  m_options.SilenceDetectionAlgorihms = bits;
  const int logic = ComboSelection(dialog, IDC_AR_LOGIC);
  if (logic >= 0) m_options.SilenceDetectionLogic = logic;
  const int editing = ComboSelection(dialog, IDC_AR_EDITING_ACTION);
  if (editing >= 0) m_options.ActionsOfEditingMode = editing;
  const int saving = ComboSelection(dialog, IDC_AR_SAVING_ACTION);
  if (saving >= 0) m_options.ActionsOfSavingMode = saving;
}

void COptionsAdvanceRecordSettingPage::OnLimit() { EnableGroups(); }
void COptionsAdvanceRecordSettingPage::OnSilence() { EnableGroups(); }
void COptionsAdvanceRecordSettingPage::OnAutoSplit() { EnableGroups(); }

void COptionsAdvanceRecordSettingPage::OnDefault() {
  m_options = AdvanceRecordSetting();
  ShowValues();
}

void COptionsAdvanceRecordSettingPage::OnAutoDetect() {
  CAutoDetectSilenceDlg dialog(this);
  dialog.DoModal();
}

void COptionsAdvanceRecordSettingPage::SetFactors(double zcrLeft, double zcrRight, double seLeft,
                                                  double seRight) {
  UpdateData(TRUE);
  m_options.ZCRFactorLeft = zcrLeft;
  m_options.ZCRFactorRight = zcrRight;
  m_options.SEFactorLeft = seLeft;
  m_options.SEFactorRight = seRight;
  // Channels this far apart are no use for the zero-crossing test.
  if (std::fabs(zcrLeft - zcrRight) > kFactorLimit) m_options.SilenceDetectionAlgorihms &= ~1u;
  for (double* factor : {&m_options.ZCRFactorLeft, &m_options.ZCRFactorRight, &m_options.SEFactorLeft,
                         &m_options.SEFactorRight})
    *factor = std::min(*factor, kFactorLimit);
  ShowValues();
}

void COptionsAdvanceRecordSettingPage::OnOK() {
  CTKPropertyPage::OnOK();
  if (IsChecked(m_hWnd, IDC_AR_ENABLE_SILENCE) && !IsChecked(m_hWnd, IDC_AR_ZCR) &&
      !IsChecked(m_hWnd, IDC_AR_SE)) {
    AfxMessageBox(options_text::kNoSilenceAlgorithm);
    SetChecked(m_hWnd, IDC_AR_ZCR, true);
  }
  UpdateData(TRUE);
  const AdvanceRecordSetting* current = GetOptionsHost().advance;
  if (current && current->ActiveRecordingMode != m_options.ActiveRecordingMode)
    PostToActiveView(kRecordingModeMessage, static_cast<WPARAM>(m_options.ActiveRecordingMode));
}

BEGIN_MESSAGE_MAP(COptionsAdvanceRecordSettingPage, CTKPropertyPage)
  ON_BN_CLICKED(IDC_AR_NO_LIMIT, OnLimit)
  ON_BN_CLICKED(IDC_AR_LIMIT_TO, OnLimit)
  ON_BN_CLICKED(IDC_AR_ENABLE_SILENCE, OnSilence)
  ON_BN_CLICKED(IDC_AR_AUTO_SPLIT, OnAutoSplit)
  ON_BN_CLICKED(IDC_AR_DEFAULT, OnDefault)
  ON_BN_CLICKED(IDC_AR_AUTO_DETECT, OnAutoDetect)
END_MESSAGE_MAP()
