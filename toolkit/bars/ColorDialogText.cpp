#include "toolkit/bars/ColorDialogText.h"

namespace color_dialog_text {
const char* const kTitle = "Colors";
const char* const kStandard = "Standard";
const char* const kCustom = "Custom";
const char* const kNew = "New";
const char* const kCurrent = "Current";
const char* const kColors = "Colors:";
const char* const kOk = "OK";
const char* const kCancel = "Cancel";
const char* const kRed = "&Red:";
const char* const kGreen = "&Green:";
const char* const kBlue = "&Blue:";
const char* const kHue = "&Hue:";
const char* const kSaturation = "&Sat:";
const char* const kLightness = "&Lum:";
}  // namespace color_dialog_text
