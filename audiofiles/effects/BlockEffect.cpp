#include "audiofiles/effects/BlockEffect.h"

#include <algorithm>
#include <vector>

#include "core/model/WaveTrack.h"

bool BlockEffect::NewTrackSimple() { return true; }

bool BlockEffect::Process() {
  return ForEachTrackPart([this](int number, WaveTrack* track, const TrackPart& part) {
    mCurTrackNum = number;
    mCurT0 = part.t0;
    mCurT1 = part.t1;
    mCurRate = track->GetRate();
    mCurChannel = track->GetChannel();
    mCurStart = part.s0;
    mCurLen = part.s1 - part.s0;
    if (part.s1 <= part.s0) return true;
    return NewTrackSimple() && ProcessTrack(track, part.s0, part.s1);
  });
}

bool BlockEffect::ProcessTrack(WaveTrack* track, std::int64_t s0, std::int64_t s1) {
  std::vector<float> buffer(static_cast<std::size_t>(track->GetMaxBlockSize()));
  std::int64_t s = s0;
  while (s < s1) {
    const std::int64_t len =
        std::min<std::int64_t>(track->GetBestBlockSize(s), std::min<std::int64_t>(s1 - s, buffer.size()));
    const int n = static_cast<int>(len);
    if (!track->Get(reinterpret_cast<SamplePtr>(buffer.data()), SampleFormatFloat, s, n)) return false;
    if (!ProcessSimpleBlock(buffer.data(), n)) return false;
    if (!track->Set(reinterpret_cast<ConstSamplePtr>(buffer.data()), SampleFormatFloat, s, n)) return false;
    s += len;
    if (TrackProgress(mCurTrackNum, static_cast<double>(s - s0) / static_cast<double>(s1 - s0))) return false;
  }
  return true;
}
