#include "tests/support/native/Mp3Decode.h"

#include <cmath>

namespace mp3test {
namespace {

float MadToFloat(mad_fixed_t v) {
  return static_cast<float>(static_cast<double>(v) / static_cast<double>(MAD_F_ONE));
}

}  // namespace

Decoded Decode(const std::vector<uint8_t>& bytes) {
  Decoded out;
  std::vector<uint8_t> data(bytes);
  data.resize(bytes.size() + MAD_BUFFER_GUARD, 0);
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
      if (stream.this_frame >= data.data() + bytes.size()) break;
      if (MAD_RECOVERABLE(stream.error)) {
        // Garbage before the first frame is "lost sync"; inside the stream it is a bad frame.
        if (stream.error != MAD_ERROR_LOSTSYNC || out.frames > 0) ++out.badFrames;
        continue;
      }
      break;
    }
    // The guard bytes at the end are zeros; a frame starting there is not ours.
    if (stream.this_frame >= data.data() + bytes.size()) break;
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
