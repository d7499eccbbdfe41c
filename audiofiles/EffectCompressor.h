// Compressor: a dynamic-range compressor. Per sample it measures the RMS level of
// the last 100 samples, smooths it into a level that rises and falls no faster than
// the attack and decay times allow (looking back up to 50 samples so that a sudden
// rise is met by a gain that starts falling before it), and scales the sample by a
// gain that falls as that level passes the threshold, with an optional make-up gain.
#pragma once

#include "audiofiles/BlockEffect.h"

class EffectCompressor : public BlockEffect {
public:
  EffectCompressor();
  ~EffectCompressor() override;

  std::string GetEffectName() const override { return "Compressor..."; }
  std::string GetEffectAction() const override { return "Applying Dynamic Range Compression..."; }

  // Refuses parameters the level follower cannot work with (see the setters).
  bool Init() override;

  // Parameters; they keep their values between runs.
  double GetAttackTime() const { return mAttackTime; }
  void SetAttackTime(double seconds) { mAttackTime = seconds; }  // >= 0
  double GetThreshold() const { return mThresholdDB; }
  void SetThreshold(double dB) { mThresholdDB = dB; }
  double GetRatio() const { return mRatio; }
  void SetRatio(double ratio) { mRatio = ratio; }  // > 0
  bool GetGainCompensation() const { return (mNormalize & 0xFF) != 0; }
  void SetGainCompensation(bool on) { mNormalize = on ? 1 : 0; }
  double GetDecayTime() const { return mDecayTime; }
  void SetDecayTime(double seconds) { mDecayTime = seconds; }  // >= 0
  double GetFloor() const { return mFloor; }
  void SetFloor(double floor) { mFloor = floor; }  // 0 < floor < 1

  // Values computed for the current track.
  double GetCompensation() const { return mCompensation; }
  double GetAttackFactor() const { return mAttackFactor; }
  double GetDecayFactor() const { return mDecayFactor; }
  double GetThresholdLevel() const { return mThreshold; }
  double GetMakeupGain() const { return mGain; }

  // One step of the running RMS over the window.
  double UpdateRms(float x);
  // Puts the smoothed level of sample x, the i-th of the block, into follower[i],
  // raising earlier values of the block when the level rises faster than the attack
  // allows.
  void FollowLevel(float x, double *follower, int i);
  // x scaled by the gain for level e, clipped to -1.0 .. 1.0.
  double CompressSample(float x, double e) const;

protected:
  bool NewTrackSimple() override;
  bool ProcessSimpleBlock(float *buffer, int len) override;

private:
  double mAttackTime = 0.2;
  double mThresholdDB = -12.0;
  double mRatio = 2.0;
  int mNormalize = 1;
  double mDecayTime = 1.0;
  double mCompensation = 0.0;
  double mAttackFactor = 1.0;
  double mDecayFactor = 1.0;
  double mFloor = 0.001;
  double mThreshold = 1.0;
  double mGain = 1.0;
  double mRMSSum = 0.0;
  int mCircleSize = 100;
  int mCirclePos = 0;
  double *mCircle = nullptr;
  double mLastLevel = 0.0;
};
