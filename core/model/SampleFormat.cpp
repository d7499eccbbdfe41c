#include "core/model/SampleFormat.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The two program-wide dither settings; nothing in the program changes them.
constexpr int kHighQualityDither = Dither::DitherNone;
constexpr int kFastDither = Dither::DitherNone;

constexpr float kInt16ToFloat = 1.0f / 32767.5f;  // the float nearest to 1/32767.5
constexpr float kInt24ToFloat = 1.0f / 8388607.5f;
constexpr float kFloatToInt16 = 32767.5f;
constexpr float kFloatToInt24 = 8388607.5f;

float ReadAsFloat(ConstSamplePtr p, SampleFormat format) {
  switch (format) {
    case SampleFormatInt16: {
      std::int16_t s;
      std::memcpy(&s, p, sizeof s);
      return Int16ToFloatSample(s);
    }
    case SampleFormatInt24: {
      std::int32_t s;
      std::memcpy(&s, p, sizeof s);
      return Int24ToFloatSample(s);
    }
    default: {
      float f;
      std::memcpy(&f, p, sizeof f);
      return f;
    }
  }
}

float Clip(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Whole buffers, in loops the compiler can keep tight (and, built for AVX2, turn into
// vector code). They give exactly what the sample-by-sample loops give.

// Scaled floats rounded to nearest, ties to even, and clipped to lo .. hi; NaN gives 0.
// Clipping before rounding gives the same values as rounding before clipping, and
// within the clipped range adding and taking away 1.5 x 2^52 in double rounds exactly
// as rint does.
template <class T>
[[gnu::always_inline]] inline void RoundFloats(const float* in, SamplePtr dst, std::uint32_t len, float scale,
                                               float lo, float hi) {
  constexpr double kRound = 6755399441055744.0;
  for (std::uint32_t i = 0; i < len; ++i) {
    float x = in[i] * scale;
    x = x == x ? x : 0.0f;
    x = x < lo ? lo : x;
    x = x > hi ? hi : x;
    const T v = static_cast<T>(static_cast<std::int32_t>((static_cast<double>(x) + kRound) - kRound));
    std::memcpy(dst + i * sizeof(T), &v, sizeof v);
  }
}

__attribute__((target_clones("avx2", "default"))) void RoundFloatsTo16(const float* in, SamplePtr dst,
                                                                       std::uint32_t len, float scale,
                                                                       float lo, float hi) {
  RoundFloats<std::int16_t>(in, dst, len, scale, lo, hi);
}

__attribute__((target_clones("avx2", "default"))) void RoundFloatsTo24(const float* in, SamplePtr dst,
                                                                       std::uint32_t len, float scale,
                                                                       float lo, float hi) {
  RoundFloats<std::int32_t>(in, dst, len, scale, lo, hi);
}

__attribute__((target_clones("avx2", "default"))) void Int16ToFloats(ConstSamplePtr src, float* out,
                                                                     std::uint32_t len) {
  for (std::uint32_t i = 0; i < len; ++i) {
    std::int16_t s;
    std::memcpy(&s, src + i * sizeof s, sizeof s);
    out[i] = (static_cast<float>(s) + 0.5f) * kInt16ToFloat;
  }
}

// A random value 0..1 in 32768 steps, as from a generator whose largest value is 32767.
float RandomUnit() { return static_cast<float>(std::rand() & 0x7FFF) * (1.0f / 32767.0f); }

}  // namespace

float Int16ToFloatSample(std::int32_t s) { return (static_cast<float>(s) + 0.5f) * kInt16ToFloat; }

float Int24ToFloatSample(std::int32_t s) {
  // s + 0.5 needs 25 bits for the largest 24-bit values, so it is formed in double.
  return static_cast<float>((static_cast<double>(s) + 0.5) * static_cast<double>(kInt24ToFloat));
}

SamplePtr NewSamples(std::uint32_t count, SampleFormat format) {
  std::size_t bytes = static_cast<std::size_t>(count) * SampleSize(format);
  return static_cast<SamplePtr>(std::malloc(bytes ? bytes : 1));
}

void DeleteSamples(SamplePtr buffer) { std::free(buffer); }

void ClearSamples(SamplePtr buffer, SampleFormat format, std::uint32_t start, std::uint32_t len) {
  const std::size_t size = SampleSize(format);
  std::memset(buffer + start * size, 0, len * size);
}

void CopySamples(ConstSamplePtr src, SampleFormat srcFormat, SamplePtr dst, SampleFormat dstFormat,
                 std::uint32_t len, bool highQuality, std::uint32_t stride) {
  Dither::Global().Apply(highQuality ? kHighQualityDither : kFastDither, src, srcFormat, dst, dstFormat, len,
                         stride);
}

void CopySamplesNoDither(ConstSamplePtr src, SampleFormat srcFormat, SamplePtr dst, SampleFormat dstFormat,
                         std::uint32_t len, std::uint32_t stride) {
  Dither::Global().Apply(Dither::DitherNone, src, srcFormat, dst, dstFormat, len, stride);
}

Dither& Dither::Global() {
  static Dither instance;
  return instance;
}

void Dither::Reset() {
  mPhase = 0;
  mTriangleState = 0.0f;
  for (float& e : mBuffer) e = 0.0f;
}

void Dither::Apply(int kind, ConstSamplePtr src, SampleFormat srcFormat, SamplePtr dst,
                   SampleFormat dstFormat, std::uint32_t len, std::uint32_t stride) {
  if (len == 0) return;
  const std::size_t srcSize = SampleSize(srcFormat);
  const std::size_t dstSize = SampleSize(dstFormat);
  const std::size_t srcStep = srcSize * stride;

  if (srcFormat == dstFormat) {
    if (stride == 1) {
      std::memcpy(dst, src, len * srcSize);
    } else {
      // Copies of a size known here, which the compiler makes plain moves: a call per
      // sample would cost more than the rest of an import of interleaved channels.
      auto spread = [&](auto word) {
        for (std::uint32_t i = 0; i < len; ++i) {
          std::memcpy(&word, src + i * srcStep, sizeof word);
          std::memcpy(dst + i * sizeof word, &word, sizeof word);
        }
      };
      if (srcSize == 4)
        spread(std::uint32_t{});
      else if (srcSize == 2)
        spread(std::uint16_t{});
      else
        for (std::uint32_t i = 0; i < len; ++i) std::memcpy(dst + i * dstSize, src + i * srcStep, srcSize);
    }
    if (dstFormat == SampleFormatFloat) {
      float* out = reinterpret_cast<float*>(dst);
      for (std::uint32_t i = 0; i < len; ++i) out[i] = Clip(out[i], -1.0f, 1.0f);
    }
    return;
  }

  if (dstFormat == SampleFormatFloat) {
    float* out = reinterpret_cast<float*>(dst);
    if (srcFormat == SampleFormatInt16 && stride == 1) {
      Int16ToFloats(src, out, len);
    } else if (srcFormat == SampleFormatInt16) {
      for (std::uint32_t i = 0; i < len; ++i) {
        std::int16_t s;
        std::memcpy(&s, src + i * srcStep, sizeof s);
        out[i] = Int16ToFloatSample(s);
      }
    } else {
      for (std::uint32_t i = 0; i < len; ++i) {
        std::int32_t s;
        std::memcpy(&s, src + i * srcStep, sizeof s);
        out[i] = Int24ToFloatSample(s);
      }
    }
    return;
  }

  if (srcFormat == SampleFormatInt16 && dstFormat == SampleFormatInt24) {
    std::int32_t* out = reinterpret_cast<std::int32_t*>(dst);
    for (std::uint32_t i = 0; i < len; ++i) {
      std::int16_t s;
      std::memcpy(&s, src + i * srcStep, sizeof s);
      out[i] = static_cast<std::int32_t>(s) * 256;
    }
    return;
  }

  if (kind < DitherNone || kind > DitherShaped) return;

  // 24-bit to 16-bit, float to 16-bit, float to 24-bit: through the dither kind.
  const bool toInt16 = dstFormat == SampleFormatInt16;
  const float scale = toInt16 ? kFloatToInt16 : kFloatToInt24;
  const float lo = toInt16 ? -32768.0f : -8388608.0f;
  const float hi = toInt16 ? 32767.0f : 8388607.0f;

  if (kind == DitherNone && srcFormat == SampleFormatFloat && stride == 1) {
    // The common case: every block written from float samples.
    if (toInt16)
      RoundFloatsTo16(reinterpret_cast<const float*>(src), dst, len, scale, lo, hi);
    else
      RoundFloatsTo24(reinterpret_cast<const float*>(src), dst, len, scale, lo, hi);
    return;
  }

  // rint rounds to nearest, ties to even, like nearbyint in the default rounding mode,
  // but without saving and restoring the floating-point environment per sample.
  for (std::uint32_t i = 0; i < len; ++i) {
    const float x = ReadAsFloat(src + i * srcStep, srcFormat) * scale;
    float v;
    switch (kind) {
      case DitherNone:
        v = std::rint(x);
        break;
      case DitherRectangle:
        v = std::rint(x - RandomUnit());
        break;
      case DitherTriangle: {
        const float d = 2.0f * RandomUnit() - 1.0f;
        v = std::rint(x + d - mTriangleState);
        mTriangleState = d;
        break;
      }
      default: {  // DitherShaped
        const float* e = mBuffer;
        const int p = mPhase;
        const float xs = x + 2.033f * e[p & 7] - 2.165f * e[(p - 1) & 7] + 1.959f * e[(p - 2) & 7] -
                         1.59f * e[(p - 3) & 7] + 0.6149f * e[(p - 4) & 7];
        mPhase = (p + 1) & 7;
        const float d = 2.0f * RandomUnit() - 1.0f;
        v = std::rint(xs + d - mTriangleState);
        mTriangleState = d;
        mBuffer[mPhase] = xs - v;
        break;
      }
    }
    v = Clip(v, lo, hi);
    if (v != v) v = 0.0f;  // NaN: silence, never a value outside the format's range
    if (toInt16) {
      const std::int16_t s = static_cast<std::int16_t>(v);
      std::memcpy(dst + i * dstSize, &s, sizeof s);
    } else {
      const std::int32_t s = static_cast<std::int32_t>(v);
      std::memcpy(dst + i * dstSize, &s, sizeof s);
    }
  }
}
