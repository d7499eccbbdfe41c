#include "app/settings/SettingsText.h"

#include <cstdio>
#include <vector>

namespace settings_text {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    out.assign(buffer.data(), static_cast<std::size_t>(n));
  }
  va_end(args);
  return out;
}

std::string FormatString1(const std::string& pattern, const std::string& arg) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '1') {
      out += arg;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

const char kCannotCreateFolder[] = "Tarvel can't create directory! please check your disk space!";
const char kErrorCaption[] = "Error Message";
const char kCounterExhausted[] = "The start number of file name reach maxium value!";
const char kAskReplacePattern[] = "File %1 has always existed. Would you like replace it?";
const char kFolderMissingPattern[] =
    "The Directory of %1 doesn't exist. Please choose correct directory from Options menu item.";

const char kEnable[] = "Enable";
const char kDisable[] = "Disable";
const char kYes[] = "Yes";
const char kNo[] = "No";
const char kNone[] = "None";
const char kMono[] = "Mono";
const char kStereo[] = "Stereo";

const char kEditingModeLine[] = "    Active recording mode: Editing sound mode";
const char kDirectModeLine[] = "    Active recording mode: Directly saving sound mode";
const char kTimeLimitFormat[] = "    Time limit to: %.3f";
const char kNoTimeLimitLine[] = "    No time limit";
const char kSilenceDetectionFormat[] = "    Voice activate and silence detect: %s";
const char kZeroCrossing[] = "Zero crossing rates";
const char kSignalEnergy[] = "Singal energy";
const char kBothAlgorithms[] = "Zero crossing rates AND Singal energy";
const char kEitherAlgorithm[] = "Zero crossing rates OR Singal energy";
const char kAlgorithmsFormat[] = "    Silence detection algorithms: %s";
const char kActionPause[] = "Pause";
const char kActionStop[] = "Stop";
const char kActionNewFile[] = "New File";
const char kSilenceActionFormat[] = "    Action when silence is detected: %s";
const char kAutoSplitFormat[] = "    Auto split: Enable     Time: %.3f";
const char kNoAutoSplitLine[] = "    Auto split: Disable";

const char kNoInputSourceLine[] = "    Input source: None    volume: None";
const char kInputSourceFormat[] = "    Input source: %s    volume: %.2f";

const char k16Bit[] = "16-bit";
const char k24Bit[] = "24-bit";
const char k32BitFloat[] = "32-bit float";
const char kRecordingDeviceFormat[] = "    Recording device: %s";
const char kDeviceFormatFormat[] = "    Channel: %s     Sample rate: %d Hz     Sampe format: %s";

const char kSaveFolderFormat[] = "    Save files in folder: %s";
const char kSaveTypeFormat[] = "    Save the wave as: %s";
const char kSaveWhenFinishedFormat[] =
    "    Save wave to file when recording finished(only for Editing mode): %s";
const char kAutoNameFormat[] = "    Automatically name and save the wave(only Editing mode): %s";
const char kReplaceFilesFormat[] = "    Replace existing files(only for Editing mode): %s";

const char kWavSummaryFormat[] = "            Sample rate: %d Hz    Sample format: %s    Channel: %s";
const char kDefaultSampleFormat[] = "16 Bits";
const char kSummaryIndent[] = "            ";  // twelve spaces
const char kMp3VersionFormat[] = "MP3 Version: %s";
const char kMp3RateChannelModeFormat[] = "Sample rate: %s    Channel: %s    Encode mode: %s";
const char kBitRateFormat[] = "Bit rate: %s";
const char kMinMaxBitRateFormat[] = "Min bitrate: %s    Max bitrate: %s";
const char kAbrBitRateFormat[] = "ABR bitrate: %s";
const char kVbrQualityFormat[] = "VBR quality: %s";
const char kOggRateChannelFormat[] = "Sample rate: %s    Channel: %s";
const char kOggVbrFormat[] = "Encode mode: %s    VBR quality: %s";
const char kOggAbrFormat[] = "Encode mode: %s    Sample bitrate: %s";
const char kNumberFormat[] = "%d";
const char kHzFormat[] = "%d Hz";
const char kKbpsFormat[] = "%d kbps";
const char kBpsFormat[] = "%d bps";

}  // namespace settings_text
