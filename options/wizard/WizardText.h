#pragma once
// The texts of the Record Wizard's summary.

namespace wizard_text {

extern const char kStepDevice[];
extern const char kStepSource[];
extern const char kStepOutput[];
extern const char kStepEncodingFormat[];  // %s: the output file type
extern const char kStepAdvance[];

}  // namespace wizard_text
