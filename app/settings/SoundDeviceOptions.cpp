#include "app/settings/SoundDeviceOptions.h"

#include <algorithm>
#include <atomic>

#include "app/settings/SettingsText.h"
#include "app/settings/ZQRegistry.h"

namespace settings {

namespace {
std::atomic<SoundDeviceCatalog*> g_catalog{nullptr};
std::atomic<const SoundDeviceOptions*> g_appOptions{nullptr};
}  // namespace

SoundDeviceCatalog* SetSoundDeviceCatalog(SoundDeviceCatalog* catalog) noexcept {
  return g_catalog.exchange(catalog, std::memory_order_acq_rel);
}

SoundDeviceCatalog* InstalledSoundDeviceCatalog() noexcept {
  return g_catalog.load(std::memory_order_acquire);
}

const std::vector<int>& StandardSampleRates() {
  static const std::vector<int> rates = {8000, 11025, 16000, 22050, 44100, 48000, 96000};
  return rates;
}

void SetApplicationSoundDeviceOptions(const SoundDeviceOptions* options) noexcept {
  g_appOptions.store(options, std::memory_order_release);
}

const SoundDeviceOptions* ApplicationSoundDeviceOptions() noexcept {
  return g_appOptions.load(std::memory_order_acquire);
}

}  // namespace settings

namespace {

// The rates of one device by the rules of step 2.
std::vector<int> DeviceRates(const settings::SoundDeviceInfo* device) {
  const std::vector<int>& standard = settings::StandardSampleRates();
  std::vector<int> rates;
  if (device) {
    if (device->numSampleRates == -1) {
      if (device->sampleRates.size() >= 2) {
        const double lo = device->sampleRates[0], hi = device->sampleRates[1];
        for (int r : standard)
          if (lo <= r && r <= hi) rates.push_back(r);
      }
    } else {
      const std::size_t n = std::min<std::size_t>(
          static_cast<std::size_t>(std::max(device->numSampleRates, 0)), device->sampleRates.size());
      for (std::size_t i = 0; i < n; ++i) rates.push_back(static_cast<int>(device->sampleRates[i]));
    }
  }
  if (rates.empty()) rates = standard;
  return rates;
}

}  // namespace

std::vector<int> GetSupportedSampleRates(const std::string& playbackName, const std::string& recordName) {
  settings::SoundDeviceInfo output, input;
  bool haveOutput = false, haveInput = false;
  if (settings::SoundDeviceCatalog* catalog = settings::InstalledSoundDeviceCatalog()) {
    const int count = catalog->CountDevices();
    for (int id = 0; id < count; ++id) {
      settings::SoundDeviceInfo info;
      if (!catalog->GetDeviceInfo(id, &info)) continue;
      if (!playbackName.empty() && info.name == playbackName && info.maxOutputChannels > 0) {
        output = info;
        haveOutput = true;
      }
      if (!recordName.empty() && info.name == recordName && info.maxInputChannels > 0) {
        input = info;
        haveInput = true;
      }
    }
  }
  const std::vector<int> outRates = DeviceRates(haveOutput ? &output : nullptr);
  const std::vector<int> inRates = DeviceRates(haveInput ? &input : nullptr);
  std::vector<int> common;
  for (int r : outRates)
    if (std::find(inRates.begin(), inRates.end(), r) != inRates.end()) common.push_back(r);
  if (common.empty()) common = settings::StandardSampleRates();
  return common;
}

std::vector<int> GetSupportedSampleRates() {
  const SoundDeviceOptions* app = settings::ApplicationSoundDeviceOptions();
  return app ? GetSupportedSampleRates(app->PlaybackDeviceName, app->RecordDeviceName)
             : GetSupportedSampleRates("", "");
}

namespace {
int DefaultOf(const std::vector<int>& rates) {
  if (std::find(rates.begin(), rates.end(), 44100) != rates.end()) return 44100;
  if (std::find(rates.begin(), rates.end(), 48000) != rates.end()) return 48000;
  return rates.empty() ? 44100 : rates.back();
}
}  // namespace

int GetDefaultSampleRate(const std::string& playbackName, const std::string& recordName) {
  return DefaultOf(GetSupportedSampleRates(playbackName, recordName));
}

int GetDefaultSampleRate() { return DefaultOf(GetSupportedSampleRates()); }

void SoundDeviceOptions::SetDefaults() {
  PlaybackDeviceName.clear();
  RecordDeviceName.clear();
  ChannelCount = 2;
  SampleFormat = 0x20001;
  SampleRate = GetDefaultSampleRate();
}

int SoundDeviceOptions::Load() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForReading(holder, kSection);
  if (!reg) return 1;
  const SoundDeviceOptions d;
  reg->ReadString("PlaybackDeviceName", &PlaybackDeviceName, d.PlaybackDeviceName);
  reg->ReadString("RecordDeviceName", &RecordDeviceName, d.RecordDeviceName);
  reg->ReadInt("ChannelCount", &ChannelCount, d.ChannelCount);
  reg->ReadInt("SampleFormat", &SampleFormat, d.SampleFormat);
  reg->ReadInt("SampleRate", &SampleRate, d.SampleRate);
  return 1;
}

int SoundDeviceOptions::Save() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection);
  if (!reg) return 1;
  reg->WriteString("PlaybackDeviceName", PlaybackDeviceName);
  reg->WriteString("RecordDeviceName", RecordDeviceName);
  reg->WriteInt("ChannelCount", ChannelCount);
  reg->WriteInt("SampleFormat", SampleFormat);
  reg->WriteInt("SampleRate", SampleRate);
  return 1;
}

bool SoundDeviceOptions::GetFormatName(std::string* text) const {
  switch (SampleFormat) {
    case 0x20001:
      *text = settings_text::k16Bit;
      return true;
    case 0x40001:
      *text = settings_text::k24Bit;
      return true;
    case 0x4000F:
      *text = settings_text::k32BitFloat;
      return true;
    default:
      return false;
  }
}

void SoundDeviceOptions::Describe(std::vector<std::string>* lines) const {
  std::string format;
  GetFormatName(&format);
  namespace text = settings_text;
  lines->push_back(text::Format(text::kRecordingDeviceFormat, RecordDeviceName.c_str()));
  lines->push_back(text::Format(text::kDeviceFormatFormat, ChannelCount < 2 ? text::kMono : text::kStereo,
                                SampleRate, format.c_str()));
}
