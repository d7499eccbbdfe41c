#include "audiofiles/effects/EffectInvert.h"

bool EffectInvert::ProcessSimpleBlock(float* buffer, int len) {
  for (int i = 0; i < len; ++i) buffer[i] = -buffer[i];
  return true;
}
