#pragma once
// The encoding settings record, registry section "FileEncodeOptions":
// `WavEncodeOptions`, `MP3EncodeOptions` and `OGGEncodeOptions`, with the fixed value
// tables the encode panels list and the summaries name values by.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace settings {

// A value and its display name.
struct ValueName {
  std::int32_t value;
  const char* name;
};

// The WAV-family containers (libsndfile major format codes).
struct WavContainer {
  std::int32_t code;
  const char* name;       // "Microsoft WAV(*.wav)"
  const char* extension;  // "wav", without dot
  const char* pattern;    // "*.wav"
};

std::span<const WavContainer> WavContainers();            // 4
const WavContainer* FindWavContainer(std::int32_t code);  // null when not in the table
std::span<const ValueName> SampleFormats();               // 0x20001 "16 Bits", 0x4000F "32 Bits"
std::span<const ValueName> WavSampleRates();              // 6, "8000 Hz"...
std::span<const ValueName> MPEGVersions();                // 3
std::span<const ValueName> MP3EncodeModes();              // CBR, ABR, VBR
std::span<const ValueName> MP3ChannelModes();             // 4
std::span<const ValueName> MP3VBRQualities();             // 10
std::span<const ValueName> MP3QualityPresets();           // LQP_* codes
std::span<const ValueName> OGGSampleRates();              // 9
std::span<const ValueName> OGGBitRates();                 // 19, bit/s named in kbps
std::span<const ValueName> OGGChannelModes();             // 2
std::span<const ValueName> OGGEncodeModes();              // ABR, VBR
std::span<const ValueName> OGGVBRQualities();             // 11
// The name of a value in a table; null when the value is not there.
const char* NameOf(std::span<const ValueName> table, std::int32_t value);

// Counting functions.
int GetWavSampleRateCount();
int GetMPEGVersionCount();
int GetOGGSampleRateCount();
int GetOGGBitRateCount();

}  // namespace settings

// Lookups by MPEG version; a version other than 1 or 2 gives MPEG I's.
// The rates (Hz, 3) and the bit rates (kbit/s, 14, named "%d kbps").
std::span<const settings::ValueName> GetMP3SampleRateTable(int version);
std::span<const settings::ValueName> GetMP3BitRateTable(int version);
// The ABR range in bit/s.
void GetMP3ABRRange(int version, std::int32_t* minimum, std::int32_t* maximum);

class WavEncodeOptions {
public:
  WavEncodeOptions() { SetDefaults(); }
  void SetDefaults();

  std::int32_t WavFileFormat;    // container code
  std::int32_t WavSampleRate;    // Hz
  std::int32_t WavSampleFormat;  // sample format code
  std::int32_t WavChannelMode;   // 1 stereo, other mono
};

class MP3EncodeOptions {
public:
  MP3EncodeOptions() { SetDefaults(); }
  void SetDefaults();

  std::int32_t MP3Version;         // 0 MPEG I, 1 MPEG II, 2 MPEG II.5
  std::int32_t MP3SampleRate;      // Hz
  std::int32_t MP3EncodeMode;      // 0 CBR, 1 ABR, 2 VBR
  std::int32_t MP3ChannelMode;     // 0 Mono, 1 Stereo, 2 Joint Stereo, 3 Forced Stereo
  std::int32_t MP3BitRate;         // kbit/s (the minimum in VBR)
  std::int32_t MP3VBRMaxBitRate;   // kbit/s
  std::int32_t MP3ABRBitRate;      // bit/s
  std::int32_t MP3VBRQuality;      // not stored; 0 best .. 9 poor
  std::int32_t MP3QualityPresets;  // LQP_* code
};

class OGGEncodeOptions {
public:
  OGGEncodeOptions() { SetDefaults(); }
  void SetDefaults();

  std::int32_t OGGSampleRate;    // Hz
  std::int32_t OGGSampleFormat;  // sample format code
  std::int32_t OGGEncodeMode;    // 0 ABR, 1 VBR
  std::int32_t OGGChannelMode;   // 0 Mono, 1 Stereo
  std::int32_t OGGBitRate;       // bit/s
  std::int32_t OGGVBRQuality;    // index 0..10
};

class FileEncodeOptions : public WavEncodeOptions, public MP3EncodeOptions, public OGGEncodeOptions {
public:
  static constexpr const char* kSection = "FileEncodeOptions";

  FileEncodeOptions() = default;
  void SetDefaults();
  int Load();
  int Save();
  // Appends the summary of one part: "WAV", "MP3" or "OGG" (any case); another name
  // appends nothing.
  void GetSummary(std::vector<std::string>* lines, const std::string& typeName) const;
};

namespace settings {
// The application's stored encode record, which the output record's type name reads
// (FileOutputOptions). The application registers its record; until then a defaulted record.
void SetStoredEncodeOptions(const FileEncodeOptions* options) noexcept;
const FileEncodeOptions& StoredEncodeOptions();
}  // namespace settings
