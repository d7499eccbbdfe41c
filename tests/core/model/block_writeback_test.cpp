#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/statfs.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/model/BlockWriteback.h"
#include "core/model/SystemUtils.h"
#include "tests/support/native/Files.h"
#include "tests/support/native/TempFolder.h"

namespace {

constexpr std::uint64_t kFileBytes = 64 * 1024;

// The share (0..1) of a file's pages in the page cache; -1 when it cannot be asked.
double Resident(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  void* map = ::mmap(nullptr, kFileBytes, PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) return -1;
  const long page = ::sysconf(_SC_PAGESIZE);
  std::vector<unsigned char> in((kFileBytes + page - 1) / page);
  double share = -1;
  if (::mincore(map, kFileBytes, in.data()) == 0) {
    int n = 0;
    for (unsigned char c : in) n += c & 1;
    share = static_cast<double>(n) / static_cast<double>(in.size());
  }
  ::munmap(map, kFileBytes);
  return share;
}

std::vector<unsigned char> Pattern(int i) {
  std::vector<unsigned char> v(kFileBytes);
  for (std::size_t k = 0; k < v.size(); ++k) v[k] = static_cast<unsigned char>(k * 7 + i * 31);
  return v;
}

TEST(BlockWriteback, OldFilesLeaveThePageCacheRecentOnesStayAndEveryFileKeepsItsBytes) {
  testsupport::TempFolder tmp;
  struct statfs fs {};
  ASSERT_EQ(::statfs(tmp.path().c_str(), &fs), 0);
  if (fs.f_type == TMPFS_MAGIC) GTEST_SKIP() << "a tmpfs file lives in the page cache";

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

}  // namespace
