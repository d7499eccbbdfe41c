#include "audiofiles/effects/EffectCompressor.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "audiofiles/effects/EffectText.h"
#include "platform/seams/MessageBox.h"

EffectCompressor::EffectCompressor() = default;

EffectCompressor::~EffectCompressor() { delete[] mLevel.circle; }

bool EffectCompressor::Init() {
  const bool ok = std::isfinite(mAttackTime) && mAttackTime >= 0.0 && std::isfinite(mDecayTime) &&
                  mDecayTime >= 0.0 && std::isfinite(mThresholdDB) && std::isfinite(mRatio) && mRatio > 0.0 &&
                  mFloor > 0.0 && mFloor < 1.0;
  if (!ok)
    seams::ShowMessageBox(effect_text::kCompressorOutOfRange, effect_text::kCompressorCaption,
                          seams::kMbOk | seams::kMbIconError);
  return ok;
}

bool EffectCompressor::NewTrackSimple() {
  delete[] mLevel.circle;
  mLevel.size = 100;
  mLevel.circle = new double[mLevel.size];
  std::fill(mLevel.circle, mLevel.circle + mLevel.size, 0.0);
  mLevel.sum = 0.0;
  mLevel.pos = 0;

  mCompensation = (1.0 - 1.0 / mRatio) * (mThresholdDB * -0.7);
  if (mCompensation < 0.0) mCompensation = 0.0;
  mThreshold = std::pow(10.0, mThresholdDB * 0.1);
  mGain = (mNormalize & 0xFF) ? std::pow(10.0, mCompensation * 0.05) : 1.0;
  mLevel.last = 0.0;

  mLevel.floor = mFloor;
  mLevel.attack = std::exp(-std::log(mFloor) / (mAttackTime * mCurRate + 0.5));
  mLevel.decay = std::exp(std::log(mFloor) / (mDecayTime * mCurRate + 0.5));
  return true;
}

inline double EffectCompressor::StepRms(LevelState& s, float x) {
  s.sum -= s.circle[s.pos];
  s.circle[s.pos] = static_cast<double>(x) * static_cast<double>(x);
  s.sum += s.circle[s.pos];
  // The running sum may drift a hair below zero after loud samples leave the window.
  const double mean = s.sum / s.size;
  const double rms = mean > 0.0 ? std::sqrt(mean) : 0.0;
  if (++s.pos == s.size) s.pos = 0;
  return rms;
}

inline void EffectCompressor::StepFollow(LevelState& s, double level, double* follower, int i) {
  const double riseLimit = static_cast<float>(s.attack * s.last);
  double fall = s.decay * s.last;
  if (fall < s.floor) fall = s.floor;

  if (level < fall) {
    follower[i] = fall;
  } else if (level < riseLimit) {
    follower[i] = level;
  } else {
    // The level rises faster than the attack allows: raise the values before it
    // (up to 50 back) so that the gain starts to fall ahead of the rise.
    const double inv = 1.0 / s.attack;
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
            v *= s.attack;
            follower[k] = v;
          }
        }
      }
    }
  }
  s.last = follower[i];
}

double EffectCompressor::CompressSample(float x, double e) const {
  double gain = mGain;
  if (e > mThreshold) {
    // The common ratios take their exact shortcuts; any other goes through powf,
    // whose precision is that of the float sample it scales (and it is several
    // times faster than the double power in this, the effect's inner loop).
    const double q = mThreshold / e;
    if (mRatio == 1.0)
      gain *= q;
    else if (mRatio == 2.0)
      gain *= std::sqrt(q);
    else
      gain *= std::pow(static_cast<float>(q), static_cast<float>(1.0 / mRatio));
  }
  double y = gain * x;
  if (y > 1.0) y = 1.0;
  if (y < -1.0) y = -1.0;
  return y;
}

bool EffectCompressor::ProcessSimpleBlock(float* buffer, int len) {
  std::vector<double> follower(static_cast<std::size_t>(len));
  LevelState s = mLevel;
  // On a track's first block the RMS window starts primed with the block's opening.
  if (s.last == 0.0) {
    const int prime = std::min(s.size, len);
    for (int i = 0; i < prime; ++i) StepRms(s, buffer[i]);
  }
  // The window's levels depend only on the samples, so they are all measured first
  // (their square roots then overlap instead of waiting for each follower step);
  // the follower then turns each level, in place, into its smoothed value.
  double* f = follower.data();
  for (int i = 0; i < len; ++i) f[i] = static_cast<float>(StepRms(s, buffer[i]));
  for (int i = 0; i < len; ++i) StepFollow(s, f[i], f, i);
  mLevel = s;
  for (int i = 0; i < len; ++i) buffer[i] = static_cast<float>(CompressSample(buffer[i], f[i]));
  return true;
}

double EffectCompressor::UpdateRms(float x) {
  LevelState s = mLevel;
  const double rms = StepRms(s, x);
  mLevel = s;
  return rms;
}

void EffectCompressor::FollowLevel(float x, double* follower, int i) {
  LevelState s = mLevel;
  StepFollow(s, static_cast<float>(StepRms(s, x)), follower, i);
  mLevel = s;
}
