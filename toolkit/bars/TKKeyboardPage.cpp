#include "toolkit/bars/TKKeyboardPage.h"

#include "platform/afx/AfxMessageBox.h"
#include "toolkit/bars/CustomizeText.h"
#include "toolkit/bars/DocTemplateCombo.h"
#include "toolkit/bars/DialogTemplateWriter.h"
#include "toolkit/bars/ShortcutKeyText.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarCustomize.h"
#include "toolkit/frames/TKKeyboardManager.h"

IMPLEMENT_DYNAMIC(CTKKeyboardPage, CWnd)

namespace {
using namespace customize_text;

constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_3DLOOK;
constexpr DWORD kButtonStyle = BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kLabelStyle = SS_LEFT | WS_VISIBLE;
constexpr DWORD kListStyle =
    LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP | WS_VISIBLE;
constexpr DWORD kComboStyle = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE;
constexpr BYTE kKeyFlags = FVIRTKEY | FSHIFT | FCONTROL | FALT;

const DialogTemplateWriter& PageTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kKeyboard, 250, 170, kPageStyle);
    w.Control(0x82, -1, kCategoriesLabel, kLabelStyle, 7, 7, 110, 8);
    w.Control(0x85, IDC_TKCUSTOMIZE_CATEGORIES, "", kComboStyle, 7, 17, 110, 100);
    w.Control(0x82, -1, kCommandsLabel, kLabelStyle, 7, 34, 110, 8);
    w.Control(0x83, IDC_TKCUSTOMIZE_KEY_COMMANDS, "", kListStyle, 7, 44, 110, 84);
    w.Control(0x82, -1, kSetAcceleratorFor, kLabelStyle, 124, 7, 100, 8);
    w.Control(0x85, IDC_TKCUSTOMIZE_KEY_TARGET, "", kComboStyle, 124, 17, 96, 100);
    w.Control(0x82, IDC_TKCUSTOMIZE_TARGET_ICON, "", SS_ICON | WS_VISIBLE, 226, 15, 16, 16);
    w.Control(0x82, -1, kCurrentKeys, kLabelStyle, 124, 34, 110, 8);
    w.Control(0x83, IDC_TKCUSTOMIZE_CURRENT_KEYS, "", kListStyle, 124, 44, 119, 34);
    w.Control(0x82, -1, kPressNewShortcut, kLabelStyle, 124, 82, 110, 8);
    w.Control(0x81, IDC_TKCUSTOMIZE_KEY_EDIT, "", ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 124,
              92, 119, 12);
    w.Control(0x82, IDC_TKCUSTOMIZE_ASSIGNED_LABEL, kAssignedTo, SS_LEFT, 124, 107, 50, 8);
    w.Control(0x82, IDC_TKCUSTOMIZE_ASSIGNED_TEXT, "", SS_LEFT | WS_VISIBLE, 176, 107, 67, 8);
    w.Control(0x80, IDC_TKCUSTOMIZE_ASSIGN, kAssign, kButtonStyle, 124, 118, 38, 14);
    w.Control(0x80, IDC_TKCUSTOMIZE_REMOVE, kRemove, kButtonStyle, 165, 118, 38, 14);
    w.Control(0x80, IDC_TKCUSTOMIZE_KEY_RESET_ALL, kResetAll, kButtonStyle, 206, 118, 37, 14);
    w.Control(0x82, -1, kDescriptionLabel, kLabelStyle, 7, 134, 80, 8);
    w.Control(0x82, IDC_TKCUSTOMIZE_DESCRIPTION_KEYS, "", kLabelStyle, 7, 144, 236, 20);
    return w;
  }();
  return writer;
}

CString PromptOf(UINT command) {
  CString prompt;
  if (command == 0 || !prompt.LoadString(command)) return CString();
  const int newline = prompt.Find('\n');
  return newline >= 0 ? prompt.Left(newline) : prompt;
}
}  // namespace

// --- The key edit --------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTKKeyEdit, CWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_MBUTTONDOWN()
  ON_WM_RBUTTONDOWN()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_SYSKEYDOWN()
  ON_WM_SYSKEYUP()
  ON_MESSAGE(WM_CHAR, OnCharMessage)
  ON_MESSAGE(WM_SYSCHAR, OnCharMessage)
  ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

void CTKKeyEdit::ResetKey() {
  m_Accel = ACCEL{};
  m_bIsKeyComplete = FALSE;
  if (m_hWnd) ::SetWindowTextA(m_hWnd, "");
}

void CTKKeyEdit::ShowKey() { ::SetWindowTextA(m_hWnd, CShortcutKeyText(&m_Accel).Format()); }

BOOL CTKKeyEdit::PreTranslateMessage(MSG* msg) {
  if (msg->hwnd != m_hWnd) return FALSE;
  switch (msg->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      // Plain Tab still moves the focus through the dialog.
      if (msg->wParam == VK_TAB && ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0 &&
          ::GetKeyState(VK_SHIFT) >= 0) {
        if (msg->message == WM_KEYDOWN) {
          ResetKey();
          ::SendMessageA(::GetParent(m_hWnd), WM_NEXTDLGCTL, 0, 0);
        }
        return TRUE;
      }
      OnKey(msg->message, static_cast<UINT>(msg->wParam), HIWORD(msg->lParam));
      return TRUE;
    default:
      return FALSE;
  }
}

void CTKKeyEdit::OnLButtonDown(UINT, CPoint) { ::SetFocus(m_hWnd); }
void CTKKeyEdit::OnMButtonDown(UINT, CPoint) { ::SetFocus(m_hWnd); }
void CTKKeyEdit::OnRButtonDown(UINT, CPoint) { ::SetFocus(m_hWnd); }
void CTKKeyEdit::OnKeyDown(UINT key, UINT, UINT flags) { OnKey(WM_KEYDOWN, key, flags); }
void CTKKeyEdit::OnKeyUp(UINT key, UINT, UINT flags) { OnKey(WM_KEYUP, key, flags); }
void CTKKeyEdit::OnSysKeyDown(UINT key, UINT, UINT flags) { OnKey(WM_SYSKEYDOWN, key, flags); }
void CTKKeyEdit::OnSysKeyUp(UINT key, UINT, UINT flags) { OnKey(WM_SYSKEYUP, key, flags); }
// The keys are shown as a combination, never typed as characters.
LRESULT CTKKeyEdit::OnCharMessage(WPARAM, LPARAM) { return 0; }
UINT CTKKeyEdit::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

void CTKKeyEdit::OnKey(UINT message, UINT key, UINT flags) {
  const BOOL down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  const BOOL repeat = (flags & KF_REPEAT) != 0;
  if (down && m_bIsKeyComplete && !repeat) ResetKey();
  BYTE modifier = 0;
  switch (key) {
    case VK_SHIFT:
      modifier = FSHIFT;
      break;
    case VK_CONTROL:
      modifier = FCONTROL;
      break;
    case VK_MENU:
      modifier = FALT;
      break;
    default:
      break;
  }
  if (modifier) {
    if (!m_bIsKeyComplete) {
      if (down)
        m_Accel.fVirt |= modifier;
      else
        m_Accel.fVirt &= ~modifier;
    }
  } else if (key == VK_ESCAPE && !(m_Accel.fVirt & (FSHIFT | FCONTROL | FALT))) {
    ResetKey();
    return;
  } else if (!m_bIsKeyComplete && down) {
    m_Accel.key = static_cast<WORD>(key);
    m_Accel.fVirt |= FVIRTKEY;
    m_bIsKeyComplete = TRUE;
  }
  ShowKey();
}

// --- The page ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTKKeyboardPage, CTKPropertyPage)
END_MESSAGE_MAP()

const DLGTEMPLATE* CTKKeyboardPage::Template() { return PageTemplate().Get(); }

CTKKeyboardPage::CTKKeyboardPage(CFrameWnd* frame, BOOL autoSet)
    : CTKPropertyPage(Template(), customize_text::kKeyboard), m_pParentFrame(frame), m_bAutoSet(autoSet) {}

CTKToolbarCustomize* CTKKeyboardPage::Sheet() const { return dynamic_cast<CTKToolbarCustomize*>(GetSheet()); }

BOOL CTKKeyboardPage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  m_wndNewKey.SubclassDlgItem(IDC_TKCUSTOMIZE_KEY_EDIT, this);
  if (CTKToolbarCustomize* sheet = Sheet())
    sheet->FillCategoriesComboBox(Item(IDC_TKCUSTOMIZE_CATEGORIES), FALSE);
  ::SendMessageA(Item(IDC_TKCUSTOMIZE_CATEGORIES), CB_SETCURSEL, 0, 0);
  // Each kind of document with a menu has its own keys, the frame its default ones.
  HWND target = Item(IDC_TKCUSTOMIZE_KEY_TARGET);
  if (m_bAutoSet)
    doc_template_combo::AddTemplates(target,
                                     [](const CMultiDocTemplate& t) { return t.m_hMenuShared != nullptr; });
  if (m_pParentFrame && m_pParentFrame->m_hAccelTable) {
    const LRESULT index = ::SendMessageA(target, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kDefault));
    ::SendMessageA(target, CB_SETITEMDATA, index, 0);
    ::SendMessageA(target, CB_SETCURSEL, index, 0);
  } else {
    ::SendMessageA(target, CB_SETCURSEL, 0, 0);
  }
  OnSelchangeViewType();
  OnSelchangeCategory();
  return TRUE;
}

BOOL CTKKeyboardPage::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT code = HIWORD(wParam);
  switch (LOWORD(wParam)) {
    case IDC_TKCUSTOMIZE_CATEGORIES:
      if (code == CBN_SELCHANGE) OnSelchangeCategory();
      return TRUE;
    case IDC_TKCUSTOMIZE_KEY_TARGET:
      if (code == CBN_SELCHANGE) OnSelchangeViewType();
      return TRUE;
    case IDC_TKCUSTOMIZE_KEY_COMMANDS:
      if (code == LBN_SELCHANGE) OnSelchangeCommandsList();
      return TRUE;
    case IDC_TKCUSTOMIZE_CURRENT_KEYS:
      if (code == LBN_SELCHANGE) OnSelchangeCurrentKeysList();
      return TRUE;
    case IDC_TKCUSTOMIZE_KEY_EDIT:
      if (code == EN_UPDATE || code == EN_CHANGE) OnUpdateNewShortcutKey();
      return TRUE;
    case IDC_TKCUSTOMIZE_ASSIGN:
      if (code == BN_CLICKED) OnAssign();
      return TRUE;
    case IDC_TKCUSTOMIZE_REMOVE:
      if (code == BN_CLICKED) OnRemove();
      return TRUE;
    case IDC_TKCUSTOMIZE_KEY_RESET_ALL:
      if (code == BN_CLICKED) OnResetAll();
      return TRUE;
    default:
      return CTKPropertyPage::OnCommand(wParam, lParam);
  }
}

void CTKKeyboardPage::OnSelchangeViewType() {
  m_pTemplate = doc_template_combo::Chosen(Item(IDC_TKCUSTOMIZE_KEY_TARGET));
  HICON icon = m_pTemplate ? doc_template_combo::IconOf(*m_pTemplate) : nullptr;
  if (!icon && m_pParentFrame && m_pParentFrame->m_hWnd)
    icon = reinterpret_cast<HICON>(::GetClassLongPtrA(m_pParentFrame->m_hWnd, GCLP_HICON));
  if (!icon) icon = ::LoadIconA(nullptr, IDI_APPLICATION);
  ::SendMessageA(Item(IDC_TKCUSTOMIZE_TARGET_ICON), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  m_hAccelTable =
      m_pTemplate ? m_pTemplate->m_hAccelTable : (m_pParentFrame ? m_pParentFrame->m_hAccelTable : nullptr);
  m_lpAccel.clear();
  if (m_hAccelTable) {
    const int count = ::CopyAcceleratorTableA(m_hAccelTable, nullptr, 0);
    m_lpAccel.resize(static_cast<size_t>(count));
    if (count > 0) ::CopyAcceleratorTableA(m_hAccelTable, m_lpAccel.data(), count);
  }
  OnSelchangeCommandsList();
}

void CTKKeyboardPage::OnSelchangeCategory() {
  HWND categories = Item(IDC_TKCUSTOMIZE_CATEGORIES);
  HWND commands = Item(IDC_TKCUSTOMIZE_KEY_COMMANDS);
  ::SendMessageA(commands, LB_RESETCONTENT, 0, 0);
  const LRESULT selected = ::SendMessageA(categories, CB_GETCURSEL, 0, 0);
  const LRESULT data = selected < 0 ? CB_ERR : ::SendMessageA(categories, CB_GETITEMDATA, selected, 0);
  if (data != CB_ERR && data) {
    const CObList& buttons = *reinterpret_cast<const CObList*>(data);
    for (POSITION pos = buttons.GetHeadPosition(); pos;) {
      auto* button = static_cast<CTKToolbarButton*>(buttons.GetNext(pos));
      if (button->m_nID == 0 || button->m_nID == (UINT)-1) continue;
      const LRESULT index = ::SendMessageA(
          commands, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(button->m_strText)));
      ::SendMessageA(commands, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(button));
    }
  }
  ::EnableWindow(m_wndNewKey.m_hWnd, FALSE);
  ::SendMessageA(commands, LB_SETCURSEL, 0, 0);
  OnSelchangeCommandsList();
}

void CTKKeyboardPage::OnSelchangeCommandsList() {
  HWND commands = Item(IDC_TKCUSTOMIZE_KEY_COMMANDS);
  HWND keys = Item(IDC_TKCUSTOMIZE_CURRENT_KEYS);
  ::SendMessageA(keys, LB_RESETCONTENT, 0, 0);
  m_nSelEntry = -1;
  ::EnableWindow(Item(IDC_TKCUSTOMIZE_REMOVE), FALSE);
  const LRESULT selected = ::SendMessageA(commands, LB_GETCURSEL, 0, 0);
  const LRESULT data = selected < 0 ? LB_ERR : ::SendMessageA(commands, LB_GETITEMDATA, selected, 0);
  m_pSelButton = data == LB_ERR ? nullptr : reinterpret_cast<CTKToolbarButton*>(data);
  m_strDescription = m_pSelButton ? PromptOf(m_pSelButton->m_nID) : CString();
  ::SetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_DESCRIPTION_KEYS, m_strDescription);
  if (m_pSelButton) {
    for (size_t i = 0; i < m_lpAccel.size(); ++i) {
      if (m_lpAccel[i].cmd != m_pSelButton->m_nID) continue;
      const LRESULT index = ::SendMessageA(
          keys, LB_ADDSTRING, 0,
          reinterpret_cast<LPARAM>(static_cast<const char*>(CShortcutKeyText(&m_lpAccel[i]).Format())));
      ::SendMessageA(keys, LB_SETITEMDATA, index, static_cast<LPARAM>(i));
    }
  }
  ::EnableWindow(m_wndNewKey.m_hWnd, m_pSelButton != nullptr);
  OnUpdateNewShortcutKey();
}

void CTKKeyboardPage::OnSelchangeCurrentKeysList() {
  HWND keys = Item(IDC_TKCUSTOMIZE_CURRENT_KEYS);
  const LRESULT selected = ::SendMessageA(keys, LB_GETCURSEL, 0, 0);
  m_nSelEntry = selected < 0 ? -1 : static_cast<int>(::SendMessageA(keys, LB_GETITEMDATA, selected, 0));
  ::EnableWindow(Item(IDC_TKCUSTOMIZE_REMOVE), m_nSelEntry >= 0);
}

void CTKKeyboardPage::OnUpdateNewShortcutKey() {
  HWND label = Item(IDC_TKCUSTOMIZE_ASSIGNED_LABEL);
  if (!m_wndNewKey.IsKeyComplete()) {
    ::ShowWindow(label, SW_HIDE);
    m_strAssignedTo.Empty();
    ::SetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_ASSIGNED_TEXT, "");
    ::EnableWindow(Item(IDC_TKCUSTOMIZE_ASSIGN), FALSE);
    return;
  }
  const ACCEL& typed = m_wndNewKey.GetAccel();
  const ACCEL* found = nullptr;
  for (const ACCEL& entry : m_lpAccel)
    if (entry.key == typed.key && (entry.fVirt & kKeyFlags) == (typed.fVirt & kKeyFlags)) {
      found = &entry;
      break;
    }
  if (found) {
    CTKToolbarCustomize* sheet = Sheet();
    m_strAssignedTo = sheet ? sheet->GetCommandName(found->cmd) : CString();
    if (m_strAssignedTo.IsEmpty()) m_strAssignedTo = kUnknownCommand;
    ::EnableWindow(Item(IDC_TKCUSTOMIZE_ASSIGN), FALSE);
  } else {
    m_strAssignedTo = kUnassigned;
    ::EnableWindow(Item(IDC_TKCUSTOMIZE_ASSIGN), m_pSelButton != nullptr);
  }
  ::SetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_ASSIGNED_TEXT, m_strAssignedTo);
  ::ShowWindow(label, SW_SHOW);
}

void CTKKeyboardPage::InstallTable() {
  if (!g_pKeyboardManager || (!m_pParentFrame && !m_pTemplate)) return;
  g_pKeyboardManager->UpdateAcceleratorTable(m_pTemplate, m_lpAccel.data(),
                                             static_cast<int>(m_lpAccel.size()), m_pParentFrame);
  m_hAccelTable = m_pTemplate ? m_pTemplate->m_hAccelTable : m_pParentFrame->m_hAccelTable;
}

void CTKKeyboardPage::OnAssign() {
  if (!m_pSelButton || !m_wndNewKey.IsKeyComplete()) return;
  ACCEL accel = m_wndNewKey.GetAccel();
  accel.cmd = static_cast<WORD>(m_pSelButton->m_nID);
  CTKToolbarCustomize* sheet = Sheet();
  if (sheet && !sheet->OnAssignKey(&accel)) return;
  m_lpAccel.push_back(accel);
  InstallTable();
  m_wndNewKey.ResetKey();
  OnSelchangeCommandsList();
  ::SetFocus(Item(IDC_TKCUSTOMIZE_CURRENT_KEYS));
}

void CTKKeyboardPage::OnRemove() {
  if (m_nSelEntry < 0 || m_nSelEntry >= static_cast<int>(m_lpAccel.size())) return;
  m_lpAccel.erase(m_lpAccel.begin() + m_nSelEntry);
  InstallTable();
  OnSelchangeCommandsList();
  ::SetFocus(Item(IDC_TKCUSTOMIZE_CURRENT_KEYS));
}

void CTKKeyboardPage::OnResetAll() {
  if (AfxMessageBox(kResetKeyboardPrompt, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  if (g_pKeyboardManager) g_pKeyboardManager->RestoreDefaults();
  if (m_pParentFrame) m_pParentFrame->SendMessage(CTKToolBar::s_resetKeyboardMessage);
  OnSelchangeViewType();
}
