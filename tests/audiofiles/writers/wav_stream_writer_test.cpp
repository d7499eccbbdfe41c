// The WAV streaming writer: known sines recorded through the
// capture rings and read back with libsndfile and sox; splits, tails, resampling,
// float files and the failures the engine must see.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "audiofiles/writers/WavStreamWriter.h"
#include "tests/audiofiles/writers/writer_test_support.h"

namespace {

using namespace writertest;

constexpr double kRate = 44100.0;

// The largest difference between a decoded channel and the expected one.
double MaxDiff(const std::vector<float>& a, const std::vector<float>& b) {
  double worst = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    worst = std::max(worst, std::fabs(static_cast<double>(a[i]) - b[i]));
  return worst;
}

class WavWriterTest : public ::testing::Test {
protected:
  TempFolder dir;
  WriterSettingsScope scope{dir / "rec", "wav"};
};

TEST_F(WavWriterTest, StereoSineComesBackWithItsFrequencyLevelAndLength) {
  // The last buffer-thread pass leaves 517 frames in the rings, less than a fill.
  const std::int64_t frames = 11 * kPassFrames + 517;
  std::vector<float> signal = Sines(frames, kRate, {440.0, 660.0}, {0.5, 0.25});
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Prepare(), 1);
  EngineRig::Result res = rig.Record(writer, signal);
  EXPECT_EQ(res.open, 1);
  EXPECT_EQ(res.writeFailures, 0);
  EXPECT_EQ(res.close, 1);
  EXPECT_EQ(writer.GetName(), dir / "rec.wav");
  EXPECT_FALSE(writer.IsOpened());

  Decoded d = DecodeSndfile(dir / "rec.wav");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.rate, 44100);
  EXPECT_EQ(d.channels, 2);
  EXPECT_EQ(d.frames(), frames) << "every captured frame, the tail too";
  EXPECT_NEAR(ZeroCrossingFrequency(d.channel(0), kRate), 440.0, 0.01);
  EXPECT_NEAR(ZeroCrossingFrequency(d.channel(1), kRate), 660.0, 0.01);
  EXPECT_NEAR(Rms(d.channel(0)), 0.5 / std::sqrt(2.0), 0.001);
  EXPECT_NEAR(Rms(d.channel(1)), 0.25 / std::sqrt(2.0), 0.001);
  EXPECT_LT(MaxDiff(d.channel(0), Channel(signal, 2, 0)), 2.0 / 32768);
  EXPECT_LT(MaxDiff(d.channel(1), Channel(signal, 2, 1)), 2.0 / 32768);

  SF_INFO info{};
  SNDFILE* f = sf_open((dir / "rec.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  sf_close(f);
}

// A 16-bit capture into a 16-bit file is a copy: every value, odd ones too, on both
// channels, through several buffer-thread passes.
TEST_F(WavWriterTest, ASixteenBitCaptureIsWrittenBitForBit) {
  EngineRig rig(2, kRate, SampleFormatInt16);
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Prepare(), 1);
  ASSERT_EQ(writer.Open(2, rig.rings(), kRate), 1);
  std::vector<std::int16_t> left(3 * 65536 + 777), right(left.size());
  for (std::size_t i = 0; i < left.size(); ++i) {
    left[i] = static_cast<std::int16_t>(static_cast<int>(i % 65536) - 32768);
    right[i] = static_cast<std::int16_t>(std::lround(32767.0 * std::sin(0.001 * i)) | 1);  // odd values
  }
  for (std::size_t at = 0; at < left.size(); at += 20000) {
    const int n = static_cast<int>(std::min<std::size_t>(20000, left.size() - at));
    ASSERT_EQ(rig.rings()[0]->Put(reinterpret_cast<ConstSamplePtr>(left.data() + at), SampleFormatInt16, n),
              n);
    ASSERT_EQ(rig.rings()[1]->Put(reinterpret_cast<ConstSamplePtr>(right.data() + at), SampleFormatInt16, n),
              n);
    ASSERT_EQ(writer.WriteBlock(), 1);
  }
  ASSERT_EQ(writer.Close(), 1);

  SF_INFO info{};
  SNDFILE* f = sf_open((dir / "rec.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  ASSERT_EQ(info.frames, static_cast<sf_count_t>(left.size()));
  std::vector<std::int16_t> got(left.size() * 2);
  ASSERT_EQ(sf_readf_short(f, got.data(), info.frames), info.frames);
  sf_close(f);
  std::size_t changed = 0;
  for (std::size_t i = 0; i < left.size(); ++i) {
    changed += got[2 * i] != left[i];
    changed += got[2 * i + 1] != right[i];
  }
  EXPECT_EQ(changed, 0u);
}

// A recording whose process is killed (a crash, a power loss) leaves a file that opens
// with the audio written up to about a second before: the header does not wait for
// the close.
TEST_F(WavWriterTest, AKilledRecordingOpensWithWhatWasWritten) {
  const std::int64_t frames = 10 * kPassFrames;  // about 3 s
  const std::vector<float> signal = Sines(frames, kRate, {440.0, 660.0}, {0.5, 0.25});
  ASSERT_TRUE(RecordThenGetKilled<WavStreamWriter>(2, kRate, signal, frames)) << "the child stopped early";

  // The header's own sizes, as any reader takes them.
  const std::vector<unsigned char> bytes = testsupport::ReadBytes(dir / "rec.wav");
  ASSERT_GT(bytes.size(), 44u);
  const std::string text(bytes.begin(), bytes.end());
  const std::size_t data = text.find("data");
  ASSERT_NE(data, std::string::npos);
  const std::int64_t dataBytes = testsupport::LE32(bytes, data + 4);
  EXPECT_GE(dataBytes, (frames - static_cast<std::int64_t>(1.5 * kRate)) * 4)
      << "the header followed the data";
  EXPECT_LE(static_cast<std::size_t>(dataBytes), bytes.size() - data - 8);
  EXPECT_EQ(testsupport::LE32(bytes, 4), data + 8 + dataBytes - 8) << "the RIFF size";

  Decoded d = DecodeSndfile(dir / "rec.wav");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.channels, 2);
  EXPECT_GE(d.frames(), frames - static_cast<std::int64_t>(1.5 * kRate));
  EXPECT_LE(d.frames(), frames);
  const std::vector<float> left = Channel(signal, 2, 0);
  EXPECT_LT(MaxDiff(d.channel(0), std::vector<float>(left.begin(), left.begin() + d.frames())), 2.0 / 32768);
}

TEST_F(WavWriterTest, SoxReadsTheFileAsWritten) {
  if (!HaveProgram("sox") || !HaveProgram("soxi")) GTEST_SKIP() << "sox is not installed";
  const std::int64_t frames = 2 * 44100 + 300;
  std::vector<float> signal = Sines(frames, kRate, {1000.0, 1000.0}, {0.6, 0.6});
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  ExpectSoxReads(dir / "rec.wav", 44100, 2, frames, 1000.0, 0.6, 0.002);
}

TEST_F(WavWriterTest, ByteCountsAndFloatSamples) {
  scope.encode.WavSampleFormat = 0x4000F;
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Open(2, rig.rings(), kRate), 1);
  EXPECT_EQ(writer.GetMixerFormat(), 0x4000F);
  std::vector<float> signal = Sines(5000, kRate, {440.0, 440.0}, {0.9, 0.9});
  ASSERT_EQ(rig.Callback(signal.data(), 5000), 5000);
  ASSERT_EQ(writer.WriteBlock(), 1);
  EXPECT_EQ(writer.GetFileBytes(), 5000 * 2 * 4);
  ASSERT_EQ(writer.Close(), 1);
  EXPECT_EQ(writer.GetBytesTotal(), 0u);

  SF_INFO info{};
  SNDFILE* f = sf_open((dir / "rec.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, SF_FORMAT_FLOAT);
  sf_close(f);
  Decoded d = DecodeSndfile(dir / "rec.wav");
  EXPECT_EQ(d.frames(), 5000);
  EXPECT_LT(MaxDiff(d.channel(0), Channel(signal, 2, 0)), 1e-7);
}

TEST_F(WavWriterTest, SixteenBitBytesAreTwoPerSample) {
  scope.encode.WavChannelMode = 0;
  EngineRig rig(1, kRate);
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Open(1, rig.rings(), kRate), 1);
  std::vector<float> signal = Sines(3000, kRate, {440.0}, {0.5});
  rig.Callback(signal.data(), 3000);
  ASSERT_EQ(writer.WriteBlock(), 1);
  EXPECT_EQ(writer.GetFileBytes(), 3000 * 2);
  EXPECT_EQ(writer.Close(), 1);
}

TEST_F(WavWriterTest, MonoFileOfTwoCapturedChannelsCarriesTheFirst) {
  scope.encode.WavChannelMode = 0;
  std::vector<float> signal = Sines(44100, kRate, {440.0, 880.0}, {0.5, 0.5});
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  EXPECT_EQ(writer.UpdateStereo(), 0);
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  Decoded d = DecodeSndfile(dir / "rec.wav");
  EXPECT_EQ(d.channels, 1);
  EXPECT_EQ(d.frames(), 44100);
  EXPECT_NEAR(ZeroCrossingFrequency(d.samples, kRate), 440.0, 0.01);
}

TEST_F(WavWriterTest, CaptureRateIsConvertedToTheFileRate) {
  const double capture = 48000;
  const std::int64_t frames = 48000 * 2 + 100;
  std::vector<float> signal = Sines(frames, capture, {1000.0, 500.0}, {0.5, 0.5});
  EngineRig rig(2, capture);
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  Decoded d = DecodeSndfile(dir / "rec.wav");
  EXPECT_EQ(d.rate, 44100);
  EXPECT_NEAR(static_cast<double>(d.frames()), frames * 44100.0 / 48000.0, 2.0);
  EXPECT_NEAR(ZeroCrossingFrequency(d.channel(0), kRate, 1000, d.frames() - 1000), 1000.0, 0.05);
  EXPECT_NEAR(ZeroCrossingFrequency(d.channel(1), kRate, 1000, d.frames() - 1000), 500.0, 0.05);
  EXPECT_NEAR(Rms(d.channel(0), 1000, d.frames() - 1000), 0.5 / std::sqrt(2.0), 0.005);
}

TEST_F(WavWriterTest, ARecordingShorterThanOneFillIsWrittenWhole) {
  std::vector<float> signal = Sines(700, kRate, {440.0, 440.0}, {0.5, 0.5});
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  Decoded d = DecodeSndfile(dir / "rec.wav");
  EXPECT_EQ(d.frames(), 700);
  EXPECT_LT(MaxDiff(d.channel(0), Channel(signal, 2, 0)), 2.0 / 32768);
}

TEST_F(WavWriterTest, SplitsByTimeGiveNamedPartsWithoutGapOrOverlap) {
  scope.Split(1.0);
  const std::int64_t frames = static_cast<std::int64_t>(3.7 * kRate) + 33;
  std::vector<float> signal = Sines(frames, kRate, {440.0, 554.0}, {0.5, 0.4});
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Prepare(), 1);
  EngineRig::Result res = rig.Record(writer, signal, 1.0, 4410);
  EXPECT_EQ(res.close, 1);
  EXPECT_EQ(res.nextFiles, 3);
  EXPECT_EQ(writer.GetFileCounter(), 5);
  EXPECT_FALSE(std::filesystem::exists(dir / "rec.wav"));

  std::vector<float> joined;
  for (int part = 1; part <= 4; ++part) {
    const std::string name = dir / ("rec-" + std::to_string(part) + ".wav");
    Decoded d = DecodeSndfile(name);
    ASSERT_TRUE(d.ok) << name;
    EXPECT_EQ(d.channels, 2);
    if (part < 4) {
      EXPECT_GE(d.frames(), 44100) << name;
      EXPECT_LT(d.frames(), 44100 + 4410 + 1024) << name;
    }
    joined.insert(joined.end(), d.samples.begin(), d.samples.end());
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "rec-5.wav"));
  ASSERT_EQ(static_cast<std::int64_t>(joined.size()), frames * 2);
  EXPECT_LT(MaxDiff(joined, signal), 2.0 / 32768) << "the parts join into the recording";
}

TEST_F(WavWriterTest, NextFileOfAnUnsplitRecordingStartsTheSameNameAfresh) {
  EngineRig rig(1, kRate);
  scope.encode.WavChannelMode = 0;
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(writer.Open(1, rig.rings(), kRate), 1);
  std::vector<float> a = Sines(5000, kRate, {440.0}, {0.5});
  rig.Callback(a.data(), 5000);
  ASSERT_EQ(writer.WriteBlock(), 1);
  ASSERT_EQ(writer.NextFile(), 1);
  EXPECT_EQ(writer.GetFileBytes(), 0);
  EXPECT_NEAR(writer.GetFileSeconds(), 0.0, 1e-12);
  EXPECT_EQ(writer.GetName(), dir / "rec.wav");
  std::vector<float> b = Sines(3000, kRate, {880.0}, {0.5});
  rig.Callback(b.data(), 3000);
  ASSERT_EQ(writer.Close(), 1);
  Decoded d = DecodeSndfile(dir / "rec.wav");
  EXPECT_EQ(d.frames(), 3000);
  EXPECT_NEAR(ZeroCrossingFrequency(d.samples, kRate), 880.0, 0.05);
}

TEST_F(WavWriterTest, AnAiffContainerIsWrittenThroughTheSameRecord) {
  scope.encode.WavFileFormat = 0x20000;
  SetAutoFileName(dir / "rec", "aif");
  std::vector<float> signal = Sines(20000, kRate, {440.0, 440.0}, {0.5, 0.5});
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  ASSERT_EQ(rig.Record(writer, signal).close, 1);
  SF_INFO info{};
  SNDFILE* f = sf_open((dir / "rec.aif").c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_AIFF);
  EXPECT_EQ(info.frames, 20000);
  sf_close(f);
}

TEST_F(WavWriterTest, AFormatLibsndfileRefusesFailsOpen) {
  scope.encode.WavFileFormat = 0x7F0000;  // no such container
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  EXPECT_EQ(writer.Open(2, rig.rings(), kRate), 0);
  EXPECT_FALSE(writer.IsOpened());
  EXPECT_EQ(writer.Close(), 0);
}

TEST_F(WavWriterTest, OpenFailsWhenTheFileCannotBeCreated) {
  SetAutoFileName(dir / "missing/folder/rec", "wav");
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  EXPECT_EQ(writer.Open(2, rig.rings(), kRate), 0);
}

TEST_F(WavWriterTest, PrepareNeedsTheMixerAndCloseNeedsAnOpen) {
  StreamMixer* none = nullptr;
  WavStreamWriter lonely(&none);
  EXPECT_EQ(lonely.GetName(), "c:\\aa.wav");
  EXPECT_EQ(lonely.Prepare(), 0);
  EXPECT_EQ(lonely.GetFileSeconds(), 0.0);
  EXPECT_EQ(lonely.Close(), 0);
  EXPECT_EQ(lonely.WriteBlock(), 0);
  int rate = 0;
  char type[8] = {};
  scope.encode.WavSampleRate = 22050;
  lonely.GetRateAndType(&rate, type);
  EXPECT_EQ(rate, 22050);
  EXPECT_STREQ(type, "WAV");
}

// A write the disk refuses stops the recording instead of passing for success.
TEST_F(WavWriterTest, AFullDiskFailsTheWriteAndTheClose) {
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  std::vector<float> signal = Sines(44100 * 3, kRate, {440.0, 440.0}, {0.5, 0.5});
  ExpectAFullDiskStopsTheRecording(rig, writer, signal, 100000, dir / "rec.wav");
}

TEST_F(WavWriterTest, NextFileFailsWhenTheNextFileCannotBeCreated) {
  scope.Split(0.5);
  std::filesystem::create_directory(dir / "rec-2.wav");  // in the way of the second part
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  std::vector<float> signal = Sines(44100 * 2, kRate, {440.0, 440.0}, {0.5, 0.5});
  EngineRig::Result res = rig.Record(writer, signal, 0.5, 4410);
  EXPECT_TRUE(res.stopped);
  EXPECT_EQ(res.nextFiles, 1);
  EXPECT_EQ(res.nextFileFailed, 1);
  EXPECT_EQ(res.close, 0);
  Decoded d = DecodeSndfile(dir / "rec-1.wav");
  EXPECT_TRUE(d.ok) << "the first part was closed properly";
  EXPECT_GE(d.frames(), 22050);
}

TEST_F(WavWriterTest, ARealCallbackThreadAndBufferThread) {
  const std::int64_t frames = 44100 + 123;
  std::vector<float> signal = Sines(frames, kRate, {440.0, 660.0}, {0.5, 0.5});
  EngineRig rig(2, kRate);
  WavStreamWriter writer(rig.slot());
  EngineRig::Result res = rig.RecordThreaded(writer, signal);
  EXPECT_EQ(res.writeFailures, 0);
  EXPECT_EQ(res.close, 1);
  Decoded d = DecodeSndfile(dir / "rec.wav");
  EXPECT_EQ(d.frames(), frames);
  EXPECT_LT(MaxDiff(d.samples, signal), 2.0 / 32768);
}

}  // namespace
