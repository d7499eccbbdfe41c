#pragma once
// Sound files that window tests open in the program: 16-bit PCM WAV files written
// from samples the test makes.
#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace winetest {

// Interleaved 16-bit samples as a PCM WAV file at a Linux path; false when it cannot
// be written whole.
bool WriteWav16(const std::string& unixPath, int rate, int channels, const std::vector<short>& interleaved);

// A stereo WAV of that many seconds: left a 440 Hz sine at 0.5, right 880 Hz at 0.25.
bool WriteTwoToneWav(const std::string& unixPath, int rate, double seconds);

}  // namespace winetest
