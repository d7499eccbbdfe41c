#include "options/wizard/RecordWizardDlg.h"

#include "options/sheet/OptionInputSourcePage.h"
#include "options/sheet/OptionsAdvanceRecordSettingPage.h"
#include "options/sheet/OptionsFileFormatPage.h"
#include "options/sheet/OptionsFileOutputDlg.h"
#include "options/sheet/OptionsHost.h"
#include "options/sheet/OptionsSoundDevicePage.h"
#include "options/sheet/TVLOptionsPropSheet.h"
#include "options/wizard/WizardText.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include "core/engine/AudioIO.h"
#include "platform/portaudio/PortAudioV18.h"
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr COLORREF kHeaderText = RGB(128, 37, 0);
constexpr COLORREF kHeaderBack = RGB(253, 241, 249);
constexpr COLORREF kDetailText = RGB(0, 0, 0);
constexpr COLORREF kDetailBack = RGB(196, 240, 254);
// The control panel's Record command.
constexpr UINT kRecordCommand = 1059;

// The device a recording uses when none is chosen: the system's default input.
std::string DefaultRecordingDeviceName() {
  const pa18::PaDeviceInfo* info = pa18::Pa_GetDeviceInfo(pa18::Pa_GetDefaultInputDeviceID());
  return info && info->name ? info->name : "";
}

std::vector<std::string> InputSourceNames() {
  const OptionsHost& host = GetOptionsHost();
  if (!host.inputSourceNames.empty() || !gAudioIO) return host.inputSourceNames;
  return gAudioIO->GetInputSources();
}

}  // namespace

BEGIN_MESSAGE_MAP(CRecordWizardDlg, CDialog)
  ON_CONTROL(LBN_DBLCLK, IDC_RW_SUMMARY, OnSummaryDblClk)
  ON_BN_CLICKED(IDC_RW_RECORD, OnRecord)
  ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
  ON_MESSAGE(WM_MEASUREITEM, OnMeasureItem)
END_MESSAGE_MAP()

CRecordWizardDlg::CRecordWizardDlg(CWnd* parent) : CDialog(IDD, parent) {}

BOOL CRecordWizardDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const OptionsHost& host = GetOptionsHost();
  if (host.devices) m_devices = *host.devices;
  if (host.advance) m_advance = *host.advance;
  if (host.encode) m_encode = *host.encode;
  if (host.output) m_output = *host.output;
  if (host.inputSource) m_inputSource = *host.inputSource;
  // The input source and the volumes are the mixer's as they are now (the panel's
  // sliders move them): OK sets the mixer to this copy.
  if (gAudioIO) {
    int source = m_inputSource.InputSource;
    gAudioIO->GetMixer(&source, &m_inputSource.InputVolume, &m_inputSource.OutputVolume);
    m_inputSource.InputSource = source;
  }
  m_summary.SubclassDlgItem(IDC_RW_SUMMARY, this);
  FillSummary();
  return TRUE;
}

LRESULT CRecordWizardDlg::OnMeasureItem(WPARAM, LPARAM lParam) {
  auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (measure->CtlID != IDC_RW_SUMMARY) return Default();
  TEXTMETRICA metrics{};
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
  ::GetTextMetricsA(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(m_hWnd, dc);
  measure->itemHeight = static_cast<UINT>(metrics.tmHeight + 2);
  return TRUE;
}

LRESULT CRecordWizardDlg::OnDrawItem(WPARAM, LPARAM lParam) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (item->CtlID != IDC_RW_SUMMARY || !m_summary.m_hWnd) return Default();
  m_summary.DrawItem(item);
  return TRUE;
}

void CRecordWizardDlg::AddStep(Step step, const char* header, const std::vector<std::string>& lines) {
  m_summary.AddLine(kHeaderText, kHeaderBack, static_cast<BYTE>(step), header);
  for (const std::string& line : lines)
    m_summary.AddLine(kDetailText, kDetailBack, static_cast<BYTE>(step), line.c_str());
}

void CRecordWizardDlg::FillSummary() {
  const int selection = static_cast<int>(m_summary.SendMessage(LB_GETCURSEL));
  if (selection >= 0) m_nSelection = selection;
  m_summary.Clear();
  std::vector<std::string> lines;
  SoundDeviceOptions devices = m_devices;
  if (devices.RecordDeviceName.empty()) devices.RecordDeviceName = DefaultRecordingDeviceName();
  devices.Describe(&lines);
  AddStep(kStepDevice, wizard_text::kStepDevice, lines);
  lines.clear();
  m_inputSource.GetSummary(&lines, InputSourceNames());
  AddStep(kStepSource, wizard_text::kStepSource, lines);
  lines.clear();
  FileOutputOptions output = m_output;  // the summary composes a name, which changes the record
  output.GetSummary(&lines);
  AddStep(kStepOutput, wizard_text::kStepOutput, lines);
  std::string type;
  m_output.GetFileTypeName(&type);
  char header[128];
  std::snprintf(header, sizeof header, wizard_text::kStepEncodingFormat, type.c_str());
  lines.clear();
  m_encode.GetSummary(&lines, type);
  AddStep(kStepEncoding, header, lines);
  lines.clear();
  m_advance.GetSummary(&lines);
  AddStep(kStepAdvance, wizard_text::kStepAdvance, lines);
  const int select = m_nSelection >= 0 && m_nSelection < m_summary.GetCount() ? m_nSelection : 0;
  m_summary.SendMessage(LB_SETCURSEL, select);
}

void CRecordWizardDlg::OnSummaryDblClk() {
  const int selection = static_cast<int>(m_summary.SendMessage(LB_GETCURSEL));
  if (selection < 0) return;
  m_nSelection = selection;
  CTVLOptionsPropSheet sheet(this);
  INT_PTR result = IDCANCEL;
  switch (m_summary.GetLineFlags(selection)) {
    case kStepDevice: {
      COptionsSoundDevicePage page(m_devices);
      sheet.AddPage(&page);
      result = sheet.DoModal();
      if (result == IDOK) m_devices = page.GetOptions();
      break;
    }
    case kStepSource: {
      COptionInputSourcePage page(&m_inputSource);
      sheet.AddPage(&page);
      result = sheet.DoModal();
      break;
    }
    case kStepOutput: {
      COptionsFileOutputDlg page(m_output);
      sheet.AddPage(&page);
      result = sheet.DoModal();
      if (result == IDOK) m_output = page.GetOptions();
      break;
    }
    case kStepEncoding: {
      COptionsFileFormatPage page(m_encode);
      page.SetFileOutputOptions(&m_output);
      sheet.AddPage(&page);
      result = sheet.DoModal();
      if (result == IDOK) m_encode = page.GetOptions();
      break;
    }
    case kStepAdvance: {
      COptionsAdvanceRecordSettingPage page(m_advance);
      sheet.AddPage(&page);
      result = sheet.DoModal();
      if (result == IDOK) m_advance = page.GetOptions();
      break;
    }
    default:
      return;
  }
  if (result == IDOK) FillSummary();
}

void CRecordWizardDlg::OnOK() {
  CDialog::OnOK();
  OptionsHost& host = GetOptionsHost();
  if (host.advance) {
    // The monitor flag is the engine's, not the wizard's.
    const std::int32_t monitor = host.advance->SilenceMonitorFlag;
    *host.advance = m_advance;
    host.advance->SilenceMonitorFlag = monitor;
    host.advance->Save();
  }
  if (host.encode) {
    *host.encode = m_encode;
    host.encode->Save();
  }
  if (host.encodeForSaves) *host.encodeForSaves = m_encode;
  if (host.devices) {
    *host.devices = m_devices;
    host.devices->Save();
  }
  if (host.devicesChanged) host.devicesChanged();
  if (host.output) {
    *host.output = m_output;
    host.output->Save();
  }
  if (host.inputSource) *host.inputSource = m_inputSource;
  if (gAudioIO)
    gAudioIO->SetMixer(m_inputSource.InputSource, m_inputSource.InputVolume, m_inputSource.OutputVolume);
}

void CRecordWizardDlg::OnRecord() {
  OnOK();
  const OptionsHost& host = GetOptionsHost();
  HWND panel = host.controlPanel ? host.controlPanel() : nullptr;
  HWND button = host.recordButton ? host.recordButton() : nullptr;
  if (panel) ::PostMessageA(panel, WM_COMMAND, kRecordCommand, reinterpret_cast<LPARAM>(button));
}

INT_PTR RunRecordWizard(CWnd* parent) {
  CRecordWizardDlg dialog(parent);
  return dialog.DoModal();
}
