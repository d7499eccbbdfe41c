#include "toolkit/frames/TKRegistry.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include <functional>
#include <new>
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_DYNCREATE(CTKRegistry, CObject)

static_assert(sizeof(RECT) == 16, "a stored rectangle is four 32-bit members");

namespace {

// Read-only keys may be queried, enumerated and watched; nothing more.
constexpr REGSAM kReadAccess = 0x19;

// The path without one trailing backslash, as the registry wants key names.
CString KeyName(const char* path) {
  CString name(path);
  if (name.GetLength() >= 1 && name[name.GetLength() - 1] == '\\') name = name.Left(name.GetLength() - 1);
  return name;
}

bool IsRoot(HKEY key) { return key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE; }

}  // namespace

CTKRegistry::CTKRegistry() = default;

CTKRegistry::CTKRegistry(BOOL admin, BOOL readOnly) { SetRoot(admin, readOnly); }

CTKRegistry::~CTKRegistry() { Close(); }

void CTKRegistry::SetRoot(BOOL admin, BOOL readOnly) {
  Close();
  m_admin = admin;
  m_readOnly = readOnly;
  m_hKey = admin ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

BOOL CTKRegistry::KeyExists(const char* path) {
  HKEY key = nullptr;
  m_lastResult = ::RegOpenKeyExA(m_hKey, KeyName(path), 0, m_readOnly ? kReadAccess : KEY_ALL_ACCESS, &key);
  m_lastType = 0;
  if (m_lastResult != ERROR_SUCCESS) return FALSE;
  ::RegCloseKey(key);
  return TRUE;
}

BOOL CTKRegistry::Open(const char* path) {
  HKEY key = nullptr;
  m_lastResult = ::RegOpenKeyExA(m_hKey, KeyName(path), 0, m_readOnly ? kReadAccess : KEY_ALL_ACCESS, &key);
  if (m_lastResult != ERROR_SUCCESS) return FALSE;
  // The key opened before is not needed any more; keeping it open would leak it.
  if (m_hKey && !IsRoot(m_hKey)) ::RegCloseKey(m_hKey);
  m_hKey = key;
  m_path = path;
  return TRUE;
}

BOOL CTKRegistry::CreateKey(const char* path) {
  if (m_readOnly) return FALSE;
  HKEY key = nullptr;
  m_lastResult = ::RegCreateKeyExA(m_hKey, KeyName(path), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                   nullptr, &key, nullptr);
  if (m_lastResult != ERROR_SUCCESS) return FALSE;
  if (m_hKey && !IsRoot(m_hKey)) ::RegCloseKey(m_hKey);
  m_hKey = key;
  return TRUE;
}

void CTKRegistry::Close() {
  if (m_hKey && !IsRoot(m_hKey)) ::RegCloseKey(m_hKey);
  m_hKey = nullptr;
}

BOOL CTKRegistry::ValueExists(const char* name) {
  DWORD type = 0, size = 0;
  m_lastResult = ::RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size);
  m_lastType = 0;
  return m_lastResult == ERROR_SUCCESS;
}

BOOL CTKRegistry::DeleteValue(const char* name) {
  m_lastResult = ::RegDeleteValueA(m_hKey, name);
  m_lastType = 0;
  m_lastSize = 0;
  return m_lastResult == ERROR_SUCCESS;
}

BOOL CTKRegistry::DeleteKey(const char* path, BOOL admin) {
  if (m_readOnly) return FALSE;
  HKEY root = admin ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  CString keyName = KeyName(path);
  HKEY key = nullptr;
  m_lastResult = ::RegOpenKeyExA(root, keyName, 0, KEY_ALL_ACCESS, &key);
  if (m_lastResult != ERROR_SUCCESS) return FALSE;
  for (;;) {
    DWORD subkeys = 0, longest = 0;
    m_lastResult = ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &longest, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr);
    if (m_lastResult != ERROR_SUCCESS) break;
    if (subkeys == 0) {
      ::RegCloseKey(key);
      m_lastResult = ::RegDeleteKeyA(root, keyName);
      return m_lastResult == ERROR_SUCCESS;
    }
    CString name;
    char* buffer = name.GetBuffer(static_cast<int>(longest) + 1);
    m_lastResult = ::RegEnumKeyA(key, 0, buffer, longest + 1);
    name.ReleaseBuffer();
    if (m_lastResult != ERROR_SUCCESS) break;
    if (!DeleteKey(keyName + "\\" + name, admin)) break;
  }
  ::RegCloseKey(key);
  return FALSE;
}

BOOL CTKRegistry::ListValueNames(CStringList& names) {
  for (DWORD index = 0;; ++index) {
    char name[1024];
    DWORD length = sizeof name;
    m_lastResult = ::RegEnumValueA(m_hKey, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (m_lastResult != ERROR_SUCCESS) return index > 0;
    names.AddTail(name);
  }
}

BOOL CTKRegistry::ListSubkeyNames(CStringList& names) {
  for (DWORD index = 0;; ++index) {
    char name[1024];
    DWORD length = sizeof name;
    m_lastResult = ::RegEnumKeyExA(m_hKey, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (m_lastResult != ERROR_SUCCESS) return !(index == 0 && m_lastResult == ERROR_NO_MORE_ITEMS);
    names.AddTail(name);
  }
}

// Scalars.

BOOL CTKRegistry::WriteBinary(const char* name, const BYTE* data, UINT size) {
  if (m_readOnly) return FALSE;
  m_lastResult = ::RegSetValueExA(m_hKey, name, 0, REG_BINARY, data, size);
  m_lastType = REG_BINARY;
  m_lastSize = size;
  return m_lastResult == ERROR_SUCCESS;
}

BOOL CTKRegistry::WriteString(const char* name, const char* text) {
  if (m_readOnly) return FALSE;
  if (!text) text = "";
  DWORD size = static_cast<DWORD>(::lstrlenA(text)) + 1;
  m_lastResult = ::RegSetValueExA(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
  m_lastType = REG_SZ;
  m_lastSize = size;
  return m_lastResult == ERROR_SUCCESS;
}

BOOL CTKRegistry::WriteDword(const char* name, DWORD value) {
  if (m_readOnly) return FALSE;
  // Leaves the last-call fields as they were.
  return ::RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4) ==
         ERROR_SUCCESS;
}

BOOL CTKRegistry::WriteInt(const char* name, int value) {
  if (m_readOnly) return FALSE;
  m_lastResult = ::RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
  m_lastType = REG_DWORD;
  m_lastSize = 4;
  return m_lastResult == ERROR_SUCCESS;
}

BOOL CTKRegistry::ReadDword(const char* name, DWORD& value) {
  DWORD type = 0, size = 4, read = 0;
  m_lastResult = ::RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&read), &size);
  m_lastType = type;
  m_lastSize = size;
  if (m_lastResult != ERROR_SUCCESS) return FALSE;
  value = read;
  return TRUE;
}

BOOL CTKRegistry::ReadInt(const char* name, int& value) {
  DWORD read = 0;
  if (!ReadDword(name, read)) return FALSE;
  value = static_cast<int>(read);
  return TRUE;
}

BOOL CTKRegistry::ReadString(const char* name, CString& text) {
  DWORD type = 0, size = 0;
  m_lastResult = ::RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size);
  m_lastType = type;
  m_lastSize = size;
  if (m_lastResult == ERROR_SUCCESS && size != 0) {
    char* buffer = static_cast<char*>(std::calloc(size + 1, 1));
    if (!buffer) {
      text.Empty();
      return FALSE;
    }
    m_lastResult = ::RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    m_lastSize = size;
    if (m_lastResult == ERROR_SUCCESS && size != 0)
      text = buffer;  // stops at the terminator, which the extra byte guarantees
    else
      text.Empty();
    std::free(buffer);
  } else {
    text.Empty();
  }
  return m_lastResult == ERROR_SUCCESS;
}

BOOL CTKRegistry::ReadBinary(const char* name, BYTE*& data, UINT& size) {
  data = nullptr;
  size = 0;
  DWORD type = 0, length = 0;
  m_lastResult = ::RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &length);
  m_lastType = type;
  m_lastSize = length;
  if (m_lastResult == ERROR_SUCCESS && length != 0) {
    data = static_cast<BYTE*>(std::malloc(length));
    if (!data) return FALSE;
    m_lastResult = ::RegQueryValueExA(m_hKey, name, nullptr, &type, data, &length);
    m_lastSize = length;
    if (m_lastResult != ERROR_SUCCESS) {
      std::free(data);
      data = nullptr;
    } else {
      size = length;
    }
  }
  return m_lastResult == ERROR_SUCCESS;
}

// Composite values.

namespace {

// Archives into a growing memory file and stores the bytes; false when the archive
// runs out of memory.
BOOL StoreArchived(CTKRegistry& registry, const char* name, const std::function<void(CArchive&)>& write) {
  BYTE* data = nullptr;
  UINT size = 0;
  try {
    CMemFile file(1024);
    {
      CArchive ar(&file, CArchive::store, 4096);
      write(ar);
      ar.Close();
    }
    size = static_cast<UINT>(file.GetLength());
    data = file.Detach();
  } catch (const std::bad_alloc&) {
    return FALSE;
  } catch (const CArchiveException&) {
    return FALSE;
  }
  BOOL ok = registry.WriteBinary(name, data, size);
  std::free(data);
  return ok;
}

// Reads a value's bytes back through a loading archive. Stored bytes that do not
// archive back (cut short, unknown class) fail the read instead of escaping as an
// exception into whatever window is loading its state.
BOOL LoadArchived(CTKRegistry& registry, const char* name, const std::function<void(CArchive&)>& read) {
  BYTE* data = nullptr;
  UINT size = 0;
  if (!registry.ReadBinary(name, data, size)) return FALSE;
  BOOL ok = TRUE;
  try {
    CMemFile file(data, size);
    CArchive ar(&file, CArchive::load, 4096);
    read(ar);
  } catch (const std::bad_alloc&) {
    ok = FALSE;
  } catch (const CArchiveException&) {
    ok = FALSE;
  }
  std::free(data);
  return ok;
}

}  // namespace

BOOL CTKRegistry::WriteArchived(const char* name, CObject& object) {
  if (m_readOnly) return FALSE;
  return StoreArchived(*this, name, [&](CArchive& ar) { object.Serialize(ar); });
}

BOOL CTKRegistry::ReadArchived(const char* name, CObject& object) {
  return LoadArchived(*this, name, [&](CArchive& ar) { object.Serialize(ar); });
}

BOOL CTKRegistry::WriteObject(const char* name, CObject& object) { return WriteArchived(name, object); }

BOOL CTKRegistry::WriteObjectPtr(const char* name, CObject* object) {
  if (m_readOnly) return FALSE;
  return StoreArchived(*this, name, [&](CArchive& ar) { ar.WriteObject(object); });
}

BOOL CTKRegistry::Write(const char* name, CStringList& list) { return WriteObject(name, list); }
BOOL CTKRegistry::Write(const char* name, CByteArray& values) { return WriteObject(name, values); }
BOOL CTKRegistry::Write(const char* name, CStringArray& values) { return WriteObject(name, values); }
BOOL CTKRegistry::Write(const char* name, CDWordArray& values) { return WriteObject(name, values); }
BOOL CTKRegistry::Write(const char* name, CObList& list) { return WriteObject(name, list); }

BOOL CTKRegistry::WritePoint(const char* name, POINT*& point) {
  if (m_readOnly || !point) return FALSE;
  CDWordArray values;
  values.Add(static_cast<DWORD>(point->x));
  values.Add(static_cast<DWORD>(point->y));
  for (int i = 0; i < 3; ++i) values.Add(0);
  return WriteObject(name, values);
}

BOOL CTKRegistry::WriteRect(const char* name, const RECT& rect) {
  if (m_readOnly) return FALSE;
  return StoreArchived(*this, name, [&](CArchive& ar) { ar.Write(&rect, sizeof(RECT)); });
}

BOOL CTKRegistry::WriteWordArray(const char* name, CWordArray& values) {
  if (m_readOnly) return FALSE;
  return StoreArchived(*this, name, [&](CArchive& ar) {
    ar << static_cast<DWORD>(values.GetSize());
    for (int i = 0; i < values.GetSize(); ++i) ar << values[i];
  });
}

BOOL CTKRegistry::ReadObject(const char* name, CObject& object) { return ReadArchived(name, object); }

BOOL CTKRegistry::ReadObjectPtr(const char* name, CObject*& object) {
  return LoadArchived(*this, name, [&](CArchive& ar) { object = ar.ReadObject(nullptr); });
}

BOOL CTKRegistry::ReadObList(const char* name, CObList& list) {
  while (!list.IsEmpty()) delete list.RemoveHead();
  return ReadObject(name, list);
}

BOOL CTKRegistry::ReadRect(const char* name, RECT& rect) {
  RECT read;
  BOOL complete = FALSE;
  BOOL ok =
      LoadArchived(*this, name, [&](CArchive& ar) { complete = ar.Read(&read, sizeof read) == sizeof read; });
  // A value too short to be a rectangle leaves the caller's rectangle alone.
  if (!ok || !complete) return FALSE;
  rect = read;
  return TRUE;
}

BOOL CTKRegistry::ReadPoint(const char* name, POINT*& point) {
  DWORD type = 0, size = 0;
  m_lastResult = ::RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size);
  m_lastType = type;
  m_lastSize = size;
  if (m_lastResult != ERROR_SUCCESS || type != REG_BINARY || !point) return FALSE;
  CDWordArray values;
  if (!ReadObject(name, values) || values.GetSize() < 2) return FALSE;
  point->x = static_cast<LONG>(values[0]);
  point->y = static_cast<LONG>(values[1]);
  return TRUE;
}

BOOL CTKRegistry::ReadWordArray(const char* name, CWordArray& values) {
  return LoadArchived(*this, name, [&](CArchive& ar) {
    DWORD count = 0;
    ar >> count;
    values.RemoveAll();
    for (DWORD i = 0; i < count; ++i) {
      WORD v = 0;
      ar >> v;
      values.Add(v);
    }
  });
}

BOOL CTKRegistry::Read(const char* name, CByteArray& values) {
  values.RemoveAll();
  return ReadObject(name, values);
}

BOOL CTKRegistry::Read(const char* name, CDWordArray& values) {
  values.RemoveAll();
  return ReadObject(name, values);
}

BOOL CTKRegistry::Read(const char* name, CStringArray& values) {
  values.RemoveAll();
  return ReadObject(name, values);
}

BOOL CTKRegistry::Read(const char* name, CStringList& list) {
  list.RemoveAll();
  return ReadObject(name, list);
}

CTKRegistry& RegistryHolder::Obtain(BOOL admin, BOOL readOnly) {
  if (!m_registry) {
    m_registry = static_cast<CTKRegistry*>(CTKRegistry::CreateObject());
    m_registry->SetRoot(admin, readOnly);
  }
  return *m_registry;
}

CString GetRegistryPath(const char* section, const char* path) {
  if (path && *path) return CString(path);
  CString result = "SOFTWARE\\";
  CWinApp* app = AfxGetApp();
  const char* key = app ? app->m_pszRegistryKey : nullptr;
  const char* profile = app ? (app->m_pszProfileName ? app->m_pszProfileName : app->m_pszAppName) : nullptr;
  if (key && *key) {
    result += key;
    result += "\\";
  }
  result += profile ? profile : "";
  result += "\\";
  result += section ? section : "";
  result += "\\";
  return result;
}
