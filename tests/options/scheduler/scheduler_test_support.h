#pragma once
// A scheduler on a hand-driven clock, with callbacks that record what they were asked
// to do and an engine that can be made busy.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "options/scheduler/ScheduleManager.h"

namespace scheduler_test {

using scheduler::FileTime;
using scheduler::kFileTimeSecond;

inline FileTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return scheduler::ToFileTime(scheduler::MakeSystemTime(y, mo, d, h, mi, s));
}
inline std::uint64_t Secs(int h, int mi, int s = 0) { return std::uint64_t(h) * 3600 + mi * 60 + s; }

inline std::string Clock(FileTime t) {
  const scheduler::SystemTime s = scheduler::ToSystemTime(t);
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d %02d:%02d:%02d", s.wMonth, s.wDay, s.wHour, s.wMinute,
                s.wSecond);
  return text;
}

// One schedule item of a table of cases.
struct ItemRow {
  std::int32_t type;
  std::uint64_t start, stop;
  std::int32_t enabled = 1;
};

class Timetable {
public:
  explicit Timetable(FileTime start) : now(start), manager([this] { return scheduler::ToSystemTime(now); }) {
    manager.SetStartCallback([this](std::uint32_t arg) -> std::int32_t {
      ++start_calls;
      if (busy) return 0;
      events.push_back("start " + Clock(now));
      return 1;
    });
    manager.SetStopCallback([this](std::uint32_t) -> std::int32_t {
      events.push_back("stop " + Clock(now));
      return 1;
    });
  }

  // Advances the clock in steps, one check per step, up to and including end.
  void RunUntil(FileTime end, FileTime step = kFileTimeSecond / 2) {
    while (now < end) {
      now = std::min(now + step, end);
      manager.CheckSchedule();
    }
  }

  CScheduleItem* Add(std::int32_t type, std::uint64_t start, std::uint64_t stop, std::int32_t enabled = 1) {
    CScheduleItemList conflicts;
    return manager.AddItem(CScheduleItem(enabled, type, start, stop), &conflicts, nullptr);
  }

  FileTime now;
  CScheduleManager manager;
  std::vector<std::string> events;
  bool busy = false;
  int start_calls = 0;
};

}  // namespace scheduler_test
