#include "toolkit/frames/TKWindowsDialog.h"

#include "toolkit/bars/DialogTemplateWriter.h"
#include "toolkit/frames/TKFramesText.h"
#include "toolkit/frames/TKMDIChildWnd.h"
#include "toolkit/frames/TKMDIClientArea.h"
#include "toolkit/frames/TKMDIFrameWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include "platform/afx/linux_headers_end.h"

using namespace tk_frames_text;

namespace {

constexpr DWORD kButton = BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP;

const DialogTemplateWriter& WindowsTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kWindowsCaption, 262, 166,
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK);
    w.Control(0x83, CTKWindowsDialog::kList, "",
              LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                  WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP,
              7, 7, 176, 152);
    struct Entry {
      int id;
      const char* text;
    };
    const Entry buttons[] = {{CTKWindowsDialog::kActivate, kActivateWindow},
                             {IDOK, kWindowsOk},
                             {CTKWindowsDialog::kSave, kSaveWindows},
                             {CTKWindowsDialog::kClose, kCloseWindows},
                             {CTKWindowsDialog::kCascade, kCascadeWindows},
                             {CTKWindowsDialog::kTileHorizontally, kTileHorizontally},
                             {CTKWindowsDialog::kTileVertically, kTileVertically},
                             {CTKWindowsDialog::kMinimize, kMinimizeWindows},
                             {IDHELP, kWindowsHelp}};
    short y = 7;
    for (const Entry& b : buttons) {
      w.Control(0x80, b.id, b.text,
                b.id == CTKWindowsDialog::kActivate ? kButton | BS_DEFPUSHBUTTON : kButton, 190, y, 65, 14);
      y += 17;
    }
    return w;
  }();
  return writer;
}

bool HasSystemMenu(HWND window) { return (::GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU) != 0; }

bool CloseIsDisabled(HWND window) {
  HMENU menu = ::GetSystemMenu(window, FALSE);
  if (!menu) return false;
  const UINT state = ::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED));
}

CDocument* DocumentOf(HWND window) {
  auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(window));
  return frame ? frame->GetActiveDocument() : nullptr;
}

bool CanSave(HWND window) {
  CWnd* wnd = CWnd::FromHandlePermanent(window);
  if (auto* child = dynamic_cast<CTKMDIChildWnd*>(wnd)) return child->CanSaveDocument() != FALSE;
  return DocumentOf(window) != nullptr;
}

}  // namespace

CTKWindowsDialog::CTKWindowsDialog(CTKMDIFrameWnd* frame) : m_pFrame(frame) {
  // The program's own template when it has one, else the toolkit's.
  if (::FindResourceA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(kTemplateId), (LPCSTR)RT_DIALOG)) {
    m_nIDTemplate = kTemplateId;
    m_pParentWnd = frame;
  } else {
    InitModalIndirect(WindowsTemplate().Get(), frame);
  }
}

BEGIN_MESSAGE_MAP(CTKWindowsDialog, CTKDialog)
  ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
  ON_MESSAGE(WM_MEASUREITEM, OnMeasureItem)
END_MESSAGE_MAP()

BOOL CTKWindowsDialog::OnInitDialog() {
  CTKDialog::OnInitDialog();
  FillList();
  return TRUE;
}

void CTKWindowsDialog::FillList() {
  HWND list = List();
  ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
  if (!m_pFrame || !m_pFrame->m_hWndMDIClient) return;
  HDC dc = ::GetDC(list);
  HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(list, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (HWND child = ::GetWindow(m_pFrame->m_hWndMDIClient, GW_CHILD); child;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    // Only document windows: the client's own icon titles have an owner.
    if (!::IsWindowVisible(child) || ::GetWindow(child, GW_OWNER)) continue;
    char title[256] = "";
    ::GetWindowTextA(child, title, sizeof title);
    const LRESULT at = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title));
    if (at < 0) continue;
    ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(child));
    SIZE size{};
    ::GetTextExtentPoint32A(dc, title, lstrlenA(title), &size);
    widest = std::max<int>(widest, size.cx);
  }
  ::SelectObject(dc, oldFont);
  ::ReleaseDC(list, dc);
  ::SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 30), 0);
  // The active window starts selected.
  HWND active = reinterpret_cast<HWND>(::SendMessageA(m_pFrame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
  const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i)
    if (reinterpret_cast<HWND>(::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == active)
      ::SendMessageA(list, LB_SETSEL, TRUE, i);
  UpdateButtons();
}

std::vector<HWND> CTKWindowsDialog::Selected() const {
  HWND list = List();
  std::vector<HWND> windows;
  const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (::SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) <= 0) continue;
    HWND window = reinterpret_cast<HWND>(::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    if (::IsWindow(window)) windows.push_back(window);
  }
  return windows;
}

void CTKWindowsDialog::UpdateButtons() {
  const std::vector<HWND> selected = Selected();
  HWND list = List();
  bool allHaveSystemMenu = true;
  const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i)
    if (!HasSystemMenu(
            reinterpret_cast<HWND>(::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0))))
      allHaveSystemMenu = false;
  const size_t n = selected.size();
  const bool closable = n >= 1 && std::none_of(selected.begin(), selected.end(), CloseIsDisabled);
  const bool savable = std::any_of(selected.begin(), selected.end(), CanSave);
  struct {
    UINT id;
    bool enabled;
  } const states[] = {{kActivate, n == 1},
                      {kSave, savable},
                      {kClose, closable},
                      {kCascade, n >= 2 && allHaveSystemMenu},
                      {kTileHorizontally, n >= 2 && allHaveSystemMenu},
                      {kTileVertically, n >= 2 && allHaveSystemMenu},
                      {kMinimize, n >= 1 && allHaveSystemMenu}};
  for (const auto& state : states)
    if (HWND button = ::GetDlgItem(m_hWnd, static_cast<int>(state.id))) ::EnableWindow(button, state.enabled);
}

void CTKWindowsDialog::PrepareArrange(const std::vector<HWND>& selected) {
  HWND client = m_pFrame->m_hWndMDIClient;
  for (HWND child = ::GetWindow(client, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child) || ::GetWindow(child, GW_OWNER)) continue;
    if (std::find(selected.begin(), selected.end(), child) != selected.end()) {
      if (::IsIconic(child) || ::IsZoomed(child))
        ::SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    } else if (!::IsIconic(child)) {
      ::ShowWindow(child, SW_MINIMIZE);
    }
  }
}

BOOL CTKWindowsDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (id == kList) {
    if (code == LBN_SELCHANGE) UpdateButtons();
    if (code == LBN_DBLCLK && Selected().size() == 1)
      ::PostMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(kActivate, BN_CLICKED), 0);
    return TRUE;
  }
  if (code != BN_CLICKED || !m_pFrame || !m_pFrame->m_hWndMDIClient)
    return CTKDialog::OnCommand(wParam, lParam);
  HWND client = m_pFrame->m_hWndMDIClient;
  const std::vector<HWND> selected = Selected();
  switch (id) {
    case kActivate:
      if (selected.size() != 1) return TRUE;
      if (::IsIconic(selected[0]))
        ::SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(selected[0]), 0);
      ::SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(selected[0]), 0);
      EndDialog(IDOK);
      return TRUE;
    case kSave:
      for (HWND window : selected)
        if (CanSave(window))
          if (CDocument* doc = DocumentOf(window)) doc->DoFileSave();
      return TRUE;
    case kClose:
      for (HWND window : selected)
        if (::IsWindow(window)) ::SendMessageA(window, WM_CLOSE, 0, 0);
      FillList();
      return TRUE;
    case kCascade:
      PrepareArrange(selected);
      ::SendMessageA(client, WM_MDICASCADE, 0, 0);
      return TRUE;
    case kTileHorizontally:
    case kTileVertically:
      PrepareArrange(selected);
      ::SendMessageA(client, WM_MDITILE, id == kTileHorizontally ? MDITILE_HORIZONTAL : MDITILE_VERTICAL, 0);
      return TRUE;
    case kMinimize:
      for (HWND window : selected) ::ShowWindow(window, SW_MINIMIZE);
      return TRUE;
    case IDHELP: {
      static const UINT help = ::RegisterWindowMessageA("WINDOW_HELP");
      ::SendMessageA(m_pFrame->m_hWnd, help, 0, reinterpret_cast<LPARAM>(m_hWnd));
      return TRUE;
    }
    default:
      return CTKDialog::OnCommand(wParam, lParam);
  }
}

LRESULT CTKWindowsDialog::OnMeasureItem(WPARAM, LPARAM lParam) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (!item || item->CtlID != kList) return Default();
  item->itemHeight = std::max(::GetSystemMetrics(SM_CYSMICON) + 2, 16);
  return TRUE;
}

LRESULT CTKWindowsDialog::OnDrawItem(WPARAM, LPARAM lParam) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  if (!item || item->CtlID != kList) return Default();
  if (item->itemID == static_cast<UINT>(-1)) return TRUE;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  HDC dc = item->hDC;
  ::FillRect(dc, &item->rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  HWND window = reinterpret_cast<HWND>(item->itemData);
  const int iconSize = ::GetSystemMetrics(SM_CXSMICON);
  RECT text = item->rcItem;
  text.left += 2;
  if (HICON icon = CTKMDIClientArea::IconOf(window)) {
    const int top = item->rcItem.top + (item->rcItem.bottom - item->rcItem.top - iconSize) / 2;
    ::DrawIconEx(dc, text.left, top, icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
  }
  text.left += iconSize + 4;
  char title[256] = "";
  ::SendMessageA(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(title));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  ::DrawTextA(dc, title, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item->itemState & ODS_FOCUS) ::DrawFocusRect(dc, &item->rcItem);
  return TRUE;
}
