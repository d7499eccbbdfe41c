// The audio engine through real PortAudio on the audio test rig: recording a
// known sine into wave tracks, playing a track to the speaker, the meter
// levels, the stream token and the stream time, and the arithmetic of silence
// detection and stream times.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "tests/core/engine/audio_io_test_support.h"
#include "core/engine/SoundCardMixer.h"

namespace {

using namespace enginetest;
using audiotest::FrequencyByZeroCrossings;
using audiotest::MeasurePeriods;
using audiotest::RmsDbfs;

constexpr double kRate = 44100.0;

// The stream time as a window polling it would see it: a jump since the last
// reading is believed once a second reading confirms it.
double PolledStreamTime() {
  gAudioIO->GetStreamTime();
  Sleep(0.01);
  return gAudioIO->GetStreamTime();
}
// The rig's sine has amplitude 0.5.
const double kSineDbfs = 20 * std::log10(0.5 / std::numbers::sqrt2);

// ---- arithmetic without a sound card ---------------------------------------

TEST(AudioIOArithmetic, SilenceDelayCountsLevelIntervalsAndThresholds) {
  struct Case {
    double seconds, rate;
    int buffers;
  } cases[] = {
      {0.3, 44100, 26},   // 25.84 + 0.5
      {0.3, 8000, 5},     // 4.69 + 0.5
      {0.001, 44100, 1},  // below half a buffer
      {0.0, 44100, 1},   {-2.0, 44100, 1}, {NAN, 44100, 1}, {10.0, 48000, 938},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AudioIO::SilenceDelayCount(c.seconds, c.rate), c.buffers) << c.seconds << " s at " << c.rate;
  EXPECT_EQ(AudioIO::LevelIntervalFor(44100), 5);
  EXPECT_EQ(AudioIO::LevelIntervalFor(96000), 11);
  EXPECT_EQ(AudioIO::LevelIntervalFor(8000), 1);
  EXPECT_EQ(AudioIO::LevelIntervalFor(0), 1);
}

TEST(AudioIOArithmetic, ZeroCrossingRateAndEnergyOfLevelBuffers) {
  int zcr = -1, energy = -1;
  const std::vector<int> silence(512, 0);
  AudioIO::ComputeZcrAndEnergy(silence.data(), 512, &zcr, &energy);
  EXPECT_EQ(zcr, 0);
  EXPECT_EQ(energy, 0);

  // Alternating signs: 511 changes in 512 samples.
  std::vector<int> square(512);
  for (int i = 0; i < 512; ++i) square[i] = i % 2 ? -1000 : 1000;
  AudioIO::ComputeZcrAndEnergy(square.data(), 512, &zcr, &energy);
  EXPECT_EQ(zcr, 511 * 1000 / 512);
  EXPECT_EQ(energy, 511 * 1000 / 512);  // the first sample is not summed

  // A 1 kHz sine at half scale, 44.1 kHz: 2000 sign changes a second.
  std::vector<int> sine(44100);
  for (int i = 0; i < 44100; ++i)
    sine[i] = static_cast<int>(50000 * std::sin(2 * std::numbers::pi * 1000 * (i + 0.25) / 44100));
  AudioIO::ComputeZcrAndEnergy(sine.data(), 44100, &zcr, &energy);
  EXPECT_NEAR(zcr, 45, 1);
  EXPECT_NEAR(energy, 31831, 50);  // mean |sin| = 2/pi

  AudioIO::ComputeZcrAndEnergy(sine.data(), 0, &zcr, &energy);
  EXPECT_EQ(zcr, 0);
  EXPECT_EQ(energy, 0);
}

TEST(AudioIOArithmetic, StreamTimesStayInTheRangeAndWrapWhenLooping) {
  EXPECT_DOUBLE_EQ(AudioIO::NormalizeTime(7.5, 1.0, 3.0, true), 1.5);
  EXPECT_DOUBLE_EQ(AudioIO::NormalizeTime(7.5, 1.0, 3.0, false), 3.0);
  EXPECT_DOUBLE_EQ(AudioIO::NormalizeTime(5.0, 1.0, 3.0, true), 3.0);  // on the end
  EXPECT_DOUBLE_EQ(AudioIO::NormalizeTime(0.2, 1.0, 3.0, true), 1.0);
  EXPECT_DOUBLE_EQ(AudioIO::NormalizeTime(2.0, 1.0, 3.0, true), 2.0);
  EXPECT_DOUBLE_EQ(AudioIO::NormalizeTime(1e12, 1.0, 3.0, true) >= 1.0, true);
  EXPECT_DOUBLE_EQ(AudioIO::NormalizeTime(9.0, 2.0, 2.0, true), 2.0);  // empty range
}

TEST(SoundCardMixerNames, HardwareDevicesAreControlledThroughTheirCard) {
  struct Case {
    const char *device, *control;
  } cases[] = {
      {"HDA Intel PCH: ALC892 Analog (hw:1,0)", "hw:1"},
      {"USB Audio: - (hw:12,0)", "hw:12"},
      {"hw:2,0", "hw:2"},
      {"plughw:3", "hw:3"},
      {"hw:", "default"},
      {"name with spaces", "default"},
      {"", "default"},
  };
  for (const Case& c : cases) EXPECT_EQ(MixerControlName(c.device), c.control) << c.device;
}

// ---- on the rig ----------------------------------------------------------------

using EngineRecording = EngineOnRig;

TEST_F(EngineRecording, RecordsTheMicrophoneSineIntoWaveTracks) {
  const int sine = Rig().StartSine(1000);
  ASSERT_GE(sine, 0) << Rig().error();
  std::vector<WaveTrack*> pair = RecordingPair();

  int token = 0;
  {
    audiotest::QuietStderr quiet;
    token = gAudioIO->StartStream({}, pair, nullptr, kRate, 0.0, 1e9, 0);
  }
  ASSERT_GT(token, 0) << "open error " << gAudioIO->GetLastOpenError();
  EXPECT_TRUE(gAudioIO->IsBusy());
  EXPECT_TRUE(gAudioIO->IsTokenCurrent(token));
  EXPECT_TRUE(gAudioIO->IsStreamActiveToken(token));
  EXPECT_FALSE(gAudioIO->IsStreamActiveToken(token + 1));
  EXPECT_EQ(gAudioIO->GetThreadTimeout(), 150) << "stereo recording wakes every 150 ms";

  // A second start while this one runs is refused and leaves it alone.
  std::vector<WaveTrack*> other = RecordingPair();
  EXPECT_EQ(gAudioIO->StartStream({}, other, nullptr, kRate, 0.0, 1e9, 0), 0);
  EXPECT_TRUE(gAudioIO->IsStreamActiveToken(token));

  Sleep(1.0);
  const double t1 = PolledStreamTime();
  Sleep(2.0);
  const double t2 = PolledStreamTime();
  EXPECT_NEAR(t2 - t1, 2.0, 0.2);
  EXPECT_NEAR(t2, 3.0, 0.4);
  Stop();
  Rig().StopSine(sine);

  EXPECT_FALSE(gAudioIO->IsBusy());
  EXPECT_FALSE(gAudioIO->IsTokenCurrent(token));
  EXPECT_EQ(gAudioIO->GetStreamTime(), -1000000000.0);
  EXPECT_EQ(gAudioIO->GetThreadTimeout(), -1);
  EXPECT_EQ(gAudioIO->GetDroppedCaptureFrames(), 0);
  EXPECT_TRUE(boxes.Boxes().empty());

  for (WaveTrack* track : pair) {
    EXPECT_EQ(track->GetAppendLength(), 0) << "flushed at the stop";
    std::vector<float> s = Samples(track);
    EXPECT_NEAR(s.size() / kRate, t2 + 0.1, 0.35) << "about as long as the stream ran";
    // The first moments hold the server's start-up; measure after them.
    std::vector<float> body(s.begin() + std::min<std::size_t>(s.size(), 4410), s.end());
    ASSERT_GT(body.size(), 2 * kRate);
    EXPECT_NEAR(FrequencyByZeroCrossings(body, kRate), 1000.0, 5.0);
    EXPECT_NEAR(RmsDbfs(body), kSineDbfs, 0.5);
    const audiotest::PeriodStats periods = MeasurePeriods(body, kRate);
    EXPECT_GT(periods.periods, 1900u);
    EXPECT_EQ(periods.irregular, 0u) << "a gap or a click in the recording";
  }

  // The meter heard the levels: a sine at half scale is 50000 level units.
  std::vector<RecordingPoster::Message> levels = poster.Messages(kMeter, kLevelMessage);
  ASSERT_GT(levels.size(), 40u) << "a level message every 5 callbacks";
  int loud = 0;
  for (const auto& m : levels)
    if (std::abs(static_cast<long>(m.wParam) - 50000) < 1500 &&
        std::abs(static_cast<long>(m.lParam) - 50000) < 1500)
      ++loud;
  EXPECT_GT(loud, static_cast<int>(levels.size()) / 2);
  EXPECT_EQ(poster.StopCommands(), 0u);
}

TEST_F(EngineRecording, KeepsTheLevelsForAMeterThatTakesThemInsteadOfPostingThem) {
  const int sine = Rig().StartSine(1000);
  ASSERT_GE(sine, 0) << Rig().error();
  gAudioIO->SetLevelsPolled(true);
  std::uintptr_t left = 0;
  std::intptr_t right = 0;
  EXPECT_FALSE(gAudioIO->TakeLevels(&left, &right)) << "no period has ended yet";
  int token = 0;
  {
    audiotest::QuietStderr quiet;
    token = gAudioIO->StartStream({}, RecordingPair(), nullptr, kRate, 0.0, 1e9, 0);
  }
  ASSERT_GT(token, 0) << "open error " << gAudioIO->GetLastOpenError();
  // A meter's ticks take the latest period each: a sine at half scale is 50000 units.
  int taken = 0, loud = 0;
  for (int tick = 0; tick < 30; ++tick) {
    Sleep(0.05);
    if (!gAudioIO->TakeLevels(&left, &right)) continue;
    ++taken;
    loud +=
        std::abs(static_cast<long>(left) - 50000) < 1500 && std::abs(static_cast<long>(right) - 50000) < 1500;
  }
  Stop();
  Rig().StopSine(sine);
  EXPECT_GT(taken, 10);
  EXPECT_GT(loud, taken / 2);
  EXPECT_EQ(poster.Count(kMeter, kLevelMessage), 0u) << "nothing is posted to the meter";
}

}  // namespace

namespace {

using namespace enginetest;

// A mono float track of a sine.
void FillSine(WaveTrack* track, double frequency, double seconds, double amplitude) {
  const auto frames = static_cast<std::size_t>(seconds * track->GetRate());
  std::vector<float> s = audiotest::MakeSine(frequency, track->GetRate(), frames, amplitude);
  ASSERT_TRUE(track->Append(reinterpret_cast<ConstSamplePtr>(s.data()), SampleFormatFloat,
                            static_cast<std::int32_t>(s.size())));
  ASSERT_TRUE(track->Flush());
}

using EnginePlayback = EngineOnRig;

TEST_F(EnginePlayback, PlaysAMonoTrackOnBothSpeakerChannelsAndFinishes) {
  WaveTrack* track = NewTrack(SampleFormatFloat);
  FillSine(track, 440.0, 2.0, 0.5);
  auto speaker = Rig().RecordSpeaker(tmp / "speaker.wav");
  ASSERT_NE(speaker, nullptr) << Rig().error();

  int token = 0;
  {
    audiotest::QuietStderr quiet;
    token = gAudioIO->StartStream({track}, {}, nullptr, 44100.0, 0.0, 2.0, 0);
  }
  ASSERT_GT(token, 0) << "open error " << gAudioIO->GetLastOpenError();
  EXPECT_EQ(gAudioIO->GetThreadTimeout(), 210) << "one playback track wakes every 210 ms";
  // The end of the range ends the stream by itself; the owner still stops it.
  EXPECT_TRUE(WaitFor([&] { return !gAudioIO->IsStreamActive(); }, 6.0));
  EXPECT_TRUE(gAudioIO->IsBusy());
  EXPECT_TRUE(gAudioIO->IsTokenCurrent(token));
  EXPECT_FALSE(gAudioIO->IsStreamActiveToken(token));
  Stop();
  EXPECT_FALSE(gAudioIO->IsBusy());
  Sleep(0.2);
  ASSERT_TRUE(speaker->Stop());
  EXPECT_EQ(gAudioIO->GetPlaybackUnderrunFrames(), 0);
  // The mixer of a playback stream still has the recording side.
  int source = -1;
  float in = 0, out = 0;
  gAudioIO->GetMixer(&source, &in, &out);
  EXPECT_EQ(gAudioIO->GetInputSources().size(), 1u);
  EXPECT_NEAR(in, 1.0f, 0.001f);

  audiotest::WavData heard;
  ASSERT_TRUE(audiotest::ReadWav(speaker->path(), heard));
  for (int c = 0; c < 2; ++c) {
    std::vector<float> ch = heard.Channel(c);
    auto [first, last] = audiotest::FindSound(ch, 0.1f);
    ASSERT_LT(first, last) << "nothing reached speaker channel " << c;
    std::vector<float> sound(ch.begin() + first, ch.begin() + last);
    EXPECT_NEAR(sound.size() / 44100.0, 2.0, 0.03) << "channel " << c;
    EXPECT_NEAR(audiotest::FrequencyByZeroCrossings(sound, 44100.0), 440.0, 2.2);
    EXPECT_NEAR(audiotest::RmsDbfs(sound), kSineDbfs, 0.5);
    EXPECT_EQ(audiotest::MeasurePeriods(sound, 44100.0).irregular, 0u) << "a gap in playback";
  }
  EXPECT_GT(poster.Count(kMeter, kLevelMessage), 20u);
}

}  // namespace

namespace {

using namespace enginetest;

TEST_F(EnginePlayback, LoopingPlaybackWrapsWithoutAGapUntilStopped) {
  // 0.3 s is 132 whole periods of 440 Hz: the loop joins the sine seamlessly.
  WaveTrack* track = NewTrack(SampleFormatFloat);
  FillSine(track, 440.0, 1.0, 0.5);
  auto speaker = Rig().RecordSpeaker(tmp / "speaker.wav");
  ASSERT_NE(speaker, nullptr) << Rig().error();
  {
    audiotest::QuietStderr quiet;
    ASSERT_GT(gAudioIO->StartStream({track}, {}, nullptr, 44100.0, 0.2, 0.5, 1), 0);
  }
  for (int i = 0; i < 15; ++i) {
    Sleep(0.1);
    const double t = gAudioIO->GetStreamTime();
    EXPECT_GE(t, 0.2);
    EXPECT_LE(t, 0.5);
  }
  EXPECT_TRUE(gAudioIO->IsStreamActive()) << "a loop plays until stopped";
  Stop();
  Sleep(0.1);
  ASSERT_TRUE(speaker->Stop());
  EXPECT_EQ(gAudioIO->GetPlaybackUnderrunFrames(), 0);

  audiotest::WavData heard;
  ASSERT_TRUE(audiotest::ReadWav(speaker->path(), heard));
  std::vector<float> left = heard.Channel(0);
  auto [first, last] = audiotest::FindSound(left, 0.1f);
  ASSERT_LT(first, last);
  // The stop cuts the sound anywhere; look at whole stretches before it.
  std::vector<float> sound(left.begin() + first, left.begin() + last - 2205);
  EXPECT_GT(sound.size() / 44100.0, 1.2) << "several loops played";
  EXPECT_NEAR(audiotest::FrequencyByZeroCrossings(sound, 44100.0), 440.0, 2.2);
  EXPECT_EQ(audiotest::MeasurePeriods(sound, 44100.0).irregular, 0u) << "a gap at a wrap";
}

}  // namespace
