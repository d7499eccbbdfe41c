#include "core/model/SystemUtils.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/model/BlockFileRecycler.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsRoot(const std::string& path) {
  return (path.size() == 1 && IsSeparator(path[0])) || (path.size() == 2 && path[1] == ':');
}

bool RealDiskFreeSpace(const std::string& path, std::uint64_t* total, std::uint64_t* free) {
  struct statvfs vfs;
  if (::statvfs(path.c_str(), &vfs) != 0) return false;
  const std::uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
  if (total) *total = static_cast<std::uint64_t>(vfs.f_blocks) * unit;
  if (free) *free = static_cast<std::uint64_t>(vfs.f_bavail) * unit;
  return true;
}

std::uint32_t RealTickCount() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::atomic<DiskFreeSpaceFunction> g_diskFreeSpace{nullptr};
std::atomic<TickCountFunction> g_tickCount{nullptr};
std::atomic<std::uint32_t> g_stopwatchStart{0};

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  std::string p = path;
  while (!p.empty() && IsSeparator(p.back()) && !IsRoot(p)) p.pop_back();
  struct stat st;
  return !p.empty() && ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EndsWithSeparator(const std::string& path) { return !path.empty() && IsSeparator(path.back()); }

bool CopyFileTo(const std::string& source, const std::string& destination, bool overwrite) {
  std::error_code ec;
  const auto options =
      overwrite ? std::filesystem::copy_options::overwrite_existing : std::filesystem::copy_options::none;
  // copy_file refuses a directory source and reports an existing destination as an error
  // when overwriting is not allowed.
  if (std::filesystem::copy_file(source, destination, options, ec) && !ec) return true;
  return false;
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool RemoveDir(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

bool GetDiskFreeSpace64(const std::string& path, std::uint64_t* total, std::uint64_t* free) {
  if (path.empty()) return false;
  DiskFreeSpaceFunction hook = g_diskFreeSpace.load(std::memory_order_acquire);
  if (hook) return hook(path, total, free);
  if (!RealDiskFreeSpace(path, total, free)) return false;
  if (free) *free += BlockFileRecycler::FullSpareBytesOn(path);
  return true;
}

DiskFreeSpaceFunction SetDiskFreeSpaceFunction(DiskFreeSpaceFunction function) {
  return g_diskFreeSpace.exchange(function, std::memory_order_acq_rel);
}

TickCountFunction SetTickCountFunction(TickCountFunction function) {
  return g_tickCount.exchange(function, std::memory_order_acq_rel);
}

std::uint32_t GetTickCount32() {
  TickCountFunction hook = g_tickCount.load(std::memory_order_acquire);
  return hook ? hook() : RealTickCount();
}

std::uint32_t StopwatchStart() {
  const std::uint32_t now = GetTickCount32();
  g_stopwatchStart.store(now, std::memory_order_relaxed);
  return now;
}

std::uint32_t StopwatchElapsed(bool restart) {
  const std::uint32_t now = GetTickCount32();
  // Unsigned subtraction is exact across the wrap of the tick count.
  const std::uint32_t elapsed = now - g_stopwatchStart.load(std::memory_order_relaxed);
  if (restart) g_stopwatchStart.store(GetTickCount32(), std::memory_order_relaxed);
  return elapsed;
}
