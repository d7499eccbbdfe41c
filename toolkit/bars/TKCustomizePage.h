#pragma once
// The customization sheet's "Commands" page: the command categories and, for the one
// chosen, its commands drawn as toolbar buttons, from which the user drags commands
// onto any toolbar or menu in customize mode.
#include "toolkit/frames/TKPropertyPage.h"

class CTKToolbarButton;
class CTKToolbarCustomize;

// The owner-drawn list of a category's commands; a press on the selected command
// starts dragging a copy of its button.
class CTKCommandsListBox : public CWnd {
public:
  CTKToolbarButton* GetButton(int index) const;
  int GetCurSel() const;

protected:
  void OnLButtonDown(UINT flags, CPoint point);
  DECLARE_MESSAGE_MAP()
};

class CTKCustomizePage : public CTKPropertyPage {
  DECLARE_DYNAMIC(CTKCustomizePage)

public:
  CTKCustomizePage();

  void SetAllCategory(const char* name) { m_strAllCategory = name; }
  // Shows the category's commands, as choosing it in the list does.
  void OnChangeSelCategory();
  void OnChangeSelButton();

  CTKCommandsListBox m_wndTools;
  CString m_strButtonDescription;
  CTKToolbarButton* m_pSelButton = nullptr;

  static const DLGTEMPLATE* Template();

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnDrawItemMessage(WPARAM id, LPARAM item);
  void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
  CTKToolbarCustomize* Sheet() const;

  DECLARE_MESSAGE_MAP()

  HWND m_wndCategory = nullptr;
  CString m_strAllCategory;
};
