// The common outline of the generators that make new audio (White Noise, Tone):
// for each selected wave track, a new track of the same format and rate receives the
// generated samples block by block and is pasted into the selected track at the
// selection's start. The length is the selection's, or 30 seconds when it is empty.
#pragma once

#include <cstdint>

#include "audiofiles/effects/Effect.h"

class EffectGenerator : public Effect {
public:
  int GetEffectFlags() const override { return GeneratorEffectFlags; }
  bool Process() override;

protected:
  // Called before each selected track with its rate.
  virtual void BeginTrack(double rate) {}
  // Fills len samples of the new audio; `buffer` holds zeros on entry.
  virtual void GenerateBlock(float* buffer, int len) = 0;
};
