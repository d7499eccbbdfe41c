// The recording and playback engine: every stream the program runs on the sound
// card goes through the one AudioIO object, gAudioIO.
//
// Three threads meet here. The user-interface thread starts and stops streams
// and asks for the position. PortAudio's callback thread (AudioIOCallback) moves
// samples between the sound card and one ring buffer per channel, measures the
// levels and detects silence; it never blocks and never allocates. The engine's
// buffer thread (AudioThread) moves samples between the rings and the tracks or
// the streaming writer. The engine talks back to windows only by posting
// messages through the window-message seam: levels, silence statistics and a
// Stop command to the control panel.
//
// Streams:
// - playback of wave tracks, recording into new wave tracks, or both
//   (StartStream);
// - recording straight into an output file through a streaming writer, with
//   automatic names and splits (StartDirectToFileRecording);
// - listening only, for the silence monitor (StartSilenceDetectStream).
//
// Failures are never silent: a stream that cannot be opened or started is
// closed again and the engine stays usable; a file or block write that fails
// stops the recording through the Stop command, and StopStream then tells the
// user what happened; a stream that dies is noticed and stopped the same way.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/model/SampleFormat.h"
#include "platform/seams/WindowMessages.h"

class AdvanceRecordSetting;
class AutoResetEvent;
class Mixer;
class RingBuffer;
class SoundDeviceOptions;
class StreamFileWriter;
class StreamMixer;
class TakeJournal;
class Track;
class WaveTrack;
struct SoundCardMixer;

// Messages the engine posts.
inline constexpr std::uint32_t kLevelMessage = 0x5E0;         // wParam, lParam: levels 0..100000
inline constexpr std::uint32_t kSilenceStatsMessage = 0x5F8;  // monitor statistics
inline constexpr std::uint32_t kCommandMessage = 0x0111;      // WM_COMMAND
inline constexpr int kStopCommandId = 1061;                   // the control panel's Stop

// The four events the buffer thread is started with (the engine keeps them).
struct AudioThreadBlock {
  AutoResetEvent* quit;
  AutoResetEvent* exited;
  AutoResetEvent* work;
  AutoResetEvent* done;
};

// The buffer thread; takes and frees the block.
void AudioThread(AudioThreadBlock* block);

// The PortAudio callback (v18 shape; outTime is the stream time in frames of
// the buffer's first frame). userData is the engine.
int AudioIOCallback(void* inputBuffer, void* outputBuffer, unsigned long framesPerBuffer, double outTime,
                    void* userData);

class AudioIO {
public:
  // Capture channels a stream may have.
  static constexpr int kMaxCaptureChannels = 16;
  // The frames PortAudio hands the callback at a time.
  static constexpr int kFramesPerBuffer = 512;

  // settings: the application's recording record, read live (the engine also
  // writes SilenceDetectionAlgorihms 0 -> 1 at each start); null uses a record
  // of the engine's own with the defaults.
  explicit AudioIO(AdvanceRecordSetting* settings);
  ~AudioIO();
  AudioIO(const AudioIO&) = delete;
  AudioIO& operator=(const AudioIO&) = delete;

  // ---- streams (each returns the stream's token, 0 on failure)

  // Plays playbackTracks, records into captureTracks (one per channel, owned
  // by the caller), or both. timeTrack may be null. t0..t1 is the playback
  // range; loop restarts playback at t0 when it reaches t1.
  int StartStream(const std::vector<WaveTrack*>& playbackTracks, const std::vector<WaveTrack*>& captureTracks,
                  const Track* timeTrack, double sampleRate, double t0, double t1, int loop = 0);
  // Records with the sound-device options into the writer of the output-type
  // setting (directly-saving mode only).
  int StartDirectToFileRecording();
  // Listens without recording and posts silence statistics to listener (the
  // recording record's silence-monitor flag must be set).
  int StartSilenceDetectStream(seams::WindowHandle listener);
  // Ends the running stream: recorded samples go into the tracks or the file,
  // which is closed. Returns at once when no stream is there. A write failure
  // of the stream is reported to the user here (on the calling thread).
  void StopStream();
  void SetPaused(bool state);

  // ---- queries
  bool IsPaused() const { return mPaused.load() != 0; }
  // A stream is starting, running or not yet stopped.
  bool IsBusy() const { return mStreamToken.load() != 0; }
  bool IsStreamActive() const;
  bool IsStreamActiveToken(int token) const;
  bool IsTokenCurrent(int token) const;
  // Seconds on the time line; -1000000000.0 when no stream is active.
  double GetStreamTime();
  // Channels the running stream captures (0 for playback only or no stream), and the
  // time line position it started from.
  int GetNumCaptureChannels() const { return mNumCaptureChannels; }
  double GetStreamStartTime() const { return mT0; }
  double NormalizeStreamTime(double t) const;
  // t kept within [t0, t1] (wrapped into it when looping).
  static double NormalizeTime(double t, double t0, double t1, bool loop);

  // The writer the output-type setting picks (1 WAV, 2 Ogg, else MP3), and
  // making it the current one.
  StreamFileWriter* GetOutputWriter();
  void SelectOutputWriter();
  // The writer of the running direct recording, else null.
  StreamFileWriter* GetCurrentWriter() const { return mCurrentWriter.load(); }
  StreamFileWriter* GetMP3Writer() const { return mMP3Writer; }
  StreamFileWriter* GetWavWriter() const { return mWavWriter; }
  StreamFileWriter* GetOggWriter() const { return mOggWriter; }

  // ---- the sound card's mixer
  // Finds the mixer of the devices in the sound-device options and checks
  // whether its volumes respond (else they are applied in software). Nothing
  // while a stream is active.
  void OpenMixer();
  void SetMixer(int inputSource, float inputVolume, float outputVolume);
  void GetMixer(int* inputSource, float* inputVolume, float* outputVolume);
  // The names of the mixer's inputs; empty when no mixer is open.
  std::vector<std::string> GetInputSources();
  bool HasMixer() const { return mMixer != nullptr; }
  bool IsInputVolumeUnreliable() const { return mInputVolumeUnreliable != 0; }
  bool IsOutputVolumeUnreliable() const { return mOutputVolumeUnreliable != 0; }

  // ---- windows
  void SetMeterWindow(seams::WindowHandle window) { mMeterWindow.store(window); }
  seams::WindowHandle GetMeterWindow() const { return mMeterWindow.load(); }
  // With polled levels the callback keeps each measuring period's levels for
  // TakeLevels instead of posting them to the meter window: a meter that redraws on a
  // timer of its own then costs the user-interface thread no message per period.
  void SetLevelsPolled(bool polled) { mLevelsPolled.store(polled); }
  bool AreLevelsPolled() const { return mLevelsPolled.load(); }
  // The levels (0..100000, as the level message carries them) of the latest period
  // not taken yet; false when no period has ended since the last take.
  bool TakeLevels(std::uintptr_t* left, std::intptr_t* right);
  // Called by the callback at the end of a measuring period.
  void PublishLevels(std::uintptr_t left, std::intptr_t right);
  // The control panel that receives the Stop command, and its Stop control
  // (sent as lParam); 0 when the panel does not exist.
  void SetControlPanel(seams::WindowHandle panel, seams::WindowHandle stopControl);

  // ---- used by the buffer thread
  int GetCommonlyAvailPlayback();
  int GetCommonlyAvailCapture();
  void FillBuffers(bool drain);
  // Posts the Stop command to the control panel (when there is one).
  void RequestStop();
  bool IsStopRequested() const { return mStopRequested.load() != 0; }

  // ---- figures
  double GetRate() const { return mRate; }
  int GetLevelInterval() const { return mLevelInterval; }
  int GetZcrDelayCount() const { return mZcrDelayCount; }
  int GetSeDelayCount() const { return mSeDelayCount; }
  int GetThreadTimeout() const { return mThreadTimeout.load(); }
  double GetSkippedSilence() const { return mSkippedSilence.load(); }
  // Captured frames the rings had no room for, and playback frames the rings
  // could not deliver in time, since the stream started.
  std::int64_t GetDroppedCaptureFrames() const { return mDroppedCaptureFrames.load(); }
  std::int64_t GetPlaybackUnderrunFrames() const { return mPlaybackUnderrunFrames.load(); }
  int GetLastOpenError() const { return mLastPaError; }
  // The PortAudio stream of the current stream (null when none).
  void* GetPortAudioStream() const { return mPortStream.load(); }
  AdvanceRecordSetting* GetSettings() const { return mSettings; }

  // ---- the arithmetic of silence detection, on level values (0..100000)
  // Buffers of 512 frames in `seconds`, at least 1.
  static int SilenceDelayCount(double seconds, double rate);
  // Sign changes between neighbours x 1000 / count, and the mean magnitude of
  // samples 1 .. count-1 over count (integer divisions).
  static void ComputeZcrAndEnergy(const int* levels, int count, int* zcr, int* energy);
  // Callbacks between two level messages: 0.06 s worth, at least 1.
  static int LevelIntervalFor(double rate);

private:
  friend void AudioThread(AudioThreadBlock* block);
  friend int AudioIOCallback(void*, void*, unsigned long, double, void*);

  // What went wrong while the stream ran (told to the user at StopStream).
  enum Failure : int {
    kNoFailure = 0,
    kWriterFailed,  // open, write, split or close of the output file
    kTracksFailed,  // block files of the recorded tracks
    kStreamDied,    // the sound device stopped on its own
  };

  void StartBufferThread();
  friend void InstallAudioIO(std::unique_ptr<AudioIO>);

  const SoundDeviceOptions& DeviceOptions() const;
  void ZeroSilenceCounters();
  void ComputeSizes(int playbackTracks, int captureChannels, double minCaptureFactor, double minCaptureBase);
  bool OpenStream(double rate, int playbackChannels, int captureChannels, SampleFormat captureFormat);
  int FindDevice(const std::string& name, bool input) const;
  void ReopenMixerOnStream(int inputDevice, int outputDevice);
  // The capture-only stream of the file and monitor modes, from the options.
  bool OpenCaptureStreamFromOptions(double minCaptureFactor, double minCaptureBase);
  void MakeCaptureRings(SampleFormat format);
  // Work/done with the buffer thread, then Pa_StartStream; on a failure the
  // stream is closed and everything made for it freed. The token or 0.
  int LaunchStream();
  // Closes the PortAudio stream (stopping it first).
  void CloseStreamHandle(bool letOutputFinish);
  // The stop handshake and freeing of rings, mixers and tracks' append data.
  void FinishStream();
  void FreeStreamBuffers();
  // The journal that keeps a recording into tracks on the disk as it goes, so that a
  // crash does not lose it; a recording that ends normally leaves nothing of it.
  void BeginTakeJournal();
  void EndTakeJournal();
  void TellUserAboutFailure();
  void NoteFailure(Failure failure, const std::string& file = std::string());

  // Buffer-thread work.
  void ServeWork();
  void ServeTimeout();

  // Callback parts.
  int Callback(const void* input, void* output, int frames, double outTime);
  void PostStopCommand();

  // Silence step for channel ch; returns whether the buffer is dropped.
  bool SilenceStep(int ch, const int* levels, int avail, bool& zcrSilent, bool& seSilent, bool& silent);

  // ---- state (in the order the threads meet it)
  std::atomic<int> mStopRequested{0};
  AdvanceRecordSetting* mSettings;
  std::unique_ptr<AdvanceRecordSetting> mOwnSettings;

  int mZcrCounters[kMaxCaptureChannels] = {};
  int mZcrDelayCount = 1;
  int mSeCounters[kMaxCaptureChannels] = {};
  int mSeDelayCount = 1;
  int mMonitorZcr[kMaxCaptureChannels] = {};
  int mMonitorEnergy[kMaxCaptureChannels] = {};
  std::atomic<double> mSkippedSilence{0.0};
  std::atomic<seams::WindowHandle> mMeterWindow{0};
  std::atomic<bool> mLevelsPolled{false};
  // The latest period's levels: left in bits 0..23, right in 24..47, and a count of
  // periods in 48..63 that tells a new period from one taken already.
  std::atomic<std::uint64_t> mLatestLevels{0};
  std::uint64_t mTakenPeriod = 0;  // user-interface thread
  std::atomic<seams::WindowHandle> mControlPanel{0};
  std::atomic<seams::WindowHandle> mStopControl{0};

  std::thread mThread;
  std::vector<RingBuffer*> mCaptureBuffers;
  std::vector<WaveTrack*> mCaptureTracks;
  std::unique_ptr<TakeJournal> mTakeJournal;
  std::vector<RingBuffer*> mPlaybackBuffers;
  std::vector<WaveTrack*> mPlaybackTracks;
  std::vector<Mixer*> mPlaybackMixers;
  const Track* mTimeTrack = nullptr;

  std::atomic<int> mStreamToken{0};
  std::atomic<int> mStopGuard{0};
  double mRate = 44100.0;
  std::atomic<double> mTime{0.0};  // playback position: mixed up to here
  double mT0 = 0.0;
  double mT1 = 0.0;
  double mPlaybackRingSecs = 0.0;
  double mCaptureRingSecs = 0.0;
  double mMaxPlaybackSecsToCopy = 0.0;
  double mMinCaptureSecsToCopy = 0.0;
  std::atomic<int> mPaused{0};
  double mPausedTime = 0.0;
  std::atomic<void*> mPortStream{nullptr};
  double mLastRawTime = 0.0;
  double mLastGoodTime = 0.0;
  std::atomic<double> mPausedSeconds{0.0};
  std::atomic<int> mFinished{0};
  std::atomic<double> mPlaybackEndFrame{-1.0};  // stream time when playback ran dry
  std::atomic<double> mCaptureLatency{0.0};
  int mNumCaptureChannels = 0;
  int mNumPlaybackChannels = 0;
  SampleFormat mCaptureFormat = SampleFormatFloat;
  int mLastPaError = 0;
  std::atomic<int> mThreadTimeout{-1};
  SoundCardMixer* mMixer = nullptr;
  int mOutputVolumeUnreliable = 1;
  int mInputVolumeUnreliable = 1;
  std::atomic<float> mStoredOutputVolume{1.0f};
  std::atomic<float> mStoredInputVolume{1.0f};
  int mLoop = 0;
  AutoResetEvent* mQuitEvent = nullptr;
  AutoResetEvent* mExitedEvent = nullptr;
  AutoResetEvent* mWorkEvent = nullptr;
  AutoResetEvent* mDoneEvent = nullptr;
  int mLevelInterval = 2;
  StreamMixer* mStreamMixer = nullptr;
  std::atomic<StreamFileWriter*> mCurrentWriter{nullptr};
  StreamFileWriter* mMP3Writer = nullptr;
  StreamFileWriter* mWavWriter = nullptr;
  StreamFileWriter* mOggWriter = nullptr;
  std::atomic<seams::WindowHandle> mSilenceListener{0};
  std::atomic<int> mSplitRequested{0};
  std::atomic<int> mSoundSinceSplit{0};

  // Beyond the figures above.
  bool mPaInitialized = false;
  std::atomic<int> mStopping{0};     // the stop handshake is under way
  std::atomic<int> mStartFailed{0};  // the start is being undone
  bool mWriterOpened = false;        // buffer thread: this stream's writer is open
  bool mTracksFailed = false;        // buffer thread: a track append failed
  std::atomic<int> mFailure{kNoFailure};
  std::string mFailedFile;  // written before the failure is noted
  std::mutex mStreamMutex;  // stream handle: closing vs. the death check
  std::atomic<std::int64_t> mDroppedCaptureFrames{0};
  std::atomic<std::int64_t> mPlaybackUnderrunFrames{0};
  std::vector<char> mTrackScratch;  // buffer thread: ring -> track
  // Callback scratch, made once: one channel of samples, its level values and
  // one track's playback samples.
  std::vector<std::int32_t> mCallbackSamples;
  std::vector<int> mCallbackLevels;
  std::vector<float> mCallbackPlayback;
};

// The engine, null before CreateAudioIO and after DestroyAudioIO.
extern AudioIO* gAudioIO;

// Makes gAudioIO (once, at start-up) and starts its buffer thread; installs
// the engine's device catalog and mixer reader for the settings records.
void CreateAudioIO(AdvanceRecordSetting* settings = nullptr);
// The same with an engine made beforehand: making one (which starts the sound
// system and opens the card's mixer, the slow part of a start) may run on another
// thread, a Win32 one (a failure shows a message box), while nothing uses gAudioIO.
// Does nothing when gAudioIO exists already.
void InstallAudioIO(std::unique_ptr<AudioIO> engine);
// Stops a stream that is still there (waiting a bounded time for it) and
// destroys the engine.
void DestroyAudioIO();

// The recording record's mode is the directly-saving one.
bool IsDirectToFileMode();
