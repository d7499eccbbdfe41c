#pragma once
// The toolkit's registry access: one object per key, used by every piece of interface
// state kept between runs. Scalars are stored as native registry types; anything
// composite is archived into a memory file and stored as one REG_BINARY value.
// `GetRegistryPath` builds the key path of a section; `RegistryHolder` owns the object
// a save or load uses for one key.
#include "platform/afx/afxwin.h"

class CTKRegistry : public CObject {
  DECLARE_DYNCREATE(CTKRegistry)

public:
  CTKRegistry();
  CTKRegistry(BOOL admin, BOOL readOnly);
  ~CTKRegistry() override;

  void Serialize(CArchive&) override {}

  virtual BOOL ListValueNames(CStringList& names);
  virtual BOOL KeyExists(const char* path);
  virtual BOOL ValueExists(const char* name);
  virtual BOOL CreateKey(const char* path);
  virtual BOOL Open(const char* path);
  virtual void Close();
  virtual BOOL DeleteValue(const char* name);
  virtual BOOL DeleteKey(const char* path, BOOL admin = FALSE);
  virtual BOOL WriteObjectPtr(const char* name, CObject* object);
  virtual BOOL WriteObject(const char* name, CObject& object);
  virtual BOOL Write(const char* name, CStringList& list);
  virtual BOOL WriteBinary(const char* name, const BYTE* data, UINT size);
  virtual BOOL WritePoint(const char* name, POINT*& point);
  virtual BOOL WriteRect(const char* name, const RECT& rect);
  virtual BOOL WriteWordArray(const char* name, CWordArray& values);
  virtual BOOL Write(const char* name, CByteArray& values);
  virtual BOOL Write(const char* name, CStringArray& values);
  virtual BOOL Write(const char* name, CDWordArray& values);
  virtual BOOL Write(const char* name, CObList& list);
  virtual BOOL WriteString(const char* name, const char* text);
  virtual BOOL WriteDword(const char* name, DWORD value);
  virtual BOOL WriteInt(const char* name, int value);
  virtual BOOL ReadObjectPtr(const char* name, CObject*& object);
  virtual BOOL ReadObject(const char* name, CObject& object);
  virtual BOOL ReadObList(const char* name, CObList& list);
  virtual BOOL ReadBinary(const char* name, BYTE*& data, UINT& size);
  virtual BOOL ReadRect(const char* name, RECT& rect);
  virtual BOOL ReadPoint(const char* name, POINT*& point);
  virtual BOOL Read(const char* name, CByteArray& values);
  virtual BOOL ReadWordArray(const char* name, CWordArray& values);
  virtual BOOL Read(const char* name, CDWordArray& values);
  virtual BOOL Read(const char* name, CStringArray& values);
  virtual BOOL Read(const char* name, CStringList& list);
  virtual BOOL ReadString(const char* name, CString& text);
  virtual BOOL ReadInt(const char* name, int& value);
  virtual BOOL ReadDword(const char* name, DWORD& value);
  virtual BOOL ListSubkeyNames(CStringList& names);

  LONG GetLastResult() const { return m_lastResult; }
  DWORD GetLastType() const { return m_lastType; }
  DWORD GetLastSize() const { return m_lastSize; }
  HKEY GetCurrentKey() const { return m_hKey; }
  const CString& GetCurrentPath() const { return m_path; }
  BOOL IsReadOnly() const { return m_readOnly; }

protected:
  friend class RegistryHolder;

  // Archives an object into bytes and stores them as one REG_BINARY value.
  BOOL WriteArchived(const char* name, CObject& object);
  // Reads one REG_BINARY value and loads the object from its bytes.
  BOOL ReadArchived(const char* name, CObject& object);
  void SetRoot(BOOL admin, BOOL readOnly);

  LONG m_lastResult = ERROR_SUCCESS;
  DWORD m_lastType = 0;
  DWORD m_lastSize = 0;
  HKEY m_hKey = nullptr;
  BOOL m_admin = FALSE;
  CString m_path;
  BOOL m_readOnly = FALSE;
};

// Owns one registry object for a save or load of one key; deleting it closes the key.
class RegistryHolder {
public:
  RegistryHolder() = default;
  ~RegistryHolder() { delete m_registry; }
  RegistryHolder(const RegistryHolder&) = delete;
  RegistryHolder& operator=(const RegistryHolder&) = delete;

  // The holder's registry, made on the first call with the given root and access; a
  // later call returns the same object unchanged.
  CTKRegistry& Obtain(BOOL admin, BOOL readOnly);

private:
  CTKRegistry* m_registry = nullptr;
};

// "SOFTWARE\<registry key>\<profile>\<section>\" for the running application (the key
// part absent when the application set none); an explicit non-empty path instead is
// returned as it stands.
CString GetRegistryPath(const char* section, const char* path = nullptr);
