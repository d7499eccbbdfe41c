// The export's mix handed out ahead of the writer: whether mixed in blocks side by
// side or by one running mixer, it must be exactly what one mixer going through the
// range in blocks of the same size gives, cut at the range's length.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/model/Envelope.h"
#include "core/model/Mixer.h"
#include "audiofiles/export/ExportMixer.h"
#include "tests/audiofiles/export/export_test_support.h"

namespace {

using namespace exporttest;

class ExportMixerTest : public ExportFixture {
protected:
  std::vector<WaveTrack*> Tracks() { return project->GetTracks()->GetWaveTrackArray(false); }

  // Every byte one plain mixer gives over t0..t1 in blocks of `piece` frames, at most
  // frames.
  std::vector<std::vector<char>> Reference(double t0, double t1, int channels, int piece, bool interleaved,
                                           double rate, SampleFormat format, std::int64_t frames) {
    std::vector<WaveTrack*> tracks = Tracks();
    Mixer mixer(static_cast<int>(tracks.size()), tracks.data(), nullptr, t0, t1, channels, piece, interleaved,
                rate, format, true);
    return Collect([&](int max) { return mixer.Process(max); },
                   [&](int c) { return mixer.GetChannelBuffer(c); }, channels, piece, interleaved, format,
                   frames);
  }

  template <typename ProcessFn, typename BufferFn>
  static std::vector<std::vector<char>> Collect(ProcessFn process, BufferFn buffer, int channels, int piece,
                                                bool interleaved, SampleFormat format, std::int64_t frames) {
    const int buffers = interleaved ? 1 : channels;
    const std::size_t frameBytes = SampleSize(format) * (interleaved ? channels : 1);
    std::vector<std::vector<char>> out(buffers);
    std::int64_t got = 0;
    while (got < frames) {
      int n = process(piece);
      if (n == 0) break;
      n = static_cast<int>(std::min<std::int64_t>(n, frames - got));
      for (int b = 0; b < buffers; ++b) out[b].insert(out[b].end(), buffer(b), buffer(b) + n * frameBytes);
      got += n;
    }
    return out;
  }
};

TEST_F(ExportMixerTest, BlocksMixedSideBySideEqualOneMixerThroughTheRange) {
  AddSine(440.0, 0.7, 13.0, Track::LeftChannel, 44100.0, 0.2, SampleFormatInt16);
  WaveTrack* right = AddSine(660.0, 0.9, 12.0, Track::RightChannel, 44100.0, 0.0);
  // A gain curve across several blocks, and a pan, so that every block has its own
  // envelope values and gains to get right.
  right->GetEnvelope()->Insert(1.0, 1.0);
  right->GetEnvelope()->Insert(11.0, 0.1);
  right->SetPan(-0.3f);

  // A start between two samples, and pieces that do not divide the blocks evenly.
  const double t0 = 0.3 + 0.4 / 44100.0, t1 = 12.7;
  const std::int64_t frames = std::llround((t1 - t0) * 44100.0);
  const struct {
    int channels, piece;
    bool interleaved;
    SampleFormat format;
  } cases[] = {
      {2, 220500, true, SampleFormatInt16},
      {2, 1152, true, SampleFormatInt16},
      {1, 1152, true, SampleFormatInt16},
      {2, 8192, false, SampleFormatFloat},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " channels, pieces of " << c.piece);
    std::vector<WaveTrack*> tracks = Tracks();
    ExportMixer mixer(static_cast<int>(tracks.size()), tracks.data(), nullptr, t0, t1, c.channels, c.piece,
                      c.interleaved, 44100.0, c.format, 3);
    EXPECT_TRUE(mixer.MixesInParallel());
    EXPECT_EQ(mixer.GetBlockFrames() % c.piece, 0);
    const auto want =
        Reference(t0, t1, c.channels, mixer.GetBlockFrames(), c.interleaved, 44100.0, c.format, frames);
    const auto got = Collect([&](int max) { return mixer.Process(max); },
                             [&](int ch) { return mixer.GetChannelBuffer(ch); }, c.channels, c.piece,
                             c.interleaved, c.format, frames + 100000);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t b = 0; b < got.size(); ++b) {
      EXPECT_EQ(got[b].size(),
                static_cast<std::size_t>(frames) * SampleSize(c.format) * (c.interleaved ? c.channels : 1));
      EXPECT_TRUE(got[b] == want[b]) << "buffer " << b << " differs from one mixer's";
    }
    EXPECT_NEAR(mixer.GetCurrentTime(), t1, 1.0 / 44100.0);
    EXPECT_FALSE(mixer.Failed());
  }
}

// A track at another rate is resampled by one running mixer: the same samples, but no
// more than the range holds (the mixer itself fills its whole buffer at the end).
TEST_F(ExportMixerTest, ResampledTracksRunThroughOneMixerAndStopAtTheRangesEnd) {
  AddSine(440.0, 0.5, 7.0, Track::MonoChannel, 22050.0);
  const double t0 = 0.0, t1 = 6.0;
  const std::int64_t frames = std::llround(6.0 * 44100.0);
  std::vector<WaveTrack*> tracks = Tracks();
  ExportMixer mixer(static_cast<int>(tracks.size()), tracks.data(), nullptr, t0, t1, 2, 1152, true, 44100.0,
                    SampleFormatFloat);
  EXPECT_FALSE(mixer.MixesInParallel());
  const auto want = Reference(t0, t1, 2, mixer.GetBlockFrames(), true, 44100.0, SampleFormatFloat, frames);
  const auto got =
      Collect([&](int max) { return mixer.Process(max); }, [&](int ch) { return mixer.GetChannelBuffer(ch); },
              2, 1152, true, SampleFormatFloat, frames * 2);
  ASSERT_EQ(got[0].size(), static_cast<std::size_t>(frames) * 2 * sizeof(float));
  EXPECT_TRUE(got[0] == want[0]);
  EXPECT_EQ(mixer.Process(1152), 0);
}

// Stopping early (a cancel) with workers still busy ends cleanly.
TEST_F(ExportMixerTest, LeavingBeforeTheEndStopsTheWorkers) {
  AddStereoPair(30.0, 44100.0, 0.0, SampleFormatInt16);
  std::vector<WaveTrack*> tracks = Tracks();
  {
    ExportMixer mixer(static_cast<int>(tracks.size()), tracks.data(), nullptr, 0.0, 30.0, 2, 220500, true,
                      44100.0, SampleFormatInt16, 4);
    EXPECT_EQ(mixer.Process(220500), 220500);
  }
  ExportMixer empty(0, nullptr, nullptr, 0.0, 5.0, 2, 1024, true, 44100.0, SampleFormatInt16);
  EXPECT_EQ(empty.Process(1024), 0) << "no tracks, nothing to hand out";
}

}  // namespace
