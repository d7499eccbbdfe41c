// The wave mapper output: 16 blocks of 32 KB queued on the wave mapper device; the
// driver sets the block-free event whenever a block is done.
#include "player/OutputModule.h"

#include <mmsystem.h>

#include "platform/afx/linux_headers_begin.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr DWORD kShadowOffset = 0x80000;
constexpr DWORD kRegionBytes = 0x100000;

struct WaveMapperState {
  HWAVEOUT device;
  WAVEHDR headers[kWaveMapperBlocks];
  DWORD unfilteredLength[kWaveMapperBlocks];
  BYTE* region;  // blocks at 32768 * i, their unfiltered copies 0x80000 further on
  int lastWritten;
};

WaveMapperState* State(OutputModule* module) { return static_cast<WaveMapperState*>(module->ModuleData); }

void WaveMapperOutput_Uninitialise(OutputModule* module) {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  WaveMapperState* s = State(module);
  if (s) {
    if (s->device) {
      waveOutRestart(s->device);
      waveOutReset(s->device);
      for (WAVEHDR& header : s->headers)
        if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(s->device, &header, sizeof header);
    }
    if (s->region) VirtualFree(s->region, 0, MEM_RELEASE);
    if (s->device) waveOutClose(s->device);
    std::free(s);
    module->ModuleData = nullptr;
  }
  if (module->BlockFreeEvent) CloseHandle(module->BlockFreeEvent);
  module->BlockFreeEvent = nullptr;
}

void WaveMapperOutput_Initialise(OutputModule* module, const PlayFileInfo* info, Equaliser* equaliser) {
  auto* s = static_cast<WaveMapperState*>(std::calloc(1, sizeof(WaveMapperState)));
  if (!s) return;
  module->ModuleData = s;
  module->equaliser = equaliser;
  module->BlockFreeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  WAVEFORMATEX format = OutputWaveFormat(info);
  // Without a device there is nothing to wait for: the output stays uninitialised,
  // so the engine reports the failure instead of waiting on a closed event.
  if (waveOutOpen(&s->device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(module->BlockFreeEvent), 0,
                  CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    s->device = nullptr;
    WaveMapperOutput_Uninitialise(module);
    return;
  }
  s->region = static_cast<BYTE*>(VirtualAlloc(nullptr, kRegionBytes, MEM_COMMIT, PAGE_READWRITE));
  if (!s->region) {
    WaveMapperOutput_Uninitialise(module);
    return;
  }
  for (int i = 0; i < kWaveMapperBlocks; ++i) {
    WAVEHDR& header = s->headers[i];
    std::memset(&header, 0, sizeof header);
    header.lpData = reinterpret_cast<LPSTR>(s->region + kWaveMapperBlockBytes * i);
    header.dwBufferLength = kWaveMapperBlockBytes;
    waveOutPrepareHeader(s->device, &header, sizeof header);
  }
  s->lastWritten = 0;
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

void WaveMapperOutput_Refill(OutputModule* module) {
  WaveMapperState* s = State(module);
  if (!s || !s->device) return;
  for (int i = 0; i < kWaveMapperBlocks && module->Codec; ++i) {
    WAVEHDR& header = s->headers[i];
    if (header.dwFlags & WHDR_INQUEUE) continue;
    DWORD length = kWaveMapperBlockBytes;
    BYTE* block = s->region + kWaveMapperBlockBytes * i;
    int more = module->Codec->GetPcmBlock(module->Codec, block, &length);
    if (length > kWaveMapperBlockBytes) length = kWaveMapperBlockBytes;
    header.dwBufferLength = length;
    s->lastWritten = i;
    s->unfilteredLength[i] = length;
    std::memcpy(block + kShadowOffset, block, length);
    if (module->equaliser) module->equaliser->Filter(module->equaliser, block, length);
    if (length != 0) waveOutWrite(s->device, &header, sizeof header);
    if (!more) {
      module->Codec->CloseFile(module->Codec);
      module->Codec = nullptr;
    }
  }
}

void WaveMapperOutput_SetPause(OutputModule* module, int pause) {
  WaveMapperState* s = State(module);
  if (!s || !s->device) return;
  if (pause)
    waveOutPause(s->device);
  else
    waveOutRestart(s->device);
}

int WaveMapperOutput_IsOutputComplete(OutputModule* module) {
  WaveMapperState* s = State(module);
  if (!s || !s->device) return 1;
  for (const WAVEHDR& header : s->headers)
    if (header.dwFlags & WHDR_INQUEUE) return 0;
  return 1;
}

void WaveMapperOutput_Flush(OutputModule* module) {
  WaveMapperState* s = State(module);
  if (!s || !s->device) return;
  waveOutRestart(s->device);
  waveOutReset(s->device);
}

void WaveMapperOutput_EqualiserChanged(OutputModule* module) {
  WaveMapperState* s = State(module);
  if (!s || !s->device || !module->equaliser) return;
  for (int step = 1; step <= kWaveMapperBlocks; ++step) {
    int i = (s->lastWritten + step) % kWaveMapperBlocks;
    WAVEHDR& header = s->headers[i];
    if (!(header.dwFlags & (WHDR_INQUEUE | WHDR_DONE))) continue;
    BYTE* block = s->region + kWaveMapperBlockBytes * i;
    header.dwBufferLength = s->unfilteredLength[i];
    std::memcpy(block, block + kShadowOffset, s->unfilteredLength[i]);
    module->equaliser->Filter(module->equaliser, block, s->unfilteredLength[i]);
  }
}

// The device's own count, which a flush (reset) starts again from 0.
std::uint64_t WaveMapperOutput_GetPlayedBytes(OutputModule* module) {
  WaveMapperState* s = State(module);
  if (!s || !s->device) return 0;
  MMTIME time{};
  time.wType = TIME_BYTES;
  if (waveOutGetPosition(s->device, &time, sizeof time) != MMSYSERR_NOERROR || time.wType != TIME_BYTES)
    return 0;
  return time.u.cb;
}

void WaveMapperOutput_SetVolume(OutputModule* module, int volume) {
  WaveMapperState* s = State(module);
  if (s && s->device) waveOutSetVolume(s->device, WaveOutVolumeFor(volume));
}

}  // namespace

void WaveMapperOutput_Init(OutputModule* module) {
  std::memset(module, 0, sizeof *module);
  module->Initialise = WaveMapperOutput_Initialise;
  module->Uninitialise = WaveMapperOutput_Uninitialise;
  module->Refill = WaveMapperOutput_Refill;
  module->SetPause = WaveMapperOutput_SetPause;
  module->IsOutputComplete = WaveMapperOutput_IsOutputComplete;
  module->Flush = WaveMapperOutput_Flush;
  module->EqualiserChanged = WaveMapperOutput_EqualiserChanged;
  module->SetVolume = WaveMapperOutput_SetVolume;
  module->GetPlayedBytes = WaveMapperOutput_GetPlayedBytes;
  module->Name = "Larkspin Wave mapper";
}
