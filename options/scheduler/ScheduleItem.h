#pragma once
// One schedule entry and its 56-byte stored image.
#include <array>
#include <cstddef>
#include <cstdint>

#include "options/scheduler/ScheduleTime.h"

// Schedule types. Start and stop are seconds since local midnight for every type but
// Fixed Day, whose start and stop are local FILETIMEs. A weekday type is
// kScheduleSunday + the day of the week (0 = Sunday).
enum ScheduleType : std::int32_t {
  kScheduleEveryDay = 0,
  kScheduleFixedDay = 1,
  kScheduleSunday = 2,
  kScheduleMonday = 3,
  kScheduleTuesday = 4,
  kScheduleWednesday = 5,
  kScheduleThursday = 6,
  kScheduleFriday = 7,
  kScheduleSaturday = 8,
  kScheduleTypeCount = 9,
};

class CScheduleItem {
public:
  static constexpr std::size_t kImageSize = 56;
  using Image = std::array<std::uint8_t, kImageSize>;

  CScheduleItem() = default;
  CScheduleItem(std::int32_t enabled, std::int32_t type, std::uint64_t start, std::uint64_t stop)
      : enabled(enabled), type(type), start(start), stop(stop) {}
  CScheduleItem(const CScheduleItem&) = default;
  CScheduleItem& operator=(const CScheduleItem&) = default;
  virtual ~CScheduleItem() = default;

  // The list an item of this type is filed in: its type, or Every Day for a type
  // outside 1..8.
  static int ListIndexOf(std::int32_t type);
  int ListIndex() const { return ListIndexOf(type); }
  bool IsFixedDay() const { return type == kScheduleFixedDay; }

  // Makes start < stop: a reversed range is swapped; an empty one gets a stop 5 seconds
  // later (on the calendar for Fixed Day, in seconds for the other types).
  void Normalize();
  // The smaller of start and stop: the order of sorted lists.
  std::uint64_t SortKey() const { return start < stop ? start : stop; }

  // The range the conflict test compares: start and stop for the daily and weekday
  // types; for Fixed Day the seconds of the day, the stop counted from the start's
  // midnight so that a range running past midnight ends after 86,400.
  void ConflictRange(std::int64_t* from, std::int64_t* to) const;
  void SecondsOfDay(std::int64_t* from, std::int64_t* to) const;

  // The stored image: bytes 8-11 enabled, 12-15 type, 16-23 start, 24-31 stop,
  // 32-51 the reserved words, little-endian; bytes 0-7 and 52-55 are written as zero
  // and ignored when read.
  Image ToImage() const;
  // Reads an image; false (and the item unchanged) unless it is exactly 56 bytes.
  bool FromImage(const std::uint8_t* data, std::size_t size);

  bool SameValues(const CScheduleItem& other) const;

  std::int32_t enabled = 0;
  std::int32_t type = kScheduleEveryDay;
  std::uint64_t start = 0;
  std::uint64_t stop = 0;
  // Carried with the item (copied, stored, loaded) and otherwise unused.
  std::uint32_t reserved[5] = {0, 0, 0, 0, 0};
};
