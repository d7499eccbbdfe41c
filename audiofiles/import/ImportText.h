#pragma once
// The texts the importers give the user: the names of the formats they read and why an
// import failed (the project shows them). The code names an entry (or asks for a
// composed text) and never spells a text itself, so each wording lives here once.
#include <string>

namespace import_text {

// The formats' names, in file dialogs and in "Importing ... File".
extern const char kMp3Description[];
extern const char kOggDescription[];
extern const char kPcmDescription[];

// Why the file is not imported at all.
extern const char kNotRecognized[];
std::string CannotOpen(const std::string& fileName, const char* reason);
std::string NotAFile(const std::string& fileName);
extern const char kOutOfMemory[];
extern const char kImportFailed[];

// Why an importer gave up on a file of its format.
extern const char kStoreFailed[];  // its samples could not be stored
extern const char kReadIncomplete[];
std::string DamagedHeader(int channels, int rate);
std::string TooManyChannels(int channels, int maximum);
std::string OggDamaged(long code);  // names the decoder's error code
// The decoder's name for its error code, "Unknown error <code>" when it has none.
std::string OggErrorText(long code);

}  // namespace import_text
