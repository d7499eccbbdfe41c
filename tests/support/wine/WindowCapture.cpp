#include "support/wine/WindowCapture.h"

#include "support/wine/Wait.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

CapturedImage CaptureWindow(HWND hwnd, bool clientOnly) {
  CapturedImage image;
  RECT rect;
  if (clientOnly) {
    ::GetClientRect(hwnd, &rect);
  } else {
    ::GetWindowRect(hwnd, &rect);
    ::OffsetRect(&rect, -rect.left, -rect.top);
  }
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return image;

  HDC source = clientOnly ? ::GetDC(hwnd) : ::GetWindowDC(hwnd);
  HDC memory = ::CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib && bits) {
    HGDIOBJ old = ::SelectObject(memory, dib);
    ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ::GdiFlush();
    image.width = width;
    image.height = height;
    const auto* p = static_cast<const std::uint32_t*>(bits);
    image.pixels.assign(p, p + static_cast<size_t>(width) * height);
    for (auto& px : image.pixels) px &= 0x00FFFFFF;
    ::SelectObject(memory, old);
  }
  if (dib) ::DeleteObject(dib);
  ::DeleteDC(memory);
  ::ReleaseDC(hwnd, source);
  return image;
}

namespace {
std::uint32_t Crc(const std::uint8_t* data, size_t size, std::uint32_t crc = 0xFFFFFFFFu) {
  static std::uint32_t table[256];
  static bool ready = false;
  if (!ready) {
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    ready = true;
  }
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

void PutBig(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  PutBig(out, static_cast<std::uint32_t>(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBig(out, Crc(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}
}  // namespace

bool SavePng(const CapturedImage& image, const std::string& path) {
  if (image.Empty()) return false;
  // Raw scanlines (filter byte 0), stored in uncompressed deflate blocks: larger
  // files, but no compression library in test code.
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<size_t>(image.height) * (image.width * 3 + 1));
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < image.width; ++x) {
      std::uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
      raw.push_back((p >> 16) & 0xFF);
      raw.push_back((p >> 8) & 0xFF);
      raw.push_back(p & 0xFF);
    }
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t pos = 0; pos < raw.size() || pos == 0;) {
    size_t n = std::min<size_t>(65535, raw.size() - pos);
    bool last = pos + n >= raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(n & 0xFF);
    z.push_back(n >> 8);
    z.push_back(~n & 0xFF);
    z.push_back((~n >> 8) & 0xFF);
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
    pos += n;
    if (last) break;
  }
  PutBig(z, (b << 16) | a);

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBig(header, image.width);
  PutBig(header, image.height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});

  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  return std::fclose(file) == 0 && ok;
}

void PumpPendingMessages(DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  do {
    winetest::PumpMessages();
    ::Sleep(10);
  } while (::GetTickCount() - start < timeoutMs);
}
