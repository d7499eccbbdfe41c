#include "toolkit/bars/TKMenuPage.h"

#include "platform/afx/AfxMessageBox.h"
#include "toolkit/bars/CustomizeText.h"
#include "toolkit/bars/DocTemplateCombo.h"
#include "toolkit/bars/DialogTemplateWriter.h"
#include "toolkit/bars/TKContextMenuManager.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolbarCustomize.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstring>
#include <vector>
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_DYNAMIC(CTKMenuPage, CWnd)

namespace {
using namespace customize_text;

constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_3DLOOK;
constexpr DWORD kComboStyle = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE;

const DialogTemplateWriter& PageTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kMenu, 250, 170, kPageStyle);
    w.Control(0x80, 16520, kApplicationFrameMenus, BS_GROUPBOX | WS_VISIBLE, 7, 4, 236, 62);
    w.Control(0x82, -1, kShowMenusFor, SS_LEFT | WS_VISIBLE, 14, 17, 70, 8);
    w.Control(0x85, IDC_TKMENU_FRAMES, "", kComboStyle, 86, 15, 100, 100);
    w.Control(0x80, IDC_TKMENU_RESET_FRAME, kReset, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 190, 15, 46, 14);
    w.Control(0x82, IDC_TKMENU_ICON, "", SS_ICON | WS_VISIBLE, 14, 34, 16, 16);
    w.Control(0x82, IDC_TKMENU_DESCRIPTION, "", SS_LEFT | WS_VISIBLE, 40, 34, 196, 28);
    w.Control(0x80, 16508, kContextMenus, BS_GROUPBOX | WS_VISIBLE, 7, 70, 236, 60);
    w.Control(0x82, -1, kSelectContextMenu, SS_LEFT | WS_VISIBLE, 14, 83, 70, 8);
    w.Control(0x85, IDC_TKMENU_CONTEXT, "", kComboStyle, 86, 81, 100, 100);
    w.Control(0x80, IDC_TKMENU_RESET_CONTEXT, kResetContextMenu, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 190,
              81, 46, 14);
    w.Control(0x82, IDC_TKMENU_HINT, kMenuHint, SS_LEFT | WS_VISIBLE, 14, 100, 222, 26);
    w.Control(0x82, IDC_TKMENU_ANIMATION_LABEL, kMenuAnimations, SS_LEFT | WS_VISIBLE, 7, 138, 70, 8);
    w.Control(0x85, IDC_TKMENU_ANIMATION, "", kComboStyle, 80, 136, 80, 60);
    w.Control(0x80, IDC_TKMENU_SHADOWS, kMenuShadows, BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP, 170, 138, 73,
              10);
    return w;
  }();
  return writer;
}

// Where the last context menu edited stood on the screen (x = y = -1: none yet).
CPoint g_contextMenuAt(-1, -1);

// The context menu open on the page: a small caption with the menu's name, by which
// the user moves it out of the way. However it closes (the page choosing another,
// the user's Escape, the sheet going), its items as the user left them are kept for
// its menu, and its place for the next one.
class ContextMenuPopup : public CTKPopupMenu {
public:
  ContextMenuPopup() { SetAutoDestroyMenu(FALSE); }

  BOOL CreateCaptioned(CWnd* page, CPoint at, HMENU items, const char* name) {
    if (!Create(page, at.x, at.y, items, FALSE, TRUE)) return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | WS_CAPTION);
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, ::GetWindowLongA(m_hWnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    ::SetWindowTextA(m_hWnd, name);
    RecalcLayout();
    return TRUE;
  }

  // The menu's own layout, then the caption and its border around it.
  void RecalcLayout() override {
    CTKPopupMenu::RecalcLayout();
    if (!m_hWnd || !(::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CAPTION)) return;
    RECT frame{0, 0, m_FinalSize.cx + m_iShadowSize, m_FinalSize.cy + m_iShadowSize};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
    ::SetWindowPos(m_hWnd, nullptr, m_ptLocation.x, m_ptLocation.y, frame.right - frame.left,
                   frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }

protected:
  // Where the user moved it is where it lays itself out from now on.
  void OnWindowPosChanged(WINDOWPOS* pos) {
    if (!(pos->flags & SWP_NOMOVE)) m_ptLocation = CPoint(pos->x, pos->y);
    Default();
  }
  void OnDestroy() {
    if (m_hMenu && m_wndMenuBar.m_hWnd) ToolbarButtonsArchive(m_wndMenuBar).SaveTo(m_hMenu);
    g_contextMenuAt = m_ptLocation;
    CTKPopupMenu::OnDestroy();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ContextMenuPopup, CTKPopupMenu)
  ON_WM_WINDOWPOSCHANGED()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CTKMenuBar* FindMenuBar() {
  const auto& bars = CTKToolBar::GetAllToolbars();
  for (POSITION pos = bars.GetHeadPosition(); pos;)
    if (auto* bar = dynamic_cast<CTKMenuBar*>(bars.GetNext(pos)); bar && bar->m_hWnd) return bar;
  return nullptr;
}
}  // namespace

BEGIN_MESSAGE_MAP(CTKMenuPage, CTKPropertyPage)
  ON_WM_DESTROY()
  ON_CBN_SELCHANGE(IDC_TKMENU_CONTEXT, OnSelchangeContextMenu)
  ON_BN_CLICKED(IDC_TKMENU_RESET_CONTEXT, OnResetContextMenu)
END_MESSAGE_MAP()

const DLGTEMPLATE* CTKMenuPage::Template() { return PageTemplate().Get(); }

CTKMenuPage::CTKMenuPage(CFrameWnd* frame, BOOL autoSet)
    : CTKPropertyPage(Template(), customize_text::kMenu), m_pParentFrame(frame), m_bAutoSet(autoSet) {
  m_iMenuAnimationType = CTKToolBar::s_nMenuAnimation;
  m_bMenuShadows = CTKToolBar::s_bMenuShadows;
}

void CTKMenuPage::ShowDescription(const char* text) {
  m_strMenuDescr = text;
  ::SetDlgItemTextA(m_hWnd, IDC_TKMENU_DESCRIPTION, text);
}

BOOL CTKMenuPage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  HWND animation = Item(IDC_TKMENU_ANIMATION);
  for (const char* name : kAnimations)
    ::SendMessageA(animation, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  ::SendMessageA(animation, CB_SETCURSEL, static_cast<WPARAM>(m_iMenuAnimationType), 0);
  ::CheckDlgButton(m_hWnd, IDC_TKMENU_SHADOWS, m_bMenuShadows ? BST_CHECKED : BST_UNCHECKED);
  const auto* sheet = dynamic_cast<CTKToolbarCustomize*>(GetSheet());
  const UINT flags = sheet ? sheet->GetFlags() : 0;
  if (!(flags & TKCUSTOMIZE_MENU_SHADOWS)) ::ShowWindow(Item(IDC_TKMENU_SHADOWS), SW_HIDE);
  if (!(flags & TKCUSTOMIZE_MENU_ANIMATIONS)) {
    ::ShowWindow(Item(IDC_TKMENU_ANIMATION_LABEL), SW_HIDE);
    ::ShowWindow(animation, SW_HIDE);
  }
  InitContextMenus();

  m_pMenuBar = FindMenuBar();
  if (!m_pMenuBar) {
    ::EnableWindow(Item(IDC_TKMENU_RESET_FRAME), FALSE);
    ::EnableWindow(Item(IDC_TKMENU_FRAMES), FALSE);
    ShowDescription(kCantCustomizeMenus);
    return TRUE;
  }
  // A maximised window's caption buttons stay off while the page edits the menus.
  m_pMenuBar->TakeOffCaptionButtons();
  m_hmenuCurr = m_pMenuBar->GetMenu();
  m_hmenuSelected = m_hmenuCurr;
  if (m_hmenuCurr) ToolbarButtonsArchive(*m_pMenuBar).SaveTo(m_hmenuCurr);
  HWND frames = Item(IDC_TKMENU_FRAMES);
  if (m_bAutoSet)
    doc_template_combo::AddTemplates(frames,
                                     [](const CMultiDocTemplate& t) { return t.m_hMenuShared != nullptr; });
  const LRESULT defaultIndex =
      ::SendMessageA(frames, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kDefaultMenu));
  ::SendMessageA(frames, CB_SETITEMDATA, defaultIndex, 0);
  // The entry of the menu the bar shows, the default one when none matches.
  LRESULT shown = defaultIndex;
  for (LRESULT i = 0; i < defaultIndex; ++i) {
    auto* docTemplate = reinterpret_cast<CMultiDocTemplate*>(::SendMessageA(frames, CB_GETITEMDATA, i, 0));
    if (docTemplate && docTemplate->m_hMenuShared == m_hmenuCurr) shown = i;
  }
  ::SendMessageA(frames, CB_SETCURSEL, shown, 0);
  OnSelchangeMenuFrames();
  return TRUE;
}

BOOL CTKMenuPage::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDC_TKMENU_FRAMES:
      if (HIWORD(wParam) == CBN_SELCHANGE) OnSelchangeMenuFrames();
      return TRUE;
    case IDC_TKMENU_RESET_FRAME:
      if (HIWORD(wParam) == BN_CLICKED) OnResetFrameMenu();
      return TRUE;
    case IDC_TKMENU_ANIMATION:
      if (HIWORD(wParam) == CBN_SELCHANGE)
        m_iMenuAnimationType =
            static_cast<int>(::SendMessageA(Item(IDC_TKMENU_ANIMATION), CB_GETCURSEL, 0, 0));
      return TRUE;
    case IDC_TKMENU_SHADOWS:
      if (HIWORD(wParam) == BN_CLICKED)
        m_bMenuShadows = ::IsDlgButtonChecked(m_hWnd, IDC_TKMENU_SHADOWS) == BST_CHECKED;
      return TRUE;
    default:
      return CTKPropertyPage::OnCommand(wParam, lParam);
  }
}

void CTKMenuPage::OnSelchangeMenuFrames() {
  if (!m_pMenuBar) return;
  CMultiDocTemplate* docTemplate = doc_template_combo::Chosen(Item(IDC_TKMENU_FRAMES));
  HICON icon = nullptr;
  if (docTemplate) {
    CString description;
    docTemplate->GetDocString(description, CDocTemplate::docName);
    ShowDescription(description);
    icon = doc_template_combo::IconOf(*docTemplate);
    m_hmenuSelected = docTemplate->m_hMenuShared;
  } else {
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd)
      icon = reinterpret_cast<HICON>(::GetClassLongPtrA(main->m_hWnd, GCLP_HICON));
    ShowDescription(kDefaultMenuDescription);
    m_hmenuSelected = m_pMenuBar->GetDefaultMenu();
  }
  if (!icon) icon = ::LoadIconA(nullptr, IDI_APPLICATION);
  ::SendMessageA(Item(IDC_TKMENU_ICON), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  // The list shown so far is kept for its menu as the bar switches.
  m_pMenuBar->CreateFromMenu(m_hmenuSelected, !docTemplate);
}

void CTKMenuPage::OnResetFrameMenu() {
  if (!m_pMenuBar) return;
  HWND frames = Item(IDC_TKMENU_FRAMES);
  CMultiDocTemplate* docTemplate = doc_template_combo::Chosen(frames);
  char name[256] = "";
  ::GetWindowTextA(frames, name, sizeof name);
  CString prompt;
  prompt.Format(kResetMenuPrompt, name);
  if (AfxMessageBox(prompt, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  UINT resourceId = 0;
  if (docTemplate) {
    // The template's menu keeps its handle; the bar's list is made again from its items.
    m_hmenuSelected = docTemplate->m_hMenuShared;
    m_pMenuBar->CreateFromMenu(m_hmenuSelected, FALSE, TRUE);
    resourceId = docTemplate->GetResourceId();
  } else {
    const BOOL wasCurrent = m_hmenuCurr == m_pMenuBar->GetDefaultMenu();
    // From the resource when the bar knows it; otherwise from the menu itself.
    if (!m_pMenuBar->RestoreDefaultMenu())
      m_pMenuBar->CreateFromMenu(m_pMenuBar->GetDefaultMenu(), TRUE, TRUE);
    m_hmenuSelected = m_pMenuBar->GetDefaultMenu();
    if (wasCurrent) m_hmenuCurr = m_hmenuSelected;
    resourceId = m_pMenuBar->m_uiDefMenuResId;
  }
  if (m_pParentFrame)
    m_pParentFrame->SendMessage(CTKToolBar::s_resetMenuMessage, static_cast<WPARAM>(resourceId));
  m_pMenuBar->AdjustLayout();
  ToolbarButtonsArchive(*m_pMenuBar).SaveTo(m_hmenuSelected);
}

void CTKMenuPage::OnDestroy() {
  CloseContextMenu();
  CTKToolBar::s_nMenuAnimation = m_iMenuAnimationType;
  CTKToolBar::s_bMenuShadows = m_bMenuShadows;
  if (m_pMenuBar && ::IsWindow(m_pMenuBar->m_hWnd)) {
    if (HMENU shown = m_pMenuBar->GetMenu()) ToolbarButtonsArchive(*m_pMenuBar).SaveTo(shown);
    if (m_hmenuCurr) m_pMenuBar->CreateFromMenu(m_hmenuCurr, m_hmenuCurr == m_pMenuBar->GetDefaultMenu());
    m_pMenuBar->PutBackCaptionButtons();
  }
  CTKPropertyPage::OnDestroy();
}

// --- Context menus ------------------------------------------------------------------

void CTKMenuPage::InitContextMenus() {
  HWND combo = Item(IDC_TKMENU_CONTEXT);
  const CTKContextMenuManager* manager = GetContextMenuManager();
  if (!manager) {
    for (int id : {16508, static_cast<int>(IDC_TKMENU_CONTEXT), static_cast<int>(IDC_TKMENU_RESET_CONTEXT),
                   static_cast<int>(IDC_TKMENU_HINT)})
      ::ShowWindow(Item(id), SW_HIDE);
    return;
  }
  ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNoContextMenu));
  CStringList names;
  manager->GetMenuNames(names);
  // The manager keeps them in no order: the user finds them by name.
  std::vector<CString> sorted;
  for (POSITION pos = names.GetHeadPosition(); pos;) sorted.push_back(names.GetNext(pos));
  std::sort(sorted.begin(), sorted.end(),
            [](const CString& a, const CString& b) { return std::strcmp(a, b) < 0; });
  for (const CString& name : sorted)
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(name)));
  ::SendMessageA(combo, CB_SETCURSEL, 0, 0);
  ::EnableWindow(combo, !sorted.empty());
  // Nothing to reset until a menu is chosen.
  ::EnableWindow(Item(IDC_TKMENU_RESET_CONTEXT), FALSE);
}

CTKPopupMenu* CTKMenuPage::GetContextMenu() const {
  // The popup deletes itself once its window is gone, whoever closed it.
  if (!m_hContextMenuWnd || !::IsWindow(m_hContextMenuWnd) ||
      CWnd::FromHandlePermanent(m_hContextMenuWnd) != m_pContextMenu)
    return nullptr;
  return m_pContextMenu;
}

void CTKMenuPage::CloseContextMenu() {
  if (CTKPopupMenu* popup = GetContextMenu()) popup->SendMessage(WM_CLOSE);
  m_pContextMenu = nullptr;
  m_hContextMenuWnd = nullptr;
  m_hContextMenu = nullptr;
  m_uiContextMenuId = 0;
  m_strContextMenuName.Empty();
  ::EnableWindow(Item(IDC_TKMENU_RESET_CONTEXT), FALSE);
}

void CTKMenuPage::OnSelchangeContextMenu() {
  CloseContextMenu();
  HWND combo = Item(IDC_TKMENU_CONTEXT);
  const int index = static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
  // The first entry (the dashes) means none.
  if (index <= 0) return;
  char name[256] = "";
  if (::SendMessageA(combo, CB_GETLBTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof name)) return;
  ::SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(name));
  UINT id = 0;
  const CTKContextMenuManager* manager = GetContextMenuManager();
  HMENU menu = manager ? manager->GetMenuByName(name, &id) : nullptr;
  HMENU items = menu ? ::GetSubMenu(menu, 0) : nullptr;
  if (!items) {
    ::MessageBeep(static_cast<UINT>(-1));
    return;
  }
  CPoint at = g_contextMenuAt;
  if (at.x == -1 && at.y == -1) {
    // The first one opens beside the sheet, where it hides none of it.
    CRect sheet;
    ::GetWindowRect(::GetParent(m_hWnd), &sheet);
    at = CPoint(sheet.right + 4, sheet.top);
  }
  auto* popup = new ContextMenuPopup;
  // Its commands are the page's to take (none run while customizing).
  if (!popup->CreateCaptioned(this, at, items, name)) {
    AfxMessageBox(kCantCreateContextMenu, MB_ICONSTOP);
    return;
  }
  m_pContextMenu = popup;
  m_hContextMenuWnd = popup->m_hWnd;
  m_hContextMenu = items;
  m_uiContextMenuId = id;
  m_strContextMenuName = name;
  ::EnableWindow(Item(IDC_TKMENU_RESET_CONTEXT), TRUE);
}

void CTKMenuPage::OnResetContextMenu() {
  CTKPopupMenu* popup = GetContextMenu();
  if (!popup) return;
  CString prompt;
  prompt.Format(kResetMenuPrompt, static_cast<const char*>(m_strContextMenuName));
  if (AfxMessageBox(prompt, MB_YESNO | MB_ICONQUESTION) != IDYES || !GetContextMenu()) return;
  CTKPopupMenuBar* bar = popup->GetMenuBar();
  // The manager's menu is never changed: it holds the items the resource gave.
  bar->ImportFromMenu(m_hContextMenu, TRUE);
  ToolbarButtonsArchive(*bar).SaveTo(m_hContextMenu);
  if (m_pParentFrame)
    m_pParentFrame->SendMessage(CTKToolBar::s_resetContextMenuMessage, m_uiContextMenuId,
                                reinterpret_cast<LPARAM>(popup));
  if (!GetContextMenu()) return;
  popup->RecalcLayout();
  ::RedrawWindow(popup->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}
