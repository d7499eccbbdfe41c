#include "tests/support/native/Mp3Decode.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace mp3test {
namespace {

float MadToFloat(mad_fixed_t v) {
  return static_cast<float>(static_cast<double>(v) / static_cast<double>(MAD_F_ONE));
}

// The length of a layer III information frame ("Xing" or "Info") at the
// start of bytes, and the frame count it tells (-1 when absent); 0 when the
// stream does not start with one.
size_t InfoFrameLength(const std::vector<uint8_t>& b, int64_t* frameCount) {
  if (b.size() < 4 || b[0] != 0xFF || (b[1] & 0xE0) != 0xE0 || ((b[1] >> 1) & 3) != 1) return 0;
  const int version = (b[1] >> 3) & 3, bitrateIndex = b[2] >> 4, rateIndex = (b[2] >> 2) & 3;
  if (version == 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
  static const int kMpeg1[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static const int kMpeg2[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  static const int kRates[3] = {44100, 48000, 32000};
  const bool mpeg1 = version == 3, mono = (b[3] >> 6) == 3;
  const int rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  const size_t length = static_cast<size_t>(
      (mpeg1 ? 144 : 72) * (mpeg1 ? kMpeg1 : kMpeg2)[bitrateIndex] * 1000 / rate + ((b[2] >> 1) & 1));
  const size_t side = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  for (size_t at : {4 + side, 6 + side}) {
    if (at + 12 > b.size() || at + 12 > length) break;
    if (std::memcmp(&b[at], "Xing", 4) != 0 && std::memcmp(&b[at], "Info", 4) != 0) continue;
    *frameCount = -1;
    if (b[at + 7] & 1)
      *frameCount = (int64_t{b[at + 8]} << 24) | (b[at + 9] << 16) | (b[at + 10] << 8) | b[at + 11];
    return length <= b.size() ? length : 0;
  }
  return 0;
}

}  // namespace

Decoded Decode(const std::vector<uint8_t>& bytes) {
  Decoded out;
  // An information frame is no audio: players skip it, and so does this.
  const size_t info = InfoFrameLength(bytes, &out.infoFrameCount);
  out.infoFrame = info > 0;
  std::vector<uint8_t> data(bytes.begin() + static_cast<std::ptrdiff_t>(info), bytes.end());
  const size_t audioBytes = data.size();
  data.resize(audioBytes + MAD_BUFFER_GUARD, 0);
  mad_stream stream;
  mad_frame frame;
  mad_synth synth;
  mad_stream_init(&stream);
  mad_frame_init(&frame);
  mad_synth_init(&synth);
  mad_stream_buffer(&stream, data.data(), data.size());
  for (;;) {
    if (mad_frame_decode(&frame, &stream) != 0) {
      if (stream.error == MAD_ERROR_BUFLEN) break;
      // Past the last frame: the guard bytes.
      if (stream.this_frame >= data.data() + audioBytes) break;
      if (MAD_RECOVERABLE(stream.error)) {
        // Garbage before the first frame is "lost sync"; inside the stream it is a bad frame.
        if (stream.error != MAD_ERROR_LOSTSYNC || out.frames > 0) ++out.badFrames;
        continue;
      }
      break;
    }
    // The guard bytes at the end are zeros; a frame starting there is not ours.
    if (stream.this_frame >= data.data() + audioBytes) break;
    mad_synth_frame(&synth, &frame);
    const int ch = MAD_NCHANNELS(&frame.header);
    if (out.frames == 0) {
      out.rate = static_cast<int>(frame.header.samplerate);
      out.channels = ch;
      out.layer = frame.header.layer;
      out.mode = frame.header.mode;
      out.crc = (frame.header.flags & MAD_FLAG_PROTECTION) != 0;
      out.mpegVersion = (frame.header.flags & MAD_FLAG_MPEG_2_5_EXT) ? 25
                        : (frame.header.flags & MAD_FLAG_LSF_EXT)    ? 2
                                                                     : 1;
      out.pcm.assign(ch, {});
    }
    ++out.frames;
    out.bitrates.push_back(static_cast<unsigned>(frame.header.bitrate));
    for (int c = 0; c < ch && c < out.channels; ++c)
      for (unsigned i = 0; i < synth.pcm.length; ++i)
        out.pcm[c].push_back(MadToFloat(synth.pcm.samples[c][i]));
  }
  mad_synth_finish(&synth);
  mad_frame_finish(&frame);
  mad_stream_finish(&stream);
  return out;
}

std::vector<int16_t> Sine(int rate, int channels, size_t frames, const std::vector<double>& freqs,
                          double amp) {
  std::vector<int16_t> out(frames * channels);
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      out[i * channels + c] = static_cast<int16_t>(
          std::lround(amp * 32767.0 * std::sin(2.0 * M_PI * freqs[c] * static_cast<double>(i) / rate)));
  return out;
}

size_t FirstAbove(const std::vector<float>& x, float threshold) {
  for (size_t i = 0; i < x.size(); ++i)
    if (std::fabs(x[i]) > threshold) return i;
  return x.size();
}

}  // namespace mp3test
