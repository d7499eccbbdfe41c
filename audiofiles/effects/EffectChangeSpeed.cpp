#include "audiofiles/effects/EffectChangeSpeed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/model/Resample.h"
#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"
#include "platform/seams/MessageBox.h"

std::string EffectChangeSpeed::GetEffectDescription() const {
  char text[64];
  std::snprintf(text, sizeof text, effect_text::kPercentDetailFormat, mPercentChange);
  return effect_text::kAppliedEffect + GetEffectName() + text;
}

bool EffectChangeSpeed::Init() {
  const double factor = 100.0 / (100.0 + mPercentChange);
  if (!std::isfinite(mPercentChange) || !(factor >= 1.0 / 12.0) || !(factor <= 12.0)) {
    seams::ShowMessageBox(effect_text::kSpeedOutOfRange, effect_text::kChangeSpeedCaption,
                          seams::kMbOk | seams::kMbIconError);
    return false;
  }
  return true;
}

bool EffectChangeSpeed::Process() {
  mCurTrackNum = 0;
  mNewLength = 0.0;
  if (!ForEachTrackPart([this](int number, WaveTrack* track, const TrackPart& part) {
        mCurTrackNum = number;
        return ProcessTrack(track, part.s0, part.s1);
      }))
    return false;
  mT1 = mT0 + mNewLength;
  return true;
}

bool EffectChangeSpeed::ProcessTrack(WaveTrack* track, std::int64_t start, std::int64_t end) {
  // The new audio is made at the track's own rate, so that its length in seconds
  // is the length it has once pasted.
  std::unique_ptr<WaveTrack> out(mFactory->NewWaveTrack(track->GetSampleFormat(), track->GetRate()));
  const double length = static_cast<double>(end - start);
  const int maxBlock = track->GetMaxBlockSize();
  const double factor = 100.0 / (100.0 + mPercentChange);
  const int outLen = static_cast<int>(maxBlock * factor + 10.0);
  std::vector<float> in(static_cast<std::size_t>(maxBlock));
  std::vector<float> outBuf(static_cast<std::size_t>(outLen));

  Resample resample(true, factor, factor);
  if (!resample.Ok()) return false;

  auto append = [&](int produced) {
    return produced <= 0 ||
           out->Append(reinterpret_cast<ConstSamplePtr>(outBuf.data()), SampleFormatFloat, produced);
  };

  std::int64_t s = start;
  while (s < end) {
    const int block = static_cast<int>(
        std::min<std::int64_t>(std::min<std::int64_t>(track->GetBestBlockSize(s), end - s), maxBlock));
    if (!track->Get(reinterpret_cast<SamplePtr>(in.data()), SampleFormatFloat, s, block)) return false;
    const bool last = (s + block >= end);
    int used = 0;
    const int produced = resample.Process(factor, in.data(), block, last, &used, outBuf.data(), outLen);
    // A converter that neither takes nor gives anything has failed; going on would
    // loop for ever.
    if (produced < 0 || (produced == 0 && used == 0)) return false;
    if (!append(produced)) return false;
    s += used;
    if (TrackProgress(mCurTrackNum, static_cast<double>(s - start) / length)) return false;
  }
  // The converter may still hold the end of the audio when the last piece's output
  // did not fit: collect it.
  for (;;) {
    int used = 0;
    const int produced = resample.Process(factor, in.data(), 0, true, &used, outBuf.data(), outLen);
    if (produced <= 0) break;
    if (!append(produced)) return false;
  }
  if (!out->Flush()) return false;

  if (!track->Clear(mT0, mT1)) return false;
  if (!track->Paste(mT0, out.get())) return false;
  mNewLength = std::max(mNewLength, out->GetEndTime());
  return true;
}
