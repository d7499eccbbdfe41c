#pragma once
// The registry backend: keys, typed values and enumeration, as the settings records
// need them. The program uses Wine's registry (advapi32); native tests use the
// in-memory tree of MemoryRegistry. Paths use backslashes as in Win32
// ("Software\\Tarvel\\FileOutputOptions"); names compare case-insensitively.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace seams {

enum class RegistryRoot { CurrentUser, LocalMachine };

// Value types, with their Win32 numbers.
enum RegistryType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

struct RegistryValue {
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;
};

// An open key. Closing happens when the object goes.
class RegistryKey {
public:
  virtual ~RegistryKey() = default;
  virtual bool ReadValue(const std::string& name, RegistryValue* value) const = 0;
  virtual bool WriteValue(const std::string& name, const RegistryValue& value) = 0;
  virtual bool DeleteValue(const std::string& name) = 0;
  // Names of the sub-keys / values at index (0-based); false past the end.
  virtual bool EnumKey(std::uint32_t index, std::string* name) const = 0;
  virtual bool EnumValue(std::uint32_t index, std::string* name) const = 0;
};

class RegistryBackend {
public:
  virtual ~RegistryBackend() = default;
  // Opens an existing key; null when it does not exist or cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path, bool writable) = 0;
  // Opens the key, creating it and its parents when missing.
  virtual std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path) = 0;
  // Deletes the key with everything below it.
  virtual bool DeleteKey(RegistryRoot root, const std::string& path) = 0;
};

// The installed backend. Until the window tier installs advapi32's, a process-wide
// MemoryRegistry serves.
RegistryBackend& Registry();
RegistryBackend* SetRegistryBackend(RegistryBackend* backend) noexcept;

// Value helpers shared by every user of the backend.
RegistryValue MakeStringValue(const std::string& text);  // REG_SZ with its terminator
RegistryValue MakeDwordValue(std::uint32_t value);       // little-endian REG_DWORD
RegistryValue MakeBinaryValue(const void* data, std::size_t size);
// A REG_SZ/REG_EXPAND_SZ value's text up to its first terminator.
bool ValueAsString(const RegistryValue& value, std::string* text);
bool ValueAsDword(const RegistryValue& value, std::uint32_t* number);

// Path helpers for in-memory trees: the key names between a path's backslashes (empty
// ones dropped), and the form under which a key or value name is looked up (the
// registry ignores ASCII case).
std::vector<std::string> SplitKeyPath(const std::string& path);
std::string LookupName(std::string name);

// An in-memory registry tree.
class MemoryRegistry final : public RegistryBackend {
public:
  MemoryRegistry();
  ~MemoryRegistry() override;
  std::unique_ptr<RegistryKey> OpenKey(RegistryRoot root, const std::string& path, bool writable) override;
  std::unique_ptr<RegistryKey> CreateKey(RegistryRoot root, const std::string& path) override;
  bool DeleteKey(RegistryRoot root, const std::string& path) override;
  void Clear();

  struct Node;

private:
  Node* Find(RegistryRoot root, const std::string& path, bool create);
  std::unique_ptr<Node> mRoots[2];
};

}  // namespace seams
