// A folder of the test's (or benchmark's) own: made fresh and unique under the
// system's temporary folder or a given one, removed with everything in it when the
// object goes.
#pragma once

#include <string>

namespace testsupport {

class TempFolder {
public:
  // The folder's name starts with prefix (then a unique suffix); it is made in
  // parent, or in the system's temporary folder when parent is empty. Throws
  // std::runtime_error when no folder can be made, so that no test writes
  // beside the folder it was promised.
  explicit TempFolder(const std::string& prefix = "tarvel", const std::string& parent = "");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return mPath; }
  // The path of name inside the folder.
  std::string operator/(const std::string& name) const { return mPath + "/" + name; }

private:
  std::string mPath;
};

}  // namespace testsupport
