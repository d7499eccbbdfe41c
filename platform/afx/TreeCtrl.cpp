#include "platform/afx/TreeCtrl.h"

BOOL CTreeCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(WC_TREEVIEWA, nullptr, style, rect, parent, id);
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const {
  char buffer[1024] = "";
  TVITEMA tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = sizeof(buffer);
  ::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return CString(buffer);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const {
  TVITEMA tv{};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return 0;
  return static_cast<DWORD_PTR>(tv.lParam);
}

HTREEITEM CTreeCtrl::HitTest(POINT point, UINT* flags) const {
  TVHITTESTINFO info{};
  info.pt = point;
  HTREEITEM item =
      reinterpret_cast<HTREEITEM>(::SendMessageA(m_hWnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (flags) *flags = info.flags;
  return item;
}
