#include "options/scheduler/ScheduleItem.h"

#include <utility>

namespace {

void PutLe(std::uint8_t* out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t GetLe(const std::uint8_t* in, int bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
  return value;
}

}  // namespace

int CScheduleItem::ListIndexOf(std::int32_t type) {
  return type >= kScheduleFixedDay && type <= kScheduleSaturday ? type : kScheduleEveryDay;
}

void CScheduleItem::Normalize() {
  if (start > stop) std::swap(start, stop);
  if (start == stop) stop += IsFixedDay() ? 5 * scheduler::kFileTimeSecond : 5;
}

void CScheduleItem::SecondsOfDay(std::int64_t* from, std::int64_t* to) const {
  using scheduler::kFileTimeDay;
  using scheduler::kFileTimeSecond;
  const std::int64_t startSeconds = static_cast<std::int64_t>(start % kFileTimeDay / kFileTimeSecond);
  const std::int64_t stopSeconds = static_cast<std::int64_t>(stop % kFileTimeDay / kFileTimeSecond);
  // Whole days between the two dates, so that a range crossing the end of a month
  // still ends the next day rather than weeks earlier.
  const std::int64_t days = scheduler::DayNumber(stop) - scheduler::DayNumber(start);
  *from = startSeconds;
  *to = days * 86400 + stopSeconds;
}

void CScheduleItem::ConflictRange(std::int64_t* from, std::int64_t* to) const {
  if (IsFixedDay()) {
    SecondsOfDay(from, to);
    return;
  }
  // Daily seconds beyond the int64 range come only from damaged values; clamp them so
  // that comparisons stay defined.
  constexpr std::uint64_t kMax = static_cast<std::uint64_t>(INT64_MAX);
  *from = static_cast<std::int64_t>(start > kMax ? kMax : start);
  *to = static_cast<std::int64_t>(stop > kMax ? kMax : stop);
}

CScheduleItem::Image CScheduleItem::ToImage() const {
  Image image{};
  PutLe(&image[8], static_cast<std::uint32_t>(enabled), 4);
  PutLe(&image[12], static_cast<std::uint32_t>(type), 4);
  PutLe(&image[16], start, 8);
  PutLe(&image[24], stop, 8);
  for (int i = 0; i < 5; ++i) PutLe(&image[32 + 4 * i], reserved[i], 4);
  return image;
}

bool CScheduleItem::FromImage(const std::uint8_t* data, std::size_t size) {
  if (!data || size != kImageSize) return false;
  enabled = static_cast<std::int32_t>(GetLe(data + 8, 4));
  type = static_cast<std::int32_t>(GetLe(data + 12, 4));
  start = GetLe(data + 16, 8);
  stop = GetLe(data + 24, 8);
  for (int i = 0; i < 5; ++i) reserved[i] = static_cast<std::uint32_t>(GetLe(data + 32 + 4 * i, 4));
  return true;
}

bool CScheduleItem::SameValues(const CScheduleItem& o) const {
  if (enabled != o.enabled || type != o.type || start != o.start || stop != o.stop) return false;
  for (int i = 0; i < 5; ++i)
    if (reserved[i] != o.reserved[i]) return false;
  return true;
}
