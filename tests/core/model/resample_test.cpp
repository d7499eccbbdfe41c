// The one-channel converter: factors it accepts and refuses, conversion of a known
// sine, the end of the input.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/model/Resample.h"

namespace {

TEST(Resample, ConvertsASineAndEmptiesAtTheEnd) {
  Resample r(true, 2.0, 2.0);
  ASSERT_TRUE(r.Ok());
  EXPECT_EQ(Resample::GetMethod(), 2);
  std::vector<float> in(10000);
  for (int i = 0; i < 10000; ++i) in[i] = static_cast<float>(0.5 * std::sin(2 * M_PI * 100.0 * i / 8000.0));
  std::vector<float> out(30000);
  int produced = 0, pos = 0;
  while (pos < 10000) {
    int used = 0;
    const int n = std::min(1024, 10000 - pos);
    produced += r.Process(2.0, in.data() + pos, n, false, &used, out.data() + produced, 30000 - produced);
    pos += used;
  }
  const int before = produced;
  for (int n, used;
       (n = r.Process(2.0, in.data(), 0, true, &used, out.data() + produced, 30000 - produced)) > 0;)
    produced += n;
  EXPECT_GT(produced, before) << "the delay line is handed out at the end";
  EXPECT_NEAR(produced, 20000, 2);
  // 100 Hz at 16000 Hz: 160 samples a period.
  for (int i = 2000; i < 18000; i += 997)
    EXPECT_NEAR(out[i], 0.5 * std::sin(2 * M_PI * 100.0 * i / 16000.0), 0.01) << i;

  // After Reset it starts over.
  r.Reset();
  int used = 0;
  EXPECT_GE(r.Process(2.0, in.data(), 1024, false, &used, out.data(), 30000), 0);
  EXPECT_GT(used, 0);
}

TEST(Resample, FactorsOutsideATwelfthToTwelveGetNoConverter) {
  for (auto [lo, hi] : std::vector<std::pair<double, double>>{{1.0 / 13, 1.0}, {1.0, 12.5}, {NAN, 1.0}}) {
    testing::internal::CaptureStderr();
    Resample r(true, lo, hi);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(err, "Libsamplerate only supports resampling factors\nbetween 1/12 and 12\n");
    float in[16] = {}, out[64];
    int used = 7;
    EXPECT_EQ(r.Process(1.0, in, 16, false, &used, out, 64), -1);
    EXPECT_EQ(used, 0);
  }
  Resample edge(false, 1.0 / 12.0, 12.0);
  EXPECT_TRUE(edge.Ok());
}

TEST(Resample, ALibraryErrorIsReportedAndProducesNothing) {
  Resample r(true, 1.0, 1.0);
  float in[1024] = {}, out[4096];
  int used = 0;
  testing::internal::CaptureStderr();
  EXPECT_EQ(r.Process(1000.0, in, 1024, false, &used, out, 4096), 0);  // beyond the library's range
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(used, 0);
  EXPECT_EQ(err.rfind("Libsamplerate error: ", 0), 0u) << err;
}

}  // namespace
