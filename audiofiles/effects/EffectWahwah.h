// A wah-wah: a resonant low-pass filter whose corner frequency a low-frequency
// oscillator sweeps. The right channel of a pair runs half a cycle apart.
#pragma once

#include <cstdint>

#include "audiofiles/effects/BlockEffect.h"
#include "audiofiles/effects/EffectText.h"

class EffectWahwah : public BlockEffect {
public:
  std::string GetEffectName() const override { return effect_text::kWahwahName; }
  std::string GetEffectAction() const override { return effect_text::kWahwahAction; }
  std::string GetEffectDescription() const override;

  void SetParameters(float frequency, float startPhase, float depth, float freqOffset, float resonance) {
    mFreq = frequency;
    mStartPhase = startPhase;
    mDepth = depth;
    mFreqOffset = freqOffset;
    mRes = resonance;
  }

protected:
  bool NewTrackSimple() override;
  bool ProcessSimpleBlock(float* buffer, int len) override;

private:
  float mFreq = 1.5f;        // LFO, Hz
  float mStartPhase = 0.0f;  // radians
  float mDepth = 0.7f;
  float mFreqOffset = 0.3f;
  float mRes = 2.5f;

  std::uint64_t mSkipCount = 0;
  double mLfoSkip = 0.0;
  double mPhase = 0.0;
  float mB0 = 0, mB1 = 0, mB2 = 0, mA0 = 0, mA1 = 0, mA2 = 0;
  float mX1 = 0, mX2 = 0, mY1 = 0, mY2 = 0;
};
