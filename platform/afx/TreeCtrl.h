#pragma once
// The common controls' tree view ("SysTreeView32"), with the calls the toolkit's trees use.
#include <windows.h>
#include <commctrl.h>

#include "platform/afx/String.h"
#include "platform/afx/Wnd.h"

class CTreeCtrl : public CWnd {
public:
  CTreeCtrl() = default;

  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  HTREEITEM InsertItem(const TVINSERTSTRUCTA* insert) {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(insert)));
  }
  BOOL SetItem(const TVITEMA* item) {
    return static_cast<BOOL>(SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(item)));
  }
  BOOL DeleteAllItems() {
    return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
  }
  HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(m_hWnd, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
  }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
  HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  BOOL ItemHasChildren(HTREEITEM item) const { return GetChildItem(item) != nullptr; }
  CString GetItemText(HTREEITEM item) const;
  DWORD_PTR GetItemData(HTREEITEM item) const;
  BOOL Expand(HTREEITEM item, UINT code) {
    return static_cast<BOOL>(SendMessage(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)));
  }
  BOOL SelectItem(HTREEITEM item) {
    return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)));
  }
  BOOL EnsureVisible(HTREEITEM item) {
    return static_cast<BOOL>(SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item)));
  }
  HTREEITEM HitTest(POINT point, UINT* flags = nullptr) const;
  HIMAGELIST SetImageList(HIMAGELIST list, int which) {
    return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list)));
  }
  BOOL SortChildrenCB(const TVSORTCB* sort) {
    return static_cast<BOOL>(SendMessage(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(sort)));
  }
  UINT SetScrollTime(UINT ms) { return static_cast<UINT>(SendMessage(TVM_SETSCROLLTIME, ms)); }
};
