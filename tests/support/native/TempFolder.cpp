#include "tests/support/native/TempFolder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace testsupport {

TempFolder::TempFolder(const std::string& prefix, const std::string& parent) {
  std::error_code ec;
  std::filesystem::path base = parent;
  if (base.empty()) base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  const std::string pattern = (base / (prefix + "-XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data()))
    throw std::runtime_error("cannot make a temporary folder " + pattern + ": " + std::strerror(errno));
  mPath = name.data();
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(mPath, ec);
}

}  // namespace testsupport
