#include "audiofiles/effects/EffectEqualization.h"

#include <algorithm>
#include <cmath>

#include "audiofiles/effects/BinGains.h"
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

bool EffectEqualization::Process() {
  return ForEachTrackPart([this](int number, WaveTrack* track, const TrackPart& part) {
    return ProcessTrack(number, track, part.s0, part.s1 - part.s0);
  });
}

bool EffectEqualization::ProcessTrack(int trackNumber, WaveTrack* track, std::int64_t start,
                                      std::int64_t length) {
  constexpr int n = WindowSize;
  constexpr int h = n / 2;
  if (length <= 0) return true;

  std::int64_t L = 4 * static_cast<std::int64_t>(track->GetMaxBlockSize());
  L = std::max<std::int64_t>(n, (L + n - 1) / n * n);
  std::vector<float> buffer(static_cast<std::size_t>(L));
  std::vector<float> frameA(n), frameB(n, 0.0f);
  float* A = frameA.data();
  float* B = frameB.data();

  if (TrackProgress(trackNumber, 0.0)) return false;

  std::int64_t s = start;
  std::int64_t remaining = length;
  while (remaining != 0) {
    int block = static_cast<int>(std::min(L, remaining));
    if (!track->Get(reinterpret_cast<SamplePtr>(buffer.data()), SampleFormatFloat, s, block)) return false;

    // Each chunk starts with a frame holding half a frame of zeros and then the
    // chunk's opening samples, so its first half frame gets the falling window half
    // like every other sample.
    std::fill(B, B + h, 0.0f);
    const int lead = std::min(h, block);
    std::copy(buffer.begin(), buffer.begin() + lead, B + h);
    std::fill(B + h + lead, B + n, 0.0f);
    FilterFrame(n, B);

    for (int i = 0; i < block; i += h) {
      const int m = std::min(n, block - i);
      std::copy(buffer.begin() + i, buffer.begin() + i + m, A);
      std::fill(A + m, A + n, 0.0f);
      FilterFrame(n, A);
      const int count = std::min(h, block - i);
      for (int k = 0; k < count; ++k) buffer[i + k] = B[h + k] + A[k];
      std::swap(A, B);
    }

    // The chunk's last half frame was filtered against zeros after it; it is not
    // written, and the next chunk starts with it.
    if (remaining > block && remaining > h) block -= h;

    if (!track->Set(reinterpret_cast<ConstSamplePtr>(buffer.data()), SampleFormatFloat, s, block))
      return false;
    s += block;
    remaining -= block;
    if (TrackProgress(trackNumber, static_cast<double>(s - start) / static_cast<double>(length)))
      return false;
  }
  return true;
}

void EffectEqualization::FilterFrame(int n, float* frame) {
  std::copy(frame, frame + n, mCopy.begin());
  mWindow.Apply(mCopy.data());
  // The frame is real, so half a spectrum carries it all.
  RealFFT(n, mCopy.data(), mRe.data(), mIm.data());
  ApplyHalfBinGains(n, mGains, mRe.data(), mIm.data());
  InverseRealFFT(n, mRe.data(), mIm.data(), frame);
}
