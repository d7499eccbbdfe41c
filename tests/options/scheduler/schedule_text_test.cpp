#include <gtest/gtest.h>

#include "options/scheduler/ScheduleText.h"
#include "tests/options/scheduler/scheduler_test_support.h"

using namespace scheduler_test;
using namespace schedule_text;

TEST(SchedText, RowsOfTheItemList) {
  const scheduler::SystemTime monday = scheduler::MakeSystemTime(2024, 3, 4, 15, 0);
  struct Case {
    CScheduleItem item;
    const char *start, *stop, *date;
  };
  const Case cases[] = {
      {CScheduleItem(1, kScheduleEveryDay, Secs(9, 5, 7), Secs(23, 59, 59)), "09:05:07", "23:59:59",
       "2024-03-04"},
      {CScheduleItem(1, kScheduleEveryDay, Secs(23, 59, 59), Secs(24, 0, 4)), "23:59:59", "24:00:04",
       "2024-03-04"},
      {CScheduleItem(1, kScheduleFixedDay, At(2024, 2, 29, 1, 2, 3), At(2024, 2, 29, 4, 5, 6)), "01:02:03",
       "04:05:06", "2024-02-29"},
      {CScheduleItem(1, kScheduleMonday, 0, 1), "00:00:00", "00:00:01", "2024-03-04"},  // today included
      {CScheduleItem(1, kScheduleSunday, 0, 1), "00:00:00", "00:00:01", "2024-03-10"},
      {CScheduleItem(1, kScheduleSaturday, 0, 1), "00:00:00", "00:00:01", "2024-03-09"},
      {CScheduleItem(1, kScheduleTuesday, 0, 1), "00:00:00", "00:00:01", "2024-03-05"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    EXPECT_EQ(StartTime(c.item), c.start);
    EXPECT_EQ(StopTime(c.item), c.stop);
    EXPECT_EQ(Date(EventDate(c.item, monday)), c.date);
  }
  // Month and year ends: from Friday 2024-12-27, the next Wednesday is in January.
  EXPECT_EQ(
      Date(EventDate(CScheduleItem(1, kScheduleWednesday, 0, 1), scheduler::MakeSystemTime(2024, 12, 27))),
      "2025-01-01");
}

TEST(SchedText, NamesDatesAndStatus) {
  EXPECT_EQ(ListTypeName(kScheduleWednesday), "Wendesday");
  EXPECT_EQ(ListTypeName(kScheduleFriday), "Friday");
  EXPECT_EQ(TreeTypeName(kScheduleFriday), "Firday");
  EXPECT_EQ(ListTypeName(17), "Every Day");
  EXPECT_EQ(ListTypeName(-1), "Every Day");
  EXPECT_EQ(ConflictDate(CScheduleItem(1, kScheduleMonday, 0, 1)), "xxxx-xx-xx");
  EXPECT_EQ(ConflictDate(CScheduleItem(1, kScheduleFixedDay, At(2025, 1, 2, 3), At(2025, 1, 2, 4))),
            "2025-01-02");

  const CScheduleItem occurrence(1, kScheduleFixedDay, At(2024, 3, 4, 10, 0), At(2024, 3, 4, 11, 0));
  EXPECT_EQ(OccurrenceStatus(occurrence, scheduler::MakeSystemTime(2024, 3, 4, 9, 59, 59)), "Waiting...");
  EXPECT_EQ(OccurrenceStatus(occurrence, scheduler::MakeSystemTime(2024, 3, 4, 10, 0)), "Executing...");
  EXPECT_EQ(OccurrenceStatus(occurrence, scheduler::MakeSystemTime(2024, 3, 4, 11, 0)), "Expired");
}
