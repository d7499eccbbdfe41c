#include "app/view/PeakMeterWnd.h"

#include "app/view/RulerWnd.h"
#include "app/view/ShellServices.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include "platform/afx/linux_headers_end.h"

namespace {
// Levels 55 .. 100; every level below 55 is RGB(0,120,20).
const COLORREF kUpperColors[46] = {
    RGB(0, 128, 20),   RGB(0, 136, 20),   RGB(0, 145, 20),   RGB(0, 155, 20),   RGB(0, 164, 20),
    RGB(0, 172, 20),   RGB(0, 181, 20),   RGB(0, 191, 20),   RGB(0, 200, 20),   RGB(0, 208, 20),
    RGB(0, 219, 20),   RGB(0, 227, 20),   RGB(0, 236, 20),   RGB(0, 244, 20),   RGB(0, 255, 20),
    RGB(15, 255, 20),  RGB(31, 255, 20),  RGB(47, 255, 20),  RGB(67, 255, 20),  RGB(83, 255, 20),
    RGB(99, 255, 20),  RGB(115, 255, 20), RGB(135, 255, 20), RGB(151, 255, 20), RGB(167, 255, 20),
    RGB(187, 255, 20), RGB(203, 255, 20), RGB(219, 255, 20), RGB(235, 255, 20), RGB(255, 255, 20),
    RGB(255, 240, 20), RGB(255, 225, 20), RGB(255, 210, 20), RGB(255, 192, 20), RGB(255, 177, 20),
    RGB(255, 163, 20), RGB(255, 148, 20), RGB(255, 130, 20), RGB(255, 115, 20), RGB(255, 100, 20),
    RGB(255, 82, 20),  RGB(255, 67, 20),  RGB(255, 53, 20),  RGB(255, 38, 20),  RGB(255, 20, 20),
    RGB(255, 10, 20)};
// Segments of the bar, in percent from the bottom.
const int kSegments[5] = {0, 55, 70, 85, 100};
}  // namespace

IMPLEMENT_DYNCREATE(CPeakMeterWnd, CTVLFixingControlBar)

BEGIN_MESSAGE_MAP(CPeakMeterWnd, CTVLFixingControlBar)
  ON_MESSAGE(WM_TVL_LEVELS, OnLevels)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CPeakMeterWnd::~CPeakMeterWnd() {
  if (m_hBitmap) ::DeleteObject(m_hBitmap);
  if (m_hLit) ::DeleteObject(m_hLit);
}

BOOL CPeakMeterWnd::Create(const char* name, CWnd* parent, int defaultWidth, int defaultHeight,
                           BOOL hasCaption, UINT id, DWORD style) {
  RegisterProgramWindowClass("ZQYPeakMeter", CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS);
  return CTVLFixingControlBar::Create(name, parent, defaultWidth, defaultHeight, hasCaption, id, style);
}

BOOL CPeakMeterWnd::Create(CWnd* parent, const RECT& rect, UINT id) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (!Create("", parent, width, height, FALSE, id, WS_CHILD | WS_VISIBLE | CBRS_RIGHT)) return FALSE;
  if (width > 0 && height > 0)
    ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

int CPeakMeterWnd::LevelOf(long long peak) {
  if (peak <= 0) return 0;
  double db = 20.0 * std::log10(static_cast<double>(peak));
  if (!(db > 0)) return 0;
  return std::min(100, static_cast<int>(db));
}

COLORREF CPeakMeterWnd::LevelColor(int level) {
  level = std::max(0, std::min(100, level));
  return level < 55 ? RGB(0, 120, 20) : kUpperColors[level - 55];
}

LRESULT CPeakMeterWnd::OnLevels(WPARAM left, LPARAM right) {
  ShowLevels(left, right);
  return 1;
}

void CPeakMeterWnd::ShowLevels(WPARAM left, LPARAM right) {
  int l = LevelOf(static_cast<long long>(left));
  int r = LevelOf(static_cast<long long>(right));
  RECT client;
  GetClientRect(&client);
  int height = client.bottom - client.top;
  int dl = std::abs(l - m_nLeft) * height / 100;
  int dr = std::abs(r - m_nRight) * height / 100;
  if (dl >= 1 || dr >= 1) {
    m_nLeft = l;
    m_nRight = r;
    Invalidate(FALSE);
    UpdateWindow();
  }
}

void CPeakMeterWnd::FillGradient(HDC dc, int left, int right, int bottom, int top, int lowLevel,
                                 int highLevel) {
  // A vertical gradient from the colour of the lower level (bottom) to the upper one.
  const COLORREF low = LevelColor(lowLevel), high = LevelColor(highLevel);
  const int rows = bottom - top;
  for (int i = 0; i < rows; ++i) {
    double f = rows > 1 ? static_cast<double>(i) / (rows - 1) : 0.0;
    COLORREF c = RGB(GetRValue(low) + (GetRValue(high) - GetRValue(low)) * f,
                     GetGValue(low) + (GetGValue(high) - GetGValue(low)) * f,
                     GetBValue(low) + (GetBValue(high) - GetBValue(low)) * f);
    RECT row{left, bottom - 1 - i, right, bottom - i};
    HBRUSH brush = ::CreateSolidBrush(c);
    ::FillRect(dc, &row, brush);
    ::DeleteObject(brush);
  }
}

HBITMAP CPeakMeterWnd::LitImage(HDC dc, int width, int height, COLORREF stripe) {
  if (m_hLit && m_nLitWidth == width && m_nLitHeight == height && m_litStripe == stripe) return m_hLit;
  if (m_hLit) ::DeleteObject(m_hLit);
  m_hLit = CreateOffscreenBitmap(width, height);
  m_nLitWidth = width;
  m_nLitHeight = height;
  m_litStripe = stripe;
  if (!m_hLit) return nullptr;
  HDC mem = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(mem, m_hLit);
  const RECT all{0, 0, width, height};
  HBRUSH darkest = ::CreateSolidBrush(stripe);
  ::FillRect(mem, &all, darkest);
  ::DeleteObject(darkest);
  const int half = (width - 2) / 2;
  const int bars[2][2] = {{0, half}, {half + 2, width}};
  for (const auto& bar : bars)
    for (int s = 0; s < 4; ++s) {
      const int lowY = height - height * kSegments[s] / 100;
      const int highY = height - height * kSegments[s + 1] / 100;
      FillGradient(mem, bar[0], bar[1], lowY, highY, kSegments[s], kSegments[s + 1]);
    }
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
  return m_hLit;
}

void CPeakMeterWnd::OnPaint() {
  CPaintDC paint(this);
  RECT client;
  GetClientRect(&client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return;
  if (!m_hBitmap || width > m_nWidth || height > m_nHeight) {
    m_nWidth = std::max(m_nWidth, width);
    m_nHeight = std::max(m_nHeight, height);
    if (m_hBitmap) ::DeleteObject(m_hBitmap);
    m_hBitmap = CreateOffscreenBitmap(m_nWidth, m_nHeight);
  }
  const ColorSchemeOptions& scheme = GetColorScheme();
  HBITMAP lit = LitImage(paint.m_hDC, width, height, SchemeColor(scheme.DarkerShade));
  HDC mem = ::CreateCompatibleDC(paint.m_hDC);
  HGDIOBJ old = ::SelectObject(mem, m_hBitmap);
  if (lit) {
    HDC source = ::CreateCompatibleDC(paint.m_hDC);
    HGDIOBJ oldSource = ::SelectObject(source, lit);
    ::BitBlt(mem, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ::SelectObject(source, oldSource);
    ::DeleteDC(source);
  }
  // The parts of the bars above the levels are unlit.
  HBRUSH dark = ::CreateSolidBrush(SchemeColor(scheme.DarkShade));
  const int half = (width - 2) / 2;
  const int bars[2][2] = {{0, half}, {half + 2, width}};
  const int levels[2] = {m_nLeft, m_nRight};
  for (int b = 0; b < 2; ++b) {
    RECT unlit{bars[b][0], 0, bars[b][1], height * (100 - levels[b]) / 100};
    ::FillRect(mem, &unlit, dark);
  }
  ::DeleteObject(dark);
  ::BitBlt(paint.m_hDC, 0, 0, width, height, mem, 0, 0, SRCCOPY);
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
}
