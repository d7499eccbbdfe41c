#pragma once
// Reading back what a window shows: its pixels through BitBlt into a 32-bit DIB
// section, and a PNG of them for people to look at.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <cstdint>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

struct CapturedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first

  COLORREF At(int x, int y) const {
    std::uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  bool Empty() const { return pixels.empty(); }
};

// The window's whole area (client = false) or its client area, as it is on screen.
CapturedImage CaptureWindow(HWND hwnd, bool clientOnly);

// Writes the image as an 8-bit RGB PNG (a native path); false on failure.
bool SavePng(const CapturedImage& image, const std::string& path);

// Handles every pending message of this thread, for up to timeoutMs or until none is
// left, so painting has happened before a capture.
void PumpPendingMessages(DWORD timeoutMs = 200);
