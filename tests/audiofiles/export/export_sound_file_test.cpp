// The sound-file exporter and the clipboard's mix-and-write: every container and
// sample format read back with libsndfile and with sox, selections and offsets, the
// progress window and Cancel, and failures that must leave no file behind.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "audiofiles/export/ExportByExtension.h"
#include "audiofiles/export/ExportOgg.h"
#include "audiofiles/export/ExportSoundFile.h"
#include "tests/audiofiles/export/export_test_support.h"
#include "tests/support/native/Files.h"
#include "tests/support/native/SmallDisk.h"

namespace {

using namespace exporttest;

class ExportSoundFileTest : public ExportFixture {};

SF_INFO InfoOf(const std::string& path) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (f)
    sf_close(f);
  else
    info.format = 0;
  return info;
}

struct ContainerCase {
  const char* name;
  int container;
  int sampleFormat;
  int channelMode;  // 1 stereo
  int rate;
  bool stereoProject;  // a stereo pair, else one mono track
  int expectedFormat;
};

// Every container with each sample format it can hold, mono and stereo, at the
// project's rate and resampled.
const ContainerCase kContainerCases[] = {
    {"a.wav", 0x10000, 0x20001, 1, 44100, true, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
    {"b.wav", 0x10000, 0x4000F, 0, 22050, false, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
    {"c.aif", 0x20000, 0x20001, 1, 44100, true, SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
    {"d.aif", 0x20000, 0x4000F, 1, 32000, true, SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
    {"e.au", 0x30000, 0x20001, 0, 8000, false, SF_FORMAT_AU | SF_FORMAT_PCM_16},
    {"f.au", 0x30000, 0x4000F, 1, 44100, true, SF_FORMAT_AU | SF_FORMAT_FLOAT},
    {"g.voc", 0x80000, 0x20001, 1, 44100, true, SF_FORMAT_VOC | SF_FORMAT_PCM_16},
    {"h.voc", 0x80000, 0x20001, 0, 11025, false, SF_FORMAT_VOC | SF_FORMAT_PCM_16},
};

TEST_F(ExportSoundFileTest, EveryContainerAndSampleFormatReadsBackAsTheSines) {
  const double seconds = 2.0;
  for (const ContainerCase& c : kContainerCases) {
    SCOPED_TRACE(c.name);
    project->GetTracks()->Clear(true);
    if (c.stereoProject)
      AddStereoPair(seconds);
    else
      AddSine(440.0, 0.5, seconds, Track::MonoChannel);
    record.WavFileFormat = c.container;
    record.WavSampleFormat = c.sampleFormat;
    record.WavChannelMode = c.channelMode;
    record.WavSampleRate = c.rate;
    const std::string path = dir / c.name;
    ASSERT_EQ(ExportSoundFile(project.get(), 1, path.c_str(), 0, 0.0, seconds), 1);
    EXPECT_TRUE(messages.Texts().empty());

    const SF_INFO info = InfoOf(path);
    EXPECT_EQ(info.format, c.expectedFormat);
    Decoded d = DecodeSndfile(path);
    ASSERT_TRUE(d.ok);
    const int channels = c.channelMode == 1 ? 2 : 1;
    EXPECT_EQ(d.rate, c.rate);
    EXPECT_EQ(d.channels, channels);
    EXPECT_NEAR(static_cast<double>(d.frames()), seconds * c.rate, 2.0);
    const std::size_t from = c.rate / 10, to = static_cast<std::size_t>(d.frames()) - c.rate / 10;
    ExpectSine(d, 0, 440.0, 0.5, from, to);
    if (channels == 2)
      ExpectSine(d, 1, c.stereoProject ? 660.0 : 440.0, c.stereoProject ? 0.25 : 0.5, from, to);

    // An outside reader sees the same file.
    if (HaveProgram("soxi")) {
      SoxView v = SoxLook(path);
      ASSERT_TRUE(v.ok) << writertest::Run("soxi '" + path + "'")
                        << writertest::Run("sox '" + path + "' -n remix 1 stat");
      EXPECT_EQ(v.rate, c.rate);
      EXPECT_EQ(v.channels, channels);
      EXPECT_EQ(v.frames, d.frames());
      EXPECT_NEAR(v.rms, 0.5 / std::sqrt(2.0), 0.02);
      EXPECT_NEAR(v.frequency, 440.0, 15.0);
    }
  }
  EXPECT_EQ(FilesInDir().size(), std::size(kContainerCases)) << "no temporary file is left";
}

// A 16-bit track written as 16-bit at its own rate comes back sample for sample, with
// the range cut where the selection says and the track's offset kept.
TEST_F(ExportSoundFileTest, SelectionOfOneChannelIsWrittenSampleForSample) {
  AddSine(440.0, 0.5, 3.0, Track::LeftChannel, 44100.0, 0.25, SampleFormatInt16);
  WaveTrack* right = AddSine(660.0, 0.25, 3.0, Track::RightChannel, 44100.0, 0.25, SampleFormatInt16);
  right->SetSelected(false);
  record.WavFileFormat = 0x10000;
  record.WavSampleFormat = 0x20001;
  record.WavChannelMode = 0;
  record.WavSampleRate = 44100;
  const std::string path = dir / "sel.wav";

  // A selection from before the track's start: the leading part is silence.
  double t0 = 0.0, t1 = 1.5;
  int stereo = -1;
  ASSERT_EQ(GetExportRange(project.get(), 1, &t0, &t1, &stereo), 1);
  EXPECT_DOUBLE_EQ(t0, 0.25) << "the range starts where the selected tracks start";
  EXPECT_EQ(stereo, 0);
  t0 = 0.1;
  ASSERT_EQ(ExportSoundFile(project.get(), stereo, path.c_str(), 1, t0, t1), 1);

  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(info.frames, std::llround((t1 - t0) * 44100));
  std::vector<short> got(static_cast<std::size_t>(info.frames));
  sf_readf_short(f, got.data(), info.frames);
  sf_close(f);

  WaveTrack* left = static_cast<WaveTrack*>(project->GetTracks()->GetLink(right));
  const std::int64_t first = left->TimeToSamples(t0);
  std::vector<short> want(got.size());
  left->Get(reinterpret_cast<SamplePtr>(want.data()), SampleFormatInt16, first,
            static_cast<std::int32_t>(want.size()));
  EXPECT_EQ(got, want);
  const std::size_t lead = static_cast<std::size_t>(std::llround(0.15 * 44100));
  EXPECT_TRUE(std::all_of(got.begin(), got.begin() + lead, [](short s) { return s == 0; }));
  EXPECT_NE(got[lead + 20], 0);
}

TEST_F(ExportSoundFileTest, AnEmptyRangeWritesOnlyTheHeader) {
  AddStereoPair(1.0);
  record.WavChannelMode = 1;
  const std::string path = dir / "empty.wav";
  ASSERT_EQ(ExportSoundFile(project.get(), 1, path.c_str(), 0, 0.5, 0.5), 1);
  const SF_INFO info = InfoOf(path);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(info.frames, 0);
  EXPECT_EQ(info.channels, 2);
}

// The name's extension says which container the file is in.
TEST_F(ExportSoundFileTest, TheExtensionOfTheNameChoosesTheContainer) {
  AddSine(440.0, 0.5, 0.5, Track::MonoChannel);
  const struct {
    const char* name;
    int setting;
    int major;
  } cases[] =
      {
          {"x.aif", 0x10000, SF_FORMAT_AIFF}, {"y.WAV", 0x30000, SF_FORMAT_WAV},
          {"z.au", 0x80000, SF_FORMAT_AU},    {"w.voc", 0x20000, SF_FORMAT_VOC},
          {"v.raw", 0x20000, SF_FORMAT_AIFF},  // no container named: the setting decides
      };
  for (const auto& c : cases) {
    record.WavFileFormat = c.setting;
    const std::string path = dir / c.name;
    ASSERT_EQ(ExportSoundFile(project.get(), 0, path.c_str(), 0, 0.0, 0.5), 1) << c.name;
    EXPECT_EQ(InfoOf(path).format & SF_FORMAT_TYPEMASK, c.major) << c.name;
  }
}

// A folder that takes no new file holds a file the user may rewrite: the export goes
// into that file itself. One that cannot fit there (over the file-size limit) leaves
// the old file as it was, refused before it starts when its size is known, put back
// when the write fails; one that fits replaces it. Each runs in a child process
// without privileges, so that the folder's mode binds it.
TEST_F(ExportSoundFileTest, InPlaceExportsThatCannotFitLeaveTheOldFile) {
  using Exporter = int (*)(Project*, int, const char*, int, double, double);
  AddStereoPair(6.0);
  const std::string folder = dir / "locked";
  std::filesystem::create_directory(folder);
  const std::string path = folder + "/old.wav";
  const std::vector<unsigned char> old(3000, 'o');
  const std::string noRoom =
      "Error (file may not have been written): the disk has no room for the new file in place of the "
      "old one, which was left as it was";
  struct Case {
    const char* what;
    Exporter exporter;
    rlim_t limit;
    double seconds;
    int result;
    std::string message;  // the last message shown, "" for none
  } cases[] = {
      {"a sound file over the limit", &ExportSoundFile, 200000, 6.0, 0, noRoom},
      {"an Ogg file over the limit", &ExportOgg, 16 * 1024, 6.0, 0, "The error occured when writing file!"},
      {"a sound file within the limit", &ExportSoundFile, 4 << 20, 0.5, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(testsupport::WriteBytes(path, old));
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const testsupport::ChildResult r = testsupport::RunInChildProcess([&]() -> std::vector<std::int64_t> {
      if (!testsupport::DropCapabilities()) return {};
      const std::size_t shown = messages.Texts().size();
      int result;
      {
        testsupport::FileSizeLimit limit(c.limit);
        result = c.exporter(project.get(), 1, path.c_str(), 0, 0.0, c.seconds);
      }
      const std::vector<std::string> texts = messages.Texts();
      const std::string last = texts.size() > shown ? texts.back() : "";
      return {result, last == c.message ? 1 : 0};
    });
    ::chmod(folder.c_str(), 0755);
    ASSERT_TRUE(r.available) << r.why;
    ASSERT_EQ(r.numbers.size(), 2u) << "the child could not give up its privileges";
    EXPECT_EQ(r.numbers[0], c.result);
    EXPECT_EQ(r.numbers[1], 1) << "the message";
    EXPECT_EQ(FilesInDir(folder), std::vector<std::string>{"old.wav"});
    if (c.result == 0) {
      EXPECT_EQ(testsupport::ReadBytes(path), old) << "the old file is left as it was";
    } else {
      Decoded d = DecodeSndfile(path);
      ASSERT_TRUE(d.ok);
      EXPECT_EQ(d.frames(), 22050);
    }
  }
}

// The same on a disk that is really full: the sound file's size is known, so the
// old file is never touched.
TEST_F(ExportSoundFileTest, InPlaceExportOnAFullDiskIsRefusedBeforeTheOldFileIsTouched) {
  AddStereoPair(6.0);
  const testsupport::ChildResult r =
      testsupport::RunOnSmallDisk(1 << 20, [&](const std::string& disk) -> std::vector<std::int64_t> {
        const std::string folder = disk + "/locked";
        const std::string path = folder + "/old.wav";
        const std::vector<unsigned char> old(200000, 'o');
        if (::mkdir(folder.c_str(), 0755) != 0 || !testsupport::WriteBytes(path, old) ||
            !testsupport::LeaveFree(disk, 100000) || ::chmod(folder.c_str(), 0555) != 0 ||
            !testsupport::DropCapabilities())
          return {};
        const int result = ExportSoundFile(project.get(), 1, path.c_str(), 0, 0.0, 6.0);
        const bool kept = testsupport::ReadBytes(path) == old;
        const bool told =
            !messages.Texts().empty() && messages.Texts().back().find("no room") != std::string::npos;
        return {result, kept ? 1 : 0, told ? 1 : 0};
      });
  if (!r.available) GTEST_SKIP() << "no small disk here: " << r.why;
  ASSERT_EQ(r.numbers.size(), 3u) << "the small disk could not be set up";
  EXPECT_EQ(r.numbers[0], 0);
  EXPECT_EQ(r.numbers[1], 1) << "the old file is left as it was";
  EXPECT_EQ(r.numbers[2], 1) << "the user is told why";
}

TEST_F(ExportSoundFileTest, FormatsThatCannotBeWrittenAreRefusedAndNothingIsMade) {
  AddSine(440.0, 0.5, 0.5, Track::MonoChannel);
  const std::string path = dir / "bad.voc";
  // VOC holds no float samples; dropping the subtype leaves nothing to write.
  record.WavFileFormat = 0x80000;
  record.WavSampleFormat = 0x4000F;
  EXPECT_EQ(ExportSoundFile(project.get(), 0, path.c_str(), 0, 0.0, 0.5), 0);
  record.WavFileFormat = 0x10000;
  record.WavSampleFormat = 0x20001;
  record.WavSampleRate = 0;
  EXPECT_EQ(ExportSoundFile(project.get(), 0, (dir / "bad.wav").c_str(), 0, 0.0, 0.5), 0);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>(2, "Cannot export audio in this format."));
  EXPECT_TRUE(FilesInDir().empty());

  // A track the converter cannot bring to the file's rate is not written as silence.
  WaveTrack* fast = AddSine(440.0, 0.5, 0.5, Track::MonoChannel, 192000.0);
  record.WavSampleRate = 8000;
  EXPECT_EQ(ExportSoundFile(project.get(), 0, (dir / "slow.wav").c_str(), 0, 0.0, 0.5), 0);
  EXPECT_EQ(messages.Texts().back(),
            "Audio at 192000 Hz cannot be converted to 8000 Hz.\nChoose a sample rate closer to "
            "the audio's rate.");
  EXPECT_TRUE(FilesInDir().empty());
  project->GetTracks()->Remove(fast);
  delete fast;

  record.WavSampleRate = 44100;
  const std::string nowhere = dir / "missing/folder/x.wav";
  EXPECT_EQ(ExportSoundFile(project.get(), 0, nowhere.c_str(), 0, 0.0, 0.5), 0);
  EXPECT_EQ(messages.Texts().back(), "Cannot export audio to " + nowhere + "\n\nNo such file or directory.");
}

// A full disk (a file-size limit) cuts the file short: the export fails with the
// message, the file it would have replaced stays as it was, and no partial file is left.
TEST_F(ExportSoundFileTest, AFullDiskFailsTheExportAndKeepsTheOldFile) {
  AddStereoPair(6.0);
  record.WavChannelMode = 1;
  const std::string path = dir / "full.wav";
  testsupport::WriteBytes(path, {'o', 'l', 'd'});
  const std::string clip = dir / "clip.wav";
  int soundFile, selection;
  {
    FileSizeLimit limit(256 * 1024);
    soundFile = ExportSoundFile(project.get(), 1, path.c_str(), 0, 0.0, 6.0);
    selection = MixSelectionToWav(project.get(), 1, clip.c_str(), 0, 0.0, 6.0);
  }
  EXPECT_EQ(soundFile, 0);
  EXPECT_EQ(selection, 0);
  ASSERT_EQ(messages.Texts().size(), 2u);
  EXPECT_EQ(messages.Texts()[0].rfind("Error (file may not have been written): ", 0), 0u)
      << messages.Texts()[0];
  EXPECT_EQ(messages.Texts()[1], "Handle Error!");
  EXPECT_EQ(testsupport::ReadBytes(path), (std::vector<unsigned char>{'o', 'l', 'd'}));
  EXPECT_EQ(FilesInDir(), std::vector<std::string>{"full.wav"});
}

// The finished file cannot take the target's place (a folder of that name): a failure,
// and the temporary file goes.
TEST_F(ExportSoundFileTest, ATargetThatCannotBeReplacedFailsTheExport) {
  AddSine(440.0, 0.5, 0.5, Track::MonoChannel);
  std::filesystem::create_directory(dir / "taken.wav");
  EXPECT_EQ(ExportSoundFile(project.get(), 0, (dir / "taken.wav").c_str(), 0, 0.0, 0.5), 0);
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0].rfind("Error (file may not have been written): ", 0), 0u);
  EXPECT_EQ(FilesInDir(), std::vector<std::string>{"taken.wav"});
}

// Saving onto a symbolic link replaces the file it points to and keeps the link.
TEST_F(ExportSoundFileTest, ASymbolicLinkIsWrittenThrough) {
  AddSine(440.0, 0.5, 0.5, Track::MonoChannel);
  std::filesystem::create_directory(dir / "real");
  testsupport::WriteBytes(dir / "real/song.wav", {'o', 'l', 'd'});
  std::filesystem::create_symlink(dir / "real/song.wav", dir / "link.wav");
  ASSERT_EQ(ExportSoundFile(project.get(), 0, (dir / "link.wav").c_str(), 0, 0.0, 0.5), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.wav"));
  EXPECT_EQ(DecodeSndfile(dir / "real/song.wav").frames(), 22050);
  EXPECT_EQ(FilesInDir(dir / "real"), std::vector<std::string>{"song.wav"});
}

TEST_F(ExportSoundFileTest, QuickExportsShowNoProgressWindow) {
  AddStereoPair(12.0);
  ASSERT_EQ(ExportSoundFile(project.get(), 1, (dir / "q.wav").c_str(), 0, 0.0, 12.0), 1);
  EXPECT_EQ(progress.created, 0);
}

// After half a second the window shows with its caption and text and follows the mix;
// Cancel stops after the current block and keeps a valid, shorter file.
TEST_F(ExportSoundFileTest, ProgressShowsAfterHalfASecondAndCancelKeepsWhatWasWritten) {
  AddStereoPair(12.0);
  record.WavChannelMode = 1;
  clock.SetStep(200);
  const std::string path = dir / "long.wav";
  ASSERT_EQ(ExportSoundFile(project.get(), 1, path.c_str(), 0, 0.0, 12.0), 1);
  EXPECT_EQ(progress.created, 1);
  EXPECT_EQ(progress.caption, "Export");
  EXPECT_EQ(progress.text,
            "\nExporting the entire audio as a " + GetFormatHeaderName(0x10000) + " file: long.wav");
  ASSERT_FALSE(progress.positions.empty());
  EXPECT_EQ(progress.positions.back(), 1000);
  EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end()));
  EXPECT_EQ(progress.hides, 1);

  progress = testsupport::ProgressLog{};
  progress.cancel = true;
  clock.SetStep(600);
  ASSERT_EQ(ExportSoundFile(project.get(), 1, path.c_str(), 1, 0.0, 12.0), 1);
  EXPECT_EQ(progress.text,
            "\nExporting the selected audio as a " + GetFormatHeaderName(0x10000) + " file: long.wav");
  Decoded d = DecodeSndfile(path);
  EXPECT_EQ(d.frames(), 220500) << "one block was written before the cancel";
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(ExportSoundFileTest, CopyWritesTheSelectionAsSixteenBitWavAtTheProjectRate) {
  project->SetRate(22050.0);
  AddSine(440.0, 0.5, 2.0, Track::LeftChannel);
  WaveTrack* right = AddSine(660.0, 0.25, 2.0, Track::RightChannel);
  record.WavFileFormat = 0x30000;  // the export settings do not apply
  record.WavSampleFormat = 0x4000F;
  const std::string path = dir / "$ZQY#Clipboard.wav";
  ASSERT_EQ(WriteSelectionToFile(project.get(), 1, 0.5, 1.5, path), 1);
  EXPECT_EQ(InfoOf(path).format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  Decoded d = DecodeSndfile(path);
  EXPECT_EQ(d.rate, 22050);
  EXPECT_EQ(d.channels, 2);
  EXPECT_EQ(d.frames(), 22050);
  ExpectSine(d, 0, 440.0, 0.5, 500, 21500);
  ExpectSine(d, 1, 660.0, 0.25, 500, 21500);

  // Only the left track selected: one channel, the left one.
  right->SetSelected(false);
  ASSERT_EQ(WriteSelectionToFile(project.get(), 1, 0.5, 1.5, path), 1);
  d = DecodeSndfile(path);
  EXPECT_EQ(d.channels, 1);
  ExpectSine(d, 0, 440.0, 0.5, 500, 21500);
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(FilesInDir(), std::vector<std::string>{"$ZQY#Clipboard.wav"});
}

// Paste writes the clipboard with its own channels and length, not the project's.
TEST_F(ExportSoundFileTest, TheClipboardFileHasTheClipboardsChannelsAndLength) {
  CreateClipboardTrackList();
  struct ClipboardGuard {
    ~ClipboardGuard() { DestroyClipboardTrackList(); }
  } guard;
  AddStereoPair(4.0);  // the project is stereo
  TrackList* clip = GetClipboardTracks();
  ASSERT_NE(clip, nullptr);
  WaveTrack* mono = project->GetTrackFactory()->NewWaveTrack(SampleFormatFloat, 44100.0);
  std::vector<float> s = Sines(44100 * 3 / 2, 44100.0, {1000.0}, {0.4});
  mono->Append(reinterpret_cast<ConstSamplePtr>(s.data()), SampleFormatFloat,
               static_cast<std::int32_t>(s.size()));
  mono->Flush();
  clip->Add(mono);

  const std::string path = dir / "paste.wav";
  ASSERT_EQ(WriteClipboardTracksToFile(project.get(), path), 1);
  Decoded d = DecodeSndfile(path);
  EXPECT_EQ(d.channels, 1) << "a mono clipboard gives a mono file in a stereo project";
  EXPECT_EQ(d.frames(), 44100 * 3 / 2);
  ExpectSine(d, 0, 1000.0, 0.4, 1000, 60000);

  // A stereo clipboard in a mono project gives a stereo file.
  ClearClipboard();
  project->GetTracks()->Clear(true);
  AddSine(440.0, 0.5, 1.0, Track::MonoChannel);
  for (int c : {Track::LeftChannel, Track::RightChannel}) {
    WaveTrack* t = project->GetTrackFactory()->NewWaveTrack(SampleFormatFloat, 44100.0);
    std::vector<float> v = Sines(22050, 44100.0, {c == Track::LeftChannel ? 300.0 : 500.0}, {0.3});
    t->Append(reinterpret_cast<ConstSamplePtr>(v.data()), SampleFormatFloat, 22050);
    t->Flush();
    t->SetChannel(c);
    t->SetLinked(c == Track::LeftChannel);
    clip->Add(t);
  }
  ASSERT_EQ(WriteClipboardTracksToFile(project.get(), path), 1);
  d = DecodeSndfile(path);
  EXPECT_EQ(d.channels, 2);
  EXPECT_EQ(d.frames(), 22050);
  ExpectSine(d, 0, 300.0, 0.3, 1000, 21000);
  ExpectSine(d, 1, 500.0, 0.3, 1000, 21000);
}

}  // namespace
