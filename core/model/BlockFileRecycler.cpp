#include "core/model/BlockFileRecycler.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <vector>

#include "core/model/FileName.h"
#include "core/model/SystemUtils.h"

namespace {

constexpr char kSparePrefix[] = "ZQ$spare";

std::mutex g_recyclerLock;
std::string g_recyclerFolder;  // drive and directory as CFileName splits them
struct FullSpare {
  std::string path;
  std::uint64_t bytes;
};
std::vector<FullSpare> g_spares;         // keeping their bytes
std::uint64_t g_spareBytes = 0;          // what they hold
std::vector<std::string> g_emptySpares;  // holding no room on the disk
std::size_t g_emptyPending = 0;          // being emptied outside the lock
std::uint32_t g_spareCounter = 0;
std::uint32_t g_folderGeneration = 0;  // counts the times every spare was removed

std::string FolderOf(const std::string& path) {
  const CFileName name(path);
  return name.GetDrive() + name.GetDir();
}

void RemoveSparesLocked() {
  for (const FullSpare& spare : g_spares) RemoveFile(spare.path);
  for (const std::string& spare : g_emptySpares) RemoveFile(spare);
  g_spares.clear();
  g_spareBytes = 0;
  g_emptySpares.clear();
  ++g_folderGeneration;  // a spare still being emptied goes too
}

// Gives a file's disk blocks back and keeps its length. A file cut to nothing and
// written again would be pushed to the disk as soon as it is closed (the file system
// takes it for a file being replaced), so the room goes by punching a hole; only a
// file system without holes cuts the file.
bool GiveRoomBack(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  if (ok && st.st_size > 0) {
    // Whole blocks of the file system only: the hole reaches over the last, partly
    // used one, or that would stay allocated.
    const off_t unit = st.st_blksize > 0 ? st.st_blksize : 4096;
    const off_t length = (st.st_size + unit - 1) / unit * unit;
    ok = ::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 0, length) == 0;
  }
  if (!ok) ok = ::ftruncate(fd, 0) == 0;
  return ::close(fd) == 0 && ok;
}

std::string NewSpareNameLocked() {
  char name[24];
  std::snprintf(name, sizeof name, "%s%07u", kSparePrefix, g_spareCounter++);
  return g_recyclerFolder + name;
}

}  // namespace

void BlockFileRecycler::SetFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_recyclerLock);
  RemoveSparesLocked();
  g_recyclerFolder = folder.empty() ? std::string() : FolderOf(CFileName(folder, "x").GetFullPath());
}

bool BlockFileRecycler::Keep(const std::string& path) {
  // The file's size and the disk's room (with what the spares hold) are asked before
  // the lock: other threads' blocks are not held up by the system calls.
  struct stat st {};
  const std::uint64_t bytes = ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  std::uint64_t free = 0;
  const bool haveFree = GetDiskFreeSpace64(FolderOf(path), nullptr, &free);
  std::string spare;
  std::uint32_t generation;
  {
    std::lock_guard<std::mutex> lock(g_recyclerLock);
    if (g_recyclerFolder.empty() || FolderOf(path) != g_recyclerFolder) return false;
    const std::uint64_t held = g_spareBytes + bytes;
    if (g_spares.size() < kMaxSpares && held <= kMaxSpareBytes && haveFree && held <= free / kFreeShare) {
      spare = NewSpareNameLocked();
      if (std::rename(path.c_str(), spare.c_str()) != 0) return false;
      g_spares.push_back({spare, bytes});
      g_spareBytes += bytes;
      return true;
    }
    if (g_emptySpares.size() + g_emptyPending >= kMaxEmptySpares) return false;
    spare = NewSpareNameLocked();
    generation = g_folderGeneration;
    ++g_emptyPending;
  }
  // Giving the room back frees the file's disk blocks, which may take a while: other
  // threads' blocks are not held up meanwhile.
  const bool kept = GiveRoomBack(path) && std::rename(path.c_str(), spare.c_str()) == 0;
  std::lock_guard<std::mutex> lock(g_recyclerLock);
  --g_emptyPending;
  if (!kept) return false;
  if (generation == g_folderGeneration)
    g_emptySpares.push_back(spare);
  else
    RemoveFile(spare);  // the spares were removed meanwhile
  return true;
}

bool BlockFileRecycler::Take(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_recyclerLock);
  if (FolderOf(path) != g_recyclerFolder) return false;
  // A spare deleted behind our back (a cleaning of the folder) is just forgotten.
  while (!g_spares.empty()) {
    const FullSpare spare = std::move(g_spares.back());
    g_spares.pop_back();
    g_spareBytes -= spare.bytes;
    if (std::rename(spare.path.c_str(), path.c_str()) == 0) return true;
  }
  while (!g_emptySpares.empty()) {
    const std::string spare = std::move(g_emptySpares.back());
    g_emptySpares.pop_back();
    if (std::rename(spare.c_str(), path.c_str()) == 0) return true;
  }
  return false;
}

void BlockFileRecycler::Clear() {
  std::lock_guard<std::mutex> lock(g_recyclerLock);
  RemoveSparesLocked();
}

std::size_t BlockFileRecycler::SpareCount() {
  std::lock_guard<std::mutex> lock(g_recyclerLock);
  return g_spares.size() + g_emptySpares.size();
}

std::size_t BlockFileRecycler::FullSpareCount() {
  std::lock_guard<std::mutex> lock(g_recyclerLock);
  return g_spares.size();
}

std::uint64_t BlockFileRecycler::FullSpareBytes() {
  std::lock_guard<std::mutex> lock(g_recyclerLock);
  return g_spareBytes;
}

bool BlockFileRecycler::IsSpareName(const std::string& fileName) {
  return fileName.rfind(kSparePrefix, 0) == 0;
}

std::uint64_t BlockFileRecycler::FullSpareBytesOn(const std::string& path) {
  std::string folder;
  std::uint64_t bytes;
  {
    std::lock_guard<std::mutex> lock(g_recyclerLock);
    if (g_spareBytes == 0) return 0;
    folder = g_recyclerFolder;
    bytes = g_spareBytes;
  }
  struct stat a {
  }, b{};
  return ::stat(path.c_str(), &a) == 0 && ::stat(folder.c_str(), &b) == 0 && a.st_dev == b.st_dev ? bytes : 0;
}
