#include "platform/seams/win32/Win32Seams.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace seams {
namespace {

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

class Win32Key final : public RegistryKey {
public:
  explicit Win32Key(HKEY key) : m_key(key) {}
  ~Win32Key() override { ::RegCloseKey(m_key); }

  bool ReadValue(const std::string& name, RegistryValue* value) const override {
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(m_key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return false;
    std::vector<std::uint8_t> data(size);
    if (::RegQueryValueExA(m_key, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
      return false;
    data.resize(size);
    value->type = type;
    value->data = std::move(data);
    return true;
  }

  bool WriteValue(const std::string& name, const RegistryValue& value) override {
    return ::RegSetValueExA(m_key, name.c_str(), 0, value.type, value.data.data(),
                            static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
  }

  bool DeleteValue(const std::string& name) override {
    return ::RegDeleteValueA(m_key, name.c_str()) == ERROR_SUCCESS;
  }

  bool EnumKey(std::uint32_t index, std::string* name) const override {
    char buffer[256];
    DWORD size = sizeof buffer;
    if (::RegEnumKeyExA(m_key, index, buffer, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return false;
    name->assign(buffer, size);
    return true;
  }

  bool EnumValue(std::uint32_t index, std::string* name) const override {
    char buffer[16384];
    DWORD size = sizeof buffer;
    if (::RegEnumValueA(m_key, index, buffer, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return false;
    name->assign(buffer, size);
    return true;
  }

private:
  HKEY m_key;
};

LONG DeleteTree(HKEY parent, const char* name) {
  HKEY key;
  LONG rc = ::RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key);
  if (rc != ERROR_SUCCESS) return rc;
  char child[256];
  for (;;) {
    DWORD size = sizeof child;
    if (::RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (DeleteTree(key, child) != ERROR_SUCCESS) break;
  }
  ::RegCloseKey(key);
  return ::RegDeleteKeyA(parent, name);
}

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenKey(RegistryRoot root, const std::string& path,
                                                    bool writable) {
  HKEY key;
  REGSAM access = writable ? KEY_ALL_ACCESS : KEY_READ;
  if (::RegOpenKeyExA(RootKey(root), path.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32Key>(key);
}

std::unique_ptr<RegistryKey> Win32Registry::CreateKey(RegistryRoot root, const std::string& path) {
  HKEY key;
  if (::RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<Win32Key>(key);
}

bool Win32Registry::DeleteKey(RegistryRoot root, const std::string& path) {
  std::string trimmed = path;
  while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
  return !trimmed.empty() && DeleteTree(RootKey(root), trimmed.c_str()) == ERROR_SUCCESS;
}

}  // namespace seams
