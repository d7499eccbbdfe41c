// Automatic output names: digit counts, the counter's wrap, extensions by file type and
// WAV container, existing files and existing split parts, and the checks before a name
// is used.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "tests/support/native/SettingsEnvironment.h"

using settings_test::SettingsEnvironment;
using settings_test::Touch;

namespace {

class AutoNameTest : public testing::Test {
protected:
  AutoNameTest() {
    settings::SetStoredEncodeOptions(&encode);
    folder = env.OutputFolder();
  }
  ~AutoNameTest() override { settings::SetStoredEncodeOptions(nullptr); }

  // The next unique base with the counter advanced; the type name in *type.
  std::string NextBase(FileOutputOptions& r, std::string* type = nullptr, bool keep = false) {
    std::string base, t;
    EXPECT_EQ(r.MakeNextAutoFileName(&base, &t, keep), 1);
    if (type) *type = t;
    return base;
  }

  SettingsEnvironment env;
  FileEncodeOptions encode;
  std::string folder;
};

TEST_F(AutoNameTest, TheConstructorMakesTheOutputFolderBesideTheProgram) {
  FileOutputOptions r;
  EXPECT_EQ(r.strAutoNameFolder, folder);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(r.strTempFolder, env.root() + "/temp/");
  EXPECT_TRUE(CreateDirectoryPath(env.root() + "/a/b/c/"));
  EXPECT_TRUE(std::filesystem::is_directory(env.root() + "/a/b/c"));
}

TEST_F(AutoNameTest, DigitCountsAndTheCounter) {
  struct Case {
    std::uint32_t digits, start;
    int wrap;
    const char* name;
    std::uint32_t next;
  } cases[] = {
      {1, 7, 1, "TVLRec7", 8},
      {2, 7, 1, "TVLRec07", 8},
      {3, 7, 1, "TVLRec007", 8},
      {4, 7, 1, "TVLRec0007", 8},
      {5, 7, 1, "TVLRec00007", 8},
      {5, 99999, 1, "TVLRec99999", 1},
      {1, 9, 1, "TVLRec9", 1},
      {2, 123, 1, "TVLRec99", 24},
      {5, 100000, 0, "TVLRec99999", 100001},
      {6, 5, 1, "TVLRec000005", 6},
      {6, 999999, 1, "TVLRec999999", 1},
      {6, 1000000, 0, "TVLRec999999", 1000001},
      {0, 3, 1, "TVLRec3", 4},
      {11, 42, 1, "TVLRec000042", 43},
  };
  for (const Case& c : cases) {
    FileOutputOptions r;
    r.uFileNameDigitCount = c.digits;
    r.uStartNO = c.start;
    r.bWrapCounter = c.wrap;
    EXPECT_EQ(NextBase(r), folder + c.name) << c.digits << "/" << c.start;
    EXPECT_EQ(r.uStartNO, c.next) << c.digits << "/" << c.start;
  }
  FileOutputOptions kept;
  kept.uStartNO = 12;
  EXPECT_EQ(NextBase(kept, nullptr, true), folder + "TVLRec00012");
  EXPECT_EQ(kept.uStartNO, 12u);
}

TEST_F(AutoNameTest, TypeNamesByFileTypeAndWavContainer) {
  FileOutputOptions r;
  struct Case {
    int fileType;
    std::int32_t container;
    const char* type;
  } cases[] = {{0, 0x10000, "MP3"}, {2, 0x10000, "OGG"}, {7, 0x10000, "MP3"}, {1, 0x10000, "wav"},
               {1, 0x20000, "aif"}, {1, 0x30000, "au"},  {1, 0x80000, "voc"}, {1, 0x40000, "WAV"}};
  for (const Case& c : cases) {
    r.eFileType = c.fileType;
    encode.WavFileFormat = c.container;
    std::string type;
    NextBase(r, &type, true);
    EXPECT_EQ(type, c.type);
    std::string path;
    EXPECT_EQ(r.MakeAutoFileName(&path, true), 1);
    EXPECT_EQ(path, folder + "TVLRec00001." + c.type);
  }
}

TEST_F(AutoNameTest, ExistingFilesAndTheirSplitPartsMakeABaseTaken) {
  struct Case {
    std::vector<std::string> existing;  // file names in the output folder
    std::string base;                   // expected, relative to the folder
  } cases[] = {
      {{}, "TVLRec00001"},
      {{"TVLRec00001.mp3"}, "TVLRec00001-1"},
      {{"TVLRec00001.MP3", "TVLRec00001-1.MP3"}, "TVLRec00001-2"},
      // A split recording left only its parts: the base must not be reused.
      {{"TVLRec00001-1.MP3", "TVLRec00001-2.MP3"}, "TVLRec00001-3"},
      {{"TVLRec00001-2.MP3"}, "TVLRec00001-1"},
      // The candidate's own split parts count too.
      {{"TVLRec00001.MP3", "TVLRec00001-1-1.MP3"}, "TVLRec00001-2"},
      // Another extension, a folder, or a name that is not a split part: free.
      {{"TVLRec00001.ogg", "TVLRec00001-x.MP3", "TVLRec00001-.MP3"}, "TVLRec00001"},
      {{"tvlrec00001-7.mp3"}, "TVLRec00001-1"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (const std::string& name : c.existing) Touch(folder + name);
    std::filesystem::create_directories(folder + "TVLRec00001-9.MP3");  // a folder: ignored
    FileOutputOptions r;
    EXPECT_EQ(NextBase(r), folder + c.base) << (c.existing.empty() ? "" : c.existing[0]);
    EXPECT_EQ(r.uStartNO, 2u);
  }
}

TEST_F(AutoNameTest, AWrappedCounterNeverWritesOverAnOldSplitRecording) {
  FileOutputOptions r;
  r.uFileNameDigitCount = 1;
  r.uStartNO = 9;
  std::string first = NextBase(r);
  EXPECT_EQ(r.uStartNO, 1u);
  // That recording was split into three files.
  for (int n = 1; n <= 3; ++n) Touch(first + "-" + std::to_string(n) + ".MP3");
  for (int i = 1; i < 9; ++i) NextBase(r);
  EXPECT_EQ(r.uStartNO, 9u);
  std::string again = NextBase(r);
  EXPECT_NE(again, first);
  for (int n = 1; n <= 3; ++n) {
    EXPECT_FALSE(std::filesystem::exists(again + ".MP3"));
    EXPECT_FALSE(std::filesystem::exists(again + "-" + std::to_string(n) + ".MP3"));
  }
}

TEST_F(AutoNameTest, MakeAutoFileNameChecksBeforeTheNameIsUsed) {
  FileOutputOptions r;
  r.strAutoNameFolder = folder.substr(0, folder.size() - 1);  // no trailing separator
  std::string path;
  ASSERT_EQ(r.MakeAutoFileName(&path, true), 1);
  EXPECT_EQ(r.strAutoNameFolder, folder) << "the separator is added to the record";
  EXPECT_EQ(path, folder + "TVLRec00001.MP3");
  EXPECT_EQ(r.uStartNO, 1u) << "asking does not count";

  ASSERT_EQ(r.MakeAutoFileName(&path, false), 1);
  EXPECT_EQ(r.uStartNO, 2u);
  EXPECT_TRUE(env.messages.Boxes().empty());

  // An existing file: the user is asked; No keeps the counter, Yes takes the name.
  Touch(folder + "TVLRec00002.MP3");
  env.messages.SetAnswers({seams::kIdNo, seams::kIdCancel, seams::kIdYes});
  EXPECT_EQ(r.MakeAutoFileName(&path, false), 0);
  EXPECT_EQ(r.MakeAutoFileName(&path, false), 0);
  EXPECT_EQ(r.uStartNO, 2u);
  EXPECT_EQ(r.MakeAutoFileName(&path, false), 1);
  EXPECT_EQ(r.uStartNO, 3u);
  ASSERT_EQ(env.messages.Boxes().size(), 3u);
  EXPECT_EQ(env.messages.Boxes()[0].text,
            "File " + folder + "TVLRec00002.MP3 has always existed. Would you like replace it?");
  EXPECT_EQ(env.messages.Boxes()[0].flags, seams::kMbYesNoCancel | seams::kMbIconQuestion);
  // With replace on there is no question.
  Touch(folder + "TVLRec00003.MP3");
  r.bReplaceExistingFile = 1;
  EXPECT_EQ(r.MakeAutoFileName(&path, false), 1);
  EXPECT_EQ(env.messages.Boxes().size(), 3u);

  // A missing folder: told, no name, the counter stays.
  r.strAutoNameFolder = env.root() + "/missing/";
  EXPECT_EQ(r.MakeAutoFileName(&path, false), 0);
  EXPECT_EQ(r.uStartNO, 4u);
  ASSERT_EQ(env.messages.Boxes().size(), 4u);
  EXPECT_EQ(env.messages.Boxes()[3].text, "The Directory of " + env.root() +
                                              "/missing/ doesn't exist. Please choose correct "
                                              "directory from Options menu item.");

  // The counter at its limit without wrapping.
  r.strAutoNameFolder = folder;
  r.uFileNameDigitCount = 5;
  r.uStartNO = 100000;
  r.bWrapCounter = 0;
  EXPECT_EQ(r.MakeAutoFileName(&path, true), 0);
  EXPECT_EQ(path, folder + "TVLRec99999.MP3");
  EXPECT_EQ(r.MakeAutoFileName(&path, false), 0);
  ASSERT_EQ(env.messages.Boxes().size(), 5u);
  EXPECT_EQ(env.messages.Boxes()[4].text, "The start number of file name reach maxium value!");
  EXPECT_EQ(r.uStartNO, 100000u);
}

TEST_F(AutoNameTest, StartUpResetAndSummary) {
  FileOutputOptions r;
  r.uStartNO = 50;
  r.ApplyStartupReset();
  EXPECT_EQ(r.uStartNO, 50u);
  r.bResetCountOnStartup = 1;
  r.ApplyStartupReset();
  EXPECT_EQ(r.uStartNO, 1u);

  r.eFileType = 1;
  std::vector<std::string> lines;
  r.GetSummary(&lines);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "    Save files in folder: " + folder + "TVLRec00001.wav", "    Save the wave as: wav",
                       "    Save wave to file when recording finished(only for Editing mode): Enable",
                       "    Automatically name and save the wave(only Editing mode): Enable",
                       "    Replace existing files(only for Editing mode): No"}));
}

}  // namespace
