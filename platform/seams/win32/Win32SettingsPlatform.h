#pragma once
// The settings records' view of the system through Win32: the program file from
// GetModuleFileName, the temporary path from GetTempPath, and file checks and folder
// creation with the Win32 file calls, so stored folders are Windows paths (as the
// user sees them in the folder dialogs). The program installs it at start-up with
// settings::SetSettingsPlatform.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/SettingsPlatform.h"
#include "platform/afx/linux_headers_end.h"

namespace seams {

class Win32SettingsPlatform final : public settings::SettingsPlatform {
public:
  std::string ProgramFilePath() override;
  std::string TempPath() override;
  bool Exists(const std::string& path) override;
  bool IsFile(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool ListFiles(const std::string& folder, std::vector<std::string>* names) override;
  // The native path of a Windows path (its folder must exist); empty when it has none.
  std::string OpenablePath(const std::string& path) override;
  std::string ShownPath(const std::string& nativePath) override;
};

}  // namespace seams
