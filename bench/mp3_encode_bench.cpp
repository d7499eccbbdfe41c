// MP3 encoding speed: ten minutes of 44.1 kHz stereo through the encoder
// binding (LameEncoder over our lame_enc library) against the `lame` command
// line at the same settings (CBR, joint stereo, CRC, no bit reservoir, no tag, no
// ReplayGain analysis: the command line does that by default, the binding never).
// Both sides read the samples from the same raw file and write an MP3 file. Rounds
// take turns; the medians of wall and CPU time and their ratios are printed; the goal
// is a ratio of at most 1.10.
//
// Usage: mp3_encode_bench [minutes] [kbit/s] [rounds]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audiofiles/io/LameEncoder.h"
#include "bench/BenchPairs.h"
#include "tests/support/native/TempFolder.h"

namespace {

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
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
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
  auto binding = [&] {
    const int chunk = enc.InitStreamWith(&s);
    if (chunk <= 0) {
      std::fprintf(stderr, "%s\n", enc.GetLastError().c_str());
      return false;
    }
    std::vector<unsigned char> out(enc.GetOutputBufferSize());
    const std::size_t chunkValues = static_cast<std::size_t>(chunk) * 2;
    std::vector<int16_t> in(chunkValues);
    FILE* from = std::fopen(raw.c_str(), "rb");
    FILE* to = std::fopen(viaBinding.c_str(), "wb");
    if (!from || !to) return false;
    for (;;) {
      const std::size_t n = std::fread(in.data(), sizeof(int16_t), chunkValues, from);
      if (n == 0) break;
      const int got = n == chunkValues ? enc.EncodeChunk(in.data(), out.data())
                                       : enc.EncodeSamples(in.data(), static_cast<int>(n), out.data());
      if (got > 0) std::fwrite(out.data(), 1, got, to);
    }
    const int last = enc.Finish(out.data());
    if (last > 0) std::fwrite(out.data(), 1, last, to);
    std::fclose(from);
    return std::fclose(to) == 0;
  };

  // The command line, reading the same samples.
  const std::string cmd = "lame --silent -r -s 44.1 --bitwidth 16 --signed --little-endian -m j -b " +
                          std::to_string(kbps) + " --cbr -p --nores -t --noreplaygain " + bench::Quote(raw) +
                          " " + bench::Quote(viaCli) + " 2>/dev/null";
  const bench::PairResult r = bench::RunPairs(rounds, bench::Ours(binding), bench::Peer(cmd));

  std::printf("mp3 encode, %.1f min of 44.1 kHz stereo at %d kbit/s CBR joint stereo\n", minutes, kbps);
  bench::PrintHeader();
  bench::PrintRow("binding (lame_enc.so)", "lame", r);
  if (!r.ok) {
    std::fprintf(stderr, "a run failed; is lame installed (apt-get install lame)?\n");
    return 1;
  }
  std::printf("  bytes: binding %ju, command line %ju\n",
              static_cast<uintmax_t>(std::filesystem::file_size(viaBinding)),
              static_cast<uintmax_t>(std::filesystem::file_size(viaCli)));
  std::printf("  goal: ratio <= 1.10 (wall %s, CPU %s)\n", r.WallRatio() <= 1.10 ? "met" : "missed",
              r.CpuRatio() <= 1.10 ? "met" : "missed");
  return 0;
}
