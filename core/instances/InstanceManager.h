#pragma once
// The running copies of the program on one machine and account: a small shared table
// gives each copy a slot and a temporary folder of its own, reclaims the slots and
// folders of copies that are gone, elects the primary copy (the one that runs the
// scheduled recordings) and counts changes of the clipboard sound the copies share.
//
// The table is a 148-byte block of POSIX shared memory (32-bit little-endian words):
//   0 count, 4 slot mask, 8 clipboard owner, 12 clipboard counter, 16 primary slot bit,
//   20 + 4 i window handle of slot i (i = 0..31).
// Changes happen under a lock that the system releases when its holder dies, and each
// registered copy holds a lock of its slot for as long as it lives, so a crashed copy
// can neither block the others nor keep its slot.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/seams/WindowMessages.h"

class CInstanceManager {
public:
  static constexpr int kSlots = 32;
  static constexpr std::size_t kBlockSize = 148;
  // Posted to the new primary copy's main window when the primary copy exits.
  static constexpr std::uint32_t kSchedulingHandoverMessage = 0x5FB;

  // appName names the shared table ("ZQY_INSTANCE_MMF_" + appName).
  explicit CInstanceManager(const std::string& appName = "Tarvel");
  virtual ~CInstanceManager();
  CInstanceManager(const CInstanceManager&) = delete;
  CInstanceManager& operator=(const CInstanceManager&) = delete;

  // A gone copy's folder that holds a file of this name still holds work of the user
  // (a take it was recording): it is not removed but kept aside under a rescue name
  // ("$ZQY#Rescue#" + number + "$") until RescuedFolders' caller has given the work
  // back. Empty (the default): every gone copy's folder is removed.
  void SetRescueMarker(const std::string& fileName) { mRescueMarker = fileName; }
  // The rescued folders of the temporary folder, by their numbers.
  std::vector<std::string> RescuedFolders() const;

  // Makes the temporary folder (tempFolder replaces the user's temporary folder when
  // not empty), opens or creates the table, reclaims what gone copies left and
  // registers this copy. False when the table cannot be used or all slots are taken:
  // such a copy has no folder of its own and must not run.
  bool Startup(const std::string& tempFolder);
  // 1 with this copy's slot bit, 0 when every slot is taken (the first live copy's
  // window is brought forward then).
  int Register(std::uint32_t* slotBit);
  void Unregister();

  // Stores the main window's handle in this copy's slot (0 when none).
  void SetMainWindow(seams::WindowHandle window);
  // This copy's folder; empty while it has no slot.
  std::string GetInstanceDir() const;
  std::string GetSharedClipboardPath() const;
  std::string GetClipboardFileName() const;
  const std::string& GetTempPath() const { return mTempPath; }

  void SetClipboardOwner(std::uint32_t value);
  // Takes the clipboard for writing or reading: under the table's lock, when no copy
  // holds it (owner word not 2), sets the owner word to 2 and answers true; false
  // when another copy holds it. So two copies never use the clipboard file at once.
  bool TakeClipboardOwner();
  std::uint32_t GetClipboardOwner() const;
  void BumpClipboardSerial();
  std::uint32_t GetClipboardSerial() const;
  void SyncClipboardSerial();
  bool IsClipboardChanged() const;
  std::uint32_t GetInstanceCount() const;
  // The copies that really run: the count word still counts a copy that crashed until
  // the next copy starts.
  std::uint32_t GetLiveInstanceCount() const;
  // When the primary copy is gone without handing the scheduling on (it crashed), the
  // lowest copy that runs becomes the primary and is told (0x5FB). Its folder stays for
  // the next start to reclaim. Cheap: meant to be called now and then.
  void TakeOverFromGonePrimary();

  bool IsPrimary() const { return mPrimary != 0; }
  std::uint32_t GetSlotBit() const { return mSlotBit; }
  // Slot index of a slot bit: its position in the slot table, 15 when not in it.
  static int SlotIndexOf(std::uint32_t bit);
  // "$ZQY#Tmp#" + two-digit slot number (index + 1) + "$".
  static std::string SlotFolderName(int index);

  // The name of the shared table of a program (machine-wide, so it names the account).
  static std::string SharedBlockName(const std::string& appName);

  // Test hooks: hold the table's lock as a crashing copy might, and read a word.
  void LockForTesting();
  std::uint32_t WordForTesting(std::size_t offset) const;

private:
  class BlockLock;
  bool OpenBlock();
  void CloseBlock();
  void CleanStaleFolders();
  // Removes a gone copy's folder, or keeps it aside when it holds the rescue marker.
  void RemoveGoneFolder(const std::string& path);
  bool SlotOwnerAlive(int index) const;
  bool HoldSlot(int index, bool hold);
  std::uint32_t Word(std::size_t offset) const;
  void SetWord(std::size_t offset, std::uint32_t value);
  void LockBlock() const;
  void UnlockBlock() const;
  void ChooseNewPrimary(std::uint32_t leaving);

  std::string mAppName;
  std::string mTempPath;  // always ends in a separator
  int mFd = -1;           // the shared table, -1 until opened
  std::uint8_t* mBlock = nullptr;
  std::uint32_t mSlotBit = 0;
  std::int64_t mClipboardSeen = -1;
  int mPrimary = 0;
  std::string mRescueMarker;
};
