#pragma once
// "Error Information": the items a refused schedule item collides with.
#include "options/schedule/ScheduleListCtrl.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include "options/scheduler/ScheduleItemList.h"
#include "platform/afx/linux_headers_end.h"

class CScheduleConflictDlg : public CDialog {
public:
  enum { IDD = IDD_SCHEDULE_CONFLICT };
  CScheduleConflictDlg(const CScheduleItemList* conflicts, CWnd* parent = nullptr);

protected:
  BOOL OnInitDialog() override;

private:
  const CScheduleItemList* m_pConflicts;
  CScheduleListCtrl m_list;
};
