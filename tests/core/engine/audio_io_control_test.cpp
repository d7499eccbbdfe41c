// What controls a recording on the audio test rig: silence detection (the
// microphone's sine switched off and on) with its Stop, Pause and New File
// actions, the time limit and pause, the silence monitor's statistics, and the
// sound card's input volume.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "tests/core/engine/audio_io_test_support.h"
#include "tests/support/native/AudioFiles.h"

namespace {

using namespace enginetest;
namespace fs = std::filesystem;

constexpr double kRate = 44100.0;
const double kSineDbfs = 20 * std::log10(0.5 / std::numbers::sqrt2);

// Seconds of sound (above 0.1) in the samples.
double SoundSeconds(const std::vector<float>& s) {
  std::size_t n = 0;
  for (float v : s) n += std::fabs(v) > 0.1f;
  // A sine of amplitude 0.5 is above 0.1 in magnitude 87.18 % of the time.
  return n / (kRate * 0.8718);
}

class EngineControls : public EngineOnRig {
protected:
  void SetUp() override {
    EngineOnRig::SetUp();
    // Zero crossings or energy, OR, 0.3 s: the settings a user would pick.
    record.EnableSilenceDetection = 1;
    record.SilenceDetectionAlgorihms = 3;
    record.SilenceDetectionLogic = 0;
    record.ZCRFactorLeft = record.ZCRFactorRight = 0.005;
    record.SEFactorLeft = record.SEFactorRight = 0.016;
    record.ZCRDelaySeconds = record.SEDelaySeconds = 0.3;
  }

  // How long the microphone played a sine, as far as the test can tell: from the end
  // of its start to the beginning of its stop at the least, from the beginning of its
  // start to the end of its stop at the most (the sound server takes its time to load
  // and unload the sine, more so on a busy machine).
  struct Played {
    double least = 0, most = 0;
  };

  // Sine for 1 s, silence for 1 s, sine for 1 s; a Stop command from the engine is
  // served at once. Returns whether the engine asked to stop; played gets the sines.
  bool SoundSilenceSound() {
    played.clear();
    const std::size_t before = poster.StopCommands();
    bool stopped = false;
    auto sine = [&] {
      const auto asked = Clock::now();
      const int id = Rig().StartSine(1000);
      EXPECT_GE(id, 0) << Rig().error();
      const auto on = Clock::now();
      if (!stopped) stopped = ServeStopCommand(1.0, before);
      const auto ending = Clock::now();
      Rig().StopSine(id);
      const auto off = Clock::now();
      played.push_back({std::chrono::duration<double>(ending - on).count(),
                        std::chrono::duration<double>(off - asked).count()});
    };
    sine();
    if (!stopped) stopped = ServeStopCommand(1.0, before);
    sine();
    return stopped;
  }

  // value lies within tolerance of the range of what the sines sum up to, plus extra.
  static void ExpectPlayed(double value, const std::vector<Played>& sines, double extra, double tolerance,
                           const std::string& what) {
    double least = extra, most = extra;
    for (const Played& p : sines) least += p.least, most += p.most;
    EXPECT_GE(value, least - tolerance) << what;
    EXPECT_LE(value, most + tolerance) << what;
  }

  std::vector<Played> played;

  int StartRecording(const std::vector<WaveTrack*>& tracks) {
    audiotest::QuietStderr quiet;
    return gAudioIO->StartStream({}, tracks, nullptr, kRate, 0.0, 1e9, 0);
  }
};

TEST_F(EngineControls, SilenceInTheEditingModeStopsOrPausesTheRecording) {
  struct Case {
    int action;  // ActionsOfEditingMode
    bool stops;
    std::size_t sines;  // how many of the sines were recorded
  } cases[] = {{2, true, 1}, {1, false, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE("action " + std::to_string(c.action));
    record.ActionsOfEditingMode = c.action;
    std::vector<WaveTrack*> pair = RecordingPair();
    const std::size_t stopsBefore = poster.StopCommands();
    ASSERT_GT(StartRecording(pair), 0);
    EXPECT_EQ(gAudioIO->GetZcrDelayCount(), 26);
    EXPECT_EQ(gAudioIO->GetSeDelayCount(), 26);
    const bool stopped = SoundSilenceSound();
    EXPECT_EQ(stopped, c.stops);
    if (!stopped) Stop();
    EXPECT_FALSE(gAudioIO->IsBusy());
    EXPECT_EQ(poster.StopCommands() - stopsBefore, c.stops ? 1u : 0u) << "one Stop per stream";

    std::vector<float> left = Samples(pair[0]);
    const std::vector<Played> recorded(played.begin(), played.begin() + c.sines);
    ExpectPlayed(SoundSeconds(left), recorded, 0.0, 0.15, "seconds of sound");
    // Silence is kept only while it is counted (0.3 s), then left out.
    ExpectPlayed(left.size() / kRate, recorded, 0.3, 0.25, "seconds in all");
  }
}

TEST_F(EngineControls, SilenceInTheSavingModeStartsTheNextFile) {
  record.ActiveRecordingMode = 1;
  record.ActionsOfSavingMode = 3;
  output.eFileType = 1;
  {
    audiotest::QuietStderr quiet;
    ASSERT_GT(gAudioIO->StartDirectToFileRecording(), 0);
  }
  EXPECT_FALSE(SoundSilenceSound());
  Stop();
  EXPECT_TRUE(boxes.Boxes().empty());

  // rec001-1.wav holds the first sound, rec001-2.wav the second.
  for (int n = 1; n <= 2; ++n) {
    const std::string path = tmp / ("rec001-" + std::to_string(n) + ".wav");
    audiotest::Decoded d = audiotest::DecodeSndfile(path);
    ASSERT_TRUE(d.ok) << path;
    ASSERT_EQ(played.size(), 2u);
    const std::vector<Played> sine{played[n - 1]};
    ExpectPlayed(SoundSeconds(d.channel(0)), sine, 0.0, 0.15, path + ": seconds of sound");
    // The first file also holds the silence while it was counted.
    ExpectPlayed(d.frames() / kRate, sine, n == 1 ? 0.3 : 0.0, 0.25, path + ": seconds in all");
  }
  EXPECT_FALSE(fs::exists(tmp / "rec001-3.wav")) << "no file for the silence at the end";
}

TEST_F(EngineControls, TimeLimitCountsOnlyTheUnpausedRecording) {
  record.EnableSilenceDetection = 0;
  record.TimeLimitType = 1;
  record.TimeLimitTo = 1.0;
  const int sine = Rig().StartSine(1000);
  ASSERT_GE(sine, 0);
  std::vector<WaveTrack*> pair = RecordingPair();
  const auto asked = Clock::now();
  ASSERT_GT(StartRecording(pair), 0);
  const auto started = Clock::now();

  Sleep(0.5);
  gAudioIO->SetPaused(true);
  EXPECT_TRUE(gAudioIO->IsPaused());
  const double pausedAt = gAudioIO->GetStreamTime();
  Sleep(1.0);
  EXPECT_DOUBLE_EQ(gAudioIO->GetStreamTime(), pausedAt) << "the time stands while paused";
  EXPECT_EQ(poster.StopCommands(), 0u);
  gAudioIO->SetPaused(false);

  ASSERT_TRUE(WaitFor([&] { return poster.StopCommands() > 0; }, 3.0)) << "the time limit asks to stop";
  // The stream ran from some moment of its start on.
  const double most = std::chrono::duration<double>(Clock::now() - asked).count();
  const double least = std::chrono::duration<double>(Clock::now() - started).count();
  Stop();
  Rig().StopSine(sine);
  EXPECT_GE(most, 2.0 - 0.1) << "one second recorded plus one paused";
  EXPECT_LE(least, 2.0 + 0.3) << "one second recorded plus one paused";
  EXPECT_EQ(poster.StopCommands(), 1u);
  std::vector<float> left = Samples(pair[0]);
  EXPECT_NEAR(left.size() / kRate, 1.0, 0.15) << "the paused input is not recorded";
  EXPECT_NEAR(audiotest::RmsDbfs(std::vector<float>(left.begin() + 4410, left.end())), kSineDbfs, 0.5);
}

TEST_F(EngineControls, MonitorPostsZeroCrossingsAndEnergyAndRecordsNothing) {
  EXPECT_EQ(gAudioIO->StartSilenceDetectStream(kListener), 0) << "only with the monitor flag";
  record.SilenceMonitorFlag = 1;
  const int sine = Rig().StartSine(1000);
  {
    audiotest::QuietStderr quiet;
    ASSERT_GT(gAudioIO->StartSilenceDetectStream(kListener), 0);
  }
  Sleep(1.0);
  Stop();
  record.SilenceMonitorFlag = 0;
  Rig().StopSine(sine);

  std::vector<RecordingPoster::Message> stats = poster.Messages(kListener, kSilenceStatsMessage);
  ASSERT_GT(stats.size(), 40u) << "one per callback";
  // A 1 kHz sine at half scale: 45 crossings per 1000 samples, mean magnitude
  // 2/pi of 50000 level units (3183 after the division by 10).
  int matching = 0;
  for (const auto& m : stats) {
    const int zcr = static_cast<int>(m.wParam & 0xFFFF);
    const int energy = static_cast<int>((m.wParam >> 16) & 0xFFFF);
    if (std::abs(zcr - 45) <= 2 && std::abs(energy - 3183) <= 60 &&
        m.lParam == static_cast<std::intptr_t>(m.wParam))
      ++matching;
  }
  EXPECT_GT(matching, static_cast<int>(stats.size()) / 2);
  EXPECT_EQ(poster.StopCommands(), 0u);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(EngineControls, InputVolumeOfTheMixerScalesTheRecording) {
  record.EnableSilenceDetection = 0;
  ASSERT_TRUE(gAudioIO->HasMixer());
  EXPECT_EQ(gAudioIO->GetInputSources(), std::vector<std::string>{"Capture"})
      << "one input when the device has no selector";
  EXPECT_FALSE(gAudioIO->IsInputVolumeUnreliable());
  EXPECT_FALSE(gAudioIO->IsOutputVolumeUnreliable());
  int source = -1;
  float in = 0, out = 0;
  gAudioIO->GetMixer(&source, &in, &out);
  EXPECT_EQ(source, 0);
  EXPECT_NEAR(in, 1.0f, 0.001f);

  const int sine = Rig().StartSine(1000);
  auto recordLevel = [&] {
    std::vector<WaveTrack*> pair = RecordingPair();
    EXPECT_GT(StartRecording(pair), 0);
    Sleep(1.2);
    Stop();
    std::vector<float> s = Samples(pair[0]);
    return audiotest::RmsDbfs(std::vector<float>(s.begin() + 8820, s.end()));
  };
  const double full = recordLevel();
  gAudioIO->SetMixer(0, 0.5f, out);
  gAudioIO->GetMixer(&source, &in, &out);
  EXPECT_NEAR(in, 0.5f, 0.001f);
  const double half = recordLevel();
  gAudioIO->SetMixer(0, 1.0f, out);
  Rig().StopSine(sine);

  EXPECT_NEAR(full, kSineDbfs, 0.5);
  // The sound server's volume scale is cubic: 0.5 is 0.125 of the amplitude.
  EXPECT_NEAR(half - full, 20 * std::log10(0.125), 0.5);
}

}  // namespace
