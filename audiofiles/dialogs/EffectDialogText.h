#pragma once
// The texts the effects' parameter dialogs and the Locate and Select dialog show the
// user. A range text names the field and gives its bounds in brackets: the numeric
// exchange checks the value against it and quotes it when the value is refused.

namespace effect_dialog_text {

extern const char kEchoDelayRange[];
extern const char kEchoDecayRange[];
extern const char kSilenceDurationRange[];
extern const char kFromRange[];
extern const char kToRange[];

// The field names of the Locate and Select dialog, and the message (a printf format:
// field name, lowest and highest time) shown when a time past the project's end was
// brought back to the end.
extern const char kFromField[];
extern const char kToField[];
extern const char kTimeAdjusted[];

}  // namespace effect_dialog_text
