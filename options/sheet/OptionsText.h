#pragma once
// The texts the options sheet, its pages, the encoding panels and the silence monitor
// show the user. The code names an entry and never spells a text itself.
#include "platform/afx/linux_headers_begin.h"
#include <array>
#include "platform/afx/linux_headers_end.h"

namespace options_text {

extern const char kOptionsCaption[];

// Messages.
extern const char kBitRateAboveMaximum[];
extern const char kTempFolderNextStart[];
extern const char kNoSilenceAlgorithm[];
extern const char kChooseDirectory[];
extern const char kDigitCountRange[];
extern const char kStartNumberRange[];
extern const char kAbrRange[];
extern const char kThresholdNumber[];
extern const char kStreamCannotStart[];

// Tabs of the File Output Encode page, in tab order.
extern const std::array<const char*, 3> kEncodeTabs;
// The output file types, in `eFileType` order.
extern const std::array<const char*, 3> kFileTypes;
// The recording device's sample formats and their codes.
struct FormatName {
  int code;
  const char* name;
};
extern const std::array<FormatName, 3> kDeviceFormats;
// The colour scheme presets, in the record's row order.
extern const std::array<const char*, 17> kColorSchemes;
extern const char kAutomaticColor[];
extern const char kOtherColor[];
// Silence detection choices; the combo index is the stored value.
extern const std::array<const char*, 2> kSilenceLogic;
extern const std::array<const char*, 3> kEditingModeActions;
extern const std::array<const char*, 4> kSavingModeActions;

// The range texts of the advanced recording page's numbers.
extern const char kTimeLimitRange[];
extern const char kZcrFactorRange[];
extern const char kZcrDelayRange[];
extern const char kSeFactorRange[];
extern const char kSeDelayRange[];
extern const char kAutoSplitRange[];

// Formats of the shown numbers.
extern const char kSampleRateFormat[];  // "%d Hz"
extern const char kMegabytesFormat[];   // "%.2f"
extern const char kVolumeFormat[];      // "%.2f"
extern const char kSecondsFormat[];     // "%.3f"
extern const char kStatisticFormat[];   // "%.3f"
extern const char kCountFormat[];       // "%u"

// The silence monitor's start button while idle and while it measures.
extern const char kDetectSilence[];
extern const char kStopDetecting[];
extern const char kSilenceDetect[];  // the idle text after a run

}  // namespace options_text
