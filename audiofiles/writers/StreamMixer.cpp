#include "audiofiles/writers/StreamMixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/model/Resample.h"
#include "core/model/RingBuffer.h"

namespace {

// Adds frames samples of src (in format) into dst, every stride samples, clipping.
void AddClipped(ConstSamplePtr src, SamplePtr dst, int format, int frames, int stride) {
  switch (format) {
    case SampleFormatInt16: {
      auto* s = reinterpret_cast<const std::int16_t*>(src);
      auto* d = reinterpret_cast<std::int16_t*>(dst);
      for (int i = 0; i < frames; ++i) {
        const int v = s[i] + d[i * stride];
        d[i * stride] = static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
      }
      break;
    }
    case SampleFormatInt24: {
      auto* s = reinterpret_cast<const std::int32_t*>(src);
      auto* d = reinterpret_cast<std::int32_t*>(dst);
      for (int i = 0; i < frames; ++i) {
        const std::int64_t v = static_cast<std::int64_t>(s[i]) + d[i * stride];
        d[i * stride] = static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -8388608, 8388607));
      }
      break;
    }
    default: {
      auto* s = reinterpret_cast<const float*>(src);
      auto* d = reinterpret_cast<float*>(dst);
      for (int i = 0; i < frames; ++i) {
        const float v = s[i] + d[i * stride];
        d[i * stride] = std::clamp(v, -1.0f, 1.0f);
      }
      break;
    }
  }
}

// The program's own conversions, written out so that they run as tight loops: a
// 16-bit sample s is (s + 0.5) / 32767.5 as float, a float f becomes 16 bits as
// f * 32767.5 rounded to the nearest integer (ties to even) and clipped. They give
// exactly what CopySamples gives (no conversion in the program dithers).
constexpr float kInt16ToFloat = 1.0f / 32767.5f;

void Int16ToFloat(const std::int16_t* src, float* dst, int n) {
  for (int i = 0; i < n; ++i) dst[i] = (static_cast<float>(src[i]) + 0.5f) * kInt16ToFloat;
}

void FloatToInt16(const float* src, std::int16_t* dst, int n) {
  // Adding and taking away 1.5 * 2^23 rounds a float below 2^22 in size to the
  // nearest integer, ties to even, as the processor's rounding does.
  constexpr float kRound = 12582912.0f;
  for (int i = 0; i < n; ++i) {
    float x = src[i] * 32767.5f;
    x = x < -32768.0f ? -32768.0f : (x > 32767.0f ? 32767.0f : x);
    dst[i] = static_cast<std::int16_t>((x + kRound) - kRound);
  }
}

// The way back for floats that came from 16-bit samples through Int16ToFloat: the
// nearest integer to f * 32767.5 - 0.5 is the sample itself, where the rounding of
// f * 32767.5 would sit on a tie and move every odd sample up by one. So a 16-bit
// capture reaches a 16-bit file unchanged.
void Int16FloatToInt16(const float* src, std::int16_t* dst, int n) {
  constexpr float kRound = 12582912.0f;
  for (int i = 0; i < n; ++i) {
    float x = src[i] * 32767.5f - 0.5f;
    x = x < -32768.0f ? -32768.0f : (x > 32767.0f ? 32767.0f : x);
    dst[i] = static_cast<std::int16_t>((x + kRound) - kRound);
  }
}

template <class T>
void CopyStrided(const T* src, T* dst, int frames, int stride) {
  for (int i = 0; i < frames; ++i) dst[i * stride] = src[i];
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
  for (float* b : mInputBuffers) delete[] b;
  for (Resample* r : mResample) delete r;
  for (float* q : mQueue) delete[] q;
  for (SamplePtr b : mBuffers) DeleteSamples(b);
  if (mTemp) DeleteSamples(mTemp);
  delete[] mFloatBuffer;
  Reset();
}

bool StreamMixer::IsResampling() const { return std::fabs(mInputRate - mRate) > 0.1; }

int StreamMixer::MixerSetup(int inputCount, RingBuffer** inputs, double inputRate, int outChannels,
                            int bufferSize, bool interleaved, double outRate, int outFormat,
                            bool highQuality) {
  if (IsSetUp() || mNumInputs > 0) Release();
  if (inputCount < 1 || !inputs || outChannels < 1 || bufferSize < 1 || !(outRate >= 1.0)) return 0;
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
    float* buf = mInputBuffers[i];
    if (left > 0 && mReadPos[i] > 0) std::memmove(buf, buf + mReadPos[i], left * sizeof(float));
    mReadPos[i] = 0;
    int got;
    if (mInputs[i]->GetFormat() == SampleFormatInt16) {
      // Straight out of the ring, then converted in one pass.
      mShortScratch.resize(static_cast<std::size_t>(held));
      got = mInputs[i]->Get(reinterpret_cast<SamplePtr>(mShortScratch.data()), SampleFormatInt16, held);
      Int16ToFloat(mShortScratch.data(), buf + left, got);
    } else {
      got = mInputs[i]->Get(reinterpret_cast<SamplePtr>(buf + left), SampleFormatFloat, held);
    }
    mFillEnd[i] = left + got;
  }
  return held;
}

int StreamMixer::ResampleInput(int i, int maxFrames, bool endOfInput) {
  float* queue = mQueue[i];
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
    // The first input into a channel lands on zeros, and the scratch samples are in
    // range already: adding and clipping would give them back unchanged.
    const bool first = mNumInputs == 2 ? true : input == 0;
    if (first && stride == 1)
      std::memcpy(dst, mTemp, static_cast<std::size_t>(frames) * bytes);
    else if (first && mFormat == SampleFormatInt16)
      CopyStrided(reinterpret_cast<const std::int16_t*>(mTemp), reinterpret_cast<std::int16_t*>(dst), frames,
                  stride);
    else if (first && mFormat == SampleFormatInt24)
      CopyStrided(reinterpret_cast<const std::int32_t*>(mTemp), reinterpret_cast<std::int32_t*>(dst), frames,
                  stride);
    else if (first)
      CopyStrided(reinterpret_cast<const float*>(mTemp), reinterpret_cast<float*>(dst), frames, stride);
    else
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
  // Clear what this call can write: without resampling no input gives more than it
  // holds (the buffers are large, and most calls fill a small part of them).
  int bound = maxFrames;
  if (!resampling) {
    int most = 0;
    for (int i = 0; i < mNumInputs; ++i) most = std::max(most, mFillEnd[i] - mReadPos[i]);
    bound = std::min(bound, most);
  }
  const int clearLen = mInterleaved ? bound * mNumChannels : bound;
  for (SamplePtr b : mBuffers) ClearSamples(b, fmt, 0, static_cast<std::uint32_t>(clearLen));
  mMaxOut = maxFrames;

  int result = 0;
  for (int i = 0; i < mNumInputs; ++i) {
    int n = 0;
    if (!resampling) {
      n = std::min(maxFrames, mFillEnd[i] - mReadPos[i]);
      if (n <= 0) continue;
      if (fmt == SampleFormatInt16 && mInputs[i]->GetFormat() == SampleFormatInt16)
        Int16FloatToInt16(mInputBuffers[i] + mReadPos[i], reinterpret_cast<std::int16_t*>(mTemp), n);
      else if (fmt == SampleFormatInt16)
        FloatToInt16(mInputBuffers[i] + mReadPos[i], reinterpret_cast<std::int16_t*>(mTemp), n);
      else if (fmt == SampleFormatFloat)
        CopySamplesNoDither(reinterpret_cast<SamplePtr>(mInputBuffers[i] + mReadPos[i]), SampleFormatFloat,
                            mTemp, fmt, static_cast<std::uint32_t>(n));
      else
        CopySamples(reinterpret_cast<SamplePtr>(mInputBuffers[i] + mReadPos[i]), SampleFormatFloat, mTemp,
                    fmt, static_cast<std::uint32_t>(n), true);
      mReadPos[i] += n;
      mSamplePos[i] += n;
    } else {
      n = ResampleInput(i, maxFrames, endOfInput);
      if (n <= 0) continue;
      if (fmt == SampleFormatInt16)
        FloatToInt16(mFloatBuffer, reinterpret_cast<std::int16_t*>(mTemp), n);
      else
        CopySamples(reinterpret_cast<SamplePtr>(mFloatBuffer), SampleFormatFloat, mTemp, fmt,
                    static_cast<std::uint32_t>(n), true);
    }
    MixScratch(i, n);
    result = std::max(result, n);
  }
  mTime += result / mRate;
  return result;
}
