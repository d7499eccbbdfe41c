#include "tests/support/native/StrictRegistry.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace settings_test {
namespace {

int Index(seams::RegistryRoot root) { return root == seams::RegistryRoot::CurrentUser ? 0 : 1; }

class Key final : public seams::RegistryKey {
public:
  Key(std::shared_ptr<StrictRegistry::Node> node, bool writable)
      : mNode(std::move(node)), mWritable(writable) {}
  bool ReadValue(const std::string& name, seams::RegistryValue* value) const override {
    auto it = mNode->values.find(seams::LookupName(name));
    if (it == mNode->values.end()) return false;
    *value = it->second.second;
    return true;
  }
  bool WriteValue(const std::string& name, const seams::RegistryValue& value) override {
    if (!mWritable) return false;
    mNode->values[seams::LookupName(name)] = {name, value};
    return true;
  }
  bool DeleteValue(const std::string& name) override {
    return mWritable && mNode->values.erase(seams::LookupName(name)) > 0;
  }
  bool EnumKey(std::uint32_t index, std::string* name) const override {
    if (index >= mNode->keys.size()) return false;
    *name = std::next(mNode->keys.begin(), index)->second.first;
    return true;
  }
  bool EnumValue(std::uint32_t index, std::string* name) const override {
    if (index >= mNode->values.size()) return false;
    *name = std::next(mNode->values.begin(), index)->second.first;
    return true;
  }

private:
  std::shared_ptr<StrictRegistry::Node> mNode;
  bool mWritable;
};

}  // namespace

StrictRegistry::StrictRegistry() : mRoots{std::make_shared<Node>(), std::make_shared<Node>()} {}

std::unique_ptr<seams::RegistryKey> StrictRegistry::OpenKey(seams::RegistryRoot root, const std::string& path,
                                                            bool writable) {
  auto node = Walk(root, path, false);
  if (!node) return nullptr;
  return std::make_unique<Key>(node, writable);
}

std::unique_ptr<seams::RegistryKey> StrictRegistry::CreateKey(seams::RegistryRoot root,
                                                              const std::string& path) {
  auto node = Walk(root, path, true);
  return node ? std::make_unique<Key>(node, true) : nullptr;
}

bool StrictRegistry::DeleteKey(seams::RegistryRoot root, const std::string& path) {
  auto parts = seams::SplitKeyPath(path);
  if (parts.empty()) return false;
  std::string leaf = seams::LookupName(parts.back());
  parts.pop_back();
  std::shared_ptr<Node> parent = mRoots[Index(root)];
  for (const auto& p : parts) {
    auto it = parent->keys.find(seams::LookupName(p));
    if (it == parent->keys.end()) return false;
    parent = it->second.second;
  }
  auto it = parent->keys.find(leaf);
  if (it == parent->keys.end() || !it->second.second->keys.empty()) return false;
  parent->keys.erase(it);
  ++deletes;
  return true;
}

std::shared_ptr<StrictRegistry::Node> StrictRegistry::Walk(seams::RegistryRoot root, const std::string& path,
                                                           bool create) {
  std::shared_ptr<Node> node = mRoots[Index(root)];
  for (const auto& p : seams::SplitKeyPath(path)) {
    auto it = node->keys.find(seams::LookupName(p));
    if (it == node->keys.end()) {
      if (!create) return nullptr;
      it = node->keys.emplace(seams::LookupName(p), std::make_pair(p, std::make_shared<Node>())).first;
    }
    node = it->second.second;
  }
  return node;
}

}  // namespace settings_test
