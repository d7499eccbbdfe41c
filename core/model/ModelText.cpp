#include "core/model/ModelText.h"

namespace model_text {

const char kNoTempFolder[] =
    "Tarvel could not find a place to store temporary files.\n \t\t               "
    "Please enter an appropriate directory in the options dialog.";
const char kLowDiskSpace[] =
    "Warning: there is very little free disk space left on this volume. Please select "
    "another temporary directory in your 'File Output' sub-dialog of 'Options' dialog.";

const char kCleanupCaption[] = "Progress";
const char kCleanupText[] = "\nCleaning up temporary files...";

const char kNewTrackName[] = "Audio Track";

}  // namespace model_text
