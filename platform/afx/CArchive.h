#pragma once
// A storing or loading archive over a file, writing the framework's archive bytes
// (app/settings/ArchiveBytes.h). A storing archive collects the bytes and hands them to
// its file on Flush and Close; a loading archive reads the rest of the file when made.
// Reading past the end or an unknown class throws CArchiveException.
#include "platform/afx/CFile.h"
#include "platform/afx/CObject.h"
#include "platform/afx/CString.h"

using CArchiveException = settings::ArchiveException;

class CArchive {
public:
  enum Mode { store = 0, load = 1 };

  CArchive(CFile* file, UINT mode, int bufferSize = 4096);
  // A view over an archive of the portable tier (objects serialised from inside it).
  explicit CArchive(settings::Archive* archive) : ar_(archive) {}
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  BOOL IsStoring() const { return ar_->IsStoring(); }
  BOOL IsLoading() const { return ar_->IsLoading(); }
  CFile* GetFile() const { return file_; }

  void Flush();
  void Close();

  void Write(const void* data, UINT size) { ar_->Write(data, size); }
  // Reads up to size bytes; the count read.
  UINT Read(void* data, UINT size);
  // Reads exactly size bytes; throws when fewer are left.
  void ReadBytes(void* data, UINT size) { ar_->Read(data, size); }
  void WriteCount(DWORD count) { ar_->WriteCount(count); }
  DWORD ReadCount() { return ar_->ReadCount(); }
  void WriteString(const char* text) { ar_->WriteString(text ? text : ""); }

  void WriteObject(const CObject* object) { ar_->WriteObject(object); }
  // The object read (a new one, or the one met before for a back reference); null for
  // a null tag. Throws when the class is not the requested one or derived from it.
  CObject* ReadObject(const CRuntimeClass* requested);

  CArchive& operator<<(BYTE v) { ar_->WriteByte(v); return *this; }
  CArchive& operator<<(WORD v) { ar_->WriteWord(v); return *this; }
  CArchive& operator<<(DWORD v) { ar_->WriteDword(v); return *this; }
  CArchive& operator<<(int v) { ar_->WriteInt(v); return *this; }
  CArchive& operator<<(float v) { ar_->WriteFloat(v); return *this; }
  CArchive& operator<<(double v) { ar_->WriteDouble(v); return *this; }
  CArchive& operator<<(const CString& v) { ar_->WriteString(v.str()); return *this; }
  CArchive& operator<<(const CObject* v) { WriteObject(v); return *this; }
  CArchive& operator>>(BYTE& v) { v = ar_->ReadByte(); return *this; }
  CArchive& operator>>(WORD& v) { v = ar_->ReadWord(); return *this; }
  CArchive& operator>>(DWORD& v) { v = ar_->ReadDword(); return *this; }
  CArchive& operator>>(int& v) { v = ar_->ReadInt(); return *this; }
  CArchive& operator>>(float& v) { v = ar_->ReadFloat(); return *this; }
  CArchive& operator>>(double& v) { v = ar_->ReadDouble(); return *this; }
  CArchive& operator>>(CString& v) { v = CString(ar_->ReadString()); return *this; }
  CArchive& operator>>(CObject*& v) { v = ReadObject(nullptr); return *this; }

private:
  CFile* file_ = nullptr;
  std::unique_ptr<settings::Archive> owned_;
  settings::Archive* ar_ = nullptr;
  size_t flushed_ = 0;
  bool closed_ = false;
};
