#pragma once
// Signal measurements for the tests of the spectral and time effects.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "support/native/AudioAnalysis.h"

namespace dsptest {

inline std::vector<float> Sine(double freq, double rate, std::size_t n, double amp = 0.5,
                               double phase = 0.0) {
  std::vector<float> v(n);
  for (std::size_t i = 0; i < n; ++i)
    v[i] = static_cast<float>(amp * std::sin(2.0 * M_PI * freq * static_cast<double>(i) / rate + phase));
  return v;
}

// Gaussian noise of the given RMS, reproducible.
inline std::vector<float> Noise(std::size_t n, double rms, unsigned seed = 1) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> dist(0.0, rms);
  std::vector<float> v(n);
  for (auto& x : v) x = static_cast<float>(dist(gen));
  return v;
}

// The shared measures of the audio tests.
using audiotest::Rms;
using audiotest::ZeroCrossingFrequency;

inline double Db(double ratio) { return 20.0 * std::log10(ratio); }

// Amplitude of the component at freq in v[from, to) (a single-bin DFT).
inline double ToneAmplitude(const std::vector<float>& v, double freq, double rate, std::size_t from = 0,
                            std::size_t to = SIZE_MAX) {
  to = std::min(to, v.size());
  double re = 0.0, im = 0.0;
  for (std::size_t i = from; i < to; ++i) {
    const double a = 2.0 * M_PI * freq * static_cast<double>(i) / rate;
    re += v[i] * std::cos(a);
    im += v[i] * std::sin(a);
  }
  return 2.0 * std::hypot(re, im) / static_cast<double>(to - from);
}

}  // namespace dsptest
