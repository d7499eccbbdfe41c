#include "app/view/TrackArtist.h"

#include "app/view/DCStateGuard.h"
#include "app/view/SharedPens.h"
#include "app/view/ShellServices.h"
#include "app/view/ViewInfo.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <vector>
#include "core/model/Envelope.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "platform/afx/linux_headers_end.h"

namespace {
constexpr float kDBRange = 36.0f;
constexpr int kTimeTrackKind = 4;

void FillBand(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  if (right <= left || bottom <= top) return;
  RECT r{left, top, right, bottom};
  ::FillRect(dc, &r, brush);
}

// Vertical strokes in the pen selected now, drawn together in one call: each covers
// what MoveToEx and LineTo would (the end point left out). Flush before the pen changes.
class Strokes {
public:
  explicit Strokes(HDC dc) : m_dc(dc) {}
  ~Strokes() { Flush(); }
  void Add(int x, int from, int to) {
    if (from == to) return;
    m_points.push_back({x, from});
    m_points.push_back({x, to});
    m_counts.push_back(2);
  }
  void Flush() {
    if (!m_counts.empty())
      ::PolyPolyline(m_dc, m_points.data(), m_counts.data(), static_cast<DWORD>(m_counts.size()));
    m_points.clear();
    m_counts.clear();
  }

private:
  HDC m_dc;
  std::vector<POINT> m_points;
  std::vector<DWORD> m_counts;
};
}  // namespace

TrackArtist::TrackArtist() {
  m_hDotBrush = ::CreateSolidBrush(RGB(50, 50, 200));
  m_hSelDotBrush = ::CreateSolidBrush(RGB(50, 50, 200));
  m_hBlackBrush = ::CreateSolidBrush(RGB(0, 0, 0));
  m_hGreyBrush = ::CreateSolidBrush(RGB(127, 127, 127));
  m_hGreyPen = ::CreatePen(PS_SOLID, 1, RGB(127, 127, 127));
  m_vruler.SetOrientation(Ruler::kVertical);
  UpdateColors();
}

TrackArtist::~TrackArtist() {
  DeleteSchemeObjects();
  for (HGDIOBJ o : {static_cast<HGDIOBJ>(m_hDotBrush), static_cast<HGDIOBJ>(m_hSelDotBrush),
                    static_cast<HGDIOBJ>(m_hBlackBrush), static_cast<HGDIOBJ>(m_hGreyBrush),
                    static_cast<HGDIOBJ>(m_hGreyPen)})
    ::DeleteObject(o);
}

void TrackArtist::DeleteSchemeObjects() {
  for (HGDIOBJ o : {static_cast<HGDIOBJ>(m_hBlankBrush), static_cast<HGDIOBJ>(m_hUnselectedBrush),
                    static_cast<HGDIOBJ>(m_hSelectedBrush), static_cast<HGDIOBJ>(m_hBlankPen),
                    static_cast<HGDIOBJ>(m_hUnselectedPen), static_cast<HGDIOBJ>(m_hSelectedPen),
                    static_cast<HGDIOBJ>(m_hSamplePen), static_cast<HGDIOBJ>(m_hSelSamplePen),
                    static_cast<HGDIOBJ>(m_hShadowPen), static_cast<HGDIOBJ>(m_hMutePen)})
    if (o) ::DeleteObject(o);
}

void TrackArtist::UpdateColors() {
  DeleteSchemeObjects();
  const ColorSchemeOptions& scheme = GetColorScheme();
  COLORREF blank = SchemeColor(scheme.DarkShade);
  COLORREF background = SchemeColor(scheme.WaveformBackground);
  COLORREF selBackground = SchemeColor(scheme.SelectionBackground);
  m_sampleColor = SchemeColor(scheme.WaveformForeground);
  m_selSampleColor = SchemeColor(scheme.SelectionForeground);
  m_hBlankBrush = ::CreateSolidBrush(blank);
  m_hUnselectedBrush = ::CreateSolidBrush(background);
  m_hSelectedBrush = ::CreateSolidBrush(selBackground);
  m_hBlankPen = ::CreatePen(PS_SOLID, 1, blank);
  m_hUnselectedPen = ::CreatePen(PS_SOLID, 1, background);
  m_hSelectedPen = ::CreatePen(PS_SOLID, 1, selBackground);
  m_hSamplePen = ::CreatePen(PS_SOLID, 1, m_sampleColor);
  m_hSelSamplePen = ::CreatePen(PS_SOLID, 1, m_selSampleColor);
  m_hShadowPen = ::CreatePen(PS_SOLID, 1, m_sampleColor);
  m_hMutePen = ::CreatePen(PS_SOLID, 1, m_sampleColor);
}

void TrackArtist::SetInset(int left, int top, int right, int bottom) {
  m_insetLeft = left;
  m_insetTop = top;
  m_insetRight = right;
  m_insetBottom = bottom;
}

int TrackArtist::GetWaveYPos(float value, float min, float max, int height, bool dB, bool outer, float dBr,
                             bool clip) {
  float sign = value >= 0 ? 1.0f : -1.0f;
  float v = value;
  if (dB) {
    if (height == 0) return 0;
    if (v != 0.0f) {
      float db = (20.0f * std::log10(std::fabs(v)) + dBr) / dBr;
      if (!outer) db -= 0.5f;
      if (db < 0.0f) db = 0.0f;
      v = db * sign;
    }
  } else if (!outer) {
    v = v >= 0.0f ? v - 0.5f : v + 0.5f;
  }
  if (clip) v = std::max(min, std::min(max, v));
  if (max == min) return 0;
  return static_cast<int>((max - v) / (max - min) * height + 0.5f * sign);
}

void TrackArtist::GetColorGradient(float value, bool selected, unsigned char* red, unsigned char* green,
                                   unsigned char* blue) {
  static const float kPoints[5][3] = {
      {0.75f, 0.75f, 0.75f}, {0.3f, 0.6f, 1.0f}, {0.9f, 0.1f, 0.9f}, {1.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}};
  float v = std::max(0.0f, std::min(1.0f, value)) * 4.0f;
  int i = static_cast<int>(v);
  float f = v - i;
  float r, g, b;
  if (i >= 4) {
    r = kPoints[4][0];
    g = kPoints[4][1];
    b = kPoints[4][2];
  } else {
    r = (1 - f) * kPoints[i][0] + f * kPoints[i + 1][0];
    g = (1 - f) * kPoints[i][1] + f * kPoints[i + 1][1];
    b = (1 - f) * kPoints[i][2] + f * kPoints[i + 1][2];
  }
  if (selected) {
    r *= 0.77f;
    g *= 0.77f;
    b *= 0.885f;
  }
  *red = static_cast<unsigned char>(r * 255);
  *green = static_cast<unsigned char>(g * 255);
  *blue = static_cast<unsigned char>(b * 255);
}

void TrackArtist::DrawTracks(TrackList* tracks, CDCStateGuard& guard, HDC dc, const RECT& area,
                             const RECT& clip, const ViewInfo& info, bool drawEnvelope, bool bigPoints,
                             bool drawGrips) {
  if (!tracks) return;
  // Columns outside [clip.left, clip.right) keep their pixels: a strip painted over an
  // earlier picture matches a picture painted whole.
  const bool narrowed = clip.left > area.left || clip.right < area.right;
  const int saved = narrowed ? ::SaveDC(dc) : 0;
  if (narrowed) ::IntersectClipRect(dc, clip.left, area.top, clip.right, area.bottom);
  m_clipLeft = clip.left;
  m_clipRight = clip.right;
  int y = area.top;
  TrackListIterator it(tracks);
  for (Track* t = it.First(); t; t = it.Next()) {
    int height = t->GetHeight();
    RECT band{area.left, y, area.right, y + height};
    if (band.top < clip.bottom && band.bottom > clip.top) {
      RECT inner{band.left + m_insetLeft, band.top + m_insetTop, band.right - m_insetRight,
                 band.bottom - m_insetBottom};
      if (t->GetKind() == Track::Wave) {
        auto* wave = static_cast<WaveTrack*>(t);
        switch (wave->GetDisplay()) {
          case 0:
          case 1:
            DrawWaveform(wave, guard, dc, inner, info, wave->GetDisplay() == 1, drawEnvelope, bigPoints,
                         drawGrips);
            break;
          case 2:
          case 3:
            DrawSpectrum(wave, dc, inner, info, wave->GetDisplay() == 3);
            break;
          default:
            break;
        }
      } else if (t->GetKind() == kTimeTrackKind) {
        // No time tracks exist in this program; their band stays as it is.
      }
    }
    y += height;
  }
  if (narrowed) ::RestoreDC(dc, saved);
}

void TrackArtist::DrawWaveform(WaveTrack* track, CDCStateGuard& guard, HDC dc, const RECT& band,
                               const ViewInfo& info, bool dB, bool drawEnvelope, bool bigPoints,
                               bool drawGrips) {
  const int width = band.right - band.left;
  const int height = band.bottom - band.top;
  if (width <= 0 || height <= 0) return;
  const double zoom = info.zoom;
  const double offset = track->GetOffset();
  const double len = track->GetEndTime() - track->GetStartTime();
  const double ts = info.h - offset;
  const double te = ts + width / zoom;
  double tsc = std::max(0.0, ts);
  const double tec = std::max(0.0, std::min(te, len));
  tsc = std::min(tsc, tec);

  const bool selected = track->GetSelected();
  const double t0 = selected ? info.t0 : 0.0;
  const double t1 = selected ? info.t1 : 0.0;
  const double rate = track->GetRate();
  long long s0 = static_cast<long long>((t0 - offset) * rate + 0.5);
  long long s1 = static_cast<long long>((t1 - offset) * rate + 0.5);
  if (s0 < 0) s0 = 0;
  if (s1 < 0) s1 = 0;
  if (s0 != s1) s1 = std::min(s1, static_cast<long long>(rate * len + 0.5));

  RECT area = band;
  if (ts < 0) {
    int right = tsc >= te ? band.right : band.left + static_cast<int>((tsc - ts) * zoom);
    FillBand(dc, band.left, band.top, right, band.bottom, m_hBlankBrush);
    area.left = right;
  }
  if (te > tec) {
    int left = band.left + static_cast<int>((tec - ts) * zoom);
    FillBand(dc, std::max(left, static_cast<int>(area.left)), band.top, band.right, band.bottom,
             m_hBlankBrush);
    area.right = std::max(left, static_cast<int>(area.left));
  }
  if (area.right <= area.left) return;

  // The background is painted at every zoom; then summary columns, or single samples
  // when zoomed in beyond two samples a pixel.
  const bool summary = zoom / rate <= 0.5;
  if (DrawMinMaxColumns(track, guard, dc, area, info, tsc, drawEnvelope, dB, s0, s1, summary)) {
    if (!summary) DrawSamples(track, guard, dc, band, area, info, tsc, dB, bigPoints);
    if (drawEnvelope) DrawEnvelope(track, guard, dc, area, info, tsc, dB);
  }

  if (info.h == 0.0 && offset < 0.0) DrawStartArrows(dc, band);
  if (drawGrips) DrawGrips(guard, dc, band);
}

bool TrackArtist::DrawMinMaxColumns(WaveTrack* track, CDCStateGuard& guard, HDC dc, const RECT& area,
                                    const ViewInfo& info, double tsc, bool drawEnvelope, bool dB,
                                    long long s0, long long s1, bool summaryColumns) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  std::vector<float> min(static_cast<size_t>(width)), max(static_cast<size_t>(width)),
      rms(static_cast<size_t>(width));
  std::vector<std::int32_t> where(static_cast<size_t>(width) + 1);
  if (!track->GetWaveDisplay(min.data(), max.data(), rms.data(), where.data(), width, tsc, info.zoom))
    return false;
  std::vector<double> env(static_cast<size_t>(width), 1.0);
  if (Envelope* envelope = track->GetEnvelope())
    envelope->GetValues(env.data(), width, tsc + track->GetOffset(), 1.0 / info.zoom);
  float dmin, dmax;
  track->GetDisplayBounds(&dmin, &dmax);
  const bool excluded = track->GetExcluded();
  auto columnSelected = [&](int i) {
    return !excluded && s0 <= where[static_cast<size_t>(i)] && where[static_cast<size_t>(i) + 1] < s1;
  };

  // Background.
  bool sel = false;
  Strokes strokes(dc);
  guard.SelectPen(m_hUnselectedPen);
  // Only the columns inside the clip are drawn; the joins below still run from the
  // area's left edge, as a column's extent depends on the ones left of it.
  const int first = std::clamp(m_clipLeft - static_cast<int>(area.left), 0, width);
  const int last = std::clamp(m_clipRight - static_cast<int>(area.left), first, width);
  for (int i = first; i < last; ++i) {
    int x = area.left + i;
    float e = static_cast<float>(env[static_cast<size_t>(i)]);
    bool s = columnSelected(i);
    if (s != sel) {
      strokes.Flush();
      guard.SelectPen(s ? m_hSelectedPen : m_hUnselectedPen);
      sel = s;
    }
    int y1 = GetWaveYPos(e, dmin, dmax, height, dB, true, kDBRange, true);
    int y4 = GetWaveYPos(-e, dmin, dmax, height, dB, true, kDBRange, true);
    // With the envelope shown, the background runs from the outer edge in to the
    // envelope's inner curve only.
    int y2 = std::max(1, height / 2), y3 = y2;
    if (drawEnvelope) {
      y2 = GetWaveYPos(e, dmin, dmax, height, dB, false, kDBRange, true);
      y3 = GetWaveYPos(-e - 0.000000001f, dmin, dmax, height, dB, false, kDBRange, true);
      if (y2 > y3) y2 = y3 = std::max(1, height / 2);
    }
    if (y2 == y3) {
      strokes.Add(x, area.top + y1, area.top + y4);
    } else {
      strokes.Add(x, area.top + y1, area.top + y2);
      strokes.Add(x, area.top + y3, area.top + y4);
    }
  }
  strokes.Flush();

  if (!summaryColumns) return true;
  // Columns of minimum and maximum, each joined to its left neighbour.
  std::vector<int> top(static_cast<size_t>(width)), bottom(static_cast<size_t>(width));
  for (int i = 0; i < width; ++i) {
    float e = static_cast<float>(env[static_cast<size_t>(i)]);
    bottom[i] = GetWaveYPos(min[i] * e, dmin, dmax, height, dB, true, kDBRange, true);
    top[i] = GetWaveYPos(max[i] * e, dmin, dmax, height, dB, true, kDBRange, true);
    if (i > 0) {
      if (bottom[i] < top[i - 1]) bottom[i] = top[i - 1] - 1;
      if (top[i] > bottom[i - 1]) top[i] = bottom[i - 1] + 1;
    }
  }
  sel = false;
  guard.SelectPen(excluded ? m_hGreyPen : m_hSamplePen);
  for (int i = first; i < last; ++i) {
    int x = area.left + i;
    bool s = columnSelected(i);
    if (!excluded && s != sel) {
      strokes.Flush();
      guard.SelectPen(s ? m_hSelSamplePen : m_hSamplePen);
      sel = s;
    }
    if (bottom[i] + 1 == top[i]) {
      COLORREF c = excluded ? RGB(127, 127, 127) : (s ? m_selSampleColor : m_sampleColor);
      ::SetPixel(dc, x, area.top + top[i], c);
    } else {
      strokes.Add(x, area.top + top[i], area.top + bottom[i] + 1);
    }
  }
  strokes.Flush();
  return true;
}

void TrackArtist::DrawSamples(WaveTrack* track, CDCStateGuard& guard, HDC dc, const RECT& band,
                              const RECT& area, const ViewInfo& info, double tsc, bool dB, bool bigPoints) {
  const int width = band.right - band.left;
  const int height = area.bottom - area.top;
  const double rate = track->GetRate();
  const double zoom = info.zoom;
  const double offset = track->GetOffset();
  std::int64_t p = static_cast<std::int64_t>(rate * tsc + 0.5);
  std::int64_t n = static_cast<std::int64_t>(width * rate / zoom + 0.5) + 4;
  std::int64_t count = track->GetNumSamples();
  if (p + n > count) n = count - p;
  if (n <= 0) return;
  std::vector<float> samples(static_cast<size_t>(n));
  const std::int64_t first = track->TimeToSamples(offset);
  track->Get(reinterpret_cast<SamplePtr>(samples.data()), SampleFormatFloat, first + p,
             static_cast<std::int32_t>(n));
  float dmin, dmax;
  track->GetDisplayBounds(&dmin, &dmax);
  const bool selected = track->GetSelected();
  const double t0 = selected ? info.t0 : 0.0;
  const double t1 = selected ? info.t1 : 0.0;
  Envelope* envelope = track->GetEnvelope();

  std::vector<POINT> points(static_cast<size_t>(n));
  std::vector<bool> sel(static_cast<size_t>(n));
  for (std::int64_t k = 0; k < n; ++k) {
    double t = offset + tsc + k / rate;
    sel[k] = t0 <= t && t < t1;
    double xv = ((p + k) / rate - tsc) * zoom + 0.5;
    xv = std::max(-10000.0, std::min(10000.0, xv));
    float e = envelope ? static_cast<float>(envelope->GetValue(t)) : 1.0f;
    int y = GetWaveYPos(samples[k] * e, dmin, dmax, height, dB, true, kDBRange, false);
    y = std::max(-1, std::min(height, y));
    points[k] = {area.left + static_cast<int>(xv), area.top + y};
  }
  bool penSelected = false;
  guard.SelectPen(m_hSamplePen);
  for (std::int64_t k = 0; k + 1 < n; ++k) {
    if (sel[k] != penSelected) {
      guard.SelectPen(sel[k] ? m_hSelSamplePen : m_hSamplePen);
      penSelected = sel[k];
    }
    ::MoveToEx(dc, points[k].x, points[k].y, nullptr);
    ::LineTo(dc, points[k + 1].x, points[k + 1].y);
  }
  if (zoom / rate > 3.0) {
    guard.SelectBrush(bigPoints ? m_hBlackBrush : m_hDotBrush);
    int size = bigPoints ? 4 : 3;
    for (std::int64_t k = 0; k < n; ++k) {
      int y = points[k].y - area.top;
      if (y < 0 || y >= height) continue;
      ::Ellipse(dc, points[k].x - 1, points[k].y - 1, points[k].x - 1 + size, points[k].y - 1 + size);
    }
  }
}

void TrackArtist::DrawEnvelope(WaveTrack* track, CDCStateGuard& guard, HDC dc, const RECT& area,
                               const ViewInfo& info, double tsc, bool dB) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  std::vector<double> env(static_cast<size_t>(width), 1.0);
  Envelope* envelope = track->GetEnvelope();
  if (envelope) envelope->GetValues(env.data(), width, tsc + track->GetOffset(), 1.0 / info.zoom);
  float dmin, dmax;
  track->GetDisplayBounds(&dmin, &dmax);
  guard.SelectPen(GetEnvelopePen());
  auto stroke = [&](int x, int from, int to) {
    ::MoveToEx(dc, x, area.top + from, nullptr);
    ::LineTo(dc, x, area.top + to);
  };
  for (int i = 0; i < width; ++i) {
    const int x = area.left + i;
    const float e = static_cast<float>(env[static_cast<size_t>(i)]);
    int y1 = GetWaveYPos(e, dmin, dmax, height, dB, true, kDBRange, false);
    int y2 = GetWaveYPos(-e, dmin, dmax, height, dB, true, kDBRange, false);
    if (y2 - y1 < 3) {
      // Too thin to tell apart: a mark around the zero line.
      const int c = static_cast<int>(dmax / (dmax - dmin) * height);
      y1 = c - 1;
      y2 = c + 2;
    }
    // Where the curve leaves the band its edge is marked, with a gap every fourth column.
    const bool gap = x % 4 == 3;
    if (y1 < 0) {
      if (!gap) stroke(x, 0, 3);
    } else {
      stroke(x, y1, y1 + 3);
    }
    if (y2 > height) {
      if (!gap) stroke(x, height - 3, height);
    } else {
      stroke(x, y2 - 3, y2);
    }
  }
  if (envelope)
    envelope->Draw(reinterpret_cast<std::uintptr_t>(dc), area.left, area.top, area.right, area.bottom, info.h,
                   info.zoom, dB);
}

void TrackArtist::DrawSpectrum(WaveTrack* track, HDC dc, const RECT& band, const ViewInfo& info,
                               bool autocorrelation) {
  const int width = band.right - band.left;
  const int height = band.bottom - band.top;
  if (width <= 0 || height <= 0) return;
  const double rate = track->GetRate();
  const std::int64_t count = track->GetNumSamples();
  if (static_cast<std::int64_t>(info.h * rate + 0.5) >= count) return;
  const double offset = track->GetOffset();
  const double ts = info.h - offset;
  long long s0 = 0, s1 = 0;
  if (track->GetSelected()) {
    s0 = info.t0 < offset ? 0 : static_cast<long long>((info.t0 - offset) * rate + 0.5);
    s1 = info.t1 < offset ? 0 : static_cast<long long>((info.t1 - offset) * rate + 0.5);
  }
  std::vector<float> values(static_cast<size_t>(width) * height);
  std::vector<std::int32_t> where(static_cast<size_t>(width) + 1);
  if (!track->GetSpectrogram(values.data(), where.data(), width, height, info.h, info.zoom, autocorrelation))
    return;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> image(static_cast<size_t>(stride) * height);
  int column = 0;
  for (int i = 0; i < width; ++i) {
    long long s = static_cast<long long>((i / info.zoom + ts) * rate + 0.5);
    bool outside = s < 0 || s >= count;
    for (int j = 0; j < height; ++j) {
      unsigned char r = 214, g = 214, b = 214;
      if (!outside) {
        float v = values[static_cast<size_t>(column) * height + (height - 1 - j)];
        GetColorGradient(v, s0 <= s && s < s1, &r, &g, &b);
      }
      unsigned char* px = &image[static_cast<size_t>(j) * stride + static_cast<size_t>(i) * 3];
      px[0] = b;  // a 24-bit DIB keeps blue first
      px[1] = g;
      px[2] = r;
    }
    if (!outside) ++column;
  }
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;  // top row first
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  bmi.bmiHeader.biCompression = BI_RGB;
  ::SetDIBitsToDevice(dc, band.left, band.top, width, height, 0, 0, 0, height, image.data(), &bmi,
                      DIB_RGB_COLORS);
}

void TrackArtist::DrawStartArrows(HDC dc, const RECT& band) {
  HPEN pen = ::CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
  HGDIOBJ old = ::SelectObject(dc, pen);
  for (int y : {static_cast<int>(band.top) + 6, static_cast<int>(band.bottom) - 8}) {
    int x = band.left + 2;
    ::MoveToEx(dc, x, y, nullptr);
    ::LineTo(dc, x + 6, y);
    ::MoveToEx(dc, x, y, nullptr);
    ::LineTo(dc, x + 4, y - 4);
    ::MoveToEx(dc, x, y, nullptr);
    ::LineTo(dc, x + 4, y + 4);
  }
  ::SelectObject(dc, old);
  ::DeleteObject(pen);
}

void TrackArtist::DrawGrips(CDCStateGuard& guard, HDC dc, const RECT& band) {
  if (band.bottom - band.top <= 26 || band.right - band.left <= 21) return;
  const int yt = band.top + 3, yb = band.bottom - 3;
  for (int side = 0; side < 2; ++side) {
    int x0 = side == 0 ? band.left + 1 : band.right - 8;
    int d = side == 0 ? 6 : 0;
    SelectGripPair1(guard, FALSE);
    ::MoveToEx(dc, x0, yb - 6 + d, nullptr);
    ::LineTo(dc, x0, yt + 6 - d);
    ::LineTo(dc, x0 + 3, yt);
    ::LineTo(dc, x0 + 6, yt + d);
    int lines = (yb - yt - 18) / 4 + 1;
    for (int i = 0; i < lines; ++i) {
      ::MoveToEx(dc, x0 + 2, band.top + 12 + 4 * i, nullptr);
      ::LineTo(dc, x0 + 5, band.top + 12 + 4 * i);
    }
    SelectGripPair2(guard, FALSE);
    ::MoveToEx(dc, x0 + 6, yt + d, nullptr);
    ::LineTo(dc, x0 + 6, yb - d);
    ::LineTo(dc, x0 + 3, yb);
    ::LineTo(dc, x0, yb - 6 + d);
    for (int i = 0; i < lines; ++i) {
      ::MoveToEx(dc, x0 + 2, band.top + 13 + 4 * i, nullptr);
      ::LineTo(dc, x0 + 5, band.top + 13 + 4 * i);
    }
  }
}
