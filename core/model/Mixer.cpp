#include "core/model/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/model/Envelope.h"
#include "core/model/Resample.h"
#include "core/model/Track.h"
#include "core/model/WaveTrack.h"

Mixer::Mixer(int numInputTracks, WaveTrack** inputTracks, const Track* timeTrack, double startTime,
             double stopTime, int numOutChannels, int outBufferSize, bool outInterleaved, double outRate,
             SampleFormat outFormat, bool highQuality)
    : mNumInputTracks(std::max(numInputTracks, 0)),
      mTime(startTime),
      mT0(startTime),
      mT1(stopTime),
      mTimeTrack(dynamic_cast<const MixerTimeWarp*>(timeTrack)),
      mNumChannels(std::max(numOutChannels, 1)),
      mBufferSize(std::max(outBufferSize, 1)),
      mFormat(outFormat),
      mInterleaved(outInterleaved),
      mRate(outRate) {
  mInputTrack.assign(inputTracks, inputTracks + mNumInputTracks);
  mSamplePos.resize(mNumInputTracks);
  for (int i = 0; i < mNumInputTracks; ++i) mSamplePos[i] = mInputTrack[i]->TimeToSamples(startTime);

  if (mInterleaved) {
    mNumBuffers = 1;
    mInterleavedBufferSize = mBufferSize * mNumChannels;
  } else {
    mNumBuffers = mNumChannels;
    mInterleavedBufferSize = mBufferSize;
  }
  mGains.assign(mNumChannels, 1.0f);
  mEnvValues.assign(std::max(mQueueMaxLen, mInterleavedBufferSize), 0.0);
  for (int c = 0; c < mNumBuffers; ++c)
    mBuffer.push_back(NewSamples(static_cast<std::uint32_t>(mInterleavedBufferSize), mFormat));
  mTemp = NewSamples(static_cast<std::uint32_t>(mInterleavedBufferSize), mFormat);
  mFloatBuffer = new float[mInterleavedBufferSize]();

  for (int i = 0; i < mNumInputTracks; ++i) {
    const double factor = mRate / mInputTrack[i]->GetRate();
    double minFactor = factor, maxFactor = factor;
    if (mTimeTrack) {
      // The fastest speed gives the smallest factor.
      minFactor = factor / (mTimeTrack->GetRangeUpper() * 0.01);
      maxFactor = factor / (mTimeTrack->GetRangeLower() * 0.01);
    }
    mResample.push_back(new Resample(highQuality, minFactor, maxFactor));
    mQueue.push_back(new float[mQueueMaxLen]());
  }
  mQueueStart.assign(mNumInputTracks, 0);
  mQueueLen.assign(mNumInputTracks, 0);
}

Mixer::~Mixer() {
  for (SamplePtr b : mBuffer) DeleteSamples(b);
  DeleteSamples(mTemp);
  delete[] mFloatBuffer;
  for (Resample* r : mResample) delete r;
  for (float* q : mQueue) delete[] q;
}

void Mixer::Restart() {
  mTime = mT0;
  for (int i = 0; i < mNumInputTracks; ++i) {
    mSamplePos[i] = mInputTrack[i]->TimeToSamples(mT0);
    mQueueStart[i] = 0;
    mQueueLen[i] = 0;
    // What the converter still holds belongs to the old position.
    mResample[i]->Reset();
  }
}

void Mixer::FillGains(WaveTrack* track) {
  for (int c = 0; c < mNumChannels; ++c) mGains[c] = mApplyTrackGains ? track->GetChannelGain(c) : 1.0f;
}

void Mixer::MixBuffers(const int* channelFlags, const float* gains, int len) {
  const int bytes = SampleSize(mFormat);
  for (int c = 0; c < mNumChannels; ++c) {
    if (!channelFlags[c]) continue;
    SamplePtr dest;
    int skip;
    if (mInterleaved) {
      dest = mBuffer[0] + c * bytes;
      skip = mNumChannels;
    } else {
      dest = mBuffer[c];
      skip = 1;
    }
    const float gain = gains[c];
    switch (mFormat) {
      case SampleFormatInt16: {
        auto* d = reinterpret_cast<std::int16_t*>(dest);
        auto* s = reinterpret_cast<const std::int16_t*>(mTemp);
        for (int j = 0; j < len; ++j) {
          float v = s[j] * gain + d[j * skip];
          v = std::clamp(v, -32768.0f, 32767.0f);
          d[j * skip] = static_cast<std::int16_t>(v);
        }
        break;
      }
      case SampleFormatInt24: {
        auto* d = reinterpret_cast<std::int32_t*>(dest);
        auto* s = reinterpret_cast<const std::int32_t*>(mTemp);
        for (int j = 0; j < len; ++j) {
          double v = s[j] * static_cast<double>(gain) + d[j * skip];
          v = std::clamp(v, -8388608.0, 8388607.0);
          d[j * skip] = static_cast<std::int32_t>(v);
        }
        break;
      }
      default: {
        auto* d = reinterpret_cast<float*>(dest);
        auto* s = reinterpret_cast<const float*>(mTemp);
        for (int j = 0; j < len; ++j) d[j * skip] = std::clamp(s[j] * gain + d[j * skip], -1.0f, 1.0f);
        break;
      }
    }
  }
}

int Mixer::MixSameRate(int* channelFlags, WaveTrack* track, std::int64_t* pos) {
  const double rate = track->GetRate();
  const double t = *pos / rate;
  int n = mMaxOut;
  if (t + n / rate > mT1) n = static_cast<int>(rate * (mT1 - t) + 0.5);
  if (n < 1) return 0;
  n = std::min(n, mMaxOut);

  track->Get(reinterpret_cast<SamplePtr>(mFloatBuffer), SampleFormatFloat, *pos, n);
  track->GetEnvelope()->GetValues(mEnvValues.data(), n, t, 1.0 / mRate);
  for (int i = 0; i < n; ++i) mFloatBuffer[i] = static_cast<float>(mFloatBuffer[i] * mEnvValues[i]);

  if (track->GetSampleFormat() == mFormat)
    CopySamplesNoDither(reinterpret_cast<SamplePtr>(mFloatBuffer), SampleFormatFloat, mTemp, mFormat,
                        static_cast<std::uint32_t>(n));
  else
    CopySamples(reinterpret_cast<SamplePtr>(mFloatBuffer), SampleFormatFloat, mTemp, mFormat,
                static_cast<std::uint32_t>(n), true);

  FillGains(track);
  MixBuffers(channelFlags, mGains.data(), n);
  *pos += n;
  return n;
}

int Mixer::MixVariableRates(int* channelFlags, WaveTrack* track, std::int64_t* pos, float* queue,
                            int* queueStart, int* queueLen, Resample* resample) {
  const double trackRate = track->GetRate();
  const double initialWarp = mRate / trackRate;
  double t = *pos / trackRate;
  int out = 0;

  while (out < mMaxOut) {
    if (*queueLen < mProcessLen) {
      if (*queueStart > 0 && *queueLen > 0)
        std::memmove(queue, queue + *queueStart, sizeof(float) * *queueLen);
      *queueStart = 0;
      const int getLen = mQueueMaxLen - *queueLen;
      track->Get(reinterpret_cast<SamplePtr>(queue + *queueLen), SampleFormatFloat, *pos, getLen);
      track->GetEnvelope()->GetValues(mEnvValues.data(), getLen, *pos / trackRate, 1.0 / trackRate);
      for (int i = 0; i < getLen; ++i)
        queue[*queueLen + i] = static_cast<float>(queue[*queueLen + i] * mEnvValues[i]);
      *queueLen += getLen;
      *pos += getLen;
    }

    const int piece = std::min(mProcessLen, *queueLen);
    const bool last = *queueLen < mProcessLen;

    double factor = initialWarp;
    if (mTimeTrack) {
      const double w = mTimeTrack->GetWarpEnvelope()->GetValue(t);
      const double lower = mTimeTrack->GetRangeLower(), upper = mTimeTrack->GetRangeUpper();
      factor = initialWarp / ((lower * (1 - w) + upper * w) * 0.01);
    }

    int used = 0;
    const int produced =
        resample->Process(factor, queue + *queueStart, piece, last, &used, mFloatBuffer + out, mMaxOut - out);
    if (produced < 0) return 0;
    *queueStart += used;
    *queueLen -= used;
    out += produced;
    t += used / trackRate;
    if (last) break;
    if (used == 0 && produced == 0) break;  // the converter refuses to move: give up
  }
  if (out < 1) return 0;

  CopySamples(reinterpret_cast<SamplePtr>(mFloatBuffer), SampleFormatFloat, mTemp, mFormat,
              static_cast<std::uint32_t>(out), true);
  FillGains(track);
  MixBuffers(channelFlags, mGains.data(), out);
  return out;
}

int Mixer::Process(int maxSamples) {
  if (mT1 != mT0 && mTime >= mT1) return 0;
  if (std::fabs(mT1 - mT0) < 1e-8) return 0;

  for (SamplePtr b : mBuffer) ClearSamples(b, mFormat, 0, static_cast<std::uint32_t>(mInterleavedBufferSize));
  mMaxOut = std::clamp(maxSamples, 0, mBufferSize);

  int maxOut = 0;
  std::vector<int> channelFlags(mNumChannels);
  for (int i = 0; i < mNumInputTracks; ++i) {
    WaveTrack* track = mInputTrack[i];
    std::fill(channelFlags.begin(), channelFlags.end(), 0);
    switch (track->GetChannel()) {
      case Track::LeftChannel:
        channelFlags[0] = 1;
        break;
      case Track::RightChannel:
        channelFlags[mNumChannels >= 2 ? 1 : 0] = 1;
        break;
      default:
        std::fill(channelFlags.begin(), channelFlags.end(), 1);
        break;
    }
    int out;
    if (!mTimeTrack && track->GetRate() == mRate)
      out = MixSameRate(channelFlags.data(), track, &mSamplePos[i]);
    else
      out = MixVariableRates(channelFlags.data(), track, &mSamplePos[i], mQueue[i], &mQueueStart[i],
                             &mQueueLen[i], mResample[i]);
    maxOut = std::max(maxOut, out);
  }
  mTime += maxOut / mRate;
  return maxOut;
}
