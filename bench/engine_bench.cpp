// What recording costs: stereo 44.1 kHz 16-bit from the audio test rig's microphone,
// through the engine, in the editing mode (into wave tracks and block files) and
// straight into MP3, Ogg Vorbis and WAV files, against the plain capture tools on the
// same virtual microphone doing the same job:
//   editing mode  parecord and arecord writing a WAV file;
//   MP3           arecord | lame at the writer's settings (128 kbit/s CBR, stereo,
//                 CRC, no bit reservoir, no tag, no ReplayGain analysis);
//   Ogg Vorbis    arecord | oggenc -q 7;
//   WAV           arecord writing the WAV file itself.
// Ours is this process's user + system time from the start of the recording to the
// end of StopStream (all threads: the sound server client's, PortAudio's, the
// engine's); a tool's is its own and its children's. Rounds take turns (ours, then
// each tool), and medians are compared. After the table, where our CPU time went by
// thread in the last round. Goals: our CPU time at most 2x the plain capture tools',
// below 2 % of a core in the editing mode and 6 % straight into MP3, no dropped buffer.
//
//   engine_bench [seconds] [rounds] [modes] [alone]
//     seconds of each recording (60), rounds (3), modes a list of edit,mp3,ogg,wav
//     (all by default); "alone" records with the engine only, without the outside
//     tools, and prints one "engine <mode> cpu <s> wall <s>" line of medians per mode
//     (what the whole program's benchmark compares itself with)
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/SoundDeviceOptions.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "bench/BenchPairs.h"
#include "core/engine/AudioIO.h"
#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"
// The rig helper of the tests, built into this program.
#include "tests/support/native/AudioRig.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/TrackProject.h"
#include "tests/support/native/Wait.h"

namespace {

using testsupport::Sleep;

// CPU seconds of each live thread of this process, by thread id, with its name.
struct ThreadCpu {
  std::string name;
  double seconds = 0;
};
std::map<long, ThreadCpu> ThreadTimes() {
  std::map<long, ThreadCpu> threads;
  const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/task", ec)) {
    std::ifstream stat(e.path() / "stat");
    std::string line;
    std::getline(stat, line);
    const auto open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
      if (i == 14) utime = std::strtoull(field.c_str(), nullptr, 10);
      if (i == 15) stime = std::strtoull(field.c_str(), nullptr, 10);
    }
    threads[std::atol(e.path().filename().c_str())] = {line.substr(open + 1, close - open - 1),
                                                       (utime + stime) / tick};
  }
  return threads;
}

// Per thread: the time spent between two snapshots, biggest first.
std::string ThreadShares(const std::map<long, ThreadCpu>& before, const std::map<long, ThreadCpu>& after) {
  std::vector<std::pair<double, std::string>> shares;
  const long self = static_cast<long>(getpid());
  for (const auto& [tid, t] : after) {
    const auto b = before.find(tid);
    const double spent = t.seconds - (b == before.end() ? 0.0 : b->second.seconds);
    shares.push_back({spent, tid == self ? "main" : t.name + "/" + std::to_string(tid)});
  }
  std::sort(shares.rbegin(), shares.rend());
  std::string text;
  for (const auto& [s, name] : shares) {
    char one[96];
    std::snprintf(one, sizeof one, "%s%s %.3f s", text.empty() ? "" : ", ", name.c_str(), s);
    text += one;
  }
  return text;
}

std::string SourceDir() {
#ifdef TARVEL_SOURCE_DIR
  return TARVEL_SOURCE_DIR;
#else
  return std::filesystem::path(__FILE__).parent_path().parent_path().string();
#endif
}

struct Tool {
  const char* name;
  std::string command;  // {s}: seconds, {dir}: the output folder
};

struct Mode {
  const char* key;
  const char* name;
  int fileType;        // -1: the editing mode; otherwise the output file type
  double goalPercent;  // of a core; 0: none
  std::vector<Tool> tools;
};

std::string Fill(std::string text, const std::string& seconds, const std::string& dir) {
  for (std::size_t at; (at = text.find("{s}")) != std::string::npos;) text.replace(at, 3, seconds);
  for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;) text.replace(at, 5, dir);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::string only = argc > 3 ? argv[3] : "edit,mp3,ogg,wav";
  const bool alone = argc > 4 && std::string(argv[4]) == "alone";
  if (!(seconds >= 1)) {
    std::fprintf(stderr, "usage: %s [seconds] [rounds] [edit,mp3,ogg,wav]\n", argv[0]);
    return 2;
  }
  for (const char* tool : {"parecord", "arecord", "lame", "oggenc", "timeout"})
    if (!testsupport::HaveProgram(tool)) {
      std::fprintf(stderr, "engine_bench: %s is not installed\n", tool);
      return 1;
    }
  setenv("TARVEL_SOURCE_DIR", SourceDir().c_str(), 0);
  audiotest::AudioRig rig;
  if (!rig.ok()) {
    std::fprintf(stderr, "audio rig: %s\n", rig.error().c_str());
    return 1;
  }
  const int sine = rig.StartSine(1000);

  // The block files, and the recordings beside them.
  testsupport::TrackProject project;
  const std::string folder = project.folder().path();

  AdvanceRecordSetting record;
  record.EnableSilenceDetection = 0;
  record.TimeLimitType = 0;
  record.EnableAutoSplit = 0;
  SoundDeviceOptions device;
  device.RecordDeviceName = "testmic";
  device.PlaybackDeviceName = "testspk";
  device.ChannelCount = 2;
  device.SampleFormat = SampleFormatInt16;
  device.SampleRate = 44100;
  FileOutputOptions output;
  output.strAutoNameFolder = folder;
  output.strFileLeadName = "bench";
  output.uFileNameDigitCount = 3;
  FileEncodeOptions encode;
  encode.SetDefaults();
  encode.MP3SampleRate = encode.OGGSampleRate = encode.WavSampleRate = 44100;
  encode.MP3EncodeMode = 0;
  encode.MP3ChannelMode = 1;
  encode.MP3BitRate = 128;
  encode.OGGEncodeMode = 1;
  encode.OGGChannelMode = 1;
  encode.OGGVBRQuality = 7;
  encode.WavFileFormat = 0x10000;
  encode.WavSampleFormat = 0x20001;
  encode.WavChannelMode = 1;
  StreamWriterSettings s;
  s.encode = &encode;
  s.output = &output;
  s.record = &record;
  s.device = &device;
  SetStreamWriterSettings(s);
  settings::SetApplicationSoundDeviceOptions(&device);

  {
    audiotest::QuietStderr quiet;
    CreateAudioIO(&record);
  }
  if (!gAudioIO) return 1;

  // The capture side of every tool: the same microphone, format and length.
  const std::string capture = "arecord -q -D testmic -f S16_LE -r 44100 -c 2 -d {s}";
  const std::vector<Mode> modes = {
      {"edit",
       "editing mode (wave tracks)",
       -1,
       2.0,
       {{"parecord",
         "timeout -s INT {s} parecord -d testmic --rate=44100 --channels=2 --format=s16le "
         "--file-format=wav {dir}/parecord.wav; test $? = 124"},
        {"arecord", capture + " -t wav {dir}/arecord.wav"}}},
      {"mp3",
       "direct to MP3",
       0,
       6.0,
       {{"ar|lame", capture + " -t raw | lame --silent -r -s 44.1 --bitwidth 16 --signed --little-endian "
                              "-m s -b 128 --cbr -p --nores -t --noreplaygain - {dir}/lame.mp3"}}},
      {"ogg",
       "direct to Ogg Vorbis",
       2,
       0.0,
       {{"ar|oggenc",
         capture + " -t raw | oggenc --quiet -r -B 16 -C 2 -R 44100 -q 7 -o {dir}/oggenc.ogg -"}}},
      {"wav", "direct to WAV", 1, 0.0, {{"arecord", capture + " -t wav {dir}/arecord.wav"}}},
  };

  // The idle engine: made, no stream.
  bench::CpuMeter idleMeter;
  if (!alone) Sleep(std::min(seconds, 10.0));
  const bench::Cost idle = idleMeter.Elapsed();
  std::printf("engine_bench: %.0f s of stereo 44100 Hz 16-bit from the rig's microphone, %d rounds\n",
              seconds, rounds);
  std::printf("idle engine: %.3f s CPU in %.0f s (not subtracted)\n", idle.cpu, idle.wall);
  bench::PrintHeader();

  const std::string secondsText = std::to_string(static_cast<int>(seconds + 0.5));
  TrackFactory& factory = *project.factory();
  bool all = true;
  for (const Mode& mode : modes) {
    if (only.find(mode.key) == std::string::npos) continue;
    std::vector<bench::Cost> ours;
    std::vector<std::vector<bench::Cost>> theirs(mode.tools.size());
    std::string shares, phaseText;
    long dropped = 0;
    for (int round = 0; round < rounds; ++round) {
      std::vector<WaveTrack*> tracks;
      record.ActiveRecordingMode = mode.fileType < 0 ? 0 : 1;
      output.eFileType = mode.fileType < 0 ? 0 : mode.fileType;
      bench::CpuMeter meter;
      int token = 0;
      {
        audiotest::QuietStderr quiet;
        if (mode.fileType < 0) {
          tracks = {factory.NewWaveTrack(SampleFormatInt16, 44100.0),
                    factory.NewWaveTrack(SampleFormatInt16, 44100.0)};
          token = gAudioIO->StartStream({}, tracks, nullptr, 44100.0, 0.0, 1e9, 0);
        } else {
          token = gAudioIO->StartDirectToFileRecording();
        }
      }
      const double started = bench::ProcessCpuSeconds();
      const auto threadsAtStart = ThreadTimes();
      if (token > 0) {
        Sleep(seconds);
        shares = ThreadShares(threadsAtStart, ThreadTimes());
        const double stopping = bench::ProcessCpuSeconds();
        audiotest::QuietStderr quiet;
        gAudioIO->StopStream();
        const double stopped = bench::ProcessCpuSeconds();
        char phases[160];
        std::snprintf(phases, sizeof phases, "start %.3f s, recording %.3f s, stop %.3f s",
                      started - meter.StartCpu(), stopping - started, stopped - stopping);
        phaseText = phases;
      } else {
        std::fprintf(stderr, "%s: the recording did not start\n", mode.name);
      }
      bench::Cost c = meter.Elapsed();
      const long lost = static_cast<long>(gAudioIO->GetDroppedCaptureFrames() / AudioIO::kFramesPerBuffer);
      dropped += lost;
      c.ok = token > 0;
      ours.push_back(c);
      for (WaveTrack* t : tracks) delete t;

      for (std::size_t i = 0; i < mode.tools.size() && !alone; ++i)
        theirs[i].push_back(
            bench::MeasureCommand(Fill(mode.tools[i].command, secondsText, folder) + " 2>/dev/null"));
    }
    if (alone) {
      std::vector<double> cpu, wall;
      for (const bench::Cost& c : ours) {
        cpu.push_back(c.cpu);
        wall.push_back(c.wall);
        all = all && c.ok;
      }
      std::printf("engine %s cpu %.4f wall %.4f dropped %ld\n", mode.key, bench::Median(cpu),
                  bench::Median(wall), dropped);
      all = all && dropped == 0;
      continue;
    }
    for (std::size_t i = 0; i < mode.tools.size(); ++i) {
      bench::PairResult r;
      r.ours = ours;
      r.peer = theirs[i];
      for (const bench::Cost& c : ours) r.ok = r.ok && c.ok;
      for (const bench::Cost& c : theirs[i]) r.ok = r.ok && c.ok;
      bench::PrintRow(mode.name, mode.tools[i].name, r);
      const double percent = r.OursCpu() / seconds * 100.0;
      const bool met = r.ok && r.CpuRatio() <= 2.0 && (mode.goalPercent == 0 || percent < mode.goalPercent);
      if (i + 1 == mode.tools.size()) {
        std::printf("  ours: %.2f %% of a core", percent);
        if (mode.goalPercent > 0) std::printf(" (goal < %.0f %%)", mode.goalPercent);
        std::printf(", %ld dropped buffers; CPU ratio goal <= 2: %s\n", dropped, met ? "met" : "MISSED");
        std::printf("  last round: %s; by thread during the recording: %s\n", phaseText.c_str(),
                    shares.c_str());
      }
      all = all && met && dropped == 0;
    }
  }
  project.Close();
  {
    audiotest::QuietStderr quiet;
    DestroyAudioIO();
  }
  rig.StopSine(sine);
  return all ? 0 : 1;
}
