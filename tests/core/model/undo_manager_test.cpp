// The undo history over real wave tracks: states share blocks instead of copying
// them, and dropping states frees what nothing else holds.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/model/DirManager.h"
#include "core/model/Sequence.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/UndoManager.h"
#include "core/model/WaveTrack.h"
#include "tests/support/native/TrackProject.h"

namespace {

class UndoTest : public ::testing::Test {
protected:
  void TearDown() override {
    undo.ClearStates();
    tracks.Clear(true);
    project.Close();
    EXPECT_EQ(DirManager::GetLiveCount(), 0);
  }

  // Replaces the project's audio with one track of n samples of value v.
  void SetAudio(int n, std::int16_t v) {
    tracks.Clear(true);
    WaveTrack* t = factory->NewWaveTrack(SampleFormatInt16, 1000.0);
    std::vector<std::int16_t> s(n, v);
    ASSERT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(s.data()), SampleFormatInt16, n));
    ASSERT_TRUE(t->Flush());
    tracks.Add(t);
  }

  static std::int64_t Length(TrackList* list) {
    TrackListIterator it(list);
    auto* t = static_cast<WaveTrack*>(it.First());
    return t ? t->GetNumSamples() : -1;
  }

  int BlockFilesOnDisk() const { return project.BlockFilesOnDisk(".tmp"); }

  testsupport::TrackProject project{1024};
  TrackFactory* factory = project.factory();
  TrackList tracks;
  UndoManager undo;
};

TEST_F(UndoTest, ANewManagerHasNothingToUndoAndNoUnsavedChanges) {
  EXPECT_FALSE(undo.UndoAvailable());
  EXPECT_FALSE(undo.RedoAvailable());
  EXPECT_FALSE(undo.UnsavedChanges());
  EXPECT_EQ(undo.GetCurrentStateNumber(), 0);
}

TEST_F(UndoTest, StatesShareBlocksAndFreeThemWhenDropped) {
  SetAudio(2000, 1);
  int blocks = BlockFilesOnDisk();
  ASSERT_GT(blocks, 1);
  undo.PushState(&tracks, 0, 0, "Created new project", "");
  EXPECT_EQ(BlockFilesOnDisk(), blocks) << "a state shares the blocks, it copies no file";
  EXPECT_FALSE(undo.UndoAvailable());
  EXPECT_TRUE(undo.UnsavedChanges());
  undo.StateSaved();
  EXPECT_FALSE(undo.UnsavedChanges());

  SetAudio(500, 2);
  undo.PushState(&tracks, 0.1, 0.2, "Recorded", "Record");
  EXPECT_EQ(undo.GetDescription(2), "Record");
  SetAudio(300, 3);
  undo.PushState(&tracks, 0.3, 0.4, "Amplified", "Amplify");
  tracks.Clear(true);

  double s0 = -1, s1 = -1;
  TrackList* back = undo.Undo(&s0, &s1);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Length(back), 500);
  EXPECT_EQ(s0, 0.1);
  back = undo.Undo(&s0, &s1);
  EXPECT_EQ(Length(back), 2000);
  EXPECT_FALSE(undo.UnsavedChanges()) << "back at the saved state";
  EXPECT_TRUE(undo.RedoAvailable());

  // A push after undoing drops the two later states and their blocks.
  int before = BlockFilesOnDisk();
  undo.PushState(back, 0, 0, "Faded", "Fade In");
  EXPECT_FALSE(undo.RedoAvailable());
  EXPECT_LT(BlockFilesOnDisk(), before);
  EXPECT_EQ(undo.GetNumStates(), 2);

  undo.ClearStates();
  EXPECT_EQ(BlockFilesOnDisk(), 0) << "nothing else held those blocks";
  EXPECT_EQ(undo.GetCurrentStateNumber(), 0);
}

TEST_F(UndoTest, SavingThenUndoingThenPushingLeavesChangesUnsaved) {
  SetAudio(100, 1);
  undo.PushState(&tracks, 0, 0, "a", "a");
  undo.PushState(&tracks, 0, 0, "b", "b");
  undo.StateSaved();
  double s0, s1;
  undo.Undo(&s0, &s1);
  undo.PushState(&tracks, 0, 0, "c", "c");
  EXPECT_TRUE(undo.UnsavedChanges());
  undo.Undo(&s0, &s1);
  EXPECT_TRUE(undo.UnsavedChanges()) << "the saved state is gone for good";
}

TEST_F(UndoTest, ConsolidatingPushesOfOneDescriptionMakeOneStateForEveryThree) {
  struct Case {
    std::vector<std::string> pushes;
    int states;
  };
  for (const Case& c : {Case{{"x", "x", "x", "x"}, 2}, Case{{"x", "x", "y", "x", "x"}, 3},
                        Case{{"x", "x", "x", "x", "x", "x", "x"}, 3}}) {
    undo.ClearStates();
    SetAudio(10, 1);
    for (const std::string& d : c.pushes) undo.PushState(&tracks, 0, 0, d, d, true);
    EXPECT_EQ(undo.GetNumStates(), c.states) << c.pushes.size() << " pushes";
  }
  // Moving through the history breaks a run.
  undo.ClearStates();
  undo.PushState(&tracks, 0, 0, "x", "x", true);
  undo.PushState(&tracks, 0, 0, "y", "y", true);
  double s0, s1;
  undo.Undo(&s0, &s1);
  undo.Redo(&s0, &s1);
  undo.PushState(&tracks, 0, 0, "y", "y", true);
  EXPECT_EQ(undo.GetNumStates(), 3);
}

TEST_F(UndoTest, SetStateToTakesTheSelectionOfTheEditThatLeftTheState) {
  SetAudio(10, 1);
  undo.PushState(&tracks, 1, 2, "a", "a");
  undo.PushState(&tracks, 3, 4, "b", "b");
  undo.PushState(&tracks, 5, 6, "c", "c");
  double s0 = 0, s1 = 0;
  ASSERT_NE(undo.SetStateTo(1, &s0, &s1), nullptr);
  EXPECT_EQ(undo.GetCurrentStateNumber(), 1);
  EXPECT_EQ(s0, 3);
  ASSERT_NE(undo.SetStateTo(3, &s0, &s1), nullptr);
  EXPECT_EQ(s0, 5) << "the last state has no later one: its own";
  EXPECT_EQ(undo.SetStateTo(4, &s0, &s1), nullptr);
  EXPECT_EQ(undo.SetStateTo(0, &s0, &s1), nullptr);
  EXPECT_EQ(undo.GetCurrentStateNumber(), 3);
}

}  // namespace
