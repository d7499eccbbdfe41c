#include "app/skin/SkinCache.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstring>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace skin {
namespace {

HBITMAP g_slots[kSlotCount] = {};
UINT g_loadedIds[5] = {};  // slots 0, 1, 2, 6, 7
COLORREF g_skinColor = CLR_INVALID;
int g_users = 0;
int g_tintCount = 0;

constexpr int kLoadedSlot[5] = {kBackground0, kBackground1, kBackground2, kSmallTall, kSmallWide};

void Replace(HBITMAP* where, HBITMAP bitmap) {
  if (*where) ::DeleteObject(*where);
  *where = bitmap;
}

HBITMAP LoadDib(UINT id) {
  return static_cast<HBITMAP>(
      ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The bitmap's pixels as 24-bit rows, bottom-up, each padded to 4 bytes.
bool ReadBits(HBITMAP bitmap, int* width, int* height, std::vector<BYTE>* bits) {
  BITMAP info{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof(info), &info)) return false;
  *width = info.bmWidth;
  *height = std::abs(info.bmHeight);
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  header.bmiHeader.biWidth = *width;
  header.bmiHeader.biHeight = *height;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 24;
  header.bmiHeader.biCompression = BI_RGB;
  const int stride = (*width * 3 + 3) & ~3;
  bits->assign(static_cast<size_t>(stride) * *height, 0);
  HDC dc = ::CreateCompatibleDC(nullptr);
  if (!dc) return false;
  const int lines = ::GetDIBits(dc, bitmap, 0, *height, bits->data(), &header, DIB_RGB_COLORS);
  ::DeleteDC(dc);
  return lines == *height;
}

HBITMAP MakeDib(int width, int height, BYTE** bits) {
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  header.bmiHeader.biWidth = width;
  header.bmiHeader.biHeight = height;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 24;
  header.bmiHeader.biCompression = BI_RGB;
  void* data = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &data, nullptr, 0);
  *bits = static_cast<BYTE*>(data);
  return bitmap;
}

int TintChannel(int x, int r, int t) {
  if (x > r) return t + (255 - t) * (x - r) / (255 - r);
  if (r == 0) return 0;
  return t * x / r;
}

}  // namespace

BOOL LoadSkinBitmaps(UINT id0, UINT id1, UINT id2, UINT id6, UINT id7) {
  const UINT ids[5] = {id0, id1, id2, id6, id7};
  BOOL changed = FALSE;
  for (int i = 0; i < 5; ++i) {
    if (g_loadedIds[i] == ids[i] && g_slots[kLoadedSlot[i]]) continue;
    Replace(&g_slots[kLoadedSlot[i]], LoadDib(ids[i]));
    g_loadedIds[i] = ids[i];
    changed = TRUE;
  }
  return changed;
}

BOOL SetSkinColor(COLORREF color) {
  if (color == g_skinColor && g_slots[kTinted0]) return TRUE;
  if (!g_slots[kBackground0])
    LoadSkinBitmaps(kDefaultBackground0, kDefaultBackground1, kDefaultBackground2, kDefaultSmallTall,
                    kDefaultSmallWide);
  g_skinColor = color;
  TintBitmap(g_slots[kBackground0], kTinted0, color);
  TintBitmap(g_slots[kBackground1], kTinted1, color);
  TintBitmap(g_slots[kBackground2], kTinted2, color);
  TintBitmap(g_slots[kSmallTall], kTintedSmallTall, color);
  TintBitmap(g_slots[kSmallWide], kTintedSmallWide, color);
  ++g_tintCount;
  return TRUE;
}

COLORREF GetSkinColor() { return g_skinColor; }
int TintCount() { return g_tintCount; }
HBITMAP GetSlot(int slot) { return slot >= 0 && slot < kSlotCount ? g_slots[slot] : nullptr; }
HBITMAP GetSmallSkin(BOOL tall) { return g_slots[tall ? kTintedSmallTall : kTintedSmallWide]; }

BOOL TintBitmap(HBITMAP source, int destinationSlot, COLORREF color) {
  int width = 0, height = 0;
  std::vector<BYTE> src;
  if (!ReadBits(source, &width, &height, &src)) return FALSE;
  BYTE* out = nullptr;
  HBITMAP result = MakeDib(width, height, &out);
  if (!result) return FALSE;
  const int stride = (width * 3 + 3) & ~3;
  // Top-left pixel: the last row of a bottom-up DIB.
  const BYTE* reference = &src[static_cast<size_t>(stride) * (height - 1)];
  const int target[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) {
        const size_t at = static_cast<size_t>(y) * stride + x * 3 + c;
        out[at] = static_cast<BYTE>(TintChannel(src[at], reference[c], target[c]));
      }
  ::GdiFlush();
  Replace(&g_slots[destinationSlot], result);
  return TRUE;
}

BOOL ComposeButtonImage(HBITMAP* destination, int kind, UINT glyphId, UINT maskId, int x, int y) {
  if (!g_slots[kTinted0]) SetSkinColor(::GetSysColor(COLOR_BTNFACE));
  HBITMAP glyph = LoadDib(glyphId);
  HBITMAP mask = LoadDib(maskId);
  HBITMAP background = g_slots[kind == 1 ? kTinted1 : kind == 2 ? kTinted2 : kTinted0];
  int bw = 0, bh = 0, gw = 0, gh = 0, mw = 0, mh = 0;
  std::vector<BYTE> back, glyphBits, maskBits;
  const bool ok = ReadBits(background, &bw, &bh, &back);
  const bool haveGlyph = ReadBits(glyph, &gw, &gh, &glyphBits) && ReadBits(mask, &mw, &mh, &maskBits);
  if (glyph) ::DeleteObject(glyph);
  if (mask) ::DeleteObject(mask);
  if (!ok) return FALSE;
  BYTE* out = nullptr;
  HBITMAP result = MakeDib(bw, bh, &out);
  if (!result) return FALSE;
  std::memcpy(out, back.data(), back.size());
  if (haveGlyph) {
    const int w = std::min({gw, mw, bw - x});
    const int h = std::min({gh, mh, bh - y});
    const int bStride = (bw * 3 + 3) & ~3, gStride = (gw * 3 + 3) & ~3, mStride = (mw * 3 + 3) & ~3;
    // Bottom-up rows: the glyph's bottom row (row 0) lands y rows above the bottom.
    for (int row = 0; row < h; ++row)
      for (int col = 0; col < w; ++col) {
        const int a = maskBits[static_cast<size_t>(row) * mStride + col * 3];
        for (int c = 0; c < 3; ++c) {
          BYTE& b = out[static_cast<size_t>(row + y) * bStride + (col + x) * 3 + c];
          const int g = glyphBits[static_cast<size_t>(row) * gStride + col * 3 + c];
          b = static_cast<BYTE>((b * (255 - a) + g * a) / 255);
        }
      }
  }
  ::GdiFlush();
  Replace(destination, result);
  return TRUE;
}

SkinHolder::SkinHolder() { ++g_users; }

SkinHolder::~SkinHolder() {
  if (--g_users > 0) return;
  for (HBITMAP& slot : g_slots) Replace(&slot, nullptr);
  std::fill(std::begin(g_loadedIds), std::end(g_loadedIds), 0u);
  g_skinColor = CLR_INVALID;
}

}  // namespace skin
