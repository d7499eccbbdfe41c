#include "audiofiles/effects/EffectChangePitch.h"

#include <SoundTouch.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/model/FFT.h"
#include "core/model/WaveTrack.h"
#include "platform/seams/MessageBox.h"

std::string EffectChangePitch::GetEffectDescription() const {
  char text[64];
  std::snprintf(text, sizeof text, effect_text::kChangePitchDetailFormat, mSemitonesChange);
  return effect_text::kAppliedEffect + GetEffectName() + text;
}

bool EffectChangePitch::Init() {
  mSoundTouch.reset();
  if (!std::isfinite(mSemitonesChange) || std::fabs(mSemitonesChange) > MaxSemitones) {
    seams::ShowMessageBox(effect_text::kPitchOutOfRange, effect_text::kChangePitchCaption,
                          seams::kMbOk | seams::kMbIconError);
    return false;
  }
  return true;
}

void EffectChangePitch::SetUpSoundTouch(soundtouch::SoundTouch& st) const {
  st.setPitchSemiTones(static_cast<float>(mSemitonesChange));
}

bool EffectChangePitch::Process() {
  MakeSoundTouch();
  const bool ok = SoundTouchEffect::Process();
  DeleteSoundTouch();
  if (!ok) return false;
  mT1 = mT0 + mNewLength;
  return true;
}

bool EffectChangePitch::AnalysePitch() {
  const std::vector<WaveTrack*> tracks = GetSelectedWaveTracks();
  if (tracks.empty()) return false;
  WaveTrack* track = tracks.front();

  constexpr int kSamples = 8192;
  constexpr int kPiece = 1024;
  constexpr int kRows = 512;
  const std::int64_t position = track->TimeToSamples(std::max(track->GetStartTime(), mT0));
  const double rate = track->GetRate();
  std::vector<float> samples(kSamples);
  track->Get(reinterpret_cast<SamplePtr>(samples.data()), SampleFormatFloat, position, kSamples);

  std::vector<float> sum(kRows, 0.0f), out(kRows);
  for (int p = 0; p < kSamples / kPiece; ++p) {
    ComputeSpectrum(samples.data() + p * kPiece, kPiece, kRows, static_cast<int>(rate), kPiece, rate,
                    out.data(), true);
    for (int k = 0; k < kRows; ++k) sum[k] += out[k];
  }
  int best = 0;
  for (int k = 1; k < kRows; ++k)
    if (sum[k] > sum[best]) best = k;

  // The rows run in reversed lag order: row 511 - L holds lag L. Lag 0 names no
  // pitch (and would divide by zero).
  if (best >= kRows - 1) return false;
  mFromFrequency = static_cast<float>(rate / (kRows - 1 - best));
  mToFrequency = static_cast<float>((mPercentChange + 100.0) * mFromFrequency * 0.01);
  mDirection = mToFrequency < mFromFrequency ? 1 : 0;
  return mDirection != 0;
}
