#pragma once
// The command that opens the Schedule Setting dialog, for the main frame: modal, on the
// application's scheduler. runningCopies is the number of running copies of the
// program. The answer is the dialog's (IDOK, IDCANCEL, or -1).
#include "platform/afx/afxwin.h"

class CScheduleManager;

INT_PTR RunScheduleSettingDialog(CWnd* parent, CScheduleManager* manager, int runningCopies);
