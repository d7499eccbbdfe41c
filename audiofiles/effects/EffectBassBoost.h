// Boosts the low frequencies with a low-shelf filter (a biquad) below a corner
// frequency.
#pragma once

#include "audiofiles/effects/BlockEffect.h"
#include "audiofiles/effects/EffectText.h"

class EffectBassBoost : public BlockEffect {
public:
  std::string GetEffectName() const override { return effect_text::kBassBoostName; }
  std::string GetEffectAction() const override { return effect_text::kBassBoostAction; }
  // "Applied effect: BassBoost... frequency = 200 Hz, boost = 12 dB"
  std::string GetEffectDescription() const override;

  void SetParameters(float frequency, float boostDb) {
    mFrequency = frequency;
    mBoost = boostDb;
  }

protected:
  bool NewTrackSimple() override;
  bool ProcessSimpleBlock(float* buffer, int len) override;

private:
  float mFrequency = 200.0f;  // Hz
  float mBoost = 12.0f;       // dB
  // Filter coefficients and history of the current track.
  float mB0 = 0, mB1 = 0, mB2 = 0, mA0 = 1, mA1 = 0, mA2 = 0;
  float mX1 = 0, mX2 = 0, mY1 = 0, mY2 = 0;
};
