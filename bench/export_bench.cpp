// Export speed: ten minutes of 44.1 kHz stereo in a project (16-bit tracks in block
// files, as a recording leaves them) saved as WAV, MP3 and Ogg Vorbis through the
// exporters, against sox, lame and oggenc on the same audio read from a WAV file, in
// the same run and at the same settings (lame without its default ReplayGain analysis,
// which the exporter does not do). The exporters mix on several threads, so both wall
// and CPU time are compared (ours: the whole process; a tool: it and its children);
// rounds take turns and medians count. The goal is a ratio of at most 1.15 for each.
//
// Usage: export_bench [minutes] [rounds] [formats]
//   rounds 3 by default; formats is a list such as "wav,ogg" (all three by default)
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
#include "core/model/DirManager.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "audiofiles/export/ExportEncodeOptions.h"
#include "audiofiles/export/ExportMP3.h"
#include "audiofiles/export/ExportOgg.h"
#include "audiofiles/export/ExportSoundFile.h"
#include "bench/BenchPairs.h"
#include "core/project/Project.h"
#include "tests/support/native/TempFolder.h"

namespace {

constexpr int kRate = 44100;

// Music-like material: tones that move, and some noise.
std::vector<std::int16_t> MakeSignal(std::size_t frames) {
  std::vector<std::int16_t> pcm(frames * 2);
  std::uint32_t seed = 12345;
  for (std::size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double sweep = 220.0 * (1.0 + 0.5 * std::sin(2 * M_PI * 0.05 * t));
    seed = seed * 1664525u + 1013904223u;
    const double noise = (static_cast<std::int32_t>(seed >> 16) - 32768) / 32768.0;
    const double l =
        0.3 * std::sin(2 * M_PI * sweep * t) + 0.15 * std::sin(2 * M_PI * 3.01 * sweep * t) + 0.05 * noise;
    const double r =
        0.3 * std::sin(2 * M_PI * 1.5 * sweep * t) + 0.1 * std::sin(2 * M_PI * 5000 * t) + 0.05 * noise;
    pcm[2 * i] = static_cast<std::int16_t>(std::lround(l * 32767));
    pcm[2 * i + 1] = static_cast<std::int16_t>(std::lround(r * 32767));
  }
  return pcm;
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = argc > 1 ? std::atof(argv[1]) : 10.0;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::string formats = argc > 3 ? argv[3] : "wav,mp3,ogg";
  auto wanted = [&](const char* f) { return formats.find(f) != std::string::npos; };
  const std::size_t frames = static_cast<std::size_t>(minutes * 60 * kRate);
  const double seconds = static_cast<double>(frames) / kRate;

  const testsupport::TempFolder folder("export_bench");
  const std::string& dir = folder.path();
  std::filesystem::create_directory(dir + "/blocks");
  DirManager::SetTempDir((dir + "/blocks").c_str());

  // The same audio as a WAV file for the tools and as a project for the exporters.
  const std::vector<std::int16_t> pcm = MakeSignal(frames);
  const std::string source = dir + "/source.wav";
  {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(source.c_str(), SFM_WRITE, &info);
    if (!f) return 1;
    sf_writef_short(f, pcm.data(), static_cast<sf_count_t>(frames));
    sf_close(f);
  }
  auto project = std::make_unique<Project>();
  project->SetRate(kRate);
  for (int c = 0; c < 2; ++c) {
    WaveTrack* t = project->GetTrackFactory()->NewWaveTrack(SampleFormatInt16, kRate);
    constexpr std::size_t kPiece = 65536;
    std::vector<std::int16_t> one(kPiece);
    for (std::size_t pos = 0; pos < frames; pos += kPiece) {
      const std::size_t n = std::min(kPiece, frames - pos);
      for (std::size_t i = 0; i < n; ++i) one[i] = pcm[2 * (pos + i) + c];
      t->Append(reinterpret_cast<ConstSamplePtr>(one.data()), SampleFormatInt16,
                static_cast<std::int32_t>(n));
    }
    t->Flush();
    t->SetChannel(c == 0 ? Track::LeftChannel : Track::RightChannel);
    t->SetLinked(c == 0);
    project->GetTracks()->Add(t);
  }

  FileEncodeOptions record;
  record.SetDefaults();
  record.WavFileFormat = 0x10000;
  record.WavSampleFormat = 0x20001;
  record.WavSampleRate = kRate;
  record.WavChannelMode = 1;
  record.MP3Version = 0;
  record.MP3SampleRate = kRate;
  record.MP3EncodeMode = 0;
  record.MP3ChannelMode = 2;
  record.MP3BitRate = 128;
  record.OGGSampleRate = kRate;
  record.OGGEncodeMode = 1;
  record.OGGChannelMode = 1;
  record.OGGVBRQuality = 5;
  SetExportEncodeOptions(&record);

  std::printf("export of %.1f min of 44.1 kHz stereo\n", minutes);
  bench::PrintHeader();
  const std::string q = bench::Quote(source);
  bool met = true;
  auto report = [&](const char* what, const char* tool, const bench::PairResult& r,
                    const std::string& ourFile, const std::string& theirFile) {
    bench::PrintRow(what, tool, r);
    if (!r.ok) {
      met = false;
      return;
    }
    std::error_code ec;
    std::printf("  bytes: ours %ju, %s %ju; goal ratio <= 1.15: wall %s, CPU %s\n",
                static_cast<std::uintmax_t>(std::filesystem::file_size(ourFile, ec)), tool,
                static_cast<std::uintmax_t>(std::filesystem::file_size(theirFile, ec)),
                r.WallRatio() <= 1.15 ? "met" : "missed", r.CpuRatio() <= 1.15 ? "met" : "missed");
    met = met && r.WallRatio() <= 1.15 && r.CpuRatio() <= 1.15;
  };

  if (wanted("wav")) {
    const std::string ourWav = dir + "/ours.wav", soxWav = dir + "/sox.wav";
    const bench::PairResult wav = bench::RunPairs(
        rounds,
        bench::Ours([&] { return ExportSoundFile(project.get(), 1, ourWav.c_str(), 0, 0.0, seconds) == 1; }),
        bench::Peer("sox " + q + " -b 16 " + bench::Quote(soxWav) + " 2>/dev/null"));
    report("WAV export", "sox", wav, ourWav, soxWav);
  }

  if (wanted("mp3") && !GetLameEncoder()->Load()) {
    std::printf("MP3 export skipped: the MP3 encoder library is not built\n");
  } else if (wanted("mp3")) {
    const std::string ourMp3 = dir + "/ours.mp3", lameMp3 = dir + "/lame.mp3";
    // lame gets the settings the exporter hands the encoder: CBR, joint stereo, CRC,
    // no bit reservoir, no tag, no ReplayGain analysis.
    const bench::PairResult mp3 = bench::RunPairs(
        rounds,
        bench::Ours([&] { return ExportMP3(project.get(), 1, ourMp3.c_str(), 0, 0.0, seconds) == 1; }),
        bench::Peer("lame --silent -m j -b 128 --cbr -p --nores -t --noreplaygain " + q + " " +
                    bench::Quote(lameMp3) + " 2>/dev/null"));
    report("MP3 export", "lame", mp3, ourMp3, lameMp3);
  }

  if (wanted("ogg")) {
    const std::string ourOgg = dir + "/ours.ogg", encOgg = dir + "/oggenc.ogg";
    const bench::PairResult ogg = bench::RunPairs(
        rounds,
        bench::Ours([&] { return ExportOgg(project.get(), 1, ourOgg.c_str(), 0, 0.0, seconds) == 1; }),
        bench::Peer("oggenc --quiet -q 5 -o " + bench::Quote(encOgg) + " " + q + " 2>/dev/null"));
    report("Ogg Vorbis export", "oggenc", ogg, ourOgg, encOgg);
  }

  SetExportEncodeOptions(nullptr);
  project.reset();
  std::printf("goal (wall and CPU ratio <= 1.15 for each): %s\n", met ? "met" : "not met");
  return 0;
}
