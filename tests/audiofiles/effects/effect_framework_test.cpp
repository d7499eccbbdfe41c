// The effect framework: the registry, Apply (selection, parameters, write-back),
// progress and cancel (with the tracks put back), block-wise processing and preview.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audiofiles/effects/BlockEffect.h"
#include "audiofiles/effects/EffectAmplify.h"
#include "audiofiles/effects/EffectBassBoost.h"
#include "audiofiles/effects/EffectEcho.h"
#include "audiofiles/effects/EffectFadeIn.h"
#include "audiofiles/effects/EffectInvert.h"
#include "audiofiles/effects/EffectNormalize.h"
#include "audiofiles/effects/EffectReverse.h"
#include "audiofiles/effects/EffectPreview.h"
#include "audiofiles/effects/EffectRegistry.h"
#include "core/model/SystemUtils.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/Progress.h"
#include "tests/audiofiles/effects/effect_test_support.h"
#include "tests/support/native/FakeClock.h"
#include "tests/support/native/RecordedMessageBoxes.h"
#include "tests/support/native/RecordedProgress.h"

namespace {

using effecttest::EffectProject;

// A named effect that does nothing; for the registry.
class NamedEffect : public Effect {
public:
  explicit NamedEffect(std::string name, int flags = ProcessEffectFlags)
      : mName(std::move(name)), mFlags(flags) {}
  std::string GetEffectName() const override { return mName; }
  std::string GetEffectAction() const override { return "Doing"; }
  int GetEffectFlags() const override { return mFlags; }
  bool Process() override { return true; }

private:
  std::string mName;
  int mFlags;
};

// Records what Apply handed it and can refuse at each step.
class ProbeEffect : public Effect {
public:
  std::string GetEffectName() const override { return "Probe..."; }
  std::string GetEffectAction() const override { return "Probing"; }
  bool Init() override {
    calls.push_back("Init");
    return initResult;
  }
  bool PromptUser() override {
    calls.push_back("PromptUser");
    return promptResult;
  }
  bool Process() override {
    calls.push_back("Process");
    numTracks = mNumTracks;
    numGroups = mNumGroups;
    seen = GetSelectedWaveTracks();
    t0 = mT0;
    t1 = mT1;
    mT0 += newT0Shift;
    mT1 += newT1Shift;
    return processResult;
  }
  void End() override { calls.push_back("End"); }

  bool initResult = true, promptResult = true, processResult = true;
  double newT0Shift = 0.0, newT1Shift = 0.0;
  std::vector<std::string> calls;
  std::vector<WaveTrack*> seen;
  int numTracks = -1, numGroups = -1;
  double t0 = -1, t1 = -1;
};

class EffectFramework : public EffectProject {
protected:
  testsupport::RecordedProgress mProgress;
  testsupport::ProgressLog& mLog = mProgress.log;
  // The clock stands still unless a test moves it.
  testsupport::FakeClock mClock{1000, 0};
};

std::vector<std::string> Names(const std::vector<Effect*>& effects) {
  std::vector<std::string> names;
  for (Effect* e : effects) names.push_back(e->GetEffectName());
  return names;
}

TEST(EffectRegistry, SortsByNameIgnoringCaseAndKeepsOrderOfEqualNames) {
  RegisterEffect(new NamedEffect("Zeta"));
  RegisterEffect(new NamedEffect("alpha"));
  RegisterEffect(new NamedEffect("Beta"));
  RegisterEffect(new NamedEffect("BETA"));
  const std::vector<Effect*> all = GetEffectsByFlags(0xFF);
  EXPECT_EQ(Names(all), (std::vector<std::string>{"alpha", "Beta", "BETA", "Zeta"}));
  // Ids count registrations, whatever the sorted place.
  EXPECT_EQ(all[0]->GetEffectID() + 1, all[1]->GetEffectID());
  EXPECT_EQ(all[3]->GetEffectID() + 1, all[0]->GetEffectID());
  UnregisterAllEffects();
  EXPECT_TRUE(GetEffectsByFlags(0xFF).empty());
}

TEST(EffectRegistry, BuiltInEffectsSplitIntoProcessorsAndGenerators) {
  RegisterAllEffects();
  const std::vector<Effect*> all = GetEffectsByFlags(0xFF);
  const std::vector<Effect*> processors = GetEffectsByFlags(Effect::ProcessEffectFlags);
  const std::vector<Effect*> generators = GetEffectsByFlags(Effect::GeneratorEffectFlags);

  EXPECT_EQ(Names(generators), (std::vector<std::string>{"Silence", "Tone...", "White Noise"}));
  EXPECT_EQ(all.size(), 21u);
  EXPECT_EQ(processors.size(), 18u);
  for (Effect* e : processors) EXPECT_EQ(e->GetEffectFlags(), 34) << e->GetEffectName();
  for (std::size_t i = 1; i < all.size(); ++i)
    EXPECT_LT(CompareEffectNames(all[i - 1]->GetEffectName(), all[i]->GetEffectName()), 0);
  // Ids follow the order of registration, not of the names.
  std::vector<std::string> byId(all.size());
  int firstId = all[0]->GetEffectID();
  for (Effect* e : all) firstId = std::min(firstId, e->GetEffectID());
  for (Effect* e : all) byId.at(static_cast<std::size_t>(e->GetEffectID() - firstId)) = e->GetEffectName();
  EXPECT_EQ(byId,
            (std::vector<std::string>{
                "White Noise",      "Silence",         "Tone...",         "Amplify...",    "BassBoost...",
                "Change Speed...",  "Change Pitch...", "Change Tempo...", "Compressor...", "Echo...",
                "Equalization...",  "Fade In",         "Fade Out",        "FFT Filter...", "Invert",
                "Noise Removal...", "Normalize...",    "Phaser...",       "Repeat...",     "Reverse",
                "Wahwah..."}));
  // The menu's effects are all there.
  for (const char* name :
       {"Fade In", "Fade Out", "Invert", "Normalize...", "Reverse", "Echo...", "Amplify..."})
    EXPECT_NE(FindEffect(34, name), nullptr) << name;
  EXPECT_NE(FindEffect(18, "silence"), nullptr);
  EXPECT_EQ(FindEffect(18, "Amplify..."), nullptr);  // a processor is not a generator
  EXPECT_EQ(FindEffect(34, "Flanger"), nullptr);
  UnregisterAllEffects();
}

TEST(EffectRegistry, UndoTextsOfTheMenuEffects) {
  RegisterAllEffects();
  struct Case {
    const char* name;
    const char* shortName;
    const char* description;
    const char* action;
  };
  const Case cases[] = {
      {"Fade In", "Fade In", "\nApplied effect: Fade In", "Fading In"},
      {"Fade Out", "Fade Out", "\nApplied effect: Fade Out", "Fading Out"},
      {"Invert", "Invert", "\nApplied effect: Invert", "Inverting"},
      {"Normalize...", "Normalize", "\nApplied effect: Normalize...", "Normalizing..."},
      {"Reverse", "Reverse", "\nApplied effect: Reverse", "Reversing"},
      {"Echo...", "Echo", "Applied effect: Echo...", "Performing Echo"},
      {"Amplify...", "Amplify", "Applied effect: Amplify... 0.0 dB", "Amplifying"},
      {"Silence", "Silence", "Applied effect: Generate Silence", "Generating Silence"},
      {"BassBoost...", "BassBoost", "Applied effect: BassBoost... frequency = 200 Hz, boost = 12 dB",
       "Boosting Bass Frequencies"},
      {"Tone...", "Tone",
       "Applied effect: Generate Tone... sine wave, frequency = 440.00 Hz, amplitude = 1.00",
       "Generating Tone"},
      {"White Noise", "White Noise", "Applied effect: Generate White Noise", "Generating White Noise"},
      {"Phaser...", "Phaser",
       "Applied effect: Phaser... 2 stages, 50% wet, frequency = 0.4 Hz, start phase = 0 deg, "
       "depth = 100, feedback = 0%",
       "Applying Phaser"},
      {"Wahwah...", "Wahwah",
       "Applied effect: Wahwah... frequency = 1.5 Hz, start phase = 0 deg, depth = 70%, "
       "resonance = 2.5, frequency offset = 30%",
       "Applying Wahwah"},
  };
  for (const Case& c : cases) {
    Effect* e = FindEffect(0xFF, c.name);
    ASSERT_NE(e, nullptr) << c.name;
    EXPECT_EQ(GetEffectShortName(e->GetEffectName()), c.shortName);
    EXPECT_EQ(e->GetEffectDescription(), c.description);
    EXPECT_EQ(e->GetEffectAction(), c.action);
  }
  EXPECT_EQ(GetEffectShortName("..."), "...");  // only names longer than the dots lose them
  UnregisterAllEffects();
}

TEST(EffectHelpers, ClampDouble) {
  EXPECT_EQ(ClampDouble(-5, -1, 1), -1);
  EXPECT_EQ(ClampDouble(1, -1, 1), 1);
  EXPECT_EQ(ClampDouble(0.25, -1, 1), 0.25);
}

TEST_F(EffectFramework, ApplyTakesSelectedNotExcludedWaveTracksAndCountsPairsOnce) {
  WaveTrack* left = AddTrack(Ramp(100), 44100, Track::LeftChannel, true);
  WaveTrack* right = AddTrack(Ramp(100), 44100, Track::RightChannel);
  ProbeEffect probe;
  ASSERT_TRUE(Run(probe, 0.0, 0.001));
  EXPECT_EQ(probe.calls, (std::vector<std::string>{"Init", "PromptUser", "Process", "End"}));
  EXPECT_EQ(probe.seen, (std::vector<WaveTrack*>{left, right}));
  EXPECT_EQ(probe.numTracks, 2);
  EXPECT_EQ(probe.numGroups, 1);

  right->SetExcluded(true);
  ASSERT_TRUE(Run(probe, 0.0, 0.001));
  EXPECT_EQ(probe.seen, (std::vector<WaveTrack*>{left}));

  right->SetExcluded(false);
  left->SetSelected(false);
  ASSERT_TRUE(Run(probe, 0.0, 0.001));
  EXPECT_EQ(probe.seen, (std::vector<WaveTrack*>{right}));
  // The effect's list only borrowed the tracks.
  EXPECT_EQ(mList.GetCount(), 2);
}

TEST_F(EffectFramework, RefusalKeepsSelectionAndSuccessWritesItBack) {
  AddTrack(Ramp(100));
  struct Step {
    bool init, prompt, process;
    bool ok;
    std::vector<std::string> calls;
  };
  const Step steps[] = {
      {false, true, true, false, {"Init"}},
      {true, false, true, false, {"Init", "PromptUser"}},
      {true, true, false, false, {"Init", "PromptUser", "Process", "End"}},
      {true, true, true, true, {"Init", "PromptUser", "Process", "End"}},
  };
  for (const Step& s : steps) {
    ProbeEffect probe;
    probe.initResult = s.init;
    probe.promptResult = s.prompt;
    probe.processResult = s.process;
    probe.newT0Shift = 0.5;
    probe.newT1Shift = 1.5;
    double t0 = 1.0, t1 = 2.0;
    EXPECT_EQ(Run(probe, 1.0, 2.0, &t0, &t1), s.ok);
    EXPECT_EQ(probe.calls, s.calls);
    EXPECT_DOUBLE_EQ(t0, s.ok ? 1.5 : 1.0);
    EXPECT_DOUBLE_EQ(t1, s.ok ? 3.5 : 2.0);
  }
}

TEST_F(EffectFramework, QuickEffectShowsNoProgressWindow) {
  WaveTrack* track = AddTrack(Ramp(3000));
  mClock.SetStep(10);  // far below the delay for the few progress calls of this run
  EffectInvert invert;
  ASSERT_TRUE(Run(invert, 0.0, 1.0));
  EXPECT_EQ(mLog.created, 0);
  EXPECT_FLOAT_EQ(Samples(track)[0], 0.9f);
}

TEST_F(EffectFramework, SlowEffectShowsProgressWithNameRangeAndDescription) {
  AddTrack(Ramp(3000));  // several blocks of at most 512 samples
  mClock.SetStep(600);   // every clock reading is another 0.6 s later
  EffectInvert invert;
  ASSERT_TRUE(Run(invert, 0.0, 1.0));
  EXPECT_EQ(mLog.created, 1);
  EXPECT_EQ(mLog.caption, "Invert");
  EXPECT_EQ(mLog.text, "\nApplied effect: Invert");
  EXPECT_EQ(mLog.lower, 0);
  EXPECT_EQ(mLog.upper, 1000);
  ASSERT_FALSE(mLog.positions.empty());
  EXPECT_EQ(mLog.positions.back(), 1000);
  EXPECT_TRUE(std::is_sorted(mLog.positions.begin(), mLog.positions.end()));
}

TEST_F(EffectFramework, CancelPutsEveryTrackBackAndKeepsSelection) {
  const std::vector<float> left = Ramp(3000, -0.5f, 0.5f), right = Ramp(3000, 0.7f, -0.7f);
  WaveTrack* a = AddTrack(left, 44100, Track::LeftChannel, true);
  WaveTrack* b = AddTrack(right, 44100, Track::RightChannel);
  mClock.SetStep(600);
  mLog.cancelAtPosition = 700;  // during the second track
  EffectInvert invert;
  double t0 = 0.0, t1 = 1.0;
  EXPECT_FALSE(Run(invert, 0.0, 1.0, &t0, &t1));
  EXPECT_EQ(t0, 0.0);
  EXPECT_EQ(t1, 1.0);
  ASSERT_GE(mLog.positions.size(), 2u);
  EXPECT_LT(mLog.positions.back(), 1000);  // it did stop early
  EXPECT_EQ(Samples(a), left);
  EXPECT_EQ(Samples(b), right);
  EXPECT_EQ(a->GetEndTime(), 3000 / 44100.0);
}

TEST_F(EffectFramework, EveryEffectThatObeysCancelLeavesTheAudioAsItWas) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<Effect>()> make;
    bool obeysCancel;
  };
  const Case cases[] = {
      {"Amplify",
       [] {
         auto e = std::make_unique<EffectAmplify>();
         e->SetRatio(0.5f);
         return e;
       },
       true},
      {"Normalize", [] { return std::make_unique<EffectNormalize>(); }, true},
      {"Fade In", [] { return std::make_unique<EffectFadeIn>(); }, true},
      {"Echo",
       [] {
         auto e = std::make_unique<EffectEcho>();
         e->SetParameters(0.01f, 0.5f);
         return e;
       },
       true},
      {"BassBoost", [] { return std::make_unique<EffectBassBoost>(); }, true},
      // Reverse always completes, so it never stops half turned round.
      {"Reverse", [] { return std::make_unique<EffectReverse>(); }, false},
  };
  const std::vector<float> input = Ramp(3000, -0.5f, 0.4f);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mList.Clear(false);
    mTracks.clear();
    mLog = testsupport::ProgressLog{};
    WaveTrack* track = AddTrack(input);
    track->SetOffset(0.25);  // not at the start of the time line
    mClock.SetStep(600);
    mLog.cancelAtPosition = 600;  // halfway through the second pass of Normalize
    std::unique_ptr<Effect> effect = c.make();
    const double t0 = 0.25 + 100 / 44100.0, t1 = 0.25 + 2900 / 44100.0;
    EXPECT_EQ(Run(*effect, t0, t1), !c.obeysCancel);
    const std::vector<float> out = Samples(track);
    if (c.obeysCancel) {
      EXPECT_EQ(out, input);
    } else {
      EXPECT_EQ(out[100], input[2899]);
    }
    EXPECT_DOUBLE_EQ(track->GetStartTime(), 0.25);
    EXPECT_DOUBLE_EQ(track->GetEndTime(), 0.25 + 3000 / 44100.0);
  }
}

// Records the positions and fractions each block was given.
class BlockProbe : public BlockEffect {
public:
  std::string GetEffectName() const override { return "Block Probe"; }
  std::string GetEffectAction() const override { return "Probing"; }
  bool NewTrackSimple() override {
    tracks.push_back(mCurTrackNum);
    starts.push_back(mCurStart);
    lengths.push_back(mCurLen);
    return true;
  }
  bool ProcessSimpleBlock(float* buffer, int len) override {
    blockLengths.push_back(len);
    for (int i = 0; i < len; ++i) buffer[i] += 1.0f;
    return true;
  }
  std::vector<int> tracks;
  std::vector<std::int64_t> starts, lengths;
  std::vector<int> blockLengths;
};

TEST_F(EffectFramework, BlockEffectCoversTheSelectionOnEachTrackAcrossBlocks) {
  // The second track starts later: the selection covers only its first part.
  WaveTrack* first = AddTrack(std::vector<float>(2000, 0.0f));
  WaveTrack* second = AddTrack(std::vector<float>(2000, 0.0f));
  second->SetOffset(1000 / 44100.0);
  BlockProbe probe;
  ASSERT_TRUE(Run(probe, 300 / 44100.0, 1700 / 44100.0));
  EXPECT_EQ(probe.tracks, (std::vector<int>{0, 1}));
  EXPECT_EQ(probe.starts, (std::vector<std::int64_t>{300, 1000}));
  EXPECT_EQ(probe.lengths, (std::vector<std::int64_t>{1400, 700}));
  for (int len : probe.blockLengths) EXPECT_LE(len, 512);

  const std::vector<float> a = Samples(first), b = Samples(second);
  for (int i = 0; i < 2000; ++i) {
    EXPECT_EQ(a[i], (i >= 300 && i < 1700) ? 1.0f : 0.0f) << i;
    EXPECT_EQ(b[i], i < 700 ? 1.0f : 0.0f) << i;
  }
}

TEST_F(EffectFramework, TrackOutsideTheSelectionStillCountsForProgress) {
  AddTrack(std::vector<float>(1000, 0.25f));                    // 0 .. 1000 samples
  WaveTrack* late = AddTrack(std::vector<float>(1000, 0.25f));  // 2000 .. 3000
  late->SetOffset(2000 / 44100.0);
  mClock.SetStep(600);
  BlockProbe probe;
  ASSERT_TRUE(Run(probe, 2000 / 44100.0, 3000 / 44100.0));
  EXPECT_EQ(probe.tracks, (std::vector<int>{1}));
  ASSERT_FALSE(mLog.positions.empty());
  // Only the second half of the bar moves: the first track was counted as done.
  EXPECT_GT(mLog.positions.front(), 500);
  EXPECT_EQ(mLog.positions.back(), 1000);
}

class RecordingPlayer : public EffectPreviewPlayer {
public:
  bool IsBusy() override { return busy; }
  bool PlayAndWait(WaveTrack* const* tracks, int count, double t0, double t1) override {
    ++calls;
    start = t0;
    end = t1;
    played.clear();
    for (int i = 0; i < count; ++i) played.push_back(effecttest::TrackSamples(tracks[i]));
    return canStart;
  }
  bool busy = false, canStart = true;
  int calls = 0;
  double start = -1, end = -1;
  std::vector<std::vector<float>> played;
};

// Previews from inside its parameter prompt, as a dialog's preview button would.
class PreviewingInvert : public EffectInvert {
public:
  bool PromptUser() override {
    Preview();
    return false;  // then the user cancels the dialog
  }
};

TEST_F(EffectFramework, PreviewPlaysTheFirstThreeSecondsProcessedAndChangesNothing) {
  const double rate = 1000.0;
  const std::vector<float> left = Ramp(5000, -0.5f, 0.5f), right = Ramp(5000, 0.25f, -0.25f);
  AddTrack(left, rate, Track::LeftChannel, true);
  AddTrack(right, rate, Track::RightChannel);
  RecordingPlayer player;
  EffectPreviewPlayer* old = SetEffectPreviewPlayer(&player);

  PreviewingInvert invert;
  EXPECT_FALSE(Run(invert, 1.0, 4.5));
  ASSERT_EQ(player.calls, 1);
  EXPECT_DOUBLE_EQ(player.start, 0.0);
  EXPECT_DOUBLE_EQ(player.end, 3.0);
  ASSERT_EQ(player.played.size(), 2u);
  ASSERT_EQ(player.played[0].size(), 3000u);
  for (int i = 0; i < 3000; i += 500) {
    EXPECT_FLOAT_EQ(player.played[0][i], -left[1000 + i]);
    EXPECT_FLOAT_EQ(player.played[1][i], -right[1000 + i]);
  }
  EXPECT_EQ(Samples(static_cast<WaveTrack*>(mTracks[0].get())), left);
  EXPECT_EQ(Samples(static_cast<WaveTrack*>(mTracks[1].get())), right);

  // A shorter selection plays whole; a busy engine plays nothing.
  EXPECT_FALSE(Run(invert, 1.0, 2.0));
  EXPECT_EQ(player.calls, 2);
  EXPECT_DOUBLE_EQ(player.end, 1.0);
  player.busy = true;
  EXPECT_FALSE(Run(invert, 1.0, 2.0));
  EXPECT_EQ(player.calls, 2);
  SetEffectPreviewPlayer(old);
}

TEST_F(EffectFramework, PreviewThatCannotStartTellsTheUser) {
  AddTrack(Ramp(2000), 1000.0);
  RecordingPlayer player;
  player.canStart = false;
  EffectPreviewPlayer* oldPlayer = SetEffectPreviewPlayer(&player);
  std::vector<std::string> shown;
  {
    testsupport::RecordedMessageBoxes messages;
    PreviewingInvert invert;
    EXPECT_FALSE(Run(invert, 0.0, 1.0));
    shown = messages.Texts();
  }
  SetEffectPreviewPlayer(oldPlayer);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0],
            "Error while opening sound device. Please check the output device settings and "
            "the project sample rate.");
}

}  // namespace
