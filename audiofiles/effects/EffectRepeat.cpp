#include "audiofiles/effects/EffectRepeat.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"
#include "platform/seams/MessageBox.h"

std::string EffectRepeat::GetEffectDescription() const { return effect_text::Repeated(mRepeatCount); }

bool EffectRepeat::PromptUser() {
  if (mRepeatCount < 0) {
    seams::ShowMessageBox(effect_text::kRepeatNegative, effect_text::kRepeatCaption,
                          seams::kMbOk | seams::kMbIconError);
    return false;
  }
  std::int64_t limit = -1;
  bool empty = false;
  for (WaveTrack* track : GetSelectedWaveTracks()) {
    const double rate = track->GetRate();
    const std::int64_t trackSamples =
        static_cast<std::int64_t>((track->GetEndTime() - track->GetStartTime()) * rate);
    const std::int64_t selectionSamples = static_cast<std::int64_t>(rate * (mT1 - mT0));
    if (selectionSamples <= 0) {
      empty = true;
      continue;
    }
    const std::int64_t room = (2147483647 - trackSamples) / selectionSamples;
    if (limit < 0 || room < limit) limit = room;
  }
  if (empty && limit < 0) {
    seams::ShowMessageBox(effect_text::kRepeatNothingSelected, effect_text::kRepeatCaption,
                          seams::kMbOk | seams::kMbIconWarning);
    return false;
  }
  // The repetitions must fit below the largest track there can be; more would fail
  // half-way through.
  if (limit <= 1 || mRepeatCount > limit) {
    seams::ShowMessageBox(effect_text::kRepeatTooLong);
    return false;
  }
  return true;
}

bool EffectRepeat::Process() {
  double newLength = 0.0;
  for (WaveTrack* track : GetSelectedWaveTracks()) {
    const double t0 = std::max(mT0, track->GetStartTime());
    const double t1 = std::min(mT1, track->GetEndTime());
    if (!(t1 > t0)) continue;
    const std::int64_t s0 = track->TimeToSamples(t0);
    const std::int64_t len = track->TimeToSamples(t1) - s0;
    if (len <= 0) continue;

    const SampleFormat format = track->GetSampleFormat();
    std::unique_ptr<WaveTrack> pattern(mFactory->NewWaveTrack(format, track->GetRate()));
    std::unique_ptr<WaveTrack> result(mFactory->NewWaveTrack(format, track->GetRate()));
    const std::int64_t M = pattern->GetMaxBlockSize();
    struct SamplesDeleter {
      void operator()(char* p) const { DeleteSamples(p); }
    };
    std::unique_ptr<char, SamplesDeleter> buffer(NewSamples(static_cast<std::uint32_t>(M), format));

    // A short selection is first copied enough times to fill about half a block, so
    // that the pasted pattern is made of few, well-filled blocks.
    std::int64_t copies = 1;
    while (copies * len < M / 2) ++copies;
    std::int64_t piece = len;
    if (len > M) {
      std::int64_t d = 2;
      while (len / d >= M) ++d;
      piece = (len + d - 1) / d;
    }

    const std::int64_t total = copies * len;
    for (std::int64_t pos = 0; pos < total;) {
      const std::int32_t n = static_cast<std::int32_t>(std::min(piece, total - pos));
      if (!track->Get(buffer.get(), format, s0 + pos % len, n)) return false;
      if (!pattern->Append(buffer.get(), format, n)) return false;
      if (copies == 1 && !pattern->Flush()) return false;
      pos += n;
    }
    if (copies > 1 && !pattern->Flush()) return false;

    const std::int64_t need = static_cast<std::int64_t>(mRepeatCount) + 1;
    const std::int64_t pastes = (need + copies - 1) / copies;
    for (std::int64_t i = 0; i < pastes; ++i)
      if (!result->Paste(result->GetEndTime(), pattern.get())) return false;

    double resultLength = result->GetEndTime();
    if (pastes * copies > need) {
      const double unit = pattern->GetEndTime() / static_cast<double>(copies);
      const double cut = static_cast<double>(pastes * copies - need) * unit;
      if (!result->Clear(resultLength - cut, resultLength)) return false;
      resultLength -= cut;
    }
    newLength = std::max(newLength, resultLength);

    if (!track->Clear(t0, t1)) return false;
    if (!track->Paste(t0, result.get())) return false;
  }
  mT1 = mT0 + newLength;
  return true;
}
