#pragma once
// A folder of the window test's own: made fresh and unique under the Unix temporary
// folder, reached by Windows calls through wine's Z: drive, removed with everything in
// it when the object goes.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace winetest {

class TempFolder {
public:
  // The folder's name starts with prefix (then a unique suffix).
  explicit TempFolder(const std::string& prefix = "tarvel");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder as Windows calls and wine's shell see it (Z:\tmp\...).
  const std::string& Path() const { return m_path; }
  // A path inside it; '/' in name separates folders too.
  std::string File(const std::string& name) const;
  // The folder's own name, without its parents.
  std::string Name() const;
  // The folder as Linux calls see it.
  const std::string& UnixPath() const { return m_unixPath; }

private:
  std::string m_unixPath;
  std::string m_path;
};

}  // namespace winetest
