#pragma once
// Driving the program itself from a window test: its settings in the registry, one
// running copy started as the wine runner starts it, and what its files hold as an
// outside decoder reads them.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include <sys/types.h>
#include "platform/afx/linux_headers_end.h"

namespace winetest {

// The program's settings under HKEY_CURRENT_USER\Software\Tarvel\<section>.
inline constexpr const char* kProgramKey = "Software\\Tarvel";
void ClearProgramSettings();
bool WriteProgramValue(const char* section, const char* name, DWORD type, const void* data, DWORD size);
bool WriteProgramDword(const char* section, const char* name, DWORD value);
bool WriteProgramString(const char* section, const char* name, const std::string& value);
bool WriteProgramDouble(const char* section, const char* name, double value);
DWORD ReadProgramDword(const char* section, const char* name, DWORD fallback);
std::string ReadProgramString(const char* section, const char* name);

// The settings a user of the audio rig would have chosen: the rig's devices, 16-bit
// stereo at 44.1 kHz, recording mode `mode` (0 editing, 1 directly saving), output type
// fileType (0 MP3, 1 WAV, 2 Ogg), takes saved when they stop as "take001…" in
// outputFolder, the copies' temporary folders in tempFolder (Windows paths); no silence
// detection, time limit or split.
void WriteRecordingSettings(int mode, int fileType, const std::string& outputFolder,
                            const std::string& tempFolder);

// What a file decodes to through sox (16-bit mono at 44.1 kHz): its length, the
// frequency from the median interval between rising zero crossings, and its peak.
struct Decoded {
  double seconds = 0;
  double frequency = 0;
  double amplitude = 0;
};
Decoded DecodeWithSox(const std::string& unixPath, const std::string& scratchPath);

// The path of the folder's file called name in any case; empty when there is none.
std::string FindFileNoCase(const std::string& folder, const std::string& name);
// The folder's entries, separated by blanks, for messages.
std::string ListFolder(const std::string& folder);
// The names of the folder's files that end in extension (any case), sorted.
std::vector<std::string> FilesEndingIn(const std::string& folder, const std::string& extension);
off_t FileSizeOf(const std::string& unixPath);
// Waits until the file exists and its size stays the same over a few looks.
bool WaitForSettledFile(const std::string& unixPath, DWORD timeoutMs);

// A message box of the program ("Tarvel" in its caption) that shows within timeoutMs;
// null when none. Its text goes to text.
HWND WaitForProgramMessageBox(DWORD timeoutMs, std::string* text, HWND except = nullptr);

// One running copy of the program.
class ProgramCopy {
public:
  ProgramCopy() = default;
  ~ProgramCopy();
  ProgramCopy(const ProgramCopy&) = delete;
  ProgramCopy& operator=(const ProgramCopy&) = delete;

  // Starts the program (the test binary's own, by default) with these arguments; its
  // output goes to log.
#ifdef TARVEL_PROGRAM
  bool Start(const std::vector<std::string>& args, const std::string& log) {
    return StartProgram(TARVEL_PROGRAM, args, log);
  }
#endif
  bool StartProgram(const std::string& program, const std::vector<std::string>& args, const std::string& log);
  // Waits for a visible top-level window of exactly this title that belongs to no
  // other copy of this test; it becomes this copy's main window.
  HWND WaitForMainWindow(const std::string& title, DWORD timeoutMs = 30000);
  HWND Main() const { return m_main; }
  pid_t Pid() const { return m_pid; }
  bool Running();

  // The control panel docked in the main window (the transport buttons' parent).
  HWND ControlPanel() const;
  // A command of the main window's menus and toolbars.
  void Command(UINT id) const;

  // Closes the main window as a user does, answering No to a save question; killed
  // when it has not ended after timeoutMs. True when it ended by itself.
  bool Close(DWORD timeoutMs = 15000);
  // Ends the copy at once, as a crash or a power cut would.
  void Kill();
  // The exit code; -1 for a signal, -2 while it still runs after timeoutMs.
  int WaitForExit(DWORD timeoutMs);

private:
  pid_t m_pid = -1;
  bool m_ended = false;
  int m_code = 0;
  HWND m_main = nullptr;
};

}  // namespace winetest
