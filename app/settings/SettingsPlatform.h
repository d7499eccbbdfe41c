#pragma once
// What the settings records ask of the system: the program file's path, the temporary
// path, and a few file checks on the output folder. The portable tier answers with
// native paths (std::filesystem, /proc/self/exe, TMPDIR); the window tier may install
// its own (GetModuleFileName, GetTempPath + GetLongPathName, Win32 file calls, or path
// conversion at the boundary), and tests install fakes.
//
// Paths in settings are stored as the user sees them; the native service treats them
// as native paths.
#include <string>
#include <vector>

namespace settings {

class SettingsPlatform {
public:
  virtual ~SettingsPlatform() = default;
  // The program file's full path (GetModuleFileName of the program).
  virtual std::string ProgramFilePath() = 0;
  // The system's temporary path, long form (GetTempPath + GetLongPathName).
  virtual std::string TempPath() = 0;
  // Any entry (file or folder) at the path.
  virtual bool Exists(const std::string& path) = 0;
  // An existing entry that is not a folder.
  virtual bool IsFile(const std::string& path) = 0;
  virtual bool IsFolder(const std::string& path) = 0;
  // Creates one folder whose parent exists.
  virtual bool CreateFolder(const std::string& path) = 0;
  // Names (without folder) of the entries of a folder that are not folders; false when
  // the folder cannot be listed.
  virtual bool ListFiles(const std::string& folder, std::vector<std::string>* names) = 0;
  // The path the C library opens for a path of this service (settings paths may be
  // paths of another system's view); the path itself by default.
  virtual std::string OpenablePath(const std::string& path) { return path; }
  // The other way round: a native path as the user sees it in the program's dialogs
  // (a Windows path where the window tier has one); the path itself by default.
  virtual std::string ShownPath(const std::string& nativePath) { return nativePath; }
};

// The native service: /proc/self/exe, TMPDIR or /tmp, std::filesystem.
class NativeSettingsPlatform : public SettingsPlatform {
public:
  std::string ProgramFilePath() override;
  std::string TempPath() override;
  bool Exists(const std::string& path) override;
  bool IsFile(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool ListFiles(const std::string& folder, std::vector<std::string>* names) override;
};

// The installed service (the native one until another is installed). Returns the
// previous one; null restores the native service.
SettingsPlatform& Platform();
SettingsPlatform* SetSettingsPlatform(SettingsPlatform* platform) noexcept;

// Path helpers that accept both separators: a path "ends in a separator" when its last
// character is '/' or '\\'; the separator added to a path is the one it already uses
// ('\\' for a path that has a backslash and no slash), else '/'.
bool IsPathSeparator(char c);
char SeparatorFor(const std::string& path);
std::string WithTrailingSeparator(const std::string& path);
// The part of the path before its last separator ("" when it has none).
std::string FolderOf(const std::string& path);

}  // namespace settings

// Creates a folder with all its missing parents: a trailing separator is
// removed; an existing path stops; else the parent is made the same way, then the path.
// When an exception is raised on the way, shows "Tarvel can't create directory! please
// check your disk space!" ("Error Message", error icon). True when the folder exists
// afterwards.
bool CreateDirectoryPath(const std::string& path);
