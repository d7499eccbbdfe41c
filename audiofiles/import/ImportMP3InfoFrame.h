// The information frame an MP3 encoder may put first in a layer III stream
// (marked "Xing" or "Info"): a frame with the stream's frame and byte counts
// and a seek table, and, in its encoder extension, how many samples of
// encoder delay lead the audio and how many samples of padding end it. It
// carries no audio: a decoder that plays it adds a frame of silence.
#pragma once

#include <cstddef>
#include <cstdint>

struct MP3InfoFrame {
  // The frame's length in bytes (its header and body).
  int frameBytes = 0;
  // Samples per channel in every frame of the stream (1152 or 576).
  int samplesPerFrame = 0;
  // The audio frames of the stream, as the frame counts them; -1 when absent.
  std::int64_t frameCount = -1;
  // The encoder extension was found intact (its checksum matched): delay and
  // padding hold.
  bool hasGapless = false;
  int encoderDelay = 0;    // samples before the first sample of the source
  int encoderPadding = 0;  // samples after the last sample of the source
};

// Reads an information frame from the first bytes of a stream (count bytes
// at data, which must start at a frame header). True when the first frame is
// one; then *info is filled.
bool ReadMP3InfoFrame(const unsigned char* data, std::size_t count, MP3InfoFrame* info);

// The decoding delay of the layer III synthesis (the decoder's own delay on
// top of the encoder's): samples of a decoder's output before the encoder's
// first sample appears.
constexpr int kMP3DecoderDelay = 529;
