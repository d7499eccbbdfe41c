// Small signal checks for audio that went through the test rig, and the WAV
// reading and writing those tests need.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace audiotest {

// Interleaved samples, full scale = 1.0.
struct WavData {
  int rate = 0;
  int channels = 0;
  std::vector<float> samples;

  std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
  std::vector<float> Channel(int channel) const;
};

// Reads 8/16/24/32-bit PCM and 32/64-bit float WAV files (also the extensible
// header). A data size of 0 or past the end (a writer that never finished)
// reads up to the end of the file.
bool ReadWav(const std::string& path, WavData& wav, std::string* error = nullptr);
// Writes 16-bit PCM.
bool WriteWav(const std::string& path, const WavData& wav);

std::vector<float> MakeSine(double frequency, double rate, std::size_t frames, double amplitude = 0.5);

struct PeriodStats {
  double frequency = 0;       // rate / median period; 0 with fewer than 2 periods
  std::size_t periods = 0;    // full periods seen
  std::size_t irregular = 0;  // periods more than 2 % off the median (gaps, clicks)
};

// Periods from rising zero crossings, located between samples by linear
// interpolation; the signal must fall below -5 % of its peak between two
// crossings, so noise around zero does not count.
PeriodStats MeasurePeriods(std::span<const float> samples, double rate);
// The frequency from the median zero-crossing interval.
double FrequencyByZeroCrossings(std::span<const float> samples, double rate);

// RMS of samples[from, to) (to is clipped to the size); 0 for an empty range.
double Rms(std::span<const float> samples, std::size_t from = 0, std::size_t to = SIZE_MAX);

// The mean frequency from the rising zero crossings of samples[from, to) (to is
// clipped to the size), located between samples by linear interpolation:
// (crossings - 1) periods over the time from the first crossing to the last; 0
// with fewer than two. For clean tones; MeasurePeriods copes with noise and gaps.
double ZeroCrossingFrequency(std::span<const float> samples, double rate, std::size_t from = 0,
                             std::size_t to = SIZE_MAX);

// RMS level in dB relative to full scale (a sine of amplitude 1 is -3.01);
// -infinity for silence or no samples.
double RmsDbfs(std::span<const float> samples);

// [first, last) of the samples from the first to the last whose magnitude
// reaches threshold; {0, 0} when none does.
std::pair<std::size_t, std::size_t> FindSound(std::span<const float> samples, float threshold);

}  // namespace audiotest
