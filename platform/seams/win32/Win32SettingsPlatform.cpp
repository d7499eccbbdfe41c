#include "platform/seams/win32/Win32SettingsPlatform.h"

#include "platform/seams/win32/Win32Paths.h"

namespace seams {

std::string Win32SettingsPlatform::ProgramFilePath() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string Win32SettingsPlatform::TempPath() {
  char shortPath[MAX_PATH] = {};
  char longPath[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, shortPath);
  if (!::GetLongPathNameA(shortPath, longPath, MAX_PATH)) return shortPath;
  return longPath;
}

bool Win32SettingsPlatform::Exists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32SettingsPlatform::IsFile(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32SettingsPlatform::IsFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32SettingsPlatform::CreateFolder(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) || IsFolder(path);
}

bool Win32SettingsPlatform::ListFiles(const std::string& folder, std::vector<std::string>* names) {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += "*";
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names->push_back(data.cFileName);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return true;
}

std::string Win32SettingsPlatform::OpenablePath(const std::string& path) { return NativePathOf(path); }

std::string Win32SettingsPlatform::ShownPath(const std::string& nativePath) {
#ifdef __WINE__
  if (nativePath.empty() || nativePath[0] != '/') return nativePath;
  WCHAR* dos = wine_get_dos_file_name(nativePath.c_str());
  if (!dos) return nativePath;
  const int length = ::WideCharToMultiByte(CP_ACP, 0, dos, -1, nullptr, 0, nullptr, nullptr);
  std::string shown(static_cast<size_t>(length > 0 ? length : 1), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, dos, -1, &shown[0], length, nullptr, nullptr);
  ::HeapFree(::GetProcessHeap(), 0, dos);
  shown.resize(std::char_traits<char>::length(shown.c_str()));
  return shown.empty() ? nativePath : shown;
#else
  return nativePath;
#endif
}

}  // namespace seams
