// The audio test rig from a test's point of view: a private sound server with
// a virtual microphone the test feeds and a virtual speaker the test records
// (scripts/audio-rig.sh). PortAudio sees them as the devices "testmic" and
// "testspk".
//
//   audiotest::AudioRig rig;           // before Pa_Initialize
//   ASSERT_TRUE(rig.ok()) << rig.error();
//   int sine = rig.StartSine(1000);    // the microphone now hears 1 kHz
//   auto rec = rig.RecordSpeaker(dir + "/out.wav");
//   ... play through "testspk" ...
//   rec->Stop();                       // out.wav is complete
//
// The rig named by TARVEL_AUDIO_RIG_DIR is used when that variable is set (a
// CTest fixture started it; tests sharing it need a RESOURCE_LOCK); otherwise
// the object starts its own in a fresh folder under /tmp with the script from
// TARVEL_SOURCE_DIR and stops it and removes the folder in its destructor
// (TARVEL_KEEP_AUDIO_RIG=1 keeps the folder with the server's log). A process
// that ends without running the destructor (a crash, an abort, std::_Exit in a
// death test's child) leaves nothing behind either: a janitor process does the
// same once this process is gone.
//
// The constructor sets the client environment of this process (PULSE_SERVER,
// ALSA_CONFIG_PATH, HOME, XDG_*, PULSE_*) with setenv, so make it before any
// audio library starts and before other threads run; the destructor restores
// the old values. Every wait here is bounded.
#pragma once
#include <sys/types.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace audiotest {

// A program running in the background, its output going to a file.
class ChildProcess {
public:
  ChildProcess() = default;
  ~ChildProcess();  // kills and reaps the program if it still runs
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // argv[0] is looked up in PATH; stdin is /dev/null, or the descriptor input
  // when given; stdout and stderr go to outputFile (appended; "/dev/null" to
  // drop them).
  bool Start(const std::vector<std::string>& argv, const std::string& outputFile, int input = -1);
  bool Running();
  // Waits at most timeoutSeconds for the end; true when it ended. The exit
  // status (128 + signal number after a signal) goes to *status.
  bool Wait(double timeoutSeconds, int* status = nullptr);
  // Sends sig and waits; SIGKILL when it is still there after timeoutSeconds.
  // Returns the exit status, or -1 when it had to be killed.
  int Stop(int sig, double timeoutSeconds);
  pid_t pid() const { return pid_; }

private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// Runs a program to its end, at most timeoutSeconds (then kills it). Returns
// its exit status, or -1 when it did not start or ran out of time. Its output
// (stdout and stderr) goes to *output when given.
int RunProgram(const std::vector<std::string>& argv, double timeoutSeconds, std::string* output = nullptr);

// While it lives, this process's stderr goes to a file; afterwards the lines
// that are not the harmless probe noise of ALSA, JACK and PortAudio are
// printed. Wrap PortAudio's initialisation, device queries and opens in it.
class QuietStderr {
public:
  QuietStderr();
  ~QuietStderr();
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

  static bool IsNoise(const std::string& line);

private:
  int saved_ = -1;
  int file_ = -1;
};

class AudioRig {
public:
  // What reaches the speaker, written to a WAV file (32-bit float, 44100 Hz,
  // 2 channels) until Stop.
  class SpeakerRecording {
  public:
    ~SpeakerRecording();  // stops
    // Ends the recording (SIGINT, as a user would) and waits until the file is
    // complete. True when the recorder ended cleanly.
    bool Stop(double timeoutSeconds = 5);
    const std::string& path() const { return path_; }

  private:
    friend class AudioRig;
    std::string path_;
    ChildProcess process_;
    bool stopped_ = false;
  };

  AudioRig();
  ~AudioRig();
  AudioRig(const AudioRig&) = delete;
  AudioRig& operator=(const AudioRig&) = delete;

  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }
  // The rig's folder (server socket, asoundrc, env, pulse.log).
  const std::string& dir() const { return dir_; }
  // True when this object started the server (and will stop it).
  bool owned() const { return owned_; }

  // The microphone hears a sine of amplitude 0.5 (-9.03 dBFS RMS) until
  // StopSine. Returns the server's module index, or -1.
  int StartSine(int frequency);
  bool StopSine(int module);

  // Plays a WAV file into the microphone and returns when it has played.
  bool PlayIntoMicrophone(const std::string& wavPath, double timeoutSeconds = 30);
  // The same in the background; Wait on the result.
  std::unique_ptr<ChildProcess> StartPlayingIntoMicrophone(const std::string& wavPath);

  // Starts recording the speaker; returns once audio flows into the file
  // (null on failure, see error()).
  std::unique_ptr<SpeakerRecording> RecordSpeaker(const std::string& wavPath);

  // pactl against the rig; true on exit status 0.
  bool Pactl(const std::vector<std::string>& args, std::string* output = nullptr);

private:
  bool Fail(const std::string& message);
  bool ApplyEnvironment();
  void RestoreEnvironment();
  void StartJanitor();

  bool ok_ = false;
  bool owned_ = false;
  // The process that made the rig; a forked child that ends normally (running the
  // destructors of its copy) must leave the parent's rig alone.
  pid_t makerPid_ = getpid();
  bool started_ = false;
  std::string error_;
  std::string dir_;
  std::string script_;
  std::vector<int> modules_;
  ChildProcess janitor_;
  int janitorPipe_ = -1;  // the write end; its end of file wakes the janitor
  std::vector<std::pair<std::string, std::unique_ptr<std::string>>> savedEnv_;
};

}  // namespace audiotest
