#pragma once
// The system's volume control, started for the control panel's Speaker and Microphone
// buttons: "sndvol32.exe" where the system has it, else the desktop's own mixer
// program found on the search path.
#include "platform/afx/afxwin.h"

// Starts the playback (record false) or recording volume control; false when the
// system has none.
bool StartSystemVolumeControl(bool record);
