#include "toolkit/bars/TKMousePage.h"

#include "toolkit/bars/CustomizeText.h"
#include "toolkit/bars/DialogTemplateWriter.h"
#include "toolkit/bars/TKMouseManager.h"
#include "toolkit/bars/TKToolbarCustomize.h"

IMPLEMENT_DYNAMIC(CTKMousePage, CWnd)

namespace {
using namespace customize_text;

constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_3DLOOK;

const DialogTemplateWriter& PageTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kMouse, 250, 170, kPageStyle);
    w.Control(0x82, -1, kViewsLabel, SS_LEFT | WS_VISIBLE, 7, 7, 90, 8);
    w.Control(WC_LISTVIEWA, IDC_TKMOUSE_VIEWS, "",
              LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP |
                  WS_VISIBLE,
              7, 18, 90, 110);
    w.Control(0x80, IDC_TKMOUSE_NO_DBLCLICK, kNoDoubleClick,
              BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, 104, 18, 139, 10);
    w.Control(0x80, IDC_TKMOUSE_USE_DBLCLICK, kAssociateDoubleClick, BS_AUTORADIOBUTTON | WS_VISIBLE, 104, 32,
              139, 10);
    w.Control(0x83, IDC_TKMOUSE_COMMANDS, "",
              LBS_NOTIFY | LBS_HASSTRINGS | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER |
                  WS_TABSTOP | WS_VISIBLE,
              114, 46, 129, 82);
    w.Control(0x82, -1, kDescriptionLabel, SS_LEFT | WS_VISIBLE, 7, 134, 80, 8);
    w.Control(0x82, IDC_TKMOUSE_DESCRIPTION, "", SS_LEFT | WS_VISIBLE, 7, 145, 236, 20);
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

BEGIN_MESSAGE_MAP(CTKMousePage, CTKPropertyPage)
  ON_NOTIFY(LVN_ITEMCHANGED, IDC_TKMOUSE_VIEWS, OnViewChanged)
END_MESSAGE_MAP()

const DLGTEMPLATE* CTKMousePage::Template() { return PageTemplate().Get(); }

CTKMousePage::CTKMousePage() : CTKPropertyPage(Template(), customize_text::kMouse) {}

CTKMousePage::~CTKMousePage() {
  if (m_ViewsImages) ImageList_Destroy(m_ViewsImages);
}

BOOL CTKMousePage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  HWND views = Item(IDC_TKMOUSE_VIEWS);
  const int iconWidth = ::GetSystemMetrics(SM_CXSMICON);
  m_ViewsImages = ImageList_Create(iconWidth, ::GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK, 0, 4);
  ::SendMessageA(views, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_ViewsImages));
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = 10;
  ::SendMessageA(views, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  int widest = 0;
  if (g_pMouseManager) {
    CStringList names;
    g_pMouseManager->GetViewNames(names);
    for (POSITION pos = names.GetHeadPosition(); pos;) {
      const CString name = names.GetNext(pos);
      const int view = g_pMouseManager->GetViewIdByName(name);
      int image = -1;
      if (const UINT iconId = g_pMouseManager->GetViewIconId(view))
        if (HICON icon =
                static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId),
                                                IMAGE_ICON, iconWidth, iconWidth, 0))) {
          image = ImageList_AddIcon(m_ViewsImages, icon);
          ::DestroyIcon(icon);
        }
      // Sorted by name: inserted before the first greater one.
      const int count = static_cast<int>(::SendMessageA(views, LVM_GETITEMCOUNT, 0, 0));
      int at = count;
      for (int i = 0; i < count; ++i) {
        char text[256] = "";
        LVITEMA probe{};
        probe.iSubItem = 0;
        probe.pszText = text;
        probe.cchTextMax = sizeof text;
        ::SendMessageA(views, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&probe));
        if (name.CompareNoCase(text) < 0) {
          at = i;
          break;
        }
      }
      LVITEMA item{};
      item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
      item.iItem = at;
      item.pszText = const_cast<char*>(static_cast<const char*>(name));
      item.iImage = image;
      item.lParam = view;
      ::SendMessageA(views, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      widest = std::max(
          widest, static_cast<int>(::SendMessageA(views, LVM_GETSTRINGWIDTHA, 0,
                                                  reinterpret_cast<LPARAM>(static_cast<const char*>(name)))));
    }
  }
  ::SendMessageA(views, LVM_SETCOLUMNWIDTH, 0, widest + iconWidth + 10);
  if (auto* sheet = dynamic_cast<CTKToolbarCustomize*>(GetSheet()))
    sheet->FillAllCommandsList(Item(IDC_TKMOUSE_COMMANDS));
  LVITEMA first{};
  first.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  first.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(views, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
  OnViewSelected();
  return TRUE;
}

void CTKMousePage::OnViewChanged(NMHDR* header, LRESULT* result) {
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED)) OnViewSelected();
  *result = 0;
}

void CTKMousePage::OnViewSelected() {
  HWND views = Item(IDC_TKMOUSE_VIEWS);
  const int selected =
      static_cast<int>(::SendMessageA(views, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  m_iCurrViewId = -1;
  if (selected >= 0) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = selected;
    ::SendMessageA(views, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    m_iCurrViewId = static_cast<int>(item.lParam);
  }
  HWND commands = Item(IDC_TKMOUSE_COMMANDS);
  const UINT command =
      (g_pMouseManager && m_iCurrViewId >= 0) ? g_pMouseManager->GetViewDblClickCommand(m_iCurrViewId) : 0;
  ::CheckRadioButton(m_hWnd, IDC_TKMOUSE_NO_DBLCLICK, IDC_TKMOUSE_USE_DBLCLICK,
                     command ? IDC_TKMOUSE_USE_DBLCLICK : IDC_TKMOUSE_NO_DBLCLICK);
  ::EnableWindow(commands, command != 0);
  int index = -1;
  if (command) {
    const int count = static_cast<int>(::SendMessageA(commands, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && index < 0; ++i)
      if (static_cast<UINT>(::SendMessageA(commands, LB_GETITEMDATA, i, 0)) == command) index = i;
  }
  ::SendMessageA(commands, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SetDlgItemTextA(m_hWnd, IDC_TKMOUSE_DESCRIPTION, command ? PromptOf(command) : CString());
}

BOOL CTKMousePage::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDC_TKMOUSE_NO_DBLCLICK:
      if (HIWORD(wParam) == BN_CLICKED) OnNoDblClick();
      return TRUE;
    case IDC_TKMOUSE_USE_DBLCLICK:
      if (HIWORD(wParam) == BN_CLICKED) OnUseDblClick();
      return TRUE;
    case IDC_TKMOUSE_COMMANDS:
      if (HIWORD(wParam) == LBN_SELCHANGE) OnSelchangeListOfCommands();
      return TRUE;
    default:
      return CTKPropertyPage::OnCommand(wParam, lParam);
  }
}

void CTKMousePage::OnNoDblClick() {
  if (g_pMouseManager && m_iCurrViewId >= 0) g_pMouseManager->SetCommandForDblClick(m_iCurrViewId, 0);
  HWND commands = Item(IDC_TKMOUSE_COMMANDS);
  ::SendMessageA(commands, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  ::EnableWindow(commands, FALSE);
  ::SetDlgItemTextA(m_hWnd, IDC_TKMOUSE_DESCRIPTION, "");
}

void CTKMousePage::OnUseDblClick() {
  if (m_iCurrViewId < 0) {
    ::MessageBeep(static_cast<UINT>(-1));
    return;
  }
  ::EnableWindow(Item(IDC_TKMOUSE_COMMANDS), TRUE);
  // The view runs nothing until a command is chosen.
  if (g_pMouseManager) g_pMouseManager->SetCommandForDblClick(m_iCurrViewId, 0);
}

void CTKMousePage::OnSelchangeListOfCommands() {
  if (m_iCurrViewId < 0) {
    ::MessageBeep(static_cast<UINT>(-1));
    return;
  }
  HWND commands = Item(IDC_TKMOUSE_COMMANDS);
  const LRESULT selected = ::SendMessageA(commands, LB_GETCURSEL, 0, 0);
  if (selected < 0) return;
  const UINT command = static_cast<UINT>(::SendMessageA(commands, LB_GETITEMDATA, selected, 0));
  ::SetDlgItemTextA(m_hWnd, IDC_TKMOUSE_DESCRIPTION, PromptOf(command));
  if (g_pMouseManager) g_pMouseManager->SetCommandForDblClick(m_iCurrViewId, command);
}
