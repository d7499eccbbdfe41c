#include "app/settings/ArchiveBytes.h"

#include <cstring>
#include <mutex>

namespace settings {

namespace {
constexpr std::uint16_t kNullTag = 0;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;

std::mutex g_classesLock;
std::unordered_map<std::string, const ArchiveClass*>& Classes() {
  static std::unordered_map<std::string, const ArchiveClass*> classes;
  return classes;
}

// UTF-16 code units to UTF-8 (for strings a later framework stored in UTF-16).
std::string NarrowUtf16(const std::vector<std::uint16_t>& units) {
  std::string out;
  for (std::size_t i = 0; i < units.size(); ++i) {
    std::uint32_t c = units[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}
}  // namespace

void RegisterArchiveClass(const ArchiveClass* cls) {
  if (!cls || !cls->name) return;
  std::lock_guard lock(g_classesLock);
  Classes()[cls->name] = cls;
}

const ArchiveClass* FindArchiveClass(const std::string& name) {
  std::lock_guard lock(g_classesLock);
  auto it = Classes().find(name);
  return it == Classes().end() ? nullptr : it->second;
}

Archive::Archive() : mMode(kStore) {}

Archive::Archive(std::vector<std::uint8_t> bytes) : mMode(kLoad), mBytes(std::move(bytes)) {
  mLoadMap.resize(1);  // index 0: null
}

Archive::Archive(const std::uint8_t* data, std::size_t size)
    : Archive(std::vector<std::uint8_t>(data, data + size)) {}

void Archive::RequireStoring() const {
  if (mMode != kStore) throw ArchiveException(ArchiveException::kReadOnly, "archive is loading");
}

void Archive::RequireLoading() const {
  if (mMode != kLoad) throw ArchiveException(ArchiveException::kWriteOnly, "archive is storing");
}

void Archive::Write(const void* data, std::size_t size) {
  RequireStoring();
  const auto* p = static_cast<const std::uint8_t*>(data);
  mBytes.insert(mBytes.end(), p, p + size);
}

void Archive::Read(void* data, std::size_t size) {
  RequireLoading();
  if (size > Remaining()) {
    mPos = mBytes.size();
    throw ArchiveException(ArchiveException::kEndOfFile, "archive ends early");
  }
  if (size) std::memcpy(data, mBytes.data() + mPos, size);
  mPos += size;
}

void Archive::WriteByte(std::uint8_t v) { Write(&v, 1); }

void Archive::WriteWord(std::uint16_t v) {
  std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
  Write(b, 2);
}

void Archive::WriteDword(std::uint32_t v) {
  std::uint8_t b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
  Write(b, 4);
}

void Archive::WriteFloat(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  WriteDword(bits);
}

void Archive::WriteDouble(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  std::uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(bits >> (8 * i));
  Write(b, 8);
}

std::uint8_t Archive::ReadByte() {
  std::uint8_t v;
  Read(&v, 1);
  return v;
}

std::uint16_t Archive::ReadWord() {
  std::uint8_t b[2];
  Read(b, 2);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t Archive::ReadDword() {
  std::uint8_t b[4];
  Read(b, 4);
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(b[i]) << (8 * i);
  return v;
}

float Archive::ReadFloat() {
  std::uint32_t bits = ReadDword();
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}

double Archive::ReadDouble() {
  std::uint8_t b[8];
  Read(b, 8);
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(b[i]) << (8 * i);
  double v;
  std::memcpy(&v, &bits, 8);
  return v;
}

void Archive::WriteString(const std::string& text) {
  const std::size_t len = text.size();
  if (len < 0xFF) {
    WriteByte(static_cast<std::uint8_t>(len));
  } else if (len < 0xFFFE) {
    WriteByte(0xFF);
    WriteWord(static_cast<std::uint16_t>(len));
  } else {
    WriteByte(0xFF);
    WriteWord(0xFFFF);
    WriteDword(static_cast<std::uint32_t>(len));
  }
  Write(text.data(), len);
}

std::string Archive::ReadString() {
  bool wide = false;
  std::uint32_t len = ReadByte();
  if (len == 0xFF) {
    len = ReadWord();
    if (len == 0xFFFE) {  // UTF-16 marker, then the length again
      wide = true;
      len = ReadByte();
      if (len == 0xFF) {
        len = ReadWord();
        if (len == 0xFFFF) len = ReadDword();
      }
    } else if (len == 0xFFFF) {
      len = ReadDword();
    }
  }
  if (!wide) {
    if (len > Remaining()) Read(nullptr, len);  // throws
    std::string text(len, '\0');
    Read(text.data(), len);
    return text;
  }
  if (len > Remaining() / 2) Read(nullptr, Remaining() + 1);  // throws
  std::vector<std::uint16_t> units(len);
  for (auto& u : units) u = ReadWord();
  return NarrowUtf16(units);
}

void Archive::WriteCount(std::uint32_t count) {
  if (count < 0xFFFF) {
    WriteWord(static_cast<std::uint16_t>(count));
  } else {
    WriteWord(0xFFFF);
    WriteDword(count);
  }
}

std::uint32_t Archive::ReadCount() {
  std::uint16_t w = ReadWord();
  return w != 0xFFFF ? w : ReadDword();
}

void Archive::WriteStringArray(const std::vector<std::string>& strings) {
  WriteCount(static_cast<std::uint32_t>(strings.size()));
  for (const std::string& s : strings) WriteString(s);
}

void Archive::ReadStringArray(std::vector<std::string>* strings) {
  strings->clear();
  std::uint32_t n = ReadCount();
  // Each string takes at least one byte: a count beyond the bytes left is damage.
  if (n > Remaining()) Read(nullptr, Remaining() + 1);
  strings->reserve(n);
  for (std::uint32_t i = 0; i < n; ++i) strings->push_back(ReadString());
}

void Archive::WriteByteArray(const std::vector<std::uint8_t>& values) {
  WriteCount(static_cast<std::uint32_t>(values.size()));
  Write(values.data(), values.size());
}

void Archive::ReadByteArray(std::vector<std::uint8_t>* values) {
  values->clear();
  std::uint32_t n = ReadCount();
  if (n > Remaining()) Read(nullptr, Remaining() + 1);
  values->resize(n);
  Read(values->data(), n);
}

void Archive::WriteWordArray(const std::vector<std::uint16_t>& values) {
  WriteCount(static_cast<std::uint32_t>(values.size()));
  for (std::uint16_t v : values) WriteWord(v);
}

void Archive::ReadWordArray(std::vector<std::uint16_t>* values) {
  values->clear();
  std::uint32_t n = ReadCount();
  if (n > Remaining() / 2) Read(nullptr, Remaining() + 1);
  values->reserve(n);
  for (std::uint32_t i = 0; i < n; ++i) values->push_back(ReadWord());
}

void Archive::WriteDwordArray(const std::vector<std::uint32_t>& values) {
  WriteCount(static_cast<std::uint32_t>(values.size()));
  for (std::uint32_t v : values) WriteDword(v);
}

void Archive::ReadDwordArray(std::vector<std::uint32_t>* values) {
  values->clear();
  std::uint32_t n = ReadCount();
  if (n > Remaining() / 4) Read(nullptr, Remaining() + 1);
  values->reserve(n);
  for (std::uint32_t i = 0; i < n; ++i) values->push_back(ReadDword());
}

void Archive::WriteClass(const ArchiveClass* cls) {
  auto it = mStoreMap.find(cls);
  if (it != mStoreMap.end()) {
    if (it->second < kBigObjectTag) {
      WriteWord(static_cast<std::uint16_t>(kClassTag | it->second));
    } else {
      WriteWord(kBigObjectTag);
      WriteDword(kBigClassTag | it->second);
    }
    return;
  }
  WriteWord(kNewClassTag);
  const std::size_t len = std::strlen(cls->name);
  WriteWord(cls->schema);
  WriteWord(static_cast<std::uint16_t>(len));
  Write(cls->name, len);
  mStoreMap[cls] = mMapCount++;
}

void Archive::WriteObject(const ArchiveObject* object) {
  RequireStoring();
  if (!object) {
    WriteWord(kNullTag);
    return;
  }
  auto it = mStoreMap.find(object);
  if (it != mStoreMap.end()) {
    if (it->second < kBigObjectTag) {
      WriteWord(static_cast<std::uint16_t>(it->second));
    } else {
      WriteWord(kBigObjectTag);
      WriteDword(it->second);
    }
    return;
  }
  const ArchiveClass* cls = object->GetArchiveClass();
  if (!cls || !cls->name) throw ArchiveException(ArchiveException::kBadClass, "object without class");
  WriteClass(cls);
  mStoreMap[object] = mMapCount++;
  const_cast<ArchiveObject*>(object)->Serialize(*this);
}

const ArchiveClass* Archive::ReadClass(std::uint32_t tag) {
  if (tag == kNewClassTag) {
    std::uint16_t schema = ReadWord();
    std::uint16_t len = ReadWord();
    if (len == 0 || len >= 64) throw ArchiveException(ArchiveException::kBadClass, "bad class name");
    std::string name(len, '\0');
    Read(name.data(), len);
    const ArchiveClass* cls = FindArchiveClass(name);
    if (!cls || !cls->create) throw ArchiveException(ArchiveException::kBadClass, "unknown class " + name);
    if (cls->schema != schema) throw ArchiveException(ArchiveException::kBadSchema, "schema of " + name);
    mLoadMap.push_back({cls, nullptr});
    ++mMapCount;
    return cls;
  }
  std::uint32_t index = tag & ~kBigClassTag;
  if (index == 0 || index >= mLoadMap.size() || !mLoadMap[index].cls || mLoadMap[index].object)
    throw ArchiveException(ArchiveException::kBadIndex, "bad class index");
  return mLoadMap[index].cls;
}

std::unique_ptr<ArchiveObject> Archive::ReadObject(ArchiveObject** shared) {
  RequireLoading();
  if (shared) *shared = nullptr;
  std::uint16_t w = ReadWord();
  std::uint32_t tag;
  if (w == kBigObjectTag) {
    tag = ReadDword();
  } else if (w == kNewClassTag) {
    tag = kNewClassTag;
  } else {
    tag = (static_cast<std::uint32_t>(w & kClassTag) << 16) | (w & ~kClassTag);
  }
  if (tag != kNewClassTag && !(tag & kBigClassTag)) {
    // An object index: null or one read before.
    if (tag == 0) return nullptr;
    if (tag >= mLoadMap.size() || !mLoadMap[tag].object)
      throw ArchiveException(ArchiveException::kBadIndex, "bad object index");
    if (shared) *shared = mLoadMap[tag].object;
    return nullptr;
  }
  const ArchiveClass* cls = ReadClass(tag);
  std::unique_ptr<ArchiveObject> object = cls->create();
  if (!object) throw ArchiveException(ArchiveException::kBadClass, "class made no object");
  mLoadMap.push_back({nullptr, object.get()});
  ++mMapCount;
  object->Serialize(*this);
  if (shared) *shared = object.get();
  return object;
}

void Archive::WriteObjectList(const std::vector<const ArchiveObject*>& objects) {
  WriteCount(static_cast<std::uint32_t>(objects.size()));
  for (const ArchiveObject* o : objects) WriteObject(o);
}

void Archive::ReadObjectList(std::vector<std::unique_ptr<ArchiveObject>>* objects) {
  objects->clear();
  std::uint32_t n = ReadCount();
  if (n > Remaining() / 2) Read(nullptr, Remaining() + 1);
  for (std::uint32_t i = 0; i < n; ++i) {
    ArchiveObject* shared = nullptr;
    std::unique_ptr<ArchiveObject> o = ReadObject(&shared);
    if (!o && shared)  // the same object twice in one list cannot be owned twice
      throw ArchiveException(ArchiveException::kBadIndex, "object repeated in a list");
    objects->push_back(std::move(o));
  }
}

}  // namespace settings
