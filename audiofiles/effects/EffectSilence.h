// Inserts silence of a chosen duration at the start of the selection in every
// selected track and selects the inserted stretch. A generator: the document makes a
// track for it when none is selected.
#pragma once

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectText.h"

class EffectSilence : public Effect {
public:
  std::string GetEffectName() const override { return effect_text::kSilenceName; }
  std::string GetEffectAction() const override { return effect_text::kSilenceAction; }
  std::string GetEffectDescription() const override { return effect_text::kSilenceDescription; }
  int GetEffectFlags() const override { return GeneratorEffectFlags; }

  bool PromptUser() override;
  bool Process() override;

  double GetDuration() const { return mDuration; }
  void SetDuration(double seconds) { mDuration = seconds; }

private:
  double mDuration = 30.0;  // seconds; kept between runs
};
