#pragma once
// A picture to draw into off screen and copy to a window in one block. It is a 32-bit
// device-independent bitmap in a memory DC, kept between paints and grown when a
// paint needs more: under wine, making a bitmap compatible with a window's DC, and
// selecting one into a DC, ask the display server each time; a kept DIB section
// asks nothing.
#include "platform/afx/afxwin.h"

class BackBuffer {
public:
  BackBuffer() = default;
  ~BackBuffer();
  BackBuffer(const BackBuffer&) = delete;
  BackBuffer& operator=(const BackBuffer&) = delete;

  // A memory DC of at least cx by cy pixels (its contents left from the last use),
  // null when no bitmap can be made.
  HDC Reserve(int cx, int cy);
  HBITMAP Bitmap() const { return m_bitmap; }
  // The memory DC holding the picture (null before the first Reserve).
  HDC Dc() const { return m_dc; }
  // The pixels, 0x00RRGGBB words, top row first, Width() words a row.
  DWORD* Bits() const { return m_bits; }
  int Width() const { return m_size.cx; }
  int Height() const { return m_size.cy; }
  void Free();

  // Lends a buffer for one paint: the kept one when no other paint holds it (a paint
  // can cause another one inside it), else one made for this paint alone. The DC's
  // state (objects selected, colours, origins) is restored when the lease ends.
  class Lease {
  public:
    Lease(BackBuffer& kept, int cx, int cy);
    ~Lease();
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    HDC Dc() const { return m_dc; }
    HBITMAP Bitmap() const { return m_buffer ? m_buffer->Bitmap() : nullptr; }
    DWORD* Bits() const { return m_dc ? m_buffer->Bits() : nullptr; }
    int Width() const { return m_dc ? m_buffer->Width() : 0; }

  private:
    BackBuffer* m_buffer = nullptr;
    BackBuffer* m_own = nullptr;
    HDC m_dc = nullptr;
    int m_saved = 0;
  };

private:
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  DWORD* m_bits = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
  SIZE m_size{0, 0};
  BOOL m_bLent = FALSE;
};
