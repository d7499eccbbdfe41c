// The generators: Silence (durations and the new selection), Tone (frequency and
// wave shapes) and White Noise (length and range).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "audiofiles/effects/EffectDialogs.h"
#include "audiofiles/effects/EffectSilence.h"
#include "audiofiles/effects/EffectTone.h"
#include "audiofiles/effects/EffectWhiteNoise.h"
#include "tests/audiofiles/effects/effect_test_support.h"
#include "tests/support/native/AudioAnalysis.h"

namespace {

using effecttest::EffectProject;

class Generators : public EffectProject {};

TEST_F(Generators, SilenceInsertsItsDurationAndSelectsIt) {
  struct Case {
    double duration;
    int insertedSamples;
  };
  const Case cases[] = {{2.5, 2500}, {0.001, 1}, {0.0, 0}, {-3.0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.duration);
    mList.Clear(false);
    mTracks.clear();
    const std::vector<float> left = Ramp(1000, 0.1f, 0.9f), right = Ramp(1000, -0.1f, -0.9f);
    WaveTrack* a = AddTrack(left, 1000.0, Track::LeftChannel, true);
    WaveTrack* b = AddTrack(right, 1000.0, Track::RightChannel);
    EffectSilence silence;
    silence.SetDuration(c.duration);
    double t0 = 0, t1 = 0;
    ASSERT_TRUE(Run(silence, 0.4, 0.6, &t0, &t1));
    EXPECT_DOUBLE_EQ(t0, 0.4);
    EXPECT_DOUBLE_EQ(t1, 0.4 + c.insertedSamples / 1000.0);
    for (auto [track, input] : {std::pair{a, &left}, std::pair{b, &right}}) {
      std::vector<float> want = *input;
      want.insert(want.begin() + 400, c.insertedSamples, 0.0f);
      EXPECT_EQ(Samples(track), want);
    }
  }
}

class SilenceAnswer : public EffectDialogs {
public:
  bool InsertSilenceDialog(double* duration) override {
    shown = *duration;
    if (accept) *duration = 0.25;
    return accept;
  }
  bool accept = true;
  double shown = -1;
};

TEST_F(Generators, SilenceAsksForItsDuration) {
  WaveTrack* track = AddTrack(Ramp(100), 1000.0);
  SilenceAnswer dialog;
  EffectDialogs* old = SetEffectDialogs(&dialog);
  EffectSilence silence;
  dialog.accept = false;
  EXPECT_FALSE(Run(silence, 0.0, 0.0));
  EXPECT_EQ(dialog.shown, 30.0);
  EXPECT_EQ(track->GetNumSamples(), 100);
  dialog.accept = true;
  double t1 = 0;
  ASSERT_TRUE(Run(silence, 0.05, 0.05, nullptr, &t1));
  EXPECT_EQ(track->GetNumSamples(), 350);
  EXPECT_DOUBLE_EQ(t1, 0.3);
  SetEffectDialogs(old);
}

class ToneAndNoise : public EffectProject {
protected:
  // The samples a generator puts into an empty track.
  std::vector<float> Generate(Effect& effect, double rate, double t0, double t1) {
    mList.Clear(false);
    mTracks.clear();
    WaveTrack* track = AddTrack({}, rate);
    EXPECT_TRUE(Run(effect, t0, t1));
    return Samples(track);
  }
};

TEST_F(ToneAndNoise, SineHasItsFrequencyAndAmplitude) {
  EffectTone tone;
  for (float frequency : {440.0f, 1234.5f}) {
    tone.SetParameters(EffectTone::Sine, frequency, 0.5f, 0);
    const std::vector<float> out = Generate(tone, 44100.0, 0.0, 1.0);
    ASSERT_EQ(out.size(), 44100u);
    EXPECT_NEAR(audiotest::FrequencyByZeroCrossings(out, 44100.0), frequency, frequency * 1e-3);
    EXPECT_NEAR(*std::max_element(out.begin(), out.end()), 0.5f, 1e-3);
    EXPECT_EQ(out[0], 0.0f);
  }
}

TEST_F(ToneAndNoise, SquareAndSawtoothShapes) {
  EffectTone tone;
  tone.SetParameters(EffectTone::Square, 100.0f, 0.8f, 0);
  std::vector<float> out = Generate(tone, 1000.0, 0.0, 0.05);
  ASSERT_EQ(out.size(), 50u);
  for (int k = 0; k < 50; ++k) EXPECT_EQ(out[k], (k % 10) < 5 ? 0.8f : -0.8f) << k;

  tone.SetParameters(EffectTone::Sawtooth, 100.0f, 0.8f, 0);
  out = Generate(tone, 1000.0, 0.0, 0.05);
  for (int k = 0; k < 50; ++k) EXPECT_NEAR(out[k], 2.0 * 0.8 * ((k % 10) / 10.0 - 0.5), 1e-6) << k;

  // A frequency above the rate still gives defined samples.
  tone.SetParameters(EffectTone::Sawtooth, 5000.0f, 0.8f, 0);
  out = Generate(tone, 1000.0, 0.0, 0.01);
  for (float v : out) EXPECT_TRUE(std::isfinite(v) && std::fabs(v) <= 0.8f + 1e-6f);
}

TEST_F(ToneAndNoise, EmptySelectionGeneratesThirtySeconds) {
  EffectTone tone;
  tone.SetParameters(EffectTone::Sine, 50.0f, 0.5f, 0);
  EXPECT_EQ(Generate(tone, 100.0, 0.0, 0.0).size(), 3000u);
}

TEST_F(ToneAndNoise, WhiteNoiseFillsTheRangeEvenly) {
  EffectWhiteNoise noise;
  const std::vector<float> out = Generate(noise, 8000.0, 0.0, 2.0);
  ASSERT_EQ(out.size(), 16000u);
  double sum = 0, squares = 0;
  for (float v : out) {
    ASSERT_GE(v, -1.0f);
    ASSERT_LE(v, 1.0f);
    sum += v;
    squares += double(v) * v;
  }
  EXPECT_NEAR(sum / out.size(), 0.0, 0.03);
  EXPECT_NEAR(std::sqrt(squares / out.size()), 1.0 / std::sqrt(3.0), 0.02);
}

TEST_F(ToneAndNoise, GeneratorsInsertIntoEachSelectedTrack) {
  const std::vector<float> x = Ramp(100, 0.9f, 0.9f);
  WaveTrack* a = AddTrack(x, 1000.0, Track::LeftChannel, true);
  WaveTrack* b = AddTrack(x, 1000.0, Track::RightChannel);
  EffectTone tone;
  tone.SetParameters(EffectTone::Square, 100.0f, 0.5f, 0);
  double t1 = 0;
  ASSERT_TRUE(Run(tone, 0.05, 0.07, nullptr, &t1));
  EXPECT_DOUBLE_EQ(t1, 0.07);
  for (WaveTrack* track : {a, b}) {
    const std::vector<float> out = Samples(track);
    ASSERT_EQ(out.size(), 120u);
    EXPECT_EQ(out[49], 0.9f);
    EXPECT_EQ(out[50], 0.5f);
    EXPECT_EQ(out[55], -0.5f);
    EXPECT_EQ(out[70], 0.9f);
  }
}

}  // namespace
