#include "audiofiles/effects/EffectReverse.h"

#include <algorithm>
#include <vector>

#include "core/model/WaveTrack.h"

bool EffectReverse::Process() {
  return ForEachTrackPart([this](int number, WaveTrack* track, const TrackPart& part) {
    mCurTrackNum = number;
    return part.s1 <= part.s0 || ProcessOne(track, part.s0, part.s1);
  });
}

bool EffectReverse::ProcessOne(WaveTrack* track, std::int64_t s0, std::int64_t s1) {
  const std::int64_t length = s1 - s0;
  const std::size_t max = static_cast<std::size_t>(track->GetMaxBlockSize());
  std::vector<float> first(max), second(max);
  SamplePtr a = reinterpret_cast<SamplePtr>(first.data());
  SamplePtr b = reinterpret_cast<SamplePtr>(second.data());

  std::int64_t remaining = length;
  std::int64_t s = s0;
  while (remaining > 1) {
    const int n = static_cast<int>(std::min<std::int64_t>(
        std::min<std::int64_t>(track->GetBestBlockSize(s), static_cast<std::int64_t>(max)), remaining / 2));
    const std::int64_t end = s + remaining - n;
    if (!track->Get(a, SampleFormatFloat, s, n) || !track->Get(b, SampleFormatFloat, end, n)) return false;
    for (int i = 0; i < n; ++i) std::swap(first[i], second[n - 1 - i]);
    if (!track->Set(a, SampleFormatFloat, s, n) || !track->Set(b, SampleFormatFloat, end, n)) return false;
    s += n;
    remaining -= 2 * n;
    // The progress window moves, but Cancel is not obeyed (see the header).
    (void)TrackProgress(mCurTrackNum, 2.0 * static_cast<double>(s - s0) / static_cast<double>(length));
  }
  return true;
}
