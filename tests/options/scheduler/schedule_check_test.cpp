// The periodic check: which recordings start and stop at which clock times.
#include <gtest/gtest.h>

#include <functional>

#include "tests/options/scheduler/scheduler_test_support.h"

using namespace scheduler_test;

namespace {

// 2024-03-04 is a Monday.
constexpr int Y = 2024, M = 3, MON = 4, TUE = 5;

struct TimetableCase {
  const char* name;
  std::vector<ItemRow> items;
  FileTime from, to;
  std::vector<std::string> expected;
};

}  // namespace

TEST(SchedCheck, StartsAndStopsAtTheirClockTimes) {
  const TimetableCase cases[] = {
      {"every day, a second early and just after the stop",
       {{kScheduleEveryDay, Secs(10, 0), Secs(11, 0)}},
       At(Y, M, MON, 9, 59),
       At(Y, M, MON, 11, 0, 10),
       {"start 03-04 09:59:59", "stop 03-04 11:00:00"}},
      {"fixed day only on its date",
       {{kScheduleFixedDay, At(Y, M, MON, 14, 0), At(Y, M, MON, 14, 30)},
        {kScheduleFixedDay, At(Y, M, TUE, 9, 0), At(Y, M, TUE, 9, 30)}},
       At(Y, M, MON, 8, 0),
       At(Y, M, MON, 15, 0),
       {"start 03-04 13:59:59", "stop 03-04 14:30:00"}},
      {"weekday items only on their day",
       {{kScheduleMonday, Secs(8, 0), Secs(8, 10)}, {kScheduleTuesday, Secs(8, 5), Secs(8, 15)}},
       At(Y, M, MON, 7, 59),
       At(Y, M, MON, 9, 0),
       {"start 03-04 07:59:59", "stop 03-04 08:10:00"}},
      {"midnight stops a recording and brings the new day's items",
       {{kScheduleFixedDay, At(Y, M, MON, 23, 50), At(Y, M, TUE, 0, 10)},
        {kScheduleEveryDay, Secs(0, 5), Secs(0, 6)}},
       At(Y, M, MON, 23, 49),
       At(Y, M, TUE, 0, 7),
       {"start 03-04 23:49:59", "stop 03-05 00:00:00", "start 03-05 00:04:59", "stop 03-05 00:06:00"}},
      {"touching items run one after the other",
       {{kScheduleEveryDay, Secs(11, 0), Secs(12, 0)}, {kScheduleEveryDay, Secs(10, 0), Secs(11, 0)}},
       At(Y, M, MON, 9, 59),
       At(Y, M, MON, 12, 0, 5),
       {"start 03-04 09:59:59", "stop 03-04 11:00:00", "start 03-04 11:00:01", "stop 03-04 12:00:00"}},
      {"disabled items never run",
       {{kScheduleEveryDay, Secs(10, 0), Secs(11, 0), 0}, {kScheduleMonday, Secs(10, 0), Secs(11, 0), 0}},
       At(Y, M, MON, 9, 59),
       At(Y, M, MON, 11, 1),
       {}},
      {"types out of range run every day",
       {{42, Secs(10, 0), Secs(10, 1)}, {-3, Secs(12, 0), Secs(12, 1)}},
       At(Y, M, MON, 9, 0),
       At(Y, M, TUE, 12, 2),
       {"start 03-04 09:59:59", "stop 03-04 10:01:00", "start 03-04 11:59:59", "stop 03-04 12:01:00",
        "start 03-05 09:59:59", "stop 03-05 10:01:00", "start 03-05 11:59:59", "stop 03-05 12:01:00"}},
      {"reversed and empty ranges are mended before they run",
       {{kScheduleEveryDay, Secs(11, 0), Secs(10, 0)}, {kScheduleEveryDay, Secs(12, 0), Secs(12, 0)}},
       At(Y, M, MON, 9, 59),
       At(Y, M, MON, 12, 1),
       {"start 03-04 09:59:59", "stop 03-04 11:00:00", "start 03-04 11:59:59", "stop 03-04 12:00:05"}},
      {"added in the middle of its range it starts at once",
       {{kScheduleEveryDay, Secs(10, 0), Secs(11, 0)}},
       At(Y, M, MON, 10, 30),
       At(Y, M, MON, 10, 31),
       {"start 03-04 10:30:01"}},
      {"an item already over never starts",
       {{kScheduleEveryDay, Secs(8, 0), Secs(9, 0)}},
       At(Y, M, MON, 10, 30),
       At(Y, M, MON, 23, 0),
       {}},
  };
  for (const TimetableCase& c : cases) {
    SCOPED_TRACE(c.name);
    Timetable t(c.from);
    for (const ItemRow& item : c.items)
      ASSERT_NE(t.Add(item.type, item.start, item.stop, item.enabled), nullptr);
    t.RunUntil(c.to);
    EXPECT_EQ(t.events, c.expected);
  }
}

TEST(SchedCheck, PastOccurrencesAreDoneAndTheRestPendInOrder) {
  Timetable t(At(Y, M, MON, 10, 30));
  t.Add(kScheduleEveryDay, Secs(8, 0), Secs(9, 0));
  t.Add(kScheduleMonday, Secs(15, 0), Secs(16, 0));
  t.Add(kScheduleEveryDay, Secs(12, 0), Secs(13, 0));
  t.Add(kScheduleFixedDay, At(Y, M, MON, 14, 0), At(Y, M, MON, 14, 30));
  const CScheduleItemList& pending = t.manager.GetPendingList();
  ASSERT_EQ(pending.GetCount(), 3);
  EXPECT_EQ(pending.GetAt(0)->start, At(Y, M, MON, 12, 0));
  EXPECT_EQ(pending.GetAt(1)->start, At(Y, M, MON, 14, 0));
  EXPECT_EQ(pending.GetAt(2)->start, At(Y, M, MON, 15, 0));
  for (const CScheduleItem* item : pending) EXPECT_EQ(item->type, kScheduleFixedDay);
  ASSERT_EQ(t.manager.GetDoneList().GetCount(), 1);
  EXPECT_EQ(t.manager.GetDoneList().GetHead()->stop, At(Y, M, MON, 9, 0));
}

TEST(SchedCheck, BusyEngineIsAskedAgainUntilIdleEvenPastTheStop) {
  Timetable t(At(Y, M, MON, 9, 59));
  t.Add(kScheduleEveryDay, Secs(10, 0), Secs(10, 0, 10));
  t.busy = true;
  t.RunUntil(At(Y, M, MON, 10, 0, 20));
  EXPECT_TRUE(t.events.empty());
  EXPECT_GT(t.start_calls, 40);  // every check from 09:59:59.5 on
  EXPECT_EQ(t.manager.GetState(), CScheduleManager::kStateWaiting);
  t.busy = false;
  t.RunUntil(At(Y, M, MON, 10, 0, 25));
  EXPECT_EQ(t.events, (std::vector<std::string>{"start 03-04 10:00:20", "stop 03-04 10:00:21"}));
}

TEST(SchedCheck, InactiveSchedulerDoesNothingUntilSwitchedOn) {
  Timetable t(At(Y, M, MON, 9, 0));
  t.Add(kScheduleEveryDay, Secs(10, 0), Secs(11, 0));
  t.manager.SetActive(0);
  EXPECT_TRUE(t.manager.IsDirty());
  t.RunUntil(At(Y, M, MON, 10, 30));
  EXPECT_TRUE(t.events.empty());
  t.manager.SetActive(1);
  t.RunUntil(At(Y, M, MON, 11, 1));
  EXPECT_EQ(t.events, (std::vector<std::string>{"start 03-04 10:30:00", "stop 03-04 11:00:00"}));
}

TEST(SchedCheck, NoStartCallbackStillRunsTheTimetable) {
  Timetable t(At(Y, M, MON, 9, 59));
  t.manager.SetStartCallback({});
  t.Add(kScheduleEveryDay, Secs(10, 0), Secs(11, 0));
  t.RunUntil(At(Y, M, MON, 10, 0));
  EXPECT_EQ(t.manager.GetState(), CScheduleManager::kStateStarted);
  t.RunUntil(At(Y, M, MON, 11, 1));
  EXPECT_EQ(t.events, std::vector<std::string>{"stop 03-04 11:00:00"});
}

// Time changes and edits rebuild today's lists.
TEST(SchedCheck, ClockSetBackRunsTheItemAgain) {
  Timetable t(At(Y, M, MON, 9, 59));
  t.Add(kScheduleEveryDay, Secs(10, 0), Secs(10, 10));
  t.RunUntil(At(Y, M, MON, 10, 11));
  t.now = At(Y, M, MON, 9, 30);
  t.RunUntil(At(Y, M, MON, 10, 11));
  EXPECT_EQ(t.events, (std::vector<std::string>{"start 03-04 09:59:59", "stop 03-04 10:10:00",
                                                "start 03-04 09:59:59", "stop 03-04 10:10:00"}));
}

TEST(SchedCheck, TimeChangeToAnotherDayBuildsThatDaysList) {
  Timetable t(At(Y, M, MON, 9, 0));
  t.Add(kScheduleFixedDay, At(Y, M, 6, 10, 0), At(Y, M, 6, 11, 0));
  EXPECT_TRUE(t.manager.GetPendingList().IsEmpty());
  t.now = At(Y, M, 6, 9, 59, 30);
  t.manager.RebuildToday();
  ASSERT_EQ(t.manager.GetPendingList().GetCount(), 1);
  t.RunUntil(At(Y, M, 6, 11, 1));
  EXPECT_EQ(t.events, (std::vector<std::string>{"start 03-06 09:59:59", "stop 03-06 11:00:00"}));
}

TEST(SchedCheck, RebuildStopsARunningRecording) {
  Timetable t(At(Y, M, MON, 9, 59));
  t.Add(kScheduleEveryDay, Secs(10, 0), Secs(11, 0));
  t.RunUntil(At(Y, M, MON, 10, 15));
  ASSERT_EQ(t.manager.GetState(), CScheduleManager::kStateStarted);
  t.manager.RebuildToday();
  EXPECT_EQ(t.manager.GetState(), CScheduleManager::kStateStopped);
  EXPECT_EQ(t.events, (std::vector<std::string>{"start 03-04 09:59:59", "stop 03-04 10:15:00"}));
}

TEST(SchedCheck, WaitingOccurrenceFollowsEditsAndRemovals) {
  const struct {
    const char* what;
    std::function<void(Timetable&, CScheduleItem*)> edit;
    std::vector<std::string> expected;
  } cases[] = {
      {"removed while waiting: never starts",
       [](Timetable& t, CScheduleItem* item) {
         ASSERT_EQ(t.manager.RemoveItem(item), 1);
         EXPECT_EQ(t.manager.GetStatusText(), "Schedule: Enable  |  None");
       },
       {}},
      {"moved while waiting: starts at its new time",
       [](Timetable& t, CScheduleItem* item) {
         CScheduleItemList conflicts;
         ASSERT_EQ(t.manager.ReplaceItem(CScheduleItem(1, kScheduleEveryDay, Secs(10, 30), Secs(11, 0)), item,
                                         &conflicts),
                   1);
       },
       {"start 03-04 10:29:59", "stop 03-04 11:00:00"}},
      {"disabled while waiting: never starts",
       [](Timetable& t, CScheduleItem* item) {
         CScheduleItemList conflicts;
         ASSERT_EQ(t.manager.ReplaceItem(CScheduleItem(0, kScheduleEveryDay, Secs(10, 0), Secs(11, 0)), item,
                                         &conflicts),
                   1);
       },
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Timetable t(At(Y, M, MON, 9, 0));
    CScheduleItem* item = t.Add(kScheduleEveryDay, Secs(10, 0), Secs(11, 0));
    t.RunUntil(At(Y, M, MON, 9, 30));
    ASSERT_EQ(t.manager.GetState(), CScheduleManager::kStateWaiting);
    c.edit(t, item);
    if (::testing::Test::HasFatalFailure()) return;
    t.RunUntil(At(Y, M, MON, 11, 1));
    EXPECT_EQ(t.events, c.expected);
  }
}

TEST(SchedCheck, DayListHoldsTheDatesOccurrencesSorted) {
  Timetable t(At(Y, M, MON, 9, 0));
  t.Add(kScheduleEveryDay, Secs(18, 0), Secs(19, 0));
  t.Add(kScheduleWednesday, Secs(7, 0), Secs(8, 0));
  t.Add(kScheduleThursday, Secs(8, 0), Secs(9, 0));
  t.Add(kScheduleFixedDay, At(Y, M, 6, 12, 0), At(Y, M, 6, 13, 0));
  t.Add(kScheduleFixedDay, At(Y, M, 7, 14, 0), At(Y, M, 7, 15, 0));
  t.Add(kScheduleWednesday, Secs(20, 0), Secs(21, 0), 0);
  CScheduleItemList day;
  t.manager.BuildDayList(scheduler::MakeSystemTime(Y, M, 6), &day);  // a Wednesday, not today
  std::vector<std::string> got;
  for (const CScheduleItem* item : day) {
    EXPECT_EQ(item->type, kScheduleFixedDay);
    got.push_back(Clock(item->start) + " - " + Clock(item->stop));
  }
  EXPECT_EQ(got,
            (std::vector<std::string>{"03-06 07:00:00 - 03-06 08:00:00", "03-06 12:00:00 - 03-06 13:00:00",
                                      "03-06 18:00:00 - 03-06 19:00:00"}));
  day.DeleteAll();
}
