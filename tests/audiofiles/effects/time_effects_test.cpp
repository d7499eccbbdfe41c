// Change Speed, Change Pitch, Change Tempo and Repeat: lengths, frequencies, the
// selection they leave, and the audio around the selection.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audiofiles/effects/EffectChangePitch.h"
#include "audiofiles/effects/EffectChangeSpeed.h"
#include "audiofiles/effects/EffectChangeTempo.h"
#include "audiofiles/effects/EffectRepeat.h"
#include "tests/audiofiles/effects/dsp_test_support.h"
#include "tests/audiofiles/effects/effect_test_support.h"

namespace {

using dsptest::Sine;
using dsptest::ZeroCrossingFrequency;

constexpr double kRate = 44100.0;

class TimeEffects : public effecttest::EffectProject {};

// The audio before `from` and after `to` (in samples of `before`) must reappear
// unchanged around a middle part of newLength samples.
void ExpectSurroundingKept(const std::vector<float>& before, const std::vector<float>& after,
                           std::size_t from, std::size_t to, std::size_t newLength) {
  ASSERT_EQ(after.size(), before.size() - (to - from) + newLength);
  for (std::size_t i = 0; i < from; ++i) ASSERT_EQ(before[i], after[i]) << i;
  for (std::size_t i = to; i < before.size(); ++i)
    ASSERT_EQ(before[i], after[i - to + from + newLength]) << i;
}

TEST_F(TimeEffects, ChangeSpeedResamplesTheSelectionAndMovesItsEnd) {
  struct Case {
    double percent;
    double lengthFactor;  // new length / old length
  } cases[] = {{100.0, 0.5}, {0.0, 1.0}, {-50.0, 2.0}, {25.0, 0.8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.percent);
    // 0.2 s of silence, a 1-second 440 Hz selection, 0.2 s of silence.
    std::vector<float> input(8820, 0.0f);
    const auto tone = Sine(440, kRate, 44100);
    input.insert(input.end(), tone.begin(), tone.end());
    input.insert(input.end(), 8820, 0.0f);
    WaveTrack* track = AddTrack(input);
    const auto before = Samples(track);

    EffectChangeSpeed speed;
    speed.SetPercentChange(c.percent);
    double t0 = 0, t1 = 0;
    ASSERT_TRUE(Run(speed, 0.2, 1.2, &t0, &t1));
    EXPECT_DOUBLE_EQ(t0, 0.2);
    EXPECT_NEAR(t1 - t0, c.lengthFactor, 2.0 / kRate);
    const auto after = Samples(track);
    const std::size_t newLength = after.size() - 2 * 8820;
    EXPECT_NEAR(static_cast<double>(newLength), 44100 * c.lengthFactor, 2.0);
    ExpectSurroundingKept(before, after, 8820, 52920, newLength);
    EXPECT_NEAR(ZeroCrossingFrequency(after, kRate, 8820 + 2000, 8820 + newLength - 2000),
                440.0 / c.lengthFactor, 0.5);
    track->SetSelected(false);
  }
}

TEST_F(TimeEffects, ChangeSpeedKeepsTheTracksOwnRateAndBothChannelsOfAPair) {
  // A pair at 22050 Hz: the new length in seconds is measured at that rate.
  const double rate = 22050.0;
  WaveTrack* left = AddTrack(Sine(300, rate, 22050), rate, Track::LeftChannel, true);
  WaveTrack* right = AddTrack(Sine(500, rate, 22050), rate, Track::RightChannel);
  EffectChangeSpeed speed;
  speed.SetPercentChange(100.0);
  double t0 = 0, t1 = 0;
  ASSERT_TRUE(Run(speed, 0.0, 1.0, &t0, &t1));
  EXPECT_NEAR(t1, 0.5, 2.0 / rate);
  for (WaveTrack* t : {left, right}) {
    EXPECT_DOUBLE_EQ(t->GetRate(), rate);
    EXPECT_NEAR(t->GetEndTime(), 0.5, 2.0 / rate);
  }
  EXPECT_NEAR(ZeroCrossingFrequency(Samples(left), rate, 500, 10000), 600.0, 0.5);
  EXPECT_NEAR(ZeroCrossingFrequency(Samples(right), rate, 500, 10000), 1000.0, 0.5);
}

TEST_F(TimeEffects, ChangeSpeedRefusesFactorsTheResamplerCannotMake) {
  WaveTrack* track = AddTrack(Sine(440, kRate, 4410));
  const auto before = Samples(track);
  for (double percent : {-95.0, -100.0, 1200.0, std::nan("")}) {
    EffectChangeSpeed speed;
    speed.SetPercentChange(percent);
    double t0 = 0.0, t1 = 0.1;
    EXPECT_FALSE(Run(speed, 0.0, 0.1, &t0, &t1)) << percent;
    EXPECT_DOUBLE_EQ(t1, 0.1);
    EXPECT_EQ(Samples(track), before);
  }
}

TEST_F(TimeEffects, ChangeTempoChangesTheLengthAndKeepsThePitch) {
  struct Case {
    double percent, lengthFactor;
  } cases[] = {{100.0, 0.5}, {-20.0, 1.25}, {50.0, 2.0 / 3.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.percent);
    WaveTrack* track = AddTrack(Sine(440, kRate, 88200));
    EffectChangeTempo tempo;
    tempo.SetPercentChange(c.percent);
    double t0 = 0, t1 = 0;
    ASSERT_TRUE(Run(tempo, 0.0, 2.0, &t0, &t1));
    EXPECT_DOUBLE_EQ(tempo.GetFromLength(), 2.0);
    EXPECT_DOUBLE_EQ(tempo.GetToLength(), 2.0 * c.lengthFactor);
    EXPECT_NEAR(t1, 2.0 * c.lengthFactor, 0.01);
    const auto out = Samples(track);
    EXPECT_NEAR(out.size() / kRate, 2.0 * c.lengthFactor, 0.01);
    EXPECT_NEAR(ZeroCrossingFrequency(out, kRate, 4410, out.size() - 4410), 440.0, 2.0);
    track->SetSelected(false);
  }
}

TEST_F(TimeEffects, ChangeTempoInitNotesTheLengths) {
  AddTrack(Sine(440, kRate, 4410));
  EffectChangeTempo tempo;
  tempo.SetPercentChange(25.0);
  // Init works from the selection alone.
  ASSERT_TRUE(Run(tempo, 0.0, 10.0));
  EXPECT_DOUBLE_EQ(tempo.GetFromLength(), 10.0);
  EXPECT_DOUBLE_EQ(tempo.GetToLength(), 8.0);
}

TEST_F(TimeEffects, ChangePitchMovesTheFrequencyAndKeepsTheLengthOnBothChannels) {
  struct Case {
    double semitones;
  } cases[] = {{12.0}, {-5.0}, {3.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.semitones);
    WaveTrack* left = AddTrack(Sine(440, kRate, 88200), kRate, Track::LeftChannel, true);
    WaveTrack* right = AddTrack(Sine(330, kRate, 88200), kRate, Track::RightChannel);
    EffectChangePitch pitch;
    pitch.SetSemitonesChange(c.semitones);
    double t0 = 0, t1 = 0;
    ASSERT_TRUE(Run(pitch, 0.0, 2.0, &t0, &t1));
    EXPECT_NEAR(t1, 2.0, 0.01);
    const double factor = std::pow(2.0, c.semitones / 12.0);
    const auto l = Samples(left), r = Samples(right);
    EXPECT_NEAR(l.size() / kRate, 2.0, 0.01);
    EXPECT_NEAR(r.size() / kRate, 2.0, 0.01);
    EXPECT_NEAR(ZeroCrossingFrequency(l, kRate, 4410, l.size() - 4410), 440.0 * factor,
                440.0 * factor * 0.005);
    EXPECT_NEAR(ZeroCrossingFrequency(r, kRate, 4410, r.size() - 4410), 330.0 * factor,
                330.0 * factor * 0.005);
    left->SetSelected(false);
    right->SetSelected(false);
  }
}

TEST_F(TimeEffects, SoundTouchEffectsRefuseChangesOutsideTheirRange) {
  WaveTrack* track = AddTrack(Sine(440, kRate, 4410));
  const auto before = Samples(track);
  for (double percent : {-100.0, -96.0, 6000.0, std::nan("")}) {
    EffectChangeTempo tempo;
    tempo.SetPercentChange(percent);
    EXPECT_FALSE(Run(tempo, 0.0, 0.1)) << percent;
  }
  for (double semitones : {61.0, -72.0, HUGE_VAL}) {
    EffectChangePitch pitch;
    pitch.SetSemitonesChange(semitones);
    EXPECT_FALSE(Run(pitch, 0.0, 0.1)) << semitones;
  }
  EXPECT_EQ(Samples(track), before);
}

TEST_F(TimeEffects, ChangePitchAnalysisDetectsTheToneAtTheSelectionStart) {
  // Nothing calls the analysis during a run; this effect does, from its prompt.
  struct AnalysingPitch : EffectChangePitch {
    bool PromptUser() override {
      lower = AnalysePitch();
      return true;
    }
    bool lower = false;
  };
  // 441 Hz: a period of 100 samples. The windowed autocorrelation falls off with the
  // lag, so its peak may land one lag short (445.5 Hz).
  AddTrack(Sine(441, kRate, 20000));
  AnalysingPitch pitch;
  pitch.SetPercentChange(-10.0);
  ASSERT_TRUE(Run(pitch, 0.0, 0.2));
  EXPECT_TRUE(pitch.lower) << "a 10 % lower frequency lies below";
  EXPECT_NEAR(pitch.GetDetectedFrequency(), 441.0, 5.0);
  EXPECT_NEAR(pitch.GetNewFrequency(), 0.9 * pitch.GetDetectedFrequency(), 0.01);
}

TEST_F(TimeEffects, RepeatPutsCopiesOfTheSelectionInItsPlace) {
  // Selections of a few samples (many copies per pattern), of several blocks (read in
  // pieces), and a count of 0 (nothing changes).
  struct Case {
    std::size_t from, length;
    int count;
  } cases[] = {{300, 100, 10}, {1000, 1500, 3}, {0, 4410, 10}, {200, 777, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    WaveTrack* track = AddTrack(Ramp(6000));
    const auto before = Samples(track);
    EffectRepeat repeat;
    repeat.SetCount(c.count);
    double t0 = c.from / kRate, t1 = (c.from + c.length) / kRate;
    ASSERT_TRUE(Run(repeat, t0, t1, &t0, &t1));
    EXPECT_EQ(repeat.GetEffectDescription(), "Repeated " + std::to_string(c.count) + " times");
    const std::size_t newLength = c.length * (c.count + 1);
    EXPECT_NEAR(t1 - t0, newLength / kRate, 1e-9);
    const auto after = Samples(track);
    ExpectSurroundingKept(before, after, c.from + c.length, c.from + c.length, newLength - c.length);
    for (std::size_t i = 0; i < newLength; ++i)
      ASSERT_EQ(after[c.from + i], before[c.from + i % c.length]) << i;
    track->SetSelected(false);
  }
}

TEST_F(TimeEffects, RepeatOfASecondOnAStereoPairLeavesElevenSeconds) {
  WaveTrack* left = AddTrack(Sine(100, kRate, 44100), kRate, Track::LeftChannel, true);
  WaveTrack* right = AddTrack(Sine(200, kRate, 44100), kRate, Track::RightChannel);
  EffectRepeat repeat;
  double t0 = 0, t1 = 1.0;
  ASSERT_TRUE(Run(repeat, 0.0, 1.0, &t0, &t1));
  EXPECT_DOUBLE_EQ(t1, 11.0);
  EXPECT_DOUBLE_EQ(left->GetEndTime(), 11.0);
  EXPECT_DOUBLE_EQ(right->GetEndTime(), 11.0);
}

TEST_F(TimeEffects, RepeatRefusesWhatItCannotDo) {
  WaveTrack* track = AddTrack(Ramp(44100));
  const auto before = Samples(track);
  struct Case {
    double t0, t1;
    int count;
  } cases[] = {
      {0.5, 0.5, 10},     // empty selection
      {0.0, 1.0, -1},     // negative count: would delete the selection
      {0.0, 1.0, 50000},  // more copies than a track can hold
  };
  for (const Case& c : cases) {
    EffectRepeat repeat;
    repeat.SetCount(c.count);
    double t0 = c.t0, t1 = c.t1;
    EXPECT_FALSE(Run(repeat, c.t0, c.t1, &t0, &t1)) << c.count;
    EXPECT_DOUBLE_EQ(t1, c.t1);
  }
  EXPECT_EQ(Samples(track), before);
}

// sox as an outside reference: the same jobs on the same audio give the same
// lengths and frequencies. The algorithms differ (sox's tempo uses its own WSOLA
// with other segment sizes, its speed a different resampler), so the samples
// themselves are not compared.
class TimeEffectsAgainstSox : public TimeEffects {
protected:
  void SetUp() override {
    TimeEffects::SetUp();
    if (std::system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox not installed";
  }

  // Runs sox on `in` (mono float at kRate) with an effect and reads the result back.
  std::vector<float> Sox(const std::vector<float>& in, const std::string& effect) {
    const std::string raw = mFolder + "/in.f32", out = mFolder + "/out.f32";
    {
      std::ofstream f(raw, std::ios::binary);
      f.write(reinterpret_cast<const char*>(in.data()), static_cast<std::streamsize>(in.size() * 4));
    }
    const std::string cmd =
        "sox -q -t f32 -r 44100 -c 1 " + raw + " -t f32 " + out + " " + effect + " rate 44100 2>/dev/null";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::ifstream f(out, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<float> result(bytes.size() / 4);
    std::memcpy(result.data(), bytes.data(), result.size() * 4);
    return result;
  }
};

TEST_F(TimeEffectsAgainstSox, TempoPitchAndSpeedAgreeWithSox) {
  const auto input = Sine(440, kRate, 88200, 0.4);
  struct Case {
    std::string sox;
    std::function<std::unique_ptr<Effect>()> make;
  } cases[] = {
      {"tempo 1.5",
       [] {
         auto e = std::make_unique<EffectChangeTempo>();
         e->SetPercentChange(50.0);
         return std::unique_ptr<Effect>(std::move(e));
       }},
      {"pitch 700",
       [] {
         auto e = std::make_unique<EffectChangePitch>();
         e->SetSemitonesChange(7.0);
         return std::unique_ptr<Effect>(std::move(e));
       }},
      {"speed 1.25",
       [] {
         auto e = std::make_unique<EffectChangeSpeed>();
         e->SetPercentChange(25.0);
         return std::unique_ptr<Effect>(std::move(e));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sox);
    const auto reference = Sox(input, c.sox);
    ASSERT_GT(reference.size(), 44100u);
    WaveTrack* track = AddTrack(input);
    auto effect = c.make();
    ASSERT_TRUE(Run(*effect, 0.0, 2.0));
    const auto ours = Samples(track);
    EXPECT_NEAR(ours.size() / kRate, reference.size() / kRate, 0.01);
    const double fOurs = ZeroCrossingFrequency(ours, kRate, 4410, ours.size() - 4410);
    const double fSox = ZeroCrossingFrequency(reference, kRate, 4410, reference.size() - 4410);
    EXPECT_NEAR(fOurs, fSox, fSox * 0.005);
    track->SetSelected(false);
  }
}

}  // namespace
