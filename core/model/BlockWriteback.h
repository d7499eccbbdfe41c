#pragma once
// Keeps the disk and the page cache in step with a long run of block writes. A block's
// file is left alone until startBytes more were written after it; then its writeback
// is started, and once dropBytes were written after it, the writeback is waited for
// and its clean pages are dropped. Short jobs never get that far, and their blocks
// often die before the disk sees them. A long one (an hour's recording, an effect
// over it) keeps a bounded amount of dirty data and of page cache: the kernel never
// reaches the point where it throttles every write of the program, and it recycles
// the same memory instead of taking more for each block.
//
// Files are found again by name, so a block that died in the meantime (its file
// removed or kept as a spare) is simply skipped and never kept alive. Thread-safe.
//
// Whether the files reaching the start of the writeback are still alive tells a long
// job from a short one: a long job's blocks outlive startBytes of later writes, so
// they go to the disk in any case, and a new block may as well go there straight
// (LongRun), without taking new page-cache memory for it. On a virtual machine whose
// host takes back the memory the guest frees, that memory costs about a second of CPU
// per gigabyte each time it is taken again; a short job's pages come from memory it
// has just freed and cost nothing of the kind.
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

class BlockWriteback {
public:
  BlockWriteback(std::uint64_t startBytes, std::uint64_t dropBytes);
  BlockWriteback(const BlockWriteback&) = delete;
  BlockWriteback& operator=(const BlockWriteback&) = delete;

  // The program's window, for every block file it writes.
  static BlockWriteback& Shared();

  // A block file of bytes bytes was just written in full and closed.
  void Add(const std::string& path, std::uint64_t bytes);
  // True while the last file that reached the start of the writeback was still alive:
  // the blocks being written now will most likely be written back too.
  bool LongRun() const { return mLongRun.load(std::memory_order_relaxed); }

private:
  struct Entry {
    std::string path;
    std::uint64_t bytes;
  };

  std::uint64_t mStartBytes;
  std::uint64_t mDropBytes;
  std::mutex mLock;
  std::deque<Entry> mRecent;   // newest last; not yet touched
  std::deque<Entry> mStarted;  // writeback started
  std::uint64_t mRecentBytes = 0;
  std::uint64_t mStartedBytes = 0;
  std::atomic<bool> mLongRun{false};
};
