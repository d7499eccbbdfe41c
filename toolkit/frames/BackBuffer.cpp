#include "toolkit/frames/BackBuffer.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

BackBuffer::~BackBuffer() { Free(); }

void BackBuffer::Free() {
  if (m_dc && m_oldBitmap) ::SelectObject(m_dc, m_oldBitmap);
  if (m_bitmap) ::DeleteObject(m_bitmap);
  if (m_dc) ::DeleteDC(m_dc);
  m_dc = nullptr;
  m_bitmap = nullptr;
  m_bits = nullptr;
  m_oldBitmap = nullptr;
  m_size = SIZE{0, 0};
}

HDC BackBuffer::Reserve(int cx, int cy) {
  cx = std::max(cx, 1);
  cy = std::max(cy, 1);
  if (m_bitmap && cx <= m_size.cx && cy <= m_size.cy) return m_dc;
  // Grown with some room, so that a window growing a little at a time does not make
  // a new bitmap on every paint.
  const int width = std::max<int>(cx, m_size.cx), height = std::max<int>(cy, m_size.cy);
  Free();
  const SIZE made{width + width / 4, height + height / 4};
  void* bits = nullptr;
  m_bitmap = CreateOffscreenBitmap(made.cx, made.cy, &bits);
  m_bits = static_cast<DWORD*>(bits);
  m_dc = m_bitmap ? ::CreateCompatibleDC(nullptr) : nullptr;
  if (!m_bitmap || !m_dc) {
    Free();
    return nullptr;
  }
  m_oldBitmap = ::SelectObject(m_dc, m_bitmap);
  m_size = made;
  return m_dc;
}

BackBuffer::Lease::Lease(BackBuffer& kept, int cx, int cy) {
  if (kept.m_bLent) {
    m_own = new BackBuffer;
    m_buffer = m_own;
  } else {
    m_buffer = &kept;
  }
  m_dc = m_buffer->Reserve(cx, cy);
  if (!m_dc) return;
  m_buffer->m_bLent = TRUE;
  m_saved = ::SaveDC(m_dc);
}

BackBuffer::Lease::~Lease() {
  if (m_dc) {
    ::RestoreDC(m_dc, m_saved);
    m_buffer->m_bLent = FALSE;
  }
  delete m_own;
}
