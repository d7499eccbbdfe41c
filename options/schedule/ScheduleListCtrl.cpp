#include "options/schedule/ScheduleListCtrl.h"

namespace {

constexpr DWORD kExtendedStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;

}  // namespace

BEGIN_MESSAGE_MAP(CScheduleListCtrl, CListCtrl)
  ON_WM_CREATE()
END_MESSAGE_MAP()

BOOL CScheduleListCtrl::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.style |= LVS_SHOWSELALWAYS;
  return CListCtrl::PreCreateWindow(cs);
}

int CScheduleListCtrl::OnCreate(LPCREATESTRUCT cs) {
  if (Default() == -1) return -1;
  SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, kExtendedStyles, kExtendedStyles);
  return 0;
}

BOOL CScheduleListCtrl::Attach(CWnd* dialog, UINT id) {
  if (!SubclassDlgItem(id, dialog)) return FALSE;
  // A list of a template exists before it is ours: give it what creation would.
  ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | LVS_SHOWSELALWAYS);
  SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, kExtendedStyles, kExtendedStyles);
  return TRUE;
}

void CScheduleListCtrl::Fill(const char* const* columns, int columnCount, const std::vector<Row>& rows) {
  SendMessage(WM_SETREDRAW, FALSE);
  DeleteAllItems();
  while (SendMessage(LVM_DELETECOLUMN, 0)) {
  }
  for (int c = 0; c < columnCount; ++c) InsertColumn(c, columns[c], LVCFMT_LEFT);
  int index = 0;
  for (const Row& row : rows) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(row.cells.empty() ? "" : row.cells[0].c_str());
    item.lParam = static_cast<LPARAM>(row.data);
    const int at = InsertItem(&item);
    for (size_t c = 1; c < row.cells.size(); ++c) SetItemText(at, static_cast<int>(c), row.cells[c].c_str());
    ++index;
  }
  for (int c = 0; c < columnCount; ++c) {
    SendMessage(LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE_USEHEADER);
    // Some list views measure only the cells: never cut the header's text.
    const int header =
        static_cast<int>(SendMessage(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(columns[c])));
    const int padding = 2 * ::GetSystemMetrics(SM_CXEDGE) + 12;
    if (static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, c)) < header + padding)
      SendMessage(LVM_SETCOLUMNWIDTH, c, header + padding);
  }
  SendMessage(WM_SETREDRAW, TRUE);
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

int CScheduleListCtrl::GetSelectedRow() const {
  if (::SendMessageA(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0) != 1) return -1;
  return GetNextItem(-1, LVNI_SELECTED);
}

void CScheduleListCtrl::SelectRow(int row) {
  SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row < 0) return;
  SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EnsureVisible(row, FALSE);
}

int CScheduleListCtrl::FindData(DWORD_PTR data) const {
  for (int row = 0; row < GetItemCount(); ++row)
    if (GetItemData(row) == data) return row;
  return -1;
}
