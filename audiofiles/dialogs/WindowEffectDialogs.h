#pragma once
// The effects' parameter dialogs as windows: the program installs this with
// SetEffectDialogs at start-up, and the effects then ask through the real dialogs.
#include "audiofiles/effects/EffectDialogs.h"

class WindowEffectDialogs final : public EffectDialogs {
public:
  bool AmplifyDialog(float* ratio, float peak) override;
  bool EchoDialog(float* delay, float* decay) override;
  bool InsertSilenceDialog(double* duration) override;

  // The one instance of the program.
  static WindowEffectDialogs& Instance();
};
