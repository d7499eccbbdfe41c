#include "platform/afx/File.h"

#include "platform/afx/linux_headers_begin.h"
#include <new>
#include "platform/afx/linux_headers_end.h"

CFile::~CFile() {
  if (m_close) Close();
}

UINT CFile::Read(void* buffer, UINT count) {
  DWORD read = 0;
  if (!::ReadFile(m_hFile, buffer, count, &read, nullptr)) return 0;
  return read;
}

void CFile::Write(const void* buffer, UINT count) {
  DWORD written = 0;
  if (!::WriteFile(m_hFile, buffer, count, &written, nullptr) || written != count)
    throw std::bad_alloc();  // a short write: the caller's guard treats it as a failure
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!::SetFilePointerEx(m_hFile, distance, &result, from)) return static_cast<ULONGLONG>(-1);
  return static_cast<ULONGLONG>(result.QuadPart);
}

ULONGLONG CFile::GetLength() const {
  LARGE_INTEGER size;
  return ::GetFileSizeEx(m_hFile, &size) ? static_cast<ULONGLONG>(size.QuadPart) : 0;
}

ULONGLONG CFile::GetPosition() const {
  LARGE_INTEGER zero, result;
  zero.QuadPart = 0;
  return ::SetFilePointerEx(m_hFile, zero, &result, FILE_CURRENT) ? result.QuadPart : 0;
}

void CFile::Close() {
  if (m_hFile != INVALID_HANDLE_VALUE && m_hFile != nullptr) ::CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
}
