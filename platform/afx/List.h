#pragma once
// Doubly linked lists reached by positions: the template CList, the list of objects
// (CObList, which owns nothing) and the list of strings. A list serialises as its
// count and then each element; an object list's elements are objects by pointer.
#include "platform/afx/Archive.h"

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
inline void AfxSerializeElement(CArchive& ar, CString& v) {
  if (ar.IsStoring())
    ar << v;
  else
    ar >> v;
}
inline void AfxSerializeElement(CArchive& ar, CObject*& v) {
  if (ar.IsStoring())
    ar << v;
  else
    ar >> v;
}

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

  int GetCount() const { return m_count; }
  int GetSize() const { return m_count; }
  BOOL IsEmpty() const { return m_count == 0; }

  TYPE& GetHead() { return m_head->data; }
  TYPE& GetTail() { return m_tail->data; }
  POSITION GetHeadPosition() const { return m_head; }
  POSITION GetTailPosition() const { return m_tail; }
  TYPE& GetNext(POSITION& pos) const {
    Node* n = N(pos);
    pos = n->next;
    return n->data;
  }
  TYPE& GetPrev(POSITION& pos) const {
    Node* n = N(pos);
    pos = n->prev;
    return n->data;
  }
  TYPE& GetAt(POSITION pos) const { return N(pos)->data; }
  void SetAt(POSITION pos, ARG_TYPE v) { N(pos)->data = v; }

  POSITION AddHead(ARG_TYPE v) { return InsertBefore(m_head, v); }
  POSITION AddTail(ARG_TYPE v) { return InsertAfter(m_tail, v); }
  POSITION InsertBefore(POSITION pos, ARG_TYPE v) {
    Node* at = N(pos);
    Node* n = new Node;
    n->data = v;
    n->next = at ? at : nullptr;
    n->prev = at ? at->prev : m_tail;
    Link(n);
    return n;
  }
  POSITION InsertAfter(POSITION pos, ARG_TYPE v) {
    Node* at = N(pos);
    Node* n = new Node;
    n->data = v;
    n->prev = at ? at : nullptr;
    n->next = at ? at->next : m_head;
    Link(n);
    return n;
  }
  TYPE RemoveHead() {
    TYPE v = m_head->data;
    RemoveAt(m_head);
    return v;
  }
  TYPE RemoveTail() {
    TYPE v = m_tail->data;
    RemoveAt(m_tail);
    return v;
  }
  void RemoveAt(POSITION pos) {
    Node* n = N(pos);
    (n->prev ? n->prev->next : m_head) = n->next;
    (n->next ? n->next->prev : m_tail) = n->prev;
    delete n;
    --m_count;
  }
  void RemoveAll() {
    while (m_head) RemoveAt(m_head);
  }
  POSITION Find(ARG_TYPE v, POSITION after = nullptr) const {
    for (Node* n = after ? N(after)->next : m_head; n; n = n->next)
      if (n->data == v) return n;
    return nullptr;
  }
  POSITION FindIndex(int index) const {
    Node* n = m_head;
    for (; n && index > 0; --index) n = n->next;
    return index < 0 ? nullptr : n;
  }

  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar.WriteCount(static_cast<DWORD>(m_count));
      for (Node* n = m_head; n; n = n->next) AfxSerializeElement(ar, n->data);
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
    (n->prev ? n->prev->next : m_head) = n;
    (n->next ? n->next->prev : m_tail) = n;
    ++m_count;
  }
  Node* m_head = nullptr;
  Node* m_tail = nullptr;
  int m_count = 0;
};

class CObList : public CList<CObject*, CObject*> {
public:
  explicit CObList(int blockSize = 10) : CList(blockSize) {}
};

class CStringList : public CList<CString, const char*> {
public:
  explicit CStringList(int blockSize = 10) : CList(blockSize) {}
};
