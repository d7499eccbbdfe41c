// What recording costs: 60 s (or the seconds given as the first argument) of
// stereo 44.1 kHz from the audio test rig's microphone, through the engine, in
// the editing mode (into wave tracks and block files) and straight into MP3,
// Ogg Vorbis and WAV files. The engine's CPU time is the process's user + system
// time during the recording minus that of an idle run of the same length (the
// engine made, no stream), shown as a percentage of one core, with the capture
// buffers the rings had no room for. Goals: below 2 % of a core in the editing
// mode, below 6 % straight into MP3, no dropped buffer.
//
//   engine_bench [seconds]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/SoundDeviceOptions.h"
#include "core/engine/AudioIO.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "core/model/DirManager.h"
#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"
#include "platform/seams/MessageBox.h"
// The rig helper of the tests, built into this program.
#include "tests/support/native/AudioRig.h"
#include "tests/support/native/TrackProject.h"
#include "tests/support/native/Wait.h"

namespace {

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  auto secs = [](const timeval& t) { return t.tv_sec + t.tv_usec * 1e-6; };
  return secs(u.ru_utime) + secs(u.ru_stime);
}

using testsupport::Sleep;

std::string SourceDir() {
  std::filesystem::path self(__FILE__);
  return self.parent_path().parent_path().string();
}

struct Result {
  const char* mode;
  double cpuSeconds = 0;
  double percent = 0;
  long droppedBuffers = 0;
  double goal = 0;  // percent of a core; 0: none
  bool ok = false;
};

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
  if (!(seconds > 0)) {
    std::fprintf(stderr, "usage: %s [seconds]\n", argv[0]);
    return 2;
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
  encode.MP3SampleRate = encode.OGGSampleRate = encode.WavSampleRate = 44100;
  encode.MP3ChannelMode = 1;
  encode.OGGChannelMode = 1;
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

  // The idle run: the engine waits, the rig's sine plays into nobody.
  double before = CpuSeconds();
  Sleep(seconds);
  const double idle = CpuSeconds() - before;

  std::vector<Result> results = {
      {"editing mode (wave tracks)", 0, 0, 0, 2.0},
      {"direct to MP3", 0, 0, 0, 6.0},
      {"direct to Ogg Vorbis", 0, 0, 0, 0.0},
      {"direct to WAV", 0, 0, 0, 0.0},
  };
  const int fileTypes[] = {-1, 0, 2, 1};
  TrackFactory& factory = *project.factory();
  for (std::size_t i = 0; i < results.size(); ++i) {
    Result& r = results[i];
    std::vector<WaveTrack*> tracks;
    record.ActiveRecordingMode = fileTypes[i] < 0 ? 0 : 1;
    output.eFileType = fileTypes[i] < 0 ? 0 : fileTypes[i];
    before = CpuSeconds();
    int token = 0;
    {
      audiotest::QuietStderr quiet;
      if (fileTypes[i] < 0) {
        tracks = {factory.NewWaveTrack(SampleFormatInt16, 44100.0),
                  factory.NewWaveTrack(SampleFormatInt16, 44100.0)};
        token = gAudioIO->StartStream({}, tracks, nullptr, 44100.0, 0.0, 1e9, 0);
      } else {
        token = gAudioIO->StartDirectToFileRecording();
      }
    }
    if (token > 0) {
      Sleep(seconds);
      audiotest::QuietStderr quiet;
      gAudioIO->StopStream();
    }
    r.cpuSeconds = CpuSeconds() - before;
    r.percent = (r.cpuSeconds - idle) / seconds * 100.0;
    r.droppedBuffers = static_cast<long>(gAudioIO->GetDroppedCaptureFrames() / AudioIO::kFramesPerBuffer);
    r.ok = token > 0 && (r.goal == 0 || r.percent < r.goal) && r.droppedBuffers == 0;
    if (token <= 0) std::fprintf(stderr, "%s: the recording did not start\n", r.mode);
    for (WaveTrack* t : tracks) delete t;
  }
  project.Close();
  {
    audiotest::QuietStderr quiet;
    DestroyAudioIO();
  }
  rig.StopSine(sine);

  std::printf("engine_bench: %.0f s of stereo 44100 Hz 16-bit from the rig's microphone\n", seconds);
  std::printf("idle run: %.3f s CPU (%.2f %% of a core), subtracted below\n", idle, idle / seconds * 100.0);
  std::printf("%-28s %10s %14s %8s %16s\n", "mode", "CPU s", "% of a core", "dropped", "ratio to goal");
  bool all = true;
  for (const Result& r : results) {
    char ratio[32] = "-";
    if (r.goal > 0) std::snprintf(ratio, sizeof ratio, "%.2f (< %.0f %%)", r.percent / r.goal, r.goal);
    std::printf("%-28s %10.3f %14.2f %8ld %16s%s\n", r.mode, r.cpuSeconds, r.percent, r.droppedBuffers, ratio,
                r.ok ? "" : "  <-- missed");
    all = all && r.ok;
  }
  return all ? 0 : 1;
}
