#include "audiofiles/StreamMixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Resample.h"
#include "core/RingBuffer.h"

namespace {

// Adds frames samples of src (in format) into dst, every stride samples, clipping.
void AddClipped(ConstSamplePtr src, SamplePtr dst, int format, int frames, int stride) {
  switch (format) {
    case SampleFormatInt16: {
      auto *s = reinterpret_cast<const std::int16_t *>(src);
      auto *d = reinterpret_cast<std::int16_t *>(dst);
      for (int i = 0; i < frames; ++i) {
        const int v = s[i] + d[i * stride];
        d[i * stride] = static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
      }
      break;
    }
    case SampleFormatInt24: {
      auto *s = reinterpret_cast<const std::int32_t *>(src);
      auto *d = reinterpret_cast<std::int32_t *>(dst);
      for (int i = 0; i < frames; ++i) {
        const std::int64_t v = static_cast<std::int64_t>(s[i]) + d[i * stride];
        d[i * stride] = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(v, -8388608, 8388607));
      }
      break;
    }
    default: {
      auto *s = reinterpret_cast<const float *>(src);
      auto *d = reinterpret_cast<float *>(dst);
      for (int i = 0; i < frames; ++i) {
        const float v = s[i] + d[i * stride];
        d[i * stride] = std::clamp(v, -1.0f, 1.0f);
      }
      break;
    }
  }
}

}  // namespace

StreamMixer::StreamMixer() { Reset(); }

StreamMixer::~StreamMixer() { Release(); }

void StreamMixer::Reset() {
  mInputBuffers.clear();
  mInputBufferLen.clear();
  mFilled = 0;
  mReadPos.clear();
  mNumInputs = 0;
  mInputs = nullptr;
  mSamplePos.clear();
  mGains.clear();
  mTime = 0.0;
  mResample.clear();
  mQueue.clear();
  mQueueStart.clear();
  mQueueLen.clear();
  mQueueMaxLen = kQueueSize;
  mProcessLen = kProcessLen;
  mMaxOut = 0;
  mNumChannels = 2;
  mNumBuffers = 2;
  mBufferSize = 8192;
  mInterleavedBufferSize = 8192;
  mFormat = SampleFormatInt16;
  mInterleaved = false;
  mBuffers.clear();
  mTemp = nullptr;
  mFloatBuffer = nullptr;
  mRate = 44100.0;
  mInputRate = 44100.0;
  mFillEnd.clear();
}

void StreamMixer::Release() {
  for (float *b : mInputBuffers) delete[] b;
  for (Resample *r : mResample) delete r;
  for (float *q : mQueue) delete[] q;
  for (SamplePtr b : mBuffers) DeleteSamples(b);
  if (mTemp) DeleteSamples(mTemp);
  delete[] mFloatBuffer;
  Reset();
}

bool StreamMixer::IsResampling() const { return std::fabs(mInputRate - mRate) > 0.1; }

int StreamMixer::MixerSetup(int inputCount, RingBuffer **inputs, double inputRate, int outChannels,
                            int bufferSize, bool interleaved, double outRate, int outFormat,
                            bool highQuality) {
  if (IsSetUp() || mNumInputs > 0) Release();
  if (inputCount < 1 || !inputs || outChannels < 1 || bufferSize < 1 || !(outRate >= 1.0))
    return 0;
  for (int i = 0; i < inputCount; ++i)
    if (!inputs[i]) return 0;

  mNumInputs = inputCount;
  mInputs = inputs;
  mSamplePos.assign(inputCount, 0);
  mReadPos.assign(inputCount, 0);
  mFillEnd.assign(inputCount, 0);
  mInputBufferLen.resize(inputCount);
  mInputBuffers.resize(inputCount);
  for (int i = 0; i < inputCount; ++i) {
    mInputBufferLen[i] = inputs[i]->GetSize();
    mInputBuffers[i] = new float[mInputBufferLen[i]]();
  }
  mFilled = 0;

  mTime = 0.0;
  mInputRate = inputRate >= 1.0 ? inputRate : 44100.0;

  mNumChannels = outChannels;
  mBufferSize = bufferSize;
  mInterleaved = interleaved;
  mRate = outRate;
  mFormat = outFormat;
  mGains.assign(outChannels, 1.0f);
  if (interleaved) {
    mNumBuffers = 1;
    mInterleavedBufferSize = bufferSize * outChannels;
  } else {
    mNumBuffers = outChannels;
    mInterleavedBufferSize = bufferSize;
  }
  const SampleFormat fmt = static_cast<SampleFormat>(mFormat);
  for (int c = 0; c < mNumBuffers; ++c) {
    SamplePtr b = NewSamples(static_cast<std::uint32_t>(mInterleavedBufferSize), fmt);
    ClearSamples(b, fmt, 0, static_cast<std::uint32_t>(mInterleavedBufferSize));
    mBuffers.push_back(b);
  }
  mTemp = NewSamples(static_cast<std::uint32_t>(mInterleavedBufferSize), fmt);
  mFloatBuffer = new float[mInterleavedBufferSize]();
  mQueueMaxLen = kQueueSize;
  mProcessLen = kProcessLen;

  const double factor = mRate / mInputRate;
  mResample.resize(inputCount);
  mQueue.resize(inputCount);
  mQueueStart.assign(inputCount, 0);
  mQueueLen.assign(inputCount, 0);
  for (int i = 0; i < inputCount; ++i) {
    mResample[i] = new Resample(highQuality, factor, factor);
    mQueue[i] = new float[mQueueMaxLen]();
  }
  return 1;
}

int StreamMixer::FillInputs(bool takeAll) {
  if (mNumInputs < 1) return 0;
  int held = mInputs[0]->Len();
  for (int i = 1; i < mNumInputs; ++i) held = std::min(held, mInputs[i]->Len());
  if (held < (takeAll ? 1 : mProcessLen)) return 0;

  // Room: what an input still has to consume stays in front of the new samples.
  for (int i = 0; i < mNumInputs; ++i) {
    const int left = mFillEnd[i] - mReadPos[i];
    held = std::min(held, mInputBufferLen[i] - left);
  }
  if (held < 1) return 0;

  mFilled = held;
  for (int i = 0; i < mNumInputs; ++i) {
    const int left = mFillEnd[i] - mReadPos[i];
    float *buf = mInputBuffers[i];
    if (left > 0 && mReadPos[i] > 0) std::memmove(buf, buf + mReadPos[i], left * sizeof(float));
    std::fill(buf + left, buf + mInputBufferLen[i], 0.0f);
    mReadPos[i] = 0;
    const int got = mInputs[i]->Get(reinterpret_cast<SamplePtr>(buf + left), SampleFormatFloat,
                                    held);
    mFillEnd[i] = left + got;
  }
  return held;
}

int StreamMixer::ResampleInput(int i, int maxFrames, bool endOfInput) {
  float *queue = mQueue[i];
  const double factor = mRate / mInputRate;
  int out = 0;
  while (out < maxFrames) {
    bool stopAfter = false;
    if (mQueueLen[i] < mProcessLen) {
      const int remaining = mFillEnd[i] - mReadPos[i];
      if (remaining > 0) {
        if (mQueueStart[i] > 0 && mQueueLen[i] > 0)
          std::memmove(queue, queue + mQueueStart[i], mQueueLen[i] * sizeof(float));
        mQueueStart[i] = 0;
        const int take = std::min(mQueueMaxLen - mQueueLen[i], remaining);
        std::memcpy(queue + mQueueLen[i], mInputBuffers[i] + mReadPos[i], take * sizeof(float));
        mQueueLen[i] += take;
        mReadPos[i] += take;
        mSamplePos[i] += take;
      } else if (!endOfInput) {
        stopAfter = true;
      }
    }
    const int piece = std::min(mQueueLen[i], mProcessLen);
    // The end of the input: the whole rest is in this piece and nothing is to come.
    const bool last = endOfInput && mReadPos[i] == mFillEnd[i] && mQueueLen[i] <= mProcessLen;
    if (piece == 0 && !last) break;
    int used = 0;
    const int produced = mResample[i]->Process(factor, queue + mQueueStart[i], piece, last, &used,
                                               mFloatBuffer + out, maxFrames - out);
    if (produced < 0) return -1;
    mQueueStart[i] += used;
    mQueueLen[i] -= used;
    out += produced;
    if (used == 0 && produced == 0) {
      // No progress: at the end of the input the converter is empty now; otherwise
      // it refuses to move. Either way this pass is over.
      if (last) mResample[i]->Reset();
      break;
    }
    if (stopAfter) break;
  }
  return out;
}

void StreamMixer::MixScratch(int input, int frames) {
  // Routing: two inputs go to their own channels; any other count goes everywhere.
  const int stride = mInterleaved ? mNumChannels : 1;
  const int bytes = SampleSize(static_cast<SampleFormat>(mFormat));
  for (int c = 0; c < mNumChannels; ++c) {
    const bool routed = mNumInputs == 2 ? (c == input) : true;
    if (!routed) continue;
    SamplePtr dst = mInterleaved ? mBuffers[0] + c * bytes : mBuffers[c];
    AddClipped(mTemp, dst, mFormat, frames, stride);
  }
}

int StreamMixer::Process(int maxFrames, bool endOfInput) {
  if (mNumInputs < 1 || mBuffers.empty()) return 0;
  maxFrames = std::clamp(maxFrames, 0, mBufferSize);
  if (maxFrames == 0) return 0;
  const bool resampling = IsResampling();
  if (!endOfInput || !resampling) {
    for (int i = 0; i < mNumInputs; ++i)
      if (mReadPos[i] >= mFillEnd[i]) return 0;
  }

  const SampleFormat fmt = static_cast<SampleFormat>(mFormat);
  for (SamplePtr b : mBuffers) ClearSamples(b, fmt, 0, static_cast<std::uint32_t>(mInterleavedBufferSize));
  mMaxOut = maxFrames;

  int result = 0;
  for (int i = 0; i < mNumInputs; ++i) {
    int n = 0;
    if (!resampling) {
      n = std::min(maxFrames, mFillEnd[i] - mReadPos[i]);
      if (n <= 0) continue;
      if (fmt == SampleFormatFloat)
        CopySamplesNoDither(reinterpret_cast<SamplePtr>(mInputBuffers[i] + mReadPos[i]),
                            SampleFormatFloat, mTemp, fmt, static_cast<std::uint32_t>(n));
      else
        CopySamples(reinterpret_cast<SamplePtr>(mInputBuffers[i] + mReadPos[i]), SampleFormatFloat,
                    mTemp, fmt, static_cast<std::uint32_t>(n), true);
      mReadPos[i] += n;
      mSamplePos[i] += n;
    } else {
      n = ResampleInput(i, maxFrames, endOfInput);
      if (n <= 0) continue;
      CopySamples(reinterpret_cast<SamplePtr>(mFloatBuffer), SampleFormatFloat, mTemp, fmt,
                  static_cast<std::uint32_t>(n), true);
    }
    MixScratch(i, n);
    result = std::max(result, n);
  }
  mTime += result / mRate;
  return result;
}
