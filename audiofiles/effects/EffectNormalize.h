// Removes the DC offset of each selected track and brings its peak to -3 dB
// (0.7071). Each track, each channel of a stereo pair too, is measured on its own.
#pragma once

#include <cstdint>

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectText.h"

class EffectNormalize : public Effect {
public:
  std::string GetEffectName() const override { return effect_text::kNormalizeName; }
  std::string GetEffectAction() const override { return effect_text::kNormalizeAction; }
  bool Process() override;

private:
  bool ProcessTrack(WaveTrack* track, std::int64_t s0, std::int64_t s1);

  int mNormalizeAmplitude = 1;  // both always on; nothing changes them
  int mRemoveDC = 1;
  int mCurTrackNum = 0;
  float mMult = 1.0f;
  float mOffset = 0.0f;
  float mMin = 1.0f;
  float mMax = -1.0f;
  double mSum = 0.0;
  std::int64_t mCount = 0;
};
