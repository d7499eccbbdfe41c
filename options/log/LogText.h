#pragma once
// The texts of the recording log.

namespace log_text {

extern const char kNameFormat[];
extern const char kTotalTimeFormat[];
extern const char kCurrentTimeFormat[];
extern const char kPanelFont[];
// The extensions the list shows (compared without case).
extern const char* const kSoundExtensions[3];

}  // namespace log_text
