#include "app/settings/ZQRegistry.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

namespace {

std::mutex g_appLock;
std::string g_registryKey;         // the program sets an empty registry key
std::string g_appName = "Tarvel";  // the application's name (profile name)

std::string DropTrailingBackslash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// True when `path` is `ancestor` or lies below it (component-wise, ignoring case).
bool IsSameOrBelow(const std::string& path, const std::string& ancestor) {
  std::string p = Lower(path), a = Lower(ancestor);
  while (!a.empty() && a.back() == '\\') a.pop_back();
  if (a.empty()) return true;
  if (p.compare(0, a.size(), a) != 0) return false;
  return p.size() == a.size() || p[a.size()] == '\\';
}

}  // namespace

// ---------------------------------------------------------------------------------
// CZQRegistry

CZQRegistry::CZQRegistry(bool admin, bool readOnly, seams::RegistryBackend* backend)
    : mBackend(backend ? backend : &seams::Registry()), mReadOnly(readOnly) {
  set_admin(admin);
}

CZQRegistry::~CZQRegistry() { Close(); }

void CZQRegistry::set_admin(bool admin) {
  mAdmin = admin;
  mRoot = admin ? seams::RegistryRoot::LocalMachine : seams::RegistryRoot::CurrentUser;
  mRootKey.reset();
}

void CZQRegistry::SetApplicationKey(const std::string& registryKey, const std::string& appName) {
  std::lock_guard lock(g_appLock);
  g_registryKey = registryKey;
  g_appName = appName;
}

std::string CZQRegistry::ApplicationName() {
  std::lock_guard lock(g_appLock);
  return g_appName;
}

std::string CZQRegistry::RegistryKeyName() {
  std::lock_guard lock(g_appLock);
  return g_registryKey;
}

std::string CZQRegistry::FullPath(const std::string& path) const {
  std::string p = DropTrailingBackslash(path);
  if (mPathIsWhole) return p;
  std::lock_guard lock(g_appLock);
  if (g_registryKey.empty()) return "Software\\" + g_appName + "\\" + p;
  return "Software\\" + g_registryKey + "\\" + g_appName + "\\" + p;
}

int CZQRegistry::Fail(std::uint32_t code) {
  mLastResult = code;
  return 0;
}

int CZQRegistry::Succeed() {
  mLastResult = kZqErrorSuccess;
  return 1;
}

int CZQRegistry::RefuseWrite() { return Fail(kZqErrorAccessDenied); }

seams::RegistryKey* CZQRegistry::Current() {
  if (mCurrent) return mCurrent.get();
  if (!mRootKey) mRootKey = mBackend->OpenKey(mRoot, "", !mReadOnly);
  return mRootKey.get();
}

int CZQRegistry::ReadValueNames(std::vector<std::string>* names) {
  seams::RegistryKey* key = Current();
  if (!key) return Fail(kZqErrorInvalidHandle);
  std::string name;
  std::uint32_t index = 0;
  while (key->EnumValue(index, &name)) {
    if (name.size() > 1024) name.resize(1024);
    names->push_back(name);
    ++index;
  }
  return index == 0 ? Fail(kZqErrorNoMoreItems) : Succeed();
}

int CZQRegistry::KeyExists(const std::string& path) {
  std::unique_ptr<seams::RegistryKey> key = mBackend->OpenKey(mRoot, FullPath(path), !mReadOnly);
  return key ? Succeed() : Fail(kZqErrorFileNotFound);
}

int CZQRegistry::ValueExists(const std::string& name) {
  seams::RegistryKey* key = Current();
  seams::RegistryValue value;
  if (!key || !key->ReadValue(name, &value)) return Fail(kZqErrorFileNotFound);
  return Succeed();
}

int CZQRegistry::CreateKey(const std::string& path) {
  if (mReadOnly) return RefuseWrite();
  std::string full = FullPath(path);
  std::unique_ptr<seams::RegistryKey> key = mBackend->CreateKey(mRoot, full);
  if (!key) return Fail(kZqErrorAccessDenied);
  mCurrent = std::move(key);
  mCurrentFullPath = full;
  mCurrentPath = path;
  mLastType = 0;
  mLastLength = 0;
  return Succeed();
}

int CZQRegistry::Open(const std::string& path) {
  if (mCurrent) Close();
  std::string full = FullPath(path);
  std::unique_ptr<seams::RegistryKey> key = mBackend->OpenKey(mRoot, full, !mReadOnly);
  mLastType = 0;
  mLastLength = 0;
  if (!key) return Fail(kZqErrorFileNotFound);
  mCurrent = std::move(key);
  mCurrentFullPath = full;
  mCurrentPath = path;
  return Succeed();
}

int CZQRegistry::Close() {
  mCurrent.reset();
  mCurrentFullPath.clear();
  mCurrentPath.clear();
  return Succeed();
}

int CZQRegistry::DeleteValue(const std::string& name) {
  if (mReadOnly) return RefuseWrite();
  seams::RegistryKey* key = Current();
  mLastType = 0;
  mLastLength = 0;
  if (!key || !key->DeleteValue(name)) return Fail(kZqErrorFileNotFound);
  return Succeed();
}

int CZQRegistry::DeleteTree(const std::string& full) {
  {
    std::unique_ptr<seams::RegistryKey> key = mBackend->OpenKey(mRoot, full, true);
    if (!key) return Fail(kZqErrorFileNotFound);
    std::string sub;
    // Subkey 0 again and again until none is left, depth first.
    for (int guard = 0; key->EnumKey(0, &sub); ++guard) {
      if (guard > 100000 || !DeleteTree(full + "\\" + sub)) return 0;
    }
  }  // the key is closed before it goes
  return mBackend->DeleteKey(mRoot, full) ? Succeed() : Fail(kZqErrorAccessDenied);
}

int CZQRegistry::DeleteKey(const std::string& path) {
  if (mReadOnly) return RefuseWrite();
  std::string full = FullPath(path);
  // Never keep a key open across its own deletion.
  if (mCurrent && IsSameOrBelow(mCurrentFullPath, full)) Close();
  if (full.empty()) return Fail(kZqErrorAccessDenied);
  mRootKey.reset();
  return DeleteTree(full);
}

int CZQRegistry::WriteValue(const std::string& name, const seams::RegistryValue& value) {
  if (mReadOnly) return RefuseWrite();
  seams::RegistryKey* key = Current();
  if (!key || !key->WriteValue(name, value)) return Fail(kZqErrorAccessDenied);
  mLastType = value.type;
  mLastLength = static_cast<std::uint32_t>(value.data.size());
  return Succeed();
}

bool CZQRegistry::ReadValue(const std::string& name, seams::RegistryValue* value) {
  seams::RegistryKey* key = Current();
  if (!key || !key->ReadValue(name, value)) {
    Fail(kZqErrorFileNotFound);
    return false;
  }
  mLastType = value->type;
  mLastLength = static_cast<std::uint32_t>(value->data.size());
  mLastResult = kZqErrorSuccess;
  return true;
}

int CZQRegistry::WriteComposite(const std::string& name, void (*write)(settings::Archive&, const void*),
                                const void* what) {
  if (mReadOnly) return RefuseWrite();
  std::vector<std::uint8_t> bytes;
  try {
    settings::Archive ar;
    write(ar, what);
    bytes = ar.TakeBytes();
  } catch (const std::bad_alloc&) {
    return Fail(kZqErrorNotEnoughMemory);
  } catch (const settings::ArchiveException&) {
    return Fail(kZqErrorInvalidData);
  }
  return WriteBinary(name, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

template <typename Fn>
int CZQRegistry::ReadComposite(const std::string& name, Fn&& read) {
  std::vector<std::uint8_t> bytes;
  if (!ReadBinary(name, &bytes)) return 0;
  try {
    settings::Archive ar(std::move(bytes));
    read(ar);
  } catch (const std::bad_alloc&) {
    return Fail(kZqErrorNotEnoughMemory);
  } catch (const settings::ArchiveException&) {
    return Fail(kZqErrorInvalidData);
  }
  return Succeed();
}

int CZQRegistry::WriteObject(const std::string& name, settings::ArchiveObject& object) {
  return WriteComposite(
      name,
      [](settings::Archive& ar, const void* o) {
        const_cast<settings::ArchiveObject*>(static_cast<const settings::ArchiveObject*>(o))->Serialize(ar);
      },
      &object);
}

int CZQRegistry::WriteObjectPtr(const std::string& name, const settings::ArchiveObject* object) {
  return WriteComposite(
      name,
      [](settings::Archive& ar, const void* o) {
        ar.WriteObject(static_cast<const settings::ArchiveObject*>(o));
      },
      object);
}

int CZQRegistry::WriteObjectList(const std::string& name,
                                 const std::vector<const settings::ArchiveObject*>& objects) {
  return WriteComposite(
      name,
      [](settings::Archive& ar, const void* o) {
        ar.WriteObjectList(*static_cast<const std::vector<const settings::ArchiveObject*>*>(o));
      },
      &objects);
}

int CZQRegistry::WriteStringList(const std::string& name, const std::vector<std::string>& strings) {
  return WriteStringArray(name, strings);
}

int CZQRegistry::WriteStringArray(const std::string& name, const std::vector<std::string>& strings) {
  return WriteComposite(
      name,
      [](settings::Archive& ar, const void* o) {
        ar.WriteStringArray(*static_cast<const std::vector<std::string>*>(o));
      },
      &strings);
}

int CZQRegistry::WriteByteArray(const std::string& name, const std::vector<std::uint8_t>& values) {
  return WriteComposite(
      name,
      [](settings::Archive& ar, const void* o) {
        ar.WriteByteArray(*static_cast<const std::vector<std::uint8_t>*>(o));
      },
      &values);
}

int CZQRegistry::WriteWordArray(const std::string& name, const std::vector<std::uint16_t>& values) {
  return WriteComposite(
      name,
      [](settings::Archive& ar, const void* o) {
        ar.WriteWordArray(*static_cast<const std::vector<std::uint16_t>*>(o));
      },
      &values);
}

int CZQRegistry::WriteDwordArray(const std::string& name, const std::vector<std::uint32_t>& values) {
  return WriteComposite(
      name,
      [](settings::Archive& ar, const void* o) {
        ar.WriteDwordArray(*static_cast<const std::vector<std::uint32_t>*>(o));
      },
      &values);
}

int CZQRegistry::WriteRect(const std::string& name, const ZqRect& rect) {
  return WriteComposite(
      name,
      [](settings::Archive& ar, const void* o) {
        const auto* r = static_cast<const ZqRect*>(o);
        ar << r->left << r->top << r->right << r->bottom;
      },
      &rect);
}

int CZQRegistry::WritePoint(const std::string& name, const ZqPoint& point) {
  // A five-element DWORD array: x, y, 0, 0, 0.
  std::vector<std::uint32_t> words = {static_cast<std::uint32_t>(point.x),
                                      static_cast<std::uint32_t>(point.y), 0, 0, 0};
  return WriteDwordArray(name, words);
}

int CZQRegistry::WriteBinary(const std::string& name, const void* data, std::uint32_t length) {
  return WriteValue(name, seams::MakeBinaryValue(data, length));
}

int CZQRegistry::WriteString(const std::string& name, const std::string& text) {
  return WriteValue(name, seams::MakeStringValue(text));
}

int CZQRegistry::WriteDword(const std::string& name, std::uint32_t value) {
  // The toolkit's DWORD write leaves the last-result fields alone, as the toolkit's registry class does.
  if (mReadOnly) return 0;
  seams::RegistryKey* key = Current();
  return key && key->WriteValue(name, seams::MakeDwordValue(value)) ? 1 : 0;
}

int CZQRegistry::WriteInt(const std::string& name, std::int32_t value) {
  return WriteValue(name, seams::MakeDwordValue(static_cast<std::uint32_t>(value)));
}

int CZQRegistry::ReadRect(const std::string& name, ZqRect* rect, const ZqRect& defaultRect) {
  ZqRect read;
  int ok = ReadComposite(
      name, [&](settings::Archive& ar) { ar >> read.left >> read.top >> read.right >> read.bottom; });
  *rect = ok ? read : defaultRect;
  return ok;
}

int CZQRegistry::ReadPoint(const std::string& name, ZqPoint* point, const ZqPoint& defaultPoint) {
  seams::RegistryValue value;
  std::vector<std::uint32_t> words;
  bool ok = ReadValue(name, &value) && value.type == seams::kRegBinary;
  if (ok) {
    try {
      settings::Archive ar(std::move(value.data));
      ar.ReadDwordArray(&words);
    } catch (const settings::ArchiveException&) {
      words.clear();
    }
    ok = words.size() >= 2;
  }
  if (!ok) {
    *point = defaultPoint;
    return Fail(mLastResult ? mLastResult : kZqErrorInvalidData);
  }
  point->x = static_cast<std::int32_t>(words[0]);
  point->y = static_cast<std::int32_t>(words[1]);
  return Succeed();
}

int CZQRegistry::ReadString(const std::string& name, std::string* text, const std::string& defaultText) {
  seams::RegistryValue value;
  std::string read;
  if (ReadValue(name, &value) && seams::ValueAsString(value, &read)) {
    *text = read;
    return 1;
  }
  if (mLastResult == kZqErrorSuccess) Fail(kZqErrorInvalidData);  // not a string
  *text = defaultText;
  return 0;
}

int CZQRegistry::ReadDword(const std::string& name, std::uint32_t* value, std::uint32_t defaultValue) {
  seams::RegistryValue v;
  if (ReadValue(name, &v)) {
    // Read into a 4-byte buffer, whatever the type; a value of another length is no number.
    if (v.data.size() == 4) {
      std::uint32_t n = 0;
      for (int i = 0; i < 4; ++i) n |= static_cast<std::uint32_t>(v.data[i]) << (8 * i);
      *value = n;
      return 1;
    }
    Fail(v.data.size() > 4 ? kZqErrorMoreData : kZqErrorInvalidData);
  }
  *value = defaultValue;
  return 0;
}

int CZQRegistry::ReadInt(const std::string& name, std::int32_t* value, std::int32_t defaultValue) {
  std::uint32_t n = 0;
  int ok = ReadDword(name, &n, static_cast<std::uint32_t>(defaultValue));
  *value = static_cast<std::int32_t>(n);
  return ok;
}

int CZQRegistry::ReadObject(const std::string& name, settings::ArchiveObject& object) {
  return ReadComposite(name, [&](settings::Archive& ar) { object.Serialize(ar); });
}

int CZQRegistry::ReadObjectPtr(const std::string& name, std::unique_ptr<settings::ArchiveObject>* object) {
  std::unique_ptr<settings::ArchiveObject> read;
  int ok = ReadComposite(name, [&](settings::Archive& ar) { read = ar.ReadObject(); });
  if (ok) *object = std::move(read);
  return ok;
}

int CZQRegistry::ReadObjectList(const std::string& name,
                                std::vector<std::unique_ptr<settings::ArchiveObject>>* objects) {
  objects->clear();
  return ReadComposite(name, [&](settings::Archive& ar) { ar.ReadObjectList(objects); });
}

int CZQRegistry::ReadStringList(const std::string& name, std::vector<std::string>* strings) {
  return ReadStringArray(name, strings);
}

int CZQRegistry::ReadStringArray(const std::string& name, std::vector<std::string>* strings) {
  strings->clear();
  return ReadComposite(name, [&](settings::Archive& ar) { ar.ReadStringArray(strings); });
}

int CZQRegistry::ReadByteArray(const std::string& name, std::vector<std::uint8_t>* values) {
  values->clear();
  return ReadComposite(name, [&](settings::Archive& ar) { ar.ReadByteArray(values); });
}

int CZQRegistry::ReadWordArray(const std::string& name, std::vector<std::uint16_t>* values) {
  values->clear();
  return ReadComposite(name, [&](settings::Archive& ar) { ar.ReadWordArray(values); });
}

int CZQRegistry::ReadDwordArray(const std::string& name, std::vector<std::uint32_t>* values) {
  values->clear();
  return ReadComposite(name, [&](settings::Archive& ar) { ar.ReadDwordArray(values); });
}

int CZQRegistry::ReadBinary(const std::string& name, std::vector<std::uint8_t>* data) {
  data->clear();
  seams::RegistryValue value;
  if (!ReadValue(name, &value)) return 0;
  *data = std::move(value.data);
  return 1;
}

int CZQRegistry::ReadBinary(const std::string& name, std::uint8_t** data, std::uint32_t* length) {
  *data = nullptr;
  *length = 0;
  std::vector<std::uint8_t> bytes;
  if (!ReadBinary(name, &bytes)) return 0;
  if (!bytes.empty()) {
    *data = new std::uint8_t[bytes.size()];
    std::memcpy(*data, bytes.data(), bytes.size());
    *length = static_cast<std::uint32_t>(bytes.size());
  }
  return 1;
}

int CZQRegistry::ListSubkeyNames(std::vector<std::string>* names) {
  seams::RegistryKey* key = Current();
  if (!key) return Fail(kZqErrorInvalidHandle);
  std::string name;
  std::uint32_t index = 0;
  while (key->EnumKey(index, &name)) {
    names->push_back(name);
    ++index;
  }
  return index == 0 ? Fail(kZqErrorNoMoreItems) : Succeed();
}

int CZQRegistry::WriteDouble(const std::string& name, double value) {
  std::uint8_t bytes[8];
  std::uint64_t bits;
  std::memcpy(&bits, &value, 8);
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
  return WriteBinary(name, bytes, 8);
}

int CZQRegistry::ReadDouble(const std::string& name, double* value) {
  std::uint64_t bits = 0;
  if (!ReadUint64(name, &bits)) return 0;
  std::memcpy(value, &bits, 8);
  return 1;
}

int CZQRegistry::WriteUint64(const std::string& name, std::uint64_t value) {
  std::uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  return WriteBinary(name, bytes, 8);
}

int CZQRegistry::ReadUint64(const std::string& name, std::uint64_t* value) {
  std::vector<std::uint8_t> bytes;
  if (!ReadBinary(name, &bytes)) return 0;
  if (bytes.size() < 8) return Fail(kZqErrorInvalidData);  // keeps the value
  std::uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
  *value = v;
  return 1;
}

// ---------------------------------------------------------------------------------
// ZQRegistryHolder

CZQRegistry* ZQRegistryHolder::Create(bool admin, bool readOnly) {
  if (mRegistry) return mRegistry.get();
  mRegistry = std::make_unique<CZQRegistry>(admin, readOnly);
  mRegistry->set_read_only(readOnly);
  mRegistry->set_admin(admin);
  mRegistry->set_path_is_whole(mPathIsWhole);
  return mRegistry.get();
}

namespace settings {

CZQRegistry* OpenSectionForWriting(ZQRegistryHolder& holder, const std::string& section) {
  CZQRegistry* reg = holder.Create(false, false);
  if (reg->Open(section)) return reg;
  reg->CreateKey(section);
  reg->Close();
  return reg->Open(section) ? reg : nullptr;
}

CZQRegistry* OpenSectionForReading(ZQRegistryHolder& holder, const std::string& section) {
  CZQRegistry* reg = holder.Create(false, true);
  return reg->Open(section) ? reg : nullptr;
}

}  // namespace settings
