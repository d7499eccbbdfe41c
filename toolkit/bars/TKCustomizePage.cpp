#include "toolkit/bars/TKCustomizePage.h"

#include "platform/afx/afxole.h"
#include "toolkit/bars/CustomizeText.h"
#include "toolkit/bars/DialogTemplateWriter.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarCustomize.h"
#include "toolkit/bars/ToolbarDropSource.h"

IMPLEMENT_DYNAMIC(CTKCustomizePage, CWnd)

namespace {
constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_3DLOOK;
constexpr DWORD kListStyle = LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP | WS_VISIBLE;

const DialogTemplateWriter& PageTemplate() {
  static const DialogTemplateWriter writer = [] {
    using namespace customize_text;
    DialogTemplateWriter w(kCommands, 250, 170, kPageStyle);
    w.Control(0x82, -1, kCategoriesLabel, SS_LEFT | WS_VISIBLE, 7, 7, 80, 8);
    w.Control(0x83, IDC_TKCUSTOMIZE_CATEGORIES, "", kListStyle | LBS_NOINTEGRALHEIGHT, 7, 18, 80, 110);
    w.Control(0x82, -1, kCommandsLabel, SS_LEFT | WS_VISIBLE, 94, 7, 120, 8);
    w.Control(0x83, IDC_TKCUSTOMIZE_COMMANDS, "", kListStyle | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT, 94,
              18, 149, 110);
    w.Control(0x82, -1, kDescriptionLabel, SS_LEFT | WS_VISIBLE, 7, 134, 80, 8);
    w.Control(0x82, IDC_TKCUSTOMIZE_DESCRIPTION, "", SS_LEFT | WS_VISIBLE, 7, 145, 236, 20);
    return w;
  }();
  return writer;
}
}  // namespace

// --- The commands list ----------------------------------------------------------

BEGIN_MESSAGE_MAP(CTKCommandsListBox, CWnd)
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CTKToolbarButton* CTKCommandsListBox::GetButton(int index) const {
  const LRESULT data = ::SendMessageA(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return data == LB_ERR ? nullptr : reinterpret_cast<CTKToolbarButton*>(data);
}

int CTKCommandsListBox::GetCurSel() const {
  return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0));
}

void CTKCommandsListBox::OnLButtonDown(UINT, CPoint point) {
  const LRESULT hit = ::SendMessageA(m_hWnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (HIWORD(hit) != 0) {
    Default();
    return;
  }
  // The press selects the command and is not handed on (the list would wait for the
  // mouse itself); what follows is a drag of a copy of the command's button, or, when
  // the button comes up first, nothing more.
  const int index = LOWORD(hit);
  ::SetFocus(m_hWnd);
  if (index != GetCurSel()) {
    ::SendMessageA(m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hWnd), LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(m_hWnd));
  }
  CTKToolbarButton* button = GetButton(index);
  if (!button) return;
  auto* copy = static_cast<CTKToolbarButton*>(button->GetRuntimeClass()->CreateObject());
  if (!copy) return;
  copy->CopyFrom(*button);
  copy->m_bFromToolbar = FALSE;
  COleDataSource source;
  copy->PrepareDrag(source);
  delete copy;
  CToolbarDropSource& dropSource = CToolbarDropSource::Get();
  dropSource.m_bDragStarted = FALSE;
  dropSource.m_bDeleteOnDrop = TRUE;
  POINT screen = point;
  ::ClientToScreen(m_hWnd, &screen);
  CRect start(screen.x, screen.y, screen.x, screen.y);
  start.InflateRect(::GetSystemMetrics(SM_CXDRAG), ::GetSystemMetrics(SM_CYDRAG));
  source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, &start, &dropSource);
}

// --- The page ---------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTKCustomizePage, CTKPropertyPage)
  ON_MESSAGE(WM_DRAWITEM, OnDrawItemMessage)
END_MESSAGE_MAP()

const DLGTEMPLATE* CTKCustomizePage::Template() { return PageTemplate().Get(); }

CTKCustomizePage::CTKCustomizePage() : CTKPropertyPage(Template(), customize_text::kCommands) {}

CTKToolbarCustomize* CTKCustomizePage::Sheet() const {
  return dynamic_cast<CTKToolbarCustomize*>(GetSheet());
}

BOOL CTKCustomizePage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  m_wndCategory = ::GetDlgItem(m_hWnd, IDC_TKCUSTOMIZE_CATEGORIES);
  m_wndTools.SubclassDlgItem(IDC_TKCUSTOMIZE_COMMANDS, this);
  const SIZE button = CTKToolBar::GetMenuButtonSize();
  ::SendMessageA(m_wndTools.m_hWnd, LB_SETITEMHEIGHT, 0, std::max<LONG>(button.cy, 16) + 6);
  if (CTKToolbarCustomize* sheet = Sheet()) sheet->FillCategoriesListBox(m_wndCategory, TRUE);
  ::SendMessageA(m_wndCategory, LB_SETCURSEL, 0, 0);
  OnChangeSelCategory();
  return TRUE;
}

BOOL CTKCustomizePage::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == LBN_SELCHANGE) {
    if (LOWORD(wParam) == IDC_TKCUSTOMIZE_CATEGORIES) {
      OnChangeSelCategory();
      return TRUE;
    }
    if (LOWORD(wParam) == IDC_TKCUSTOMIZE_COMMANDS) {
      OnChangeSelButton();
      return TRUE;
    }
  }
  return CTKPropertyPage::OnCommand(wParam, lParam);
}

void CTKCustomizePage::OnChangeSelCategory() {
  HWND list = m_wndTools.m_hWnd;
  ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
  m_pSelButton = nullptr;
  m_strButtonDescription.Empty();
  ::SetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_DESCRIPTION, "");
  const LRESULT selected = ::SendMessageA(m_wndCategory, LB_GETCURSEL, 0, 0);
  const LRESULT data = selected < 0 ? LB_ERR : ::SendMessageA(m_wndCategory, LB_GETITEMDATA, selected, 0);
  if (data != LB_ERR && data) {
    char name[256] = "";
    ::SendMessageA(m_wndCategory, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(name));
    const BOOL all = m_strAllCategory == name;
    const CObList& buttons = *reinterpret_cast<const CObList*>(data);
    for (POSITION pos = buttons.GetHeadPosition(); pos;) {
      auto* button = static_cast<CTKToolbarButton*>(buttons.GetNext(pos));
      WPARAM at = static_cast<WPARAM>(-1);
      if (all) {
        // "All Commands" reads alphabetically.
        const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
          if (m_wndTools.GetButton(i)->m_strText.CompareNoCase(button->m_strText) > 0) {
            at = static_cast<WPARAM>(i);
            break;
          }
      }
      ::SendMessageA(list, LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(button));
    }
  }
  ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void CTKCustomizePage::OnChangeSelButton() {
  const int selected = m_wndTools.GetCurSel();
  m_pSelButton = selected >= 0 ? m_wndTools.GetButton(selected) : nullptr;
  m_strButtonDescription.Empty();
  if (m_pSelButton) {
    if (m_pSelButton->m_nID == 0) {
      m_strButtonDescription = m_pSelButton->m_strText;
    } else {
      CString prompt;
      if (prompt.LoadString(m_pSelButton->m_nID)) {
        const int newline = prompt.Find('\n');
        m_strButtonDescription = newline >= 0 ? prompt.Left(newline) : prompt;
      }
    }
  }
  ::SetDlgItemTextA(m_hWnd, IDC_TKCUSTOMIZE_DESCRIPTION, m_strButtonDescription);
}

void CTKCustomizePage::OnDrawItem(int, LPDRAWITEMSTRUCT item) {
  if (item->itemID == static_cast<UINT>(-1)) return;
  auto* button = reinterpret_cast<CTKToolbarButton*>(item->itemData);
  CDC dc(item->hDC);
  CRect rect(item->rcItem);
  ::FillRect(item->hDC, &rect, ::GetSysColorBrush(COLOR_WINDOW));
  if (button) button->OnDrawOnCustomizeList(&dc, rect, (item->itemState & ODS_SELECTED) != 0);
}

LRESULT CTKCustomizePage::OnDrawItemMessage(WPARAM id, LPARAM item) {
  if (id != IDC_TKCUSTOMIZE_COMMANDS) return Default();
  OnDrawItem(static_cast<int>(id), reinterpret_cast<LPDRAWITEMSTRUCT>(item));
  return TRUE;
}
