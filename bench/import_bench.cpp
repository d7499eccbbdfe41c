// Imports a 10-minute 44.1 kHz stereo recording as MP3, Ogg Vorbis and WAV
// (made with sox, lame and oggenc at the start) and, in the same run, has outside
// decoders turn each file into raw samples of the tracks' sample format in the same
// folder: sox for all three, and beside it mpg123 for MP3 (sox decodes MP3 with the
// same libmad as our importer, so it is no independent yardstick there) and oggdec
// for Ogg Vorbis.
//
//   import_bench [folder] [seconds of audio] [rounds]
//
// Prints the medians of wall and CPU time of both sides and their ratios (import /
// tool); rounds (3 by default) take turns. Goals against sox: at most 1.5 for MP3 and
// Ogg Vorbis, 2 for WAV.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audiofiles/import/Importer.h"
#include "bench/BenchPairs.h"
#include "core/model/DirManager.h"
#include "core/model/Track.h"
#include "core/model/TrackFactory.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/TrackProject.h"

namespace {

using testsupport::Shell;

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 600;
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  for (const char* tool : {"sox", "lame", "oggenc", "mpg123", "oggdec"})
    if (!testsupport::HaveProgram(tool)) {
      std::printf("import_bench: %s is not installed\n", tool);
      return 1;
    }

  testsupport::TrackProject project(0, base);
  const std::string dir = project.folder().path();

  // Music-like material: tones over pink noise, so the encoders have work.
  std::printf("making %d s of 44.1 kHz stereo as WAV, MP3 and Ogg Vorbis...\n", seconds);
  std::fflush(stdout);
  const std::string wav = dir + "/source.wav", mp3 = dir + "/source.mp3", ogg = dir + "/source.ogg";
  if (!Shell("sox -D -n -r 44100 -c 2 -b 16 " + wav + " synth " + std::to_string(seconds) +
             " pinknoise sine 440 gain -12 remix 1,2 1,2") ||
      !Shell("lame --quiet -b 192 " + wav + " " + mp3) || !Shell("oggenc -Q " + wav + " -o " + ogg)) {
    std::printf("import_bench: making the files failed\n");
    return 1;
  }

  TrackFactory& factory = *project.factory();
  Importer importer;

  const std::string raw = dir + "/decoded.raw";
  struct Tool {
    const char* name;
    std::string command;  // decodes the case's file into `raw`
  };
  struct Case {
    const char* name;
    std::string file;
    double goal;  // against sox, the first tool
    std::vector<Tool> tools;
  } cases[] = {
      {"MP3 import",
       mp3,
       1.5,
       {{"sox", "sox -D " + mp3 + " -t f32 " + raw}, {"mpg123", "mpg123 -q -e f32 -s " + mp3 + " > " + raw}}},
      {"Ogg Vorbis import",
       ogg,
       1.5,
       {{"sox", "sox -D " + ogg + " -t s16 " + raw},
        {"oggdec", "oggdec -Q -R -b 16 -e 0 -s 1 -o " + raw + " " + ogg}}},
      {"WAV import", wav, 2.0, {{"sox", "sox -D " + wav + " -t f32 " + raw}}},
  };

  int failures = 0;
  bench::PrintHeader();
  for (const Case& c : cases) {
    auto ours = [&] {
      std::string error;
      Track** tracks = nullptr;
      const int count = importer.Import(c.file, &factory, &tracks, error, nullptr, nullptr);
      if (count <= 0) std::printf("%s: import failed: %s", c.name, error.c_str());
      for (int i = 0; i < count; ++i) delete tracks[i];
      delete[] tracks;
      return count > 0;
    };
    for (std::size_t t = 0; t < c.tools.size(); ++t) {
      const bench::PairResult r =
          bench::RunPairs(rounds, bench::Ours(ours), bench::Peer(c.tools[t].command + " 2>/dev/null"),
                          [&] { std::filesystem::remove(raw); });
      bench::PrintRow(c.name, c.tools[t].name, r);
      if (!r.ok) return 1;
      if (t == 0) {
        const bool ok = r.WallRatio() <= c.goal;
        if (!ok) ++failures;
        std::printf("  goal against sox: wall ratio <= %.1f %s\n", c.goal, ok ? "met" : "MISSED");
      }
    }
  }
  std::filesystem::remove(raw);
  std::printf("(sox decodes MP3 through libmad, as our importer does; mpg123 uses its own decoder)\n");

  return failures ? 2 : 0;
}
