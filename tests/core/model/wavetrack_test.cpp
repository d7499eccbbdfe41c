// Wave tracks over real block files: append and flush, the edits and their
// round trips, change counters, display caches, and the one-recording rule of
// the track list with tracks that hold blocks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/model/DirManager.h"
#include "core/model/Envelope.h"
#include "core/model/Sequence.h"
#include "core/model/TrackFactory.h"
#include "core/model/TrackList.h"
#include "core/model/WaveTrack.h"
#include "tests/support/native/TrackProject.h"

namespace {

std::int16_t Value(std::int64_t i) { return static_cast<std::int16_t>((i * 7919) % 20000 - 10000); }

class WaveTrackTest : public ::testing::Test {
protected:
  void TearDown() override {
    project.Close();
    EXPECT_EQ(DirManager::GetLiveCount(), 0) << "a track or manager was left alive";
  }

  // A 16-bit track at 1000 Hz holding Value(from) .. Value(from + n - 1).
  WaveTrack* MakeTrack(int n, int from = 0) {
    WaveTrack* t = factory->NewWaveTrack(SampleFormatInt16, 1000.0);
    std::vector<std::int16_t> s(n);
    for (int i = 0; i < n; ++i) s[i] = Value(from + i);
    EXPECT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(s.data()), SampleFormatInt16, n));
    EXPECT_TRUE(t->Flush());
    return t;
  }

  static std::vector<std::int16_t> Samples(const WaveTrack* t) {
    std::vector<std::int16_t> s(t->GetNumSamples());
    EXPECT_TRUE(t->Get(reinterpret_cast<SamplePtr>(s.data()), SampleFormatInt16,
                       t->TimeToSamples(t->GetOffset()), static_cast<std::int32_t>(s.size())));
    return s;
  }

  static std::vector<std::int16_t> Expected(int from, int to) {
    std::vector<std::int16_t> v;
    for (int i = from; i < to; ++i) v.push_back(Value(i));
    return v;
  }

  int BlockFilesOnDisk() const { return project.BlockFilesOnDisk(".tmp"); }

  const std::int32_t savedBlockBytes = Sequence::GetMaxDiskBlockSize();
  // Small blocks (16-bit: 256 to 512 samples) so that edits cross blocks.
  testsupport::TrackProject project{1024};
  const std::string folder = project.blocks();
  TrackFactory* factory = project.factory();
};

}  // namespace

TEST_F(WaveTrackTest, NewTracksAndTheFactoryDefaults) {
  std::unique_ptr<WaveTrack> t(factory->NewWaveTrack());
  EXPECT_EQ(t->GetSampleFormat(), SampleFormatInt16);
  EXPECT_EQ(t->GetRate(), 44100.0);
  EXPECT_EQ(t->GetName(), "Audio Track");
  EXPECT_EQ(t->GetKind(), Track::Wave);
  EXPECT_EQ(t->GetChangeCounter(), 0);
  EXPECT_EQ(t->GetHeight(), 136);
  EXPECT_EQ(t->GetChannel(), 2);
  float lo, hi;
  t->GetDisplayBounds(&lo, &hi);
  EXPECT_EQ(lo, -1.0f);
  EXPECT_EQ(hi, 1.0f);

  WaveTrack::SetDefaultRateFunction([] { return 48000; });
  std::unique_ptr<WaveTrack> n(
      factory->NewWaveTrack(SampleFormatFloat, std::numeric_limits<double>::quiet_NaN()));
  WaveTrack::SetDefaultRateFunction(nullptr);
  EXPECT_EQ(n->GetRate(), 48000.0);
  EXPECT_EQ(n->GetSampleFormat(), SampleFormatFloat);
}

TEST_F(WaveTrackTest, ChannelGainFollowsPan) {
  std::unique_ptr<WaveTrack> t(factory->NewWaveTrack());
  t->SetPan(-0.5f);
  EXPECT_FLOAT_EQ(t->GetChannelGain(0), 1.0f);
  EXPECT_FLOAT_EQ(t->GetChannelGain(1), 0.5f);
  t->SetPan(0.25f);
  t->SetGain(2.0f);
  EXPECT_FLOAT_EQ(t->GetChannelGain(0), 1.5f);
  EXPECT_FLOAT_EQ(t->GetChannelGain(1), 2.0f);
}

TEST_F(WaveTrackTest, AppendFillsWholeBlocksAndFlushWritesTheRest) {
  std::unique_ptr<WaveTrack> t(factory->NewWaveTrack(SampleFormatInt16, 1000.0));
  // Interleaved stereo, taken with stride 2 in uneven pieces.
  std::vector<std::int16_t> inter(2 * 1300);
  for (int i = 0; i < 1300; ++i) {
    inter[2 * i] = Value(i);
    inter[2 * i + 1] = -1;
  }
  int done = 0;
  for (int piece : {1, 77, 400, 522, 300}) {
    ASSERT_TRUE(
        t->Append(reinterpret_cast<ConstSamplePtr>(inter.data() + 2 * done), SampleFormatInt16, piece, 2));
    done += piece;
    EXPECT_EQ(t->GetNumSamples() % 512, 0) << "only whole blocks reach the sequence";
    EXPECT_EQ(t->GetNumSamples() + t->GetAppendLength(), done);
    EXPECT_DOUBLE_EQ(t->GetEndTime(), done / 1000.0);
  }
  EXPECT_EQ(t->GetNumSamples(), 1024);
  EXPECT_EQ(t->GetEnvelope()->GetTrackLen(), 1.024);
  ASSERT_TRUE(t->Flush());
  EXPECT_EQ(t->GetNumSamples(), 1300);
  EXPECT_EQ(t->GetAppendLength(), 0);
  EXPECT_DOUBLE_EQ(t->GetEnvelope()->GetTrackLen(), 1.3);
  EXPECT_EQ(Samples(t.get()), Expected(0, 1300));
  EXPECT_TRUE(t->Flush());  // nothing waits: nothing happens
}

TEST_F(WaveTrackTest, EndTimeCountsWaitingSamples) {
  Sequence::SetMaxDiskBlockSize(savedBlockBytes);  // real block sizes
  std::unique_ptr<WaveTrack> t(factory->NewWaveTrack(SampleFormatFloat, 44100.0));
  std::vector<float> s(44100, 0.25f);
  ASSERT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(s.data()), SampleFormatFloat, 44100));
  ASSERT_TRUE(t->Flush());
  ASSERT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(s.data()), SampleFormatFloat, 22050));
  t->SetOffset(1.0);
  EXPECT_EQ(t->GetNumSamples(), 44100);
  EXPECT_EQ(t->GetAppendLength(), 22050);
  EXPECT_DOUBLE_EQ(t->GetEndTime(), 2.5);
}

// A block that cannot be written makes Append and Flush fail, and the samples
// are kept until a write succeeds.
TEST_F(WaveTrackTest, FailedBlockWritesFailAppendAndLoseNothing) {
  std::unique_ptr<WaveTrack> t(factory->NewWaveTrack(SampleFormatInt16, 1000.0));
  std::vector<std::int16_t> s = Expected(0, 700);
  ASSERT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(s.data()), SampleFormatInt16, 300));

  ASSERT_TRUE(DirManager::SetTempDir((project / "missing").c_str()));  // no such folder
  const int counter = t->GetChangeCounter();
  EXPECT_FALSE(t->Append(reinterpret_cast<ConstSamplePtr>(s.data() + 300), SampleFormatInt16, 212));
  EXPECT_EQ(t->GetNumSamples(), 0);
  EXPECT_EQ(t->GetAppendLength(), 512);
  EXPECT_FALSE(t->Flush());
  EXPECT_EQ(t->GetAppendLength(), 512);
  EXPECT_EQ(t->GetChangeCounter(), counter);

  ASSERT_TRUE(DirManager::SetTempDir(folder.c_str()));
  EXPECT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(s.data() + 512), SampleFormatInt16, 188));
  EXPECT_TRUE(t->Flush());
  EXPECT_EQ(Samples(t.get()), s);
}

TEST_F(WaveTrackTest, GetAndSetOutsideTheTrackAndTimeToSamples) {
  std::unique_ptr<WaveTrack> t(MakeTrack(1000));
  t->SetOffset(0.5);  // first sample is absolute index 500
  EXPECT_EQ(t->TimeToSamplesClip(0.2), 0);
  EXPECT_EQ(t->TimeToSamplesClip(0.75), 250);
  EXPECT_EQ(t->TimeToSamplesClip(9.0), 1000);
  EXPECT_EQ(t->TimeToSamples(0.75), 750);

  std::vector<std::int16_t> buf(300, 7);
  ASSERT_TRUE(t->Get(reinterpret_cast<SamplePtr>(buf.data()), SampleFormatInt16, 400, 300));
  for (int i = 0; i < 100; ++i) ASSERT_EQ(buf[i], 0) << i;
  for (int i = 100; i < 300; ++i) ASSERT_EQ(buf[i], Value(i - 100)) << i;
  ASSERT_TRUE(t->Get(reinterpret_cast<SamplePtr>(buf.data()), SampleFormatInt16, 1400, 300));
  for (int i = 0; i < 100; ++i) ASSERT_EQ(buf[i], Value(900 + i));
  for (int i = 100; i < 300; ++i) ASSERT_EQ(buf[i], 0);

  // Set writes only the part inside the track.
  std::vector<std::int16_t> ones(200, 1);
  const int counter = t->GetChangeCounter();
  ASSERT_TRUE(t->Set(reinterpret_cast<ConstSamplePtr>(ones.data()), SampleFormatInt16, 400, 200));
  EXPECT_EQ(t->GetChangeCounter(), counter + 1);
  auto s = Samples(t.get());
  ASSERT_EQ(s.size(), 1000u);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(s[i], 1);
  EXPECT_EQ(s[100], Value(100));
  EXPECT_TRUE(t->Set(reinterpret_cast<ConstSamplePtr>(ones.data()), SampleFormatInt16, 0, 200));
  EXPECT_EQ(t->GetNumSamples(), 1000);

  EXPECT_EQ(t->GetBestBlockSize(500), t->GetSequence()->GetBestBlockSize(0));
  EXPECT_EQ(t->GetBestBlockSize(0), t->GetMaxBlockSize());
}

TEST_F(WaveTrackTest, CutAndPasteBackRestoresTheTrack) {
  std::unique_ptr<WaveTrack> t(MakeTrack(3000));
  t->GetEnvelope()->Insert(1.0, 0.5);  // a point inside the cut range
  const int counter = t->GetChangeCounter();

  Track* clip = nullptr;
  ASSERT_TRUE(t->Cut(0.7, 1.9, &clip));
  std::unique_ptr<Track> owned(clip);
  EXPECT_GT(t->GetChangeCounter(), counter);
  auto* c = static_cast<WaveTrack*>(clip);
  EXPECT_EQ(Samples(c), Expected(700, 1900));
  EXPECT_EQ(c->GetRate(), 1000.0);
  EXPECT_EQ(c->GetName(), t->GetName());
  EXPECT_NEAR(c->GetEnvelope()->GetTrackLen(), 1.2, 1e-9);
  EXPECT_NEAR(c->GetEnvelope()->GetValue(1.0), 0.5, 1e-9);

  auto rest = Expected(0, 700);
  auto tail = Expected(1900, 3000);
  rest.insert(rest.end(), tail.begin(), tail.end());
  EXPECT_EQ(Samples(t.get()), rest);
  EXPECT_NEAR(t->GetEnvelope()->GetTrackLen(), 1.8, 1e-9);
  EXPECT_TRUE(t->GetSequence()->ConsistencyCheck("test"));

  ASSERT_TRUE(t->Paste(0.7, clip));
  EXPECT_EQ(Samples(t.get()), Expected(0, 3000));
  EXPECT_NEAR(t->GetEnvelope()->GetTrackLen(), 3.0, 1e-9);
  EXPECT_NEAR(t->GetEnvelope()->GetValue(1.0), 0.5, 1e-6);
  EXPECT_TRUE(t->GetSequence()->ConsistencyCheck("test"));
}

TEST_F(WaveTrackTest, CopyLeavesTheSourceAndSharesItsBlocks) {
  std::unique_ptr<WaveTrack> t(MakeTrack(2048));
  const int files = BlockFilesOnDisk();
  const int counter = t->GetChangeCounter();
  Track* clip = nullptr;
  ASSERT_TRUE(t->Copy(0.512, 1.536, &clip));  // exactly the middle two blocks
  std::unique_ptr<Track> owned(clip);
  EXPECT_EQ(t->GetChangeCounter(), counter + 1);
  EXPECT_EQ(Samples(static_cast<WaveTrack*>(clip)), Expected(512, 1536));
  EXPECT_EQ(Samples(t.get()), Expected(0, 2048));
  EXPECT_EQ(BlockFilesOnDisk(), files) << "whole blocks are shared, not copied";

  // Pasting it at the end appends.
  ASSERT_TRUE(t->Paste(t->GetEndTime(), clip));
  auto all = Expected(0, 2048);
  auto more = Expected(512, 1536);
  all.insert(all.end(), more.begin(), more.end());
  EXPECT_EQ(Samples(t.get()), all);
}

TEST_F(WaveTrackTest, ClearSilenceAndInsertSilence) {
  std::unique_ptr<WaveTrack> t(MakeTrack(2000));
  ASSERT_TRUE(t->Clear(0.1, 0.6));
  auto expect = Expected(0, 100);
  auto tail = Expected(600, 2000);
  expect.insert(expect.end(), tail.begin(), tail.end());
  EXPECT_EQ(Samples(t.get()), expect);
  EXPECT_NEAR(t->GetEndTime(), 1.5, 1e-9);

  ASSERT_TRUE(t->Silence(0.2, 0.45));
  for (int i = 200; i < 450; ++i) expect[i] = 0;
  EXPECT_EQ(Samples(t.get()), expect);

  ASSERT_TRUE(t->InsertSilence(1.0, 0.3));
  expect.insert(expect.begin() + 1000, 300, 0);
  EXPECT_EQ(Samples(t.get()), expect);
  EXPECT_NEAR(t->GetEnvelope()->GetTrackLen(), 1.8, 1e-9);
  EXPECT_TRUE(t->GetSequence()->ConsistencyCheck("test"));

  // Reversed ranges fail and change nothing.
  const int counter = t->GetChangeCounter();
  Track* none = nullptr;
  EXPECT_FALSE(t->Cut(0.5, 0.4, &none));
  EXPECT_FALSE(t->Copy(0.5, 0.4, &none));
  EXPECT_FALSE(t->Clear(0.5, 0.4));
  EXPECT_FALSE(t->Silence(0.5, 0.4));
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(t->GetChangeCounter(), counter);
  EXPECT_EQ(Samples(t.get()), expect);
}

TEST_F(WaveTrackTest, PasteConvertsAnotherSampleFormat) {
  std::unique_ptr<WaveTrack> t(MakeTrack(600));
  std::unique_ptr<WaveTrack> f(factory->NewWaveTrack(SampleFormatFloat, 1000.0));
  std::vector<float> half(100, 0.5f);
  ASSERT_TRUE(f->Append(reinterpret_cast<ConstSamplePtr>(half.data()), SampleFormatFloat, 100));
  ASSERT_TRUE(f->Flush());
  ASSERT_TRUE(t->Paste(0.3, f.get()));
  auto s = Samples(t.get());
  ASSERT_EQ(s.size(), 700u);
  EXPECT_EQ(s[299], Value(299));
  EXPECT_EQ(s[300], 16384);  // 0.5 * 32767.5, rounded to even
  EXPECT_EQ(s[400], Value(300));
  for (const WaveBlock& b : t->GetSequence()->GetBlockArray()) {
    float lo, hi, rms;
    b.f->GetMinMax(&lo, &hi, &rms);  // readable as this track's blocks
  }
  EXPECT_TRUE(t->GetSequence()->ConsistencyCheck("test"));
}

TEST_F(WaveTrackTest, DuplicateSharesBlocksAndGetsItsOwnCounter) {
  std::unique_ptr<WaveTrack> t(MakeTrack(1500));
  t->SetOffset(2.0);
  t->SetPan(0.5f);
  t->SetName("voice");
  t->GetEnvelope()->Insert(0.5, 0.25);
  const int files = BlockFilesOnDisk();

  std::unique_ptr<Track> d(t->Duplicate());
  auto* w = static_cast<WaveTrack*>(d.get());
  EXPECT_NE(w->GetChangeCounter(), t->GetChangeCounter());
  EXPECT_EQ(BlockFilesOnDisk(), files);
  EXPECT_EQ(Samples(w), Samples(t.get()));
  EXPECT_EQ(w->GetOffset(), 2.0);
  EXPECT_EQ(w->GetPan(), 0.5f);
  EXPECT_EQ(w->GetName(), "voice");
  EXPECT_EQ(w->GetEnvelope()->GetOffset(), 2.0);
  EXPECT_NEAR(w->GetEnvelope()->GetTrackLen(), 1.5, 1e-9);
  EXPECT_NEAR(w->GetEnvelope()->GetValue(2.5), 0.25, 1e-9);

  // Destroying the original keeps the shared blocks for the duplicate.
  t.reset();
  EXPECT_EQ(BlockFilesOnDisk(), files);
  EXPECT_EQ(Samples(w), Expected(0, 1500));
  d.reset();
  EXPECT_EQ(BlockFilesOnDisk(), 0);
}

TEST_F(WaveTrackTest, MinMaxOfARange) {
  std::unique_ptr<WaveTrack> t(MakeTrack(1000));
  float lo = 1, hi = 1;
  EXPECT_FALSE(t->GetMinMax(&lo, &hi, 0.5, 0.4));
  EXPECT_EQ(lo, 0.0f);
  EXPECT_TRUE(t->GetMinMax(&lo, &hi, 0.4, 0.4));
  EXPECT_EQ(hi, 0.0f);
  ASSERT_TRUE(t->GetMinMax(&lo, &hi, 0.1, 0.3));
  float elo = 1e9f, ehi = -1e9f;
  for (int i = 100; i < 300; ++i) {
    elo = std::min(elo, (Value(i) + 0.5f) / 32767.5f);
    ehi = std::max(ehi, (Value(i) + 0.5f) / 32767.5f);
  }
  EXPECT_NEAR(lo, elo, 1e-4);
  EXPECT_NEAR(hi, ehi, 1e-4);
}

TEST_F(WaveTrackTest, WaveDisplayColumnsAndTheirCache) {
  std::unique_ptr<WaveTrack> t(MakeTrack(2000));
  const int n = 20;  // 100 samples per column at 10 pixels per second
  std::vector<float> mn(n), mx(n), rms(n);
  std::vector<std::int32_t> where(n + 1);
  ASSERT_TRUE(t->GetWaveDisplay(mn.data(), mx.data(), rms.data(), where.data(), n, 0.0, 10.0));
  for (int x = 0; x < n; ++x) {
    EXPECT_EQ(where[x], x * 100);
    float lo = 1e9f, hi = -1e9f;
    for (int i = x * 100; i < (x + 1) * 100; ++i) {
      lo = std::min(lo, (Value(i) + 0.5f) / 32767.5f);
      hi = std::max(hi, (Value(i) + 0.5f) / 32767.5f);
    }
    EXPECT_NEAR(mn[x], lo, 1e-4) << x;
    EXPECT_NEAR(mx[x], hi, 1e-4) << x;
  }
  const float firstMax = mx[0];

  // Samples changed behind the track's back are not seen while the cache
  // serves: the same view, then a scroll by whole columns.
  std::vector<std::int16_t> loud(100, 32767);
  ASSERT_TRUE(
      t->GetSequence()->Set(reinterpret_cast<ConstSamplePtr>(loud.data()), SampleFormatInt16, 0, 100));
  ASSERT_TRUE(
      t->GetSequence()->Set(reinterpret_cast<ConstSamplePtr>(loud.data()), SampleFormatInt16, 500, 100));
  ASSERT_TRUE(t->GetWaveDisplay(mn.data(), mx.data(), rms.data(), where.data(), n, 0.0, 10.0));
  EXPECT_EQ(mx[0], firstMax);
  ASSERT_TRUE(t->GetWaveDisplay(mn.data(), mx.data(), rms.data(), where.data(), n, 0.3, 10.0));
  EXPECT_EQ(where[0], 300);
  EXPECT_LT(mx[2], 0.9f) << "column 500..599 reused from before the scroll";
  EXPECT_EQ(mx[n - 1], 0.0f) << "columns past the end are empty";

  // An edit through the track makes every column fresh.
  ASSERT_TRUE(t->Silence(1.5, 1.6));
  ASSERT_TRUE(t->GetWaveDisplay(mn.data(), mx.data(), rms.data(), where.data(), n, 0.0, 10.0));
  EXPECT_NEAR(mx[0], 1.0f, 1e-4);
  EXPECT_NEAR(mx[5], 1.0f, 1e-4);
  EXPECT_EQ(mx[15], 0.0f);
  EXPECT_EQ(mn[15], 0.0f);
}

TEST_F(WaveTrackTest, WaveDisplayWhileRecordingComputesOnlyTheNewestColumns) {
  std::unique_ptr<WaveTrack> t(factory->NewWaveTrack(SampleFormatInt16, 1000.0));
  std::vector<std::int16_t> chunk(5000);
  for (int i = 0; i < 5000; ++i) chunk[i] = Value(i);
  ASSERT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(chunk.data()), SampleFormatInt16, 5000));
  ASSERT_GT(t->GetAppendLength(), 0);  // some samples wait

  const int n = 100;  // 100 samples per column
  std::vector<float> mn(n), mx(n), rms(n);
  std::vector<std::int32_t> where(n + 1);
  ASSERT_TRUE(t->GetWaveDisplay(mn.data(), mx.data(), rms.data(), where.data(), n, 0.0, 10.0));
  // The waiting samples are drawn too.
  const int last = (5000 - 1) / 100;
  EXPECT_NE(mx[last], 0.0f);
  EXPECT_EQ(mx[last + 1], 0.0f);

  // Change old samples behind the track's back, then append more: the old
  // columns come from the cache, the new ones are computed.
  std::vector<std::int16_t> loud(100, 32767);
  ASSERT_TRUE(
      t->GetSequence()->Set(reinterpret_cast<ConstSamplePtr>(loud.data()), SampleFormatInt16, 0, 100));
  for (int i = 0; i < 3000; ++i) chunk[i] = 16384;
  ASSERT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(chunk.data()), SampleFormatInt16, 3000));
  ASSERT_TRUE(t->GetWaveDisplay(mn.data(), mx.data(), rms.data(), where.data(), n, 0.0, 10.0));
  EXPECT_LT(mx[0], 0.9f) << "an old column was recomputed";
  EXPECT_NEAR(mx[60], 0.5f, 1e-4);
  EXPECT_NEAR(mx[79], 0.5f, 1e-4);
  EXPECT_EQ(mx[80], 0.0f);
}

// A view repainted while a recording grows keeps the columns it computed from samples
// still waiting to be appended; whatever was kept, each picture equals the one of a
// track that never drew, also after the waiting samples went into blocks (and columns
// made from them gained their rms).
TEST_F(WaveTrackTest, WaveDisplayWhileRecordingEqualsAFreshDisplayAfterEveryAppend) {
  // Blocks of 32768 samples: many columns' samples wait before they go into a block,
  // where wide columns are then drawn from the block's 256-sample summaries.
  Sequence::SetMaxDiskBlockSize(65536);
  struct Restore {
    std::int32_t bytes;
    ~Restore() { Sequence::SetMaxDiskBlockSize(bytes); }
  } restore{1024};
  // One track drawn at each zoom (a track keeps the columns of one zoom): 100 and
  // 1000 samples a column.
  const double zooms[] = {10.0, 1.0};
  std::unique_ptr<WaveTrack> drawn[] = {
      std::unique_ptr<WaveTrack>(factory->NewWaveTrack(SampleFormatInt16, 1000.0)),
      std::unique_ptr<WaveTrack>(factory->NewWaveTrack(SampleFormatInt16, 1000.0))};
  const int n = 400;
  std::vector<float> mn(n), mx(n), rms(n), freshMin(n), freshMax(n), freshRms(n);
  std::vector<std::int32_t> where(n + 1), freshWhere(n + 1);
  std::vector<std::int16_t> all;
  bool sawWaiting = false, sawBlocksGrow = false;
  for (int step = 0; step < 40; ++step) {
    std::vector<std::int16_t> chunk(2731 + 397 * (step % 5));
    // A slow ramp: the extremes of a column depend on exactly which samples it takes.
    for (size_t i = 0; i < chunk.size(); ++i)
      chunk[i] = static_cast<std::int16_t>(static_cast<int>((all.size() + i) % 30000) - 15000);
    all.insert(all.end(), chunk.begin(), chunk.end());
    std::unique_ptr<WaveTrack> fresh(factory->NewWaveTrack(SampleFormatInt16, 1000.0));
    ASSERT_TRUE(fresh->Append(reinterpret_cast<ConstSamplePtr>(all.data()), SampleFormatInt16,
                              static_cast<std::int32_t>(all.size())));
    for (int z = 0; z < 2; ++z) {
      WaveTrack* t = drawn[z].get();
      const std::int64_t blocks = t->GetSequence()->GetNumSamples();
      ASSERT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(chunk.data()), SampleFormatInt16,
                            static_cast<std::int32_t>(chunk.size())));
      sawWaiting = sawWaiting || t->GetAppendLength() > 0;
      sawBlocksGrow = sawBlocksGrow || (blocks > 0 && t->GetSequence()->GetNumSamples() > blocks);
      ASSERT_EQ(fresh->GetSequence()->GetNumSamples(), t->GetSequence()->GetNumSamples());
      ASSERT_TRUE(t->GetWaveDisplay(mn.data(), mx.data(), rms.data(), where.data(), n, 0.0, zooms[z]));
      ASSERT_TRUE(fresh->GetWaveDisplay(freshMin.data(), freshMax.data(), freshRms.data(), freshWhere.data(),
                                        n, 0.0, zooms[z]));
      for (int x = 0; x < n; ++x) {
        ASSERT_EQ(mn[x], freshMin[x]) << "step " << step << " column " << x << " at " << zooms[z];
        ASSERT_EQ(mx[x], freshMax[x]) << "step " << step << " column " << x << " at " << zooms[z];
        ASSERT_EQ(rms[x], freshRms[x]) << "step " << step << " column " << x << " at " << zooms[z];
      }
    }
  }
  EXPECT_TRUE(sawWaiting);
  EXPECT_TRUE(sawBlocksGrow);
}

TEST_F(WaveTrackTest, SpectrogramOfASine) {
  // 1000 Hz at 8000 Hz: bin 32 of a 256-point window; with a top of 8000 Hz
  // capped at the 128 bins below 4000 Hz, row 32 of 128 rows.
  std::unique_ptr<WaveTrack> t(factory->NewWaveTrack(SampleFormatFloat, 8000.0));
  std::vector<float> s(4000);
  for (int i = 0; i < 4000; ++i) s[i] = float(std::sin(2 * M_PI * 1000.0 * i / 8000.0));
  ASSERT_TRUE(t->Append(reinterpret_cast<ConstSamplePtr>(s.data()), SampleFormatFloat, 4000));
  ASSERT_TRUE(t->Flush());

  const int n = 5, bins = 128;
  std::vector<float> out(n * bins);
  std::vector<std::int32_t> where(n + 1);
  ASSERT_TRUE(t->GetSpectrogram(out.data(), where.data(), n, bins, 0.0, 8.0, false));
  EXPECT_EQ(where[1], 1000);
  for (int x = 0; x < 4; ++x) {
    EXPECT_FLOAT_EQ(out[x * bins + 32], 1.0f) << x;
    EXPECT_LT(out[x * bins + 60], 0.5f) << x;
  }
  for (int b = 0; b < bins; ++b) EXPECT_EQ(out[4 * bins + b], 0.0f) << "column at the end";

  // Served from the cache until the track changes.
  std::vector<float> zeros(4000, 0.0f);
  ASSERT_TRUE(
      t->GetSequence()->Set(reinterpret_cast<ConstSamplePtr>(zeros.data()), SampleFormatFloat, 0, 4000));
  ASSERT_TRUE(t->GetSpectrogram(out.data(), where.data(), n, bins, 0.0, 8.0, false));
  EXPECT_FLOAT_EQ(out[32], 1.0f);
  t->MarkChanged();
  ASSERT_TRUE(t->GetSpectrogram(out.data(), where.data(), n, bins, 0.0, 8.0, false));
  EXPECT_EQ(out[32], 0.0f);
}

TEST_F(WaveTrackTest, RestoreContentPutsBackASavedCopy) {
  std::unique_ptr<WaveTrack> t(MakeTrack(1200));
  std::unique_ptr<WaveTrack> saved(static_cast<WaveTrack*>(t->Duplicate()));
  ASSERT_TRUE(t->Clear(0.1, 0.9));
  ASSERT_TRUE(t->Silence(0.0, 0.2));
  const int counter = t->GetChangeCounter();
  t->RestoreContent(*saved);
  EXPECT_EQ(Samples(t.get()), Expected(0, 1200));
  EXPECT_NE(t->GetChangeCounter(), counter);
  EXPECT_NEAR(t->GetEnvelope()->GetTrackLen(), 1.2, 1e-9);
}

// A project's list holding one recording receives a new stereo recording one
// track at a time: both channels must arrive, and the old track must go with
// its block files instead of being lost with them on disk.
TEST_F(WaveTrackTest, NewStereoAudioReplacesTheProjectAudioWholeAndFreesTheOld) {
  TrackList project;
  project.Add(MakeTrack(2000));
  const int oldFiles = BlockFilesOnDisk();
  ASSERT_GT(oldFiles, 0);

  WaveTrack* left = MakeTrack(600, 10);
  WaveTrack* right = MakeTrack(600, 20);
  left->SetLinked(true);
  left->SetChannel(Track::LeftChannel);
  right->SetChannel(Track::RightChannel);
  const int newFiles = BlockFilesOnDisk() - oldFiles;
  project.Add(left);
  project.Add(right);

  TrackListIterator it(&project);
  EXPECT_EQ(it.First(), left);
  EXPECT_EQ(it.Next(), right);
  EXPECT_EQ(it.Next(), nullptr);
  EXPECT_EQ(BlockFilesOnDisk(), newFiles) << "the replaced track's blocks leaked";

  int count = 0;
  WaveTrack** tracks = nullptr;
  left->SetSelected(true);
  right->SetSelected(true);
  right->SetExcluded(true);
  project.GetWaveTracks(true, &count, &tracks);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(tracks[0], left);
  delete[] tracks;
  EXPECT_EQ(project.GetWaveTrackArray(true).size(), 2u);
  EXPECT_EQ(project.GetWaveTrackArray(false).size(), 2u);
  EXPECT_NEAR(project.GetEndTime(), 0.6, 1e-9);

  project.Clear(true);
  EXPECT_EQ(BlockFilesOnDisk(), 0);
}
