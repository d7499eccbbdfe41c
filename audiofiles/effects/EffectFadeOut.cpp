#include "audiofiles/effects/EffectFadeOut.h"

bool EffectFadeOut::NewTrackSimple() {
  // The fade spans exactly the samples that are processed, so no factor turns
  // negative past the end of the ramp whatever the rounding of the selection's times.
  mLength = mCurLen;
  mSample = 0;
  return true;
}

bool EffectFadeOut::ProcessSimpleBlock(float* buffer, int len) {
  const double length = static_cast<double>(mLength);
  for (int i = 0; i < len; ++i)
    buffer[i] = static_cast<float>(buffer[i] * static_cast<double>(mLength - mSample - i - 1) / length);
  mSample += len;
  return true;
}
