#pragma once
// Small records shared by the playback engine's modules.
#include <windows.h>

// What a codec tells about its open file (posted to the notify window with 0x8102;
// the receiver frees it with free()).
struct PlayFileInfo {
  DWORD lengthSeconds;  // whole seconds
  DWORD kbps;           // 0 when the codec has no bit rate
  DWORD sampleRate;     // Hz
  DWORD stereo;         // 1 = two channels
  DWORD bits16;         // 1 = 16-bit samples, 0 = 8-bit
};

// Equaliser settings handed to the engine with 0x800C (the engine frees them).
struct EqualiserSettings {
  DWORD enabled;
  signed char bands[8];  // bands[0] lowest .. bands[7] highest; 0 = unity
};
