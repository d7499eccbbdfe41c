#include "audiofiles/effects/EffectEqualization.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "audiofiles/effects/BinGains.h"
#include "audiofiles/effects/ChannelJob.h"
#include "core/model/FFT.h"
#include "core/model/WaveTrack.h"

EffectEqualization::EffectEqualization()
    : mGains(new float[WindowSize]), mCopy(WindowSize), mRe(WindowSize), mIm(WindowSize) {
  std::fill(mGains, mGains + WindowSize, 1.0f);
}

EffectEqualization::~EffectEqualization() { delete[] mGains; }

bool EffectEqualization::SetCurve(double rate, std::vector<std::pair<double, double>> points) {
  std::vector<float> gains;
  if (!GainsFromCurve(rate, WindowSize, std::move(points), &gains)) return false;
  std::copy(gains.begin(), gains.end(), mGains);
  return true;
}

namespace {

// Filters one frame of n floats in place: window, half spectrum, gains, back.
void FilterWith(int n, const float* gains, const HanningWindow& window, std::vector<float>& copy,
                std::vector<float>& re, std::vector<float>& im, float* frame) {
  std::copy(frame, frame + n, copy.begin());
  window.Apply(copy.data());
  // The frame is real, so half a spectrum carries it all.
  RealFFT(n, copy.data(), re.data(), im.data());
  ApplyHalfBinGains(n, gains, re.data(), im.data());
  InverseRealFFT(n, re.data(), im.data(), frame);
}

// One track's part, a chunk of four maximum blocks per step, with scratch of its own
// so that the two channels of a pair can run at the same time.
class EqualizationJob : public ChannelJob {
public:
  static constexpr int n = EffectEqualization::WindowSize;
  static constexpr int h = n / 2;

  EqualizationJob(const WaveTrack& track, std::int64_t start, std::int64_t length, const float* gains,
                  const HanningWindow& window)
      : ChannelJob(track, start, start + length),
        mGains(gains),
        mWindow(window),
        mFrameA(n),
        mFrameB(n, 0.0f),
        mCopy(n),
        mRe(n),
        mIm(n) {
    const std::int64_t L = 4 * static_cast<std::int64_t>(track.GetMaxBlockSize());
    mChunk = std::max<std::int64_t>(n, (L + n - 1) / n * n);
    mDone = length <= 0;
  }

  bool Step() override {
    const std::int64_t remaining = mEnd - mPos;
    int block = static_cast<int>(std::min(mChunk, remaining));
    mOutput.resize(static_cast<std::size_t>(mChunk));
    float* buffer = mOutput.data();
    if (!mTrack.Get(reinterpret_cast<SamplePtr>(buffer), SampleFormatFloat, mPos, block)) return false;
    float* A = mFrameA.data();
    float* B = mFrameB.data();

    // Each chunk starts with a frame holding half a frame of zeros and then the
    // chunk's opening samples, so its first half frame gets the falling window half
    // like every other sample.
    std::fill(B, B + h, 0.0f);
    const int lead = std::min(h, block);
    std::copy(buffer, buffer + lead, B + h);
    std::fill(B + h + lead, B + n, 0.0f);
    Filter(B);

    for (int i = 0; i < block; i += h) {
      const int m = std::min(n, block - i);
      std::copy(buffer + i, buffer + i + m, A);
      std::fill(A + m, A + n, 0.0f);
      Filter(A);
      const int count = std::min(h, block - i);
      for (int k = 0; k < count; ++k) buffer[i + k] = B[h + k] + A[k];
      std::swap(A, B);
    }

    // The chunk's last half frame was filtered against zeros after it; it is not
    // written, and the next chunk starts with it.
    if (remaining > block && remaining > h) block -= h;
    mOutput.resize(static_cast<std::size_t>(block));
    mWriteStart = mPos;
    mPos += block;
    mDone = mPos >= mEnd;
    return true;
  }

private:
  void Filter(float* frame) { FilterWith(n, mGains, mWindow, mCopy, mRe, mIm, frame); }

  const float* mGains;
  const HanningWindow& mWindow;
  std::int64_t mChunk = 0;
  std::vector<float> mFrameA, mFrameB, mCopy, mRe, mIm;
};

}  // namespace

bool EffectEqualization::Process() {
  return ForEachTrackPair([this](const std::vector<TrackSlot>& slots) {
    std::vector<std::pair<WaveTrack*, TrackPart>> tracks;
    for (const TrackSlot& slot : slots) tracks.emplace_back(slot.track, slot.part);
    return ProcessTracks(slots.front().number, tracks);
  });
}

bool EffectEqualization::ProcessTrack(int trackNumber, WaveTrack* track, std::int64_t start,
                                      std::int64_t length) {
  if (length <= 0) return true;
  TrackPart part;
  part.s0 = start;
  part.s1 = start + length;
  return ProcessTracks(trackNumber, {{track, part}});
}

bool EffectEqualization::ProcessTracks(int firstNumber,
                                       const std::vector<std::pair<WaveTrack*, TrackPart>>& tracks) {
  std::vector<std::unique_ptr<EqualizationJob>> jobs;
  std::vector<ChannelJob*> jobList;
  std::vector<WaveTrack*> trackList;
  for (const auto& [track, part] : tracks) {
    if (part.s1 <= part.s0) continue;
    jobs.push_back(std::make_unique<EqualizationJob>(*track, part.s0, part.s1 - part.s0, mGains, mWindow));
    jobList.push_back(jobs.back().get());
    trackList.push_back(track);
  }
  if (jobs.empty()) return true;
  if (TrackProgress(firstNumber, 0.0)) return false;
  return RunInPlaceJobs(jobList, trackList,
                        [&](double fractionSum) { return TrackProgress(firstNumber, fractionSum); });
}

void EffectEqualization::FilterFrame(int n, float* frame) {
  FilterWith(n, mGains, mWindow, mCopy, mRe, mIm, frame);
}
