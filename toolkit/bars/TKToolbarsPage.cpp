#include "toolkit/bars/TKToolbarsPage.h"

#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/MiniDockFrameWnd.h"
#include "toolkit/bars/CustomizeText.h"
#include "toolkit/bars/DialogTemplateWriter.h"
#include "toolkit/bars/TKDropDownToolBar.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarCustomize.h"
#include "toolkit/frames/TKCommandManager.h"

IMPLEMENT_DYNAMIC(CTKToolbarsPage, CWnd)

namespace {
using namespace customize_text;

constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_3DLOOK;
constexpr DWORD kButtonStyle = BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP;

const DialogTemplateWriter& PageTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kToolbars, 250, 170, kPageStyle);
    w.Control(0x82, -1, kToolbarsLabel, SS_LEFT | WS_VISIBLE, 7, 7, 150, 8);
    w.Control(0x83, IDC_TKCUSTOMIZE_TOOLBAR_LIST, "",
              LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL |
                  WS_BORDER | WS_TABSTOP | WS_VISIBLE,
              7, 18, 160, 145);
    w.Control(0x80, IDC_TKCUSTOMIZE_NEW, kNew, kButtonStyle, 175, 18, 68, 14);
    w.Control(0x80, IDC_TKCUSTOMIZE_RENAME, kRename, kButtonStyle, 175, 36, 68, 14);
    w.Control(0x80, IDC_TKCUSTOMIZE_DELETE, kDelete, kButtonStyle, 175, 54, 68, 14);
    w.Control(0x80, IDC_TKCUSTOMIZE_RESET, kReset, kButtonStyle, 175, 72, 68, 14);
    w.Control(0x80, IDC_TKCUSTOMIZE_RESET_ALL, kResetAll, kButtonStyle, 175, 90, 68, 14);
    w.Control(0x80, IDC_TKCUSTOMIZE_TEXT_LABELS, kShowTextLabels, BS_AUTOCHECKBOX | WS_VISIBLE | WS_TABSTOP,
              175, 112, 72, 10);
    return w;
  }();
  return writer;
}

const DialogTemplateWriter& NameTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kToolbarName, 186, 54,
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK);
    w.Control(0x82, -1, kToolbarNameLabel, SS_LEFT | WS_VISIBLE, 7, 7, 120, 8);
    w.Control(0x81, IDC_TKCUSTOMIZE_TOOLBAR_NAME, "", ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 7,
              18, 172, 12);
    w.Control(0x80, IDOK, kOk, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 75, 35, 50, 14);
    w.Control(0x80, IDCANCEL, kCancel, kButtonStyle, 129, 35, 50, 14);
    return w;
  }();
  return writer;
}

CString Formatted(const char* format, const char* name) {
  CString text;
  text.Format(format, name);
  return text;
}
}  // namespace

// --- The check list -------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTKToolbarCheckList, CWnd)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

int CTKToolbarCheckList::AddItem(const char* text, CTKToolBar* bar, BOOL checked, BOOL changeable) {
  return InsertItem(-1, text, bar, checked, changeable);
}

int CTKToolbarCheckList::InsertItem(int index, const char* text, CTKToolBar* bar, BOOL checked,
                                    BOOL changeable) {
  const int at = static_cast<int>(
      ::SendMessageA(m_hWnd, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
  if (at < 0) return at;
  ::SendMessageA(m_hWnd, LB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(bar));
  m_items.insert(m_items.begin() + at, Item{checked, changeable});
  return at;
}

void CTKToolbarCheckList::DeleteItem(int index) {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return;
  ::SendMessageA(m_hWnd, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  m_items.erase(m_items.begin() + index);
}

void CTKToolbarCheckList::ResetContent() {
  ::SendMessageA(m_hWnd, LB_RESETCONTENT, 0, 0);
  m_items.clear();
}

int CTKToolbarCheckList::GetCount() const { return static_cast<int>(m_items.size()); }
int CTKToolbarCheckList::GetCurSel() const {
  return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0));
}
void CTKToolbarCheckList::SetCurSel(int index) {
  ::SendMessageA(m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

CTKToolBar* CTKToolbarCheckList::GetBar(int index) const {
  const LRESULT data = ::SendMessageA(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return data == LB_ERR ? nullptr : reinterpret_cast<CTKToolBar*>(data);
}

BOOL CTKToolbarCheckList::GetCheck(int index) const {
  return index >= 0 && index < GetCount() && m_items[index].checked;
}

void CTKToolbarCheckList::SetCheck(int index, BOOL checked) {
  if (index < 0 || index >= GetCount()) return;
  m_items[index].checked = checked;
  RECT rect;
  if (::SendMessageA(m_hWnd, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) !=
      LB_ERR)
    ::InvalidateRect(m_hWnd, &rect, TRUE);
}

CRect CTKToolbarCheckList::CheckRect(int index) const {
  RECT item{};
  ::SendMessageA(m_hWnd, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  const int side = std::min<int>(13, item.bottom - item.top - 2);
  const int top = item.top + (item.bottom - item.top - side) / 2;
  return CRect(item.left + 2, top, item.left + 2 + side, top + side);
}

void CTKToolbarCheckList::DrawItem(LPDRAWITEMSTRUCT item) {
  if (item->itemID == static_cast<UINT>(-1)) return;
  const int index = static_cast<int>(item->itemID);
  const BOOL selected = (item->itemState & ODS_SELECTED) != 0;
  CRect rect(item->rcItem);
  ::FillRect(item->hDC, &rect, ::GetSysColorBrush(COLOR_WINDOW));
  CRect box = CheckRect(index);
  UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
  if (GetCheck(index)) state |= DFCS_CHECKED;
  if (!IsChangeable(index)) state |= DFCS_INACTIVE;
  ::DrawFrameControl(item->hDC, &box, DFC_BUTTON, state);
  CRect text = rect;
  text.left = box.right + 4;
  char name[256] = "";
  ::SendMessageA(m_hWnd, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(name));
  if (selected) ::FillRect(item->hDC, &text, ::GetSysColorBrush(COLOR_HIGHLIGHT));
  const int oldMode = ::SetBkMode(item->hDC, TRANSPARENT);
  const COLORREF oldColour =
      ::SetTextColor(item->hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  text.left += 2;
  ::DrawTextA(item->hDC, name, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  ::SetTextColor(item->hDC, oldColour);
  ::SetBkMode(item->hDC, oldMode);
  if (item->itemState & ODS_FOCUS) ::DrawFocusRect(item->hDC, &text);
}

void CTKToolbarCheckList::Toggle(int index) {
  if (index < 0 || index >= GetCount()) return;
  if (!IsChangeable(index)) {
    ::MessageBeep(static_cast<UINT>(-1));
    return;
  }
  SetCheck(index, !GetCheck(index));
  ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hWnd), CLBN_CHKCHANGE),
                 reinterpret_cast<LPARAM>(m_hWnd));
}

void CTKToolbarCheckList::OnLButtonDown(UINT, CPoint point) {
  Default();
  const LRESULT hit = ::SendMessageA(m_hWnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (HIWORD(hit) != 0) return;
  const int index = LOWORD(hit);
  CRect box = CheckRect(index);
  box.InflateRect(2, 2);
  if (box.PtInRect(point)) Toggle(index);
}

void CTKToolbarCheckList::OnLButtonDblClk(UINT, CPoint point) {
  Default();
  const LRESULT hit = ::SendMessageA(m_hWnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (HIWORD(hit) == 0) Toggle(LOWORD(hit));
}

void CTKToolbarCheckList::OnKeyDown(UINT key, UINT, UINT) {
  if (key == VK_SPACE) {
    Toggle(GetCurSel());
    return;
  }
  Default();
}

// --- The name dialog ----------------------------------------------------------------

CTKToolbarNameDialog::CTKToolbarNameDialog(CWnd* parent, const char* name) : m_strToolbarName(name) {
  InitModalIndirect(NameTemplate().Get(), parent);
}

BOOL CTKToolbarNameDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  ::SetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_TOOLBAR_NAME, m_strToolbarName);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), !m_strToolbarName.IsEmpty());
  return TRUE;
}

BOOL CTKToolbarNameDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_TKCUSTOMIZE_TOOLBAR_NAME && HIWORD(wParam) == EN_CHANGE) {
    const BOOL hasName = ::GetWindowTextLengthA(::GetDlgItem(m_hWnd, IDC_TKCUSTOMIZE_TOOLBAR_NAME)) > 0;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), hasName);
    return TRUE;
  }
  return CDialog::OnCommand(wParam, lParam);
}

void CTKToolbarNameDialog::OnOK() {
  char name[256] = "";
  ::GetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_TOOLBAR_NAME, name, sizeof name);
  // The button is disabled then, but Enter still reaches here.
  if (!name[0]) return;
  m_strToolbarName = name;
  CDialog::OnOK();
}

// --- The page ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTKToolbarsPage, CTKPropertyPage)
  ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
END_MESSAGE_MAP()

const DLGTEMPLATE* CTKToolbarsPage::Template() { return PageTemplate().Get(); }

CTKToolbarsPage::CTKToolbarsPage(CFrameWnd* frame)
    : CTKPropertyPage(Template(), customize_text::kToolbars), m_pParentFrame(frame) {}

CString CTKToolbarsPage::BarName(CTKToolBar* bar) const {
  char name[256] = "";
  ::GetWindowTextA(bar->m_hWnd, name, sizeof name);
  return name[0] ? CString(name) : CString(kUntitled);
}

void CTKToolbarsPage::Enable(int id, BOOL enable) { ::EnableWindow(::GetDlgItem(m_hWnd, id), enable); }

BOOL CTKToolbarsPage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  m_wndToolbarList.SubclassDlgItem(IDC_TKCUSTOMIZE_TOOLBAR_LIST, this);
  ::SendMessageA(m_wndToolbarList.m_hWnd, LB_SETITEMHEIGHT, 0, 17);
  if (!m_bUserDefinedToolbars) {
    Enable(IDC_TKCUSTOMIZE_NEW, FALSE);
    for (int id : {IDC_TKCUSTOMIZE_NEW, IDC_TKCUSTOMIZE_DELETE, IDC_TKCUSTOMIZE_RENAME})
      ::ShowWindow(::GetDlgItem(m_hWnd, id), SW_HIDE);
  }
  const auto* sheet = dynamic_cast<CTKToolbarCustomize*>(GetSheet());
  if (!sheet || !(sheet->GetFlags() & TKCUSTOMIZE_TEXT_LABELS))
    ::ShowWindow(::GetDlgItem(m_hWnd, IDC_TKCUSTOMIZE_TEXT_LABELS), SW_HIDE);
  const auto& bars = CTKToolBar::GetAllToolbars();
  for (POSITION pos = bars.GetHeadPosition(); pos;) {
    CTKToolBar* bar = bars.GetNext(pos);
    if (!bar->m_hWnd || dynamic_cast<CTKDropDownToolBar*>(bar) || !bar->AllowShowOnList()) continue;
    CFrameWnd* site = bar->m_pDockSite ? bar->m_pDockSite : bar->GetDockingFrame();
    if (m_pParentFrame && site != m_pParentFrame) continue;
    m_wndToolbarList.AddItem(BarName(bar), bar, (bar->GetStyle() & WS_VISIBLE) != 0, bar->CanBeClosed());
  }
  SelectItem(0);
  return TRUE;
}

void CTKToolbarsPage::SelectItem(int index) {
  m_wndToolbarList.SetCurSel(index);
  ::SendMessageA(m_wndToolbarList.m_hWnd, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(index, 0)), 0);
  OnSelchangeToolbarList();
}

BOOL CTKToolbarsPage::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (id == IDC_TKCUSTOMIZE_TOOLBAR_LIST) {
    if (code == LBN_SELCHANGE) OnSelchangeToolbarList();
    if (code == CLBN_CHKCHANGE) OnCheckChange();
    return TRUE;
  }
  if (code == BN_CLICKED) switch (id) {
      case IDC_TKCUSTOMIZE_TEXT_LABELS:
        OnTextLabels();
        return TRUE;
      case IDC_TKCUSTOMIZE_RESET:
        OnResetToolbar();
        return TRUE;
      case IDC_TKCUSTOMIZE_RESET_ALL:
        OnResetAllToolbars();
        return TRUE;
      case IDC_TKCUSTOMIZE_DELETE:
        OnDeleteToolbar();
        return TRUE;
      case IDC_TKCUSTOMIZE_NEW:
        OnNewToolbar();
        return TRUE;
      case IDC_TKCUSTOMIZE_RENAME:
        OnRenameToolbar();
        return TRUE;
      default:
        break;
    }
  return CTKPropertyPage::OnCommand(wParam, lParam);
}

LRESULT CTKToolbarsPage::OnDrawItem(WPARAM id, LPARAM item) {
  if (id != IDC_TKCUSTOMIZE_TOOLBAR_LIST) return Default();
  m_wndToolbarList.DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(item));
  return TRUE;
}

void CTKToolbarsPage::OnSelchangeToolbarList() {
  const int index = m_wndToolbarList.GetCurSel();
  m_pSelectedToolbar = index >= 0 ? m_wndToolbarList.GetBar(index) : nullptr;
  CTKToolBar* bar = m_pSelectedToolbar;
  Enable(IDC_TKCUSTOMIZE_RESET, bar && bar->CanBeRestored());
  Enable(IDC_TKCUSTOMIZE_DELETE, bar && bar->IsUserDefined());
  Enable(IDC_TKCUSTOMIZE_RENAME, bar && bar->IsUserDefined());
  Enable(IDC_TKCUSTOMIZE_TEXT_LABELS, bar && bar->AllowTextLabels());
  m_bTextLabels = bar && bar->AreTextLabels();
  ::CheckDlgButton(m_hWnd, IDC_TKCUSTOMIZE_TEXT_LABELS, m_bTextLabels ? BST_CHECKED : BST_UNCHECKED);
}

void CTKToolbarsPage::ShowToolBar(CTKToolBar* bar, BOOL show) {
  if (!bar || !bar->m_hWnd) return;
  CFrameWnd* site = bar->m_pDockSite ? bar->m_pDockSite : m_pParentFrame;
  if (site) site->ShowControlBar(bar, show, FALSE);
}

void CTKToolbarsPage::OnToolBarShown(CTKToolBar* bar, BOOL shown) {
  if (!m_wndToolbarList.m_hWnd) return;
  for (int i = 0; i < m_wndToolbarList.GetCount(); ++i)
    if (m_wndToolbarList.GetBar(i) == bar) m_wndToolbarList.SetCheck(i, shown != FALSE);
}

void CTKToolbarsPage::OnCheckChange() {
  const int index = m_wndToolbarList.GetCurSel();
  CTKToolBar* bar = m_wndToolbarList.GetBar(index);
  if (!bar) return;
  const BOOL checked = m_wndToolbarList.GetCheck(index);
  if (!bar->CanBeClosed()) {
    m_wndToolbarList.SetCheck(index, !checked);
    ::MessageBeep(static_cast<UINT>(-1));
    return;
  }
  ShowToolBar(bar, checked);
}

void CTKToolbarsPage::OnTextLabels() {
  if (!m_pSelectedToolbar) return;
  m_bTextLabels = ::IsDlgButtonChecked(m_hWnd, IDC_TKCUSTOMIZE_TEXT_LABELS) == BST_CHECKED;
  m_pSelectedToolbar->EnableTextLabels(m_bTextLabels);
}

void CTKToolbarsPage::OnResetToolbar() {
  CTKToolBar* bar = m_pSelectedToolbar;
  if (!bar || !bar->CanBeRestored()) return;
  if (AfxMessageBox(Formatted(kResetToolbarPrompt, BarName(bar)), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  bar->RestoreOriginalState();
}

void CTKToolbarsPage::OnResetAllToolbars() {
  if (AfxMessageBox(kResetAllPrompt, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  GetCommandManager()->RemoveAllImages();
  const auto& bars = CTKToolBar::GetAllToolbars();
  // Restoring a bar registers its default images again.
  for (POSITION pos = bars.GetHeadPosition(); pos;) {
    CTKToolBar* bar = bars.GetNext(pos);
    if (bar->m_hWnd && bar->CanBeRestored()) bar->RestoreOriginalState();
  }
}

void CTKToolbarsPage::OnDeleteToolbar() {
  CTKToolBar* bar = m_pSelectedToolbar;
  if (!bar) return;
  if (!m_pParentFrame) {
    ::MessageBeep(MB_ICONASTERISK);
    return;
  }
  if (AfxMessageBox(Formatted(kDeleteToolbarPrompt, BarName(bar)), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  const int index = m_wndToolbarList.GetCurSel();
  if (!m_pParentFrame->SendMessage(CTKToolBar::s_deleteMessage, 0, reinterpret_cast<LPARAM>(bar))) {
    ::MessageBeep(MB_ICONASTERISK);
    return;
  }
  m_pSelectedToolbar = nullptr;
  m_wndToolbarList.DeleteItem(index);
  SelectItem(0);
}

void CTKToolbarsPage::OnNewToolbar() {
  if (!m_pParentFrame) {
    ::MessageBeep(MB_ICONASTERISK);
    return;
  }
  CTKToolbarNameDialog dialog(this);
  if (dialog.DoModal() != IDOK) return;
  auto* bar = reinterpret_cast<CTKToolBar*>(m_pParentFrame->SendMessage(
      CTKToolBar::s_createMessage, 0,
      reinterpret_cast<LPARAM>(static_cast<const char*>(dialog.m_strToolbarName))));
  if (!bar) return;
  const int index = m_wndToolbarList.AddItem(BarName(bar), bar, TRUE, bar->CanBeClosed());
  SelectItem(index);
}

void CTKToolbarsPage::OnRenameToolbar() {
  CTKToolBar* bar = m_pSelectedToolbar;
  if (!bar) return;
  char name[256] = "";
  ::GetWindowTextA(bar->m_hWnd, name, sizeof name);
  CTKToolbarNameDialog dialog(this, name);
  if (dialog.DoModal() != IDOK) return;
  bar->SetWindowText(dialog.m_strToolbarName);
  if (bar->IsFloating())
    if (HWND mini = ::GetAncestor(bar->m_hWnd, GA_ROOT); mini && mini != bar->m_hWnd)
      ::SetWindowTextA(mini, dialog.m_strToolbarName);
  const int index = m_wndToolbarList.GetCurSel();
  const BOOL changeable = m_wndToolbarList.IsChangeable(index);
  m_wndToolbarList.DeleteItem(index);
  m_wndToolbarList.InsertItem(index, BarName(bar), bar, (bar->GetStyle() & WS_VISIBLE) != 0, changeable);
  SelectItem(index);
}
