#include "toolkit/frames/MenuSound.h"

#include <mmsystem.h>

namespace {

BOOL g_soundsOn = TRUE;
volatile LONG g_request = kMenuSoundNotStarted;
HANDLE g_thread = nullptr;
int g_starts = 0;

// Made on first use and never destroyed: a process-lifetime lock needs no teardown.
CRITICAL_SECTION* StartLock() {
  static CRITICAL_SECTION lock;
  static bool made = false;
  if (!made) {
    ::InitializeCriticalSection(&lock);
    made = true;
  }
  return &lock;
}

DWORD WINAPI MenuSoundWorker(void*) {
  for (;;) {
    LONG request = ::InterlockedCompareExchange(&g_request, 0, 0);
    if (request == kMenuSoundEnd) break;
    if (request == kMenuSoundCommand || request == kMenuSoundPopup) {
      ::PlaySoundA(request == kMenuSoundCommand ? "MenuCommand" : "MenuPopup", nullptr,
                   SND_ALIAS | SND_NOWAIT | SND_NODEFAULT);
      ::InterlockedCompareExchange(&g_request, 0, request);
    }
    ::Sleep(5);
  }
  ::PlaySoundA(nullptr, nullptr, SND_PURGE);
  return 0;
}

}  // namespace

void SetMenuSounds(BOOL on) { g_soundsOn = on; }
BOOL MenuSoundsOn() { return g_soundsOn; }
int MenuSoundRequest() { return static_cast<int>(g_request); }
int MenuSoundWorkerStarts() { return g_starts; }

void PlayMenuSound(int request) {
  if (!g_soundsOn) return;
  if (g_request != kMenuSoundNotStarted) {
    ::InterlockedExchange(&g_request, request);
    if (request == kMenuSoundEnd || request == kMenuSoundNotStarted) {
      if (g_thread) ::CloseHandle(g_thread);
      g_thread = nullptr;
    }
    return;
  }
  if (request == kMenuSoundEnd) return;
  ::EnterCriticalSection(StartLock());
  if (g_request == kMenuSoundNotStarted) {
    // Threads that call Win32 are made by Win32 here.
    g_request = request;
    g_thread = ::CreateThread(nullptr, 0, MenuSoundWorker, nullptr, 0, nullptr);
    if (g_thread) {
      ++g_starts;
      ::SetThreadPriority(g_thread, THREAD_PRIORITY_BELOW_NORMAL);
    } else {
      g_request = kMenuSoundNotStarted;
    }
  }
  ::LeaveCriticalSection(StartLock());
}
