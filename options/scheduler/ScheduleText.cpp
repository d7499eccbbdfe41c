#include "options/scheduler/ScheduleText.h"

#include <cstdio>

namespace schedule_text {

namespace {

std::string Clock(int hours, int minutes, int seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", hours, minutes, seconds);
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

const char* const kListNames[kScheduleTypeCount] = {"Every Day", "Fixed Day", "Sunday",   "Monday",  "Tuesday",
                                                    "Wendesday", "Thursday",  "Friday", "Saturday"};

}  // namespace

std::string StartTime(const CScheduleItem& item) { return TimeOf(item, item.start); }
std::string StopTime(const CScheduleItem& item) { return TimeOf(item, item.stop); }

std::string Date(const scheduler::SystemTime& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.wYear, date.wMonth, date.wDay);
  return text;
}

scheduler::SystemTime EventDate(const CScheduleItem& item, const scheduler::SystemTime& today) {
  if (item.IsFixedDay()) return scheduler::ToSystemTime(item.start);
  const scheduler::FileTime midnight = scheduler::MidnightOf(today);
  if (item.ListIndex() == kScheduleEveryDay) return scheduler::ToSystemTime(midnight);
  const int ahead = ((item.type - scheduler::DayOfWeek(midnight) + 5) % 7 + 7) % 7;
  return scheduler::ToSystemTime(midnight + static_cast<scheduler::FileTime>(ahead) * scheduler::kFileTimeDay);
}

std::string ConflictDate(const CScheduleItem& item) {
  return item.IsFixedDay() ? Date(scheduler::ToSystemTime(item.start)) : "xxxx-xx-xx";
}

std::string ListTypeName(int type) { return kListNames[CScheduleItem::ListIndexOf(type)]; }

std::string TreeTypeName(int type) {
  const int index = CScheduleItem::ListIndexOf(type);
  return index == kScheduleFriday ? "Firday" : kListNames[index];
}

std::string OccurrenceStatus(const CScheduleItem& occurrence, const scheduler::SystemTime& now) {
  const scheduler::FileTime t = scheduler::ToFileTime(now);
  if (t < occurrence.start) return "Waiting...";
  if (t < occurrence.stop) return "Executing...";
  return "Expired";
}

}  // namespace schedule_text
