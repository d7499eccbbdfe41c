#include "support/wine/AudioRigForWine.h"

#include "support/wine/Wait.h"

#include "platform/afx/linux_headers_begin.h"
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include "platform/afx/linux_headers_end.h"

extern char** environ;

namespace winetest {

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
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

int WaitExit(pid_t pid, DWORD timeoutMs) {
  int code = -2;
  WaitUntil(
      [&] {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return r != 0;
      },
      timeoutMs);
  return code;
}

AudioRigForWine::AudioRigForWine() {
  dir_ = "/tmp/tvl-wine-rig-" + std::to_string(getpid());
  script_ = std::string(TARVEL_SOURCE_DIR) + "/scripts/audio-rig.sh";
  pid_t pid = Spawn({script_, "start", dir_, "--owner", std::to_string(getpid())}, {}, "/dev/null");
  ok_ = pid > 0 && WaitExit(pid, 15000) == 0;
  if (!ok_) return;
  std::ifstream env(dir_ + "/env");
  std::string line;
  while (std::getline(env, line)) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    setenv(line.substr(0, eq).c_str(), line.substr(eq + 1).c_str(), 1);
    env_.push_back(line);
  }
}

AudioRigForWine::~AudioRigForWine() {
  StopRecording();
  StopSine();
  pid_t pid = Spawn({script_, "stop", dir_}, {}, "/dev/null");
  if (pid > 0) WaitExit(pid, 15000);
  pid = Spawn({"rm", "-rf", dir_}, {}, "/dev/null");
  if (pid > 0) WaitExit(pid, 5000);
}

std::string AudioRigForWine::StartRecording() {
  const std::string path = dir_ + "/speaker.wav";
  recorder_ = Spawn({"parecord", "--device=testspk.monitor", "--file-format=wav", path}, env_,
                    dir_ + "/parecord.log");
  Sleep(300);  // the recorder connects before the sound starts
  return path;
}

void AudioRigForWine::StopRecording() {
  if (recorder_ <= 0) return;
  kill(recorder_, SIGINT);
  WaitExit(recorder_, 5000);
  recorder_ = -1;
}

bool AudioRigForWine::StartSine(int frequency) {
  StopSine();
  const std::string out = dir_ + "/sine-module";
  pid_t pid = Spawn(
      {"sh", "-c",
       "pactl load-module module-sine sink=micfeed frequency=" + std::to_string(frequency) + " > " + out},
      env_, dir_ + "/pactl.log");
  if (pid <= 0 || WaitExit(pid, 5000) != 0) return false;
  std::ifstream in(out);
  std::getline(in, sineModule_);
  return !sineModule_.empty();
}

void AudioRigForWine::StopSine() {
  if (sineModule_.empty()) return;
  pid_t pid = Spawn({"pactl", "unload-module", sineModule_}, env_, dir_ + "/pactl.log");
  if (pid > 0) WaitExit(pid, 5000);
  sineModule_.clear();
}

}  // namespace winetest
