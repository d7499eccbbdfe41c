#pragma once
// Engine commands (thread messages to the engine thread) and engine notifications
// (window messages to the notify window).
#include <windows.h>

enum EngineCommand : UINT {
  kCmdQuit = 0x8001,
  kCmdOpen = 0x8002,  // wParam: heap copy of the path (the engine frees it)
  kCmdSeek = 0x8003,  // wParam / lParam: the fraction of the file
  kCmdPlay = 0x8004,
  kCmdStop = 0x8005,
  kCmdPause = 0x8006,
  kCmdIgnored = 0x8007,
  kCmdProgressRange = 0x8008,  // wParam: range, 0 = no progress notifications
  kCmdEcho = 0x8009,           // wParam comes back as kNotifyEcho
  kCmdDrain = 0x800A,
  kCmdListOutputs = 0x800B,
  kCmdEqualiser = 0x800C,  // wParam: heap EqualiserSettings (the engine frees it)
  kCmdSelectOutput = 0x800D,
  kCmdRegisterTypes = 0x800E,
  kCmdVolume = 0x800F,  // wParam: 0-100
};

enum EngineNotification : UINT {
  kNotifyState = 0x8101,     // wParam: one of EngineStateCode
  kNotifyFileInfo = 0x8102,  // wParam: heap PlayFileInfo (the receiver frees it)
  kNotifyPosition = 0x8103,  // wParam: seconds
  kNotifyProgress = 0x8104,  // wParam: trunc(position / length * range)
  kNotifyEcho = 0x8105,
  kNotifyOutputName = 0x8106,  // wParam: heap copy of the name (receiver frees), lParam: index
  kNotifyBuffering = 0x8107,   // wParam: 1 buffering / 0 done, lParam: ring fill percent
};

enum EngineStateCode : WPARAM {
  kStateNoFile = 1,  // an open failed, or the codec reached the end of the file
  kStatePaused = 2,
  kStatePlaying = 3,
  kStateStopped = 4,
};
