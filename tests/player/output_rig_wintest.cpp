// The real outputs (DirectSound and the wave mapper) played into the audio test rig's
// virtual speaker and recorded from its monitor. Wine's playback has occasional short
// underruns, so the checks are tolerant: frequency from the median zero-crossing
// interval, level within a decibel. DirectSound reports the end of play-out only
// once its play cursor has gone round the whole 512 KB buffer (about 3 s).
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

namespace {

using namespace player_test;

// Runs a program with the given environment added; its output goes to logFile.
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

// The program's exit code; -1 when a signal ended it, -2 when it is not known.
int WaitExit(pid_t pid, DWORD timeoutMs) {
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
std::vector<uint8_t> SpeakerPcm(const std::string& nativePath) {
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
std::vector<double> Sounding(const std::vector<double>& x) {
  size_t first = 0, last = x.size();
  while (first < x.size() && std::fabs(x[first]) < 0.05) ++first;
  while (last > first && std::fabs(x[last - 1]) < 0.05) --last;
  return std::vector<double>(x.begin() + first, x.begin() + last);
}

TEST(PlayerOutputs, VolumeScales) {
  struct Case {
    int volume;
    LONG directSound;
    DWORD waveOut;
  } cases[] = {{100, 0, 0xFFFFFFFF}, {0, -10000, 0}, {50, -1250, 0x80208020}, {99, 0, 0xFDB0FDB0}};
  for (const Case& c : cases) {
    EXPECT_EQ(DirectSoundVolumeFor(c.volume), c.directSound) << c.volume;
    EXPECT_EQ(WaveOutVolumeFor(c.volume), c.waveOut) << c.volume;
  }
}

TEST(PlayerOutputs, DirectSoundAndTheWaveMapperPlayIntoTheSpeaker) {
  AudioRigForWine rig;
  ASSERT_TRUE(rig.Ok()) << "the audio rig did not start";
  TempFolder folder;
  std::string path = folder.File("tone.wav");
  ASSERT_TRUE(WriteBytes(path, MakeWav(AsBytes(Sine(440, 44100, 2, 0.6)), 44100, 2, 16)));
  NoteWindow notes;
  g_PlayerEngineWindow = notes.Handle();
  PlayerEngine* engine = PlayerEngine_Create(notes.Handle());
  ASSERT_NE(engine, nullptr);

  for (int output : {1, 0}) {
    SCOPED_TRACE(output == 1 ? "DirectSound" : "wave mapper");
    if (output == 0) {
      InterlockedExchange(&g_PlayerOutputIndex, 0);
      PostThreadMessageA(engine->threadId, kCmdSelectOutput, 0, 0);
    }
    std::string recording = rig.StartRecording();
    size_t from = notes.Notes().size();
    DWORD start = GetTickCount();
    PlayerEngine_OpenFile(engine, path.c_str());
    PlayerEngine_Play(engine);
    ASSERT_GE(notes.WaitForState(kStateStopped, from, 6000), 0);
    DWORD took = GetTickCount() - start;
    rig.StopRecording();
    EXPECT_EQ(notes.States(from), (std::vector<WPARAM>{kStatePlaying, kStateNoFile, kStateStopped}));
    EXPECT_GE(took, 550u) << "stopped only after the sound was heard";
    std::vector<double> left = Sounding(Channel(SpeakerPcm(recording), 2, 0));
    EXPECT_NEAR(left.size() / 44100.0, 0.6, 0.1);
    EXPECT_NEAR(ZeroCrossingFrequency(left, 44100), 440, 4.4);
    EXPECT_NEAR(20 * std::log10(Rms(left) + 1e-12), 20 * std::log10(0.5 / std::sqrt(2.0)), 1.0);
  }

  // New equaliser settings reach audio that DirectSound already holds (about 3 s
  // of it): cutting every band silences the speaker at once, not when the queue
  // has been heard.
  InterlockedExchange(&g_PlayerOutputIndex, 1);
  PostThreadMessageA(engine->threadId, kCmdSelectOutput, 0, 0);
  std::string longTone = folder.File("long.wav");
  ASSERT_TRUE(WriteBytes(longTone, MakeWav(AsBytes(Sine(440, 44100, 2, 3.0)), 44100, 2, 16)));
  std::string recording = rig.StartRecording();
  size_t from = notes.Notes().size();
  PlayerEngine_OpenFile(engine, longTone.c_str());
  PlayerEngine_Play(engine);
  ASSERT_GE(notes.WaitForState(kStatePlaying, from), 0);
  Sleep(400);
  auto* cut = static_cast<EqualiserSettings*>(std::calloc(1, sizeof(EqualiserSettings)));
  cut->enabled = 1;
  std::memset(cut->bands, -128, sizeof cut->bands);
  PostThreadMessageA(engine->threadId, kCmdEqualiser, reinterpret_cast<WPARAM>(cut), 0);
  Sleep(1200);
  PlayerEngine_Stop(engine);
  ASSERT_GE(notes.WaitForState(kStateStopped, from), 0);
  rig.StopRecording();
  std::vector<double> sounding = Sounding(Channel(SpeakerPcm(recording), 2, 0));
  EXPECT_GT(sounding.size() / 44100.0, 0.2);
  EXPECT_LT(sounding.size() / 44100.0, 0.9);

  PlayerEngine_Destroy(engine);
  g_PlayerEngineWindow = nullptr;
}

}  // namespace
