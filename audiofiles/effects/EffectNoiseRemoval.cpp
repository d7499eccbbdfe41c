#include "audiofiles/effects/EffectNoiseRemoval.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "audiofiles/effects/OverlapAddProcessor.h"
#include "audiofiles/effects/BinGains.h"
#include "core/model/FFT.h"
#include "core/model/WaveTrack.h"
#include "platform/seams/MessageBox.h"

EffectNoiseRemoval::EffectNoiseRemoval()
    : mProfile(new float[2048]),
      mSums(new float[2048]),
      mGains(new float[2048]),
      mCounts(new std::int32_t[2048]),
      mCopy(2048),
      mPower(2048),
      mRe(2048),
      mIm(2048),
      mOutIm(2048) {
  std::fill(mProfile, mProfile + mWindowSize, 0.0f);
  std::fill(mSums, mSums + mWindowSize, 0.0f);
  std::fill(mGains, mGains + mWindowSize, 0.0f);
  std::fill(mCounts, mCounts + mWindowSize, 0);
}

EffectNoiseRemoval::~EffectNoiseRemoval() {
  delete[] mProfile;
  delete[] mSums;
  delete[] mGains;
  delete[] mCounts;
}

std::string EffectNoiseRemoval::GetEffectAction() const {
  return mProfileMode ? effect_text::kNoiseProfileAction : effect_text::kNoiseRemovalAction;
}

bool EffectNoiseRemoval::Process() {
  const int n = mWindowSize;
  if (mProfileMode) {
    std::fill(mSums, mSums + n, 0.0f);
    std::fill(mCounts, mCounts + n, 0);
    mFramesMeasured = 0;
  } else if (!mHasProfile) {
    seams::ShowMessageBox(effect_text::kNoNoiseProfile, effect_text::kNoiseRemovalCaption,
                          seams::kMbOk | seams::kMbIconWarning);
    return false;
  }

  if (!ForEachTrackPart([this](int number, WaveTrack* track, const TrackPart& part) {
        return ProcessTrack(number, track, part.s0, part.s1 - part.s0);
      }))
    return false;

  if (mProfileMode) {
    // A profile of no frame at all would gate by nothing; keep the one there was.
    if (mFramesMeasured == 0) {
      seams::ShowMessageBox(effect_text::kNoiseProfileTooShort, effect_text::kNoiseRemovalCaption,
                            seams::kMbOk | seams::kMbIconWarning);
      return false;
    }
    for (int k = 0; k <= n / 2; ++k)
      mProfile[k] = mCounts[k] > 0 ? mSums[k] / static_cast<float>(mCounts[k])
                                   : -std::numeric_limits<float>::infinity();
    mHasProfile = true;
    mProfileMode = 0;
  }
  return true;
}

bool EffectNoiseRemoval::ProcessTrack(int trackNumber, WaveTrack* track, std::int64_t start,
                                      std::int64_t length) {
  const int n = mWindowSize;
  // The gate starts closed on every track.
  std::fill(mGains, mGains + n, 0.0f);
  OverlapAddProcessor frames(n);
  auto progress = [&](double fraction) { return TrackProgress(trackNumber, fraction); };
  if (mProfileMode) {
    std::int64_t measured = 0;
    const bool ok = frames.Measure(
        *track, start, length, [&](float* frame) { MeasureFrame(n, frame); }, progress, &measured);
    mFramesMeasured += measured;
    return ok;
  }
  return frames.Filter(
      *track, start, length, [&](float* frame) { CleanFrame(n, frame); }, progress);
}

void EffectNoiseRemoval::BinPowers(int n, const float* frame, float* p) {
  PowerSpectrum(n, frame, p);
  // The packed transform gives bin 0 the zero-frequency and the half-rate powers
  // together; take them apart from the sums of the even and the odd samples.
  double even = 0.0, odd = 0.0;
  for (int i = 0; i < n; i += 2) {
    even += frame[i];
    odd += frame[i + 1];
  }
  p[0] = static_cast<float>((even + odd) * (even + odd));
  p[n / 2] = static_cast<float>((even - odd) * (even - odd));
}

void EffectNoiseRemoval::MeasureFrame(int n, float* frame) {
  BinPowers(n, frame, mPower.data());
  for (int k = 0; k <= n / 2; ++k) {
    const float v = std::log(mPower[k]);
    if (std::isfinite(v)) {
      mSums[k] += v;
      mCounts[k] += 1;
    }
  }
}

void EffectNoiseRemoval::CleanFrame(int n, float* frame) {
  const int half = n / 2;
  FFT(n, false, frame, nullptr, mRe.data(), mIm.data());

  std::copy(frame, frame + n, mCopy.begin());
  mWindow.Apply(mCopy.data());
  BinPowers(n, mCopy.data(), mPower.data());

  const float threshold = static_cast<float>(mLevel) * 0.5f;
  for (int k = 0; k <= half; ++k) {
    const float L = std::log(mPower[k]);
    const float d = (L >= mProfile[k] + threshold) ? 1.0f : 0.0f;
    mGains[k] = (mGains[k] + d) * 0.5f;
  }
  // A bin that has just opened on its own, between four closed neighbours, is most
  // likely a noise peak: shut it.
  for (int k = 2; k <= half - 2; ++k) {
    if (mGains[k] >= 0.5f && mGains[k] <= 0.55f && mGains[k - 2] < 0.1f && mGains[k - 1] < 0.1f &&
        mGains[k + 1] < 0.1f && mGains[k + 2] < 0.1f)
      mGains[k] = 0.0f;
  }
  for (int k = 0; k <= half; ++k) {
    mRe[k] *= mGains[k];
    mIm[k] *= mGains[k];
  }
  for (int k = 1; k < half; ++k) {
    mRe[n - k] *= mGains[k];
    mIm[n - k] *= mGains[k];
  }
  FFT(n, true, mRe.data(), mIm.data(), frame, mOutIm.data());
  mWindow.Apply(frame);
}
