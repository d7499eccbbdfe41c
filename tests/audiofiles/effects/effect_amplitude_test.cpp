// Amplify, Normalize, Fade In, Fade Out, Invert and Reverse against computed
// expectations, on selections that cross block boundaries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <vector>

#include "audiofiles/effects/EffectAmplify.h"
#include "audiofiles/effects/EffectDialogs.h"
#include "audiofiles/effects/EffectFadeIn.h"
#include "audiofiles/effects/EffectFadeOut.h"
#include "audiofiles/effects/EffectInvert.h"
#include "audiofiles/effects/EffectNormalize.h"
#include "audiofiles/effects/EffectReverse.h"
#include "tests/audiofiles/effects/effect_test_support.h"

namespace {

using effecttest::EffectProject;

class AmplitudeEffects : public EffectProject {};

constexpr double kRate = 1000.0;  // one sample per millisecond keeps times exact

std::vector<float> Sine(std::size_t n, double cyclesPerSample, float peak, float dc = 0.0f) {
  std::vector<float> v(n);
  for (std::size_t i = 0; i < n; ++i)
    v[i] = dc + peak * static_cast<float>(std::sin(2.0 * std::numbers::pi * cyclesPerSample * i));
  return v;
}

// The block effects change each sample of the selection by a rule of its value and
// its place in the selection; everything outside stays.
TEST_F(AmplitudeEffects, BlockEffectsChangeExactlyTheSelection) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<Effect>()> make;
    // expected value of sample x at index i of a selection of n samples
    std::function<double(double x, int i, int n)> rule;
  };
  const Case cases[] = {
      {"Invert", [] { return std::make_unique<EffectInvert>(); }, [](double x, int, int) { return -x; }},
      {"Amplify x2.5",
       [] {
         auto e = std::make_unique<EffectAmplify>();
         e->SetRatio(2.5f);
         return e;
       },
       // the track clips what goes beyond full scale
       [](double x, int, int) { return std::clamp(2.5 * x, -1.0, 1.0); }},
      {"Fade In", [] { return std::make_unique<EffectFadeIn>(); },
       [](double x, int i, int n) { return x * i / n; }},
      {"Fade Out", [] { return std::make_unique<EffectFadeOut>(); },
       [](double x, int i, int n) { return x * (n - i - 1) / n; }},
  };
  const std::vector<float> input = Ramp(2500, -0.8f, 0.8f);
  const int s0 = 333, s1 = 2111;  // crosses several blocks of at most 512 samples
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mList.Clear(false);
    mTracks.clear();
    WaveTrack* track = AddTrack(input, kRate);
    std::unique_ptr<Effect> effect = c.make();
    ASSERT_TRUE(Run(*effect, s0 / kRate, s1 / kRate));
    const std::vector<float> out = Samples(track);
    ASSERT_EQ(out.size(), input.size());
    for (int i = 0; i < static_cast<int>(input.size()); ++i) {
      const double want = (i >= s0 && i < s1) ? c.rule(input[i], i - s0, s1 - s0) : input[i];
      ASSERT_NEAR(out[i], want, 1e-6) << i;
    }
  }
}

TEST_F(AmplitudeEffects, FadesOverFourSamples) {
  WaveTrack* track = AddTrack({1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f}, kRate);
  EffectFadeIn in;
  ASSERT_TRUE(Run(in, 1 / kRate, 5 / kRate));
  EXPECT_EQ(Samples(track), (std::vector<float>{1.0f, 0.0f, 0.25f, 0.5f, 0.75f, 1.0f}));

  WaveTrack* other = AddTrack({1.0f, 1.0f, 1.0f, 1.0f}, kRate);
  track->SetSelected(false);
  EffectFadeOut out;
  ASSERT_TRUE(Run(out, 0.0, 4 / kRate));
  EXPECT_EQ(Samples(other), (std::vector<float>{0.75f, 0.5f, 0.25f, 0.0f}));
}

TEST_F(AmplitudeEffects, FadeOfASelectionBetweenSamplesStaysWithinTheRamp) {
  // At 10 Hz the selection 0.04 .. 0.16 s rounds to samples 0 and 1, while its length
  // rounds to one sample. The ramp follows the samples, so no factor goes negative
  // and none exceeds 1.
  WaveTrack* track = AddTrack({1.0f, 1.0f, 1.0f}, 10.0);
  EffectFadeOut out;
  ASSERT_TRUE(Run(out, 0.04, 0.16));
  EXPECT_EQ(Samples(track), (std::vector<float>{0.5f, 0.0f, 1.0f}));
  EffectFadeIn in;
  ASSERT_TRUE(Run(in, 0.04, 0.16));
  EXPECT_EQ(Samples(track), (std::vector<float>{0.0f, 0.0f, 1.0f}));
}

// Accepts the Amplify dialog with a chosen ratio, or cancels it; remembers the peak
// it was shown.
class AmplifyAnswer : public EffectDialogs {
public:
  bool AmplifyDialog(float* ratio, float peak) override {
    shownPeak = peak;
    shownRatio = *ratio;
    if (!accept) return false;
    *ratio = newRatio;
    return true;
  }
  bool accept = true;
  float newRatio = 1.0f;
  float shownPeak = -1.0f, shownRatio = -1.0f;
};

TEST_F(AmplitudeEffects, AmplifyMeasuresThePeakAndAppliesTheDialogsRatio) {
  std::vector<float> left = Ramp(1000, -0.2f, 0.2f), right = Ramp(1000, 0.1f, -0.1f);
  left[700] = -0.45f;  // the peak of the pair, inside the selection
  left[100] = 0.9f;    // outside the selection: not part of the peak
  WaveTrack* a = AddTrack(left, kRate, Track::LeftChannel, true);
  WaveTrack* b = AddTrack(right, kRate, Track::RightChannel);
  AmplifyAnswer dialog;
  EffectDialogs* old = SetEffectDialogs(&dialog);

  EffectAmplify amplify;
  dialog.newRatio = 2.0f;
  ASSERT_TRUE(Run(amplify, 0.2, 0.9));
  EXPECT_FLOAT_EQ(dialog.shownPeak, 0.45f);
  EXPECT_FLOAT_EQ(dialog.shownRatio, 1.0f);
  EXPECT_EQ(amplify.GetEffectDescription(), "Applied effect: Amplify... 6.0 dB");
  EXPECT_FLOAT_EQ(Samples(a)[700], -0.9f);
  EXPECT_FLOAT_EQ(Samples(b)[500], 2.0f * right[500]);
  EXPECT_FLOAT_EQ(Samples(a)[100], 0.9f);

  // The next run opens on the last ratio; Cancel changes nothing.
  dialog.accept = false;
  const std::vector<float> before = Samples(a);
  EXPECT_FALSE(Run(amplify, 0.2, 0.9));
  EXPECT_FLOAT_EQ(dialog.shownRatio, 2.0f);
  EXPECT_EQ(Samples(a), before);
  SetEffectDialogs(old);
}

TEST_F(AmplitudeEffects, AmplifyOfSilenceStaysSilent) {
  AmplifyAnswer dialog;
  dialog.newRatio = 15.85f;
  EffectDialogs* old = SetEffectDialogs(&dialog);
  WaveTrack* track = AddTrack(std::vector<float>(600, 0.0f), kRate);
  EffectAmplify amplify;
  ASSERT_TRUE(Run(amplify, 0.0, 0.6));
  EXPECT_EQ(dialog.shownPeak, 0.0f);
  EXPECT_EQ(Samples(track), std::vector<float>(600, 0.0f));
  SetEffectDialogs(old);
}

TEST_F(AmplitudeEffects, AmplifiedSixteenBitTrackClipsAtFullScale) {
  WaveTrack* track = AddTrack({0.5f, -0.5f, 0.1f}, kRate, Track::MonoChannel, false, SampleFormatInt16);
  EffectAmplify amplify;
  amplify.SetRatio(4.0f);
  ASSERT_TRUE(Run(amplify, 0.0, 0.003));
  const std::vector<float> out = Samples(track);
  EXPECT_NEAR(out[0], 1.0f, 1e-4);
  EXPECT_NEAR(out[1], -1.0f, 1e-4);
  EXPECT_NEAR(out[2], 0.4f, 1e-4);
}

double Peak(const std::vector<float>& v, std::size_t from, std::size_t to) {
  double peak = 0;
  for (std::size_t i = from; i < to; ++i) peak = std::max(peak, std::fabs(double(v[i])));
  return peak;
}

double Mean(const std::vector<float>& v, std::size_t from, std::size_t to) {
  double sum = 0;
  for (std::size_t i = from; i < to; ++i) sum += v[i];
  return sum / double(to - from);
}

TEST_F(AmplitudeEffects, NormalizeRemovesDcAndBringsEachChannelToMinus3dB) {
  // 2000 samples = 40 whole cycles, so the sine itself has no DC.
  const std::vector<float> left = Sine(2000, 0.02, 0.25f);        // peak 0.25, no DC
  const std::vector<float> right = Sine(2000, 0.02, 0.1f, 0.3f);  // peak 0.1 around 0.3
  WaveTrack* a = AddTrack(left, kRate, Track::LeftChannel, true);
  WaveTrack* b = AddTrack(right, kRate, Track::RightChannel);
  EffectNormalize normalize;
  ASSERT_TRUE(Run(normalize, 0.0, 2.0));
  const std::vector<float> outA = Samples(a), outB = Samples(b);
  EXPECT_NEAR(Peak(outA, 0, 2000), std::sqrt(0.5), 1e-4);
  EXPECT_NEAR(Peak(outB, 0, 2000), std::sqrt(0.5), 1e-4);
  EXPECT_NEAR(Mean(outB, 0, 2000), 0.0, 1e-4);
  EXPECT_NEAR(outA[13] / left[13], std::sqrt(0.5) / Peak(left, 0, 2000), 1e-4);
}

TEST_F(AmplitudeEffects, NormalizeOfAConstantGivesSilence) {
  // A constant has only DC.
  WaveTrack* constant = AddTrack(std::vector<float>(700, 0.5f), kRate);
  EffectNormalize normalize;
  ASSERT_TRUE(Run(normalize, 0.0, 0.7));
  EXPECT_EQ(Peak(Samples(constant), 0, 700), 0.0);
}

TEST_F(AmplitudeEffects, NormalizeOnlyTouchesTheSelection) {
  std::vector<float> input = Sine(3000, 0.01, 0.2f);
  WaveTrack* track = AddTrack(input, kRate);
  EffectNormalize normalize;
  ASSERT_TRUE(Run(normalize, 0.5, 2.5));
  const std::vector<float> out = Samples(track);
  EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + 500),
            std::vector<float>(input.begin(), input.begin() + 500));
  EXPECT_EQ(std::vector<float>(out.begin() + 2500, out.end()),
            std::vector<float>(input.begin() + 2500, input.end()));
  EXPECT_NEAR(Peak(out, 500, 2500), std::sqrt(0.5), 1e-4);
}

TEST_F(AmplitudeEffects, ReverseTurnsEachTrackRoundOnItsOwn) {
  struct Case {
    int length, s0, s1;
  };
  // odd and even lengths, whole track and part of it, across many blocks
  const Case cases[] = {{7, 0, 7}, {8, 0, 8}, {2500, 0, 2500}, {2500, 101, 2400}, {2501, 3, 1600}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    mList.Clear(false);
    mTracks.clear();
    std::vector<float> left(c.length), right(c.length);
    for (int i = 0; i < c.length; ++i) {
      left[i] = static_cast<float>(i) / 4096.0f;
      right[i] = -static_cast<float>(i) / 8192.0f;
    }
    WaveTrack* a = AddTrack(left, kRate, Track::LeftChannel, true);
    WaveTrack* b = AddTrack(right, kRate, Track::RightChannel);
    EffectReverse reverse;
    ASSERT_TRUE(Run(reverse, c.s0 / kRate, c.s1 / kRate));
    std::vector<float> wantL = left, wantR = right;
    std::reverse(wantL.begin() + c.s0, wantL.begin() + c.s1);
    std::reverse(wantR.begin() + c.s0, wantR.begin() + c.s1);
    EXPECT_EQ(Samples(a), wantL);
    EXPECT_EQ(Samples(b), wantR);
  }
}

}  // namespace
