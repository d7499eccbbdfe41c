#pragma once
// The Schedule Setting dialog: the schedule types in a tree, the items of the chosen
// type, today's occurrences, and the start-with-the-system and activation boxes.
// Every add, edit and removal acts on the scheduler at once; OK stores the schedule.
#include "options/schedule/ScheduleListCtrl.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include "options/scheduler/ScheduleItemList.h"
#include "platform/afx/linux_headers_end.h"

class CScheduleManager;

class CScheduleSettingDlg : public CDialog {
public:
  enum { IDD = IDD_SCHEDULE_SETTING };
  // runningCopies: how many copies of the program run; with two or more, the schedule
  // cannot be changed here.
  CScheduleSettingDlg(CScheduleManager* manager, int runningCopies, CWnd* parent = nullptr);
  ~CScheduleSettingDlg() override;

  void FillItemList(int type);
  void RefreshDayList();

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  LRESULT OnTimeChange(WPARAM wParam, LPARAM lParam);
  void OnTypeSelChanged(NMHDR* notify, LRESULT* result);
  void OnItemDblClk(NMHDR* notify, LRESULT* result);
  void OnAdd();
  void OnRemove();
  void OnEdit();

  DECLARE_MESSAGE_MAP()

private:
  // The item dialog on an item of the list, then ReplaceItem.
  void EditRow(int row);
  void ShowConflicts(const CScheduleItemList& conflicts);
  void SelectItemRow(const CScheduleItem* item);

  CScheduleManager* m_pManager;
  int m_nRunningCopies;
  CScheduleItemList m_dayItems;  // today's occurrences, owned here
  CScheduleListCtrl m_dayList;
  CTreeCtrl m_typeTree;
  CScheduleListCtrl m_itemList;
  BOOL m_bRunAtStartup = FALSE;
  BOOL m_bActivate = FALSE;
  int m_nType = 0;
};
