// The PortAudio callback: playback rings to the sound card, the sound card to
// the capture rings, levels for the meter, silence detection and the time
// limit. It runs on PortAudio's thread: no allocation, no lock, no waiting;
// messages go out through the posting seam, which promises the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/settings/AdvanceRecordSetting.h"
#include "core/engine/AudioIO.h"
#include "core/model/RingBuffer.h"
#include "core/model/WaveTrack.h"
#include "platform/portaudio/PortAudioV18.h"

namespace {

// Levels of the meter, separately for playback and capture (level units: full
// scale = 100000). Only the callback thread touches them.
struct LevelState {
  int max[2] = {0, 0};
  int min[2] = {0, 0};
  unsigned counter = 0;

  void Reset() { max[0] = max[1] = min[0] = min[1] = 0; }
  void Note(int channel, int level) {
    if (level > max[channel]) max[channel] = level;
    if (level < min[channel]) min[channel] = level;
  }
};

LevelState g_playbackLevels;
LevelState g_captureLevels;
// After the last sample has been heard by the stream's own clock, this much
// more before the end of playback counts as heard (the clock may run early).
constexpr double kEndMarginSeconds = 0.1;

// The stream time (frames) of the last level message.
double g_lastLevelTime = 0.0;

// Posts a level message every `interval` callbacks (or when the stream time
// went back: a new stream), or keeps the levels for the meter to take, then starts
// the next measuring period.
void MaybePostLevels(AudioIO& io, LevelState& levels, int interval, double outTime,
                     seams::WindowHandle meter) {
  if (interval < 1) interval = 1;
  if (levels.counter % static_cast<unsigned>(interval) == 0 || g_lastLevelTime > outTime) {
    g_lastLevelTime = outTime;
    const std::uintptr_t left = static_cast<std::uintptr_t>(std::abs(levels.max[0] - levels.min[0]) / 2);
    const std::intptr_t right = std::abs(levels.max[1] - levels.min[1]) / 2;
    if (io.AreLevelsPolled())
      io.PublishLevels(left, right);
    else
      seams::PostWindowMessage(meter, kLevelMessage, left, right);
    levels.Reset();
  }
  ++levels.counter;
}

}  // namespace

void AudioIO::PublishLevels(std::uintptr_t left, std::intptr_t right) {
  constexpr std::uint64_t kMask = 0xFFFFFF;
  const std::uint64_t period = (mLatestLevels.load() >> 48) + 1;
  mLatestLevels.store((period << 48) | ((static_cast<std::uint64_t>(right) & kMask) << 24) |
                      (static_cast<std::uint64_t>(left) & kMask));
}

bool AudioIO::TakeLevels(std::uintptr_t* left, std::intptr_t* right) {
  const std::uint64_t latest = mLatestLevels.load();
  const std::uint64_t period = latest >> 48;
  if (period == mTakenPeriod) return false;
  mTakenPeriod = period;
  *left = static_cast<std::uintptr_t>(latest & 0xFFFFFF);
  *right = static_cast<std::intptr_t>((latest >> 24) & 0xFFFFFF);
  return true;
}

int AudioIOCallback(void* inputBuffer, void* outputBuffer, unsigned long framesPerBuffer, double outTime,
                    void* userData) {
  AudioIO* io = userData ? static_cast<AudioIO*>(userData) : gAudioIO;
  if (!io) return 0;
  return io->Callback(inputBuffer, outputBuffer, static_cast<int>(framesPerBuffer), outTime);
}

void AudioIO::ComputeZcrAndEnergy(const int* levels, int count, int* zcr, int* energy) {
  if (count <= 0) {
    *zcr = 0;
    *energy = 0;
    return;
  }
  std::int64_t crossings = 0;
  std::int64_t sum = 0;
  for (int i = 1; i < count; ++i) {
    if ((levels[i] < 0) != (levels[i - 1] < 0)) ++crossings;
    sum += std::abs(levels[i]);
  }
  *zcr = static_cast<int>(crossings * 1000 / count);
  *energy = static_cast<int>(sum / count);
}

void AudioIO::PostStopCommand() {
  const seams::WindowHandle panel = mControlPanel.load();
  if (panel == 0) return;
  mStopRequested = 1;
  seams::PostWindowMessage(panel, kCommandMessage, kStopCommandId,
                           static_cast<std::intptr_t>(mStopControl.load()));
}

namespace {

// factor * scale rounded, kept within int: a record set outside the loaded range (NaN,
// an infinity) must not reach an undefined conversion in the callback.
int SilenceThreshold(double factor, double scale) {
  const double t = factor * scale + 0.5;
  if (!(t > 0.0)) return 0;
  return t >= 2e9 ? 2000000000 : static_cast<int>(t);
}

}  // namespace

bool AudioIO::SilenceStep(int ch, const int* levels, int avail, bool& zcrSilent, bool& seSilent,
                          bool& silent) {
  const AdvanceRecordSetting& s = *mSettings;
  int zcr = 0, energy = 0;
  ComputeZcrAndEnergy(levels, avail, &zcr, &energy);
  const int channels = mNumCaptureChannels;
  const std::uint32_t algorithms = s.SilenceDetectionAlgorihms;

  if (algorithms & 1) {
    const double factor = (ch % 2 == 0) ? s.ZCRFactorLeft : s.ZCRFactorRight;
    const int threshold = SilenceThreshold(factor, 1000.0);
    if (zcr < threshold) {
      ++mZcrCounters[ch];
    } else {
      std::fill(mZcrCounters, mZcrCounters + channels, 0);
    }
    if (!zcrSilent && ch == 0 &&
        std::all_of(mZcrCounters, mZcrCounters + channels, [&](int c) { return c >= mZcrDelayCount; }))
      zcrSilent = silent = true;
  }
  if (algorithms & 2) {
    const double factor = (ch % 2 == 0) ? s.SEFactorLeft : s.SEFactorRight;
    const int threshold = SilenceThreshold(factor, 100000.0);
    if (energy < threshold) {
      ++mSeCounters[ch];
    } else {
      std::fill(mSeCounters, mSeCounters + channels, 0);
    }
    if (!seSilent && ch == 0 &&
        std::all_of(mSeCounters, mSeCounters + channels, [&](int c) { return c >= mSeDelayCount; }))
      seSilent = silent = true;
  }
  if (algorithms >= 3)
    silent = s.SilenceDetectionLogic == 1 ? (zcrSilent && seSilent) : (zcrSilent || seSilent);

  if (!silent) {
    mSoundSinceSplit = 1;
    return false;
  }
  const bool saving = s.ActiveRecordingMode == 1;
  if ((s.ActionsOfEditingMode == 2 && !saving) || (s.ActionsOfSavingMode == 2 && saving)) {
    if (!mStopRequested.load()) PostStopCommand();
  } else if (s.ActionsOfSavingMode == 3) {
    if (mSoundSinceSplit.load()) {
      mSplitRequested = 1;
      mSoundSinceSplit = 0;
    }
  }
  return true;
}

int AudioIO::Callback(const void* input, void* output, int frames, double outTime) {
  const int playbackChannels = mNumPlaybackChannels;
  const int captureChannels = mNumCaptureChannels;
  float* out = static_cast<float*>(output);
  auto zeroOutput = [&] {
    if (out && playbackChannels > 0)
      std::fill(out, out + static_cast<std::size_t>(frames) * playbackChannels, 0.0f);
  };

  if (mPaused.load()) {
    zeroOutput();
    mPausedSeconds = mPausedSeconds.load() + frames / mRate;
    return 0;
  }
  if (mStreamToken.load() <= 0) {
    zeroOutput();
    return 0;
  }
  // Scratch space is made for buffers up to this long; more is dropped.
  const int n = std::min(frames, static_cast<int>(mCallbackLevels.size()));
  const seams::WindowHandle meter = mMeterWindow.load();
  int result = 0;

  if (out && playbackChannels > 0) {
    if (g_lastLevelTime > outTime) g_playbackLevels.Reset();
    zeroOutput();
    float* got = mCallbackPlayback.data();
    bool ranDry = false;
    const float outputGain = mOutputVolumeUnreliable ? mStoredOutputVolume.load() : 1.0f;
    for (std::size_t i = 0; i < mPlaybackTracks.size(); ++i) {
      WaveTrack* track = mPlaybackTracks[i];
      RingBuffer* ring = mPlaybackBuffers[i];
      if (track->GetExcluded()) {
        ring->Discard(frames);
        continue;
      }
      const int len = ring->Get(reinterpret_cast<SamplePtr>(got), SampleFormatFloat, n);
      const bool allMixed = mTime.load() >= mT1;
      if (len == 0 && allMixed && !mLoop) {
        ranDry = true;
      } else if (len < frames && !allMixed) {
        mPlaybackUnderrunFrames += frames - len;
      }
      const int channel = track->GetChannel();
      for (int c = 0; c < 2 && c < playbackChannels; ++c) {
        const bool routed = channel == Track::MonoChannel || channel == c;
        if (!routed) continue;
        const float gain = track->GetChannelGain(c) * outputGain;
        for (int f = 0; f < len; ++f) {
          float& o = out[static_cast<std::size_t>(f) * playbackChannels + c];
          o += got[f] * gain;
          g_playbackLevels.Note(c, static_cast<int>(o * 100000.0f));
        }
      }
    }
    const std::size_t total = static_cast<std::size_t>(frames) * playbackChannels;
    for (std::size_t i = 0; i < total; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
    if (ranDry) {
      // Everything before this buffer has been handed over. The stream goes on
      // (on silence) until that has been heard: a stream ended earlier drops
      // what the sound server still holds, however it is stopped.
      if (mPlaybackEndFrame.load() < 0) mPlaybackEndFrame = outTime;
      void* stream = mPortStream.load();
      const double heard = stream ? pa18::Pa_StreamTime(stream) : outTime;
      if (heard >= mPlaybackEndFrame.load() + kEndMarginSeconds * mRate) {
        mFinished = 1;
        result = 1;
      }
    }
    MaybePostLevels(*this, g_playbackLevels, mLevelInterval, outTime, meter);
  }

  if (input && captureChannels > 0) {
    if (g_lastLevelTime > outTime) g_captureLevels.Reset();
    int avail = n;
    for (RingBuffer* ring : mCaptureBuffers) avail = std::min(avail, ring->AvailForPut());
    if (avail < frames) mDroppedCaptureFrames += frames - std::max(avail, 0);
    const float gain = mInputVolumeUnreliable ? mStoredInputVolume.load() : 1.0f;
    const bool monitor = mSettings->SilenceMonitorFlag != 0;
    const AdvanceRecordSetting& s = *mSettings;
    const bool detect =
        s.EnableSilenceDetection && ((s.ActionsOfEditingMode > 0 && s.ActiveRecordingMode == 0) ||
                                     (s.ActionsOfSavingMode > 0 && s.ActiveRecordingMode == 1));
    bool zcrSilent = false, seSilent = false, silent = false;
    if (avail > 0) {
      int* levels = mCallbackLevels.data();
      for (int ch = 0; ch < captureChannels; ++ch) {
        SamplePtr scratch = reinterpret_cast<SamplePtr>(mCallbackSamples.data());
        switch (mCaptureFormat) {
          case SampleFormatFloat: {
            const float* in = static_cast<const float*>(input);
            float* dst = reinterpret_cast<float*>(scratch);
            for (int i = 0; i < avail; ++i) {
              const float v = gain * in[static_cast<std::size_t>(i) * captureChannels + ch];
              dst[i] = v;
              levels[i] = static_cast<int>(v * 100000.0f);
            }
            break;
          }
          case SampleFormatInt24: {
            const std::int32_t* in = static_cast<const std::int32_t*>(input);
            std::int32_t* dst = reinterpret_cast<std::int32_t*>(scratch);
            for (int i = 0; i < avail; ++i) {
              const float x = in[static_cast<std::size_t>(i) * captureChannels + ch] * gain;
              const std::int32_t v = static_cast<std::int32_t>(std::clamp(x, -8388608.0f, 8388607.0f));
              dst[i] = v;
              levels[i] = static_cast<int>(static_cast<std::int64_t>(v) * 100000 / 8388608);
            }
            break;
          }
          default: {  // 16-bit
            const std::int16_t* in = static_cast<const std::int16_t*>(input);
            std::int16_t* dst = reinterpret_cast<std::int16_t*>(scratch);
            for (int i = 0; i < avail; ++i) {
              const float x = in[static_cast<std::size_t>(i) * captureChannels + ch] * gain;
              const std::int16_t v = static_cast<std::int16_t>(std::clamp(x, -32768.0f, 32767.0f));
              dst[i] = v;
              levels[i] = v * 100000 / 32768;
            }
            break;
          }
        }
        if (ch < 2)
          for (int i = 0; i < avail; ++i) g_captureLevels.Note(ch, levels[i]);

        if (monitor) {
          // The monitor only measures; nothing is recorded.
          if (mSilenceListener.load() != 0) {
            int zcr = 0, energy = 0;
            ComputeZcrAndEnergy(levels, avail, &zcr, &energy);
            mMonitorZcr[ch] = zcr;
            mMonitorEnergy[ch] = energy / 10;
          }
          continue;
        }
        bool dropped = false;
        if (detect) dropped = SilenceStep(ch, levels, avail, zcrSilent, seSilent, silent);
        if (!dropped) mCaptureBuffers[ch]->Put(scratch, mCaptureFormat, avail);
      }
      if (monitor) {
        const seams::WindowHandle listener = mSilenceListener.load();
        if (listener != 0) {
          std::uintptr_t w = 0;
          std::intptr_t l = 0;
          if (captureChannels <= 2) {
            w = (static_cast<std::uintptr_t>(mMonitorEnergy[0] & 0xFFFF) << 16) |
                (static_cast<std::uintptr_t>(mMonitorZcr[0]) & 0xFFFF);
            if (captureChannels == 2)
              l = static_cast<std::intptr_t>((static_cast<std::uintptr_t>(mMonitorEnergy[1] & 0xFFFF) << 16) |
                                             (static_cast<std::uintptr_t>(mMonitorZcr[1]) & 0xFFFF));
          }
          seams::PostWindowMessage(listener, kSilenceStatsMessage, w, l);
        }
      }
      if (silent) mSkippedSilence = mSkippedSilence.load() + frames / mRate;
    }
    MaybePostLevels(*this, g_captureLevels, mLevelInterval, outTime, meter);

    if (!monitor && s.TimeLimitType == 1) {
      const double elapsed = outTime / mRate - mSkippedSilence.load() - mPausedSeconds.load();
      if (!mStopRequested.load() && elapsed > s.TimeLimitTo) PostStopCommand();
    }
  }

  if (playbackChannels > 0 && captureChannels > 0) {
    void* stream = mPortStream.load();
    mCaptureLatency = stream ? (pa18::Pa_StreamTime(stream) - outTime) / mRate : 0.0;
  } else {
    mCaptureLatency = 0.0;
  }
  return result;
}
