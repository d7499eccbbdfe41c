// Fades the selection linearly in from silence: the first sample becomes 0.
#pragma once

#include <cstdint>

#include "audiofiles/effects/BlockEffect.h"
#include "audiofiles/effects/EffectText.h"

class EffectFadeIn : public BlockEffect {
public:
  std::string GetEffectName() const override { return effect_text::kFadeInName; }
  std::string GetEffectAction() const override { return effect_text::kFadeInAction; }

protected:
  bool NewTrackSimple() override;
  bool ProcessSimpleBlock(float* buffer, int len) override;

private:
  std::int64_t mSample = 0;  // samples of this track already faded
  std::int64_t mLength = 0;  // fade length in samples
};
