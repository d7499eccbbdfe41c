// A small input plug-in of our own for the player's tests. It "decodes" text files
// that describe a tone: "tone <frequency Hz> <length ms>" plays a sine of amplitude
// 0.5 in 16-bit stereo at 44100 Hz on its own thread; "refuse" is refused.
#include <windows.h>

#include "player/PluginInterface.h"

#include "platform/afx/linux_headers_begin.h"
#include <cmath>
#include <cstdio>
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

PluginModuleRecord g_module;
HANDLE g_thread;
volatile LONG g_stop;
volatile LONG g_seekMs = -1;
int g_frequency;
int g_lengthMs;

constexpr int kRate = 44100;
constexpr int kFramesPerPiece = 576;

DWORD WINAPI DecodeThread(LPVOID) {
  PluginOutputRecord* out = g_module.output;
  if (out->open(kRate, 2, 16, -1, -1) < 0) return 0;
  const long totalFrames = static_cast<long>(g_lengthMs) * kRate / 1000;
  long frame = 0;
  short piece[kFramesPerPiece * 2];
  while (!g_stop) {
    LONG seek = InterlockedExchange(&g_seekMs, -1);
    if (seek >= 0) {
      frame = static_cast<long>(seek) * kRate / 1000;
      out->flush(seek);
    }
    if (frame >= totalFrames) break;
    int frames = kFramesPerPiece;
    if (totalFrames - frame < frames) frames = static_cast<int>(totalFrames - frame);
    for (int i = 0; i < frames; ++i) {
      double v = 0.5 * std::sin(2 * 3.14159265358979 * g_frequency * (frame + i) / kRate);
      piece[2 * i] = piece[2 * i + 1] = static_cast<short>(std::lround(v * 32767));
    }
    int bytes = frames * 4;
    while (!g_stop && g_seekMs < 0 && out->canWrite() < bytes) Sleep(2);
    if (g_stop) break;
    if (g_seekMs >= 0) continue;
    while (!g_stop && out->write(reinterpret_cast<char*>(piece), bytes) != 0) Sleep(2);
    frame += frames;
  }
  // The end of the stream: wait until the output has taken everything.
  while (!g_stop && out->isPlaying()) Sleep(10);
  return 0;
}

void __cdecl Init() {}
void __cdecl Quit() {}

int __cdecl Play(const char* file) {
  HANDLE h = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return -1;
  char text[64] = {};
  DWORD got = 0;
  ReadFile(h, text, sizeof text - 1, &got, nullptr);
  CloseHandle(h);
  if (std::sscanf(text, "tone %d %d", &g_frequency, &g_lengthMs) != 2) return 1;
  g_stop = 0;
  g_seekMs = -1;
  g_thread = CreateThread(nullptr, 0, DecodeThread, nullptr, 0, nullptr);
  return g_thread ? 0 : 1;
}

void __cdecl Stop() {
  if (!g_thread) return;
  InterlockedExchange(&g_stop, 1);
  WaitForSingleObject(g_thread, INFINITE);
  CloseHandle(g_thread);
  g_thread = nullptr;
  g_module.output->close();
}

int __cdecl GetLength() { return g_lengthMs; }
void __cdecl SetOutputTime(int ms) { InterlockedExchange(&g_seekMs, ms); }

// Two pairs: the first lists two extensions, the second claims one the MP3 codec
// already has (the built-in codecs are asked first, so it stays with them).
char g_extensions[] = "tvlt;TVLU\0Test tones\0mp3\0Test tones too\0";

}  // namespace

extern "C" PluginModuleRecord* __cdecl winampGetInModule2() {
  g_module.version = 0x100;
  g_module.description = const_cast<char*>("Test tones");
  g_module.extensions = g_extensions;
  g_module.usesOutput = 1;
  g_module.init = Init;
  g_module.quit = Quit;
  g_module.play = Play;
  g_module.stop = Stop;
  g_module.getLength = GetLength;
  g_module.setOutputTime = SetOutputTime;
  return &g_module;
}
