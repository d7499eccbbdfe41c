// The base of the effects that change samples in place, one block at a time: for
// each selected track, NewTrackSimple prepares and ProcessSimpleBlock changes every
// block of the track's part of the selection.
#pragma once

#include <cstdint>

#include "audiofiles/effects/Effect.h"

class BlockEffect : public Effect {
public:
  bool Process() override;

protected:
  // Called before each track that has samples in the selection; false stops.
  virtual bool NewTrackSimple();
  // Changes len float samples in place; false stops.
  virtual bool ProcessSimpleBlock(float* buffer, int len) = 0;

  int mCurTrackNum = 0;   // 0-based index of the track being processed
  double mCurRate = 0.0;  // its sample rate
  double mCurT0 = 0.0;    // the part of the selection that lies on it
  double mCurT1 = 0.0;
  int mCurChannel = 0;  // left, right or mono, as Track codes it
  // The samples processed on this track: absolute start and count.
  std::int64_t mCurStart = 0;
  std::int64_t mCurLen = 0;

private:
  bool ProcessTrack(WaveTrack* track, std::int64_t s0, std::int64_t s1);
};
