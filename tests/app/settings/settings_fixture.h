#pragma once
// Shared pieces of the settings tests: a second registry backend with advapi32's
// stricter rules, a platform whose program and temporary folders lie in a fresh
// temporary folder, a message-box recorder, and a fixture that installs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/SettingsPlatform.h"
#include "platform/seams/message_box.h"
#include "platform/seams/registry.h"
#include "tests/support/native/TempFolder.h"

namespace settings_test {

// A registry backend written independently of MemoryRegistry, with the rules of the
// Win32 registry that MemoryRegistry does not enforce: RegDeleteKey refuses a key that
// still has subkeys; a key opened for reading refuses writes; keys stay valid while a
// handle is open (shared ownership). Names compare without regard to case.
class StrictRegistry final : public seams::RegistryBackend {
public:
  struct Node {
    std::map<std::string, std::pair<std::string, std::shared_ptr<Node>>> keys;  // lower -> (name, node)
    std::map<std::string, std::pair<std::string, seams::RegistryValue>> values;
  };

  StrictRegistry() : roots_{std::make_shared<Node>(), std::make_shared<Node>()} {}

  std::unique_ptr<seams::RegistryKey> OpenKey(seams::RegistryRoot root, const std::string& path,
                                              bool writable) override {
    auto node = Walk(root, path, false);
    if (!node) return nullptr;
    return std::make_unique<Key>(node, writable);
  }
  std::unique_ptr<seams::RegistryKey> CreateKey(seams::RegistryRoot root,
                                                const std::string& path) override {
    auto node = Walk(root, path, true);
    return node ? std::make_unique<Key>(node, true) : nullptr;
  }
  bool DeleteKey(seams::RegistryRoot root, const std::string& path) override {
    auto parts = Split(path);
    if (parts.empty()) return false;
    std::string leaf = Lower(parts.back());
    parts.pop_back();
    std::shared_ptr<Node> parent = roots_[Index(root)];
    for (const auto& p : parts) {
      auto it = parent->keys.find(Lower(p));
      if (it == parent->keys.end()) return false;
      parent = it->second.second;
    }
    auto it = parent->keys.find(leaf);
    if (it == parent->keys.end() || !it->second.second->keys.empty()) return false;
    parent->keys.erase(it);
    ++deletes;
    return true;
  }

  int deletes = 0;

private:
  class Key final : public seams::RegistryKey {
  public:
    Key(std::shared_ptr<Node> node, bool writable) : node_(std::move(node)), writable_(writable) {}
    bool ReadValue(const std::string& name, seams::RegistryValue* value) const override {
      auto it = node_->values.find(Lower(name));
      if (it == node_->values.end()) return false;
      *value = it->second.second;
      return true;
    }
    bool WriteValue(const std::string& name, const seams::RegistryValue& value) override {
      if (!writable_) return false;
      node_->values[Lower(name)] = {name, value};
      return true;
    }
    bool DeleteValue(const std::string& name) override {
      return writable_ && node_->values.erase(Lower(name)) > 0;
    }
    bool EnumKey(std::uint32_t index, std::string* name) const override {
      if (index >= node_->keys.size()) return false;
      *name = std::next(node_->keys.begin(), index)->second.first;
      return true;
    }
    bool EnumValue(std::uint32_t index, std::string* name) const override {
      if (index >= node_->values.size()) return false;
      *name = std::next(node_->values.begin(), index)->second.first;
      return true;
    }

  private:
    std::shared_ptr<Node> node_;
    bool writable_;
  };

  static std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
  }
  static std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
      if (c == '\\') {
        if (!part.empty()) parts.push_back(part);
        part.clear();
      } else {
        part += c;
      }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
  }
  static int Index(seams::RegistryRoot root) { return root == seams::RegistryRoot::CurrentUser ? 0 : 1; }
  std::shared_ptr<Node> Walk(seams::RegistryRoot root, const std::string& path, bool create) {
    std::shared_ptr<Node> node = roots_[Index(root)];
    for (const auto& p : Split(path)) {
      auto it = node->keys.find(Lower(p));
      if (it == node->keys.end()) {
        if (!create) return nullptr;
        it = node->keys.emplace(Lower(p), std::make_pair(p, std::make_shared<Node>())).first;
      }
      node = it->second.second;
    }
    return node;
  }

  std::shared_ptr<Node> roots_[2];
};

enum class Backend { Memory, Strict };

inline std::unique_ptr<seams::RegistryBackend> MakeBackend(Backend kind) {
  if (kind == Backend::Memory) return std::make_unique<seams::MemoryRegistry>();
  return std::make_unique<StrictRegistry>();
}

inline std::string BackendName(const testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::Memory ? "MemoryRegistry" : "StrictRegistry";
}

// Program file <root>/program/tarvel.exe, temporary path <root>/temp (no trailing
// separator); files through the native service.
class TestPlatform final : public settings::NativeSettingsPlatform {
public:
  explicit TestPlatform(std::string root) : root_(std::move(root)) {}
  std::string ProgramFilePath() override { return root_ + "/program/tarvel.exe"; }
  std::string TempPath() override { return root_ + "/temp"; }

private:
  std::string root_;
};

// Records every message box and answers from a script (Yes when the script is empty).
class MessageRecorder final : public seams::MessageBoxService {
public:
  struct Shown {
    std::string text, caption;
    unsigned flags;
  };
  int Show(const std::string& text, const std::string& caption, unsigned flags) override {
    shown.push_back({text, caption, flags});
    if (answers.empty()) return seams::kIdYes;
    int a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  std::vector<Shown> shown;
  std::vector<int> answers;
};

// Installs a fresh backend, the test platform over a fresh temporary folder and the
// message recorder; removes them again.
class SettingsEnvironment {
public:
  explicit SettingsEnvironment(Backend kind = Backend::Memory)
      : backend_(MakeBackend(kind)), folder_("tarvel-settings"), root_(folder_.path()) {
    std::filesystem::create_directories(root_ + "/program");
    std::filesystem::create_directories(root_ + "/temp");
    platform_ = std::make_unique<TestPlatform>(root_);
    previous_backend_ = seams::SetRegistryBackend(backend_.get());
    previous_platform_ = settings::SetSettingsPlatform(platform_.get());
    previous_messages_ = seams::SetMessageBoxService(&messages);
  }
  ~SettingsEnvironment() {
    seams::SetMessageBoxService(previous_messages_);
    settings::SetSettingsPlatform(previous_platform_);
    seams::SetRegistryBackend(previous_backend_);
  }

  seams::RegistryBackend& backend() { return *backend_; }
  const std::string& root() const { return root_; }
  std::string OutputFolder() const { return root_ + "/program/Output/"; }

  // The raw value under HKCU\Software\Tarvel\<section>.
  bool RawValue(const std::string& section, const std::string& name, seams::RegistryValue* value) {
    auto key = backend_->OpenKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\" + section, false);
    return key && key->ReadValue(name, value);
  }
  std::vector<std::string> ValueNames(const std::string& section) {
    std::vector<std::string> names;
    auto key = backend_->OpenKey(seams::RegistryRoot::CurrentUser, "Software\\Tarvel\\" + section, false);
    std::string name;
    for (std::uint32_t i = 0; key && key->EnumValue(i, &name); ++i) names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
  }

  MessageRecorder messages;

private:
  std::unique_ptr<seams::RegistryBackend> backend_;
  testsupport::TempFolder folder_;
  std::string root_;
  std::unique_ptr<TestPlatform> platform_;
  seams::RegistryBackend* previous_backend_ = nullptr;
  settings::SettingsPlatform* previous_platform_ = nullptr;
  seams::MessageBoxService* previous_messages_ = nullptr;
};

inline void Touch(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f) std::fclose(f);
}

}  // namespace settings_test
