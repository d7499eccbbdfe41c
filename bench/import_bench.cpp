// Opening a long recording: imports 44.1 kHz stereo recordings of the given lengths
// as MP3 (128 kbit/s), Ogg Vorbis (quality 5) and the sound files libsndfile reads
// (16-bit WAV, AIFF, AU and VOC), as Open and the command line import them, and in
// the same run has outside programs do the same job on the same file: mpg123 and
// oggdec decode the compressed files to /dev/null, sox converts the sound files to raw
// float in the same folder (the float blocks of our import are that much data). The
// files are made once (sox, lame, oggenc) and kept in the folder for later runs.
//
//   import_bench [folder] [minutes,...] [rounds] [formats] [helpers]
//     folder: where the files and the blocks go (the system's temporary folder)
//     minutes: the lengths, 10,60 by default; rounds: 3; formats: mp3,ogg,wav,aiff,au,voc
//     helpers: the import's helper threads (the machine's cores less one), "none" for
//       everything in one pass on the calling thread
//
// Rounds take turns (ours, theirs, ours, ...); the medians of wall and CPU time (all
// threads of the import; the tool and its children) are compared. The tracks of an
// import are deleted after it is timed. Also printed: the import's peak memory above
// what the process held before it, and the machine's load before and after. Goals:
// MP3 and Ogg Vorbis at most 0.5 x the decoder's wall time, the sound files at most
// 1.0 x sox's.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "audiofiles/import/Importer.h"
#include "audiofiles/import/ImportWorkers.h"
#include "bench/BenchPairs.h"
#include "core/model/Track.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/TrackProject.h"

namespace {

using testsupport::Shell;

std::string Load() {
  std::ifstream in("/proc/loadavg");
  std::string a, b, c;
  in >> a >> b >> c;
  return a + " " + b + " " + c;
}

// The process's resident memory now and at its peak since ResetPeak, in MiB.
double StatusMiB(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + std::strlen(field)) / 1024.0;
  return 0;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, ',');)
    if (!part.empty()) parts.push_back(part);
  return parts;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::file_size(path, ec) > 0 && !ec;
}

// Makes path with command unless an earlier run left it.
bool Make(const std::string& path, const std::string& command) {
  if (Exists(path)) return true;
  std::printf("  making %s\n", path.c_str());
  std::fflush(stdout);
  if (Shell(command + " 2>/dev/null")) return true;
  std::filesystem::remove(path);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  const std::vector<std::string> lengths = Split(argc > 2 ? argv[2] : "10,60");
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const std::vector<std::string> formats = Split(argc > 4 ? argv[4] : "mp3,ogg,wav,aiff,au,voc");
  for (const char* tool : {"sox", "lame", "oggenc", "mpg123", "oggdec"})
    if (!testsupport::HaveProgram(tool)) {
      std::printf("import_bench: %s is not installed\n", tool);
      return 1;
    }
  const std::string sources = base + "/tarvel-import-bench";
  std::filesystem::create_directories(sources);
  std::printf("import_bench: %d cores, load %s\n", static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)),
              Load().c_str());

  if (argc > 5) {
    ImportConcurrency c;
    if (std::string(argv[5]) == "none") {
      c.minParallelSamples = c.minHelpedSamples = std::numeric_limits<std::int64_t>::max();
    } else {
      c.threads = std::atoi(argv[5]);
    }
    SetImportConcurrency(c);
  }
  testsupport::TrackProject project(0, base);
  const std::string raw = project.folder().path() + "/decoded.raw";
  Importer importer;
  int failures = 0;
  bench::PrintHeader();
  for (const std::string& minutes : lengths) {
    const std::string stem = sources + "/" + minutes + "min";
    const std::string wav = stem + ".wav";
    // Music-like material: tones over pink noise, so the encoders have work.
    if (!Make(wav, "sox -D -n -r 44100 -c 2 -b 16 " + wav + " synth " +
                       std::to_string(std::atoi(minutes.c_str()) * 60) +
                       " pinknoise sine 440 gain -12 remix 1,2 1,2")) {
      std::printf("import_bench: making %s failed\n", wav.c_str());
      return 1;
    }
    for (const std::string& format : formats) {
      const std::string file = stem + "." + format;
      std::string make, peer, peerName;
      double goal;
      if (format == "mp3") {
        make = "lame --quiet -b 128 " + wav + " " + file;
        peer = "mpg123 -q -e f32 -s " + file + " > /dev/null";
        peerName = "mpg123";
        goal = 0.5;
      } else if (format == "ogg") {
        make = "oggenc -Q -q 5 " + wav + " -o " + file;
        peer = "oggdec -Q -R -b 16 -e 0 -s 1 -o /dev/null " + file;
        peerName = "oggdec";
        goal = 0.5;
      } else {
        make = "sox -D " + wav + " " + file;
        peer = "sox -D " + file + " -t f32 " + raw;
        peerName = "sox";
        goal = 1.0;
      }
      if (format != "wav" && !Make(file, make)) {
        std::printf("import_bench: making %s failed\n", file.c_str());
        return 1;
      }

      Track** tracks = nullptr;
      int count = 0;
      auto release = [&] {
        for (int i = 0; i < count; ++i) delete tracks[i];
        delete[] tracks;
        tracks = nullptr;
        count = 0;
        std::filesystem::remove(raw);
      };
      double peak = 0;
      auto ours = [&] {
        std::string error;
        const double before = StatusMiB("VmRSS:");
        ResetPeak();
        count = importer.Import(file, project.factory(), &tracks, error, nullptr, nullptr);
        peak = std::max(peak, StatusMiB("VmHWM:") - before);
        if (count <= 0) std::printf("%s: import failed: %s", file.c_str(), error.c_str());
        return count > 0;
      };
      const bench::PairResult r =
          bench::RunPairs(rounds, bench::Ours(ours), bench::Peer(peer + " 2>/dev/null"), release);
      release();
      const std::string what = format + " import, " + minutes + " min";
      bench::PrintRow(what, peerName, r);
      if (!r.ok) return 1;
      const bool met = r.WallRatio() <= goal;
      if (!met) ++failures;
      std::printf("  goal: wall ratio <= %.1f %s; peak memory of the import %.0f MiB\n", goal,
                  met ? "met" : "MISSED", peak);
    }
  }
  std::printf("load at the end: %s\n", Load().c_str());
  return failures ? 2 : 0;
}
