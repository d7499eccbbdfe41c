#pragma once
// The texts the settings records show the user: their messages and the lines of their
// summaries, with the printf-style helpers that fill them in. The code names an entry
// and never spells a text itself, so each wording lives here once. Entries ending in
// "Format" are printf formats; those ending in "Pattern" take "%1" (FormatString1).
#include <cstdarg>
#include <string>

namespace settings_text {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
Format(const char* format, ...);

// FormatMessage-style "%1" replacement (AfxFormatString1).
std::string FormatString1(const std::string& pattern, const std::string& arg);

// Messages (the program's caption unless one is named).
extern const char kCannotCreateFolder[];
extern const char kErrorCaption[];          // kCannotCreateFolder's caption
extern const char kCounterExhausted[];      // string table entry 30003
extern const char kAskReplacePattern[];     // 30005; %1: the file
extern const char kFolderMissingPattern[];  // 30006; %1: the folder

// Words the summaries fill in.
extern const char kEnable[];
extern const char kDisable[];
extern const char kYes[];
extern const char kNo[];
extern const char kNone[];
extern const char kMono[];
extern const char kStereo[];

// The advanced recording settings' summary.
extern const char kEditingModeLine[];
extern const char kDirectModeLine[];
extern const char kTimeLimitFormat[];  // %.3f seconds
extern const char kNoTimeLimitLine[];
extern const char kSilenceDetectionFormat[];  // %s: kEnable or kDisable
extern const char kZeroCrossing[];
extern const char kSignalEnergy[];
extern const char kBothAlgorithms[];
extern const char kEitherAlgorithm[];
extern const char kAlgorithmsFormat[];
extern const char kActionPause[];
extern const char kActionStop[];
extern const char kActionNewFile[];
extern const char kSilenceActionFormat[];
extern const char kAutoSplitFormat[];  // %.3f seconds
extern const char kNoAutoSplitLine[];

// The input source's summary.
extern const char kNoInputSourceLine[];
extern const char kInputSourceFormat[];  // %s the source, %.2f its volume

// The sound device's sample formats and summary.
extern const char k16Bit[];
extern const char k24Bit[];
extern const char k32BitFloat[];
extern const char kRecordingDeviceFormat[];
extern const char kDeviceFormatFormat[];  // %s channels, %d rate, %s sample format

// The file output settings' summary.
extern const char kSaveFolderFormat[];
extern const char kSaveTypeFormat[];
extern const char kSaveWhenFinishedFormat[];  // %s: kEnable or kDisable
extern const char kAutoNameFormat[];          // %s: kEnable or kDisable
extern const char kReplaceFilesFormat[];      // %s: kYes or kNo

// The encoding settings' summary: a line for WAV, indented lines for MP3 and Ogg.
// A value missing from its table is written with kNumberFormat, kHzFormat,
// kKbpsFormat or kBpsFormat.
extern const char kWavSummaryFormat[];  // %d rate, %s sample format, %s channels
extern const char kDefaultSampleFormat[];
extern const char kSummaryIndent[];
extern const char kMp3VersionFormat[];
extern const char kMp3RateChannelModeFormat[];
extern const char kBitRateFormat[];
extern const char kMinMaxBitRateFormat[];
extern const char kAbrBitRateFormat[];
extern const char kVbrQualityFormat[];
extern const char kOggRateChannelFormat[];
extern const char kOggVbrFormat[];
extern const char kOggAbrFormat[];
extern const char kNumberFormat[];
extern const char kHzFormat[];
extern const char kKbpsFormat[];
extern const char kBpsFormat[];

}  // namespace settings_text
