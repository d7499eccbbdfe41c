// Turns the selection upside down: every sample changes sign.
#pragma once

#include "audiofiles/effects/BlockEffect.h"

class EffectInvert : public BlockEffect {
public:
  std::string GetEffectName() const override { return "Invert"; }
  std::string GetEffectAction() const override { return "Inverting"; }

protected:
  bool ProcessSimpleBlock(float* buffer, int len) override;
};
