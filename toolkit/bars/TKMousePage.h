#pragma once
// The customization sheet's "Mouse" page: for each view the mouse manager knows,
// no double-click command or the command a double click runs.
#include "toolkit/frames/TKPropertyPage.h"

enum : UINT {
  IDD_TKCUSTOMIZE_MOUSE = 16135,
  IDC_TKMOUSE_VIEWS = 16631,
  IDC_TKMOUSE_NO_DBLCLICK = 16632,
  IDC_TKMOUSE_USE_DBLCLICK = 16633,
  IDC_TKMOUSE_COMMANDS = 16634,
  IDC_TKMOUSE_DESCRIPTION = 16514,
};

class CTKMousePage : public CTKPropertyPage {
  DECLARE_DYNAMIC(CTKMousePage)

public:
  CTKMousePage();
  ~CTKMousePage() override;

  int GetSelectedView() const { return m_iCurrViewId; }

  static const DLGTEMPLATE* Template();

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnViewChanged(NMHDR* header, LRESULT* result);
  void OnViewSelected();
  void OnNoDblClick();
  void OnUseDblClick();
  void OnSelchangeListOfCommands();
  HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

  DECLARE_MESSAGE_MAP()

  int m_iCurrViewId = -1;
  HIMAGELIST m_ViewsImages = nullptr;
};
