#pragma once
// A map from keys to values, walked by positions in key order. It serialises as its
// count and then each key followed by its value.
#include "platform/afx/CList.h"

#include "platform/afx/linux_headers_begin.h"
#include <iterator>
#include <map>
#include "platform/afx/linux_headers_end.h"

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
public:
  explicit CMap(int blockSize = 10) {}
  void InitHashTable(UINT buckets, BOOL allocNow = TRUE) {}

  int GetCount() const { return static_cast<int>(items_.size()); }
  BOOL IsEmpty() const { return items_.empty(); }
  BOOL Lookup(ARG_KEY key, VALUE& value) const {
    auto it = items_.find(key);
    if (it == items_.end()) return FALSE;
    value = it->second;
    return TRUE;
  }
  VALUE& operator[](ARG_KEY key) { return items_[key]; }
  void SetAt(ARG_KEY key, ARG_VALUE value) { items_[key] = value; }
  BOOL RemoveKey(ARG_KEY key) { return items_.erase(key) > 0; }
  void RemoveAll() { items_.clear(); }

  // Positions count from 1, so a null position ends the walk.
  POSITION GetStartPosition() const { return items_.empty() ? nullptr : P(1); }
  void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const {
    size_t index = reinterpret_cast<size_t>(pos);
    auto it = std::next(items_.begin(), static_cast<long>(index - 1));
    key = it->first;
    value = it->second;
    pos = index < items_.size() ? P(index + 1) : nullptr;
  }

  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar.WriteCount(static_cast<DWORD>(items_.size()));
      for (auto& [key, value] : items_) {
        KEY k = key;
        AfxSerializeElement(ar, k);
        AfxSerializeElement(ar, value);
      }
    } else {
      RemoveAll();
      for (DWORD left = ar.ReadCount(); left > 0; --left) {
        KEY k{};
        VALUE v{};
        AfxSerializeElement(ar, k);
        AfxSerializeElement(ar, v);
        items_[k] = v;
      }
    }
  }

private:
  static POSITION P(size_t index) { return reinterpret_cast<POSITION>(index); }
  std::map<KEY, VALUE> items_;
};
