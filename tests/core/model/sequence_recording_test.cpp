// While a recording appends on the buffer thread, the window draws the same sequence:
// the display's reads must never see a block array being moved.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "core/model/DirManager.h"
#include "core/model/Sequence.h"
#include "tests/support/native/TrackProject.h"

namespace {

TEST(SequenceWhileRecording, DisplayReadsRunSafelyBesideAppends) {
  testsupport::TrackProject project{1024};  // small blocks: the array grows often
  DirManager* dm = project.dirManager();
  {
    Sequence seq(dm, SampleFormatInt16);
    std::atomic<bool> done{false};
    std::thread recorder([&] {
      // Whole blocks, as a wave track hands them on.
      std::vector<std::int16_t> buffer(512, 1000);
      for (int i = 0; i < 400; ++i)
        ASSERT_TRUE(seq.Append(reinterpret_cast<ConstSamplePtr>(buffer.data()), SampleFormatInt16,
                               static_cast<std::int32_t>(buffer.size())));
      done = true;
    });
    std::vector<std::int16_t> samples(64);
    int reads = 0;
    while (!done || reads < 10) {
      std::int32_t n = seq.GetNumSamples();
      if (n >= 64) {
        ASSERT_TRUE(seq.Get(reinterpret_cast<SamplePtr>(samples.data()), SampleFormatInt16, n - 64, 64));
        EXPECT_EQ(samples[63], 1000);
        float mn = 0, mx = 0;
        ASSERT_TRUE(seq.GetMinMax(n - 64, 64, &mn, &mx));
        EXPECT_GT(mx, 0.0f);
      }
      ++reads;
      // The window redraws now and then, not in a tight loop.
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    recorder.join();
    EXPECT_EQ(seq.GetNumSamples(), 400 * 512);
  }
}

}  // namespace
