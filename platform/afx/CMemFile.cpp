#include "platform/afx/CMemFile.h"

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
  data_ = buffer;
  size_ = capacity_ = size;
  pos_ = 0;
  grow_ = growBytes;
  owned_ = false;
}

BYTE* CMemFile::Detach() {
  BYTE* data = data_;
  data_ = nullptr;
  size_ = capacity_ = pos_ = 0;
  owned_ = true;
  return data;
}

void CMemFile::Close() {
  if (owned_) std::free(data_);
  data_ = nullptr;
  size_ = capacity_ = pos_ = 0;
  owned_ = true;
}

UINT CMemFile::Read(void* buffer, UINT count) {
  UINT n = pos_ < size_ ? std::min(count, size_ - pos_) : 0;
  if (n) std::memcpy(buffer, data_ + pos_, n);
  pos_ += n;
  return n;
}

void CMemFile::Write(const void* buffer, UINT count) {
  if (!count) return;
  UINT needed = pos_ + count;
  if (needed > capacity_) {
    // An attached buffer that may not grow cannot take more bytes.
    if (!owned_ || grow_ == 0) throw std::bad_alloc();
    UINT capacity = ((needed + grow_ - 1) / grow_) * grow_;
    BYTE* grown = static_cast<BYTE*>(std::realloc(data_, capacity));
    if (!grown) throw std::bad_alloc();
    data_ = grown;
    capacity_ = capacity;
  }
  std::memcpy(data_ + pos_, buffer, count);
  pos_ += count;
  if (pos_ > size_) size_ = pos_;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from) {
  LONGLONG base = from == begin ? 0 : from == current ? pos_ : size_;
  LONGLONG to = base + offset;
  if (to < 0) to = 0;
  pos_ = static_cast<UINT>(to);
  return pos_;
}
