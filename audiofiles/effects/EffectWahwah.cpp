#include "audiofiles/effects/EffectWahwah.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/model/Track.h"

std::string EffectWahwah::GetEffectDescription() const {
  char text[256];
  std::snprintf(text, sizeof text, effect_text::kWahwahDescriptionFormat, GetEffectName().c_str(),
                static_cast<double>(mFreq), mStartPhase * 180.0 / std::numbers::pi, mDepth * 100.0,
                static_cast<double>(mRes), mFreqOffset * 100.0);
  return text;
}

bool EffectWahwah::NewTrackSimple() {
  mX1 = mX2 = mY1 = mY2 = 0.0f;
  mB0 = mB1 = mB2 = mA0 = mA1 = mA2 = 0.0f;
  mSkipCount = 0;
  mLfoSkip = 2.0 * std::numbers::pi * mFreq / mCurRate;
  mPhase = mStartPhase;
  if (mCurChannel == Track::RightChannel) mPhase += std::numbers::pi;
  return true;
}

bool EffectWahwah::ProcessSimpleBlock(float* buffer, int len) {
  // The LFO moves the filter every 30 samples.
  static constexpr int kLfoSkipSamples = 30;
  for (int i = 0; i < len; ++i) {
    const float x = buffer[i];
    if ((mSkipCount++) % kLfoSkipSamples == 0) {
      double f = (1.0 + std::cos(static_cast<double>(mSkipCount) * mLfoSkip + mPhase)) / 2.0;
      f = f * (1.0 - mFreqOffset) * mDepth + mFreqOffset;
      f = std::exp((f - 1.0) * 6.0);
      const double omega = std::numbers::pi * f;
      const double sn = std::sin(omega), cs = std::cos(omega);
      const double alpha = sn / (2.0 * mRes);
      // Divided by a0 here, once per LFO step, not in the per-sample feedback path.
      const double a0 = 1.0 + alpha;
      mB0 = static_cast<float>((1.0 - cs) / 2.0 / a0);
      mB1 = static_cast<float>((1.0 - cs) / a0);
      mB2 = static_cast<float>((1.0 - cs) / 2.0 / a0);
      mA0 = 1.0f;
      mA1 = static_cast<float>(-2.0 * cs / a0);
      mA2 = static_cast<float>((1.0 - alpha) / a0);
    }
    const float y = mB0 * x + mB1 * mX1 + mB2 * mX2 - mA1 * mY1 - mA2 * mY2;
    mX2 = mX1;
    mX1 = x;
    mY2 = mY1;
    mY1 = y;
    buffer[i] = y < -1.0f ? -1.0f : (y > 1.0f ? 1.0f : y);
  }
  return true;
}
