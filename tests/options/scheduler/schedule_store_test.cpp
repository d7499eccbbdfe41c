// The stored schedule ("ScheduleSettings"), the status line and the Run value.
#include <gtest/gtest.h>

#include <mutex>

#include "tests/support/native/SettingsEnvironment.h"
#include "platform/seams/WindowMessages.h"
#include "tests/options/scheduler/scheduler_test_support.h"

using namespace scheduler_test;
using settings_test::Backend;
using settings_test::SettingsEnvironment;

namespace {

constexpr const char* kSectionPath = "Software\\Tarvel\\ScheduleSettings";
constexpr const char* kRunPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::unique_ptr<seams::RegistryKey> Section(SettingsEnvironment& env) {
  return env.backend().CreateKey(seams::RegistryRoot::CurrentUser, kSectionPath);
}

void WriteImage(seams::RegistryKey& key, const std::string& name, const CScheduleItem& item) {
  const CScheduleItem::Image image = item.ToImage();
  key.WriteValue(name, seams::MakeBinaryValue(image.data(), image.size()));
}

std::uint64_t Le(const std::vector<std::uint8_t>& bytes, int offset, int size) {
  std::uint64_t v = 0;
  for (int i = 0; i < size; ++i) v |= std::uint64_t(bytes[offset + i]) << (8 * i);
  return v;
}

std::vector<std::string> Describe(const CScheduleManager& manager) {
  std::vector<std::string> out;
  for (int type = 0; type < kScheduleTypeCount; ++type)
    for (const CScheduleItem* item : manager.GetTypeList(type))
      out.push_back(std::to_string(type) + ":" + std::to_string(item->enabled) + ":" +
                    std::to_string(item->type) + ":" + std::to_string(item->start) + "-" +
                    std::to_string(item->stop) + ":" + std::to_string(item->reserved[0]) + "," +
                    std::to_string(item->reserved[4]));
  return out;
}

class Poster final : public seams::MessagePoster {
public:
  bool Post(seams::WindowHandle window, std::uint32_t message, std::uintptr_t w,
            std::intptr_t l) noexcept override {
    std::lock_guard lock(mutex);
    posts.push_back({window, message, w, l});
    return true;
  }
  struct Posted {
    seams::WindowHandle window;
    std::uint32_t message;
    std::uintptr_t w;
    std::intptr_t l;
  };
  std::mutex mutex;
  std::vector<Posted> posts;
};

class SchedStore : public testing::TestWithParam<Backend> {
protected:
  SchedStore() : env(GetParam()) {}
  SettingsEnvironment env;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Backends, SchedStore, testing::Values(Backend::Memory, Backend::Strict),
                         settings_test::BackendName);

TEST_P(SchedStore, SavesFiftySixByteItemsAndLoadsThemBack) {
  Timetable first(At(2024, 3, 4, 8, 0));
  CScheduleItem fixed(1, kScheduleFixedDay, At(2024, 3, 6, 10, 0), At(2024, 3, 6, 11, 0, 30));
  for (int i = 0; i < 5; ++i) fixed.reserved[i] = 0x01020304u * (i + 1);
  ASSERT_NE(first.manager.AddItem(fixed, nullptr, nullptr), nullptr);
  first.Add(kScheduleEveryDay, Secs(12, 0), Secs(13, 0));
  first.Add(kScheduleMonday, Secs(14, 0), Secs(15, 0), 0);
  first.manager.SetActive(0);
  ASSERT_EQ(first.manager.Save(), 1);
  EXPECT_FALSE(first.manager.IsDirty());

  EXPECT_EQ(env.ValueNames("ScheduleSettings"), (std::vector<std::string>{"1", "2", "3", "Active", "Count"}));
  seams::RegistryValue active, count, image;
  ASSERT_TRUE(env.RawValue("ScheduleSettings", "Active", &active));
  ASSERT_TRUE(env.RawValue("ScheduleSettings", "Count", &count));
  EXPECT_EQ(active.type, seams::kRegDword);
  EXPECT_EQ(active.data, (std::vector<std::uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(count.data, (std::vector<std::uint8_t>{3, 0, 0, 0}));
  // Numbered in type order: Every Day first, then Fixed Day.
  ASSERT_TRUE(env.RawValue("ScheduleSettings", "2", &image));
  EXPECT_EQ(image.type, seams::kRegBinary);
  ASSERT_EQ(image.data.size(), 56u);
  EXPECT_EQ(Le(image.data, 0, 8), 0u);
  EXPECT_EQ(Le(image.data, 8, 4), 1u);
  EXPECT_EQ(Le(image.data, 12, 4), 1u);
  EXPECT_EQ(Le(image.data, 16, 8), At(2024, 3, 6, 10, 0));
  EXPECT_EQ(Le(image.data, 24, 8), At(2024, 3, 6, 11, 0, 30));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Le(image.data, 32 + 4 * i, 4), 0x01020304u * (i + 1));
  EXPECT_EQ(Le(image.data, 52, 4), 0u);
  ASSERT_TRUE(env.RawValue("ScheduleSettings", "1", &image));
  EXPECT_EQ(Le(image.data, 12, 4), 0u);
  EXPECT_EQ(Le(image.data, 16, 8), Secs(12, 0));

  Timetable second(At(2024, 3, 4, 8, 0));
  EXPECT_EQ(second.manager.Load(), 1);
  EXPECT_EQ(Describe(second.manager), Describe(first.manager));
  EXPECT_EQ(second.manager.GetActive(), 0);
  EXPECT_FALSE(second.manager.IsDirty());
}

TEST_P(SchedStore, SaveLeavesNothingOfALargerEarlierSchedule) {
  Timetable t(At(2024, 3, 4, 8, 0));
  CScheduleItem* a = t.Add(kScheduleEveryDay, Secs(1, 0), Secs(2, 0));
  t.Add(kScheduleEveryDay, Secs(3, 0), Secs(4, 0));
  CScheduleItem* c = t.Add(kScheduleFriday, Secs(5, 0), Secs(6, 0));
  t.Add(kScheduleSunday, Secs(7, 0), Secs(8, 0));
  ASSERT_EQ(t.manager.Save(), 1);
  t.manager.RemoveItem(a);
  t.manager.RemoveItem(c);
  ASSERT_EQ(t.manager.Save(), 1);
  EXPECT_EQ(env.ValueNames("ScheduleSettings"), (std::vector<std::string>{"1", "2", "Active", "Count"}));
}

TEST_P(SchedStore, LoadMendsRangesAndDropsWhatCannotBeScheduled) {
  const FileTime day = At(2024, 3, 6, 9, 0);
  {
    auto key = Section(env);
    key->WriteValue("Active", seams::MakeDwordValue(1));
    key->WriteValue("Count", seams::MakeDwordValue(7));
    WriteImage(*key, "1", CScheduleItem(1, kScheduleEveryDay, Secs(11, 0), Secs(10, 0)));  // reversed
    WriteImage(*key, "2", CScheduleItem(1, kScheduleFixedDay, day, day));                  // empty
    WriteImage(*key, "3", CScheduleItem(1, 42, Secs(13, 0), Secs(14, 0)));                 // unknown type
    WriteImage(*key, "4",
               CScheduleItem(1, kScheduleEveryDay, Secs(10, 30), Secs(10, 45)));  // collides with 1
    const std::vector<std::uint8_t> shortImage(40, 0);
    key->WriteValue("5", seams::MakeBinaryValue(shortImage.data(), shortImage.size()));    // unreadable
    WriteImage(*key, "6", CScheduleItem(0, kScheduleEveryDay, Secs(10, 0), Secs(11, 0)));  // disabled
    // "7" is missing; names outside 1..Count are not items.
    WriteImage(*key, "8", CScheduleItem(1, kScheduleEveryDay, Secs(20, 0), Secs(21, 0)));
    WriteImage(*key, "01", CScheduleItem(1, kScheduleEveryDay, Secs(22, 0), Secs(23, 0)));
  }
  Timetable t(At(2024, 3, 4, 8, 0));
  EXPECT_EQ(t.manager.Load(), 1);
  const std::vector<std::string> expected = {
      "0:0:0:" + std::to_string(Secs(10, 0)) + "-" + std::to_string(Secs(11, 0)) + ":0,0",
      "0:1:0:" + std::to_string(Secs(10, 0)) + "-" + std::to_string(Secs(11, 0)) + ":0,0",
      "0:1:0:" + std::to_string(Secs(13, 0)) + "-" + std::to_string(Secs(14, 0)) + ":0,0",
      "1:1:1:" + std::to_string(day) + "-" + std::to_string(day + 5 * kFileTimeSecond) + ":0,0",
  };
  EXPECT_EQ(Describe(t.manager), expected);
  EXPECT_FALSE(t.manager.IsDirty());
}

TEST_P(SchedStore, DamagedCountDoesNotStallTheLoad) {
  {
    auto key = Section(env);
    key->WriteValue("Count", seams::MakeDwordValue(0xFFFFFFFFu));
    WriteImage(*key, "1", CScheduleItem(1, kScheduleEveryDay, Secs(10, 0), Secs(11, 0)));
    WriteImage(*key, "4000000000", CScheduleItem(1, kScheduleEveryDay, Secs(12, 0), Secs(13, 0)));
  }
  Timetable t(At(2024, 3, 4, 8, 0));
  EXPECT_EQ(t.manager.Load(), 1);  // reads the two values there, not four billion names
  EXPECT_EQ(t.manager.GetItemCount(), 2);
  EXPECT_EQ(t.manager.GetActive(), 1);
}

TEST_P(SchedStore, MissingSectionLeavesTheDefaults) {
  Timetable t(At(2024, 3, 4, 8, 0));
  EXPECT_EQ(t.manager.Load(), 0);
  EXPECT_EQ(t.manager.GetItemCount(), 0);
  EXPECT_EQ(t.manager.GetActive(), 1);
  EXPECT_EQ(t.manager.GetState(), CScheduleManager::kStateNone);
  EXPECT_EQ(t.manager.GetStatusText(), "Schedule: Enable  |  None");
  EXPECT_FALSE(env.backend().OpenKey(seams::RegistryRoot::CurrentUser, kSectionPath, false));
}

TEST_P(SchedStore, StatusLineFollowsTheTimetableAndTellsTheView) {
  Poster poster;
  seams::MessagePoster* previous = seams::SetMessagePoster(&poster);
  {
    auto key = Section(env);
    key->WriteValue("Active", seams::MakeDwordValue(1));
    key->WriteValue("Count", seams::MakeDwordValue(1));
    WriteImage(*key, "1", CScheduleItem(1, kScheduleEveryDay, Secs(10, 0), Secs(11, 0)));
  }
  Timetable t(At(2024, 3, 4, 9, 59));
  t.manager.SetStatusWindowFinder([] { return seams::WindowHandle{77}; });
  t.manager.Load();
  EXPECT_EQ(t.manager.GetStatusText(), "Schedule: Enable  |  Start Time: 10:00:00   Stop Time: 11:00:00");
  ASSERT_FALSE(poster.posts.empty());
  EXPECT_EQ(poster.posts.back().window, 77u);
  EXPECT_EQ(poster.posts.back().message, 0x5F9u);
  EXPECT_EQ(poster.posts.back().w, 0u);
  EXPECT_EQ(poster.posts.back().l, 0);

  poster.posts.clear();
  t.manager.SetActive(0);
  EXPECT_EQ(t.manager.GetStatusText(), "Schedule: Disable  |  Start Time: 10:00:00   Stop Time: 11:00:00");
  EXPECT_EQ(poster.posts.size(), 1u);
  ASSERT_EQ(t.manager.SaveActive(), 1);
  seams::RegistryValue value;
  ASSERT_TRUE(env.RawValue("ScheduleSettings", "Active", &value));
  EXPECT_EQ(value.data, (std::vector<std::uint8_t>{0, 0, 0, 0}));
  EXPECT_TRUE(env.RawValue("ScheduleSettings", "1", &value));  // only "Active" was written

  // Without a view nothing is posted.
  poster.posts.clear();
  t.manager.SetStatusWindowFinder([] { return seams::WindowHandle{0}; });
  t.manager.SetActive(1);
  EXPECT_TRUE(poster.posts.empty());
  seams::SetMessagePoster(previous);
}

TEST_P(SchedStore, RunValueIsWrittenReadAndRemoved) {
  Timetable t(At(2024, 3, 4, 8, 0));
  // Without the Run key nothing is written and the flag stays.
  EXPECT_EQ(t.manager.WriteRunAtStartup(1), 0);
  EXPECT_EQ(t.manager.GetRunAtStart(), 0);
  EXPECT_FALSE(env.backend().OpenKey(seams::RegistryRoot::CurrentUser, kRunPath, false));
  EXPECT_EQ(t.manager.ReadRunAtStartup(), 0);

  auto run = env.backend().CreateKey(seams::RegistryRoot::CurrentUser, kRunPath);
  run->WriteValue("Other", seams::MakeStringValue("C:\\other.exe"));
  EXPECT_EQ(t.manager.ReadRunAtStartup(), 0);
  ASSERT_EQ(t.manager.WriteRunAtStartup(1), 1);
  EXPECT_EQ(t.manager.GetRunAtStart(), 1);
  seams::RegistryValue value;
  ASSERT_TRUE(run->ReadValue("Tarvel", &value));
  EXPECT_EQ(value.type, seams::kRegSz);
  std::string text;
  ASSERT_TRUE(seams::ValueAsString(value, &text));
  EXPECT_EQ(text, env.root() + "/program/tarvel.exe");
  EXPECT_EQ(t.manager.ReadRunAtStartup(), 1);

  ASSERT_EQ(t.manager.WriteRunAtStartup(0), 1);
  EXPECT_EQ(t.manager.GetRunAtStart(), 0);
  EXPECT_FALSE(run->ReadValue("Tarvel", &value));
  EXPECT_TRUE(run->ReadValue("Other", &value));
  EXPECT_EQ(t.manager.ReadRunAtStartup(), 0);
}

TEST_P(SchedStore, RunValueCountsOnlyWhenItNamesAProgramFile) {
  auto run = env.backend().CreateKey(seams::RegistryRoot::CurrentUser, kRunPath);
  const std::pair<const char*, int> cases[] = {
      {"C:\\Program Files\\Tarvel\\Tarvel.exe", 1},
      {"\"c:\\tools\\TARVEL.EXE\" /min", 1},
      {"/usr/bin/tarvel", 0},
      {"", 0},
  };
  Timetable t(At(2024, 3, 4, 8, 0));
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    run->WriteValue("Tarvel", seams::MakeStringValue(text));
    EXPECT_EQ(t.manager.ReadRunAtStartup(), expected);
    EXPECT_EQ(t.manager.GetRunAtStart(), expected);
  }
}
