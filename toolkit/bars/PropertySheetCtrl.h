#pragma once
// A property sheet living as a child window of a dialog: its tab control fills its
// client area and the pages fill the tab's display area; it has no buttons of its own.
#include "platform/afx/PropertySheet.h"
#include "platform/afx/afxwin.h"

class CPropertySheetCtrl : public CPropertySheet {
public:
  CPropertySheetCtrl() = default;

  // Makes the sheet over the placeholder control of the parent dialog, which it
  // replaces (its rectangle and id).
  BOOL CreateOver(CWnd* parent, UINT placeholderId);
  // Places the tab control and the pages.
  void Layout();

protected:
  void OnSize(UINT type, int cx, int cy);
  void OnTabSelChange(NMHDR* header, LRESULT* result);

  DECLARE_MESSAGE_MAP()
};
