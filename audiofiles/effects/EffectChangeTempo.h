// Change Tempo: makes the selection faster or slower by a percentage and keeps its
// pitch (through SoundTouch).
#pragma once

#include "audiofiles/effects/EffectText.h"
#include "audiofiles/effects/SoundTouchEffect.h"

class EffectChangeTempo : public SoundTouchEffect {
public:
  std::string GetEffectName() const override { return effect_text::kChangeTempoName; }
  std::string GetEffectAction() const override { return effect_text::kChangeTempoAction; }
  // "Applied effect: Change Tempo... 25.0%"
  std::string GetEffectDescription() const override;

  // Notes the selection's length and the length the change will give. Refuses a
  // change SoundTouch cannot make (outside -95 .. +5000 percent).
  bool Init() override;
  bool Process() override;

  double GetPercentChange() const { return mPercentChange; }
  void SetPercentChange(double percent) { mPercentChange = percent; }
  double GetFromLength() const { return mFromLength; }
  double GetToLength() const { return mToLength; }

  static constexpr double MinPercent = -95.0;
  static constexpr double MaxPercent = 5000.0;

private:
  void SetUpSoundTouch(soundtouch::SoundTouch& st) const override;

  double mPercentChange = 0.0;
  double mFromLength = 0.0;  // the selection's length, seconds
  double mToLength = 0.0;    // its length after the change
};
