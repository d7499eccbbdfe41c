#include "options/log/LogText.h"

namespace log_text {

const char kNameFormat[] = "Name: %s";
const char kTotalTimeFormat[] = "Total Time: %d seconds";
const char kCurrentTimeFormat[] = "Current Time: %d second";
const char kPanelFont[] = "MS Sans Serif";
const char* const kSoundExtensions[3] = {"MP3", "OGG", "WAV"};

}  // namespace log_text
