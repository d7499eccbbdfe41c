#include "platform/afx/ListCtrl.h"

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(WC_LISTVIEWA, nullptr, style, rect, parent, id);
}

int CListCtrl::InsertItem(int index, const char* text) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<char*>(text);
  return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int index, int subItem, const char* text) {
  LVITEMA item{};
  item.iSubItem = subItem;
  item.pszText = const_cast<char*>(text);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int index, int subItem) const {
  char buffer[1024] = "";
  LVITEMA item{};
  item.iSubItem = subItem;
  item.pszText = buffer;
  item.cchTextMax = sizeof(buffer);
  ::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
  return CString(buffer);
}

DWORD_PTR CListCtrl::GetItemData(int index) const {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!::SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
  return static_cast<DWORD_PTR>(item.lParam);
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) {
  LVITEMA item{};
  item.state = state;
  item.stateMask = mask;
  return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::HitTest(POINT point, UINT* flags) const {
  LVHITTESTINFO info{};
  info.pt = point;
  int index = static_cast<int>(::SendMessageA(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (flags) *flags = info.flags;
  return index;
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) {
  LVCOLUMNA col{};
  col.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
  col.fmt = format;
  col.pszText = const_cast<char*>(heading);
  col.iSubItem = column;
  if (width >= 0) {
    col.mask |= LVCF_WIDTH;
    col.cx = width;
  }
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col)));
}

BOOL CListCtrl::ModifyStyle(DWORD remove, DWORD add) {
  DWORD style = GetStyle();
  DWORD changed = (style & ~remove) | add;
  if (changed == style) return FALSE;
  ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
  return TRUE;
}
