#pragma once
// A file reached by its Win32 handle, and the base of memory files: what archives read
// from and write to.
#include <windows.h>

class CFile {
public:
  enum OpenFlags { modeRead = 0, modeWrite = 1, modeReadWrite = 2 };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile() = default;
  // Wraps an open handle; the file does not close it unless told to.
  explicit CFile(HANDLE file, BOOL closeOnDelete = FALSE) : m_hFile(file), m_close(closeOnDelete) {}
  virtual ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  virtual UINT Read(void* buffer, UINT count);
  virtual void Write(const void* buffer, UINT count);
  virtual ULONGLONG Seek(LONGLONG offset, UINT from);
  virtual ULONGLONG GetLength() const;
  virtual ULONGLONG GetPosition() const;
  virtual void Flush() {}
  virtual void Close();

  HANDLE m_hFile = INVALID_HANDLE_VALUE;

private:
  BOOL m_close = FALSE;
};
