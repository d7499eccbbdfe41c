#include "tests/support/native/StrictRegistry.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace settings_test {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::vector<std::string> Split(const std::string& path) {
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

int Index(seams::RegistryRoot root) { return root == seams::RegistryRoot::CurrentUser ? 0 : 1; }

class Key final : public seams::RegistryKey {
public:
  Key(std::shared_ptr<StrictRegistry::Node> node, bool writable)
      : mNode(std::move(node)), mWritable(writable) {}
  bool ReadValue(const std::string& name, seams::RegistryValue* value) const override {
    auto it = mNode->values.find(Lower(name));
    if (it == mNode->values.end()) return false;
    *value = it->second.second;
    return true;
  }
  bool WriteValue(const std::string& name, const seams::RegistryValue& value) override {
    if (!mWritable) return false;
    mNode->values[Lower(name)] = {name, value};
    return true;
  }
  bool DeleteValue(const std::string& name) override {
    return mWritable && mNode->values.erase(Lower(name)) > 0;
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
  auto parts = Split(path);
  if (parts.empty()) return false;
  std::string leaf = Lower(parts.back());
  parts.pop_back();
  std::shared_ptr<Node> parent = mRoots[Index(root)];
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

std::shared_ptr<StrictRegistry::Node> StrictRegistry::Walk(seams::RegistryRoot root, const std::string& path,
                                                           bool create) {
  std::shared_ptr<Node> node = mRoots[Index(root)];
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

}  // namespace settings_test
