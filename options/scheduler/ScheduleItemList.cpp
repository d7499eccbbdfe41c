#include "options/scheduler/ScheduleItemList.h"

#include <algorithm>

CScheduleItem* CScheduleItemList::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return *std::next(items_.begin(), index);
}

int CScheduleItemList::IndexOf(const CScheduleItem* item) const {
  int index = 0;
  for (const CScheduleItem* p : items_) {
    if (p == item) return index;
    ++index;
  }
  return -1;
}

CScheduleItem* CScheduleItemList::RemoveHead() {
  if (items_.empty()) return nullptr;
  CScheduleItem* head = items_.front();
  items_.pop_front();
  return head;
}

bool CScheduleItemList::Remove(const CScheduleItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return false;
  items_.erase(it);
  return true;
}

void CScheduleItemList::DeleteAll() {
  for (CScheduleItem* item : items_) delete item;
  items_.clear();
}

void CScheduleItemList::InsertSorted(CScheduleItem* item) {
  const std::uint64_t key = item->SortKey();
  if (items_.empty() || key <= items_.front()->start) {
    items_.push_front(item);
    return;
  }
  if (items_.back()->start < key) {
    items_.push_back(item);
    return;
  }
  auto it = std::find_if(items_.begin(), items_.end(),
                         [key](const CScheduleItem* p) { return p->start > key; });
  items_.insert(it, item);
}
