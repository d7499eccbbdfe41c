#include "toolkit/frames/TKShellList.h"

#include "toolkit/frames/TKShellTree.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include "platform/afx/linux_headers_end.h"

namespace {

const char* const kColumnNames[] = {"Name", "Size", "Type", "Modified"};

// The file status of an item from its file-system path; FALSE when it has none.
BOOL ReadFileStatus(const TKShellItemInfo* info, WIN32_FILE_ATTRIBUTE_DATA& data) {
  char path[MAX_PATH] = "";
  if (!info || !info->absolute || !::SHGetPathFromIDListA(info->absolute, path) || !path[0]) return FALSE;
  return ::GetFileAttributesExA(path, GetFileExInfoStandard, &data);
}

ULONGLONG FileSize(const WIN32_FILE_ATTRIBUTE_DATA& data) {
  return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int Sign(LONGLONG value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

}  // namespace

BEGIN_MESSAGE_MAP(CTKShellList, CTKListCtrl)
  ON_WM_DESTROY()
  ON_NOTIFY_REFLECT(NM_DBLCLK, OnActivateItem)
  ON_NOTIFY_REFLECT(NM_RETURN, OnActivateItem)
  ON_NOTIFY_REFLECT(LVN_DELETEITEM, OnDeleteItem)
  ON_WM_CONTEXTMENU()
  ON_MESSAGE(WM_DRAWITEM, OnShellMenuMessage)
  ON_MESSAGE(WM_MEASUREITEM, OnShellMenuMessage)
  ON_MESSAGE(WM_INITMENUPOPUP, OnShellMenuMessage)
END_MESSAGE_MAP()

CTKShellList::CTKShellList() { RegisterShellMessages(); }

CTKShellList::~CTKShellList() {
  // The items' records are freed through the list's own notifications, which reach
  // this object only while it is still whole.
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
  ReleaseCurrentFolder();
}

BOOL CTKShellList::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (!g_pShellManager) return FALSE;
  return CListCtrl::Create(style | LVS_SHAREIMAGELISTS, rect, parent, id);
}

void CTKShellList::PreSubclassWindow() {
  CTKListCtrl::PreSubclassWindow();
  InitShellList();
}

void CTKShellList::InitShellList() {
  if (!g_pShellManager || m_initialised) return;
  m_initialised = TRUE;
  // The system image lists are shared by every window of the process: the list must
  // never destroy them.
  ModifyStyle(0, LVS_SHAREIMAGELISTS);
  char windows[MAX_PATH] = "";
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  SHFILEINFOA info{};
  auto large =
      reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(windows, 0, &info, sizeof(info), SHGFI_SYSICONINDEX));
  auto smallList = reinterpret_cast<HIMAGELIST>(
      ::SHGetFileInfoA(windows, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (large) SetImageList(large, LVSIL_NORMAL);
  if (smallList) SetImageList(smallList, LVSIL_SMALL);
  InitColumns();
  if (!m_pFolder) {
    TKShellItemInfo desktop{};
    ::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop.absolute);
    ShowFolder(&desktop);
    g_pShellManager->FreeItem(desktop.absolute);
  }
}

void CTKShellList::InitColumns() {
  for (int column = 0; column < 4; ++column)
    InsertColumn(column, kColumnNames[column], column == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT, 100);
}

void CTKShellList::ReleaseCurrentFolder() {
  if (m_pFolder) m_pFolder->Release();
  m_pFolder = nullptr;
  if (m_pidlCurrent) {
    if (g_pShellManager)
      g_pShellManager->FreeItem(m_pidlCurrent);
    else
      ::CoTaskMemFree(m_pidlCurrent);
  }
  m_pidlCurrent = nullptr;
}

HRESULT CTKShellList::Relist() { return ShowFolder(nullptr); }

HRESULT CTKShellList::ShowFolder(TKShellItemInfo* folder) {
  if (!g_pShellManager) return E_FAIL;
  HRESULT hr = S_OK;
  if (folder) {
    // The new folder's record may belong to one of our own items, which go below:
    // take what is needed from it first.
    ReleaseCurrentFolder();
    if (folder->parentFolder) {
      hr = folder->parentFolder->BindToObject(folder->relative, nullptr, IID_IShellFolder,
                                              reinterpret_cast<void**>(&m_pFolder));
      m_isDesktop = FALSE;
    } else {
      hr = ::SHGetDesktopFolder(&m_pFolder);
      m_isDesktop = TRUE;
    }
    if (FAILED(hr)) {
      m_pFolder = nullptr;
      return hr;
    }
    m_pidlCurrent = g_pShellManager->CopyItem(folder->absolute);
  }
  DeleteAllItems();
  if (m_pFolder) {
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
    SendMessage(WM_SETREDRAW, FALSE);
    Enumerate();
    SortByColumn(0, TRUE);
    SendMessage(WM_SETREDRAW, TRUE);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    ::SetCursor(previous);
  }
  if (SUCCEEDED(hr) && folder) {
    if (!m_noTreeSync) {
      if (CTKShellTree* tree = LinkedTree()) tree->SelectByItemList(m_pidlCurrent);
    }
    ::SendMessageA(::GetParent(m_hWnd), TKM_CHANGE_CURRENT_FOLDER, 0, 0);
  }
  return hr;
}

void CTKShellList::Enumerate() {
  IEnumIDList* items = nullptr;
  if (FAILED(m_pFolder->EnumObjects(m_hWnd, m_enumFlags, &items)) || !items) return;
  HWND header = GetHeaderWnd();
  int columns = header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  LPITEMIDLIST relative = nullptr;
  ULONG fetched = 0;
  while (items->Next(1, &relative, &fetched) == S_OK && fetched == 1) {
    TKShellItemInfo* info = AllocShellItemInfo();
    if (!info) {
      g_pShellManager->FreeItem(relative);
      break;
    }
    info->parentFolder = m_pFolder;
    m_pFolder->AddRef();
    info->absolute = g_pShellManager->ConcatenateItem(m_pidlCurrent, relative);
    info->relative = relative;

    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = GetItemCount();
    item.pszText = const_cast<char*>("");
    item.iImage = GetItemIcon(item.iItem, info);
    item.lParam = reinterpret_cast<LPARAM>(info);
    int index = InsertItem(&item);
    if (index < 0) {
      FreeShellItemInfo(info);
      continue;
    }
    SFGAOF attributes = SFGAO_DISPLAYATTRMASK;
    LPCITEMIDLIST one = relative;
    if (SUCCEEDED(m_pFolder->GetAttributesOf(1, &one, &attributes))) {
      if (attributes & SFGAO_SHARE) SetItemState(index, INDEXTOOVERLAYMASK(1), LVIS_OVERLAYMASK);
      if (attributes & SFGAO_GHOSTED) SetItemState(index, LVIS_CUT, LVIS_CUT);
    }
    for (int column = 0; column < columns; ++column)
      SetItemText(index, column, GetItemText(index, column, info));
  }
  items->Release();
}

int CTKShellList::CompareItems(LPARAM item1, LPARAM item2, int column) {
  auto* info1 = reinterpret_cast<TKShellItemInfo*>(item1);
  auto* info2 = reinterpret_cast<TKShellItemInfo*>(item2);
  if (!info1 || !info2) return 0;
  switch (column) {
    case 0: {
      IShellFolder* folder = info1->parentFolder ? info1->parentFolder : m_pFolder;
      if (!folder) return 0;
      return static_cast<short>(HRESULT_CODE(folder->CompareIDs(0, info1->relative, info2->relative)));
    }
    case 1:
    case 3: {
      WIN32_FILE_ATTRIBUTE_DATA data1{}, data2{};
      if (!ReadFileStatus(info1, data1)) return -1;
      if (!ReadFileStatus(info2, data2)) return 1;
      if (column == 1) {
        ULONGLONG size1 = FileSize(data1), size2 = FileSize(data2);
        return size1 < size2 ? -1 : size1 > size2 ? 1 : 0;
      }
      return Sign(::CompareFileTime(&data1.ftLastWriteTime, &data2.ftLastWriteTime));
    }
    case 2: {
      SHFILEINFOA type1{}, type2{};
      ::SHGetFileInfoA(reinterpret_cast<LPCSTR>(info1->absolute), 0, &type1, sizeof(type1),
                       SHGFI_PIDL | SHGFI_TYPENAME);
      ::SHGetFileInfoA(reinterpret_cast<LPCSTR>(info2->absolute), 0, &type2, sizeof(type2),
                       SHGFI_PIDL | SHGFI_TYPENAME);
      return ::lstrcmpiA(type1.szTypeName, type2.szTypeName);
    }
    default:
      return 0;
  }
}

CString CTKShellList::GetItemText(int, int column, TKShellItemInfo* info) {
  if (!info || !info->absolute) return CString();
  SHFILEINFOA file{};
  switch (column) {
    case 0:
      if (::SHGetFileInfoA(reinterpret_cast<LPCSTR>(info->absolute), 0, &file, sizeof(file),
                           SHGFI_PIDL | SHGFI_DISPLAYNAME))
        return CString(file.szDisplayName);
      return CString();
    case 2:
      if (::SHGetFileInfoA(reinterpret_cast<LPCSTR>(info->absolute), 0, &file, sizeof(file),
                           SHGFI_PIDL | SHGFI_TYPENAME))
        return CString(file.szTypeName);
      return CString();
    case 1:
    case 3: {
      WIN32_FILE_ATTRIBUTE_DATA data{};
      if (!ReadFileStatus(info, data)) return CString();
      CString text;
      if (column == 1) {
        // Folders and volumes have no size to show.
        if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
          FormatFileSize(FileSize(data), text);
      } else {
        FormatFileDate(data.ftLastWriteTime, text);
      }
      return text;
    }
    default:
      return CString();
  }
}

int CTKShellList::GetItemIcon(int, TKShellItemInfo* info) {
  if (!info || !info->absolute) return -1;
  SHFILEINFOA file{};
  if (!::SHGetFileInfoA(reinterpret_cast<LPCSTR>(info->absolute), 0, &file, sizeof(file),
                        SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_LINKOVERLAY))
    return -1;
  return file.iIcon;
}

void CTKShellList::FormatFileSize(ULONGLONG size, CString& text) {
  if (size == 0) {
    text = "0";
  } else {
    // Kilobytes, counting any started one, grouped the way the user's locale groups.
    char number[64];
    wsprintfA(number, "%u", static_cast<unsigned>(size / 1024 + 1));
    char formatted[128] = "";
    if (::GetNumberFormatA(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, number, nullptr, formatted,
                           sizeof(formatted)) > 0) {
      char decimal[8] = "";
      ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof(decimal));
      CString all(formatted);
      int cut = -1;
      int length = lstrlenA(decimal);
      if (length > 0)
        for (int at = 0; at + length <= all.GetLength(); ++at)
          if (std::strncmp(formatted + at, decimal, length) == 0) cut = at;
      text = cut >= 0 ? all.Left(cut) : all;
    } else {
      text = number;
    }
  }
  text += " KB";
}

void CTKShellList::FormatFileDate(const FILETIME& time, CString& text) {
  FILETIME local{};
  SYSTEMTIME st{};
  text = "";
  if (!::FileTimeToLocalFileTime(&time, &local) || !::FileTimeToSystemTime(&local, &st)) return;
  char date[64] = "", clock[64] = "";
  ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof(date));
  ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, clock, sizeof(clock));
  text = CString(date) + " " + clock;
}

HRESULT CTKShellList::ShowFolderPath(const char* path) {
  if (!g_pShellManager) return E_FAIL;
  LPITEMIDLIST list = nullptr;
  HRESULT hr = g_pShellManager->ItemFromPath(path, list);
  if (FAILED(hr)) return hr;
  IShellFolder* desktop = nullptr;
  hr = ::SHGetDesktopFolder(&desktop);
  if (SUCCEEDED(hr)) {
    TKShellItemInfo info{desktop, list, list};
    hr = ShowFolder(&info);
    desktop->Release();
  }
  g_pShellManager->FreeItem(list);
  return hr;
}

HRESULT CTKShellList::ShowParentFolder() {
  if (!g_pShellManager || !m_pFolder) return E_FAIL;
  LPITEMIDLIST parent = nullptr;
  int level = g_pShellManager->ParentOf(m_pidlCurrent, parent);
  if (level < 0) return E_FAIL;
  HRESULT hr;
  if (level == 0) {
    TKShellItemInfo desktop{nullptr, parent, nullptr};
    hr = ShowFolder(&desktop);
  } else {
    IShellFolder* desktop = nullptr;
    hr = ::SHGetDesktopFolder(&desktop);
    if (SUCCEEDED(hr)) {
      TKShellItemInfo info{desktop, parent, parent};
      hr = ShowFolder(&info);
      desktop->Release();
    }
  }
  g_pShellManager->FreeItem(parent);
  return hr;
}

BOOL CTKShellList::GetCurrentFolderPath(CString& path) const {
  char buffer[MAX_PATH] = "";
  if (!m_pidlCurrent || !::SHGetPathFromIDListA(m_pidlCurrent, buffer) || !buffer[0]) return FALSE;
  path = buffer;
  return TRUE;
}

CTKShellTree* CTKShellList::LinkedTree() const {
  if (!m_hwndTree || !::IsWindow(m_hwndTree)) return nullptr;
  return dynamic_cast<CTKShellTree*>(FromHandlePermanent(m_hwndTree));
}

void CTKShellList::OnActivateItem(NMHDR*, LRESULT* result) {
  *result = 0;
  int index = GetNextItem(-1, LVNI_FOCUSED);
  if (index >= 0) OpenItem(index);
}

void CTKShellList::OpenItem(int index) {
  auto* info = reinterpret_cast<TKShellItemInfo*>(GetItemData(index));
  if (!info || !info->parentFolder) return;
  SFGAOF attributes = SFGAO_FOLDER;
  LPCITEMIDLIST one = info->relative;
  if (SUCCEEDED(info->parentFolder->GetAttributesOf(1, &one, &attributes)) && (attributes & SFGAO_FOLDER)) {
    ShowFolder(info);
    return;
  }
  IContextMenu* menu = nullptr;
  if (FAILED(info->parentFolder->GetUIObjectOf(m_hWnd, 1, &one, IID_IContextMenu, nullptr,
                                               reinterpret_cast<void**>(&menu))) ||
      !menu)
    return;
  HMENU popup = ::CreatePopupMenu();
  if (popup && SUCCEEDED(menu->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_DEFAULTONLY | CMF_EXPLORE))) {
    UINT command = ::GetMenuDefaultItem(popup, FALSE, 0);
    if (command != static_cast<UINT>(-1) && command != 0) {
      InvokeShellCommand(m_hWnd, menu, command);
      ::SendMessageA(::GetParent(m_hWnd), TKM_ON_AFTER_SHELL_COMMAND, command, 0);
    }
  }
  if (popup) ::DestroyMenu(popup);
  menu->Release();
}

void CTKShellList::OnDeleteItem(NMHDR* header, LRESULT* result) {
  *result = 0;
  auto* view = reinterpret_cast<NMLISTVIEW*>(header);
  FreeShellItemInfo(reinterpret_cast<TKShellItemInfo*>(view->lParam));
}

void CTKShellList::OnContextMenu(CWnd* wnd, CPoint point) {
  if (!m_shellContextMenu) {
    CTKListCtrl::OnContextMenu(wnd, point);
    return;
  }
  if (g_pShellContextMenu2 || !m_pFolder) return;
  int first = -1;
  if (point.x == -1 && point.y == -1) {
    // From the keyboard: the selected items, shown at the first one.
    first = GetNextItem(-1, LVNI_SELECTED);
    if (first < 0) return;
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    SendMessage(LVM_GETITEMRECT, first, reinterpret_cast<LPARAM>(&rect));
    point = {rect.left, rect.bottom};
    ::ClientToScreen(m_hWnd, &point);
  } else {
    POINT client = point;
    ::ScreenToClient(m_hWnd, &client);
    first = HitTest(client);
    if (first < 0) return;
  }
  CArray<LPCITEMIDLIST, LPCITEMIDLIST> items;
  auto add = [&](int index) {
    auto* info = reinterpret_cast<TKShellItemInfo*>(GetItemData(index));
    if (info && info->relative) items.Add(info->relative);
  };
  add(first);
  for (int index = GetNextItem(-1, LVNI_SELECTED); index >= 0; index = GetNextItem(index, LVNI_SELECTED))
    if (index != first) add(index);
  if (items.GetSize() == 0) return;
  TrackShellContextMenu(m_hWnd, m_pFolder, items.GetData(), static_cast<UINT>(items.GetSize()), point);
}

LRESULT CTKShellList::OnShellMenuMessage(WPARAM wParam, LPARAM lParam) {
  if (!g_pShellContextMenu2) return Default();
  const UINT message = GetCurrentMessage()->message;
  g_pShellContextMenu2->HandleMenuMsg(message, wParam, lParam);
  return message == WM_INITMENUPOPUP ? 0 : TRUE;
}

void CTKShellList::OnDestroy() {
  if (CTKShellTree* tree = LinkedTree()) tree->m_hwndList = nullptr;
  m_hwndTree = nullptr;
  DeleteAllItems();
  ReleaseCurrentFolder();
  CTKListCtrl::OnDestroy();
}
