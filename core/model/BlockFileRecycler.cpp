#include "core/model/BlockFileRecycler.h"

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
std::vector<std::string> g_spares;
std::uint32_t g_spareCounter = 0;

std::string FolderOf(const std::string& path) {
  const CFileName name(path);
  return name.GetDrive() + name.GetDir();
}

void RemoveSparesLocked() {
  for (const std::string& spare : g_spares) RemoveFile(spare);
  g_spares.clear();
}

}  // namespace

void BlockFileRecycler::SetFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_recyclerLock);
  RemoveSparesLocked();
  g_recyclerFolder = folder.empty() ? std::string() : FolderOf(CFileName(folder, "x").GetFullPath());
}

bool BlockFileRecycler::Keep(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_recyclerLock);
  if (g_recyclerFolder.empty() || g_spares.size() >= kMaxSpares || FolderOf(path) != g_recyclerFolder)
    return false;
  char name[24];
  std::snprintf(name, sizeof name, "%s%07u", kSparePrefix, g_spareCounter++);
  const std::string spare = g_recyclerFolder + name;
  if (std::rename(path.c_str(), spare.c_str()) != 0) return false;
  g_spares.push_back(spare);
  return true;
}

bool BlockFileRecycler::Take(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_recyclerLock);
  if (g_spares.empty() || FolderOf(path) != g_recyclerFolder) return false;
  while (!g_spares.empty()) {
    const std::string spare = std::move(g_spares.back());
    g_spares.pop_back();
    // A spare deleted behind our back (a cleaning of the folder) is just forgotten.
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
  return g_spares.size();
}

bool BlockFileRecycler::IsSpareName(const std::string& fileName) {
  return fileName.rfind(kSparePrefix, 0) == 0;
}
