#include "audiofiles/effects/EffectFFTFilter.h"

#include <algorithm>

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

bool EffectFFTFilter::Process() {
  // The gains always follow the response as it stands now: a run must never filter
  // with a table left from an earlier response (or with none at all).
  ComputeGains();
  return ForEachTrackPart([this](int number, WaveTrack* track, const TrackPart& part) {
    return ProcessTrack(number, track, part.s0, part.s1 - part.s0);
  });
}

bool EffectFFTFilter::ProcessTrack(int trackNumber, WaveTrack* track, std::int64_t start,
                                   std::int64_t length) {
  const int n = mWindowSize;
  OverlapAddProcessor frames(n);
  return frames.Filter(
      *track, start, length, [&](float* frame) { FilterFrame(n, frame); },
      [&](double fraction) { return TrackProgress(trackNumber, fraction); });
}

void EffectFFTFilter::FilterFrame(int n, float* frame) {
  // The frame is real, so half a spectrum carries it all.
  RealFFT(n, frame, mRe.data(), mIm.data());
  ApplyHalfBinGains(n, mGains.data(), mRe.data(), mIm.data());
  InverseRealFFT(n, mRe.data(), mIm.data(), frame);
  mWindow.Apply(frame);
}
