#pragma once
// The texts the project shows the user: its import and processing progress, the
// first state of its history and the message of a playback that cannot start. The
// code names an entry (or asks for a composed text) and never spells a text itself,
// so each wording lives here once.
#include <string>

namespace project_text {

// The error text an import starts with, before the importer gives a better one; the
// pasting of a clipboard file starts with its own.
extern const char kImportError[];
extern const char kPasteError[];

// The description of the history's first state.
extern const char kNewProjectState[];

// The progress window of an import ("Importing Ogg Vorbis File ...", a raw import
// names its format "Raw") and of the processing of a clipboard file.
extern const char kImportCaption[];
extern const char kRawFormat[];
std::string ImportingText(const std::string& format);
extern const char kProcessingCaption[];
extern const char kProcessingText[];

// Message box: the output device would not open for playback.
extern const char kPlaybackFailed[];

// A take recovered after the program ended while it recorded: the progress window of
// its writing and what the user is told.
extern const char kRecoveryCaption[];
extern const char kRecoveryText[];
std::string RecoveredText(const std::string& path, double seconds, int channels, double missingSeconds);
// reason: why nothing could be given back ("its journal is damaged", kNoSamplesOnDisk).
std::string NothingRecoveredText(const std::string& reason);
extern const char kNoSamplesOnDisk[];
extern const char kRecoveryCancelled[];
std::string RecoveryFailedText(const std::string& path, const std::string& reason);

}  // namespace project_text
