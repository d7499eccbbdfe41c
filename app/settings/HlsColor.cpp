#include "app/settings/HlsColor.h"

#include <algorithm>

namespace {
std::uint8_t Channel(float m1, float m2, float hue) {
  if (hue > 360.0f)
    hue -= 360.0f;
  else if (hue < 0.0f)
    hue += 360.0f;
  if (hue < 60.0f)
    m1 = m1 + (m2 - m1) * hue / 60.0f;
  else if (hue < 180.0f)
    m1 = m2;
  else if (hue < 240.0f)
    m1 = m1 + (m2 - m1) * (240.0f - hue) / 60.0f;
  float v = std::clamp(m1 * 255.0f, 0.0f, 255.0f);
  return static_cast<std::uint8_t>(v);
}
}  // namespace

void HlsColor::SetRGB(ColorRef rgb) {
  mRed = static_cast<std::uint8_t>(RedOf(rgb));
  mGreen = static_cast<std::uint8_t>(GreenOf(rgb));
  mBlue = static_cast<std::uint8_t>(BlueOf(rgb));
  mRgbValid = true;
  mHlsValid = false;
}

ColorRef HlsColor::GetRGB() {
  ToRgb();
  return MakeRgb(mRed, mGreen, mBlue);
}

float HlsColor::GetHue() {
  ToHls();
  return mHue;
}

float HlsColor::GetSaturation() {
  ToHls();
  return mSaturation;
}

float HlsColor::GetLuminance() {
  ToHls();
  return mLuminance;
}

void HlsColor::SetLuminance(float luminance) {
  ToHls();
  mLuminance = std::clamp(luminance, 0.0f, 1.0f);
  mRgbValid = false;
}

void HlsColor::ToHls() {
  if (mHlsValid) return;
  const float maxv = static_cast<float>(std::max({mRed, mGreen, mBlue}));
  const float minv = static_cast<float>(std::min({mRed, mGreen, mBlue}));
  const float diff = maxv - minv;
  const float sum = maxv + minv;
  mLuminance = sum / 510.0f;
  if (maxv == minv) {
    mSaturation = 0.0f;
    mHue = 0.0f;
  } else {
    const float r = (maxv - mRed) / diff;
    const float g = (maxv - mGreen) / diff;
    const float b = (maxv - mBlue) / diff;
    mSaturation = mLuminance <= 0.5f ? diff / sum : diff / (510.0f - sum);
    if (mRed == maxv) mHue = 60.0f * (6.0f + b - g);
    if (mGreen == maxv) mHue = 60.0f * (2.0f + r - b);
    if (mBlue == maxv) mHue = 60.0f * (4.0f + g - r);
    if (mHue > 360.0f) mHue -= 360.0f;
  }
  mHlsValid = true;
}

void HlsColor::ToRgb() {
  if (mRgbValid) return;
  if (mSaturation == 0.0f) {
    mRed = mGreen = mBlue = static_cast<std::uint8_t>(std::clamp(mLuminance * 255.0f, 0.0f, 255.0f));
  } else {
    const float m2 = mLuminance <= 0.5f ? mLuminance + mLuminance * mSaturation
                                        : mLuminance + mSaturation - mLuminance * mSaturation;
    const float m1 = 2.0f * mLuminance - m2;
    mRed = Channel(m1, m2, mHue + 120.0f);
    mGreen = Channel(m1, m2, mHue);
    mBlue = Channel(m1, m2, mHue - 120.0f);
  }
  mRgbValid = true;
}
