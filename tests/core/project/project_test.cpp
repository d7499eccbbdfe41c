// The project over real imports and block files: rates, paste rules, the one-recording
// rule and undo/redo through the project.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/AdvanceRecordSetting.h"
#include "core/engine/AudioIO.h"
#include "core/model/BlockFileRecycler.h"
#include "core/model/DirManager.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "core/project/Project.h"
#include "tests/support/native/FakeClock.h"
#include "tests/support/native/Files.h"
#include "tests/support/native/Programs.h"
#include "tests/support/native/RecordedProgress.h"
#include "tests/support/native/TempFolder.h"
#include "audiofiles/import/ImportWorkers.h"

namespace {

// Writes a 16-bit WAV of `frames` frames whose channel c holds the constant 1000*(c+1).
std::string MakeWav(const testsupport::TempFolder& dir, const std::string& name, int rate, int channels,
                    int frames) {
  std::string path = dir / name;
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  EXPECT_NE(f, nullptr);
  std::vector<short> data(static_cast<size_t>(frames) * channels);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) data[static_cast<size_t>(i) * channels + c] = 1000 * (c + 1);
  sf_writef_short(f, data.data(), frames);
  sf_close(f);
  return path;
}

std::vector<WaveTrack*> Waves(const Project& p) { return p.GetTracks()->GetWaveTrackArray(false); }

// The block files in a folder and below it, without the spares kept for new blocks.
int BlockFilesIn(const std::string& folder) {
  int count = 0;
  std::error_code ec;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ec))
    if (entry.is_regular_file(ec) && !BlockFileRecycler::IsSpareName(entry.path().filename().string()))
      ++count;
  return count;
}

short FirstSample(WaveTrack* t) {
  short s = 0;
  t->Get(reinterpret_cast<SamplePtr>(&s), SampleFormatInt16, 0, 1);
  return s;
}

class ProjectTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(DirManager::SetTempDir(blocks.path().c_str()));
    CreateClipboardTrackList();
  }
  void TearDown() override { DestroyClipboardTrackList(); }

  testsupport::TempFolder files;
  testsupport::TempFolder blocks;
};

TEST_F(ProjectTest, TheFirstImportSetsTheRateAndLaterOnesKeepIt) {
  Project project;
  std::string error;
  ASSERT_TRUE(project.OpenFile(MakeWav(files, "first.wav", 22050, 1, 2205), &error)) << error;
  EXPECT_EQ(project.GetRate(), 22050.0);
  auto waves = Waves(project);
  ASSERT_EQ(waves.size(), 1u);
  EXPECT_EQ(waves[0]->GetName(), "first");
  EXPECT_TRUE(waves[0]->GetSelected());

  ASSERT_TRUE(project.OpenFile(MakeWav(files, "second.wav", 8000, 1, 800), &error));
  EXPECT_EQ(project.GetRate(), 22050.0) << "a project with tracks keeps its rate";
  EXPECT_EQ(Waves(project).size(), 2u);
  EXPECT_FALSE(waves[0]->GetSelected()) << "an import selects only the new tracks";
}

TEST_F(ProjectTest, AStereoImportIntoAFullProjectReplacesItWithBothChannels) {
  Project project;
  ASSERT_TRUE(project.OpenFile(MakeWav(files, "a.wav", 44100, 1, 100)));
  ASSERT_TRUE(project.OpenFile(MakeWav(files, "b.wav", 44100, 1, 100)));
  ASSERT_TRUE(project.OpenFile(MakeWav(files, "stereo.wav", 44100, 2, 100)));
  auto waves = Waves(project);
  ASSERT_EQ(waves.size(), 2u) << "both channels of the new audio arrive";
  EXPECT_EQ(FirstSample(waves[0]), 1000);
  EXPECT_EQ(FirstSample(waves[1]), 2000);
  EXPECT_EQ(waves[0]->GetName(), "stereo");
}

TEST_F(ProjectTest, AFileNobodyCanReadLeavesTheProjectAsItWas) {
  Project project;
  ASSERT_TRUE(project.OpenFile(MakeWav(files, "kept.wav", 44100, 1, 100)));
  std::string junk = files / "junk.wav";
  testsupport::WriteBytes(junk, {'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o'});
  std::string error;
  EXPECT_FALSE(project.OpenFile(junk, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Waves(project).size(), 1u);
}

TEST_F(ProjectTest, PasteFollowsTheSelection) {
  Project source;
  ASSERT_TRUE(source.OpenFile(MakeWav(files, "clip.wav", 1000, 1, 500)));
  // The clipboard: a copy of the first half second.
  Track* copy = nullptr;
  ASSERT_TRUE(Waves(source)[0]->Copy(0.0, 0.5, &copy));
  GetClipboardTracks()->Add(copy);
  SetClipboardLength(0.5);

  // Nothing selected: the clipboard becomes new tracks, selected, 0 .. length.
  Project empty;
  Selection sel{0.2, 0.2};
  empty.Paste(&sel);
  ASSERT_EQ(Waves(empty).size(), 1u);
  EXPECT_EQ(Waves(empty)[0]->GetNumSamples(), 500);
  EXPECT_TRUE(Waves(empty)[0]->GetSelected());
  EXPECT_EQ(sel.t0, 0.0);
  EXPECT_EQ(sel.t1, 0.5);

  // Two selected tracks, one clipboard track: only the first selected one takes it.
  Project two;
  ASSERT_TRUE(two.OpenFile(MakeWav(files, "one.wav", 1000, 1, 1000)));
  ASSERT_TRUE(two.OpenFile(MakeWav(files, "two.wav", 1000, 1, 1000)));
  for (WaveTrack* t : Waves(two)) t->SetSelected(true);
  sel = {0.1, 0.1};
  two.Paste(&sel);
  EXPECT_EQ(Waves(two)[0]->GetNumSamples(), 1500);
  EXPECT_EQ(Waves(two)[1]->GetNumSamples(), 1000);
  EXPECT_DOUBLE_EQ(sel.t1, 0.6);

  // A non-empty selection is deleted first.
  sel = {0.0, 0.25};
  two.Paste(&sel);
  EXPECT_EQ(Waves(two)[0]->GetNumSamples(), 1500 - 250 + 500);
}

TEST_F(ProjectTest, UndoAndRedoWalkThroughTheEdits) {
  Project project;
  ASSERT_TRUE(project.OpenFile(MakeWav(files, "edit.wav", 1000, 1, 1000)));
  Selection sel{0, 0};
  project.InitialUndoState(&sel);
  EXPECT_FALSE(project.IsModified());

  struct Step {
    double t0, t1;
    std::int64_t lengthAfter;
  };
  const Step steps[] = {{0.0, 0.1, 900}, {0.5, 0.7, 700}, {0.0, 0.35, 350}};
  for (const Step& s : steps) {
    sel = {s.t0, s.t1};
    project.DeleteSelection(&sel);
    project.PushState("Deleted", "Delete", false, &sel);
    EXPECT_EQ(Waves(project)[0]->GetNumSamples(), s.lengthAfter);
  }
  EXPECT_TRUE(project.IsModified());
  for (int i = 2; i >= 0; --i) {
    ASSERT_TRUE(project.Undo(&sel));
    EXPECT_EQ(Waves(project)[0]->GetNumSamples(), i == 0 ? 1000 : steps[i - 1].lengthAfter);
  }
  EXPECT_FALSE(project.Undo(&sel));
  ASSERT_TRUE(project.Redo(&sel));
  ASSERT_TRUE(project.Redo(&sel));
  EXPECT_EQ(Waves(project)[0]->GetNumSamples(), 700);
  project.SetStateTo(4, &sel);
  EXPECT_EQ(Waves(project)[0]->GetNumSamples(), 350);
}

TEST_F(ProjectTest, WithoutAnEngineNothingPlaysOrRecordsAndTheAudioStays) {
  Project project;
  ASSERT_TRUE(project.OpenFile(MakeWav(files, "still.wav", 1000, 1, 100)));
  EXPECT_FALSE(project.Record());
  EXPECT_FALSE(project.Play());
  EXPECT_EQ(Waves(project).size(), 1u);
}

TEST_F(ProjectTest, ARecordingThatCannotStartLeavesTheAudioAsItWas) {
  // No sound server and no sound card here: the engine cannot open a capture stream.
  ::unsetenv("PULSE_SERVER");
  AdvanceRecordSetting settings;
  CreateAudioIO(&settings);
  ASSERT_NE(gAudioIO, nullptr);
  {
    Project project;
    ASSERT_TRUE(project.OpenFile(MakeWav(files, "keep.wav", 1000, 2, 100)));
    EXPECT_FALSE(project.Record());
    auto waves = Waves(project);
    ASSERT_EQ(waves.size(), 2u);
    EXPECT_EQ(waves[0]->GetNumSamples(), 100);
    EXPECT_FALSE(gAudioIO->IsBusy()) << "the engine is free for the next try";
  }
  DestroyAudioIO();
}

// Cancel in the progress window in the middle of a long import, decoded in stretches
// or stored by helper threads: the project keeps its audio as it was, and no block of
// the import is left in the temporary folder.
TEST_F(ProjectTest, CancellingALongImportLeavesTheProjectAsItWas) {
  ImportConcurrency helped;
  helped.threads = 3;
  helped.stretchSamples = 20000;
  helped.minParallelSamples = 0;
  helped.minHelpedSamples = 0;
  const ImportConcurrency saved = GetImportConcurrency();
  SetImportConcurrency(helped);

  std::vector<std::string> longFiles = {MakeWav(files, "long.wav", 44100, 2, 2500000)};
  if (testsupport::HaveProgram("oggenc") &&
      testsupport::Shell("oggenc -Q " + longFiles[0] + " -o " + (files / "long.ogg")))
    longFiles.push_back(files / "long.ogg");
  for (const std::string& path : longFiles) {
    SCOPED_TRACE(path);
    Project project;
    ASSERT_TRUE(project.OpenFile(MakeWav(files, "kept.wav", 22050, 1, 3000)));
    const int blocksBefore = BlockFilesIn(blocks.path());

    // Every reading of the clock moves it on, so the window shows at once; the user
    // cancels after a few of its message pumps.
    testsupport::FakeClock clock(0, 300);
    testsupport::RecordedProgress progress;
    progress.log.cancelAfterPumps = 3;
    std::string error = "unchanged";
    EXPECT_FALSE(project.OpenFile(path, &error));
    EXPECT_EQ(progress.log.created, 1) << "the progress window showed";
    EXPECT_GE(progress.log.pumps, 3);
    EXPECT_LT(progress.log.LastPosition(), 900) << "cancelled in the middle";

    auto waves = Waves(project);
    ASSERT_EQ(waves.size(), 1u);
    EXPECT_EQ(waves[0]->GetName(), "kept");
    EXPECT_EQ(waves[0]->GetNumSamples(), 3000);
    EXPECT_EQ(FirstSample(waves[0]), 1000);
    EXPECT_EQ(project.GetRate(), 22050.0);
    EXPECT_EQ(BlockFilesIn(blocks.path()), blocksBefore) << "blocks of the import stayed";
  }
  SetImportConcurrency(saved);
}

TEST_F(ProjectTest, TheClipboardFileOfAnotherCopyBecomesTheClipboard) {
  Project project;
  double rate = 0;
  ASSERT_TRUE(project.PasteFromClipboardFile(MakeWav(files, "$ZQY#Clipboard.wav", 8000, 2, 4000), &rate));
  EXPECT_EQ(rate, 8000.0);
  EXPECT_EQ(GetClipboardTracks()->GetWaveCount(), 2);
  EXPECT_DOUBLE_EQ(GetClipboardLength(), 0.5);
}

}  // namespace
