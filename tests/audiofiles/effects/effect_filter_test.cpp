// The filter effects: BassBoost's frequency response, and the LFO effects (Phaser,
// Wahwah): their mix, their filtering and the half-cycle lag of the right channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <vector>

#include "audiofiles/effects/EffectBassBoost.h"
#include "audiofiles/effects/EffectPhaser.h"
#include "audiofiles/effects/EffectWahwah.h"
#include "tests/audiofiles/effects/effect_test_support.h"
#include "tests/support/native/AudioAnalysis.h"

namespace {

using effecttest::EffectProject;

constexpr double kRate = 44100.0;

class FilterEffects : public EffectProject {
protected:
  // The gain in dB the effect gives a sine of `frequency`, measured on the last half
  // of a 0.25 s tone (after the filter settled).
  double GainDb(Effect& effect, double frequency, double amplitude = 0.05) {
    mList.Clear(false);
    mTracks.clear();
    const std::size_t n = static_cast<std::size_t>(kRate / 4);
    const std::vector<float> in = audiotest::MakeSine(frequency, kRate, n, amplitude);
    WaveTrack* track = AddTrack(in, kRate);
    EXPECT_TRUE(Run(effect, 0.0, n / kRate));
    const std::vector<float> out = Samples(track);
    const std::span<const float> tailIn(in.data() + n / 2, n / 2);
    const std::span<const float> tailOut(out.data() + n / 2, n / 2);
    return audiotest::RmsDbfs(tailOut) - audiotest::RmsDbfs(tailIn);
  }
};

TEST_F(FilterEffects, BassBoostIsALowShelfOfItsBoost) {
  struct Case {
    double frequency;
    double wantDb;
    double tolerance;
  };
  // A shelf of +12 dB below 200 Hz: the full boost well below the corner, half of it
  // (in dB) at the corner, nothing well above it.
  const Case cases[] = {{20.0, 12.0, 0.3}, {200.0, 6.0, 0.2}, {2000.0, 0.0, 0.3}, {10000.0, 0.0, 0.05}};
  EffectBassBoost boost;
  for (const Case& c : cases) EXPECT_NEAR(GainDb(boost, c.frequency), c.wantDb, c.tolerance) << c.frequency;

  EffectBassBoost other;
  other.SetParameters(1000.0f, 6.0f);
  EXPECT_NEAR(GainDb(other, 1000.0), 3.0, 0.2);
  EXPECT_NEAR(GainDb(other, 50.0), 6.0, 0.3);
}

TEST_F(FilterEffects, BassBoostClipsItsOutputAtFullScale) {
  EffectBassBoost boost;
  mList.Clear(false);
  WaveTrack* track = AddTrack(audiotest::MakeSine(50.0, kRate, 8820, 0.9), kRate);
  ASSERT_TRUE(Run(boost, 0.0, 0.2));
  const std::vector<float> out = Samples(track);
  EXPECT_EQ(*std::max_element(out.begin(), out.end()), 1.0f);
  EXPECT_EQ(*std::min_element(out.begin(), out.end()), -1.0f);
}

TEST_F(FilterEffects, WahwahPassesLowsAndCutsHighs) {
  EffectWahwah wah;
  EXPECT_NEAR(GainDb(wah, 100.0), 0.0, 2.0);
  EXPECT_LT(GainDb(wah, 15000.0), -12.0);
}

TEST_F(FilterEffects, PhaserMixesDryAndWet) {
  // Fully dry leaves the sound; with no depth the two all-pass stages give the input
  // back, so any mix does too.
  EffectPhaser phaser;
  phaser.SetParameters(0.4f, 0.0f, 0.0f, 100, 2, 0);
  EXPECT_NEAR(GainDb(phaser, 440.0), 0.0, 1e-4);
  phaser.SetParameters(0.4f, 0.0f, 0.0f, 0, 2, 200);
  EXPECT_NEAR(GainDb(phaser, 440.0), 0.0, 1e-4);
  // With depth, the sweep notches the sound: it loses level somewhere.
  phaser.SetParameters(2.0f, 0.0f, 0.0f, 255, 4, 128);
  EXPECT_LT(GainDb(phaser, 1000.0), -0.5);
}

TEST_F(FilterEffects, RightChannelRunsHalfACycleApart) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<Effect>(float startPhase)> make;
  };
  const Case cases[] = {
      {"Phaser",
       [](float phase) {
         auto e = std::make_unique<EffectPhaser>();
         e->SetParameters(3.0f, phase, 0.0f, 200, 4, 128);
         return e;
       }},
      {"Wahwah",
       [](float phase) {
         auto e = std::make_unique<EffectWahwah>();
         e->SetParameters(3.0f, phase, 0.7f, 0.3f, 2.5f);
         return e;
       }},
  };
  const std::vector<float> in = audiotest::MakeSine(700.0, kRate, 6000, 0.3);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mList.Clear(false);
    mTracks.clear();
    WaveTrack* left = AddTrack(in, kRate, Track::LeftChannel, true);
    WaveTrack* right = AddTrack(in, kRate, Track::RightChannel);
    ASSERT_TRUE(Run(*c.make(0.0f), 0.0, 6000 / kRate));
    const std::vector<float> outLeft = Samples(left), outRight = Samples(right);

    mList.Clear(false);
    WaveTrack* mono = AddTrack(in, kRate);
    ASSERT_TRUE(Run(*c.make(static_cast<float>(std::numbers::pi)), 0.0, 6000 / kRate));
    const std::vector<float> outMono = Samples(mono);

    EXPECT_NE(outLeft, outRight);
    for (std::size_t i = 0; i < in.size(); ++i) ASSERT_NEAR(outRight[i], outMono[i], 1e-4) << i;
  }
}

}  // namespace
