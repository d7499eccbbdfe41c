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

namespace {

// A progress window that is cancelled once the bar has reached `cancelAt` (of 1000).
struct CancelState {
  int cancelAt = 1001;
  int last = -1;
};

class CancellingProgress : public seams::ProgressWindow {
public:
  explicit CancellingProgress(CancelState* state) : mState(state) {}
  bool Show(const std::string&) override { return true; }
  void SetRange(int, int, int) override {}
  int SetPos(int position) override {
    mState->last = position;
    return 0;
  }
  void SetText(const std::string&) override {}
  void PumpMessages(bool) override {}
  bool Cancelled() const override { return mState->last >= mState->cancelAt; }
  void Hide() override {}

private:
  CancelState* mState;
};

class CancellingFactory : public seams::ProgressFactory {
public:
  explicit CancellingFactory(CancelState* state) : mState(state) {}
  std::unique_ptr<seams::ProgressWindow> Create() override {
    return std::make_unique<CancellingProgress>(mState);
  }

private:
  CancelState* mState;
};

// A clock that runs a second per reading, so the progress window appears at once.
std::uint32_t gTicks = 0;
std::uint32_t FastTicks() { return gTicks += 1000; }

class CancelledEffects : public effecttest::EffectProject {
protected:
  void SetUp() override {
    EffectProject::SetUp();
    mOldTicks = SetTickCountFunction(&FastTicks);
    mOldFactory = seams::SetProgressFactory(&mFactoryCancel);
  }
  void TearDown() override {
    seams::SetProgressFactory(mOldFactory);
    SetTickCountFunction(mOldTicks);
    EffectProject::TearDown();
  }

  CancelState mState;
  CancellingFactory mFactoryCancel{&mState};
  seams::ProgressFactory* mOldFactory = nullptr;
  TickCountFunction mOldTicks = nullptr;
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
    mState = CancelState{};
    mState.cancelAt = 600;  // the second track is 500 .. 1000
    auto effect = c.make();
    double t0 = 0.05, t1 = 0.45;
    EXPECT_FALSE(Run(*effect, 0.05, 0.45, &t0, &t1));
    EXPECT_GE(mState.last, 600) << "it was in the second track";
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
  left->Set(reinterpret_cast<ConstSamplePtr>(dsptest::Noise(44100, 0.2, 3).data()), SampleFormatFloat,
            0, 44100);
  nr.SetProfileMode(true);
  mState.cancelAt = 600;
  EXPECT_FALSE(Run(nr, 0.0, 1.0));
  EXPECT_FLOAT_EQ(nr.GetProfile(200), profile);
  EXPECT_TRUE(nr.GetProfileMode());

  // A removal run, cancelled: the audio is put back.
  nr.SetProfileMode(false);
  const auto loud = Samples(left);
  mState = CancelState{};
  mState.cancelAt = 600;
  EXPECT_FALSE(Run(nr, 0.0, 1.0));
  EXPECT_EQ(Samples(left), loud);
}

}  // namespace
