// Failures on the audio test rig: impossible settings and a missing encoder
// fail the start and leave the engine usable; a file or block write that fails
// stops the recording through the Stop command and tells the user; a sound
// server that goes away mid-recording does not leave the engine stuck.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/core/engine/audio_io_test_support.h"
#include "audiofiles/io/LameEncoder.h"
#include "audiofiles/writers/MP3StreamWriter.h"
#include "core/model/Sequence.h"
#include "platform/portaudio/PortAudioV18.h"
#include "tests/support/native/Files.h"

namespace {

using namespace enginetest;
namespace fs = std::filesystem;

constexpr double kRate = 44100.0;

class EngineFailures : public EngineOnRig {
protected:
  // A short recording into a new pair of tracks; its length in seconds.
  double RecordBriefly() {
    std::vector<WaveTrack*> pair = RecordingPair();
    int token = 0;
    {
      audiotest::QuietStderr quiet;
      token = gAudioIO->StartStream({}, pair, nullptr, kRate, 0.0, 1e9, 0);
    }
    EXPECT_GT(token, 0);
    if (token <= 0) return 0.0;
    Sleep(0.5);
    Stop();
    return pair[0]->GetNumSamples() / kRate;
  }
};

TEST_F(EngineFailures, ImpossibleSettingsFailTheStartWithoutAMessage) {
  std::vector<WaveTrack*> pair = RecordingPair();
  struct StreamCase {
    const char* what;
    double rate;
    std::vector<WaveTrack*> capture;
  } streams[] = {
      {"a rate no device has", 1e7, pair},
      {"no rate", 0.0, pair},
      {"nothing to play or record", kRate, {}},
  };
  for (const StreamCase& c : streams) {
    audiotest::QuietStderr quiet;
    EXPECT_EQ(gAudioIO->StartStream({}, c.capture, nullptr, c.rate, 0.0, 1e9, 0), 0) << c.what;
    EXPECT_FALSE(gAudioIO->IsBusy()) << c.what;
  }

  record.ActiveRecordingMode = 1;
  struct DeviceCase {
    const char* what;
    int channels, format, rate;
  } devices[] = {
      {"64 channels", 64, SampleFormatInt16, 44100},
      {"no channel", 0, SampleFormatInt16, 44100},
      {"an unknown sample format", 2, 0x1234, 44100},
      {"a rate no device has", 2, SampleFormatInt16, 10000000},
  };
  for (const DeviceCase& c : devices) {
    device.ChannelCount = c.channels;
    device.SampleFormat = c.format;
    device.SampleRate = c.rate;
    audiotest::QuietStderr quiet;
    EXPECT_EQ(gAudioIO->StartDirectToFileRecording(), 0) << c.what;
    EXPECT_FALSE(gAudioIO->IsBusy()) << c.what;
    EXPECT_EQ(gAudioIO->GetCurrentWriter(), nullptr);
  }
  device.ChannelCount = 2;
  device.SampleFormat = SampleFormatInt16;
  device.SampleRate = 44100;
  record.ActiveRecordingMode = 0;

  EXPECT_TRUE(boxes.Boxes().empty()) << "the callers tell the user";
  EXPECT_NEAR(RecordBriefly(), 0.5, 0.2) << "the engine still records";
}

TEST_F(EngineFailures, MissingMp3EncoderStopsTheStartWithItsMessages) {
  record.ActiveRecordingMode = 1;
  output.eFileType = 0;
  // A binding that looks for the library in an empty folder.
  const std::string oldPath = LameEncoder::GetLibrarySearchPath();
  LameEncoder::SetLibrarySearchPath(tmp.path());
  LameEncoder missing;
  auto* mp3 = dynamic_cast<MP3StreamWriter*>(gAudioIO->GetMP3Writer());
  ASSERT_NE(mp3, nullptr);
  mp3->SetEncoder(&missing);
  EXPECT_EQ(gAudioIO->StartDirectToFileRecording(), 0);
  mp3->SetEncoder(nullptr);
  LameEncoder::SetLibrarySearchPath(oldPath);

  EXPECT_FALSE(gAudioIO->IsBusy());
  std::vector<RecordedMessageBoxes::Box> shown = boxes.Boxes();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "Could not open MP3 encoding library!");
  EXPECT_EQ(shown[1].text, "Audio Engine can not be initialized!");
  EXPECT_TRUE(fs::is_empty(tmp.path()) || !fs::exists(tmp / "rec001.MP3"));

  output.eFileType = 1;  // the WAV writer still works
  {
    audiotest::QuietStderr quiet;
    ASSERT_GT(gAudioIO->StartDirectToFileRecording(), 0);
  }
  Sleep(0.3);
  Stop();
  EXPECT_TRUE(fs::exists(tmp / "rec002.wav") || fs::exists(tmp / "rec001.wav"));
}

TEST_F(EngineFailures, FailedWritesStopTheRecordingAndTellTheUser) {
  const int sine = Rig().StartSine(1000);
  ASSERT_GE(sine, 0);
  const int savedBlockBytes = Sequence::GetMaxDiskBlockSize();

  struct Case {
    const char* what;
    bool direct;
    const char* folder;    // output folder under the test folder
    rlim_t fileSizeLimit;  // 0: none
    const char* textPart;  // in the message
  } cases[] = {
      {"output folder missing", true, "missing", 0, "missing/rec001.wav"},
      {"disk full while writing the file", true, "out", 150000, "out/rec001.wav"},
      {"disk full while writing blocks", false, "out", 16000, "temporary folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::create_directories(tmp / "out");
    output.strAutoNameFolder = tmp / c.folder;
    output.uStartNO = 1;
    output.eFileType = 1;
    record.ActiveRecordingMode = c.direct ? 1 : 0;
    // Blocks of 32 K samples, so that the editing mode writes one soon.
    Sequence::SetMaxDiskBlockSize(65536);
    std::vector<WaveTrack*> pair = RecordingPair();
    const std::size_t stops = poster.StopCommands();
    const std::size_t shown = boxes.Boxes().size();
    {
      int token = 0;
      {
        audiotest::QuietStderr quiet;
        token = c.direct ? gAudioIO->StartDirectToFileRecording()
                         : gAudioIO->StartStream({}, pair, nullptr, kRate, 0.0, 1e9, 0);
      }
      ASSERT_GT(token, 0);
      // The disk fills up once the recording runs.
      std::unique_ptr<testsupport::FileSizeLimit> limit;
      if (c.fileSizeLimit) limit = std::make_unique<testsupport::FileSizeLimit>(c.fileSizeLimit);
      ASSERT_TRUE(ServeStopCommand(5.0, stops)) << "the engine asks the panel to stop";
    }
    EXPECT_FALSE(gAudioIO->IsBusy());
    std::vector<RecordedMessageBoxes::Box> now = boxes.Boxes();
    ASSERT_EQ(now.size(), shown + 1) << "the user is told once";
    EXPECT_NE(now.back().text.find(c.textPart), std::string::npos) << now.back().text;
    EXPECT_EQ(now.back().flags, static_cast<unsigned>(seams::kMbIconError));
    const std::size_t stopsAfter = poster.StopCommands();
    Sleep(0.3);
    EXPECT_EQ(poster.StopCommands(), stopsAfter) << "no Stop command after the stop";
    if (!c.direct) {
      // The blocks that did not fit whole went in as pieces that did: both channels
      // keep what was captured up to the failure (a block's worth), equal in length.
      EXPECT_EQ(pair[0]->GetNumSamples(), pair[1]->GetNumSamples()) << "the channels stay in step";
      EXPECT_GE(pair[0]->GetNumSamples(), 32768);
    }
  }
  Sequence::SetMaxDiskBlockSize(savedBlockBytes);
  record.ActiveRecordingMode = 0;
  const double length = RecordBriefly();
  Rig().StopSine(sine);
  EXPECT_NEAR(length, 0.5, 0.2) << "the engine still records";
  EXPECT_EQ(boxes.Boxes().size(), 3u);
}

// Starts the engine's stream itself when the engine posts its first command,
// which happens on the buffer thread between the opening and the start of a
// stream whose output file cannot be made: the engine's own start then fails.
class StreamStartingPoster : public RecordingPoster {
public:
  bool Post(seams::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
            std::intptr_t lParam) noexcept override {
    if (message == kCommandMessage && !started_.exchange(true) && gAudioIO && gAudioIO->GetPortAudioStream())
      pa18::Pa_StartStream(gAudioIO->GetPortAudioStream());
    return RecordingPoster::Post(window, message, wParam, lParam);
  }

private:
  std::atomic<bool> started_{false};
};

TEST_F(EngineFailures, AFailedStartClosesItsStreamAndTheNextStartWorks) {
  record.ActiveRecordingMode = 1;
  output.eFileType = 1;
  output.strAutoNameFolder = tmp / "missing";
  {
    StreamStartingPoster starter;
    audiotest::QuietStderr quiet;
    EXPECT_EQ(gAudioIO->StartDirectToFileRecording(), 0);
  }
  EXPECT_FALSE(gAudioIO->IsBusy());
  EXPECT_EQ(gAudioIO->GetPortAudioStream(), nullptr) << "the stream it opened is closed";
  EXPECT_EQ(gAudioIO->GetCurrentWriter(), nullptr);
  EXPECT_NE(gAudioIO->GetLastOpenError(), 0);
  EXPECT_TRUE(boxes.Boxes().empty()) << "a failed start is the caller's to tell";

  record.ActiveRecordingMode = 0;
  EXPECT_NEAR(RecordBriefly(), 0.5, 0.2) << "the engine still records";
}

// In a process of its own (with a rig of its own, which it kills), bounded by
// an alarm: a hang fails the test instead of blocking the run.
void RecordWhileTheServerDies() {
  alarm(30);
  audiotest::AudioRig rig;
  if (!rig.ok()) std::_Exit(2);
  RecordingPoster poster;
  RecordedMessageBoxes boxes;
  AdvanceRecordSetting record;
  SoundDeviceOptions device;
  device.RecordDeviceName = "testmic";
  device.PlaybackDeviceName = "testspk";
  StreamWriterSettings s;
  s.record = &record;
  s.device = &device;
  SetStreamWriterSettings(s);
  testsupport::TrackProject project;
  // _Exit runs no destructor: the project's folder goes first.
  auto leave = [&project](int code) {
    std::error_code ec;
    std::filesystem::remove_all(project.folder().path(), ec);
    std::_Exit(code);
  };
  {
    TrackFactory& factory = *project.factory();
    std::unique_ptr<WaveTrack> left(factory.NewWaveTrack(SampleFormatInt16, 44100.0));
    std::unique_ptr<WaveTrack> right(factory.NewWaveTrack(SampleFormatInt16, 44100.0));
    {
      audiotest::QuietStderr quiet;
      CreateAudioIO(&record);
      gAudioIO->SetControlPanel(kPanel, kStopButton);
      if (gAudioIO->StartStream({}, {left.get(), right.get()}, nullptr, 44100.0, 0.0, 1e9, 0) <= 0) leave(3);
    }
    Sleep(0.5);
    // The server goes away.
    std::ifstream pidFile(rig.dir() + "/pulse.pid");
    int pid = 0;
    pidFile >> pid;
    if (pid <= 0 || kill(pid, SIGKILL) != 0) leave(4);
    // The engine notices and asks to stop; the panel stops the stream.
    const bool asked = WaitFor([&] { return poster.StopCommands() > 0; }, 5.0);
    {
      audiotest::QuietStderr quiet;
      gAudioIO->StopStream();
      if (gAudioIO->IsBusy()) leave(5);
      DestroyAudioIO();
    }
    if (!asked) leave(6);
    if (boxes.Boxes().size() != 1) leave(7);
    if (left->GetNumSamples() < 44100 / 4) leave(8);  // what came before is kept
  }
  leave(0);
}

TEST(EngineServerDeath, AStreamWhoseServerDiesIsStoppedAndReleased) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(RecordWhileTheServerDies(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
