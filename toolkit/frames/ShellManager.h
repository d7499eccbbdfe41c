#pragma once
// The toolkit-wide keeper of the shell allocator and of item-ID-list arithmetic, used by
// the shell list and tree. Lists are allocated with the shell's own allocator so the
// shell can free what we hand it and we can free what it hands us.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

class ShellManager {
public:
  // Becomes the toolkit-wide shell manager.
  ShellManager();
  // Clears the toolkit-wide pointer and releases the allocator.
  virtual ~ShellManager();
  ShellManager(const ShellManager&) = delete;
  ShellManager& operator=(const ShellManager&) = delete;

  // The item after this one (null for null or at the terminator).
  LPITEMIDLIST GetNextItem(LPCITEMIDLIST list) const;
  UINT GetItemCount(LPCITEMIDLIST list) const;
  // Bytes of the whole list with its 2-byte terminator; 0 for null.
  UINT GetItemSize(LPCITEMIDLIST list) const;

  LPITEMIDLIST CreateItem(UINT size) const;
  LPITEMIDLIST CopyItem(LPCITEMIDLIST list) const;
  // The first list without its terminator followed by the whole second one.
  LPITEMIDLIST ConcatenateItem(LPCITEMIDLIST first, LPCITEMIDLIST second) const;
  void FreeItem(LPITEMIDLIST list) const;

  // Parses a file-system path into an absolute list.
  HRESULT ItemFromPath(const char* path, LPITEMIDLIST& list) const;
  // -1 for an empty list; the desktop's list and 0 for a one-item list; else a copy
  // without the last item and the number of items left.
  int ParentOf(LPCITEMIDLIST list, LPITEMIDLIST& parent) const;

  IMalloc* GetMalloc() const { return m_malloc; }

private:
  IMalloc* m_malloc = nullptr;
  DWORD m_reserved = 0;
};

extern ShellManager* g_pShellManager;

// The record behind every shell list and tree item: the folder that holds it, its
// absolute list (from the desktop) and its list relative to that folder.
struct TKShellItemInfo {
  IShellFolder* parentFolder;  // referenced; null for the desktop itself
  LPITEMIDLIST absolute;       // owned
  LPITEMIDLIST relative;       // owned
};

// A zero-filled record from GlobalAlloc, and its release (lists freed, folder released).
TKShellItemInfo* AllocShellItemInfo();
void FreeShellItemInfo(TKShellItemInfo* info);

// The messages the shell list and tree send their parent: after the list shows a new
// folder, and after a shell context-menu command ran (wParam = the command).
extern UINT TKM_CHANGE_CURRENT_FOLDER;
extern UINT TKM_ON_AFTER_SHELL_COMMAND;
// Registers both (once); the shell manager and the list and tree call it.
void RegisterShellMessages();

// The shell context menu open at the moment (one at a time, toolkit-wide), so owner-drawn
// parts of it can be routed to the shell while it is shown.
extern IContextMenu2* g_pShellContextMenu2;

// Shows the shell context menu of the given items of one folder at a screen point,
// runs the chosen command and tells the owner's parent. Returns the command, 0 when none.
UINT TrackShellContextMenu(HWND owner, IShellFolder* folder, LPCITEMIDLIST* items, UINT count, POINT point);
// Runs a context-menu command of the items (verb = command - 1), normally shown.
HRESULT InvokeShellCommand(HWND owner, IContextMenu* menu, UINT command);
