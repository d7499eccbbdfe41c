// Repeat: puts several copies of the selection in its place (the selection and
// `count` repetitions after it), and stretches the selection over them.
#pragma once

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectText.h"

class EffectRepeat : public Effect {
public:
  std::string GetEffectName() const override { return effect_text::kRepeatName; }
  std::string GetEffectAction() const override { return effect_text::kRepeatAction; }
  // "Repeated 10 times"
  std::string GetEffectDescription() const override;

  // Checks that the repetitions fit in every selected track; tells the user and
  // refuses when they do not, when the selection is empty, or when the count is
  // negative.
  bool PromptUser() override;
  bool Process() override;

  int GetCount() const { return mRepeatCount; }
  void SetCount(int count) { mRepeatCount = count; }

private:
  int mRepeatCount = 10;
};
