// The one-shot MP3 and Ogg Vorbis exporters: settings tables read back with libmad,
// vorbisfile and sox; short ranges, an export beside a direct recording's encoder
// stream, Cancel, and failures that leave no file behind.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <filesystem>
#include <string>
#include <vector>

#include "audiofiles/io/LameEncoder.h"
#include "audiofiles/export/ExportMP3.h"
#include "audiofiles/export/ExportOgg.h"
#include "tests/audiofiles/export/export_test_support.h"
#include "tests/support/native/Mp3Decode.h"
#include "tests/support/native/OutsideMp3Decoder.h"

namespace {

using namespace exporttest;

constexpr int kMp3Slack = 3000;  // encoder delay and padding, in frames, with room

using Exporter = int (*)(Project* project, int stereo, const char* fileName, int selectedOnly, double t0,
                         double t1);

class ExportEncodedTest : public ExportFixture {
protected:
  // After one refusal: a full disk (a file-size limit of limitBytes) fails the export of
  // the project's 6 s with the writing message and keeps the old file at `old`, alone
  // in the folder; a folder that does not exist fails it with the opening message.
  void ExpectFullDiskAndMissingFolderKeepTheOldFile(Exporter exportFile, const std::string& old,
                                                    rlim_t limitBytes) {
    const std::string path = dir / old;
    {
      FileSizeLimit limit(limitBytes);
      EXPECT_EQ(exportFile(project.get(), 1, path.c_str(), 0, 0.0, 6.0), 0);
    }
    ASSERT_EQ(messages.Texts().size(), 2u);
    EXPECT_EQ(messages.Texts()[1], "The error occured when writing file!");
    EXPECT_EQ(testsupport::ReadBytes(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(FilesInDir(), std::vector<std::string>{old});

    const std::string missing = dir / ("no/such/folder" + old.substr(old.rfind('.')));
    EXPECT_EQ(exportFile(project.get(), 1, missing.c_str(), 0, 0.0, 6.0), 0);
    // The path as the user sees it (the native one here) and the system's reason.
    EXPECT_EQ(messages.Texts().back(),
              "Unable to open target file for writing " + missing + "\n\nNo such file or directory.");
  }
};

class ExportMP3Test : public ExportEncodedTest {
protected:
  void SetUp() override {
    ExportEncodedTest::SetUp();
    if (!GetLameEncoder()->Load()) GTEST_SKIP() << "the MP3 encoder library is not built";
  }
};

// The sine's frequency and level in the middle of the decoded audio of a lossy file
// (the level a little lower, as encoders give back pure tones).
void ExpectLossySine(const Decoded& d, int c, double freq, double amp) {
  const std::size_t from = static_cast<std::size_t>(d.rate) / 5;
  const std::size_t to = static_cast<std::size_t>(d.frames()) - static_cast<std::size_t>(d.rate) / 5;
  const std::vector<float> ch = d.channel(c);
  EXPECT_NEAR(ZeroCrossingFrequency(ch, d.rate, from, to), freq, freq * 0.002) << "channel " << c;
  EXPECT_NEAR(Rms(ch, from, to), amp / std::sqrt(2.0), amp * 0.08) << "channel " << c;
}

struct Mp3Case {
  int version, rate, mode, channelMode, bitRate;
};

TEST_F(ExportMP3Test, SettingsTableReadsBackWithItsRateChannelsLengthAndSines) {
  const double seconds = 2.0;
  AddStereoPair(seconds);
  const Mp3Case cases[] = {
      {0, 44100, 0, 1, 128},  // MPEG I CBR stereo
      {0, 48000, 2, 2, 128},  // VBR joint stereo, resampled up
      {1, 22050, 0, 0, 64},   // MPEG II mono from a stereo project
      {0, 32000, 1, 3, 160},  // ABR forced stereo
  };
  for (const Mp3Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "rate " << c.rate << " mode " << c.mode << " channels "
                                    << c.channelMode);
    record.MP3Version = c.version;
    record.MP3SampleRate = c.rate;
    record.MP3EncodeMode = c.mode;
    record.MP3ChannelMode = c.channelMode;
    record.MP3BitRate = c.bitRate;
    record.MP3ABRBitRate = c.bitRate * 1000;
    const std::string path = dir / "out.mp3";
    ASSERT_EQ(ExportMP3(project.get(), 1, path.c_str(), 0, 0.0, seconds), 1);
    EXPECT_TRUE(messages.Texts().empty());
    Decoded d = DecodeMp3(path);
    ASSERT_TRUE(d.ok);
    const int channels = c.channelMode == 0 ? 1 : 2;
    EXPECT_EQ(d.rate, c.rate);
    EXPECT_EQ(d.channels, channels);
    EXPECT_GE(d.frames(), std::llround(seconds * c.rate));
    EXPECT_LE(d.frames(), std::llround(seconds * c.rate) + kMp3Slack);
    if (channels == 2) {
      ExpectLossySine(d, 0, 440.0, 0.5);
      ExpectLossySine(d, 1, 660.0, 0.25);
    }
    if (HaveProgram("soxi")) {
      SoxView v = SoxLook(path);
      if (v.ok) {  // sox may be built without MP3 support
        EXPECT_EQ(v.rate, c.rate);
        EXPECT_EQ(v.channels, channels);
        EXPECT_NEAR(static_cast<double>(v.frames), static_cast<double>(d.frames()), kMp3Slack);
      }
    }
  }
  EXPECT_EQ(FilesInDir(), std::vector<std::string>{"out.mp3"});
}

TEST_F(ExportMP3Test, MonoTrackAndARangeShorterThanOneChunk) {
  AddSine(1000.0, 0.6, 2.0, Track::MonoChannel);
  record.MP3ChannelMode = 0;
  const std::string path = dir / "mono.mp3";
  ASSERT_EQ(ExportMP3(project.get(), 0, path.c_str(), 0, 0.0, 2.0), 1);
  Decoded d = DecodeMp3(path);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.channels, 1);
  ExpectLossySine(d, 0, 1000.0, 0.6);

  // 500 frames: one partial chunk, then the encoder's last frames.
  record.MP3ChannelMode = 1;
  const std::string shortPath = dir / "short.mp3";
  ASSERT_EQ(ExportMP3(project.get(), 0, shortPath.c_str(), 1, 1.0, 1.0 + 500.0 / 44100.0), 1);
  d = DecodeMp3(shortPath);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.channels, 2);
  EXPECT_GE(d.frames(), 500);
  EXPECT_LE(d.frames(), 500 + kMp3Slack);
  EXPECT_GT(Rms(d.channel(0)), 0.05) << "the 500 frames are in the file";
}

// A direct MP3 recording holds the program-wide encoder: the export runs its own
// stream and leaves the recording's stream alone.
TEST_F(ExportMP3Test, AnExportRunsBesideARecordingsEncoderStream) {
  AddStereoPair(1.0);
  LameEncoder* shared = GetLameEncoder();
  FileEncodeOptions recording;
  const int chunk = shared->InitStream(&recording);
  ASSERT_GT(chunk, 0);
  const std::string path = dir / "beside.mp3";
  EXPECT_EQ(ExportMP3(project.get(), 1, path.c_str(), 0, 0.0, 1.0), 1);
  EXPECT_TRUE(shared->IsStreamOpen()) << "the recording's stream is still open";
  std::vector<short> silence(static_cast<std::size_t>(chunk) * 2, 0);
  std::vector<unsigned char> out(static_cast<std::size_t>(shared->GetOutputBufferSize()) + 7200);
  EXPECT_GE(shared->EncodeChunk(silence.data(), out.data()), 0);
  EXPECT_GE(shared->Finish(out.data()), 0);
  Decoded d = DecodeMp3(path);
  ASSERT_TRUE(d.ok);
  ExpectLossySine(d, 0, 440.0, 0.5);
}

// The samples of a wave track, as floats.
std::vector<float> TrackSamples(const WaveTrack& t) {
  std::vector<float> s(static_cast<std::size_t>(t.GetNumSamples()));
  if (!s.empty()) {
    EXPECT_TRUE(t.Get(reinterpret_cast<SamplePtr>(s.data()), SampleFormatFloat, 0,
                      static_cast<std::int32_t>(s.size())));
  }
  return s;
}

// An export tells players its length (a VBR file has no other way to) and
// gapless decoders its encoder delay and padding: an outside decoder gives
// back exactly the exported frames, in place, as does our own import.
TEST_F(ExportMP3Test, ExportsTellTheirLengthAndDelayToOutsideDecoders) {
  if (!audiotest::HaveOutsideMp3Decoder()) GTEST_SKIP() << "mpg123 is not installed";
  const double seconds = 1.54;
  AddStereoPair(seconds);
  const Mp3Case cases[] = {
      {0, 44100, 0, 1, 128},  // CBR
      {0, 44100, 2, 2, 32},   // VBR
      {0, 44100, 1, 2, 32},   // ABR
      {1, 22050, 0, 0, 64},   // MPEG II mono, resampled down
  };
  for (const Mp3Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "rate " << c.rate << " mode " << c.mode);
    record.MP3Version = c.version;
    record.MP3SampleRate = c.rate;
    record.MP3EncodeMode = c.mode;
    record.MP3ChannelMode = c.channelMode;
    record.MP3BitRate = c.bitRate;
    record.MP3ABRBitRate = 128000;
    const std::string path = dir / "out.mp3";
    ASSERT_EQ(ExportMP3(project.get(), 1, path.c_str(), 0, 0.0, seconds), 1);
    const std::int64_t expected = std::llround(seconds * c.rate);

    const mp3test::Decoded stream = mp3test::Decode(testsupport::ReadBytes(path));
    EXPECT_TRUE(stream.infoFrame);
    EXPECT_EQ(stream.infoFrameCount, stream.frames);
    EXPECT_NEAR(audiotest::Mp3AnnouncedSeconds(path), seconds, 0.011);
    const Decoded outside = audiotest::DecodeMp3Outside(path);
    ASSERT_TRUE(outside.ok);
    EXPECT_NEAR(static_cast<double>(outside.frames()), static_cast<double>(expected), 1.0);
    // The left channel's tone; a mono file holds both channels' tones.
    std::vector<float> tone = Sines(expected, c.rate, {440.0}, {0.5});
    if (c.channelMode == 0) {
      const std::vector<float> right = Sines(expected, c.rate, {660.0}, {0.25});
      for (std::size_t i = 0; i < tone.size(); ++i) tone[i] += right[i];
    }
    double corr = 0;
    EXPECT_EQ(BestLag(tone, outside.channel(0), 2000, 10000, -30, 30, &corr), 0);
    EXPECT_GT(corr, 0.98);

    Project reopened;
    ASSERT_TRUE(reopened.OpenFile(path));
    const std::vector<WaveTrack*> tracks = reopened.GetTracks()->GetWaveTrackArray(false);
    ASSERT_FALSE(tracks.empty());
    EXPECT_EQ(tracks[0]->GetNumSamples(), outside.frames());
  }
}

// Opening an MP3 file, saving it as MP3 and opening that again keeps its
// length and its place: nothing is added at either end on the way.
TEST_F(ExportMP3Test, ImportExportImportKeepsLengthAndAlignment) {
  if (!HaveProgram("lame")) GTEST_SKIP() << "lame is not installed";
  const int rate = 44100;
  const std::int64_t frames = 57330;  // 1.3 s
  const std::vector<float> source = Sweep(frames, rate, 200.0, 4000.0, 0.5, 2);
  const std::string wav = dir / "source.wav", first = dir / "first.mp3", second = dir / "second.mp3";
  SF_INFO info{};
  info.channels = 2;
  info.samplerate = rate;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(wav.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr);
  sf_writef_float(f, source.data(), frames);
  sf_close(f);
  int status = -1;
  writertest::Run("lame --quiet -b 192 '" + wav + "' '" + first + "'", &status);
  ASSERT_EQ(status, 0);

  record.MP3SampleRate = rate;
  record.MP3ChannelMode = 1;
  record.MP3BitRate = 192;
  std::vector<float> previous = Channel(source, 2, 0);
  std::string from = first;
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    project->Clear();
    ASSERT_TRUE(project->OpenFile(from));
    const std::vector<WaveTrack*> tracks = project->GetTracks()->GetWaveTrackArray(false);
    ASSERT_EQ(tracks.size(), 2u);
    const std::vector<float> got = TrackSamples(*tracks[0]);
    EXPECT_EQ(static_cast<std::int64_t>(got.size()), frames);
    double corr = 0;
    EXPECT_EQ(BestLag(previous, got, 2000, 20000, -100, 100, &corr), 0);
    EXPECT_GT(corr, 0.98);
    if (round == 2) break;
    ASSERT_EQ(ExportMP3(project.get(), 1, second.c_str(), 0, 0.0, static_cast<double>(frames) / rate), 1);
    previous = got;
    from = second;
  }
}

// The lame decoder, an outside reader, agrees.
TEST_F(ExportMP3Test, TheLameDecoderReadsTheExport) {
  if (!HaveProgram("lame")) GTEST_SKIP() << "lame is not installed";
  AddStereoPair(2.0);
  const std::string path = dir / "out.mp3";
  ASSERT_EQ(ExportMP3(project.get(), 1, path.c_str(), 0, 0.0, 2.0), 1);
  int status = -1;
  writertest::Run("lame --quiet --decode '" + path + "' '" + (dir / "back.wav") + "'", &status);
  ASSERT_EQ(status, 0);
  Decoded d = DecodeSndfile(dir / "back.wav");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.channels, 2);
  EXPECT_NEAR(static_cast<double>(d.frames()), 88200.0, kMp3Slack);
  ExpectLossySine(d, 0, 440.0, 0.5);
  ExpectLossySine(d, 1, 660.0, 0.25);
}

TEST_F(ExportMP3Test, RefusedSettingsAndFullDisksLeaveNoFile) {
  AddStereoPair(6.0);
  const std::string path = dir / "old.mp3";
  testsupport::WriteBytes(path, {'o', 'l', 'd'});

  // MPEG I has no 8000 Hz: the encoder refuses the settings.
  record.MP3SampleRate = 8000;
  EXPECT_EQ(ExportMP3(project.get(), 1, path.c_str(), 0, 0.0, 6.0), 0);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0].rfind("The MP3 encoder cannot use these settings", 0), 0u)
      << messages.Texts()[0];

  record.MP3SampleRate = 44100;
  ExpectFullDiskAndMissingFolderKeepTheOldFile(&ExportMP3, "old.mp3", 32 * 1024);
}

TEST_F(ExportMP3Test, CancelKeepsTheEncodedPartWithTheEncodersLastFrames) {
  AddStereoPair(4.0);
  progress.cancel = true;
  clock.SetStep(600);
  const std::string path = dir / "cut.mp3";
  ASSERT_EQ(ExportMP3(project.get(), 1, path.c_str(), 1, 0.0, 4.0), 1);
  EXPECT_EQ(progress.caption, "Export");
  EXPECT_EQ(progress.text, "\nExporting the selected audio as an mp3: cut.mp3");
  Decoded d = DecodeMp3(path);
  ASSERT_TRUE(d.ok);
  EXPECT_GE(d.frames(), 1152);
  EXPECT_LT(d.frames(), 44100) << "stopped long before the end";
}

struct OggCase {
  int rate, mode, channelMode, bitRate, quality;
};

TEST_F(ExportEncodedTest, OggSettingsTableReadsBackWithItsExactLengthAndSines) {
  const double seconds = 2.0;
  AddStereoPair(seconds);
  const OggCase cases[] = {
      {44100, 1, 1, 128000, 5},  // quality VBR stereo
      {44100, 0, 1, 128000, 5},  // managed bit rate
      {22050, 1, 0, 64000, 7},   // mono from a stereo project, resampled
      {48000, 0, 1, 96000, 3},
  };
  for (const OggCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "rate " << c.rate << " mode " << c.mode << " channels "
                                    << c.channelMode);
    record.OGGSampleRate = c.rate;
    record.OGGEncodeMode = c.mode;
    record.OGGChannelMode = c.channelMode;
    record.OGGBitRate = c.bitRate;
    record.OGGVBRQuality = c.quality;
    const std::string path = dir / "out.ogg";
    ASSERT_EQ(ExportOgg(project.get(), 1, path.c_str(), 0, 0.0, seconds), 1);
    EXPECT_TRUE(messages.Texts().empty());
    Decoded d = DecodeVorbis(path);
    ASSERT_TRUE(d.ok);
    const int channels = c.channelMode == 1 ? 2 : 1;
    EXPECT_EQ(d.rate, c.rate);
    EXPECT_EQ(d.channels, channels);
    EXPECT_EQ(d.frames(), std::llround(seconds * c.rate));
    if (channels == 2) {
      ExpectLossySine(d, 0, 440.0, 0.5);
      ExpectLossySine(d, 1, 660.0, 0.25);
    }
    EXPECT_EQ(OggSerials(path).size(), 1u);
    if (HaveProgram("soxi")) {
      SoxView v = SoxLook(path);
      ASSERT_TRUE(v.ok);
      EXPECT_EQ(v.rate, c.rate);
      EXPECT_EQ(v.channels, channels);
      EXPECT_EQ(v.frames, d.frames());
    }
  }
  EXPECT_EQ(FilesInDir(), std::vector<std::string>{"out.ogg"});
}

TEST_F(ExportEncodedTest, OggSelectionOfOneMonoTrack) {
  AddSine(1000.0, 0.6, 3.0, Track::MonoChannel);
  record.OGGChannelMode = 0;
  const std::string path = dir / "sel.ogg";
  ASSERT_EQ(ExportOgg(project.get(), 0, path.c_str(), 1, 0.5, 2.0), 1);
  Decoded d = DecodeVorbis(path);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.channels, 1);
  EXPECT_EQ(d.frames(), std::llround(1.5 * 44100));
  ExpectLossySine(d, 0, 1000.0, 0.6);
}

// Cancel ends the stream after what was encoded: the shorter file is complete.
TEST_F(ExportEncodedTest, OggCancelEndsTheStreamProperly) {
  AddStereoPair(4.0);
  progress.cancel = true;
  clock.SetStep(600);
  const std::string path = dir / "cut.ogg";
  ASSERT_EQ(ExportOgg(project.get(), 1, path.c_str(), 0, 0.0, 4.0), 1);
  EXPECT_EQ(progress.text, "\nExporting the entire project as Ogg Vorbis");
  Decoded d = DecodeVorbis(path);
  ASSERT_TRUE(d.ok);
  EXPECT_GT(d.frames(), 0);
  EXPECT_LE(d.frames(), 2 * 8192) << "stopped long before the end";
  // The last page carries the end-of-stream flag.
  const std::vector<unsigned char> bytes = testsupport::ReadBytes(path);
  std::size_t last = 0;
  for (std::size_t i = 0; i + 4 < bytes.size(); ++i)
    if (bytes[i] == 'O' && bytes[i + 1] == 'g' && bytes[i + 2] == 'g' && bytes[i + 3] == 'S') last = i;
  EXPECT_TRUE(bytes[last + 5] & 0x04);
}

TEST_F(ExportEncodedTest, OggRefusedSettingsAndFullDisksLeaveNoFile) {
  AddStereoPair(6.0);
  const std::string path = dir / "old.ogg";
  testsupport::WriteBytes(path, {'o', 'l', 'd'});

  record.OGGSampleRate = 1000000;
  EXPECT_EQ(ExportOgg(project.get(), 1, path.c_str(), 0, 0.0, 6.0), 0);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0], "Initializing Ogg encode engin fail!");

  project->GetTracks()->Clear(true);
  AddSine(440.0, 0.5, 1.0, Track::MonoChannel, 192000.0);
  record.OGGSampleRate = 8000;
  EXPECT_EQ(ExportOgg(project.get(), 1, path.c_str(), 0, 0.0, 1.0), 0);
  EXPECT_EQ(messages.Texts().back().rfind("Audio at 192000 Hz cannot be converted to 8000 Hz.", 0), 0u);
  messages.ForgetLast();
  project->GetTracks()->Clear(true);
  AddStereoPair(6.0);

  record.OGGSampleRate = 44100;
  ExpectFullDiskAndMissingFolderKeepTheOldFile(&ExportOgg, "old.ogg", 16 * 1024);
}

}  // namespace
