#include "support/wine/TempFolder.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include <cstdlib>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace winetest {
namespace {

// Removes a folder and everything in it, through Windows calls.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE h = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(full.c_str());
      }
    } while (::FindNextFileA(h, &found));
    ::FindClose(h);
  }
  ::RemoveDirectoryA(folder.c_str());
}

std::string Backslashes(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

TempFolder::TempFolder(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp == '/' ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data())) {
    std::fprintf(stderr, "cannot make a temporary folder %s\n", pattern.c_str());
    std::abort();  // no test may write beside the folder it was promised
  }
  m_unixPath = name.data();
  m_path = "Z:" + Backslashes(m_unixPath);
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

std::string TempFolder::File(const std::string& name) const { return m_path + "\\" + Backslashes(name); }

std::string TempFolder::Name() const { return m_unixPath.substr(m_unixPath.rfind('/') + 1); }

}  // namespace winetest
