// The whole program while it records: Tarvel.exe started as a user starts it, its main
// window visible, recording stereo 44.1 kHz 16-bit from the audio rig's microphone for
// a given time in the editing mode and straight into MP3 (the modes chosen by its
// settings, as a user leaves them), Record and Stop sent as the main window's
// commands. Its CPU time is the program's process (every thread, from /proc/<pid>/stat)
// plus the wineserver's share in the same span (the wineserver of this wine
// environment serves the program's window and its threads' waits). The reference is
// the engine alone doing the same recording in the same mode and length: build/bench/
// engine_bench run with "alone" as a child, its medians read from its output. Rounds
// take turns (program, engine, program, engine, ...) and medians are compared; the
// goal is that the window adds less than 1 % of a core. After each mode's row: the
// wineserver's part and where the program's time went by thread in the last round.
//
// Then start-up: from starting the process until the main window is visible and
// painted (no part of it or its children waits for WM_PAINT and it answers messages),
// warm (one untimed start first), median of N starts taking turns with Wine's own
// notepad started and shown the same way (what any program pays for wine), with the
// CPU time each process spent by then. Goal: at most 1.5 x notepad's time.
//
//   scripts/wine-run.sh build/win/bench/win/app_bench [seconds] [pairs] [edit,mp3] [starts]
//     seconds of each recording (60), pairs (3), modes (both), starts (5)
// TARVEL_BENCH_PROGRAM names another build of the program (Tarvel.exe.so) to measure,
// such as a copy kept from before a change.
#include <windows.h>

#include "support/wine/AudioRigForWine.h"
#include "support/wine/ProgramDriver.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <signal.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr const char* kUntitled = "Untitled - Tarvel 2.93";
constexpr UINT kRecord = 32853;  // ID_CONTROL_RECORD
constexpr UINT kStop = 32852;    // ID_CONTROL_STOP
constexpr double kGoalPercent = 1.0;
constexpr double kGoalStartRatio = 1.5;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The program to measure: this build's unless TARVEL_BENCH_PROGRAM names another.
std::string ProgramPath() {
  const char* other = std::getenv("TARVEL_BENCH_PROGRAM");
  return other && *other ? other : TARVEL_PROGRAM;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// User + system seconds of a process (all its threads, the ended ones too); -1 when gone.
double StatCpu(const std::string& path, std::string* name = nullptr) {
  std::ifstream stat(path);
  std::string line;
  if (!std::getline(stat, line)) return -1;
  const size_t open = line.find('('), close = line.rfind(')');
  if (name && open != std::string::npos && close != std::string::npos)
    *name = line.substr(open + 1, close - open - 1);
  if (close == std::string::npos) return -1;
  std::istringstream rest(line.substr(close + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::strtoull(field.c_str(), nullptr, 10);
    if (i == 15) stime = std::strtoull(field.c_str(), nullptr, 10);
  }
  return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}
double ProcessCpu(pid_t pid) { return StatCpu("/proc/" + std::to_string(pid) + "/stat"); }

// CPU seconds of each live thread of a process, by thread id, with its name.
std::map<int, std::pair<std::string, double>> ThreadTimes(pid_t pid) {
  std::map<int, std::pair<std::string, double>> threads;
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  if (DIR* dir = ::opendir(tasks.c_str())) {
    while (dirent* e = ::readdir(dir)) {
      const int tid = std::atoi(e->d_name);
      if (tid <= 0) continue;
      std::string name;
      const double cpu = StatCpu(tasks + "/" + e->d_name + "/stat", &name);
      if (cpu >= 0) threads[tid] = {name, cpu};
    }
    ::closedir(dir);
  }
  return threads;
}

// The threads that spent most between two snapshots, biggest first.
std::string TopThreads(const std::map<int, std::pair<std::string, double>>& before,
                       const std::map<int, std::pair<std::string, double>>& after, size_t count) {
  std::vector<std::pair<double, std::string>> spent;
  for (const auto& [tid, t] : after) {
    const auto b = before.find(tid);
    spent.push_back(
        {t.second - (b == before.end() ? 0.0 : b->second.second), t.first + "/" + std::to_string(tid)});
  }
  std::sort(spent.rbegin(), spent.rend());
  std::string text;
  for (size_t i = 0; i < spent.size() && i < count; ++i) {
    char one[96];
    std::snprintf(one, sizeof one, "%s%s %.3f s", text.empty() ? "" : ", ", spent[i].second.c_str(),
                  spent[i].first);
    text += one;
  }
  return text;
}

// The wineserver of this process's wine environment: the one whose WINEPREFIX is ours.
pid_t FindWineserver() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (!prefix) return -1;
  const std::string wanted = std::string("WINEPREFIX=") + prefix;
  pid_t found = -1;
  if (DIR* proc = ::opendir("/proc")) {
    while (dirent* e = ::readdir(proc)) {
      const pid_t pid = std::atoi(e->d_name);
      if (pid <= 0) continue;
      std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
      std::string name;
      std::getline(comm, name);
      if (name.rfind("wineserver", 0) != 0) continue;
      std::ifstream environ("/proc/" + std::to_string(pid) + "/environ", std::ios::binary);
      std::string entry;
      while (std::getline(environ, entry, '\0'))
        if (entry == wanted) found = pid;
    }
    ::closedir(proc);
  }
  return found;
}

using winetest::WriteProgramDword;
using winetest::WriteProgramString;

// The settings a user would leave: the rig's devices, 16-bit stereo at 44.1 kHz,
// recordings named "bench001" in the output folder; MP3 at 128 kbit/s CBR stereo, as
// engine_bench records it.
void Configure(int mode, const std::string& output, const std::string& temp) {
  winetest::ClearProgramSettings();
  winetest::WriteRecordingSettings(mode, 0, output, temp);
  // The editing mode keeps the take in the window (no save on Stop), as engine_bench does.
  WriteProgramDword("FileOutputOptions", "bSaveFile", mode == 0 ? 0 : 1);
  WriteProgramString("FileOutputOptions", "strFileLeadName", "bench");
  WriteProgramDword("FileEncodeOptions", "MP3SampleRate", 44100);
  WriteProgramDword("FileEncodeOptions", "MP3EncodeMode", 0);
  WriteProgramDword("FileEncodeOptions", "MP3ChannelMode", 1);
  WriteProgramDword("FileEncodeOptions", "MP3BitRate", 128);
}

struct PaintSearch {
  bool pending = false;
};
BOOL CALLBACK CheckChild(HWND child, LPARAM param) {
  if (::IsWindowVisible(child) && ::GetUpdateRect(child, nullptr, FALSE))
    reinterpret_cast<PaintSearch*>(param)->pending = true;
  return TRUE;
}

// The window is on the screen, answers messages and nothing of it waits to be painted.
bool Painted(HWND main) {
  if (!::IsWindowVisible(main)) return false;
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) return false;
  if (::GetUpdateRect(main, nullptr, FALSE)) return false;
  PaintSearch search;
  ::EnumChildWindows(main, CheckChild, reinterpret_cast<LPARAM>(&search));
  return !search.pending;
}

// A program started under wine, until its main window (found by its title) is painted.
struct Started {
  pid_t pid = -1;
  HWND main = nullptr;
  double seconds = 0;  // from the start of the process until the painted window
  double cpu = 0;      // the process's CPU time by then (all its threads)
};
Started Start(const std::vector<std::string>& command, const char* title, const std::string& log) {
  Started s;
  const double t0 = Now();
  s.pid = winetest::Spawn(command, {}, log);
  if (s.pid <= 0) return s;
  // The program's meters and clock repaint all the time, so the first moment with
  // nothing left to paint is the one that counts.
  const bool painted = winetest::WaitUntil(
      [&] {
        s.main = ::FindWindowA(nullptr, title);
        if (s.main && Painted(s.main)) return true;
        ::Sleep(2);
        return false;
      },
      60000);
  s.seconds = painted ? Now() - t0 : -1;
  s.cpu = painted ? ProcessCpu(s.pid) : -1;
  return s;
}

void Close(Started& s) {
  if (s.pid <= 0) return;
  if (s.main && ::IsWindow(s.main)) ::PostMessageA(s.main, WM_CLOSE, 0, 0);
  // An unsaved take of the editing mode asks to be saved: No.
  winetest::WaitUntil(
      [&] {
        HWND ask = ::FindWindowA(nullptr, "Tarvel");
        if (ask && ask != s.main) ::PostMessageA(ask, WM_COMMAND, IDNO, 0);
        return winetest::WaitExit(s.pid, 0) != -2;
      },
      20000);
  if (winetest::WaitExit(s.pid, 0) == -2) {
    ::kill(s.pid, SIGKILL);
    winetest::WaitExit(s.pid, 5000);
  }
  s.pid = -1;
}

struct Cost {
  double cpu = -1, wall = -1;
  double server = 0;    // the wineserver's part of cpu
  std::string threads;  // the program's busiest threads
};

// One recording by the program: from Record until Stop has returned.
Cost RecordWithProgram(int mode, double seconds, const winetest::TempFolder& output,
                       const winetest::TempFolder& temp, const std::string& log) {
  Configure(mode, output.Path(), temp.Path());
  Started s = Start({"/usr/lib/wine/wine64", ProgramPath()}, kUntitled, log);
  Cost c;
  const pid_t server = FindWineserver();
  if (s.seconds < 0 || server <= 0) {
    std::fprintf(stderr, "app_bench: the program did not start (window %s, %.2f s; wineserver %d; see %s)\n",
                 s.main ? "found" : "not found", s.seconds, static_cast<int>(server), log.c_str());
    Close(s);
    return c;
  }
  ::Sleep(1000);  // settled: the start-up's last work is not counted
  DWORD_PTR result = 0;
  const auto threads0 = ThreadTimes(s.pid);
  const double server0 = ProcessCpu(server);
  const double cpu0 = ProcessCpu(s.pid) + server0, wall0 = Now();
  ::SendMessageTimeoutA(s.main, WM_COMMAND, MAKEWPARAM(kRecord, 0), 0, SMTO_NORMAL, 30000, &result);
  ::Sleep(static_cast<DWORD>(seconds * 1000));
  ::SendMessageTimeoutA(s.main, WM_COMMAND, MAKEWPARAM(kStop, 0), 0, SMTO_NORMAL, 60000, &result);
  const double server1 = ProcessCpu(server);
  const double cpu1 = ProcessCpu(s.pid) + server1, wall1 = Now();
  if (cpu1 >= 0 && cpu0 >= 0)
    c = {cpu1 - cpu0, wall1 - wall0, server1 - server0, TopThreads(threads0, ThreadTimes(s.pid), 6)};
  Close(s);
  return c;
}

// One recording by the engine alone: engine_bench's medians of one round.
Cost RecordWithEngine(const char* mode, double seconds, const std::string& log) {
  Cost c;
  char secondsText[32];
  std::snprintf(secondsText, sizeof secondsText, "%g", seconds);
  const pid_t pid = winetest::Spawn({TARVEL_ENGINE_BENCH, secondsText, "1", mode, "alone"}, {}, log);
  if (pid <= 0 || winetest::WaitExit(pid, static_cast<DWORD>(seconds * 1000 + 120000)) == -2) return c;
  std::ifstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    char key[16] = {};
    double cpu = 0, wall = 0;
    if (std::sscanf(line.c_str(), "engine %15s cpu %lf wall %lf", key, &cpu, &wall) == 3 &&
        std::strcmp(key, mode) == 0)
      c = {cpu, wall};
  }
  return c;
}

std::string Load() {
  std::ifstream in("/proc/loadavg");
  std::string a, b, c;
  in >> a >> b >> c;
  return a + " " + b + " " + c;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
  const int pairs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::string only = argc > 3 ? argv[3] : "edit,mp3";
  const int starts = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
  if (!(seconds >= 1)) {
    std::fprintf(stderr, "usage: app_bench [seconds] [pairs] [edit,mp3] [starts]\n");
    return 2;
  }
  winetest::AudioRigForWine rig;
  if (!rig.Ok() || !rig.StartSine(1000)) {
    std::fprintf(stderr, "app_bench: the audio rig did not start\n");
    return 1;
  }
  winetest::TempFolder output{"app bench output"};
  winetest::TempFolder temp{"app-bench-temp"};
  const std::string log = temp.UnixPath() + "/run.log";
  std::printf("app_bench: %g s recordings of stereo 44100 Hz 16-bit, %d pairs; %d cores, load %s\n", seconds,
              pairs, static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)), Load().c_str());
  std::printf("program: %s\n", ProgramPath().c_str());
  std::printf("%-26s %10s %10s %10s %10s %8s %10s\n", "recording (medians)", "prog CPU", "engine CPU",
              "prog wall", "eng wall", "CPU x", "window adds");
  bool met = true;
  struct ModeCase {
    const char* key;
    const char* name;
    int mode;
  };
  for (const ModeCase& m : {ModeCase{"edit", "editing mode", 0}, ModeCase{"mp3", "direct to MP3", 1}}) {
    if (only.find(m.key) == std::string::npos) continue;
    std::vector<double> progCpu, progWall, engCpu, engWall, serverCpu;
    std::string threads;
    for (int i = 0; i < pairs; ++i) {
      const Cost p = RecordWithProgram(m.mode, seconds, output, temp, log);
      const Cost e = RecordWithEngine(m.key, seconds, log + ".engine");
      if (p.cpu < 0 || e.cpu < 0) {
        std::fprintf(stderr, "app_bench: %s: a run failed (program %.3f, engine %.3f)\n", m.name, p.cpu,
                     e.cpu);
        met = false;
        continue;
      }
      progCpu.push_back(p.cpu), progWall.push_back(p.wall), serverCpu.push_back(p.server);
      threads = p.threads;
      engCpu.push_back(e.cpu), engWall.push_back(e.wall);
    }
    if (progCpu.empty()) continue;
    const double pc = Median(progCpu), ec = Median(engCpu);
    const double adds = (pc - ec) / seconds * 100.0;
    std::printf("%-26s %9.3fs %9.3fs %9.2fs %9.2fs %8.2f %9.2f%%\n", m.name, pc, ec, Median(progWall),
                Median(engWall), ec > 0 ? pc / ec : 0.0, adds);
    std::printf("  program %.2f %% of a core, engine %.2f %%; the window adds %.2f %% (goal < %.0f %%): %s\n",
                pc / seconds * 100.0, ec / seconds * 100.0, adds, kGoalPercent,
                adds < kGoalPercent ? "met" : "MISSED");
    std::printf(
        "  of the program's CPU the wineserver's: %.3f s (median); last round's busiest threads: %s\n",
        Median(serverCpu), threads.c_str());
    met = met && adds < kGoalPercent;
  }

  // Start-up, warm: one untimed start of each first, then turns.
  Configure(0, output.Path(), temp.Path());
  const std::vector<std::string> program = {"/usr/lib/wine/wine64", ProgramPath()};
  const std::vector<std::string> notepad = {"/usr/lib/wine/wine64", "notepad"};
  for (auto* command : {&program, &notepad}) {
    Started s = Start(*command, command == &program ? kUntitled : "Untitled - Notepad", log);
    Close(s);
  }
  std::vector<double> ours, theirs, oursCpu, theirsCpu;
  for (int i = 0; i < starts; ++i) {
    Started s = Start(program, kUntitled, log);
    if (s.seconds >= 0) ours.push_back(s.seconds), oursCpu.push_back(s.cpu);
    Close(s);
    Started n = Start(notepad, "Untitled - Notepad", log);
    if (n.seconds >= 0) theirs.push_back(n.seconds), theirsCpu.push_back(n.cpu);
    Close(n);
  }
  const double o = Median(ours), t = Median(theirs);
  const double oc = Median(oursCpu), tc = Median(theirsCpu);
  const bool startMet = !ours.empty() && t > 0 && o / t <= kGoalStartRatio;
  std::printf(
      "start-up to a painted main window, warm, medians of %d: program %.3f s (CPU %.3f s), wine notepad "
      "%.3f s (CPU %.3f s), ratio %.2f (CPU %.2f); goal <= %.1f x notepad: %s\n",
      starts, o, oc, t, tc, t > 0 ? o / t : 0.0, tc > 0 ? oc / tc : 0.0, kGoalStartRatio,
      startMet ? "met" : "MISSED");
  met = met && startMet;
  std::printf("load at the end: %s\n", Load().c_str());
  winetest::ClearProgramSettings();
  rig.StopSine();
  return met ? 0 : 1;
}
