#include "core/instances/InstanceManager.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/seams/WindowQueries.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCount = 0;
constexpr std::size_t kMask = 4;
constexpr std::size_t kClipboardOwner = 8;
constexpr std::size_t kClipboardCounter = 12;
constexpr std::size_t kPrimaryWord = 16;
constexpr std::size_t WindowWord(int index) { return 20 + 4 * static_cast<std::size_t>(index); }

// Lock regions of the shared file, far past its data: one for changes of the table,
// one per slot, held by the copy that owns the slot. Open-file-description locks are
// released by the system when their holder dies.
constexpr off_t kTableLockByte = 4096;
constexpr off_t SlotLockByte(int index) { return 8192 + index; }

bool SetLock(int fd, off_t byte, short type, bool wait) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  for (;;) {
    if (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) == 0) return true;
    if (errno != EINTR) return false;
  }
}

std::string WithSeparator(std::string path) {
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  return path;
}

std::string DefaultTempPath() {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = tmp && *tmp ? tmp : "/tmp";
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(path, ec);
  return WithSeparator(ec ? path : canonical.string());
}

// Creates the folder and every missing parent.
void CreateFolderPath(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
}

void RemoveFolder(const std::string& path) {
  std::error_code ec;
  fs::remove_all(path, ec);
}

void RemoveSharedClipboard(const std::string& path) {
  std::error_code ec;
  if (fs::exists(path, ec) && !fs::is_directory(path, ec)) fs::remove(path, ec);
}

}  // namespace

CInstanceManager::CInstanceManager(const std::string& appName)
    : mAppName(appName), mTempPath(DefaultTempPath()) {}

CInstanceManager::~CInstanceManager() {
  Unregister();
  CloseBlock();
}

int CInstanceManager::SlotIndexOf(std::uint32_t bit) {
  for (int i = 0; i < kSlots; ++i)
    if (bit == (1u << i)) return i;
  return 15;
}

std::string CInstanceManager::SlotFolderName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%02d$", "$ZQY#Tmp#", index + 1);
  return name;
}

std::uint32_t CInstanceManager::Word(std::size_t offset) const {
  if (!mBlock) return 0;
  std::uint32_t value =
      __atomic_load_n(reinterpret_cast<const std::uint32_t*>(mBlock + offset), __ATOMIC_ACQUIRE);
  return le32toh(value);
}

void CInstanceManager::SetWord(std::size_t offset, std::uint32_t value) {
  if (!mBlock) return;
  __atomic_store_n(reinterpret_cast<std::uint32_t*>(mBlock + offset), htole32(value), __ATOMIC_RELEASE);
}

std::uint32_t CInstanceManager::WordForTesting(std::size_t offset) const { return Word(offset); }

void CInstanceManager::LockBlock() const { SetLock(mFd, kTableLockByte, F_WRLCK, true); }
void CInstanceManager::UnlockBlock() const { SetLock(mFd, kTableLockByte, F_UNLCK, false); }
void CInstanceManager::LockForTesting() { LockBlock(); }

class CInstanceManager::BlockLock {
public:
  explicit BlockLock(const CInstanceManager& owner) : mOwner(owner) { mOwner.LockBlock(); }
  ~BlockLock() { mOwner.UnlockBlock(); }

private:
  const CInstanceManager& mOwner;
};

std::string CInstanceManager::SharedBlockName(const std::string& appName) {
  std::string name = "ZQY_INSTANCE_MMF_" + appName;
  for (char& c : name)
    if (c == '/') c = '_';
  // Shared memory names are machine-wide; the table is per account, and per Wine
  // prefix: copies in two prefixes run in two separate Windows installations (their
  // other named objects never meet either), so they must not share slots.
  name += "." + std::to_string(getuid());
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) {
    std::uint32_t hash = 2166136261u;  // FNV-1a of the prefix path
    for (const char* p = prefix; *p; ++p) hash = (hash ^ static_cast<unsigned char>(*p)) * 16777619u;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x", hash);
    name += suffix;
  }
  return name;
}

bool CInstanceManager::OpenBlock() {
  if (mFd >= 0) return true;
  std::string name = "/" + SharedBlockName(mAppName);
  int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  // The first copy makes the table: growing the new object fills it with zeros, so
  // two copies starting together never wipe each other's registration.
  SetLock(fd, kTableLockByte, F_WRLCK, true);
  struct stat st {};
  bool ok =
      fstat(fd, &st) == 0 && (st.st_size >= static_cast<off_t>(kBlockSize) || ftruncate(fd, kBlockSize) == 0);
  void* view = ok ? mmap(nullptr, kBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
  SetLock(fd, kTableLockByte, F_UNLCK, false);
  if (view == MAP_FAILED) {
    close(fd);
    return false;
  }
  mFd = fd;
  mBlock = static_cast<std::uint8_t*>(view);
  return true;
}

void CInstanceManager::CloseBlock() {
  if (mBlock) munmap(mBlock, kBlockSize);
  if (mFd >= 0) close(mFd);
  mBlock = nullptr;
  mFd = -1;
}

bool CInstanceManager::SlotOwnerAlive(int index) const {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = SlotLockByte(index);
  lock.l_len = 1;
  if (fcntl(mFd, F_OFD_GETLK, &lock) != 0) return true;  // when in doubt, keep the slot
  return lock.l_type != F_UNLCK;
}

bool CInstanceManager::HoldSlot(int index, bool hold) {
  return SetLock(mFd, SlotLockByte(index), hold ? F_WRLCK : F_UNLCK, false);
}

void CInstanceManager::ChooseNewPrimary(std::uint32_t leaving) {
  if (Word(kPrimaryWord) != leaving) return;
  std::uint32_t mask = Word(kMask);
  for (int i = 0; i < kSlots; ++i) {
    if (mask & (1u << i)) {
      SetWord(kPrimaryWord, 1u << i);
      seams::PostWindowMessage(Word(WindowWord(i)), kSchedulingHandoverMessage, 0, 0);
      return;
    }
  }
  SetWord(kPrimaryWord, 0);
}

// Called with the table locked.
void CInstanceManager::CleanStaleFolders() {
  std::uint32_t mask = Word(kMask);
  // Copies that registered and are gone: their slot lock is free.
  for (int i = 0; i < kSlots; ++i) {
    std::uint32_t bit = 1u << i;
    if (!(mask & bit) || SlotOwnerAlive(i)) continue;
    RemoveGoneFolder(mTempPath + SlotFolderName(i));
    SetWord(WindowWord(i), 0);
    mask &= ~bit;
    SetWord(kMask, mask);
    std::uint32_t count = Word(kCount);
    SetWord(kCount, count > 0 ? count - 1 : 0);
    ChooseNewPrimary(bit);
  }
  // Folders of free slots are leftovers.
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(mTempPath, ec)) {
    if (!entry.is_directory(ec)) continue;
    std::string name = entry.path().filename().string();
    for (int i = 0; i < kSlots; ++i) {
      if (name == SlotFolderName(i) && !(mask & (1u << i))) {
        RemoveGoneFolder(entry.path().string());
        SetWord(WindowWord(i), 0);
      }
    }
  }
  if (Word(kCount) == 0 || mask == 0) {
    // Nobody runs: start from an empty table, as a first copy would find it.
    std::memset(mBlock, 0, kBlockSize);
    RemoveSharedClipboard(GetSharedClipboardPath());
  }
}

namespace {
constexpr const char* kRescuePrefix = "$ZQY#Rescue#";
}  // namespace

void CInstanceManager::RemoveGoneFolder(const std::string& path) {
  std::error_code ec;
  if (!mRescueMarker.empty() && fs::exists(fs::path(path) / mRescueMarker, ec)) {
    // Under the lowest number no rescued folder has.
    for (int n = 1; n < 100000; ++n) {
      const std::string rescue = mTempPath + kRescuePrefix + std::to_string(n) + "$";
      if (fs::exists(rescue, ec)) continue;
      fs::rename(path, rescue, ec);
      if (!ec) return;
      break;
    }
  }
  RemoveFolder(path);
}

std::vector<std::string> CInstanceManager::RescuedFolders() const {
  std::vector<std::pair<long, std::string>> found;
  std::error_code ec;
  const std::string prefix = kRescuePrefix;
  for (const auto& entry : fs::directory_iterator(mTempPath, ec)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory(ec) || name.rfind(prefix, 0) != 0 || name.size() < prefix.size() + 2 ||
        name.back() != '$')
      continue;
    const std::string number = name.substr(prefix.size(), name.size() - prefix.size() - 1);
    if (number.find_first_not_of("0123456789") != std::string::npos || number.size() > 9) continue;
    found.emplace_back(std::stol(number), entry.path().string());
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> folders;
  for (auto& f : found) folders.push_back(std::move(f.second));
  return folders;
}

bool CInstanceManager::Startup(const std::string& tempFolder) {
  if (!tempFolder.empty()) mTempPath = WithSeparator(tempFolder);
  CreateFolderPath(mTempPath);
  if (!OpenBlock()) return false;
  {
    BlockLock lock(*this);
    CleanStaleFolders();
  }
  std::uint32_t bit = 0;
  return Register(&bit) == 1;
}

int CInstanceManager::Register(std::uint32_t* slotBit) {
  if (slotBit) *slotBit = 0;
  if (!OpenBlock()) return 0;
  if (mSlotBit) {
    if (slotBit) *slotBit = mSlotBit;
    return 1;
  }
  int index = -1;
  {
    // The free slot is found and taken under one lock: two copies never get the same.
    BlockLock lock(*this);
    std::uint32_t mask = Word(kMask);
    for (int i = 0; i < kSlots; ++i) {
      if (!(mask & (1u << i))) {
        index = i;
        break;
      }
    }
    if (index >= 0) {
      std::uint32_t bit = 1u << index;
      HoldSlot(index, true);
      SetWord(kCount, Word(kCount) + 1);
      SetWord(kMask, mask | bit);
      SetWord(WindowWord(index), 0);
      if (Word(kPrimaryWord) == 0) {
        SetWord(kPrimaryWord, bit);
        mPrimary = 1;
      }
      mSlotBit = bit;
    }
  }
  if (index < 0) {
    for (int i = 0; i < kSlots; ++i) {
      seams::WindowHandle window = Word(WindowWord(i));
      if (window != 0 && seams::IsWindowHandle(window)) {
        seams::BringWindowToFront(window);
        break;
      }
    }
    return 0;
  }
  std::error_code ec;
  fs::create_directory(GetInstanceDir(), ec);
  if (slotBit) *slotBit = mSlotBit;
  return 1;
}

void CInstanceManager::Unregister() {
  if (!mBlock || !mSlotBit) return;
  int index = SlotIndexOf(mSlotBit);
  RemoveFolder(GetInstanceDir());
  std::uint32_t count;
  {
    BlockLock lock(*this);
    SetWord(WindowWord(index), 0);
    SetWord(kMask, Word(kMask) & ~mSlotBit);
    count = Word(kCount);
    count = count > 0 ? count - 1 : 0;
    SetWord(kCount, count);
    mPrimary = 0;
    ChooseNewPrimary(mSlotBit);
    if (count == 0) std::memset(mBlock, 0, kBlockSize);
    HoldSlot(index, false);
  }
  mSlotBit = 0;
  if (count == 0) RemoveSharedClipboard(GetSharedClipboardPath());
}

void CInstanceManager::SetMainWindow(seams::WindowHandle window) {
  if (!mBlock || !mSlotBit) return;
  BlockLock lock(*this);
  SetWord(WindowWord(SlotIndexOf(mSlotBit)), window);
}

std::string CInstanceManager::GetInstanceDir() const {
  if (!mSlotBit) return std::string();
  return mTempPath + SlotFolderName(SlotIndexOf(mSlotBit));
}

std::string CInstanceManager::GetSharedClipboardPath() const { return mTempPath + "$ZQY#Clipboard.wav"; }

std::string CInstanceManager::GetClipboardFileName() const {
  std::string dir = GetInstanceDir();
  return dir.empty() ? std::string() : dir + "/ZQ#Clipboard.wav";
}

void CInstanceManager::SetClipboardOwner(std::uint32_t value) {
  if (!mBlock) return;
  BlockLock lock(*this);
  SetWord(kClipboardOwner, value);
}

bool CInstanceManager::TakeClipboardOwner() {
  if (!mBlock) return true;
  BlockLock lock(*this);
  if (Word(kClipboardOwner) == 2) return false;
  SetWord(kClipboardOwner, 2);
  return true;
}

std::uint32_t CInstanceManager::GetClipboardOwner() const { return Word(kClipboardOwner); }

void CInstanceManager::BumpClipboardSerial() {
  if (!mBlock) return;
  BlockLock lock(*this);
  SetWord(kClipboardCounter, Word(kClipboardCounter) + 1);
}

std::uint32_t CInstanceManager::GetClipboardSerial() const { return Word(kClipboardCounter); }

void CInstanceManager::SyncClipboardSerial() { mClipboardSeen = GetClipboardSerial(); }

bool CInstanceManager::IsClipboardChanged() const {
  return static_cast<std::int64_t>(GetClipboardSerial()) != mClipboardSeen;
}

std::uint32_t CInstanceManager::GetInstanceCount() const { return Word(kCount); }

std::uint32_t CInstanceManager::GetLiveInstanceCount() const {
  const std::uint32_t mask = Word(kMask);
  std::uint32_t live = 0;
  for (int i = 0; i < kSlots; ++i)
    // This copy's own lock does not show to itself.
    if ((mask & (1u << i)) && ((1u << i) == mSlotBit || SlotOwnerAlive(i))) ++live;
  return live;
}

void CInstanceManager::TakeOverFromGonePrimary() {
  if (!mBlock || !mSlotBit) return;
  const std::uint32_t primary = Word(kPrimaryWord);
  if (primary == 0 || primary == mSlotBit || SlotOwnerAlive(SlotIndexOf(primary))) return;
  BlockLock lock(*this);
  if (Word(kPrimaryWord) != primary) return;  // another copy took over meanwhile
  const std::uint32_t mask = Word(kMask);
  for (int i = 0; i < kSlots; ++i) {
    const std::uint32_t bit = 1u << i;
    if ((mask & bit) && (bit == mSlotBit || SlotOwnerAlive(i))) {
      SetWord(kPrimaryWord, bit);
      if (bit == mSlotBit) mPrimary = 1;
      seams::PostWindowMessage(Word(WindowWord(i)), kSchedulingHandoverMessage, 0, 0);
      return;
    }
  }
}
