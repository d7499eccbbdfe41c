// Adding, editing and removing items: the conflict rules and what is filed where.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/options/scheduler/scheduler_test_support.h"

using namespace scheduler_test;

namespace {

constexpr int Y = 2024, M = 3;  // the clock stands on Monday 2024-03-04 08:00

struct ConflictCase {
  const char* name;
  std::vector<ItemRow> existing;
  ItemRow candidate;
  std::vector<int> conflicts;  // indexes into existing; empty: accepted
};

}  // namespace

TEST(SchedItems, ConflictRules) {
  const ConflictCase cases[] = {
      {"every day against a weekday",
       {{kScheduleEveryDay, Secs(10, 0), Secs(11, 0)}},
       {kScheduleMonday, Secs(10, 30), Secs(11, 30)},
       {0}},
      {"ranges that only touch",
       {{kScheduleMonday, Secs(10, 0), Secs(11, 0)}},
       {kScheduleMonday, Secs(11, 0), Secs(12, 0)},
       {}},
      {"fixed days on different dates compare times only",
       {{kScheduleFixedDay, At(Y, M, 10, 10, 0), At(Y, M, 10, 11, 0)}},
       {kScheduleFixedDay, At(Y, M, 12, 10, 30), At(Y, M, 12, 11, 30)},
       {0}},
      {"a fixed day gone by collides with nothing",
       {{kScheduleFixedDay, At(Y, M, 1, 10, 0), At(Y, M, 1, 11, 0)}},
       {kScheduleEveryDay, Secs(10, 0), Secs(11, 0)},
       {}},
      {"a disabled item collides with nothing",
       {{kScheduleEveryDay, Secs(10, 0), Secs(11, 0), 0}},
       {kScheduleEveryDay, Secs(10, 0), Secs(11, 0)},
       {}},
      {"a disabled candidate collides with nothing",
       {{kScheduleEveryDay, Secs(10, 0), Secs(11, 0)}},
       {kScheduleMonday, Secs(10, 0), Secs(11, 0), 0},
       {}},
      {"a fixed day meets only its own weekday",
       {{kScheduleMonday, Secs(10, 0), Secs(11, 0)}},
       {kScheduleFixedDay, At(Y, M, 5, 10, 0), At(Y, M, 5, 11, 0)},
       {}},
      {"a fixed day meets its own weekday",
       {{kScheduleTuesday, Secs(10, 0), Secs(11, 0)}},
       {kScheduleFixedDay, At(Y, M, 5, 10, 30), At(Y, M, 5, 10, 45)},
       {0}},
      {"a weekday meets every fixed day to come",
       {{kScheduleFixedDay, At(Y, M, 5, 10, 0), At(Y, M, 5, 11, 0)}},
       {kScheduleMonday, Secs(10, 30), Secs(11, 30)},
       {0}},
      {"every day meets all weekdays",
       {{kScheduleSaturday, Secs(10, 0), Secs(11, 0)}},
       {kScheduleEveryDay, Secs(10, 59), Secs(12, 0)},
       {0}},
      {"every colliding item is listed",
       {{kScheduleMonday, Secs(10, 0), Secs(11, 0)},
        {kScheduleFixedDay, At(Y, M, 11, 11, 30), At(Y, M, 11, 12, 30)},
        {kScheduleSaturday, Secs(23, 0), Secs(23, 30)}},
       {kScheduleEveryDay, Secs(9, 0), Secs(12, 0)},
       {0, 1}},
      {"a fixed day across the end of a month ends after midnight",
       {{kScheduleFixedDay, At(Y, M, 31, 23, 0), At(Y, 4, 1, 1, 0)}},
       {kScheduleEveryDay, Secs(23, 30), Secs(23, 45)},
       {0}},
      {"a type out of range counts as every day",
       {{42, Secs(10, 0), Secs(11, 0)}},
       {kScheduleWednesday, Secs(10, 30), Secs(10, 40)},
       {0}},
      {"an empty candidate range is tested as stored, five seconds long",
       {{kScheduleEveryDay, Secs(10, 0, 3), Secs(11, 0)}},
       {kScheduleEveryDay, Secs(10, 0), Secs(10, 0)},
       {0}},
  };
  for (const ConflictCase& c : cases) {
    SCOPED_TRACE(c.name);
    Timetable t(At(Y, M, 4, 8, 0));
    std::vector<CScheduleItem*> existing;
    for (const ItemRow& s : c.existing) {
      existing.push_back(t.Add(s.type, s.start, s.stop, s.enabled));
      ASSERT_NE(existing.back(), nullptr);
    }
    const int countBefore = t.manager.GetItemCount();
    CScheduleItemList conflicts;
    CScheduleItem* placed = t.manager.AddItem(
        CScheduleItem(c.candidate.enabled, c.candidate.type, c.candidate.start, c.candidate.stop), &conflicts,
        nullptr);
    std::vector<int> got;
    for (const CScheduleItem* item : conflicts) {
      auto it = std::find(existing.begin(), existing.end(), item);
      got.push_back(it == existing.end() ? -1 : static_cast<int>(it - existing.begin()));
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, c.conflicts);
    EXPECT_EQ(placed == nullptr, !c.conflicts.empty());
    EXPECT_EQ(t.manager.GetItemCount(), countBefore + (placed ? 1 : 0));
  }
}

TEST(SchedItems, FiledNormalisedInTheListOfItsType) {
  Timetable t(At(Y, M, 4, 8, 0));
  CScheduleItem values(1, 42, Secs(11, 0), Secs(10, 0));
  values.reserved[4] = 0xDEADBEEF;
  CScheduleItem* everyDay = t.manager.AddItem(values, nullptr, nullptr);
  ASSERT_NE(everyDay, nullptr);
  EXPECT_EQ(t.manager.GetTypeList(kScheduleEveryDay).GetHead(), everyDay);
  EXPECT_EQ(everyDay->type, kScheduleEveryDay);
  EXPECT_EQ(everyDay->start, Secs(10, 0));
  EXPECT_EQ(everyDay->stop, Secs(11, 0));
  EXPECT_EQ(everyDay->reserved[4], 0xDEADBEEFu);
  EXPECT_TRUE(t.manager.IsDirty());

  // A given object is filled in place of a new one; an empty Fixed Day range gets 5 s on the calendar.
  CScheduleItem* reuse = new CScheduleItem;
  const FileTime lastSecond = At(Y, M, 9, 23, 59, 59);
  ASSERT_EQ(t.manager.AddItem(CScheduleItem(1, kScheduleFixedDay, lastSecond, lastSecond), nullptr, reuse),
            reuse);
  EXPECT_EQ(reuse->stop, At(Y, M, 10, 0, 0, 4));
  EXPECT_EQ(t.manager.GetTypeList(kScheduleFixedDay).GetHead(), reuse);

  // A type list stays in order of start.
  t.Add(kScheduleEveryDay, Secs(7, 0), Secs(8, 0));
  t.Add(kScheduleEveryDay, Secs(12, 0), Secs(13, 0));
  t.Add(kScheduleEveryDay, Secs(9, 0), Secs(9, 30));
  std::vector<std::uint64_t> starts;
  for (const CScheduleItem* item : t.manager.GetTypeList(kScheduleEveryDay)) starts.push_back(item->start);
  EXPECT_EQ(starts, (std::vector<std::uint64_t>{Secs(7, 0), Secs(9, 0), Secs(10, 0), Secs(12, 0)}));
}

TEST(SchedItems, RemoveAndReplace) {
  Timetable t(At(Y, M, 4, 8, 0));
  CScheduleItem* a = t.Add(kScheduleEveryDay, Secs(10, 0), Secs(11, 0));
  CScheduleItem* b = t.Add(kScheduleEveryDay, Secs(12, 0), Secs(13, 0));
  CScheduleItem foreign(1, kScheduleEveryDay, Secs(10, 0), Secs(11, 0));
  CScheduleItem outOfRange(1, -7, 0, 1);
  EXPECT_EQ(t.manager.RemoveItem(&foreign), 0);
  EXPECT_EQ(t.manager.RemoveItem(&outOfRange), 0);
  EXPECT_EQ(t.manager.ReplaceItem(foreign, &foreign, nullptr), 0);
  EXPECT_EQ(t.manager.GetItemCount(), 2);

  // A refused edit keeps the old values in the same object.
  CScheduleItemList conflicts;
  EXPECT_EQ(
      t.manager.ReplaceItem(CScheduleItem(1, kScheduleEveryDay, Secs(10, 30), Secs(12, 30)), b, &conflicts),
      0);
  EXPECT_EQ(conflicts.GetCount(), 1);
  EXPECT_EQ(conflicts.GetHead(), a);
  EXPECT_TRUE(t.manager.GetTypeList(kScheduleEveryDay).Contains(b));
  EXPECT_EQ(b->start, Secs(12, 0));

  // An accepted edit may move the object to another type's list.
  EXPECT_EQ(t.manager.ReplaceItem(CScheduleItem(1, kScheduleMonday, Secs(14, 0), Secs(15, 0)), b, nullptr),
            1);
  EXPECT_FALSE(t.manager.GetTypeList(kScheduleEveryDay).Contains(b));
  EXPECT_TRUE(t.manager.GetTypeList(kScheduleMonday).Contains(b));
  EXPECT_EQ(b->start, Secs(14, 0));

  EXPECT_EQ(t.manager.RemoveItem(a), 1);
  EXPECT_EQ(t.manager.GetItemCount(), 1);
}

TEST(SchedItems, RefusedEditNeverLosesTheItem) {
  // The conflict test is one-sided: a Tuesday Fixed Day item is accepted next to a
  // Monday item, but the Monday item, tested again, meets it.
  Timetable t(At(Y, M, 4, 8, 0));
  CScheduleItem* monday = t.Add(kScheduleMonday, Secs(10, 0), Secs(11, 0));
  CScheduleItem* tuesday = t.Add(kScheduleFixedDay, At(Y, M, 5, 10, 30), At(Y, M, 5, 11, 30));
  ASSERT_NE(tuesday, nullptr);
  CScheduleItemList conflicts;
  EXPECT_EQ(t.manager.ReplaceItem(CScheduleItem(1, kScheduleMonday, Secs(10, 15), Secs(11, 15)), monday,
                                  &conflicts),
            0);
  EXPECT_EQ(conflicts.GetHead(), tuesday);
  ASSERT_TRUE(t.manager.GetTypeList(kScheduleMonday).Contains(monday));
  EXPECT_EQ(monday->start, Secs(10, 0));
  EXPECT_EQ(monday->stop, Secs(11, 0));
  EXPECT_EQ(t.manager.GetItemCount(), 2);
}
