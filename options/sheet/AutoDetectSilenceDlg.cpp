#include "options/sheet/AutoDetectSilenceDlg.h"

#include "options/sheet/DialogControls.h"
#include "options/sheet/OptionsAdvanceRecordSettingPage.h"
#include "options/sheet/OptionsHost.h"
#include "options/sheet/OptionsText.h"
#include "platform/seams/win32/Win32Seams.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdio>
#include <limits>
#include "app/settings/AdvanceRecordSetting.h"
#include "core/engine/AudioIO.h"
#include "platform/afx/linux_headers_end.h"

using namespace dialogcontrols;

namespace {

constexpr double kZcrStart = 0.005;
constexpr double kSeStart = 0.016;
// Minima of a new run start above anything the engine can report.
constexpr double kLargeStart = std::numeric_limits<double>::max();
constexpr int kSkippedMessages = 100;
constexpr double kFactorMargin = 0.002;
constexpr int kSliderMax = 100;

// Edits of the statistics: [channel][minimum, maximum, average] for each measure.
constexpr int kZcrEdits[2][3] = {{IDC_ADS_ZCR_MIN_L, IDC_ADS_ZCR_MAX_L, IDC_ADS_ZCR_AVG_L},
                                 {IDC_ADS_ZCR_MIN_R, IDC_ADS_ZCR_MAX_R, IDC_ADS_ZCR_AVG_R}};
constexpr int kSeEdits[2][3] = {{IDC_ADS_SE_MIN_L, IDC_ADS_SE_MAX_L, IDC_ADS_SE_AVG_L},
                                {IDC_ADS_SE_MIN_R, IDC_ADS_SE_MAX_R, IDC_ADS_SE_AVG_R}};

std::vector<std::string> InputSourceNames() {
  const OptionsHost& host = GetOptionsHost();
  if (!host.inputSourceNames.empty() || !gAudioIO) return host.inputSourceNames;
  return gAudioIO->GetInputSources();
}

}  // namespace

CAutoDetectSilenceDlg::CAutoDetectSilenceDlg(COptionsAdvanceRecordSettingPage* receiver, CWnd* parent)
    : CDialog(IDD, parent ? parent : receiver), m_pReceiver(receiver) {}

CAutoDetectSilenceDlg::~CAutoDetectSilenceDlg() = default;

void CAutoDetectSilenceDlg::SetMonitorFlag(int flag) {
  if (gAudioIO && gAudioIO->GetSettings()) gAudioIO->GetSettings()->SilenceMonitorFlag = flag;
  if (AdvanceRecordSetting* advance = GetOptionsHost().advance) advance->SilenceMonitorFlag = flag;
}

void CAutoDetectSilenceDlg::ResetStatistics(bool forRun) {
  for (Channel& c : m_channels) {
    if (forRun) {
      c.zcrMin = c.seMin = kLargeStart;
      c.zcrMax = c.zcrSum = c.seMax = c.seSum = 0.0;
    } else {
      c.zcrMin = c.zcrMax = c.zcrSum = kZcrStart;
      c.seMin = c.seMax = c.seSum = kSeStart;
    }
  }
  m_uCount = forRun ? 0 : 1;
  m_nSkip = 1;
  m_nSkipCount = 0;
}

BOOL CAutoDetectSilenceDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ResetStatistics(false);

  const std::vector<std::string> names = InputSourceNames();
  HWND list = ::GetDlgItem(m_hWnd, IDC_ADS_SOURCES);
  for (const std::string& name : names)
    ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  int source = 0;
  float input = 0.0f, output = 0.0f;
  if (gAudioIO) gAudioIO->GetMixer(&source, &input, &output);
  m_nSource = source;
  m_fInputVolume = input;
  m_fOutputVolume = output;
  ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(source), 0);
  for (int id : {IDC_ADS_INPUT_SLIDER, IDC_ADS_PLAYBACK_SLIDER})
    SendDlgItemMessage(id, TBM_SETRANGE, TRUE, MAKELPARAM(0, kSliderMax));
  if (names.empty()) {
    for (int id : {IDC_ADS_INPUT_SLIDER, IDC_ADS_PLAYBACK_SLIDER}) {
      SendDlgItemMessage(id, TBM_SETPOS, TRUE, 0);
      EnableItem(m_hWnd, id, false);
    }
  } else {
    SendDlgItemMessage(IDC_ADS_INPUT_SLIDER, TBM_SETPOS, TRUE, static_cast<LPARAM>(input * 100.0f));
    SendDlgItemMessage(IDC_ADS_PLAYBACK_SLIDER, TBM_SETPOS, TRUE, static_cast<LPARAM>(output * 100.0f));
  }
  SetItemDouble(m_hWnd, IDC_ADS_INPUT_VOLUME, options_text::kVolumeFormat, input);
  SetItemDouble(m_hWnd, IDC_ADS_PLAYBACK_VOLUME, options_text::kVolumeFormat, output);
  EnableItem(m_hWnd, IDC_ADS_SET_FACTORS, m_pReceiver != nullptr);
  m_nChoice = 2;
  CheckRadioButton(IDC_ADS_MINIMUM, IDC_ADS_AVERAGE, IDC_ADS_AVERAGE);
  ShowStatistics();
  return TRUE;
}

void CAutoDetectSilenceDlg::ShowStatistics() {
  const double count = m_uCount ? static_cast<double>(m_uCount) : 1.0;
  for (int ch = 0; ch < 2; ++ch) {
    const Channel& c = m_channels[ch];
    const double zcr[3] = {c.zcrMin, c.zcrMax, c.zcrSum / count};
    const double se[3] = {c.seMin, c.seMax, c.seSum / count};
    for (int k = 0; k < 3; ++k) {
      SetItemDouble(m_hWnd, kZcrEdits[ch][k], options_text::kStatisticFormat, zcr[k]);
      SetItemDouble(m_hWnd, kSeEdits[ch][k], options_text::kStatisticFormat, se[k]);
    }
  }
  char text[32];
  std::snprintf(text, sizeof text, options_text::kCountFormat, m_uCount);
  SetDlgItemText(IDC_ADS_COUNT, text);
}

void CAutoDetectSilenceDlg::SetIdleLook(bool idle, const char* buttonText) {
  SetDlgItemText(IDOK, buttonText);
  EnableItem(m_hWnd, IDC_ADS_SOURCES, idle);
  EnableItem(m_hWnd, IDC_ADS_SET_FACTORS, idle && m_pReceiver != nullptr);
  EnableItem(m_hWnd, IDCANCEL, idle);
}

void CAutoDetectSilenceDlg::StopMonitoring() {
  if (gAudioIO) gAudioIO->StopStream();
  SetMonitorFlag(0);
  m_nRunning = 1;
}

void CAutoDetectSilenceDlg::OnOK() {
  if (m_nRunning) {
    SetIdleLook(false, options_text::kStopDetecting);
    SetMonitorFlag(1);
    m_nRunning = 0;
    const int token = gAudioIO ? gAudioIO->StartSilenceDetectStream(seams::ToWindowHandle(m_hWnd)) : 0;
    if (token <= 0) {
      // Nothing to measure: say so and go back to idle with the engine's flag clear.
      StopMonitoring();
      SetIdleLook(true, options_text::kDetectSilence);
      AfxMessageBox(options_text::kStreamCannotStart, MB_ICONEXCLAMATION);
      return;
    }
    ResetStatistics(true);
    return;
  }
  SetIdleLook(true, options_text::kSilenceDetect);
  StopMonitoring();
}

LRESULT CAutoDetectSilenceDlg::OnStatistics(WPARAM wParam, LPARAM lParam) {
  if (m_nRunning) return 0;
  if (m_nSkip) {
    if (++m_nSkipCount < kSkippedMessages) return 0;
    m_nSkip = 0;
  }
  const std::uint32_t words[2] = {static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam)};
  for (int ch = 0; ch < 2; ++ch) {
    const double zcr = (words[ch] & 0xFFFF) * 0.001;
    const double se = (words[ch] >> 16) * 0.0001;
    Channel& c = m_channels[ch];
    c.zcrMin = std::min(c.zcrMin, zcr);
    c.zcrMax = std::max(c.zcrMax, zcr);
    c.zcrSum += zcr;
    c.seMin = std::min(c.seMin, se);
    c.seMax = std::max(c.seMax, se);
    c.seSum += se;
  }
  ++m_uCount;
  ShowStatistics();
  return 0;
}

void CAutoDetectSilenceDlg::OnHScroll(UINT, UINT, CWnd* scrollBar) {
  if (!scrollBar) return;
  const int id = scrollBar->GetDlgCtrlID();
  if (id != IDC_ADS_INPUT_SLIDER && id != IDC_ADS_PLAYBACK_SLIDER) return;
  const int position = static_cast<int>(SendDlgItemMessage(id, TBM_GETPOS));
  const int maximum = static_cast<int>(SendDlgItemMessage(id, TBM_GETRANGEMAX));
  const float fraction = maximum > 0 ? static_cast<float>(position) / static_cast<float>(maximum) : 0.0f;
  if (id == IDC_ADS_INPUT_SLIDER) {
    SetItemDouble(m_hWnd, IDC_ADS_INPUT_VOLUME, options_text::kVolumeFormat, fraction);
    m_fInputVolume = fraction;
  } else {
    SetItemDouble(m_hWnd, IDC_ADS_PLAYBACK_VOLUME, options_text::kVolumeFormat, fraction);
    m_fOutputVolume = fraction;
  }
  if (gAudioIO) gAudioIO->SetMixer(m_nSource, m_fInputVolume, m_fOutputVolume);
}

void CAutoDetectSilenceDlg::OnSource() {
  const int index = static_cast<int>(SendDlgItemMessage(IDC_ADS_SOURCES, LB_GETCURSEL));
  if (index < 0) return;
  m_nSource = index;
  if (gAudioIO) gAudioIO->SetMixer(m_nSource, m_fInputVolume, m_fOutputVolume);
}

void CAutoDetectSilenceDlg::OnSetFactors() {
  if (!m_pReceiver || m_uCount == 0 || !::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_ADS_SET_FACTORS))) return;
  m_nChoice = IsChecked(m_hWnd, IDC_ADS_MINIMUM) ? 0 : IsChecked(m_hWnd, IDC_ADS_MAXIMUM) ? 1 : 2;
  double factors[4];
  for (int ch = 0; ch < 2; ++ch) {
    const Channel& c = m_channels[ch];
    const double count = static_cast<double>(m_uCount);
    factors[ch] = (m_nChoice == 0 ? c.zcrMin : m_nChoice == 1 ? c.zcrMax : c.zcrSum / count) + kFactorMargin;
    factors[2 + ch] = (m_nChoice == 0 ? c.seMin : m_nChoice == 1 ? c.seMax : c.seSum / count) + kFactorMargin;
  }
  m_pReceiver->SetFactors(factors[0], factors[1], factors[2], factors[3]);
}

void CAutoDetectSilenceDlg::OnCancel() {
  if (!m_nRunning || (gAudioIO && gAudioIO->IsStreamActive())) {
    StopMonitoring();
    SetIdleLook(true, options_text::kSilenceDetect);
  }
  CDialog::OnCancel();
}

void CAutoDetectSilenceDlg::OnDestroy() {
  // A dialog that goes while it measures leaves no stream behind.
  if (!m_nRunning) StopMonitoring();
  CDialog::OnDestroy();
}

BEGIN_MESSAGE_MAP(CAutoDetectSilenceDlg, CDialog)
  ON_MESSAGE(kSilenceStatsMessage, OnStatistics)
  ON_WM_HSCROLL()
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_ADS_SET_FACTORS, OnSetFactors)
  ON_LBN_SELCHANGE(IDC_ADS_SOURCES, OnSource)
END_MESSAGE_MAP()
