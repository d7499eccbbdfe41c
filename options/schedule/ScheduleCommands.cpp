#include "options/schedule/ScheduleCommands.h"

#include "options/schedule/ScheduleSettingDlg.h"

INT_PTR RunScheduleSettingDialog(CWnd* parent, CScheduleManager* manager, int runningCopies) {
  if (!manager) return -1;
  CScheduleSettingDlg dialog(manager, runningCopies, parent);
  return dialog.DoModal();
}
