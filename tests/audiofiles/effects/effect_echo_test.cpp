// Echo: delay and decay of the feedback echo inside the selection.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audiofiles/effects/EffectDialogs.h"
#include "audiofiles/effects/EffectEcho.h"
#include "tests/audiofiles/effects/effect_test_support.h"

namespace {

using effecttest::EffectProject;

class Echo : public EffectProject {};

// y[k] = x[k] + decay * y[k - delay] inside [s0, s1), the first `delay` samples
// of the selection unchanged.
std::vector<float> FeedbackEcho(std::vector<float> x, int s0, int s1, int delay, float decay) {
  for (int k = s0 + delay; k < s1; ++k) x[k] = x[k] + x[k - delay] * decay;
  return x;
}

TEST_F(Echo, FeedbackEchoAcrossBlocksOnBothChannels) {
  struct Case {
    double rate;
    float delay, decay;
    int delaySamples;
  };
  const Case cases[] = {
      {1024.0, 1.0f / 32.0f, 0.5f, 32},  // short delay: many echoes per block
      {1000.0, 0.75f, 0.3f, 750},        // delay longer than a block
  };
  const int n = 3000, s0 = 211, s1 = 2900;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.delaySamples);
    mList.Clear(false);
    mTracks.clear();
    const std::vector<float> left = Ramp(n, -0.3f, 0.3f), right = Ramp(n, 0.2f, -0.1f);
    WaveTrack* a = AddTrack(left, c.rate, Track::LeftChannel, true);
    WaveTrack* b = AddTrack(right, c.rate, Track::RightChannel);
    EffectEcho echo;
    echo.SetParameters(c.delay, c.decay);
    ASSERT_TRUE(Run(echo, s0 / c.rate, s1 / c.rate));
    const std::vector<float> wantL = FeedbackEcho(left, s0, s1, c.delaySamples, c.decay);
    const std::vector<float> wantR = FeedbackEcho(right, s0, s1, c.delaySamples, c.decay);
    const std::vector<float> outL = Samples(a), outR = Samples(b);
    for (int i = 0; i < n; ++i) {
      ASSERT_NEAR(outL[i], wantL[i], 1e-6) << i;
      ASSERT_NEAR(outR[i], wantR[i], 1e-6) << i;
    }
  }
}

TEST_F(Echo, FullDecayWithAQuarterDelaySumsTheQuarters) {
  const int quarter = 400;
  std::vector<float> x(4 * quarter);
  for (int i = 0; i < 4 * quarter; ++i) x[i] = 0.01f * static_cast<float>((i * 7) % 13) - 0.05f;
  WaveTrack* track = AddTrack(x, 1000.0);
  EffectEcho echo;
  echo.SetParameters(0.4f, 1.0f);
  ASSERT_TRUE(Run(echo, 0.0, 1.6));
  const std::vector<float> out = Samples(track);
  for (int i = 0; i < quarter; ++i)
    ASSERT_NEAR(out[3 * quarter + i], x[i] + x[quarter + i] + x[2 * quarter + i] + x[3 * quarter + i], 1e-6);
}

TEST_F(Echo, DelaysThatEchoNothingLeaveTheTrackAndSucceed) {
  const std::vector<float> x = Ramp(500);
  WaveTrack* track = AddTrack(x, 1000.0);
  for (float delay : {0.0f, 0.0005f, 0.6f, -1.0f}) {  // none, under a sample, past the selection
    EffectEcho echo;
    echo.SetParameters(delay, 0.5f);
    EXPECT_TRUE(Run(echo, 0.0, 0.5)) << delay;
    EXPECT_EQ(Samples(track), x) << delay;
  }
}

class EchoAnswer : public EffectDialogs {
public:
  bool EchoDialog(float* delay, float* decay) override {
    shown = {*delay, *decay};
    if (!accept) return false;
    *delay = 0.1f;
    *decay = 0.25f;
    return true;
  }
  bool accept = true;
  std::vector<float> shown;
};

TEST_F(Echo, DialogSetsTheParametersAndCancelChangesNothing) {
  const std::vector<float> x = Ramp(1000);
  WaveTrack* track = AddTrack(x, 1000.0);
  EchoAnswer dialog;
  EffectDialogs* old = SetEffectDialogs(&dialog);
  EffectEcho echo;
  dialog.accept = false;
  EXPECT_FALSE(Run(echo, 0.0, 1.0));
  EXPECT_EQ(dialog.shown, (std::vector<float>{1.0f, 0.5f}));
  EXPECT_EQ(Samples(track), x);

  dialog.accept = true;
  ASSERT_TRUE(Run(echo, 0.0, 1.0));
  EXPECT_FLOAT_EQ(echo.GetDelay(), 0.1f);
  EXPECT_FLOAT_EQ(echo.GetDecay(), 0.25f);
  EXPECT_NEAR(Samples(track)[150], x[150] + 0.25f * x[50], 1e-6);
  SetEffectDialogs(old);
}

}  // namespace
