#include "audiofiles/effects/EffectChangeSpeed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "audiofiles/effects/ChannelJob.h"
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

namespace {

// One track's resampling, a block of the track per step; then the converter's tail.
class SpeedJob : public ChannelJob {
public:
  SpeedJob(const WaveTrack& track, std::int64_t start, std::int64_t end, double factor)
      : ChannelJob(track, start, end),
        mFactor(factor),
        mMaxBlock(track.GetMaxBlockSize()),
        mOutLen(static_cast<int>(mMaxBlock * factor + 10.0)),
        mIn(static_cast<std::size_t>(mMaxBlock)),
        mOut(static_cast<std::size_t>(mOutLen)),
        mResample(true, factor, factor) {}

  bool Ok() const { return mResample.Ok(); }

  bool Step() override {
    mOutput.clear();
    if (mPos < mEnd) {
      const int block = ReadPiece(mIn, mMaxBlock);
      if (block <= 0) return false;
      const bool last = (mPos + block >= mEnd);
      int used = 0;
      const int produced = mResample.Process(mFactor, mIn.data(), block, last, &used, mOut.data(), mOutLen);
      // A converter that neither takes nor gives anything has failed; going on would
      // loop for ever.
      if (produced < 0 || (produced == 0 && used == 0)) return false;
      mOutput.assign(mOut.begin(), mOut.begin() + produced);
      mPos += used;
      return true;
    }
    // The converter may still hold the end of the audio when the last piece's output
    // did not fit: collect it until it gives nothing more.
    int used = 0;
    const int produced = mResample.Process(mFactor, mIn.data(), 0, true, &used, mOut.data(), mOutLen);
    if (produced > 0)
      mOutput.assign(mOut.begin(), mOut.begin() + produced);
    else
      mDone = true;
    return true;
  }

private:
  const double mFactor;
  const int mMaxBlock;
  const int mOutLen;
  std::vector<float> mIn;
  std::vector<float> mOut;
  Resample mResample;
};

}  // namespace

bool EffectChangeSpeed::Process() {
  mCurTrackNum = 0;
  mNewLength = 0.0;
  if (!ForEachTrackPair([this](const std::vector<TrackSlot>& slots) {
        mCurTrackNum = slots.front().number;
        std::vector<std::pair<WaveTrack*, TrackPart>> tracks;
        for (const TrackSlot& slot : slots) tracks.emplace_back(slot.track, slot.part);
        return ProcessTracks(tracks);
      }))
    return false;
  mT1 = mT0 + mNewLength;
  return true;
}

bool EffectChangeSpeed::ProcessTrack(WaveTrack* track, std::int64_t start, std::int64_t end) {
  TrackPart part;
  part.s0 = start;
  part.s1 = end;
  return ProcessTracks({{track, part}});
}

bool EffectChangeSpeed::ProcessTracks(const std::vector<std::pair<WaveTrack*, TrackPart>>& tracks) {
  const double factor = 100.0 / (100.0 + mPercentChange);
  std::vector<std::unique_ptr<SpeedJob>> jobs;
  std::vector<std::unique_ptr<WaveTrack>> outs;
  std::vector<ChannelJob*> jobList;
  std::vector<WaveTrack*> outList;
  for (const auto& [track, part] : tracks) {
    jobs.push_back(std::make_unique<SpeedJob>(*track, part.s0, part.s1, factor));
    if (!jobs.back()->Ok()) return false;
    // The new audio is made at the track's own rate, so that its length in seconds
    // is the length it has once pasted.
    outs.emplace_back(mFactory->NewWaveTrack(track->GetSampleFormat(), track->GetRate()));
    jobList.push_back(jobs.back().get());
    outList.push_back(outs.back().get());
  }

  std::vector<WaveTrack*> sources;
  for (const auto& entry : tracks) sources.push_back(entry.first);
  return RunChannelJobsReplacing(
      jobList, sources, outList, mT0, mT1,
      [this](double fractionSum) { return TrackProgress(mCurTrackNum, fractionSum); }, mNewLength);
}
