// Fades the selection linearly in from silence: the first sample becomes 0.
#pragma once

#include <cstdint>

#include "audiofiles/effects/BlockEffect.h"

class EffectFadeIn : public BlockEffect {
public:
  std::string GetEffectName() const override { return "Fade In"; }
  std::string GetEffectAction() const override { return "Fading In"; }

protected:
  bool NewTrackSimple() override;
  bool ProcessSimpleBlock(float* buffer, int len) override;

private:
  std::int64_t mSample = 0;   // samples of this track already faded
  std::int64_t mLength = 0;   // fade length in samples
};
