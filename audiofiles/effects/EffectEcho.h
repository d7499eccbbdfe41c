// A feedback echo inside the selection: each sample becomes x[k] + decay * y[k - d],
// where y is the already echoed signal and d the delay in samples. The first d
// samples stay as they are and no tail is added past the selection.
#pragma once

#include <cstdint>

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectText.h"

class EffectEcho : public Effect {
public:
  std::string GetEffectName() const override { return effect_text::kEchoName; }
  std::string GetEffectAction() const override { return effect_text::kEchoAction; }
  // "Applied effect: Echo..."
  std::string GetEffectDescription() const override { return effect_text::kAppliedEffect + GetEffectName(); }

  bool PromptUser() override;
  bool Process() override;

  float GetDelay() const { return mDelay; }
  float GetDecay() const { return mDecay; }
  void SetParameters(float delay, float decay) {
    mDelay = delay;
    mDecay = decay;
  }

private:
  bool ProcessOne(WaveTrack* track, std::int64_t s0, std::int64_t length);

  float mDelay = 1.0f;  // seconds; kept between runs
  float mDecay = 0.5f;  // ratio
  int mCurTrackNum = 0;
};
