#include "toolkit/bars/TKToolsPage.h"

#include "platform/afx/AfxMessageBox.h"
#include "toolkit/bars/CustomizeText.h"
#include "toolkit/bars/DialogTemplateWriter.h"
#include "toolkit/bars/TKToolbarCustomize.h"
#include "toolkit/frames/TKUserToolsManager.h"

#include <commdlg.h>

IMPLEMENT_DYNAMIC(CTKToolsPage, CWnd)

namespace {
using namespace customize_text;

constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_3DLOOK;
constexpr DWORD kLabelStyle = SS_LEFT | WS_VISIBLE;
constexpr DWORD kEditStyle = ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP;

const DialogTemplateWriter& PageTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kTools, 250, 170, kPageStyle);
    w.Control(0x82, IDC_TKCUSTOMIZE_TOOLS_LIST, kMenuContents, SS_LEFT | WS_VISIBLE, 7, 7, 236, 90);
    w.Control(0x82, -1, kCommand, kLabelStyle, 7, 106, 62, 8);
    w.Control(0x81, IDC_TKCUSTOMIZE_TOOL_COMMAND, "", kEditStyle, 70, 104, 155, 12);
    w.Control(0x80, IDC_TKCUSTOMIZE_TOOL_BROWSE, kBrowse, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 228, 104,
              15, 12);
    w.Control(0x82, -1, kArguments, kLabelStyle, 7, 124, 62, 8);
    w.Control(0x81, IDC_TKCUSTOMIZE_TOOL_ARGUMENTS, "", kEditStyle, 70, 122, 155, 12);
    // The menu buttons show only when the tools manager names their menus.
    w.Control(0x80, IDC_TKCUSTOMIZE_TOOL_ARGUMENTS_MENU, "", BS_PUSHBUTTON | WS_TABSTOP, 228, 122, 15, 12);
    w.Control(0x82, -1, kInitialDirectory, kLabelStyle, 7, 142, 62, 8);
    w.Control(0x81, IDC_TKCUSTOMIZE_TOOL_DIRECTORY, "", kEditStyle, 70, 140, 155, 12);
    w.Control(0x80, IDC_TKCUSTOMIZE_TOOL_DIRECTORY_MENU, "", BS_PUSHBUTTON | WS_TABSTOP, 228, 140, 15, 12);
    return w;
  }();
  return writer;
}
}  // namespace

// --- The list ---------------------------------------------------------------------------

BOOL CTKToolsList::OnBeforeRemoveItem(int index) {
  auto* tool = reinterpret_cast<CTKUserTool*>(GetItemData(index));
  if (tool && g_pUserToolsManager) g_pUserToolsManager->EraseTool(tool);
  SetItemData(index, 0);
  if (m_pParent) m_pParent->OnSelectTool(nullptr);
  return TRUE;
}

void CTKToolsList::OnAfterAddItem(int index) {
  CTKUserTool* tool = m_pParent ? m_pParent->CreateNewTool() : nullptr;
  if (!tool) {
    RemoveItem(index);
    return;
  }
  tool->m_strLabel = GetItemText(index);
  SetItemData(index, reinterpret_cast<DWORD_PTR>(tool));
  m_pParent->OnSelectTool(tool);
}

void CTKToolsList::OnAfterRenameItem(int index) {
  if (auto* tool = reinterpret_cast<CTKUserTool*>(GetItemData(index))) tool->m_strLabel = GetItemText(index);
}

void CTKToolsList::OnAfterMoveItemUp(int index) {
  if (auto* tool = reinterpret_cast<CTKUserTool*>(GetItemData(index)); tool && g_pUserToolsManager)
    g_pUserToolsManager->ShiftToolUp(tool);
}

void CTKToolsList::OnAfterMoveItemDown(int index) {
  if (auto* tool = reinterpret_cast<CTKUserTool*>(GetItemData(index)); tool && g_pUserToolsManager)
    g_pUserToolsManager->ShiftToolDown(tool);
}

void CTKToolsList::OnSelectionChanged() {
  if (!m_pParent) return;
  const int selected = GetSelItem();
  m_pParent->OnSelectTool(selected >= 0 ? reinterpret_cast<CTKUserTool*>(GetItemData(selected)) : nullptr);
}

// --- The page ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTKToolsPage, CTKPropertyPage)
  ON_BN_CLICKED(IDC_TKCUSTOMIZE_TOOL_ARGUMENTS_MENU, OnArgumentsMenu)
  ON_BN_CLICKED(IDC_TKCUSTOMIZE_TOOL_DIRECTORY_MENU, OnInitialDirMenu)
END_MESSAGE_MAP()

const DLGTEMPLATE* CTKToolsPage::Template() { return PageTemplate().Get(); }

CTKToolsPage::CTKToolsPage() : CTKPropertyPage(Template(), customize_text::kTools) {
  m_wndToolsList.m_pParent = this;
}

CTKToolsPage::~CTKToolsPage() {
  if (m_hArgumentsMenu) ::DestroyMenu(m_hArgumentsMenu);
  if (m_hInitialDirMenu) ::DestroyMenu(m_hInitialDirMenu);
}

void CTKToolsPage::SetUpMenuButton(CTKMenuButton& button, int id, UINT menuId, HMENU& loaded) {
  if (loaded) ::DestroyMenu(loaded);
  loaded = menuId ? ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(menuId)) : nullptr;
  HMENU popup = loaded ? ::GetSubMenu(loaded, 0) : nullptr;
  if (!popup || !button.SubclassDlgItem(id, this)) return;
  button.m_hMenu = popup;
  button.m_bRightArrow = TRUE;
  button.ShowWindow(SW_SHOW);
}

void CTKToolsPage::OnArgumentsMenu() { TypeMenuChoice(m_wndArgumentsMenu, IDC_TKCUSTOMIZE_TOOL_ARGUMENTS); }

void CTKToolsPage::OnInitialDirMenu() { TypeMenuChoice(m_wndInitialDirMenu, IDC_TKCUSTOMIZE_TOOL_DIRECTORY); }

void CTKToolsPage::TypeMenuChoice(const CTKMenuButton& button, int editId) {
  CString text;
  if (!button.GetMenuResult() || !text.LoadString(button.GetMenuResult())) return;
  // As typed: at the caret, replacing the selection, each character a change.
  HWND edit = ::GetDlgItem(m_hWnd, editId);
  ::SetFocus(edit);
  for (int i = 0; i < text.GetLength(); ++i) ::SendMessageA(edit, WM_CHAR, static_cast<BYTE>(text[i]), 1);
}

BOOL CTKToolsPage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  m_wndToolsList.ReplacePlaceholder(IDC_TKCUSTOMIZE_TOOLS_LIST, this);
  m_wndToolsList.SetStandardButtons();
  if (g_pUserToolsManager) {
    const CObList& tools = g_pUserToolsManager->GetUserTools();
    for (POSITION pos = tools.GetHeadPosition(); pos;) {
      auto* tool = static_cast<CTKUserTool*>(tools.GetNext(pos));
      m_wndToolsList.AddItem(tool->m_strLabel, reinterpret_cast<DWORD_PTR>(tool));
    }
    SetUpMenuButton(m_wndArgumentsMenu, IDC_TKCUSTOMIZE_TOOL_ARGUMENTS_MENU,
                    g_pUserToolsManager->GetArgumentsMenuId(), m_hArgumentsMenu);
    SetUpMenuButton(m_wndInitialDirMenu, IDC_TKCUSTOMIZE_TOOL_DIRECTORY_MENU,
                    g_pUserToolsManager->GetInitialDirMenuId(), m_hInitialDirMenu);
  }
  OnSelectTool(nullptr);
  return TRUE;
}

CTKUserTool* CTKToolsPage::CreateNewTool() {
  if (!g_pUserToolsManager) return nullptr;
  CTKUserTool* tool = g_pUserToolsManager->NewTool();
  if (!tool) {
    CString text;
    text.Format(kTooManyTools, g_pUserToolsManager->GetMaxTools());
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
  }
  return tool;
}

void CTKToolsPage::OnSelectTool(CTKUserTool* tool) {
  m_pSelTool = tool;
  m_strCommand = tool ? tool->GetCommand() : CString();
  m_strArguments = tool ? tool->m_strArguments : CString();
  m_strInitialDirectory = tool ? tool->m_strInitialDirectory : CString();
  m_bFilling = TRUE;
  ::SetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_TOOL_COMMAND, m_strCommand);
  ::SetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_TOOL_ARGUMENTS, m_strArguments);
  ::SetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_TOOL_DIRECTORY, m_strInitialDirectory);
  m_bFilling = FALSE;
  EnableControls();
}

void CTKToolsPage::EnableControls() {
  for (int id : {IDC_TKCUSTOMIZE_TOOL_COMMAND, IDC_TKCUSTOMIZE_TOOL_BROWSE, IDC_TKCUSTOMIZE_TOOL_ARGUMENTS,
                 IDC_TKCUSTOMIZE_TOOL_DIRECTORY, IDC_TKCUSTOMIZE_TOOL_ARGUMENTS_MENU,
                 IDC_TKCUSTOMIZE_TOOL_DIRECTORY_MENU})
    ::EnableWindow(::GetDlgItem(m_hWnd, id), m_pSelTool != nullptr);
}

BOOL CTKToolsPage::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDC_TKCUSTOMIZE_TOOL_COMMAND:
    case IDC_TKCUSTOMIZE_TOOL_ARGUMENTS:
    case IDC_TKCUSTOMIZE_TOOL_DIRECTORY:
      if (HIWORD(wParam) == EN_CHANGE && !m_bFilling) OnUpdateTool();
      return TRUE;
    case IDC_TKCUSTOMIZE_TOOL_BROWSE:
      if (HIWORD(wParam) == BN_CLICKED) OnBrowseCommand();
      return TRUE;

    default:
      return CTKPropertyPage::OnCommand(wParam, lParam);
  }
}

void CTKToolsPage::OnUpdateTool() {
  if (!m_pSelTool) return;
  char text[MAX_PATH * 2] = "";
  ::GetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_TOOL_COMMAND, text, sizeof text);
  m_strCommand = text;
  ::GetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_TOOL_ARGUMENTS, text, sizeof text);
  m_strArguments = text;
  ::GetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_TOOL_DIRECTORY, text, sizeof text);
  m_strInitialDirectory = text;
  m_pSelTool->SetCommand(m_strCommand);
  m_pSelTool->m_strArguments = m_strArguments;
  m_pSelTool->m_strInitialDirectory = m_strInitialDirectory;
}

void CTKToolsPage::OnBrowseCommand() {
  // The filter's '|' separators become the terminators the dialog reads.
  char filter[512] = "";
  lstrcpynA(filter, kToolsFilter, sizeof filter);
  for (char* c = filter; *c; ++c)
    if (*c == '|') *c = '\0';
  char path[MAX_PATH] = "";
  OPENFILENAMEA open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = m_hWnd;
  open.lpstrFilter = filter;
  open.lpstrFile = path;
  open.nMaxFile = sizeof path;
  open.lpstrDefExt = "exe";
  open.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
  if (!::GetOpenFileNameA(&open)) return;
  ::SetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_TOOL_COMMAND, path);
}

BOOL CTKToolsPage::OnKillActive() {
  auto* sheet = dynamic_cast<CTKToolbarCustomize*>(GetSheet());
  if (sheet && g_pUserToolsManager && !sheet->CheckToolsValidity(g_pUserToolsManager->GetUserTools()))
    return FALSE;
  return CTKPropertyPage::OnKillActive();
}
