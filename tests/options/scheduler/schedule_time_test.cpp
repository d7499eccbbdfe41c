#include <gtest/gtest.h>

#include "options/scheduler/ScheduleTime.h"

using namespace scheduler;

TEST(SchedTime, FileTimeNumbersAndCalendarBothWays) {
  struct Case {
    int y, mo, d, h, mi, s;
    FileTime expected;
    int weekday;
  };
  const Case cases[] = {
      {1601, 1, 1, 0, 0, 0, 0, 1},                      // the epoch, a Monday
      {1970, 1, 1, 0, 0, 0, 116444736000000000ULL, 4},  // the Unix epoch, a Thursday
      {2000, 1, 1, 0, 0, 0, 125911584000000000ULL, 6},
      {2024, 2, 29, 23, 59, 59, 0, 4},  // leap day
      {2024, 3, 31, 12, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.y);
    const SystemTime t = MakeSystemTime(c.y, c.mo, c.d, c.h, c.mi, c.s);
    const FileTime ft = ToFileTime(t);
    if (c.expected) {
      EXPECT_EQ(ft, c.expected);
    }
    EXPECT_EQ(t.wDayOfWeek, c.weekday);
    EXPECT_EQ(DayOfWeek(ft), c.weekday);
    const SystemTime back = ToSystemTime(ft);
    EXPECT_EQ(back.wYear, c.y);
    EXPECT_EQ(back.wMonth, c.mo);
    EXPECT_EQ(back.wDay, c.d);
    EXPECT_EQ(back.wHour, c.h);
    EXPECT_EQ(back.wMinute, c.mi);
    EXPECT_EQ(back.wSecond, c.s);
  }
  // Fields past their range carry over: 24:00:05 on Dec 31 is the new year.
  const SystemTime carried = MakeSystemTime(2023, 12, 31, 24, 0, 5);
  EXPECT_EQ(carried.wYear, 2024);
  EXPECT_EQ(carried.wMonth, 1);
  EXPECT_EQ(carried.wDay, 1);
  EXPECT_EQ(carried.wSecond, 5);
  EXPECT_EQ(MidnightOf(MakeSystemTime(2024, 3, 4, 13, 14, 15)), ToFileTime(MakeSystemTime(2024, 3, 4)));
}

TEST(SchedTime, SystemClockReadsAsAPlausibleLocalTime) {
  const SystemTime t = CurrentLocalTime();
  EXPECT_GE(t.wYear, 2020);
  EXPECT_EQ(ToSystemTime(ToFileTime(t)).wDayOfWeek, t.wDayOfWeek);
}
