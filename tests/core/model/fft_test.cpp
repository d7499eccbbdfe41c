// FFT and spectrum, tested against known sines and a direct DFT.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

#include "core/model/FFT.h"

namespace {

std::vector<std::complex<double>> DirectDft(const std::vector<float>& re, const std::vector<float>& im) {
  const size_t n = re.size();
  std::vector<std::complex<double>> out(n);
  for (size_t k = 0; k < n; ++k) {
    std::complex<double> sum = 0.0;
    for (size_t j = 0; j < n; ++j) {
      const double a = -2.0 * M_PI * double(j * k % n) / double(n);
      sum += std::complex<double>(re[j], im.empty() ? 0.0 : im[j]) *
             std::complex<double>(std::cos(a), std::sin(a));
    }
    out[k] = sum;
  }
  return out;
}

std::vector<float> Sine(int n, double cyclesPerWindow, double amplitude = 1.0, double phase = 0.0) {
  std::vector<float> s(n);
  for (int i = 0; i < n; ++i)
    s[i] = float(amplitude * std::sin(2.0 * M_PI * cyclesPerWindow * i / n + phase));
  return s;
}

}  // namespace

TEST(FFT, IsPowerOfTwo) {
  EXPECT_FALSE(IsPowerOfTwo(0));
  EXPECT_FALSE(IsPowerOfTwo(1));
  EXPECT_TRUE(IsPowerOfTwo(2));
  EXPECT_FALSE(IsPowerOfTwo(6));
  EXPECT_TRUE(IsPowerOfTwo(1024));
  EXPECT_FALSE(IsPowerOfTwo(-4));
}

TEST(FFT, NumberOfBitsNeededAndReverseBits) {
  EXPECT_EQ(NumberOfBitsNeeded(2), 1);
  EXPECT_EQ(NumberOfBitsNeeded(1024), 10);
  EXPECT_EQ(NumberOfBitsNeeded(65536), 16);
  EXPECT_EQ(NumberOfBitsNeeded(12), 2);  // lowest set bit
  EXPECT_EQ(ReverseBits(1, 3), 4);
  EXPECT_EQ(ReverseBits(6, 3), 3);
  EXPECT_EQ(ReverseBits(0b1011, 4), 0b1101);
}

TEST(FFTDeathTest, SizeBelowTwoEndsTheProgram) {
  EXPECT_EXIT(NumberOfBitsNeeded(1), ::testing::ExitedWithCode(1), "Error: FFT called with size 1\n");
}

TEST(FFTDeathTest, SizeNotPowerOfTwoEndsTheProgram) {
  std::vector<float> in(6, 0.0f), re(6), im(6);
  EXPECT_EXIT(FFT(6, false, in.data(), nullptr, re.data(), im.data()), ::testing::ExitedWithCode(1),
              "6 is not a power of two\n");
}

TEST(FFT, SineOnABinGivesOnePeak) {
  const int n = 64;
  const auto s = Sine(n, 5.0);
  std::vector<float> re(n), im(n);
  FFT(n, false, s.data(), nullptr, re.data(), im.data());
  for (int k = 0; k < n; ++k) {
    if (k == 5) {
      // sin = (e^{ix} - e^{-ix}) / 2i: bin 5 holds -i n/2.
      EXPECT_NEAR(re[k], 0.0, 1e-4);
      EXPECT_NEAR(im[k], -n / 2.0, 1e-4);
    } else if (k == n - 5) {
      EXPECT_NEAR(re[k], 0.0, 1e-4);
      EXPECT_NEAR(im[k], n / 2.0, 1e-4);
    } else {
      EXPECT_NEAR(re[k], 0.0, 1e-4) << k;
      EXPECT_NEAR(im[k], 0.0, 1e-4) << k;
    }
  }
}

TEST(FFT, MatchesDirectDftOnMixedComplexInput) {
  for (int n : {2, 4, 8, 128, 1024}) {
    std::vector<float> ri(n), ii(n);
    for (int i = 0; i < n; ++i) {
      ri[i] = float(0.3 * std::sin(2 * M_PI * 3 * i / n) + 0.1 * std::cos(0.7 * i) + 0.05);
      ii[i] = float(0.2 * std::cos(2 * M_PI * 7 * i / n) - 0.01 * i / n);
    }
    std::vector<float> re(n), im(n);
    FFT(n, false, ri.data(), ii.data(), re.data(), im.data());
    const auto ref = DirectDft(ri, ii);
    for (int k = 0; k < n; ++k) {
      EXPECT_NEAR(re[k], ref[k].real(), 1e-3 * std::sqrt(n)) << n << " " << k;
      EXPECT_NEAR(im[k], ref[k].imag(), 1e-3 * std::sqrt(n)) << n << " " << k;
    }
  }
}

// The real-input transform and its inverse against the direct DFT, for the sizes the
// filters use and the smallest, with a signal that fills every bin.
TEST(FFT, RealTransformMatchesDirectDftAndInvertsWithinFloatTolerance) {
  for (int n : {4, 8, 256, 2048, 16384}) {
    SCOPED_TRACE(n);
    std::vector<float> x(n);
    unsigned seed = 5;
    for (int i = 0; i < n; ++i) {
      seed = seed * 1664525u + 1013904223u;
      x[i] = float(0.4 * std::sin(2 * M_PI * 3 * i / n) + 0.2 * std::cos(0.9 * i) + 0.05 +
                   0.3 * ((seed >> 8) / 16777216.0 - 0.5));
    }
    std::vector<float> re(n / 2 + 1), im(n / 2 + 1);
    RealFFT(n, x.data(), re.data(), im.data());
    // The direct DFT costs n^2 per transform: every bin of the small sizes, a spread
    // of bins and the last one of the large ones.
    const int stride = n <= 2048 ? 1 : 61;
    std::vector<int> bins;
    for (int k = 0; k < n / 2; k += stride) bins.push_back(k);
    bins.push_back(n / 2);
    const double tolerance = 2e-5 * n;
    for (int k : bins) {
      std::complex<double> want;
      for (int j = 0; j < n; ++j) {
        const double a = -2.0 * M_PI * double(std::int64_t(j) * k % n) / double(n);
        want += double(x[j]) * std::complex<double>(std::cos(a), std::sin(a));
      }
      ASSERT_NEAR(re[k], want.real(), tolerance) << k;
      ASSERT_NEAR(im[k], want.imag(), tolerance) << k;
    }
    EXPECT_EQ(im[0], 0.0f);
    EXPECT_EQ(im[n / 2], 0.0f);

    std::vector<float> back(n);
    InverseRealFFT(n, re.data(), im.data(), back.data());
    for (int i = 0; i < n; ++i) ASSERT_NEAR(back[i], x[i], 1e-5 * std::log2(n)) << i;
  }
}

TEST(FFT, InverseRestoresInput) {
  const int n = 256;
  std::vector<float> x(n);
  for (int i = 0; i < n; ++i) x[i] = float(std::sin(0.37 * i) + 0.25 * std::cos(1.3 * i));
  std::vector<float> re(n), im(n), back(n), backIm(n);
  FFT(n, false, x.data(), nullptr, re.data(), im.data());
  FFT(n, true, re.data(), im.data(), back.data(), backIm.data());
  for (int i = 0; i < n; ++i) {
    EXPECT_NEAR(back[i], x[i], 1e-5);
    EXPECT_NEAR(backIm[i], 0.0, 1e-5);
  }
}

TEST(FFT, LargeSizeBeyondTablesUsesReverseBits) {
  const int n = 1 << 17;  // beyond the 16 precomputed tables
  const auto s = Sine(n, 1000.0);
  std::vector<float> re(n), im(n);
  FFT(n, false, s.data(), nullptr, re.data(), im.data());
  EXPECT_NEAR(im[1000], -n / 2.0, n * 1e-4);
  EXPECT_NEAR(re[1000], 0.0, n * 1e-4);
  EXPECT_NEAR(std::hypot(re[1001], im[1001]), 0.0, n * 1e-4);
}

TEST(PowerSpectrum, MatchesSquaredMagnitudeOfTheTransform) {
  for (int n : {8, 16, 256, 1024}) {
    std::vector<float> x(n);
    for (int i = 0; i < n; ++i)
      x[i] = float(0.5 * std::sin(2 * M_PI * 3 * i / n) + 0.3 * std::cos(0.9 * i) + 0.1);
    std::vector<float> out(n / 2);
    PowerSpectrum(n, x.data(), out.data());
    const auto ref = DirectDft(x, {});
    for (int k = 1; k < n / 2; ++k) {
      const double p = std::norm(ref[k]);
      EXPECT_NEAR(out[k], p, 1e-3 * (1.0 + p)) << n << " " << k;
    }
    // out[0] packs DC and Nyquist: (X0 - XN)^2 + (X0 + XN)^2 with X0 = re+im
    // and XN = re-im of the half-size transform.
    const double dc = ref[0].real(), nyq = ref[n / 2].real();
    EXPECT_NEAR(out[0], dc * dc + nyq * nyq, 1e-3 * (1.0 + dc * dc + nyq * nyq));
  }
}

TEST(PowerSpectrum, KnownSinePeak) {
  const int n = 512;
  const auto s = Sine(n, 20.0, 0.5);
  std::vector<float> out(n / 2);
  PowerSpectrum(n, s.data(), out.data());
  // |X[20]| = A n / 2 = 128.
  EXPECT_NEAR(out[20], 128.0 * 128.0, 1.0);
  for (int k = 0; k < n / 2; ++k)
    if (k != 20) {
      EXPECT_LT(out[k], 1e-3) << k;
    }
}

TEST(WindowFunc, HanningOfFourPoints) {
  float d[4] = {1, 1, 1, 1};
  WindowFunc(WindowHanning, 4, d);
  EXPECT_NEAR(d[0], 0.0, 1e-6);
  EXPECT_NEAR(d[1], 0.75, 1e-6);
  EXPECT_NEAR(d[2], 0.75, 1e-6);
  EXPECT_NEAR(d[3], 0.0, 1e-6);
}

TEST(WindowFunc, BartlettHammingAndUnknown) {
  float b[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  WindowFunc(WindowBartlett, 8, b);
  const float expectB[8] = {0, 0.25f, 0.5f, 0.75f, 1, 0.75f, 0.5f, 0.25f};
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(b[i], expectB[i], 1e-6);

  float h[5] = {2, 2, 2, 2, 2};
  WindowFunc(WindowHamming, 5, h);
  EXPECT_NEAR(h[0], 2 * 0.08, 1e-6);
  EXPECT_NEAR(h[2], 2 * 1.0, 1e-6);
  EXPECT_NEAR(h[4], 2 * 0.08, 1e-6);

  float u[3] = {1, 2, 3};
  WindowFunc(0, 3, u);
  WindowFunc(7, 3, u);
  EXPECT_EQ(u[0], 1);
  EXPECT_EQ(u[1], 2);
  EXPECT_EQ(u[2], 3);
}

TEST(ComputeSpectrum, WidthBelowWindowReturnsFalseAndLeavesOutput) {
  std::vector<float> data(100, 0.5f), out(8, 42.0f);
  EXPECT_FALSE(ComputeSpectrum(data.data(), 100, 8, 8000, 256, 44100, out.data(), false));
  for (float v : out) EXPECT_EQ(v, 42.0f);
}

TEST(ComputeSpectrum, NullBuffersReturnTrue) {
  std::vector<float> out(8, 42.0f);
  EXPECT_TRUE(ComputeSpectrum(nullptr, 256, 8, 8000, 256, 44100, out.data(), false));
  std::vector<float> data(256, 0.0f);
  EXPECT_TRUE(ComputeSpectrum(data.data(), 256, 8, 8000, 256, 44100, nullptr, false));
  for (float v : out) EXPECT_EQ(v, 42.0f);
}

TEST(ComputeSpectrum, FullScaleSineOnABinGivesOneInItsRow) {
  // Window 256 at 8000 Hz: bin k is k * 31.25 Hz. With maximum frequency 4000
  // Hz all 128 bins are shown; height 128 gives one row per bin.
  const int window = 256, width = 1024, height = 128;
  const double rate = 8000.0;
  const int bin = 32;  // 1000 Hz
  std::vector<float> data(width);
  for (int i = 0; i < width; ++i) data[i] = float(std::sin(2 * M_PI * bin * i / double(window)));
  std::vector<float> out(height, -1.0f);
  ASSERT_TRUE(ComputeSpectrum(data.data(), width, height, 4000, window, rate, out.data(), false));
  EXPECT_FLOAT_EQ(out[bin], 1.0f);
  // Far from the peak the Hanning window keeps the rows well below the peak.
  EXPECT_LT(out[bin + 10], 0.5f);
  EXPECT_LT(out[bin - 10], 0.5f);
  for (float v : out) {
    EXPECT_GE(v, 0.0f);
    EXPECT_LE(v, 1.0f);
  }
}

TEST(ComputeSpectrum, QuietSineMapsToItsDecibels) {
  // Amplitude a on a bin: each window gives power (a N / 4)^2; divided by N
  // and averaged: a^2 N / 16. At N = 256 and a = 0.001: 1.6e-5, -47.96 dB.
  const int window = 256, width = 2048, height = 128;
  const int bin = 40;
  const double a = 0.001;
  std::vector<float> data(width);
  for (int i = 0; i < width; ++i) data[i] = float(a * std::sin(2 * M_PI * bin * i / double(window)));
  std::vector<float> out(height);
  ASSERT_TRUE(ComputeSpectrum(data.data(), width, height, 4000, window, 8000.0, out.data(), false));
  const double db = 10.0 * std::log10(a * a * window / 16.0);
  EXPECT_NEAR(out[bin], (db + 80.0) * 0.0125, 2e-3);
}

TEST(ComputeSpectrum, SilenceGivesZero) {
  std::vector<float> data(1024, 0.0f), out(37, -1.0f);
  ASSERT_TRUE(ComputeSpectrum(data.data(), 1024, 37, 8000, 256, 44100, out.data(), false));
  for (float v : out) EXPECT_EQ(v, 0.0f);
  std::vector<float> outA(37, -1.0f);
  ASSERT_TRUE(ComputeSpectrum(data.data(), 1024, 37, 8000, 256, 44100, outA.data(), true));
  for (float v : outA) EXPECT_EQ(v, 0.0f);
}

TEST(ComputeSpectrum, MaximumFrequencyLimitsTheBins) {
  // At 44100 Hz with window 256, 8000 Hz is (int)(8000*256/44100 + 0.5) = 46
  // bins. A sine on bin 40 (6890.6 Hz) lands in row 40 of 46 rows.
  const int window = 256, width = 1024;
  const double rate = 44100.0;
  std::vector<float> data(width);
  for (int i = 0; i < width; ++i) data[i] = float(std::sin(2 * M_PI * 40 * i / double(window)));
  std::vector<float> out(46);
  ASSERT_TRUE(ComputeSpectrum(data.data(), width, 46, 8000, window, rate, out.data(), false));
  EXPECT_FLOAT_EQ(out[40], 1.0f);
  EXPECT_LT(out[20], 0.5f);
  // Rows coarser than bins: 23 rows of two bins each; the peak's row is 20.
  std::vector<float> coarse(23);
  ASSERT_TRUE(ComputeSpectrum(data.data(), width, 23, 8000, window, rate, coarse.data(), false));
  EXPECT_GT(coarse[20], 0.9f);
  EXPECT_LT(coarse[10], 0.5f);
}

TEST(ComputeSpectrum, AutocorrelationOfAPeriodicSignalPeaksAtItsPeriod) {
  // A quiet sine (so that nothing clips) of period 32 samples; after the
  // reversal, row (m - 1 - lag) holds lag, so with height = m = 128 the period
  // shows at row 127 - 32 = 95; its multiples are pruned.
  const int window = 256, width = 2048, height = 128;
  std::vector<float> data(width);
  for (int i = 0; i < width; ++i) data[i] = float(0.01 * std::sin(2 * M_PI * i / 32.0));
  std::vector<float> out(height);
  ASSERT_TRUE(ComputeSpectrum(data.data(), width, height, 100, window, 44100, out.data(), true));
  int best = 0;
  for (int i = 1; i < height; ++i)
    if (out[i] > out[best]) best = i;
  EXPECT_EQ(best, 127 - 32);
  EXPECT_GT(out[best], 0.0f);
  EXPECT_EQ(out[127 - 64], 0.0f);  // the doubled period is pruned
  EXPECT_EQ(out[127], 0.0f);       // lag 0 is pruned
  for (float v : out) {
    EXPECT_GE(v, 0.0f);
    EXPECT_LE(v, 1.0f);
  }
}
