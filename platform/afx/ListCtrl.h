#pragma once
// The common controls' list view ("SysListView32"), with the calls the toolkit's lists use.
#include <windows.h>
#include <commctrl.h>

#include "platform/afx/String.h"
#include "platform/afx/Wnd.h"

class CListCtrl : public CWnd {
public:
  CListCtrl() = default;

  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  int GetItemCount() const { return static_cast<int>(::SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0)); }
  int InsertItem(const LVITEMA* item) {
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(item)));
  }
  int InsertItem(int index, const char* text);
  BOOL SetItem(const LVITEMA* item) {
    return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(item)));
  }
  BOOL SetItemText(int index, int subItem, const char* text);
  CString GetItemText(int index, int subItem) const;
  DWORD_PTR GetItemData(int index) const;
  BOOL DeleteItem(int index) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, index)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
  int GetNextItem(int start, int flags) const {
    return static_cast<int>(::SendMessageA(m_hWnd, LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)));
  }
  UINT GetItemState(int index, UINT mask) const {
    return static_cast<UINT>(::SendMessageA(m_hWnd, LVM_GETITEMSTATE, index, mask));
  }
  BOOL SetItemState(int index, UINT state, UINT mask);
  int HitTest(POINT point, UINT* flags = nullptr) const;
  int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1);
  HWND GetHeaderWnd() const { return reinterpret_cast<HWND>(::SendMessageA(m_hWnd, LVM_GETHEADER, 0, 0)); }
  HIMAGELIST SetImageList(HIMAGELIST list, int which) {
    return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list)));
  }
  HIMAGELIST GetImageList(int which) const {
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(m_hWnd, LVM_GETIMAGELIST, which, 0));
  }
  COLORREF GetTextColor() const {
    return static_cast<COLORREF>(::SendMessageA(m_hWnd, LVM_GETTEXTCOLOR, 0, 0));
  }
  COLORREF GetBkColor() const { return static_cast<COLORREF>(::SendMessageA(m_hWnd, LVM_GETBKCOLOR, 0, 0)); }
  // Sorts with a comparison called with two items' data and the given value.
  BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR data) {
    return static_cast<BOOL>(SendMessage(LVM_SORTITEMS, data, reinterpret_cast<LPARAM>(compare)));
  }
  BOOL EnsureVisible(int index, BOOL partialOk) {
    return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, index, partialOk));
  }
  BOOL ModifyStyle(DWORD remove, DWORD add);
};
