// The parameter dialogs the effects ask through.
//
// The dialogs themselves are windows; the effects reach them only through this
// interface. The window tier installs its implementation at start-up; without one
// every dialog accepts the values it is given unchanged (as if OK was pressed at
// once). Each call gets the effect's current values and, on OK (true), leaves the
// chosen values in them; on Cancel (false) the effect keeps its values.
#pragma once

class EffectDialogs {
public:
  virtual ~EffectDialogs() = default;

  // Amplify: the ratio to apply (in and out) and the selection's peak (shown only).
  virtual bool AmplifyDialog(float* ratio, float peak);
  // Echo: delay in seconds [0, 60] and decay ratio (0, 1].
  virtual bool EchoDialog(float* delay, float* decay);
  // Insert Silence: duration in seconds [0, 300].
  virtual bool InsertSilenceDialog(double* duration);
};

// Installs the dialogs (null: the accepting default); returns the previous ones.
EffectDialogs* SetEffectDialogs(EffectDialogs* dialogs);
// The installed dialogs, or the accepting default.
EffectDialogs& GetEffectDialogs();
