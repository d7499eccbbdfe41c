#pragma once
// A colour value convertible between RGB and HLS, with which the colour
// scheme derives its shades. Hue in degrees 0..360, saturation and luminance 0..1;
// luminance = (max + min) / 510. Results are cached until the other side is set.
#include <cstdint>

// COLORREF in the portable tier: 0x00BBGGRR.
using ColorRef = std::uint32_t;
constexpr ColorRef MakeRgb(unsigned r, unsigned g, unsigned b) {
  return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr unsigned RedOf(ColorRef c) { return c & 0xFF; }
constexpr unsigned GreenOf(ColorRef c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(ColorRef c) { return (c >> 16) & 0xFF; }

class HlsColor {
public:
  HlsColor() = default;
  explicit HlsColor(ColorRef rgb) { SetRGB(rgb); }

  void SetRGB(ColorRef rgb);
  ColorRef GetRGB();
  float GetHue();
  float GetSaturation();
  float GetLuminance();
  void SetLuminance(float luminance);

private:
  void ToHls();
  void ToRgb();

  std::uint8_t mRed = 0, mGreen = 0, mBlue = 0;
  float mHue = 0, mSaturation = 0, mLuminance = 0;
  bool mRgbValid = true;
  bool mHlsValid = false;
};
