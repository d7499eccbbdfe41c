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
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
