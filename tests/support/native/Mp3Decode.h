// Test helpers: decode MP3 bytes with libmad, with what each frame header says,
// and make 16-bit input for an encoder. Shared by the encoder library's tests, the
// binding's tests and the streaming writer, engine and export tests (through
// writer_test_support.h). Levels and frequencies: AudioAnalysis.h.
#pragma once

#include <mad.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mp3test {

struct Decoded {
  int rate = 0;
  int channels = 0;
  int frames = 0;     // MP3 frames decoded
  int badFrames = 0;  // frames libmad could not decode
  int layer = 0;
  int mpegVersion = 0;  // 1 MPEG I, 2 MPEG II, 25 MPEG II.5
  int mode = -1;        // MAD_MODE_*
  bool crc = false;
  // The stream began with an information frame ("Xing"/"Info"), which was
  // skipped as players skip it, not decoded; the frame count it tells (-1 when
  // it tells none).
  bool infoFrame = false;
  int64_t infoFrameCount = -1;
  std::vector<unsigned> bitrates;       // bit/s of each frame
  std::vector<std::vector<float>> pcm;  // per channel
  size_t samples() const { return pcm.empty() ? 0 : pcm[0].size(); }
};

// Decodes every audio frame of the stream (libmad: no gapless trimming).
Decoded Decode(const std::vector<uint8_t>& bytes);

// Interleaved 16-bit sines: channel c at freqs[c], peak amplitude amp (0..1).
std::vector<int16_t> Sine(int rate, int channels, size_t frames, const std::vector<double>& freqs,
                          double amp);

// Index of the first sample whose magnitude exceeds threshold.
size_t FirstAbove(const std::vector<float>& x, float threshold);

}  // namespace mp3test
