// Mixes wave tracks over a time range into buffers of one output rate and format:
// each track is read, shaped by its envelope, converted to the output rate when its
// rate differs (or a time track warps the speed), scaled by its channel gains and
// added with clipping into per-channel or interleaved output buffers. Playback uses
// one mixer per track, the exporters one over all tracks of an export.
#pragma once

#include <cstdint>
#include <vector>

#include "core/model/SampleFormat.h"

class Envelope;
class Resample;
class Track;
class WaveTrack;

// What the mixer reads of a time track (a track of kind Track::Time): an envelope
// whose value w at a time picks the speed lower + (upper - lower) * w, in percent.
// A time-track class derives from Track and from this.
class MixerTimeWarp {
public:
  virtual ~MixerTimeWarp() = default;
  virtual const Envelope* GetWarpEnvelope() const = 0;
  virtual int GetRangeLower() const = 0;  // percent
  virtual int GetRangeUpper() const = 0;  // percent
};

class Mixer {
public:
  static constexpr int kQueueMaxLen = 65536;
  static constexpr int kProcessLen = 1024;

  // timeTrack may be null; a track that is not a MixerTimeWarp warps nothing.
  Mixer(int numInputTracks, WaveTrack** inputTracks, const Track* timeTrack, double startTime,
        double stopTime, int numOutChannels, int outBufferSize, bool outInterleaved, double outRate,
        SampleFormat outFormat, bool highQuality = true);
  virtual ~Mixer();

  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // With false every channel gain is 1.0 (playback applies the gains itself).
  void ApplyTrackGains(bool apply = true) { mApplyTrackGains = apply; }

  // Mixes the next piece, at most maxSamples (and at most the buffer size) frames;
  // returns the frames produced, 0 at the end of the range.
  int Process(int maxSamples);

  // Back to the start of the range (looped playback).
  void Restart();

  // The first output buffer (the interleaved one when interleaved).
  SamplePtr GetBuffer() { return mBuffer[0]; }
  SamplePtr GetChannelBuffer(int channel) { return mBuffer[channel]; }
  double GetCurrentTime() const { return mTime; }

private:
  int MixSameRate(int* channelFlags, WaveTrack* track, std::int64_t* pos);
  int MixVariableRates(int* channelFlags, WaveTrack* track, std::int64_t* pos, float* queue, int* queueStart,
                       int* queueLen, Resample* resample);
  void MixBuffers(const int* channelFlags, const float* gains, int len);
  void FillGains(WaveTrack* track);

  int mNumInputTracks;
  std::vector<WaveTrack*> mInputTrack;
  std::vector<std::int64_t> mSamplePos;
  bool mApplyTrackGains = true;
  std::vector<float> mGains;
  std::vector<double> mEnvValues;
  double mTime;
  double mT0;
  double mT1;
  const MixerTimeWarp* mTimeTrack;
  std::vector<Resample*> mResample;
  std::vector<float*> mQueue;
  std::vector<int> mQueueStart;
  std::vector<int> mQueueLen;
  int mQueueMaxLen = kQueueMaxLen;
  int mProcessLen = kProcessLen;
  int mMaxOut = 0;
  int mNumChannels;
  int mNumBuffers;
  int mBufferSize;
  int mInterleavedBufferSize;
  SampleFormat mFormat;
  bool mInterleaved;
  std::vector<SamplePtr> mBuffer;
  SamplePtr mTemp;
  float* mFloatBuffer;
  double mRate;
};
