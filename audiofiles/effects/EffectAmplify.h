// Multiplies the selection by a ratio chosen in the Amplify dialog.
#pragma once

#include "audiofiles/effects/BlockEffect.h"
#include "audiofiles/effects/EffectText.h"

class EffectAmplify : public BlockEffect {
public:
  std::string GetEffectName() const override { return effect_text::kAmplifyName; }
  std::string GetEffectAction() const override { return effect_text::kAmplifyAction; }
  // "Applied effect: Amplify... 6.0 dB"
  std::string GetEffectDescription() const override;

  // Measures the selection's peak for the dialog.
  bool Init() override;
  bool PromptUser() override;

  float GetRatio() const { return mRatio; }
  void SetRatio(float ratio) { mRatio = ratio; }
  float GetPeak() const { return mPeak; }

protected:
  bool ProcessSimpleBlock(float* buffer, int len) override;

private:
  float mRatio = 1.0f;  // kept between runs
  float mPeak = 0.0f;   // largest absolute sample of the selection
};
