#include "app/view/Ruler.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

Ruler::Ruler() = default;

Ruler::~Ruler() {
  if (m_hMinorFont) ::DeleteObject(m_hMinorFont);
  if (m_hMajorFont) ::DeleteObject(m_hMajorFont);
}

void Ruler::SetBounds(int left, int top, int right, int bottom) {
  if (m_bounds.left == left && m_bounds.top == top && m_bounds.right == right && m_bounds.bottom == bottom)
    return;
  m_bounds = {left, top, right, bottom};
  m_valid = false;
}

void Ruler::SetRange(double min, double max) {
  if (m_min == min && m_max == max) return;
  m_min = min;
  m_max = max;
  m_valid = false;
}

void Ruler::SetOrientation(int orientation) {
  if (m_orientation == orientation) return;
  m_orientation = orientation;
  if (orientation == kVertical && !m_flip) m_labelLayout = 2;
  m_valid = false;
}

void Ruler::SetFormat(int format) {
  if (m_format == format) return;
  m_format = format;
  m_valid = false;
}

void Ruler::SetFlip(bool flip) {
  if (m_flip == flip) return;
  m_flip = flip;
  m_valid = false;
}

void Ruler::SetLabelEdges(bool labelEdges) {
  if (m_labelEdges == labelEdges) return;
  m_labelEdges = labelEdges;
  m_valid = false;
}

void Ruler::SetUnits(const std::string& units) {
  if (m_units == units) return;
  m_units = units;
  m_valid = false;
}

namespace {
Ruler::Spacing RealSpacing(double units) {
  Ruler::Spacing s;
  s.digits = 6;
  double d = 0.000001;
  if (units < d) {
    s.minor = d;
    s.major = d * 5.0;
    return s;
  }
  for (;;) {
    d *= 5.0;
    if (units < d) {
      s.minor = d;
      s.major = d * 2.0;
      return s;
    }
    d *= 2.0;
    --s.digits;
    if (units < d) {
      s.minor = d;
      s.major = d * 5.0;
      return s;
    }
  }
}
}  // namespace

Ruler::Spacing Ruler::FindSpacing(int format, double units) {
  Spacing s;
  switch (format) {
    case kIntFormat: {
      double d = 1.0;
      if (units < 1.0) {
        s.minor = 1.0;
        s.major = 5.0;
        return s;
      }
      for (;;) {
        d *= 5.0;
        if (units < d) {
          s.minor = d;
          s.major = d * 2.0;
          return s;
        }
        d *= 2.0;
        if (units < d) {
          s.minor = d;
          s.major = d * 5.0;
          return s;
        }
      }
    }
    case kTimeFormat: {
      if (units <= 0.5) return RealSpacing(units);
      static const double kRows[][3] = {{1, 1, 5},
                                        {5, 5, 15},
                                        {10, 10, 30},
                                        {15, 15, 60},
                                        {30, 30, 60},
                                        {60, 60, 300},
                                        {300, 300, 900},
                                        {600, 600, 1800},
                                        {900, 900, 3600},
                                        {1800, 1800, 3600},
                                        {3600, 3600, 21600},
                                        {21600, 21600, 86400},
                                        {86400, 86400, 604800}};
      for (const auto& row : kRows) {
        if (units < row[0]) {
          s.minor = row[1];
          s.major = row[2];
          return s;
        }
      }
      s.minor = s.major = 604800;
      return s;
    }
    case kLinearDBFormat:
      if (units < 0.1) {
        s.minor = 0.1;
        s.major = 0.5;
      } else if (units >= 1.0) {
        s.minor = 3;
        s.major = 12;
      } else {
        s.minor = 1;
        s.major = 6;
      }
      return s;
    default:
      return RealSpacing(units);
  }
}

std::string Ruler::LabelText(int format, double value, const Spacing& spacing, const std::string& units) {
  // A value just below 0 whose minor step reaches past 0 is 0.
  if (value < 0.0 && value + spacing.minor > 0.0) value = 0.0;
  char text[64] = {};
  switch (format) {
    case kIntFormat:
      std::snprintf(text, sizeof text, "%d", static_cast<int>(std::floor(value + 0.5)));
      break;
    case kRealFormat:
      if (spacing.minor >= 1.0) {
        std::snprintf(text, sizeof text, "%d", static_cast<int>(std::floor(value + 0.5)));
      } else {
        char format[16];
        std::snprintf(format, sizeof format, "%%.%dlf", spacing.digits);
        std::snprintf(text, sizeof text, format, value);
      }
      break;
    case kTimeFormat: {
      std::string sign = value < 0.0 ? "-" : "";
      double v = std::fabs(value);
      if (spacing.minor >= 3600.0) {
        std::snprintf(text, sizeof text, "%d:00:00", static_cast<int>(v / 3600));
      } else if (spacing.minor >= 60.0) {
        if (v < 3600.0)
          std::snprintf(text, sizeof text, "%d:00", static_cast<int>(v / 60));
        else
          std::snprintf(text, sizeof text, "%d:%02d:00", static_cast<int>(v / 3600),
                        static_cast<int>(v / 60) % 60);
      } else if (spacing.minor >= 1.0) {
        int secs = static_cast<int>(v + 0.5);
        if (secs < 60)
          std::snprintf(text, sizeof text, "%d", secs);
        else if (secs < 3600)
          std::snprintf(text, sizeof text, "%d:%02d", secs / 60, secs % 60);
        else
          std::snprintf(text, sizeof text, "%d:%02d:%02d", secs / 3600, (secs / 60) % 60, secs % 60);
      } else {
        char prefix[32] = {};
        if (v >= 3600.0)
          std::snprintf(prefix, sizeof prefix, "%d:%02d:", static_cast<int>(v / 3600),
                        static_cast<int>(v / 60) % 60);
        else if (v >= 60.0)
          std::snprintf(prefix, sizeof prefix, "%d:", static_cast<int>(v / 60));
        double secs = v - 60.0 * std::floor(v / 60.0);
        char format[16];
        if (prefix[0])
          std::snprintf(format, sizeof format, "%%0%d.%dlf", spacing.digits + 3, spacing.digits);
        else
          std::snprintf(format, sizeof format, "%%%d.%dlf", spacing.digits + 3, spacing.digits);
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, format, secs);
        std::snprintf(text, sizeof text, "%s%s", prefix, seconds);
      }
      std::string result = sign + text;
      // The width pads the seconds; the label shows the digits only.
      result.erase(0, result.find_first_not_of(' '));
      if (!units.empty()) result += " " + units;
      return result;
    }
    case kLinearDBFormat:
      if (spacing.minor < 1.0)
        std::snprintf(text, sizeof text, "%.1f", value);
      else
        std::snprintf(text, sizeof text, "%d", static_cast<int>(std::floor(value + 0.5)));
      break;
    default:
      break;
  }
  std::string result = text;
  if (!units.empty()) result += " " + units;
  return result;
}

int Ruler::Length() const {
  return m_orientation == kHorizontal ? m_bounds.right - m_bounds.left : m_bounds.bottom - m_bounds.top;
}

void Ruler::MakeFonts(HDC dc) {
  if (m_hMinorFont) return;
  LOGFONTA lf{};
  if (!::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) {
    lf = LOGFONTA{};
    lf.lfHeight = -static_cast<LONG>(::GetDeviceCaps(dc, LOGPIXELSY) / 9.0 + 0.5);
    lstrcpyA(lf.lfFaceName, "MS Sans Serif");
  }
  lf.lfWeight = 300;
  m_hMinorFont = ::CreateFontIndirectA(&lf);
  lf.lfWeight = 600;
  m_hMajorFont = ::CreateFontIndirectA(&lf);
}

void Ruler::ComputeTicks(HDC dc) {
  m_ticks.clear();
  int length = Length();
  if (length <= 0 || m_max == m_min) return;
  double perPixel = (m_max - m_min) / length;
  m_spacing = FindSpacing(m_format, std::fabs(perPixel) * 16.0);
  std::vector<bool> occupied(static_cast<size_t>(length) + 1, false);

  auto place = [&](double value, bool major) {
    int pos = static_cast<int>(std::floor((value - m_min) / perPixel + 0.5));
    if (pos < 0 || pos > length) return;
    Tick tick{pos, std::string(), major};
    bool labelled = major || m_format != kTimeFormat;
    if (labelled) {
      tick.text = LabelText(m_format, value, m_spacing, m_units);
      ::SelectObject(dc, major ? m_hMajorFont : m_hMinorFont);
      SIZE size{};
      ::GetTextExtentPoint32A(dc, tick.text.c_str(), static_cast<int>(tick.text.size()), &size);
      int extent = m_orientation == kHorizontal ? size.cx : size.cy;
      int start = std::max(0, std::min(pos - extent / 2, length - extent));
      int end = std::min(length, start + extent);
      bool free = true;
      for (int i = std::max(0, start - 1); i <= end && free; ++i)
        if (occupied[static_cast<size_t>(i)]) free = false;
      if (free)
        for (int i = start; i <= end; ++i) occupied[static_cast<size_t>(i)] = true;
      else
        tick.text.clear();
    }
    m_ticks.push_back(tick);
  };

  double lo = std::min(m_min, m_max), hi = std::max(m_min, m_max);
  if (m_labelEdges) {
    place(m_min, true);
    place(m_max, true);
  }
  // Majors first so that their labels win over the minors'.
  for (double v = std::ceil(lo / m_spacing.major) * m_spacing.major; v <= hi + 1e-9; v += m_spacing.major)
    place(v, true);
  for (double v = std::ceil(lo / m_spacing.minor) * m_spacing.minor; v <= hi + 1e-9; v += m_spacing.minor) {
    double ratio = v / m_spacing.major;
    if (std::fabs(ratio - std::floor(ratio + 0.5)) < 1e-6) continue;
    place(v, false);
  }
  m_valid = true;
}

void Ruler::Draw(HDC dc) {
  if (m_bounds.left < 0 && m_bounds.right < 0) return;
  MakeFonts(dc);
  HGDIOBJ oldFont = ::SelectObject(dc, m_hMinorFont);
  ComputeTicks(dc);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(0, 0, 0));
  HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  const RECT& b = m_bounds;
  if (m_orientation == kHorizontal) {
    int axis = m_flip ? b.top : b.bottom - 1;
    ::MoveToEx(dc, b.left, axis, nullptr);
    ::LineTo(dc, b.right, axis);
    for (const Tick& t : m_ticks) {
      int x = b.left + t.pos;
      int len = t.major ? 4 : 2;
      ::MoveToEx(dc, x, axis, nullptr);
      ::LineTo(dc, x, m_flip ? axis + len : axis - len);
      if (t.text.empty()) continue;
      ::SelectObject(dc, t.major ? m_hMajorFont : m_hMinorFont);
      SIZE size{};
      ::GetTextExtentPoint32A(dc, t.text.c_str(), static_cast<int>(t.text.size()), &size);
      int left = std::max(b.left, std::min(x - size.cx / 2, static_cast<int>(b.right) - size.cx));
      int top = m_flip ? b.top + 4 : b.bottom - size.cy - 6;
      ::TextOutA(dc, left, top, t.text.c_str(), static_cast<int>(t.text.size()));
    }
  } else {
    int axis = m_flip ? b.left : b.right - 1;
    ::MoveToEx(dc, axis, b.top, nullptr);
    ::LineTo(dc, axis, b.bottom);
    for (const Tick& t : m_ticks) {
      int y = b.top + t.pos;
      int len = t.major ? 4 : 2;
      ::MoveToEx(dc, axis, y, nullptr);
      ::LineTo(dc, m_flip ? axis + len : axis - len, y);
      if (t.text.empty()) continue;
      ::SelectObject(dc, t.major ? m_hMajorFont : m_hMinorFont);
      SIZE size{};
      ::GetTextExtentPoint32A(dc, t.text.c_str(), static_cast<int>(t.text.size()), &size);
      int top = std::max(b.top, std::min(y - size.cy / 2, static_cast<int>(b.bottom) - size.cy));
      int left = m_flip ? b.left + 5 : b.right - size.cx - 6;
      ::TextOutA(dc, left, top, t.text.c_str(), static_cast<int>(t.text.size()));
    }
  }
  ::SelectObject(dc, oldPen);
  ::DeleteObject(pen);
  ::SelectObject(dc, oldFont);
}
