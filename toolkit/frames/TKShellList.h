#pragma once
// A report list of one shell folder's items (name, size, type, modification time),
// folders and files as the shell orders them. Opening a folder item shows it; opening
// anything else runs its default shell command. It can be linked to a shell tree so
// both show the same folder.
#include <windows.h>
#include <shlobj.h>

#include "platform/afx/afxwin.h"
#include "toolkit/frames/ShellManager.h"
#include "toolkit/frames/TKListCtrl.h"

class CTKShellTree;

class CTKShellList : public CTKListCtrl {
public:
  CTKShellList();
  ~CTKShellList() override;

  // Refused (FALSE) without the toolkit-wide shell manager. Report style is the caller's.
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // The sorting list's comparison: the folder's own order for names, file status for
  // sizes and times, type names without case.
  int CompareItems(LPARAM item1, LPARAM item2, int column) override;

  virtual HRESULT Relist();
  virtual HRESULT ShowFolder(TKShellItemInfo* folder);
  virtual HRESULT ShowFolderPath(const char* path);
  virtual HRESULT ShowParentFolder();
  virtual void InitColumns();
  using CListCtrl::GetItemText;
  virtual CString GetItemText(int item, int column, TKShellItemInfo* info);
  virtual int GetItemIcon(int item, TKShellItemInfo* info);
  virtual void FormatFileSize(ULONGLONG size, CString& text);
  virtual void FormatFileDate(const FILETIME& time, CString& text);

  CTKShellTree* LinkedTree() const;
  // The absolute list of the folder shown (null before any), and whether it is the desktop.
  LPCITEMIDLIST GetCurrentItemList() const { return m_pidlCurrent; }
  BOOL IsDesktop() const { return m_isDesktop; }
  // The file-system path of the folder shown; FALSE when it has none.
  BOOL GetCurrentFolderPath(CString& path) const;

  IShellFolder* m_pFolder = nullptr;
  LPITEMIDLIST m_pidlCurrent = nullptr;
  BOOL m_shellContextMenu = TRUE;
  HWND m_hwndTree = nullptr;
  BOOL m_isDesktop = FALSE;
  BOOL m_noTreeSync = FALSE;
  SHCONTF m_enumFlags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;

protected:
  void PreSubclassWindow() override;
  void OnDestroy();
  void OnActivateItem(NMHDR* header, LRESULT* result);
  void OnDeleteItem(NMHDR* header, LRESULT* result);
  void OnContextMenu(CWnd* wnd, CPoint point);
  // WM_DRAWITEM, WM_MEASUREITEM and WM_INITMENUPOPUP: the shell's open context menu
  // draws its own items.
  LRESULT OnShellMenuMessage(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  friend class CTKShellTree;
  void InitShellList();
  void ReleaseCurrentFolder();
  void Enumerate();
  void OpenItem(int index);

  BOOL m_initialised = FALSE;
};
