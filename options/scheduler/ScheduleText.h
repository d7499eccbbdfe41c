#pragma once
// The texts the schedule dialogs show for items: times, dates, type names and the
// status of one of today's occurrences. Kept here, away from the windows, so that the
// dialogs only place them.
#include <string>

#include "options/scheduler/ScheduleItem.h"
#include "options/scheduler/ScheduleTime.h"

namespace schedule_text {

// "%02d:%02d:%02d" of an item's start or stop: the local time of a Fixed Day item,
// the seconds since midnight of the other types.
std::string StartTime(const CScheduleItem& item);
std::string StopTime(const CScheduleItem& item);
// "%04d-%02d-%02d".
std::string Date(const scheduler::SystemTime& date);

// The date an item of the type list next falls on, seen from today: a Fixed Day item's
// start date, today for Every Day, the next day of its weekday for a weekday item
// (today included).
scheduler::SystemTime EventDate(const CScheduleItem& item, const scheduler::SystemTime& today);
// The conflicts list shows a date for Fixed Day items only: else "xxxx-xx-xx".
std::string ConflictDate(const CScheduleItem& item);

// Type names: those of the lists ("Every Day" for a type outside 1..8) and those of
// the type tree, which spell Friday differently.
std::string ListTypeName(int type);
std::string TreeTypeName(int type);

// One of today's occurrences: "Waiting..." before its start, "Executing..." before its
// stop, else "Expired".
std::string OccurrenceStatus(const CScheduleItem& occurrence, const scheduler::SystemTime& now);

}  // namespace schedule_text
