// The effects that run the two channels of a stereo pair at the same time (Change
// Speed, Change Pitch, Change Tempo, Equalization, FFT Filter): each channel must come
// out exactly as when it runs alone, and only the effect's own thread may reach the
// progress window.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "audiofiles/effects/EffectChangePitch.h"
#include "audiofiles/effects/EffectChangeSpeed.h"
#include "audiofiles/effects/EffectChangeTempo.h"
#include "audiofiles/effects/EffectEqualization.h"
#include "audiofiles/effects/EffectFFTFilter.h"
#include "core/model/Envelope.h"
#include "platform/seams/Progress.h"
#include "tests/audiofiles/effects/dsp_test_support.h"
#include "tests/audiofiles/effects/effect_test_support.h"
#include "tests/support/native/FakeClock.h"

namespace {

using dsptest::Sine;

constexpr double kRate = 44100.0;

class ChannelPairs : public effecttest::EffectProject {};

// A progress window that notes the threads it is called from.
class ThreadNotingProgress final : public seams::ProgressFactory {
public:
  ThreadNotingProgress() : mPrevious(seams::SetProgressFactory(this)) {}
  ~ThreadNotingProgress() override { seams::SetProgressFactory(mPrevious); }
  std::unique_ptr<seams::ProgressWindow> Create() override {
    Note();
    return std::make_unique<Window>(*this);
  }
  std::set<std::thread::id> threads;
  int calls = 0;

private:
  void Note() {
    std::lock_guard lock(mMutex);
    threads.insert(std::this_thread::get_id());
    ++calls;
  }
  class Window final : public seams::ProgressWindow {
  public:
    explicit Window(ThreadNotingProgress& owner) : mOwner(owner) {}
    bool Show(const std::string&) override { return mOwner.Note(), true; }
    void SetRange(int, int, int) override { mOwner.Note(); }
    int SetPos(int) override { return mOwner.Note(), 0; }
    void SetText(const std::string&) override { mOwner.Note(); }
    void PumpMessages(bool) override { mOwner.Note(); }
    bool Cancelled() const override { return mOwner.Note(), false; }
    void Hide() override { mOwner.Note(); }

  private:
    ThreadNotingProgress& mOwner;
  };
  std::mutex mMutex;
  seams::ProgressFactory* mPrevious;
};

// The two channels of a pair go through the effect at the same time; each must come
// out exactly as when the channels run one after the other, also when they differ in
// length, and the progress window hears only from the effect's own thread.
TEST_F(ChannelPairs, APairComesOutAsItsChannelsOneAfterTheOther) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<Effect>()> make;
  } cases[] = {
      {"Change Speed",
       [] {
         auto e = std::make_unique<EffectChangeSpeed>();
         e->SetPercentChange(25.0);
         return std::unique_ptr<Effect>(std::move(e));
       }},
      {"Change Pitch",
       [] {
         auto e = std::make_unique<EffectChangePitch>();
         e->SetSemitonesChange(3.0);
         return std::unique_ptr<Effect>(std::move(e));
       }},
      {"Change Tempo",
       [] {
         auto e = std::make_unique<EffectChangeTempo>();
         e->SetPercentChange(-20.0);
         return std::unique_ptr<Effect>(std::move(e));
       }},
      {"Equalization",
       [] {
         auto e = std::make_unique<EffectEqualization>();
         e->SetCurve(kRate, {{200.0, 6.0}, {2000.0, -9.0}});
         return std::unique_ptr<Effect>(std::move(e));
       }},
      {"FFT Filter",
       [] {
         auto e = std::make_unique<EffectFFTFilter>();
         e->GetResponse().Insert(0.0, 0.9);
         e->GetResponse().Insert(1.0, 0.1);
         return std::unique_ptr<Effect>(std::move(e));
       }},
  };
  // Left and right differ, and the right one ends earlier, so one channel finishes
  // while the other still runs.
  auto leftInput = Sine(440, kRate, 30000, 0.5);
  const auto noise = dsptest::Noise(30000, 0.1, 7);
  for (std::size_t i = 0; i < leftInput.size(); ++i) leftInput[i] += noise[i];
  const auto rightInput = Sine(1234, kRate, 17000, 0.4);
  testsupport::FakeClock clock{1000, 1000};  // the progress window shows at once

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // One after the other: each channel alone as a mono track.
    std::vector<float> alone[2];
    for (int ch = 0; ch < 2; ++ch) {
      WaveTrack* t = AddTrack(ch == 0 ? leftInput : rightInput);
      auto effect = c.make();
      ASSERT_TRUE(Run(*effect, 0.05, 0.6));
      alone[ch] = Samples(t);
      mList.Clear(false);
    }

    WaveTrack* left = AddTrack(leftInput, kRate, Track::LeftChannel, true);
    WaveTrack* right = AddTrack(rightInput, kRate, Track::RightChannel);
    ThreadNotingProgress progress;
    auto effect = c.make();
    ASSERT_TRUE(Run(*effect, 0.05, 0.6));
    EXPECT_EQ(Samples(left), alone[0]);
    EXPECT_EQ(Samples(right), alone[1]);
    EXPECT_GT(progress.calls, 0);
    EXPECT_EQ(progress.threads, std::set<std::thread::id>{std::this_thread::get_id()});
    mList.Clear(false);
  }
}

}  // namespace
