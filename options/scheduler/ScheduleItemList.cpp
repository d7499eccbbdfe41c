#include "options/scheduler/ScheduleItemList.h"

#include <algorithm>

CScheduleItem* CScheduleItemList::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return *std::next(mItems.begin(), index);
}

int CScheduleItemList::IndexOf(const CScheduleItem* item) const {
  int index = 0;
  for (const CScheduleItem* p : mItems) {
    if (p == item) return index;
    ++index;
  }
  return -1;
}

CScheduleItem* CScheduleItemList::RemoveHead() {
  if (mItems.empty()) return nullptr;
  CScheduleItem* head = mItems.front();
  mItems.pop_front();
  return head;
}

bool CScheduleItemList::Remove(const CScheduleItem* item) {
  auto it = std::find(mItems.begin(), mItems.end(), item);
  if (it == mItems.end()) return false;
  mItems.erase(it);
  return true;
}

void CScheduleItemList::DeleteAll() {
  for (CScheduleItem* item : mItems) delete item;
  mItems.clear();
}

void CScheduleItemList::InsertSorted(CScheduleItem* item) {
  const std::uint64_t key = item->SortKey();
  if (mItems.empty() || key <= mItems.front()->start) {
    mItems.push_front(item);
    return;
  }
  if (mItems.back()->start < key) {
    mItems.push_back(item);
    return;
  }
  auto it =
      std::find_if(mItems.begin(), mItems.end(), [key](const CScheduleItem* p) { return p->start > key; });
  mItems.insert(it, item);
}
