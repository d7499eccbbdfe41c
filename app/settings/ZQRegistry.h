#pragma once
// The registry store of the settings records: `CZQRegistry` and its
// holder `ZQRegistryHolder`, over the registry seam (platform/seams/Registry.h).
//
// Paths: a section "X" lives at HKEY_CURRENT_USER\Software\Tarvel\X (see
// CZQRegistry::FullPath). Numbers are REG_DWORD, strings REG_SZ with their terminating
// zero, byte blocks REG_BINARY; composite values are the framework archive's bytes
// (app/settings/ArchiveBytes.h) in one REG_BINARY value. Every operation answers 1 for
// success and 0 for failure and keeps the Windows result code of its last registry
// call in last_result().
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/ArchiveBytes.h"
#include "platform/seams/Registry.h"

// Windows result codes kept as the last result.
enum : std::uint32_t {
  kZqErrorSuccess = 0,
  kZqErrorFileNotFound = 2,
  kZqErrorAccessDenied = 5,
  kZqErrorInvalidHandle = 6,
  kZqErrorNotEnoughMemory = 8,
  kZqErrorInvalidData = 13,
  kZqErrorMoreData = 234,
  kZqErrorNoMoreItems = 259,
};

// A rectangle and a point as the registry stores them (32-bit signed members).
struct ZqRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ZqRect&) const = default;
};
struct ZqPoint {
  std::int32_t x = 0, y = 0;
  bool operator==(const ZqPoint&) const = default;
};

class CZQRegistry {
public:
  // admin: HKEY_LOCAL_MACHINE as root, else HKEY_CURRENT_USER. The backend is the one
  // installed when the object is made unless one is given.
  CZQRegistry(bool admin, bool readOnly, seams::RegistryBackend* backend = nullptr);
  virtual ~CZQRegistry();
  CZQRegistry(const CZQRegistry&) = delete;
  CZQRegistry& operator=(const CZQRegistry&) = delete;

  // The application's registry key and name that FullPath builds paths from (the
  // program sets an empty key and is named "Tarvel").
  static void SetApplicationKey(const std::string& registryKey, const std::string& appName);
  static std::string ApplicationName();
  static std::string RegistryKeyName();

  // The key path that an operation's path names: the trailing backslash dropped, then,
  // unless the path is whole, "Software\<key>\<app>\<path>" ("Software\<app>\<path>"
  // with an empty key).
  std::string FullPath(const std::string& path) const;

  // Overridable operations: its own, then those it shares with the toolkit's registry class.
  virtual const char* GetRuntimeClass() const { return "CZQRegistry"; }
  virtual void Serialize(settings::Archive&) {}
  virtual int ReadValueNames(std::vector<std::string>* names);
  virtual int KeyExists(const std::string& path);
  virtual int ValueExists(const std::string& name);
  virtual int CreateKey(const std::string& path);
  virtual int Open(const std::string& path);
  virtual int Close();
  virtual int DeleteValue(const std::string& name);
  virtual int DeleteKey(const std::string& path);
  // Composite writes (refused when read-only).
  virtual int WriteObject(const std::string& name, settings::ArchiveObject& object);
  virtual int WriteObjectPtr(const std::string& name, const settings::ArchiveObject* object);
  virtual int WriteObjectList(const std::string& name,
                              const std::vector<const settings::ArchiveObject*>& objects);
  virtual int WriteStringList(const std::string& name, const std::vector<std::string>& strings);
  virtual int WriteStringArray(const std::string& name, const std::vector<std::string>& strings);
  virtual int WriteByteArray(const std::string& name, const std::vector<std::uint8_t>& values);
  virtual int WriteWordArray(const std::string& name, const std::vector<std::uint16_t>& values);
  virtual int WriteDwordArray(const std::string& name, const std::vector<std::uint32_t>& values);
  virtual int WriteRect(const std::string& name, const ZqRect& rect);
  virtual int WritePoint(const std::string& name, const ZqPoint& point);
  virtual int WriteBinary(const std::string& name, const void* data, std::uint32_t length);
  virtual int WriteString(const std::string& name, const std::string& text);
  virtual int WriteDword(const std::string& name, std::uint32_t value);
  virtual int WriteInt(const std::string& name, std::int32_t value);
  // Reads with a default: 1 when the value was read, 0 when the default was used.
  virtual int ReadRect(const std::string& name, ZqRect* rect, const ZqRect& defaultRect);
  virtual int ReadPoint(const std::string& name, ZqPoint* point, const ZqPoint& defaultPoint);
  virtual int ReadString(const std::string& name, std::string* text, const std::string& defaultText);
  virtual int ReadDword(const std::string& name, std::uint32_t* value, std::uint32_t defaultValue);
  virtual int ReadInt(const std::string& name, std::int32_t* value, std::int32_t defaultValue);
  // Composite reads; the collection is emptied first.
  virtual int ReadObject(const std::string& name, settings::ArchiveObject& object);
  virtual int ReadObjectPtr(const std::string& name, std::unique_ptr<settings::ArchiveObject>* object);
  virtual int ReadObjectList(const std::string& name,
                             std::vector<std::unique_ptr<settings::ArchiveObject>>* objects);
  virtual int ReadStringList(const std::string& name, std::vector<std::string>* strings);
  virtual int ReadStringArray(const std::string& name, std::vector<std::string>* strings);
  virtual int ReadByteArray(const std::string& name, std::vector<std::uint8_t>* values);
  virtual int ReadWordArray(const std::string& name, std::vector<std::uint16_t>* values);
  virtual int ReadDwordArray(const std::string& name, std::vector<std::uint32_t>* values);
  // The block's bytes; on failure the block is empty.
  virtual int ReadBinary(const std::string& name, std::vector<std::uint8_t>* data);
  virtual int ListSubkeyNames(std::vector<std::string>* names);

  // ReadBinary as the Part gives it: a new block (free it with delete[]) and its length;
  // on failure the block is null and the length 0.
  int ReadBinary(const std::string& name, std::uint8_t** data, std::uint32_t* length);

  // Doubles and 64-bit numbers as 8-byte REG_BINARY values (IEEE 754 / little-endian).
  // A read that fails, or meets fewer than 8 bytes, leaves the value as it was.
  int WriteDouble(const std::string& name, double value);
  int ReadDouble(const std::string& name, double* value);
  int WriteUint64(const std::string& name, std::uint64_t value);
  int ReadUint64(const std::string& name, std::uint64_t* value);

  std::uint32_t last_result() const { return mLastResult; }
  std::uint32_t last_value_type() const { return mLastType; }
  std::uint32_t last_value_length() const { return mLastLength; }
  bool admin() const { return mAdmin; }
  bool read_only() const { return mReadOnly; }
  bool path_is_whole() const { return mPathIsWhole; }
  const std::string& current_path() const { return mCurrentPath; }
  bool has_open_key() const { return mCurrent != nullptr; }
  seams::RegistryRoot root() const { return mRoot; }

  // Set by the holder.
  void set_read_only(bool readOnly) { mReadOnly = readOnly; }
  void set_admin(bool admin);
  void set_path_is_whole(bool whole) { mPathIsWhole = whole; }

private:
  seams::RegistryKey* Current();  // the open key, or the root opened on demand
  int Fail(std::uint32_t code);
  int Succeed();
  int RefuseWrite();
  int WriteComposite(const std::string& name, void (*write)(settings::Archive&, const void*),
                     const void* what);
  template <typename Fn>
  int ReadComposite(const std::string& name, Fn&& read);
  int WriteValue(const std::string& name, const seams::RegistryValue& value);
  bool ReadValue(const std::string& name, seams::RegistryValue* value);
  int DeleteTree(const std::string& fullPath);

  std::uint32_t mLastResult = 0;
  std::uint32_t mLastType = 0;
  std::uint32_t mLastLength = 0;
  std::unique_ptr<seams::RegistryKey> mCurrent;  // null: the root
  std::unique_ptr<seams::RegistryKey> mRootKey;
  std::string mCurrentFullPath;
  seams::RegistryBackend* mBackend;
  seams::RegistryRoot mRoot = seams::RegistryRoot::CurrentUser;
  bool mAdmin = false;
  std::string mCurrentPath;
  bool mReadOnly = false;
  bool mPathIsWhole = false;
};

// Makes the registry object on first use and deletes it with itself.
class ZQRegistryHolder {
public:
  explicit ZQRegistryHolder(bool pathIsWhole = false) : mPathIsWhole(pathIsWhole) {}
  ~ZQRegistryHolder() = default;
  ZQRegistryHolder(const ZQRegistryHolder&) = delete;
  ZQRegistryHolder& operator=(const ZQRegistryHolder&) = delete;

  // The holder's object; made on the first call with these flags, later calls return it
  // unchanged.
  CZQRegistry* Create(bool admin, bool readOnly);
  CZQRegistry* get() const { return mRegistry.get(); }

private:
  std::unique_ptr<CZQRegistry> mRegistry;
  bool mPathIsWhole;
};

namespace settings {
// The pattern of the settings records.
// For writing: the section opened, created when missing (create, close, open again).
// Null when it cannot be opened; the holder keeps the object.
CZQRegistry* OpenSectionForWriting(ZQRegistryHolder& holder, const std::string& section);
// For reading: a read-only object on the section; null when the section is missing.
CZQRegistry* OpenSectionForReading(ZQRegistryHolder& holder, const std::string& section);
}  // namespace settings
