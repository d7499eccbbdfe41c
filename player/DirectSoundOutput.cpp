// The DirectSound output: one looping 512 KB buffer, refilled from the play cursor
// whenever a 20 ms multimedia timer sets the block-free event.
#include "player/OutputModule.h"
#include "player/PlayerEngine.h"

#include <dsound.h>
#include <mmsystem.h>

#include "platform/afx/linux_headers_begin.h"
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr DWORD kSize = kDirectSoundBufferBytes;
// The write position never catches up with the play cursor exactly: equal positions
// mean "everything free" (after a flush), so a full buffer would look empty and be
// overwritten before it was heard. Four bytes are a whole frame of every format.
constexpr DWORD kGap = 4;

struct DirectSoundState {
  IDirectSoundBuffer* buffer;
  IDirectSound* sound;
  WAVEFORMATEX format;
  LONG writePos;  // -1: nothing written yet
  int wrapped;
  LONG endMark;    // -1: unset
  LONG lastPlay;   // -1: unset
  MMRESULT timer;  // 0: none
  int running;
  BYTE* shadow;  // the unfiltered copy, byte for byte
  BYTE silence;  // 0 for 16-bit, 0x80 for 8-bit
  // What was heard: the file's bytes written, the bytes the play cursor passed (it is
  // read every refill, far more often than it goes round the buffer) and where it was.
  std::uint64_t written;
  std::uint64_t played;
  DWORD lastCursor;
};

DirectSoundState* State(OutputModule* module) { return static_cast<DirectSoundState*>(module->ModuleData); }

void DirectSoundOutput_Uninitialise(OutputModule* module) {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  DirectSoundState* s = State(module);
  if (s) {
    if (s->timer) timeKillEvent(s->timer);
    s->timer = 0;
    if (s->buffer) {
      s->buffer->Stop();
      s->buffer->Release();
    }
    if (s->sound) s->sound->Release();
    std::free(s->shadow);
    std::free(s);
    module->ModuleData = nullptr;
  }
  if (module->BlockFreeEvent) CloseHandle(module->BlockFreeEvent);
  module->BlockFreeEvent = nullptr;
}

DWORD PlayCursor(DirectSoundState* s) {
  DWORD play = 0, write = 0;
  if (FAILED(s->buffer->GetCurrentPosition(&play, &write))) return 0;
  return play % kSize;
}

DWORD GetFree(DirectSoundState* s) {
  DWORD play = PlayCursor(s);
  if (s->writePos < 0) {
    s->writePos = 0;
    return kSize - kGap;
  }
  DWORD write = static_cast<DWORD>(s->writePos);
  return (play + kSize - write - kGap) % kSize;
}

// Follows the play cursor; silence after the file's end is not counted.
std::uint64_t DirectSoundOutput_GetPlayedBytes(OutputModule* module) {
  DirectSoundState* s = State(module);
  if (!s || !s->buffer) return 0;
  const DWORD cursor = PlayCursor(s);
  s->played += (cursor + kSize - s->lastCursor) % kSize;
  s->lastCursor = cursor;
  if (s->played > s->written) s->played = s->written;
  return s->played;
}

void Run(OutputModule* module, int run) {
  DirectSoundState* s = State(module);
  s->running = run;
  if (run) {
    s->buffer->Play(0, 0, DSBPLAY_LOOPING);
    if (!s->timer)
      s->timer = timeSetEvent(20, 10, reinterpret_cast<LPTIMECALLBACK>(module->BlockFreeEvent), 0,
                              TIME_PERIODIC | TIME_CALLBACK_EVENT_SET);
  } else {
    s->buffer->Stop();
    if (s->timer) timeKillEvent(s->timer);
    s->timer = 0;
  }
}

void DirectSoundOutput_Initialise(OutputModule* module, const PlayFileInfo* info, Equaliser* equaliser) {
  auto* s = static_cast<DirectSoundState*>(std::calloc(1, sizeof(DirectSoundState)));
  if (!s) return;
  module->ModuleData = s;
  module->BlockFreeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  module->equaliser = equaliser;
  s->format = OutputWaveFormat(info);
  s->silence = info->bits16 ? 0 : 0x80;
  s->writePos = s->endMark = s->lastPlay = -1;
  if (FAILED(DirectSoundCreate(nullptr, &s->sound, nullptr)) ||
      FAILED(s->sound->SetCooperativeLevel(g_PlayerEngineWindow, DSSCL_NORMAL))) {
    DirectSoundOutput_Uninitialise(module);
    return;
  }
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLVOLUME;
  desc.dwBufferBytes = kSize;
  desc.lpwfxFormat = &s->format;
  s->shadow = static_cast<BYTE*>(std::malloc(kSize));
  void* p1 = nullptr;
  DWORD n1 = 0;
  if (FAILED(s->sound->CreateSoundBuffer(&desc, &s->buffer, nullptr)) || !s->buffer || !s->shadow ||
      FAILED(s->buffer->Lock(0, kSize, &p1, &n1, nullptr, nullptr, 0))) {
    DirectSoundOutput_Uninitialise(module);
    return;
  }
  std::memset(p1, s->silence, n1);
  s->buffer->Unlock(p1, n1, nullptr, 0);
  std::memset(s->shadow, s->silence, kSize);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

void DirectSoundOutput_Refill(OutputModule* module) {
  DirectSoundState* s = State(module);
  if (!s) return;
  DWORD room = GetFree(s);
  if (room > kDirectSoundFirstFillBytes && !s->running) room = kDirectSoundFirstFillBytes;
  if (room > 0) {
    void* p1 = nullptr;
    DWORD n1 = 0;
    if (FAILED(s->buffer->Lock(0, kSize, &p1, &n1, nullptr, nullptr, 0))) {
      DirectSoundOutput_Uninitialise(module);
      return;
    }
    DWORD write = static_cast<DWORD>(s->writePos);
    DWORD n = room;
    if (write + n > kSize) n = kSize - write;
    // Whole frames only.
    n -= n % s->format.nBlockAlign;
    int more = 1;
    DWORD produced = 0;
    if (n > 0 && module->Codec) {
      produced = n;
      more = module->Codec->GetPcmBlock(module->Codec, s->shadow + write, &produced);
      if (produced > n) produced = n;
      std::memcpy(static_cast<BYTE*>(p1) + write, s->shadow + write, produced);
      if (module->equaliser)
        module->equaliser->Filter(module->equaliser, static_cast<BYTE*>(p1) + write, produced);
    }
    s->writePos = static_cast<LONG>((write + produced) % kSize);
    s->written += produced;
    s->buffer->Unlock(p1, n1, nullptr, 0);
    if (!more && module->Codec) {
      module->Codec->CloseFile(module->Codec);
      module->Codec = nullptr;
    }
  }
  s->wrapped = 0;
  s->endMark = -1;
  s->lastPlay = -1;
  if (!s->running) Run(module, 1);
}

void DirectSoundOutput_SetPause(OutputModule* module, int pause) {
  DirectSoundState* s = State(module);
  if (s && s->sound) Run(module, pause ? 0 : 1);
}

int DirectSoundOutput_IsOutputComplete(OutputModule* module) {
  DirectSoundState* s = State(module);
  if (!s || !s->sound || s->writePos < 0) return 1;
  if (s->endMark < 0) s->endMark = s->writePos;
  if (module->Codec) return 0;
  // Silence after the real data, so the looping buffer plays nothing old again.
  DWORD room = GetFree(s);
  if (room > 0) {
    void *p1 = nullptr, *p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    if (SUCCEEDED(s->buffer->Lock(static_cast<DWORD>(s->writePos), room, &p1, &n1, &p2, &n2, 0))) {
      std::memset(p1, s->silence, n1);
      if (p2) std::memset(p2, s->silence, n2);
      s->buffer->Unlock(p1, n1, p2, n2);
      DWORD write = static_cast<DWORD>(s->writePos);
      for (DWORD i = 0; i < room; ++i) s->shadow[(write + i) % kSize] = s->silence;
      s->writePos = static_cast<LONG>((write + room) % kSize);
    }
  }
  LONG play = static_cast<LONG>(PlayCursor(s));
  // A play cursor that merely stood still is no wrap.
  if (s->lastPlay >= 0 && s->lastPlay > play)
    s->wrapped = 1;
  else
    s->lastPlay = play;
  return (s->wrapped && s->endMark < play) ? 1 : 0;
}

void DirectSoundOutput_Flush(OutputModule* module) {
  DirectSoundState* s = State(module);
  if (!s || !s->sound) return;
  Run(module, 0);
  DirectSoundOutput_GetPlayedBytes(module);
  s->writePos = static_cast<LONG>(PlayCursor(s));
  s->written = s->played;  // what was queued is dropped
}

// Filters [from, to) of the locked buffer again.
void Refilter(OutputModule* module, BYTE* data, DWORD from, DWORD to) {
  if (to > from && module->equaliser) module->equaliser->Filter(module->equaliser, data + from, to - from);
}

void DirectSoundOutput_EqualiserChanged(OutputModule* module) {
  DirectSoundState* s = State(module);
  if (!s || !s->buffer || s->writePos < 0) return;
  DWORD play = PlayCursor(s);
  void* p1 = nullptr;
  DWORD n1 = 0;
  if (FAILED(s->buffer->Lock(0, kSize, &p1, &n1, nullptr, nullptr, 0))) return;
  BYTE* data = static_cast<BYTE*>(p1);
  std::memcpy(data, s->shadow, kSize);
  DWORD write = static_cast<DWORD>(s->writePos);
  if (write > play) {
    Refilter(module, data, play, write);
  } else {
    Refilter(module, data, play, kSize);
    Refilter(module, data, 0, write);
  }
  s->buffer->Unlock(p1, n1, nullptr, 0);
}

void DirectSoundOutput_SetVolume(OutputModule* module, int volume) {
  DirectSoundState* s = State(module);
  if (s && s->buffer) s->buffer->SetVolume(DirectSoundVolumeFor(volume));
}

}  // namespace

void DirectSoundOutput_Init(OutputModule* module) {
  std::memset(module, 0, sizeof *module);
  module->Initialise = DirectSoundOutput_Initialise;
  module->Uninitialise = DirectSoundOutput_Uninitialise;
  module->Refill = DirectSoundOutput_Refill;
  module->SetPause = DirectSoundOutput_SetPause;
  module->IsOutputComplete = DirectSoundOutput_IsOutputComplete;
  module->Flush = DirectSoundOutput_Flush;
  module->EqualiserChanged = DirectSoundOutput_EqualiserChanged;
  module->SetVolume = DirectSoundOutput_SetVolume;
  module->GetPlayedBytes = DirectSoundOutput_GetPlayedBytes;
  module->Name = "DirectSound Plugout";
}
