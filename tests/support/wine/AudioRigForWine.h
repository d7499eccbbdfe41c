#pragma once
// The audio test rig for tests under wine, for the length of one test: a private sound
// server with a virtual microphone and speaker. Its client environment (the server for
// Wine's sound and ALSA's route to it for PortAudio) is put into this process before
// anything opens a sound device. Also: running helper programs.
#include "support/wine/GTestWin.h"

#include "platform/afx/linux_headers_begin.h"
#include <sys/types.h>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace winetest {

// Runs a program with the given environment added; its output goes to logFile.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
            const std::string& logFile);
// The program's exit code; -1 when a signal ended it, -2 when it is not known.
int WaitExit(pid_t pid, DWORD timeoutMs);

class AudioRigForWine {
public:
  AudioRigForWine();
  ~AudioRigForWine();
  AudioRigForWine(const AudioRigForWine&) = delete;
  AudioRigForWine& operator=(const AudioRigForWine&) = delete;

  bool Ok() const { return ok_; }
  // Records the speaker until StopRecording; returns the WAV's (Linux) path.
  std::string StartRecording();
  void StopRecording();
  // A sine of amplitude 0.5 into the microphone until StopSine; false when it failed.
  bool StartSine(int frequency);
  void StopSine();

private:
  std::string dir_, script_;
  std::vector<std::string> env_;
  pid_t recorder_ = -1;
  std::string sineModule_;
  bool ok_ = false;
};

}  // namespace winetest
