// Colour arithmetic and the pixel work of the draw manager, checked against values
// computed by hand and against pixels of a memory canvas.
#include "support/wine/GTestWin.h"

#include "look_canvas.h"
#include "toolkit/frames/DrawManager.h"
#include "toolkit/frames/GlobalData.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

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

// The layers' percentages (100 to 75 over a depth of 4: step -6, 99 - 6 per layer
// inward) and the fade-in along the first pixels, exactly, also when the kept copy
// picture is far wider than the strip from an earlier, wider area.
TEST(DrawManagerPixels, ShadowFollowsItsLayersExactly) {
  LookCanvas canvas(160, 80);
  canvas.Clear(RGB(200, 200, 200));
  DrawManager dm(canvas.dc);
  ASSERT_TRUE(dm.LightenRect(CRect(0, 78, 160, 80), 150));
  ASSERT_TRUE(dm.PaintShadow(CRect(10, 10, 50, 60), 4, 100, 75, nullptr, nullptr, TRUE));
  auto level = [&](int x, int y) { return static_cast<int>(GetRValue(canvas.At(x, y))); };
  for (int d = 0; d < 4; ++d) {
    const int percent = 99 - 6 * (3 - d);
    EXPECT_EQ(level(50 + d, 35), 200 * percent / 100) << d;  // beside
    EXPECT_EQ(level(30, 60 + d), 200 * percent / 100) << d;  // below
    // The first pixel of each strip fades in: full + (100 - full) * 4 / 5.
    EXPECT_EQ(level(50 + d, 14), 200 * (percent + (100 - percent) * 4 / 5) / 100) << d;
    EXPECT_EQ(level(14, 60 + d), 200 * (percent + (100 - percent) * 4 / 5) / 100) << d;
  }
  EXPECT_EQ(level(13, 61), 200);  // left of the bottom strip
  EXPECT_EQ(level(51, 13), 200);  // above the side strip
  EXPECT_EQ(level(49, 35), 200);  // inside the rectangle
}

// The pixel work copies each area into a picture it keeps between calls (wider than
// most areas, its rows left from the last one) and back: the result must not depend
// on the target's row order, its origin or its clipping, also where an area leaves
// the target.
TEST(DrawManagerPixels, SamePictureWhateverTheTargetsRowsOriginAndClip) {
  struct Variant {
    const char* what;
    bool bottomUp;
    POINT origin;      // logical point drawn at the device's (0, 0)
    bool complexClip;  // clipped to all but one corner pixel
  };
  const Variant variants[] = {
      {"top-down rows", false, {0, 0}, false}, {"top-down rows, clipped", false, {0, 0}, true},
      {"bottom-up rows", true, {0, 0}, false}, {"bottom-up rows, clipped", true, {0, 0}, true},
      {"moved origin", false, {7, 5}, false},
  };
  constexpr int kSize = 120;
  auto paint = [&](const Variant& v) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = v.bottomUp ? kSize : -kSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = dc.SelectObject(bitmap);
    ::SetViewportOrgEx(dc.m_hDC, -v.origin.x, -v.origin.y, nullptr);
    auto rect = [&](int l, int t, int r, int b) {
      return CRect(l + v.origin.x, t + v.origin.y, r + v.origin.x, b + v.origin.y);
    };
    // Colours that change from pixel to pixel, so that a misplaced pixel shows.
    for (int y = 0; y < kSize; y += 3)
      for (int x = 0; x < kSize; x += 5)
        dc.FillSolidRect(rect(x, y, x + 5, y + 3), RGB(40 + x, 250 - 2 * y, (x * y) % 256));
    dc.FillSolidRect(rect(8, 72, 14, 78), RGB(255, 0, 255));
    if (v.complexClip) {
      HRGN all = ::CreateRectRgn(0, 0, kSize, kSize);
      HRGN corner = ::CreateRectRgn(kSize - 1, 0, kSize, 1);
      ::CombineRgn(all, all, corner, RGN_DIFF);
      ::SelectClipRgn(dc.m_hDC, all);
      ::DeleteObject(all);
      ::DeleteObject(corner);
    }
    DrawManager dm(dc);
    EXPECT_TRUE(dm.PaintShadow(rect(10, 10, 50, 60), 4, 100, 75, nullptr, nullptr, TRUE)) << v.what;
    EXPECT_TRUE(dm.PaintShadow(rect(70, 10, 110, 60), 6, 100, 65, nullptr, nullptr, FALSE)) << v.what;
    // Its shadow reaches past the right and the bottom edge.
    EXPECT_TRUE(dm.PaintShadow(rect(95, 96, 118, 117), 5, 100, 65, nullptr, nullptr, TRUE)) << v.what;
    EXPECT_TRUE(dm.LightenRect(rect(5, 70, 60, 90), -1, RGB(255, 0, 255))) << v.what;
    EXPECT_TRUE(dm.LightenRect(rect(5, 92, 60, 100), 130)) << v.what;
    EXPECT_TRUE(dm.TintRectHls(rect(60, 70, 90, 90), 100)) << v.what;
    EXPECT_TRUE(dm.TintRectHls(rect(60, 92, 90, 100), -1)) << v.what;
    ::GdiFlush();
    std::vector<DWORD> picture;
    for (int y = 0; y < kSize; ++y) {
      const auto* row = static_cast<const DWORD*>(bits) + (v.bottomUp ? kSize - 1 - y : y) * kSize;
      for (int x = 0; x < kSize; ++x) picture.push_back(row[x] & 0x00FFFFFF);
    }
    dc.SelectObject(old);
    ::DeleteObject(bitmap);
    return picture;
  };
  const std::vector<DWORD> expected = paint(variants[0]);
  for (const Variant& v : variants) {
    const std::vector<DWORD> got = paint(v);
    ASSERT_EQ(got.size(), expected.size());
    int differing = 0, first = -1;
    for (size_t i = 0; i < got.size(); ++i)
      if (got[i] != expected[i] && differing++ == 0) first = static_cast<int>(i);
    EXPECT_EQ(differing, 0) << v.what << ": first at (" << first % kSize << ", " << first / kSize << ")";
  }
}

}  // namespace
