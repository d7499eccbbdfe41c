#include "toolkit/frames/MenuImages.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

// The strip's bitmap is the toolkit's own image, built from the pixel art below
// rather than read from a resource script, so every program and test that links the
// toolkit has it. Letters: '.' transparent, 'k' black (text colour), 'g' dark grey
// (shadow colour), 'w' white (highlight colour), 'b' dark blue, 'l' light grey.
typedef const char* Art[9];

const Art kArrowDown = {".........", ".........", ".........", ".kkkkkkk.", "..kkkkk..",
                        "...kkk...", "....k....", ".........", "........."};
const Art kCheck = {".........", ".......k.", "......kk.", ".k...kkk.", ".kk.kkk..",
                    ".kkkkk...", "..kkk....", "...k.....", "........."};
const Art kMinimise = {".........", ".........", ".........", ".........", ".........",
                       ".........", ".kkkkkk..", ".kkkkkk..", "........."};
const Art kRestore = {"...kkkkkk", "...kkkkkk", "...k....k", ".kkkkkk.k", ".kkkkkk.k",
                      ".k....kkk", ".k....k..", ".k....k..", ".kkkkkk.."};
const Art kClose = {".........", ".kk...kk.", "..kk.kk..", "...kkk...", "...kkk...",
                    "..kk.kk..", ".kk...kk.", ".........", "........."};
const Art kMaximise = {"kkkkkkkkk", "kkkkkkkkk", "k.......k", "k.......k", "k.......k",
                       "k.......k", "k.......k", "k.......k", "kkkkkkkkk"};
const Art kChevronsDown = {".........", ".k.....k.", "..k...k..", "...k.k...", "....k....",
                           ".k.....k.", "..k...k..", "...k.k...", "....k...."};
const Art kSmallClose = {".........", ".........", "..k...k..", "...k.k...", "....k....",
                         "...k.k...", "..k...k..", ".........", "........."};
const Art kRadio = {".........", ".........", "...kkk...", "..kkkkk..", "..kkkkk..",
                    "..kkkkk..", "...kkk...", ".........", "........."};
const Art kLargeArrowDown = {".........", ".........", "kkkkkkkkk", ".kkkkkkk.", "..kkkkk..",
                             "...kkk...", "....k....", ".........", "........."};
const Art kSmallArrowDown = {".........", ".........", ".........", "..kkkkk..", "...kkk...",
                             "....k....", ".........", ".........", "........."};
const Art kToFirst = {".........", ".k....k..", ".k...kk..", ".k..kkk..", ".k.kkkk..",
                      ".k..kkk..", ".k...kk..", ".k....k..", "........."};
const Art kOutlinedLeft = {".........", ".....k...", "....kk...", "...kwk...", "..kwwk...",
                           "...kwk...", "....kk...", ".....k...", "........."};
const Art kCustomise = {".........", ".kkkkkkk.", ".........", ".kkkkkkk.", "..kkkkk..",
                        "...kkk...", "....k....", ".........", "........."};

struct Glyph {
  std::vector<std::string> rows;
};

Glyph FromArt(const Art& art) {
  Glyph g;
  for (int y = 0; y < 9; ++y) g.rows.emplace_back(art[y]);
  return g;
}

Glyph Recolour(Glyph g, char to) {
  for (auto& row : g.rows)
    for (char& c : row)
      if (c == 'k') c = to;
  return g;
}

// The disabled form: the shape in the shadow colour over a white copy one pixel off.
Glyph Greyed(const Glyph& g) {
  Glyph out = g;
  for (auto& row : out.rows)
    for (char& c : row) c = '.';
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x)
      if (g.rows[y][x] != '.' && y + 1 < 9 && x + 1 < 9) out.rows[y + 1][x + 1] = 'w';
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x)
      if (g.rows[y][x] != '.') out.rows[y][x] = 'g';
  return out;
}

// Turned a quarter clockwise: a down arrow becomes a left arrow.
Glyph Turned(const Glyph& g) {
  Glyph out = g;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) out.rows[y][x] = g.rows[8 - x][y];
  return out;
}

Glyph Mirrored(const Glyph& g) {
  Glyph out = g;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) out.rows[y][x] = g.rows[y][8 - x];
  return out;
}

Glyph Flipped(const Glyph& g) {
  Glyph out = g;
  for (int y = 0; y < 9; ++y) out.rows[y] = g.rows[8 - y];
  return out;
}

std::vector<Glyph> BuildGlyphs() {
  Glyph down = FromArt(kArrowDown);
  Glyph left = Turned(down);
  Glyph right = Mirrored(left);
  Glyph up = Flipped(down);
  Glyph check = FromArt(kCheck), minimise = FromArt(kMinimise), restore = FromArt(kRestore);
  Glyph close = FromArt(kClose), maximise = FromArt(kMaximise);
  Glyph chevronsDown = FromArt(kChevronsDown);
  Glyph chevronsRight = Mirrored(Turned(chevronsDown));
  Glyph radio = FromArt(kRadio), largeDown = FromArt(kLargeArrowDown);
  Glyph toFirst = FromArt(kToFirst), outlinedLeft = FromArt(kOutlinedLeft);
  std::vector<Glyph> g = {down,
                          Greyed(down),
                          right,
                          Greyed(right),
                          Recolour(right, 'w'),
                          Recolour(right, 'l'),
                          check,
                          Greyed(check),
                          minimise,
                          Greyed(minimise),
                          restore,
                          Greyed(restore),
                          close,
                          Greyed(close),
                          maximise,
                          Greyed(maximise),
                          up,
                          Greyed(up),
                          chevronsDown,
                          left,
                          FromArt(kSmallClose),
                          chevronsRight,
                          radio,
                          Greyed(radio),
                          Recolour(largeDown, 'b'),
                          Greyed(largeDown),
                          Recolour(right, 'b'),
                          Greyed(right),
                          Recolour(FromArt(kSmallArrowDown), 'w'),
                          Recolour(minimise, 'w'),
                          Recolour(restore, 'w'),
                          Recolour(close, 'w'),
                          Recolour(toFirst, 'b'),
                          Recolour(Mirrored(toFirst), 'b'),
                          Recolour(left, 'b'),
                          outlinedLeft,
                          Mirrored(outlinedLeft),
                          Greyed(outlinedLeft),
                          Greyed(Mirrored(outlinedLeft)),
                          Greyed(left),
                          Recolour(chevronsDown, 'w'),
                          Recolour(chevronsRight, 'w'),
                          FromArt(kCustomise)};
  return g;
}

// The loaded strip: a 32-bit bitmap of the glyphs side by side in the current
// system colours, black around them, and below each glyph its mask (white around
// the glyph, black on it). Drawing ands the mask in and ors the glyph over it, two
// plain copies from memory: a transparent copy would make a bitmap compatible with
// the target on every glyph, which under wine asks the display server each time.
HBITMAP strip = nullptr;
// A memory DC holding the strip while it is loaded.
HDC stripDC = nullptr;
HGDIOBJ stripDCOld = nullptr;

COLORREF LetterColour(char c) {
  switch (c) {
    case 'k':
      return ::GetSysColor(COLOR_BTNTEXT);
    case 'g':
      return ::GetSysColor(COLOR_3DSHADOW);
    case 'w':
      return ::GetSysColor(COLOR_3DHIGHLIGHT);
    case 'l':
      return ::GetSysColor(COLOR_3DFACE);
    case 'b':
      return RGB(0, 0, 128);
    default:
      return MenuImages::kTransparent;
  }
}

}  // namespace

BOOL MenuImages::LoadOnce() {
  if (strip) return TRUE;
  static const std::vector<Glyph> glyphs = BuildGlyphs();
  const int width = kCount * kGlyphSize, height = 2 * kGlyphSize;
  void* bits = nullptr;
  HBITMAP made = CreateOffscreenBitmap(width, height, &bits);
  HDC dc = made && bits ? ::CreateCompatibleDC(nullptr) : nullptr;
  if (!dc) {
    if (made) ::DeleteObject(made);
    return FALSE;
  }
  // Colours follow the system colours at load time (the recolouring of the strip).
  DWORD* pixels = static_cast<DWORD*>(bits);
  for (int i = 0; i < kCount; ++i)
    for (int y = 0; y < kGlyphSize; ++y)
      for (int x = 0; x < kGlyphSize; ++x) {
        const COLORREF c = LetterColour(glyphs[i].rows[y][x]);
        const BOOL clear = c == kTransparent;
        DWORD* at = pixels + y * width + i * kGlyphSize + x;
        at[0] = clear ? 0 : (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        at[kGlyphSize * width] = clear ? 0x00FFFFFF : 0;
      }
  ::GdiFlush();
  strip = made;
  stripDC = dc;
  stripDCOld = ::SelectObject(stripDC, strip);
  return TRUE;
}

BOOL MenuImages::IsLoaded() { return strip != nullptr; }

SIZE MenuImages::Size() {
  LoadOnce();
  return SIZE{kGlyphSize, kGlyphSize};
}

void MenuImages::Draw(CDC* dc, int glyph, POINT point, SIZE size) {
  if (!dc || glyph < 0 || glyph >= kCount || !LoadOnce()) return;
  int cx = size.cx == 0 && size.cy == 0 ? kGlyphSize : size.cx;
  int cy = size.cx == 0 && size.cy == 0 ? kGlyphSize : size.cy;
  const int left = glyph * kGlyphSize;
  if (cx == kGlyphSize && cy == kGlyphSize) {
    ::BitBlt(dc->m_hDC, point.x, point.y, cx, cy, stripDC, left, kGlyphSize, SRCAND);
    ::BitBlt(dc->m_hDC, point.x, point.y, cx, cy, stripDC, left, 0, SRCPAINT);
    return;
  }
  const int oldMode = ::SetStretchBltMode(dc->m_hDC, COLORONCOLOR);
  ::StretchBlt(dc->m_hDC, point.x, point.y, cx, cy, stripDC, left, kGlyphSize, kGlyphSize, kGlyphSize,
               SRCAND);
  ::StretchBlt(dc->m_hDC, point.x, point.y, cx, cy, stripDC, left, 0, kGlyphSize, kGlyphSize, SRCPAINT);
  ::SetStretchBltMode(dc->m_hDC, oldMode);
}

void MenuImages::OnSysColorChange() {
  if (!strip) return;
  ::SelectObject(stripDC, stripDCOld);
  ::DeleteDC(stripDC);
  ::DeleteObject(strip);
  stripDC = nullptr;
  strip = nullptr;
}
