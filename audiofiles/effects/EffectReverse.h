// Plays the selection backwards: each selected track's samples are reversed in place,
// each track on its own. The reversal always completes: it ignores Cancel, so it
// never stops with the selection half turned round.
#pragma once

#include <cstdint>

#include "audiofiles/effects/Effect.h"

class EffectReverse : public Effect {
public:
  std::string GetEffectName() const override { return "Reverse"; }
  std::string GetEffectAction() const override { return "Reversing"; }
  bool Process() override;

private:
  bool ProcessOne(WaveTrack* track, std::int64_t s0, std::int64_t s1);

  int mCurTrackNum = 0;
};
