#pragma once
// The audio test rig for tests under wine: started for the length of a test, its
// client environment put into the process, and the virtual speaker recorded from its
// monitor; with helpers that find the sounding part of what the speaker heard.
#include "player_test_support.h"
#include "support/wine/AudioRigForWine.h"

#include "platform/afx/linux_headers_begin.h"
#include <fstream>
#include "platform/afx/linux_headers_end.h"

namespace player_test {

using winetest::AudioRigForWine;
using winetest::Spawn;
using winetest::WaitExit;

// 16-bit stereo samples of a WAV file written by the recorder (native path).
inline std::vector<uint8_t> SpeakerPcm(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (size_t at = 12; at + 8 <= bytes.size();) {
    uint32_t size;
    std::memcpy(&size, &bytes[at + 4], 4);
    if (std::memcmp(&bytes[at], "data", 4) == 0)
      return std::vector<uint8_t>(bytes.begin() + at + 8, bytes.end());
    at += 8 + size;
  }
  return {};
}

// The sounding part: from the first to the last sample above a small threshold.
inline std::vector<double> Sounding(const std::vector<double>& x) {
  size_t first = 0, last = x.size();
  while (first < x.size() && std::fabs(x[first]) < 0.05) ++first;
  while (last > first && std::fabs(x[last - 1]) < 0.05) --last;
  return std::vector<double>(x.begin() + first, x.begin() + last);
}

}  // namespace player_test
