#pragma once
// A map from keys to values, walked by positions in key order. It serialises as its
// count and then each key followed by its value.
#include "platform/afx/List.h"

#include "platform/afx/linux_headers_begin.h"
#include <iterator>
#include <map>
#include "platform/afx/linux_headers_end.h"

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
public:
  explicit CMap(int blockSize = 10) {}
  void InitHashTable(UINT buckets, BOOL allocNow = TRUE) {}

  int GetCount() const { return static_cast<int>(m_items.size()); }
  BOOL IsEmpty() const { return m_items.empty(); }
  BOOL Lookup(ARG_KEY key, VALUE& value) const {
    auto it = m_items.find(key);
    if (it == m_items.end()) return FALSE;
    value = it->second;
    return TRUE;
  }
  VALUE& operator[](ARG_KEY key) { return m_items[key]; }
  void SetAt(ARG_KEY key, ARG_VALUE value) { m_items[key] = value; }
  BOOL RemoveKey(ARG_KEY key) { return m_items.erase(key) > 0; }
  void RemoveAll() { m_items.clear(); }

  // Positions count from 1, so a null position ends the walk.
  POSITION GetStartPosition() const { return m_items.empty() ? nullptr : P(1); }
  void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const {
    size_t index = reinterpret_cast<size_t>(pos);
    auto it = std::next(m_items.begin(), static_cast<long>(index - 1));
    key = it->first;
    value = it->second;
    pos = index < m_items.size() ? P(index + 1) : nullptr;
  }

  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar.WriteCount(static_cast<DWORD>(m_items.size()));
      for (auto& [key, value] : m_items) {
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
        m_items[k] = v;
      }
    }
  }

private:
  static POSITION P(size_t index) { return reinterpret_cast<POSITION>(index); }
  std::map<KEY, VALUE> m_items;
};
