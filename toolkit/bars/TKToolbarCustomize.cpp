#include "toolkit/bars/TKToolbarCustomize.h"

#include "platform/afx/DocManager.h"
#include "platform/afx/DocTemplate.h"
#include "toolkit/bars/CustomizeText.h"
#include "toolkit/bars/TKContextMenuManager.h"
#include "toolkit/bars/TKCustomizePage.h"
#include "toolkit/bars/TKImageEditDialog.h"
#include "toolkit/bars/TKKeyboardPage.h"
#include "toolkit/bars/TKMenuPage.h"
#include "toolkit/bars/TKMouseManager.h"
#include "toolkit/bars/TKMousePage.h"
#include "toolkit/bars/TKOptionsPage.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarMenuButton.h"
#include "toolkit/bars/TKToolbarsPage.h"
#include "toolkit/bars/TKToolsPage.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKMDIFrameWnd.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKUserToolsManager.h"

IMPLEMENT_DYNAMIC(CTKToolbarCustomize, CWnd)

namespace {
// The help contexts of the sheet's controls are their ids plus this.
constexpr ULONG_PTR kControlHelpBase = 0x41000;

CString WithoutAmpersands(const CString& text) {
  CString result;
  for (int i = 0; i < text.GetLength(); ++i)
    if (text[i] != '&') result += text[i];
  return result;
}
}  // namespace

CTKToolbarCustomize* CTKToolbarCustomize::s_pOpenSheet = nullptr;

BEGIN_MESSAGE_MAP(CTKToolbarCustomize, CTKPropertySheet)
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_MESSAGE(WM_HELP, OnHelp)
END_MESSAGE_MAP()

CTKToolbarCustomize::CTKToolbarCustomize(CFrameWnd* frame, BOOL autoSetup, UINT flags,
                                         const CList<const CRuntimeClass*, const CRuntimeClass*>* extraPages)
    : CTKPropertySheet(customize_text::kCustomize, frame),
      m_strAllCommands(customize_text::kAllCommands),
      m_pParentFrame(frame),
      m_bAutoSetFromMenus(autoSetup),
      m_uiFlags(flags & ~TKCUSTOMIZE_NOTOOLS),
      m_bSaveMenuAmps((flags & TKCUSTOMIZE_KEEP_AMPERSANDS) != 0) {
  if (extraPages)
    for (POSITION pos = extraPages->GetHeadPosition(); pos;) {
      const CRuntimeClass* pageClass = extraPages->GetNext(pos);
      CObject* page = pageClass ? pageClass->CreateObject() : nullptr;
      if (page) m_listCustomPages.AddTail(page);
    }

  m_pCustomizePage = new CTKCustomizePage;
  m_pToolbarsPage = new CTKToolbarsPage(frame);
  if (g_pUserToolsManager) m_pToolsPage = new CTKToolsPage;
  if (g_pKeyboardManager && frame && frame->m_hAccelTable)
    m_pKeyboardPage = new CTKKeyboardPage(frame, autoSetup);

  AddPage(m_pCustomizePage);
  AddPage(m_pToolbarsPage);
  if (m_pToolsPage) AddPage(m_pToolsPage);
  if (m_pKeyboardPage) AddPage(m_pKeyboardPage);
  // The frame's menu bar, a plain or an MDI frame's.
  CWnd* menuBar = nullptr;
  if (auto* toolkitFrame = dynamic_cast<CTKFrameWnd*>(frame))
    menuBar = toolkitFrame->m_Impl.GetMenuBar();
  else if (auto* mdiFrame = dynamic_cast<CTKMDIFrameWnd*>(frame))
    menuBar = mdiFrame->m_Impl.GetMenuBar();
  if (GetContextMenuManager() || menuBar) {
    m_pMenuPage = new CTKMenuPage(frame, autoSetup);
    AddPage(m_pMenuPage);
  }
  if (g_pMouseManager) {
    m_pMousePage = new CTKMousePage;
    AddPage(m_pMousePage);
  }
  for (POSITION pos = m_listCustomPages.GetHeadPosition(); pos;)
    if (auto* page = dynamic_cast<CPropertyPage*>(m_listCustomPages.GetNext(pos))) AddPage(page);
  m_pOptionsPage = new CTKOptionsPage(menuBar != nullptr);
  AddPage(m_pOptionsPage);

  m_pCustomizePage->SetAllCategory(m_strAllCommands);
  if (m_pKeyboardPage) m_pKeyboardPage->SetAllCategory(m_strAllCommands);

  if (m_bAutoSetFromMenus) SetupFromMenus();

  CTKToolbarMenuButton newMenu(0, nullptr, -1, customize_text::kNewMenu);
  AddButton(customize_text::kNewMenu, newMenu);
}

CTKToolbarCustomize::~CTKToolbarCustomize() {
  if (s_pOpenSheet == this) s_pOpenSheet = nullptr;
  for (POSITION pos = m_ButtonsByCategory.GetStartPosition(); pos;) {
    CString name;
    CObList* buttons = nullptr;
    m_ButtonsByCategory.GetNextAssoc(pos, name, buttons);
    while (!buttons->IsEmpty()) delete buttons->RemoveHead();
    delete buttons;
  }
  delete m_pCustomizePage;
  delete m_pToolbarsPage;
  delete m_pKeyboardPage;
  delete m_pToolsPage;
  delete m_pOptionsPage;
  delete m_pMousePage;
  delete m_pMenuPage;
  while (!m_listCustomPages.IsEmpty()) delete m_listCustomPages.RemoveHead();
}

BOOL CTKToolbarCustomize::Create() {
  if (s_pOpenSheet) return FALSE;
  DWORD exStyle = 0;
  if (m_pParentFrame && (::GetWindowLongA(m_pParentFrame->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL))
    exStyle |= WS_EX_LAYOUTRTL;
  if (m_uiFlags & TKCUSTOMIZE_CONTEXT_HELP) exStyle |= WS_EX_CONTEXTHELP;
  if (!CPropertySheet::Create(m_pParentFrame, (DWORD)-1, exStyle)) return FALSE;
  s_pOpenSheet = this;
  EnableCustomizeMode(TRUE);
  return TRUE;
}

BOOL CTKToolbarCustomize::OnInitDialog() {
  const BOOL result = CTKPropertySheet::OnInitDialog();
  // A modeless sheet of its own: no OK or Apply, and Cancel becomes Close where
  // Apply would stand.
  HWND ok = ::GetDlgItem(m_hWnd, IDOK);
  HWND apply = ::GetDlgItem(m_hWnd, 0x3021);
  HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
  if (ok) {
    ::ShowWindow(ok, SW_HIDE);
    ::SendMessageA(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
  if (cancel) {
    ::SetWindowTextA(cancel, customize_text::kClose);
    if (apply) {
      RECT rect;
      ::GetWindowRect(apply, &rect);
      ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
      ::SetWindowPos(cancel, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    ::ShowWindow(cancel, SW_SHOW);
  }
  if (apply) ::ShowWindow(apply, SW_HIDE);
  HWND help = ::GetDlgItem(m_hWnd, 9);
  if (help && (m_uiFlags & TKCUSTOMIZE_NOHELP)) ::ShowWindow(help, SW_HIDE);
  return result;
}

BOOL CTKToolbarCustomize::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDCANCEL:
      CloseSheet();
      return TRUE;
    case IDOK:
      return TRUE;
    case 9:
      AskFrameForHelp();
      return TRUE;
    default:
      return CTKPropertySheet::OnCommand(wParam, lParam);
  }
}

void CTKToolbarCustomize::OnClose() { CloseSheet(); }

void CTKToolbarCustomize::AskFrameForHelp() {
  if (m_pParentFrame && m_pParentFrame->m_hWnd)
    m_pParentFrame->SendMessage(CTKToolBar::s_customizeHelpMessage, static_cast<WPARAM>(GetActiveIndex()),
                                reinterpret_cast<LPARAM>(this));
}

LRESULT CTKToolbarCustomize::OnHelp(WPARAM, LPARAM lParam) {
  // With context help, help asked on one of the sheet's controls is that control's
  // popup in the program's help file; any other request is the frame's, for the active
  // page.
  const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
  if ((m_uiFlags & TKCUSTOMIZE_CONTEXT_HELP) && info && info->iContextType == HELPINFO_WINDOW &&
      info->iCtrlId > 0 && info->hItemHandle != m_hWnd) {
    AfxCallWinHelp(static_cast<HWND>(info->hItemHandle), AfxGetHelpFilePath(), HELP_CONTEXTPOPUP,
                   kControlHelpBase + static_cast<ULONG_PTR>(info->iCtrlId));
    return TRUE;
  }
  AskFrameForHelp();
  return TRUE;
}

void CTKToolbarCustomize::CloseSheet() {
  if (g_pUserToolsManager && !CheckToolsValidity(g_pUserToolsManager->GetUserTools())) {
    if (m_pToolsPage) SetActivePage(m_pToolsPage);
    return;
  }
  DestroyWindow();
}

void CTKToolbarCustomize::OnDestroy() {
  if (s_pOpenSheet == this) s_pOpenSheet = nullptr;
  EnableCustomizeMode(FALSE);
  CTKPropertySheet::OnDestroy();
}

void CTKToolbarCustomize::PostNcDestroy() { delete this; }

void CTKToolbarCustomize::EnableCustomizeMode(BOOL on) {
  if (m_pParentFrame && m_pParentFrame->m_hWnd) {
    for (HWND child = ::GetWindow(m_pParentFrame->m_hWnd, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
      CWnd* wnd = CWnd::FromHandlePermanent(child);
      char className[32] = "";
      ::GetClassNameA(child, className, sizeof className);
      // Dock bars hold the toolbars being customized; those stay usable.
      if (dynamic_cast<CDockBar*>(wnd) || dynamic_cast<CTKToolBar*>(wnd) ||
          lstrcmpiA(className, REBARCLASSNAMEA) == 0)
        continue;
      ::EnableWindow(child, !on);
    }
  }
  CTKToolBar::SetCustomizeMode(on);
  if (m_pParentFrame && m_pParentFrame->m_hWnd) {
    m_pParentFrame->SendMessage(CTKToolBar::s_customizeMessage, on ? 1 : 0);
    if (!on) ::PostMessageA(m_pParentFrame->m_hWnd, WM_SETFOCUS, 0, 0);
  }
}

BOOL CTKToolbarCustomize::IsCommandOffered(UINT command) const {
  if (command >= 0xE110 && command <= 0xE11F) return FALSE;  // recent files
  if (command >= 0xE210 && command <= 0xE21F) return FALSE;  // MDI windows
  if (command >= 0xF000 && command <= 0xF1EF) return FALSE;  // system commands
  if (command >= 0xFF00 && command != (UINT)-1) return FALSE;
  if (g_pUserToolsManager && command == g_pUserToolsManager->GetToolsEntryCmd()) return FALSE;
  if (CTKToolBar::s_forbiddenCommands.Find(command)) return FALSE;
  return TRUE;
}

CString CTKToolbarCustomize::ButtonText(const CTKToolbarButton& button) const {
  CString text = button.m_strText;
  if (g_pUserToolsManager)
    if (CTKUserTool* tool = g_pUserToolsManager->LookupTool(button.m_nID)) text = tool->m_strLabel;
  if (text.IsEmpty() && button.m_nID != 0 && button.m_nID != (UINT)-1) {
    CString resource;
    if (resource.LoadString(button.m_nID)) {
      const int newline = resource.Find('\n');
      text = newline >= 0 ? resource.Mid(newline + 1) : resource;
    }
  }
  if (!m_bSaveMenuAmps) text = WithoutAmpersands(text);
  const int tab = text.Find('\t');
  if (tab >= 0) text = text.Left(tab);
  return text;
}

void CTKToolbarCustomize::AddButton(UINT category, const CTKToolbarButton& button, int index) {
  CString name;
  if (name.LoadString(category)) AddButton(name, button, index);
}

void CTKToolbarCustomize::AddButton(const char* categoryIn, const CTKToolbarButton& button, int index) {
  if (!IsCommandOffered(button.m_nID)) return;
  const CString text = ButtonText(button);
  CString category = categoryIn ? categoryIn : "";
  if (text.IsEmpty()) category = m_strAllCommands;

  CObList* list = nullptr;
  if (!m_ButtonsByCategory.Lookup(category, list)) {
    list = new CObList;
    m_ButtonsByCategory.SetAt(category, list);
    if (category != m_strAllCommands) m_lstCategories.AddTail(category);
  }

  for (POSITION pos = list->GetHeadPosition(); pos;) {
    auto* existing = static_cast<CTKToolbarButton*>(list->GetNext(pos));
    const BOOL same = button.m_nID != (UINT)-1 ? existing->m_nID == button.m_nID
                                               : existing->m_nID == (UINT)-1 && existing->m_strText == text;
    if (same) {
      if (existing->m_strText.IsEmpty()) existing->m_strText = text;
      return;
    }
  }

  auto* copy = static_cast<CTKToolbarButton*>(button.GetRuntimeClass()->CreateObject());
  if (!copy) return;
  copy->CopyFrom(button);
  copy->m_strText = text;
  // A command shown without an image takes the image its toolbars give it.
  if (!copy->m_bUserImage && copy->m_iImage < 0 && copy->m_nID != 0 && copy->m_nID != (UINT)-1)
    copy->m_iImage = CTKToolBar::GetDefaultImage(copy->m_nID);
  if (g_pUserToolsManager && g_pUserToolsManager->LookupTool(copy->m_nID)) copy->m_bImage = FALSE;

  POSITION at = index >= 0 ? list->FindIndex(index) : nullptr;
  if (at)
    list->InsertBefore(at, copy);
  else
    list->AddTail(copy);
  if (category != m_strAllCommands) AddButton(m_strAllCommands, button, -1);
  copy->OnAddToCustomizePage();
}

BOOL CTKToolbarCustomize::AddMenuCommands(HMENU menu, const char* category) {
  if (!menu) return FALSE;
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.fType & MFT_SEPARATOR) continue;
    CString name = text;
    if (!m_bSaveMenuAmps) name = WithoutAmpersands(name);
    if (info.hSubMenu) {
      // A nested popup keeps the category of the popup it sits in.
      AddMenuCommands(info.hSubMenu, category ? category : static_cast<const char*>(name));
      continue;
    }
    CTKToolbarButton button(info.wID, -1, name);
    AddButton(category ? category : static_cast<const char*>(m_strAllCommands), button);
  }
  return TRUE;
}

void CTKToolbarCustomize::SetupFromMenus() {
  // Each document kind's menu first, then the frame's own.
  CWinApp* app = AfxGetApp();
  CDocManager* manager = app ? app->m_pDocManager : nullptr;
  for (int i = 0; manager && i < manager->GetTemplateCount(); ++i)
    if (auto* docTemplate = dynamic_cast<CMultiDocTemplate*>(manager->GetTemplate(i));
        docTemplate && docTemplate->m_hMenuShared)
      AddMenuCommands(docTemplate->m_hMenuShared, nullptr);
  HMENU menu = nullptr;
  if (auto* frame = dynamic_cast<CTKFrameWnd*>(m_pParentFrame))
    menu = frame->m_Impl.GetDefaultMenu();
  else if (auto* mdiFrame = dynamic_cast<CTKMDIFrameWnd*>(m_pParentFrame))
    menu = mdiFrame->m_Impl.GetDefaultMenu();
  if (!menu && m_pParentFrame && m_pParentFrame->m_hWnd) menu = ::GetMenu(m_pParentFrame->m_hWnd);
  AddMenuCommands(menu, nullptr);
}

void CTKToolbarCustomize::AddUserTools(const char* category) {
  if (!g_pUserToolsManager) return;
  const CObList& tools = g_pUserToolsManager->GetUserTools();
  for (POSITION pos = tools.GetHeadPosition(); pos;) {
    auto* tool = static_cast<CTKUserTool*>(tools.GetNext(pos));
    CTKToolbarButton button(tool->m_uiCmdId, -1, tool->m_strLabel);
    AddButton(category, button);
  }
}

const CObList* CTKToolbarCustomize::GetCategoryButtons(const char* category) const {
  CObList* list = nullptr;
  return m_ButtonsByCategory.Lookup(category, list) ? list : nullptr;
}

namespace {
BOOL HasRealCommand(const CObList& buttons) {
  for (POSITION pos = buttons.GetHeadPosition(); pos;) {
    const UINT id = static_cast<CTKToolbarButton*>(buttons.GetNext(pos))->m_nID;
    if (id != 0 && id != (UINT)-1) return TRUE;
  }
  return FALSE;
}
}  // namespace

void CTKToolbarCustomize::FillCategoriesComboBox(HWND combo, BOOL includeEmpty) const {
  auto add = [&](const CString& name) {
    const CObList* list = GetCategoryButtons(name);
    if (!list || (!includeEmpty && !HasRealCommand(*list))) return;
    const LRESULT index =
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(name)));
    if (index >= 0) ::SendMessageA(combo, CB_SETITEMDATA, index, reinterpret_cast<LPARAM>(list));
  };
  for (POSITION pos = m_lstCategories.GetHeadPosition(); pos;) add(m_lstCategories.GetNext(pos));
  add(m_strAllCommands);
}

void CTKToolbarCustomize::FillCategoriesListBox(HWND listBox, BOOL includeEmpty) const {
  auto add = [&](const CString& name) {
    const CObList* list = GetCategoryButtons(name);
    if (!list || (!includeEmpty && !HasRealCommand(*list))) return;
    const LRESULT index =
        ::SendMessageA(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(name)));
    if (index >= 0) ::SendMessageA(listBox, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(list));
  };
  for (POSITION pos = m_lstCategories.GetHeadPosition(); pos;) add(m_lstCategories.GetNext(pos));
  add(m_strAllCommands);
}

void CTKToolbarCustomize::FillAllCommandsList(HWND listBox) const {
  ::SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
  const CObList* all = GetCategoryButtons(m_strAllCommands);
  if (!all) return;
  for (POSITION pos = all->GetHeadPosition(); pos;) {
    auto* button = static_cast<CTKToolbarButton*>(all->GetNext(pos));
    const LRESULT index = ::SendMessageA(
        listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(button->m_strText)));
    if (index >= 0) ::SendMessageA(listBox, LB_SETITEMDATA, index, static_cast<LPARAM>(button->m_nID));
  }
}

CString CTKToolbarCustomize::GetCommandName(UINT command) const {
  if (const CObList* all = GetCategoryButtons(m_strAllCommands))
    for (POSITION pos = all->GetHeadPosition(); pos;) {
      auto* button = static_cast<CTKToolbarButton*>(all->GetNext(pos));
      if (button->m_nID == command) return button->m_strText;
    }
  return CString();
}

void CTKToolbarCustomize::EnableUserDefinedToolbars(BOOL enable) {
  if (m_pToolbarsPage) m_pToolbarsPage->EnableUserDefinedToolbars(enable);
}

void CTKToolbarCustomize::ShowToolBar(CTKToolBar* bar, BOOL show) {
  if (m_pToolbarsPage) m_pToolbarsPage->OnToolBarShown(bar, show);
}

BOOL CTKToolbarCustomize::EditButtonImage(CWnd* parent, HBITMAP bitmap, int bitsPerPixel) {
  CTKImageEditDialog dialog(bitmap, parent ? parent : this, bitsPerPixel);
  return dialog.DoModal() == IDOK;
}

BOOL CTKToolbarCustomize::CheckToolsValidity(const CObList&) { return TRUE; }
