#pragma once
// The customization sheet's "Options" page: the toolkit-wide toolbar and menu
// options, each box taking effect at once.
#include "toolkit/frames/TKPropertyPage.h"

enum : UINT {
  IDD_TKCUSTOMIZE_OPTIONS = 16137,
  IDC_TKOPTIONS_PERSONALIZED_FRAME = 16538,
  IDC_TKOPTIONS_OTHER_FRAME = 16539,
  IDC_TKOPTIONS_TOOLTIPS = 16651,
  IDC_TKOPTIONS_SHORTCUT_KEYS = 16652,
  IDC_TKOPTIONS_LARGE_ICONS = 16653,
  IDC_TKOPTIONS_LOOK2000 = 16654,
  IDC_TKOPTIONS_RECENTLY_USED = 16655,
  IDC_TKOPTIONS_SHOW_ALL_AFTER_DELAY = 16656,
  IDC_TKOPTIONS_RESET_USAGE = 16657,
  IDC_TKOPTIONS_VISUALIZATIONS = 17001,
};

class CTKOptionsPage : public CTKPropertyPage {
  DECLARE_DYNAMIC(CTKOptionsPage)

public:
  explicit CTKOptionsPage(BOOL menuBar = FALSE);

  BOOL m_bShowTooltips = FALSE;
  BOOL m_bShowShortcutKeys = FALSE;
  BOOL m_bRecentlyUsedMenus = FALSE;
  BOOL m_bShowAllMenusDelay = FALSE;
  BOOL m_bLargeIcons = FALSE;
  BOOL m_bLook2000 = FALSE;

  static const DLGTEMPLATE* Template();

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL Checked(int id) const;
  void Show(int id, BOOL show);
  void Enable(int id, BOOL enable);

  DECLARE_MESSAGE_MAP()

  BOOL m_bIsMenuBarExist;
};
