#pragma once
// The owner of a project's block files: it names every new block uniquely, makes the
// blocks of each kind in the temporary folder, shares or copies them for the undo
// history, and forgets their names when they die. One manager per project; tracks
// and sequences hold counted references to it.
//
// Blocks may be made, copied and dropped on any thread (an import writes its blocks
// on helper threads while the user-interface thread shows the progress): the names
// of the live blocks are kept under a lock. The manager's own reference count is not
// thread-safe: tracks and sequences are made and deleted on one thread.
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

#include "core/model/BlockFile.h"
#include "core/model/FileName.h"
#include "core/model/SampleFormat.h"

class DirManager {
public:
  // Reference count 1. Warns when the temporary folder's volume has less than 1 MiB
  // free for this user.
  DirManager();
  DirManager(const DirManager&) = delete;
  DirManager& operator=(const DirManager&) = delete;

  // Sets the program-wide temporary folder: path itself, or the system's temporary
  // folder for a null path. False, after telling the user, when none can be found.
  static bool SetTempDir(const char* path);
  static const std::string& GetTempDir();
  // Deletes the stale "ZQ$*" files of the temporary folder, with a progress window
  // when that takes more than half a second; Cancel stops it.
  static void CleanTempDir();
  // How many managers are alive in this process.
  static int GetLiveCount();

  void Ref();
  // Drops one reference; at the last one the manager deletes itself.
  void Deref();
  int GetRefCount() const { return mRefCount; }

  // The next name ("$" and seven digits) that no live block of this manager uses,
  // in folder.
  CFileName MakeBlockFileName(const std::string& folder);

  // A block written at once. Null when its file could not be made or written in full,
  // so that the caller can refuse the data instead of keeping silence.
  BlockFile* NewSimpleBlockFile(ConstSamplePtr sampleData, std::int32_t sampleLen, SampleFormat format);
  // A block over a file of the temporary folder (named by MakeBlockFileName, with the
  // extension ".tmp") that is open as fd and already holds samples [0, onDisk) of
  // sampleData at their places (SimpleBlockFile::WriteSamplesAt): the rest is written.
  // Null when that fails. The caller closes fd.
  BlockFile* NewSimpleBlockFileFrom(const CFileName& file, int fd, ConstSamplePtr sampleData,
                                    std::int32_t sampleLen, SampleFormat format, std::int32_t onDisk);
  // A block over samples of an imported file. Null when its summary file could not be
  // made or written.
  BlockFile* NewAliasBlockFile(const std::string& aliasedFile, std::int32_t aliasStart, std::int32_t aliasLen,
                               std::int32_t aliasChannel);
  // An unlocked block is shared (one more reference, same pointer); a locked one is
  // copied to a new file. Null when the copy fails.
  BlockFile* CopyBlockFile(BlockFile* block);
  // Drops one reference of a block; forgets its name when that was the last.
  void Deref(BlockFile* block);

  // Whether a block of this name is alive in this manager.
  bool ContainsBlockFile(const std::string& name) const;

protected:
  // Only the last Deref destroys a manager: blocks, tracks, undo states and the
  // clipboard may still hold it when its project goes.
  virtual ~DirManager();

private:
  // Remembers a new block under its name.
  void AddBlockFile(const std::string& name, BlockFile* block);

  int mRefCount = 1;
  mutable std::mutex mHashLock;
  std::unordered_map<std::string, BlockFile*> mBlockFileHash;
};
