// MP3 encoding speed: ten minutes of 44.1 kHz stereo through the encoder
// binding (LameEncoder over our lame_enc library) against the `lame` command
// line at the same settings (CBR, joint stereo, CRC, no bit reservoir, no tag).
// Prints both times and their ratio; the goal is a ratio of at most 1.10.
//
// Usage: mp3_encode_bench [minutes] [kbit/s]
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audiofiles/io/LameEncoder.h"
#include "tests/support/native/TempFolder.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Music-like material: a few tones that move, and some noise.
std::vector<int16_t> MakeSignal(size_t frames, int rate) {
  std::vector<int16_t> pcm(frames * 2);
  uint32_t seed = 12345;
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double sweep = 220.0 * (1.0 + 0.5 * std::sin(2 * M_PI * 0.05 * t));
    seed = seed * 1664525u + 1013904223u;
    const double noise = (static_cast<int32_t>(seed >> 16) - 32768) / 32768.0;
    const double l =
        0.3 * std::sin(2 * M_PI * sweep * t) + 0.15 * std::sin(2 * M_PI * 3.01 * sweep * t) + 0.05 * noise;
    const double r =
        0.3 * std::sin(2 * M_PI * 1.5 * sweep * t) + 0.1 * std::sin(2 * M_PI * 5000 * t) + 0.05 * noise;
    pcm[2 * i] = static_cast<int16_t>(std::lround(l * 32767));
    pcm[2 * i + 1] = static_cast<int16_t>(std::lround(r * 32767));
  }
  return pcm;
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = argc > 1 ? std::atof(argv[1]) : 10.0;
  const int kbps = argc > 2 ? std::atoi(argv[2]) : 128;
  const int rate = 44100;
  const size_t frames = static_cast<size_t>(minutes * 60 * rate);

  const testsupport::TempFolder folder("mp3_encode_bench");
  const std::string& dir = folder.path();
  const std::string raw = dir + "/in.raw", viaBinding = dir + "/binding.mp3", viaCli = dir + "/cli.mp3";

  const std::vector<int16_t> pcm = MakeSignal(frames, rate);
  {
    FILE* f = std::fopen(raw.c_str(), "wb");
    std::fwrite(pcm.data(), sizeof(int16_t), pcm.size(), f);
    std::fclose(f);
  }

  // The binding, as the exporter drives it: full chunks, the tail, Finish,
  // each block written to the file.
  LameEncoder enc;
  if (!enc.Load()) {
    std::fprintf(stderr, "Could not open MP3 encoding library! %s\n", enc.GetLastError().c_str());
    return 1;
  }
  LameStreamSettings s;
  s.MP3Version = 0;
  s.MP3SampleRate = rate;
  s.MP3EncodeMode = 0;
  s.MP3ChannelMode = 2;
  s.MP3BitRate = kbps;
  auto start = std::chrono::steady_clock::now();
  const int chunk = enc.InitStreamWith(&s);
  if (chunk <= 0) {
    std::fprintf(stderr, "%s\n", enc.GetLastError().c_str());
    return 1;
  }
  std::vector<unsigned char> out(enc.GetOutputBufferSize());
  FILE* f = std::fopen(viaBinding.c_str(), "wb");
  const size_t chunkValues = static_cast<size_t>(chunk) * 2;
  for (size_t pos = 0; pos < pcm.size(); pos += chunkValues) {
    const size_t n = std::min(chunkValues, pcm.size() - pos);
    const int got = n == chunkValues ? enc.EncodeChunk(pcm.data() + pos, out.data())
                                     : enc.EncodeSamples(pcm.data() + pos, static_cast<int>(n), out.data());
    if (got > 0) std::fwrite(out.data(), 1, got, f);
  }
  const int last = enc.Finish(out.data());
  if (last > 0) std::fwrite(out.data(), 1, last, f);
  std::fclose(f);
  const double bindingSeconds = Seconds(start);

  // The command line, reading the same samples.
  const std::string cmd = "lame --silent -r -s 44.1 --bitwidth 16 --signed --little-endian -m j -b " +
                          std::to_string(kbps) + " --cbr -p --nores -t '" + raw + "' '" + viaCli +
                          "' 2>/dev/null";
  start = std::chrono::steady_clock::now();
  const int rc = std::system(cmd.c_str());
  const double cliSeconds = Seconds(start);
  if (rc != 0) {
    std::fprintf(stderr, "the lame command line failed (%d); apt-get install lame\n", rc);
    return 1;
  }

  const auto bindingBytes = std::filesystem::file_size(viaBinding);
  const auto cliBytes = std::filesystem::file_size(viaCli);
  std::printf("mp3 encode, %.1f min of 44.1 kHz stereo at %d kbit/s CBR joint stereo\n", minutes, kbps);
  std::printf("  binding (lame_enc.so): %7.3f s  %10ju bytes\n", bindingSeconds,
              static_cast<uintmax_t>(bindingBytes));
  std::printf("  lame command line:     %7.3f s  %10ju bytes\n", cliSeconds,
              static_cast<uintmax_t>(cliBytes));
  std::printf("  ratio binding / command line: %.3f (goal <= 1.10)\n", bindingSeconds / cliSeconds);
  return 0;
}
