#pragma once
// The eight-band graphic equaliser the outputs apply in place to 16-bit stereo PCM
// at 44100 Hz. It splits the signal into octave components with running box
// averages over a 256-frame delay line, so a pass costs additions, shifts and one
// multiplication per component gain.
#include <windows.h>

#include "player/PlayerTypes.h"

struct EqualiserState;

struct Equaliser {
  void (*Reset)(Equaliser* eq, DWORD sampleRate, DWORD bits16);
  void (*Free)(Equaliser* eq);
  void (*SetSettings)(Equaliser* eq, const EqualiserSettings* settings);
  void (*Filter)(Equaliser* eq, void* buffer, DWORD bytes);
  EqualiserState* state;
};

constexpr int kEqualiserDelayFrames = 256;

// Fills the operations and allocates the filter state (disabled, zero gains).
void Equaliser_Create(Equaliser* eq);
