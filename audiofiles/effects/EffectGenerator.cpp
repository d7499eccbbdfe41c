#include "audiofiles/effects/EffectGenerator.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"

bool EffectGenerator::Process() {
  double length = mT1 - mT0;
  if (length <= 0.0) length = 30.0;
  if (!mFactory) return false;

  for (WaveTrack* track : GetSelectedWaveTracks()) {
    const double rate = track->GetRate();
    std::unique_ptr<WaveTrack> made(mFactory->NewWaveTrack(track->GetSampleFormat(), rate));
    if (!made) return false;
    BeginTrack(rate);

    const std::int64_t total = static_cast<std::int64_t>(std::floor(rate * length + 0.5));
    std::vector<float> buffer(static_cast<std::size_t>(made->GetMaxBlockSize()));
    std::int64_t done = 0;
    while (done < total) {
      const int n = static_cast<int>(
          std::min<std::int64_t>(std::min<std::int64_t>(made->GetBestBlockSize(done), total - done),
                                 static_cast<std::int64_t>(buffer.size())));
      std::fill(buffer.begin(), buffer.begin() + n, 0.0f);
      GenerateBlock(buffer.data(), n);
      if (!made->Append(reinterpret_cast<ConstSamplePtr>(buffer.data()), SampleFormatFloat, n)) return false;
      done += n;
    }
    if (!made->Flush()) return false;
    if (!track->Paste(mT0, made.get())) return false;
  }
  return true;
}
