// Turns the selection upside down: every sample changes sign.
#pragma once

#include "audiofiles/effects/BlockEffect.h"
#include "audiofiles/effects/EffectText.h"

class EffectInvert : public BlockEffect {
public:
  std::string GetEffectName() const override { return effect_text::kInvertName; }
  std::string GetEffectAction() const override { return effect_text::kInvertAction; }

protected:
  bool ProcessSimpleBlock(float* buffer, int len) override;
};
