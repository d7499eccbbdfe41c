#include "app/controls/FolderDialog.h"

CFolderDialog::CFolderDialog(CWnd* owner, LPCITEMIDLIST root, UINT titleId) {
  m_bi.hwndOwner = owner ? owner->m_hWnd : nullptr;
  m_bi.pidlRoot = root;
  m_bi.pszDisplayName = m_szPath;
  m_bi.lpfn = BrowseCallback;
  m_bi.lParam = reinterpret_cast<LPARAM>(this);
  if (titleId) SetTitle(titleId);
}

void CFolderDialog::SetOwner(CWnd* owner) {
  if (!m_hBrowser) m_bi.hwndOwner = owner ? owner->m_hWnd : nullptr;
}

void CFolderDialog::SetRoot(LPCITEMIDLIST root) {
  if (!m_hBrowser) m_bi.pidlRoot = root;
}

void CFolderDialog::SetFlags(UINT flags) {
  if (!m_hBrowser) m_bi.ulFlags = flags;
}

void CFolderDialog::SetTitle(const char* title) {
  if (m_hBrowser) return;
  lstrcpynA(m_szTitle, title ? title : "", MAX_PATH);
  m_bOwnTitle = TRUE;
  m_bi.lpszTitle = m_szTitle;
}

BOOL CFolderDialog::SetTitle(UINT titleId) {
  if (titleId < 1 || m_hBrowser) return FALSE;
  CString text;
  if (!text.LoadString(titleId)) return FALSE;
  SetTitle(text);
  return TRUE;
}

int CALLBACK CFolderDialog::BrowseCallback(HWND hwnd, UINT message, LPARAM lParam, LPARAM data) {
  auto* self = reinterpret_cast<CFolderDialog*>(data);
  self->m_hBrowser = hwnd;
  if (message == BFFM_INITIALIZED) self->OnInitialized();
  if (message == BFFM_SELCHANGED) self->OnSelChanged(reinterpret_cast<LPCITEMIDLIST>(lParam));
  return 0;
}

BOOL CFolderDialog::DoModal() {
  BOOL chosen = FALSE;
  LPITEMIDLIST item = ::SHBrowseForFolderA(&m_bi);
  if (item) {
    m_szPath[0] = '\0';
    if (::SHGetPathFromIDListA(item, m_szPath)) {
      m_strFolderPath = m_szPath;
      chosen = TRUE;
    }
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator) {
      allocator->Free(item);
      allocator->Release();
    }
  }
  m_hBrowser = nullptr;
  return chosen;
}

void CFolderDialog::SetSelection(const char* path) {
  if (m_hBrowser) ::SendMessageA(m_hBrowser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
}

void CFolderDialog::SetStatusText(const char* text) {
  if (m_hBrowser) ::SendMessageA(m_hBrowser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

CFolderDialogEx::CFolderDialogEx(CWnd* owner, UINT flags) : CFolderDialog(owner) { SetFlags(flags); }

void CFolderDialogEx::OnInitialized() {
  SetSelection(m_strStartFolder);
  SetStatusText(m_strStartFolder);
}

void CFolderDialogEx::OnSelChanged(LPCITEMIDLIST item) {
  char path[MAX_PATH] = {};
  if (!::SHGetPathFromIDListA(item, path)) path[0] = '\0';
  SetStatusText(path);
}
