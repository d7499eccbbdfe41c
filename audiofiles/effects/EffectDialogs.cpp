#include "audiofiles/effects/EffectDialogs.h"

#include <atomic>

bool EffectDialogs::AmplifyDialog(float*, float) { return true; }
bool EffectDialogs::EchoDialog(float*, float*) { return true; }
bool EffectDialogs::InsertSilenceDialog(double*) { return true; }

namespace {
std::atomic<EffectDialogs*> gDialogs{nullptr};
}

EffectDialogs* SetEffectDialogs(EffectDialogs* dialogs) { return gDialogs.exchange(dialogs); }

EffectDialogs& GetEffectDialogs() {
  static EffectDialogs accepting;
  EffectDialogs* dialogs = gDialogs.load();
  return dialogs ? *dialogs : accepting;
}
