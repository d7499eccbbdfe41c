#include "audiofiles/effects/EffectChangeTempo.h"

#include <SoundTouch.h>

#include <cmath>
#include <cstdio>

#include "platform/seams/MessageBox.h"

std::string EffectChangeTempo::GetEffectDescription() const {
  char text[64];
  std::snprintf(text, sizeof text, effect_text::kPercentDetailFormat, mPercentChange);
  return effect_text::kAppliedEffect + GetEffectName() + text;
}

bool EffectChangeTempo::Init() {
  mSoundTouch.reset();
  if (!std::isfinite(mPercentChange) || mPercentChange < MinPercent || mPercentChange > MaxPercent) {
    seams::ShowMessageBox(effect_text::kTempoOutOfRange, effect_text::kChangeTempoCaption,
                          seams::kMbOk | seams::kMbIconError);
    return false;
  }
  mFromLength = mT1 - mT0;
  mToLength = mFromLength * 100.0 / (mPercentChange + 100.0);
  return true;
}

void EffectChangeTempo::SetUpSoundTouch(soundtouch::SoundTouch& st) const {
  st.setTempoChange(static_cast<float>(mPercentChange));
}

bool EffectChangeTempo::Process() {
  MakeSoundTouch();
  const bool ok = SoundTouchEffect::Process();
  DeleteSoundTouch();
  if (!ok) return false;
  mT1 = mT0 + mNewLength;
  return true;
}
