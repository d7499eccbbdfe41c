// A phaser: a chain of all-pass stages whose gain a low-frequency oscillator sweeps,
// mixed with the dry signal. The right channel of a pair runs half a cycle apart.
#pragma once

#include <cstdint>
#include <vector>

#include "audiofiles/effects/BlockEffect.h"
#include "audiofiles/effects/EffectText.h"

class EffectPhaser : public BlockEffect {
public:
  std::string GetEffectName() const override { return effect_text::kPhaserName; }
  std::string GetEffectAction() const override { return effect_text::kPhaserAction; }
  std::string GetEffectDescription() const override;

  void SetParameters(float frequency, float startPhase, float feedback, int depth, int stages, int dryWet) {
    mFreq = frequency;
    mStartPhase = startPhase;
    mFeedback = feedback;
    mDepth = depth;
    mStages = stages;
    mDryWet = dryWet;
  }

protected:
  bool NewTrackSimple() override;
  bool ProcessSimpleBlock(float* buffer, int len) override;

private:
  float mFreq = 0.4f;        // LFO, Hz
  float mStartPhase = 0.0f;  // radians
  float mFeedback = 0.0f;
  int mDepth = 100;  // 0..255
  int mStages = 2;
  int mDryWet = 128;  // 0..255, the wet share

  std::vector<float> mOld;  // one memory per stage
  std::uint64_t mSkipCount = 0;
  float mGain = 0.0f;
  float mFbOut = 0.0f;
  double mLfoSkip = 0.0;
  double mPhase = 0.0;
};
