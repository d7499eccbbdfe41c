#include "platform/seams/win32/Win32Paths.h"

namespace seams {

std::string NativePathOf(const std::string& windowsPath) {
#ifdef __WINE__
  if (windowsPath.empty()) return windowsPath;
  const int length = ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::string();
  std::u16string wide(static_cast<size_t>(length), u'\0');
  ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, reinterpret_cast<WCHAR*>(&wide[0]), length);
  char* unixPath = wine_get_unix_file_name(reinterpret_cast<const WCHAR*>(wide.c_str()));
  std::string native = unixPath ? unixPath : "";
  if (unixPath) ::HeapFree(::GetProcessHeap(), 0, unixPath);
  return native;
#else
  return windowsPath;
#endif
}

std::string WindowsPathOf(const std::string& nativePath) {
#ifdef __WINE__
  if (nativePath.empty()) return nativePath;
  WCHAR* dos = wine_get_dos_file_name(nativePath.c_str());
  if (!dos) return std::string();
  const int length = ::WideCharToMultiByte(CP_ACP, 0, dos, -1, nullptr, 0, nullptr, nullptr);
  std::string windows(static_cast<size_t>(length > 0 ? length : 1), '\0');
  if (length > 0) ::WideCharToMultiByte(CP_ACP, 0, dos, -1, &windows[0], length, nullptr, nullptr);
  ::HeapFree(::GetProcessHeap(), 0, dos);
  windows.resize(windows.find('\0'));
  return windows;
#else
  return nativePath;
#endif
}

}  // namespace seams
