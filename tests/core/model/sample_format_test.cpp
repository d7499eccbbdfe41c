#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/model/SampleFormat.h"

namespace {

TEST(SampleFormat, CodesGiveTheirSampleSizes) {
  EXPECT_EQ(SampleSize(SampleFormatInt16), 2);
  EXPECT_EQ(SampleSize(SampleFormatInt24), 4);
  EXPECT_EQ(SampleSize(SampleFormatFloat), 4);
}

TEST(SampleFormat, IntegerToFloatMapsTheExtremesOntoPlusMinusOne) {
  const std::int16_t in16[] = {-32768, 32767, 0, -1};
  float out[4];
  CopySamples(reinterpret_cast<ConstSamplePtr>(in16), SampleFormatInt16, reinterpret_cast<SamplePtr>(out),
              SampleFormatFloat, 4);
  EXPECT_EQ(out[0], -1.0f);
  EXPECT_EQ(out[1], 1.0f);
  EXPECT_FLOAT_EQ(out[2], 0.5f / 32767.5f);
  EXPECT_FLOAT_EQ(out[3], -0.5f / 32767.5f);

  const std::int32_t in24[] = {-8388608, 8388607};
  CopySamples(reinterpret_cast<ConstSamplePtr>(in24), SampleFormatInt24, reinterpret_cast<SamplePtr>(out),
              SampleFormatFloat, 2);
  EXPECT_EQ(out[0], -1.0f);
  EXPECT_EQ(out[1], 1.0f);
}

TEST(SampleFormat, FloatToIntegerRoundsToNearestAndClips) {
  struct Case {
    float in;
    std::int16_t out16;
    std::int32_t out24;
  };
  const Case cases[] = {
      {1.0f, 32767, 8388607},  // nearest(32767.5) = 32768, clipped
      {-1.0f, -32768, -8388608}, {2.0f, 32767, 8388607}, {-3.0f, -32768, -8388608}, {0.0f, 0, 0},
      {0.5f, 16384, 4194304},                             // 16383.75 -> 16384; 4194303.75 -> 4194304
      {-0.5f, -16384, -4194304}, {0.25f, 8192, 2097152},  // 8191.875 -> 8192
  };
  for (const Case& c : cases) {
    std::int16_t o16 = 99;
    std::int32_t o24 = 99;
    CopySamples(reinterpret_cast<ConstSamplePtr>(&c.in), SampleFormatFloat, reinterpret_cast<SamplePtr>(&o16),
                SampleFormatInt16, 1);
    CopySamples(reinterpret_cast<ConstSamplePtr>(&c.in), SampleFormatFloat, reinterpret_cast<SamplePtr>(&o24),
                SampleFormatInt24, 1);
    EXPECT_EQ(o16, c.out16) << c.in;
    EXPECT_EQ(o24, c.out24) << c.in;
  }
}

// Whole buffers of floats take a fast loop; single samples picked with a stride take
// the general one. Both must give the same integers, ties (to even), the clip limits,
// infinities and NaN included.
TEST(SampleFormat, FloatBuffersConvertAsSamplesTakenOneByOne) {
  std::vector<float> in = {0.0f, -0.0f, 1.0f, -1.0f, 1e9f, -1e9f, INFINITY, -INFINITY, NAN, 1e-30f};
  // Floats that scale to exactly k + 0.5, the ties.
  int ties = 0;
  for (float scale : {32767.5f, 8388607.5f})
    for (int k = -40; k <= 40; ++k) {
      const float want = static_cast<float>(k) + 0.5f;
      const float f0 = want / scale;
      for (float f : {std::nextafter(f0, -1.0f), f0, std::nextafter(f0, 1.0f)})
        if (f * scale == want) {
          in.push_back(f);
          ++ties;
        }
    }
  ASSERT_GT(ties, 20);
  for (float k : {32766.5f, 32767.0f, 32767.49f, -32767.5f, 12345.678f}) in.push_back(k / 32767.5f);
  unsigned seed = 3;
  for (int i = 0; i < 2000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    in.push_back((static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * 2.2f);
  }
  std::vector<float> strided(2 * in.size());
  for (std::size_t i = 0; i < in.size(); ++i) strided[2 * i] = in[i];

  const auto n = static_cast<std::uint32_t>(in.size());
  std::vector<std::int16_t> fast16(n), slow16(n);
  std::vector<std::int32_t> fast24(n), slow24(n);
  CopySamples(reinterpret_cast<ConstSamplePtr>(in.data()), SampleFormatFloat,
              reinterpret_cast<SamplePtr>(fast16.data()), SampleFormatInt16, n);
  CopySamples(reinterpret_cast<ConstSamplePtr>(strided.data()), SampleFormatFloat,
              reinterpret_cast<SamplePtr>(slow16.data()), SampleFormatInt16, n, true, 2);
  CopySamples(reinterpret_cast<ConstSamplePtr>(in.data()), SampleFormatFloat,
              reinterpret_cast<SamplePtr>(fast24.data()), SampleFormatInt24, n);
  CopySamples(reinterpret_cast<ConstSamplePtr>(strided.data()), SampleFormatFloat,
              reinterpret_cast<SamplePtr>(slow24.data()), SampleFormatInt24, n, true, 2);
  for (std::uint32_t i = 0; i < n; ++i) {
    ASSERT_EQ(fast16[i], slow16[i]) << i << " " << in[i];
    ASSERT_EQ(fast24[i], slow24[i]) << i << " " << in[i];
    if (std::isnan(in[i])) EXPECT_EQ(fast24[i], 0) << "NaN is silence, not a value outside 24 bits";
  }
}

TEST(SampleFormat, IntegerWideningAndNarrowing) {
  const std::int16_t in16[] = {-1, 1, -32768, 32767};
  std::int32_t out24[4];
  CopySamples(reinterpret_cast<ConstSamplePtr>(in16), SampleFormatInt16, reinterpret_cast<SamplePtr>(out24),
              SampleFormatInt24, 4);
  EXPECT_EQ(out24[0], -256);
  EXPECT_EQ(out24[1], 256);
  EXPECT_EQ(out24[2], -8388608);
  EXPECT_EQ(out24[3], 8388352);

  // 24 to 16 bits goes through float and rounds: the extremes stay extremes.
  const std::int32_t in24[] = {-8388608, 8388607, 0};
  std::int16_t out16[3];
  CopySamples(reinterpret_cast<ConstSamplePtr>(in24), SampleFormatInt24, reinterpret_cast<SamplePtr>(out16),
              SampleFormatInt16, 3);
  EXPECT_EQ(out16[0], -32768);
  EXPECT_EQ(out16[1], 32767);
  EXPECT_EQ(out16[2], 0);
}

TEST(SampleFormat, SameFormatCopiesClipFloatsOnlyAndHonourTheStride) {
  const float f[] = {1.5f, -2.0f, 0.25f, 7.0f};
  float g[4];
  CopySamples(reinterpret_cast<ConstSamplePtr>(f), SampleFormatFloat, reinterpret_cast<SamplePtr>(g),
              SampleFormatFloat, 4);
  EXPECT_EQ(g[0], 1.0f);
  EXPECT_EQ(g[1], -1.0f);
  EXPECT_EQ(g[2], 0.25f);

  const std::int32_t big[] = {0x7FFFFFFF, -0x7FFFFFFF, 5, 6};
  std::int32_t same[4];
  CopySamples(reinterpret_cast<ConstSamplePtr>(big), SampleFormatInt24, reinterpret_cast<SamplePtr>(same),
              SampleFormatInt24, 4);
  EXPECT_EQ(0, std::memcmp(big, same, sizeof big)) << "integer copies are never altered";

  const std::int16_t interleaved[] = {1, 100, 2, 200, 3, 300};
  std::int16_t right[3] = {0, 0, 0};
  CopySamples(reinterpret_cast<ConstSamplePtr>(interleaved + 1), SampleFormatInt16,
              reinterpret_cast<SamplePtr>(right), SampleFormatInt16, 3, true, 2);
  EXPECT_EQ(right[0], 100);
  EXPECT_EQ(right[1], 200);
  EXPECT_EQ(right[2], 300);

  float left[3];
  CopySamples(reinterpret_cast<ConstSamplePtr>(interleaved), SampleFormatInt16,
              reinterpret_cast<SamplePtr>(left), SampleFormatFloat, 3, false, 2);
  EXPECT_FLOAT_EQ(left[2], 3.5f / 32767.5f);
}

TEST(SampleFormat, ZeroLengthLeavesTheDestinationAlone) {
  const float src[] = {0.5f};
  std::int16_t dst[] = {1234};
  CopySamples(reinterpret_cast<ConstSamplePtr>(src), SampleFormatFloat, reinterpret_cast<SamplePtr>(dst),
              SampleFormatInt16, 0);
  CopySamplesNoDither(reinterpret_cast<ConstSamplePtr>(src), SampleFormatFloat,
                      reinterpret_cast<SamplePtr>(dst), SampleFormatInt16, 0);
  EXPECT_EQ(dst[0], 1234);
}

TEST(SampleFormat, BuffersAndClearing) {
  SamplePtr buf = NewSamples(10, SampleFormatInt24);
  ASSERT_NE(buf, nullptr);
  std::memset(buf, 0x5A, 40);
  ClearSamples(buf, SampleFormatInt24, 2, 3);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(buf[i], (i >= 8 && i < 20) ? 0 : 0x5A) << i;
  DeleteSamples(buf);
}

TEST(Dither, DitheringKindsStayWithinOneStepOfRoundingAndUnknownKindsWriteNothing) {
  std::vector<float> in(1000);
  for (std::size_t i = 0; i < in.size(); ++i) in[i] = std::sin(0.01f * i) * 0.9f;
  std::vector<std::int16_t> plain(in.size()), dithered(in.size());
  Dither dither;
  dither.Apply(Dither::DitherNone, reinterpret_cast<ConstSamplePtr>(in.data()), SampleFormatFloat,
               reinterpret_cast<SamplePtr>(plain.data()), SampleFormatInt16, in.size());
  for (int kind : {Dither::DitherRectangle, Dither::DitherTriangle}) {
    dither.Apply(kind, reinterpret_cast<ConstSamplePtr>(in.data()), SampleFormatFloat,
                 reinterpret_cast<SamplePtr>(dithered.data()), SampleFormatInt16, in.size());
    for (std::size_t i = 0; i < in.size(); ++i) EXPECT_LE(std::abs(plain[i] - dithered[i]), 2) << kind;
  }
  dither.Reset();
  dither.Apply(Dither::DitherShaped, reinterpret_cast<ConstSamplePtr>(in.data()), SampleFormatFloat,
               reinterpret_cast<SamplePtr>(dithered.data()), SampleFormatInt16, in.size());
  double error = 0;
  for (std::size_t i = 0; i < in.size(); ++i) error += dithered[i] - plain[i];
  EXPECT_LT(std::abs(error / in.size()), 1.0) << "shaped noise has no large offset";

  std::vector<std::int16_t> untouched(in.size(), 77);
  dither.Apply(4, reinterpret_cast<ConstSamplePtr>(in.data()), SampleFormatFloat,
               reinterpret_cast<SamplePtr>(untouched.data()), SampleFormatInt16, in.size());
  EXPECT_TRUE(std::all_of(untouched.begin(), untouched.end(), [](std::int16_t v) { return v == 77; }));
}

TEST(SoundFileNames, MajorFormatNamesIgnoreTheSubtype) {
  const int wav = SF_FORMAT_WAV, wav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  EXPECT_FALSE(GetFormatHeaderName(wav).empty());
  EXPECT_EQ(GetFormatHeaderName(wav16), GetFormatHeaderName(wav));
  EXPECT_EQ(GetFormatHeaderExtension(wav16), "wav");
  EXPECT_EQ(GetFormatHeaderExtension(SF_FORMAT_AIFF | SF_FORMAT_FLOAT), "aiff");
  EXPECT_EQ(GetFormatHeaderName(0x7FF0000), "");
  EXPECT_EQ(GetFormatHeaderExtension(0x7FF0000), "");
}

TEST(SoundFileNames, SubtypeClasses) {
  struct Case {
    int subtype;
    bool highBit, pcm;
  };
  const Case cases[] = {{SF_FORMAT_PCM_S8, false, false}, {SF_FORMAT_PCM_16, false, true},
                        {SF_FORMAT_PCM_24, true, true},   {SF_FORMAT_PCM_32, true, true},
                        {SF_FORMAT_PCM_U8, false, false}, {SF_FORMAT_FLOAT, true, false},
                        {SF_FORMAT_DOUBLE, true, false},  {SF_FORMAT_ULAW, false, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsHighBitSubtype(c.subtype), c.highBit) << c.subtype;
    EXPECT_EQ(IsPCMSubtype(c.subtype), c.pcm) << c.subtype;
    EXPECT_EQ(IsPCMSubtype(SF_FORMAT_WAV | c.subtype), c.pcm) << "the container bits do not count";
  }
}

TEST(SoundFileNames, SupportedExtensionsAreLowerCaseAndEndWithTheExtras) {
  std::vector<std::string> list{"first"};
  GetSupportedExtensions(list);
  ASSERT_GT(list.size(), 7u);
  EXPECT_EQ(list.front(), "first") << "the list is appended to";
  const std::vector<std::string> extras{"aif", "ircam", "snd", "svx", "svx8", "sv16"};
  EXPECT_TRUE(std::equal(extras.begin(), extras.end(), list.end() - 6));
  for (const char* ext : {"wav", "aiff", "au", "flac"})
    EXPECT_NE(std::find(list.begin(), list.end(), ext), list.end()) << ext;
  for (const std::string& ext : list)
    EXPECT_TRUE(std::none_of(ext.begin(), ext.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) << ext;
}

}  // namespace
