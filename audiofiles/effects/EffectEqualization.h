// Equalization: multiplies the spectrum of the selection by a table of gains, one
// per frequency bin of a 16384-point transform, with Hanning-windowed frames that
// overlap by half a frame.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/BinGains.h"
#include "audiofiles/effects/EffectText.h"

class EffectEqualization : public Effect {
public:
  static constexpr int WindowSize = 16384;
  static constexpr int NumGains = WindowSize / 2 + 1;  // bins 0 .. 8192 are read

  // Every gain starts at 1.0: the effect leaves the audio as it is until gains are
  // set.
  EffectEqualization();
  ~EffectEqualization() override;

  std::string GetEffectName() const override { return effect_text::kEqualizationName; }
  std::string GetEffectAction() const override { return effect_text::kEqualizationAction; }

  bool Process() override;

  // Gain of frequency bin k (0 .. 8192); bin k lies at k x rate / 16384 Hz.
  float GetGain(int bin) const { return mGains[bin]; }
  void SetGain(int bin, float gain) { mGains[bin] = gain; }
  // Sets every bin from a curve of (frequency in Hz, gain in dB) points for tracks
  // at `rate`: straight lines in dB over the logarithm of frequency between the
  // points, flat beyond the first and the last. An empty curve sets every gain to
  // 1.0. False (gains unchanged) when a point is not finite, a frequency is not
  // positive, or the rate is not positive.
  bool SetCurve(double rate, std::vector<std::pair<double, double>> points);

  // Filters samples start .. start+length-1 of track in place.
  bool ProcessTrack(int trackNumber, WaveTrack* track, std::int64_t start, std::int64_t length);
  // Filters one frame of n floats in place (n = WindowSize).
  void FilterFrame(int n, float* frame);

private:
  // Filters one track's part, or the two channels of a pair at the same time.
  bool ProcessTracks(int firstNumber, const std::vector<std::pair<WaveTrack*, TrackPart>>& tracks);

  float* mGains;  // WindowSize entries; 0 .. NumGains-1 are used
  // Scratch of FilterFrame.
  std::vector<float> mCopy, mRe, mIm;
  HanningWindow mWindow{WindowSize};
};
