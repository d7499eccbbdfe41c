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

}  // namespace project_text
