#include "core/model/BlockWriteback.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

// Dirty data is written back early, so it stays far below the point (a share of the
// memory, about 2 GB on a 24 GB machine) where the kernel starts throttling; the
// page cache keeps the last 384 MiB of blocks, so what a job has just written is read
// back from memory (an effect over an hour of audio reads its oldest blocks from the
// disk). Measured with the effects benchmark: a window twice as wide saved less of the
// kernel's time on an hour of audio, one half as wide cost more on ten minutes (blocks
// written back that would have died before the disk saw them). Once a run is long
// (LongRun), new blocks bypass the page cache past their heads, and the window mostly
// writes back and drops those heads.
constexpr std::uint64_t kSharedStartBytes = 128ull << 20;
constexpr std::uint64_t kSharedDropBytes = 384ull << 20;

// False when the file is gone (its block died).
bool StartWriteback(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  ::close(fd);
  return true;
}

void FinishAndDrop(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  ::sync_file_range(fd, 0, 0,
                    SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::close(fd);
}

}  // namespace

BlockWriteback::BlockWriteback(std::uint64_t startBytes, std::uint64_t dropBytes)
    : mStartBytes(startBytes), mDropBytes(std::max(startBytes, dropBytes)) {}

BlockWriteback& BlockWriteback::Shared() {
  static BlockWriteback shared(kSharedStartBytes, kSharedDropBytes);
  return shared;
}

void BlockWriteback::Add(const std::string& path, std::uint64_t bytes) {
  std::vector<std::string> start, drop;
  {
    std::lock_guard<std::mutex> lock(mLock);
    mRecent.push_back({path, bytes});
    mRecentBytes += bytes;
    while (mRecentBytes > mStartBytes) {
      Entry e = std::move(mRecent.front());
      mRecent.pop_front();
      mRecentBytes -= e.bytes;
      start.push_back(e.path);
      mStartedBytes += e.bytes;
      mStarted.push_back(std::move(e));
    }
    while (!mStarted.empty() && mStartedBytes > mDropBytes - mStartBytes) {
      Entry e = std::move(mStarted.front());
      mStarted.pop_front();
      mStartedBytes -= e.bytes;
      drop.push_back(std::move(e.path));
    }
  }
  // The system calls run outside the lock: waiting for the disk holds up no other
  // thread's blocks.
  for (const std::string& p : start) mLongRun.store(StartWriteback(p), std::memory_order_relaxed);
  for (const std::string& p : drop) FinishAndDrop(p);
}
