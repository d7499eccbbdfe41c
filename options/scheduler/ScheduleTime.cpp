#include "options/scheduler/ScheduleTime.h"

#include <chrono>
#include <ctime>

namespace scheduler {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (months and days may run over).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
  // Fold the month into 1..12 first so that month 13 means January of the next year.
  y += (m - 1) >= 0 ? (m - 1) / 12 : -((12 - m) / 12);
  m = ((m - 1) % 12 + 12) % 12 + 1;
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t* y, unsigned* m, unsigned* d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  *d = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
  *y = yoe + era * 400 + (*m <= 2);
}

// 1601-01-01 counted from 1970-01-01.
constexpr std::int64_t kEpoch1601 = -134774;

}  // namespace

FileTime ToFileTime(const SystemTime& t) {
  const std::int64_t days = DaysFromCivil(t.wYear, t.wMonth, t.wDay) - kEpoch1601;
  const std::int64_t seconds =
      days * 86400 + std::int64_t{t.wHour} * 3600 + std::int64_t{t.wMinute} * 60 + t.wSecond;
  if (seconds < 0) return 0;
  return static_cast<FileTime>(seconds) * kFileTimeSecond + static_cast<FileTime>(t.wMilliseconds) * 10'000;
}

SystemTime ToSystemTime(FileTime time) {
  SystemTime t;
  const std::int64_t days = DayNumber(time);
  std::int64_t year = 0;
  unsigned month = 0, day = 0;
  CivilFromDays(days + kEpoch1601, &year, &month, &day);
  const FileTime inDay = time % kFileTimeDay;
  const std::uint64_t seconds = inDay / kFileTimeSecond;
  t.wYear = static_cast<std::uint16_t>(year);
  t.wMonth = static_cast<std::uint16_t>(month);
  t.wDay = static_cast<std::uint16_t>(day);
  t.wDayOfWeek = static_cast<std::uint16_t>(DayOfWeek(time));
  t.wHour = static_cast<std::uint16_t>(seconds / 3600);
  t.wMinute = static_cast<std::uint16_t>(seconds % 3600 / 60);
  t.wSecond = static_cast<std::uint16_t>(seconds % 60);
  t.wMilliseconds = static_cast<std::uint16_t>(inDay % kFileTimeSecond / 10'000);
  return t;
}

SystemTime MakeSystemTime(int year, int month, int day, int hour, int minute, int second) {
  SystemTime t;
  t.wYear = static_cast<std::uint16_t>(year);
  t.wMonth = static_cast<std::uint16_t>(month);
  t.wDay = static_cast<std::uint16_t>(day);
  t.wHour = static_cast<std::uint16_t>(hour);
  t.wMinute = static_cast<std::uint16_t>(minute);
  t.wSecond = static_cast<std::uint16_t>(second);
  return ToSystemTime(ToFileTime(t));
}

FileTime MidnightOf(const SystemTime& time) {
  SystemTime day = time;
  day.wHour = day.wMinute = day.wSecond = day.wMilliseconds = 0;
  return ToFileTime(day);
}

std::int64_t DayNumber(FileTime time) { return static_cast<std::int64_t>(time / kFileTimeDay); }

int DayOfWeek(FileTime time) {
  // 1601-01-01 was a Monday.
  return static_cast<int>((DayNumber(time) + 1) % 7);
}

bool SameDate(const SystemTime& a, const SystemTime& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

SystemTime CurrentLocalTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto sinceEpoch = now.time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000;
  SystemTime t;
  t.wYear = static_cast<std::uint16_t>(local.tm_year + 1900);
  t.wMonth = static_cast<std::uint16_t>(local.tm_mon + 1);
  t.wDay = static_cast<std::uint16_t>(local.tm_mday);
  t.wDayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
  t.wHour = static_cast<std::uint16_t>(local.tm_hour);
  t.wMinute = static_cast<std::uint16_t>(local.tm_min);
  // A leap second reads as the last second of the minute.
  t.wSecond = static_cast<std::uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
  t.wMilliseconds = static_cast<std::uint16_t>(ms < 0 ? 0 : ms);
  return t;
}

}  // namespace scheduler
