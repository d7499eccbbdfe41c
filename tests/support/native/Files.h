// Whole files as bytes, reading little-endian numbers out of them, and a full disk
// without a full disk.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The file's bytes; empty when it cannot be read.
std::vector<unsigned char> ReadBytes(const std::string& path);
// Writes bytes as the whole file; false when that fails.
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// The little-endian 32-bit number at b[at].
std::uint32_t LE32(const std::vector<unsigned char>& b, std::size_t at);

// A file-size limit on this process while it lives (SIGXFSZ ignored, so a write past
// the limit fails with EFBIG): a full disk without a full disk.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
  rlimit mOld{};
  sighandler_t mOldHandler;
};

}  // namespace testsupport
