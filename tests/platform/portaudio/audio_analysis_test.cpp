// The signal checks the audio tests rely on, on signals made here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/native/AudioAnalysis.h"
#include "tests/support/native/TempFolder.h"

namespace {

using namespace audiotest;
using Range = std::pair<std::size_t, std::size_t>;

TEST(AudioAnalysis, MeasuresFrequencyLevelGapsAndSound) {
  std::vector<float> sine = MakeSine(1000, 44100, 88200, 0.5);
  PeriodStats clean = MeasurePeriods(sine, 44100);
  EXPECT_NEAR(clean.frequency, 1000.0, 0.05);  // sub-sample crossings, not 44 or 45 samples
  EXPECT_EQ(clean.irregular, 0u);
  EXPECT_NEAR(clean.periods, 1999u, 1u);
  EXPECT_NEAR(RmsDbfs(sine), -9.0309, 0.001);
  EXPECT_TRUE(std::isinf(RmsDbfs(std::vector<float>(100, 0.0f))));

  // A 50 ms dropout shows as an irregular period but leaves the frequency.
  std::fill(sine.begin() + 30000, sine.begin() + 32205, 0.0f);
  PeriodStats gap = MeasurePeriods(sine, 44100);
  EXPECT_NEAR(gap.frequency, 1000.0, 0.05);
  EXPECT_GE(gap.irregular, 1u);

  // Noise around zero (below the hysteresis) adds no crossings.
  std::vector<float> noisy = MakeSine(440, 44100, 44100, 0.5);
  for (std::size_t i = 0; i < noisy.size(); ++i) noisy[i] += (i % 2 ? 0.01f : -0.01f);
  EXPECT_NEAR(FrequencyByZeroCrossings(noisy, 44100), 440.0, 0.5);

  std::vector<float> burst(1000, 0.0f);
  burst[100] = 0.5f;
  burst[700] = -0.3f;
  EXPECT_EQ(FindSound(burst, 0.2f), Range(100, 701));
  EXPECT_EQ(FindSound(burst, 0.9f), Range(0, 0));
}

TEST(AudioAnalysis, WavFilesRoundTripAndUnfinishedOnesStillRead) {
  const testsupport::TempFolder tmp("tarvel-wav");
  const std::string& dir = tmp.path();

  WavData wav;
  wav.rate = 22050;
  wav.channels = 2;
  wav.samples = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 0.25f};
  ASSERT_TRUE(WriteWav(dir + "/a.wav", wav));
  WavData back;
  std::string error;
  ASSERT_TRUE(ReadWav(dir + "/a.wav", back, &error)) << error;
  EXPECT_EQ(back.rate, 22050);
  EXPECT_EQ(back.channels, 2);
  ASSERT_EQ(back.samples.size(), wav.samples.size());
  for (std::size_t i = 0; i < wav.samples.size(); ++i)
    EXPECT_NEAR(back.samples[i], wav.samples[i], 1.0 / 32767);
  EXPECT_EQ(back.Channel(1), (std::vector<float>{back.samples[1], back.samples[3], back.samples[5]}));

  // A writer that never wrote the data size: the samples up to the end count.
  {
    std::fstream f(dir + "/a.wav", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(40);
    f.write("\0\0\0\0", 4);
  }
  ASSERT_TRUE(ReadWav(dir + "/a.wav", back, &error)) << error;
  EXPECT_EQ(back.samples.size(), wav.samples.size());

  std::ofstream(dir + "/b.wav") << "not a wave file";
  EXPECT_FALSE(ReadWav(dir + "/b.wav", back, &error));
  EXPECT_NE(error.find("not a WAV"), std::string::npos);
  EXPECT_FALSE(ReadWav(dir + "/missing.wav", back, &error));
}

}  // namespace
