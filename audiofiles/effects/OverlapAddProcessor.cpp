#include "audiofiles/effects/OverlapAddProcessor.h"

#include <algorithm>
#include <vector>

#include "core/model/WaveTrack.h"

OverlapAddProcessor::OverlapAddProcessor(int frameSize) : mN(frameSize) {}

std::int64_t OverlapAddProcessor::ChunkLength(const WaveTrack& track) const {
  const std::int64_t L = 4 * static_cast<std::int64_t>(track.GetMaxBlockSize());
  return std::max<std::int64_t>(mN, (L + mN - 1) / mN * mN);
}

bool OverlapAddProcessor::Filter(WaveTrack& track, std::int64_t start, std::int64_t length,
                                 const FrameFunction& filter, const ProgressFunction& progress) const {
  if (length <= 0) return true;
  const int n = mN;
  const int h = n / 2;
  const std::int64_t L = ChunkLength(track);
  std::vector<float> buffer(static_cast<std::size_t>(L));
  std::vector<float> frameA(n), frameB(n, 0.0f);
  float* A = frameA.data();
  float* B = frameB.data();

  std::int64_t done = 0;
  bool first = true;
  while (done < length) {
    const int block = static_cast<int>(std::min(L, length - done));
    if (!track.Get(reinterpret_cast<SamplePtr>(buffer.data()), SampleFormatFloat, start + done, block))
      return false;

    if (first) {
      // The lead-in frame: its second half overlaps the first frame's first half.
      std::fill(B, B + h, 0.0f);
      const int m = std::min(h, block);
      std::copy(buffer.begin(), buffer.begin() + m, B + h);
      std::fill(B + h + m, B + n, 0.0f);
      filter(B);
      first = false;
    }

    const bool last = (done + block == length);
    // A chunk that is not the last keeps its final half frame for the next one,
    // whose first frame needs the samples after it.
    const int limit = last ? block : block - h;
    for (int i = 0; i < limit; i += h) {
      const int m = std::min(n, block - i);
      std::copy(buffer.begin() + i, buffer.begin() + i + m, A);
      std::fill(A + m, A + n, 0.0f);
      filter(A);
      const int count = std::min(h, limit - i);
      for (int k = 0; k < count; ++k) buffer[i + k] = B[h + k] + A[k];
      std::swap(A, B);
    }

    if (!track.Set(reinterpret_cast<ConstSamplePtr>(buffer.data()), SampleFormatFloat, start + done, limit))
      return false;
    done += limit;
    if (progress && progress(static_cast<double>(done) / static_cast<double>(length))) return false;
  }
  return true;
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
