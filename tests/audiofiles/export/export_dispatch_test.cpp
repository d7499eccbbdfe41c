// The save and export dispatcher: which exporter a name reaches (by the bytes of the
// file it makes), names without an extension, refused extensions, and the range and
// channel count settled before any export.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "audiofiles/io/LameEncoder.h"
#include "audiofiles/export/ExportByExtension.h"
#include "tests/audiofiles/export/export_test_support.h"

namespace {

using namespace exporttest;

class ExportDispatchTest : public ExportFixture {};

// What a file's first bytes say it is.
std::string Kind(const std::string& path) {
  const std::vector<unsigned char> b = testsupport::ReadBytes(path);
  auto starts = [&](const char* magic) {
    const std::size_t n = std::strlen(magic);
    return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
  };
  if (b.empty()) return std::filesystem::exists(path) ? "empty" : "none";
  if (starts("RIFF")) return "wav";
  if (starts("FORM")) return "aif";
  if (starts(".snd")) return "au";
  if (starts("Creative Voice File")) return "voc";
  if (starts("OggS")) return "ogg";
  if (starts("ID3") || (b.size() > 1 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0)) return "mp3";
  return "other";
}

TEST_F(ExportDispatchTest, TheExtensionChoosesTheExporterInAnyCase) {
  const bool haveMp3 = GetLameEncoder()->Load() != 0;
  AddStereoPair(0.5);
  record.WavFileFormat = 0x10000;  // the names below ask for other containers
  const struct {
    const char* name;   // as given
    const char* saved;  // the file that must appear
    const char* kind;
  } cases[] = {
      {"Take.MP3", "Take.MP3", "mp3"}, {"a.Mp2", "a.Mp2", "mp3"}, {"b.MP1", "b.MP1", "mp3"},
      {"take1", "take1.mp3", "mp3"},   {"c.ogg", "c.ogg", "ogg"}, {"d.Ogg", "d.Ogg", "ogg"},
      {"e.wav", "e.wav", "wav"},       {"f.AIF", "f.AIF", "aif"}, {"g.au", "g.au", "au"},
      {"h.Voc", "h.Voc", "voc"},
  };
  for (const auto& c : cases) {
    if (!haveMp3 && std::string(c.kind) == "mp3") continue;
    const std::string path = dir / c.name;
    EXPECT_EQ(ExportByExtension(project.get(), 0, 0.0, 0.0, path), 1) << c.name;
    EXPECT_EQ(Kind(dir / c.saved), c.kind) << c.name;
  }
  EXPECT_TRUE(messages.Texts().empty());
}

// A dot in a folder name is no extension: the name still gets ".mp3".
TEST_F(ExportDispatchTest, ANameWithoutExtensionInADottedFolderBecomesMp3) {
  if (!GetLameEncoder()->Load()) GTEST_SKIP() << "the MP3 encoder library is not built";
  AddStereoPair(0.5);
  std::filesystem::create_directory(dir / "v1.2");
  EXPECT_EQ(ExportByExtension(project.get(), 0, 0.0, 0.0, dir / "v1.2/take"), 1);
  EXPECT_EQ(Kind(dir / "v1.2/take.mp3"), "mp3");
  EXPECT_EQ(FilesInDir(dir / "v1.2"), std::vector<std::string>{"take.mp3"});
  EXPECT_TRUE(messages.Texts().empty());
}

// Names no exporter writes are refused out loud, and nothing is made.
TEST_F(ExportDispatchTest, ExtensionsNoExporterWritesAreRefusedWithAMessage) {
  AddStereoPair(0.5);
  for (const char* name : {"e.wave", "j.snd", "k.", "l.flac"}) {
    messages.Clear();
    EXPECT_EQ(ExportByExtension(project.get(), 0, 0.0, 0.0, dir / name), 0) << name;
    ASSERT_EQ(messages.Texts().size(), 1u) << name;
    EXPECT_EQ(messages.Texts()[0].rfind("Cannot save a file of the type", 0), 0u) << messages.Texts()[0];
  }
  EXPECT_TRUE(FilesInDir().empty());

  // A folder is no file name: no hidden ".mp3" inside it.
  EXPECT_EQ(ExportByExtension(project.get(), 0, 0.0, 0.0, dir.path() + "/"), 0);
  EXPECT_EQ(messages.Texts().back(),
            "Cannot save to \"" + dir.path() + "/\": it names a folder, not a file.");
  EXPECT_TRUE(FilesInDir().empty());

  // An empty name is no request at all.
  messages.Clear();
  EXPECT_EQ(ExportByExtension(project.get(), 0, 0.0, 0.0, ""), 0);
  EXPECT_EQ(WriteSelectionToFile(project.get(), 0, 0.0, 0.5, ""), 0);
  EXPECT_EQ(WriteClipboardTracksToFile(project.get(), ""), 0);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(ExportDispatchTest, SaveSelectionWithNothingSelectedSaysSoAndWritesNothing) {
  AddSine(440.0, 0.5, 1.0, Track::MonoChannel, 44100.0, 0.0, SampleFormatFloat, false);
  EXPECT_EQ(ExportByExtension(project.get(), 1, 0.0, 1.0, dir / "sel.wav"), 0);
  EXPECT_EQ(WriteSelectionToFile(project.get(), 1, 0.0, 1.0, dir / "clip.wav"), 0);
  const std::string text =
      "No tracks are selected!\n                      Choose Export... to export all tracks.";
  EXPECT_EQ(messages.Texts(), std::vector<std::string>(2, text));
  EXPECT_TRUE(FilesInDir().empty());
}

// Tracks at 1000 Hz so that their lengths are cheap: where they start and end, what is
// selected, and what range and channel count an export gets.
TEST_F(ExportDispatchTest, TheRangeAndChannelCountOfAnExport) {
  WaveTrack* left = AddSine(100.0, 0.5, 8.5, Track::LeftChannel, 1000.0, 1.5);
  WaveTrack* right = AddSine(100.0, 0.5, 9.0, Track::RightChannel, 1000.0, 3.0);
  ASSERT_DOUBLE_EQ(left->GetEndTime(), 10.0);
  ASSERT_DOUBLE_EQ(right->GetEndTime(), 12.0);

  const struct {
    const char* what;
    bool leftSelected, rightSelected, rightExcluded;
    int selectedOnly;
    double t0, t1;
    int result;
    double wantT0, wantT1;
    int stereo;
  } cases[] = {
      // Save: the whole time line from the given t1 (0) to the latest end.
      {"save", true, true, false, 0, 0.0, 0.0, 1, 0.0, 12.0, 1},
      // Save of a range: replaced by the tracks' span, from the given t1 down.
      {"save ignores a range", false, false, false, 0, 5.0, 6.0, 1, 1.5, 12.0, 1},
      // Save Selection narrows the range to what the selected tracks cover.
      {"selection", true, true, false, 1, 2.0, 20.0, 1, 2.0, 12.0, 1},
      {"selection before the tracks", true, true, false, 1, 0.0, 5.0, 1, 1.5, 5.0, 1},
      {"left only", true, false, false, 1, 0.0, 20.0, 1, 1.5, 10.0, 0},
      {"right only", false, true, false, 1, 0.0, 20.0, 1, 3.0, 12.0, 0},
      {"excluded right", true, true, true, 1, 0.0, 20.0, 1, 1.5, 10.0, 0},
      {"left only, save", true, false, false, 0, 0.0, 0.0, 1, 0.0, 12.0, 1},
      {"nothing selected", false, false, false, 1, 0.0, 20.0, 0, 20.0, 0.0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    left->SetSelected(c.leftSelected);
    right->SetSelected(c.rightSelected);
    right->SetExcluded(c.rightExcluded);
    messages.Clear();
    double t0 = c.t0, t1 = c.t1;
    int stereo = -1;
    EXPECT_EQ(GetExportRange(project.get(), c.selectedOnly, &t0, &t1, &stereo), c.result);
    EXPECT_DOUBLE_EQ(t0, c.wantT0);
    if (c.result) {
      EXPECT_DOUBLE_EQ(t1, c.wantT1);
      EXPECT_EQ(stereo, c.stereo);
      EXPECT_TRUE(messages.Texts().empty());
    } else {
      EXPECT_EQ(messages.Texts().size(), 1u);
    }
  }
}

// Save Selection hands the exporter the settled range: the file covers 2 s to 12 s.
TEST_F(ExportDispatchTest, SaveSelectionWritesTheSettledRange) {
  AddSine(100.0, 0.5, 8.5, Track::LeftChannel, 1000.0, 1.5);
  AddSine(100.0, 0.5, 9.0, Track::RightChannel, 1000.0, 3.0);
  record.WavSampleRate = 8000;
  record.WavChannelMode = 1;
  ASSERT_EQ(ExportByExtension(project.get(), 1, 2.0, 20.0, dir / "range.wav"), 1);
  Decoded d = DecodeSndfile(dir / "range.wav");
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.frames(), 80000);
  // The right track starts at 3 s: one second of silence on the right, then the sine.
  const std::vector<float> r = d.channel(1);
  EXPECT_LT(Rms(r, 0, 7900), 0.01);
  EXPECT_NEAR(Rms(r, 8500, 70000), 0.5 / std::sqrt(2.0), 0.02);
}

}  // namespace
