#include "app/controls/VolumeControl.h"

#include "platform/seams/win32/Win32Paths.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include <string>
#include <unistd.h>
#include "platform/afx/linux_headers_end.h"

namespace {

// Mixer programs of the desktop, most common first.
const char* const kMixers[] = {"pavucontrol", "pavucontrol-qt", "gnome-alsamixer",
                               "qasmixer",    "xfce4-mixer",    "mate-volume-control"};

bool StartProcess(std::string command) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &process))
    return false;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

#ifdef __WINE__
// The executable of that name on the system's search path; empty when none.
std::string FindOnSearchPath(const char* name) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = folders.substr(start, end - start);
    if (!folder.empty()) {
      const std::string candidate = folder + "/" + name;
      if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    start = end + 1;
  }
  return std::string();
}

// The program's path as Windows names it, quoted for a command line.
std::string CommandFor(const std::string& unixPath) {
  const std::string dos = seams::WindowsPathOf(unixPath);
  return dos.empty() ? dos : "\"" + dos + "\"";
}
#endif

}  // namespace

bool StartSystemVolumeControl(bool record) {
  if (StartProcess(std::string("sndvol32.exe") + (record ? " /r" : ""))) return true;
#ifdef __WINE__
  // Under Wine there is no sndvol32: the desktop's own mixer takes its place.
  for (const char* mixer : kMixers) {
    const std::string found = FindOnSearchPath(mixer);
    if (found.empty()) continue;
    const std::string command = CommandFor(found);
    if (!command.empty() && StartProcess(command)) return true;
  }
#endif
  return false;
}
