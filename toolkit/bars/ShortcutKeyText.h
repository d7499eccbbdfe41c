#pragma once
// One accelerator entry as the user reads it, e.g. "Ctrl+Shift+F5", with the key
// names of the user's keyboard layout.
#include "platform/afx/afxwin.h"

class CShortcutKeyText {
public:
  explicit CShortcutKeyText(const ACCEL* accel) : m_lpAccel(accel) {}
  CString Format() const;
  // The layout's name of a virtual key: only its first letter in capitals.
  static CString KeyName(UINT virtualKey);

private:
  const ACCEL* m_lpAccel;
};
