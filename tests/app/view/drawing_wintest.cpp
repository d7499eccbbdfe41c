// The drawing rules of the view's parts: the rulers' tick spacings and labels, the
// painter's level positions and spectrum colours, the seven-segment time display and
// the drawing-state guard.
#include "support/wine/GTestWin.h"

#include "app/view/ColorStatic.h"
#include "app/view/DCStateGuard.h"
#include "app/view/PeakMeterWnd.h"
#include "app/view/ShellServices.h"
#include "app/view/Ruler.h"
#include "app/view/TrackArtist.h"
#include "support/wine/WindowCapture.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace {

TEST(Ruler, SpacingAndLabelsFollowTheFormat) {
  struct Case {
    int format;
    double units;  // value per pixel * 16
    double minor, major;
    double value;
    const char* label;
  } cases[] = {
      // 86 pixels per second: a time ruler uses the real rule, half seconds.
      {Ruler::kTimeFormat, 16 / 86.1328125, 0.5, 1.0, 2.0, "2.0"},
      {Ruler::kTimeFormat, 3.0, 5, 15, 10, "10"},
      {Ruler::kTimeFormat, 3.0, 5, 15, 75, "1:15"},
      {Ruler::kTimeFormat, 40.0, 60, 300, 600, "10:00"},
      {Ruler::kTimeFormat, 5000.0, 21600, 86400, 7200, "2:00:00"},
      {Ruler::kTimeFormat, 0.2, 0.5, 1.0, 61.5, "1:01.5"},
      {Ruler::kRealFormat, 0.05, 0.1, 0.5, -0.0001, "0.0"},
      {Ruler::kRealFormat, 3.0, 5, 10, 10, "10"},
      {Ruler::kIntFormat, 0.5, 1, 5, 2.6, "3"},
      {Ruler::kIntFormat, 7.0, 10, 50, 20, "20"},
      {Ruler::kLinearDBFormat, 0.05, 0.1, 0.5, -3.25, "-3.2"},
      {Ruler::kLinearDBFormat, 2.0, 3, 12, -12, "-12"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Ruler::Spacing s = Ruler::FindSpacing(c.format, c.units);
    EXPECT_DOUBLE_EQ(s.minor, c.minor);
    EXPECT_DOUBLE_EQ(s.major, c.major);
    EXPECT_EQ(Ruler::LabelText(c.format, c.value, s, ""), c.label);
  }
  Ruler::Spacing seconds = Ruler::FindSpacing(Ruler::kIntFormat, 0.5);
  EXPECT_EQ(Ruler::LabelText(Ruler::kIntFormat, 4, seconds, "dB"), "4 dB");
}

TEST(Ruler, DrawnLabelsNeverOverlap) {
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 400, 40);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  Ruler ruler;
  ruler.SetBounds(0, 0, 400, 30);
  ruler.SetFlip(true);
  ruler.SetRange(0.0, 400 / 86.1328125);
  ruler.Draw(dc);
  int labelled = 0, lastEnd = -1000;
  for (const Ruler::Tick& t : ruler.Ticks()) {
    if (t.text.empty()) continue;
    EXPECT_TRUE(t.major) << "time rulers label major ticks only";
    EXPECT_GT(t.pos, lastEnd);
    lastEnd = t.pos;
    ++labelled;
  }
  EXPECT_GE(labelled, 4);  // 0, 1, 2, 3 and 4 seconds in 400 pixels
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
}

TEST(TrackArtist, LevelPositionsAndSpectrumColours) {
  struct Case {
    float value;
    bool dB;
    int y;
  } cases[] = {{1.0f, false, 0}, {0.0f, false, 50}, {-1.0f, false, 99}, {0.5f, false, 25},
               {1.0f, true, 0},  {0.0f, true, 50},  {-1.0f, true, 99},  {0.015849f, true, 50}};
  for (const Case& c : cases)
    EXPECT_EQ(TrackArtist::GetWaveYPos(c.value, -1.0f, 1.0f, 100, c.dB, true, 36.0f, true), c.y)
        << c.value << (c.dB ? " dB" : "");

  unsigned char r, g, b;
  TrackArtist::GetColorGradient(0.0f, false, &r, &g, &b);
  EXPECT_EQ(RGB(r, g, b), RGB(191, 191, 191));
  TrackArtist::GetColorGradient(1.0f, false, &r, &g, &b);
  EXPECT_EQ(RGB(r, g, b), RGB(255, 255, 255));
  TrackArtist::GetColorGradient(0.75f, true, &r, &g, &b);
  EXPECT_EQ(RGB(r, g, b), RGB(196, 0, 0));
}

TEST(ColorStatic, DrawsSevenSegmentDigitsWithDimUnlitSegments) {
  CColorStatic display;
  const char* cls = AfxRegisterWndClass(0);
  ASSERT_TRUE(display.CreateEx(0, cls, "", WS_POPUP | WS_VISIBLE, 40, 40, 200, 50, nullptr, nullptr));
  display.SetText("1x8");  // the letter takes no place
  display.UpdateWindow();
  PumpPendingMessages();
  CapturedImage image = CaptureWindow(display.m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  // h = 50: t = 3, L = 17. The "1" lights only its right segments, so its top
  // segment is dim; the "8" after it (x = L + 4t = 29) lights its top.
  const int t = 3, L = 17;
  EXPECT_EQ(image.At(t + L / 2 + 2, t), RGB(0, 85, 0)) << "unlit top of the 1";
  EXPECT_EQ(image.At(L + t, L), RGB(0, 255, 0)) << "upper right of the 1";
  EXPECT_EQ(image.At(29 + L / 2 + 2, t), RGB(0, 255, 0)) << "top of the 8";
  EXPECT_EQ(image.At(29 + 2 * L + 12, t), RGB(0, 0, 0)) << "nothing drawn for the letter";
  ::DestroyWindow(display.m_hWnd);

  EXPECT_EQ(CColorStatic::SegmentCode('8'), 254);
  EXPECT_EQ(CColorStatic::SegmentCode(':'), 257);
  EXPECT_EQ(CColorStatic::SegmentCode('a'), 0);
}

TEST(DCStateGuard, PutsBackWhatItReplaced) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ pen0 = ::GetCurrentObject(dc, OBJ_PEN);
  HGDIOBJ brush0 = ::GetCurrentObject(dc, OBJ_BRUSH);
  HPEN red = ::CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HPEN blue = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
  HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
  {
    CDCStateGuard guard(dc);
    guard.SelectPen(red);
    guard.SelectPen(blue);
    guard.SelectBrush(brush);
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), blue);
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), brush);
  }
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), pen0);
  EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), brush0);
  ::DeleteObject(red);
  ::DeleteObject(blue);
  ::DeleteObject(brush);
  ::DeleteDC(dc);
}

TEST(PeakMeter, LevelsInDecibelsLightTheBarsFromTheBottom) {
  struct Case {
    long long peak;
    int level;
  } cases[] = {{0, 0}, {1, 0}, {32767, 90}, {100000, 100}, {10000000, 100}, {1000, 60}};
  for (const Case& c : cases) EXPECT_EQ(CPeakMeterWnd::LevelOf(c.peak), c.level) << c.peak;
  EXPECT_EQ(CPeakMeterWnd::LevelColor(0), RGB(0, 120, 20));
  EXPECT_EQ(CPeakMeterWnd::LevelColor(54), RGB(0, 120, 20));
  EXPECT_EQ(CPeakMeterWnd::LevelColor(55), RGB(0, 128, 20));
  EXPECT_EQ(CPeakMeterWnd::LevelColor(84), RGB(255, 255, 20));
  EXPECT_EQ(CPeakMeterWnd::LevelColor(100), RGB(255, 10, 20));

  auto* host = new CFrameWnd;  // deletes itself with its window
  ASSERT_TRUE(host->Create(nullptr, "Meter", WS_POPUP | WS_VISIBLE, RECT{30, 30, 90, 330}));
  CPeakMeterWnd meter;
  ASSERT_TRUE(meter.Create(host, RECT{0, 0, 40, 200}, 33002));
  // Full scale on the left, about a third on the right.
  EXPECT_EQ(::SendMessageA(meter.m_hWnd, WM_TVL_LEVELS, 100000, 1000), 1);
  EXPECT_EQ(meter.GetLeftLevel(), 100);
  EXPECT_EQ(meter.GetRightLevel(), 60);
  PumpPendingMessages();
  CapturedImage image = CaptureWindow(meter.m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  // The bars fill the meter's client area, inside its thin frame.
  const int right = image.width - 5, bottom = image.height - 2;
  ASSERT_GT(image.width, 20);
  ASSERT_GT(image.height, 150);
  const COLORREF unlit = SchemeColor(GetColorScheme().DarkShade);
  EXPECT_EQ(image.At(5, bottom), RGB(0, 120, 20)) << "the bottom of the left bar";
  EXPECT_NE(image.At(5, 2), unlit) << "the left bar lit to the top";
  EXPECT_EQ(image.At(right, 40), unlit) << "the right bar dark above its level";
  EXPECT_NE(image.At(right, 120), unlit) << "the right bar lit below it";
  // Levels 0 and 0 (recording stopped) empty both bars.
  ::SendMessageA(meter.m_hWnd, WM_TVL_LEVELS, 0, 0);
  PumpPendingMessages();
  image = CaptureWindow(meter.m_hWnd, true);
  EXPECT_EQ(image.At(5, bottom), unlit);
  EXPECT_EQ(image.At(right, bottom), unlit);
  ::DestroyWindow(meter.m_hWnd);
  host->DestroyWindow();
}

}  // namespace
