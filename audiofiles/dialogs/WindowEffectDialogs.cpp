#include "audiofiles/dialogs/WindowEffectDialogs.h"

#include "audiofiles/dialogs/AmplifyDlg.h"
#include "audiofiles/dialogs/EchoDlg.h"
#include "audiofiles/dialogs/InsertSilenceDlg.h"

// Each dialog is modal, owned by the main window; a dialog that cannot be shown
// counts as cancelled, so the effect changes nothing.

bool WindowEffectDialogs::AmplifyDialog(float* ratio, float peak) {
  CAmplifyDlg dialog(*ratio, peak);
  if (dialog.DoModal() != IDOK) return false;
  *ratio = static_cast<float>(dialog.GetRatio());
  return true;
}

bool WindowEffectDialogs::EchoDialog(float* delay, float* decay) {
  CEchoDlg dialog(*delay, *decay);
  if (dialog.DoModal() != IDOK) return false;
  *delay = static_cast<float>(dialog.GetDelay());
  *decay = static_cast<float>(dialog.GetDecay());
  return true;
}

bool WindowEffectDialogs::InsertSilenceDialog(double* duration) {
  CInsertSilenceDlg dialog(*duration);
  if (dialog.DoModal() != IDOK) return false;
  *duration = dialog.GetDuration();
  return true;
}

WindowEffectDialogs& WindowEffectDialogs::Instance() {
  static WindowEffectDialogs dialogs;
  return dialogs;
}
