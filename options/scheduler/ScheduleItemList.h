#pragma once
// An ordered list of schedule item pointers.
//
// The list does not delete what it holds: the scheduler's own lists own their items
// (the scheduler deletes them), while a conflicts list only points at items that stay
// owned by the scheduler. DeleteAll is there for the owner of a list of its own.
#include <cstddef>
#include <list>

#include "options/scheduler/ScheduleItem.h"

class CScheduleItemList {
public:
  using const_iterator = std::list<CScheduleItem*>::const_iterator;

  CScheduleItemList() = default;
  CScheduleItemList(const CScheduleItemList&) = delete;
  CScheduleItemList& operator=(const CScheduleItemList&) = delete;

  int GetCount() const { return static_cast<int>(mItems.size()); }
  bool IsEmpty() const { return mItems.empty(); }
  CScheduleItem* GetHead() const { return mItems.empty() ? nullptr : mItems.front(); }
  CScheduleItem* GetTail() const { return mItems.empty() ? nullptr : mItems.back(); }
  // The item at a 0-based index, or null.
  CScheduleItem* GetAt(int index) const;
  // The 0-based index of the object, or -1.
  int IndexOf(const CScheduleItem* item) const;
  bool Contains(const CScheduleItem* item) const { return IndexOf(item) >= 0; }

  void AddHead(CScheduleItem* item) { mItems.push_front(item); }
  void AddTail(CScheduleItem* item) { mItems.push_back(item); }
  // Unlinks and returns the head; null when empty.
  CScheduleItem* RemoveHead();
  // Unlinks the object (not a copy); false when it is not in the list.
  bool Remove(const CScheduleItem* item);
  // Unlinks everything without deleting.
  void RemoveAll() { mItems.clear(); }
  // Deletes every item and empties the list.
  void DeleteAll();

  // Inserts by start: the key is the smaller of start and stop; a key not above the
  // head's start goes first, a key above the tail's start goes last, otherwise before
  // the first item whose start is greater than the key.
  void InsertSorted(CScheduleItem* item);

  const_iterator begin() const { return mItems.begin(); }
  const_iterator end() const { return mItems.end(); }

private:
  std::list<CScheduleItem*> mItems;
};
