#pragma once
// The texts the schedule shows the user: times, dates, type names, the status of one of
// today's occurrences and the status line. Kept here, away from the windows, so that
// the dialogs only place them; the code names an entry (or asks for a composed text)
// and never spells a text itself, so each wording lives here once. Entries ending in
// "Format" are printf formats the code fills in.
#include <string>

#include "options/scheduler/ScheduleItem.h"
#include "options/scheduler/ScheduleTime.h"

namespace schedule_text {

// "%02d:%02d:%02d" of an item's start or stop: the local time of a Fixed Day item,
// the seconds since midnight of the other types.
extern const char kClockFormat[];
std::string StartTime(const CScheduleItem& item);
std::string StopTime(const CScheduleItem& item);
// "%04d-%02d-%02d".
extern const char kDateFormat[];
std::string Date(const scheduler::SystemTime& date);

// The date an item of the type list next falls on, seen from today: a Fixed Day item's
// start date, today for Every Day, the next day of its weekday for a weekday item
// (today included).
scheduler::SystemTime EventDate(const CScheduleItem& item, const scheduler::SystemTime& today);
// The conflicts list shows a date for Fixed Day items only: else kNoDate.
extern const char kNoDate[];
std::string ConflictDate(const CScheduleItem& item);

// Type names: those of the lists ("Every Day" for a type outside 1..8) and those of
// the type tree, which spell Friday differently.
extern const char* const kListTypeNames[kScheduleTypeCount];
extern const char kTreeFriday[];
std::string ListTypeName(int type);
std::string TreeTypeName(int type);

// One of today's occurrences: kWaiting before its start, kExecuting before its stop,
// else kExpired.
extern const char kWaiting[];
extern const char kExecuting[];
extern const char kExpired[];
std::string OccurrenceStatus(const CScheduleItem& occurrence, const scheduler::SystemTime& now);

// The status line: whether the schedule is on, and the start and stop times of the
// item in progress (local times) or kNoCurrentItem.
extern const char kStatusEnabled[];
extern const char kStatusDisabled[];
extern const char kNoCurrentItem[];
extern const char kCurrentItemFormat[];
std::string StatusLine(bool active, const std::string& detail);

}  // namespace schedule_text
