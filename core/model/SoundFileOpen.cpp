#include "core/model/SoundFileOpen.h"

#include <mutex>

namespace {
std::mutex g_openLock;
}  // namespace

SNDFILE* OpenSoundFileForReading(const std::string& path, SF_INFO* info) {
  std::lock_guard lock(g_openLock);
  return sf_open(path.c_str(), SFM_READ, info);
}
