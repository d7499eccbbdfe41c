// Imports a 10-minute 44.1 kHz stereo recording as MP3, Ogg Vorbis and WAV
// (made with sox, lame and oggenc at the start) and, in the same run, has sox
// decode each file to raw samples of the tracks' sample format in the same
// folder.
//
//   import_bench [folder] [seconds of audio]
//
// Prints the seconds of both and the ratio (import / sox). Three rounds; the
// best time of each side counts. Goals: at most 1.5 for MP3 and Ogg Vorbis, 2
// for WAV.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audiofiles/import/Importer.h"
#include "core/model/DirManager.h"
#include "core/model/Track.h"
#include "core/model/TrackFactory.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/TrackProject.h"

namespace {

using testsupport::Shell;

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 600;
  for (const char* tool : {"sox", "lame", "oggenc"})
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

  struct Case {
    const char* name;
    std::string file;
    const char* soxRaw;  // the tracks' sample format, as sox's raw output type
    double goal;
  } cases[] = {{"MP3", mp3, "f32", 1.5}, {"Ogg Vorbis", ogg, "s16", 1.5}, {"WAV", wav, "f32", 2.0}};

  int failures = 0;
  for (const Case& c : cases) {
    double ours = 1e30, theirs = 1e30;
    for (int round = 0; round < 3; ++round) {
      std::string error;
      Track** tracks = nullptr;
      const double t0 = Now();
      const int count = importer.Import(c.file, &factory, &tracks, error, nullptr, nullptr);
      const double t1 = Now();
      if (count <= 0) {
        std::printf("%s: import failed: %s", c.name, error.c_str());
        return 1;
      }
      ours = std::min(ours, t1 - t0);
      for (int i = 0; i < count; ++i) delete tracks[i];
      delete[] tracks;

      const std::string raw = dir + "/decoded.raw";
      const double t2 = Now();
      if (!Shell("sox -D " + c.file + " -t " + c.soxRaw + " " + raw)) {
        std::printf("%s: sox could not decode the file\n", c.name);
        return 1;
      }
      const double t3 = Now();
      theirs = std::min(theirs, t3 - t2);
      std::filesystem::remove(raw);
    }
    const double ratio = ours / theirs;
    const bool ok = ratio <= c.goal;
    if (!ok) ++failures;
    std::printf("%-11s import %7.3f s   sox %7.3f s   ratio %5.2f   goal <= %.1f  %s\n", c.name, ours, theirs,
                ratio, c.goal, ok ? "met" : "MISSED");
  }

  return failures ? 2 : 0;
}
