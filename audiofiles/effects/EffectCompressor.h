// Compressor: a dynamic-range compressor. Per sample it measures the RMS level of
// the last 100 samples, smooths it into a level that rises and falls no faster than
// the attack and decay times allow (looking back up to 50 samples so that a sudden
// rise is met by a gain that starts falling before it), and scales the sample by a
// gain that falls as that level passes the threshold, with an optional make-up gain.
#pragma once

#include "audiofiles/effects/BlockEffect.h"
#include "audiofiles/effects/EffectText.h"

class EffectCompressor : public BlockEffect {
public:
  EffectCompressor();
  ~EffectCompressor() override;

  std::string GetEffectName() const override { return effect_text::kCompressorName; }
  std::string GetEffectAction() const override { return effect_text::kCompressorAction; }

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
  double GetAttackFactor() const { return mLevel.attack; }
  double GetDecayFactor() const { return mLevel.decay; }
  double GetThresholdLevel() const { return mThreshold; }
  double GetMakeupGain() const { return mGain; }

  // One step of the running RMS over the window.
  double UpdateRms(float x);
  // Puts the smoothed level of sample x, the i-th of the block, into follower[i],
  // raising earlier values of the block when the level rises faster than the attack
  // allows.
  void FollowLevel(float x, double* follower, int i);
  // x scaled by the gain for level e, clipped to -1.0 .. 1.0.
  double CompressSample(float x, double e) const;

protected:
  bool NewTrackSimple() override;
  bool ProcessSimpleBlock(float* buffer, int len) override;

private:
  // The level follower's running state. The per-sample steps work on a local copy,
  // so that its fields stay in registers while the block's arrays are written.
  struct LevelState {
    double attack = 1.0;       // largest rise of the level per sample (a factor above 1)
    double decay = 1.0;        // fall of the level per sample (a factor below 1)
    double floor = 0.001;      // the smallest level the follower falls to
    double sum = 0.0;          // sum of the squares held in the RMS window
    int size = 100;            // RMS window length
    int pos = 0;               // next slot of the RMS window
    double* circle = nullptr;  // the RMS window: squares of the last samples
    double last = 0.0;         // the follower's previous output (0 on a fresh track)
  };
  static double StepRms(LevelState& s, float x);
  // Smooths `level` (the window's RMS at sample i, rounded to float) into
  // follower[i]. follower[i + 1 ..] are not read.
  static void StepFollow(LevelState& s, double level, double* follower, int i);

  double mAttackTime = 0.2;
  double mThresholdDB = -12.0;
  double mRatio = 2.0;
  int mNormalize = 1;
  double mDecayTime = 1.0;
  double mCompensation = 0.0;
  double mFloor = 0.001;
  double mThreshold = 1.0;
  double mGain = 1.0;
  LevelState mLevel;
};
