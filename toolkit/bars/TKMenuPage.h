#pragma once
// The customization sheet's "Menu" page: the frame's default menu and each kind of
// document's menu are shown in the frame's menu bar and edited there while the page
// is open, and can be reset to their resources; so is each context menu of the
// context-menu manager, shown as an open popup while chosen; the menu animation and
// shadows are chosen here.
#include "toolkit/frames/TKPropertyPage.h"

class CTKMenuBar;
class CTKPopupMenu;

enum : UINT {
  IDD_TKCUSTOMIZE_MENU = 16134,
  IDC_TKMENU_DESCRIPTION = 16506,
  IDC_TKMENU_ICON = 16507,
  IDC_TKMENU_HINT = 16519,
  IDC_TKMENU_ANIMATION_LABEL = 16543,
  IDC_TKMENU_FRAMES = 16621,
  IDC_TKMENU_CONTEXT = 16622,
  IDC_TKMENU_RESET_CONTEXT = 16623,
  IDC_TKMENU_RESET_FRAME = 16624,
  IDC_TKMENU_ANIMATION = 16625,
  IDC_TKMENU_SHADOWS = 16626,
};

class CTKMenuPage : public CTKPropertyPage {
  DECLARE_DYNAMIC(CTKMenuPage)

public:
  explicit CTKMenuPage(CFrameWnd* frame = nullptr, BOOL autoSet = FALSE);

  CTKMenuBar* GetMenuBar() const { return m_pMenuBar; }
  // The context menu open for editing; null when none is.
  CTKPopupMenu* GetContextMenu() const;
  int m_iMenuAnimationType = 0;
  BOOL m_bMenuShadows = FALSE;
  CString m_strMenuDescr;

  static const DLGTEMPLATE* Template();

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnDestroy();
  void OnSelchangeMenuFrames();
  void OnResetFrameMenu();
  void ShowDescription(const char* text);
  void InitContextMenus();
  void OnSelchangeContextMenu();
  void OnResetContextMenu();
  // Closes the open context menu; its items stay as the user left them.
  void CloseContextMenu();
  HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

  DECLARE_MESSAGE_MAP()

  CTKMenuBar* m_pMenuBar = nullptr;
  HMENU m_hmenuCurr = nullptr;
  HMENU m_hmenuSelected = nullptr;
  CFrameWnd* m_pParentFrame;
  BOOL m_bAutoSet;

  CString m_strContextMenuName;
  CTKPopupMenu* m_pContextMenu = nullptr;
  HWND m_hContextMenuWnd = nullptr;
  HMENU m_hContextMenu = nullptr;
  UINT m_uiContextMenuId = 0;
};
