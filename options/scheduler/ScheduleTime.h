#pragma once
// Local calendar time as the scheduler keeps it.
//
// Schedule items store local date-times as FILETIME numbers: 100-ns units since
// 1601-01-01 00:00 of the local calendar (no time zone is applied; the number is the
// local wall-clock reading). Converting between that number and a broken-down
// SystemTime is therefore plain calendar arithmetic. The only place that looks at the
// system clock and the time zone is CurrentLocalTime; everything else takes "now" from
// a function the owner can replace, so tests drive the clock themselves.
#include <cstdint>
#include <functional>

namespace scheduler {

// A broken-down local time with the fields of the Win32 SYSTEMTIME.
struct SystemTime {
  std::uint16_t wYear = 1601;
  std::uint16_t wMonth = 1;      // 1..12
  std::uint16_t wDayOfWeek = 1;  // 0 = Sunday
  std::uint16_t wDay = 1;        // 1..31
  std::uint16_t wHour = 0;
  std::uint16_t wMinute = 0;
  std::uint16_t wSecond = 0;
  std::uint16_t wMilliseconds = 0;
};

using FileTime = std::uint64_t;
inline constexpr FileTime kFileTimeSecond = 10'000'000;
inline constexpr FileTime kFileTimeDay = 86'400 * kFileTimeSecond;

// Calendar arithmetic both ways. Fields out of their usual range carry over (hour 24 is
// the next day's midnight); dates before 1601 clamp to 0. wDayOfWeek is ignored when
// converting to a FILETIME and computed when converting from one.
FileTime ToFileTime(const SystemTime& time);
SystemTime ToSystemTime(FileTime time);

// A local time from its parts, with the day of the week filled in.
SystemTime MakeSystemTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Midnight that starts the day of the time, as a FILETIME.
FileTime MidnightOf(const SystemTime& time);
// Whole days since 1601-01-01 of a FILETIME.
std::int64_t DayNumber(FileTime time);
// 0 = Sunday.
int DayOfWeek(FileTime time);
bool SameDate(const SystemTime& a, const SystemTime& b);

// The system clock read as local time (localtime_r).
SystemTime CurrentLocalTime();

using NowFunction = std::function<SystemTime()>;

}  // namespace scheduler
