#pragma once
// The texts the data model shows the user: the temporary folder's messages, the
// progress window of its clean-up and the name a new track starts with. The code
// names an entry and never spells a text itself, so each wording lives here once.
namespace model_text {

// Message boxes of the directory manager (caption: the program's own).
extern const char kNoTempFolder[];  // no folder could be found for temporary files
extern const char kLowDiskSpace[];  // the temporary folder's volume is nearly full

// The progress window while stale temporary files are removed.
extern const char kCleanupCaption[];
extern const char kCleanupText[];

// The name of a new wave track.
extern const char kNewTrackName[];

}  // namespace model_text
