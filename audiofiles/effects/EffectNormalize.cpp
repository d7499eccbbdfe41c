#include "audiofiles/effects/EffectNormalize.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/model/WaveTrack.h"

bool EffectNormalize::Process() {
  if (!mNormalizeAmplitude && !mRemoveDC) return true;
  return ForEachTrackPart([this](int number, WaveTrack* track, const TrackPart& part) {
    mCurTrackNum = number;
    return part.s1 <= part.s0 || ProcessTrack(track, part.s0, part.s1);
  });
}

bool EffectNormalize::ProcessTrack(WaveTrack* track, std::int64_t s0, std::int64_t s1) {
  std::vector<float> buffer(static_cast<std::size_t>(track->GetMaxBlockSize()));
  const double total = static_cast<double>(s1 - s0);

  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 0) {
      // Tracks hold samples within -1.0 .. 1.0, so these starting values never
      // hide a real extreme.
      mMin = 1.0f;
      mMax = -1.0f;
      mSum = 0.0;
      mCount = 0;
    } else {
      mMult = 1.0f;
      mOffset = 0.0f;
      if (mRemoveDC) mOffset = static_cast<float>(-(mSum / static_cast<double>(mCount)));
      if (mNormalizeAmplitude) {
        const float extent = std::max(std::fabs(mMin + mOffset), std::fabs(mMax + mOffset));
        if (extent > 0.0f) mMult = static_cast<float>(std::sqrt(2.0) * 0.5 / extent);
      }
    }

    std::int64_t s = s0;
    while (s < s1) {
      const int n = static_cast<int>(
          std::min<std::int64_t>(track->GetBestBlockSize(s), std::min<std::int64_t>(s1 - s, buffer.size())));
      if (!track->Get(reinterpret_cast<SamplePtr>(buffer.data()), SampleFormatFloat, s, n)) return false;
      if (pass == 0) {
        float lo = mMin, hi = mMax;
        double sum = 0.0;
        for (int i = 0; i < n; ++i) {
          const float v = buffer[i];
          lo = std::min(lo, v);
          hi = std::max(hi, v);
          sum += v;
        }
        mMin = lo;
        mMax = hi;
        mSum += sum;
        mCount += n;
      } else {
        const float offset = mOffset, mult = mMult;
        for (int i = 0; i < n; ++i) buffer[i] = (buffer[i] + offset) * mult;
        if (!track->Set(reinterpret_cast<ConstSamplePtr>(buffer.data()), SampleFormatFloat, s, n))
          return false;
      }
      s += n;
      if (TrackProgress(mCurTrackNum, static_cast<double>(s - s0) / (2.0 * total) + 0.5 * pass)) return false;
    }
  }
  return true;
}
