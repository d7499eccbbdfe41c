// The program's start and exit over the portable pieces, in the program's order: the
// copy's slot and folder, the engine, the clipboard, one project (empty, or holding a
// file) closed as the document closes it, then the clipboard, the engine and the slot.
// Under the sanitizers this catches memory touched after it went away on the way out.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/AdvanceRecordSetting.h"
#include "core/engine/AudioIO.h"
#include "core/instances/InstanceManager.h"
#include "core/model/DirManager.h"
#include "core/model/Track.h"
#include "core/model/TrackList.h"
#include "core/project/Project.h"
#include "tests/support/native/TempFolder.h"

namespace {

std::string MakeStereoWav(const testsupport::TempFolder& dir) {
  std::string path = dir / "take.wav";
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  EXPECT_NE(f, nullptr);
  std::vector<short> data(44100 * 2, 1000);
  sf_writef_short(f, data.data(), 44100);
  sf_close(f);
  return path;
}

// A project that keeps its history as the document does: every import is a state, and
// clearing starts the history over with one state.
class DocumentLikeProject : public Project {
public:
  void Import(const std::string& fileName, Track** tracks, int count) override {
    Project::Import(fileName, tracks, count);
    PushState("Imported", "Import", false, &mSelection);
  }
  void Clear() override {
    GetUndoManager()->ClearStates();
    Project::Clear();
    mSelection = Selection();
    Project::PushState("New File...", "New File...", false, &mSelection);
    GetUndoManager()->StateSaved();
  }
  Selection mSelection;
};

TEST(ProgramExit, EveryPieceGoesInTheProgramsOrder) {
  // No sound server here: the engine comes up without devices, as on a bare machine.
  ::unsetenv("PULSE_SERVER");
  enum class Use { kEmpty, kOpenedFile, kCopiedToTheClipboard };
  struct Case {
    const char* name;
    Use use;
  } cases[] = {
      {"empty", Use::kEmpty},
      {"after opening a file", Use::kOpenedFile},
      {"after copying to the clipboard", Use::kCopiedToTheClipboard},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::TempFolder temp;
    testsupport::TempFolder files;
    const int managersBefore = DirManager::GetLiveCount();
    {
      CInstanceManager instances("TarvelExitTest");
      ASSERT_TRUE(instances.Startup(temp.path()));
      ASSERT_TRUE(DirManager::SetTempDir(instances.GetInstanceDir().c_str()));
      AdvanceRecordSetting settings;
      CreateAudioIO(&settings);
      ASSERT_NE(gAudioIO, nullptr);
      CreateClipboardTrackList();

      auto project = std::make_unique<DocumentLikeProject>();
      project->InitialUndoState(&project->mSelection);
      if (c.use != Use::kEmpty) {
        std::string error;
        ASSERT_TRUE(project->OpenFile(MakeStereoWav(files), &error)) << error;
      }
      if (c.use == Use::kCopiedToTheClipboard) {
        TrackListIterator it(project->GetTracks());
        for (Track* t = it.First(); t; t = it.Next()) GetClipboardTracks()->Add(t->Duplicate());
        SetClipboardLength(1.0);
      }

      // The document's close clears it, then deletes it.
      project->Clear();
      project.reset();
      DestroyClipboardTrackList();
      DestroyAudioIO();
      EXPECT_EQ(gAudioIO, nullptr);
    }
    EXPECT_EQ(DirManager::GetLiveCount(), managersBefore) << "every block manager is gone";
  }
}

}  // namespace
