#include "audiofiles/effects/EffectAmplify.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audiofiles/effects/EffectDialogs.h"
#include "core/model/WaveTrack.h"

std::string EffectAmplify::GetEffectDescription() const {
  char text[64];
  std::snprintf(text, sizeof text, effect_text::kAmplifyDetailFormat,
                20.0 * std::log10(static_cast<double>(mRatio)));
  return effect_text::kAppliedEffect + GetEffectName() + text;
}

bool EffectAmplify::Init() {
  mPeak = 0.0f;
  for (WaveTrack* track : GetSelectedWaveTracks()) {
    float min = 0.0f, max = 0.0f;
    track->GetMinMax(&min, &max, mT0, mT1);
    mPeak = std::max(mPeak, std::max(std::fabs(min), std::fabs(max)));
  }
  return true;
}

bool EffectAmplify::PromptUser() {
  float ratio = mRatio;
  if (!GetEffectDialogs().AmplifyDialog(&ratio, mPeak)) return false;
  mRatio = ratio;
  return true;
}

bool EffectAmplify::ProcessSimpleBlock(float* buffer, int len) {
  // No clipping here: writing the block back into the track clips to full scale.
  const float ratio = mRatio;
  for (int i = 0; i < len; ++i) buffer[i] *= ratio;
  return true;
}
