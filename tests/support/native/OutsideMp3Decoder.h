// What an outside MP3 decoder (mpg123) makes of a file: its gapless decode
// (the encoder's delay and padding taken off when the file's information frame
// tells them) and the length a player shows before it has read the file.
#pragma once

#include <string>

#include "tests/support/native/AudioFiles.h"

namespace audiotest {

// True when mpg123 is on the PATH.
bool HaveOutsideMp3Decoder();

// mpg123's decode of the whole file as 32-bit floats, gapless (its default).
Decoded DecodeMp3Outside(const std::string& path);

// The length in seconds mpg123 announces as it starts playing (from the
// information frame, or guessed from the first frame's bit rate when there is
// none); NaN when it says nothing.
double Mp3AnnouncedSeconds(const std::string& path);

}  // namespace audiotest
