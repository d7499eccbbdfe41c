#include "audiofiles/effects/EffectBassBoost.h"

#include <cmath>
#include <cstdio>

std::string EffectBassBoost::GetEffectDescription() const {
  char text[160];
  std::snprintf(text, sizeof text, effect_text::kBassBoostDescriptionFormat, GetEffectName().c_str(),
                static_cast<double>(mFrequency), static_cast<double>(mBoost));
  return text;
}

bool EffectBassBoost::NewTrackSimple() {
  mX1 = mX2 = mY1 = mY2 = 0.0f;
  const double omega = 6.283185307178 * mFrequency / mCurRate;
  const double sn = std::sin(omega);
  const double cs = std::cos(omega);
  const double a = std::pow(10.0, mBoost * 0.025);
  const double shape = 1.0;
  const double beta = std::sqrt((a * a + 1.0) / shape - (a - 1.0) * (a - 1.0));
  mB0 = static_cast<float>(a * ((a + 1.0) - (a - 1.0) * cs + beta * sn));
  mB1 = static_cast<float>(2.0 * a * ((a - 1.0) - (a + 1.0) * cs));
  mB2 = static_cast<float>(a * ((a + 1.0) - (a - 1.0) * cs - beta * sn));
  mA0 = static_cast<float>((a + 1.0) + (a - 1.0) * cs + beta * sn);
  mA1 = static_cast<float>(-2.0 * ((a - 1.0) + (a + 1.0) * cs));
  mA2 = static_cast<float>((a + 1.0) + (a - 1.0) * cs - beta * sn);
  return true;
}

bool EffectBassBoost::ProcessSimpleBlock(float* buffer, int len) {
  // Coefficients divided by a0 once, not every sample: a division in the feedback
  // path would bound the speed of the whole filter.
  const float b0 = mB0 / mA0, b1 = mB1 / mA0, b2 = mB2 / mA0, a1 = mA1 / mA0, a2 = mA2 / mA0;
  float x1 = mX1, x2 = mX2, y1 = mY1, y2 = mY2;
  for (int i = 0; i < len; ++i) {
    const float x = buffer[i];
    // The history keeps the unclipped output.
    const float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    buffer[i] = y < -1.0f ? -1.0f : (y > 1.0f ? 1.0f : y);
  }
  mX1 = x1;
  mX2 = x2;
  mY1 = y1;
  mY2 = y2;
  return true;
}
