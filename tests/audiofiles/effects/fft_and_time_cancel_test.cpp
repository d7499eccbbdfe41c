// Cancelling the spectral and time effects half-way: the run fails, every track and
// the selection stay as they were, and nothing the effect keeps between runs (the
// noise profile, the profile mode) takes half a run's values.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "audiofiles/effects/EffectChangePitch.h"
#include "audiofiles/effects/EffectChangeSpeed.h"
#include "audiofiles/effects/EffectChangeTempo.h"
#include "audiofiles/effects/EffectCompressor.h"
#include "audiofiles/effects/EffectEqualization.h"
#include "audiofiles/effects/EffectFFTFilter.h"
#include "audiofiles/effects/EffectNoiseRemoval.h"
#include "core/model/Envelope.h"
#include "core/model/SystemUtils.h"
#include "platform/seams/Progress.h"
#include "tests/audiofiles/effects/dsp_test_support.h"
#include "tests/audiofiles/effects/effect_test_support.h"
#include "tests/support/native/FakeClock.h"
#include "tests/support/native/RecordedProgress.h"

namespace {

// Progress windows cancelled once the bar has reached cancelAtPosition (of 1000), and a
// clock that runs a second per reading, so the progress window appears at once.
class CancelledEffects : public effecttest::EffectProject {
protected:
  testsupport::RecordedProgress mProgress;
  testsupport::ProgressLog& mLog = mProgress.log;
  testsupport::FakeClock mClock{1000, 1000};
};

TEST_F(CancelledEffects, AStereoPairCancelledInItsSecondTrackIsPutBack) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<Effect>()> make;
  } cases[] = {
      {"Equalization",
       [] {
         auto e = std::make_unique<EffectEqualization>();
         e->SetCurve(44100.0, {{1000.0, -12.0}});
         return std::unique_ptr<Effect>(std::move(e));
       }},
      {"FFT Filter",
       [] {
         auto e = std::make_unique<EffectFFTFilter>();
         e->GetResponse().Insert(0.0, 0.0);
         return std::unique_ptr<Effect>(std::move(e));
       }},
      {"Compressor", [] { return std::unique_ptr<Effect>(std::make_unique<EffectCompressor>()); }},
      {"Change Speed",
       [] {
         auto e = std::make_unique<EffectChangeSpeed>();
         e->SetPercentChange(50.0);
         return std::unique_ptr<Effect>(std::move(e));
       }},
      {"Change Pitch",
       [] {
         auto e = std::make_unique<EffectChangePitch>();
         e->SetSemitonesChange(4.0);
         return std::unique_ptr<Effect>(std::move(e));
       }},
      {"Change Tempo",
       [] {
         auto e = std::make_unique<EffectChangeTempo>();
         e->SetPercentChange(-30.0);
         return std::unique_ptr<Effect>(std::move(e));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WaveTrack* left = AddTrack(dsptest::Sine(440, 44100, 22050, 0.5), 44100, Track::LeftChannel, true);
    WaveTrack* right = AddTrack(dsptest::Sine(660, 44100, 22050, 0.5), 44100, Track::RightChannel);
    const auto l = Samples(left), r = Samples(right);
    mLog = testsupport::ProgressLog{};
    mLog.cancelAtPosition = 600;  // the second track is 500 .. 1000
    auto effect = c.make();
    double t0 = 0.05, t1 = 0.45;
    EXPECT_FALSE(Run(*effect, 0.05, 0.45, &t0, &t1));
    EXPECT_GE(mLog.LastPosition(), 600) << "it was in the second track";
    EXPECT_EQ(t0, 0.05);
    EXPECT_EQ(t1, 0.45);
    EXPECT_EQ(Samples(left), l);
    EXPECT_EQ(Samples(right), r);
  }
}

TEST_F(CancelledEffects, ACancelledNoiseProfileKeepsTheProfileBefore) {
  WaveTrack* left = AddTrack(dsptest::Noise(44100, 0.01, 1), 44100, Track::LeftChannel, true);
  AddTrack(dsptest::Noise(44100, 0.01, 2), 44100, Track::RightChannel);
  EffectNoiseRemoval nr;
  ASSERT_TRUE(Run(nr, 0.0, 1.0));
  const float profile = nr.GetProfile(200);

  // A profile run over louder noise, cancelled: the old profile stays, and the
  // effect still takes a profile next time.
  left->Set(reinterpret_cast<ConstSamplePtr>(dsptest::Noise(44100, 0.2, 3).data()), SampleFormatFloat, 0,
            44100);
  nr.SetProfileMode(true);
  mLog.cancelAtPosition = 600;
  EXPECT_FALSE(Run(nr, 0.0, 1.0));
  EXPECT_FLOAT_EQ(nr.GetProfile(200), profile);
  EXPECT_TRUE(nr.GetProfileMode());

  // A removal run, cancelled: the audio is put back.
  nr.SetProfileMode(false);
  const auto loud = Samples(left);
  mLog = testsupport::ProgressLog{};
  mLog.cancelAtPosition = 600;
  EXPECT_FALSE(Run(nr, 0.0, 1.0));
  EXPECT_EQ(Samples(left), loud);
}

}  // namespace
