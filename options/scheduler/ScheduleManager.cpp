#include "options/scheduler/ScheduleManager.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

#include "app/settings/SettingsPlatform.h"
#include "app/settings/ZQRegistry.h"
#include "options/scheduler/ScheduleText.h"

using scheduler::FileTime;
using scheduler::kFileTimeSecond;
using scheduler::SystemTime;

namespace {

// A stored item's value name: the item number in plain decimal ("%d").
bool ParseItemNumber(const std::string& name, std::uint32_t limit, std::uint32_t* number) {
  if (name.empty() || name[0] == '0') return false;
  std::uint64_t value = 0;
  auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), value);
  if (ec != std::errc() || end != name.data() + name.size()) return false;
  if (value < 1 || value > limit) return false;
  *number = static_cast<std::uint32_t>(value);
  return true;
}

bool Collide(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) {
  // Two ranges collide when the sum of their lengths exceeds the span of all four
  // endpoints, that is when they overlap by more than a point.
  const std::int64_t aLo = std::min(a0, a1), aHi = std::max(a0, a1);
  const std::int64_t bLo = std::min(b0, b1), bHi = std::max(b0, b1);
  return std::max(aLo, bLo) < std::min(aHi, bHi);
}

}  // namespace

CScheduleManager::CScheduleManager(scheduler::NowFunction now)
    : mNow(now ? std::move(now) : scheduler::NowFunction(scheduler::CurrentLocalTime)) {
  mLastBuild = mNow();
}

CScheduleManager::~CScheduleManager() {
  for (CScheduleItemList& list : mTypeLists) list.DeleteAll();
  mPending.DeleteAll();
  mDone.DeleteAll();
}

void CScheduleManager::SetNowFunction(scheduler::NowFunction now) {
  mNow = now ? std::move(now) : scheduler::NowFunction(scheduler::CurrentLocalTime);
}

CScheduleManager::Callback CScheduleManager::SetStartCallback(Callback callback) {
  std::swap(mStartCallback, callback);
  return callback;
}

CScheduleManager::Callback CScheduleManager::SetStopCallback(Callback callback) {
  std::swap(mStopCallback, callback);
  return callback;
}

int CScheduleManager::GetItemCount() const {
  int count = 0;
  for (const CScheduleItemList& list : mTypeLists) count += list.GetCount();
  return count;
}

// ---------------------------------------------------------------------------------
// Items

int CScheduleManager::CountConflicts(const CScheduleItem& candidate, const CScheduleItemList& list,
                                     CScheduleItemList* conflicts) const {
  if (!candidate.enabled) return 0;
  std::int64_t a0 = 0, a1 = 0;
  candidate.ConflictRange(&a0, &a1);
  const std::int64_t today = scheduler::DayNumber(scheduler::MidnightOf(Now()));
  const int candidateWeekday =
      candidate.IsFixedDay() ? kScheduleSunday + scheduler::DayOfWeek(candidate.start) : -1;
  int count = 0;
  for (CScheduleItem* item : list) {
    if (!item->enabled) continue;
    std::int64_t b0 = 0, b1 = 0;
    if (item->IsFixedDay()) {
      // A day that has gone by holds nothing to collide with; the dates of two items
      // that are both to come are not compared, only their times of the day.
      if (scheduler::DayNumber(item->start) < today) continue;
      item->SecondsOfDay(&b0, &b1);
    } else {
      if (candidateWeekday >= 0 && item->type >= kScheduleSunday && item->type <= kScheduleSaturday &&
          item->type != candidateWeekday)
        continue;
      item->ConflictRange(&b0, &b1);
    }
    if (!Collide(a0, a1, b0, b1)) continue;
    if (conflicts) conflicts->AddTail(item);
    ++count;
  }
  return count;
}

CScheduleItem* CScheduleManager::AddItem(const CScheduleItem& item, CScheduleItemList* conflicts,
                                         CScheduleItem* reuse) {
  CScheduleItem candidate = item;
  candidate.type = CScheduleItem::ListIndexOf(item.type);
  // The range that will be stored is the one to test.
  candidate.Normalize();

  int collisions = 0;
  auto compare = [&](int type) { collisions += CountConflicts(candidate, mTypeLists[type], conflicts); };
  if (candidate.type == kScheduleEveryDay) {
    for (int type = 0; type < kScheduleTypeCount; ++type) compare(type);
  } else if (candidate.type == kScheduleFixedDay) {
    compare(kScheduleEveryDay);
    compare(kScheduleSunday + scheduler::DayOfWeek(candidate.start));
    compare(kScheduleFixedDay);
  } else {
    compare(kScheduleEveryDay);
    compare(candidate.type);
    compare(kScheduleFixedDay);
  }
  if (collisions > 0) return nullptr;

  CScheduleItem* placed = reuse ? reuse : new CScheduleItem;
  *placed = candidate;
  mTypeLists[candidate.type].InsertSorted(placed);
  mDirty = 1;
  BuildToday(Now());
  return placed;
}

int CScheduleManager::RemoveItem(CScheduleItem* item) {
  if (!item || !mTypeLists[item->ListIndex()].Remove(item)) return 0;
  delete item;
  mDirty = 1;
  BuildToday(Now());
  return 1;
}

int CScheduleManager::ReplaceItem(const CScheduleItem& newValues, CScheduleItem* oldItem,
                                  CScheduleItemList* conflicts) {
  if (!oldItem || !mTypeLists[oldItem->ListIndex()].Remove(oldItem)) return 0;
  const CScheduleItem oldValues = *oldItem;
  if (AddItem(newValues, conflicts, oldItem)) return 1;
  // Refused: the item goes back as it was. It is not tested again: the conflict test
  // is not symmetric (a weekday item meets every Fixed Day item, a Fixed Day item only
  // the items of its own weekday), so a second test could refuse the old values too
  // and lose the item.
  *oldItem = oldValues;
  mTypeLists[oldItem->ListIndex()].InsertSorted(oldItem);
  mDirty = 1;
  BuildToday(Now());
  return 0;
}

// ---------------------------------------------------------------------------------
// Today's lists

void CScheduleManager::MakeOccurrence(const CScheduleItem& item, FileTime midnight, CScheduleItem* out) {
  *out = CScheduleItem(1, kScheduleFixedDay, midnight + item.start * kFileTimeSecond,
                       midnight + item.stop * kFileTimeSecond);
  out->Normalize();
}

template <typename Fn>
void CScheduleManager::ForEachOccurrence(const SystemTime& date, Fn&& fn) const {
  const FileTime midnight = scheduler::MidnightOf(date);
  const std::int64_t day = scheduler::DayNumber(midnight);
  CScheduleItem occurrence;
  for (const CScheduleItem* item : mTypeLists[kScheduleEveryDay]) {
    if (!item->enabled) continue;
    MakeOccurrence(*item, midnight, &occurrence);
    fn(occurrence);
  }
  for (const CScheduleItem* item : mTypeLists[kScheduleFixedDay]) {
    if (!item->enabled || scheduler::DayNumber(item->start) != day) continue;
    occurrence = *item;
    occurrence.Normalize();
    fn(occurrence);
  }
  // The weekday from the date itself, whatever the caller put in wDayOfWeek.
  for (const CScheduleItem* item : mTypeLists[kScheduleSunday + scheduler::DayOfWeek(midnight)]) {
    if (!item->enabled) continue;
    MakeOccurrence(*item, midnight, &occurrence);
    fn(occurrence);
  }
}

void CScheduleManager::File(CScheduleItem* occurrence, FileTime now) {
  if (occurrence->stop <= now)
    mDone.AddTail(occurrence);
  else
    mPending.InsertSorted(occurrence);
}

void CScheduleManager::StopRunning() {
  mState = kStateStopped;
  if (mStopCallback) mStopCallback(mCallbackArg);
}

void CScheduleManager::BuildToday(const SystemTime& now) {
  if (mState == kStateStarted) {
    StopRunning();
  } else if (mState == kStateWaiting) {
    // The occurrence being waited for is a copy taken from the old lists: it may have
    // been removed, disabled or moved since. Let the next check take it again from the
    // fresh lists instead of starting what the user no longer scheduled.
    mState = kStateNone;
    RebuildStatusText();
  }
  // The old occurrences are reused for the new ones; only those, so that the done list
  // ends up holding exactly the occurrences of the day that are already over.
  CScheduleItemList spares;
  while (CScheduleItem* item = mPending.RemoveHead()) spares.AddTail(item);
  while (CScheduleItem* item = mDone.RemoveHead()) spares.AddTail(item);

  const FileTime nowTime = scheduler::ToFileTime(now);
  ForEachOccurrence(now, [&](const CScheduleItem& values) {
    CScheduleItem* occurrence = spares.RemoveHead();
    if (!occurrence) occurrence = new CScheduleItem;
    *occurrence = values;
    File(occurrence, nowTime);
  });
  spares.DeleteAll();
  mLastBuild = now;
}

void CScheduleManager::RebuildToday() { BuildToday(Now()); }

void CScheduleManager::BuildDayList(const SystemTime& date, CScheduleItemList* out) const {
  if (!out) return;
  ForEachOccurrence(date, [&](const CScheduleItem& values) { out->InsertSorted(new CScheduleItem(values)); });
}

// ---------------------------------------------------------------------------------
// The check

void CScheduleManager::CheckSchedule() {
  if (!mActive) return;
  const SystemTime now = Now();
  const FileTime nowTime = scheduler::ToFileTime(now);
  // The clock went back, or a new day began: today's lists are stale.
  if (nowTime < scheduler::ToFileTime(mLastBuild)) BuildToday(now);
  if (!scheduler::SameDate(now, mLastBuild)) BuildToday(now);

  switch (mState) {
    case kStateWaiting:
      // Start up to a second early.
      if (nowTime + kFileTimeSecond > mCurrent.start) {
        if (!mStartCallback || mStartCallback(mCallbackArg) != 0) mState = kStateStarted;
      }
      break;
    case kStateStarted:
      if (nowTime > mCurrent.stop) StopRunning();
      break;
    default:
      while (CScheduleItem* head = mPending.RemoveHead()) {
        mDone.AddTail(head);
        if (head->enabled && head->IsFixedDay() && head->stop > nowTime) {
          mCurrent = *head;
          mState = kStateWaiting;
          RebuildStatusText();
          break;
        }
      }
      break;
  }
}

void CScheduleManager::SetActive(int flag) {
  flag = flag ? 1 : 0;
  if (flag == mActive) return;
  mDirty = 1;
  // One last step with the feature on, so that switching it off still takes what is due now.
  mActive = 1;
  CheckSchedule();
  mActive = flag;
  RebuildStatusText();
}

void CScheduleManager::RebuildStatusText() {
  std::string detail = schedule_text::kNoCurrentItem;
  if (mState != kStateNone) {
    const SystemTime a = scheduler::ToSystemTime(mCurrent.start);
    const SystemTime b = scheduler::ToSystemTime(mCurrent.stop);
    char text[96];
    std::snprintf(text, sizeof text, schedule_text::kCurrentItemFormat, a.wHour, a.wMinute, a.wSecond,
                  b.wHour, b.wMinute, b.wSecond);
    detail = text;
  }
  mStatusText = schedule_text::StatusLine(mActive != 0, detail);
  if (mStatusWindow) {
    if (seams::WindowHandle view = mStatusWindow())
      seams::PostWindowMessage(view, kStatusChangedMessage, 0, 0);
  }
}

// ---------------------------------------------------------------------------------
// The stored schedule

int CScheduleManager::Load() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForReading(holder, kSection);
  const int existed = reg ? 1 : 0;
  if (reg) {
    std::uint32_t active = static_cast<std::uint32_t>(mActive);
    reg->ReadDword("Active", &active, active);
    mActive = active ? 1 : 0;
    std::uint32_t count = 0;
    reg->ReadDword("Count", &count, 0);

    // The items "1".."Count" in order; only the names that are there are read, so a
    // damaged count cannot keep start-up busy for billions of empty reads.
    std::vector<std::string> names;
    reg->ReadValueNames(&names);
    std::vector<std::uint32_t> numbers;
    for (const std::string& name : names) {
      std::uint32_t number = 0;
      if (ParseItemNumber(name, count, &number)) numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());

    for (std::uint32_t number : numbers) {
      std::vector<std::uint8_t> bytes;
      CScheduleItem scratch;
      if (!reg->ReadBinary(std::to_string(number), &bytes) || !scratch.FromImage(bytes.data(), bytes.size()))
        continue;
      CScheduleItemList conflicts;  // a stored item that collides is dropped
      AddItem(scratch, &conflicts, nullptr);
    }
    BuildToday(Now());
  }
  mDirty = 0;
  const int active = mActive;
  mActive = 1;
  CheckSchedule();
  mActive = active;
  RebuildStatusText();
  return existed;
}

int CScheduleManager::Save() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = holder.Create(false, false);
  // Start from an empty section so that no item of a larger earlier schedule is left.
  if (reg->KeyExists(kSection)) reg->DeleteKey(kSection);
  reg = settings::OpenSectionForWriting(holder, kSection);
  if (!reg) return 0;
  bool ok = reg->WriteDword("Active", static_cast<std::uint32_t>(mActive)) != 0;
  ok = reg->WriteDword("Count", static_cast<std::uint32_t>(GetItemCount())) != 0 && ok;
  int number = 0;
  for (const CScheduleItemList& list : mTypeLists) {
    for (const CScheduleItem* item : list) {
      const CScheduleItem::Image image = item->ToImage();
      ok = reg->WriteBinary(std::to_string(++number), image.data(), CScheduleItem::kImageSize) != 0 && ok;
    }
  }
  if (!ok) return 0;
  mDirty = 0;
  return 1;
}

int CScheduleManager::SaveActive() {
  ZQRegistryHolder holder;
  CZQRegistry* reg = settings::OpenSectionForWriting(holder, kSection);
  return reg && reg->WriteDword("Active", static_cast<std::uint32_t>(mActive)) ? 1 : 0;
}

// ---------------------------------------------------------------------------------
// Start with the system

int CScheduleManager::ReadRunAtStartup() {
  mRunAtStart = 0;
  ZQRegistryHolder holder(true);
  CZQRegistry* reg = holder.Create(false, true);
  std::vector<std::uint8_t> bytes;
  if (!reg->Open(kRunKeyPath) || !reg->ReadBinary(kRunValueName, &bytes)) return mRunAtStart;
  std::string text(bytes.begin(), std::find(bytes.begin(), bytes.end(), std::uint8_t{0}));
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (text.find(".EXE") != std::string::npos) mRunAtStart = 1;
  return mRunAtStart;
}

int CScheduleManager::WriteRunAtStartup(int flag) {
  ZQRegistryHolder holder(true);
  CZQRegistry* reg = holder.Create(false, false);
  if (!reg->Open(kRunKeyPath)) return 0;
  if (flag) {
    const std::string program = settings::Platform().ProgramFilePath();
    if (program.empty() || !reg->WriteString(kRunValueName, program)) return 0;
    mRunAtStart = 1;
    return 1;
  }
  if (!reg->DeleteValue(kRunValueName)) return 0;
  mRunAtStart = 0;
  return 1;
}
