#include "toolkit/bars/PropertySheetCtrl.h"

namespace {
// The id a property sheet gives its tab control.
constexpr UINT kTabControlId = 0x3020;
}  // namespace

BOOL CPropertySheetCtrl::CreateOver(CWnd* parent, UINT placeholderId) {
  HWND placeholder = ::GetDlgItem(parent->m_hWnd, static_cast<int>(placeholderId));
  if (!placeholder) return FALSE;
  CRect rect;
  ::GetWindowRect(placeholder, &rect);
  ::MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
  m_psh.dwFlags |= PSH_NOAPPLYNOW;
  if (!Create(parent, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT)) return FALSE;
  ::SetParent(m_hWnd, parent->m_hWnd);
  ::SetWindowLongPtrA(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(placeholderId));
  ::DestroyWindow(placeholder);
  // The sheet's own buttons have no place in a dialog that has its own.
  for (int id : {IDOK, IDCANCEL, IDHELP, 0x3021})
    if (HWND button = ::GetDlgItem(m_hWnd, id)) ::ShowWindow(button, SW_HIDE);
  ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  Layout();
  ::ShowWindow(m_hWnd, SW_SHOWNA);
  return TRUE;
}

void CPropertySheetCtrl::Layout() {
  if (!m_hWnd) return;
  HWND tab = reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL));
  if (!tab) return;
  CRect client;
  GetClientRect(&client);
  ::SetWindowPos(tab, nullptr, client.left, client.top, client.Width(), client.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  CRect display = client;
  ::SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  display.InflateRect(-::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
  for (int i = 0; i < GetPageCount(); ++i) {
    CPropertyPage* page = GetPage(i);
    if (page && page->m_hWnd)
      ::SetWindowPos(page->m_hWnd, nullptr, display.left, display.top, display.Width(), display.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CPropertySheetCtrl::OnSize(UINT type, int cx, int cy) {
  CPropertySheet::OnSize(type, cx, cy);
  Layout();
}

void CPropertySheetCtrl::OnTabSelChange(NMHDR*, LRESULT* result) {
  // The sheet shows the newly chosen page first; it is then placed in the tab.
  *result = Default();
  Layout();
}

BEGIN_MESSAGE_MAP(CPropertySheetCtrl, CPropertySheet)
  ON_WM_SIZE()
  ON_NOTIFY(TCN_SELCHANGE, kTabControlId, OnTabSelChange)
END_MESSAGE_MAP()
