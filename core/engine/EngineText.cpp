#include "core/engine/EngineText.h"

namespace engine_text {

std::string InitFailed(const char* reason) {
  std::string text =
      "There was an error initializing the audio i/o layer.\n"
      "You will not be able to play or record audio.\n\n";
  if (reason && *reason) text += std::string("Error: ") + reason;
  return text;
}

const char kEngineNotReady[] = "Audio Engine can not be initialized!";

std::string WriterFailed(const std::string& file) {
  return "The recording was stopped: the sound could not be written to the file \"" + file +
         "\".\nPlease check that the output folder exists and that the disk has free "
         "space.";
}

const char kTracksFailed[] =
    "The recording was stopped: the sound could not be written to the temporary "
    "folder.\nPlease check that the disk has free space.";
const char kStreamDied[] = "The sound device stopped working, so the stream was stopped.";

}  // namespace engine_text
