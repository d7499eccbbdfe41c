#pragma once
// The texts of the colour dialog.
namespace color_dialog_text {
extern const char* const kTitle;
extern const char* const kStandard;
extern const char* const kCustom;
extern const char* const kNew;
extern const char* const kCurrent;
extern const char* const kColors;
extern const char* const kOk;
extern const char* const kCancel;
extern const char* const kRed;
extern const char* const kGreen;
extern const char* const kBlue;
extern const char* const kHue;
extern const char* const kSaturation;
extern const char* const kLightness;
}  // namespace color_dialog_text
