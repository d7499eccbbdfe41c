#pragma once
// A storing or loading archive over a file, writing the framework's archive bytes
// (app/settings/ArchiveBytes.h). A storing archive collects the bytes and hands them to
// its file on Flush and Close; a loading archive reads the rest of the file when made.
// Reading past the end or an unknown class throws CArchiveException.
#include "platform/afx/File.h"
#include "platform/afx/Object.h"
#include "platform/afx/String.h"

using CArchiveException = settings::ArchiveException;

class CArchive {
public:
  enum Mode { store = 0, load = 1 };

  CArchive(CFile* file, UINT mode, int bufferSize = 4096);
  // A view over an archive of the portable tier (objects serialised from inside it).
  explicit CArchive(settings::Archive* archive) : m_ar(archive) {}
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  BOOL IsStoring() const { return m_ar->IsStoring(); }
  BOOL IsLoading() const { return m_ar->IsLoading(); }
  CFile* GetFile() const { return m_file; }

  void Flush();
  void Close();

  void Write(const void* data, UINT size) { m_ar->Write(data, size); }
  // Reads up to size bytes; the count read.
  UINT Read(void* data, UINT size);
  // Reads exactly size bytes; throws when fewer are left.
  void ReadBytes(void* data, UINT size) { m_ar->Read(data, size); }
  void WriteCount(DWORD count) { m_ar->WriteCount(count); }
  DWORD ReadCount() { return m_ar->ReadCount(); }
  void WriteString(const char* text) { m_ar->WriteString(text ? text : ""); }

  void WriteObject(const CObject* object) { m_ar->WriteObject(object); }
  // The object read (a new one, or the one met before for a back reference); null for
  // a null tag. Throws when the class is not the requested one or derived from it.
  CObject* ReadObject(const CRuntimeClass* requested);

  CArchive& operator<<(BYTE v) {
    m_ar->WriteByte(v);
    return *this;
  }
  CArchive& operator<<(WORD v) {
    m_ar->WriteWord(v);
    return *this;
  }
  CArchive& operator<<(DWORD v) {
    m_ar->WriteDword(v);
    return *this;
  }
  CArchive& operator<<(int v) {
    m_ar->WriteInt(v);
    return *this;
  }
  CArchive& operator<<(float v) {
    m_ar->WriteFloat(v);
    return *this;
  }
  CArchive& operator<<(double v) {
    m_ar->WriteDouble(v);
    return *this;
  }
  CArchive& operator<<(const CString& v) {
    m_ar->WriteString(v.str());
    return *this;
  }
  CArchive& operator<<(const CObject* v) {
    WriteObject(v);
    return *this;
  }
  CArchive& operator>>(BYTE& v) {
    v = m_ar->ReadByte();
    return *this;
  }
  CArchive& operator>>(WORD& v) {
    v = m_ar->ReadWord();
    return *this;
  }
  CArchive& operator>>(DWORD& v) {
    v = m_ar->ReadDword();
    return *this;
  }
  CArchive& operator>>(int& v) {
    v = m_ar->ReadInt();
    return *this;
  }
  CArchive& operator>>(float& v) {
    v = m_ar->ReadFloat();
    return *this;
  }
  CArchive& operator>>(double& v) {
    v = m_ar->ReadDouble();
    return *this;
  }
  CArchive& operator>>(CString& v) {
    v = CString(m_ar->ReadString());
    return *this;
  }
  CArchive& operator>>(CObject*& v) {
    v = ReadObject(nullptr);
    return *this;
  }

private:
  CFile* m_file = nullptr;
  std::unique_ptr<settings::Archive> m_owned;
  settings::Archive* m_ar = nullptr;
  size_t m_flushed = 0;
  bool m_closed = false;
};
