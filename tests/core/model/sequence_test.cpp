#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>
#include <vector>

#include "core/model/BlockFileRecycler.h"
#include "core/model/DirManager.h"
#include "core/model/Sequence.h"
#include "core/model/SystemUtils.h"
#include "tests/support/native/TrackProject.h"
#include "tests/support/native/Files.h"

namespace {

namespace fs = std::filesystem;

class SequenceTest : public ::testing::Test {
protected:
  void TearDown() override {
    Sequence::SetMaxDiskBlockSize(1032192);
    project.Close();
    EXPECT_EQ(DirManager::GetLiveCount(), 0);
  }

  // Small blocks: 16-bit sequences then hold 16 to 32 samples a block.
  void UseSmallBlocks() { Sequence::SetMaxDiskBlockSize(64); }

  static std::vector<std::int16_t> Contents(const Sequence& s) {
    std::vector<std::int16_t> out(s.GetNumSamples());
    EXPECT_TRUE(s.Get(reinterpret_cast<SamplePtr>(out.data()), SampleFormatInt16, 0, s.GetNumSamples()));
    return out;
  }

  static std::vector<std::int16_t> Ramp(int n, int first) {
    std::vector<std::int16_t> v(n);
    std::iota(v.begin(), v.end(), static_cast<std::int16_t>(first));
    return v;
  }

  static bool Append(Sequence& s, const std::vector<std::int16_t>& v) {
    return s.Append(reinterpret_cast<ConstSamplePtr>(v.data()), SampleFormatInt16,
                    static_cast<int>(v.size()));
  }

  static std::vector<int> Lengths(const Sequence& s) {
    std::vector<int> out;
    for (const WaveBlock& b : s.GetBlockArray()) out.push_back(b.f->GetLength());
    return out;
  }

  // The array is consistent and no block passes the maximum.
  static void ExpectWellFormed(const Sequence& s) {
    EXPECT_TRUE(s.ConsistencyCheck("test"));
    for (const WaveBlock& b : s.GetBlockArray()) {
      EXPECT_GE(b.f->GetLength(), 1);
      EXPECT_LE(b.f->GetLength(), s.GetMaxBlockSize());
    }
  }

  // Block files: the spare files kept for new blocks are not blocks.
  int FilesOnDisk() const {
    int n = 0;
    for (auto& e : fs::directory_iterator(folder))
      n += e.is_regular_file() && !BlockFileRecycler::IsSpareName(e.path().filename().string());
    return n;
  }

  testsupport::TrackProject project;
  const std::string folder = project.blocks();
  DirManager* dm = project.dirManager();
};

TEST_F(SequenceTest, BlockSizesFollowTheSampleFormat) {
  Sequence s16(dm, SampleFormatInt16), s24(dm, SampleFormatInt24), sf(dm, SampleFormatFloat);
  EXPECT_EQ(s16.GetMinBlockSize(), 258048);
  EXPECT_EQ(s16.GetMaxBlockSize(), 516096);
  EXPECT_EQ(s24.GetMaxBlockSize(), 258048);
  EXPECT_EQ(sf.GetMinBlockSize(), 129024);
  EXPECT_EQ(s16.GetIdealAppendLen(), 516096);
}

TEST_F(SequenceTest, AppendCutsFullBlocksAndFillsAShortLastBlockFirst) {
  Sequence s(dm, SampleFormatInt16);
  std::vector<std::int16_t> all = Ramp(600000, 0);
  ASSERT_TRUE(Append(s, all));
  EXPECT_EQ(Lengths(s), (std::vector<int>{516096, 83904}));
  EXPECT_EQ(s.GetIdealAppendLen(), 516096 - 83904);
  auto more = Ramp(200000, 5);
  ASSERT_TRUE(Append(s, more));
  EXPECT_EQ(Lengths(s), (std::vector<int>{516096, 283904}));
  all.insert(all.end(), more.begin(), more.end());
  EXPECT_EQ(Contents(s), all);
  EXPECT_EQ(s.FindBlock(s.GetNumSamples()), 1) << "the end belongs to the last block";
  EXPECT_EQ(s.FindBlock(516095), 0);
  EXPECT_EQ(s.FindBlock(516096), 1);
  EXPECT_EQ(FilesOnDisk(), 2) << "the replaced short block is gone";

  // Samples of another format are converted.
  std::vector<float> f = {1.0f, -1.0f};
  ASSERT_TRUE(s.Append(reinterpret_cast<ConstSamplePtr>(f.data()), SampleFormatFloat, 2));
  std::vector<std::int16_t> tail(2);
  ASSERT_TRUE(s.Get(reinterpret_cast<SamplePtr>(tail.data()), SampleFormatInt16, s.GetNumSamples() - 2, 2));
  EXPECT_EQ(tail, (std::vector<std::int16_t>{32767, -32768}));
}

TEST_F(SequenceTest, DeletingFromAOneBlockSequenceBelowTheMinimumRewritesTheBlock) {
  Sequence s(dm, SampleFormatInt16);
  auto v = Ramp(258050, 0);
  ASSERT_TRUE(Append(s, v));
  ASSERT_TRUE(s.Delete(0, 10));
  EXPECT_EQ(Lengths(s), (std::vector<int>{258040}));
  v.erase(v.begin(), v.begin() + 10);
  EXPECT_EQ(Contents(s), v);
}

TEST_F(SequenceTest, ReadsOutsideTheSequenceAreRefused) {
  UseSmallBlocks();
  Sequence s(dm, SampleFormatInt16);
  ASSERT_TRUE(Append(s, Ramp(100, 1)));
  std::vector<std::int16_t> buf(10, -7);
  EXPECT_FALSE(s.Get(reinterpret_cast<SamplePtr>(buf.data()), SampleFormatInt16, 91, 10));
  EXPECT_FALSE(s.Get(reinterpret_cast<SamplePtr>(buf.data()), SampleFormatInt16, -1, 2));
  EXPECT_FALSE(s.Set(reinterpret_cast<ConstSamplePtr>(buf.data()), SampleFormatInt16, 95, 10));
  EXPECT_TRUE(std::all_of(buf.begin(), buf.end(), [](std::int16_t v) { return v == -7; }));
  EXPECT_TRUE(s.Get(reinterpret_cast<SamplePtr>(buf.data()), SampleFormatInt16, 90, 10));
  EXPECT_EQ(buf[9], 100);
  EXPECT_TRUE(s.Get(reinterpret_cast<SamplePtr>(buf.data()), SampleFormatInt16, 100, 0));
}

// A table of edits on a sequence of small blocks, each checked against a plain vector.
TEST_F(SequenceTest, EditsAcrossBlockBoundariesKeepTheSamplesInOrder) {
  UseSmallBlocks();
  enum Op { kAppend, kDelete, kInsertSilence, kPasteCopy, kSetSilence, kSet, kSetFloat };
  struct Edit {
    Op op;
    int a, b, c;  // append: count; delete: start, len; silence: at, len; paste: s0, s1, at; set: at, len
  };
  const Edit edits[] = {
      {kAppend, 100, 0, 0},        {kAppend, 7, 0, 0},
      {kDelete, 0, 1, 0},          {kDelete, 5, 3, 0},
      {kDelete, 10, 40, 0},        {kDelete, 31, 2, 0},
      {kInsertSilence, 0, 5, 0},   {kInsertSilence, 20, 70, 0},
      {kInsertSilence, 130, 3, 0}, {kPasteCopy, 0, 10, 3},
      {kPasteCopy, 5, 90, 50},     {kPasteCopy, 0, 40, 0},
      {kPasteCopy, 1, 2, 200},     {kSetSilence, 3, 50, 0},
      {kSet, 10, 60, 0},           {kAppend, 33, 0, 0},
      {kDelete, 0, 64, 0},         {kPasteCopy, 0, 180, 90},
      {kDelete, 100, 150, 0},      {kSet, 0, 5, 0},
      {kDelete, 1, 0, 0},          {kSetFloat, 0, 120, 0},
      {kSetFloat, 7, 90, 0},       {kSet, 0, 200, 0},
  };
  Sequence s(dm, SampleFormatInt16);
  std::vector<std::int16_t> model;
  int next = 1;
  for (std::size_t i = 0; i < std::size(edits); ++i) {
    const Edit& e = edits[i];
    SCOPED_TRACE(i);
    switch (e.op) {
      case kAppend: {
        auto v = Ramp(e.a, next);
        next += e.a;
        ASSERT_TRUE(Append(s, v));
        model.insert(model.end(), v.begin(), v.end());
        break;
      }
      case kDelete:
        ASSERT_TRUE(s.Delete(e.a, e.b));
        model.erase(model.begin() + e.a, model.begin() + e.a + e.b);
        break;
      case kInsertSilence:
        ASSERT_TRUE(s.InsertSilence(e.a, e.b));
        model.insert(model.begin() + e.a, e.b, 0);
        break;
      case kPasteCopy: {
        Sequence* part = nullptr;
        ASSERT_TRUE(s.Copy(e.a, e.b, &part));
        EXPECT_EQ(Contents(*part), std::vector<std::int16_t>(model.begin() + e.a, model.begin() + e.b));
        ASSERT_TRUE(s.Paste(e.c, part));
        delete part;
        std::vector<std::int16_t> piece(model.begin() + e.a, model.begin() + e.b);
        model.insert(model.begin() + e.c, piece.begin(), piece.end());
        break;
      }
      case kSetSilence:
        ASSERT_TRUE(s.SetSilence(e.a, e.b));
        std::fill(model.begin() + e.a, model.begin() + e.a + e.b, 0);
        break;
      case kSet: {
        auto v = Ramp(e.b, -1000 - next);
        ASSERT_TRUE(s.Set(reinterpret_cast<ConstSamplePtr>(v.data()), SampleFormatInt16, e.a, e.b));
        std::copy(v.begin(), v.end(), model.begin() + e.a);
        break;
      }
      case kSetFloat: {
        // Converted to the sequence's format on the way in, as a plain conversion does.
        std::vector<float> f(e.b);
        for (int k = 0; k < e.b; ++k) f[k] = std::sin(0.01f * static_cast<float>(next + k));
        std::vector<std::int16_t> v(e.b);
        CopySamples(reinterpret_cast<ConstSamplePtr>(f.data()), SampleFormatFloat,
                    reinterpret_cast<SamplePtr>(v.data()), SampleFormatInt16, e.b);
        ASSERT_TRUE(s.Set(reinterpret_cast<ConstSamplePtr>(f.data()), SampleFormatFloat, e.a, e.b));
        std::copy(v.begin(), v.end(), model.begin() + e.a);
        break;
      }
    }
    ASSERT_EQ(s.GetNumSamples(), static_cast<int>(model.size()));
    ASSERT_EQ(Contents(s), model);
    ExpectWellFormed(s);
  }
}

TEST_F(SequenceTest, PastingAFiveBlockSourceSharesOnlyItsMiddleBlock) {
  UseSmallBlocks();
  Sequence src(dm, SampleFormatInt16), dst(dm, SampleFormatInt16);
  ASSERT_TRUE(Append(src, Ramp(160, 1000)));
  ASSERT_EQ(Lengths(src), (std::vector<int>{32, 32, 32, 32, 32}));
  ASSERT_TRUE(Append(dst, Ramp(64, 0)));
  ASSERT_TRUE(dst.Paste(40, &src));
  int shared = 0;
  for (const WaveBlock& b : dst.GetBlockArray())
    for (const WaveBlock& sb : src.GetBlockArray()) shared += b.f == sb.f;
  EXPECT_EQ(shared, 1);
  EXPECT_EQ(src.GetBlockArray()[2].f->GetRefCount(), 2);
  auto expected = Ramp(64, 0);
  auto pasted = Ramp(160, 1000);
  expected.insert(expected.begin() + 40, pasted.begin(), pasted.end());
  EXPECT_EQ(Contents(dst), expected);
}

TEST_F(SequenceTest, DeletingAWholeMiddleBlockReleasesItAndItsFile) {
  UseSmallBlocks();
  Sequence s(dm, SampleFormatInt16);
  ASSERT_TRUE(Append(s, Ramp(96, 0)));
  ASSERT_EQ(Lengths(s), (std::vector<int>{32, 32, 32}));
  const std::string middle = s.GetBlockArray()[1].f->GetFileName().GetFullPath();
  Sequence copy(s);  // an undo state sharing the blocks
  EXPECT_EQ(copy.GetBlockArray()[1].f, s.GetBlockArray()[1].f);
  ASSERT_TRUE(s.Delete(32, 32));
  EXPECT_EQ(Lengths(s), (std::vector<int>{32, 32}));
  EXPECT_TRUE(FileExists(middle)) << "the undo state still holds it";
  EXPECT_EQ(copy.GetBlockArray()[1].f->GetRefCount(), 1);
  Sequence* again = nullptr;
  ASSERT_TRUE(copy.Copy(0, 96, &again));
  delete again;
  ASSERT_TRUE(copy.Delete(32, 32));
  EXPECT_FALSE(FileExists(middle));
}

TEST_F(SequenceTest, LockedBlocksAreCopiedNotShared) {
  UseSmallBlocks();
  Sequence s(dm, SampleFormatInt16);
  ASSERT_TRUE(Append(s, Ramp(64, 0)));
  s.LockAllBlocks();
  Sequence copy(s);
  EXPECT_NE(copy.GetBlockArray()[0].f, s.GetBlockArray()[0].f);
  EXPECT_EQ(Contents(copy), Contents(s));
  s.UnlockAllBlocks();
  EXPECT_FALSE(s.GetBlockArray()[0].f->IsLocked());
}

// Ranges that run past the end are cut at the end or refused, never followed out of
// the block array.
TEST_F(SequenceTest, RangesPastTheEndAreClippedOrRefused) {
  UseSmallBlocks();
  Sequence s(dm, SampleFormatInt16);
  auto v = Ramp(100, 1);
  ASSERT_TRUE(Append(s, v));
  EXPECT_FALSE(s.Delete(100, 1));
  EXPECT_FALSE(s.Delete(-1, 5));
  EXPECT_FALSE(s.Delete(5, -1));
  ASSERT_TRUE(s.Delete(90, 1000000));
  EXPECT_EQ(s.GetNumSamples(), 90);
  ASSERT_TRUE(s.Delete(80, 2147483647)) << "no overflow in start + len";
  EXPECT_EQ(s.GetNumSamples(), 80);
  v.resize(80);
  EXPECT_EQ(Contents(s), v);
  ExpectWellFormed(s);

  Sequence* part = nullptr;
  ASSERT_TRUE(s.Copy(70, 5000, &part));
  EXPECT_EQ(part->GetNumSamples(), 10);
  delete part;
  EXPECT_FALSE(s.Copy(80, 90, &part));
  EXPECT_EQ(part, nullptr);
  EXPECT_FALSE(s.Copy(10, 10, &part));

  float mn, mx;
  ASSERT_TRUE(s.GetMinMax(75, 1000, &mn, &mx));
  EXPECT_EQ(mx, 80 / 32768.0f);
  ASSERT_TRUE(s.GetMinMax(500, 10, &mn, &mx));
  EXPECT_EQ(mn, 0.0f);
  EXPECT_EQ(mx, 0.0f);

  EXPECT_FALSE(s.SetSilence(70, 20));
  EXPECT_TRUE(s.InsertSilence(1000, 4)) << "an insertion point past the end is the end";
  EXPECT_EQ(s.GetNumSamples(), 84);
  EXPECT_FALSE(s.InsertSilence(0, 2147483647 - 83)) << "the length would pass the limit";
  EXPECT_EQ(s.GetNumSamples(), 84);
}

// A block that cannot be written must fail the edit, so a recording can stop and tell
// the user instead of keeping silence; the sequence stays as it was.
TEST_F(SequenceTest, EditsFailWholeWhenABlockCannotBeWritten) {
  UseSmallBlocks();
  Sequence s(dm, SampleFormatInt16);
  auto v = Ramp(70, 1);
  ASSERT_TRUE(Append(s, v));  // 32 + 32 + 6
  Sequence src(dm, SampleFormatInt16);
  ASSERT_TRUE(Append(src, Ramp(200, 500)));
  const std::vector<int> lengths = Lengths(s);
  const int files = FilesOnDisk();

  testsupport::WriteBytes(project / "full", {0});
  ASSERT_TRUE(DirManager::SetTempDir((project / "full/blocks").c_str()));
  EXPECT_FALSE(Append(s, Ramp(100, 9)));
  EXPECT_FALSE(Append(s, Ramp(3, 9))) << "filling up the short last block fails too";
  EXPECT_FALSE(s.Delete(10, 5));
  EXPECT_FALSE(s.Delete(30, 20));
  EXPECT_FALSE(s.Paste(40, &src));
  EXPECT_FALSE(s.Paste(3, &s));
  EXPECT_FALSE(s.InsertSilence(5, 5));
  std::vector<std::int16_t> w(10, 3);
  EXPECT_FALSE(s.Set(reinterpret_cast<ConstSamplePtr>(w.data()), SampleFormatInt16, 28, 10));
  Sequence* part = nullptr;
  EXPECT_FALSE(s.Copy(5, 40, &part));
  EXPECT_EQ(part, nullptr);

  EXPECT_EQ(Lengths(s), lengths);
  EXPECT_EQ(Contents(s), v);
  ExpectWellFormed(s);
  ASSERT_TRUE(DirManager::SetTempDir(folder.c_str()));
  EXPECT_EQ(FilesOnDisk(), files) << "no half-made blocks are left behind";
  EXPECT_TRUE(Append(s, Ramp(100, 9))) << "recording can go on once there is room";
}

TEST_F(SequenceTest, BestBlockSizeTakesWholeShortBlocks) {
  UseSmallBlocks();
  Sequence a(dm, SampleFormatInt16), s(dm, SampleFormatInt16);
  ASSERT_TRUE(Append(a, Ramp(38, 0)));  // 32, 6
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(s.AppendBlock(a.GetBlockArray()[i % 2]));
  ASSERT_EQ(Lengths(s), (std::vector<int>{32, 6, 32, 6}));
  EXPECT_EQ(s.GetBestBlockSize(0), 32);
  EXPECT_EQ(s.GetBestBlockSize(20), 12 + 6) << "short: the next block is added while it fits";
  EXPECT_EQ(s.GetBestBlockSize(32), 6) << "6 + 32 would pass the maximum";
  EXPECT_EQ(s.GetBestBlockSize(70), 6);
  EXPECT_EQ(s.GetBestBlockSize(76), s.GetMaxBlockSize()) << "past the end";
}

// The display's extremes come from the summaries where a pixel spans 256 samples or
// more; they must equal the extremes of the samples themselves.
TEST_F(SequenceTest, DisplayAndMinMaxEqualTheExtremesOfTheSamples) {
  Sequence s(dm, SampleFormatFloat);
  const int n = 600000;  // three float blocks: 258048, 258048, 83904
  std::vector<float> v(n);
  for (int i = 0; i < n; ++i)
    v[i] = 0.8f * std::sin(i * 0.0037f) * std::cos(i * 0.00011f) + 0.05f * std::sin(i * 1.7f);
  ASSERT_TRUE(s.Append(reinterpret_cast<ConstSamplePtr>(v.data()), SampleFormatFloat, n));
  ASSERT_EQ(s.GetBlockArray().size(), 3u);

  auto extremes = [&](int a, int b) {
    auto [lo, hi] = std::minmax_element(v.begin() + a, v.begin() + b);
    return std::make_pair(*lo, *hi);
  };

  for (int spp : {1, 7, 256, 1024, 3000}) {
    SCOPED_TRACE(spp);
    const int columns = 150;
    const int first = 250000;  // straddles the first block boundary
    std::vector<std::int32_t> where(columns + 1);
    for (int p = 0; p <= columns; ++p) where[p] = first + p * spp;
    std::vector<float> mn(columns), mx(columns), rms(columns, 5.0f);
    ASSERT_TRUE(s.GetWaveDisplay(mn.data(), mx.data(), rms.data(), columns, where.data(), spp));
    const int level = spp >= 256 ? 256 : 1;
    for (int p = 0; p < columns; ++p) {
      // A column covers the frames from the one holding its first sample up to the
      // next column's; with positions on frame bounds that is exactly its samples.
      if (level > 1 && where[p] % level) continue;
      if (where[p + 1] > n) break;
      auto [lo, hi] = extremes(where[p], std::max(where[p + 1], where[p] + 1));
      EXPECT_EQ(mn[p], lo) << p;
      EXPECT_EQ(mx[p], hi) << p;
      EXPECT_EQ(rms[p], 0.0f);
    }
  }

  // Pixels of 64K samples inside the first block.
  std::vector<std::int32_t> where = {0, 65536, 131072, 196608};
  std::vector<float> mn(3), mx(3), rms(3);
  ASSERT_TRUE(s.GetWaveDisplay(mn.data(), mx.data(), rms.data(), 3, where.data(), 65536));
  for (int p = 0; p < 3; ++p) {
    auto [lo, hi] = extremes(where[p], where[p + 1]);
    EXPECT_EQ(mn[p], lo);
    EXPECT_EQ(mx[p], hi);
  }

  // Columns past the end keep the last values.
  where = {590000, 595000, 600000, 605000, 610000};
  mn.assign(4, 9);
  mx.assign(4, 9);
  rms.assign(4, 9);
  ASSERT_TRUE(s.GetWaveDisplay(mn.data(), mx.data(), rms.data(), 4, where.data(), 5000));
  EXPECT_EQ(mn[2], mn[1]);
  EXPECT_EQ(mx[3], mx[1]);

  for (auto [a, len] : {std::pair{0, 600000}, {1000, 5}, {250000, 20000}, {100, 520000}, {599990, 10}}) {
    float lo, hi;
    ASSERT_TRUE(s.GetMinMax(a, len, &lo, &hi));
    auto e = extremes(a, a + len);
    EXPECT_EQ(lo, e.first) << a << " " << len;
    EXPECT_EQ(hi, e.second) << a << " " << len;
  }
}

TEST_F(SequenceTest, ConsistencyFailuresAreDumped) {
  UseSmallBlocks();
  Sequence s(dm, SampleFormatInt16);
  ASSERT_TRUE(Append(s, Ramp(40, 0)));
  testing::internal::CaptureStdout();
  EXPECT_TRUE(s.ConsistencyCheck("Nothing"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  // Break the array on purpose: the second block claims a wrong start.
  const_cast<WaveBlock&>(s.GetBlockArray()[1]).start = 31;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(s.ConsistencyCheck("Test"));
  const std::string out = testing::internal::GetCapturedStdout();
  const_cast<WaveBlock&>(s.GetBlockArray()[1]).start = 32;
  EXPECT_NE(out.find("*** Consistency check failed after Test ***\n"), std::string::npos);
  EXPECT_NE(out.find("Block   1: start       31 len        8 refs 1 "), std::string::npos) << out;
  EXPECT_NE(out.find("  ERROR\n"), std::string::npos);
  EXPECT_NE(out.find("Recommended course of action:\nUndo the failed operation(s), then export or "
                     "save your work and quit.\n"),
            std::string::npos);
}

}  // namespace
