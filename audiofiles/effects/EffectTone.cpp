#include "audiofiles/effects/EffectTone.h"

#include <cmath>
#include <cstdio>
#include <numbers>

std::string EffectTone::GetEffectDescription() const {
  const char* waveform = effect_text::kToneWaveforms[(mWaveform >= 0 && mWaveform <= 2) ? mWaveform : 0];
  char text[256];
  std::snprintf(text, sizeof text, effect_text::kToneDescriptionFormat, GetEffectName().c_str(), waveform,
                static_cast<double>(mFrequency), static_cast<double>(mAmplitude));
  return text;
}

void EffectTone::BeginTrack(double rate) {
  mRate = rate;
  mSample = 0;
}

void EffectTone::GenerateBlock(float* buffer, int len) {
  const double amplitude = mAmplitude;
  const double frequency = mFrequency;
  const double rate = mRate;
  const double period = rate / frequency;  // samples per cycle
  // Whole samples per sawtooth cycle, at least one, so a frequency at or above the
  // rate (or zero) gives a defined value instead of a division by zero.
  std::int64_t wholePeriod = 1;
  if (period >= 1.0) wholePeriod = period < 9.0e18 ? static_cast<std::int64_t>(period) : INT64_MAX;

  for (int i = 0; i < len; ++i) {
    const std::int64_t k = mSample + i;
    double v;
    switch (mWaveform) {
      case Square: {
        const double cycles = static_cast<double>(k) * frequency / rate;
        v = (cycles - std::floor(cycles)) < 0.5 ? amplitude : -amplitude;
        break;
      }
      case Sawtooth:
        v = 2.0 * amplitude * (static_cast<double>(k % wholePeriod) / period - 0.5);
        break;
      default:
        v = amplitude * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(k) / rate);
        break;
    }
    buffer[i] = mMix ? static_cast<float>((buffer[i] + v) / 2.0) : static_cast<float>(v);
  }
  mSample += len;
}
