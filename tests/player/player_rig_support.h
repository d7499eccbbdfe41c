#pragma once
// The audio test rig for tests under wine: started for the length of a test, its
// client environment put into the process, and the virtual speaker recorded from its
// monitor; with helpers that find the sounding part of what the speaker heard.
#include "player_test_support.h"

#include "platform/afx/linux_headers_begin.h"
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>
#include <sstream>
#include "platform/afx/linux_headers_end.h"

extern char** environ;

namespace player_test {

// Runs a program with the given environment added; its output goes to logFile.
inline pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const std::string& logFile) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> envStrings;
  for (char** e = environ; *e; ++e) envStrings.push_back(*e);
  envStrings.insert(envStrings.end(), env.begin(), env.end());
  std::vector<char*> envp;
  for (const std::string& e : envStrings) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return pid;
}

// The program's exit code; -1 when a signal ended it, -2 when it is not known.
inline int WaitExit(pid_t pid, DWORD timeoutMs) {
  int code = -2;
  winetest::WaitUntil(
      [&] {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return r != 0;
      },
      timeoutMs);
  return code;
}

// The rig for the length of one test; the client environment is put into this
// process before anything opens a sound device.
class AudioRigForWine {
public:
  AudioRigForWine() {
    dir_ = "/tmp/tvl-player-rig-" + std::to_string(getpid());
    script_ = std::string(TARVEL_SOURCE_DIR) + "/scripts/audio-rig.sh";
    pid_t pid = Spawn({script_, "start", dir_, "--owner", std::to_string(getpid())}, {}, "/dev/null");
    ok_ = pid > 0 && WaitExit(pid, 15000) == 0;
    if (!ok_) return;
    std::ifstream env(dir_ + "/env");
    std::string line;
    while (std::getline(env, line)) {
      size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      std::string key = line.substr(0, eq);
      if (key.rfind("PULSE_", 0) == 0) {
        setenv(key.c_str(), line.substr(eq + 1).c_str(), 1);
        env_.push_back(line);
      }
    }
  }
  ~AudioRigForWine() {
    pid_t pid = Spawn({script_, "stop", dir_}, {}, "/dev/null");
    if (pid > 0) WaitExit(pid, 15000);
    pid = Spawn({"rm", "-rf", dir_}, {}, "/dev/null");
    if (pid > 0) WaitExit(pid, 5000);
  }
  bool Ok() const { return ok_; }
  // Records the speaker until Stop; returns the WAV's path.
  std::string StartRecording() {
    std::string path = dir_ + "/speaker.wav";
    recorder_ = Spawn({"parecord", "--device=testspk.monitor", "--file-format=wav", path}, env_,
                      dir_ + "/parecord.log");
    Sleep(300);  // the recorder connects before the sound starts
    return path;
  }
  void StopRecording() {
    if (recorder_ <= 0) return;
    kill(recorder_, SIGINT);
    WaitExit(recorder_, 5000);
    recorder_ = -1;
  }

private:
  std::string dir_, script_;
  std::vector<std::string> env_;
  pid_t recorder_ = -1;
  bool ok_ = false;
};

// 16-bit stereo samples of a WAV file written by the recorder (native path).
inline std::vector<uint8_t> SpeakerPcm(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (size_t at = 12; at + 8 <= bytes.size();) {
    uint32_t size;
    std::memcpy(&size, &bytes[at + 4], 4);
    if (std::memcmp(&bytes[at], "data", 4) == 0)
      return std::vector<uint8_t>(bytes.begin() + at + 8, bytes.end());
    at += 8 + size;
  }
  return {};
}

// The sounding part: from the first to the last sample above a small threshold.
inline std::vector<double> Sounding(const std::vector<double>& x) {
  size_t first = 0, last = x.size();
  while (first < x.size() && std::fabs(x[first]) < 0.05) ++first;
  while (last > first && std::fabs(x[last - 1]) < 0.05) --last;
  return std::vector<double>(x.begin() + first, x.begin() + last);
}

}  // namespace player_test
