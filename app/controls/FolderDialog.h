#pragma once
// The shell's folder browser: the chosen folder's path, or FALSE when the user
// cancelled or chose an item without a file-system path. CFolderDialogEx opens it at
// a start folder and shows the selected path as status text.
#include "platform/afx/afxwin.h"

#include <shlobj.h>

class CFolderDialog {
public:
  CFolderDialog(CWnd* owner = nullptr, LPCITEMIDLIST root = nullptr, UINT titleId = 0);
  virtual ~CFolderDialog() = default;

  // Each is ignored while the browser runs.
  void SetOwner(CWnd* owner);
  void SetRoot(LPCITEMIDLIST root);
  void SetFlags(UINT flags);
  void SetTitle(const char* title);
  // FALSE for an id below 1 or a missing string.
  BOOL SetTitle(UINT titleId);

  BOOL DoModal();
  CString GetFolderPath() const { return m_strFolderPath; }
  // While the browser runs.
  void SetSelection(const char* path);
  void SetStatusText(const char* text);

protected:
  virtual void OnInitialized() {}
  virtual void OnSelChanged(LPCITEMIDLIST) {}
  HWND m_hBrowser = nullptr;

private:
  static int CALLBACK BrowseCallback(HWND hwnd, UINT message, LPARAM lParam, LPARAM data);
  BOOL m_bOwnTitle = FALSE;
  char m_szTitle[MAX_PATH] = {};
  BROWSEINFOA m_bi{};
  char m_szPath[MAX_PATH] = {};
  CString m_strFolderPath;
};

class CFolderDialogEx : public CFolderDialog {
public:
  explicit CFolderDialogEx(CWnd* owner = nullptr, UINT flags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT);
  void SetStartFolder(const char* path) { m_strStartFolder = path; }

protected:
  void OnInitialized() override;
  void OnSelChanged(LPCITEMIDLIST item) override;

private:
  CString m_strStartFolder;
};
