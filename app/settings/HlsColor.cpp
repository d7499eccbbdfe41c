#include "app/settings/HlsColor.h"

#include <algorithm>

namespace {
std::uint8_t Channel(float m1, float m2, float hue) {
  if (hue > 360.0f) hue -= 360.0f;
  else if (hue < 0.0f) hue += 360.0f;
  if (hue < 60.0f) m1 = m1 + (m2 - m1) * hue / 60.0f;
  else if (hue < 180.0f) m1 = m2;
  else if (hue < 240.0f) m1 = m1 + (m2 - m1) * (240.0f - hue) / 60.0f;
  float v = std::clamp(m1 * 255.0f, 0.0f, 255.0f);
  return static_cast<std::uint8_t>(v);
}
}  // namespace

void HlsColor::SetRGB(ColorRef rgb) {
  red_ = static_cast<std::uint8_t>(RedOf(rgb));
  green_ = static_cast<std::uint8_t>(GreenOf(rgb));
  blue_ = static_cast<std::uint8_t>(BlueOf(rgb));
  rgb_valid_ = true;
  hls_valid_ = false;
}

ColorRef HlsColor::GetRGB() {
  ToRgb();
  return MakeRgb(red_, green_, blue_);
}

float HlsColor::GetHue() {
  ToHls();
  return hue_;
}

float HlsColor::GetSaturation() {
  ToHls();
  return saturation_;
}

float HlsColor::GetLuminance() {
  ToHls();
  return luminance_;
}

void HlsColor::SetLuminance(float luminance) {
  ToHls();
  luminance_ = std::clamp(luminance, 0.0f, 1.0f);
  rgb_valid_ = false;
}

void HlsColor::ToHls() {
  if (hls_valid_) return;
  const float maxv = static_cast<float>(std::max({red_, green_, blue_}));
  const float minv = static_cast<float>(std::min({red_, green_, blue_}));
  const float diff = maxv - minv;
  const float sum = maxv + minv;
  luminance_ = sum / 510.0f;
  if (maxv == minv) {
    saturation_ = 0.0f;
    hue_ = 0.0f;
  } else {
    const float r = (maxv - red_) / diff;
    const float g = (maxv - green_) / diff;
    const float b = (maxv - blue_) / diff;
    saturation_ = luminance_ <= 0.5f ? diff / sum : diff / (510.0f - sum);
    if (red_ == maxv) hue_ = 60.0f * (6.0f + b - g);
    if (green_ == maxv) hue_ = 60.0f * (2.0f + r - b);
    if (blue_ == maxv) hue_ = 60.0f * (4.0f + g - r);
    if (hue_ > 360.0f) hue_ -= 360.0f;
  }
  hls_valid_ = true;
}

void HlsColor::ToRgb() {
  if (rgb_valid_) return;
  if (saturation_ == 0.0f) {
    red_ = green_ = blue_ = static_cast<std::uint8_t>(std::clamp(luminance_ * 255.0f, 0.0f, 255.0f));
  } else {
    const float m2 = luminance_ <= 0.5f ? luminance_ + luminance_ * saturation_
                                        : luminance_ + saturation_ - luminance_ * saturation_;
    const float m1 = 2.0f * luminance_ - m2;
    red_ = Channel(m1, m2, hue_ + 120.0f);
    green_ = Channel(m1, m2, hue_);
    blue_ = Channel(m1, m2, hue_ - 120.0f);
  }
  rgb_valid_ = true;
}
