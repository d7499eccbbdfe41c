// The mixer over real wave tracks: gains, pan and envelopes against values computed
// here, channel routing, clipping, the end of the range, resampling, the time track,
// and converters that cannot or will not work.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>
#include <vector>

#include "core/model/DirManager.h"
#include "core/model/Envelope.h"
#include "core/model/Mixer.h"
#include "core/model/Sequence.h"
#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"
#include "tests/support/native/TrackProject.h"
#include "tests/support/native/AudioAnalysis.h"

namespace {

using audiotest::Rms;
using audiotest::ZeroCrossingFrequency;

constexpr double kPi = 3.14159265358979323846;

// A time track: speed between lower and upper percent along its envelope.
class TestTimeTrack : public Track, public MixerTimeWarp {
public:
  TestTimeTrack(int lower, int upper, double w) : Track(nullptr), lower_(lower), upper_(upper) {
    env_.Flatten(w);
  }
  Track* Duplicate() const override { return new TestTimeTrack(*this); }
  int GetKind() const override { return Time; }
  const Envelope* GetWarpEnvelope() const override { return &env_; }
  int GetRangeLower() const override { return lower_; }
  int GetRangeUpper() const override { return upper_; }

private:
  int lower_, upper_;
  Envelope env_;
};

class MixerTest : public ::testing::Test {
protected:
  void TearDown() override { tracks.clear(); }

  // A float track with samples f(i), i = 0 .. n-1, at rate, starting at offset.
  template <class F>
  WaveTrack* Make(SampleFormat format, double rate, int n, F f, double offset = 0.0) {
    WaveTrack* t = factory->NewWaveTrack(format, rate);
    std::vector<float> s(n);
    for (int i = 0; i < n; ++i) s[i] = static_cast<float>(f(i));
    EXPECT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(s.data()), SampleFormatFloat, n));
    EXPECT_TRUE(t->Flush());
    t->SetOffset(offset);
    tracks.emplace_back(t);
    return t;
  }
  WaveTrack* Constant(double value, double rate, int n, SampleFormat format = SampleFormatFloat) {
    return Make(format, rate, n, [value](int) { return value; });
  }
  WaveTrack* Sine(double freq, double amp, double rate, int n) {
    return Make(SampleFormatFloat, rate, n, [=](int i) { return amp * std::sin(2 * kPi * freq * i / rate); });
  }

  // Everything the mixer gives for one channel (interleaved buffer or not).
  static std::vector<float> Drain(Mixer& m, int channels, int channel, bool interleaved, int block) {
    std::vector<float> out;
    for (int n; (n = m.Process(block)) > 0;) {
      const float* b =
          reinterpret_cast<const float*>(interleaved ? m.GetBuffer() : m.GetChannelBuffer(channel));
      for (int i = 0; i < n; ++i) out.push_back(interleaved ? b[i * channels + channel] : b[i]);
    }
    return out;
  }

  testsupport::TrackProject project;
  TrackFactory* factory = project.factory();
  std::vector<std::unique_ptr<WaveTrack>> tracks;
};

TEST_F(MixerTest, GainPanAndEnvelopeShapeTheSamples) {
  WaveTrack* t = Make(SampleFormatFloat, 1000.0, 2000, [](int i) { return 0.001 * (i % 500) - 0.25; });
  t->SetGain(0.8f);
  t->SetPan(0.5f);
  Envelope* env = t->GetEnvelope();
  env->SetTrackLen(2.0);
  env->Insert(0.0, 0.2);
  env->Insert(1.0, 1.0);
  env->Insert(2.0, 0.5);
  WaveTrack* list[] = {t};
  Mixer m2(1, list, nullptr, 0.0, 2.0, 2, 300, false, 1000.0, SampleFormatFloat);
  std::vector<float> l, r;
  for (int n; (n = m2.Process(300)) > 0;)
    for (int i = 0; i < n; ++i) {
      l.push_back(reinterpret_cast<const float*>(m2.GetChannelBuffer(0))[i]);
      r.push_back(reinterpret_cast<const float*>(m2.GetChannelBuffer(1))[i]);
    }
  ASSERT_EQ(l.size(), 2000u);
  EXPECT_NEAR(m2.GetCurrentTime(), 2.0, 1e-12);
  for (int i = 0; i < 2000; i += 7) {
    const double x = 0.001 * (i % 500) - 0.25;
    const double e = env->GetValue(i / 1000.0);
    ASSERT_NEAR(l[i], x * e * 0.8 * 0.5, 1e-6) << i;  // pan right takes from the left
    ASSERT_NEAR(r[i], x * e * 0.8, 1e-6) << i;
  }

  // Playback applies the gains itself.
  Mixer m3(1, list, nullptr, 0.0, 2.0, 1, 2000, true, 1000.0, SampleFormatFloat);
  m3.ApplyTrackGains(false);
  ASSERT_EQ(m3.Process(2000), 2000);
  EXPECT_NEAR(reinterpret_cast<const float*>(m3.GetBuffer())[1500], (0.001 * 0 - 0.25) * env->GetValue(1.5),
              1e-6);
}

TEST_F(MixerTest, StereoPairRoutesToTwoChannelsOrAddsIntoOne) {
  WaveTrack* l = Constant(0.25, 44100, 1000);
  WaveTrack* r = Constant(-0.5, 44100, 1000);
  l->SetChannel(Track::LeftChannel);
  r->SetChannel(Track::RightChannel);
  WaveTrack* list[] = {l, r};
  {
    Mixer m(2, list, nullptr, 0.0, 1000 / 44100.0, 2, 1000, true, 44100, SampleFormatFloat);
    ASSERT_EQ(m.Process(1000), 1000);
    const float* b = reinterpret_cast<const float*>(m.GetBuffer());
    EXPECT_FLOAT_EQ(b[0], 0.25f);
    EXPECT_FLOAT_EQ(b[1], -0.5f);
    EXPECT_FLOAT_EQ(b[1998], 0.25f);
    EXPECT_FLOAT_EQ(b[1999], -0.5f);
  }
  {
    Mixer m(2, list, nullptr, 0.0, 1000 / 44100.0, 1, 1000, true, 44100, SampleFormatFloat);
    ASSERT_EQ(m.Process(1000), 1000);
    EXPECT_FLOAT_EQ(reinterpret_cast<const float*>(m.GetBuffer())[500], -0.25f);
  }
}

TEST_F(MixerTest, SumsClipInEveryFormat) {
  {
    WaveTrack* list[] = {Constant(0.8, 44100, 100), Constant(0.8, 44100, 100)};
    Mixer m(2, list, nullptr, 0.0, 100 / 44100.0, 1, 100, true, 44100, SampleFormatFloat);
    ASSERT_EQ(m.Process(100), 100);
    EXPECT_EQ(reinterpret_cast<const float*>(m.GetBuffer())[50], 1.0f);
  }
  {
    const double v = 30000 / 32767.5;
    WaveTrack* list[] = {Constant(v, 44100, 100, SampleFormatInt16),
                         Constant(v, 44100, 100, SampleFormatInt16)};
    Mixer m(2, list, nullptr, 0.0, 100 / 44100.0, 1, 100, true, 44100, SampleFormatInt16);
    ASSERT_EQ(m.Process(100), 100);
    EXPECT_EQ(reinterpret_cast<const std::int16_t*>(m.GetBuffer())[50], 32767);
  }
  {
    WaveTrack* list[] = {Constant(-0.7, 44100, 100), Constant(-0.7, 44100, 100)};
    Mixer m(2, list, nullptr, 0.0, 100 / 44100.0, 1, 100, true, 44100, SampleFormatInt24);
    ASSERT_EQ(m.Process(100), 100);
    EXPECT_EQ(reinterpret_cast<const std::int32_t*>(m.GetBuffer())[50], -8388608);
  }
}

TEST_F(MixerTest, ARangeInsideTheTrackStopsAtItsEnd) {
  WaveTrack* t = Make(SampleFormatFloat, 44100, 44100 * 2, [](int i) { return (i % 1000) / 1000.0; });
  WaveTrack* list[] = {t};
  Mixer m(1, list, nullptr, 1.0, 1.5, 1, 4096, true, 44100, SampleFormatFloat);
  std::vector<float> out = Drain(m, 1, 0, true, 4096);
  ASSERT_EQ(out.size(), 22050u);
  EXPECT_FLOAT_EQ(out[0], (44100 % 1000) / 1000.0f);
  EXPECT_FLOAT_EQ(out[22049], ((44100 + 22049) % 1000) / 1000.0f);
  EXPECT_NEAR(m.GetCurrentTime(), 1.5, 1e-9);
  EXPECT_EQ(m.Process(4096), 0);

  // Rewound, the same again.
  m.Restart();
  EXPECT_EQ(m.GetCurrentTime(), 1.0);
  EXPECT_EQ(Drain(m, 1, 0, true, 4096), out);

  Mixer empty(1, list, nullptr, 1.0, 1.0 + 1e-9, 1, 4096, true, 44100, SampleFormatFloat);
  EXPECT_EQ(empty.Process(4096), 0);
}

TEST_F(MixerTest, ATrackAtAnotherRateIsResampled) {
  WaveTrack* t = Sine(1000.0, 0.5, 22050, 22050 * 2);
  t->GetEnvelope()->Flatten(0.5);
  WaveTrack* list[] = {t};
  Mixer m(1, list, nullptr, 0.0, 2.0, 1, 4096, true, 44100, SampleFormatFloat);
  std::vector<float> out = Drain(m, 1, 0, true, 4096);
  EXPECT_GE(out.size(), 88200u);
  EXPECT_LT(out.size(), 88200u + 4096);
  EXPECT_NEAR(ZeroCrossingFrequency(out, 44100, 1000, 86000), 1000.0, 0.05);
  EXPECT_NEAR(Rms(out, 1000, 86000), 0.25 / std::sqrt(2.0), 0.002);
}

TEST_F(MixerTest, ATimeTrackWarpsTheSpeed) {
  WaveTrack* t = Sine(441.0, 0.5, 44100, 44100 * 2);
  TestTimeTrack half(50, 100, 0.0);  // speed 50 %: everything sounds an octave lower
  WaveTrack* list[] = {t};
  Mixer m(1, list, &half, 0.0, 2.0, 1, 4096, true, 44100, SampleFormatFloat);
  std::vector<float> out = Drain(m, 1, 0, true, 4096);
  EXPECT_NEAR(ZeroCrossingFrequency(out, 44100, 2000, 80000), 220.5, 0.05);
}

// A converter that refuses the factor it is handed makes no progress; the mix ends
// instead of spinning.
TEST_F(MixerTest, AConverterThatMakesNoProgressEndsTheMix) {
  WaveTrack* t = Sine(441.0, 0.5, 44100, 44100);
  // Range 50..100 % makes a converter; the envelope value asks for 0.1 % speed, a
  // factor of 1000, which the converter refuses on every call.
  TestTimeTrack stuck(50, 100, -0.998);
  WaveTrack* list[] = {t};
  auto result = std::async(std::launch::async, [&] {
    Mixer m(1, list, &stuck, 0.0, 1.0, 1, 4096, true, 44100, SampleFormatFloat);
    return m.Process(4096);
  });
  if (result.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    std::fprintf(stderr, "the mixer spins\n");
    std::_Exit(1);  // the spinning thread cannot be stopped
  }
  EXPECT_EQ(result.get(), 0);
}

// A rate the converter cannot reach leaves that track silent; the others play.
TEST_F(MixerTest, ATrackWithoutConverterIsSilent) {
  WaveTrack* slow = Constant(0.5, 1000, 1000);  // factor 44.1
  WaveTrack* fine = Constant(0.25, 44100, 44100);
  WaveTrack* list[] = {slow, fine};
  Mixer m(2, list, nullptr, 0.0, 1.0, 1, 4096, true, 44100, SampleFormatFloat);
  std::vector<float> out = Drain(m, 1, 0, true, 4096);
  ASSERT_EQ(out.size(), 44100u);
  EXPECT_FLOAT_EQ(out[100], 0.25f);
  EXPECT_FLOAT_EQ(out[40000], 0.25f);
}

}  // namespace
