#pragma once
// One schedule item's properties: enabled, start and stop time, and the date of a
// Fixed Day item. Edits a copy; the type never changes here.
#include "platform/afx/afxwin.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include "options/scheduler/ScheduleItem.h"
#include "options/scheduler/ScheduleTime.h"
#include "platform/afx/linux_headers_end.h"

class CScheduleItemDlg : public CDialog {
public:
  enum { IDD = IDD_SCHEDULE_ITEM };
  // Without an item: a Fixed Day item of 2003-11-26, 00:12:00 to 12:43:32.
  explicit CScheduleItemDlg(CWnd* parent = nullptr);
  // today: the local date a Fixed Day date must not lie before.
  CScheduleItemDlg(const CScheduleItem& item, const scheduler::SystemTime& today, CWnd* parent = nullptr);

  const CScheduleItem& GetItem() const { return m_item; }

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

private:
  CScheduleItem m_item;
  scheduler::SystemTime m_today;
  BOOL m_bEnable = FALSE;
};
