#include "tests/support/native/SettingsEnvironment.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace settings_test {

std::unique_ptr<seams::RegistryBackend> MakeBackend(Backend kind) {
  if (kind == Backend::Memory) return std::make_unique<seams::MemoryRegistry>();
  return std::make_unique<StrictRegistry>();
}

SettingsEnvironment::SettingsEnvironment(Backend kind)
    : mBackend(MakeBackend(kind)), mFolder("tarvel-settings"), mRoot(mFolder.path()) {
  std::filesystem::create_directories(mRoot + "/program");
  std::filesystem::create_directories(mRoot + "/temp");
  mPlatform = std::make_unique<TestPlatform>(mRoot);
  mPreviousBackend = seams::SetRegistryBackend(mBackend.get());
  mPreviousPlatform = settings::SetSettingsPlatform(mPlatform.get());
}

SettingsEnvironment::~SettingsEnvironment() {
  settings::SetSettingsPlatform(mPreviousPlatform);
  seams::SetRegistryBackend(mPreviousBackend);
}

bool SettingsEnvironment::RawValue(const std::string& section, const std::string& name,
                                   seams::RegistryValue* value) {
  auto key = mBackend->OpenKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\" + section, false);
  return key && key->ReadValue(name, value);
}

std::vector<std::string> SettingsEnvironment::ValueNames(const std::string& section) {
  std::vector<std::string> names;
  auto key = mBackend->OpenKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\" + section, false);
  std::string name;
  for (std::uint32_t i = 0; key && key->EnumValue(i, &name); ++i) names.push_back(name);
  std::sort(names.begin(), names.end());
  return names;
}

void Touch(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f) std::fclose(f);
}

}  // namespace settings_test
