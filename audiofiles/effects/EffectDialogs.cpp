#include "audiofiles/effects/EffectDialogs.h"

#include <atomic>

bool EffectDialogs::AmplifyDialog(float*, float) { return true; }
bool EffectDialogs::EchoDialog(float*, float*) { return true; }
bool EffectDialogs::InsertSilenceDialog(double*) { return true; }

namespace {
std::atomic<EffectDialogs*> g_dialogs{nullptr};
}

EffectDialogs* SetEffectDialogs(EffectDialogs* dialogs) { return g_dialogs.exchange(dialogs); }

EffectDialogs& GetEffectDialogs() {
  static EffectDialogs accepting;
  EffectDialogs* dialogs = g_dialogs.load();
  return dialogs ? *dialogs : accepting;
}
