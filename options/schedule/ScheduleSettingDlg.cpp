#include "options/schedule/ScheduleSettingDlg.h"

#include "options/schedule/ScheduleConflictDlg.h"
#include "options/schedule/ScheduleDialogText.h"
#include "options/schedule/ScheduleItemDlg.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include "options/scheduler/ScheduleManager.h"
#include "options/scheduler/ScheduleText.h"
#include "platform/seams/MessageBox.h"
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace schedule_dialog_text;

// What two or more running copies disable.
constexpr int kScheduleControls[] = {IDC_SS_RUN_AT_STARTUP, IDC_SS_ACTIVATE, IDC_SS_TYPES,  IDC_SS_ITEMS,
                                     IDC_SS_TODAY,          IDC_SS_ADD,      IDC_SS_REMOVE, IDC_SS_EDIT};

std::string Number(int n) {
  char text[16];
  std::snprintf(text, sizeof text, kRowNumberFormat, n);
  return text;
}

void ShowSelectItemBox() {
  seams::ShowMessageBox(kSelectItem, kInformationCaption, seams::kMbOk | seams::kMbIconInformation);
}

}  // namespace

BEGIN_MESSAGE_MAP(CScheduleSettingDlg, CDialog)
  ON_MESSAGE(WM_TIMECHANGE, OnTimeChange)
  ON_NOTIFY(TVN_SELCHANGEDA, IDC_SS_TYPES, OnTypeSelChanged)
  ON_NOTIFY(NM_DBLCLK, IDC_SS_ITEMS, OnItemDblClk)
  ON_BN_CLICKED(IDC_SS_ADD, OnAdd)
  ON_BN_CLICKED(IDC_SS_REMOVE, OnRemove)
  ON_BN_CLICKED(IDC_SS_EDIT, OnEdit)
END_MESSAGE_MAP()

CScheduleSettingDlg::CScheduleSettingDlg(CScheduleManager* manager, int runningCopies, CWnd* parent)
    : CDialog(IDD, parent), m_pManager(manager), m_nRunningCopies(runningCopies) {}

CScheduleSettingDlg::~CScheduleSettingDlg() { m_dayItems.DeleteAll(); }

BOOL CScheduleSettingDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_itemList.Attach(this, IDC_SS_ITEMS);
  m_dayList.Attach(this, IDC_SS_TODAY);
  m_typeTree.SubclassDlgItem(IDC_SS_TYPES, this);
  m_itemList.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                         LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT | LVS_EX_GRIDLINES);
  m_dayList.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES);
  m_itemList.Fill(kItemColumns, 4, {});
  m_dayList.Fill(kTodayColumns, 5, {});

  HTREEITEM first = nullptr;
  for (int type = 0; type < kScheduleTypeCount; ++type) {
    const std::string name = schedule_text::TreeTypeName(type);
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(name.c_str());
    insert.item.lParam = type;
    HTREEITEM item = m_typeTree.InsertItem(&insert);
    if (!first) first = item;
  }
  m_typeTree.SelectItem(first);  // fills the item list through the selection notification
  FillItemList(m_nType);
  RefreshDayList();

  m_bRunAtStartup = m_pManager->ReadRunAtStartup();
  m_bActivate = m_pManager->GetActive();
  ::CheckDlgButton(m_hWnd, IDC_SS_RUN_AT_STARTUP, m_bRunAtStartup ? BST_CHECKED : BST_UNCHECKED);
  ::CheckDlgButton(m_hWnd, IDC_SS_ACTIVATE, m_bActivate ? BST_CHECKED : BST_UNCHECKED);

  if (m_nRunningCopies >= 2) {
    for (int id : kScheduleControls) ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    AfxMessageBox(kManyInstances, MB_OK);
  }
  return TRUE;
}

void CScheduleSettingDlg::FillItemList(int type) {
  const scheduler::SystemTime today = m_pManager->Now();
  std::vector<CScheduleListCtrl::Row> rows;
  for (CScheduleItem* item : m_pManager->GetTypeList(type)) {
    rows.push_back(
        {{item->enabled ? kEnabled : kDisabled, schedule_text::StartTime(*item),
          schedule_text::StopTime(*item), schedule_text::Date(schedule_text::EventDate(*item, today))},
         reinterpret_cast<DWORD_PTR>(item)});
  }
  m_itemList.Fill(kItemColumns, 4, rows);
}

void CScheduleSettingDlg::RefreshDayList() {
  m_dayItems.DeleteAll();
  const scheduler::SystemTime now = m_pManager->Now();
  m_pManager->BuildDayList(now, &m_dayItems);
  std::vector<CScheduleListCtrl::Row> rows;
  int number = 1;
  for (const CScheduleItem* item : m_dayItems) {
    rows.push_back({{Number(number++), schedule_text::StartTime(*item), schedule_text::StopTime(*item),
                     schedule_text::OccurrenceStatus(*item, now),
                     schedule_text::Date(scheduler::ToSystemTime(item->start))}});
  }
  m_dayList.Fill(kTodayColumns, 5, rows);
}

void CScheduleSettingDlg::SelectItemRow(const CScheduleItem* item) {
  m_itemList.SelectRow(m_itemList.FindData(reinterpret_cast<DWORD_PTR>(item)));
}

void CScheduleSettingDlg::ShowConflicts(const CScheduleItemList& conflicts) {
  CScheduleConflictDlg dialog(&conflicts, this);
  dialog.DoModal();
}

LRESULT CScheduleSettingDlg::OnTimeChange(WPARAM, LPARAM) {
  Default();
  const int row = m_itemList.GetSelectedRow();
  const auto* remembered =
      row >= 0 ? reinterpret_cast<const CScheduleItem*>(m_itemList.GetItemData(row)) : nullptr;
  FillItemList(m_nType);
  if (remembered) SelectItemRow(remembered);
  RefreshDayList();
  return 0;
}

void CScheduleSettingDlg::OnTypeSelChanged(NMHDR* notify, LRESULT* result) {
  const auto* change = reinterpret_cast<const NMTREEVIEWA*>(notify);
  m_nType = static_cast<int>(change->itemNew.lParam % kScheduleTypeCount);
  FillItemList(m_nType);
  *result = 0;
}

void CScheduleSettingDlg::OnAdd() {
  CScheduleItem item(1, m_nType, 0, 0);
  CScheduleItemDlg dialog(item, m_pManager->Now(), this);
  if (dialog.DoModal() != IDOK) return;
  CScheduleItemList conflicts;
  CScheduleItem* placed = m_pManager->AddItem(dialog.GetItem(), &conflicts, nullptr);
  if (!placed) {
    ShowConflicts(conflicts);
    return;
  }
  FillItemList(placed->ListIndex());
  SelectItemRow(placed);
  RefreshDayList();
}

void CScheduleSettingDlg::EditRow(int row) {
  auto* item = reinterpret_cast<CScheduleItem*>(m_itemList.GetItemData(row));
  if (!item) return;
  CScheduleItemDlg dialog(*item, m_pManager->Now(), this);
  if (dialog.DoModal() != IDOK) return;
  CScheduleItemList conflicts;
  if (!m_pManager->ReplaceItem(dialog.GetItem(), item, &conflicts)) {
    ShowConflicts(conflicts);
    FillItemList(m_nType);
    SelectItemRow(item);
    return;
  }
  FillItemList(m_nType);
  SelectItemRow(item);
  RefreshDayList();
}

void CScheduleSettingDlg::OnEdit() {
  const int row = m_itemList.GetSelectedRow();
  if (row < 0) {
    ShowSelectItemBox();
    return;
  }
  EditRow(row);
}

void CScheduleSettingDlg::OnItemDblClk(NMHDR* notify, LRESULT* result) {
  *result = 0;
  const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(notify);
  if (activate->iItem < 0) return;
  EditRow(activate->iItem);
}

void CScheduleSettingDlg::OnRemove() {
  const int row = m_itemList.GetSelectedRow();
  if (row < 0) {
    ShowSelectItemBox();
    return;
  }
  m_pManager->RemoveItem(reinterpret_cast<CScheduleItem*>(m_itemList.GetItemData(row)));
  FillItemList(m_nType);
  const int count = m_itemList.GetItemCount();
  if (count > 0) m_itemList.SelectRow(row < count ? row : count - 1);
  RefreshDayList();
}

void CScheduleSettingDlg::OnOK() {
  m_bRunAtStartup = ::IsDlgButtonChecked(m_hWnd, IDC_SS_RUN_AT_STARTUP) == BST_CHECKED;
  m_bActivate = ::IsDlgButtonChecked(m_hWnd, IDC_SS_ACTIVATE) == BST_CHECKED;
  CDialog::OnOK();
  if ((m_bRunAtStartup ? 1 : 0) != m_pManager->GetRunAtStart())
    m_pManager->WriteRunAtStartup(m_bRunAtStartup ? 1 : 0);
  m_pManager->SetActive(m_bActivate ? 1 : 0);
  if (m_pManager->IsDirty()) m_pManager->Save();
}
