#pragma once
// A file in memory that grows in steps; its buffer can be attached and detached, so a
// registry value's bytes can be read through an archive and an archive's bytes taken out.
#include "platform/afx/File.h"

class CMemFile : public CFile {
public:
  explicit CMemFile(UINT growBytes = 1024) : m_grow(growBytes ? growBytes : 1024) {}
  // Reads the given bytes (the file does not free them).
  CMemFile(BYTE* buffer, UINT size, UINT growBytes = 0);
  ~CMemFile() override;

  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  ULONGLONG Seek(LONGLONG offset, UINT from) override;
  ULONGLONG GetLength() const override { return m_size; }
  ULONGLONG GetPosition() const override { return m_pos; }
  void Close() override;

  void Attach(BYTE* buffer, UINT size, UINT growBytes = 0);
  // Hands the buffer (allocated with malloc) to the caller and empties the file.
  BYTE* Detach();

private:
  BYTE* m_data = nullptr;
  UINT m_size = 0;
  UINT m_capacity = 0;
  UINT m_pos = 0;
  UINT m_grow = 1024;
  bool m_owned = true;
};
