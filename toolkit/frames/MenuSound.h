#pragma once
// The system's menu sounds, played on a worker thread of their own so the user
// interface never waits for a sound. Requests: 1 plays "MenuCommand", 2 "MenuPopup",
// -1 ends the worker.
#include <windows.h>

enum {
  kMenuSoundEnd = -1,
  kMenuSoundNotStarted = -2,
  kMenuSoundIdle = 0,
  kMenuSoundCommand = 1,
  kMenuSoundPopup = 2
};

void PlayMenuSound(int request);
// Menu sounds on or off (on by default; the program switches them off at start-up).
void SetMenuSounds(BOOL on);
BOOL MenuSoundsOn();
// The request word: kMenuSoundNotStarted until the worker first starts.
int MenuSoundRequest();
// How many worker threads have been started in this process.
int MenuSoundWorkerStarts();
