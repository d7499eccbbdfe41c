// The engine's life, its streams and their queries. The callback is in
// AudioIOCallback.cpp, the buffer thread in AudioThread.cpp, the mixer
// operations in AudioIOMixer.cpp.
#include "core/engine/AudioIO.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/InputSourceSetting.h"
#include "app/settings/SoundDeviceOptions.h"
#include "core/engine/AutoResetEvent.h"
#include "core/engine/EngineText.h"
#include "audiofiles/writers/MP3StreamWriter.h"
#include "audiofiles/writers/OggStreamWriter.h"
#include "core/engine/SoundCardMixer.h"
#include "audiofiles/writers/StreamFileWriter.h"
#include "audiofiles/writers/StreamMixer.h"
#include "audiofiles/writers/WavStreamWriter.h"
#include "core/model/BlockFileRecycler.h"
#include "core/model/Mixer.h"
#include "core/model/RingBuffer.h"
#include "core/model/Sequence.h"
#include "core/model/TakeJournal.h"
#include "core/model/WaveTrack.h"
#include "platform/portaudio/PortAudioV18.h"
#include "platform/seams/MessageBox.h"
#include "platform/seams/ProcessSignals.h"

using namespace pa18;

AudioIO* gAudioIO = nullptr;

namespace {

// Tokens of started streams; each successful start takes the next one.
int g_streamTokenCounter = 0;

constexpr double kNoStreamTime = -1000000000.0;
// Longest a PortAudio callback may be; larger buffers are cut to this.
constexpr int kMaxCallbackFrames = 8192;
// Exit waits at most this long for a stream or the buffer thread.
constexpr auto kExitWait = std::chrono::seconds(10);

constexpr unsigned kMbIconStop = seams::kMbIconError;  // MB_ICONSTOP = MB_ICONERROR

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

PaSampleFormat ToPaSampleFormat(SampleFormat format) {
  switch (format) {
    case SampleFormatInt16:
      return paInt16;
    case SampleFormatInt24:
      return paInt24;
    default:
      return paFloat32;
  }
}

bool IsKnownFormat(std::int32_t format) {
  return format == SampleFormatInt16 || format == SampleFormatInt24 || format == SampleFormatFloat;
}

int RingLength(double seconds, double rate) { return static_cast<int>(seconds * rate + 0.5); }

// The device list of the settings records, from PortAudio.
class PortAudioDeviceCatalog : public settings::SoundDeviceCatalog {
public:
  int CountDevices() override { return std::max(Pa_CountDevices(), 0); }
  bool GetDeviceInfo(int id, settings::SoundDeviceInfo* info) override {
    const PaDeviceInfo* d = Pa_GetDeviceInfo(id);
    if (!d || !info) return false;
    info->name = d->name ? d->name : "";
    info->maxInputChannels = d->maxInputChannels;
    info->maxOutputChannels = d->maxOutputChannels;
    info->numSampleRates = d->numSampleRates;
    const int n = d->numSampleRates < 0 ? 2 : d->numSampleRates;
    info->sampleRates.assign(d->sampleRates ? d->sampleRates : nullptr,
                             d->sampleRates ? d->sampleRates + n : nullptr);
    return true;
  }
};

// What the input-source record reads of the mixer.
class EngineMixerReader : public settings::MixerReader {
public:
  void GetMixer(std::int32_t* source, float* inputVolume, float* outputVolume) override {
    int s = 0;
    float in = 1.0f, out = 1.0f;
    if (gAudioIO) gAudioIO->GetMixer(&s, &in, &out);
    if (source) *source = s;
    if (inputVolume) *inputVolume = in;
    if (outputVolume) *outputVolume = out;
  }
};

PortAudioDeviceCatalog g_catalog;
EngineMixerReader g_mixerReader;
settings::SoundDeviceCatalog* g_oldCatalog = nullptr;
settings::MixerReader* g_oldMixerReader = nullptr;

}  // namespace

// ---- life -------------------------------------------------------------------

AudioIO::AudioIO(AdvanceRecordSetting* settings) : mSettings(settings) {
  if (!mSettings) {
    mOwnSettings = std::make_unique<AdvanceRecordSetting>();
    mSettings = mOwnSettings.get();
  }
  ZeroSilenceCounters();
  // Counted in 512-frame buffers at 44100 Hz until a stream gives the real rate.
  mZcrDelayCount = SilenceDelayCount(mSettings->ZCRDelaySeconds, 44100.0);
  mSeDelayCount = SilenceDelayCount(mSettings->SEDelaySeconds, 44100.0);
  mThreadTimeout = -1;
  mLevelInterval = 2;

  mStreamMixer = new StreamMixer;
  mMP3Writer = new MP3StreamWriter(&mStreamMixer);
  mWavWriter = new WavStreamWriter(&mStreamMixer);
  mOggWriter = new OggStreamWriter(&mStreamMixer);

  mCallbackSamples.assign(kMaxCallbackFrames, 0);
  mCallbackLevels.assign(kMaxCallbackFrames, 0);
  mCallbackPlayback.assign(kMaxCallbackFrames, 0.0f);

  const PaError err = Pa_Initialize();
  mPaInitialized = err == paNoError;
  if (!mPaInitialized) {
    seams::ShowMessageBox(engine_text::InitFailed(Pa_GetErrorText(err)), seams::kProgramCaption,
                          seams::kMbOk | kMbIconStop);
  }

  auto hub = std::make_shared<EventHub>();
  mQuitEvent = new AutoResetEvent(hub);
  mExitedEvent = new AutoResetEvent(hub);
  mWorkEvent = new AutoResetEvent(hub);
  // The user-interface thread waits for "done" alone: its own hub.
  mDoneEvent = new AutoResetEvent();
  mMixer = nullptr;
  OpenMixer();
}

void AudioIO::StartBufferThread() {
  auto* block = new AudioThreadBlock{mQuitEvent, mExitedEvent, mWorkEvent, mDoneEvent};
  mThread = std::thread(AudioThread, block);
}

AudioIO::~AudioIO() {
  CloseSoundCardMixer(mMixer);
  mMixer = nullptr;
  if (mPaInitialized) Pa_Terminate();
  bool exited = true;
  if (mThread.joinable()) {
    mQuitEvent->Set();
    exited = mExitedEvent->Wait(
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(kExitWait).count()));
    if (exited) {
      mThread.join();
    } else {
      // A writer stuck in the file system: leave the thread and what it may
      // still touch behind rather than hang the exit or free its data.
      mThread.detach();
      return;
    }
  }
  delete mQuitEvent;
  delete mExitedEvent;
  delete mWorkEvent;
  delete mDoneEvent;
  delete mMP3Writer;
  delete mWavWriter;
  delete mOggWriter;
  delete mStreamMixer;
}

void CreateAudioIO(AdvanceRecordSetting* settings) {
  if (gAudioIO) return;
  InstallAudioIO(std::make_unique<AudioIO>(settings));
}

void InstallAudioIO(std::unique_ptr<AudioIO> engine) {
  if (gAudioIO || !engine) return;
  // A file past the size limit fails its write instead of ending the program.
  seams::IgnoreFileSizeSignal();
  g_oldCatalog = settings::SetSoundDeviceCatalog(&g_catalog);
  gAudioIO = engine.release();
  g_oldMixerReader = settings::SetMixerReader(&g_mixerReader);
  gAudioIO->StartBufferThread();
}

void DestroyAudioIO() {
  if (!gAudioIO) return;
  // A stream that finished or died is still busy: stop it as well.
  if (gAudioIO->IsBusy()) gAudioIO->StopStream();
  const auto deadline = std::chrono::steady_clock::now() + kExitWait;
  while (gAudioIO->IsBusy() && std::chrono::steady_clock::now() < deadline) SleepMs(100);
  settings::SetSoundDeviceCatalog(g_oldCatalog);
  settings::SetMixerReader(g_oldMixerReader);
  g_oldCatalog = nullptr;
  g_oldMixerReader = nullptr;
  delete gAudioIO;
  gAudioIO = nullptr;
}

bool IsDirectToFileMode() { return gAudioIO && gAudioIO->GetSettings()->ActiveRecordingMode == 1; }

// ---- helpers ------------------------------------------------------------------

int AudioIO::SilenceDelayCount(double seconds, double rate) {
  const double buffers = seconds * rate / kFramesPerBuffer + 0.5;
  if (!(buffers >= 1.0)) return 1;  // also NaN
  return buffers > 1e9 ? 1000000000 : static_cast<int>(buffers);
}

int AudioIO::LevelIntervalFor(double rate) {
  const double n = rate * 0.0001171875;
  return n >= 1.0 ? static_cast<int>(n) : 1;
}

const SoundDeviceOptions& AudioIO::DeviceOptions() const {
  if (const SoundDeviceOptions* o = GetStreamWriterSettings().device) return *o;
  if (const SoundDeviceOptions* o = settings::ApplicationSoundDeviceOptions()) return *o;
  static const SoundDeviceOptions defaults;
  return defaults;
}

void AudioIO::ZeroSilenceCounters() {
  std::fill(std::begin(mZcrCounters), std::end(mZcrCounters), 0);
  std::fill(std::begin(mSeCounters), std::end(mSeCounters), 0);
  std::fill(std::begin(mMonitorZcr), std::end(mMonitorZcr), 0);
  std::fill(std::begin(mMonitorEnergy), std::end(mMonitorEnergy), 0);
}

void AudioIO::ComputeSizes(int playbackTracks, int captureChannels, double minCaptureFactor,
                           double minCaptureBase) {
  mPlaybackRingSecs = 0.5 * playbackTracks + 6.5;
  mMaxPlaybackSecsToCopy = 0.25 * playbackTracks + 0.45;
  mCaptureRingSecs = 0.5 * captureChannels + 8.5;
  mMinCaptureSecsToCopy = minCaptureFactor * captureChannels + minCaptureBase;
  mZcrDelayCount = SilenceDelayCount(mSettings->ZCRDelaySeconds, mRate);
  mSeDelayCount = SilenceDelayCount(mSettings->SEDelaySeconds, mRate);
  if (mSettings->SilenceDetectionAlgorihms == 0) mSettings->SilenceDetectionAlgorihms = 1;
  mLevelInterval = LevelIntervalFor(mRate);
}

int AudioIO::FindDevice(const std::string& name, bool input) const {
  int device = input ? Pa_GetDefaultInputDeviceID() : Pa_GetDefaultOutputDeviceID();
  if (name.empty()) return device;
  // By name first: finding a device's channels opens it, and a start should open
  // only the devices it uses.
  const int count = Pa_CountDevices();
  for (int id = 0; id < count; ++id) {
    if (Pa_GetDeviceName(id) == name && Pa_DeviceOpens(id, input)) device = id;
  }
  return device;
}

void AudioIO::ReopenMixerOnStream(int inputDevice, int outputDevice) {
  CloseSoundCardMixer(mMixer);
  mMixer = nullptr;
  auto nameOf = [](int id) -> std::string {
    const PaDeviceInfo* info = id >= 0 ? Pa_GetDeviceInfo(id) : nullptr;
    return info && info->name ? info->name : "";
  };
  // A stream in one direction still gets the mixer of the options' device for
  // the other: a mixer without its input side would read the recording volume
  // as 0 after a playback, and whoever reads it could write that back.
  const SoundDeviceOptions& options = DeviceOptions();
  const int in = inputDevice >= 0 ? inputDevice : FindDevice(options.RecordDeviceName, true);
  const int out = outputDevice >= 0 ? outputDevice : FindDevice(options.PlaybackDeviceName, false);
  mMixer = OpenSoundCardMixer(nameOf(in), nameOf(out));
  if (!mMixer) mMixer = OpenSoundCardMixer(nameOf(inputDevice), nameOf(outputDevice));
}

bool AudioIO::OpenStream(double rate, int playbackChannels, int captureChannels, SampleFormat captureFormat) {
  mRate = rate;
  mNumPlaybackChannels = playbackChannels;
  mNumCaptureChannels = captureChannels;
  int outputDevice = paNoDevice;
  int inputDevice = paNoDevice;
  const SoundDeviceOptions& options = DeviceOptions();
  if (playbackChannels > 0) outputDevice = FindDevice(options.PlaybackDeviceName, false);
  PaSampleFormat inputFormat = paFloat32;
  if (captureChannels > 0) {
    mCaptureFormat = captureFormat;
    inputDevice = FindDevice(options.RecordDeviceName, true);
    inputFormat = ToPaSampleFormat(captureFormat);
  }
  PortAudioStream* stream = nullptr;
  mLastPaError = Pa_OpenStream(&stream, inputDevice, captureChannels, inputFormat, nullptr, outputDevice,
                               playbackChannels, paFloat32, nullptr, rate, kFramesPerBuffer, 0,
                               paClipOff | paDitherOff, AudioIOCallback, this);
  if (mLastPaError != paNoError) stream = nullptr;
  mPortStream = stream;
  CloseSoundCardMixer(mMixer);
  mMixer = nullptr;
  if (stream) ReopenMixerOnStream(inputDevice, outputDevice);
  mFinished = 0;
  return mLastPaError == paNoError;
}

// ---- streams --------------------------------------------------------------------

int AudioIO::StartStream(const std::vector<WaveTrack*>& playbackTracks,
                         const std::vector<WaveTrack*>& captureTracks, const Track* timeTrack,
                         double sampleRate, double t0, double t1, int loop) {
  ZeroSilenceCounters();
  if (IsBusy()) return 0;
  mStreamToken = -1;

  // A stream left over from before is closed first (bounded: a stream that
  // cannot be closed fails this start rather than hang it).
  if (mPortStream.load()) {
    StopStream();
    for (int i = 0; i < 40 && mPortStream.load(); ++i) SleepMs(50);
    if (mPortStream.load()) {
      mStreamToken = 0;
      return 0;
    }
  }

  const bool capturing = !captureTracks.empty();
  const bool playing = !playbackTracks.empty();
  const bool sane =
      (capturing || playing) && static_cast<int>(captureTracks.size()) <= kMaxCaptureChannels &&
      sampleRate > 0 && std::isfinite(sampleRate) && std::isfinite(t0) && !(t1 < t0) &&
      std::none_of(captureTracks.begin(), captureTracks.end(), [](WaveTrack* t) { return t == nullptr; }) &&
      std::none_of(playbackTracks.begin(), playbackTracks.end(), [](WaveTrack* t) { return t == nullptr; });
  if (!sane) {
    mStreamToken = 0;
    return 0;
  }

  mStopRequested = 0;
  mRate = sampleRate;
  mT0 = t0;
  mTime = t0;
  mT1 = t1;
  mLoop = loop;
  mCurrentWriter = nullptr;
  mPlaybackTracks = playbackTracks;
  mCaptureTracks = captureTracks;
  mTimeTrack = timeTrack;
  mSkippedSilence = 0.0;
  mPausedSeconds = 0.0;
  ComputeSizes(static_cast<int>(playbackTracks.size()), static_cast<int>(captureTracks.size()), 0.2, 0.2);

  const int playbackChannels = playing ? 2 : 0;
  const int captureChannels = static_cast<int>(captureTracks.size());
  const SampleFormat captureFormat =
      capturing ? captureTracks[0]->GetSequence()->GetSampleFormat() : SampleFormatFloat;

  if (!OpenStream(sampleRate, playbackChannels, captureChannels, captureFormat)) {
    mPlaybackTracks.clear();
    mCaptureTracks.clear();
    mNumCaptureChannels = mNumPlaybackChannels = 0;
    mStreamToken = 0;
    return 0;
  }

  if (playing) {
    const int ringLen = RingLength(mPlaybackRingSecs, mRate);
    const int copyLen = RingLength(mMaxPlaybackSecsToCopy, mRate);
    for (WaveTrack* track : mPlaybackTracks) {
      mPlaybackBuffers.push_back(new RingBuffer(SampleFormatFloat, ringLen));
      WaveTrack* one[] = {track};
      auto* mixer = new Mixer(1, one, timeTrack, t0, t1, 1, copyLen, false, mRate, SampleFormatFloat, true);
      mixer->ApplyTrackGains(false);  // the callback applies them
      mPlaybackMixers.push_back(mixer);
    }
  }
  if (capturing) {
    const int ringLen = RingLength(mCaptureRingSecs, mRate);
    for (WaveTrack* track : mCaptureTracks)
      mCaptureBuffers.push_back(new RingBuffer(track->GetSampleFormat(), ringLen));
    BeginTakeJournal();
  }
  return LaunchStream();
}

bool AudioIO::OpenCaptureStreamFromOptions(double minCaptureFactor, double minCaptureBase) {
  const SoundDeviceOptions& options = DeviceOptions();
  const int channels = options.ChannelCount;
  const double rate = options.SampleRate;
  if (channels < 1 || channels > kMaxCaptureChannels || !IsKnownFormat(options.SampleFormat) || !(rate > 0))
    return false;

  mRate = rate;
  mT0 = 0.0;
  mT1 = 1e9;
  mTime = 0.0;
  mLoop = 0;
  mPlaybackTracks.clear();
  mCaptureTracks.clear();
  mTimeTrack = nullptr;
  mSkippedSilence = 0.0;
  mPausedSeconds = 0.0;
  ComputeSizes(0, channels, minCaptureFactor, minCaptureBase);

  mNumPlaybackChannels = 0;
  mNumCaptureChannels = channels;
  mCaptureFormat = static_cast<SampleFormat>(options.SampleFormat);
  const int inputDevice = FindDevice(options.RecordDeviceName, true);
  PortAudioStream* stream = nullptr;
  mLastPaError = Pa_OpenStream(&stream, inputDevice, channels, ToPaSampleFormat(mCaptureFormat), nullptr,
                               paNoDevice, 0, paFloat32, nullptr, rate, kFramesPerBuffer, 0,
                               paClipOff | paDitherOff, AudioIOCallback, this);
  if (mLastPaError != paNoError) stream = nullptr;
  mPortStream = stream;
  CloseSoundCardMixer(mMixer);
  mMixer = nullptr;
  if (stream) ReopenMixerOnStream(inputDevice, paNoDevice);
  mFinished = 0;
  if (!stream) {
    mNumCaptureChannels = 0;
    return false;
  }
  MakeCaptureRings(mCaptureFormat);
  return true;
}

void AudioIO::MakeCaptureRings(SampleFormat format) {
  const int ringLen = RingLength(mCaptureRingSecs, mRate);
  for (int c = 0; c < mNumCaptureChannels; ++c) mCaptureBuffers.push_back(new RingBuffer(format, ringLen));
}

int AudioIO::StartDirectToFileRecording() {
  ZeroSilenceCounters();
  if (IsBusy() || !IsDirectToFileMode()) return 0;
  // A recording straight into files may need all the room the disk has: the spare
  // block files kept for the editing projects' next blocks give theirs back first.
  BlockFileRecycler::Clear();
  mStreamToken = -1;
  SelectOutputWriter();
  StreamFileWriter* writer = mCurrentWriter.load();
  if (!writer || !writer->Prepare()) {
    mStreamToken = 0;
    mCurrentWriter = nullptr;
    seams::ShowMessageBox(engine_text::kEngineNotReady);
    return 0;
  }
  PrepareAutoFileName();
  mStopRequested = 0;
  if (!OpenCaptureStreamFromOptions(0.1, 0.1)) {
    mCurrentWriter = nullptr;
    mStreamToken = 0;
    return 0;
  }
  return LaunchStream();
}

int AudioIO::StartSilenceDetectStream(seams::WindowHandle listener) {
  ZeroSilenceCounters();
  if (IsBusy() || !mSettings->SilenceMonitorFlag) return 0;
  mStreamToken = -1;
  mCurrentWriter = nullptr;
  mStopRequested = 0;
  if (!OpenCaptureStreamFromOptions(0.05, 0.2)) {
    mStreamToken = 0;
    return 0;
  }
  const int token = LaunchStream();
  if (token > 0) mSilenceListener = listener;
  return token;
}

int AudioIO::LaunchStream() {
  mDroppedCaptureFrames = 0;
  mPlaybackUnderrunFrames = 0;
  mPlaybackEndFrame = -1.0;
  mFailure = kNoFailure;
  mStartFailed = 0;
  mLastRawTime = mLastGoodTime = mT0;
  // The buffer thread opens the writer and fills the playback rings.
  mWorkEvent->Set();
  mDoneEvent->Wait();

  PortAudioStream* stream = mPortStream.load();
  const PaError err = stream ? Pa_StartStream(stream) : paBadStreamPtr;
  if (err != paNoError) {
    mLastPaError = err;
    // Undo everything: close the stream, let the buffer thread close the
    // writer, free the rings; the engine is idle again.
    CloseStreamHandle(false);
    mStartFailed = 1;
    FinishStream();
    mStartFailed = 0;
    mFailure = kNoFailure;  // the caller reports a failed start
    mCurrentWriter = nullptr;
    mStreamToken = 0;
    return 0;
  }
  mStreamToken = ++g_streamTokenCounter;
  mSplitRequested = 0;
  return mStreamToken;
}

void AudioIO::CloseStreamHandle(bool letOutputFinish) {
  std::lock_guard lock(mStreamMutex);
  PortAudioStream* stream = mPortStream.load();
  if (!stream) return;
  if (letOutputFinish)
    Pa_StopStream(stream);
  else
    Pa_AbortStream(stream);
  Pa_CloseStream(stream);
  mPortStream = nullptr;
}

void AudioIO::StopStream() {
  mSilenceListener = 0;
  // A stream that finished or died must be closed too, else it stays busy.
  if (!mPortStream.load()) return;
  if (mStopGuard.fetch_add(1) != 0) return;

  CloseStreamHandle(mFinished.load() != 0);
  mFinished = 0;
  mStopRequested = 0;

  FinishStream();

  mCurrentWriter = nullptr;
  mStreamToken = 0;
  mStopGuard = 0;
  mSkippedSilence = 0.0;
  TellUserAboutFailure();
}

void AudioIO::FinishStream() {
  // The buffer thread drains the capture rings into the tracks or the file
  // and closes the file; after "done" it leaves the rings alone.
  mStopping = 1;
  mWorkEvent->Set();
  mDoneEvent->Wait();
  mStopping = 0;
  mThreadTimeout = -1;

  // After a failed block write the channels keep what the disk still takes, in
  // step: equal lengths, nothing but the end lost.
  bool failed = mTracksFailed;
  for (std::size_t i = 0; i < mCaptureTracks.size() && !failed; ++i)
    if (!mCaptureTracks[i]->Flush()) failed = true;
  if (failed) {
    NoteFailure(kTracksFailed);
    WaveTrack::FlushInStep(mCaptureTracks);
  }
  for (WaveTrack* track : mCaptureTracks)
    if (!mStartFailed) track->SetOffset(mCaptureLatency.load() + track->GetOffset());
  EndTakeJournal();
  FreeStreamBuffers();
}

void AudioIO::BeginTakeJournal() {
  EndTakeJournal();
  if (mCaptureTracks.empty()) return;
  // One journal names the blocks of one directory manager.
  const Sequence* first = mCaptureTracks[0]->GetSequence();
  for (const WaveTrack* track : mCaptureTracks)
    if (track->GetSequence()->GetDirManager() != first->GetDirManager() ||
        track->GetSampleFormat() != first->GetSampleFormat() ||
        track->GetMaxBlockSize() != first->GetMaxBlockSize())
      return;
  mTakeJournal = TakeJournal::Begin(first->GetDirManager(), mRate, first->GetSampleFormat(),
                                    static_cast<int>(mCaptureTracks.size()), first->GetMaxBlockSize());
  if (!mTakeJournal) return;
  for (std::size_t i = 0; i < mCaptureTracks.size(); ++i)
    mCaptureTracks[i]->SetTakeJournal(mTakeJournal.get(), static_cast<int>(i));
}

void AudioIO::EndTakeJournal() {
  if (!mTakeJournal) return;
  for (WaveTrack* track : mCaptureTracks) track->SetTakeJournal(nullptr, 0);
  mTakeJournal.reset();
}

void AudioIO::FreeStreamBuffers() {
  for (RingBuffer* r : mPlaybackBuffers) delete r;
  for (Mixer* m : mPlaybackMixers) delete m;
  for (RingBuffer* r : mCaptureBuffers) delete r;
  mPlaybackBuffers.clear();
  mPlaybackMixers.clear();
  mCaptureBuffers.clear();
  mPlaybackTracks.clear();
  mCaptureTracks.clear();
  mNumCaptureChannels = 0;
  mNumPlaybackChannels = 0;
  mTimeTrack = nullptr;
}

void AudioIO::NoteFailure(Failure failure, const std::string& file) {
  // The first failure of a stream is the one the user hears about.
  int expected = kNoFailure;
  if (mFailure.load() != kNoFailure) return;
  if (!file.empty()) mFailedFile = file;
  mFailure.compare_exchange_strong(expected, failure);
}

void AudioIO::TellUserAboutFailure() {
  const int failure = mFailure.exchange(kNoFailure);
  std::string text;
  switch (failure) {
    case kWriterFailed:
      text = engine_text::WriterFailed(mFailedFile);
      break;
    case kTracksFailed:
      text = engine_text::kTracksFailed;
      break;
    case kStreamDied:
      text = engine_text::kStreamDied;
      break;
    default:
      return;
  }
  mFailedFile.clear();
  seams::ShowMessageBox(text, seams::kProgramCaption, seams::kMbOk | kMbIconStop);
}

void AudioIO::SetPaused(bool state) {
  if (state) mPausedTime = GetStreamTime();
  mPaused = state ? 1 : 0;
}

// ---- queries ----------------------------------------------------------------------

bool AudioIO::IsStreamActive() const {
  PortAudioStream* stream = mPortStream.load();
  return stream && Pa_StreamActive(stream) > 0 && !mFinished.load();
}

bool AudioIO::IsStreamActiveToken(int token) const {
  return IsStreamActive() && token >= 1 && token == mStreamToken.load();
}

bool AudioIO::IsTokenCurrent(int token) const { return token >= 1 && token == mStreamToken.load(); }

double AudioIO::NormalizeTime(double t, double t0, double t1, bool loop) {
  t = std::max(t, t0);
  if (t > t1) {
    if (!loop || !(t1 > t0)) return t1;
    // Whole loop lengths off until t is within the range again.
    t -= std::ceil((t - t1) / (t1 - t0)) * (t1 - t0);
  }
  return t;
}

double AudioIO::NormalizeStreamTime(double t) const { return NormalizeTime(t, mT0, mT1, mLoop != 0); }

double AudioIO::GetStreamTime() {
  if (!IsStreamActive()) return kNoStreamTime;
  if (IsPaused()) return NormalizeStreamTime(mPausedTime);
  const double t = Pa_StreamTime(mPortStream.load()) / mRate + mT0 - mPausedSeconds.load();
  // A jump of more than 0.1 s is believed only when the next reading confirms it.
  if (std::fabs(t - mLastRawTime) <= 0.1) {
    mLastRawTime = mLastGoodTime = t;
    return NormalizeStreamTime(t);
  }
  mLastRawTime = t;
  return NormalizeStreamTime(mLastGoodTime);
}

StreamFileWriter* AudioIO::GetOutputWriter() {
  const FileOutputOptions* output = GetStreamWriterSettings().output;
  const int type = output ? output->eFileType : 0;
  if (type == 1) return mWavWriter;
  if (type == 2) return mOggWriter;
  return mMP3Writer;
}

void AudioIO::SelectOutputWriter() { mCurrentWriter = GetOutputWriter(); }

void AudioIO::SetControlPanel(seams::WindowHandle panel, seams::WindowHandle stopControl) {
  mStopControl = stopControl;
  mControlPanel = panel;
}
