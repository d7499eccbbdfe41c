#include "platform/afx/PropertySheet.h"

#include "platform/afx/WinApp.h"

namespace {
// The sheet being made on this thread; the system names it only by its window.
thread_local CPropertySheet* t_creatingSheet = nullptr;
// Posted to itself once the system has finished setting the sheet up; registered
// before the first sheet posts it.
UINT g_sheetReadyMessage = 0;
UINT SheetReadyMessage() {
  if (!g_sheetReadyMessage) g_sheetReadyMessage = ::RegisterWindowMessageA("TarvelPropertySheetInit");
  return g_sheetReadyMessage;
}
}  // namespace

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT selectPage)
    : m_caption(caption ? caption : ""), m_pParentWnd(parent) {
  m_psh.dwSize = sizeof m_psh;
  m_psh.nStartPage = selectPage;
}

CPropertySheet::~CPropertySheet() {
  if (m_hWnd && ::IsWindow(m_hWnd)) DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  if (!page) return;
  m_pages.push_back(page);
  if (m_hWnd) {
    HPROPSHEETPAGE handle = ::CreatePropertySheetPageA(&page->m_psp);
    if (handle) SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle));
  }
}

void CPropertySheet::RemovePage(int index) {
  if (index < 0 || index >= GetPageCount()) return;
  if (m_hWnd) SendMessage(PSM_REMOVEPAGE, static_cast<WPARAM>(index));
  m_pages.erase(m_pages.begin() + index);
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

int CPropertySheet::GetPageIndex(CPropertyPage* page) const {
  for (size_t i = 0; i < m_pages.size(); ++i)
    if (m_pages[i] == page) return static_cast<int>(i);
  return -1;
}

int CPropertySheet::GetActiveIndex() const {
  if (!m_hWnd) return static_cast<int>(m_psh.nStartPage);
  HWND tab = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0));
  return tab ? static_cast<int>(::SendMessageA(tab, TCM_GETCURSEL, 0, 0)) : -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(GetActiveIndex()); }

BOOL CPropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= GetPageCount()) return FALSE;
  if (!m_hWnd) {
    m_psh.nStartPage = static_cast<UINT>(index);
    return TRUE;
  }
  return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(index), 0));
}

CWnd* CPropertySheet::GetTabControl() const {
  return m_hWnd ? FromHandle(reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0)))
                : nullptr;
}

HWND CPropertySheet::OwnerWindow() const {
  HWND owner = AfxGetSafeHwnd(m_pParentWnd);
  if (!owner) {
    CWnd* main = AfxGetMainWnd();
    if (main && ::IsWindow(main->m_hWnd)) owner = main->m_hWnd;
  }
  while (owner && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
  return owner;
}

void CPropertySheet::BuildHeader(DWORD extraFlags) {
  m_records.clear();
  for (CPropertyPage* page : m_pages) m_records.push_back(page->m_psp);
  m_psh.dwSize = sizeof m_psh;
  m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_USECALLBACK | extraFlags;
  m_psh.hwndParent = OwnerWindow();
  m_psh.hInstance = AfxGetInstanceHandle();
  m_psh.pszCaption = static_cast<const char*>(m_caption);
  m_psh.nPages = static_cast<UINT>(m_records.size());
  if (m_psh.nStartPage >= m_psh.nPages) m_psh.nStartPage = 0;
  m_psh.ppsp = m_records.data();
  m_psh.pfnCallback = AfxPropSheetCallback;
}

int CALLBACK AfxPropSheetCallback(HWND hwnd, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED && t_creatingSheet && !t_creatingSheet->m_hWnd) {
    CPropertySheet* sheet = t_creatingSheet;
    if (sheet->SubclassWindow(hwnd)) ::PostMessageA(hwnd, SheetReadyMessage(), 0, 0);
  }
  return 0;
}

INT_PTR CPropertySheet::DoModal() {
  if (m_hWnd || m_pages.empty()) return -1;
  m_psh.dwFlags &= ~PSH_MODELESS;
  BuildHeader(0);
  HWND owner = m_psh.hwndParent;
  CPropertySheet* previous = t_creatingSheet;
  t_creatingSheet = this;
  INT_PTR result = ::PropertySheetA(&m_psh);
  t_creatingSheet = previous;
  if (owner && ::IsWindow(owner)) ::SetActiveWindow(owner);
  if (result < 0) return -1;
  return result > 0 ? IDOK : IDCANCEL;
}

BOOL CPropertySheet::Create(CWnd* parent, DWORD style, DWORD exStyle) {
  if (m_hWnd || m_pages.empty()) return FALSE;
  if (parent) m_pParentWnd = parent;
  BuildHeader(PSH_MODELESS);
  CPropertySheet* previous = t_creatingSheet;
  t_creatingSheet = this;
  HWND hwnd = reinterpret_cast<HWND>(::PropertySheetA(&m_psh));
  t_creatingSheet = previous;
  if (!hwnd || m_hWnd != hwnd) return FALSE;
  if (style != (DWORD)-1) ::SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
  if (exStyle) ::SetWindowLongA(hwnd, GWL_EXSTYLE, static_cast<LONG>(exStyle));
  return TRUE;
}

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
  ON_REGISTERED_MESSAGE(g_sheetReadyMessage, OnSheetReady)
END_MESSAGE_MAP()

LRESULT CPropertySheet::OnSheetReady(WPARAM, LPARAM) {
  OnInitDialog();
  return 0;
}
