// Runs a track's range through frames of n samples that overlap by half a frame.
//
// The spectral effects (FFT Filter, Noise Removal) change each frame in the
// frequency domain and leave it weighted by a synthesis window whose overlapping
// halves add up to (about) one; this class reads the track in large chunks, cuts
// them into frames, adds the changed frames back together and writes the result.
//
// Every sample of the range is written. A lead-in frame (half a frame of zeros,
// then the range's opening samples) is put through the frame function first, so
// the range's first half frame gets both window halves like every other sample
// instead of fading in from zero; the last frames run past the range's end with
// zeros behind the samples, so the range's end is filtered too. The overlap-add
// runs on across chunk borders: a chunk writes all but its last half frame, and
// the next chunk starts there.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "audiofiles/effects/ChannelJob.h"

class WaveTrack;

class OverlapAddProcessor {
public:
  // Changes one frame of n floats in place.
  using FrameFunction = std::function<void(float* frame)>;
  // Reports the fraction of the range done; true means cancelled.
  using ProgressFunction = std::function<bool(double fraction)>;

  // n: frame length, a power of two of at least 4.
  explicit OverlapAddProcessor(int frameSize);

  // The chunk length for a track: four maximum blocks, rounded up to a whole number
  // of frames.
  std::int64_t ChunkLength(const WaveTrack& track) const;

  // Filters samples start .. start+length-1 of the track in place. False when the
  // track cannot be read or written, or when progress reports a cancel (chunks
  // written before stay written).
  bool Filter(WaveTrack& track, std::int64_t start, std::int64_t length, const FrameFunction& filter,
              const ProgressFunction& progress) const;

  // Hands every frame that starts more than half a frame before the range's end to
  // measure (zero-padded when it runs past the end); writes nothing. A range of
  // half a frame or less has no frame. False on a read failure or a cancel.
  bool Measure(const WaveTrack& track, std::int64_t start, std::int64_t length, const FrameFunction& measure,
               const ProgressFunction& progress, std::int64_t* framesMeasured = nullptr) const;

private:
  int mN;
};

// The work of OverlapAddProcessor::Filter on one track's range, a chunk per step, for
// the in-place runner of ChannelJob.h: each step reads a chunk and gives its filtered
// samples (all but the last half frame, which the next step starts with). The frame
// function is the job's own, so two jobs may run at the same time when their frame
// functions share nothing.
class OverlapAddJob : public ChannelJob {
public:
  OverlapAddJob(const WaveTrack& track, std::int64_t start, std::int64_t length, int frameSize,
                std::int64_t chunkLength, OverlapAddProcessor::FrameFunction filter);
  bool Step() override;

private:
  const int mN;
  const std::int64_t mChunk;
  OverlapAddProcessor::FrameFunction mFilter;
  std::vector<float> mFrameA, mFrameB;  // mFrameB holds the frame carried between chunks
  bool mFirst = true;
};
