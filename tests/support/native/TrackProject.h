// The storage of a project for tests of tracks, sequences, effects and imports: a
// fresh temporary folder whose "blocks" folder is the program-wide folder of block
// files, a directory manager and a track factory on it. The previous block folder
// and block size come back when the project closes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tests/support/native/TempFolder.h"

class DirManager;
class TrackFactory;

namespace testsupport {

class TrackProject {
public:
  // blockBytes > 0 sets the largest block file, in bytes, while the project is open.
  // The temporary folder is made in parent (the system's temporary folder when empty).
  explicit TrackProject(std::int32_t blockBytes = 0, const std::string& parent = "");
  ~TrackProject();  // closes
  TrackProject(const TrackProject&) = delete;
  TrackProject& operator=(const TrackProject&) = delete;

  // Drops the factory and the manager's reference and restores the block folder
  // and size; a test that checks what is left alive afterwards calls it first.
  void Close();

  const TempFolder& folder() const { return mFolder; }
  // A path in the temporary folder (beside the block folder).
  std::string operator/(const std::string& name) const { return mFolder / name; }
  const std::string& blocks() const { return mBlocks; }
  DirManager* dirManager() const { return mDirManager; }
  TrackFactory* factory() const { return mFactory.get(); }

  // The files in the block folder and below it, without the spare files kept for new
  // blocks; only those ending in extension (".tmp") when one is given.
  int BlockFilesOnDisk(const std::string& extension = "") const;

private:
  TempFolder mFolder;
  std::string mBlocks;
  std::string mOldBlocks;
  std::int32_t mOldBlockBytes = 0;
  bool mBlockBytesSet = false;
  DirManager* mDirManager = nullptr;
  std::unique_ptr<TrackFactory> mFactory;
};

}  // namespace testsupport
