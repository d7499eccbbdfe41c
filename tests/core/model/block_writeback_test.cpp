#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/statfs.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/model/BlockFileWrite.h"
#include "core/model/BlockWriteback.h"
#include "core/model/SystemUtils.h"
#include "tests/support/native/Files.h"
#include "tests/support/native/TempFolder.h"

namespace {

constexpr std::uint64_t kFileBytes = 64 * 1024;

// The share (0..1) of a file's pages from..to (bytes, whole pages) in the page cache;
// -1 when it cannot be asked.
double Resident(const std::string& path, std::size_t from = 0, std::size_t to = kFileBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  void* map = ::mmap(nullptr, to, PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) return -1;
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  std::vector<unsigned char> in((to - from + page - 1) / page);
  double share = -1;
  if (::mincore(static_cast<char*>(map) + from, to - from, in.data()) == 0) {
    int n = 0;
    for (unsigned char c : in) n += c & 1;
    share = static_cast<double>(n) / static_cast<double>(in.size());
  }
  ::munmap(map, to);
  return share;
}

bool OnTmpfs(const std::string& path) {
  struct statfs fs {};
  return ::statfs(path.c_str(), &fs) == 0 && fs.f_type == TMPFS_MAGIC;
}

std::vector<unsigned char> Pattern(int i) {
  std::vector<unsigned char> v(kFileBytes);
  for (std::size_t k = 0; k < v.size(); ++k) v[k] = static_cast<unsigned char>(k * 7 + i * 31);
  return v;
}

TEST(BlockWriteback, OldFilesLeaveThePageCacheRecentOnesStayAndEveryFileKeepsItsBytes) {
  testsupport::TempFolder tmp;
  if (OnTmpfs(tmp.path())) GTEST_SKIP() << "a tmpfs file lives in the page cache";

  // Writeback starts 4 files behind the newest and pages go 8 files behind it.
  BlockWriteback window(4 * kFileBytes, 8 * kFileBytes);
  const int count = 16, died = 2;
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    paths.push_back(tmp / ("f" + std::to_string(i)));
    ASSERT_TRUE(testsupport::WriteBytes(paths[i], Pattern(i)));
    window.Add(paths[i], kFileBytes);
    if (i == died + 1) RemoveFile(paths[died]);  // a block that died before its turn
  }

  EXPECT_FALSE(FileExists(paths[died])) << "a dead block's file is not brought back";
  // Before any read brings pages back: the 8 files behind the drop point left the
  // page cache, the 4 newest were not touched.
  for (int i = 0; i < count - 8; ++i)
    if (i != died) EXPECT_EQ(Resident(paths[i]), 0.0) << i;
  for (int i = count - 4; i < count; ++i) EXPECT_EQ(Resident(paths[i]), 1.0) << i;
  for (int i = 0; i < count; ++i)
    if (i != died) EXPECT_EQ(testsupport::ReadBytes(paths[i]), Pattern(i)) << i;
}

TEST(BlockWriteback, ALongRunIsOneWhoseFilesAreStillAliveWhenTheirWritebackStarts) {
  testsupport::TempFolder tmp;
  BlockWriteback window(4 * kFileBytes, 8 * kFileBytes);
  int next = 0;
  auto add = [&](bool keep) {
    const std::string path = tmp / ("f" + std::to_string(next++));
    ASSERT_TRUE(testsupport::WriteBytes(path, Pattern(next)));
    window.Add(path, kFileBytes);
    if (!keep) RemoveFile(path);
  };
  EXPECT_FALSE(window.LongRun()) << "nothing written yet";
  for (int i = 0; i < 4; ++i) add(true);
  EXPECT_FALSE(window.LongRun()) << "no file has reached the start of the writeback";
  add(true);
  EXPECT_TRUE(window.LongRun()) << "the first file outlived four more";
  // A short job's blocks die soon after they are written: once its dead files reach
  // the start of the writeback, the run is short again.
  for (int i = 0; i < 4; ++i) add(false);
  EXPECT_TRUE(window.LongRun()) << "the files reaching the start are still the long job's";
  add(false);
  EXPECT_FALSE(window.LongRun());
}

// The bytes of a block file written from pieces, through the page cache and straight
// to the disk: the same file, and written straight the pages past the head are not
// in the page cache while the head is.
TEST(BlockFileWrite, TheFileIsTheSameWrittenThroughThePageCacheOrStraightToTheDisk) {
  testsupport::TempFolder tmp;
  const bool tmpfs = OnTmpfs(tmp.path());
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  struct Case {
    std::vector<std::size_t> pieces;  // sizes
    std::size_t cachedHead;
  };
  const Case cases[] = {
      {{24, 3108, 2000}, 3132},       // a small block: less than two pages
      {{24, 24696, 1032192}, 24720},  // a whole 16-bit block
      {{24, 4072, 8 * 4096}, 4096},   // head and samples end on whole pages
      {{24, 3108, 70001, 5}, 3132},   // more pieces, the last one short
      {{24, 100000, 10}, 100024},     // the head reaches into the last page
  };
  int n = 0;
  for (const Case& c : cases) {
    std::vector<unsigned char> bytes;
    std::vector<std::vector<unsigned char>> data;
    for (std::size_t size : c.pieces) {
      data.emplace_back(size);
      for (std::size_t k = 0; k < size; ++k) data.back()[k] = static_cast<unsigned char>(k * 13 + size + n);
      bytes.insert(bytes.end(), data.back().begin(), data.back().end());
    }
    for (bool direct : {false, true}) {
      std::vector<iovec> pieces;
      for (auto& d : data) pieces.push_back({d.data(), d.size()});
      const std::string path = tmp / ("b" + std::to_string(n++));
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      ASSERT_GE(fd, 0);
      ASSERT_TRUE(WriteBlockFileBytes(fd, pieces, c.cachedHead, direct)) << path;
      ASSERT_EQ(::close(fd), 0);
      const std::size_t head = (c.cachedHead + page - 1) / page * page;
      const std::size_t end = bytes.size() / page * page;
      if (direct && !tmpfs && head < end) {
        EXPECT_EQ(Resident(path, 0, head), 1.0) << path << ": the head stays in the page cache";
        EXPECT_EQ(Resident(path, head, end), 0.0) << path << ": the rest went past it";
      }
      EXPECT_EQ(testsupport::ReadBytes(path), bytes) << path << (direct ? " straight" : " cached");
    }
  }
}

}  // namespace
