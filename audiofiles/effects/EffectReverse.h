// Plays the selection backwards: each selected track's samples are reversed in place,
// each track on its own. The reversal always completes: it ignores Cancel, so it
// never stops with the selection half turned round.
#pragma once

#include <cstdint>

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectText.h"

class EffectReverse : public Effect {
public:
  std::string GetEffectName() const override { return effect_text::kReverseName; }
  std::string GetEffectAction() const override { return effect_text::kReverseAction; }
  bool Process() override;

private:
  bool ProcessOne(WaveTrack* track, std::int64_t s0, std::int64_t s1);

  int mCurTrackNum = 0;
};
