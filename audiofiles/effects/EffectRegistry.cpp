#include "audiofiles/effects/EffectRegistry.h"

#include <cctype>

#include "audiofiles/effects/Effect.h"
#include "audiofiles/effects/EffectAmplify.h"
#include "audiofiles/effects/EffectBassBoost.h"
#include "audiofiles/effects/EffectChangePitch.h"
#include "audiofiles/effects/EffectChangeSpeed.h"
#include "audiofiles/effects/EffectChangeTempo.h"
#include "audiofiles/effects/EffectCompressor.h"
#include "audiofiles/effects/EffectEcho.h"
#include "audiofiles/effects/EffectEqualization.h"
#include "audiofiles/effects/EffectFadeIn.h"
#include "audiofiles/effects/EffectFadeOut.h"
#include "audiofiles/effects/EffectFFTFilter.h"
#include "audiofiles/effects/EffectInvert.h"
#include "audiofiles/effects/EffectNoiseRemoval.h"
#include "audiofiles/effects/EffectNormalize.h"
#include "audiofiles/effects/EffectPhaser.h"
#include "audiofiles/effects/EffectRepeat.h"
#include "audiofiles/effects/EffectReverse.h"
#include "audiofiles/effects/EffectSilence.h"
#include "audiofiles/effects/EffectTone.h"
#include "audiofiles/effects/EffectWahwah.h"
#include "audiofiles/effects/EffectWhiteNoise.h"

namespace {

std::vector<Effect*>& Registry() {
  static std::vector<Effect*> effects;
  return effects;
}

int g_nextEffectID = 0;

}  // namespace

int CompareEffectNames(const std::string& a, const std::string& b) {
  // Only ASCII letters fold; the bytes of multibyte characters compare as they are.
  auto fold = [](char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u < 0x80 ? std::tolower(u) : static_cast<int>(u);
  };
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = fold(a[i]), cb = fold(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void RegisterEffect(Effect* effect) {
  if (!effect) return;
  effect->SetEffectID(g_nextEffectID++);
  auto& effects = Registry();
  const std::string name = effect->GetEffectName();
  auto it = effects.begin();
  while (it != effects.end() && CompareEffectNames((*it)->GetEffectName(), name) <= 0) ++it;
  effects.insert(it, effect);
}

void RegisterAllEffects() {
  // The order gives the effect ids.
  RegisterEffect(new EffectWhiteNoise());
  RegisterEffect(new EffectSilence());
  RegisterEffect(new EffectTone());
  RegisterEffect(new EffectAmplify());
  RegisterEffect(new EffectBassBoost());
  RegisterEffect(new EffectChangeSpeed());
  RegisterEffect(new EffectChangePitch());
  RegisterEffect(new EffectChangeTempo());
  RegisterEffect(new EffectCompressor());
  RegisterEffect(new EffectEcho());
  RegisterEffect(new EffectEqualization());
  RegisterEffect(new EffectFadeIn());
  RegisterEffect(new EffectFadeOut());
  RegisterEffect(new EffectFFTFilter());
  RegisterEffect(new EffectInvert());
  RegisterEffect(new EffectNoiseRemoval());
  RegisterEffect(new EffectNormalize());
  RegisterEffect(new EffectPhaser());
  RegisterEffect(new EffectRepeat());
  RegisterEffect(new EffectReverse());
  RegisterEffect(new EffectWahwah());
}

void UnregisterAllEffects() {
  auto& effects = Registry();
  for (Effect* effect : effects) delete effect;
  effects.clear();
  effects.shrink_to_fit();
}

std::vector<Effect*> GetEffectsByFlags(int flags) {
  std::vector<Effect*> result;
  for (Effect* effect : Registry()) {
    const int own = effect->GetEffectFlags();
    if ((own & flags) == own) result.push_back(effect);
  }
  return result;
}

Effect* FindEffect(int flags, const std::string& name) {
  for (Effect* effect : GetEffectsByFlags(flags))
    if (CompareEffectNames(effect->GetEffectName(), name) == 0) return effect;
  return nullptr;
}

std::string GetEffectShortName(const std::string& name) {
  if (name.size() > 3 && name.compare(name.size() - 3, 3, "...") == 0) return name.substr(0, name.size() - 3);
  return name;
}
