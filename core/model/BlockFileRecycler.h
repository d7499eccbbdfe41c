#pragma once
// The files of dead blocks, kept under spare names in the temporary folder so that new
// blocks are written into them instead of into new files. A file that keeps its inode
// and its disk blocks spares the file system an inode allocation, a block allocation,
// a free and a discard per block; on a disk that is busy writing back a long recording
// those cost several times the write itself. Spares are "ZQ$" files, so a crashed
// run's are deleted with the other stale files of the folder.
//
// Spares keep their bytes while they hold little of the disk's room together: a new
// block written over one needs no new room from the file system, and the dead block
// frees none, which on a disk mounted with discard is a request to the disk that is
// waited for. An hour's source blocks, dead at the end of an effect over them, are
// then as cheap per block as a minute's. Past that, spares give their disk blocks
// back, so they hold no room on the disk but still spare the inode. That matters most
// on a file system without a journal: there a new file's inode is searched for past
// every inode freed in the last minutes, so after a long job's blocks are deleted each
// new block of the next one costs as much as all those deletions, and an hour's job
// costs far more per minute than a short one. The room spares hold comes back when a
// write fails (Clear), and the block is then written again.
//
// Process-wide and thread-safe: blocks die on whatever thread drops them last.
#include <cstddef>
#include <cstdint>
#include <string>

class BlockFileRecycler {
public:
  // At most this many spares keep their bytes, holding at most kMaxSpareBytes (an
  // hour and a half of stereo audio in blocks) and at most a kFreeShare-th of the room
  // the disk has with theirs; the files of further dead blocks are kept
  // empty, up to kMaxEmptySpares more (several hours of stereo audio in blocks), and
  // beyond that removed.
  static constexpr std::size_t kMaxSpares = 1024;
  static constexpr std::uint64_t kMaxSpareBytes = 1ull << 30;
  static constexpr std::uint64_t kFreeShare = 8;
  static constexpr std::size_t kMaxEmptySpares = 4096;

  // The folder whose dead block files are kept; the spares of the folder before are
  // removed. Files of any other folder are never kept.
  static void SetFolder(const std::string& folder);
  // Keeps the file of a dead block as a spare: true when it was renamed away from
  // path; false when it is not in the folder or no more are kept (the file may then
  // have been emptied; the caller removes it).
  static bool Keep(const std::string& path);
  // Renames a spare to path, which must be in the folder; false when there is none.
  // Spares that kept their bytes go first. The file keeps its old bytes: the caller
  // overwrites and cuts it to length.
  static bool Take(const std::string& path);
  // Removes every spare: when a write failed, so the room they hold is free again,
  // and when the folder goes.
  static void Clear();
  // All spares, those of them that keep their bytes, and the bytes those hold.
  static std::size_t SpareCount();
  static std::size_t FullSpareCount();
  static std::uint64_t FullSpareBytes();
  // The bytes the full spares hold when they are on the volume of path, else 0.
  static std::uint64_t FullSpareBytesOn(const std::string& path);
  // Whether a file name (without folder) is one of a spare.
  static bool IsSpareName(const std::string& fileName);
};
