#pragma once
// Doubly linked lists reached by positions: the template CList, the list of objects
// (CObList, which owns nothing) and the list of strings. A list serialises as its
// count and then each element; an object list's elements are objects by pointer.
#include "platform/afx/CArchive.h"

struct __POSITION {};
typedef __POSITION* POSITION;

// Plain values are stored as their bytes (little-endian); strings and objects in their
// archive forms.
template <class T>
void AfxSerializeElement(CArchive& ar, T& v) {
  if (ar.IsStoring())
    ar.Write(&v, sizeof v);
  else
    ar.ReadBytes(&v, sizeof v);
}
inline void AfxSerializeElement(CArchive& ar, CString& v) { if (ar.IsStoring()) ar << v; else ar >> v; }
inline void AfxSerializeElement(CArchive& ar, CObject*& v) { if (ar.IsStoring()) ar << v; else ar >> v; }

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
  struct Node : __POSITION {
    Node* next = nullptr;
    Node* prev = nullptr;
    TYPE data{};
  };

public:
  explicit CList(int blockSize = 10) {}
  ~CList() override { RemoveAll(); }

  int GetCount() const { return count_; }
  int GetSize() const { return count_; }
  BOOL IsEmpty() const { return count_ == 0; }

  TYPE& GetHead() { return head_->data; }
  TYPE& GetTail() { return tail_->data; }
  POSITION GetHeadPosition() const { return head_; }
  POSITION GetTailPosition() const { return tail_; }
  TYPE& GetNext(POSITION& pos) const { Node* n = N(pos); pos = n->next; return n->data; }
  TYPE& GetPrev(POSITION& pos) const { Node* n = N(pos); pos = n->prev; return n->data; }
  TYPE& GetAt(POSITION pos) const { return N(pos)->data; }
  void SetAt(POSITION pos, ARG_TYPE v) { N(pos)->data = v; }

  POSITION AddHead(ARG_TYPE v) { return InsertBefore(head_, v); }
  POSITION AddTail(ARG_TYPE v) { return InsertAfter(tail_, v); }
  POSITION InsertBefore(POSITION pos, ARG_TYPE v) {
    Node* at = N(pos);
    Node* n = new Node;
    n->data = v;
    n->next = at ? at : nullptr;
    n->prev = at ? at->prev : tail_;
    Link(n);
    return n;
  }
  POSITION InsertAfter(POSITION pos, ARG_TYPE v) {
    Node* at = N(pos);
    Node* n = new Node;
    n->data = v;
    n->prev = at ? at : nullptr;
    n->next = at ? at->next : head_;
    Link(n);
    return n;
  }
  TYPE RemoveHead() { TYPE v = head_->data; RemoveAt(head_); return v; }
  TYPE RemoveTail() { TYPE v = tail_->data; RemoveAt(tail_); return v; }
  void RemoveAt(POSITION pos) {
    Node* n = N(pos);
    (n->prev ? n->prev->next : head_) = n->next;
    (n->next ? n->next->prev : tail_) = n->prev;
    delete n;
    --count_;
  }
  void RemoveAll() {
    while (head_) RemoveAt(head_);
  }
  POSITION Find(ARG_TYPE v, POSITION after = nullptr) const {
    for (Node* n = after ? N(after)->next : head_; n; n = n->next)
      if (n->data == v) return n;
    return nullptr;
  }
  POSITION FindIndex(int index) const {
    Node* n = head_;
    for (; n && index > 0; --index) n = n->next;
    return index < 0 ? nullptr : n;
  }

  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar.WriteCount(static_cast<DWORD>(count_));
      for (Node* n = head_; n; n = n->next) AfxSerializeElement(ar, n->data);
    } else {
      for (DWORD left = ar.ReadCount(); left > 0; --left) {
        TYPE v{};
        AfxSerializeElement(ar, v);
        AddTail(v);
      }
    }
  }

private:
  static Node* N(POSITION pos) { return static_cast<Node*>(pos); }
  void Link(Node* n) {
    (n->prev ? n->prev->next : head_) = n;
    (n->next ? n->next->prev : tail_) = n;
    ++count_;
  }
  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  int count_ = 0;
};

class CObList : public CList<CObject*, CObject*> {
public:
  explicit CObList(int blockSize = 10) : CList(blockSize) {}
};

class CStringList : public CList<CString, const char*> {
public:
  explicit CStringList(int blockSize = 10) : CList(blockSize) {}
};
