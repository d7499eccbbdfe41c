// The MP3 streaming writer: known sines recorded through the capture rings and read
// back with libmad and the lame decoder; chunking, tails, splits that carry the
// encoder stream on, refused encoder settings and failing writes.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "audiofiles/io/LameEncoder.h"
#include "audiofiles/writers/MP3StreamWriter.h"
#include "platform/seams/MessageBox.h"
#include "tests/audiofiles/writers/writer_test_support.h"
#include "tests/support/native/Mp3Decode.h"
#include "tests/support/native/OutsideMp3Decoder.h"
#include "tests/support/native/RecordedMessageBoxes.h"

namespace {

using namespace writertest;

constexpr double kRate = 44100.0;
constexpr int kMaxDelay = 3000;  // encoder and decoder delay, in frames, with room

class MP3WriterTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!GetLameEncoder()->Load()) GTEST_SKIP() << "the MP3 encoder library is not built";
  }
  TempFolder dir;
  WriterSettingsScope scope{dir / "rec", "mp3"};
};

// An encoder that notes the sample counts of the partial chunks it is handed.
class CountingEncoder : public LameEncoder {
public:
  int EncodeSamples(const short* samples, int count, unsigned char* out) override {
    partials.push_back(count);
    return LameEncoder::EncodeSamples(samples, count, out);
  }
  int EncodeMonoSamples(const short* samples, int count, unsigned char* out) override {
    partials.push_back(count);
    return LameEncoder::EncodeMonoSamples(samples, count, out);
  }
  std::vector<int> partials;
};

// Where the decoded channel lines up with the recorded one, and how well.
std::int64_t Align(const std::vector<float>& recorded, const std::vector<float>& decoded, double* corr) {
  const std::int64_t len = std::min<std::int64_t>(static_cast<std::int64_t>(recorded.size()) - 4000, 30000);
  return BestLag(recorded, decoded, 2000, len, 0, kMaxDelay, corr);
}

TEST_F(MP3WriterTest, StereoSineComesBackWithItsFrequencyLevelAndLength) {
  const std::int64_t frames = static_cast<std::int64_t>(3.0 * kRate) + 333;
  std::vector<float> signal = Sines(frames, kRate, {440.0, 660.0}, {0.5, 0.25});
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  EXPECT_EQ(writer.GetName(), "c:\\aa.mp3");
  ASSERT_EQ(writer.Prepare(), 1);
  EngineRig::Result res = rig.Record(writer, signal);
  EXPECT_EQ(res.open, 1);
  EXPECT_EQ(res.writeFailures, 0);
  EXPECT_EQ(res.close, 1);
  EXPECT_FALSE(GetLameEncoder()->IsStreamOpen()) << "Close ends the encoder stream";

  Decoded d = DecodeMp3(dir / "rec.mp3");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.rate, 44100);
  EXPECT_EQ(d.channels, 2);
  EXPECT_GE(d.frames(), frames);
  EXPECT_LE(d.frames(), frames + kMaxDelay + 1152);
  const std::size_t from = 3000, to = static_cast<std::size_t>(frames) - 1000;
  EXPECT_NEAR(ZeroCrossingFrequency(d.channel(0), kRate, from, to), 440.0, 0.05);
  EXPECT_NEAR(ZeroCrossingFrequency(d.channel(1), kRate, from, to), 660.0, 0.05);
  // The encoder gives a pure tone back some 5% lower, as the lame tool does.
  EXPECT_NEAR(Rms(d.channel(0), from, to), 0.5 / std::sqrt(2.0), 0.07 * 0.5);
  EXPECT_NEAR(Rms(d.channel(1), from, to), 0.25 / std::sqrt(2.0), 0.07 * 0.25);
}

// Every recorded frame is in the file, in place: a sweep lines up at one delay only,
// and its last frames are still there after that delay.
TEST_F(MP3WriterTest, TheWholeRecordingLinesUpAtTheCodecDelay) {
  // The last buffer-thread pass leaves 517 frames in the rings, less than a fill.
  const std::int64_t frames = 6 * kPassFrames + 517;
  std::vector<float> signal = Sweep(frames, kRate, 200.0, 3000.0, 0.5, 2);
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  Decoded d = DecodeMp3(dir / "rec.mp3");
  std::vector<float> recorded = Channel(signal, 2, 0), got = d.channel(0);
  double corr = 0;
  const std::int64_t lag = Align(recorded, got, &corr);
  EXPECT_GT(corr, 0.98);
  EXPECT_GT(Correlation(recorded, got, frames - 1500, 1400, lag), 0.95) << "the last frames of the recording";
  EXPECT_LE(d.frames(), frames + lag + 2 * 1152);
}

TEST_F(MP3WriterTest, TheLameDecoderReadsTheFileAsWritten) {
  if (!HaveProgram("lame")) GTEST_SKIP() << "lame is not installed";
  scope.encode.MP3ChannelMode = 0;
  const std::int64_t frames = 2 * 44100;
  std::vector<float> signal = Sines(frames, kRate, {1000.0}, {0.6});
  EngineRig rig(1, kRate);
  MP3StreamWriter writer(rig.slot());
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  int status = -1;
  writertest::Run("lame --quiet --decode '" + (dir / "rec.mp3") + "' '" + (dir / "back.wav") + "'", &status);
  ASSERT_EQ(status, 0);
  Decoded d = DecodeSndfile(dir / "back.wav");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.rate, 44100);
  EXPECT_EQ(d.channels, 1);
  EXPECT_GE(d.frames(), frames - 1152);
  EXPECT_LE(d.frames(), frames + kMaxDelay + 1152);
  EXPECT_NEAR(ZeroCrossingFrequency(d.samples, kRate, 3000, d.frames() - 3000), 1000.0, 0.1);
  EXPECT_NEAR(Rms(d.samples, 3000, d.frames() - 3000), 0.6 / std::sqrt(2.0), 0.07 * 0.6);
}

TEST_F(MP3WriterTest, ChannelModesGiveMonoOrStereo) {
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  for (int mode : {0, 1, 2, 3}) {
    scope.encode.MP3ChannelMode = mode;
    EXPECT_EQ(writer.UpdateStereo(), mode == 0 ? 0 : 1) << mode;
  }
  scope.encode.MP3ChannelMode = 0;
  std::vector<float> signal = Sines(44100, kRate, {440.0, 880.0}, {0.5, 0.5});
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  Decoded d = DecodeMp3(dir / "rec.mp3");
  EXPECT_EQ(d.channels, 1);
  EXPECT_NEAR(ZeroCrossingFrequency(d.samples, kRate, 3000, d.frames() - 3000), 440.0, 0.05)
      << "the first captured channel";
  int rate = 0;
  char type[8] = {};
  scope.encode.MP3SampleRate = 32000;
  writer.GetRateAndType(&rate, type);
  EXPECT_EQ(rate, 32000);
  EXPECT_STREQ(type, "MP3");
}

// One captured channel into a stereo file: both channels carry it, and the sample
// buffer is sized for the file's two channels, not the capture's one.
TEST_F(MP3WriterTest, AMonoCaptureMakesAStereoFile) {
  const std::int64_t frames = 3 * kPassFrames + 100;
  std::vector<float> signal = Sines(frames, kRate, {550.0}, {0.5});
  EngineRig rig(1, kRate);
  MP3StreamWriter writer(rig.slot());
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  Decoded d = DecodeMp3(dir / "rec.mp3");
  ASSERT_EQ(d.channels, 2);
  for (int c = 0; c < 2; ++c)
    EXPECT_NEAR(ZeroCrossingFrequency(d.channel(c), kRate, 3000, frames - 1000), 550.0, 0.05) << c;
}

// Whole chunks while recording; what is held goes to the encoder as one partial chunk,
// counted in 16-bit values of both channels, when the recording stops.
TEST_F(MP3WriterTest, HeldSamplesAreEncodedAsOnePartialChunkOnClose) {
  CountingEncoder encoder;
  ASSERT_EQ(encoder.Load(), 1);
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  writer.SetEncoder(&encoder);
  ASSERT_EQ(writer.Open(2, rig.rings(), kRate), 1);
  const int chunk = writer.GetSamplesPerChunk();
  ASSERT_EQ(chunk, 1152);
  std::vector<float> signal = Sines(chunk + 1000, kRate, {440.0, 440.0}, {0.5, 0.5});
  rig.Callback(signal.data(), chunk + 1000);
  ASSERT_EQ(writer.WriteBlock(), 1);
  EXPECT_EQ(writer.GetHeldSamples(), 2000);
  EXPECT_TRUE(encoder.partials.empty());
  ASSERT_EQ(writer.Close(), 1);
  EXPECT_EQ(encoder.partials, std::vector<int>{2000});
  EXPECT_FALSE(encoder.IsStreamOpen());
}

TEST_F(MP3WriterTest, ARecordingShorterThanOneChunkIsWrittenOnClose) {
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Open(2, rig.rings(), kRate), 1);
  std::vector<float> signal = Sines(700, kRate, {440.0, 440.0}, {0.8, 0.8});
  rig.Callback(signal.data(), 700);
  ASSERT_EQ(writer.WriteBlock(), 1);
  EXPECT_EQ(writer.GetFileBytes(), 0) << "nothing encoded yet";
  ASSERT_EQ(writer.Close(), 1);
  Decoded d = DecodeMp3(dir / "rec.mp3");
  ASSERT_TRUE(d.ok);
  EXPECT_GE(d.frames(), 700);
  EXPECT_GT(Rms(d.channel(0)), 0.1) << "the 700 frames are in the file";
}

TEST_F(MP3WriterTest, CaptureRateIsConvertedToTheFileRate) {
  const double capture = 48000;
  const std::int64_t frames = 48000 * 2;
  std::vector<float> signal = Sines(frames, capture, {1000.0, 1000.0}, {0.5, 0.5});
  EngineRig rig(2, capture);
  MP3StreamWriter writer(rig.slot());
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  Decoded d = DecodeMp3(dir / "rec.mp3");
  EXPECT_EQ(d.rate, 44100);
  EXPECT_GE(d.frames(), frames * 44100 / 48000);
  EXPECT_NEAR(ZeroCrossingFrequency(d.channel(0), kRate, 3000, d.frames() - 3000), 1000.0, 0.1);
}

// Parts after the first start with the encoder's next frame: decoded one after the
// other they line up with the recording at one and the same delay.
TEST_F(MP3WriterTest, SplitsCarryTheEncoderStreamOnWithoutGapOrOverlap) {
  scope.Split(1.0);
  const std::int64_t frames = static_cast<std::int64_t>(3.5 * kRate);
  std::vector<float> signal = Sweep(frames, kRate, 200.0, 2000.0, 0.5, 2);
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  EngineRig::Result res = rig.Record(writer, signal, 1.0, 4410);
  EXPECT_EQ(res.close, 1);
  EXPECT_EQ(res.nextFiles, 3);
  EXPECT_EQ(writer.GetFileCounter(), 5);

  std::vector<float> joined;
  std::vector<std::int64_t> starts;
  for (int part = 1; part <= 4; ++part) {
    const std::string name = dir / ("rec-" + std::to_string(part) + ".mp3");
    std::vector<unsigned char> bytes = testsupport::ReadBytes(name);
    ASSERT_GE(bytes.size(), 2u) << name;
    EXPECT_EQ(bytes[0], 0xFF) << name << " begins with a frame";
    EXPECT_EQ(bytes[1] & 0xE0, 0xE0) << name;
    Decoded d = DecodeMp3(name);
    ASSERT_TRUE(d.ok) << name;
    starts.push_back(static_cast<std::int64_t>(joined.size()));
    std::vector<float> left = d.channel(0);
    joined.insert(joined.end(), left.begin(), left.end());
  }
  std::vector<float> recorded = Channel(signal, 2, 0);
  double corr = 0;
  const std::int64_t lag = Align(recorded, joined, &corr);
  EXPECT_GT(corr, 0.98);
  for (int part = 1; part < 4; ++part) {
    // Well inside each later part, the same delay holds.
    const std::int64_t from = starts[part] - lag + 3000;
    const std::int64_t len = std::min<std::int64_t>(10000, frames - from - 2000);
    ASSERT_GT(len, 1000);
    double c = 0;
    EXPECT_EQ(BestLag(recorded, joined, from, len, lag - 200, lag + 200, &c), lag) << part;
    EXPECT_GT(c, 0.98);
  }
  EXPECT_GE(static_cast<std::int64_t>(joined.size()), frames);
  EXPECT_LE(static_cast<std::int64_t>(joined.size()), frames + kMaxDelay + 1152);
}

// A player reads a recording's length from its information frame (a VBR file
// has no other way to tell), and a gapless decoder trims the encoder's delay and
// padding it tells: an outside decoder gives back exactly the recorded frames,
// in place. The first file of a split recording tells the frames it holds.
TEST_F(MP3WriterTest, RecordingsTellTheirLengthAndDelayToOutsideDecoders) {
  if (!audiotest::HaveOutsideMp3Decoder()) GTEST_SKIP() << "mpg123 is not installed";
  struct Case {
    const char* name;
    int encodeMode;  // 0 CBR, 1 ABR, 2 VBR
    int channelMode;
  } cases[] = {{"cbr", 0, 1}, {"abr", 1, 2}, {"vbr", 2, 2}, {"vbr mono", 2, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    scope.encode.MP3EncodeMode = c.encodeMode;
    scope.encode.MP3ChannelMode = c.channelMode;
    scope.encode.MP3BitRate = c.encodeMode == 0 ? 128 : 32;  // CBR rate, or the VBR floor
    scope.encode.MP3VBRMaxBitRate = 320;
    // 1.54 s: a tone, then quiet, so that VBR frames differ in size.
    const std::int64_t frames = static_cast<std::int64_t>(1.54 * kRate);
    std::vector<float> signal = Sweep(frames, kRate, 300.0, 3000.0, 0.5, 2);
    for (std::int64_t i = frames / 2; i < frames; ++i)
      for (int ch = 0; ch < 2; ++ch) signal[i * 2 + ch] *= 0.02f;
    EngineRig rig(2, kRate);
    MP3StreamWriter writer(rig.slot());
    ASSERT_EQ(rig.Record(writer, signal).close, 1);
    const std::string file = dir / "rec.mp3";

    const mp3test::Decoded stream = mp3test::Decode(testsupport::ReadBytes(file));
    EXPECT_TRUE(stream.infoFrame);
    EXPECT_EQ(stream.infoFrameCount, stream.frames);
    EXPECT_NEAR(audiotest::Mp3AnnouncedSeconds(file), 1.54, 0.011);
    const Decoded outside = audiotest::DecodeMp3Outside(file);
    ASSERT_TRUE(outside.ok);
    EXPECT_EQ(outside.frames(), frames);
    double corr = 0;
    EXPECT_EQ(BestLag(Channel(signal, 2, 0), outside.channel(0), 2000, 20000, -50, 50, &corr), 0);
    EXPECT_GT(corr, 0.98);
  }

  // Split: the first file's frame tells the frames that file holds.
  scope.encode.MP3EncodeMode = 2;
  scope.Split(1.0);
  const std::int64_t frames = static_cast<std::int64_t>(2.5 * kRate);
  std::vector<float> signal = Sweep(frames, kRate, 200.0, 2000.0, 0.5, 2);
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  EngineRig::Result res = rig.Record(writer, signal, 1.0, 4410);
  EXPECT_EQ(res.close, 1);
  ASSERT_GE(res.nextFiles, 1);
  const std::string first = dir / "rec-1.mp3";
  const mp3test::Decoded d = mp3test::Decode(testsupport::ReadBytes(first));
  EXPECT_TRUE(d.infoFrame);
  EXPECT_EQ(d.infoFrameCount, d.frames);
  EXPECT_NEAR(audiotest::Mp3AnnouncedSeconds(first), d.frames * 1152.0 / kRate, 0.06);
}

TEST_F(MP3WriterTest, GetFileBytesRestartsAtEachFile) {
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Open(2, rig.rings(), kRate), 1);
  std::vector<float> signal = Sines(20000, kRate, {440.0, 440.0}, {0.5, 0.5});
  rig.Callback(signal.data(), 20000);
  ASSERT_EQ(writer.WriteBlock(), 1);
  EXPECT_GT(writer.GetFileBytes(), 0);
  ASSERT_EQ(writer.NextFile(), 1);
  EXPECT_EQ(writer.GetFileBytes(), 0);
  EXPECT_EQ(writer.GetName(), dir / "rec.mp3") << "an unsplit recording reopens its name";
  ASSERT_EQ(writer.Close(), 1);
}

TEST_F(MP3WriterTest, SettingsTheEncoderRefusesFailOpen) {
  scope.encode.MP3SampleRate = 12345;
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  EXPECT_EQ(writer.Open(2, rig.rings(), kRate), 0);
  EXPECT_FALSE(writer.IsOpened());
  EXPECT_FALSE(writer.IsFileOpen());
  EXPECT_FALSE(GetLameEncoder()->IsStreamOpen());
  EXPECT_EQ(writer.WriteBlock(), 0);
  EXPECT_EQ(writer.Close(), 0);
  // The next recording with usable settings works.
  scope.encode.MP3SampleRate = 44100;
  EXPECT_EQ(writer.Open(2, rig.rings(), kRate), 1);
  EXPECT_EQ(writer.Close(), 1);
}

TEST_F(MP3WriterTest, AFullDiskFailsTheWriteAndFreesTheEncoder) {
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  std::vector<float> signal = Sines(44100 * 10, kRate, {440.0, 700.0}, {0.5, 0.5});
  ExpectAFullDiskStopsTheRecording(rig, writer, signal, 40000, dir / "rec.mp3");
  EXPECT_FALSE(GetLameEncoder()->IsStreamOpen());
}

TEST_F(MP3WriterTest, AFullDiskFailsTheClose) {
  EngineRig rig(2, kRate);
  MP3StreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Open(2, rig.rings(), kRate), 1);
  std::vector<float> signal = Sines(3000, kRate, {440.0, 440.0}, {0.5, 0.5});
  rig.Callback(signal.data(), 3000);
  ASSERT_EQ(writer.WriteBlock(), 1);  // a few frames, still in the file's buffer
  FileSizeLimit limit(10);
  EXPECT_EQ(writer.Close(), 0);
  EXPECT_FALSE(GetLameEncoder()->IsStreamOpen());
}

TEST_F(MP3WriterTest, PrepareShowsAMessageWhenTheLibraryIsMissing) {
  std::vector<std::string> shown;
  {
    testsupport::RecordedMessageBoxes recorder;
    const std::string oldPath = LameEncoder::GetLibrarySearchPath();
    LameEncoder::SetLibrarySearchPath(dir / "nowhere");
    LameEncoder missing;
    EngineRig rig(2, kRate);
    MP3StreamWriter writer(rig.slot());
    writer.SetEncoder(&missing);
    EXPECT_EQ(writer.Prepare(), 0);
    LameEncoder::SetLibrarySearchPath(oldPath);
    shown = recorder.Texts();
  }
  EXPECT_EQ(shown, std::vector<std::string>{"Could not open MP3 encoding library!"});

  StreamMixer* none = nullptr;
  MP3StreamWriter lonely(&none);
  EXPECT_EQ(lonely.Prepare(), 0) << "no mixer";
}

}  // namespace
