#include "audiofiles/effects/BinGains.h"

#include <algorithm>
#include <cmath>

#include "core/model/Envelope.h"

HanningWindow::HanningWindow(int n) : mW(static_cast<std::size_t>(n)) {
  for (int i = 0; i < n; ++i)
    mW[static_cast<std::size_t>(i)] = static_cast<float>(0.50 - 0.50 * std::cos(2.0 * M_PI * i / (n - 1)));
}

namespace {

// The per-frame loops of the spectral effects, built also for processors with AVX2.
__attribute__((target_clones("avx2", "default"))) void Multiply(float* __restrict data,
                                                                const float* __restrict by, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) data[i] *= by[i];
}

}  // namespace

void HanningWindow::Apply(float* data) const { Multiply(data, mW.data(), mW.size()); }

void ApplyBinGains(int n, const float* gains, float* re, float* im) {
  const int half = n / 2;
  for (int k = 0; k <= half; ++k) {
    re[k] *= gains[k];
    im[k] *= gains[k];
    if (k != 0 && k != half) {
      re[n - k] *= gains[k];
      im[n - k] *= gains[k];
    }
  }
}

void ApplyHalfBinGains(int n, const float* gains, float* re, float* im) {
  const std::size_t bins = static_cast<std::size_t>(n / 2 + 1);
  Multiply(re, gains, bins);
  Multiply(im, gains, bins);
}

bool GainsFromCurve(double rate, int n, std::vector<std::pair<double, double>> points,
                    std::vector<float>* gains) {
  if (!(rate > 0.0) || !std::isfinite(rate) || n < 2) return false;
  for (const auto& p : points)
    if (!std::isfinite(p.first) || !std::isfinite(p.second) || !(p.first > 0.0)) return false;
  std::sort(points.begin(), points.end());

  const int half = n / 2;
  gains->assign(static_cast<std::size_t>(half + 1), 1.0f);
  if (points.empty()) return true;
  std::size_t seg = 0;
  for (int k = 0; k <= half; ++k) {
    const double f = k * rate / n;
    double dB;
    if (f <= points.front().first) {
      dB = points.front().second;
    } else if (f >= points.back().first) {
      dB = points.back().second;
    } else {
      while (points[seg + 1].first < f) ++seg;
      const double x0 = std::log(points[seg].first), x1 = std::log(points[seg + 1].first);
      const double w = x1 > x0 ? (std::log(f) - x0) / (x1 - x0) : 1.0;
      dB = points[seg].second + w * (points[seg + 1].second - points[seg].second);
    }
    (*gains)[static_cast<std::size_t>(k)] = static_cast<float>(std::pow(10.0, dB / 20.0));
  }
  return true;
}

void GainsFromResponse(const Envelope& response, int n, float* gains) {
  const int half = n / 2;
  for (int i = 0; i <= half; ++i) {
    const double v = response.GetValue(static_cast<double>(i) / static_cast<double>(half));
    gains[i] = static_cast<float>(std::pow(4.0, 2.0 * v - 1.0));
  }
}
