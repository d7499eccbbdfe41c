#include "tests/support/native/AudioFiles.h"

#include <sndfile.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdlib>

#include "tests/support/native/Files.h"
#include "tests/support/native/Mp3Decode.h"
#include "tests/support/native/Programs.h"

namespace audiotest {

namespace {
constexpr double kPi = 3.14159265358979323846;
}  // namespace

std::vector<float> Sines(std::int64_t frames, double rate, const std::vector<double>& freqs,
                         const std::vector<double>& amps, std::int64_t firstFrame) {
  const int ch = static_cast<int>(freqs.size());
  std::vector<float> out(static_cast<std::size_t>(frames * ch));
  for (std::int64_t i = 0; i < frames; ++i)
    for (int c = 0; c < ch; ++c)
      out[i * ch + c] = static_cast<float>(
          amps[c] * std::sin(2.0 * kPi * freqs[c] * static_cast<double>(i + firstFrame) / rate));
  return out;
}

std::vector<float> Channel(const std::vector<float>& interleaved, int channels, int c) {
  std::vector<float> out(interleaved.size() / channels);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = interleaved[i * channels + c];
  return out;
}

Decoded DecodeSndfile(const std::string& path) {
  Decoded d;
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return d;
  d.rate = info.samplerate;
  d.channels = info.channels;
  d.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
  const sf_count_t got = sf_readf_float(f, d.samples.data(), info.frames);
  d.samples.resize(static_cast<std::size_t>(got * info.channels));
  sf_close(f);
  d.ok = true;
  return d;
}

Decoded DecodeVorbis(const std::string& path) {
  Decoded d;
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0) return d;
  vorbis_info* vi = ov_info(&vf, -1);
  d.rate = static_cast<int>(vi->rate);
  d.channels = vi->channels;
  int section = 0;
  for (;;) {
    float** pcm = nullptr;
    const long n = ov_read_float(&vf, &pcm, 4096, &section);
    if (n <= 0) {
      if (n == 0) break;
      continue;  // a hole: keep going
    }
    for (long i = 0; i < n; ++i)
      for (int c = 0; c < d.channels; ++c) d.samples.push_back(pcm[c][i]);
  }
  ov_clear(&vf);
  d.ok = true;
  return d;
}

Decoded DecodeMp3(const std::string& path, int* frameCount) {
  const mp3test::Decoded mp3 = mp3test::Decode(testsupport::ReadBytes(path));
  Decoded d;
  d.rate = mp3.rate;
  d.channels = mp3.channels;
  d.samples.reserve(mp3.samples() * mp3.channels);
  for (std::size_t i = 0; i < mp3.samples(); ++i)
    for (const std::vector<float>& channel : mp3.pcm) d.samples.push_back(channel[i]);
  if (frameCount) *frameCount = mp3.frames;
  d.ok = d.rate != 0;
  return d;
}

std::vector<int> OggSerials(const std::string& path) {
  std::vector<int> serials;
  std::vector<unsigned char> bytes = testsupport::ReadBytes(path);
  for (std::size_t i = 0; i + 27 <= bytes.size();) {
    if (bytes[i] != 'O' || bytes[i + 1] != 'g' || bytes[i + 2] != 'g' || bytes[i + 3] != 'S') {
      ++i;
      continue;
    }
    const int serial = static_cast<int>(testsupport::LE32(bytes, i + 14));
    if (bytes[i + 5] & 0x02) serials.push_back(serial);  // beginning of a stream
    const int segments = bytes[i + 26];
    if (i + 27 + segments > bytes.size()) break;
    std::size_t body = 0;
    for (int s = 0; s < segments; ++s) body += bytes[i + 27 + s];
    i += 27 + segments + body;
  }
  return serials;
}

double NumberAfter(const std::string& text, const std::string& label) {
  const std::size_t at = text.find(label);
  if (at == std::string::npos) return NAN;
  return std::atof(text.c_str() + at + label.size());
}

SoxView SoxRead(const std::string& path, SoxHeader header) {
  using testsupport::Run;
  SoxView v;
  int status = 0;
  const std::string q = "'" + path + "'";
  auto soxi = [&](const char* what, int* st = nullptr) {
    if (header == SoxHeader::Strict) return Run(std::string("soxi ") + what + " " + q, st);
    return Run(std::string("(soxi ") + what + " " + q + " 2>/dev/null)", st);
  };
  v.rate = std::atoi(soxi("-r", &status).c_str());
  if (status != 0) return v;
  v.channels = std::atoi(soxi("-c").c_str());
  v.frames = std::atoll(soxi("-s").c_str());
  const std::string stat = Run("sox " + q + " -n remix 1 stat");
  v.rms = NumberAfter(stat, "RMS     amplitude:");
  v.frequency = NumberAfter(stat, "Rough   frequency:");
  if (header == SoxHeader::Lenient && v.frames == 0)
    v.frames = std::llround(NumberAfter(stat, "Length (seconds):") * v.rate);
  v.ok = v.rate > 0 && !std::isnan(v.rms);
  return v;
}

}  // namespace audiotest
