#include "toolkit/frames/DrawManager.h"

#include "toolkit/frames/BackBuffer.h"
#include "toolkit/frames/GlobalData.h"

namespace {

// A copy of a rectangle of the target DC as 0x00RRGGBB words, (x, y) from its top-left
// corner, written back by CopyBack. The copy is made in a picture kept between calls:
// a picture made for each call cost fresh memory (the copy touched every page of it
// anew), a DC, and a bitmap selected into that DC and out again.
BackBuffer& ScratchPicture() {
  static auto* kept = new BackBuffer;
  return *kept;
}

class PixelCopy {
public:
  PixelCopy(CDC& target, int x, int y, int width, int height)
      : m_target(target),
        m_x(x),
        m_y(y),
        m_width(width),
        m_height(height),
        m_scratch(ScratchPicture(), width, height) {
    if (!m_scratch.Dc() || !m_scratch.Bits()) return;
    ::BitBlt(m_scratch.Dc(), 0, 0, width, height, target.m_hDC, x, y, SRCCOPY);
    ::GdiFlush();
    m_bits = m_scratch.Bits();
  }
  bool Ok() const { return m_bits != nullptr; }
  void CopyBack() {
    ::GdiFlush();
    ::BitBlt(m_target.m_hDC, m_x, m_y, m_width, m_height, m_scratch.Dc(), 0, 0, SRCCOPY);
  }
  DWORD& At(int x, int y) { return Row(y)[x]; }
  DWORD* Row(int y) { return m_bits + static_cast<ptrdiff_t>(y) * m_scratch.Width(); }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // Hands every pixel of the copy to change, row by row.
  template <typename Change>
  void ForEachPixel(Change change) {
    for (int y = 0; y < m_height; ++y)
      for (DWORD *p = Row(y), *end = p + m_width; p != end; ++p) change(*p);
  }

private:
  CDC& m_target;
  int m_x, m_y, m_width, m_height;
  BackBuffer::Lease m_scratch;
  DWORD* m_bits = nullptr;
};

int Red(DWORD pixel) { return (pixel >> 16) & 0xFF; }
int Green(DWORD pixel) { return (pixel >> 8) & 0xFF; }
int Blue(DWORD pixel) { return pixel & 0xFF; }
DWORD Pixel(int r, int g, int b) { return (DWORD)((r << 16) | (g << 8) | b); }
COLORREF PixelToColor(DWORD p) { return RGB(Red(p), Green(p), Blue(p)); }
DWORD ColorToPixel(COLORREF c) { return Pixel(GetRValue(c), GetGValue(c), GetBValue(c)); }

bool Matches(DWORD pixel, COLORREF transparent, int tolerance) {
  if (transparent == (COLORREF)-1) return false;
  DWORD key = ColorToPixel(transparent);
  if (tolerance < 1) return pixel == key;
  return abs(Red(pixel) - Red(key)) < tolerance && abs(Green(pixel) - Green(key)) < tolerance &&
         abs(Blue(pixel) - Blue(key)) < tolerance;
}

int ScaleChannel(int channel, double factor) {
  if (channel == 0 && factor > 1.0) return static_cast<int>((factor - 1.0) * 255.0 + 0.5);
  int v = static_cast<int>(channel * factor + 0.5);
  return v > 255 ? 255 : v;
}

}  // namespace

COLORREF DrawManager::ScaleColorPercent(COLORREF color, int percent) {
  auto scale = [percent](int c) {
    int v = c * percent / 100;
    return v > 255 ? 255 : v;
  };
  return RGB(scale(GetRValue(color)), scale(GetGValue(color)), scale(GetBValue(color)));
}

COLORREF DrawManager::ScaleColorPercents(COLORREF color, int redPercent, int greenPercent, int bluePercent) {
  auto scale = [](int c, int percent) {
    if (c == 0 && percent > 100) return (percent - 100) * 255 / 100;
    int v = c * percent / 100;
    return v > 255 ? 255 : v;
  };
  return RGB(scale(GetRValue(color), redPercent), scale(GetGValue(color), greenPercent),
             scale(GetBValue(color), bluePercent));
}

COLORREF DrawManager::ScaleColorChannels(COLORREF color, double red, double green, double blue) {
  return RGB(ScaleChannel(GetRValue(color), red), ScaleChannel(GetGValue(color), green),
             ScaleChannel(GetBValue(color), blue));
}

COLORREF DrawManager::MixColors(COLORREF first, COLORREF second, int percent) {
  auto mix = [percent](int a, int b) { return (a * percent + b * (100 - percent)) / 100; };
  return RGB(mix(GetRValue(first), GetRValue(second)), mix(GetGValue(first), GetGValue(second)),
             mix(GetBValue(first), GetBValue(second)));
}

double DrawManager::HueToChannel(double m1, double m2, double h) {
  if (h < 0) h += 1.0;
  if (h > 1) h -= 1.0;
  if (6.0 * h < 1) return m1 + (m2 - m1) * 6.0 * h;
  if (2.0 * h < 1) return m2;
  if (3.0 * h < 2.0) return m1 + (m2 - m1) * ((2.0 / 3.0) - h) * 6.0;
  return m1;
}

BYTE DrawManager::HueToRgb(float m1, float m2, float hue) {
  if (hue > 360) hue -= 360;
  if (hue < 0) hue += 360;
  float v;
  if (hue < 60)
    v = m1 + (m2 - m1) * hue / 60;
  else if (hue < 180)
    v = m2;
  else if (hue < 240)
    v = m1 + (m2 - m1) * (240 - hue) / 60;
  else
    v = m1;
  return static_cast<BYTE>(v * 255);
}

COLORREF DrawManager::HlsToRgb(double h, double l, double s) {
  if (s == 0) {
    BYTE grey = static_cast<BYTE>(l * 255);
    return RGB(grey, grey, grey);
  }
  double m2 = l <= 0.5 ? l * (1.0 + s) : l + s - l * s;
  double m1 = 2.0 * l - m2;
  return RGB(static_cast<BYTE>(HueToChannel(m1, m2, h + 1.0 / 3.0) * 255),
             static_cast<BYTE>(HueToChannel(m1, m2, h) * 255),
             static_cast<BYTE>(HueToChannel(m1, m2, h - 1.0 / 3.0) * 255));
}

COLORREF DrawManager::HlsDegreesToRgb(double h, double l, double s) {
  if (s == 0) {
    BYTE grey = static_cast<BYTE>(l * 255);
    return RGB(grey, grey, grey);
  }
  double m2 = l <= 0.5 ? l * (1.0 + s) : l + s - l * s;
  double m1 = 2.0 * l - m2;
  float f1 = static_cast<float>(m1), f2 = static_cast<float>(m2), fh = static_cast<float>(h);
  return RGB(HueToRgb(f1, f2, fh + 120.0f), HueToRgb(f1, f2, fh), HueToRgb(f1, f2, fh - 120.0f));
}

void DrawManager::RgbToHls(COLORREF color, double* hue, double* saturation, double* lightness) {
  double r = GetRValue(color) / 255.0, g = GetGValue(color) / 255.0, b = GetBValue(color) / 255.0;
  double mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
  double mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
  double l = (mx + mn) / 2.0, h = 0, s = 0;
  if (mx != mn) {
    double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2.0 - mx - mn);
    if (r == mx)
      h = (g - b) / d;
    else if (g == mx)
      h = 2.0 + (b - r) / d;
    else
      h = 4.0 + (r - g) / d;
    h /= 6.0;
    if (h < 0) h += 1.0;
  }
  if (hue) *hue = h;
  if (saturation) *saturation = s;
  if (lightness) *lightness = l;
}

BOOL DrawManager::LightenRect(const RECT& rect, int percent, COLORREF transparent, int tolerance) {
  if (percent == 100) return TRUE;
  GlobalData& gd = GlobalData::Get();
  CRect r(rect);
  if (gd.bitsPerPixel <= 8) {
    m_dc.FillRect(&r, &gd.lightBrush);
    return TRUE;
  }
  if (r.Width() < 1 || r.Height() < 1) return TRUE;
  PixelCopy copy(m_dc, r.left, r.top, r.Width(), r.Height());
  if (!copy.Ok()) return FALSE;
  DWORD hl = ColorToPixel(gd.buttonHighlight);
  double factor = percent / 100.0;
  copy.ForEachPixel([&](DWORD& p) {
    DWORD px = p & 0x00FFFFFF;
    if (Matches(px, transparent, tolerance)) return;
    if (percent == -1) {
      p = Pixel((2 * Red(px) + Red(hl)) / 3, (2 * Green(px) + Green(hl)) / 3, (2 * Blue(px) + Blue(hl)) / 3);
    } else {
      p = ColorToPixel(ScaleColorChannels(PixelToColor(px), factor, factor, factor));
    }
  });
  copy.CopyBack();
  return TRUE;
}

BOOL DrawManager::TintRectHls(const RECT& rect, int percent, COLORREF transparent) {
  GlobalData& gd = GlobalData::Get();
  CRect r(rect);
  if (gd.bitsPerPixel <= 8) {
    m_dc.FillRect(&r, &gd.lightBrush);
    return TRUE;
  }
  if (r.Width() < 1 || r.Height() < 1) return TRUE;
  PixelCopy copy(m_dc, r.left, r.top, r.Width(), r.Height());
  if (!copy.Ok()) return FALSE;
  DWORD hl = ColorToPixel(gd.buttonHighlight);
  double factor = percent / 100.0;
  copy.ForEachPixel([&](DWORD& p) {
    DWORD px = p & 0x00FFFFFF;
    if (Matches(px, transparent, 0)) return;
    double h, s, l;
    RgbToHls(PixelToColor(px), &h, &s, &l);
    COLORREF grey = HlsToRgb(h, l, 0);
    if (percent == -1) {
      auto half = [](int g, int h2) {
        int v = g + (h2 - g) / 2;
        return v > 255 ? 255 : v;
      };
      p = Pixel(half(GetRValue(grey), Red(hl)), half(GetGValue(grey), Green(hl)),
                half(GetBValue(grey), Blue(hl)));
    } else {
      p = ColorToPixel(ScaleColorChannels(grey, factor, factor, factor));
    }
  });
  copy.CopyBack();
  return TRUE;
}

void DrawManager::PaintGradient(const RECT& rect, COLORREF start, COLORREF finish, int direction,
                                int firstFlatPercent, int secondFlatPercent) {
  CRect r(rect);
  if (start == finish) {
    m_dc.FillSolidRect(&r, start);
    return;
  }
  const bool horizontal = direction == 0;
  const int fullSize = horizontal ? r.Width() : r.Height();
  if (firstFlatPercent > 0) {
    int band = fullSize * firstFlatPercent / 100;
    if (horizontal) {
      m_dc.FillSolidRect(r.left, r.top, band, r.Height(), start);
      r.left += band;
    } else {
      m_dc.FillSolidRect(r.left, r.top, r.Width(), band, finish);
      r.top += band;
    }
  }
  if (secondFlatPercent > 0) {
    int band = fullSize * secondFlatPercent / 100;
    if (horizontal) {
      m_dc.FillSolidRect(rect.right - band, r.top, band, r.Height(), finish);
      r.right -= band;
    } else {
      m_dc.FillSolidRect(r.left, rect.bottom - band, r.Width(), band, start);
      r.bottom -= band;
    }
  }
  if (firstFlatPercent + secondFlatPercent > 100) return;
  const int size = horizontal ? r.Width() : r.Height();
  if (size <= 0) return;
  const int sr = GetRValue(start), sg = GetGValue(start), sb = GetBValue(start);
  const int dr = GetRValue(finish) - sr, dg = GetGValue(finish) - sg, db = GetBValue(finish) - sb;
  for (int i = 0; i < 64; ++i) {
    int from = (size * i) >> 6, to = (size * (i + 1)) >> 6;
    if (to - from < 1) continue;
    COLORREF c = RGB(((sr << 6) + i * dr) >> 6, ((sg << 6) + i * dg) >> 6, ((sb << 6) + i * db) >> 6);
    if (horizontal)
      m_dc.FillSolidRect(r.left + from, r.top, to - from, r.Height(), c);
    else
      m_dc.FillSolidRect(r.left, r.bottom - to, r.Width(), to - from, c);
  }
}

BOOL DrawManager::PaintShadow(const RECT& rect, int depth, int firstPercent, int secondPercent,
                              CBitmap* bottomStrip, CBitmap* sideStrip, BOOL shadowOnRight) {
  CRect r(rect);
  if (depth == 0 || r.IsRectEmpty()) return TRUE;
  if (depth >= r.Width() || depth >= r.Height()) return TRUE;
  const int sideX = shadowOnRight ? r.right : r.left - depth;
  const int bottomX = shadowOnRight ? r.left : r.left - depth;

  if (bottomStrip && sideStrip && bottomStrip->m_hObject && sideStrip->m_hObject) {
    ::DrawStateA(m_dc.m_hDC, nullptr, nullptr, (LPARAM)(HBITMAP)*sideStrip, 0, sideX, r.top, depth,
                 r.Height() + depth, DST_BITMAP);
    ::DrawStateA(m_dc.m_hDC, nullptr, nullptr, (LPARAM)(HBITMAP)*bottomStrip, 0, bottomX, r.bottom,
                 r.Width() + depth, depth, DST_BITMAP);
    return TRUE;
  }

  const int areaX = shadowOnRight ? r.left : r.left - depth;
  const int width = r.Width() + depth, height = r.Height() + depth;
  const int rw = r.Width(), rh = r.Height();
  const int step = (secondPercent - firstPercent) / depth;
  // Layer 0 is the outermost and lightest; the shadow is offset by its depth.
  auto straight = [&](int layer) { return secondPercent - step * depth + step * layer; };
  // Along its first `depth` pixels a strip fades in from (almost) no shadow to the
  // layer's full percentage.
  auto ramp = [&](int layer, int along) {
    int full = straight(layer);
    return full + (100 - full) * (depth - along) / (depth + 1);
  };
  auto scale = [](DWORD& px, int percent) {
    px = ColorToPixel(ScaleColorPercent(PixelToColor(px & 0x00FFFFFF), percent));
  };
  // Only the two strips change, one after the other.
  {
    // `depth` columns beside the rectangle, from top + depth down to the bottom of
    // the shadow.
    PixelCopy side(m_dc, areaX + (shadowOnRight ? rw : 0), r.top + depth, depth, rh);
    if (!side.Ok()) return FALSE;
    for (int d = 0; d < depth; ++d) {
      int layer = depth - 1 - d;
      int x = shadowOnRight ? d : depth - 1 - d;
      for (int y = depth; y < height; ++y) {
        int rowLayer = layer;
        if (y >= rh) rowLayer = layer < (height - 1 - y) ? layer : (height - 1 - y);
        int along = y - depth;
        scale(side.At(x, y - depth), along < depth ? ramp(rowLayer, along) : straight(rowLayer));
      }
    }
    side.CopyBack();
  }
  {
    // `depth` rows under the rectangle, from its left + depth to its right edge (the
    // corner belongs to the side strip).
    PixelCopy bottom(m_dc, areaX + depth, r.top + rh, rw - depth, depth);
    if (!bottom.Ok()) return FALSE;
    for (int d = 0; d < depth; ++d) {
      int layer = depth - 1 - d;
      for (int i = depth; i < rw; ++i) {
        int x = shadowOnRight ? i : width - 1 - i;
        int along = i - depth;
        scale(bottom.At(x - depth, d), along < depth ? ramp(layer, along) : straight(layer));
      }
    }
    bottom.CopyBack();
  }

  if (bottomStrip && sideStrip) {
    CDC memory;
    if (memory.CreateCompatibleDC(&m_dc)) {
      if (sideStrip->CreateCompatibleBitmap(m_dc.m_hDC, depth + 1, r.Height() + depth)) {
        HGDIOBJ old = memory.SelectObject(sideStrip);
        memory.BitBlt(0, 0, depth, r.Height() + depth, &m_dc, sideX, r.top, SRCCOPY);
        memory.SelectObject(old);
      }
      if (bottomStrip->CreateCompatibleBitmap(m_dc.m_hDC, r.Width() + depth, depth + 1)) {
        HGDIOBJ old = memory.SelectObject(bottomStrip);
        memory.BitBlt(0, 0, r.Width() + depth, depth, &m_dc, bottomX, r.bottom, SRCCOPY);
        memory.SelectObject(old);
      }
    }
  }
  return TRUE;
}
