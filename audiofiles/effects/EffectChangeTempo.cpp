#include "audiofiles/effects/EffectChangeTempo.h"

#include <SoundTouch.h>

#include <cmath>
#include <cstdio>

#include "platform/seams/message_box.h"

std::string EffectChangeTempo::GetEffectDescription() const {
  char text[64];
  std::snprintf(text, sizeof text, " %.1f%%", mPercentChange);
  return "Applied effect: " + GetEffectName() + text;
}

bool EffectChangeTempo::Init() {
  mSoundTouch.reset();
  if (!std::isfinite(mPercentChange) || mPercentChange < MinPercent ||
      mPercentChange > MaxPercent) {
    seams::ShowMessageBox("The tempo change must lie between -95 % and +5000 %.",
                          "Change Tempo", seams::kMbOk | seams::kMbIconError);
    return false;
  }
  mFromLength = mT1 - mT0;
  mToLength = mFromLength * 100.0 / (mPercentChange + 100.0);
  return true;
}

bool EffectChangeTempo::Process() {
  MakeSoundTouch();
  mSoundTouch->setTempoChange(static_cast<float>(mPercentChange));
  const bool ok = SoundTouchEffect::Process();
  DeleteSoundTouch();
  if (!ok) return false;
  mT1 = mT0 + mNewLength;
  return true;
}
