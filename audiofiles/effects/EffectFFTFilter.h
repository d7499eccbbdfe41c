// FFT Filter: multiplies the spectrum of the selection by gains taken from a
// frequency-response envelope, in short frames (256 samples) that overlap by half a
// frame and are Hanning-windowed after the inverse transform.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/BinGains.h"
#include "audiofiles/effects/EffectText.h"

class Envelope;

class EffectFFTFilter : public Effect {
public:
  // The response starts flat at 0.5 (gain 1.0 at every frequency).
  EffectFFTFilter();
  ~EffectFFTFilter() override;

  std::string GetEffectName() const override { return effect_text::kFFTFilterName; }
  std::string GetEffectAction() const override { return effect_text::kFFTFilterAction; }

  // Computes the gains from the response, then previews as every effect does.
  void Preview() override;
  // Computes the gains from the response, then filters every selected track.
  bool Process() override;

  // The response over the normalised frequency 0.0 .. 1.0 (1.0 = half the rate),
  // interpolated linearly; a value v gives the gain 4^(2v - 1): 0.5 is 0 dB, 1.0 is
  // +12 dB, 0.0 is -12 dB. Callers add points to shape it.
  Envelope& GetResponse() { return *mResponse; }
  const Envelope& GetResponse() const { return *mResponse; }

  int GetWindowSize() const { return mWindowSize; }
  // Gains of bins 0 .. window size / 2, as the last run (or preview) computed them.
  const float* GetGains() const { return mGains.data(); }
  // Fills the gains from the response.
  void ComputeGains();

  // Filters samples start .. start+length-1 of track in place.
  bool ProcessTrack(int trackNumber, WaveTrack* track, std::int64_t start, std::int64_t length);
  // Filters one frame of n floats in place (n = window size).
  void FilterFrame(int n, float* frame);

private:
  // Filters one track's part, or the two channels of a pair at the same time.
  bool ProcessTracks(int firstNumber, const std::vector<std::pair<WaveTrack*, TrackPart>>& tracks);

  std::unique_ptr<Envelope> mResponse;
  int mWindowSize = 256;
  std::vector<float> mGains;
  std::vector<float> mRe, mIm;
  HanningWindow mWindow{256};
};
