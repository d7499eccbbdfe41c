#pragma once
// The customization sheet's "Tools" page: the user's external tools, each with its
// label (in an editable list), program, arguments and start folder.
#include "toolkit/bars/TKEditListBox.h"
#include "toolkit/bars/TKMenuButton.h"
#include "toolkit/frames/TKPropertyPage.h"

class CTKToolsPage;
class CTKUserTool;

// The list of tools: each change of the list is a change of the tools manager.
class CTKToolsList : public CTKEditListBox {
public:
  CTKToolsPage* m_pParent = nullptr;

  BOOL OnBeforeRemoveItem(int index) override;
  void OnAfterAddItem(int index) override;
  void OnAfterRenameItem(int index) override;
  void OnAfterMoveItemUp(int index) override;
  void OnAfterMoveItemDown(int index) override;
  void OnSelectionChanged() override;
};

class CTKToolsPage : public CTKPropertyPage {
  DECLARE_DYNAMIC(CTKToolsPage)

public:
  CTKToolsPage();
  ~CTKToolsPage() override;

  CTKUserTool* GetSelectedTool() const { return m_pSelTool; }
  CTKToolsList m_wndToolsList;
  CString m_strCommand;
  CString m_strArguments;
  CString m_strInitialDirectory;
  CTKMenuButton m_wndArgumentsMenu;
  CTKMenuButton m_wndInitialDirMenu;

  static const DLGTEMPLATE* Template();

  // The list's changes.
  CTKUserTool* CreateNewTool();
  void OnSelectTool(CTKUserTool* tool);

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnKillActive() override;
  void OnUpdateTool();
  void OnBrowseCommand();
  void EnableControls();
  // Shows the button with the first popup of the menu resource (kept in `loaded`).
  void SetUpMenuButton(CTKMenuButton& button, int id, UINT menuId, HMENU& loaded);
  void OnArgumentsMenu();
  void OnInitialDirMenu();
  // Types the text of the command chosen in the button's menu into the edit.
  void TypeMenuChoice(const CTKMenuButton& button, int editId);

  DECLARE_MESSAGE_MAP()

  CTKUserTool* m_pSelTool = nullptr;
  BOOL m_bFilling = FALSE;
  HMENU m_hArgumentsMenu = nullptr;
  HMENU m_hInitialDirMenu = nullptr;
};
