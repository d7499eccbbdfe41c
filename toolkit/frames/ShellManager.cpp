#include "toolkit/frames/ShellManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstring>
#include "platform/afx/linux_headers_end.h"

ShellManager* g_pShellManager = nullptr;

ShellManager::ShellManager() {
  RegisterShellMessages();
  if (FAILED(::SHGetMalloc(&m_malloc))) m_malloc = nullptr;
  g_pShellManager = this;
}

ShellManager::~ShellManager() {
  if (g_pShellManager == this) g_pShellManager = nullptr;
  if (m_malloc) m_malloc->Release();
  m_malloc = nullptr;
}

LPITEMIDLIST ShellManager::GetNextItem(LPCITEMIDLIST list) const {
  if (!list || list->mkid.cb == 0) return nullptr;
  return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(reinterpret_cast<const BYTE*>(list)) +
                                        list->mkid.cb);
}

UINT ShellManager::GetItemCount(LPCITEMIDLIST list) const {
  UINT count = 0;
  for (LPCITEMIDLIST item = list; item && item->mkid.cb; item = GetNextItem(item)) ++count;
  return count;
}

UINT ShellManager::GetItemSize(LPCITEMIDLIST list) const {
  if (!list) return 0;
  UINT size = 0;
  for (LPCITEMIDLIST item = list; item && item->mkid.cb; item = GetNextItem(item)) size += item->mkid.cb;
  return size + sizeof(USHORT);
}

LPITEMIDLIST ShellManager::CreateItem(UINT size) const {
  if (!m_malloc) return nullptr;
  auto* list = static_cast<LPITEMIDLIST>(m_malloc->Alloc(size));
  if (list) std::memset(list, 0, size);
  return list;
}

LPITEMIDLIST ShellManager::CopyItem(LPCITEMIDLIST list) const {
  if (!list) return nullptr;
  UINT size = GetItemSize(list);
  LPITEMIDLIST copy = CreateItem(size);
  if (copy) std::memcpy(copy, list, size);
  return copy;
}

LPITEMIDLIST ShellManager::ConcatenateItem(LPCITEMIDLIST first, LPCITEMIDLIST second) const {
  UINT firstSize = first ? GetItemSize(first) - sizeof(USHORT) : 0;
  UINT secondSize = GetItemSize(second);
  // A missing second list still gives a terminated result.
  LPITEMIDLIST result = CreateItem(firstSize + (secondSize ? secondSize : sizeof(USHORT)));
  if (!result) return nullptr;
  if (firstSize) std::memcpy(result, first, firstSize);
  if (secondSize) std::memcpy(reinterpret_cast<BYTE*>(result) + firstSize, second, secondSize);
  return result;
}

void ShellManager::FreeItem(LPITEMIDLIST list) const {
  if (list && m_malloc) m_malloc->Free(list);
}

HRESULT ShellManager::ItemFromPath(const char* path, LPITEMIDLIST& list) const {
  list = nullptr;
  IShellFolder* desktop = nullptr;
  HRESULT hr = ::SHGetDesktopFolder(&desktop);
  if (FAILED(hr)) return hr;
  WCHAR wide[MAX_PATH + 1] = {0};
  ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path ? path : "", -1, wide, MAX_PATH);
  ULONG eaten = 0;
  hr = desktop->ParseDisplayName(nullptr, nullptr, wide, &eaten, &list, nullptr);
  desktop->Release();
  return hr;
}

int ShellManager::ParentOf(LPCITEMIDLIST list, LPITEMIDLIST& parent) const {
  parent = nullptr;
  UINT count = GetItemCount(list);
  if (count == 0) return -1;
  if (count == 1) {
    ::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &parent);
    return 0;
  }
  // Everything up to the last item, then a terminator.
  UINT size = 0;
  LPCITEMIDLIST item = list;
  for (UINT i = 0; i + 1 < count; ++i, item = GetNextItem(item)) size += item->mkid.cb;
  parent = CreateItem(size + sizeof(USHORT));
  if (!parent) return -1;
  std::memcpy(parent, list, size);
  return static_cast<int>(count - 1);
}

TKShellItemInfo* AllocShellItemInfo() {
  return static_cast<TKShellItemInfo*>(::GlobalAlloc(GPTR, sizeof(TKShellItemInfo)));
}

void FreeShellItemInfo(TKShellItemInfo* info) {
  if (!info) return;
  if (g_pShellManager) {
    g_pShellManager->FreeItem(info->absolute);
    g_pShellManager->FreeItem(info->relative);
  } else {
    ::CoTaskMemFree(info->absolute);
    ::CoTaskMemFree(info->relative);
  }
  if (info->parentFolder) info->parentFolder->Release();
  ::GlobalFree(info);
}

UINT TKM_CHANGE_CURRENT_FOLDER = 0;
UINT TKM_ON_AFTER_SHELL_COMMAND = 0;
IContextMenu2* g_pShellContextMenu2 = nullptr;

void RegisterShellMessages() {
  if (!TKM_CHANGE_CURRENT_FOLDER)
    TKM_CHANGE_CURRENT_FOLDER = ::RegisterWindowMessageA("TKM_CHANGE_CURRENT_FOLDER");
  if (!TKM_ON_AFTER_SHELL_COMMAND)
    TKM_ON_AFTER_SHELL_COMMAND = ::RegisterWindowMessageA("TKM_ON_AFTER_SHELL_COMMAND");
}

HRESULT InvokeShellCommand(HWND owner, IContextMenu* menu, UINT command) {
  CMINVOKECOMMANDINFO info{};
  info.cbSize = sizeof(info);
  info.hwnd = owner;
  info.lpVerb = MAKEINTRESOURCEA(command - 1);
  info.nShow = SW_SHOWNORMAL;
  return menu->InvokeCommand(&info);
}

UINT TrackShellContextMenu(HWND owner, IShellFolder* folder, LPCITEMIDLIST* items, UINT count, POINT point) {
  if (g_pShellContextMenu2 || !folder || !items || count == 0) return 0;
  IContextMenu* menu = nullptr;
  if (FAILED(folder->GetUIObjectOf(owner, count, items, IID_IContextMenu, nullptr,
                                   reinterpret_cast<void**>(&menu))) ||
      !menu)
    return 0;
  IContextMenu2* menu2 = nullptr;
  if (FAILED(menu->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(&menu2)))) menu2 = nullptr;
  g_pShellContextMenu2 = menu2;
  UINT command = 0;
  HMENU popup = ::CreatePopupMenu();
  if (popup && SUCCEEDED(menu->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_EXPLORE))) {
    command = static_cast<UINT>(
        ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr));
  }
  if (popup) ::DestroyMenu(popup);
  // The menu is closed: owner-drawn messages go back to their own handling.
  g_pShellContextMenu2 = nullptr;
  if (menu2) menu2->Release();
  if (command) {
    InvokeShellCommand(owner, menu, command);
    RegisterShellMessages();
    ::SendMessageA(::GetParent(owner), TKM_ON_AFTER_SHELL_COMMAND, command, 0);
  }
  menu->Release();
  return command;
}
