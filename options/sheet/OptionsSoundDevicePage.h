#pragma once
// The Sound Device page: the playback and recording devices, channels, sample rate and
// sample format of recordings.
#include "toolkit/frames/TKPropertyPage.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "app/settings/SoundDeviceOptions.h"
#include "platform/afx/linux_headers_end.h"

class COptionsSoundDevicePage : public CTKPropertyPage {
public:
  enum { IDD = IDD_OPTIONS_SOUND_DEVICE };
  COptionsSoundDevicePage();
  explicit COptionsSoundDevicePage(const SoundDeviceOptions& options);

  const SoundDeviceOptions& GetOptions() const { return m_options; }

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnDefaultRate();

  DECLARE_MESSAGE_MAP()

private:
  SoundDeviceOptions m_options;
  std::vector<std::string> m_playbackNames;
  std::vector<std::string> m_recordNames;
  std::vector<int> m_rates;
  int m_nPlayback = -1;
  int m_nRecord = -1;
  int m_nRate = -1;
  int m_nFormat = -1;
};
