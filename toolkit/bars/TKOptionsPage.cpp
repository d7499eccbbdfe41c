#include "toolkit/bars/TKOptionsPage.h"

#include "platform/afx/AfxMessageBox.h"
#include "toolkit/bars/CustomizeText.h"
#include "toolkit/bars/DialogTemplateWriter.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarCustomize.h"
#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/TKVisualManager.h"

IMPLEMENT_DYNAMIC(CTKOptionsPage, CWnd)

namespace {
using namespace customize_text;

constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_3DLOOK;
constexpr DWORD kBoxStyle = BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP;

const DialogTemplateWriter& PageTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kOptions, 250, 170, kPageStyle);
    w.Control(0x80, IDC_TKOPTIONS_PERSONALIZED_FRAME, kPersonalized, BS_GROUPBOX | WS_VISIBLE, 7, 4, 236, 64);
    w.Control(0x80, IDC_TKOPTIONS_RECENTLY_USED, kRecentlyUsedMenus, kBoxStyle, 14, 16, 220, 10);
    w.Control(0x80, IDC_TKOPTIONS_SHOW_ALL_AFTER_DELAY, kShowFullMenusAfterDelay, kBoxStyle, 24, 30, 210, 10);
    w.Control(0x80, IDC_TKOPTIONS_RESET_USAGE, kResetUsageData, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 14,
              46, 90, 14);
    w.Control(0x80, IDC_TKOPTIONS_OTHER_FRAME, kOther, BS_GROUPBOX | WS_VISIBLE, 7, 74, 236, 90);
    w.Control(0x80, IDC_TKOPTIONS_LARGE_ICONS, kLargeIcons, kBoxStyle, 14, 86, 220, 10);
    w.Control(0x80, IDC_TKOPTIONS_TOOLTIPS, kShowTooltips, kBoxStyle, 14, 100, 220, 10);
    w.Control(0x80, IDC_TKOPTIONS_SHORTCUT_KEYS, kShowShortcutKeys, kBoxStyle, 24, 114, 210, 10);
    w.Control(0x80, IDC_TKOPTIONS_LOOK2000, kLook2000, kBoxStyle, 14, 128, 220, 10);
    w.Control(0x80, IDC_TKOPTIONS_VISUALIZATIONS, kVisualizations, BS_PUSHBUTTON | WS_TABSTOP, 14, 144, 90,
              14);
    return w;
  }();
  return writer;
}
}  // namespace

BEGIN_MESSAGE_MAP(CTKOptionsPage, CTKPropertyPage)
END_MESSAGE_MAP()

const DLGTEMPLATE* CTKOptionsPage::Template() { return PageTemplate().Get(); }

CTKOptionsPage::CTKOptionsPage(BOOL menuBar)
    : CTKPropertyPage(Template(), customize_text::kOptions), m_bIsMenuBarExist(menuBar) {
  CTKVisualManager::GetInstance();
}

BOOL CTKOptionsPage::Checked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
void CTKOptionsPage::Show(int id, BOOL show) {
  ::ShowWindow(::GetDlgItem(m_hWnd, id), show ? SW_SHOW : SW_HIDE);
}
void CTKOptionsPage::Enable(int id, BOOL enable) { ::EnableWindow(::GetDlgItem(m_hWnd, id), enable); }

BOOL CTKOptionsPage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  m_bShowTooltips = CTKToolBar::s_bShowTooltips;
  m_bShowShortcutKeys = CTKToolBar::s_bShowShortcutKeys;
  m_bRecentlyUsedMenus = CTKToolBar::s_bRecentlyUsedMenus;
  m_bShowAllMenusDelay = CTKToolBar::s_bShowAllMenusAfterDelay;
  m_bLargeIcons = CTKToolBar::IsLargeIcons();
  m_bLook2000 = CTKVisualManager::GetInstance()->m_lookFlag;
  const auto* sheet = dynamic_cast<CTKToolbarCustomize*>(GetSheet());
  const UINT flags = sheet ? sheet->GetFlags() : 0;
  if (flags & TKCUSTOMIZE_NO_LARGE_ICONS) {
    m_bLargeIcons = FALSE;
    Show(IDC_TKOPTIONS_LARGE_ICONS, FALSE);
  }
  if (!(flags & TKCUSTOMIZE_LOOK2000)) Show(IDC_TKOPTIONS_LOOK2000, FALSE);
  const struct {
    int id;
    BOOL value;
  } boxes[] = {{IDC_TKOPTIONS_TOOLTIPS, m_bShowTooltips},
               {IDC_TKOPTIONS_SHORTCUT_KEYS, m_bShowShortcutKeys},
               {IDC_TKOPTIONS_RECENTLY_USED, m_bRecentlyUsedMenus},
               {IDC_TKOPTIONS_SHOW_ALL_AFTER_DELAY, m_bShowAllMenusDelay},
               {IDC_TKOPTIONS_LARGE_ICONS, m_bLargeIcons},
               {IDC_TKOPTIONS_LOOK2000, m_bLook2000}};
  for (const auto& box : boxes) ::CheckDlgButton(m_hWnd, box.id, box.value ? BST_CHECKED : BST_UNCHECKED);
  Enable(IDC_TKOPTIONS_SHORTCUT_KEYS, m_bShowTooltips);
  Enable(IDC_TKOPTIONS_SHOW_ALL_AFTER_DELAY, m_bRecentlyUsedMenus);
  // Personalised menus need the usage record and a menu bar.
  if (!g_pCommandUsageCounter || !m_bIsMenuBarExist)
    for (int id : {IDC_TKOPTIONS_RECENTLY_USED, IDC_TKOPTIONS_SHOW_ALL_AFTER_DELAY, IDC_TKOPTIONS_RESET_USAGE,
                   IDC_TKOPTIONS_PERSONALIZED_FRAME}) {
      Show(id, FALSE);
      Enable(id, FALSE);
    }
  Show(IDC_TKOPTIONS_VISUALIZATIONS, FALSE);
  return TRUE;
}

BOOL CTKOptionsPage::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED) return CTKPropertyPage::OnCommand(wParam, lParam);
  switch (LOWORD(wParam)) {
    case IDC_TKOPTIONS_TOOLTIPS:
      m_bShowTooltips = CTKToolBar::s_bShowTooltips = Checked(IDC_TKOPTIONS_TOOLTIPS);
      Enable(IDC_TKOPTIONS_SHORTCUT_KEYS, m_bShowTooltips);
      return TRUE;
    case IDC_TKOPTIONS_SHORTCUT_KEYS:
      m_bShowShortcutKeys = CTKToolBar::s_bShowShortcutKeys = Checked(IDC_TKOPTIONS_SHORTCUT_KEYS);
      return TRUE;
    case IDC_TKOPTIONS_RECENTLY_USED:
      m_bRecentlyUsedMenus = CTKToolBar::s_bRecentlyUsedMenus = Checked(IDC_TKOPTIONS_RECENTLY_USED);
      Enable(IDC_TKOPTIONS_SHOW_ALL_AFTER_DELAY, m_bRecentlyUsedMenus);
      return TRUE;
    case IDC_TKOPTIONS_SHOW_ALL_AFTER_DELAY:
      m_bShowAllMenusDelay = CTKToolBar::s_bShowAllMenusAfterDelay =
          Checked(IDC_TKOPTIONS_SHOW_ALL_AFTER_DELAY);
      return TRUE;
    case IDC_TKOPTIONS_LARGE_ICONS:
      m_bLargeIcons = Checked(IDC_TKOPTIONS_LARGE_ICONS);
      CTKToolBar::SetLargeIcons(m_bLargeIcons);
      return TRUE;
    case IDC_TKOPTIONS_LOOK2000:
      m_bLook2000 = Checked(IDC_TKOPTIONS_LOOK2000);
      CTKVisualManager::SetLookFlag(m_bLook2000);
      return TRUE;
    case IDC_TKOPTIONS_RESET_USAGE:
      if (AfxMessageBox(customize_text::kResetUsagePrompt, MB_YESNO) == IDYES && g_pCommandUsageCounter)
        g_pCommandUsageCounter->Clear();
      return TRUE;
    case IDC_TKOPTIONS_VISUALIZATIONS:
      return TRUE;
    default:
      return CTKPropertyPage::OnCommand(wParam, lParam);
  }
}
