// Encodes the same 10-minute 44.1 kHz stereo WAV through the streaming writers, fed
// through capture rings the way a direct recording feeds them, and with the reference
// command-line tools at the same settings:
//   MP3: our MP3 writer (128 kbit/s CBR, stereo, CRC, no bit reservoir, no tag) against
//        `lame -b 128 -m s -p --nores -t --noreplaygain` (lame analyses ReplayGain by
//        default; the writer does not);
//   Ogg: our Ogg writer (quality 0.7) against `oggenc -q 7`;
//   WAV: our WAV writer (16-bit) against `sox in.wav out.wav`.
//
//   stream_writers_bench [folder] [seconds] [mp3|ogg|wav] [rounds]
//
// Prints the medians of wall and CPU time of each side (rounds, 5 by default, taken in
// turn; reading the WAV is included on both sides) and the ratios ours / reference.
// The goal is a ratio of at most 1.10.
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/FileEncodeOptions.h"
#include "audiofiles/io/LameEncoder.h"
#include "audiofiles/writers/MP3StreamWriter.h"
#include "audiofiles/writers/OggStreamWriter.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "audiofiles/writers/StreamMixer.h"
#include "audiofiles/writers/WavStreamWriter.h"
#include "bench/BenchPairs.h"
#include "core/model/RingBuffer.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/TempFolder.h"

namespace {

constexpr int kRate = 44100;
constexpr int kCallbackFrames = 512;
constexpr int kCallbacksPerPass = 26;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "stream_writers_bench: %s\n", what.c_str());
  std::exit(1);
}

// Something like music: a few partials with slowly moving levels, and a little noise.
void MakeInput(const std::string& path, int seconds) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) Fail("cannot write " + path);
  const double partials[] = {110.0, 220.5, 331.0, 443.0, 587.3, 880.0, 1318.5, 2637.0};
  std::vector<float> block(2 * 4410);
  std::uint32_t seed = 1;
  const std::int64_t total = static_cast<std::int64_t>(seconds) * kRate;
  for (std::int64_t pos = 0; pos < total; pos += 4410) {
    const int n = static_cast<int>(std::min<std::int64_t>(4410, total - pos));
    for (int i = 0; i < n; ++i) {
      const double t = static_cast<double>(pos + i) / kRate;
      double l = 0, r = 0;
      for (int k = 0; k < 8; ++k) {
        const double level = 0.05 * (1.0 + std::sin(2 * M_PI * (0.07 + 0.013 * k) * t + k));
        const double s = std::sin(2 * M_PI * partials[k] * t);
        l += level * s;
        r += level * std::sin(2 * M_PI * partials[k] * 1.003 * t + 0.5 * k);
      }
      seed = seed * 1664525u + 1013904223u;
      const double noise = ((seed >> 9) / 8388608.0 - 1.0) * 0.01;
      block[2 * i] = static_cast<float>(l + noise);
      block[2 * i + 1] = static_cast<float>(r - noise);
    }
    sf_writef_float(f, block.data(), n);
  }
  sf_close(f);
}

// Reads the WAV in callback-sized pieces into the capture rings and lets the writer
// pull from them every few callbacks, as a direct recording does.
bool RecordThrough(StreamFileWriter& writer, StreamMixer*& slot, const std::string& input) {
  const int ringLen = static_cast<int>((0.5 * 2 + 8.5) * kRate + 0.5);
  RingBuffer left(SampleFormatInt16, ringLen), right(SampleFormatInt16, ringLen);
  RingBuffer* rings[2] = {&left, &right};
  StreamMixer mixer;
  slot = &mixer;
  SF_INFO info{};
  SNDFILE* f = sf_open(input.c_str(), SFM_READ, &info);
  if (!f) Fail("cannot read " + input);
  if (!writer.Prepare() || !writer.Open(2, rings, kRate)) Fail("the writer did not open");
  // The file stands in for the sound card: it is read in large pieces, and each piece
  // is handed to the rings in callback-sized parts.
  constexpr int kReadFrames = 64 * kCallbackFrames;
  std::vector<std::int16_t> frames(2 * kReadFrames), one(kCallbackFrames);
  int callbacks = 0;
  for (;;) {
    const sf_count_t got = sf_readf_short(f, frames.data(), kReadFrames);
    if (got <= 0) break;
    for (sf_count_t at = 0; at < got; at += kCallbackFrames) {
      const int n = static_cast<int>(std::min<sf_count_t>(kCallbackFrames, got - at));
      for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < n; ++i) one[i] = frames[2 * (at + i) + c];
        rings[c]->Put(reinterpret_cast<ConstSamplePtr>(one.data()), SampleFormatInt16, n);
      }
      if (++callbacks % kCallbacksPerPass == 0 && !writer.WriteBlock()) Fail("WriteBlock failed");
    }
  }
  sf_close(f);
  if (!writer.WriteBlock() || !writer.Close()) Fail("Close failed");
  slot = nullptr;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 600;
  const std::string only = argc > 3 ? argv[3] : "";
  const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
  auto wanted = [&](const char* kind) { return only.empty() || only == kind; };
  const testsupport::TempFolder folder("tarvel-writerbench", base);
  const std::string& dir = folder.path();
  const std::string input = dir + "/input.wav";
  MakeInput(input, seconds);
  std::printf("input: %d s, 44100 Hz, stereo, 16-bit (%s)\n", seconds, input.c_str());

  FileEncodeOptions encode;
  encode.SetDefaults();
  encode.MP3SampleRate = kRate;
  encode.MP3EncodeMode = 0;
  encode.MP3ChannelMode = 1;
  encode.MP3BitRate = 128;
  encode.OGGSampleRate = kRate;
  encode.OGGEncodeMode = 1;
  encode.OGGChannelMode = 1;
  encode.OGGVBRQuality = 7;
  encode.WavFileFormat = 0x10000;
  encode.WavSampleFormat = 0x20001;
  encode.WavChannelMode = 1;
  encode.WavSampleRate = kRate;
  StreamWriterSettings settings;
  settings.encode = &encode;
  SetStreamWriterSettings(settings);

  struct Row {
    const char* name;
    const char* tool;
    bench::PairResult r;
    std::uintmax_t oursBytes, referenceBytes;
  };
  auto size = [](const std::string& path) {
    std::error_code ec;
    const std::uintmax_t n = std::filesystem::file_size(path, ec);
    return ec ? std::uintmax_t{0} : n;
  };
  std::vector<Row> rows;
  StreamMixer* slot = nullptr;

  if (!wanted("mp3")) {
  } else if (!GetLameEncoder()->Load()) {
    std::printf("MP3: skipped (the encoder library is not built)\n");
  } else if (!testsupport::HaveProgram("lame")) {
    std::printf("MP3: skipped (lame is not installed)\n");
  } else {
    SetAutoFileName(dir + "/ours", "mp3");
    MP3StreamWriter writer(&slot);
    const bench::PairResult r =
        bench::RunPairs(rounds, bench::Ours([&] { return RecordThrough(writer, slot, input); }),
                        bench::Peer("lame --quiet -b 128 -m s -p --nores -t --noreplaygain " +
                                    bench::Quote(input) + " " + bench::Quote(dir + "/ref.mp3")));
    rows.push_back(
        {"MP3 writer (128 kbit/s CBR)", "lame", r, size(dir + "/ours.mp3"), size(dir + "/ref.mp3")});
  }

  if (!wanted("ogg")) {
  } else if (!testsupport::HaveProgram("oggenc")) {
    std::printf("Ogg: skipped (oggenc is not installed)\n");
  } else {
    SetAutoFileName(dir + "/ours", "ogg");
    OggStreamWriter writer(&slot);
    const bench::PairResult r = bench::RunPairs(
        rounds, bench::Ours([&] { return RecordThrough(writer, slot, input); }),
        bench::Peer("oggenc --quiet -q 7 -o " + bench::Quote(dir + "/ref.ogg") + " " + bench::Quote(input)));
    rows.push_back(
        {"Ogg Vorbis writer (q 0.7)", "oggenc", r, size(dir + "/ours.ogg"), size(dir + "/ref.ogg")});
  }

  if (!wanted("wav")) {
  } else if (!testsupport::HaveProgram("sox")) {
    std::printf("WAV: skipped (sox is not installed)\n");
  } else {
    SetAutoFileName(dir + "/ours", "wav");
    WavStreamWriter writer(&slot);
    const bench::PairResult r =
        bench::RunPairs(rounds, bench::Ours([&] { return RecordThrough(writer, slot, input); }),
                        bench::Peer("sox " + bench::Quote(input) + " " + bench::Quote(dir + "/ref.wav")));
    rows.push_back({"WAV writer (16-bit)", "sox", r, size(dir + "/ours.wav"), size(dir + "/ref.wav")});
  }

  bench::PrintHeader();
  bool met = true;
  for (const Row& row : rows) {
    bench::PrintRow(row.name, row.tool, row.r);
    std::printf("  bytes: ours %ju, %s %ju\n", row.oursBytes, row.tool, row.referenceBytes);
    met = met && row.r.ok && row.r.WallRatio() <= 1.10 && row.r.CpuRatio() <= 1.10;
  }
  std::printf("goal (wall and CPU ratio <= 1.10): %s\n", met ? "met" : "not met");
  return 0;
}
