#include "core/model/FFT.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>
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

namespace {

// What a transform of one size needs, computed once: the bit-reverse order and, for
// each stage of half-size h, the twiddles e^(-i pi k / h) for k = 0 .. h-1 at
// index h + k (so every stage reads its twiddles in order). The real transforms of
// n points use the complex plan of n/2 points and the n-point twiddles of the last
// stage of the n-point plan.
struct Plan {
  int n = 0;
  int bits = 0;
  std::vector<int> reverse;
  std::vector<float> cosine;  // index h + k: cos(pi k / h)
  std::vector<float> sine;    // index h + k: sin(pi k / h)

  explicit Plan(int size) : n(size), bits(NumberOfBitsNeeded(size)), reverse(size), cosine(size), sine(size) {
    const int* table = bits <= kMaxFastBits ? Tables().table[bits].data() : nullptr;
    for (int i = 0; i < n; ++i) reverse[i] = table ? table[i] : ReverseBits(i, bits);
    for (int h = 1; h < n; h <<= 1)
      for (int k = 0; k < h; ++k) {
        const double a = M_PI * static_cast<double>(k) / static_cast<double>(h);
        cosine[h + k] = static_cast<float>(std::cos(a));
        sine[h + k] = static_cast<float>(std::sin(a));
      }
  }
};

// Plans of the sizes with precomputed tables are made once and kept for the life of
// the process; a larger size gets a plan of its own for one call.
class PlanCache {
public:
  const Plan* Get(int n, int bits, std::unique_ptr<Plan>& own) {
    if (bits > kMaxFastBits) {
      own = std::make_unique<Plan>(n);
      return own.get();
    }
    if (const Plan* p = mPlans[bits].load(std::memory_order_acquire)) return p;
    std::lock_guard lock(mMutex);
    if (const Plan* p = mPlans[bits].load(std::memory_order_relaxed)) return p;
    mOwned[bits] = std::make_unique<Plan>(n);
    mPlans[bits].store(mOwned[bits].get(), std::memory_order_release);
    return mOwned[bits].get();
  }

private:
  std::mutex mMutex;
  std::atomic<const Plan*> mPlans[kMaxFastBits + 1] = {};
  std::unique_ptr<Plan> mOwned[kMaxFastBits + 1];
};

const Plan& GetPlan(int n, std::unique_ptr<Plan>& own) {
  static PlanCache cache;
  return *cache.Get(n, NumberOfBitsNeeded(n), own);
}

// The butterflies of a complex transform over data already in bit-reverse order:
// e^(-...) forward, e^(+...) inverse (not divided by n).
// Built twice, for processors with AVX2 and for any other; the loader picks one.
__attribute__((target_clones("avx2", "default"))) void Butterflies(const Plan& plan, bool inverse,
                                                                   float* __restrict re,
                                                                   float* __restrict im) {
  const int n = plan.n;
  const float sign = inverse ? 1.0f : -1.0f;
  // The first two stages need no multiplications: their twiddles are 1 and -i (+i
  // inverse).
  for (int i = 0; i < n; i += 2) {
    const float r = re[i + 1], m = im[i + 1];
    re[i + 1] = re[i] - r;
    im[i + 1] = im[i] - m;
    re[i] += r;
    im[i] += m;
  }
  if (n >= 4) {
    for (int i = 0; i < n; i += 4) {
      float r = re[i + 2], m = im[i + 2];
      re[i + 2] = re[i] - r;
      im[i + 2] = im[i] - m;
      re[i] += r;
      im[i] += m;
      // w = -i (forward) or +i (inverse): w (r + i m) = (-sign m) + i (sign r)
      r = -sign * im[i + 3];
      m = sign * re[i + 3];
      re[i + 3] = re[i + 1] - r;
      im[i + 3] = im[i + 1] - m;
      re[i + 1] += r;
      im[i + 1] += m;
    }
  }
  for (int h = 4; h < n; h <<= 1) {
    const float* wc = plan.cosine.data() + h;
    const float* ws = plan.sine.data() + h;
    for (int i = 0; i < n; i += 2 * h) {
      float* r0 = re + i;
      float* i0 = im + i;
      float* r1 = re + i + h;
      float* i1 = im + i + h;
      for (int k = 0; k < h; ++k) {
        const float wr = wc[k];
        const float wi = sign * ws[k];
        const float tr = wr * r1[k] - wi * i1[k];
        const float ti = wr * i1[k] + wi * r1[k];
        r1[k] = r0[k] - tr;
        i1[k] = i0[k] - ti;
        r0[k] += tr;
        i0[k] += ti;
      }
    }
  }
}

// Scratch of the real transforms, one per thread.
struct Scratch {
  std::vector<float> re, im, spareRe, spareIm;
  void Size(int n) {
    if (static_cast<int>(re.size()) < n) {
      re.resize(n);
      im.resize(n);
      spareRe.resize(n);
      spareIm.resize(n);
    }
  }
};

// RealFFT's last step: X[k] for k = 0 .. m from the m-point transform Z of the
// packed samples; wc, ws hold cos and sin of 2 pi k / n for k < m.
__attribute__((target_clones("avx2", "default"))) void UntangleHalves(
    const float* __restrict zr, const float* __restrict zi, const float* __restrict wc,
    const float* __restrict ws, int m, float* __restrict re, float* __restrict im) {
  re[0] = zr[0] + zi[0];
  im[0] = 0.0f;
  re[m] = zr[0] - zi[0];
  im[m] = 0.0f;
  for (int k = 1; k < m; ++k) {
    const float ar = zr[k], ai = zi[k];           // Z[k]
    const float br = zr[m - k], bi = -zi[m - k];  // conj Z[m-k]
    const float er = 0.5f * (ar + br), ei = 0.5f * (ai + bi);
    const float orr = 0.5f * (ai - bi), oi = -0.5f * (ar - br);  // -i (a - b) / 2
    const float wr = wc[k], wi = -ws[k];                         // W^k
    re[k] = er + wr * orr - wi * oi;
    im[k] = ei + wr * oi + wi * orr;
  }
}

// InverseRealFFT's first step: Z[k] for k < m, in natural order, from X[0 .. m].
__attribute__((target_clones("avx2", "default"))) void TangleHalves(
    const float* __restrict re, const float* __restrict im, const float* __restrict wc,
    const float* __restrict ws, int m, float* __restrict zr, float* __restrict zi) {
  // k = 0: X[0] and X[m] are real, W^0 = 1.
  zr[0] = 0.5f * (re[0] + re[m]);
  zi[0] = 0.5f * (re[0] - re[m]);
  for (int k = 1; k < m; ++k) {
    const float ar = re[k], ai = im[k];           // X[k]
    const float br = re[m - k], bi = -im[m - k];  // conj X[m-k]
    const float er = 0.5f * (ar + br), ei = 0.5f * (ai + bi);
    const float dr = 0.5f * (ar - br), di = 0.5f * (ai - bi);
    const float wr = wc[k], wi = ws[k];  // conj(W^k) = e^(+2 pi i k / n)
    const float orr = dr * wr - di * wi, oi = dr * wi + di * wr;
    zr[k] = er - oi;  // Z = E + i O
    zi[k] = ei + orr;
  }
}

Scratch& ThreadScratch() {
  thread_local Scratch scratch;
  return scratch;
}

}  // namespace

void FFT(int n, bool inverse, const float* realIn, const float* imagIn, float* realOut, float* imagOut) {
  if (!IsPowerOfTwo(n)) {
    seams::DiagnosticF(seams::DiagnosticStream::kStandardError, "%d is not a power of two\n", n);
    std::exit(1);
  }
  std::unique_ptr<Plan> own;
  const Plan& plan = GetPlan(n, own);
  for (int i = 0; i < n; ++i) {
    const int j = plan.reverse[i];
    realOut[j] = realIn[i];
    imagOut[j] = imagIn ? imagIn[i] : 0.0f;
  }
  Butterflies(plan, inverse, realOut, imagOut);
  if (inverse) {
    const float scale = 1.0f / static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
      realOut[i] *= scale;
      imagOut[i] *= scale;
    }
  }
}

// With m = n/2, z[j] = x[2j] + i x[2j+1] and Z its m-point transform:
//   X[k] = E[k] + W^k O[k],  E[k] = (Z[k] + conj Z[m-k]) / 2,  O[k] = -i (Z[k] - conj Z[m-k]) / 2,
// W = e^(-2 pi i / n); W^k for k < m is the last stage's twiddle of the n-point plan.
void RealFFT(int n, const float* in, float* re, float* im) {
  if (!IsPowerOfTwo(n) || n < 4) {
    seams::DiagnosticF(seams::DiagnosticStream::kStandardError, "%d is not a power of two\n", n);
    std::exit(1);
  }
  const int m = n / 2;
  std::unique_ptr<Plan> ownHalf, ownFull;
  const Plan& half = GetPlan(m, ownHalf);
  const Plan& full = GetPlan(n, ownFull);
  Scratch& s = ThreadScratch();
  s.Size(m);
  float* zr = s.re.data();
  float* zi = s.im.data();
  for (int j = 0; j < m; ++j) {
    const int r = half.reverse[j];
    zr[r] = in[2 * j];
    zi[r] = in[2 * j + 1];
  }
  Butterflies(half, false, zr, zi);

  UntangleHalves(zr, zi, full.cosine.data() + m, full.sine.data() + m, m, re, im);
}

// The inverse of RealFFT: E[k] = (X[k] + conj X[m-k]) / 2, O[k] = (X[k] - conj X[m-k]) conj(W^k) / 2,
// Z = E + i O, and the m-point inverse of Z gives the even samples in its real part and
// the odd ones in its imaginary part.
void InverseRealFFT(int n, const float* re, const float* im, float* out) {
  if (!IsPowerOfTwo(n) || n < 4) {
    seams::DiagnosticF(seams::DiagnosticStream::kStandardError, "%d is not a power of two\n", n);
    std::exit(1);
  }
  const int m = n / 2;
  std::unique_ptr<Plan> ownHalf, ownFull;
  const Plan& half = GetPlan(m, ownHalf);
  const Plan& full = GetPlan(n, ownFull);
  Scratch& s = ThreadScratch();
  s.Size(m);
  float* zr = s.re.data();
  float* zi = s.im.data();
  // Z in natural order first (a loop that vectorizes), then into bit-reverse order.
  float* nr = s.spareRe.data();
  float* ni = s.spareIm.data();
  TangleHalves(re, im, full.cosine.data() + m, full.sine.data() + m, m, nr, ni);
  for (int k = 0; k < m; ++k) {
    const int r = half.reverse[k];
    zr[r] = nr[k];
    zi[r] = ni[k];
  }
  Butterflies(half, true, zr, zi);
  const float scale = 1.0f / static_cast<float>(m);
  for (int j = 0; j < m; ++j) {
    out[2 * j] = zr[j] * scale;
    out[2 * j + 1] = zi[j] * scale;
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
