// Import of MPEG audio (libmad) and Ogg Vorbis (vorbisfile) files made by
// lame, sox and oggenc: channels, rates, every frame, tags that look like
// audio, chained streams, damaged and cut files, and cancelling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tests/audiofiles/import/import_test_support.h"
#include "tests/support/native/OutsideMp3Decoder.h"

namespace {

using importtest::CancelAt;
using importtest::ImportTest;
using importtest::ReadBytes;
using importtest::Samples;
using importtest::Shell;
using importtest::Shorts;
using importtest::WriteBytes;

// The frequency of a tone from its upward zero crossings over the middle of
// the signal (the codecs' delay and fades stay out of it).
double ToneFrequency(const std::vector<float>& s, double rate) {
  const std::size_t from = s.size() / 4, to = s.size() * 3 / 4;
  std::size_t first = 0, last = 0;
  int crossings = 0;
  for (std::size_t i = from + 1; i < to; ++i)
    if (s[i - 1] < 0.0f && s[i] >= 0.0f) {
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
    }
  if (crossings < 2) return 0.0;
  return (crossings - 1) * rate / static_cast<double>(last - first);
}

// MPEG audio frames in bytes [begin, end) of a file: walks the frame headers
// (any version, layers I to III, no free format).
int CountMpegFrames(const std::vector<unsigned char>& b, std::size_t begin, std::size_t end) {
  static const int kBitrates[2][3][15] = {
      {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
       {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
       {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
      {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
  static const int kRates[3] = {44100, 48000, 32000};
  int frames = 0;
  std::size_t p = begin;
  while (p + 4 <= end && b[p] == 0xFF && (b[p + 1] & 0xE0) == 0xE0) {
    const int version = (b[p + 1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    const int layer = 4 - ((b[p + 1] >> 1) & 3);
    const int bitrate = kBitrates[version == 3 ? 0 : 1][layer - 1][b[p + 2] >> 4] * 1000;
    int rate = kRates[(b[p + 2] >> 2) & 3];
    if (version == 2) rate /= 2;
    if (version == 0) rate /= 4;
    const int pad = (b[p + 2] >> 1) & 1;
    std::size_t len;
    if (layer == 1)
      len = (12 * bitrate / rate + pad) * 4;
    else if (layer == 3 && version != 3)
      len = 72 * bitrate / rate + pad;
    else
      len = 144 * bitrate / rate + pad;
    if (len == 0) break;
    p += len;
    ++frames;
  }
  return frames;
}

class MP3ImportTest : public ImportTest {
protected:
  // A tone of `seconds`: 440 Hz left, 660 Hz right (or 440 Hz mono), as MP3.
  std::string MakeMp3(const std::string& name, int channels, int rate, double seconds,
                      const std::string& lameOptions = "") {
    const std::string wav = Path(name + ".wav"), mp3 = Path(name);
    const std::string tones = channels == 2 ? "sine 440 sine 660" : "sine 440";
    EXPECT_TRUE(Shell("sox -D -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 " +
                      wav + " synth " + std::to_string(seconds) + " " + tones + " gain -6"));
    EXPECT_TRUE(Shell("lame --quiet -b 128 " + lameOptions + " " + wav + " " + mp3));
    return mp3;
  }
};

TEST_F(MP3ImportTest, EveryFrameIsDecodedIntoTracksOfTheFirstFramesLayout) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  struct Case {
    const char* name;
    int channels;
    int rate;
    const char* lame;
  } cases[] = {
      {"stereo.mp3", 2, 44100, ""},
      {"mono.mp3", 1, 22050, "-m m"},
      {"low.mp3", 1, 8000, "-m m -b 32"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string mp3 = MakeMp3(c.name, c.channels, c.rate, 1.5, c.lame);
    const std::vector<unsigned char> bytes = ReadBytes(mp3);
    const int frames = CountMpegFrames(bytes, 0, bytes.size());
    ASSERT_GT(frames, 10);

    auto r = Import(mp3);
    ASSERT_EQ(r.count, c.channels) << r.error;
    EXPECT_EQ(r.tracks[0]->GetLinked(), c.channels == 2);
    for (int ch = 0; ch < c.channels; ++ch) {
      const WaveTrack& t = *r.tracks[ch];
      EXPECT_EQ(t.GetRate(), c.rate);
      EXPECT_EQ(t.GetSampleFormat(), SampleFormatFloat);
      // Every sample of the source, the last frame's too (it ends the file
      // with no bytes after it): lame's information frame tells the encoder's
      // delay and padding, and nothing else is added or lost.
      EXPECT_EQ(t.GetNumSamples(), static_cast<std::int64_t>(c.rate * 3 / 2));
      EXPECT_NEAR(ToneFrequency(Samples(t), c.rate), ch == 0 ? 440.0 : 660.0, 2.0);
    }
  }
}

// A gapless decoder gives back exactly the samples the encoder was handed:
// the information frame is no audio, and the encoder delay and padding it
// tells (with the decoder's own delay) are trimmed. The import must agree
// with an outside gapless decoder sample for sample, and find a click where
// the source has it. A file without that frame is decoded whole, as the
// outside decoder does.
TEST_F(MP3ImportTest, ImportMatchesAnOutsideGaplessDecoder) {
  REQUIRE_PROGRAM("lame");
  REQUIRE_PROGRAM("mpg123");
  struct Case {
    const char* name;
    int channels;
    int rate;
    const char* lame;
    bool gapless;  // lame writes its information frame
  } cases[] = {
      {"cbr.mp3", 2, 44100, "-b 128", true},          {"vbr.mp3", 2, 44100, "-V 2", true},
      {"protected.mp3", 2, 48000, "-p -b 160", true}, {"mpeg2.mp3", 1, 22050, "-m m -b 64", true},
      {"mpeg25.mp3", 1, 8000, "-m m -b 24", true},    {"untagged.mp3", 2, 44100, "-t -b 128", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // 1.3 s of tones with a loud click in both channels at an odd place.
    const std::int64_t frames = c.rate * 13 / 10, click = c.rate * 6 / 10 + 37;
    std::vector<float> pcm = audiotest::Sines(frames, c.rate, {440.0, 660.0}, {0.25, 0.25});
    std::vector<float> source(static_cast<std::size_t>(frames * c.channels));
    for (std::int64_t i = 0; i < frames; ++i)
      for (int ch = 0; ch < c.channels; ++ch) {
        float v = pcm[i * 2 + ch];
        if (i >= click && i < click + 4) v = (i - click) % 2 ? -0.95f : 0.95f;
        source[i * c.channels + ch] = v;
      }
    const std::string wav = Path(std::string(c.name) + ".wav"), mp3 = Path(c.name);
    SF_INFO info{};
    info.channels = c.channels;
    info.samplerate = c.rate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(wav.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_float(f, source.data(), frames);
    sf_close(f);
    ASSERT_TRUE(Shell("lame --quiet " + std::string(c.lame) + " " + wav + " " + mp3));

    const audiotest::Decoded outside = audiotest::DecodeMp3Outside(mp3);
    ASSERT_TRUE(outside.ok);
    if (c.gapless) {
      EXPECT_EQ(outside.frames(), frames);
    }
    auto r = Import(mp3);
    ASSERT_EQ(r.count, c.channels) << r.error;
    for (int ch = 0; ch < c.channels; ++ch) {
      const std::vector<float> ours = Samples(*r.tracks[ch]), theirs = outside.channel(ch);
      ASSERT_EQ(static_cast<std::int64_t>(ours.size()), outside.frames());
      float worst = 0.0f;
      for (std::size_t i = 0; i < ours.size(); ++i) worst = std::max(worst, std::fabs(ours[i] - theirs[i]));
      EXPECT_LT(worst, 0.002f) << "channel " << ch;
      if (c.gapless) {
        std::size_t loudest = 0;
        for (std::size_t i = 0; i < ours.size(); ++i)
          if (std::fabs(ours[i]) > std::fabs(ours[loudest])) loudest = i;
        EXPECT_NEAR(static_cast<double>(loudest), static_cast<double>(click), 6.0) << "channel " << ch;
      }
    }
  }
}

// The delay and padding are believed only when the encoder's checksum over the
// information frame holds: a damaged frame is still skipped (it is no audio),
// but nothing else is trimmed.
TEST_F(MP3ImportTest, ADamagedInformationFrameTrimsNothing) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  std::vector<unsigned char> bytes = ReadBytes(MakeMp3("tagged.mp3", 2, 44100, 1.0));
  const int frames = CountMpegFrames(bytes, 0, bytes.size());
  // The encoder delay and padding of lame's frame: 21 bytes into its extension,
  // which follows the mark at 36, its flags, counts, seek table and quality.
  const std::size_t delayAt = 36 + 8 + 4 + 4 + 100 + 4 + 21;
  ASSERT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "Info");
  bytes[delayAt] ^= 0x10;
  WriteBytes(Path("damaged.mp3"), bytes);
  auto r = Import(Path("damaged.mp3"));
  ASSERT_EQ(r.count, 2) << r.error;
  EXPECT_EQ(r.tracks[0]->GetNumSamples(), static_cast<std::int64_t>(frames - 1) * 1152);
}

TEST_F(MP3ImportTest, LayerTwoFilesImport) {
  REQUIRE_PROGRAM("sox");
  const std::string mp2 = Path("tone.mp2");
  if (!Shell("sox -D -n -r 48000 -c 2 -b 16 " + mp2 + " synth 1 sine 440 sine 660 gain -6"))
    GTEST_SKIP() << "this sox writes no MP2";
  auto r = Import(mp2);
  ASSERT_EQ(r.count, 2) << r.error;
  EXPECT_EQ(r.tracks[0]->GetRate(), 48000);
  EXPECT_NEAR(ToneFrequency(Samples(*r.tracks[1]), 48000), 660.0, 2.0);
}

// Tags are not audio: an ID3v2 tag whose data holds a run of valid-looking
// MPEG frame headers (16 kHz mono, as album art or binary frames can) must not
// decide the tracks' layout nor add samples; neither may an ID3v1 tag.
TEST_F(MP3ImportTest, TagsAtBothEndsAreNotDecoded) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  const std::string plain = MakeMp3("plain.mp3", 2, 44100, 1.0);
  std::vector<unsigned char> audio = ReadBytes(plain);

  // 30 frames of MPEG-2 layer III, 8 kbit/s, 16 kHz, mono, 36 bytes each
  // (silent ones: they decode).
  std::vector<unsigned char> payload;
  for (int i = 0; i < 30; ++i) {
    const unsigned char header[4] = {0xFF, 0xF3, 0x18, 0xC0};
    payload.insert(payload.end(), header, header + 4);
    payload.insert(payload.end(), 32, 0);
  }
  std::vector<unsigned char> frame = {'P', 'R', 'I', 'V'};
  const std::uint32_t frameSize = static_cast<std::uint32_t>(payload.size() + 2);
  for (int s = 24; s >= 0; s -= 8) frame.push_back(static_cast<unsigned char>(frameSize >> s));
  frame.insert(frame.end(), {0, 0, 'x', 0});
  frame.insert(frame.end(), payload.begin(), payload.end());
  std::vector<unsigned char> tagged = {'I', 'D', '3', 3, 0, 0};
  const std::uint32_t tagSize = static_cast<std::uint32_t>(frame.size());
  for (int s = 21; s >= 0; s -= 7) tagged.push_back((tagSize >> s) & 0x7F);
  tagged.insert(tagged.end(), frame.begin(), frame.end());
  tagged.insert(tagged.end(), audio.begin(), audio.end());
  // ID3v1: "TAG" and 125 bytes, here full of 0xFF.
  tagged.insert(tagged.end(), {'T', 'A', 'G'});
  tagged.insert(tagged.end(), 125, 0xFF);
  WriteBytes(Path("tagged.mp3"), tagged);

  auto expected = Import(plain);
  auto r = Import(Path("tagged.mp3"));
  ASSERT_EQ(expected.count, 2);
  ASSERT_EQ(r.count, 2) << r.error;
  EXPECT_EQ(r.tracks[0]->GetRate(), 44100);
  for (int ch = 0; ch < 2; ++ch) EXPECT_EQ(Samples(*r.tracks[ch]), Samples(*expected.tracks[ch]));
}

TEST_F(MP3ImportTest, LameTagsImportLikeTheUntaggedFile) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  const std::string plain = MakeMp3("plain.mp3", 2, 44100, 1.0);
  const std::string tagged = MakeMp3("tagged.mp3", 2, 44100, 1.0,
                                     "--add-id3v2 --pad-id3v2-size 3000 --tt Title --ta Artist "
                                     "--tl Album --ty 2001 --tc Comment");
  auto a = Import(plain);
  auto b = Import(tagged);
  ASSERT_EQ(a.count, 2);
  ASSERT_EQ(b.count, 2) << b.error;
  EXPECT_EQ(Samples(*a.tracks[0]), Samples(*b.tracks[0]));
}

TEST_F(MP3ImportTest, CancelKeepsWhatWasDecoded) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  // About 480 kB: several buffers of input.
  const std::string mp3 = MakeMp3("long.mp3", 2, 44100, 30.0);
  auto whole = Import(mp3);
  ASSERT_EQ(whole.count, 2);

  CancelAt cancel{3};
  auto r = Import(mp3, &CancelAt::Callback, &cancel);
  ASSERT_EQ(r.count, 2) << r.error;
  EXPECT_EQ(cancel.calls, 3);
  EXPECT_GT(r.tracks[0]->GetNumSamples(), 0);
  EXPECT_LT(r.tracks[0]->GetNumSamples(), whole.tracks[0]->GetNumSamples() / 2);
}

TEST_F(MP3ImportTest, CancelBeforeTheFirstFrameEndsTheImport) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("lame");
  ExpectCancelLeavesNothing(MakeMp3("short.mp3", 2, 44100, 1.0), 1);
}

class OggImportTest : public ImportTest {
protected:
  std::string MakeOgg(const std::string& name, int channels, int rate, double seconds,
                      const std::string& synth) {
    const std::string wav = Path(name + ".wav"), ogg = Path(name);
    EXPECT_TRUE(Shell("sox -D -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 " +
                      wav + " synth " + std::to_string(seconds) + " " + synth));
    EXPECT_TRUE(Shell("oggenc -Q " + wav + " -o " + ogg));
    return ogg;
  }
  // sox's decoding of an Ogg Vorbis file to 16-bit samples, interleaved.
  std::vector<std::int16_t> SoxDecode(const std::string& ogg) {
    EXPECT_TRUE(Shell("sox -D " + ogg + " -t s16 " + ogg + ".s16"));
    return importtest::ReadShorts(ogg + ".s16");
  }
};

TEST_F(OggImportTest, TracksHoldExactlyWhatSoxDecodes) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("oggenc");
  struct Case {
    const char* name;
    int channels;
    int rate;
  } cases[] = {{"stereo.ogg", 2, 44100}, {"mono.ogg", 1, 22050}, {"quad.ogg", 4, 48000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string ogg =
        MakeOgg(c.name, c.channels, c.rate, 2.5, "sine 440 sine 660 sine 880 sine 1000 gain -6");
    const std::vector<std::int16_t> expected = SoxDecode(ogg);
    auto r = Import(ogg);
    ASSERT_EQ(r.count, c.channels) << r.error;
    EXPECT_EQ(r.tracks[0]->GetLinked(), c.channels == 2);
    for (int ch = 0; ch < c.channels; ++ch) {
      EXPECT_EQ(r.tracks[ch]->GetRate(), c.rate);
      EXPECT_EQ(r.tracks[ch]->GetSampleFormat(), SampleFormatInt16);
      std::vector<std::int16_t> want;
      for (std::size_t i = ch; i < expected.size(); i += c.channels) want.push_back(expected[i]);
      EXPECT_EQ(Shorts(*r.tracks[ch]), want) << "channel " << ch;
    }
  }
}

TEST_F(OggImportTest, AChainedFileGivesItsFirstStreamOnly) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("oggenc");
  const std::string first = MakeOgg("first.ogg", 2, 44100, 1.3, "sine 440 sine 660 gain -6");
  const std::string second = MakeOgg("second.ogg", 1, 22050, 1.0, "sine 300 gain -6");
  std::vector<unsigned char> chained = ReadBytes(first);
  const std::vector<unsigned char> tail = ReadBytes(second);
  chained.insert(chained.end(), tail.begin(), tail.end());
  WriteBytes(Path("chained.ogg"), chained);

  const std::vector<std::int16_t> expected = SoxDecode(first);
  auto r = Import(Path("chained.ogg"));
  ASSERT_EQ(r.count, 2) << r.error;
  EXPECT_EQ(r.tracks[0]->GetRate(), 44100);
  std::vector<std::int16_t> left;
  for (std::size_t i = 0; i < expected.size(); i += 2) left.push_back(expected[i]);
  // Not one sample of the second stream.
  EXPECT_EQ(Shorts(*r.tracks[0]), left);
}

TEST_F(OggImportTest, DamagedDataFailsAndACutFileKeepsItsStart) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("oggenc");
  // Noise, so that the pages are many and the damage lands inside the audio.
  const std::string ogg = MakeOgg("noise.ogg", 2, 44100, 4.0, "whitenoise gain -6");
  const std::vector<unsigned char> bytes = ReadBytes(ogg);
  ASSERT_GT(bytes.size(), 20000u);
  auto whole = Import(ogg);
  ASSERT_EQ(whole.count, 2);

  std::vector<unsigned char> damaged = bytes;
  damaged[damaged.size() / 2] ^= 0x55;  // the page's checksum no longer fits
  WriteBytes(Path("damaged.ogg"), damaged);
  const int blocksBefore = BlockFilesOnDisk();
  auto r = Import(Path("damaged.ogg"));
  EXPECT_EQ(r.count, 0);
  EXPECT_NE(r.error.find("damaged"), std::string::npos) << r.error;
  EXPECT_EQ(BlockFilesOnDisk(), blocksBefore) << "the failed import left blocks behind";

  WriteBytes(Path("cut.ogg"), std::vector<unsigned char>(bytes.begin(), bytes.begin() + bytes.size() / 2));
  auto cut = Import(Path("cut.ogg"));
  ASSERT_EQ(cut.count, 2) << cut.error;
  const std::vector<std::int16_t> all = Shorts(*whole.tracks[0]);
  const std::vector<std::int16_t> part = Shorts(*cut.tracks[0]);
  ASSERT_GT(part.size(), all.size() / 4);
  ASSERT_LT(part.size(), all.size());
  EXPECT_TRUE(std::equal(part.begin(), part.end(), all.begin()));
}

TEST_F(OggImportTest, CancelLeavesNoTracks) {
  REQUIRE_PROGRAM("sox");
  REQUIRE_PROGRAM("oggenc");
  ExpectCancelLeavesNothing(MakeOgg("long.ogg", 2, 44100, 6.0, "sine 440 sine 660 gain -6"), 1);
}

}  // namespace
