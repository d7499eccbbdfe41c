#pragma once
// Signal measurements for the tests of the spectral and time effects.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

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

inline double Rms(const std::vector<float>& v, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  to = std::min(to, v.size());
  if (to <= from) return 0.0;
  double sum = 0.0;
  for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(v[i]) * v[i];
  return std::sqrt(sum / static_cast<double>(to - from));
}

inline double Db(double ratio) { return 20.0 * std::log10(ratio); }

// Amplitude of the component at freq in v[from, to) (a single-bin DFT).
inline double ToneAmplitude(const std::vector<float>& v, double freq, double rate,
                            std::size_t from = 0, std::size_t to = SIZE_MAX) {
  to = std::min(to, v.size());
  double re = 0.0, im = 0.0;
  for (std::size_t i = from; i < to; ++i) {
    const double a = 2.0 * M_PI * freq * static_cast<double>(i) / rate;
    re += v[i] * std::cos(a);
    im += v[i] * std::sin(a);
  }
  return 2.0 * std::hypot(re, im) / static_cast<double>(to - from);
}

// Frequency from the rising zero crossings of v[from, to), located between samples
// by linear interpolation: (crossings - 1) periods over the time between the first
// and the last crossing.
inline double ZeroCrossingFrequency(const std::vector<float>& v, double rate, std::size_t from = 0,
                                    std::size_t to = SIZE_MAX) {
  to = std::min(to, v.size());
  double first = -1.0, last = -1.0;
  int count = 0;
  for (std::size_t i = from + 1; i < to; ++i) {
    if (v[i - 1] < 0.0f && v[i] >= 0.0f) {
      const double t = static_cast<double>(i - 1) + v[i - 1] / (v[i - 1] - v[i]);
      if (count == 0) first = t;
      last = t;
      ++count;
    }
  }
  if (count < 2) return 0.0;
  return rate * (count - 1) / (last - first);
}

}  // namespace dsptest
