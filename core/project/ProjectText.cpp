#include "core/project/ProjectText.h"

namespace project_text {

const char kImportError[] = "Import Error!!";
const char kPasteError[] = "Handle error!";

const char kNewProjectState[] = "Created new project";

const char kImportCaption[] = "Import Audio File...";
const char kRawFormat[] = "Raw";
std::string ImportingText(const std::string& format) { return "\nImporting " + format + " File ..."; }
const char kProcessingCaption[] = "Processing Audio...";
const char kProcessingText[] = "Processing Audio Wave...";

const char kPlaybackFailed[] =
    "Error while opening sound device. Please check the output"
    "                            device settings and the project sample rate.";

}  // namespace project_text
