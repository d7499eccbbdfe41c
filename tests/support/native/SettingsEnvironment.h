// The settings of the program as tests see them: a fresh registry backend (the
// seams' MemoryRegistry or the stricter StrictRegistry), a platform whose program
// and temporary folders lie in a fresh temporary folder, and message boxes that are
// recorded and answered from a script, all installed while the environment lives.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/SettingsPlatform.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/Registry.h"
#include "tests/support/native/RecordedMessageBoxes.h"
#include "tests/support/native/StrictRegistry.h"
#include "tests/support/native/TempFolder.h"

namespace settings_test {

using testsupport::RecordedMessageBoxes;

enum class Backend { Memory, Strict };

std::unique_ptr<seams::RegistryBackend> MakeBackend(Backend kind);

inline std::string BackendName(const testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::Memory ? "MemoryRegistry" : "StrictRegistry";
}

// Program file <root>/program/tarvel.exe, temporary path <root>/temp (no trailing
// separator); files through the native service.
class TestPlatform final : public settings::NativeSettingsPlatform {
public:
  explicit TestPlatform(std::string root) : mRoot(std::move(root)) {}
  std::string ProgramFilePath() override { return mRoot + "/program/tarvel.exe"; }
  std::string TempPath() override { return mRoot + "/temp"; }

private:
  std::string mRoot;
};

// Installs a fresh backend, the test platform over a fresh temporary folder and
// recorded message boxes (answered Yes unless a script says otherwise); removes them
// again.
class SettingsEnvironment {
public:
  explicit SettingsEnvironment(Backend kind = Backend::Memory);
  ~SettingsEnvironment();
  SettingsEnvironment(const SettingsEnvironment&) = delete;
  SettingsEnvironment& operator=(const SettingsEnvironment&) = delete;

  seams::RegistryBackend& backend() { return *mBackend; }
  const std::string& root() const { return mRoot; }
  std::string OutputFolder() const { return mRoot + "/program/Output/"; }

  // The raw value under HKCU\Software\Tarvel\<section>.
  bool RawValue(const std::string& section, const std::string& name, seams::RegistryValue* value);
  // The value names under HKCU\Software\Tarvel\<section>, sorted.
  std::vector<std::string> ValueNames(const std::string& section);

  RecordedMessageBoxes messages{seams::kIdYes};

private:
  std::unique_ptr<seams::RegistryBackend> mBackend;
  testsupport::TempFolder mFolder;
  std::string mRoot;
  std::unique_ptr<TestPlatform> mPlatform;
  seams::RegistryBackend* mPreviousBackend = nullptr;
  settings::SettingsPlatform* mPreviousPlatform = nullptr;
};

// An empty file, with the folders above it.
void Touch(const std::string& path);

}  // namespace settings_test
