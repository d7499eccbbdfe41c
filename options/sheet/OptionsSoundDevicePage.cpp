#include "options/sheet/OptionsSoundDevicePage.h"

#include "options/sheet/DialogControls.h"
#include "options/sheet/OptionsHost.h"
#include "options/sheet/OptionsText.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdio>
#include <strings.h>
#include "platform/afx/linux_headers_end.h"

using namespace dialogcontrols;

namespace {

// The entry named like `name` without regard to case, else the first (-1 for none).
int FindName(const std::vector<std::string>& names, const std::string& name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (::strcasecmp(names[i].c_str(), name.c_str()) == 0) return static_cast<int>(i);
  return names.empty() ? -1 : 0;
}

}  // namespace

COptionsSoundDevicePage::COptionsSoundDevicePage() : CTKPropertyPage(IDD) {
  if (const SoundDeviceOptions* devices = GetOptionsHost().devices) m_options = *devices;
}

COptionsSoundDevicePage::COptionsSoundDevicePage(const SoundDeviceOptions& options)
    : CTKPropertyPage(IDD), m_options(options) {}

BOOL COptionsSoundDevicePage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  m_playbackNames.clear();
  m_recordNames.clear();
  if (settings::SoundDeviceCatalog* catalog = settings::InstalledSoundDeviceCatalog()) {
    const int count = catalog->CountDevices();
    for (int id = 0; id < count; ++id) {
      settings::SoundDeviceInfo info;
      if (!catalog->GetDeviceInfo(id, &info)) continue;
      if (info.maxOutputChannels > 0) m_playbackNames.push_back(info.name);
      if (info.maxInputChannels > 0) m_recordNames.push_back(info.name);
    }
  }
  FillCombo(m_hWnd, IDC_SD_PLAYBACK, m_playbackNames);
  m_nPlayback = FindName(m_playbackNames, m_options.PlaybackDeviceName);
  SelectCombo(m_hWnd, IDC_SD_PLAYBACK, m_nPlayback);
  FillCombo(m_hWnd, IDC_SD_RECORD, m_recordNames);
  m_nRecord = FindName(m_recordNames, m_options.RecordDeviceName);
  SelectCombo(m_hWnd, IDC_SD_RECORD, m_nRecord);

  // The two buttons' ids run the other way round (Stereo has the lower one).
  CheckRadioButton(std::min(IDC_SD_MONO, IDC_SD_STEREO), std::max(IDC_SD_MONO, IDC_SD_STEREO),
                   (m_options.ChannelCount - 1) % 2 == 0 ? IDC_SD_MONO : IDC_SD_STEREO);

  m_rates = GetSupportedSampleRates();
  std::vector<std::string> rateNames;
  m_nRate = -1;
  for (size_t i = 0; i < m_rates.size(); ++i) {
    char text[32];
    std::snprintf(text, sizeof text, options_text::kSampleRateFormat, m_rates[i]);
    rateNames.push_back(text);
    if (m_rates[i] == m_options.SampleRate) m_nRate = static_cast<int>(i);
  }
  if (m_nRate < 0) m_nRate = static_cast<int>(m_rates.size()) - 1;
  FillCombo(m_hWnd, IDC_SD_RATE, rateNames);
  SelectCombo(m_hWnd, IDC_SD_RATE, m_nRate);

  std::vector<std::string> formatNames;
  m_nFormat = 0;
  for (size_t i = 0; i < options_text::kDeviceFormats.size(); ++i) {
    formatNames.push_back(options_text::kDeviceFormats[i].name);
    if (options_text::kDeviceFormats[i].code == m_options.SampleFormat) m_nFormat = static_cast<int>(i);
  }
  FillCombo(m_hWnd, IDC_SD_FORMAT, formatNames);
  SelectCombo(m_hWnd, IDC_SD_FORMAT, m_nFormat);
  return TRUE;
}

void COptionsSoundDevicePage::OnDefaultRate() {
  const int rate = GetDefaultSampleRate();
  for (size_t i = 0; i < m_rates.size(); ++i)
    if (m_rates[i] == rate) SelectCombo(m_hWnd, IDC_SD_RATE, static_cast<int>(i));
}

void COptionsSoundDevicePage::OnOK() {
  CTKPropertyPage::OnOK();
  m_nPlayback = ComboSelection(m_hWnd, IDC_SD_PLAYBACK);
  if (m_nPlayback >= 0 && m_nPlayback < static_cast<int>(m_playbackNames.size()))
    m_options.PlaybackDeviceName = m_playbackNames[static_cast<size_t>(m_nPlayback)];
  m_nRecord = ComboSelection(m_hWnd, IDC_SD_RECORD);
  if (m_nRecord >= 0 && m_nRecord < static_cast<int>(m_recordNames.size()))
    m_options.RecordDeviceName = m_recordNames[static_cast<size_t>(m_nRecord)];
  m_options.ChannelCount = IsChecked(m_hWnd, IDC_SD_STEREO) ? 2 : 1;
  m_nFormat = ComboSelection(m_hWnd, IDC_SD_FORMAT);
  if (m_nFormat >= 0 && m_nFormat < static_cast<int>(options_text::kDeviceFormats.size()))
    m_options.SampleFormat = options_text::kDeviceFormats[static_cast<size_t>(m_nFormat)].code;
  m_nRate = ComboSelection(m_hWnd, IDC_SD_RATE);
  if (m_nRate >= 0 && m_nRate < static_cast<int>(m_rates.size()))
    m_options.SampleRate = m_rates[static_cast<size_t>(m_nRate)];
  PostToActiveView(kRepaintInfoMessage, 0);
}

BEGIN_MESSAGE_MAP(COptionsSoundDevicePage, CTKPropertyPage)
  ON_BN_CLICKED(IDC_SD_DEFAULT, OnDefaultRate)
END_MESSAGE_MAP()
