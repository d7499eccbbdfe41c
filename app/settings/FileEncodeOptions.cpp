#include "app/settings/FileEncodeOptions.h"

#include <algorithm>
#include <atomic>
#include <cctype>

#include "app/settings/SettingsText.h"
#include "app/settings/ZQRegistry.h"
#include "platform/seams/Diagnostics.h"

namespace settings {

namespace {
constexpr WavContainer kContainers[] = {
    {0x10000, "Microsoft WAV(*.wav)", "wav", "*.wav"},
    {0x20000, "Apple/SGI AIFF(*.aif,*.snd)", "aif", "*.aif;*.snd"},
    {0x30000, "Sun/NeXT AU(*.au,*.snd)", "au", "*.au;*.snd"},
    {0x80000, "VOC files(*.voc)", "voc", "*.voc"},
};
constexpr ValueName kSampleFormats[] = {{0x20001, "16 Bits"}, {0x4000F, "32 Bits"}};
constexpr ValueName kWavRates[] = {{8000, "8000 Hz"},   {11025, "11025 Hz"}, {22050, "22050 Hz"},
                                   {24000, "24000 Hz"}, {32000, "32000 Hz"}, {44100, "44100 Hz"}};
constexpr ValueName kMpegVersions[] = {{0, "MPEG I"}, {1, "MPEG II"}, {2, "MPEG II.5"}};
constexpr ValueName kMp3RatesI[] = {{32000, "32000 Hz"}, {44100, "44100 Hz"}, {48000, "48000 Hz"}};
constexpr ValueName kMp3RatesII[] = {{16000, "16000 Hz"}, {22050, "22050 Hz"}, {24000, "24000 Hz"}};
constexpr ValueName kMp3RatesII5[] = {{8000, "8000 Hz"}, {11025, "11025 Hz"}, {12000, "12000 Hz"}};
constexpr ValueName kMp3BitRatesI[] = {
    {32, "32 kbps"},   {40, "40 kbps"},   {48, "48 kbps"},   {56, "56 kbps"},   {64, "64 kbps"},
    {80, "80 kbps"},   {96, "96 kbps"},   {112, "112 kbps"}, {128, "128 kbps"}, {160, "160 kbps"},
    {192, "192 kbps"}, {224, "224 kbps"}, {256, "256 kbps"}, {320, "320 kbps"}};
constexpr ValueName kMp3BitRatesII[] = {
    {8, "8 kbps"},     {16, "16 kbps"},   {24, "24 kbps"},   {32, "32 kbps"},  {40, "40 kbps"},
    {48, "48 kbps"},   {56, "56 kbps"},   {64, "64 kbps"},   {80, "80 kbps"},  {96, "96 kbps"},
    {112, "112 kbps"}, {128, "128 kbps"}, {144, "144 kbps"}, {160, "160 kbps"}};
constexpr ValueName kMp3EncodeModes[] = {{0, "CBR"}, {1, "ABR"}, {2, "VBR"}};
constexpr ValueName kMp3ChannelModes[] = {
    {0, "Mono"}, {1, "Stereo"}, {2, "Joint Stereo"}, {3, "Forced Stereo"}};
constexpr ValueName kMp3VbrQualities[] = {{0, "0(best)"}, {1, "1"}, {2, "2"}, {3, "3"}, {4, "4"},
                                          {5, "5"},       {6, "6"}, {7, "7"}, {8, "8"}, {9, "9(poor)"}};
constexpr ValueName kMp3Presets[] = {{-1, "LQP_NOPRESET"},
                                     {0, "LQP_NORMAL_QUALITY"},
                                     {1, "LQP_LOW_QUALITY"},
                                     {2, "LQP_HIGH_QUALITY"},
                                     {3, "LQP_VOICE_QUALITY"},
                                     {4, "LQP_R3MIX"},
                                     {5, "LQP_VERYHIGH_QUALITY"},
                                     {6, "LQP_STANDARD"},
                                     {7, "LQP_FAST_STANDARD"},
                                     {8, "LQP_EXTREME"},
                                     {9, "LQP_FAST_EXTREME"},
                                     {10, "LQP_INSANE"},
                                     {11, "LQP_ABR"},
                                     {12, "LQP_CBR"},
                                     {13, "LQP_MEDIUM"},
                                     {14, "LQP_FAST_MEDIUM"},
                                     {1000, "LQP_PHONE"},
                                     {2000, "LQP_SW"},
                                     {3000, "LQP_AM"},
                                     {4000, "LQP_FM"},
                                     {5000, "LQP_VOICE"},
                                     {6000, "LQP_RADIO"},
                                     {7000, "LQP_TAPE"},
                                     {8000, "LQP_HIFI"},
                                     {9000, "LQP_CD"},
                                     {10000, "LQP_STUDIO"}};
constexpr ValueName kOggRates[] = {{8000, "8000 Hz"},   {11025, "11025 Hz"}, {12000, "12000 Hz"},
                                   {16000, "16000 Hz"}, {22050, "22050 Hz"}, {24000, "24000 Hz"},
                                   {32000, "32000 Hz"}, {44100, "44100 Hz"}, {48000, "48000 Hz"}};
constexpr ValueName kOggBitRates[] = {
    {8000, "8 kbps"},     {16000, "16 kbps"},   {24000, "24 kbps"},   {32000, "32 kbps"},
    {40000, "40 kbps"},   {48000, "48 kbps"},   {56000, "56 kbps"},   {64000, "64 kbps"},
    {80000, "80 kbps"},   {96000, "96 kbps"},   {112000, "112 kbps"}, {128000, "128 kbps"},
    {144000, "144 kbps"}, {160000, "160 kbps"}, {192000, "192 kbps"}, {224000, "224 kbps"},
    {256000, "256 kbps"}, {320000, "320 kbps"}, {498000, "498 kbps"}};
constexpr ValueName kOggChannelModes[] = {{0, "Mono"}, {1, "Stereo"}};
constexpr ValueName kOggEncodeModes[] = {{0, "ABR"}, {1, "VBR"}};
constexpr ValueName kOggVbrQualities[] = {{0, "0.0(poor)"}, {1, "0.1"}, {2, "0.2"},       {3, "0.3"},
                                          {4, "0.4"},       {5, "0.5"}, {6, "0.6"},       {7, "0.7"},
                                          {8, "0.8"},       {9, "0.9"}, {10, "1.0(best)"}};

std::atomic<const FileEncodeOptions*> g_stored{nullptr};
}  // namespace

std::span<const WavContainer> WavContainers() { return kContainers; }
const WavContainer* FindWavContainer(std::int32_t code) {
  for (const WavContainer& c : kContainers)
    if (c.code == code) return &c;
  return nullptr;
}
std::span<const ValueName> SampleFormats() { return kSampleFormats; }
std::span<const ValueName> WavSampleRates() { return kWavRates; }
std::span<const ValueName> MPEGVersions() { return kMpegVersions; }
std::span<const ValueName> MP3EncodeModes() { return kMp3EncodeModes; }
std::span<const ValueName> MP3ChannelModes() { return kMp3ChannelModes; }
std::span<const ValueName> MP3VBRQualities() { return kMp3VbrQualities; }
std::span<const ValueName> MP3QualityPresets() { return kMp3Presets; }
std::span<const ValueName> OGGSampleRates() { return kOggRates; }
std::span<const ValueName> OGGBitRates() { return kOggBitRates; }
std::span<const ValueName> OGGChannelModes() { return kOggChannelModes; }
std::span<const ValueName> OGGEncodeModes() { return kOggEncodeModes; }
std::span<const ValueName> OGGVBRQualities() { return kOggVbrQualities; }

const char* NameOf(std::span<const ValueName> table, std::int32_t value) {
  for (const ValueName& v : table)
    if (v.value == value) return v.name;
  return nullptr;
}

int GetWavSampleRateCount() { return static_cast<int>(std::size(kWavRates)); }
int GetMPEGVersionCount() { return static_cast<int>(std::size(kMpegVersions)); }
int GetOGGSampleRateCount() { return static_cast<int>(std::size(kOggRates)); }
int GetOGGBitRateCount() { return static_cast<int>(std::size(kOggBitRates)); }

void SetStoredEncodeOptions(const FileEncodeOptions* options) noexcept {
  g_stored.store(options, std::memory_order_release);
}

const FileEncodeOptions& StoredEncodeOptions() {
  static const FileEncodeOptions defaults;
  const FileEncodeOptions* p = g_stored.load(std::memory_order_acquire);
  return p ? *p : defaults;
}

}  // namespace settings

using settings::ValueName;

std::span<const ValueName> GetMP3SampleRateTable(int version) {
  if (version == 1) return settings::kMp3RatesII;
  if (version == 2) return settings::kMp3RatesII5;
  return settings::kMp3RatesI;
}

std::span<const ValueName> GetMP3BitRateTable(int version) {
  if (version == 1 || version == 2) return settings::kMp3BitRatesII;
  return settings::kMp3BitRatesI;
}

void GetMP3ABRRange(int version, std::int32_t* minimum, std::int32_t* maximum) {
  if (version == 1 || version == 2) {
    *minimum = 8000;
    *maximum = 160000;
  } else {
    *minimum = 32000;
    *maximum = 320000;
  }
}

void WavEncodeOptions::SetDefaults() {
  WavFileFormat = 0x10000;
  WavSampleRate = 44100;
  WavSampleFormat = 0x20001;
  WavChannelMode = 1;
}

void MP3EncodeOptions::SetDefaults() {
  MP3Version = 0;
  MP3SampleRate = 44100;
  MP3EncodeMode = 0;
  MP3ChannelMode = 1;
  MP3BitRate = 128;
  MP3VBRMaxBitRate = 160;
  MP3ABRBitRate = 128000;
  MP3VBRQuality = 4;
  MP3QualityPresets = 0;
}

void OGGEncodeOptions::SetDefaults() {
  OGGSampleRate = 44100;
  OGGSampleFormat = 0x20001;
  OGGEncodeMode = 1;
  OGGChannelMode = 1;
  OGGBitRate = 128000;
  OGGVBRQuality = 7;
}

void FileEncodeOptions::SetDefaults() {
  WavEncodeOptions::SetDefaults();
  MP3EncodeOptions::SetDefaults();
  OGGEncodeOptions::SetDefaults();
}

int FileEncodeOptions::Load() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForReading(holder, kSection);
  if (!reg) return 1;
  const FileEncodeOptions d;
  reg->ReadInt("WavSampleRate", &WavSampleRate, d.WavSampleRate);
  reg->ReadInt("WavSampleFormat", &WavSampleFormat, d.WavSampleFormat);
  reg->ReadInt("WavChannelMode", &WavChannelMode, d.WavChannelMode);
  reg->ReadInt("WavFileFormat", &WavFileFormat, d.WavFileFormat);
  reg->ReadInt("MP3Version", &MP3Version, d.MP3Version);
  reg->ReadInt("MP3SampleRate", &MP3SampleRate, d.MP3SampleRate);
  reg->ReadInt("MP3EncodeMode", &MP3EncodeMode, d.MP3EncodeMode);
  reg->ReadInt("MP3ChannelMode", &MP3ChannelMode, d.MP3ChannelMode);
  reg->ReadInt("MP3BitRate", &MP3BitRate, d.MP3BitRate);
  reg->ReadInt("MP3VBRMaxBitRate", &MP3VBRMaxBitRate, d.MP3VBRMaxBitRate);
  reg->ReadInt("MP3ABRBitRate", &MP3ABRBitRate, d.MP3ABRBitRate);
  reg->ReadInt("MP3QualityPresets", &MP3QualityPresets, d.MP3QualityPresets);
  reg->ReadInt("OGGSampleRate", &OGGSampleRate, d.OGGSampleRate);
  reg->ReadInt("OGGSampleFormat", &OGGSampleFormat, d.OGGSampleFormat);
  reg->ReadInt("OGGEncodeMode", &OGGEncodeMode, d.OGGEncodeMode);
  reg->ReadInt("OGGChannelMode", &OGGChannelMode, d.OGGChannelMode);
  reg->ReadInt("OGGBitRate", &OGGBitRate, d.OGGBitRate);
  reg->ReadInt("OGGVBRQuality", &OGGVBRQuality, d.OGGVBRQuality);
  // A rate the options cannot offer comes from a damaged registry; the writers would
  // record nothing at it (or fail late), so the default stands instead.
  if (!settings::NameOf(settings::WavSampleRates(), WavSampleRate)) {
    seams::DiagnosticF(seams::DiagnosticStream::kStandardError,
                       "FileEncodeOptions: stored WavSampleRate %d refused, %d used\n", WavSampleRate,
                       d.WavSampleRate);
    WavSampleRate = d.WavSampleRate;
  }
  if (!settings::NameOf(settings::OGGSampleRates(), OGGSampleRate)) {
    seams::DiagnosticF(seams::DiagnosticStream::kStandardError,
                       "FileEncodeOptions: stored OGGSampleRate %d refused, %d used\n", OGGSampleRate,
                       d.OGGSampleRate);
    OGGSampleRate = d.OGGSampleRate;
  }
  // The MP3 rate only makes sense with its MPEG version; a pair the encoder cannot take
  // falls back to the default pair.
  if (MP3Version < 0 || MP3Version > 2 ||
      !settings::NameOf(GetMP3SampleRateTable(MP3Version), MP3SampleRate)) {
    seams::DiagnosticF(
        seams::DiagnosticStream::kStandardError,
        "FileEncodeOptions: stored MP3Version %d with MP3SampleRate %d refused, %d with %d used\n",
        MP3Version, MP3SampleRate, d.MP3Version, d.MP3SampleRate);
    MP3Version = d.MP3Version;
    MP3SampleRate = d.MP3SampleRate;
  }
  return 1;
}

int FileEncodeOptions::Save() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection);
  if (!reg) return 1;
  reg->WriteInt("WavSampleRate", WavSampleRate);
  reg->WriteInt("WavSampleFormat", WavSampleFormat);
  reg->WriteInt("WavChannelMode", WavChannelMode);
  reg->WriteInt("WavFileFormat", WavFileFormat);
  reg->WriteInt("MP3Version", MP3Version);
  reg->WriteInt("MP3SampleRate", MP3SampleRate);
  reg->WriteInt("MP3EncodeMode", MP3EncodeMode);
  reg->WriteInt("MP3ChannelMode", MP3ChannelMode);
  reg->WriteInt("MP3BitRate", MP3BitRate);
  reg->WriteInt("MP3VBRMaxBitRate", MP3VBRMaxBitRate);
  reg->WriteInt("MP3ABRBitRate", MP3ABRBitRate);
  reg->WriteInt("MP3QualityPresets", MP3QualityPresets);
  reg->WriteInt("OGGSampleRate", OGGSampleRate);
  reg->WriteInt("OGGSampleFormat", OGGSampleFormat);
  reg->WriteInt("OGGEncodeMode", OGGEncodeMode);
  reg->WriteInt("OGGChannelMode", OGGChannelMode);
  reg->WriteInt("OGGBitRate", OGGBitRate);
  reg->WriteInt("OGGVBRQuality", OGGVBRQuality);
  return 1;
}

namespace {
std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

// A value's name in a table, or the value written with the fallback format.
std::string NameOr(std::span<const ValueName> table, std::int32_t value, const char* fallback) {
  if (const char* name = settings::NameOf(table, value)) return name;
  return settings_text::Format(fallback, value);
}

}  // namespace

void FileEncodeOptions::GetSummary(std::vector<std::string>* lines, const std::string& typeName) const {
  namespace text = settings_text;
  using text::Format;
  // A value by its name in a table, else as a number (with its unit).
  auto name = [](std::span<const ValueName> table, std::int32_t value,
                 const char* fallback = text::kNumberFormat) { return NameOr(table, value, fallback); };
  auto add = [lines](const std::string& line) { lines->push_back(text::kSummaryIndent + line); };
  const std::string type = Upper(typeName);
  if (type == "WAV") {
    const char* format = settings::NameOf(settings::SampleFormats(), WavSampleFormat);
    lines->push_back(Format(text::kWavSummaryFormat, WavSampleRate,
                            format ? format : text::kDefaultSampleFormat,
                            WavChannelMode == 1 ? text::kStereo : text::kMono));
  } else if (type == "MP3") {
    auto rates = GetMP3SampleRateTable(MP3Version);
    auto bitRates = GetMP3BitRateTable(MP3Version);
    add(Format(text::kMp3VersionFormat, name(settings::MPEGVersions(), MP3Version).c_str()));
    add(Format(text::kMp3RateChannelModeFormat, name(rates, MP3SampleRate, text::kHzFormat).c_str(),
               name(settings::MP3ChannelModes(), MP3ChannelMode).c_str(),
               name(settings::MP3EncodeModes(), MP3EncodeMode).c_str()));
    const std::string minRate = name(bitRates, MP3BitRate, text::kKbpsFormat);
    const std::string maxRate = name(bitRates, MP3VBRMaxBitRate, text::kKbpsFormat);
    if (MP3EncodeMode == 0) {
      add(Format(text::kBitRateFormat, minRate.c_str()));
    } else if (MP3EncodeMode == 1) {
      // Left to the implementer: the ABR line shows the bit rate and the VBR maximum, as
      // the VBR line does.
      add(Format(text::kMinMaxBitRateFormat, minRate.c_str(), maxRate.c_str()));
      add(Format(text::kAbrBitRateFormat, Format(text::kBpsFormat, MP3ABRBitRate).c_str()));
    } else if (MP3EncodeMode == 2) {
      add(Format(text::kMinMaxBitRateFormat, minRate.c_str(), maxRate.c_str()));
      add(Format(text::kVbrQualityFormat, name(settings::MP3VBRQualities(), MP3VBRQuality).c_str()));
    }
  } else if (type == "OGG") {
    add(Format(text::kOggRateChannelFormat,
               name(settings::OGGSampleRates(), OGGSampleRate, text::kHzFormat).c_str(),
               name(settings::OGGChannelModes(), OGGChannelMode).c_str()));
    const std::string mode = name(settings::OGGEncodeModes(), OGGEncodeMode);
    if (OGGEncodeMode == 1) {
      add(Format(text::kOggVbrFormat, mode.c_str(),
                 name(settings::OGGVBRQualities(), OGGVBRQuality).c_str()));
    } else if (OGGEncodeMode == 0) {
      add(Format(text::kOggAbrFormat, mode.c_str(),
                 name(settings::OGGBitRates(), OGGBitRate, text::kBpsFormat).c_str()));
    }
  }
}
