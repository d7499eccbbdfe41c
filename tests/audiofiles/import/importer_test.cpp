// The importer's choice of format, its progress reports and cancel, and its
// answers to files that are damaged, cut, hostile or not files at all.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "audiofiles/import/ImportFormat.h"
#include "core/model/SystemUtils.h"
#include "tests/audiofiles/import/import_test_support.h"
#include "tests/support/native/FakeClock.h"

namespace {

using importtest::ImportTest;
using importtest::ReadBytes;
using importtest::Shell;
using importtest::WriteBytes;

class ImporterTest : public ImportTest {};

TEST_F(ImporterTest, FormatsAreTriedInRegistrationOrder) {
  const auto& formats = importer.GetFormats();
  ASSERT_EQ(formats.size(), 3u);
  EXPECT_EQ(formats[0]->GetFormatDescription(), "Uncompressed PCM Audio Files");
  EXPECT_EQ(formats[1]->GetFormatDescription(), "Ogg Vorbis");
  EXPECT_EQ(formats[2]->GetFormatDescription(), "MP3");
  const auto& pcm = *formats[0]->GetExtensions();
  EXPECT_NE(std::find(pcm.begin(), pcm.end(), "wav"), pcm.end());
  EXPECT_NE(std::find(pcm.begin(), pcm.end(), "sv16"), pcm.end());
  EXPECT_EQ(*formats[1]->GetExtensions(), std::vector<std::string>{"ogg"});
  EXPECT_EQ(*formats[2]->GetExtensions(), (std::vector<std::string>{"mp3", "mp2", "mpg", "mpeg"}));
}

// Records the description of the file being imported, seen from the progress
// callback, and every fraction.
struct Watcher {
  Importer* importer;
  std::vector<std::string> descriptions;
  std::vector<float> fractions;
  static int Callback(void* self, float fraction) {
    auto* w = static_cast<Watcher*>(self);
    const std::string d = w->importer->GetFileDescription();
    if (w->descriptions.empty() || w->descriptions.back() != d) w->descriptions.push_back(d);
    w->fractions.push_back(fraction);
    return 0;
  }
};

TEST_F(ImporterTest, TheFileIsFoundByItsLowerCaseExtensionThenByTryingEveryFormat) {
  ASSERT_TRUE(WriteSndfile(Path("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 22050, 5000));
  const std::vector<unsigned char> wav = ReadBytes(Path("tone.wav"));
  struct Case {
    const char* name;
    std::vector<std::string> seen;  // the formats that reported progress, in order
  } cases[] = {
      {"TONE.WAV", {"WAV (Microsoft)"}},
      {"noextension", {"WAV (Microsoft)"}},
      {"dotted.folder.name/plain", {"WAV (Microsoft)"}},
      {"tone.unknown", {"WAV (Microsoft)"}},
      // Not Ogg: the Ogg format refuses it, the PCM format takes it.
      {"tone.ogg", {"WAV (Microsoft)"}},
      // The MP3 format opens anything but finds no frame in it.
      {"tone.mp3", {"MP3", "WAV (Microsoft)"}},
  };
  std::filesystem::create_directory(Path("dotted.folder.name"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path(c.name), wav);
    Watcher w{&importer, {}, {}};
    auto r = Import(Path(c.name), &Watcher::Callback, &w);
    ASSERT_EQ(r.count, 2) << r.error;
    EXPECT_EQ(r.tracks[0]->GetRate(), 22050);
    EXPECT_EQ(w.descriptions, c.seen);
    EXPECT_EQ(importer.GetFileDescription(), "");
  }
}

TEST_F(ImporterTest, ProgressRunsFromZeroToOneWithTheCallersData) {
  ASSERT_TRUE(WriteSndfile(Path("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, 2000000));
  Watcher w{&importer, {}, {}};
  {
    testsupport::FakeClock clock(1000);
    StopwatchStart();
    clock.Set(9000);

    auto r = Import(Path("long.wav"), &Watcher::Callback, &w);
    ASSERT_EQ(r.count, 1);
    // The importer restarted the program-wide stopwatch.
    EXPECT_EQ(StopwatchElapsed(), 0u);
  }

  ASSERT_GE(w.fractions.size(), 3u);
  EXPECT_TRUE(std::is_sorted(w.fractions.begin(), w.fractions.end()));
  EXPECT_GE(w.fractions.front(), 0.0f);
  EXPECT_LT(w.fractions.front(), 0.5f);
  EXPECT_EQ(w.fractions.back(), 1.0f);
}

TEST_F(ImporterTest, CancelOfAPcmImportLeavesNothing) {
  ASSERT_TRUE(WriteSndfile(Path("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 44100, 1500000));
  ExpectCancelLeavesNothing(Path("long.wav"), 2);
}

// Damaged, cut, hostile and impossible inputs: never a crash, a clear message
// when nothing is imported, no block left behind by a failed import.
TEST_F(ImporterTest, BadInputsGetAClearAnswer) {
  ASSERT_TRUE(WriteSndfile(Path("good.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 4000));
  const std::vector<unsigned char> wav = ReadBytes(Path("good.wav"));
  std::mt19937 random(12345);
  std::vector<unsigned char> noise(70000);
  for (auto& b : noise) b = static_cast<unsigned char>(random());

  // A WAV header claiming 100 channels.
  std::vector<unsigned char> wide = wav;
  auto put32 = [&wide](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) wide[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  ASSERT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
  wide[22] = 100;  // channels
  wide[23] = 0;
  put32(28, 44100 * 200);  // bytes per second
  wide[32] = 200;          // bytes per frame
  wide[33] = 0;
  // A WAV header claiming a billion frames more than the data holds.
  std::vector<unsigned char> longer = wav;
  longer[40] = 0xFF;
  longer[41] = 0xFF;
  longer[42] = 0xFF;
  longer[43] = 0x3F;

  struct Case {
    std::string name;
    std::vector<unsigned char> bytes;
    int count;            // tracks expected
    std::string message;  // part of the message when nothing is imported
  } cases[] = {
      {"empty.wav", {}, 0, "did not recognize"},
      {"noise.wav", noise, 0, ""},
      {"noise.ogg", noise, 0, ""},
      {"noise.mp3", noise, -1, ""},  // may find frames in noise; must not crash
      {"noise.flac", noise, 0, ""},
      {"header.wav", std::vector<unsigned char>(wav.begin(), wav.begin() + 30), 0, "did not recognize"},
      {"cut.wav", std::vector<unsigned char>(wav.begin(), wav.begin() + 1001), 2, ""},
      {"longer.wav", longer, 2, ""},
      {"wide.wav", wide, 0, "at most 64 channels"},
      {"oggheader.ogg",
       {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0},
       0,
       "did not recognize"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path(c.name), c.bytes);
    auto r = Import(Path(c.name));
    if (c.count >= 0) {
      EXPECT_EQ(r.count, c.count) << r.error;
    }
    if (r.count == 0) {
      EXPECT_NE(r.error, "Import Error!!");
      EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
      EXPECT_EQ(BlockFilesOnDisk(), 0);
    }
  }

  auto missing = Import(Path("missing.wav"));
  EXPECT_EQ(missing.count, 0);
  EXPECT_NE(missing.error.find("could not open"), std::string::npos) << missing.error;
  auto folder = Import(blocks);
  EXPECT_EQ(folder.count, 0);
  EXPECT_NE(folder.error.find("folder"), std::string::npos) << folder.error;
}

TEST_F(ImporterTest, SamplesThatCannotBeStoredFailTheImportWholly) {
  ASSERT_TRUE(WriteSndfile(Path("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, 1000000));
  // The temporary folder turns into a path under a plain file: no block can
  // be written any more.
  WriteBytes(Path("plain"), {1, 2, 3});
  ASSERT_TRUE(DirManager::SetTempDir(Path("plain/blocks").c_str()));
  auto r = Import(Path("long.wav"));
  EXPECT_EQ(r.count, 0);
  EXPECT_NE(r.error.find("could not store"), std::string::npos) << r.error;
  ASSERT_TRUE(DirManager::SetTempDir(blocks.c_str()));
  EXPECT_EQ(BlockFilesOnDisk(), 0);
}

}  // namespace
