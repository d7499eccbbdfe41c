// The base of the effects that run the selection through the SoundTouch library
// (Change Pitch, Change Tempo): each selected track's part of the selection goes
// through one SoundTouch object into a new track, which then takes its place, so
// the selection may change length.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "audiofiles/effects/Effect.h"

namespace soundtouch {
class SoundTouch;
}

class SoundTouchEffect : public Effect {
public:
  SoundTouchEffect();
  ~SoundTouchEffect() override;

protected:
  // The shared track loop; the derived Process makes and sets up the SoundTouch
  // object first. Replaces every taking-part track's part of the selection by its
  // processed audio and records the longest new length.
  bool Process() override;
  // Runs samples start .. end-1 of track through the SoundTouch object and puts the
  // result in place of the selection on that track.
  bool ProcessTrack(WaveTrack* track, std::int64_t start, std::int64_t end);
  // The same for one track or for the two channels of a pair at the same time, each
  // channel through a SoundTouch object of its own.
  bool ProcessTracks(const std::vector<std::pair<WaveTrack*, TrackPart>>& tracks);

  // Makes the effect's SoundTouch object (null outside Process): one mono channel,
  // set up by SetUpSoundTouch.
  void MakeSoundTouch();
  // Gives a SoundTouch object the effect's change (pitch or tempo).
  virtual void SetUpSoundTouch(soundtouch::SoundTouch& st) const = 0;
  void DeleteSoundTouch();

  std::unique_ptr<soundtouch::SoundTouch> mSoundTouch;
  int mCurTrackNum = 0;
  double mNewLength = 0.0;

private:
  // A new mono SoundTouch object set up by SetUpSoundTouch.
  std::unique_ptr<soundtouch::SoundTouch> NewSoundTouch() const;
};
