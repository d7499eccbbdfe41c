#include "toolkit/bars/TKEditListBox.h"

namespace {
// Posted to the frame to drop a new item left empty, once the list has finished
// ending its in-place editing.
constexpr UINT kRemoveEmptyNewItem = WM_APP + 0x2F1;
// Posted to the frame to open an item for naming once the click or key that asked
// for it is over (the click's end would otherwise take the focus from the editor,
// which ends the editing at once).
constexpr UINT kStartEditing = WM_APP + 0x2F2;
}  // namespace

BEGIN_MESSAGE_MAP(CTKEditListView, CListCtrl)
  ON_WM_SYSKEYDOWN()
END_MESSAGE_MAP()

void CTKEditListView::OnSysKeyDown(UINT key, UINT repeatCount, UINT flags) {
  if (m_pOwner && m_pOwner->ProcessHotKey(key)) return;
  CListCtrl::OnSysKeyDown(key, repeatCount, flags);
}

CTKEditListBox::CTKEditListBox() { m_wndList.m_pOwner = this; }
CTKEditListBox::~CTKEditListBox() = default;

BOOL CTKEditListBox::CreateList(const CRect& rect) {
  if (!m_wndList.Create(0x5000420D, rect, this, 1))  // report, single selection, label editing, no header
    return FALSE;
  ::SetWindowLongA(m_wndList.m_hWnd, GWL_EXSTYLE,
                   ::GetWindowLongA(m_wndList.m_hWnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  ::SetWindowPos(m_wndList.m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  m_wndList.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  m_wndList.InsertColumn(0, "");
  OnSizeList(rect);
  return TRUE;
}

void CTKEditListBox::OnSizeList(const CRect&) {
  if (!m_wndList.m_hWnd) return;
  CRect client;
  m_wndList.GetClientRect(&client);
  const int width = client.Width() - ::GetSystemMetrics(SM_CXVSCROLL);
  m_wndList.SendMessage(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width > 0 ? width : 0, 0));
}

int CTKEditListBox::GetCount() const { return m_wndList.m_hWnd ? m_wndList.GetItemCount() : 0; }

int CTKEditListBox::AddItem(const char* text, DWORD_PTR data, int index) {
  if (!m_wndList.m_hWnd) return -1;
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index < 0 ? GetCount() : index;
  item.pszText = const_cast<char*>(text ? text : "");
  item.lParam = static_cast<LPARAM>(data);
  return m_wndList.InsertItem(&item);
}

BOOL CTKEditListBox::RemoveItem(int index) {
  if (index < 0 || index >= GetCount()) return FALSE;
  return m_wndList.DeleteItem(index);
}

CString CTKEditListBox::GetItemText(int index) const { return m_wndList.GetItemText(index, 0); }

DWORD_PTR CTKEditListBox::GetItemData(int index) const { return m_wndList.GetItemData(index); }

void CTKEditListBox::SetItemText(int index, const char* text) { m_wndList.SetItemText(index, 0, text); }

void CTKEditListBox::SetItemData(int index, DWORD_PTR data) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  item.lParam = static_cast<LPARAM>(data);
  m_wndList.SetItem(&item);
}

int CTKEditListBox::GetSelItem() const {
  return m_wndList.m_hWnd ? m_wndList.GetNextItem(-1, LVNI_SELECTED) : -1;
}

BOOL CTKEditListBox::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return FALSE;
  m_wndList.SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  m_wndList.SendMessage(LVM_ENSUREVISIBLE, index, FALSE);
  return TRUE;
}

BOOL CTKEditListBox::EditItem(int index) {
  if (index < 0 || index >= GetCount()) return FALSE;
  m_iEditedItem = index;
  return PostMessage(kStartEditing, static_cast<WPARAM>(index));
}

void CTKEditListBox::SwapItems(int first, int second) {
  const CString text = GetItemText(first);
  const DWORD_PTR data = GetItemData(first);
  SetItemText(first, GetItemText(second));
  SetItemData(first, GetItemData(second));
  SetItemText(second, text);
  SetItemData(second, data);
}

void CTKEditListBox::OnClickButton(int index) {
  const int selected = GetSelItem();
  switch (GetButtonCommand(index)) {
    case kNewCommand: {
      const int added = AddItem("");
      if (added < 0) return;
      m_bNewItem = TRUE;
      SelectItem(added);
      EditItem(added);
      break;
    }
    case kDeleteCommand:
      if (selected < 0 || !OnBeforeRemoveItem(selected)) return;
      RemoveItem(selected);
      if (GetCount() > 0) SelectItem(std::min(selected, GetCount() - 1));
      break;
    case kMoveUpCommand:
      if (selected <= 0) return;
      SwapItems(selected, selected - 1);
      SelectItem(selected - 1);
      OnAfterMoveItemUp(selected - 1);
      break;
    case kMoveDownCommand:
      if (selected < 0 || selected + 1 >= GetCount()) return;
      SwapItems(selected, selected + 1);
      SelectItem(selected + 1);
      OnAfterMoveItemDown(selected + 1);
      break;
    default:
      break;
  }
  ::SetFocus(m_wndList.m_hWnd);
}

void CTKEditListBox::OnEndEditLabel(const char* text) {
  const int item = m_iEditedItem >= 0 ? m_iEditedItem : GetSelItem();
  const BOOL wasNew = m_bNewItem;
  m_bNewItem = FALSE;
  m_iEditedItem = -1;
  if (item < 0) return;
  if (text && *text) {
    SetItemText(item, text);
    if (wasNew)
      OnAfterAddItem(item);
    else
      OnAfterRenameItem(item);
    return;
  }
  // A new item the user left without a name is not kept.
  if (wasNew && GetItemText(item).IsEmpty()) PostMessage(kRemoveEmptyNewItem, static_cast<WPARAM>(item));
}

BOOL CTKEditListBox::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == kStartEditing) {
    const int item = static_cast<int>(wParam);
    if (item == m_iEditedItem && item < GetCount()) {
      ::SetFocus(m_wndList.m_hWnd);
      m_wndList.SendMessage(LVM_EDITLABELA, item);
    }
    *result = 0;
    return TRUE;
  }
  if (message == kRemoveEmptyNewItem) {
    const int item = static_cast<int>(wParam);
    if (item < GetCount() && GetItemText(item).IsEmpty()) {
      RemoveItem(item);
      if (GetCount() > 0) SelectItem(std::min(item, GetCount() - 1));
    }
    *result = 0;
    return TRUE;
  }
  return CTKEditListBase::OnWndMsg(message, wParam, lParam, result);
}
