// Noise Removal, in two modes. A profile run measures the average logarithmic power
// of every frequency bin of the selection and keeps it as the noise profile, leaving
// the audio alone. A removal run passes the selection through a spectral gate: a bin
// of a frame stays on only where its power stands far enough above the profile, the
// switching is smoothed over time, and isolated switched-on bins are shut.
#pragma once

#include <cstdint>
#include <vector>

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/BinGains.h"
#include "audiofiles/effects/EffectText.h"

class EffectNoiseRemoval : public Effect {
public:
  // The first run takes a profile (nothing can be removed before there is one).
  EffectNoiseRemoval();
  ~EffectNoiseRemoval() override;

  std::string GetEffectName() const override { return effect_text::kNoiseRemovalName; }
  std::string GetEffectAction() const override;

  bool Process() override;

  // Non-zero: the next run takes a profile; zero: it removes noise. A successful
  // profile run switches to removal, so a second run removes the noise just measured.
  bool GetProfileMode() const { return mProfileMode != 0; }
  void SetProfileMode(bool profile) { mProfileMode = profile ? 1 : 0; }
  // Whether a profile has been taken.
  bool HasProfile() const { return mHasProfile; }
  // Mean natural logarithm of the power of bin k (0 .. window size / 2) over the
  // frames of the last profile run; minus infinity for a bin that had no power in
  // any frame (such a bin is never gated).
  float GetProfile(int bin) const { return mProfile[bin]; }
  // The gate opens where a bin's log power reaches profile + level x 0.5.
  int GetLevel() const { return mLevel; }
  void SetLevel(int level) { mLevel = level; }
  int GetWindowSize() const { return mWindowSize; }

  bool ProcessTrack(int trackNumber, WaveTrack* track, std::int64_t start, std::int64_t length);
  // Adds one frame of n floats into the profile sums.
  void MeasureFrame(int n, float* frame);
  // Gates one frame of n floats in place.
  void CleanFrame(int n, float* frame);

private:
  // Power of bins 0 .. n/2 of frame (n/2 + 1 values into p).
  void BinPowers(int n, const float* frame, float* p);

  int mWindowSize = 2048;
  float* mProfile;
  float* mSums;
  float* mGains;
  std::int32_t* mCounts;
  int mProfileMode = 1;
  int mLevel = 8;
  bool mHasProfile = false;
  std::int64_t mFramesMeasured = 0;  // in the current profile run
  std::vector<float> mCopy, mPower, mRe, mIm, mOutIm;
  HanningWindow mWindow{2048};
};
