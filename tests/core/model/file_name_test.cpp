#include <gtest/gtest.h>

#include <filesystem>

#include "core/model/FileName.h"
#include "core/model/SystemUtils.h"
#include "tests/support/native/TempFolder.h"
#include "tests/support/native/FakeClock.h"
#include "tests/support/native/Files.h"

namespace {

TEST(CFileName, SplitsIntoFourPartsThatJoinBackExactly) {
  struct Case {
    const char* path;
    const char* drive;
    const char* dir;
    const char* name;
    const char* ext;
  };
  const Case cases[] = {
      {"D:\\a\\b.c.tmp", "D:", "\\a\\", "b.c", ".tmp"},
      {"/tmp/blocks/$0000001.tmp", "", "/tmp/blocks/", "$0000001", ".tmp"},
      {"name", "", "", "name", ""},
      {"dir.x/name", "", "dir.x/", "name", ""},
      {"/tmp/.hidden", "", "/tmp/", "", ".hidden"},
      {"C:file.wav", "C:", "", "file", ".wav"},
      {"", "", "", "", ""},
      {"a/b\\c.d", "", "a/b\\", "c", ".d"},
  };
  for (const Case& c : cases) {
    CFileName f(c.path);
    EXPECT_EQ(f.GetDrive(), c.drive) << c.path;
    EXPECT_EQ(f.GetDir(), c.dir) << c.path;
    EXPECT_EQ(f.GetName(), c.name) << c.path;
    EXPECT_EQ(f.GetExt(), c.ext) << c.path;
    EXPECT_EQ(f.GetFullPath(), c.path);
    EXPECT_EQ(f.GetNameExt(), std::string(c.name) + c.ext);
    EXPECT_EQ(CFileName(f).GetFullPath(), c.path) << "copies split the full path again";
  }
}

TEST(CFileName, JoiningAFolderAndANameAddsOneSeparatorInTheFolderStyle) {
  struct Case {
    const char* folder;
    const char* joined;
  };
  const Case cases[] = {
      {"D:\\tmp", "D:\\tmp\\$0000001.tmp"},
      {"D:\\tmp\\", "D:\\tmp\\$0000001.tmp"},
      {"/var/tmp", "/var/tmp/$0000001.tmp"},
      {"/var/tmp/", "/var/tmp/$0000001.tmp"},
      {"", "$0000001.tmp"},
  };
  for (const Case& c : cases) {
    CFileName f(c.folder, "$0000001");
    f.SetExt(".tmp");
    EXPECT_EQ(f.GetFullPath(), c.joined) << c.folder;
    EXPECT_EQ(f.GetName(), "$0000001");
  }
  CFileName f("/x/y.wav");
  f.SetFullPath("/other/z");
  EXPECT_EQ(f.GetFullPath(), "/other/z");
  EXPECT_EQ(f.GetExt(), "");
}

TEST(FileSystem, ExistenceTestsTellFilesFromFolders) {
  testsupport::TempFolder tmp;
  testsupport::WriteBytes(tmp / "f.bin", {1, 2, 3});
  EXPECT_TRUE(FileExists(tmp / "f.bin"));
  EXPECT_TRUE(CFileName(tmp / "f.bin").Exists());
  EXPECT_FALSE(FileExists(tmp.path())) << "a folder is no file";
  EXPECT_FALSE(FileExists(tmp / "missing"));
  EXPECT_FALSE(FileExists(""));

  EXPECT_TRUE(DirectoryExists(tmp.path()));
  EXPECT_TRUE(DirectoryExists(tmp.path() + "//"));
  EXPECT_TRUE(DirectoryExists(tmp.path() + "/\\/"));
  EXPECT_TRUE(DirectoryExists("/"));
  EXPECT_FALSE(DirectoryExists(tmp / "f.bin"));
  EXPECT_FALSE(DirectoryExists(""));

  EXPECT_TRUE(EndsWithSeparator("a\\"));
  EXPECT_TRUE(EndsWithSeparator("a/"));
  EXPECT_FALSE(EndsWithSeparator("a"));
  EXPECT_FALSE(EndsWithSeparator(""));
}

TEST(FileSystem, CopyRemoveAndRemoveDir) {
  testsupport::TempFolder tmp;
  testsupport::WriteBytes(tmp / "a", {1, 2, 3});
  testsupport::WriteBytes(tmp / "b", {9});
  EXPECT_FALSE(CopyFileTo(tmp / "a", tmp / "b", false)) << "an existing destination is kept";
  EXPECT_EQ(testsupport::ReadBytes(tmp / "b").size(), 1u);
  EXPECT_TRUE(CopyFileTo(tmp / "a", tmp / "b", true));
  EXPECT_EQ(testsupport::ReadBytes(tmp / "b"), (std::vector<unsigned char>{1, 2, 3}));
  EXPECT_TRUE(CopyFileTo(tmp / "a", tmp / "c", false));
  EXPECT_FALSE(CopyFileTo(tmp / "missing", tmp / "d", true));
  EXPECT_FALSE(CopyFileTo(tmp / "a", tmp / "no/such/folder/e", true));

  std::filesystem::create_directory(tmp / "sub");
  testsupport::WriteBytes(tmp / "sub/x", {0});
  EXPECT_FALSE(RemoveDir(tmp / "sub")) << "only an empty folder goes";
  EXPECT_TRUE(RemoveFile(tmp / "sub/x"));
  EXPECT_FALSE(RemoveFile(tmp / "sub/x"));
  EXPECT_TRUE(RemoveDir(tmp / "sub"));
  EXPECT_FALSE(DirectoryExists(tmp / "sub"));
}

TEST(FileSystem, DiskFreeSpace) {
  std::uint64_t total = 0, free = 0;
  ASSERT_TRUE(GetDiskFreeSpace64("/tmp", &total, &free));
  EXPECT_GT(total, 0u);
  EXPECT_LE(free, total);
  EXPECT_TRUE(GetDiskFreeSpace64("/tmp", nullptr, nullptr));
  EXPECT_FALSE(GetDiskFreeSpace64("", &total, &free));
  EXPECT_FALSE(GetDiskFreeSpace64("/no/such/folder/anywhere", &total, &free));
}

TEST(Stopwatch, CountsAcrossTheWrapOfTheTickCountAndRestarts) {
  {
    testsupport::FakeClock clock(0xFFFFFF00u);
    EXPECT_EQ(StopwatchStart(), 0xFFFFFF00u);
    clock.Set(0x00000010u);
    EXPECT_EQ(StopwatchElapsed(false), 0x110u);
    EXPECT_EQ(StopwatchElapsed(true), 0x110u);
    clock.Set(0x00000025u);
    EXPECT_EQ(StopwatchElapsed(false), 0x15u) << "the restart moved the reference point";
  }

  StopwatchStart();
  EXPECT_LT(StopwatchElapsed(false), 60000u);
}

}  // namespace
