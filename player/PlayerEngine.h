#pragma once
// The playback engine: one engine thread owns every codec and output; the rest of the
// program talks to it by the thread messages of PlayerMessages.h (through the
// functions below, callable from any thread) and hears from it by window messages
// posted to one notify window.
#include <windows.h>
#include <mmsystem.h>

#include "player/OutputModule.h"
#include "player/PlayerMessages.h"
#include "player/PlayerTypes.h"

struct PlayerEngine {
  HANDLE thread;
  DWORD threadId;     // target of every command
  HANDLE readyEvent;  // only while the engine is being created
  HWND notifyWindow;
  HMIXER mixer;  // null when no output-volume mixer could be opened
  DWORD volumeControlId;
};

// The window DirectSound uses for its cooperative level; set before PlayerEngine_Create.
extern HWND g_PlayerEngineWindow;
// The output the output-switch command (0x800D) selects; 1 when an engine starts.
extern volatile LONG g_PlayerOutputIndex;
// The constructors of the two outputs, [0] wave mapper and [1] DirectSound. Tests put
// an output of their own here before creating an engine.
extern OutputModuleInit g_PlayerOutputConstructors[2];

PlayerEngine* PlayerEngine_Create(HWND notifyWindow);
void PlayerEngine_Destroy(PlayerEngine* engine);
void PlayerEngine_OpenFile(PlayerEngine* engine, const char* path);
void PlayerEngine_Play(PlayerEngine* engine);
void PlayerEngine_Stop(PlayerEngine* engine);
void PlayerEngine_Pause(PlayerEngine* engine);
void PlayerEngine_SetVolume(PlayerEngine* engine, int volume);
void PlayerEngine_OpenVolumeMixer(PlayerEngine* engine);
