// The v18 calls over real PortAudio, on the audio test rig (no sound hardware):
// the microphone "testmic" hears what the test feeds it, and what is played to
// "testspk" is recorded by the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/portaudio/PortAudioV18.h"
#include "tests/support/native/AudioAnalysis.h"
#include "tests/support/native/AudioRig.h"
#include "tests/support/native/TempFolder.h"
#include "tests/support/native/Wait.h"

using namespace pa18;
using audiotest::AudioRig;
using audiotest::QuietStderr;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kRate = 44100;
constexpr unsigned long kFrames = 512;
// A sine of amplitude 0.5.
const double kSineDbfs = 20 * std::log10(0.5 / std::numbers::sqrt2);

using testsupport::Sleep;

// Polls cond every 5 ms for at most timeoutSeconds.
bool WaitFor(const std::function<bool()>& cond, double timeoutSeconds) {
  return testsupport::WaitFor(cond, timeoutSeconds, 0.005);
}

PaDeviceID FindDevice(const std::string& name) {
  for (PaDeviceID id = 0; id < Pa_CountDevices(); ++id) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(id);
    if (info && name == info->name) return id;
  }
  return paNoDevice;
}

// Captured mono audio, converted to float by the callback from the stream's
// sample format. Storage is made before the stream starts.
struct Capture {
  PaSampleFormat format = paFloat32;
  std::vector<float> samples;
  std::atomic<std::size_t> count{0};
  std::atomic<std::int64_t> largest{0};  // largest magnitude of the raw integers

  explicit Capture(std::size_t capacity, PaSampleFormat f) : format(f), samples(capacity) {}

  static int Callback(void* input, void*, unsigned long frames, PaTimestamp, void* user) {
    auto* c = static_cast<Capture*>(user);
    std::size_t n = c->count.load(std::memory_order_relaxed);
    std::int64_t largest = c->largest.load(std::memory_order_relaxed);
    for (unsigned long i = 0; i < frames && n < c->samples.size(); ++i, ++n) {
      float v = 0;
      if (c->format == paFloat32) {
        v = static_cast<const float*>(input)[i];
      } else if (c->format == paInt16) {
        const std::int16_t s = static_cast<const std::int16_t*>(input)[i];
        largest = std::max<std::int64_t>(largest, std::abs(s));
        v = s / 32768.0f;
      } else {  // paInt24: 24-bit values in 32-bit ints
        const std::int32_t s = static_cast<const std::int32_t*>(input)[i];
        largest = std::max<std::int64_t>(largest, std::abs(static_cast<std::int64_t>(s)));
        v = static_cast<float>(s / 8388608.0);
      }
      c->samples[n] = v;
    }
    c->largest.store(largest, std::memory_order_relaxed);
    c->count.store(n, std::memory_order_release);
    return 0;
  }
};

// Records `seconds` from the microphone through the v18 callback API.
std::vector<float> RecordMicrophone(PaDeviceID device, PaSampleFormat format, double seconds,
                                    std::int64_t* largest = nullptr) {
  Capture capture(static_cast<std::size_t>(seconds * kRate), format);
  PortAudioStream* stream = nullptr;
  PaError err;
  {
    QuietStderr quiet;
    err = Pa_OpenStream(&stream, device, 1, format, nullptr, paNoDevice, 0, paFloat32, nullptr, kRate,
                        kFrames, 0, paClipOff | paDitherOff, Capture::Callback, &capture);
  }
  EXPECT_EQ(err, paNoError) << Pa_GetErrorText(err);
  if (err != paNoError) return {};
  EXPECT_EQ(Pa_StartStream(stream), paNoError);
  const bool full = WaitFor([&] { return capture.count.load() >= capture.samples.size(); }, seconds + 5);
  EXPECT_TRUE(full) << "only " << capture.count.load() << " of " << capture.samples.size()
                    << " samples arrived";
  EXPECT_EQ(Pa_AbortStream(stream), paNoError);
  EXPECT_EQ(Pa_CloseStream(stream), paNoError);
  if (largest) *largest = capture.largest.load();
  capture.samples.resize(capture.count.load());
  return capture.samples;
}

class PortAudioOnRig : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    rig_ = new AudioRig;
    if (!rig_->ok()) return;
    QuietStderr quiet;
    initError_ = Pa_Initialize();
    // Device records are filled on first use, which probes the devices.
    for (PaDeviceID id = 0; initError_ == paNoError && id < Pa_CountDevices(); ++id) Pa_GetDeviceInfo(id);
  }

  static void TearDownTestSuite() {
    if (rig_->ok() && initError_ == paNoError) {
      QuietStderr quiet;
      Pa_Terminate();
    }
    delete rig_;
    rig_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(rig_->ok()) << rig_->error();
    ASSERT_EQ(initError_, paNoError) << Pa_GetErrorText(initError_);
    mic_ = FindDevice("testmic");
    speaker_ = FindDevice("testspk");
    ASSERT_NE(mic_, paNoDevice);
    ASSERT_NE(speaker_, paNoDevice);
  }

  static AudioRig* rig_;
  static PaError initError_;
  PaDeviceID mic_ = paNoDevice;
  PaDeviceID speaker_ = paNoDevice;
  // A fresh folder for the test's files.
  testsupport::TempFolder tmp{"tarvel-pa"};
};

AudioRig* PortAudioOnRig::rig_ = nullptr;
PaError PortAudioOnRig::initError_ = paInternalError;

TEST_F(PortAudioOnRig, ListsTheRigDevicesWithTheirDirectionsAndRates) {
  const PaDeviceInfo* mic = Pa_GetDeviceInfo(mic_);
  const PaDeviceInfo* speaker = Pa_GetDeviceInfo(speaker_);
  ASSERT_TRUE(mic && speaker);
  // Each opens in one direction only: the record says so.
  EXPECT_GT(mic->maxInputChannels, 0);
  EXPECT_EQ(mic->maxOutputChannels, 0);
  EXPECT_GT(speaker->maxOutputChannels, 0);
  EXPECT_EQ(speaker->maxInputChannels, 0);
  for (const PaDeviceInfo* info : {mic, speaker}) {
    ASSERT_GT(info->numSampleRates, 0) << info->name;
    std::vector<double> rates(info->sampleRates, info->sampleRates + info->numSampleRates);
    for (double standard : {8000.0, 11025.0, 22050.0, 44100.0, 48000.0, 96000.0})
      EXPECT_NE(std::find(rates.begin(), rates.end(), standard), rates.end())
          << info->name << " lacks " << standard;
    EXPECT_TRUE(std::is_sorted(rates.begin(), rates.end()));
  }
  // The same record comes back every time (callers keep the pointer).
  EXPECT_EQ(Pa_GetDeviceInfo(mic_), mic);

  const PaDeviceID in = Pa_GetDefaultInputDeviceID();
  const PaDeviceID out = Pa_GetDefaultOutputDeviceID();
  ASSERT_NE(in, paNoDevice);
  ASSERT_NE(out, paNoDevice);
  EXPECT_GT(Pa_GetDeviceInfo(in)->maxInputChannels, 0);
  EXPECT_GT(Pa_GetDeviceInfo(out)->maxOutputChannels, 0);
}

// A start asks only a device's name and whether it opens in a direction, without the
// probe of every rate; the answers agree with the probed records, which a thread of
// the adapter can fill ahead of their first use.
TEST(PortAudioDevices, NamesAndDirectionsAnswerBeforeTheProbeAndAgreeWithIt) {
  AudioRig rig;
  ASSERT_TRUE(rig.ok()) << rig.error();
  QuietStderr quiet;
  ASSERT_EQ(Pa_Initialize(), paNoError);
  const int count = Pa_CountDevices();
  ASSERT_GT(count, 1);
  std::vector<std::string> names;
  std::vector<bool> input, output;
  for (PaDeviceID id = 0; id < count; ++id) {
    names.push_back(Pa_GetDeviceName(id));
    input.push_back(Pa_DeviceOpens(id, true));
    output.push_back(Pa_DeviceOpens(id, false));
  }
  const auto mic = std::find(names.begin(), names.end(), "testmic") - names.begin();
  const auto speaker = std::find(names.begin(), names.end(), "testspk") - names.begin();
  ASSERT_LT(mic, count);
  ASSERT_LT(speaker, count);
  EXPECT_TRUE(input[mic] && !output[mic]) << "the microphone opens for input only";
  EXPECT_TRUE(output[speaker] && !input[speaker]) << "the speaker opens for output only";
  EXPECT_EQ(Pa_GetDeviceName(count), "");
  EXPECT_FALSE(Pa_DeviceOpens(-1, true));

  Pa_ProbeDevicesAhead();
  for (PaDeviceID id = 0; id < count; ++id) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(id);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->name, names[id]);
    EXPECT_EQ(info->maxInputChannels > 0, input[id]) << names[id];
    EXPECT_EQ(info->maxOutputChannels > 0, output[id]) << names[id];
    EXPECT_EQ(info->numSampleRates > 0, input[id] || output[id]) << names[id];
  }
  // The end waits for the thread that probes.
  EXPECT_EQ(Pa_Terminate(), paNoError);
}

TEST_F(PortAudioOnRig, RecordsTheMicrophoneSineExactly) {
  const int sine = rig_->StartSine(1000);
  ASSERT_GE(sine, 0) << rig_->error();
  std::vector<float> recorded = RecordMicrophone(mic_, paFloat32, 2.25);
  rig_->StopSine(sine);
  ASSERT_GE(recorded.size(), static_cast<std::size_t>(2.25 * kRate));

  // Leave out the first quarter second (the stream settling): 2 s remain.
  std::span<const float> steady(recorded.begin() + static_cast<long>(0.25 * kRate), recorded.end());
  const audiotest::PeriodStats periods = audiotest::MeasurePeriods(steady, kRate);
  EXPECT_NEAR(periods.frequency, 1000.0, 5.0);
  EXPECT_NEAR(audiotest::RmsDbfs(steady), kSineDbfs, 0.5);
  EXPECT_GE(periods.periods, 1990u);
  EXPECT_LE(periods.irregular, 2u) << "gaps in the capture";
}

TEST_F(PortAudioOnRig, RecordsIn16BitAnd24BitIntegers) {
  const int sine = rig_->StartSine(1500);
  ASSERT_GE(sine, 0) << rig_->error();
  struct Case {
    PaSampleFormat format;
    std::int64_t fullScale;
  };
  for (const Case c : {Case{paInt16, 32768}, Case{paInt24, 8388608}}) {
    SCOPED_TRACE(c.fullScale);
    std::int64_t largest = 0;
    std::vector<float> recorded = RecordMicrophone(mic_, c.format, 0.75, &largest);
    ASSERT_GE(recorded.size(), static_cast<std::size_t>(0.75 * kRate));
    std::span<const float> steady(recorded.begin() + static_cast<long>(0.25 * kRate), recorded.end());
    EXPECT_NEAR(audiotest::FrequencyByZeroCrossings(steady, kRate), 1500.0, 7.5);
    EXPECT_NEAR(audiotest::RmsDbfs(steady), kSineDbfs, 0.5);
    // Amplitude 0.5 of the format's full scale: 24-bit values sit in the low
    // bits of the int.
    EXPECT_GT(largest, c.fullScale * 45 / 100);
    EXPECT_LT(largest, c.fullScale * 55 / 100);
  }
  rig_->StopSine(sine);
}

TEST_F(PortAudioOnRig, RecordsAWavFilePlayedIntoTheMicrophone) {
  const std::string wavPath = tmp / "tone.wav";
  audiotest::WavData wav;
  wav.rate = 44100;
  wav.channels = 1;
  wav.samples = audiotest::MakeSine(2000, wav.rate, wav.rate, 0.25);
  ASSERT_TRUE(audiotest::WriteWav(wavPath, wav));

  std::unique_ptr<audiotest::ChildProcess> player = rig_->StartPlayingIntoMicrophone(wavPath);
  ASSERT_TRUE(player) << rig_->error();
  std::vector<float> recorded = RecordMicrophone(mic_, paFloat32, 1.5);
  int status = -1;
  EXPECT_TRUE(player->Wait(5, &status));
  EXPECT_EQ(status, 0);

  const auto [first, last] = audiotest::FindSound(recorded, 0.1f);
  ASSERT_GT(last - first, static_cast<std::size_t>(0.5 * kRate)) << "the tone did not arrive";
  std::span<const float> tone(recorded.begin() + first + 2205, recorded.begin() + last - 2205);
  EXPECT_NEAR(audiotest::FrequencyByZeroCrossings(tone, kRate), 2000.0, 10.0);
  EXPECT_NEAR(audiotest::RmsDbfs(tone), 20 * std::log10(0.25 / std::numbers::sqrt2), 0.5);
}

// Plays a 440 Hz tone of amplitude 0.5 on both channels for a given number of
// frames, then silence, or ends the stream by its return value.
struct Tone {
  std::size_t frames = static_cast<std::size_t>(1.0 * kRate);
  bool endByReturn = false;
  std::atomic<std::size_t> handed{0};
  std::atomic<bool> outTimeOk{true};
  double expectOutTime = 0;

  static int Callback(void*, void* output, unsigned long frames, PaTimestamp outTime, void* user) {
    auto* t = static_cast<Tone*>(user);
    // outTime counts the frames handed over before this buffer.
    if (outTime != t->expectOutTime) t->outTimeOk = false;
    t->expectOutTime = outTime + frames;
    auto* out = static_cast<float*>(output);
    std::size_t n = t->handed.load(std::memory_order_relaxed);
    for (unsigned long i = 0; i < frames; ++i, ++n) {
      const float v =
          n < t->frames ? static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * 440 * n / kRate)) : 0.0f;
      out[2 * i] = out[2 * i + 1] = v;
    }
    t->handed.store(n, std::memory_order_release);
    return t->endByReturn && n >= t->frames ? 1 : 0;
  }
};

class PlaybackOnRig : public PortAudioOnRig {
protected:
  PortAudioStream* OpenTone(Tone& tone) {
    PortAudioStream* stream = nullptr;
    PaError err;
    {
      QuietStderr quiet;
      err = Pa_OpenStream(&stream, paNoDevice, 0, paFloat32, nullptr, speaker_, 2, paFloat32, nullptr, kRate,
                          kFrames, 0, paClipOff | paDitherOff, Tone::Callback, &tone);
    }
    EXPECT_EQ(err, paNoError) << Pa_GetErrorText(err);
    return stream;
  }

  // The tone of `frames` frames reached the speaker whole, clean and at level.
  void ExpectToneRecorded(const std::string& wavPath, std::size_t frames) {
    audiotest::WavData wav;
    std::string error;
    ASSERT_TRUE(audiotest::ReadWav(wavPath, wav, &error)) << error;
    ASSERT_EQ(wav.channels, 2);
    for (int channel = 0; channel < 2; ++channel) {
      SCOPED_TRACE(channel);
      const std::vector<float> samples = wav.Channel(channel);
      const auto [first, last] = audiotest::FindSound(samples, 0.1f);
      EXPECT_NEAR(static_cast<double>(last - first), static_cast<double>(frames), 0.02 * kRate)
          << "the tone did not arrive whole";
      ASSERT_GT(last - first, 4410u);
      std::span<const float> heard(samples.begin() + first + 2205, samples.begin() + last - 2205);
      const audiotest::PeriodStats periods = audiotest::MeasurePeriods(heard, kRate);
      EXPECT_NEAR(periods.frequency, 440.0, 2.2);
      EXPECT_NEAR(audiotest::RmsDbfs(heard), kSineDbfs, 0.5);
      EXPECT_LE(periods.irregular, 2u) << "gaps in the playback";
    }
  }
};

TEST_F(PlaybackOnRig, PlaysAToneThatReachesTheSpeaker) {
  const std::string wavPath = tmp / "speaker.wav";
  auto recording = rig_->RecordSpeaker(wavPath);
  ASSERT_TRUE(recording) << rig_->error();

  Tone tone;
  PortAudioStream* stream = OpenTone(tone);
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(Pa_StartStream(stream), paNoError);
  // Played (not only handed over) the whole tone, then a little silence.
  EXPECT_TRUE(WaitFor([&] { return Pa_StreamTime(stream) >= tone.frames + 0.1 * kRate; }, 6));
  EXPECT_EQ(Pa_StopStream(stream), paNoError);
  EXPECT_EQ(Pa_CloseStream(stream), paNoError);
  EXPECT_TRUE(tone.outTimeOk);
  Sleep(0.1);
  ASSERT_TRUE(recording->Stop());
  ExpectToneRecorded(wavPath, tone.frames);
}

TEST_F(PlaybackOnRig, CallbackEndsTheStreamAfterItsOutputHasPlayed) {
  const std::string wavPath = tmp / "speaker.wav";
  auto recording = rig_->RecordSpeaker(wavPath);
  ASSERT_TRUE(recording) << rig_->error();

  Tone tone;
  tone.endByReturn = true;
  PortAudioStream* stream = OpenTone(tone);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(Pa_StreamActive(stream), 0);
  EXPECT_EQ(Pa_StreamTime(stream), 0.0);
  ASSERT_EQ(Pa_StartStream(stream), paNoError);
  EXPECT_EQ(Pa_StreamActive(stream), 1);

  // The stream time advances at about real time and never goes back.
  ASSERT_TRUE(WaitFor([&] { return Pa_StreamTime(stream) > 0.1 * kRate; }, 3));
  const auto start = Clock::now();
  const double t0 = Pa_StreamTime(stream);
  double previous = t0;
  bool monotonic = true;
  while (Clock::now() - start < std::chrono::milliseconds(400)) {
    const double t = Pa_StreamTime(stream);
    monotonic = monotonic && t >= previous;
    previous = t;
    Sleep(0.002);
  }
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_TRUE(monotonic);
  EXPECT_NEAR((previous - t0) / kRate, wall, 0.25 * wall);

  // Inactive once the last buffer has been heard, and the time ends there.
  EXPECT_TRUE(WaitFor([&] { return Pa_StreamActive(stream) == 0; }, 5));
  const double handed = static_cast<double>(tone.handed.load());
  EXPECT_NEAR(Pa_StreamTime(stream), handed, 2.0 * kFrames);
  EXPECT_EQ(Pa_StopStream(stream), paNoError);
  const double stopped = Pa_StreamTime(stream);
  EXPECT_LE(stopped, handed);
  Sleep(0.05);
  EXPECT_EQ(Pa_StreamTime(stream), stopped);
  EXPECT_EQ(Pa_CloseStream(stream), paNoError);
  EXPECT_TRUE(tone.outTimeOk);
  ASSERT_TRUE(recording->Stop());
  ExpectToneRecorded(wavPath, tone.frames);
}

// What the callback of a capture stream sees: whole buffers of the size asked
// for, outTime counting the frames before, never the caller's thread, nothing
// after the stream ended (by the callback's return value or by a stop), and a
// stream time that matches the frames handed over.
TEST_F(PortAudioOnRig, CaptureCallbacksGetWholeBuffersInOrderUntilTheStreamEnds) {
  struct Watch {
    std::thread::id caller = std::this_thread::get_id();
    int endAfter = 0;  // calls; 0: never
    std::atomic<int> calls{0};
    std::atomic<int> faults{0};  // wrong size, time or thread
    double nextTime = 0;

    static int Callback(void* input, void*, unsigned long frames, PaTimestamp outTime, void* user) {
      auto* w = static_cast<Watch*>(user);
      if (!input || frames != kFrames || outTime != w->nextTime || std::this_thread::get_id() == w->caller)
        w->faults.fetch_add(1);
      w->nextTime = outTime + static_cast<double>(frames);
      const int n = w->calls.fetch_add(1) + 1;
      return w->endAfter > 0 && n >= w->endAfter ? 1 : 0;
    }
  };
  struct Case {
    const char* how;
    int endAfter;
  } cases[] = {{"the callback ends it", 60}, {"the caller stops it", 0}};
  for (const Case& c : cases) {
    Watch watch;
    watch.endAfter = c.endAfter;
    PortAudioStream* stream = nullptr;
    {
      QuietStderr quiet;
      ASSERT_EQ(Pa_OpenStream(&stream, mic_, 2, paInt16, nullptr, paNoDevice, 0, paFloat32, nullptr, kRate,
                              kFrames, 0, paClipOff | paDitherOff, Watch::Callback, &watch),
                paNoError)
          << c.how;
    }
    ASSERT_EQ(Pa_StartStream(stream), paNoError) << c.how;
    if (c.endAfter > 0) {
      EXPECT_TRUE(WaitFor([&] { return Pa_StreamActive(stream) == 0; }, 5.0)) << c.how;
    } else {
      EXPECT_TRUE(WaitFor([&] { return watch.calls.load() >= 60; }, 5.0)) << c.how;
      EXPECT_EQ(Pa_StopStream(stream), paNoError) << c.how;
    }
    const int calls = watch.calls.load();
    Sleep(0.3);
    EXPECT_EQ(watch.calls.load(), calls) << c.how << ": a callback after the end";
    if (c.endAfter > 0) EXPECT_EQ(calls, c.endAfter) << c.how;
    EXPECT_EQ(watch.faults.load(), 0) << c.how;
    EXPECT_NEAR(Pa_StreamTime(stream), static_cast<double>(calls) * kFrames, 0.1 * kRate) << c.how;
    EXPECT_EQ(Pa_CloseStream(stream), paNoError) << c.how;
  }
}

TEST_F(PortAudioOnRig, MissingDevicesAndBadArgumentsGiveErrors) {
  QuietStderr quiet;
  const int count = Pa_CountDevices();
  EXPECT_EQ(Pa_GetDeviceInfo(count), nullptr);
  EXPECT_EQ(Pa_GetDeviceInfo(-1), nullptr);

  struct Case {
    const char* what;
    PaDeviceID in;
    int inChannels;
    PaDeviceID out;
    int outChannels;
    PaSampleFormat format;
    PaError expected;
  };
  const Case cases[] = {
      {"input id past the list", count, 1, paNoDevice, 0, paFloat32, paInvalidDeviceId},
      {"negative output id", paNoDevice, 0, -7, 2, paFloat32, paInvalidDeviceId},
      {"no device at all", paNoDevice, 0, paNoDevice, 0, paFloat32, paInvalidDeviceId},
      {"input channels without a device", paNoDevice, 1, paNoDevice, 0, paFloat32, paInvalidDeviceId},
      {"the microphone as output", paNoDevice, 0, mic_, 2, paFloat32, paInvalidChannelCount},
      {"the speaker as input", speaker_, 1, paNoDevice, 0, paFloat32, paInvalidChannelCount},
      {"unknown sample format", mic_, 1, paNoDevice, 0, paCustomFormat, paSampleFormatNotSupported},
  };
  int sentinel = 0;
  for (const Case& c : cases) {
    PortAudioStream* stream = &sentinel;  // must come back null
    const PaError err =
        Pa_OpenStream(&stream, c.in, c.inChannels, c.format, nullptr, c.out, c.outChannels, c.format, nullptr,
                      kRate, kFrames, 0, paNoFlag, Capture::Callback, nullptr);
    EXPECT_EQ(err, c.expected) << c.what;
    EXPECT_EQ(stream, nullptr) << c.what;
    EXPECT_STRNE(Pa_GetErrorText(err), "") << c.what;
  }

  PortAudioStream* stream = nullptr;
  EXPECT_EQ(Pa_OpenStream(&stream, mic_, 1, paFloat32, nullptr, paNoDevice, 0, paFloat32, nullptr, kRate,
                          kFrames, 0, paNoFlag, nullptr, nullptr),
            paNullCallback);
  EXPECT_EQ(Pa_OpenStream(&stream, mic_, 1, paFloat32, nullptr, paNoDevice, 0, paFloat32, nullptr, 0, kFrames,
                          0, paNoFlag, Capture::Callback, nullptr),
            paInvalidSampleRate);

  EXPECT_EQ(Pa_StartStream(nullptr), paBadStreamPtr);
  EXPECT_EQ(Pa_StopStream(nullptr), paBadStreamPtr);
  EXPECT_EQ(Pa_CloseStream(nullptr), paBadStreamPtr);
  EXPECT_LT(Pa_StreamActive(nullptr), 0);
  EXPECT_EQ(Pa_StreamTime(nullptr), 0.0);
  EXPECT_STREQ(Pa_GetErrorText(paNoError), "Success");
  EXPECT_STRNE(Pa_GetErrorText(12345), "");
}

}  // namespace
