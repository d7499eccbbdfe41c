#include "tests/support/native/AudioRig.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/native/Wait.h"

extern char** environ;

namespace audiotest {
namespace {

int DecodeStatus(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return -1;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Trim(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

std::string TempRoot() {
  const char* tmp = getenv("TMPDIR");
  // The server's socket path must stay short.
  if (tmp && *tmp && std::string(tmp).size() < 40) return tmp;
  return "/tmp";
}

bool KeepRigFolder() {
  const char* keep = getenv("TARVEL_KEEP_AUDIO_RIG");
  return keep && *keep && std::string(keep) != "0";
}

}  // namespace

// ---- ChildProcess ----------------------------------------------------------

ChildProcess::~ChildProcess() {
  if (pid_ > 0) Stop(SIGKILL, 5);
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::string& outputFile, int input) {
  if (pid_ > 0 || argv.empty()) return false;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (input >= 0)
    posix_spawn_file_actions_adddup2(&actions, input, 0);
  else
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);

  // The child starts with default signal handling and nothing blocked, whatever
  // the test framework or audio threads changed.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  pid_ = pid;
  status_ = -1;
  return true;
}

bool ChildProcess::Running() {
  if (pid_ <= 0) return false;
  int raw = 0;
  const pid_t r = waitpid(pid_, &raw, WNOHANG);
  if (r == pid_ || (r < 0 && errno == ECHILD)) {
    status_ = r == pid_ ? DecodeStatus(raw) : -1;
    pid_ = -1;
    return false;
  }
  return true;
}

bool ChildProcess::Wait(double timeoutSeconds, int* status) {
  if (!testsupport::WaitFor([this] { return !Running(); }, timeoutSeconds, 0.005)) return false;
  if (status) *status = status_;
  return true;
}

int ChildProcess::Stop(int sig, double timeoutSeconds) {
  if (!Running()) return status_;
  kill(pid_, sig);
  int status = -1;
  if (Wait(timeoutSeconds, &status)) return status;
  kill(pid_, SIGKILL);
  Wait(5);
  return -1;
}

int RunProgram(const std::vector<std::string>& argv, double timeoutSeconds, std::string* output) {
  std::string file = TempRoot() + "/tarvel-run-XXXXXX";
  const int fd = mkstemp(file.data());
  if (fd < 0) return -1;
  close(fd);
  ChildProcess child;
  int status = -1;
  if (child.Start(argv, file)) {
    if (!child.Wait(timeoutSeconds, &status)) status = -1;  // the destructor kills it
  }
  if (output) *output = ReadFile(file);
  unlink(file.c_str());
  return status;
}

// ---- QuietStderr ------------------------------------------------------------

QuietStderr::QuietStderr() {
  char name[] = "/tmp/tarvel-stderr-XXXXXX";
  file_ = mkstemp(name);
  if (file_ < 0) return;
  unlink(name);
  fflush(stderr);
  saved_ = dup(2);
  if (saved_ < 0 || dup2(file_, 2) < 0) {
    close(file_);
    file_ = -1;
  }
}

QuietStderr::~QuietStderr() {
  if (file_ < 0) return;
  fflush(stderr);
  dup2(saved_, 2);
  close(saved_);
  std::string text;
  char buffer[4096];
  ssize_t n;
  lseek(file_, 0, SEEK_SET);
  while ((n = read(file_, buffer, sizeof buffer)) > 0) text.append(buffer, n);
  close(file_);
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!IsNoise(line)) fprintf(stderr, "%s\n", line.c_str());
  }
}

bool QuietStderr::IsNoise(const std::string& line) {
  static const char* const kNoise[] = {
      "ALSA lib ",                 // alsa-lib probing cards that are not there
      "Expression '",              // PortAudio's ALSA host reporting a failed probe
      "Cannot connect to server",  // libjack without a JACK server
      "jack server is not running",
      "JackShmReadWritePtr",
  };
  if (Trim(line).empty()) return true;
  for (const char* prefix : kNoise) {
    if (line.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

// ---- AudioRig ---------------------------------------------------------------

AudioRig::SpeakerRecording::~SpeakerRecording() { Stop(); }

bool AudioRig::SpeakerRecording::Stop(double timeoutSeconds) {
  if (stopped_) return true;
  stopped_ = true;
  return process_.Stop(SIGINT, timeoutSeconds) == 0;
}

AudioRig::AudioRig() {
  if (const char* shared = getenv("TARVEL_AUDIO_RIG_DIR"); shared && *shared) {
    dir_ = shared;
    if (!ApplyEnvironment()) return;
    if (!Pactl({"info"})) {
      Fail("the audio rig in " + dir_ + " (TARVEL_AUDIO_RIG_DIR) does not answer");
      return;
    }
    ok_ = true;
    return;
  }

  std::string source;
  if (const char* s = getenv("TARVEL_SOURCE_DIR"); s && *s) source = s;
#ifdef TARVEL_SOURCE_DIR
  if (source.empty()) source = TARVEL_SOURCE_DIR;
#endif
  if (source.empty()) {
    Fail("TARVEL_SOURCE_DIR is not set: cannot find scripts/audio-rig.sh");
    return;
  }
  script_ = source + "/scripts/audio-rig.sh";
  if (access(script_.c_str(), R_OK) != 0) {
    Fail("missing " + script_);
    return;
  }
  std::string dir = TempRoot() + "/tarvel-rig-XXXXXX";
  if (!mkdtemp(dir.data())) {
    Fail("cannot create a folder for the audio rig");
    return;
  }
  dir_ = dir;
  owned_ = true;
  std::string output;
  // --owner: the server goes away with this process even if it crashes.
  const int status =
      RunProgram({"bash", script_, "start", dir_, "--owner", std::to_string(getpid())}, 30, &output);
  if (status != 0) {
    Fail("scripts/audio-rig.sh start " + dir_ + " failed (status " + std::to_string(status) +
         "): " + Trim(output));
    return;
  }
  started_ = true;
  if (!KeepRigFolder()) StartJanitor();
  ok_ = ApplyEnvironment();
}

AudioRig::~AudioRig() {
  if (getpid() != makerPid_) return;
  for (int module : std::vector<int>(modules_)) StopSine(module);
  if (owned_) {
    // This process cleans up itself: the janitor goes first, unwoken.
    janitor_.Stop(SIGKILL, 5);
    if (janitorPipe_ >= 0) close(janitorPipe_);
    RunProgram({"bash", script_, "stop", dir_}, 20);
    // A rig that did not start keeps its folder (the server's log) for a look.
    if (started_ && !KeepRigFolder()) {
      std::error_code ec;
      std::filesystem::remove_all(dir_, ec);
    }
  }
  RestoreEnvironment();
}

// The janitor reads a pipe that only this process writes to (close-on-exec, so
// no program started from here holds it). It sees the end of file when this
// process is gone however it ended, then stops the server and removes the
// folder. The script's own watcher would stop the server, but not remove the
// folder. The janitor ignores a terminal's SIGINT and SIGHUP, which end the
// tests without their destructors.
void AudioRig::StartJanitor() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  const bool started = janitor_.Start(
      {"bash", "-c", "trap '' INT HUP; read -r; bash \"$0\" stop \"$1\"; rm -rf -- \"$1\"", script_, dir_},
      "/dev/null", fds[0]);
  close(fds[0]);
  if (started)
    janitorPipe_ = fds[1];
  else
    close(fds[1]);
}

bool AudioRig::Fail(const std::string& message) {
  ok_ = false;
  if (error_.empty()) error_ = message;
  return false;
}

bool AudioRig::ApplyEnvironment() {
  std::ifstream in(dir_ + "/env");
  if (!in) return Fail("no environment file " + dir_ + "/env");
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (line.empty() || eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    const std::string value = Trim(line.substr(eq + 1));
    const char* old = getenv(key.c_str());
    savedEnv_.emplace_back(key, old ? std::make_unique<std::string>(old) : nullptr);
    setenv(key.c_str(), value.c_str(), 1);
  }
  if (!getenv("PULSE_SERVER")) return Fail(dir_ + "/env does not name the server");
  return true;
}

void AudioRig::RestoreEnvironment() {
  for (auto it = savedEnv_.rbegin(); it != savedEnv_.rend(); ++it) {
    if (it->second)
      setenv(it->first.c_str(), it->second->c_str(), 1);
    else
      unsetenv(it->first.c_str());
  }
  savedEnv_.clear();
}

bool AudioRig::Pactl(const std::vector<std::string>& args, std::string* output) {
  std::vector<std::string> argv{"pactl"};
  argv.insert(argv.end(), args.begin(), args.end());
  std::string text;
  const int status = RunProgram(argv, 10, &text);
  if (output) *output = text;
  return status == 0;
}

int AudioRig::StartSine(int frequency) {
  std::string out;
  if (!Pactl({"load-module", "module-sine", "sink=micfeed", "frequency=" + std::to_string(frequency)},
             &out)) {
    Fail("pactl load-module module-sine failed: " + Trim(out));
    return -1;
  }
  try {
    const int module = std::stoi(out);
    modules_.push_back(module);
    return module;
  } catch (...) {
    Fail("pactl load-module gave no module index: " + Trim(out));
    return -1;
  }
}

bool AudioRig::StopSine(int module) {
  std::erase(modules_, module);
  return Pactl({"unload-module", std::to_string(module)});
}

bool AudioRig::PlayIntoMicrophone(const std::string& wavPath, double timeoutSeconds) {
  std::string out;
  const int status = RunProgram({"paplay", "--device=micfeed", wavPath}, timeoutSeconds, &out);
  if (status != 0) return Fail("paplay " + wavPath + " failed: " + Trim(out));
  return true;
}

std::unique_ptr<ChildProcess> AudioRig::StartPlayingIntoMicrophone(const std::string& wavPath) {
  auto child = std::make_unique<ChildProcess>();
  if (!child->Start({"paplay", "--device=micfeed", wavPath}, dir_ + "/paplay.log")) {
    Fail("cannot start paplay");
    return nullptr;
  }
  return child;
}

std::unique_ptr<AudioRig::SpeakerRecording> AudioRig::RecordSpeaker(const std::string& wavPath) {
  auto recording = std::unique_ptr<SpeakerRecording>(new SpeakerRecording);
  recording->path_ = wavPath;
  std::error_code ec;
  std::filesystem::remove(wavPath, ec);
  if (!recording->process_.Start(
          {"parecord", "--device=testspk.monitor", "--file-format=wav", "--format=float32le", "--rate=44100",
           "--channels=2", "--latency-msec=20", wavPath},
          dir_ + "/parecord.log")) {
    Fail("cannot start parecord");
    return nullptr;
  }
  // The monitor delivers silence while nothing plays, so a growing file means
  // the recording stream runs.
  bool flowing = false;
  testsupport::WaitFor(
      [&] {
        if (!recording->process_.Running()) return true;
        flowing = std::filesystem::file_size(wavPath, ec) > 4096 && !ec;
        return flowing;
      },
      5);
  if (flowing) return recording;
  Fail("parecord did not start recording; see " + dir_ + "/parecord.log");
  return nullptr;
}

}  // namespace audiotest
