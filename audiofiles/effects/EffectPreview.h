// How an effect's preview reaches the audio engine.
//
// Preview copies a short piece of the selected tracks into temporary tracks, applies
// the effect to them and asks the player to play them. The audio engine installs its
// implementation; without one nothing is ever previewed.
#pragma once

class WaveTrack;

class EffectPreviewPlayer {
public:
  virtual ~EffectPreviewPlayer() = default;

  // True while a stream is starting, running or not yet fully stopped.
  virtual bool IsBusy() = 0;
  // Plays tracks[0 .. count-1] from t0 to t1 and returns when playback is over;
  // false when the stream could not be started.
  virtual bool PlayAndWait(WaveTrack* const* tracks, int count, double t0, double t1) = 0;
};

// Installs the player (null: none); returns the previous one.
EffectPreviewPlayer* SetEffectPreviewPlayer(EffectPreviewPlayer* player);
EffectPreviewPlayer* GetEffectPreviewPlayer();
