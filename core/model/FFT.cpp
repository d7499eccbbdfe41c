#include "core/model/FFT.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/seams/Diagnostics.h"

namespace {

constexpr int kMaxFastBits = 16;

// The 16 bit-reverse tables: table b (1..16) maps each index 0 .. 2^b - 1 to
// that index with its lowest b bits reversed. Built on the first FFT (a
// function-local static, so building is safe from any thread) and kept.
struct BitReverseTables {
  std::vector<int> table[kMaxFastBits + 1];
  BitReverseTables() {
    for (int b = 1; b <= kMaxFastBits; ++b) {
      const int len = 1 << b;
      table[b].resize(len);
      for (int i = 0; i < len; ++i) table[b][i] = ReverseBits(i, b);
    }
  }
};

const BitReverseTables& Tables() {
  static const BitReverseTables tables;
  return tables;
}

}  // namespace

bool IsPowerOfTwo(int n) {
  if (n < 2) return false;
  return (n & (n - 1)) == 0;
}

int NumberOfBitsNeeded(int n) {
  if (n < 2) {
    seams::DiagnosticF(seams::DiagnosticStream::kStandardError, "Error: FFT called with size %d\n", n);
    std::exit(1);
  }
  for (int i = 0;; ++i)
    if (n & (1 << i)) return i;
}

int ReverseBits(int index, int bits) {
  int rev = 0;
  for (int i = 0; i < bits; ++i) {
    rev = (rev << 1) | (index & 1);
    index >>= 1;
  }
  return rev;
}

void FFT(int n, bool inverse, const float* realIn, const float* imagIn, float* realOut, float* imagOut) {
  if (!IsPowerOfTwo(n)) {
    seams::DiagnosticF(seams::DiagnosticStream::kStandardError, "%d is not a power of two\n", n);
    std::exit(1);
  }
  const int bits = NumberOfBitsNeeded(n);

  if (bits <= kMaxFastBits) {
    const int* table = Tables().table[bits].data();
    for (int i = 0; i < n; ++i) {
      const int j = table[i];
      realOut[j] = realIn[i];
      imagOut[j] = imagIn ? imagIn[i] : 0.0f;
    }
  } else {
    for (int i = 0; i < n; ++i) {
      const int j = ReverseBits(i, bits);
      realOut[j] = realIn[i];
      imagOut[j] = imagIn ? imagIn[i] : 0.0f;
    }
  }

  const double angleNumerator = inverse ? -2.0 * M_PI : 2.0 * M_PI;
  int blockEnd = 1;
  for (int blockSize = 2; blockSize <= n; blockSize <<= 1) {
    const double delta = angleNumerator / static_cast<double>(blockSize);
    const double sm2 = std::sin(-2.0 * delta);
    const double sm1 = std::sin(-delta);
    const double cm2 = std::cos(-2.0 * delta);
    const double cm1 = std::cos(-delta);
    const double w = 2.0 * cm1;

    // The rotation runs w_k = e^(-i delta k) (forward), seeded with the two
    // values before k = 0: w_-2 = (cos -2d, -sin -2d), w_-1 = (cos -d, -sin -d).
    // (Seeding the imaginary parts with sin -d and sin -2d themselves would
    // give the e^(+...) transform.)
    for (int i = 0; i < n; i += blockSize) {
      double ar2 = cm2, ar1 = cm1, ai2 = -sm2, ai1 = -sm1;
      for (int j = i, k = 0; k < blockEnd; ++j, ++k) {
        const double ar0 = w * ar1 - ar2;
        ar2 = ar1;
        ar1 = ar0;
        const double ai0 = w * ai1 - ai2;
        ai2 = ai1;
        ai1 = ai0;

        const int m = j + blockEnd;
        const double tr = ar0 * realOut[m] - ai0 * imagOut[m];
        const double ti = ar0 * imagOut[m] + ai0 * realOut[m];
        realOut[m] = static_cast<float>(realOut[j] - tr);
        imagOut[m] = static_cast<float>(imagOut[j] - ti);
        realOut[j] = static_cast<float>(realOut[j] + tr);
        imagOut[j] = static_cast<float>(imagOut[j] + ti);
      }
    }
    blockEnd = blockSize;
  }

  if (inverse) {
    const float denom = static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
      realOut[i] /= denom;
      imagOut[i] /= denom;
    }
  }
}

void PowerSpectrum(int n, const float* in, float* out) {
  const int half = n / 2;
  const int quarter = n / 4;

  std::vector<float> tmpReal(half), tmpImag(half), re(half), im(half);
  for (int i = 0; i < half; ++i) {
    tmpReal[i] = in[2 * i];
    tmpImag[i] = in[2 * i + 1];
  }
  FFT(half, false, tmpReal.data(), tmpImag.data(), re.data(), im.data());

  const double theta = M_PI / half;
  const double wtemp = std::sin(0.5 * theta);
  const double wpr = -2.0 * wtemp * wtemp;
  const double wpi = std::sin(theta);
  double wr = 1.0 + wpr;
  double wi = wpi;

  // The untangling steps below are written for a transform running e^(+...);
  // ours runs e^(-...), which puts that transform's bin k at bin h - k. So
  // bins i and j = h - i are read the other way round (bins 0 and q are their
  // own mirrors).
  for (int i = 1; i < quarter; ++i) {
    const int j = half - i;
    const double rei = re[j], imi = im[j], rej = re[i], imj = im[i];
    const double h1r = 0.5 * (rei + rej);
    const double h1i = 0.5 * (imi - imj);
    const double h2r = 0.5 * (imi + imj);
    const double h2i = -0.5 * (rei - rej);

    const double rt = h1r + wr * h2r - wi * h2i;
    const double it = h1i + wr * h2i + wi * h2r;
    out[i] = static_cast<float>(rt * rt + it * it);

    const double rt2 = h1r - wr * h2r + wi * h2i;
    const double it2 = -h1i + wr * h2i + wi * h2r;
    out[j] = static_cast<float>(rt2 * rt2 + it2 * it2);

    const double t = wr;
    wr = wr * wpr - wi * wpi + wr;
    wi = wi * wpr + t * wpi + wi;
  }

  const double rt = re[0] - im[0];
  const double it = re[0] + im[0];
  out[0] = static_cast<float>(rt * rt + it * it);
  out[quarter] = re[quarter] * re[quarter] + im[quarter] * im[quarter];
}

void WindowFunc(int kind, int n, float* data) {
  switch (kind) {
    case WindowBartlett: {
      const int h = n / 2;
      for (int i = 0; i < h; ++i) {
        data[i] *= static_cast<float>(i) / static_cast<float>(h);
        data[i + h] *= 1.0f - static_cast<float>(i) / static_cast<float>(h);
      }
      break;
    }
    case WindowHamming:
      for (int i = 0; i < n; ++i)
        data[i] *= static_cast<float>(0.54 - 0.46 * std::cos(2.0 * M_PI * i / (n - 1)));
      break;
    case WindowHanning:
      for (int i = 0; i < n; ++i)
        data[i] *= static_cast<float>(0.50 - 0.50 * std::cos(2.0 * M_PI * i / (n - 1)));
      break;
    default:
      break;
  }
}

bool ComputeSpectrum(const float* data, int width, int height, int maxFreq, int windowSize, double rate,
                     float* output, bool autocorrelation) {
  if (width < windowSize) return false;
  if (!data || !output) return true;

  const int half = windowSize / 2;
  std::vector<float> processed(windowSize, 0.0f);
  std::vector<float> in(windowSize), out(windowSize), out2(windowSize);

  int windows = 0;
  for (int start = 0; start + windowSize <= width; start += half) {
    for (int i = 0; i < windowSize; ++i) in[i] = data[start + i];
    WindowFunc(WindowHanning, windowSize, in.data());

    if (autocorrelation) {
      FFT(windowSize, false, in.data(), nullptr, out.data(), out2.data());
      for (int i = 0; i < windowSize; ++i) in[i] = out[i] * out[i] + out2[i] * out2[i];
      // Tolonen and Karjalainen: the cube root of the power, not the square root.
      for (int i = 0; i < windowSize; ++i) in[i] = std::pow(in[i], 1.0f / 3.0f);
      FFT(windowSize, false, in.data(), nullptr, out.data(), out2.data());
    } else {
      PowerSpectrum(windowSize, in.data(), out.data());
    }
    for (int i = 0; i < half; ++i) processed[i] += out[i];
    ++windows;
  }

  int m = static_cast<int>(maxFreq * windowSize / rate + 0.5);
  if (m > half) m = half;

  if (autocorrelation) {
    m = half;
    // Peak pruning (Tolonen and Karjalainen, 2000): clip at zero, subtract
    // the time-doubled copy, clip again.
    for (int i = 0; i < half; ++i)
      if (processed[i] < 0.0f) processed[i] = 0.0f;
    std::vector<float> c(processed.begin(), processed.begin() + half + 1);
    for (int i = 0; i < half; ++i) {
      if (i % 2 == 0)
        processed[i] -= c[i / 2];
      else
        processed[i] -= (c[i / 2] + c[i / 2 + 1]) / 2.0f;
      if (processed[i] < 0.0f) processed[i] = 0.0f;
    }
    const float scale = static_cast<float>(windowSize / 4);
    std::vector<float> scaled(m);
    for (int i = 0; i < m; ++i) scaled[i] = processed[i] / scale;
    for (int i = 0; i < m; ++i) processed[m - 1 - i] = scaled[i];
  } else {
    for (int i = 0; i < m; ++i)
      processed[i] = static_cast<float>(10.0 * std::log10(processed[i] / windowSize / windows));
  }

  // Into `height` rows by area-weighted means of the m values. A piece whose
  // weight is zero is left out, so a -inf dB bin (silence) never turns into
  // 0 * -inf = NaN, and no bin at or past m is read.
  for (int y = 0; y < height; ++y) {
    float b0 = static_cast<float>(y) * m / height;
    const float b1 = static_cast<float>(y + 1) * m / height;
    const float binWidth = b1 - b0;
    float value = 0.0f;

    if (m <= 0) {
      value = autocorrelation ? 0.0f : -1e30f;
    } else if (static_cast<int>(b1) == static_cast<int>(b0)) {
      value = processed[std::min(static_cast<int>(b0), m - 1)];
    } else {
      const float w0 = static_cast<int>(b0) + 1 - b0;
      if (w0 > 0.0f) value += processed[static_cast<int>(b0)] * w0;
      int bin = static_cast<int>(b0) + 1;
      while (bin < static_cast<int>(b1)) {
        value += processed[bin];
        ++bin;
      }
      const float w1 = b1 - static_cast<int>(b1);
      if (w1 > 0.0f && static_cast<int>(b1) < m) value += processed[static_cast<int>(b1)] * w1;
      value /= binWidth;
    }

    if (!autocorrelation) value = (value + 80.0f) * 0.0125f;
    if (value > 1.0f) value = 1.0f;
    if (!(value >= 0.0f)) value = 0.0f;  // also NaN
    output[y] = value;
  }
  return true;
}
