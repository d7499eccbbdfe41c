#include "audiofiles/EffectCompressor.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/seams/message_box.h"

EffectCompressor::EffectCompressor() = default;

EffectCompressor::~EffectCompressor() { delete[] mCircle; }

bool EffectCompressor::Init() {
  const bool ok = std::isfinite(mAttackTime) && mAttackTime >= 0.0 && std::isfinite(mDecayTime) &&
                  mDecayTime >= 0.0 && std::isfinite(mThresholdDB) && std::isfinite(mRatio) &&
                  mRatio > 0.0 && mFloor > 0.0 && mFloor < 1.0;
  if (!ok)
    seams::ShowMessageBox(
        "The compressor's settings are out of range: the ratio must be above 0, the attack and "
        "decay times 0 or more, and the floor between 0 and 1.",
        "Compressor", seams::kMbOk | seams::kMbIconError);
  return ok;
}

bool EffectCompressor::NewTrackSimple() {
  delete[] mCircle;
  mCircleSize = 100;
  mCircle = new double[mCircleSize];
  std::fill(mCircle, mCircle + mCircleSize, 0.0);
  mRMSSum = 0.0;
  mCirclePos = 0;

  mCompensation = (1.0 - 1.0 / mRatio) * (mThresholdDB * -0.7);
  if (mCompensation < 0.0) mCompensation = 0.0;
  mThreshold = std::pow(10.0, mThresholdDB * 0.1);
  mGain = (mNormalize & 0xFF) ? std::pow(10.0, mCompensation * 0.05) : 1.0;
  mLastLevel = 0.0;

  mAttackFactor = std::exp(-std::log(mFloor) / (mAttackTime * mCurRate + 0.5));
  mDecayFactor = std::exp(std::log(mFloor) / (mDecayTime * mCurRate + 0.5));
  return true;
}

bool EffectCompressor::ProcessSimpleBlock(float *buffer, int len) {
  std::vector<double> follower(static_cast<std::size_t>(len));
  // On a track's first block the RMS window starts primed with the block's opening.
  if (mLastLevel == 0.0) {
    const int prime = std::min(mCircleSize, len);
    for (int i = 0; i < prime; ++i) UpdateRms(buffer[i]);
  }
  for (int i = 0; i < len; ++i) FollowLevel(buffer[i], follower.data(), i);
  for (int i = 0; i < len; ++i)
    buffer[i] = static_cast<float>(CompressSample(buffer[i], follower[static_cast<std::size_t>(i)]));
  return true;
}

double EffectCompressor::UpdateRms(float x) {
  mRMSSum -= mCircle[mCirclePos];
  mCircle[mCirclePos] = static_cast<double>(x) * static_cast<double>(x);
  mRMSSum += mCircle[mCirclePos];
  // The running sum may drift a hair below zero after loud samples leave the window.
  const double rms = std::sqrt(std::max(0.0, mRMSSum / mCircleSize));
  mCirclePos = (mCirclePos + 1) % mCircleSize;
  return rms;
}

void EffectCompressor::FollowLevel(float x, double *follower, int i) {
  const double level = static_cast<float>(UpdateRms(x));
  const double riseLimit = static_cast<float>(mAttackFactor * mLastLevel);
  double fall = mDecayFactor * mLastLevel;
  if (fall < mFloor) fall = mFloor;

  if (level < fall) {
    follower[i] = fall;
  } else if (level < riseLimit) {
    follower[i] = level;
  } else {
    // The level rises faster than the attack allows: raise the values before it
    // (up to 50 back) so that the gain starts to fall ahead of the rise.
    const double inv = 1.0 / mAttackFactor;
    double t = level * inv;
    const int m = std::min(i, 50);
    bool done = false;
    for (int j = i - 1; j >= i - m + 2; --j) {
      if (t <= follower[j]) {
        follower[i] = level;
        done = true;
        break;
      }
      follower[j] = t;
      t *= inv;
    }
    if (!done) {
      if (m <= 1) {
        follower[i] = level;
      } else {
        const int j = i - m + 1;
        if (t <= follower[j]) {
          follower[i] = level;
        } else {
          // The rise cannot be met within the look-back: ramp up from there.
          double v = follower[j];
          for (int k = j + 1; k <= i; ++k) {
            v *= mAttackFactor;
            follower[k] = v;
          }
        }
      }
    }
  }
  mLastLevel = follower[i];
}

double EffectCompressor::CompressSample(float x, double e) const {
  double gain;
  if (e > mThreshold)
    gain = std::pow(mThreshold / e, 1.0 / mRatio) * mGain;
  else
    gain = mGain;
  double y = gain * x;
  if (y > 1.0) y = 1.0;
  if (y < -1.0) y = -1.0;
  return y;
}
