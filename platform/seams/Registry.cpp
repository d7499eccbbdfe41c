#include "platform/seams/Registry.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>

namespace seams {

std::string LookupName(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
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

namespace {

// One lock for the whole tree: the registry is touched by the user-interface thread
// only, but tests may use it from several threads.
std::recursive_mutex g_memoryLock;
}  // namespace

struct MemoryRegistry::Node {
  // Keyed by lower-case name; the original spelling is kept for enumeration.
  struct Entry {
    std::string name;
    std::unique_ptr<Node> node;
  };
  struct Value {
    std::string name;
    RegistryValue value;
  };
  std::map<std::string, Entry> keys;
  std::map<std::string, Value> values;
  bool deleted = false;
};

namespace {
class MemoryKey final : public RegistryKey {
public:
  MemoryKey(MemoryRegistry::Node* node, bool writable) : mNode(node), mWritable(writable) {}

  bool ReadValue(const std::string& name, RegistryValue* value) const override {
    std::lock_guard lock(g_memoryLock);
    auto it = mNode->values.find(LookupName(name));
    if (it == mNode->values.end()) return false;
    *value = it->second.value;
    return true;
  }
  bool WriteValue(const std::string& name, const RegistryValue& value) override {
    std::lock_guard lock(g_memoryLock);
    if (!mWritable) return false;
    mNode->values[LookupName(name)] = {name, value};
    return true;
  }
  bool DeleteValue(const std::string& name) override {
    std::lock_guard lock(g_memoryLock);
    return mWritable && mNode->values.erase(LookupName(name)) > 0;
  }
  bool EnumKey(std::uint32_t index, std::string* name) const override {
    std::lock_guard lock(g_memoryLock);
    if (index >= mNode->keys.size()) return false;
    *name = std::next(mNode->keys.begin(), index)->second.name;
    return true;
  }
  bool EnumValue(std::uint32_t index, std::string* name) const override {
    std::lock_guard lock(g_memoryLock);
    if (index >= mNode->values.size()) return false;
    *name = std::next(mNode->values.begin(), index)->second.name;
    return true;
  }

private:
  MemoryRegistry::Node* mNode;
  bool mWritable;
};
}  // namespace

MemoryRegistry::MemoryRegistry() {
  mRoots[0] = std::make_unique<Node>();
  mRoots[1] = std::make_unique<Node>();
}

MemoryRegistry::~MemoryRegistry() = default;

void MemoryRegistry::Clear() {
  std::lock_guard lock(g_memoryLock);
  mRoots[0] = std::make_unique<Node>();
  mRoots[1] = std::make_unique<Node>();
}

MemoryRegistry::Node* MemoryRegistry::Find(RegistryRoot root, const std::string& path, bool create) {
  Node* node = mRoots[root == RegistryRoot::CurrentUser ? 0 : 1].get();
  for (const std::string& part : SplitKeyPath(path)) {
    auto& entry = node->keys[LookupName(part)];
    if (!entry.node) {
      if (!create) {
        node->keys.erase(LookupName(part));
        return nullptr;
      }
      entry.name = part;
      entry.node = std::make_unique<Node>();
    }
    node = entry.node.get();
  }
  return node;
}

std::unique_ptr<RegistryKey> MemoryRegistry::OpenKey(RegistryRoot root, const std::string& path,
                                                     bool writable) {
  std::lock_guard lock(g_memoryLock);
  Node* node = Find(root, path, false);
  if (!node) return nullptr;
  return std::make_unique<MemoryKey>(node, writable);
}

std::unique_ptr<RegistryKey> MemoryRegistry::CreateKey(RegistryRoot root, const std::string& path) {
  std::lock_guard lock(g_memoryLock);
  return std::make_unique<MemoryKey>(Find(root, path, true), true);
}

bool MemoryRegistry::DeleteKey(RegistryRoot root, const std::string& path) {
  std::lock_guard lock(g_memoryLock);
  std::vector<std::string> parts = SplitKeyPath(path);
  if (parts.empty()) return false;
  std::string leaf = parts.back();
  parts.pop_back();
  std::string parent_path;
  for (const std::string& p : parts) parent_path += p + "\\";
  Node* parent = Find(root, parent_path, false);
  // Open key objects keep pointing at the removed node: callers never hold one across
  // a delete of its own key.
  return parent != nullptr && parent->keys.erase(LookupName(leaf)) > 0;
}

namespace {
std::atomic<RegistryBackend*> g_backend{nullptr};
MemoryRegistry& DefaultRegistry() {
  static MemoryRegistry registry;
  return registry;
}
}  // namespace

RegistryBackend& Registry() {
  RegistryBackend* backend = g_backend.load(std::memory_order_acquire);
  return backend ? *backend : DefaultRegistry();
}

RegistryBackend* SetRegistryBackend(RegistryBackend* backend) noexcept {
  return g_backend.exchange(backend, std::memory_order_acq_rel);
}

RegistryValue MakeStringValue(const std::string& text) {
  RegistryValue value;
  value.type = kRegSz;
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  return value;
}

RegistryValue MakeDwordValue(std::uint32_t number) {
  RegistryValue value;
  value.type = kRegDword;
  for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
  return value;
}

RegistryValue MakeBinaryValue(const void* data, std::size_t size) {
  RegistryValue value;
  value.type = kRegBinary;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  value.data.assign(bytes, bytes + size);
  return value;
}

bool ValueAsString(const RegistryValue& value, std::string* text) {
  if (value.type != kRegSz && value.type != kRegExpandSz) return false;
  auto end = std::find(value.data.begin(), value.data.end(), std::uint8_t{0});
  text->assign(value.data.begin(), end);
  return true;
}

bool ValueAsDword(const RegistryValue& value, std::uint32_t* number) {
  if (value.type != kRegDword || value.data.size() < 4) return false;
  *number = 0;
  for (int i = 0; i < 4; ++i) *number |= static_cast<std::uint32_t>(value.data[i]) << (8 * i);
  return true;
}

}  // namespace seams
