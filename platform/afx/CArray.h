#pragma once
// Growable arrays: the template CArray and the byte, word, doubleword and string arrays.
// An array serialises as its count and then each element.
#include "platform/afx/CList.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
  int GetSize() const { return static_cast<int>(items_.size()); }
  int GetCount() const { return GetSize(); }
  int GetUpperBound() const { return GetSize() - 1; }
  BOOL IsEmpty() const { return items_.empty(); }
  void SetSize(int size, int growBy = -1) { items_.resize(size > 0 ? size : 0); }
  void RemoveAll() { items_.clear(); }
  TYPE GetAt(int i) const { return items_[i]; }
  void SetAt(int i, ARG_TYPE v) { items_[i] = v; }
  TYPE& ElementAt(int i) { return items_[i]; }
  TYPE& operator[](int i) { return items_[i]; }
  TYPE operator[](int i) const { return items_[i]; }
  TYPE* GetData() { return items_.data(); }
  int Add(ARG_TYPE v) { items_.push_back(v); return GetSize() - 1; }
  void SetAtGrow(int i, ARG_TYPE v) { if (i >= GetSize()) items_.resize(i + 1); items_[i] = v; }
  void InsertAt(int i, ARG_TYPE v, int count = 1) { items_.insert(items_.begin() + i, count, v); }
  void RemoveAt(int i, int count = 1) { items_.erase(items_.begin() + i, items_.begin() + i + count); }

  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar.WriteCount(static_cast<DWORD>(items_.size()));
    } else {
      items_.assign(ar.ReadCount(), TYPE{});
    }
    for (TYPE& v : items_) AfxSerializeElement(ar, v);
  }

private:
  std::vector<TYPE> items_;
};

class CByteArray : public CArray<BYTE, BYTE> {};
class CWordArray : public CArray<WORD, WORD> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CStringArray : public CArray<CString, const char*> {};
