#pragma once
// The texts of the MP3 encoder binding that reach the user: why the encoder library
// cannot be used (the exporters and writers show them) and the encoder's version.
// The code names an entry (or asks for a composed text) and never spells a text
// itself, so each wording lives here once. Entries ending in "Format" are printf
// formats the code fills in.
#include <string>

namespace io_text {

// The writers and exporters show this when the library will not load.
extern const char kEncoderCannotOpen[];

// LameEncoder::GetLastError's texts.
extern const char kEncoderNotFound[];
std::string EncoderLacksEntryPoint(const std::string& file);
extern const char kEncoderBusy[];
extern const char kEncoderRefusedFormat[];  // %u: the library's error code

// The version of the loaded library: %d.%d major and minor.
extern const char kEncoderVersionFormat[];

}  // namespace io_text
