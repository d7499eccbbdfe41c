// Generates a sine, square or sawtooth tone.
#pragma once

#include <cstdint>

#include "audiofiles/effects/EffectGenerator.h"
#include "audiofiles/effects/EffectText.h"

class EffectTone : public EffectGenerator {
public:
  enum Waveform { Sine = 0, Square = 1, Sawtooth = 2 };

  std::string GetEffectName() const override { return effect_text::kToneName; }
  std::string GetEffectAction() const override { return effect_text::kToneAction; }
  // "Applied effect: Generate Tone... sine wave, frequency = 440.00 Hz, amplitude = 1.00"
  std::string GetEffectDescription() const override;

  void SetParameters(int waveform, float frequency, float amplitude, int mix) {
    mWaveform = waveform;
    mFrequency = frequency;
    mAmplitude = amplitude;
    mMix = mix;
  }

protected:
  void BeginTrack(double rate) override;
  void GenerateBlock(float* buffer, int len) override;

private:
  int mWaveform = Sine;
  float mFrequency = 440.0f;  // Hz
  float mAmplitude = 1.0f;
  int mMix = 0;  // 1: average the tone with what the buffer holds (silence here)
  double mRate = 44100.0;
  std::int64_t mSample = 0;  // running sample counter of the current track
};
