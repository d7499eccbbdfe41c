#pragma once
// The audio engine on the audio test rig: a stand-in for the windows the engine
// posts to (a recording poster, a control panel that stops the stream when the
// engine asks, message boxes that are noted), the settings records the engine
// reads, and the engine itself made and destroyed around each test.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/SoundDeviceOptions.h"
#include "core/engine/AudioIO.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "core/model/DirManager.h"
#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"
#include "tests/support/native/RecordedMessageBoxes.h"
#include "tests/support/native/TrackProject.h"
#include "tests/support/native/Wait.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/WindowMessages.h"
#include "tests/support/native/AudioAnalysis.h"
#include "tests/support/native/AudioRig.h"

namespace enginetest {

using Clock = std::chrono::steady_clock;

using testsupport::RecordedMessageBoxes;
using testsupport::Sleep;
using testsupport::WaitFor;

// Window handles the tests hand the engine.
constexpr seams::WindowHandle kMeter = 0x1001;
constexpr seams::WindowHandle kPanel = 0x1002;
constexpr seams::WindowHandle kStopButton = 0x1003;
constexpr seams::WindowHandle kListener = 0x1004;

// Notes every message; safe from the audio callback (no lock, no allocation:
// the slots are made up front).
class RecordingPoster : public seams::MessagePoster {
public:
  struct Message {
    seams::WindowHandle window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
  };

  RecordingPoster() : slots_(kCapacity), ready_(new std::atomic<bool>[kCapacity]) {
    for (std::size_t i = 0; i < kCapacity; ++i) ready_[i] = false;
    old_ = seams::SetMessagePoster(this);
  }
  ~RecordingPoster() override { seams::SetMessagePoster(old_); }

  bool Post(seams::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
            std::intptr_t lParam) noexcept override {
    const std::size_t i = next_.fetch_add(1);
    if (i >= kCapacity) return false;
    slots_[i] = Message{window, message, wParam, lParam};
    ready_[i].store(true, std::memory_order_release);
    return true;
  }

  std::vector<Message> Messages(seams::WindowHandle window, std::uint32_t message) const {
    std::vector<Message> out;
    const std::size_t n = std::min(next_.load(), kCapacity);
    for (std::size_t i = 0; i < n; ++i)
      if (ready_[i].load(std::memory_order_acquire) && slots_[i].window == window &&
          slots_[i].message == message)
        out.push_back(slots_[i]);
    return out;
  }
  std::size_t Count(seams::WindowHandle window, std::uint32_t message) const {
    return Messages(window, message).size();
  }
  std::size_t StopCommands() const {
    std::size_t n = 0;
    for (const Message& m : Messages(kPanel, kCommandMessage))
      if (m.wParam == static_cast<std::uintptr_t>(kStopCommandId) &&
          m.lParam == static_cast<std::intptr_t>(kStopButton))
        ++n;
    return n;
  }

private:
  static constexpr std::size_t kCapacity = 1 << 16;
  std::vector<Message> slots_;
  std::unique_ptr<std::atomic<bool>[]> ready_;
  std::atomic<std::size_t> next_{0};
  seams::MessagePoster* old_ = nullptr;
};

// One rig per process, shared by its tests (made before PortAudio starts).
inline audiotest::AudioRig& Rig() {
  static audiotest::AudioRig rig;
  return rig;
}

// The engine with the rig's devices, made fresh for each test.
class EngineOnRig : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Rig().ok()) << Rig().error();

    record.SetDefaults();
    record.ActiveRecordingMode = 0;
    record.EnableSilenceDetection = 0;
    record.TimeLimitType = 0;
    record.EnableAutoSplit = 0;
    device.PlaybackDeviceName = "testspk";
    device.RecordDeviceName = "testmic";
    device.ChannelCount = 2;
    device.SampleFormat = SampleFormatInt16;
    device.SampleRate = 44100;
    output.strAutoNameFolder = tmp.path();
    output.strFileLeadName = "rec";
    output.uFileNameDigitCount = 3;
    output.uStartNO = 1;
    output.bWrapCounter = 0;
    output.eFileType = 1;
    encode.WavFileFormat = 0x10000;
    encode.WavSampleRate = 44100;
    encode.WavSampleFormat = SampleFormatInt16;
    encode.WavChannelMode = 1;
    StreamWriterSettings s;
    s.encode = &encode;
    s.output = &output;
    s.record = &record;
    s.device = &device;
    mOldWriterSettings = SetStreamWriterSettings(s);
    mOldDevice = settings::ApplicationSoundDeviceOptions();
    settings::SetApplicationSoundDeviceOptions(&device);

    {
      audiotest::QuietStderr quiet;
      CreateAudioIO(&record);
    }
    ASSERT_NE(gAudioIO, nullptr);
    gAudioIO->SetMeterWindow(kMeter);
    gAudioIO->SetControlPanel(kPanel, kStopButton);
  }

  void TearDown() override {
    {
      audiotest::QuietStderr quiet;
      const auto start = Clock::now();
      DestroyAudioIO();
      EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 5.0);
    }
    EXPECT_EQ(gAudioIO, nullptr);
    for (WaveTrack* t : mTracks) delete t;
    mTracks.clear();
    SetStreamWriterSettings(mOldWriterSettings);
    settings::SetApplicationSoundDeviceOptions(mOldDevice);
  }

  // A new track owned by the test.
  WaveTrack* NewTrack(SampleFormat format, double rate = 44100.0, int channel = Track::MonoChannel) {
    WaveTrack* t = factory->NewWaveTrack(format, rate);
    t->SetChannel(channel);
    mTracks.push_back(t);
    return t;
  }

  // The project's pair of recording tracks (16-bit, left and right).
  std::vector<WaveTrack*> RecordingPair(SampleFormat format = SampleFormatInt16) {
    WaveTrack* l = NewTrack(format, 44100.0, Track::LeftChannel);
    WaveTrack* r = NewTrack(format, 44100.0, Track::RightChannel);
    l->SetLinked(true);
    return {l, r};
  }

  static std::vector<float> Samples(const WaveTrack* t) {
    std::vector<float> s(static_cast<std::size_t>(t->GetNumSamples()));
    EXPECT_TRUE(t->Get(reinterpret_cast<SamplePtr>(s.data()), SampleFormatFloat,
                       t->TimeToSamples(t->GetOffset()), static_cast<std::int32_t>(s.size())));
    return s;
  }

  // Plays the control panel: when the engine posts the Stop command, stop the
  // stream (on this thread, as the panel would). False when no Stop came in
  // timeoutSeconds.
  bool ServeStopCommand(double timeoutSeconds, std::size_t already = 0) {
    if (!WaitFor([&] { return poster.StopCommands() > already; }, timeoutSeconds)) return false;
    audiotest::QuietStderr quiet;
    gAudioIO->StopStream();
    return true;
  }

  void Stop() {
    audiotest::QuietStderr quiet;
    gAudioIO->StopStream();
  }

  // The block files, and the recordings beside them.
  testsupport::TrackProject project;
  const testsupport::TempFolder& tmp = project.folder();
  RecordingPoster poster;
  RecordedMessageBoxes boxes;
  AdvanceRecordSetting record;
  SoundDeviceOptions device;
  FileOutputOptions output;
  FileEncodeOptions encode;
  TrackFactory* factory = project.factory();

private:
  std::vector<WaveTrack*> mTracks;
  StreamWriterSettings mOldWriterSettings;
  const SoundDeviceOptions* mOldDevice = nullptr;
};

}  // namespace enginetest
