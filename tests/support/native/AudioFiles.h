// Sound files in tests: known signals to write, files read back by libsndfile,
// vorbisfile and libmad, and what sox and soxi say about them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace audiotest {

// Interleaved frames of a sine per channel: channel c has frequency freqs[c] and
// amplitude amps[c]; sample i of the whole recording is at time i / rate.
std::vector<float> Sines(std::int64_t frames, double rate, const std::vector<double>& freqs,
                         const std::vector<double>& amps, std::int64_t firstFrame = 0);

// One channel out of interleaved samples.
std::vector<float> Channel(const std::vector<float>& interleaved, int channels, int c);

// A decoded file: interleaved float samples.
struct Decoded {
  bool ok = false;
  int rate = 0;
  int channels = 0;
  std::vector<float> samples;
  std::int64_t frames() const { return channels ? static_cast<std::int64_t>(samples.size()) / channels : 0; }
  std::vector<float> channel(int c) const { return Channel(samples, channels, c); }
};

Decoded DecodeSndfile(const std::string& path);
Decoded DecodeVorbis(const std::string& path);
// libmad over the whole file; counts the frames it decoded.
Decoded DecodeMp3(const std::string& path, int* frameCount = nullptr);

// The serial numbers of the logical streams of an Ogg file, in order of their first page.
std::vector<int> OggSerials(const std::string& path);

// A number after label in text (e.g. sox stat's "RMS     amplitude:"); NaN when absent.
double NumberAfter(const std::string& text, const std::string& label);

// What sox and soxi say about a file: rate, channels, frames, and of the first
// channel the RMS amplitude and rough frequency.
struct SoxView {
  bool ok = false;
  int rate = 0;
  int channels = 0;
  std::int64_t frames = 0;
  double rms = 0;
  double frequency = 0;
};

enum class SoxHeader {
  // What soxi prints is the answer: a warning or a length of 0 shows.
  Strict,
  // soxi's warnings (such as the short float header libsndfile writes) are set
  // aside, and a container that gives no length in its header (VOC) is measured
  // by what sox reads.
  Lenient,
};

SoxView SoxRead(const std::string& path, SoxHeader header = SoxHeader::Strict);

}  // namespace audiotest
