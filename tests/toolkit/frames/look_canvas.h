#pragma once
// A 32-bit memory canvas for drawing tests: a DIB section in a memory DC, read back
// pixel by pixel and saved as PNG.
#include "platform/afx/afxwin.h"
#include "support/wine/WindowCapture.h"

class LookCanvas {
public:
  LookCanvas(int width, int height) : width_(width), height_(height) {
    dc.CreateCompatibleDC(nullptr);
    bitmap_ = CreateOffscreenBitmap(width, height, &bits_);
    old_ = dc.SelectObject(bitmap_);
  }
  ~LookCanvas() {
    dc.SelectObject(old_);
    ::DeleteObject(bitmap_);
  }
  void Clear(COLORREF color) { dc.FillSolidRect(0, 0, width_, height_, color); }
  COLORREF At(int x, int y) {
    ::GdiFlush();
    DWORD p = static_cast<DWORD*>(bits_)[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  CapturedImage Image() {
    ::GdiFlush();
    CapturedImage image;
    image.width = width_;
    image.height = height_;
    const DWORD* p = static_cast<DWORD*>(bits_);
    image.pixels.assign(p, p + width_ * height_);
    for (auto& px : image.pixels) px &= 0x00FFFFFF;
    return image;
  }

  CDC dc;

private:
  int width_, height_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  void* bits_ = nullptr;
};
