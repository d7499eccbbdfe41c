#include "platform/afx/MemFile.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include "platform/afx/linux_headers_end.h"

CMemFile::CMemFile(BYTE* buffer, UINT size, UINT growBytes) { Attach(buffer, size, growBytes); }

CMemFile::~CMemFile() { Close(); }

void CMemFile::Attach(BYTE* buffer, UINT size, UINT growBytes) {
  Close();
  m_data = buffer;
  m_size = m_capacity = size;
  m_pos = 0;
  m_grow = growBytes;
  m_owned = false;
}

BYTE* CMemFile::Detach() {
  BYTE* data = m_data;
  m_data = nullptr;
  m_size = m_capacity = m_pos = 0;
  m_owned = true;
  return data;
}

void CMemFile::Close() {
  if (m_owned) std::free(m_data);
  m_data = nullptr;
  m_size = m_capacity = m_pos = 0;
  m_owned = true;
}

UINT CMemFile::Read(void* buffer, UINT count) {
  UINT n = m_pos < m_size ? std::min(count, m_size - m_pos) : 0;
  if (n) std::memcpy(buffer, m_data + m_pos, n);
  m_pos += n;
  return n;
}

void CMemFile::Write(const void* buffer, UINT count) {
  if (!count) return;
  UINT needed = m_pos + count;
  if (needed > m_capacity) {
    // An attached buffer that may not grow cannot take more bytes.
    if (!m_owned || m_grow == 0) throw std::bad_alloc();
    UINT capacity = ((needed + m_grow - 1) / m_grow) * m_grow;
    BYTE* grown = static_cast<BYTE*>(std::realloc(m_data, capacity));
    if (!grown) throw std::bad_alloc();
    m_data = grown;
    m_capacity = capacity;
  }
  std::memcpy(m_data + m_pos, buffer, count);
  m_pos += count;
  if (m_pos > m_size) m_size = m_pos;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from) {
  LONGLONG base = from == begin ? 0 : from == current ? m_pos : m_size;
  LONGLONG to = base + offset;
  if (to < 0) to = 0;
  m_pos = static_cast<UINT>(to);
  return m_pos;
}
