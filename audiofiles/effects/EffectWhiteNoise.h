// Generates white noise: uniformly distributed samples from -1.0 to 1.0.
#pragma once

#include "audiofiles/effects/EffectGenerator.h"
#include "audiofiles/effects/EffectText.h"

class EffectWhiteNoise : public EffectGenerator {
public:
  std::string GetEffectName() const override { return effect_text::kWhiteNoiseName; }
  std::string GetEffectAction() const override { return effect_text::kWhiteNoiseAction; }
  std::string GetEffectDescription() const override { return effect_text::kWhiteNoiseDescription; }

protected:
  void GenerateBlock(float* buffer, int len) override;
};
