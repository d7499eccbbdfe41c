#pragma once
// Growable arrays: the template CArray and the byte, word, doubleword and string arrays.
// An array serialises as its count and then each element.
#include "platform/afx/List.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
  int GetSize() const { return static_cast<int>(m_items.size()); }
  int GetCount() const { return GetSize(); }
  int GetUpperBound() const { return GetSize() - 1; }
  BOOL IsEmpty() const { return m_items.empty(); }
  void SetSize(int size, int growBy = -1) { m_items.resize(size > 0 ? size : 0); }
  void RemoveAll() { m_items.clear(); }
  TYPE GetAt(int i) const { return m_items[i]; }
  void SetAt(int i, ARG_TYPE v) { m_items[i] = v; }
  TYPE& ElementAt(int i) { return m_items[i]; }
  TYPE& operator[](int i) { return m_items[i]; }
  TYPE operator[](int i) const { return m_items[i]; }
  TYPE* GetData() { return m_items.data(); }
  int Add(ARG_TYPE v) {
    m_items.push_back(v);
    return GetSize() - 1;
  }
  void SetAtGrow(int i, ARG_TYPE v) {
    if (i >= GetSize()) m_items.resize(i + 1);
    m_items[i] = v;
  }
  void InsertAt(int i, ARG_TYPE v, int count = 1) { m_items.insert(m_items.begin() + i, count, v); }
  void RemoveAt(int i, int count = 1) { m_items.erase(m_items.begin() + i, m_items.begin() + i + count); }

  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar.WriteCount(static_cast<DWORD>(m_items.size()));
    } else {
      m_items.assign(ar.ReadCount(), TYPE{});
    }
    for (TYPE& v : m_items) AfxSerializeElement(ar, v);
  }

private:
  std::vector<TYPE> m_items;
};

class CByteArray : public CArray<BYTE, BYTE> {};
class CWordArray : public CArray<WORD, WORD> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CStringArray : public CArray<CString, const char*> {};
