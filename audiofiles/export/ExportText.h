#pragma once
// The texts save and export show the user: their progress windows and why a file was
// not written. The code names an entry (or asks for a composed text) and never spells
// a text itself, so each wording lives here once. Entries ending in "Format" are printf
// formats the code fills in.
#include <string>

namespace export_text {

// Choosing what to export.
extern const char kNoTracksSelected[];
std::string FolderNotFile(const std::string& fileName);
std::string UnknownType(const std::string& extension);
extern const char kRateUnconvertibleFormat[];  // %.0f the audio's rate, %.0f the chosen one

// The progress window of an export; its text names the file (without its folder).
extern const char kExportCaption[];
std::string ExportingMp3(bool selectedOnly, const std::string& fileName);
std::string ExportingOgg(bool selectedOnly);
std::string ExportingSoundFile(bool selectedOnly, const std::string& formatName, const std::string& fileName);

// The encoded exporters' failures.
extern const char kCannotOpenTarget[];
// The file could not be made: that text, the path as the user sees it and why.
std::string CannotOpenTarget(const std::string& shownPath, const std::string& reason);
std::string Mp3SettingsRefused(const std::string& why);  // why may be empty
extern const char kOggEncoderFailed[];
extern const char kWriteFailed[];
extern const char kCloseFailed[];

// The sound-file exporter's failures; the reason a write failed comes from the library,
// from the system or is kMixOutOfMemory.
extern const char kFormatUnsupported[];
std::string CannotExportTo(const std::string& fileName);
// The same with the reason the system gave (may be empty).
std::string CannotExportTo(const std::string& fileName, const std::string& reason);
std::string WriteFailedBecause(const std::string& reason);
extern const char kMixOutOfMemory[];
extern const char kNoRoomInPlace[];  // a file rewritten in place would not fit

// Mixing the selection or the clipboard to a wave file for the program's own use: its
// progress window and the one failure text it shows for any error (spelt twice).
extern const char kProcessSelectionCaption[];
extern const char kProcessClipboardCaption[];
extern const char kProcessingText[];
extern const char kHandleError[];
extern const char kHandleErrorLower[];

}  // namespace export_text
