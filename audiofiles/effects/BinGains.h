// Tables of per-bin gains for the spectral effects, and their application to a
// spectrum.
#pragma once

#include <utility>
#include <vector>

class Envelope;

// The Hanning window of WindowFunc (3, n), computed once: multiplying by it gives
// exactly what WindowFunc gives, without a cosine per sample on every frame.
class HanningWindow {
public:
  explicit HanningWindow(int n);
  void Apply(float* data) const;

private:
  std::vector<float> mW;
};

// Multiplies bins 0 .. n/2 of an n-point spectrum (re, im) by gains[0 .. n/2]; the
// mirrored bins n-k (k = 1 .. n/2-1) take gains[k] too, so a real signal stays real.
void ApplyBinGains(int n, const float* gains, float* re, float* im);
// The same for the half spectrum of a real signal (bins 0 .. n/2 only, as RealFFT
// gives them).
void ApplyHalfBinGains(int n, const float* gains, float* re, float* im);

// gains[k] for k = 0 .. n/2 from a curve of (frequency in Hz, gain in dB) points, for
// an n-point transform at `rate` (bin k lies at k x rate / n Hz): straight lines in
// dB over the logarithm of frequency between the points (sorted by frequency here),
// flat beyond the first and the last; no points gives 1.0 everywhere. False (gains
// untouched) when a point is not finite, a frequency is not positive, or the rate is
// not positive and finite.
bool GainsFromCurve(double rate, int n, std::vector<std::pair<double, double>> points,
                    std::vector<float>* gains);

// gains[i] for i = 0 .. n/2 from a response envelope over the normalised frequency
// 0.0 .. 1.0 (1.0 = half the rate): v = response at i / (n/2), gain = 4^(2v - 1), so
// 0.5 gives 1.0, 1.0 gives 4.0 (+12 dB) and 0.0 gives 0.25 (-12 dB).
void GainsFromResponse(const Envelope& response, int n, float* gains);
