// Equalization, FFT Filter and Noise Removal on tracks held in small block files, so
// every run crosses many block and chunk borders.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audiofiles/effects/EffectEqualization.h"
#include "audiofiles/effects/EffectFFTFilter.h"
#include "audiofiles/effects/EffectNoiseRemoval.h"
#include "core/model/Envelope.h"
#include "tests/audiofiles/effects/dsp_test_support.h"
#include "tests/audiofiles/effects/effect_test_support.h"

namespace {

using dsptest::Db;
using dsptest::Noise;
using dsptest::Rms;
using dsptest::Sine;
using dsptest::ToneAmplitude;

constexpr double kRate = 44100.0;

std::vector<float> Add(std::vector<float> a, const std::vector<float>& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) a[i] += b[i];
  return a;
}

class SpectralEffects : public effecttest::EffectProject {};

// Samples outside [from, to) must be exactly as they were; inside they may differ by
// the fraction `ripple` of their value (the overlapping windows do not add up to
// exactly 1).
void ExpectSameOutsideAndNear(const std::vector<float>& before, const std::vector<float>& after,
                              std::size_t from, std::size_t to, double ripple) {
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (i < from || i >= to)
      ASSERT_EQ(before[i], after[i]) << "outside the selection at " << i;
    else
      ASSERT_NEAR(before[i], after[i], ripple * std::fabs(before[i]) + 1e-5)
          << "inside the selection at " << i;
  }
}

// Mean power of the noise between 3 and 15 kHz in v[from, to), from single-bin DFTs
// of the Hann-windowed piece (the window keeps a loud tone elsewhere from leaking
// into the band).
double BandPower(const std::vector<float>& v, std::size_t from, std::size_t to) {
  std::vector<float> piece(v.begin() + from, v.begin() + to);
  for (std::size_t i = 0; i < piece.size(); ++i)
    piece[i] *= static_cast<float>(0.5 - 0.5 * std::cos(2.0 * M_PI * i / piece.size()));
  double sum = 0.0;
  int count = 0;
  for (double f = 3000.0; f < 15000.0; f += 97.0, ++count) {
    const double a = ToneAmplitude(piece, f, kRate);
    sum += a * a;
  }
  return sum / count;
}

TEST_F(SpectralEffects, EqualizationWithFlatGainsLeavesTheSelectionAsItWas) {
  WaveTrack* track = AddTrack(Noise(44100, 0.2, 7));
  const auto input = Samples(track);
  EffectEqualization eq;
  ASSERT_TRUE(Run(eq, 0.1, 0.7));
  // Only the ripple of the overlapping windows (their sum is not exactly 1).
  ExpectSameOutsideAndNear(input, Samples(track), 4410, 30870, 3e-4);
}

TEST_F(SpectralEffects, EqualizationFollowsItsCurveOnBothChannelsOfAPair) {
  // Tones at 500, 2000 and 8000 Hz; the curve is 0 dB up to 1 kHz, falls in a
  // straight line over log frequency to -20 dB at 4 kHz, and stays there.
  const std::size_t n = 66150;
  auto left = Add(Add(Sine(500, kRate, n, 0.2), Sine(2000, kRate, n, 0.2)), Sine(8000, kRate, n, 0.2));
  auto right = Add(Sine(500, kRate, n, 0.1, 1.0), Sine(8000, kRate, n, 0.3, 2.0));
  WaveTrack* l = AddTrack(left, kRate, Track::LeftChannel, true);
  WaveTrack* r = AddTrack(right, kRate, Track::RightChannel);
  EffectEqualization eq;
  ASSERT_TRUE(eq.SetCurve(kRate, {{1000.0, 0.0}, {4000.0, -20.0}}));
  double t0 = 0.0, t1 = 0.0;
  ASSERT_TRUE(Run(eq, 0.0, 1.5, &t0, &t1));
  EXPECT_DOUBLE_EQ(t1, 1.5);

  const auto outL = Samples(l), outR = Samples(r);
  ASSERT_EQ(outL.size(), n);
  struct Case {
    const std::vector<float>* in;
    const std::vector<float>* out;
    double freq, expectedDb;
  } cases[] = {
      {&left, &outL, 500, 0.0},  {&left, &outL, 2000, -10.0},  {&left, &outL, 8000, -20.0},
      {&right, &outR, 500, 0.0}, {&right, &outR, 8000, -20.0},
  };
  for (const Case& c : cases) {
    const double gain = ToneAmplitude(*c.out, c.freq, kRate, 11025, 55125) /
                        ToneAmplitude(*c.in, c.freq, kRate, 11025, 55125);
    EXPECT_NEAR(Db(gain), c.expectedDb, 0.3) << c.freq << " Hz";
  }
}

TEST_F(SpectralEffects, EqualizationRefusesAnImpossibleCurve) {
  EffectEqualization eq;
  eq.SetGain(10, 0.5f);
  EXPECT_FALSE(eq.SetCurve(kRate, {{0.0, -6.0}}));
  EXPECT_FALSE(eq.SetCurve(0.0, {{100.0, -6.0}}));
  EXPECT_FALSE(eq.SetCurve(kRate, {{100.0, NAN}}));
  EXPECT_FLOAT_EQ(eq.GetGain(10), 0.5f);
  EXPECT_TRUE(eq.SetCurve(kRate, {}));
  EXPECT_FLOAT_EQ(eq.GetGain(10), 1.0f);
}

TEST_F(SpectralEffects, FFTFilterWithTheFlatResponseChangesNothingUpToTheSelectionEnds) {
  // The default response gives gain 1.0 at every frequency: the first and the last
  // half frame of the selection must come out like the rest, not faded or skipped.
  WaveTrack* track = AddTrack(Noise(20000, 0.2, 3));
  EffectFFTFilter filter;
  for (int i = 0; i <= filter.GetWindowSize() / 2; ++i) ASSERT_FLOAT_EQ(filter.GetGains()[i], 1.0f);
  auto before = Samples(track);
  ASSERT_TRUE(Run(filter, 1000 / kRate, 15000 / kRate));
  ExpectSameOutsideAndNear(before, Samples(track), 1000, 15000, 7e-3);

  // A selection shorter than half a frame is filtered too.
  before = Samples(track);
  ASSERT_TRUE(Run(filter, 0.0, 50 / kRate));
  ExpectSameOutsideAndNear(before, Samples(track), 0, 50, 7e-3);
}

TEST_F(SpectralEffects, FFTFilterFollowsItsResponse) {
  // +12 dB up to a tenth of the half rate, falling to -12 dB at three tenths.
  const std::size_t n = 44100;
  auto input = Add(Add(Sine(1000, kRate, n, 0.05), Sine(4410, kRate, n, 0.05)), Sine(15000, kRate, n, 0.05));
  WaveTrack* track = AddTrack(input);
  EffectFFTFilter filter;
  Envelope& response = filter.GetResponse();
  response.Insert(0.0, 1.0);
  response.Insert(0.1, 1.0);
  response.Insert(0.3, 0.0);
  response.Insert(1.0, 0.0);
  ASSERT_TRUE(Run(filter, 0.0, 1.0));
  const auto out = Samples(track);
  struct Case {
    double freq, expectedDb, tol;
  } cases[] = {{1000, 12.0, 0.5}, {4410, 0.0, 1.5}, {15000, -12.0, 0.5}};
  for (const Case& c : cases) {
    const double gain =
        ToneAmplitude(out, c.freq, kRate, 4410, 39690) / ToneAmplitude(input, c.freq, kRate, 4410, 39690);
    EXPECT_NEAR(Db(gain), c.expectedDb, c.tol) << c.freq << " Hz";
  }
}

TEST_F(SpectralEffects, NoiseRemovalTakesAProfileThenGatesTheNoise) {
  // One second of noise alone, then a 1 kHz tone in the same noise.
  const std::size_t n = 88200;
  auto noise = Noise(n, 0.01, 11);
  auto tone = Sine(1000, kRate, n, 0.5);
  for (std::size_t i = 0; i < 44100; ++i) tone[i] = 0.0f;
  const auto input = Add(tone, noise);
  WaveTrack* track = AddTrack(input);

  EffectNoiseRemoval nr;
  ASSERT_TRUE(nr.GetProfileMode());
  EXPECT_EQ(nr.GetEffectAction(), "Creating Noise Profile");
  ASSERT_TRUE(Run(nr, 0.0, 1.0));
  EXPECT_EQ(Samples(track), input) << "a profile run changes no sample";
  ASSERT_TRUE(nr.HasProfile());
  EXPECT_FALSE(nr.GetProfileMode());
  EXPECT_EQ(nr.GetEffectAction(), "Removing Noise");
  // White noise of RMS 0.01: the mean power of a bin of a 2048-point frame is
  // 2048 x 0.0001, and the mean of the log of an exponentially distributed power
  // lies Euler's constant below the log of its mean (averaged over many bins, as
  // one bin's mean over 42 frames still wanders by about 0.2).
  double meanProfile = 0.0;
  for (int k = 100; k < 900; ++k) meanProfile += nr.GetProfile(k);
  EXPECT_NEAR(meanProfile / 800, std::log(2048 * 1e-4) - 0.5772, 0.05);

  ASSERT_TRUE(Run(nr, 0.0, 2.0));
  const auto out = Samples(track);
  const double noiseBefore = Rms(input, 8820, 39690), noiseAfter = Rms(out, 8820, 39690);
  EXPECT_LT(Db(noiseAfter / noiseBefore), -30.0) << "noise alone is gated";
  const double toneBefore = ToneAmplitude(input, 1000, kRate, 57330, 83790);
  const double toneAfter = ToneAmplitude(out, 1000, kRate, 57330, 83790);
  EXPECT_NEAR(Db(toneAfter / toneBefore), 0.0, 0.5) << "the tone passes";
  // Away from the tone the noise floor drops too.
  EXPECT_LT(10.0 * std::log10(BandPower(out, 57330, 83790) / BandPower(input, 57330, 83790)), -25.0);
}

TEST_F(SpectralEffects, NoiseRemovalRefusesWithoutAProfileAndKeepsItsProfileOnAShortRun) {
  const auto input = Noise(44100, 0.05, 5);
  WaveTrack* track = AddTrack(input);
  EffectNoiseRemoval nr;
  nr.SetProfileMode(false);
  EXPECT_FALSE(Run(nr, 0.0, 1.0)) << "nothing to gate by yet";
  EXPECT_EQ(Samples(track), input);

  nr.SetProfileMode(true);
  ASSERT_TRUE(Run(nr, 0.0, 0.5));
  const float profile = nr.GetProfile(100);
  nr.SetProfileMode(true);
  // 1000 samples: less than half a frame, so no frame to measure.
  EXPECT_FALSE(Run(nr, 0.0, 1000 / kRate));
  EXPECT_FLOAT_EQ(nr.GetProfile(100), profile);
  EXPECT_TRUE(nr.GetProfileMode());
}

TEST_F(SpectralEffects, NoiseRemovalNeverGatesABinThatHadNoPowerInTheProfile) {
  // A profile of digital silence measures nothing in any bin: afterwards every bin
  // counts as above the noise and the audio passes (after the gate's opening).
  WaveTrack* silent = AddTrack(std::vector<float>(20000, 0.0f));
  EffectNoiseRemoval nr;
  ASSERT_TRUE(Run(nr, 0.0, 20000 / kRate));
  EXPECT_TRUE(std::isinf(nr.GetProfile(10)) && nr.GetProfile(10) < 0);
  silent->SetSelected(false);

  const auto input = Sine(3000, kRate, 44100, 0.3);
  WaveTrack* track = AddTrack(input);
  ASSERT_TRUE(Run(nr, 0.0, 1.0));
  const auto out = Samples(track);
  EXPECT_NEAR(
      Db(ToneAmplitude(out, 3000, kRate, 11025, 33075) / ToneAmplitude(input, 3000, kRate, 11025, 33075)),
      0.0, 0.1);
}

}  // namespace
