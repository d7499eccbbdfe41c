#include "core/project/ProjectText.h"

#include <cmath>
#include <cstdio>

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

namespace {
// "4.5 seconds", "3 min 05 s", "1 h 02 min 10 s".
std::string Duration(double seconds) {
  char text[64];
  if (seconds < 60.0) {
    std::snprintf(text, sizeof text, "%.1f seconds", seconds);
  } else {
    const long whole = std::lround(seconds);
    if (whole < 3600)
      std::snprintf(text, sizeof text, "%ld min %02ld s", whole / 60, whole % 60);
    else
      std::snprintf(text, sizeof text, "%ld h %02ld min %02ld s", whole / 3600, whole / 60 % 60, whole % 60);
  }
  return text;
}
}  // namespace

const char kRecoveryCaption[] = "Recovering a Recording";
const char kRecoveryText[] = "\nSaving the recording that was cut off...";

std::string RecoveredText(const std::string& path, double seconds, int channels, double missingSeconds) {
  const std::string layout = channels == 1   ? "mono"
                             : channels == 2 ? "stereo"
                                             : std::to_string(channels) + " channels";
  std::string text = "Tarvel was ended while it was recording. The recording (" + Duration(seconds) + ", " +
                     layout + ") was recovered and saved as:\n\n" + path;
  if (missingSeconds > 0.0)
    text += "\n\n" + Duration(missingSeconds) +
            " of it had not reached the disk; that part is silent in the file.";
  return text;
}

std::string NothingRecoveredText(const std::string& reason) {
  return "Tarvel was ended while it was recording, but the recording could not be recovered: " + reason + ".";
}

const char kNoSamplesOnDisk[] = "none of its sound had reached the disk";

const char kRecoveryCancelled[] =
    "The recovery of the recording that was cut off was cancelled. Tarvel will offer it again when it starts "
    "next time.";

std::string RecoveryFailedText(const std::string& path, const std::string& reason) {
  return "Tarvel was ended while it was recording. The recording could not be saved as:\n\n" + path +
         "\n\n(" + reason + "). Tarvel will try again when it starts next time.";
}

}  // namespace project_text
