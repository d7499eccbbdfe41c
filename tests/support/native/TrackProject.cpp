#include "tests/support/native/TrackProject.h"

#include <filesystem>
#include <stdexcept>

#include "core/model/BlockFileRecycler.h"
#include "core/model/DirManager.h"
#include "core/model/Sequence.h"
#include "core/model/TrackFactory.h"

namespace testsupport {

TrackProject::TrackProject(std::int32_t blockBytes, const std::string& parent)
    : mFolder("tarvel-project", parent) {
  mBlocks = mFolder / "blocks";
  std::filesystem::create_directory(mBlocks);
  mOldBlocks = DirManager::GetTempDir();
  if (!DirManager::SetTempDir(mBlocks.c_str()))
    throw std::runtime_error("cannot make " + mBlocks + " the folder of block files");
  if (blockBytes > 0) {
    mOldBlockBytes = Sequence::GetMaxDiskBlockSize();
    Sequence::SetMaxDiskBlockSize(blockBytes);
    mBlockBytesSet = true;
  }
  mDirManager = new DirManager;
  mFactory = std::make_unique<TrackFactory>(mDirManager);
}

TrackProject::~TrackProject() { Close(); }

void TrackProject::Close() {
  mFactory.reset();
  if (mDirManager) mDirManager->Deref();
  mDirManager = nullptr;
  if (mBlockBytesSet) Sequence::SetMaxDiskBlockSize(mOldBlockBytes);
  mBlockBytesSet = false;
  if (!mOldBlocks.empty()) DirManager::SetTempDir(mOldBlocks.c_str());
  mOldBlocks.clear();
}

int TrackProject::BlockFilesOnDisk(const std::string& extension) const {
  int n = 0;
  std::error_code ec;
  if (std::filesystem::exists(mBlocks, ec))
    for (auto it = std::filesystem::recursive_directory_iterator(mBlocks, ec);
         it != std::filesystem::recursive_directory_iterator(); ++it)
      if (it->is_regular_file() && !BlockFileRecycler::IsSpareName(it->path().filename().string()) &&
          (extension.empty() || it->path().extension() == extension))
        ++n;
  return n;
}

}  // namespace testsupport
