#include "options/scheduler/ScheduleText.h"

#include <cstdio>

namespace schedule_text {

const char kClockFormat[] = "%02d:%02d:%02d";
const char kDateFormat[] = "%04d-%02d-%02d";
const char kNoDate[] = "xxxx-xx-xx";
const char* const kListTypeNames[kScheduleTypeCount] = {
    "Every Day", "Fixed Day", "Sunday", "Monday", "Tuesday", "Wendesday", "Thursday", "Friday", "Saturday"};
const char kTreeFriday[] = "Firday";
const char kWaiting[] = "Waiting...";
const char kExecuting[] = "Executing...";
const char kExpired[] = "Expired";
const char kStatusEnabled[] = "Enable";
const char kStatusDisabled[] = "Disable";
const char kNoCurrentItem[] = "None";
const char kCurrentItemFormat[] = "Start Time: %02d:%02d:%02d   Stop Time: %02d:%02d:%02d";

namespace {

std::string Clock(int hours, int minutes, int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, kClockFormat, hours, minutes, seconds);
  return text;
}

std::string TimeOf(const CScheduleItem& item, std::uint64_t value) {
  if (item.IsFixedDay()) {
    const scheduler::SystemTime t = scheduler::ToSystemTime(value);
    return Clock(t.wHour, t.wMinute, t.wSecond);
  }
  // Seconds past a day (a stop moved 5 s past 23:59:59) read as hours past 23.
  const std::uint64_t hours = value / 3600;
  return Clock(static_cast<int>(hours > 99999 ? 99999 : hours), static_cast<int>(value % 3600 / 60),
               static_cast<int>(value % 60));
}

}  // namespace

std::string StartTime(const CScheduleItem& item) { return TimeOf(item, item.start); }
std::string StopTime(const CScheduleItem& item) { return TimeOf(item, item.stop); }

std::string Date(const scheduler::SystemTime& date) {
  char text[32];
  std::snprintf(text, sizeof text, kDateFormat, date.wYear, date.wMonth, date.wDay);
  return text;
}

scheduler::SystemTime EventDate(const CScheduleItem& item, const scheduler::SystemTime& today) {
  if (item.IsFixedDay()) return scheduler::ToSystemTime(item.start);
  const scheduler::FileTime midnight = scheduler::MidnightOf(today);
  if (item.ListIndex() == kScheduleEveryDay) return scheduler::ToSystemTime(midnight);
  const int ahead = ((item.type - scheduler::DayOfWeek(midnight) + 5) % 7 + 7) % 7;
  return scheduler::ToSystemTime(midnight +
                                 static_cast<scheduler::FileTime>(ahead) * scheduler::kFileTimeDay);
}

std::string ConflictDate(const CScheduleItem& item) {
  return item.IsFixedDay() ? Date(scheduler::ToSystemTime(item.start)) : kNoDate;
}

std::string ListTypeName(int type) { return kListTypeNames[CScheduleItem::ListIndexOf(type)]; }

std::string TreeTypeName(int type) {
  const int index = CScheduleItem::ListIndexOf(type);
  return index == kScheduleFriday ? kTreeFriday : kListTypeNames[index];
}

std::string OccurrenceStatus(const CScheduleItem& occurrence, const scheduler::SystemTime& now) {
  const scheduler::FileTime t = scheduler::ToFileTime(now);
  if (t < occurrence.start) return kWaiting;
  if (t < occurrence.stop) return kExecuting;
  return kExpired;
}

std::string StatusLine(bool active, const std::string& detail) {
  return std::string("Schedule: ") + (active ? kStatusEnabled : kStatusDisabled) + "  |  " + detail;
}

}  // namespace schedule_text
