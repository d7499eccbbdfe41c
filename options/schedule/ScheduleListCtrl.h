#pragma once
// The report list of the schedule dialogs: selection always shown, grid lines and
// full-row select. Fill takes its columns and rows at once and sizes every column to
// its header and contents.
#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CScheduleListCtrl : public CListCtrl {
public:
  struct Row {
    std::vector<std::string> cells;
    DWORD_PTR data = 0;
  };
  // Takes over the list of the dialog's template.
  BOOL Attach(CWnd* dialog, UINT id);
  void Fill(const char* const* columns, int columnCount, const std::vector<Row>& rows);
  // The single selected row, or -1.
  int GetSelectedRow() const;
  // Selects and focuses a row (-1: none).
  void SelectRow(int row);
  // The row whose data is the value, or -1.
  int FindData(DWORD_PTR data) const;

protected:
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  int OnCreate(LPCREATESTRUCT cs);

  DECLARE_MESSAGE_MAP()
};
