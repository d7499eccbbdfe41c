#pragma once
// The scheduler: schedule items by type, today's occurrences, and the periodic check
// that starts and stops recordings through two callbacks.
//
// Everything runs on the user-interface thread: the main frame's timer calls
// CheckSchedule, a system time change calls RebuildToday, the schedule dialogs add,
// edit and remove items and read the lists. The scheduler knows no window: the
// application installs the start and stop callbacks and, for the status line, a
// function that names the window to tell (message 0x5F9) when the text changes.
#include <cstdint>
#include <functional>
#include <string>

#include "options/scheduler/ScheduleItem.h"
#include "options/scheduler/ScheduleItemList.h"
#include "options/scheduler/ScheduleText.h"
#include "options/scheduler/ScheduleTime.h"
#include "platform/seams/WindowMessages.h"

class CScheduleManager {
public:
  // A start or stop callback: takes the callback argument, answers non-zero when it acted.
  using Callback = std::function<std::int32_t(std::uint32_t)>;
  // The window that shows the status line (the active view), 0 for none.
  using StatusWindowFinder = std::function<seams::WindowHandle()>;

  static constexpr const char* kSection = "ScheduleSettings";
  static constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  static constexpr const char* kRunValueName = "Tarvel";
  static constexpr std::uint32_t kStatusChangedMessage = 0x5F9;

  enum State : int { kStateNone = 0, kStateWaiting = 1, kStateStarted = 2, kStateStopped = 3 };

  // now: the local clock (the system's when empty). The last build time is taken from it.
  explicit CScheduleManager(scheduler::NowFunction now = {});
  virtual ~CScheduleManager();
  CScheduleManager(const CScheduleManager&) = delete;
  CScheduleManager& operator=(const CScheduleManager&) = delete;

  // Reads the section "ScheduleSettings" (start-up): Active, then the items "1".."Count";
  // an item that cannot be read or that collides with one loaded before it is dropped.
  // Then today's lists, one check and the status text. Returns whether the section existed.
  int Load();
  // Rewrites the whole section; 1 on success, 0 when it could not be written (the
  // dirty flag then stays set).
  int Save();
  // Writes "Active" alone.
  int SaveActive();

  // Files a normalised copy of item (in reuse when given) in the list of its type when it
  // collides with nothing; else returns null, changes nothing and appends the items it
  // collides with to conflicts (pointers to the scheduler's own items).
  CScheduleItem* AddItem(const CScheduleItem& item, CScheduleItemList* conflicts, CScheduleItem* reuse);
  // Removes and deletes that object; 0 when it is not in the list of its type.
  int RemoveItem(CScheduleItem* item);
  // Gives oldItem the new values in place; on a collision oldItem keeps its old values,
  // conflicts lists the colliding items and 0 is returned. 0 too when oldItem is not filed.
  int ReplaceItem(const CScheduleItem& newValues, CScheduleItem* oldItem, CScheduleItemList* conflicts);
  // Items of list that collide with the candidate; appended to conflicts (when given).
  int CountConflicts(const CScheduleItem& candidate, const CScheduleItemList& list,
                     CScheduleItemList* conflicts) const;

  // Rebuilds today's pending and done lists for the local time now (a running scheduled
  // recording is stopped first). RebuildToday uses the current local time.
  void BuildToday(const scheduler::SystemTime& now);
  void RebuildToday();
  // Appends to out new Fixed Day occurrences (owned by out's owner) of every enabled item
  // that falls on the date, sorted by start.
  void BuildDayList(const scheduler::SystemTime& date, CScheduleItemList* out) const;

  // One step of the timetable: take the next occurrence, start it, stop it.
  void CheckSchedule();
  void SetActive(int flag);

  Callback SetStartCallback(Callback callback);
  Callback SetStopCallback(Callback callback);
  void SetStatusWindowFinder(StatusWindowFinder finder) { mStatusWindow = std::move(finder); }
  void SetNowFunction(scheduler::NowFunction now);

  // The value "Tarvel" under the current user's Run key.
  int ReadRunAtStartup();
  int WriteRunAtStartup(int flag);

  int GetItemCount() const;
  const std::string& GetStatusText() const { return mStatusText; }

  // What the schedule dialogs read.
  const CScheduleItemList& GetTypeList(int type) const {
    return mTypeLists[CScheduleItem::ListIndexOf(type)];
  }
  int GetActive() const { return mActive; }
  int GetRunAtStart() const { return mRunAtStart; }
  int IsDirty() const { return mDirty; }
  scheduler::SystemTime Now() const { return mNow(); }

  // The timetable's state, for the display and for tests.
  int GetState() const { return mState; }
  const CScheduleItem& GetCurrentItem() const { return mCurrent; }
  const CScheduleItemList& GetPendingList() const { return mPending; }
  const CScheduleItemList& GetDoneList() const { return mDone; }
  const scheduler::SystemTime& GetLastBuildTime() const { return mLastBuild; }

private:
  void StopRunning();
  // Files one of today's occurrences: done when it is already over, else pending.
  void File(CScheduleItem* occurrence, scheduler::FileTime now);
  // Fixed Day occurrence of a daily or weekday item on the day of midnight.
  static void MakeOccurrence(const CScheduleItem& item, scheduler::FileTime midnight, CScheduleItem* out);
  // Calls fn for every enabled item that falls on the date, with its occurrence values.
  template <typename Fn>
  void ForEachOccurrence(const scheduler::SystemTime& date, Fn&& fn) const;
  void RebuildStatusText();

  int mRunAtStart = 0;
  int mActive = 1;
  scheduler::SystemTime mLastBuild;
  CScheduleItemList mTypeLists[kScheduleTypeCount];
  CScheduleItemList mPending;
  CScheduleItemList mDone;  // today's occurrences taken or already over
  int mState = kStateNone;
  CScheduleItem mCurrent;
  Callback mStartCallback;
  Callback mStopCallback;
  int mDirty = 0;
  std::uint32_t mCallbackArg = 0;
  std::string mStatusText = schedule_text::StatusLine(true, schedule_text::kNoCurrentItem);
  scheduler::NowFunction mNow;
  StatusWindowFinder mStatusWindow;
};
