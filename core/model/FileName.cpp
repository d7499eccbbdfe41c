#include "core/model/FileName.h"

#include <cctype>

#include "core/model/SystemUtils.h"

namespace {
bool IsSeparator(char c) { return c == '\\' || c == '/'; }
}  // namespace

CFileName::CFileName(const std::string& path) { SetFullPath(path); }

CFileName::CFileName(const CFileName& other) { SetFullPath(other.GetFullPath()); }

CFileName& CFileName::operator=(const CFileName& other) {
  if (this != &other) SetFullPath(other.GetFullPath());
  return *this;
}

CFileName::CFileName(const std::string& folder, const std::string& name) {
  std::string path = folder;
  if (!folder.empty() && !EndsWithSeparator(folder)) {
    const bool backslashStyle =
        folder.find('\\') != std::string::npos && folder.find('/') == std::string::npos;
    path += backslashStyle ? '\\' : '/';
  }
  path += name;
  SetFullPath(path);
}

std::string CFileName::GetFullPath() const { return mDrive + mDir + mName + mExt; }

bool CFileName::Exists() const { return FileExists(GetFullPath()); }

void CFileName::SetFullPath(const std::string& path) {
  std::size_t pos = 0;
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) pos = 2;
  mDrive = path.substr(0, pos);

  std::size_t lastSep = std::string::npos;
  for (std::size_t i = path.size(); i > pos; --i) {
    if (IsSeparator(path[i - 1])) {
      lastSep = i - 1;
      break;
    }
  }
  const std::size_t nameStart = lastSep == std::string::npos ? pos : lastSep + 1;
  mDir = path.substr(pos, nameStart - pos);

  const std::size_t dot = path.rfind('.');
  const std::size_t extStart = (dot != std::string::npos && dot >= nameStart) ? dot : path.size();
  mName = path.substr(nameStart, extStart - nameStart);
  mExt = path.substr(extStart);
}
