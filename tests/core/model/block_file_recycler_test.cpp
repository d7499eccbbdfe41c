#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/model/BlockFileRecycler.h"
#include "core/model/DirManager.h"
#include "core/model/SimpleBlockFile.h"
#include "core/model/SystemUtils.h"
#include "tests/support/native/Files.h"
#include "tests/support/native/SmallDisk.h"
#include "tests/support/native/TempFolder.h"

namespace {

namespace fs = std::filesystem;

// The free room every disk reports while a test fakes it; false when it cannot be asked.
std::uint64_t g_fakeFree = 0;
bool g_fakeFreeKnown = true;
bool FakeFreeSpace(const std::string&, std::uint64_t* total, std::uint64_t* free) {
  if (total) *total = g_fakeFree * 2;
  if (free) *free = g_fakeFree;
  return g_fakeFreeKnown;
}

// A manager over a folder of its own; a second folder for blocks written elsewhere.
class BlockFileRecyclerTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder = tmp / "blocks";
    elsewhere = tmp / "elsewhere";
    fs::create_directory(folder);
    fs::create_directory(elsewhere);
    ASSERT_TRUE(DirManager::SetTempDir(folder.c_str()));
    dm = new DirManager;
  }
  void TearDown() override {
    if (dm) dm->Deref();
    EXPECT_FALSE(fs::exists(folder)) << "the last manager leaves no spare behind";
  }

  static std::vector<std::int16_t> Samples(int n, int step) {
    std::vector<std::int16_t> v(n);
    for (int i = 0; i < n; ++i) v[i] = static_cast<std::int16_t>((i * step) % 50000 - 25000);
    return v;
  }
  BlockFile* NewBlock(const std::vector<std::int16_t>& s) {
    return dm->NewSimpleBlockFile(reinterpret_cast<ConstSamplePtr>(s.data()), static_cast<int>(s.size()),
                                  SampleFormatInt16);
  }
  static ino_t Inode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
  }
  int FilesIn(const std::string& dir) const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir)) n += e.is_regular_file() ? 1 : 0;
    return n;
  }
  // Files that hold no room on the disk.
  int EmptyFilesIn(const std::string& dir) const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
      struct stat st {};
      n += e.is_regular_file() && ::stat(e.path().c_str(), &st) == 0 && st.st_blocks == 0 ? 1 : 0;
    }
    return n;
  }

  testsupport::TempFolder tmp;
  std::string folder, elsewhere;
  DirManager* dm = nullptr;
};

TEST_F(BlockFileRecyclerTest, ANewBlockIsWrittenIntoADeadBlocksFileAndReadsAsIfFresh) {
  // A long block dies; shorter and longer blocks after it must hold exactly their own
  // bytes, as a block written into a new file does.
  BlockFile* old = NewBlock(Samples(70000, 7));
  ASSERT_NE(old, nullptr);
  const std::string oldPath = old->GetFileName().GetFullPath();
  const ino_t oldInode = Inode(oldPath);
  dm->Deref(old);
  EXPECT_FALSE(FileExists(oldPath));
  EXPECT_EQ(BlockFileRecycler::SpareCount(), 1u);

  for (int length : {300, 90000}) {
    const auto s = Samples(length, 31);
    BlockFile* b = NewBlock(s);
    ASSERT_NE(b, nullptr);
    const std::string path = b->GetFileName().GetFullPath();
    if (length == 300) EXPECT_EQ(Inode(path), oldInode) << "the dead block's file is reused";
    EXPECT_EQ(BlockFileRecycler::SpareCount(), 0u);

    SimpleBlockFile fresh(CFileName(elsewhere + "/fresh"), reinterpret_cast<ConstSamplePtr>(s.data()), length,
                          SampleFormatInt16);
    EXPECT_EQ(testsupport::ReadBytes(path), testsupport::ReadBytes(fresh.GetFileName().GetFullPath()))
        << length;
    EXPECT_EQ(b->GetSpaceUsage(), fresh.GetSpaceUsage());
    std::vector<std::int16_t> back(length);
    EXPECT_EQ(b->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, length), length);
    EXPECT_EQ(back, s);
    dm->Deref(b);
  }
}

TEST_F(BlockFileRecyclerTest, OnlyUnlockedBlocksOfTheFolderAreKeptAndNoMoreThanTheLimit) {
  const auto s = Samples(100, 3);

  BlockFile* locked = NewBlock(s);
  const std::string lockedPath = locked->GetFileName().GetFullPath();
  locked->Lock();
  dm->Deref(locked);
  EXPECT_TRUE(FileExists(lockedPath)) << "a locked block's file belongs to a saved project";
  EXPECT_EQ(BlockFileRecycler::SpareCount(), 0u);
  RemoveFile(lockedPath);

  auto* other = new SimpleBlockFile(CFileName(elsewhere + "/other"),
                                    reinterpret_cast<ConstSamplePtr>(s.data()), 100, SampleFormatInt16);
  other->Deref();
  EXPECT_EQ(FilesIn(elsewhere), 0) << "a block of another folder is removed";
  EXPECT_EQ(BlockFileRecycler::SpareCount(), 0u);

  // The first spares keep their bytes, the next ones are kept empty, the rest go.
  const std::size_t most = BlockFileRecycler::kMaxSpares + BlockFileRecycler::kMaxEmptySpares;
  std::vector<BlockFile*> blocks;
  for (std::size_t i = 0; i < most + 5; ++i) blocks.push_back(NewBlock(s));
  for (BlockFile* b : blocks) dm->Deref(b);
  EXPECT_EQ(BlockFileRecycler::SpareCount(), most);
  EXPECT_EQ(BlockFileRecycler::FullSpareCount(), BlockFileRecycler::kMaxSpares);
  EXPECT_EQ(FilesIn(folder), static_cast<int>(most));
  EXPECT_EQ(EmptyFilesIn(folder), static_cast<int>(BlockFileRecycler::kMaxEmptySpares))
      << "only the first spares hold room on the disk";
}

TEST_F(BlockFileRecyclerTest, ANewBlockIsWrittenIntoAnEmptiedSpareWhenNoFullOneIsLeft) {
  const auto s = Samples(2000, 11);
  std::vector<BlockFile*> blocks;
  for (std::size_t i = 0; i < BlockFileRecycler::kMaxSpares + 1; ++i) blocks.push_back(NewBlock(s));
  const std::string lastPath = blocks.back()->GetFileName().GetFullPath();
  const ino_t lastInode = Inode(lastPath);
  for (BlockFile* b : blocks) dm->Deref(b);
  ASSERT_EQ(EmptyFilesIn(folder), 1);

  // The full spares go first; the block after them gets the emptied file.
  blocks.clear();
  for (std::size_t i = 0; i < BlockFileRecycler::kMaxSpares; ++i) blocks.push_back(NewBlock(Samples(10, 1)));
  EXPECT_EQ(BlockFileRecycler::SpareCount(), 1u);
  const auto fresh = Samples(700, 13);
  BlockFile* b = NewBlock(fresh);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(Inode(b->GetFileName().GetFullPath()), lastInode);
  EXPECT_EQ(BlockFileRecycler::SpareCount(), 0u);
  std::vector<std::int16_t> back(700);
  EXPECT_EQ(b->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, 700), 700);
  EXPECT_EQ(back, fresh);
  dm->Deref(b);
  for (BlockFile* f : blocks) dm->Deref(f);
}

TEST_F(BlockFileRecyclerTest, AFailedWriteGivesTheSparesRoomBackAndLeavesNoFile) {
  const auto small = Samples(1000, 5), big = Samples(100000, 5);
  std::vector<BlockFile*> blocks;
  for (int i = 0; i < 3; ++i) blocks.push_back(NewBlock(small));
  for (BlockFile* b : blocks) dm->Deref(b);
  ASSERT_EQ(BlockFileRecycler::SpareCount(), 3u);
  {
    testsupport::FileSizeLimit limit(64 * 1024);  // the big block does not fit, even in a spare
    EXPECT_EQ(NewBlock(big), nullptr);
    EXPECT_EQ(BlockFileRecycler::SpareCount(), 0u);
    EXPECT_EQ(FilesIn(folder), 0);
    BlockFile* b = NewBlock(small);
    ASSERT_NE(b, nullptr) << "what fits is still written";
    dm->Deref(b);
  }
}

TEST_F(BlockFileRecyclerTest, SparesCleanedFromTheFolderAreSkipped) {
  // Spares are "ZQ$" files: a cleaning of the folder (a crashed run's leftovers)
  // removes them, and new blocks are then written into new files.
  const auto s = Samples(500, 9);
  dm->Deref(NewBlock(s));
  dm->Deref(NewBlock(s));
  ASSERT_EQ(FilesIn(folder), 1);
  DirManager::CleanTempDir();
  EXPECT_EQ(FilesIn(folder), 0);
  BlockFile* b = NewBlock(s);
  ASSERT_NE(b, nullptr);
  std::vector<std::int16_t> back(500);
  EXPECT_EQ(b->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, 500), 500);
  EXPECT_EQ(back, s);
  EXPECT_EQ(FilesIn(folder), 1);
  dm->Deref(b);
}

TEST_F(BlockFileRecyclerTest, SparesKeepTheirBytesWhileTheyHoldNoMoreThanAShareOfTheDisksRoom) {
  const auto s = Samples(20000, 17);
  BlockFile* probe = NewBlock(s);
  ASSERT_NE(probe, nullptr);
  const std::uint64_t bytes = fs::file_size(probe->GetFileName().GetFullPath());
  dm->Deref(probe);
  BlockFileRecycler::Clear();

  // A spare keeps its bytes when all full spares together then hold at most an eighth
  // of the room the disk reports, theirs included.
  struct Case {
    std::uint64_t free;
    bool known;
    std::size_t full;  // of ten dead blocks
  };
  const std::uint64_t share = BlockFileRecycler::kFreeShare;
  const Case cases[] = {
      {0, true, 0},
      {share * bytes - 1, true, 0},
      {share * bytes, true, 1},
      {3 * share * bytes + share - 1, true, 3},
      {1ull << 40, true, 10},
      {1ull << 40, false, 0},  // the room cannot be asked: nothing is held
  };
  const DiskFreeSpaceFunction before = SetDiskFreeSpaceFunction(FakeFreeSpace);
  for (const Case& c : cases) {
    g_fakeFree = c.free;
    g_fakeFreeKnown = c.known;
    std::vector<BlockFile*> blocks;
    for (int i = 0; i < 10; ++i) blocks.push_back(NewBlock(s));
    for (BlockFile* b : blocks) dm->Deref(b);
    EXPECT_EQ(BlockFileRecycler::SpareCount(), 10u) << c.free;
    EXPECT_EQ(BlockFileRecycler::FullSpareCount(), c.full) << c.free;
    EXPECT_EQ(BlockFileRecycler::FullSpareBytes(), c.full * bytes) << c.free;
    EXPECT_EQ(EmptyFilesIn(folder), static_cast<int>(10 - c.full)) << c.free;

    // Every spare is taken again, the full ones first, and reads as a fresh block.
    const auto fresh = Samples(20000, 29);
    for (int i = 0; i < 10; ++i) {
      BlockFile* b = NewBlock(fresh);
      ASSERT_NE(b, nullptr);
      blocks[i] = b;
      EXPECT_EQ(BlockFileRecycler::FullSpareCount(),
                c.full > static_cast<std::size_t>(i) ? c.full - i - 1 : 0);
    }
    EXPECT_EQ(BlockFileRecycler::FullSpareBytes(), 0u);
    for (BlockFile* b : blocks) {
      std::vector<std::int16_t> back(fresh.size());
      EXPECT_EQ(b->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, 20000), 20000);
      EXPECT_EQ(back, fresh);
      b->Lock();  // gone with the test's folder, not kept for the next case
      dm->Deref(b);
    }
    for (const auto& e : fs::directory_iterator(folder)) fs::remove(e.path());
  }
  SetDiskFreeSpaceFunction(before);
}

TEST_F(BlockFileRecyclerTest, TheRoomFullSparesHoldCountsAsFreeOnTheirDiskOnly) {
  std::vector<BlockFile*> blocks;
  for (int i = 0; i < 5; ++i) blocks.push_back(NewBlock(Samples(30000, 3)));
  EXPECT_EQ(BlockFileRecycler::FullSpareBytesOn(folder), 0u);
  for (BlockFile* b : blocks) dm->Deref(b);
  const std::uint64_t held = BlockFileRecycler::FullSpareBytes();
  ASSERT_EQ(BlockFileRecycler::FullSpareCount(), 5u);
  EXPECT_EQ(held, 5 * fs::file_size(fs::directory_iterator(folder)->path()));
  EXPECT_EQ(BlockFileRecycler::FullSpareBytesOn(folder), held);
  EXPECT_EQ(BlockFileRecycler::FullSpareBytesOn(tmp.path()), held) << "the same disk";
  EXPECT_EQ(BlockFileRecycler::FullSpareBytesOn("/proc"), 0u) << "another file system";
  EXPECT_EQ(BlockFileRecycler::FullSpareBytesOn("/no/such/folder"), 0u);
  std::uint64_t free = 0;
  ASSERT_TRUE(GetDiskFreeSpace64(folder, nullptr, &free));
  EXPECT_GE(free, held);
  BlockFileRecycler::Clear();
  EXPECT_EQ(BlockFileRecycler::FullSpareBytesOn(folder), 0u);
}

// On a disk that fills up for real, spares that hold room give it back when a block
// does not fit, and the block is written into that room instead of being lost.
TEST(BlockFileRecyclerDiskFull, ABlockThatMeetsAFullDiskIsWrittenIntoTheRoomTheSparesGiveBack) {
  constexpr int kSmall = 20000, kBig = 400000;  // 16-bit samples: about 40 KB and 800 KB
  const testsupport::ChildResult r =
      testsupport::RunOnSmallDisk(8 << 20, [](const std::string& disk) -> std::vector<std::int64_t> {
        const std::string folder = disk + "/blocks";
        if (!fs::create_directory(folder) || !DirManager::SetTempDir(folder.c_str())) return {};
        auto* dm = new DirManager;
        auto samples = [](int n) {
          std::vector<std::int16_t> v(n);
          for (int i = 0; i < n; ++i)
            v[i] = static_cast<std::int16_t>((std::int64_t{i} * 7919) % 60001 - 30000);
          return v;
        };
        const auto small = samples(kSmall), big = samples(kBig);
        std::vector<BlockFile*> blocks;
        for (int i = 0; i < 40; ++i)
          blocks.push_back(dm->NewSimpleBlockFile(reinterpret_cast<ConstSamplePtr>(small.data()), kSmall,
                                                  SampleFormatInt16));
        for (BlockFile* b : blocks) dm->Deref(b);
        const std::int64_t held = static_cast<std::int64_t>(BlockFileRecycler::FullSpareBytes());
        // Less room left than the big block needs, but enough with what the spares hold.
        if (!testsupport::LeaveFree(disk, 600 << 10)) return {};
        const std::int64_t freeBefore = testsupport::FreeBytes(disk);
        BlockFile* b =
            dm->NewSimpleBlockFile(reinterpret_cast<ConstSamplePtr>(big.data()), kBig, SampleFormatInt16);
        std::int64_t wrong = -1;
        if (b) {
          std::vector<std::int16_t> back(kBig);
          wrong = b->ReadData(reinterpret_cast<SamplePtr>(back.data()), SampleFormatInt16, 0, kBig) == kBig
                      ? std::int64_t(back != big)
                      : 1;
          dm->Deref(b);
        }
        const std::int64_t spares = static_cast<std::int64_t>(BlockFileRecycler::SpareCount());
        dm->Deref();
        return {held, freeBefore, b ? 1 : 0, wrong, spares};
      });
  if (!r.available) GTEST_SKIP() << "no small disk here: " << r.why;
  ASSERT_EQ(r.numbers.size(), 5u) << "the blocks could not be set up on the small disk";
  const std::int64_t bigFile = 24 + 2 * kBig;
  EXPECT_GT(r.numbers[0], 0) << "some spares held room";
  EXPECT_LT(r.numbers[1], bigFile) << "the big block did not fit in the free room alone";
  EXPECT_EQ(r.numbers[2], 1) << "the big block was written";
  EXPECT_EQ(r.numbers[3], 0) << "and reads back whole";
  EXPECT_LE(r.numbers[4], 1) << "the spares gave their room back";
}

}  // namespace
