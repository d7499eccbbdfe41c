#include "audiofiles/io/IoText.h"

namespace io_text {

const char kEncoderCannotOpen[] = "Could not open MP3 encoding library!";

const char kEncoderNotFound[] = "The MP3 encoding library lame_enc.so was not found.";
std::string EncoderLacksEntryPoint(const std::string& file) {
  return "The MP3 encoding library " + file + " lacks an entry point.";
}
const char kEncoderBusy[] = "The MP3 encoder is already in use by another recording or export.";
const char kEncoderRefusedFormat[] = "The MP3 encoder refused these settings (error %u).";

const char kEncoderVersionFormat[] = "LAME v%d.%d";

}  // namespace io_text
