#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/model/DirManager.h"
#include "core/model/SilentBlockFile.h"
#include "core/model/SystemUtils.h"
#include "tests/support/native/TempFolder.h"
#include "tests/support/native/Files.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/Progress.h"
#include "tests/support/native/FakeClock.h"
#include "tests/support/native/RecordedMessageBoxes.h"
#include "tests/support/native/RecordedProgress.h"

namespace {

namespace fs = std::filesystem;

// Every test works in a temporary folder of its own.
class DirManagerTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder = tmp / "blocks";
    fs::create_directory(folder);
    ASSERT_TRUE(DirManager::SetTempDir(folder.c_str()));
    ASSERT_EQ(DirManager::GetLiveCount(), 0);
  }
  void TearDown() override { EXPECT_EQ(DirManager::GetLiveCount(), 0) << "a manager was left alive"; }

  std::vector<std::int16_t> Samples(int n) {
    std::vector<std::int16_t> v(n);
    for (int i = 0; i < n; ++i) v[i] = static_cast<std::int16_t>(i * 13);
    return v;
  }

  testsupport::TempFolder tmp;
  std::string folder;
};

TEST_F(DirManagerTest, BlocksGetSuccessiveNamesInTheTemporaryFolder) {
  auto* dm = new DirManager;
  const auto s = Samples(100);
  BlockFile* a = dm->NewSimpleBlockFile(reinterpret_cast<ConstSamplePtr>(s.data()), 100, SampleFormatInt16);
  BlockFile* b = dm->NewSimpleBlockFile(reinterpret_cast<ConstSamplePtr>(s.data()), 100, SampleFormatInt16);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  const std::string na = a->GetFileName().GetName(), nb = b->GetFileName().GetName();
  ASSERT_EQ(na.size(), 8u);
  EXPECT_EQ(na[0], '$');
  EXPECT_EQ(std::stoi(nb.substr(1)), std::stoi(na.substr(1)) + 1);
  EXPECT_EQ(a->GetFileName().GetFullPath(), folder + "/" + na + ".tmp");
  EXPECT_TRUE(FileExists(folder + "/" + na + ".tmp"));
  EXPECT_TRUE(dm->ContainsBlockFile(na));

  // A folder given with its trailing separator gives the same paths.
  ASSERT_TRUE(DirManager::SetTempDir((folder + "/").c_str()));
  BlockFile* c = dm->NewSimpleBlockFile(reinterpret_cast<ConstSamplePtr>(s.data()), 100, SampleFormatInt16);
  EXPECT_EQ(c->GetFileName().GetFullPath(), folder + "/" + c->GetFileName().GetName() + ".tmp");
  EXPECT_EQ(dm->MakeBlockFileName("D:\\tmp\\").GetFullPath().substr(0, 8), "D:\\tmp\\$");

  dm->Deref(a);
  EXPECT_FALSE(dm->ContainsBlockFile(na)) << "a dead block's name is forgotten";
  EXPECT_FALSE(FileExists(folder + "/" + na + ".tmp"));
  dm->Deref(b);
  dm->Deref(c);
  dm->Deref();
}

TEST_F(DirManagerTest, CopyingSharesUnlockedBlocksAndCopiesLockedOnes) {
  auto* dm = new DirManager;
  const auto s = Samples(500);
  BlockFile* a = dm->NewSimpleBlockFile(reinterpret_cast<ConstSamplePtr>(s.data()), 500, SampleFormatInt16);
  EXPECT_EQ(dm->CopyBlockFile(a), a);
  EXPECT_EQ(a->GetRefCount(), 2);
  dm->Deref(a);

  a->Lock();
  BlockFile* copy = dm->CopyBlockFile(a);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, a);
  EXPECT_EQ(a->GetRefCount(), 1);
  EXPECT_NE(copy->GetFileName().GetFullPath(), a->GetFileName().GetFullPath());
  EXPECT_EQ(copy->GetFileName().GetExt(), ".tmp");
  EXPECT_EQ(testsupport::ReadBytes(copy->GetFileName().GetFullPath()),
            testsupport::ReadBytes(a->GetFileName().GetFullPath()));
  EXPECT_TRUE(dm->ContainsBlockFile(copy->GetFileName().GetName()));
  std::vector<std::int16_t> back(500);
  EXPECT_EQ(copy->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, 500), 500);
  EXPECT_EQ(back, s);

  // A locked block without a file (silence) is copied without any file.
  auto* silent = new SilentBlockFile(300);
  silent->Lock();
  BlockFile* silentCopy = dm->CopyBlockFile(silent);
  ASSERT_NE(silentCopy, nullptr);
  EXPECT_EQ(silentCopy->GetLength(), 300);

  // A copy that fails on disk gives null.
  const std::string path = a->GetFileName().GetFullPath();
  ASSERT_TRUE(RemoveFile(path));
  EXPECT_EQ(dm->CopyBlockFile(a), nullptr);

  dm->Deref(a);
  dm->Deref(copy);
  dm->Deref(silent);
  dm->Deref(silentCopy);
  dm->Deref();
}

TEST_F(DirManagerTest, ABlockThatCannotBeWrittenIsRefused) {
  auto* dm = new DirManager;
  testsupport::WriteBytes(tmp / "notafolder", {0});
  ASSERT_TRUE(DirManager::SetTempDir((tmp / "notafolder/blocks").c_str()));
  const auto s = Samples(100);
  EXPECT_EQ(dm->NewSimpleBlockFile(reinterpret_cast<ConstSamplePtr>(s.data()), 100, SampleFormatInt16),
            nullptr);
  EXPECT_EQ(dm->NewAliasBlockFile(tmp / "missing.wav", 0, 100, 0), nullptr);
  dm->Deref();
  ASSERT_TRUE(DirManager::SetTempDir(folder.c_str()));
}

TEST_F(DirManagerTest, TemporaryFolderChoiceAndLowSpaceWarning) {
  testsupport::RecordedMessageBoxes boxes;
  ASSERT_TRUE(DirManager::SetTempDir(nullptr));
  EXPECT_EQ(DirManager::GetTempDir(), fs::temp_directory_path().string());
  EXPECT_FALSE(DirManager::SetTempDir(""));
  ASSERT_EQ(boxes.Texts().size(), 1u);
  EXPECT_EQ(boxes.Texts()[0],
            "Tarvel could not find a place to store temporary files.\n \t\t               Please "
            "enter an appropriate directory in the options dialog.");
  ASSERT_TRUE(DirManager::SetTempDir(folder.c_str()));

  static std::uint64_t freeBytes;
  auto fake = [](const std::string&, std::uint64_t* total, std::uint64_t* free) {
    if (total) *total = 1ull << 40;
    if (free) *free = freeBytes;
    return true;
  };
  DiskFreeSpaceFunction previous = SetDiskFreeSpaceFunction(fake);
  freeBytes = 1048576;
  (new DirManager)->Deref();
  EXPECT_EQ(boxes.Texts().size(), 1u) << "exactly 1 MiB free is enough";
  freeBytes = 1048575;
  (new DirManager)->Deref();
  SetDiskFreeSpaceFunction(previous);
  ASSERT_EQ(boxes.Texts().size(), 2u);
  EXPECT_EQ(boxes.Texts()[1],
            "Warning: there is very little free disk space left on this volume. Please select another "
            "temporary directory in your 'File Output' sub-dialog of 'Options' dialog.");
}

// Two projects of one running copy share the temporary folder: the first one to go
// must leave it, and the blocks of the other, alone.
TEST_F(DirManagerTest, TheFolderStaysWhileAnyProjectUsesItAndComesBackForTheNext) {
  const auto s = Samples(100);
  testsupport::WriteBytes(folder + "/ZQ$stale", {1});
  testsupport::WriteBytes(folder + "/keep.me", {1});

  auto* first = new DirManager;
  auto* second = new DirManager;
  first->Ref();  // say, a track that outlives the project's own reference
  BlockFile* mine =
      second->NewSimpleBlockFile(reinterpret_cast<ConstSamplePtr>(s.data()), 100, SampleFormatInt16);
  const std::string minePath = mine->GetFileName().GetFullPath();
  first->Deref();
  EXPECT_EQ(DirManager::GetLiveCount(), 2) << "a referenced manager lives on";
  first->Deref();
  EXPECT_EQ(DirManager::GetLiveCount(), 1);
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_TRUE(FileExists(minePath));
  EXPECT_TRUE(FileExists(folder + "/ZQ$stale")) << "cleaning waits for the last manager";

  second->Deref(mine);
  second->Deref();
  EXPECT_FALSE(FileExists(folder + "/ZQ$stale"));
  EXPECT_TRUE(FileExists(folder + "/keep.me")) << "only the stale files are deleted";
  EXPECT_TRUE(DirectoryExists(folder)) << "a folder with other files is not removed";

  RemoveFile(folder + "/keep.me");
  (new DirManager)->Deref();
  EXPECT_FALSE(DirectoryExists(folder)) << "the last manager removes the empty folder";

  // The next project (a new document) still has a folder for its blocks.
  auto* next = new DirManager;
  BlockFile* b = next->NewSimpleBlockFile(reinterpret_cast<ConstSamplePtr>(s.data()), 100, SampleFormatInt16);
  ASSERT_NE(b, nullptr);
  next->Deref(b);
  next->Deref();
}

TEST_F(DirManagerTest, TheSystemTemporaryFolderIsNeverRemoved) {
  // An empty folder standing in for the system's, chosen through TMPDIR.
  const std::string system = tmp / "systemtmp";
  fs::create_directory(system);
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  setenv("TMPDIR", system.c_str(), 1);
  ASSERT_TRUE(DirManager::SetTempDir(nullptr));
  (new DirManager)->Deref();
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
  EXPECT_TRUE(DirectoryExists(system));
  ASSERT_TRUE(DirManager::SetTempDir(folder.c_str()));
}

int CountFiles(const std::string& folder) {
  int n = 0;
  for (auto& e : fs::directory_iterator(folder)) n += e.is_regular_file();
  return n;
}

TEST_F(DirManagerTest, ASlowCleanUpShowsProgressAndCanBeCancelled) {
  for (int i = 0; i < 40; ++i) testsupport::WriteBytes(folder + "/ZQ$" + std::to_string(i), {0});

  {
    testsupport::RecordedProgress progress;
    progress.log.cancelAfterPumps = 10;
    {
      testsupport::FakeClock clock(100, 100);  // every look at the clock: 100 ms later
      DirManager::CleanTempDir();
    }
    const auto& log = progress.log;
    EXPECT_EQ(log.created, 1);
    EXPECT_EQ(log.shows, 1);
    EXPECT_EQ(log.caption, "Progress");
    EXPECT_EQ(log.text, "\nCleaning up temporary files...");
    EXPECT_EQ(log.lower, 0);
    EXPECT_EQ(log.upper, 1000);
    EXPECT_EQ(log.step, 1);
    EXPECT_EQ(log.pumps, 10) << "stopped at the cancel";
    EXPECT_EQ(log.pumpsEscapeDoesNotCancel, 0) << "Escape cancels the clean-up";
    EXPECT_EQ(log.hides, 1);
    // The window came once more than 500 ms had passed, after the 6th file, and the
    // cancel was seen after the 15th.
    EXPECT_EQ(log.LastPosition(), 15 * 1000 / 40);
    EXPECT_EQ(CountFiles(folder), 40 - 15) << "files after the cancel stay on disk";
  }
  {
    testsupport::RecordedProgress progress;
    {
      testsupport::FakeClock clock(42);  // the clock stands still
      DirManager::CleanTempDir();
    }
    EXPECT_EQ(progress.log.created, 0) << "a quick clean-up shows no window";
    EXPECT_EQ(CountFiles(folder), 0);
  }
}

}  // namespace
