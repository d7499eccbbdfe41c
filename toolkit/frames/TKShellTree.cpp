#include "toolkit/frames/TKShellTree.h"

#include "toolkit/frames/TKShellList.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

int CALLBACK CompareTreeFolders(LPARAM item1, LPARAM item2, LPARAM folder) {
  auto* info1 = reinterpret_cast<TKShellItemInfo*>(item1);
  auto* info2 = reinterpret_cast<TKShellItemInfo*>(item2);
  if (!info1 || !info2 || !folder) return 0;
  HRESULT hr = reinterpret_cast<IShellFolder*>(folder)->CompareIDs(0, info1->relative, info2->relative);
  return static_cast<short>(HRESULT_CODE(hr));
}

CString DisplayNameOf(LPCITEMIDLIST absolute) {
  SHFILEINFOA file{};
  if (!absolute || !::SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &file, sizeof(file),
                                     SHGFI_PIDL | SHGFI_DISPLAYNAME))
    return CString();
  return CString(file.szDisplayName);
}

}  // namespace

BEGIN_MESSAGE_MAP(CTKShellTree, CTreeCtrl)
  ON_WM_DESTROY()
  ON_NOTIFY_REFLECT(TVN_ITEMEXPANDINGA, OnItemExpandingNotify)
  ON_NOTIFY_REFLECT(TVN_ITEMEXPANDEDA, OnItemExpanded)
  ON_NOTIFY_REFLECT(TVN_SELCHANGEDA, OnSelChanged)
  ON_NOTIFY_REFLECT(TVN_DELETEITEMA, OnDeleteItem)
  ON_WM_RBUTTONDOWN()
  ON_WM_CONTEXTMENU()
  ON_MESSAGE(WM_DRAWITEM, OnShellMenuMessage)
  ON_MESSAGE(WM_MEASUREITEM, OnShellMenuMessage)
  ON_MESSAGE(WM_INITMENUPOPUP, OnShellMenuMessage)
END_MESSAGE_MAP()

CTKShellTree::CTKShellTree() { RegisterShellMessages(); }

CTKShellTree::~CTKShellTree() {
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

BOOL CTKShellTree::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (!g_pShellManager) return FALSE;
  return CTreeCtrl::Create(style, rect, parent, id);
}

void CTKShellTree::PreSubclassWindow() {
  CTreeCtrl::PreSubclassWindow();
  InitTree();
}

void CTKShellTree::InitTree() {
  if (!g_pShellManager || m_initialised) return;
  m_initialised = TRUE;
  char windows[MAX_PATH] = "";
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  SHFILEINFOA info{};
  auto smallList = reinterpret_cast<HIMAGELIST>(
      ::SHGetFileInfoA(windows, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (smallList) SetImageList(smallList, TVSIL_NORMAL);
  FillTree();
  SetScrollTime(100);
}

void CTKShellTree::FillTree() {
  DeleteAllItems();
  TKShellItemInfo* desktop = AllocShellItemInfo();
  if (!desktop) return;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop->absolute))) {
    FreeShellItemInfo(desktop);
    return;
  }
  HTREEITEM root = InsertFolderItem(TVI_ROOT, desktop, TRUE, FALSE);
  if (root) Expand(root, TVE_EXPAND);
}

HTREEITEM CTKShellTree::InsertFolderItem(HTREEITEM parent, TKShellItemInfo* info, BOOL children,
                                         BOOL shared) {
  CString text = GetItemText(info);
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
  insert.item.pszText = const_cast<char*>(static_cast<const char*>(text));
  insert.item.iImage = GetItemIcon(info, FALSE);
  insert.item.iSelectedImage = GetItemIcon(info, TRUE);
  insert.item.cChildren = children ? 1 : 0;
  insert.item.lParam = reinterpret_cast<LPARAM>(info);
  if (shared) {
    insert.item.mask |= TVIF_STATE;
    insert.item.state = INDEXTOOVERLAYMASK(1);
    insert.item.stateMask = TVIS_OVERLAYMASK;
  }
  HTREEITEM item = InsertItem(&insert);
  if (!item) FreeShellItemInfo(info);
  return item;
}

CString CTKShellTree::GetItemText(TKShellItemInfo* info) {
  SHFILEINFOA file{};
  if (!info || !::SHGetFileInfoA(reinterpret_cast<LPCSTR>(info->absolute), 0, &file, sizeof(file),
                                 SHGFI_PIDL | SHGFI_DISPLAYNAME))
    return CString("???");
  return CString(file.szDisplayName);
}

int CTKShellTree::GetItemIcon(TKShellItemInfo* info, BOOL open) {
  SHFILEINFOA file{};
  UINT flags =
      SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : SHGFI_LINKOVERLAY);
  if (!info || !::SHGetFileInfoA(reinterpret_cast<LPCSTR>(info->absolute), 0, &file, sizeof(file), flags))
    return -1;
  return file.iIcon;
}

void CTKShellTree::OnItemExpanding(HTREEITEM item) {
  // Filled once: an item that has children already was expanded before.
  if (!item || GetChildItem(item)) return;
  TKShellItemInfo* info = GetItemInfo(item);
  if (!info) return;
  IShellFolder* folder = nullptr;
  HRESULT hr = info->parentFolder
                   ? info->parentFolder->BindToObject(info->relative, nullptr, IID_IShellFolder,
                                                      reinterpret_cast<void**>(&folder))
                   : ::SHGetDesktopFolder(&folder);
  if (SUCCEEDED(hr) && folder) {
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
    IEnumIDList* items = nullptr;
    if (SUCCEEDED(folder->EnumObjects(m_hWnd, m_enumFlags, &items)) && items) {
      LPITEMIDLIST relative = nullptr;
      ULONG fetched = 0;
      while (items->Next(1, &relative, &fetched) == S_OK && fetched == 1) {
        TKShellItemInfo* child = AllocShellItemInfo();
        if (!child) {
          g_pShellManager->FreeItem(relative);
          break;
        }
        child->parentFolder = folder;
        folder->AddRef();
        child->relative = relative;
        child->absolute = g_pShellManager->ConcatenateItem(info->absolute, relative);
        SFGAOF attributes = SFGAO_HASSUBFOLDER | SFGAO_SHARE;
        LPCITEMIDLIST one = relative;
        if (FAILED(folder->GetAttributesOf(1, &one, &attributes))) attributes = 0;
        InsertFolderItem(item, child, (attributes & SFGAO_HASSUBFOLDER) != 0,
                         (attributes & SFGAO_SHARE) != 0);
      }
      items->Release();
    }
    TVSORTCB sort{};
    sort.hParent = item;
    sort.lpfnCompare = CompareTreeFolders;
    sort.lParam = reinterpret_cast<LPARAM>(folder);
    SortChildrenCB(&sort);
    ::SetCursor(previous);
    folder->Release();
  }
  if (!GetChildItem(item)) {
    // Nothing inside after all: no expand button.
    TVITEMA tv{};
    tv.mask = TVIF_CHILDREN;
    tv.hItem = item;
    tv.cChildren = 0;
    SetItem(&tv);
  }
}

void CTKShellTree::OnItemExpandingNotify(NMHDR* header, LRESULT* result) {
  auto* view = reinterpret_cast<NMTREEVIEWA*>(header);
  *result = 0;
  if (view->action & TVE_EXPAND) OnItemExpanding(view->itemNew.hItem);
}

void CTKShellTree::OnItemExpanded(NMHDR* header, LRESULT* result) {
  auto* view = reinterpret_cast<NMTREEVIEWA*>(header);
  *result = 0;
  if (!(view->action & TVE_COLLAPSE)) return;
  HTREEITEM collapsed = view->itemNew.hItem;
  for (HTREEITEM at = GetSelectedItem(); at; at = GetParentItem(at)) {
    if (at == collapsed) {
      if (GetSelectedItem() != collapsed) SelectItem(collapsed);
      break;
    }
  }
}

void CTKShellTree::OnSelChanged(NMHDR* header, LRESULT* result) {
  *result = 0;
  if (m_selecting) return;
  auto* view = reinterpret_cast<NMTREEVIEWA*>(header);
  TKShellItemInfo* info = reinterpret_cast<TKShellItemInfo*>(view->itemNew.lParam);
  CTKShellList* list = LinkedList();
  if (!info || !list) return;
  BOOL previous = list->m_noTreeSync;
  list->m_noTreeSync = TRUE;
  list->ShowFolder(info);
  list->m_noTreeSync = previous;
}

void CTKShellTree::OnDeleteItem(NMHDR* header, LRESULT* result) {
  *result = 0;
  auto* view = reinterpret_cast<NMTREEVIEWA*>(header);
  FreeShellItemInfo(reinterpret_cast<TKShellItemInfo*>(view->itemOld.lParam));
}

void CTKShellTree::LinkList(CTKShellList* list) {
  if (CTKShellList* old = LinkedList()) old->m_hwndTree = nullptr;
  m_hwndList = list ? list->m_hWnd : nullptr;
  if (list) list->m_hwndTree = m_hWnd;
}

CTKShellList* CTKShellTree::LinkedList() const {
  if (!m_hwndList || !::IsWindow(m_hwndList)) return nullptr;
  return dynamic_cast<CTKShellList*>(FromHandlePermanent(m_hwndList));
}

BOOL CTKShellTree::PathOfItem(CString& path, HTREEITEM item) {
  if (!item) item = GetSelectedItem();
  TKShellItemInfo* info = item ? GetItemInfo(item) : nullptr;
  if (!info || !info->absolute) return FALSE;
  SFGAOF attributes = SFGAO_FILESYSTEM;
  if (info->parentFolder) {
    LPCITEMIDLIST one = info->relative;
    if (FAILED(info->parentFolder->GetAttributesOf(1, &one, &attributes))) return FALSE;
  } else {
    // The desktop itself: asked of the desktop folder about its own (empty) list.
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop))) return FALSE;
    LPCITEMIDLIST one = info->absolute;
    HRESULT hr = desktop->GetAttributesOf(1, &one, &attributes);
    desktop->Release();
    if (FAILED(hr)) return FALSE;
  }
  if (!(attributes & SFGAO_FILESYSTEM)) return FALSE;
  char buffer[MAX_PATH] = "";
  if (!::SHGetPathFromIDListA(info->absolute, buffer)) return FALSE;
  path = buffer;
  return TRUE;
}

BOOL CTKShellTree::SelectByPath(const char* path) {
  if (!g_pShellManager) return FALSE;
  LPITEMIDLIST list = nullptr;
  if (FAILED(g_pShellManager->ItemFromPath(path, list))) return FALSE;
  BOOL selected = SelectByItemList(list);
  g_pShellManager->FreeItem(list);
  return selected;
}

BOOL CTKShellTree::SelectByItemList(LPCITEMIDLIST list) {
  if (!g_pShellManager || !list) return FALSE;
  // The ancestors from the first level down to the list itself.
  std::vector<LPITEMIDLIST> chain;
  chain.push_back(g_pShellManager->CopyItem(list));
  for (;;) {
    LPITEMIDLIST parent = nullptr;
    int level = g_pShellManager->ParentOf(chain.front(), parent);
    if (level <= 0) {
      // The desktop (the root) needs no list of its own.
      if (parent) g_pShellManager->FreeItem(parent);
      break;
    }
    chain.insert(chain.begin(), parent);
  }
  HTREEITEM current = GetRootItem();
  if (g_pShellManager->GetItemCount(list) > 0) {
    for (LPITEMIDLIST ancestor : chain) {
      if (!current) break;
      Expand(current, TVE_EXPAND);
      CString name = DisplayNameOf(ancestor);
      HTREEITEM match = nullptr;
      for (HTREEITEM child = GetChildItem(current); child; child = GetNextSiblingItem(child)) {
        if (std::strcmp(GetItemText(child), name) == 0) {
          match = child;
          break;
        }
      }
      if (!match) break;
      current = match;
    }
  }
  for (LPITEMIDLIST item : chain) g_pShellManager->FreeItem(item);
  if (!current) return FALSE;
  m_selecting = TRUE;
  SelectItem(current);
  m_selecting = FALSE;
  Expand(current, TVE_EXPAND);
  EnsureVisible(current);
  return TRUE;
}

void CTKShellTree::OnRButtonDown(UINT flags, CPoint point) {
  if (HTREEITEM item = HitTest(point)) SelectItem(item);
  ::SetFocus(m_hWnd);
  // The tree's own handling tracks the drag and sends the right-click notifications.
  CTreeCtrl::OnRButtonDown(flags, point);
}

void CTKShellTree::OnContextMenu(CWnd* wnd, CPoint point) {
  if (!m_shellContextMenu) {
    CTreeCtrl::OnContextMenu(wnd, point);
    return;
  }
  if (g_pShellContextMenu2) return;
  HTREEITEM item = nullptr;
  if (point.x == -1 && point.y == -1) {
    item = GetSelectedItem();
    // The tree takes the item in the rectangle it fills.
    RECT rect{};
    std::memcpy(&rect, &item, sizeof(item));
    if (item && SendMessage(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect))) {
      point = {rect.left, rect.bottom};
      ::ClientToScreen(m_hWnd, &point);
    }
  } else {
    POINT client = point;
    ::ScreenToClient(m_hWnd, &client);
    item = HitTest(client);
  }
  TKShellItemInfo* info = item ? GetItemInfo(item) : nullptr;
  if (!info || !info->parentFolder || !info->relative) return;
  LPCITEMIDLIST one = info->relative;
  TrackShellContextMenu(m_hWnd, info->parentFolder, &one, 1, point);
}

LRESULT CTKShellTree::OnShellMenuMessage(WPARAM wParam, LPARAM lParam) {
  if (!g_pShellContextMenu2) return Default();
  const UINT message = GetCurrentMessage()->message;
  g_pShellContextMenu2->HandleMenuMsg(message, wParam, lParam);
  return message == WM_INITMENUPOPUP ? 0 : TRUE;
}

void CTKShellTree::OnDestroy() {
  if (CTKShellList* list = LinkedList()) list->m_hwndTree = nullptr;
  m_hwndList = nullptr;
  DeleteAllItems();
  CTreeCtrl::OnDestroy();
}
