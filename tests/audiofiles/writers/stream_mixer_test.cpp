// The stream mixer of direct recording: fills from the capture rings,
// routing, clipping, the same-rate bypass, resampling, and the drained tail.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "audiofiles/writers/StreamMixer.h"
#include "core/model/RingBuffer.h"
#include "tests/audiofiles/writers/writer_test_support.h"

namespace {

using writertest::Rms;
using writertest::Sines;
using writertest::ZeroCrossingFrequency;

// Rings of one format, filled with per-channel sample vectors.
struct Rings {
  Rings(int n, SampleFormat format, int size = 100000) {
    for (int i = 0; i < n; ++i) owned.push_back(std::make_unique<RingBuffer>(format, size));
    for (auto& r : owned) ptrs.push_back(r.get());
  }
  void PutFloat(int c, const std::vector<float>& v) {
    ASSERT_EQ(owned[c]->Put(reinterpret_cast<ConstSamplePtr>(v.data()), SampleFormatFloat,
                            static_cast<int>(v.size())),
              static_cast<int>(v.size()));
  }
  void PutShort(int c, const std::vector<std::int16_t>& v) {
    ASSERT_EQ(owned[c]->Put(reinterpret_cast<ConstSamplePtr>(v.data()), SampleFormatInt16,
                            static_cast<int>(v.size())),
              static_cast<int>(v.size()));
  }
  std::vector<std::unique_ptr<RingBuffer>> owned;
  std::vector<RingBuffer*> ptrs;
};

std::vector<float> Ramp(int n, float scale = 1.0f / 4096) {
  std::vector<float> v(n);
  for (int i = 0; i < n; ++i) v[i] = static_cast<float>((i % 4096) - 2048) * scale;
  return v;
}

const float* F(SamplePtr p) { return reinterpret_cast<const float*>(p); }
const std::int16_t* S(SamplePtr p) { return reinterpret_cast<const std::int16_t*>(p); }

TEST(StreamMixer, DefaultsBeforeSetUp) {
  StreamMixer m;
  EXPECT_EQ(m.GetTime(), 0.0);
  EXPECT_EQ(m.GetBuffer(), nullptr);
  EXPECT_EQ(m.GetOutChannels(), 2);
  EXPECT_EQ(m.GetBufferSize(), 8192);
  EXPECT_EQ(m.GetOutFormat(), 0x20001);
  EXPECT_FALSE(m.GetInterleaved());
  EXPECT_EQ(m.GetOutRate(), 44100.0);
  EXPECT_EQ(m.GetInputRate(), 44100.0);
  EXPECT_EQ(m.FillInputs(), 0);
  EXPECT_EQ(m.Process(100), 0);
}

TEST(StreamMixer, ZeroOrNaNCaptureRateIsTakenAs44100) {
  Rings r(1, SampleFormatFloat);
  StreamMixer m;
  ASSERT_EQ(m.MixerSetup(1, r.ptrs.data(), 0.0, 1, 1024, true, 44100.0, SampleFormatFloat, true), 1);
  EXPECT_EQ(m.GetInputRate(), 44100.0);
  EXPECT_FALSE(m.IsResampling());
  ASSERT_EQ(m.MixerSetup(1, r.ptrs.data(), std::numeric_limits<double>::quiet_NaN(), 1, 1024, true, 44100.0,
                         SampleFormatFloat, true),
            1);
  EXPECT_EQ(m.GetInputRate(), 44100.0);
}

TEST(StreamMixer, RateWithinATenthOfAHertzIsCopiedWithoutResampler) {
  Rings r(1, SampleFormatFloat);
  std::vector<float> in = Ramp(3000);
  r.PutFloat(0, in);
  StreamMixer m;
  ASSERT_EQ(m.MixerSetup(1, r.ptrs.data(), 44100.05, 1, 4096, true, 44100.0, SampleFormatFloat, true), 1);
  EXPECT_FALSE(m.IsResampling());
  EXPECT_EQ(m.FillInputs(), 3000);
  ASSERT_EQ(m.Process(4096), 3000);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(F(m.GetBuffer())[i], in[i]) << i;
  EXPECT_EQ(m.Process(4096), 0);
  EXPECT_NEAR(m.GetTime(), 3000 / 44100.0, 1e-12);
  EXPECT_EQ(m.GetInputCounter(0), 3000);
}

// A 16-bit capture into 16-bit output is a copy, every value; floats convert as the
// program's converting copy does, on and between the rounding ties.
TEST(StreamMixer, ConversionsMatchTheConvertingCopy) {
  {
    Rings r(1, SampleFormatInt16, 70000);
    std::vector<std::int16_t> all(65536);
    for (int i = 0; i < 65536; ++i) all[i] = static_cast<std::int16_t>(i - 32768);
    r.PutShort(0, all);
    StreamMixer m;
    ASSERT_EQ(m.MixerSetup(1, r.ptrs.data(), 44100, 1, 65536, true, 44100, SampleFormatInt16, true), 1);
    ASSERT_EQ(m.FillInputs(), 65536);
    ASSERT_EQ(m.Process(65536), 65536);
    for (int i = 0; i < 65536; ++i)
      ASSERT_EQ(S(m.GetBuffer())[i], all[i]) << "a 16-bit capture passes unchanged";
  }
  {
    std::vector<float> in;
    for (int k = -32770; k <= 32770; k += 7) {
      in.push_back((k + 0.5f) / 32767.5f);  // on a tie
      in.push_back(k / 32767.5f);
      in.push_back((k + 0.25f) / 32767.5f);
    }
    in.push_back(1.0f);
    in.push_back(-1.0f);
    Rings r(1, SampleFormatFloat, 70000);
    r.PutFloat(0, in);
    const int n = static_cast<int>(in.size());
    StreamMixer m;
    ASSERT_EQ(m.MixerSetup(1, r.ptrs.data(), 44100, 1, n, true, 44100, SampleFormatInt16, true), 1);
    ASSERT_EQ(m.FillInputs(), n);
    ASSERT_EQ(m.Process(n), n);
    std::vector<float> clipped(n);
    CopySamples(reinterpret_cast<ConstSamplePtr>(in.data()), SampleFormatFloat,
                reinterpret_cast<SamplePtr>(clipped.data()), SampleFormatFloat, n);  // as the ring holds them
    std::vector<std::int16_t> expected(n);
    CopySamples(reinterpret_cast<ConstSamplePtr>(clipped.data()), SampleFormatFloat,
                reinterpret_cast<SamplePtr>(expected.data()), SampleFormatInt16, n);
    for (int i = 0; i < n; ++i) ASSERT_EQ(S(m.GetBuffer())[i], expected[i]) << in[i];
  }
}

TEST(StreamMixer, OneCapturedChannelFeedsBothStereoChannels) {
  Rings r(1, SampleFormatFloat);
  std::vector<float> in = Ramp(2048);
  r.PutFloat(0, in);
  StreamMixer m;
  ASSERT_EQ(m.MixerSetup(1, r.ptrs.data(), 44100, 2, 4096, true, 44100, SampleFormatFloat, true), 1);
  ASSERT_EQ(m.FillInputs(), 2048);
  ASSERT_EQ(m.Process(4096), 2048);
  for (int i = 0; i < 2048; ++i) {
    ASSERT_EQ(F(m.GetBuffer())[2 * i], in[i]);
    ASSERT_EQ(F(m.GetBuffer())[2 * i + 1], in[i]);
  }
}

TEST(StreamMixer, TwoCapturedChannelsInterleavedAndSeparate) {
  for (bool interleaved : {true, false}) {
    Rings r(2, SampleFormatInt16);
    // Even values: an int16 -> float -> int16 round trip (rings store int16 here)
    // rounds (s + 0.5) to even, which keeps even values exact.
    std::vector<std::int16_t> a(1500), b(1500);
    for (int i = 0; i < 1500; ++i) {
      a[i] = static_cast<std::int16_t>(2 * i);
      b[i] = static_cast<std::int16_t>(-2 * i);
    }
    r.PutShort(0, a);
    r.PutShort(1, b);
    StreamMixer m;
    ASSERT_EQ(m.MixerSetup(2, r.ptrs.data(), 44100, 2, 2000, interleaved, 44100, SampleFormatInt16, true), 1);
    ASSERT_EQ(m.FillInputs(), 1500);
    ASSERT_EQ(m.Process(2000), 1500);
    for (int i = 0; i < 1500; ++i) {
      const std::int16_t l = interleaved ? S(m.GetBuffer())[2 * i] : S(m.GetChannelBuffer(0))[i];
      const std::int16_t rr = interleaved ? S(m.GetBuffer())[2 * i + 1] : S(m.GetChannelBuffer(1))[i];
      ASSERT_EQ(l, a[i]) << i;
      ASSERT_EQ(rr, b[i]) << i;
    }
  }
}

TEST(StreamMixer, TwoCapturedChannelsIntoMonoGiveTheFirstOnly) {
  Rings r(2, SampleFormatFloat);
  std::vector<float> a = Ramp(2000), b(2000, 0.5f);
  r.PutFloat(0, a);
  r.PutFloat(1, b);
  StreamMixer m;
  ASSERT_EQ(m.MixerSetup(2, r.ptrs.data(), 44100, 1, 4096, true, 44100, SampleFormatFloat, true), 1);
  ASSERT_EQ(m.FillInputs(), 2000);
  ASSERT_EQ(m.Process(4096), 2000);
  for (int i = 0; i < 2000; ++i) ASSERT_EQ(F(m.GetBuffer())[i], a[i]);
}

TEST(StreamMixer, NothingIsReadUntilEveryRingHolds1024) {
  Rings r(2, SampleFormatFloat);
  r.PutFloat(0, std::vector<float>(1023, 0.1f));
  r.PutFloat(1, std::vector<float>(5000, 0.1f));
  StreamMixer m;
  ASSERT_EQ(m.MixerSetup(2, r.ptrs.data(), 44100, 2, 4096, true, 44100, SampleFormatFloat, true), 1);
  EXPECT_EQ(m.FillInputs(), 0);
  EXPECT_EQ(m.Process(4096), 0);
  EXPECT_EQ(r.owned[0]->Len(), 1023);
  EXPECT_EQ(r.owned[1]->Len(), 5000);
  // The final write of a recording takes the rest all the same.
  EXPECT_EQ(m.FillInputs(true), 1023);
  EXPECT_EQ(m.Process(4096, true), 1023);
  EXPECT_EQ(r.owned[0]->Len(), 0);
  EXPECT_EQ(r.owned[1]->Len(), 5000 - 1023);
}

TEST(StreamMixer, ThreeOrMoreInputsAreSummedIntoEveryChannelAndClip) {
  const struct {
    const char* what;
    SampleFormat format;
    double inputs[3];  // the three constant inputs, in the rings' format
    int outChannels;
    bool interleaved;
    int frame;        // where every output channel is looked at
    double expected;  // what it holds there, in that format
  } cases[] = {
      // 30000 + 10000 clips to 32767 before the third input is added.
      {"16-bit stereo", SampleFormatInt16, {30000, 10000, -30000}, 2, true, 0, 32767 - 30000},
      {"16-bit mono", SampleFormatInt16, {30000, 10000, 0}, 1, true, 500, 32767},
      {"float stereo, separate", SampleFormatFloat, {0.75, 0.75, 0.0}, 2, false, 7, 1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Rings r(3, c.format);
    for (int i = 0; i < 3; ++i) {
      if (c.format == SampleFormatInt16)
        r.PutShort(i, std::vector<std::int16_t>(1024, static_cast<std::int16_t>(c.inputs[i])));
      else
        r.PutFloat(i, std::vector<float>(1024, static_cast<float>(c.inputs[i])));
    }
    StreamMixer m;
    ASSERT_EQ(
        m.MixerSetup(3, r.ptrs.data(), 44100, c.outChannels, 1024, c.interleaved, 44100, c.format, true), 1);
    ASSERT_EQ(m.FillInputs(), 1024);
    ASSERT_EQ(m.Process(1024), 1024);
    for (int ch = 0; ch < c.outChannels; ++ch) {
      const SamplePtr buffer = c.interleaved ? m.GetBuffer() : m.GetChannelBuffer(ch);
      const int at = c.interleaved ? c.frame * c.outChannels + ch : c.frame;
      if (c.format == SampleFormatInt16)
        EXPECT_EQ(S(buffer)[at], static_cast<std::int16_t>(c.expected)) << "channel " << ch;
      else
        EXPECT_EQ(F(buffer)[at], static_cast<float>(c.expected)) << "channel " << ch;
    }
  }
}

TEST(StreamMixer, ProcessHandsOutAFillInBlocks) {
  Rings r(1, SampleFormatFloat);
  std::vector<float> in = Ramp(5000);
  r.PutFloat(0, in);
  StreamMixer m;
  ASSERT_EQ(m.MixerSetup(1, r.ptrs.data(), 44100, 1, 1152, true, 44100, SampleFormatFloat, true), 1);
  ASSERT_EQ(m.FillInputs(), 5000);
  std::vector<float> out;
  for (int n; (n = m.Process(1152)) > 0;) out.insert(out.end(), F(m.GetBuffer()), F(m.GetBuffer()) + n);
  EXPECT_EQ(out, in);
  EXPECT_NEAR(m.GetTime(), 5000 / 44100.0, 1e-12);
}

TEST(StreamMixer, AFillKeepsWhatWasNotConsumed) {
  Rings r(1, SampleFormatFloat);
  std::vector<float> in = Ramp(6000);
  r.PutFloat(0, std::vector<float>(in.begin(), in.begin() + 3000));
  StreamMixer m;
  ASSERT_EQ(m.MixerSetup(1, r.ptrs.data(), 44100, 1, 1000, true, 44100, SampleFormatFloat, true), 1);
  ASSERT_EQ(m.FillInputs(), 3000);
  std::vector<float> out;
  ASSERT_EQ(m.Process(1000), 1000);
  out.insert(out.end(), F(m.GetBuffer()), F(m.GetBuffer()) + 1000);
  r.PutFloat(0, std::vector<float>(in.begin() + 3000, in.end()));
  ASSERT_EQ(m.FillInputs(), 3000);
  for (int n; (n = m.Process(1000)) > 0;) out.insert(out.end(), F(m.GetBuffer()), F(m.GetBuffer()) + n);
  EXPECT_EQ(out, in);
}

// 48 kHz capture into a 44.1 kHz file: frequency and level kept, every frame out.
TEST(StreamMixer, ResamplesAndDrainsTheTail) {
  const double inRate = 48000, outRate = 44100;
  const int frames = 48000 * 2 + 777;
  std::vector<float> in = Sines(frames, inRate, {1000.0}, {0.5});
  Rings r(1, SampleFormatFloat, 400000);
  r.PutFloat(0, in);
  StreamMixer m;
  ASSERT_EQ(m.MixerSetup(1, r.ptrs.data(), inRate, 1, 4096, true, outRate, SampleFormatFloat, true), 1);
  EXPECT_TRUE(m.IsResampling());
  ASSERT_EQ(m.FillInputs(), frames);
  std::vector<float> out;
  for (int n; (n = m.Process(4096)) > 0;) out.insert(out.end(), F(m.GetBuffer()), F(m.GetBuffer()) + n);
  const std::size_t withoutDrain = out.size();
  for (int n; (n = m.Process(4096, true)) > 0;) out.insert(out.end(), F(m.GetBuffer()), F(m.GetBuffer()) + n);
  const double expected = frames * outRate / inRate;
  EXPECT_NEAR(static_cast<double>(out.size()), expected, 2.0);
  EXPECT_LT(static_cast<double>(withoutDrain), expected - 100) << "the queue and delay line hold a tail";
  EXPECT_NEAR(ZeroCrossingFrequency(out, outRate, 2000, out.size() - 2000), 1000.0, 0.05);
  EXPECT_NEAR(Rms(out, 2000, out.size() - 2000), 0.5 / std::sqrt(2.0), 0.005);
  EXPECT_NEAR(m.GetTime(), out.size() / outRate, 1e-9);
  // After the end the mixer stays empty.
  EXPECT_EQ(m.Process(4096, true), 0);
}

// Resampling across many fills, as the writers do it, loses nothing in the middle.
TEST(StreamMixer, ResamplingAcrossFillsIsContinuous) {
  const double inRate = 22050, outRate = 44100;
  const int frames = 22050 * 3;
  std::vector<float> in = Sines(frames, inRate, {441.0}, {0.8});
  Rings r(2, SampleFormatFloat, 200000);
  StreamMixer m;
  ASSERT_EQ(m.MixerSetup(2, r.ptrs.data(), inRate, 2, 1152, true, outRate, SampleFormatInt16, true), 1);
  std::vector<float> left;
  for (int pos = 0; pos < frames; pos += 3000) {
    std::vector<float> piece(in.begin() + pos, in.begin() + std::min(frames, pos + 3000));
    r.PutFloat(0, piece);
    r.PutFloat(1, piece);
    m.FillInputs(pos + 3000 >= frames);
    for (int n; (n = m.Process(1152, pos + 3000 >= frames)) > 0;)
      for (int i = 0; i < n; ++i) left.push_back(S(m.GetBuffer())[2 * i] / 32768.0f);
  }
  EXPECT_NEAR(static_cast<double>(left.size()), frames * 2.0, 2.0);
  // A gap or a repeat would show as a jump away from the sine: compare with the ideal.
  std::vector<float> ideal = Sines(static_cast<std::int64_t>(left.size()), outRate, {441.0}, {0.8});
  double best = 0;
  const std::int64_t lag =
      writertest::BestLag(ideal, left, 1000, static_cast<std::int64_t>(left.size()) - 3000, -80, 80, &best);
  EXPECT_GT(best, 0.9999);
  double worst = 0;
  for (std::size_t i = 1000; i + 2000 < left.size(); ++i)
    worst = std::max(worst, std::fabs(static_cast<double>(left[i + lag]) - ideal[i]));
  EXPECT_LT(worst, 0.01);
}

TEST(StreamMixer, ReleaseGoesBackToTheDefaults) {
  Rings r(2, SampleFormatFloat);
  StreamMixer m;
  ASSERT_EQ(m.MixerSetup(2, r.ptrs.data(), 32000, 1, 100, true, 48000, SampleFormatFloat, true), 1);
  m.Release();
  EXPECT_EQ(m.GetBuffer(), nullptr);
  EXPECT_EQ(m.GetInputCount(), 0);
  EXPECT_EQ(m.GetOutChannels(), 2);
  EXPECT_EQ(m.GetOutRate(), 44100.0);
}

TEST(StreamMixer, RefusesUnusableArguments) {
  Rings r(1, SampleFormatFloat);
  StreamMixer m;
  EXPECT_EQ(m.MixerSetup(0, r.ptrs.data(), 44100, 1, 100, true, 44100, SampleFormatFloat, true), 0);
  RingBuffer* none[1] = {nullptr};
  EXPECT_EQ(m.MixerSetup(1, none, 44100, 1, 100, true, 44100, SampleFormatFloat, true), 0);
  EXPECT_EQ(m.MixerSetup(1, r.ptrs.data(), 44100, 0, 100, true, 44100, SampleFormatFloat, true), 0);
}

}  // namespace
