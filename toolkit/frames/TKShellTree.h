#pragma once
// A tree of shell folders rooted at the desktop, filled as items are expanded. Linked to
// a shell list, selecting a folder here shows it there and the list's navigation selects
// its folder here.
#include <windows.h>
#include <shlobj.h>

#include "platform/afx/afxwin.h"
#include "toolkit/frames/ShellManager.h"

class CTKShellList;

class CTKShellTree : public CTreeCtrl {
public:
  CTKShellTree();
  ~CTKShellTree() override;

  // Refused (FALSE) without the toolkit-wide shell manager.
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  virtual CString GetItemText(TKShellItemInfo* info);
  virtual int GetItemIcon(TKShellItemInfo* info, BOOL open);
  virtual void OnItemExpanding(HTREEITEM item);
  using CTreeCtrl::GetItemText;

  void LinkList(CTKShellList* list);
  CTKShellList* LinkedList() const;
  BOOL PathOfItem(CString& path, HTREEITEM item = nullptr);
  BOOL SelectByPath(const char* path);
  BOOL SelectByItemList(LPCITEMIDLIST list);
  TKShellItemInfo* GetItemInfo(HTREEITEM item) const {
    return reinterpret_cast<TKShellItemInfo*>(GetItemData(item));
  }

  BOOL m_shellContextMenu = TRUE;
  HWND m_hwndList = nullptr;
  BOOL m_selecting = FALSE;
  SHCONTF m_enumFlags = SHCONTF_FOLDERS;

protected:
  void PreSubclassWindow() override;
  void OnDestroy();
  void OnItemExpandingNotify(NMHDR* header, LRESULT* result);
  void OnItemExpanded(NMHDR* header, LRESULT* result);
  void OnSelChanged(NMHDR* header, LRESULT* result);
  void OnDeleteItem(NMHDR* header, LRESULT* result);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnContextMenu(CWnd* wnd, CPoint point);
  // WM_DRAWITEM, WM_MEASUREITEM and WM_INITMENUPOPUP: the shell's open context menu
  // draws its own items.
  LRESULT OnShellMenuMessage(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  friend class CTKShellList;
  void InitTree();
  void FillTree();
  HTREEITEM InsertFolderItem(HTREEITEM parent, TKShellItemInfo* info, BOOL children, BOOL shared);
  BOOL m_initialised = FALSE;
};
