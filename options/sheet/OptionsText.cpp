#include "options/sheet/OptionsText.h"

namespace options_text {

const char kOptionsCaption[] = "Options";

const char kBitRateAboveMaximum[] = "Bit rate value is more than Maximum bit rate!";
const char kTempFolderNextStart[] = "Temparory floder will take effect when Tarvel re-start!";
const char kNoSilenceAlgorithm[] =
    "You don't select any one of silence detection algorithmns! Tarvel will use Zero Crossing Rates "
    "algorithmns!";
const char kChooseDirectory[] = "Choose directory:";
const char kDigitCountRange[] = "Please enter an integer between 2 and 6.";
const char kStartNumberRange[] = "Please enter an integer between 1 and 999999.";
const char kAbrRange[] = "Please enter an integer between 8000 and 320000.";
const char kThresholdNumber[] = "Please enter an integer.";
const char kStreamCannotStart[] =
    "Tarvel can't open the recording device to detect silence! Please check the sound device options.";

const std::array<const char*, 3> kEncodeTabs = {"Wav", "Mp3", "Ogg"};
const std::array<const char*, 3> kFileTypes = {"MP3", "WAV", "OGG"};
const std::array<FormatName, 3> kDeviceFormats = {
    FormatName{0x20001, "16-bit"}, FormatName{0x40001, "24-bit"}, FormatName{0x4000F, "32-bit float"}};
const std::array<const char*, 17> kColorSchemes = {"Default Scheme", "3D",
                                                   "Arctic Freeze",  "Classic Cool",
                                                   "Dusty Rose",     "Easy on the Eyes",
                                                   "Fire and Brick", "Lipstick and Grapes",
                                                   "Midnight",       "Grape Lame and Tangerine",
                                                   "Midnight Blues", "Nature Calls",
                                                   "Periwinkle",     "Safari So Good",
                                                   "XP Blue",        "XP Olive",
                                                   "XP Silver"};
const char kAutomaticColor[] = "Automatic";
const char kOtherColor[] = "Other";
const std::array<const char*, 2> kSilenceLogic = {"OR", "AND"};
const std::array<const char*, 3> kEditingModeActions = {"None", "Pause recording", "Stop recording"};
const std::array<const char*, 4> kSavingModeActions = {"None", "Pause recording", "Stop recording",
                                                       "New file"};

const char kTimeLimitRange[] = "Time limit to [0.100, inf)";
const char kZcrFactorRange[] = "ZCR factor limit to [0.000, 0.200]";
const char kZcrDelayRange[] = "ZCR Delay limit to [0.001, 1000.000]";
const char kSeFactorRange[] = "SE factor limit to [0.000, 0.200]";
const char kSeDelayRange[] = "SE Delay limit to [0.001, 1000.000]";
const char kAutoSplitRange[] = "Auto split time limit to [20.000, inf]";

const char kSampleRateFormat[] = "%d Hz";
const char kMegabytesFormat[] = "%.2f";
const char kVolumeFormat[] = "%.2f";
const char kSecondsFormat[] = "%.3f";
const char kStatisticFormat[] = "%.3f";
const char kCountFormat[] = "%u";

const char kDetectSilence[] = "Detect Silence";
const char kStopDetecting[] = "Stop";
const char kSilenceDetect[] = "Silence Detect";

}  // namespace options_text
