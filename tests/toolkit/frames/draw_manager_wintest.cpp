// Colour arithmetic and the pixel work of the draw manager, checked against values
// computed by hand and against pixels of a memory canvas.
#include "support/wine/GTestWin.h"

#include "look_canvas.h"
#include "toolkit/frames/DrawManager.h"
#include "toolkit/frames/GlobalData.h"

namespace {

struct ColourCase {
  const char* what;
  COLORREF got;
  COLORREF expected;
};

TEST(DrawManagerColours, FormulasGiveTheComputedValues) {
  const ColourCase cases[] = {
      {"percent scale truncates", DrawManager::ScaleColorPercent(RGB(200, 100, 9), 55), RGB(110, 55, 4)},
      {"percent scale caps at 255", DrawManager::ScaleColorPercent(RGB(200, 250, 10), 150),
       RGB(255, 255, 15)},
      {"per-channel percents", DrawManager::ScaleColorPercents(RGB(100, 200, 50), 50, 110, 200),
       RGB(50, 220, 100)},
      {"a black channel above 100 percent", DrawManager::ScaleColorPercents(RGB(0, 0, 10), 150, 100, 100),
       RGB(127, 0, 10)},
      {"black times 1.2", DrawManager::ScaleColorChannels(RGB(0, 0, 0), 1.2, 1.2, 1.2), RGB(51, 51, 51)},
      {"factors round and cap", DrawManager::ScaleColorChannels(RGB(100, 200, 255), 0.976, 1.3, 1.1),
       RGB(98, 255, 255)},
      {"mix 100 is the first", DrawManager::MixColors(RGB(10, 20, 30), RGB(200, 100, 0), 100),
       RGB(10, 20, 30)},
      {"mix 0 is the second", DrawManager::MixColors(RGB(10, 20, 30), RGB(200, 100, 0), 0), RGB(200, 100, 0)},
      {"mix 25", DrawManager::MixColors(RGB(100, 0, 40), RGB(0, 100, 0), 25), RGB(25, 75, 10)},
      {"grey from zero saturation", DrawManager::HlsToRgb(0.3, 0.5, 0.0), RGB(127, 127, 127)},
      {"pure green from hls", DrawManager::HlsToRgb(1.0 / 3.0, 0.5, 1.0), RGB(0, 255, 0)},
      {"pure blue in degrees", DrawManager::HlsDegreesToRgb(240.0, 0.5, 1.0), RGB(0, 0, 255)},
      {"light orange in degrees", DrawManager::HlsDegreesToRgb(30.0, 0.75, 1.0), RGB(255, 191, 127)},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;

  double h, s, l;
  DrawManager::RgbToHls(RGB(255, 0, 0), &h, &s, &l);
  EXPECT_DOUBLE_EQ(h, 0.0);
  EXPECT_DOUBLE_EQ(s, 1.0);
  EXPECT_DOUBLE_EQ(l, 0.5);
  DrawManager::RgbToHls(RGB(0, 0, 255), &h, &s, &l);
  EXPECT_NEAR(h, 2.0 / 3.0, 1e-12);
  DrawManager::RgbToHls(RGB(255, 0, 128), &h, &s, &l);  // red is the maximum, hue wraps
  EXPECT_NEAR(h, 1.0 - 128.0 / 255.0 / 6.0, 1e-12);
  // A round trip keeps a colour within rounding.
  DrawManager::RgbToHls(RGB(40, 120, 200), &h, &s, &l);
  COLORREF back = DrawManager::HlsToRgb(h, l, s);
  EXPECT_NEAR(GetRValue(back), 40, 1);
  EXPECT_NEAR(GetGValue(back), 120, 1);
  EXPECT_NEAR(GetBValue(back), 200, 1);
  EXPECT_DOUBLE_EQ(DrawManager::HueToChannel(0.2, 0.8, -0.9), 0.2 + 0.6 * 0.6);  // wraps to 0.1
}

TEST(DrawManagerPixels, GradientRunsInSixtyFourBandsWithFlatEnds) {
  LookCanvas canvas(128, 64);
  canvas.Clear(RGB(1, 2, 3));
  DrawManager dm(canvas.dc);
  dm.PaintGradient(CRect(0, 0, 128, 10), RGB(0, 0, 0), RGB(255, 128, 64), 0);
  EXPECT_EQ(canvas.At(0, 5), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(2, 5), RGB(3, 2, 1));  // band 1: (i × (finish − start)) >> 6
  EXPECT_EQ(canvas.At(127, 5), RGB((63 * 255) >> 6, (63 * 128) >> 6, (63 * 64) >> 6));
  // Vertical, from the start colour at the bottom to the finish at the top. Over 54
  // pixels band 0 is thinner than a pixel and skipped: the bottom row is band 1.
  dm.PaintGradient(CRect(0, 10, 64, 64), RGB(0, 0, 200), RGB(200, 0, 0), 1);
  EXPECT_EQ(canvas.At(10, 63), RGB(200 >> 6, 0, (200 * 64 - 200) >> 6));
  EXPECT_EQ(canvas.At(10, 10), RGB((63 * 200) >> 6, 0, 200 + ((63 * -200) >> 6)));
  // Flat percents that add up to more than 100 leave only the two bands.
  canvas.Clear(RGB(1, 2, 3));
  dm.PaintGradient(CRect(0, 0, 100, 10), RGB(10, 10, 10), RGB(90, 90, 90), 0, 50, 51);
  EXPECT_EQ(canvas.At(0, 0), RGB(10, 10, 10));
  EXPECT_EQ(canvas.At(48, 0), RGB(10, 10, 10));
  EXPECT_EQ(canvas.At(49, 0), RGB(90, 90, 90));
  EXPECT_EQ(canvas.At(99, 0), RGB(90, 90, 90));
  // Equal colours: one plain fill.
  dm.PaintGradient(CRect(0, 20, 30, 30), RGB(7, 8, 9), RGB(7, 8, 9), 0);
  EXPECT_EQ(canvas.At(29, 29), RGB(7, 8, 9));
}

TEST(DrawManagerPixels, LightenAndGreyKeepTheTransparentColour) {
  GlobalData& gd = GlobalData::Get();
  ASSERT_GT(gd.bitsPerPixel, 8);
  LookCanvas canvas(40, 20);
  canvas.Clear(RGB(30, 60, 90));
  canvas.dc.FillSolidRect(0, 0, 5, 5, RGB(255, 0, 255));
  DrawManager dm(canvas.dc);
  ASSERT_TRUE(dm.LightenRect(CRect(0, 0, 20, 20), -1, RGB(255, 0, 255), 0));
  COLORREF hl = gd.buttonHighlight;
  EXPECT_EQ(canvas.At(10, 10),
            RGB((60 + GetRValue(hl)) / 3, (120 + GetGValue(hl)) / 3, (180 + GetBValue(hl)) / 3));
  EXPECT_EQ(canvas.At(2, 2), RGB(255, 0, 255));
  // With a tolerance, colours near the transparent one stay too; without, they change.
  canvas.dc.FillSolidRect(0, 0, 5, 5, RGB(250, 5, 250));
  ASSERT_TRUE(dm.LightenRect(CRect(0, 0, 5, 5), 150, RGB(255, 0, 255), 10));
  EXPECT_EQ(canvas.At(2, 2), RGB(250, 5, 250));
  ASSERT_TRUE(dm.LightenRect(CRect(0, 0, 5, 5), 150, RGB(255, 0, 255), 0));
  EXPECT_EQ(canvas.At(2, 2), RGB(255, 8, 255));
  EXPECT_EQ(canvas.At(25, 10), RGB(30, 60, 90));  // outside the rectangle
  ASSERT_TRUE(dm.LightenRect(CRect(20, 0, 40, 20), 150));
  EXPECT_EQ(canvas.At(30, 10), RGB(45, 90, 135));
  ASSERT_TRUE(dm.LightenRect(CRect(20, 0, 40, 20), 100));  // no change
  EXPECT_EQ(canvas.At(30, 10), RGB(45, 90, 135));

  // Grey by lightness: (max + min) / 2 of (30, 60, 90) is 60 → 60/255 × 255 = 59.
  canvas.Clear(RGB(30, 60, 90));
  ASSERT_TRUE(dm.TintRectHls(CRect(0, 0, 40, 20), 100));
  COLORREF grey = canvas.At(5, 5);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetGValue(grey), GetBValue(grey));
  EXPECT_NEAR(GetRValue(grey), 60, 1);
  // An empty rectangle is accepted and changes nothing.
  EXPECT_TRUE(dm.LightenRect(CRect(5, 5, 5, 15)));
}

TEST(DrawManagerPixels, ShadowDarkensBesideAndBelowAndCanBeReplayed) {
  LookCanvas canvas(80, 80);
  canvas.Clear(RGB(200, 200, 200));
  DrawManager dm(canvas.dc);
  const CRect menu(10, 10, 50, 60);
  ASSERT_TRUE(dm.PaintShadow(menu, 4, 100, 75, nullptr, nullptr, TRUE));
  auto level = [&](int x, int y) { return GetRValue(canvas.At(x, y)); };
  // Beside the middle of the right edge and below the middle of the bottom edge the
  // shadow is there, never darker than 75 percent of the background.
  for (int d = 0; d < 4; ++d) {
    EXPECT_LT(level(50 + d, 35), 200) << d;
    EXPECT_GE(level(50 + d, 35), 150) << d;
    EXPECT_LT(level(30, 60 + d), 200) << d;
    EXPECT_GE(level(30, 60 + d), 150) << d;
  }
  EXPECT_LT(level(50, 35), level(53, 35));  // darkest next to the rectangle
  EXPECT_EQ(level(55, 35), 200);            // beyond the depth
  EXPECT_EQ(level(30, 30), 200);            // the rectangle itself is not touched
  EXPECT_EQ(level(50, 11), 200);            // offset: no shadow at the very top

  // A shadow on the left mirrors it: beside the left edge, nothing on the right.
  canvas.Clear(RGB(200, 200, 200));
  ASSERT_TRUE(dm.PaintShadow(CRect(20, 10, 60, 60), 4, 100, 75, nullptr, nullptr, FALSE));
  EXPECT_LT(level(19, 35), 200);
  EXPECT_LT(level(19, 35), level(16, 35));
  EXPECT_EQ(level(60, 35), 200);
  EXPECT_LT(level(30, 61), 200);

  // Too deep for the rectangle: nothing drawn.
  canvas.Clear(RGB(200, 200, 200));
  EXPECT_TRUE(dm.PaintShadow(CRect(10, 10, 13, 40), 4, 100, 75, nullptr, nullptr, TRUE));
  EXPECT_EQ(level(13, 20), 200);

  // Saved strips give the same shadow again without recomputing it.
  canvas.Clear(RGB(200, 200, 200));
  CBitmap bottom, side;
  ASSERT_TRUE(dm.PaintShadow(menu, 4, 100, 75, &bottom, &side, TRUE));
  ASSERT_NE(bottom.m_hObject, nullptr);
  ASSERT_NE(side.m_hObject, nullptr);
  const COLORREF beside = canvas.At(51, 35), below = canvas.At(30, 61);
  canvas.Clear(RGB(200, 200, 200));
  ASSERT_TRUE(dm.PaintShadow(menu, 4, 100, 75, &bottom, &side, TRUE));
  EXPECT_EQ(canvas.At(51, 35), beside);
  EXPECT_EQ(canvas.At(30, 61), below);
}

}  // namespace
