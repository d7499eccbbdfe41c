#pragma once
// The sound-device record, registry section "SoundDeviceOptions", and the
// sample-rate rules over the devices. The device list comes from PortAudio through the
// engine's adapter: the engine implements settings::SoundDeviceCatalog and installs it;
// tests install their own. With none installed there are no devices.
#include <cstdint>
#include <string>
#include <vector>

namespace settings {

// One device as PortAudio v18 describes it (PaDeviceInfo).
struct SoundDeviceInfo {
  std::string name;
  int maxInputChannels = 0;
  int maxOutputChannels = 0;
  // -1: a range, sampleRates = {minimum, maximum}; else the number of listed rates.
  int numSampleRates = 0;
  std::vector<double> sampleRates;
};

class SoundDeviceCatalog {
public:
  virtual ~SoundDeviceCatalog() = default;
  virtual int CountDevices() = 0;                                 // Pa_CountDevices
  virtual bool GetDeviceInfo(int id, SoundDeviceInfo* info) = 0;  // Pa_GetDeviceInfo
};

// Returns the previous catalog; null: no devices.
SoundDeviceCatalog* SetSoundDeviceCatalog(SoundDeviceCatalog* catalog) noexcept;
SoundDeviceCatalog* InstalledSoundDeviceCatalog() noexcept;

// The standard rates, in order: 8000, 11025, 16000, 22050, 44100, 48000, 96000.
const std::vector<int>& StandardSampleRates();

}  // namespace settings

class SoundDeviceOptions {
public:
  static constexpr const char* kSection = "SoundDeviceOptions";

  // The defaults; the rate through GetDefaultSampleRate.
  SoundDeviceOptions() { SetDefaults(); }

  void SetDefaults();
  int Load();
  int Save();
  // "16-bit" (0x20001), "24-bit" (0x40001), "32-bit float" (0x4000F); another code leaves
  // the text alone and gives false.
  bool GetFormatName(std::string* text) const;
  void Describe(std::vector<std::string>* lines) const;

  std::string PlaybackDeviceName;  // "" the default output device
  std::string RecordDeviceName;    // "" the default input device
  std::int32_t ChannelCount;       // 1 mono, 2 stereo
  std::int32_t SampleFormat;       // 0x20001, 0x40001, 0x4000F
  std::int32_t SampleRate;         // Hz
};

namespace settings {
// The application's record, whose device names the rate rules read. The application
// registers its record; none registered: empty names (no device matches).
void SetApplicationSoundDeviceOptions(const SoundDeviceOptions* options) noexcept;
const SoundDeviceOptions* ApplicationSoundDeviceOptions() noexcept;
}  // namespace settings

// The rates both devices support: the output device is the last device
// named playbackName with output channels, the input device the last named recordName
// with input channels (empty names match none); a missing device or an empty list gives
// the standard rates; the output list's rates that the input list has, in its order, or
// the standard rates when none.
std::vector<int> GetSupportedSampleRates(const std::string& playbackName, const std::string& recordName);
// With the names of the application's record.
std::vector<int> GetSupportedSampleRates();
// 44100 when supported, else 48000 when supported, else the last supported rate.
int GetDefaultSampleRate(const std::string& playbackName, const std::string& recordName);
int GetDefaultSampleRate();
