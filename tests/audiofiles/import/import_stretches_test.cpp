// Long files imported with the helper threads: MP3 and Ogg Vorbis decoded in
// stretches at once, and the blocks of every format written by the helpers, give
// exactly the tracks of one pass over the file (samples and blocks), also when the
// data is damaged near a cut. Cancel, damage and a disk that takes no blocks end such
// an import as they end one pass.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "audiofiles/import/ImportMP3.h"
#include "audiofiles/import/ImportMP3Stretches.h"
#include "audiofiles/import/ImportWorkers.h"
#include "core/model/Sequence.h"
#include "tests/audiofiles/import/import_test_support.h"

namespace {

using importtest::CancelAt;
using importtest::ImportTest;
using importtest::ReadBytes;
using importtest::Samples;
using importtest::Shell;
using importtest::WriteBytes;

// The import settings while it lives.
class Concurrency {
public:
  explicit Concurrency(const ImportConcurrency& c) : mSaved(GetImportConcurrency()) {
    SetImportConcurrency(c);
  }
  ~Concurrency() { SetImportConcurrency(mSaved); }

  // Everything on the calling thread, in one pass.
  static ImportConcurrency OnePass() {
    ImportConcurrency c;
    c.minParallelSamples = std::numeric_limits<std::int64_t>::max();
    c.minHelpedSamples = std::numeric_limits<std::int64_t>::max();
    return c;
  }
  // Short stretches on a few helpers, and helpers for the blocks of any file.
  static ImportConcurrency Stretches(std::int64_t samples) {
    ImportConcurrency c;
    c.threads = 3;
    c.stretchSamples = samples;
    c.minParallelSamples = 0;
    c.minHelpedSamples = 0;
    return c;
  }

private:
  ImportConcurrency mSaved;
};

// The bytes of a track's samples and the lengths of its blocks.
struct TrackImage {
  double rate = 0;
  SampleFormat format = SampleFormatFloat;
  int channel = 0;
  bool linked = false;
  std::vector<char> bytes;
  std::vector<std::int32_t> blocks;
};

TrackImage Image(const WaveTrack& t) {
  TrackImage image;
  image.rate = t.GetRate();
  image.format = t.GetSampleFormat();
  image.channel = t.GetChannel();
  image.linked = t.GetLinked();
  image.bytes.resize(static_cast<std::size_t>(t.GetNumSamples()) * SampleSize(image.format));
  if (!image.bytes.empty()) {
    EXPECT_TRUE(t.Get(image.bytes.data(), image.format, 0, static_cast<std::int32_t>(t.GetNumSamples())));
  }
  for (const WaveBlock& b : t.GetSequence()->GetBlockArray()) image.blocks.push_back(b.f->GetLength());
  return image;
}

class StretchImportTest : public ImportTest {
protected:
  // Music-like sound (noise under tones): the encoders use their bit reservoir.
  std::string Source(const std::string& name, int channels, int rate, double seconds) {
    const std::string wav = Path(name + ".wav");
    std::string synth = "pinknoise";
    for (int c = 1; c < channels; ++c) synth += " sine " + std::to_string(220 * (c + 1));
    EXPECT_TRUE(Shell("sox -D -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                      " -b 16 " + wav + " synth " + std::to_string(seconds) + " " + synth + " gain -9"));
    return wav;
  }
  std::string Mp3(const std::string& name, int channels, int rate, double seconds, const std::string& lame) {
    const std::string mp3 = Path(name);
    EXPECT_TRUE(Shell("lame --quiet " + lame + " " + Source(name, channels, rate, seconds) + " " + mp3));
    return mp3;
  }
  std::string Ogg(const std::string& name, int channels, int rate, double seconds) {
    const std::string ogg = Path(name);
    EXPECT_TRUE(Shell("oggenc -Q " + Source(name, channels, rate, seconds) + " -o " + ogg));
    return ogg;
  }

  std::vector<TrackImage> ImportWith(const std::string& path, const ImportConcurrency& c, std::string* error,
                                     int* count) {
    Concurrency scope(c);
    auto r = Import(path);
    *error = r.error;
    *count = r.count;
    std::vector<TrackImage> images;
    for (auto& t : r.tracks) images.push_back(Image(*t));
    return images;
  }

  // The file imported in stretches gives the tracks of one pass, byte for byte and
  // block for block.
  void ExpectSameAsOnePass(const std::string& path, std::int64_t stretchSamples) {
    std::string onePassError, stretchError;
    int onePassCount = 0, stretchCount = 0;
    const auto onePass = ImportWith(path, Concurrency::OnePass(), &onePassError, &onePassCount);
    const auto stretched =
        ImportWith(path, Concurrency::Stretches(stretchSamples), &stretchError, &stretchCount);
    ASSERT_GT(onePassCount, 0) << onePassError;
    ASSERT_EQ(stretchCount, onePassCount) << stretchError;
    for (int i = 0; i < onePassCount; ++i) {
      SCOPED_TRACE("track " + std::to_string(i));
      const TrackImage &a = onePass[i], &b = stretched[i];
      EXPECT_EQ(b.rate, a.rate);
      EXPECT_EQ(b.format, a.format);
      EXPECT_EQ(b.channel, a.channel);
      EXPECT_EQ(b.linked, a.linked);
      ASSERT_EQ(b.bytes.size(), a.bytes.size());
      EXPECT_TRUE(b.bytes == a.bytes) << "the samples differ";
      EXPECT_EQ(b.blocks, a.blocks);
      EXPECT_GT(a.blocks.size(), 2u) << "too short to show the helpers' blocks";
    }
  }
};

TEST_F(StretchImportTest, CompressedFilesDecodedInStretchesGiveTheSamplesOfOnePass) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  REQUIRE_PROGRAM("oggenc");
  // Small blocks, so that a few seconds make many.
  testsupport::TrackProject small(1 << 16);
  factory = small.factory();
  struct Case {
    const char* name;
    const char* kind;  // "mp3" or "ogg"
    int channels;
    int rate;
    const char* lame;
  } cases[] = {
      {"cbr.mp3", "mp3", 2, 44100, "-b 128"},
      {"vbr.mp3", "mp3", 2, 44100, "-V 2"},
      {"cbr-untagged.mp3", "mp3", 2, 44100, "-t -b 160"},
      {"vbr-untagged.mp3", "mp3", 2, 48000, "-t -V 5"},
      {"protected.mp3", "mp3", 2, 32000, "-p -b 96"},
      {"mono.mp3", "mp3", 1, 44100, "-m m -b 64"},
      {"mpeg2.mp3", "mp3", 2, 22050, "-b 64"},
      {"mpeg2-mono.mp3", "mp3", 1, 16000, "-m m -b 32"},
      {"mpeg25.mp3", "mp3", 1, 8000, "-m m -b 16"},
      {"mpeg25-stereo.mp3", "mp3", 2, 11025, "-b 32"},
      {"mono.ogg", "ogg", 1, 22050, nullptr},
      {"stereo.ogg", "ogg", 2, 44100, nullptr},
      {"surround.ogg", "ogg", 6, 48000, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = std::string(c.kind) == "mp3" ? Mp3(c.name, c.channels, c.rate, 9.0, c.lame)
                                                          : Ogg(c.name, c.channels, c.rate, 9.0);
    // Stretches of a few dozen frames, cut at odd places.
    ExpectSameAsOnePass(path, 17000);
  }
}

// Only the first stream of a chained Ogg Vorbis file is imported; its last stretch
// ends where the next stream begins.
TEST_F(StretchImportTest, AChainedOggFileGivesItsFirstStreamInStretchesToo) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("oggenc");
  testsupport::TrackProject small(1 << 16);
  factory = small.factory();
  std::vector<unsigned char> chained = ReadBytes(Ogg("first.ogg", 2, 44100, 7.0));
  const std::vector<unsigned char> second = ReadBytes(Ogg("second.ogg", 1, 22050, 3.0));
  chained.insert(chained.end(), second.begin(), second.end());
  WriteBytes(Path("chained.ogg"), chained);
  ExpectSameAsOnePass(Path("chained.ogg"), 20000);
}

// Damage near the cuts: a stretch whose decoding does not reach the state of one pass
// by its cut is decoded on from the stretch before, so even then the samples are
// those of one pass.
TEST_F(StretchImportTest, DamagedMp3DataGivesTheSamplesOfOnePass) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  testsupport::TrackProject small(1 << 16);
  factory = small.factory();
  const std::string clean = Mp3("clean.mp3", 2, 44100, 9.0, "-b 128");
  std::vector<unsigned char> bytes = ReadBytes(clean);

  // The cuts the import makes, and damage just before and after some of them: bytes
  // of frame data and of frame headers.
  ImportConcurrency settings = Concurrency::Stretches(17000);
  MP3StretchPlan plan;
  {
    std::FILE* f = std::fopen(clean.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::int64_t begin = 0, end = 0, skip = 0;
    std::size_t holdBack = 0;
    MP3ImportFile::FindAudioRange(f, static_cast<std::int64_t>(bytes.size()), &begin, &end);
    MP3ImportFile::SkipInfoFrame(f, &begin, end, &skip, &holdBack);
    ASSERT_TRUE(PlanMP3Stretches(fileno(f), begin, end, settings, &plan));
    std::fclose(f);
  }
  ASSERT_GT(plan.Count(), 8);
  std::mt19937 random(7);
  for (int k = 1; k < plan.Count(); k += 2) {
    const std::size_t cut = static_cast<std::size_t>(plan.cuts[k]);
    for (std::size_t at : {cut - 300, cut + 1, cut + 40, cut + 900})
      if (at < bytes.size()) bytes[at] ^= static_cast<unsigned char>(1 + random() % 255);
  }
  WriteBytes(Path("damaged.mp3"), bytes);
  ExpectSameAsOnePass(Path("damaged.mp3"), 17000);
}

// The mechanism behind it: on a clean file every stretch begins with exactly the
// frames and samples that the stretch before decoded past its end. A stretch whose
// decoding starts right at its cut (without the frames before it) does not, and is
// decoded on from the stretch before instead, giving one pass's samples.
TEST_F(StretchImportTest, EachStretchBeginsWhereTheOneBeforeEndsOrIsDecodedOnFromIt) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  for (const char* lame : {"-b 128", "-V 0", "-m m -b 32 --resample 22.05"}) {
    SCOPED_TRACE(lame);
    const std::string mp3 = Mp3("clean.mp3", 2, 44100, 6.0, lame);
    std::FILE* f = std::fopen(mp3.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    const int fd = fileno(f);
    const std::int64_t size = static_cast<std::int64_t>(ReadBytes(mp3).size());
    MP3StretchPlan plan, whole;
    ASSERT_TRUE(PlanMP3Stretches(fd, 0, size, Concurrency::Stretches(15000), &plan));
    ASSERT_GT(plan.Count(), 4);
    whole = plan;
    whole.cuts.resize(1);
    whole.leadIns.resize(1);
    const auto onePass = DecodeMP3Stretch(fd, whole, 0, nullptr, [] { return false; })->left;

    for (bool leadIns : {true, false}) {
      SCOPED_TRACE(leadIns ? "with lead-ins" : "without lead-ins");
      MP3StretchPlan p = plan;
      if (!leadIns)
        for (int k = 1; k < p.Count(); k += 2) p.leadIns[k] = p.cuts[k];
      std::vector<float> joined;
      std::unique_ptr<MP3Stretch> previous;
      int decodedOn = 0;
      for (int k = 0; k < p.Count(); ++k) {
        std::unique_ptr<MP3Stretch> s = DecodeMP3Stretch(fd, p, k, nullptr, [] { return false; });
        // Without the frames before it, a stretch's first frames lack their data.
        if (leadIns) {
          EXPECT_EQ(s->firstOffset, p.cuts[k]) << "stretch " << k;
        }
        if (previous && !MP3StretchesJoin(*previous, *s)) {
          s = ContinueMP3Stretch(*previous, p, k);
          ++decodedOn;
        }
        joined.insert(joined.end(), s->left.begin(), s->left.end());
        previous = std::move(s);
      }
      EXPECT_EQ(previous->ended, MP3FrameReader::Result::End);
      EXPECT_EQ(decodedOn, leadIns ? 0 : p.Count() / 2);
      ASSERT_EQ(joined.size(), onePass.size());
      EXPECT_EQ(std::memcmp(joined.data(), onePass.data(), joined.size() * sizeof(float)), 0);
    }
    std::fclose(f);
  }
}

// Sound files of every kind libsndfile reads get their blocks written by the helpers.
TEST_F(StretchImportTest, SoundFilesWithHelpersGiveTheTracksOfOnePass) {
  testsupport::TrackProject small(1 << 16);
  factory = small.factory();
  struct Case {
    const char* name;
    int format;
    int channels;
  } cases[] = {
      {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2},
      {"float.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 1},
      {"pcm24.au", SF_FORMAT_AU | SF_FORMAT_PCM_24, 4},
      {"u8.voc", SF_FORMAT_VOC | SF_FORMAT_PCM_U8, 1},
      {"flac.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteSndfile(Path(c.name), c.format, c.channels, 44100, 200001));
    ExpectSameAsOnePass(Path(c.name), 0);
  }
}

// Cancel in the middle: an Ogg Vorbis or sound file import leaves nothing; an MP3
// import keeps what was decoded up to then, the start of what one pass gives, as one
// pass does. No block is left over either way.
TEST_F(StretchImportTest, CancelInTheMiddleEndsTheImportAsInOnePass) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  REQUIRE_PROGRAM("oggenc");
  const std::string ogg = Ogg("long.ogg", 2, 44100, 12.0);
  const std::string mp3 = Mp3("long.mp3", 2, 44100, 12.0, "-b 128");
  ASSERT_TRUE(WriteSndfile(Path("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 500000));
  std::string error;
  int count = 0;
  const auto whole = ImportWith(mp3, Concurrency::OnePass(), &error, &count);
  ASSERT_EQ(count, 2) << error;

  Concurrency scope(Concurrency::Stretches(20000));
  // The sound file reports its progress once a block.
  const struct {
    std::string path;
    int at;
  } nothingLeft[] = {{ogg, 4}, {Path("long.wav"), 2}};
  for (const auto& c : nothingLeft) {
    SCOPED_TRACE(c.path);
    ExpectCancelLeavesNothing(c.path, c.at);
  }

  CancelAt cancel{4};
  auto r = Import(mp3, &CancelAt::Callback, &cancel);
  ASSERT_EQ(r.count, 2) << r.error;
  EXPECT_EQ(cancel.calls, 4);
  for (int c = 0; c < 2; ++c) {
    const TrackImage part = Image(*r.tracks[c]);
    ASSERT_GT(part.bytes.size(), 0u);
    ASSERT_LT(part.bytes.size(), whole[c].bytes.size() / 2);
    EXPECT_EQ(std::memcmp(part.bytes.data(), whole[c].bytes.data(), part.bytes.size()), 0);
  }
  int blocks = 0;
  for (auto& t : r.tracks) blocks += static_cast<int>(t->GetSequence()->GetBlockArray().size());
  EXPECT_EQ(BlockFilesOnDisk(), blocks);
}

// Damaged Ogg Vorbis data fails a stretched import as it fails one pass; a disk that
// takes no block fails the import wholly. Neither leaves a block behind.
TEST_F(StretchImportTest, DamageAndAFullDiskFailTheImportAsInOnePass) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  REQUIRE_PROGRAM("oggenc");
  std::vector<unsigned char> ogg = ReadBytes(Ogg("noise.ogg", 2, 44100, 8.0));
  ogg[ogg.size() * 2 / 3] ^= 0x55;
  WriteBytes(Path("damaged.ogg"), ogg);
  std::string onePassError, stretchError;
  int count = -1;
  ImportWith(Path("damaged.ogg"), Concurrency::OnePass(), &onePassError, &count);
  EXPECT_EQ(count, 0);
  ImportWith(Path("damaged.ogg"), Concurrency::Stretches(20000), &stretchError, &count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(stretchError, onePassError);
  EXPECT_NE(stretchError.find("damaged"), std::string::npos) << stretchError;
  EXPECT_EQ(BlockFilesOnDisk(), 0);

  const std::string files[] = {Ogg("long.ogg", 2, 44100, 8.0), Mp3("long.mp3", 2, 44100, 8.0, "-b 128")};
  ASSERT_TRUE(WriteSndfile(Path("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 500000));
  // The temporary folder turns into a path under a plain file: no block can be
  // written any more.
  WriteBytes(Path("plain"), {1, 2, 3});
  ASSERT_TRUE(DirManager::SetTempDir(Path("plain/blocks").c_str()));
  for (const std::string& path : {files[0], files[1], Path("long.wav")}) {
    SCOPED_TRACE(path);
    auto r = ImportWith(path, Concurrency::Stretches(20000), &stretchError, &count);
    EXPECT_EQ(count, 0);
    EXPECT_NE(stretchError.find("could not store"), std::string::npos) << stretchError;
  }
  ASSERT_TRUE(DirManager::SetTempDir(blocks.c_str()));
  EXPECT_EQ(BlockFilesOnDisk(), 0);
}

}  // namespace
