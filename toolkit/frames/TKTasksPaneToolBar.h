#pragma once
// The navigation toolbar at the top of the tasks pane: Back, Forward and Home through
// the pane's history, the page-list button showing the current page's name, and
// Close. Its commands go to the pane, which enables Back and Forward.
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarMenuButton.h"

enum : UINT {
  ID_TKTASKS_BACK = 17016,
  ID_TKTASKS_FORWARD = 17017,
  ID_TKTASKS_HOME = 17018,
  ID_TKTASKS_CLOSE = 17019,
  ID_TKTASKS_OTHER = 17020,
};

// Back or Forward: a click goes one page that way; its arrow opens a menu of the pages
// behind (newest first) or ahead (in order), and a page picked there is reached in
// as many steps as it lies away.
class CTasksPaneHistoryButton : public CTKToolbarMenuButton {
  DECLARE_SERIAL(CTasksPaneHistoryButton)

public:
  CTasksPaneHistoryButton() = default;
  CTasksPaneHistoryButton(UINT command, int image, const char* text);

  HMENU CreateMenu() const override;
  void OnChangeParentWnd(CWnd* parent) override;
  BOOL HandlesChosenItem() const override { return TRUE; }
  BOOL OnItemChosen(CTKToolBar* popupBar, CTKToolbarButton* item) override;
  // The names the menu was last made of.
  const CStringList& GetPageNames() const { return m_pageNames; }

private:
  class CTKTasksPane* Pane() const;
  mutable CStringList m_pageNames;
};

class CTasksPaneToolBar : public CTKToolBar {
public:
  CTasksPaneToolBar();

  // Made as a child of the pane, with its buttons and images.
  BOOL CreateIn(CWnd* pane);
  void AdjustLayout() override;
  BOOL AllowLookBorder() const override { return FALSE; }
  CWnd* GetCommandTarget() const override;
  // The page-list button's text.
  void SetPageName(const CString& name);
  void EnableCommand(UINT id, BOOL enable);
  int Height() const;

private:
  // The four images (Back, Forward, Home, Close) drawn once into the bar's own list.
  void MakeImages();
};
