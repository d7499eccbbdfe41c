#pragma once
// An output module plays PCM that it pulls from the attached codec, passes each
// block through the equaliser and signals its block-free event when it has room.
// Both outputs keep an unfiltered copy of everything queued, so new equaliser
// settings can be applied again to audio not yet heard.
#include <windows.h>
#include <mmsystem.h>

#include "platform/afx/linux_headers_begin.h"
#include <cstdint>
#include "platform/afx/linux_headers_end.h"

#include "player/CodecModule.h"
#include "player/Equaliser.h"

struct OutputModule {
  void (*Initialise)(OutputModule* module, const PlayFileInfo* info, Equaliser* equaliser);
  void (*Uninitialise)(OutputModule* module);
  void (*Refill)(OutputModule* module);
  void (*SetPause)(OutputModule* module, int pause);
  int (*IsOutputComplete)(OutputModule* module);
  void (*Flush)(OutputModule* module);
  void (*EqualiserChanged)(OutputModule* module);
  void (*SetVolume)(OutputModule* module, int volume);
  // Bytes of the file's PCM played so far (since Initialise; a flush drops what was
  // queued); null for an output that cannot tell.
  std::uint64_t (*GetPlayedBytes)(OutputModule* module);
  CodecModule* Codec;     // attached codec; Refill clears it when the codec ends
  HANDLE BlockFreeEvent;  // auto-reset; null: refill at once
  const char* Name;
  Equaliser* equaliser;
  void* ModuleData;  // null while uninitialised
};

using OutputModuleInit = void (*)(OutputModule* module);

// The wave format for a file's PCM.
WAVEFORMATEX OutputWaveFormat(const PlayFileInfo* info);

void DirectSoundOutput_Init(OutputModule* module);
void WaveMapperOutput_Init(OutputModule* module);

// DirectSound volume in hundredths of a decibel for 0-100: 100 gives 0, 0 gives -10000.
LONG DirectSoundVolumeFor(int volume);
// Wave-out volume for 0-100, the same in both halves: 100 gives 0xFFFFFFFF.
DWORD WaveOutVolumeFor(int volume);

constexpr DWORD kDirectSoundBufferBytes = 0x80000;
constexpr DWORD kDirectSoundFirstFillBytes = 32768;
constexpr int kWaveMapperBlocks = 16;
constexpr DWORD kWaveMapperBlockBytes = 32768;
