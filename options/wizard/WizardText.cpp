#include "options/wizard/WizardText.h"

namespace wizard_text {

const char kStepDevice[] = "1.Step one: Recording source device options:";
const char kStepSource[] = "2.Step two: Recording sound source options:";
const char kStepOutput[] = "3.Step three: Recording file output options:";
const char kStepEncodingFormat[] = "    %s file encoding options:";
const char kStepAdvance[] = "4.Step four: Advance recording options:";

}  // namespace wizard_text
