// The stream mixer of direct recording.
//
// It turns the capture ring buffers (one per captured channel) into
// blocks of the output file's channel count, sample rate and sample format for the
// streaming writers: rings read in bulk, an optional
// resampler with a 65536-sample queue per input, clipped summing into the output
// channels. Every gain is 1.0; there are no envelopes and no time track.
//
// Beyond the plain mixing:
// - The tail is not dropped. FillInputs(true) takes whatever the rings hold, even
//   less than the 1024-frame fill minimum, and Process(maxFrames, true) also
//   empties the resampling queues and the converters' delay line, so the final write
//   of a recording gets every captured sample.
// - A fill never overwrites input that Process has not consumed yet: what is left is
//   kept in front of the new samples.
// - A resampling step that makes no progress (nothing used, nothing produced) ends
//   the input's pass instead of spinning.
#pragma once

#include <cstdint>
#include <vector>

#include "core/model/SampleFormat.h"

class RingBuffer;
class Resample;

class StreamMixer {
public:
  static constexpr int kQueueSize = 65536;
  static constexpr int kProcessLen = 1024;

  StreamMixer();
  virtual ~StreamMixer();

  StreamMixer(const StreamMixer&) = delete;
  StreamMixer& operator=(const StreamMixer&) = delete;

  // Releases an earlier set-up and builds everything; returns 1. An input rate
  // below 1.0 (or NaN) is taken as 44100. 0 when an argument cannot be used (no
  // input, a null ring, no output channel or an empty buffer).
  int MixerSetup(int inputCount, RingBuffer** inputs, double inputRate, int outChannels, int bufferSize,
                 bool interleaved, double outRate, int outFormat, bool highQuality);

  // Takes the same number of samples out of every ring: the smallest count they
  // hold. Without takeAll, nothing is taken (and 0 returned) when that is less than
  // 1024; with it, any non-zero count is taken. Returns the samples taken per input.
  int FillInputs(bool takeAll = false);

  // Mixes up to maxFrames frames into the output buffers; returns the frames
  // produced, 0 when an input is used up. endOfInput: the recording ends with what
  // has been filled, so the resampling queues and converters are emptied too.
  int Process(int maxFrames, bool endOfInput = false);

  // The first output buffer (the interleaved one when interleaved).
  SamplePtr GetBuffer() { return mBuffers.empty() ? nullptr : mBuffers[0]; }
  // One channel's buffer (non-interleaved use).
  SamplePtr GetChannelBuffer(int channel) {
    return channel >= 0 && channel < static_cast<int>(mBuffers.size()) ? mBuffers[channel] : nullptr;
  }
  // Seconds of output produced since the set-up.
  double GetTime() const { return mTime; }

  // Frees every buffer, resampler and per-input array and goes back to the defaults.
  void Release();

  // Read-outs of the set-up.
  bool IsSetUp() const { return !mBuffers.empty(); }
  int GetInputCount() const { return mNumInputs; }
  int GetOutChannels() const { return mNumChannels; }
  int GetBufferSize() const { return mBufferSize; }
  int GetOutFormat() const { return mFormat; }
  bool GetInterleaved() const { return mInterleaved; }
  double GetOutRate() const { return mRate; }
  double GetInputRate() const { return mInputRate; }
  bool IsResampling() const;
  // Samples consumed from one input's filled buffer since the set-up.
  std::int64_t GetInputCounter(int input) const {
    return input >= 0 && input < mNumInputs ? mSamplePos[input] : 0;
  }
  // Samples taken out of the rings by the last fill.
  int GetFilledCount() const { return mFilled; }

private:
  void Reset();
  // One input through its queue and resampler into mFloatBuffer; frames produced,
  // or -1 when the resampler failed.
  int ResampleInput(int i, int maxFrames, bool endOfInput);
  void MixScratch(int input, int frames);

  // input buffers
  std::vector<float*> mInputBuffers;
  std::vector<int> mInputBufferLen;
  int mFilled = 0;
  std::vector<int> mReadPos;
  int mNumInputs = 0;
  RingBuffer** mInputs = nullptr;
  std::vector<std::int64_t> mSamplePos;
  std::vector<float> mGains;
  double mTime = 0.0;
  std::vector<Resample*> mResample;
  std::vector<float*> mQueue;
  std::vector<int> mQueueStart;
  std::vector<int> mQueueLen;
  int mQueueMaxLen = kQueueSize;
  int mProcessLen = kProcessLen;
  int mMaxOut = 0;
  int mNumChannels = 2;
  int mNumBuffers = 2;
  int mBufferSize = 8192;
  int mInterleavedBufferSize = 8192;
  int mFormat = SampleFormatInt16;
  bool mInterleaved = false;
  std::vector<SamplePtr> mBuffers;
  SamplePtr mTemp = nullptr;
  float* mFloatBuffer = nullptr;
  double mRate = 44100.0;
  double mInputRate = 44100.0;
  // Per input: where the filled samples end (the filled count, plus what an earlier
  // fill left unconsumed).
  std::vector<int> mFillEnd;
  // 16-bit samples taken from a ring before they are converted.
  std::vector<std::int16_t> mShortScratch;
};
