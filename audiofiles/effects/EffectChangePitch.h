// Change Pitch: raises or lowers the pitch of the selection by a number of
// semitones and keeps its length (through SoundTouch).
#pragma once

#include "audiofiles/effects/EffectText.h"
#include "audiofiles/effects/SoundTouchEffect.h"

class EffectChangePitch : public SoundTouchEffect {
public:
  std::string GetEffectName() const override { return effect_text::kChangePitchName; }
  std::string GetEffectAction() const override { return effect_text::kChangePitchAction; }
  // "Applied effect: Change Pitch... 2.00 semitones"
  std::string GetEffectDescription() const override;

  // Refuses a change SoundTouch cannot make (outside -60 .. +60 semitones).
  bool Init() override;
  bool Process() override;

  // Detects the pitch at the selection's start from the autocorrelation of 8192
  // samples of the first selected track, and the frequency the percent change
  // would give; true when that lies below the detected one. False without a
  // selected track.
  virtual bool AnalysePitch();

  double GetSemitonesChange() const { return mSemitonesChange; }
  void SetSemitonesChange(double semitones) { mSemitonesChange = semitones; }
  // The pitch change as a percentage of frequency; read only by AnalysePitch.
  double GetPercentChange() const { return mPercentChange; }
  void SetPercentChange(double percent) { mPercentChange = percent; }
  float GetDetectedFrequency() const { return mFromFrequency; }
  float GetNewFrequency() const { return mToFrequency; }
  bool GetDirection() const { return mDirection != 0; }

  static constexpr double MaxSemitones = 60.0;

private:
  void SetUpSoundTouch(soundtouch::SoundTouch& st) const override;

  unsigned char mDirection = 0;  // the new frequency lies below the detected one
  double mSemitonesChange = 0.0;
  float mFromFrequency = 0.0f;
  float mToFrequency = 0.0f;
  double mPercentChange = 0.0;
};
