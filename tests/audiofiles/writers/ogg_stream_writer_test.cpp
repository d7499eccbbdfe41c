// The Ogg Vorbis streaming writer: known sines recorded through the capture rings and
// read back with vorbisfile and sox; splits into complete streams, settings changed
// between parts, refused encoder settings, tails and failing writes.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "audiofiles/writers/OggStreamWriter.h"
#include "tests/audiofiles/writers/writer_test_support.h"

namespace {

using namespace writertest;

constexpr double kRate = 44100.0;

class OggWriterTest : public ::testing::Test {
protected:
  TempFolder dir;
  WriterSettingsScope scope{dir / "rec", "ogg"};
};

// Vorbis keeps the length exactly; frequency and level within the codec's error.
void ExpectSine(const std::vector<float>& x, double rate, double freq, double amp) {
  const std::size_t edge = static_cast<std::size_t>(rate / 10);
  ASSERT_GT(x.size(), 3 * edge);
  EXPECT_NEAR(ZeroCrossingFrequency(x, rate, edge, x.size() - edge), freq, freq * 1e-4);
  EXPECT_NEAR(Rms(x, edge, x.size() - edge), amp / std::sqrt(2.0), amp * 0.03);
}

TEST_F(OggWriterTest, StereoSineComesBackWithItsFrequencyLevelAndLength) {
  // The last buffer-thread pass leaves 611 frames in the rings, less than a fill.
  const std::int64_t frames = 8 * kPassFrames + 611;
  std::vector<float> signal = Sines(frames, kRate, {440.0, 660.0}, {0.5, 0.25});
  EngineRig rig(2, kRate);
  OggStreamWriter writer(rig.slot());
  EXPECT_EQ(writer.GetName(), "c:\\aa.ogg");
  ASSERT_EQ(writer.Prepare(), 1);
  EngineRig::Result res = rig.Record(writer, signal);
  EXPECT_EQ(res.open, 1);
  EXPECT_EQ(res.writeFailures, 0);
  EXPECT_EQ(res.close, 1);
  EXPECT_FALSE(writer.IsFileOpen());

  Decoded d = DecodeVorbis(dir / "rec.ogg");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.rate, 44100);
  EXPECT_EQ(d.channels, 2);
  EXPECT_EQ(d.frames(), frames) << "every captured frame, the tail too";
  ExpectSine(d.channel(0), kRate, 440.0, 0.5);
  ExpectSine(d.channel(1), kRate, 660.0, 0.25);
  EXPECT_EQ(OggSerials(dir / "rec.ogg").size(), 1u);
}

// A recording whose process is killed (a crash, a power loss) keeps all but about its
// last second: the encoded pages reach the file at least once a second.
TEST_F(OggWriterTest, AKilledRecordingKeepsAllButItsLastSecond) {
  const std::int64_t frames = 17 * kPassFrames;  // about 5 s
  const std::vector<float> signal = Sines(frames, kRate, {440.0, 660.0}, {0.5, 0.25});
  ASSERT_TRUE(RecordThenGetKilled<OggStreamWriter>(2, kRate, signal, frames)) << "the child stopped early";
  Decoded d = DecodeVorbis(dir / "rec.ogg");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.channels, 2);
  EXPECT_GE(d.frames(), frames - static_cast<std::int64_t>(1.3 * kRate));
  EXPECT_LE(d.frames(), frames);
  ExpectSine(d.channel(0), kRate, 440.0, 0.5);
}

TEST_F(OggWriterTest, SoxReadsTheFileAsWritten) {
  if (!HaveProgram("sox") || !HaveProgram("soxi")) GTEST_SKIP() << "sox is not installed";
  scope.encode.OGGChannelMode = 0;
  const std::int64_t frames = 2 * 44100 + 300;
  std::vector<float> signal = Sines(frames, kRate, {1000.0}, {0.6});
  EngineRig rig(1, kRate);
  OggStreamWriter writer(rig.slot());
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  ExpectSoxReads(dir / "rec.ogg", 44100, 1, frames, 1000.0, 0.6, 0.02);
}

TEST_F(OggWriterTest, ManagedBitRateAndAConvertedCaptureRate) {
  scope.encode.OGGEncodeMode = 0;
  scope.encode.OGGBitRate = 96000;
  scope.encode.OGGSampleRate = 32000;
  const double capture = 48000;
  const std::int64_t frames = 48000 * 2;
  std::vector<float> signal = Sines(frames, capture, {1000.0, 1500.0}, {0.5, 0.5});
  EngineRig rig(2, capture);
  OggStreamWriter writer(rig.slot());
  int rate = 0;
  char type[8] = {};
  writer.GetRateAndType(&rate, type);
  EXPECT_EQ(rate, 32000);
  EXPECT_STREQ(type, "OGG");
  EngineRig::Result res = rig.Record(writer, signal);
  ASSERT_EQ(res.close, 1);
  Decoded d = DecodeVorbis(dir / "rec.ogg");
  EXPECT_EQ(d.rate, 32000);
  EXPECT_NEAR(static_cast<double>(d.frames()), frames * 32000.0 / 48000.0, 2.0);
  ExpectSine(d.channel(0), 32000, 1000.0, 0.5);
  ExpectSine(d.channel(1), 32000, 1500.0, 0.5);
  // Roughly the nominal rate (a pure tone needs less).
  const double kbps = std::filesystem::file_size(dir / "rec.ogg") * 8 / 2.0 / 1000.0;
  EXPECT_LT(kbps, 130.0);
}

TEST_F(OggWriterTest, SplitsAreCompleteStreamsThatJoinWithoutGapOrOverlap) {
  scope.Split(1.0);
  const std::int64_t frames = static_cast<std::int64_t>(3.4 * kRate);
  std::vector<float> signal = Sines(frames, kRate, {440.0, 330.0}, {0.5, 0.5});
  EngineRig rig(2, kRate);
  OggStreamWriter writer(rig.slot());
  std::vector<std::int64_t> headerBytes;
  // Right after each NextFile the new file holds only its header pages.
  EngineRig::Result res;
  res.open = writer.Open(2, rig.rings(), kRate);
  ASSERT_EQ(res.open, 1);
  for (std::int64_t pos = 0; pos < frames;) {
    const int n = static_cast<int>(std::min<std::int64_t>(4410, frames - pos));
    pos += rig.Callback(signal.data() + pos * 2, n);
    ASSERT_EQ(writer.WriteBlock(), 1);
    if (writer.GetFileSeconds() >= 1.0) {
      ASSERT_EQ(writer.NextFile(), 1);
      headerBytes.push_back(writer.GetFileBytes());
      EXPECT_NEAR(writer.GetFileSeconds(), 0.0, 1e-12);
    }
  }
  ASSERT_EQ(writer.Close(), 1);
  ASSERT_EQ(headerBytes.size(), 3u);
  for (std::int64_t b : headerBytes) {
    EXPECT_GT(b, 3000) << "identification, comment and codebook pages";
    EXPECT_LT(b, 8000);
  }

  std::vector<float> joined;
  std::vector<int> serials;
  for (int part = 1; part <= 4; ++part) {
    const std::string name = dir / ("rec-" + std::to_string(part) + ".ogg");
    Decoded d = DecodeVorbis(name);
    ASSERT_TRUE(d.ok) << name;
    EXPECT_EQ(d.channels, 2);
    std::vector<int> s = OggSerials(name);
    ASSERT_EQ(s.size(), 1u) << name;
    serials.push_back(s[0]);
    if (part < 4) {
      EXPECT_GE(d.frames(), 44100);
    }
    // Each part lies exactly where the recording had it.
    const std::int64_t at = static_cast<std::int64_t>(joined.size()) / 2;
    std::vector<float> whole = Channel(signal, 2, 0);
    std::vector<float> mine = d.channel(0);
    std::vector<float> shifted(whole.begin() + at, whole.end());
    double best = 0;
    EXPECT_EQ(BestLag(shifted, mine, 2000, static_cast<std::int64_t>(mine.size()) - 4000, -40, 40, &best), 0)
        << name;
    EXPECT_GT(best, 0.999);
    joined.insert(joined.end(), d.samples.begin(), d.samples.end());
  }
  EXPECT_EQ(static_cast<std::int64_t>(joined.size()), frames * 2);
  for (int i = 1; i < 4; ++i) EXPECT_NE(serials[i], serials[i - 1]) << "a new serial per file";
  EXPECT_FALSE(std::filesystem::exists(dir / "rec-5.ogg"));
}

// A settings change between two parts: the next part is encoded and mixed for it.
TEST_F(OggWriterTest, ChannelAndRateChangedBeforeASplitAreFollowed) {
  scope.Split(1.0);
  scope.encode.OGGChannelMode = 0;
  std::vector<float> signal =
      Sines(static_cast<std::int64_t>(2.5 * kRate), kRate, {440.0, 660.0}, {0.5, 0.5});
  EngineRig rig(2, kRate);
  OggStreamWriter writer(rig.slot());
  EngineRig::Result res = rig.Record(writer, signal, 1.0, 4410, [&](int split) {
    if (split == 0) {
      scope.encode.OGGChannelMode = 1;
    } else {
      scope.encode.OGGSampleRate = 22050;
    }
  });
  EXPECT_EQ(res.close, 1);
  EXPECT_EQ(res.nextFiles, 2);

  Decoded one = DecodeVorbis(dir / "rec-1.ogg");
  EXPECT_EQ(one.channels, 1);
  ExpectSine(one.samples, kRate, 440.0, 0.5);
  Decoded two = DecodeVorbis(dir / "rec-2.ogg");
  EXPECT_EQ(two.channels, 2);
  EXPECT_EQ(two.rate, 44100);
  ExpectSine(two.channel(0), kRate, 440.0, 0.5);
  ExpectSine(two.channel(1), kRate, 660.0, 0.5);
  Decoded three = DecodeVorbis(dir / "rec-3.ogg");
  EXPECT_EQ(three.channels, 2);
  EXPECT_EQ(three.rate, 22050);
  ExpectSine(three.channel(0), 22050, 440.0, 0.5);
  ExpectSine(three.channel(1), 22050, 660.0, 0.5);
}

TEST_F(OggWriterTest, SettingsTheEncoderRefusesFailOpenAndNextFile) {
  EngineRig rig(2, kRate);
  {
    scope.encode.OGGEncodeMode = 0;
    scope.encode.OGGBitRate = 5000000;  // no mode gives 5 Mbit/s
    OggStreamWriter writer(rig.slot());
    EXPECT_EQ(writer.Open(2, rig.rings(), kRate), 0);
    EXPECT_FALSE(writer.IsOpened());
    EXPECT_EQ(writer.Close(), 0);
  }
  scope.encode.SetDefaults();
  scope.Split(0.5);
  OggStreamWriter writer(rig.slot());
  std::vector<float> signal = Sines(44100 * 2, kRate, {440.0, 440.0}, {0.5, 0.5});
  EngineRig::Result res = rig.Record(writer, signal, 0.5, 4410, [&](int) {
    scope.encode.OGGEncodeMode = 0;
    scope.encode.OGGBitRate = 5000000;
  });
  EXPECT_EQ(res.nextFiles, 1);
  EXPECT_EQ(res.nextFileFailed, 1);
  EXPECT_EQ(res.close, 0);
  Decoded d = DecodeVorbis(dir / "rec-1.ogg");
  EXPECT_TRUE(d.ok) << "the part before is complete";
  EXPECT_GE(d.frames(), 22050);
}

TEST_F(OggWriterTest, ARecordingShorterThanOneFillIsWrittenWhole) {
  std::vector<float> signal = Sines(700, kRate, {440.0, 440.0}, {0.5, 0.5});
  EngineRig rig(2, kRate);
  OggStreamWriter writer(rig.slot());
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  Decoded d = DecodeVorbis(dir / "rec.ogg");
  EXPECT_EQ(d.frames(), 700);
}

TEST_F(OggWriterTest, AFullDiskFailsTheWrite) {
  EngineRig rig(2, kRate);
  OggStreamWriter writer(rig.slot());
  std::vector<float> signal = Sines(44100 * 10, kRate, {440.0, 700.0}, {0.5, 0.5});
  ExpectAFullDiskStopsTheRecording(rig, writer, signal, 30000, dir / "rec.ogg");
}

// The pages of a short recording fit the file's buffer; only the close finds the disk
// full, and says so.
TEST_F(OggWriterTest, AFullDiskFailsTheClose) {
  EngineRig rig(1, kRate);
  scope.encode.OGGChannelMode = 0;
  OggStreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Open(1, rig.rings(), kRate), 1);
  std::vector<float> signal = Sines(2000, kRate, {440.0}, {0.5});
  rig.Callback(signal.data(), 2000);
  FileSizeLimit limit(100);
  EXPECT_EQ(writer.Close(), 0);
  EXPECT_FALSE(writer.IsOpened());
}

TEST_F(OggWriterTest, PrepareNeedsTheMixer) {
  StreamMixer* none = nullptr;
  OggStreamWriter lonely(&none);
  EXPECT_EQ(lonely.Prepare(), 0);
  EXPECT_EQ(lonely.Open(0, nullptr, kRate), 0);
  scope.encode.OGGChannelMode = 0;
  EXPECT_EQ(lonely.UpdateStereo(), 0);
  scope.encode.OGGChannelMode = 1;
  EXPECT_EQ(lonely.UpdateStereo(), 1);
}

}  // namespace
