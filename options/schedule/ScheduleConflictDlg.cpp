#include "options/schedule/ScheduleConflictDlg.h"

#include "options/schedule/ScheduleDialogText.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include "options/scheduler/ScheduleText.h"
#include "platform/afx/linux_headers_end.h"

CScheduleConflictDlg::CScheduleConflictDlg(const CScheduleItemList* conflicts, CWnd* parent)
    : CDialog(IDD, parent), m_pConflicts(conflicts) {}

BOOL CScheduleConflictDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_list.Attach(this, IDC_SC_CONFLICTS);
  m_list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                     LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT | LVS_EX_GRIDLINES);
  std::vector<CScheduleListCtrl::Row> rows;
  int number = 1;
  if (m_pConflicts) {
    for (const CScheduleItem* item : *m_pConflicts) {
      char text[16];
      std::snprintf(text, sizeof text, schedule_dialog_text::kRowNumberFormat, number++);
      rows.push_back({{text, schedule_text::ListTypeName(item->type), schedule_text::StartTime(*item),
                       schedule_text::StopTime(*item), schedule_text::ConflictDate(*item)}});
    }
  }
  m_list.Fill(schedule_dialog_text::kConflictColumns, 5, rows);
  return TRUE;
}
