#include "audiofiles/BlockEffect.h"

#include <algorithm>
#include <vector>

#include "core/WaveTrack.h"

bool BlockEffect::NewTrackSimple() { return true; }

bool BlockEffect::Process() {
  mCurTrackNum = 0;
  for (WaveTrack* track : GetSelectedWaveTracks()) {
    mCurT0 = std::max(mT0, track->GetStartTime());
    mCurT1 = std::min(mT1, track->GetEndTime());
    if (mCurT1 > mCurT0) {
      const std::int64_t s0 = track->TimeToSamples(mCurT0);
      const std::int64_t s1 = track->TimeToSamples(mCurT1);
      mCurRate = track->GetRate();
      mCurChannel = track->GetChannel();
      mCurStart = s0;
      mCurLen = s1 - s0;
      if (s1 > s0) {
        if (!NewTrackSimple()) return false;
        if (!ProcessTrack(track, s0, s1)) return false;
      }
    }
    ++mCurTrackNum;
  }
  return true;
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
    if (!track->Set(reinterpret_cast<ConstSamplePtr>(buffer.data()), SampleFormatFloat, s, n))
      return false;
    s += len;
    if (TrackProgress(mCurTrackNum, static_cast<double>(s - s0) / static_cast<double>(s1 - s0)))
      return false;
  }
  return true;
}
