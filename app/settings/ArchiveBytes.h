#pragma once
// The framework archive's byte format, as a small portable piece.
//
// The registry store keeps composite values as the bytes that the
// framework's CArchive writes into a memory file; the window tier's CArchive writes
// the same bytes. Everything is little-endian:
//   - BYTE, WORD, DWORD, 32-bit int, float and double: their bytes in memory order;
//   - a string: its length as one byte when below 255, else 0xFF and a 16-bit length
//     when below 0xFFFE, else 0xFF, 0xFFFF and a 32-bit length; then its bytes (no
//     terminator). On reading, 0xFF 0xFFFE marks a UTF-16 string (a later framework's
//     form); such a string is read and narrowed to UTF-8.
//   - a count (collections): 16 bits when below 0xFFFF, else 0xFFFF and 32 bits;
//   - string arrays and lists: the count, then each string; byte, word and DWORD arrays:
//     the count, then the elements;
//   - an object by pointer: 0 for none; a new class as 0xFFFF, the schema (16 bits), the
//     class name's length (16 bits) and its bytes, then the object; a class or object met
//     before as its map index (a class index with 0x8000 set; indexes from 0x7FFF on as
//     0x7FFF and a 32-bit index, a class's with 0x80000000 set). Classes and objects
//     share one index sequence that starts at 1.
//   - an object list: the count, then each object by pointer.
// Reading past the end, a bad class tag or an unknown class throws ArchiveException.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace settings {

class ArchiveException : public std::runtime_error {
public:
  enum Cause { kEndOfFile, kBadIndex, kBadClass, kBadSchema, kWriteOnly, kReadOnly };
  ArchiveException(Cause cause, const std::string& what) : std::runtime_error(what), mCause(cause) {}
  Cause cause() const { return mCause; }

private:
  Cause mCause;
};

class Archive;
class ArchiveObject;

// A class that objects-by-pointer are written and made by (the framework's runtime
// class, as far as archives need it).
struct ArchiveClass {
  const char* name;
  std::uint16_t schema;
  std::unique_ptr<ArchiveObject> (*create)();
};

// Registers a class so that loading archives can make its objects by name. The class
// record must outlive every archive (a static object). Registering the same name again
// replaces the earlier record.
void RegisterArchiveClass(const ArchiveClass* cls);
const ArchiveClass* FindArchiveClass(const std::string& name);

// An object that an archive can store and load (CObject::Serialize).
class ArchiveObject {
public:
  virtual ~ArchiveObject() = default;
  // Only needed for objects stored by pointer or in object lists.
  virtual const ArchiveClass* GetArchiveClass() const { return nullptr; }
  virtual void Serialize(Archive& ar) = 0;
};

// A storing or loading archive over a byte buffer.
class Archive {
public:
  enum Mode { kStore, kLoad };

  // A storing archive over an empty buffer.
  Archive();
  // A loading archive over the given bytes.
  explicit Archive(std::vector<std::uint8_t> bytes);
  Archive(const std::uint8_t* data, std::size_t size);

  bool IsStoring() const { return mMode == kStore; }
  bool IsLoading() const { return mMode == kLoad; }

  // The bytes written so far (storing) or the whole buffer (loading).
  const std::vector<std::uint8_t>& bytes() const { return mBytes; }
  std::vector<std::uint8_t> TakeBytes() { return std::move(mBytes); }
  // Loading: bytes not read yet.
  std::size_t Remaining() const { return mBytes.size() - mPos; }

  // Raw bytes.
  void Write(const void* data, std::size_t size);
  void Read(void* data, std::size_t size);  // throws kEndOfFile when short

  // Scalars.
  void WriteByte(std::uint8_t v);
  void WriteWord(std::uint16_t v);
  void WriteDword(std::uint32_t v);
  void WriteInt(std::int32_t v) { WriteDword(static_cast<std::uint32_t>(v)); }
  void WriteFloat(float v);
  void WriteDouble(double v);
  std::uint8_t ReadByte();
  std::uint16_t ReadWord();
  std::uint32_t ReadDword();
  std::int32_t ReadInt() { return static_cast<std::int32_t>(ReadDword()); }
  float ReadFloat();
  double ReadDouble();

  void WriteString(const std::string& text);
  std::string ReadString();

  void WriteCount(std::uint32_t count);
  std::uint32_t ReadCount();

  // Collections in their own serialisation.
  void WriteStringArray(const std::vector<std::string>& strings);  // also string lists
  void ReadStringArray(std::vector<std::string>* strings);         // replaces the contents
  void WriteByteArray(const std::vector<std::uint8_t>& values);
  void ReadByteArray(std::vector<std::uint8_t>* values);
  void WriteWordArray(const std::vector<std::uint16_t>& values);
  void ReadWordArray(std::vector<std::uint16_t>* values);
  void WriteDwordArray(const std::vector<std::uint32_t>& values);
  void ReadDwordArray(std::vector<std::uint32_t>* values);

  // Objects by pointer (CArchive::WriteObject / ReadObject). A stored object needs a
  // class; storing the same object twice writes a back reference. Loading makes new
  // objects through their registered class; a back reference gives no new object, so
  // ReadObject answers null for it and `*shared` (when given) points at the earlier one.
  void WriteObject(const ArchiveObject* object);
  std::unique_ptr<ArchiveObject> ReadObject(ArchiveObject** shared = nullptr);
  // Object lists: the count, then each object by pointer.
  void WriteObjectList(const std::vector<const ArchiveObject*>& objects);
  void ReadObjectList(std::vector<std::unique_ptr<ArchiveObject>>* objects);

private:
  void RequireStoring() const;
  void RequireLoading() const;
  void WriteClass(const ArchiveClass* cls);
  const ArchiveClass* ReadClass(std::uint32_t tag);
  void MapIndex();

  Mode mMode;
  std::vector<std::uint8_t> mBytes;
  std::size_t mPos = 0;
  // Storing: index of each class and object already written.
  std::unordered_map<const void*, std::uint32_t> mStoreMap;
  // Loading: what each index stands for.
  struct Loaded {
    const ArchiveClass* cls = nullptr;
    ArchiveObject* object = nullptr;
  };
  std::vector<Loaded> mLoadMap;
  std::uint32_t mMapCount = 1;  // index 0 is the null tag
};

// Stream-style helpers, as window-tier code writes `ar << value`.
inline Archive& operator<<(Archive& ar, std::uint8_t v) {
  ar.WriteByte(v);
  return ar;
}
inline Archive& operator<<(Archive& ar, std::uint16_t v) {
  ar.WriteWord(v);
  return ar;
}
inline Archive& operator<<(Archive& ar, std::uint32_t v) {
  ar.WriteDword(v);
  return ar;
}
inline Archive& operator<<(Archive& ar, std::int32_t v) {
  ar.WriteInt(v);
  return ar;
}
inline Archive& operator<<(Archive& ar, float v) {
  ar.WriteFloat(v);
  return ar;
}
inline Archive& operator<<(Archive& ar, double v) {
  ar.WriteDouble(v);
  return ar;
}
inline Archive& operator<<(Archive& ar, const std::string& v) {
  ar.WriteString(v);
  return ar;
}
inline Archive& operator>>(Archive& ar, std::uint8_t& v) {
  v = ar.ReadByte();
  return ar;
}
inline Archive& operator>>(Archive& ar, std::uint16_t& v) {
  v = ar.ReadWord();
  return ar;
}
inline Archive& operator>>(Archive& ar, std::uint32_t& v) {
  v = ar.ReadDword();
  return ar;
}
inline Archive& operator>>(Archive& ar, std::int32_t& v) {
  v = ar.ReadInt();
  return ar;
}
inline Archive& operator>>(Archive& ar, float& v) {
  v = ar.ReadFloat();
  return ar;
}
inline Archive& operator>>(Archive& ar, double& v) {
  v = ar.ReadDouble();
  return ar;
}
inline Archive& operator>>(Archive& ar, std::string& v) {
  v = ar.ReadString();
  return ar;
}

}  // namespace settings
