// Recording into block files on a disk that fills up for real: the channels keep
// what the disk can still take of what was captured, in step.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/model/Sequence.h"
#include "core/model/TrackFactory.h"
#include "core/model/WaveTrack.h"
#include "tests/support/native/SmallDisk.h"
#include "tests/support/native/TrackProject.h"

namespace {

constexpr std::int32_t kBlockBytes = 65536;  // blocks of 32768 16-bit samples
constexpr std::int32_t kBlockSamples = kBlockBytes / 2;
constexpr std::int32_t kPass = 13230;  // what the buffer thread moves at a time (0.3 s)
constexpr std::int64_t kPage = 4096;
// A full block file on the small disk: the samples, the summary and header, in pages.
constexpr std::int64_t kBlockFileBytes = (kBlockBytes + 3200 + kPage - 1) / kPage * kPage;

std::int16_t Sample(int channel, std::int64_t i) {
  return static_cast<std::int16_t>(((i * 7919 + channel * 5003) % 60001) - 30000);
}

// Records two channels pass by pass as the buffer thread does, until a block cannot
// be written; then flushes them in step. Returns the lengths written when the disk
// refused, the lengths kept, the samples that differ from the captured ones, the
// free bytes left and whether nothing was lost.
std::vector<std::int64_t> RecordUntilFull(const std::string& disk, std::size_t freeBytes) {
  testsupport::TrackProject project{kBlockBytes, disk};
  if (!testsupport::LeaveFree(disk, freeBytes)) return {};
  WaveTrack* left = project.factory()->NewWaveTrack(SampleFormatInt16, 44100.0);
  WaveTrack* right = project.factory()->NewWaveTrack(SampleFormatInt16, 44100.0);
  const std::vector<WaveTrack*> pair{left, right};
  std::vector<std::int16_t> pass(kPass);
  bool failed = false;
  for (std::int64_t at = 0; !failed && at < 100 * kPass; at += kPass) {
    for (int c = 0; c < 2; ++c) {
      for (int i = 0; i < kPass; ++i) pass[i] = Sample(c, at + i);
      if (!pair[c]->Append(reinterpret_cast<ConstSamplePtr>(pass.data()), SampleFormatInt16, kPass))
        failed = true;
    }
  }
  const std::int64_t leftAtFailure = left->GetNumSamples(), rightAtFailure = right->GetNumSamples();
  const bool whole = WaveTrack::FlushInStep(pair);
  std::int64_t wrong = 0;
  for (int c = 0; c < 2; ++c) {
    std::vector<std::int16_t> got(pair[c]->GetNumSamples());
    if (!pair[c]->Get(reinterpret_cast<SamplePtr>(got.data()), SampleFormatInt16, 0,
                      static_cast<std::int32_t>(got.size())))
      return {};
    for (std::size_t i = 0; i < got.size(); ++i) wrong += got[i] != Sample(c, static_cast<std::int64_t>(i));
  }
  std::vector<std::int64_t> out{leftAtFailure,          rightAtFailure, left->GetNumSamples(),
                                right->GetNumSamples(), wrong,          testsupport::FreeBytes(disk),
                                whole ? 1 : 0,          failed ? 1 : 0};
  delete left;
  delete right;
  return out;
}

// Room for one channel's next block and a half more, not for both: the left
// channel's block goes in, the right one's is refused. Both channels keep the same
// length, more than the blocks written whole on both, and the disk is left nearly
// full rather than a block's room unused.
TEST(WaveTrackDiskFull, ChannelsKeepWhatTheDiskTakesInStep) {
  const testsupport::ChildResult r = testsupport::RunOnSmallDisk(
      4 << 20, [](const std::string& disk) { return RecordUntilFull(disk, 3 * kBlockFileBytes / 2); });
  if (!r.available) GTEST_SKIP() << "no small disk here: " << r.why;
  ASSERT_EQ(r.numbers.size(), 8u) << "the recording could not be set up on the small disk";
  const std::int64_t leftAtFailure = r.numbers[0], rightAtFailure = r.numbers[1];
  const std::int64_t left = r.numbers[2], right = r.numbers[3];
  EXPECT_EQ(r.numbers[7], 1) << "the disk filled up";
  EXPECT_EQ(leftAtFailure, kBlockSamples) << "the left block fitted";
  EXPECT_EQ(rightAtFailure, 0) << "the right one did not";
  EXPECT_EQ(left, right) << "the channels end in step";
  EXPECT_GT(left, kBlockSamples / 2) << "the room of one and a half blocks holds more than half a block each";
  EXPECT_EQ(r.numbers[4], 0) << "samples that differ from the captured ones";
  EXPECT_LT(r.numbers[5], kBlockFileBytes / 2) << "free bytes left";
  EXPECT_EQ(r.numbers[6], 0) << "what did not fit is reported";
}

}  // namespace
