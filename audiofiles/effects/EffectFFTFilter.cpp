#include "audiofiles/effects/EffectFFTFilter.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "audiofiles/effects/OverlapAddProcessor.h"
#include "audiofiles/effects/BinGains.h"
#include "core/model/Envelope.h"
#include "core/model/FFT.h"
#include "core/model/WaveTrack.h"

EffectFFTFilter::EffectFFTFilter()
    : mResponse(std::make_unique<Envelope>()), mGains(256), mRe(256), mIm(256) {
  mResponse->SetInterpolateDB(false);
  mResponse->Flatten(0.5);
  mResponse->SetTrackLen(1.0);
  mResponse->SetFirstFlag(false);
  ComputeGains();
}

EffectFFTFilter::~EffectFFTFilter() = default;

void EffectFFTFilter::ComputeGains() { GainsFromResponse(*mResponse, mWindowSize, mGains.data()); }

void EffectFFTFilter::Preview() {
  ComputeGains();
  Effect::Preview();
}

namespace {

// Filters one frame of n floats in place: half spectrum, gains, back, window.
void FilterWith(int n, const float* gains, const HanningWindow& window, std::vector<float>& re,
                std::vector<float>& im, float* frame) {
  // The frame is real, so half a spectrum carries it all.
  RealFFT(n, frame, re.data(), im.data());
  ApplyHalfBinGains(n, gains, re.data(), im.data());
  InverseRealFFT(n, re.data(), im.data(), frame);
  window.Apply(frame);
}

}  // namespace

bool EffectFFTFilter::Process() {
  // The gains always follow the response as it stands now: a run must never filter
  // with a table left from an earlier response (or with none at all).
  ComputeGains();
  return ForEachTrackPair([this](const std::vector<TrackSlot>& slots) {
    std::vector<std::pair<WaveTrack*, TrackPart>> tracks;
    for (const TrackSlot& slot : slots) tracks.emplace_back(slot.track, slot.part);
    return ProcessTracks(slots.front().number, tracks);
  });
}

bool EffectFFTFilter::ProcessTrack(int trackNumber, WaveTrack* track, std::int64_t start,
                                   std::int64_t length) {
  TrackPart part;
  part.s0 = start;
  part.s1 = start + length;
  return ProcessTracks(trackNumber, {{track, part}});
}

bool EffectFFTFilter::ProcessTracks(int firstNumber,
                                    const std::vector<std::pair<WaveTrack*, TrackPart>>& tracks) {
  const int n = mWindowSize;
  OverlapAddProcessor frames(n);
  // Each channel filters with scratch of its own, so the two of a pair can run at the
  // same time.
  std::vector<std::vector<float>> scratch(2 * tracks.size(), std::vector<float>(static_cast<std::size_t>(n)));
  std::vector<std::unique_ptr<OverlapAddJob>> jobs;
  std::vector<ChannelJob*> jobList;
  std::vector<WaveTrack*> trackList;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    const auto& [track, part] = tracks[i];
    if (part.s1 <= part.s0) continue;
    std::vector<float>& re = scratch[2 * i];
    std::vector<float>& im = scratch[2 * i + 1];
    jobs.push_back(std::make_unique<OverlapAddJob>(
        *track, part.s0, part.s1 - part.s0, n, frames.ChunkLength(*track),
        [this, n, &re, &im](float* frame) { FilterWith(n, mGains.data(), mWindow, re, im, frame); }));
    jobList.push_back(jobs.back().get());
    trackList.push_back(track);
  }
  if (jobs.empty()) return true;
  return RunInPlaceJobs(jobList, trackList,
                        [&](double fractionSum) { return TrackProgress(firstNumber, fractionSum); });
}

void EffectFFTFilter::FilterFrame(int n, float* frame) {
  FilterWith(n, mGains.data(), mWindow, mRe, mIm, frame);
}
