// Import of the files libsndfile reads: sample values, rates, channel layout,
// and the files sox makes in many shapes, compared with sox's own decoding.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/audiofiles/import/import_test_support.h"

namespace {

using importtest::ImportTest;
using importtest::Samples;

class PCMImportTest : public ImportTest {};

TEST_F(PCMImportTest, EverySubtypeGivesBackTheExactSamples) {
  struct Case {
    const char* name;
    int format;
    int channels;
    int rate;
  } cases[] = {
      {"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000},
      {"s16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100},
      {"s24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 48000},
      {"s32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 1, 96000},
      {"f32.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 22050},
      {"s16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1, 11025},
      {"s24.au", SF_FORMAT_AU | SF_FORMAT_PCM_24, 2, 32000},
      {"s16.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2, 44100},
  };
  // More frames than one read and one block hold, ending in a partial block.
  const std::int64_t frames = 300000 + 17;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteSndfile(Path(c.name), c.format, c.channels, c.rate, frames));
    auto r = Import(Path(c.name));
    ASSERT_EQ(r.count, c.channels) << r.error;
    for (int ch = 0; ch < c.channels; ++ch) {
      const WaveTrack& t = *r.tracks[ch];
      EXPECT_EQ(t.GetSampleFormat(), SampleFormatFloat);
      EXPECT_EQ(t.GetRate(), c.rate);
      std::vector<float> s = Samples(t);
      ASSERT_EQ(static_cast<std::int64_t>(s.size()), frames);
      int bad = 0;
      for (std::int64_t i = 0; i < frames; ++i)
        if (s[i] != Value(i, ch) / 128.0f && bad++ < 3)
          ADD_FAILURE() << "channel " << ch << " sample " << i << ": " << s[i];
      EXPECT_EQ(bad, 0);
    }
  }
}

TEST_F(PCMImportTest, ChannelsBecomeLeftRightAndMonoTracks) {
  struct Case {
    int channels;
    std::vector<int> expected;  // channel of each track
    bool linked;                // the first track linked to the second
  } cases[] = {
      {1, {Track::MonoChannel}, false},
      {2, {Track::LeftChannel, Track::RightChannel}, true},
      {4, {Track::LeftChannel, Track::RightChannel, Track::MonoChannel, Track::MonoChannel}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.channels);
    const std::string path = Path("ch" + std::to_string(c.channels) + ".wav");
    ASSERT_TRUE(WriteSndfile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, c.channels, 44100, 1000));
    auto r = Import(path);
    ASSERT_EQ(r.count, c.channels);
    for (int i = 0; i < c.channels; ++i) {
      EXPECT_EQ(r.tracks[i]->GetChannel(), c.expected[i]) << "track " << i;
      EXPECT_EQ(r.tracks[i]->GetLinked(), c.linked && i == 0) << "track " << i;
    }
  }
}

TEST_F(PCMImportTest, AFileWithoutFramesGivesEmptyTracks) {
  ASSERT_TRUE(WriteSndfile(Path("empty.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 0));
  auto r = Import(Path("empty.wav"));
  ASSERT_EQ(r.count, 2) << r.error;
  EXPECT_EQ(r.tracks[0]->GetNumSamples(), 0);
  EXPECT_EQ(r.tracks[1]->GetNumSamples(), 0);
}

// Files in the shapes sox writes them (its own headers, 8 to 32 bits, float,
// up to 4 channels), imported and compared with sox's decoding of the same
// file to floats.
TEST_F(PCMImportTest, SoxFilesMatchSoxDecoding) {
  REQUIRE_PROGRAM("sox");
  struct Case {
    const char* name;
    const char* options;  // sox output options
    int channels;
    int rate;
  } cases[] = {
      {"a.wav", "-b 8", 1, 8000},
      {"b.wav", "-b 16", 2, 44100},
      {"c.wav", "-b 24", 4, 48000},
      {"d.wav", "-b 32", 2, 96000},
      {"e.wav", "-e floating-point -b 32", 2, 22050},
      {"f.aiff", "-b 16", 2, 44100},
      {"g.au", "-b 16", 1, 16000},
      {"h.flac", "-b 24", 2, 44100},
      {"i.w64", "-b 16", 1, 11025},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = Path(c.name);
    const std::string raw = file + ".f32";
    ASSERT_TRUE(importtest::Shell("sox -D -n -r " + std::to_string(c.rate) + " -c " +
                                  std::to_string(c.channels) + " " + c.options + " " + file +
                                  " synth 0.7 sine 440 sine 660 square 100 sine 1000 gain -3"));
    ASSERT_TRUE(importtest::Shell("sox -D " + file + " -t f32 " + raw));
    const std::vector<float> expected = importtest::ReadFloats(raw);
    auto r = Import(file);
    ASSERT_EQ(r.count, c.channels) << r.error;
    const std::size_t frames = expected.size() / c.channels;
    for (int ch = 0; ch < c.channels; ++ch) {
      EXPECT_EQ(r.tracks[ch]->GetRate(), c.rate);
      std::vector<float> s = Samples(*r.tracks[ch]);
      ASSERT_EQ(s.size(), frames) << "channel " << ch;
      double worst = 0.0;
      for (std::size_t i = 0; i < frames; ++i)
        worst = std::max(worst, std::fabs(double(s[i]) - expected[i * c.channels + ch]));
      EXPECT_LT(worst, 1e-6) << "channel " << ch;
    }
  }
}

}  // namespace
