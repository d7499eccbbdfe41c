#include "audiofiles/effects/EffectPhaser.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/model/Track.h"

std::string EffectPhaser::GetEffectDescription() const {
  char text[256];
  std::snprintf(text, sizeof text, effect_text::kPhaserDescriptionFormat, GetEffectName().c_str(), mStages,
                mDryWet * 100.0 / 255.0, static_cast<double>(mFreq), mStartPhase * 180.0 / std::numbers::pi,
                mDepth, mFeedback * 100.0);
  return text;
}

bool EffectPhaser::NewTrackSimple() {
  mOld.assign(mStages > 0 ? static_cast<std::size_t>(mStages) : 0, 0.0f);
  mSkipCount = 0;
  mGain = 0.0f;
  mFbOut = 0.0f;
  mLfoSkip = 2.0 * std::numbers::pi * mFreq / mCurRate;
  mPhase = mStartPhase;
  if (mCurChannel == Track::RightChannel) mPhase += std::numbers::pi;
  return true;
}

bool EffectPhaser::ProcessSimpleBlock(float* buffer, int len) {
  // The LFO moves the gain every 20 samples.
  static constexpr int kLfoSkipSamples = 20;
  static const double kShapeDenominator = std::exp(4.0) - 1.0;
  const float wet = static_cast<float>(mDryWet);
  for (int i = 0; i < len; ++i) {
    const float x = buffer[i];
    float in = x + mFbOut * mFeedback * 0.01f;
    if ((mSkipCount++) % kLfoSkipSamples == 0) {
      const double m = (std::cos(static_cast<double>(mSkipCount) * mLfoSkip + mPhase) + 1.0) / 2.0;
      mGain = static_cast<float>(1.0 - ((std::exp(4.0 * m) - 1.0) / kShapeDenominator) * mDepth / 255.0);
    }
    for (float& old : mOld) {
      const float t = old;
      old = mGain * t + in;
      in = t - mGain * old;
    }
    mFbOut = in;
    const float y = (x * (255.0f - wet) + in * wet) / 255.0f;
    buffer[i] = y < -1.0f ? -1.0f : (y > 1.0f ? 1.0f : y);
  }
  return true;
}
