#include "audiofiles/effects/OverlapAddProcessor.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/model/WaveTrack.h"

OverlapAddProcessor::OverlapAddProcessor(int frameSize) : mN(frameSize) {}

std::int64_t OverlapAddProcessor::ChunkLength(const WaveTrack& track) const {
  const std::int64_t L = 4 * static_cast<std::int64_t>(track.GetMaxBlockSize());
  return std::max<std::int64_t>(mN, (L + mN - 1) / mN * mN);
}

OverlapAddJob::OverlapAddJob(const WaveTrack& track, std::int64_t start, std::int64_t length, int frameSize,
                             std::int64_t chunkLength, OverlapAddProcessor::FrameFunction filter)
    : ChannelJob(track, start, start + std::max<std::int64_t>(length, 0)),
      mN(frameSize),
      mChunk(chunkLength),
      mFilter(std::move(filter)),
      mFrameA(static_cast<std::size_t>(frameSize)),
      mFrameB(static_cast<std::size_t>(frameSize), 0.0f) {
  mDone = length <= 0;
}

bool OverlapAddJob::Step() {
  const int n = mN;
  const int h = n / 2;
  const int block = static_cast<int>(std::min(mChunk, mEnd - mPos));
  mOutput.resize(static_cast<std::size_t>(block));
  float* buffer = mOutput.data();
  if (!mTrack.Get(reinterpret_cast<SamplePtr>(buffer), SampleFormatFloat, mPos, block)) return false;
  float* A = mFrameA.data();
  float* B = mFrameB.data();

  if (mFirst) {
    // The lead-in frame: its second half overlaps the first frame's first half.
    std::fill(B, B + h, 0.0f);
    const int m = std::min(h, block);
    std::copy(buffer, buffer + m, B + h);
    std::fill(B + h + m, B + n, 0.0f);
    mFilter(B);
    mFirst = false;
  }

  const bool last = (mPos + block == mEnd);
  // A chunk that is not the last keeps its final half frame for the next one,
  // whose first frame needs the samples after it.
  const int limit = last ? block : block - h;
  for (int i = 0; i < limit; i += h) {
    const int m = std::min(n, block - i);
    std::copy(buffer + i, buffer + i + m, A);
    std::fill(A + m, A + n, 0.0f);
    mFilter(A);
    const int count = std::min(h, limit - i);
    for (int k = 0; k < count; ++k) buffer[i + k] = B[h + k] + A[k];
    std::swap(A, B);
  }
  // The frame carried into the next chunk is B, wherever the swaps left it.
  if (B != mFrameB.data()) mFrameA.swap(mFrameB);

  mOutput.resize(static_cast<std::size_t>(limit));
  mWriteStart = mPos;
  mPos += limit;
  mDone = mPos >= mEnd;
  return true;
}

bool OverlapAddProcessor::Filter(WaveTrack& track, std::int64_t start, std::int64_t length,
                                 const FrameFunction& filter, const ProgressFunction& progress) const {
  if (length <= 0) return true;
  OverlapAddJob job(track, start, length, mN, ChunkLength(track), filter);
  return RunInPlaceJobs({&job}, {&track}, progress);
}

bool OverlapAddProcessor::Measure(const WaveTrack& track, std::int64_t start, std::int64_t length,
                                  const FrameFunction& measure, const ProgressFunction& progress,
                                  std::int64_t* framesMeasured) const {
  if (framesMeasured) *framesMeasured = 0;
  const int n = mN;
  const int h = n / 2;
  if (length <= h) return true;
  const std::int64_t L = ChunkLength(track);
  std::vector<float> buffer(static_cast<std::size_t>(L));
  std::vector<float> frame(n);

  std::int64_t done = 0;
  while (length - done > h) {
    const int block = static_cast<int>(std::min(L, length - done));
    if (!track.Get(reinterpret_cast<SamplePtr>(buffer.data()), SampleFormatFloat, start + done, block))
      return false;
    for (int i = 0; i < block - h; i += h) {
      const int m = std::min(n, block - i);
      std::copy(buffer.begin() + i, buffer.begin() + i + m, frame.begin());
      std::fill(frame.begin() + m, frame.end(), 0.0f);
      measure(frame.data());
      if (framesMeasured) ++*framesMeasured;
    }
    done += block - h;
    if (progress && progress(static_cast<double>(done) / static_cast<double>(length))) return false;
  }
  return true;
}
