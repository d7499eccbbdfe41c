#include "support/wine/ProgramDriver.h"

#include "support/wine/AudioRigForWine.h"
#include "support/wine/Wait.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <dirent.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include "platform/afx/linux_headers_end.h"

namespace winetest {

namespace {

constexpr UINT kControlPanelId = 10000;

std::string SectionPath(const char* section) { return std::string(kProgramKey) + "\\" + section; }

// Main windows that copies of this test process have claimed, so that a second copy
// with the same title finds its own.
std::vector<HWND>& Claimed() {
  static std::vector<HWND> claimed;
  return claimed;
}

struct TitleSearch {
  const std::string* title;
  HWND found;
};

BOOL CALLBACK FindUnclaimedTopLevel(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<TitleSearch*>(param);
  char text[512] = {};
  ::GetWindowTextA(hwnd, text, sizeof text);
  if (::IsWindowVisible(hwnd) && *search->title == text &&
      std::find(Claimed().begin(), Claimed().end(), hwnd) == Claimed().end()) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct IdSearch {
  UINT id;
  HWND found;
};

BOOL CALLBACK FindChildById(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<IdSearch*>(param);
  if (static_cast<UINT>(::GetDlgCtrlID(window)) == search->id) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

void ClearProgramSettings() { ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey); }

bool WriteProgramValue(const char* section, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG status = ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool WriteProgramDword(const char* section, const char* name, DWORD value) {
  return WriteProgramValue(section, name, REG_DWORD, &value, sizeof value);
}

bool WriteProgramString(const char* section, const char* name, const std::string& value) {
  return WriteProgramValue(section, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

bool WriteProgramDouble(const char* section, const char* name, double value) {
  // Doubles are stored as their 8 bytes.
  return WriteProgramValue(section, name, REG_BINARY, &value, sizeof value);
}

DWORD ReadProgramDword(const char* section, const char* name, DWORD fallback) {
  DWORD value = 0, size = sizeof value, type = 0;
  HKEY key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return fallback;
  const LONG status = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_DWORD ? value : fallback;
}

std::string ReadProgramString(const char* section, const char* name) {
  char text[1024] = {};
  DWORD size = sizeof text - 1, type = 0;
  HKEY key;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return "";
  const LONG status = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  ::RegCloseKey(key);
  return status == ERROR_SUCCESS && type == REG_SZ ? text : "";
}

void WriteRecordingSettings(int mode, int fileType, const std::string& outputFolder,
                            const std::string& tempFolder) {
  WriteProgramString("SoundDeviceOptions", "PlaybackDeviceName", "testspk");
  WriteProgramString("SoundDeviceOptions", "RecordDeviceName", "testmic");
  WriteProgramDword("SoundDeviceOptions", "ChannelCount", 2);
  WriteProgramDword("SoundDeviceOptions", "SampleFormat", 0x20001);
  WriteProgramDword("SoundDeviceOptions", "SampleRate", 44100);
  WriteProgramDword("AdvanceRecordSetting", "ActiveRecordingMode", static_cast<DWORD>(mode));
  WriteProgramDword("AdvanceRecordSetting", "EnableSilenceDetection", 0);
  WriteProgramDword("AdvanceRecordSetting", "TimeLimitType", 0);
  WriteProgramDword("AdvanceRecordSetting", "EnableAutoSplit", 0);
  WriteProgramDword("FileOutputOptions", "bSaveFile", 1);
  WriteProgramDword("FileOutputOptions", "bAutoName", 1);
  WriteProgramDword("FileOutputOptions", "bReplaceExistingFile", 1);
  WriteProgramDword("FileOutputOptions", "eFileType", static_cast<DWORD>(fileType));
  WriteProgramString("FileOutputOptions", "strAutoNameFolder", outputFolder + "\\");
  WriteProgramString("FileOutputOptions", "strFileLeadName", "take");
  WriteProgramDword("FileOutputOptions", "uFileNameDigitCount", 3);
  WriteProgramDword("FileOutputOptions", "uStartNO", 1);
  WriteProgramString("FileOutputOptions", "strTempFolder", tempFolder + "\\");
}

Decoded DecodeWithSox(const std::string& unixPath, const std::string& scratchPath) {
  Decoded d;
  const pid_t pid = Spawn({"sox", unixPath, "-t", "raw", "-e", "signed", "-b", "16", "-c", "1", "-r", "44100",
                           scratchPath, "remix", "1"},
                          {}, "/dev/null");
  if (pid <= 0 || WaitExit(pid, 60000) != 0) return d;
  std::ifstream in(scratchPath, std::ios::binary);
  std::vector<short> samples;
  short sample;
  while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) samples.push_back(sample);
  std::remove(scratchPath.c_str());
  d.seconds = samples.size() / 44100.0;
  std::vector<double> intervals;
  double lastCrossing = -1;
  bool below = true;
  for (size_t i = 1; i < samples.size(); ++i) {
    d.amplitude = std::max(d.amplitude, std::abs(samples[i]) / 32768.0);
    if (samples[i] < -1000) below = true;
    if (below && samples[i - 1] < 0 && samples[i] >= 0) {
      const double at = i - 1 + static_cast<double>(-samples[i - 1]) / (samples[i] - samples[i - 1]);
      if (lastCrossing >= 0) intervals.push_back(at - lastCrossing);
      lastCrossing = at;
      below = false;
    }
  }
  if (!intervals.empty()) {
    std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
    d.frequency = 44100.0 / intervals[intervals.size() / 2];
  }
  return d;
}

std::string FindFileNoCase(const std::string& folder, const std::string& name) {
  std::string found;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir))
      if (::strcasecmp(entry->d_name, name.c_str()) == 0) found = folder + "/" + entry->d_name;
    ::closedir(dir);
  }
  return found;
}

std::string ListFolder(const std::string& folder) {
  std::string names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir)) names += std::string(entry->d_name) + " ";
    ::closedir(dir);
  }
  return names;
}

std::vector<std::string> FilesEndingIn(const std::string& folder, const std::string& extension) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > extension.size() &&
          ::strcasecmp(name.c_str() + name.size() - extension.size(), extension.c_str()) == 0)
        names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

off_t FileSizeOf(const std::string& unixPath) {
  struct stat s {};
  return ::stat(unixPath.c_str(), &s) == 0 ? s.st_size : -1;
}

bool WaitForSettledFile(const std::string& unixPath, DWORD timeoutMs) {
  off_t last = -1;
  int same = 0;
  return WaitUntil(
      [&] {
        const off_t size = FileSizeOf(unixPath);
        same = size >= 0 && size == last ? same + 1 : 0;
        last = size;
        ::Sleep(300);
        return same >= 2;
      },
      timeoutMs);
}

HWND WaitForProgramMessageBox(DWORD timeoutMs, std::string* text, HWND except) {
  HWND box = nullptr;
  WaitUntil(
      [&] {
        box = ::FindWindowA("#32770", "Tarvel");
        return box != nullptr && box != except && ::IsWindowVisible(box);
      },
      timeoutMs);
  if (!box || box == except) return nullptr;
  if (text) {
    text->clear();
    // The text is the box's longest static.
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      char className[32] = {}, line[2048] = {};
      ::GetClassNameA(child, className, sizeof className);
      ::GetWindowTextA(child, line, sizeof line);
      if (::lstrcmpiA(className, "Static") == 0 && std::string(line).size() > text->size()) *text = line;
    }
  }
  return box;
}

ProgramCopy::~ProgramCopy() {
  if (m_pid <= 0 || m_ended) return;
  if (!Close()) Kill();
}

bool ProgramCopy::StartProgram(const std::string& program, const std::vector<std::string>& args,
                               const std::string& log) {
  std::vector<std::string> all = {"/usr/lib/wine/wine64", program};
  all.insert(all.end(), args.begin(), args.end());
  m_pid = Spawn(all, {}, log);
  m_ended = false;
  m_main = nullptr;
  return m_pid > 0;
}

HWND ProgramCopy::WaitForMainWindow(const std::string& title, DWORD timeoutMs) {
  WaitUntil(
      [&] {
        TitleSearch search{&title, nullptr};
        ::EnumWindows(FindUnclaimedTopLevel, reinterpret_cast<LPARAM>(&search));
        m_main = search.found;
        return m_main != nullptr || !Running();
      },
      timeoutMs);
  if (m_main) Claimed().push_back(m_main);
  return m_main;
}

bool ProgramCopy::Running() { return m_pid > 0 && !m_ended && WaitForExit(0) == -2; }

HWND ProgramCopy::ControlPanel() const {
  if (!m_main) return nullptr;
  IdSearch search{kControlPanelId, nullptr};
  ::EnumChildWindows(m_main, FindChildById, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void ProgramCopy::Command(UINT id) const {
  if (m_main) ::PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

int ProgramCopy::WaitForExit(DWORD timeoutMs) {
  if (m_pid <= 0) return -2;
  if (m_ended) return m_code;
  int code = -2;
  WaitUntil(
      [&] {
        int status = 0;
        const pid_t r = waitpid(m_pid, &status, WNOHANG);
        if (r == 0) return false;
        // -1: reaped already; the copy is gone in any case.
        m_ended = true;
        // Its window's handle may come back for a window of a later copy.
        Claimed().erase(std::remove(Claimed().begin(), Claimed().end(), m_main), Claimed().end());
        code = r == m_pid && WIFEXITED(status) ? WEXITSTATUS(status) : (r == m_pid ? -1 : 0);
        m_code = code;
        return true;
      },
      timeoutMs);
  return code;
}

bool ProgramCopy::Close(DWORD timeoutMs) {
  if (m_pid <= 0 || m_ended) return true;
  if (m_main && ::IsWindow(m_main)) ::PostMessageA(m_main, WM_CLOSE, 0, 0);
  // A question about saving the untitled recording: No.
  const bool ended = WaitUntil(
      [&] {
        HWND ask = ::FindWindowA(nullptr, "Tarvel");
        if (ask && ask != m_main) ::PostMessageA(ask, WM_COMMAND, IDNO, 0);
        return !Running();
      },
      timeoutMs);
  if (!ended) Kill();
  return ended;
}

void ProgramCopy::Kill() {
  if (m_pid <= 0 || m_ended) return;
  ::kill(m_pid, SIGKILL);
  WaitForExit(10000);
  Claimed().erase(std::remove(Claimed().begin(), Claimed().end(), m_main), Claimed().end());
  m_ended = true;
}

}  // namespace winetest
