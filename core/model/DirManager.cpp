#include "core/model/DirManager.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "core/model/BlockFileRecycler.h"
#include "core/model/ModelText.h"
#include "core/model/PCMAliasBlockFile.h"
#include "core/model/SimpleBlockFile.h"
#include "core/model/SystemUtils.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/Progress.h"

namespace {

std::string g_tempDir;
// True when the folder is the system's own temporary folder, shared with everything
// else on the machine: it is cleaned of our stale files but never removed.
bool g_tempDirIsSystem = false;
std::atomic<int> g_liveManagers{0};
// Shared by every manager and never reset, so names are unique within the process.
std::atomic<std::uint32_t> g_nameCounter{0};

constexpr std::uint64_t kLowDiskSpace = 0x100000;  // 1 MiB
constexpr std::uint32_t kProgressDelayMs = 500;

}  // namespace

bool DirManager::SetTempDir(const char* path) {
  if (path) {
    g_tempDir = path;
    g_tempDirIsSystem = false;
  } else {
    std::error_code ec;
    const std::filesystem::path system = std::filesystem::temp_directory_path(ec);
    g_tempDir = ec ? std::string() : system.string();
    g_tempDirIsSystem = true;
  }
  BlockFileRecycler::SetFolder(g_tempDir);
  if (g_tempDir.empty()) {
    seams::ShowMessageBox(model_text::kNoTempFolder, seams::kProgramCaption, seams::kMbOk);
    return false;
  }
  return true;
}

const std::string& DirManager::GetTempDir() { return g_tempDir; }

int DirManager::GetLiveCount() { return g_liveManagers.load(std::memory_order_acquire); }

DirManager::DirManager() {
  g_liveManagers.fetch_add(1, std::memory_order_acq_rel);

  // The last manager to go removes the folder when it is empty; a project made after
  // that (a new or opened document) needs it back.
  if (!g_tempDir.empty() && !DirectoryExists(g_tempDir)) {
    std::error_code ec;
    std::filesystem::create_directories(g_tempDir, ec);
  }

  std::uint64_t free = 0;
  if (GetDiskFreeSpace64(g_tempDir, nullptr, &free) && free < kLowDiskSpace) {
    seams::ShowMessageBox(model_text::kLowDiskSpace, seams::kProgramCaption, seams::kMbOk);
  }
}

DirManager::~DirManager() {
  if (g_liveManagers.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    BlockFileRecycler::Clear();
    CleanTempDir();
    if (!g_tempDirIsSystem && !g_tempDir.empty()) RemoveDir(g_tempDir);
  }
}

void DirManager::Ref() { ++mRefCount; }

void DirManager::Deref() {
  if (--mRefCount == 0) delete this;
}

CFileName DirManager::MakeBlockFileName(const std::string& folder) {
  char name[16];
  do {
    const std::uint32_t n = g_nameCounter.fetch_add(1, std::memory_order_relaxed);
    std::snprintf(name, sizeof name, "$%07u", n);
  } while (ContainsBlockFile(name));
  return CFileName(folder, name);
}

bool DirManager::ContainsBlockFile(const std::string& name) const {
  std::lock_guard lock(mHashLock);
  return mBlockFileHash.count(name) != 0;
}

void DirManager::AddBlockFile(const std::string& name, BlockFile* block) {
  std::lock_guard lock(mHashLock);
  mBlockFileHash[name] = block;
}

BlockFile* DirManager::NewSimpleBlockFile(ConstSamplePtr sampleData, std::int32_t sampleLen,
                                          SampleFormat format) {
  const CFileName name = MakeBlockFileName(g_tempDir);
  BlockFile* block = new SimpleBlockFile(name, sampleData, sampleLen, format);
  if (!block->WriteSucceeded()) {
    block->Deref();  // takes the partial file with it
    return nullptr;
  }
  AddBlockFile(name.GetName(), block);
  return block;
}

BlockFile* DirManager::NewSimpleBlockFileFrom(const CFileName& file, int fd, ConstSamplePtr sampleData,
                                              std::int32_t sampleLen, SampleFormat format,
                                              std::int32_t onDisk) {
  BlockFile* block = new SimpleBlockFile(file, fd, sampleData, sampleLen, format, onDisk);
  if (!block->WriteSucceeded()) {
    block->Deref();
    return nullptr;
  }
  mBlockFileHash[file.GetName()] = block;
  return block;
}

BlockFile* DirManager::NewAliasBlockFile(const std::string& aliasedFile, std::int32_t aliasStart,
                                         std::int32_t aliasLen, std::int32_t aliasChannel) {
  const CFileName name = MakeBlockFileName(g_tempDir);
  BlockFile* block = new PCMAliasBlockFile(name, CFileName(aliasedFile), aliasStart, aliasLen, aliasChannel);
  if (!block->WriteSucceeded()) {
    block->Deref();
    return nullptr;
  }
  AddBlockFile(name.GetName(), block);
  return block;
}

BlockFile* DirManager::CopyBlockFile(BlockFile* block) {
  if (!block) return nullptr;
  if (!block->IsLocked()) {
    block->Ref();
    return block;
  }

  const CFileName oldName = block->GetFileName();
  if (oldName.GetName().empty()) {
    // A block without a file (silence) has nothing to copy on disk.
    return block->Copy(oldName);
  }
  CFileName newName = MakeBlockFileName(g_tempDir);
  newName.SetExt(oldName.GetExt());
  if (!CopyFileTo(oldName.GetFullPath(), newName.GetFullPath(), true)) return nullptr;
  BlockFile* copy = block->Copy(newName);
  if (!copy) {
    RemoveFile(newName.GetFullPath());
    return nullptr;
  }
  AddBlockFile(newName.GetName(), copy);
  return copy;
}

void DirManager::Deref(BlockFile* block) {
  if (!block) return;
  const std::string name = block->GetFileName().GetName();
  if (block->Deref()) {
    std::lock_guard lock(mHashLock);
    auto it = mBlockFileHash.find(name);
    if (it != mBlockFileHash.end() && it->second == block) mBlockFileHash.erase(it);
  }
}

void DirManager::CleanTempDir() {
  if (g_tempDir.empty()) return;
  std::vector<std::string> stale;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(g_tempDir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (name.rfind("ZQ$", 0) == 0 && it->is_regular_file(typeError)) stale.push_back(it->path().string());
  }
  if (stale.empty()) return;

  StopwatchStart();
  std::unique_ptr<seams::ProgressWindow> progress;
  std::size_t deleted = 0;
  for (const std::string& path : stale) {
    RemoveFile(path);  // a file that cannot be deleted is skipped
    ++deleted;
    if (!progress && StopwatchElapsed(false) > kProgressDelayMs) {
      progress = seams::CreateProgressWindow();
      progress->Show(model_text::kCleanupCaption);
      progress->SetText(model_text::kCleanupText);
      progress->SetRange(0, 1000, 1);
    }
    if (progress) {
      progress->SetPos(static_cast<int>(deleted * 1000 / stale.size()));
      progress->PumpMessages(true);
      if (progress->Cancelled()) break;
    }
  }
  if (progress) progress->Hide();
}
