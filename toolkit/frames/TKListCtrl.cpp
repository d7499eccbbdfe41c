#include "toolkit/frames/TKListCtrl.h"

// The list's own header has control id 0.
BEGIN_MESSAGE_MAP(CTKListCtrl, CListCtrl)
  ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
  ON_NOTIFY(HDN_ITEMCLICKA, 0, OnHeaderItemClick)
  ON_NOTIFY(HDN_ITEMCLICKW, 0, OnHeaderItemClick)
  ON_WM_ERASEBKGND()
  ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

void CTKListCtrl::PreSubclassWindow() { InitList(); }

BOOL CTKListCtrl::SubclassHeader() {
  if (m_wndHeader.m_hWnd) return TRUE;
  HWND header = GetHeaderWnd();
  return header && m_wndHeader.SubclassWindow(header);
}

void CTKListCtrl::InitColors() {
  const COLORREF bk = GetBkColor();
  m_clrSortedColumn = RGB(GetRValue(bk) * 97 / 100, GetGValue(bk) * 97 / 100, GetBValue(bk) * 97 / 100);
}

BOOL CTKListCtrl::InitList() {
  BOOL ok = SubclassHeader();
  InitColors();
  return ok;
}

int CALLBACK TKListCompareProc(LPARAM item1, LPARAM item2, LPARAM listParam) {
  auto* list = reinterpret_cast<CTKListCtrl*>(listParam);
  const int result = list->CompareItems(item1, item2, list->GetSortColumn());
  return list->IsAscending() ? result : -result;
}

void CTKListCtrl::SortByColumn(int column, BOOL ascending, BOOL add) {
  HCURSOR old = ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
  m_wndHeader.SetSortColumn(column, ascending, add);
  m_iSortedColumn = column;
  m_bAscending = ascending;
  SortItems(TKListCompareProc, reinterpret_cast<DWORD_PTR>(this));
  ::SetCursor(old);
}

void CTKListCtrl::OnHeaderClick(int column) {
  // Descending first; a descending column turns ascending.
  const BOOL ascending = m_wndHeader.GetColumnState(column) == -1;
  const BOOL add = (::GetKeyState(VK_SHIFT) & 0x8000) && m_wndHeader.IsMultipleSort();
  SortByColumn(column, ascending, add);
}

void CTKListCtrl::EnableMarkSortedColumn(BOOL mark, BOOL redraw) {
  m_bMarkSortedColumn = mark;
  if (redraw && m_hWnd) Invalidate();
}

void CTKListCtrl::OnCustomDraw(NMHDR* header, LRESULT* result) {
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
  *result = CDRF_DODEFAULT;
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      *result = CDRF_NOTIFYITEMDRAW;
      break;
    case CDDS_ITEMPREPAINT:
      *result = CDRF_NOTIFYSUBITEMDRAW;
      break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const int row = static_cast<int>(draw->nmcd.dwItemSpec);
      const int column = draw->iSubItem;
      draw->clrText = GetCellTextColor(row, column);
      draw->clrTextBk = GetCellBkColor(row, column);
      if (column == m_iSortedColumn && m_bMarkSortedColumn && draw->clrTextBk == GetBkColor())
        draw->clrTextBk = m_clrSortedColumn;
      if (HFONT font = GetCellFont(row, column, draw->nmcd.lItemlParam)) {
        m_hOldFont = ::SelectObject(draw->nmcd.hdc, font);
        *result = CDRF_NEWFONT | CDRF_NOTIFYPOSTPAINT;
      } else {
        *result = CDRF_NEWFONT;
      }
      break;
    }
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM:
      if (m_hOldFont) {
        ::SelectObject(draw->nmcd.hdc, m_hOldFont);
        m_hOldFont = nullptr;
      }
      break;
    default:
      break;
  }
}

void CTKListCtrl::OnHeaderItemClick(NMHDR* header, LRESULT* result) {
  // The sort state changes first; the list's own handling of the click follows.
  if (m_wndHeader.m_hWnd && header->hwndFrom == m_wndHeader.m_hWnd)
    OnHeaderClick(reinterpret_cast<const NMHEADERA*>(header)->iItem);
  *result = Default();
}

BOOL CTKListCtrl::OnEraseBkgnd(CDC* dc) {
  BOOL result = CListCtrl::OnEraseBkgnd(dc);
  if (m_iSortedColumn >= 0 && m_bMarkSortedColumn && m_wndHeader.m_hWnd) {
    RECT item{};
    if (m_wndHeader.GetItemRect(m_iSortedColumn, &item)) {
      ::MapWindowPoints(m_wndHeader.m_hWnd, m_hWnd, reinterpret_cast<POINT*>(&item), 2);
      RECT client{};
      GetClientRect(&client);
      item.top = client.top;
      item.bottom = client.bottom;
      HBRUSH brush = ::CreateSolidBrush(m_clrSortedColumn);
      dc->FillRect(&item, brush);
      ::DeleteObject(brush);
    }
  }
  return result;
}

void CTKListCtrl::OnSysColorChange() {
  InitColors();
  Invalidate();
  CListCtrl::OnSysColorChange();
}
