#include "audiofiles/dialogs/EffectDialogText.h"

namespace effect_dialog_text {

const char kEchoDelayRange[] = "Delay Time [0.0, 60.0]";
const char kEchoDecayRange[] = "Decay ratio (0.0, 1.0]";
const char kSilenceDurationRange[] = "Duration of silence [0.0, 300.0]";
const char kFromRange[] = "From [0.0, inf)";
const char kToRange[] = "To [0.0, inf)";

const char kFromField[] = "From";
const char kToField[] = "To";
const char kTimeAdjusted[] = "\"%s\" is not in the range of %.5f to %.5f. Value has been adjusted.";

}  // namespace effect_dialog_text
