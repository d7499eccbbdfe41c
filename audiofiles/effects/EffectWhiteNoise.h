// Generates white noise: uniformly distributed samples from -1.0 to 1.0.
#pragma once

#include "audiofiles/effects/EffectGenerator.h"

class EffectWhiteNoise : public EffectGenerator {
public:
  std::string GetEffectName() const override { return "White Noise"; }
  std::string GetEffectAction() const override { return "Generating White Noise"; }
  std::string GetEffectDescription() const override {
    return "Applied effect: Generate White Noise";
  }

protected:
  void GenerateBlock(float* buffer, int len) override;
};
