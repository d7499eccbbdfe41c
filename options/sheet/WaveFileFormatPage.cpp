#include "options/sheet/WaveFileFormatPage.h"

#include "options/sheet/DialogControls.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "app/settings/FileEncodeOptions.h"
#include "platform/afx/linux_headers_end.h"

using namespace dialogcontrols;

namespace {
// The containers as a value table.
std::vector<settings::ValueName> ContainerTable() {
  std::vector<settings::ValueName> table;
  for (const settings::WavContainer& c : settings::WavContainers()) table.push_back({c.code, c.name});
  return table;
}
}  // namespace

CWaveFileFormatPage::CWaveFileFormatPage(WavEncodeOptions* record, const void* hostSettings)
    : m_pOptions(record), m_pHostSettings(hostSettings) {}

BOOL CWaveFileFormatPage::OnInitDialog() {
  CDialog::OnInitDialog();
  m_nContainer = FillCombo(m_hWnd, IDC_WAV_CONTAINER, ContainerTable(), m_pOptions->WavFileFormat);
  m_nRate = FillCombo(m_hWnd, IDC_WAV_RATE, settings::WavSampleRates(), m_pOptions->WavSampleRate);
  m_nFormat = FillCombo(m_hWnd, IDC_WAV_FORMAT, settings::SampleFormats(), m_pOptions->WavSampleFormat);
  // The stereo radio comes first: radio index = 1 - channel mode.
  CheckRadioButton(IDC_WAV_STEREO, IDC_WAV_MONO,
                   m_pOptions->WavChannelMode == 1 ? IDC_WAV_STEREO : IDC_WAV_MONO);
  EnableItem(m_hWnd, IDC_WAV_CONTAINER, m_pHostSettings == nullptr);
  return TRUE;
}

void CWaveFileFormatPage::SelectFileFormat(int index) {
  const auto containers = settings::WavContainers();
  index = static_cast<int>(static_cast<unsigned>(index) % containers.size());
  m_nContainer = index;
  if (!m_hWnd) return;
  SelectCombo(m_hWnd, IDC_WAV_CONTAINER, index);
  m_pOptions->WavFileFormat = containers[static_cast<size_t>(index)].code;
}

void CWaveFileFormatPage::OnContainer() {
  const int index = ComboSelection(m_hWnd, IDC_WAV_CONTAINER);
  const auto containers = settings::WavContainers();
  if (index < 0 || index >= static_cast<int>(containers.size())) return;
  m_nContainer = index;
  m_pOptions->WavFileFormat = containers[static_cast<size_t>(index)].code;
}

void CWaveFileFormatPage::OnRate() {
  const int index = ComboSelection(m_hWnd, IDC_WAV_RATE);
  const auto rates = settings::WavSampleRates();
  if (index < 0 || index >= static_cast<int>(rates.size())) return;
  m_nRate = index;
  m_pOptions->WavSampleRate = rates[static_cast<size_t>(index)].value;
}

void CWaveFileFormatPage::OnFormat() {
  const int index = ComboSelection(m_hWnd, IDC_WAV_FORMAT);
  const auto formats = settings::SampleFormats();
  if (index < 0 || index >= static_cast<int>(formats.size())) return;
  m_nFormat = index;
  m_pOptions->WavSampleFormat = formats[static_cast<size_t>(index)].value;
}

void CWaveFileFormatPage::OnChannel() {
  const int radio = IsChecked(m_hWnd, IDC_WAV_STEREO) ? 0 : 1;
  m_pOptions->WavChannelMode = 1 - radio;
}

BEGIN_MESSAGE_MAP(CWaveFileFormatPage, CDialog)
  ON_CBN_SELCHANGE(IDC_WAV_CONTAINER, OnContainer)
  ON_CBN_SELCHANGE(IDC_WAV_RATE, OnRate)
  ON_CBN_SELCHANGE(IDC_WAV_FORMAT, OnFormat)
  ON_BN_CLICKED(IDC_WAV_STEREO, OnChannel)
  ON_BN_CLICKED(IDC_WAV_MONO, OnChannel)
END_MESSAGE_MAP()
