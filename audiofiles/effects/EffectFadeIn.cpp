#include "audiofiles/effects/EffectFadeIn.h"

bool EffectFadeIn::NewTrackSimple() {
  // The fade spans exactly the samples that are processed, so the ramp reaches its
  // end on the last one whatever the rounding of the selection's times.
  mLength = mCurLen;
  mSample = 0;
  return true;
}

bool EffectFadeIn::ProcessSimpleBlock(float* buffer, int len) {
  const double length = static_cast<double>(mLength);
  for (int i = 0; i < len; ++i)
    buffer[i] = static_cast<float>(buffer[i] * static_cast<double>(mSample + i) / length);
  mSample += len;
  return true;
}
