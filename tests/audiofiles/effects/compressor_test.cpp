// The Compressor on steady tones (where the level it measures is known exactly) and
// on a step, in small block files.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audiofiles/effects/EffectCompressor.h"
#include "tests/audiofiles/effects/dsp_test_support.h"
#include "tests/audiofiles/effects/effect_test_support.h"

namespace {

using dsptest::Rms;
using dsptest::Sine;

constexpr double kRate = 44100.0;

class Compressor : public effecttest::EffectProject {};

TEST_F(Compressor, ASteadyToneComesOutAtTheLevelTheRatioGives) {
  // 441 Hz: the 100-sample RMS window holds exactly one period, so the measured level
  // is the tone's RMS at every sample. Threshold -12 dB is the level 10^-1.2.
  const double T = std::pow(10.0, -1.2);
  const double makeup = std::pow(10.0, 0.5 * 12.0 * 0.7 * 0.05);  // ratio 2: 4.2 dB
  struct Case {
    double ratio;
    bool compensate;
    double amplitude;
    double expectedRms;
  } cases[] = {
      {2.0, false, 0.5, std::sqrt(0.5 / std::sqrt(2.0) * T)},
      {1.0, false, 0.5, T},  // ratio 1 holds the level at the threshold
      {2.0, true, 0.5, std::sqrt(0.5 / std::sqrt(2.0) * T) * makeup},
      {2.0, true, 0.05, 0.05 / std::sqrt(2.0) * makeup},  // below the threshold
      {4.0, false, 0.8, 0.8 / std::sqrt(2.0) * std::pow(T / (0.8 / std::sqrt(2.0)), 0.25)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "ratio " << c.ratio << " amplitude " << c.amplitude);
    WaveTrack* track = AddTrack(Sine(441, kRate, 22050, c.amplitude));
    EffectCompressor comp;
    comp.SetRatio(c.ratio);
    comp.SetGainCompensation(c.compensate);
    ASSERT_TRUE(Run(comp, 0.0, 0.5));
    EXPECT_NEAR(comp.GetThresholdLevel(), T, 1e-12);
    const auto out = Samples(track);
    EXPECT_NEAR(Rms(out, 2205, 19845) / c.expectedRms, 1.0, 2e-3);
    track->SetSelected(false);
  }
}

TEST_F(Compressor, TheFactorsFollowTheTimesAndTheRate) {
  AddTrack(Sine(441, kRate, 4410));
  EffectCompressor comp;
  ASSERT_TRUE(Run(comp, 0.0, 0.1));
  EXPECT_NEAR(comp.GetCompensation(), 4.2, 1e-12);
  EXPECT_NEAR(comp.GetMakeupGain(), 1.6218, 1e-4);
  EXPECT_NEAR(comp.GetAttackFactor(), 1.000783, 1e-6);
  EXPECT_NEAR(comp.GetDecayFactor(), 0.999843, 1e-6);

  // A positive threshold would give a negative compensation: none is applied.
  comp.SetThreshold(3.0);
  ASSERT_TRUE(Run(comp, 0.0, 0.1));
  EXPECT_EQ(comp.GetCompensation(), 0.0);
  EXPECT_EQ(comp.GetMakeupGain(), 1.0);
}

TEST_F(Compressor, TheGainStartsFallingBeforeASuddenRise) {
  // A tone just below the threshold (RMS 0.06) that turns loud 300 samples into a
  // block. With a short attack the follower meets the rise by raising the levels of
  // up to 48 samples before it, so those samples are already turned down although
  // their own level stays below the threshold; earlier ones are not.
  const int step = 1024 + 300;  // blocks of 512 samples start at multiples of 512
  auto input = Sine(441, kRate, 4410, 0.06 * std::sqrt(2.0));
  const auto loud = Sine(441, kRate, 4410, 0.9);
  for (std::size_t i = step; i < input.size(); ++i) input[i] = loud[i];
  WaveTrack* track = AddTrack(input);
  const auto before = Samples(track);
  EffectCompressor comp;
  comp.SetGainCompensation(false);
  comp.SetAttackTime(0.01);
  ASSERT_TRUE(Run(comp, 0.0, 0.1));
  const auto out = Samples(track);
  auto gainAt = [&](int i) {
    // The nearest sample with a clear value around i.
    while (std::fabs(before[i]) < 0.005) ++i;
    return out[i] / before[i];
  };
  EXPECT_NEAR(gainAt(step - 200), 1.0, 1e-6);
  EXPECT_LT(gainAt(step - 20), 0.99);
  EXPECT_LT(gainAt(step + 200), 0.5);
}

TEST_F(Compressor, RefusesSettingsTheFollowerCannotUse) {
  WaveTrack* track = AddTrack(Sine(441, kRate, 4410));
  const auto before = Samples(track);
  struct Case {
    double ratio, attack, decay, floor;
  } cases[] = {{0.0, 0.2, 1.0, 0.001},          {-2.0, 0.2, 1.0, 0.001}, {2.0, -1.0, 1.0, 0.001},
               {2.0, 0.2, std::nan(""), 0.001}, {2.0, 0.2, 1.0, 0.0},    {2.0, 0.2, 1.0, 1.5}};
  for (const Case& c : cases) {
    EffectCompressor comp;
    comp.SetRatio(c.ratio);
    comp.SetAttackTime(c.attack);
    comp.SetDecayTime(c.decay);
    comp.SetFloor(c.floor);
    EXPECT_FALSE(Run(comp, 0.0, 0.1));
  }
  EXPECT_EQ(Samples(track), before);
}

}  // namespace
