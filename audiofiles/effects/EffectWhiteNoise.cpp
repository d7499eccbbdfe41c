#include "audiofiles/effects/EffectWhiteNoise.h"

#include <cstdlib>

void EffectWhiteNoise::GenerateBlock(float* buffer, int len) {
  // Fifteen random bits scaled onto -1.0 .. 1.0 (the library's rand may give more
  // bits than that; only the low fifteen are used).
  for (int i = 0; i < len; ++i) buffer[i] = static_cast<float>((std::rand() & 0x7FFF) * 6.103702e-05 - 1.0);
}
