#pragma once
// The application's context menus, kept by resource id and by name and shown as the
// toolkit's popup menus instead of plain system menus. A menu can also be tracked
// modally, returning the command chosen in it. The user's customisation of each menu
// (its items as rearranged in the customization sheet) is kept in the registry. One
// manager exists per process.
#include "platform/afx/afxwin.h"

class CTKPopupMenu;

class CTKContextMenuManager {
public:
  CTKContextMenuManager();
  virtual ~CTKContextMenuManager();
  CTKContextMenuManager(const CTKContextMenuManager&) = delete;
  CTKContextMenuManager& operator=(const CTKContextMenuManager&) = delete;

  // Registers the menu resource `resourceId` (loaded from the program's resources)
  // under a name; FALSE when the resource cannot be loaded. A second registration of
  // an id replaces the first.
  BOOL AddMenu(const char* name, UINT resourceId);

  // Shows the first popup of the menu registered under `id` at (x, y) in screen
  // coordinates; x = y = -1 with an owner means 5 pixels inside the owner's client
  // origin. FALSE when no menu has the id or no popup could be shown.
  virtual BOOL ShowPopupMenu(UINT id, int x, int y, CWnd* owner, BOOL ownMessage = FALSE,
                             BOOL rightAlign = FALSE);
  // Shows a popup of the menu. Without ownMessage its commands go to the frame that
  // holds the owner; with it, to the owner itself (required for dialogs and property
  // pages). autoDestroy: the popup destroys the menu handle when it closes.
  virtual CTKPopupMenu* ShowPopupMenu(HMENU menu, int x, int y, CWnd* owner, BOOL ownMessage = FALSE,
                                      BOOL autoDestroy = TRUE, BOOL rightAlign = FALSE);
  // Shows the menu modally and returns the command chosen in it (0 when none). A quit
  // message arriving meanwhile ends the track with 0 and is left in the queue.
  virtual UINT TrackPopupMenu(HMENU menu, int x, int y, CWnd* owner, BOOL rightAlign = FALSE);

  void GetMenuNames(CStringList& names) const;
  // The menu registered under the name (null when none) and its id.
  HMENU GetMenuByName(const char* name, UINT* id = nullptr) const;
  HMENU GetMenuById(UINT id) const;

  // Each menu's customised items, under the registry section "TKContextMenuManager"
  // of the workspace's base (and the profile when given).
  virtual BOOL LoadState(const char* profile = nullptr);
  virtual BOOL SaveState(const char* profile = nullptr);

  BOOL IsTracking() const { return m_bTrackMode; }

  static CTKContextMenuManager* Instance() { return s_pInstance; }

private:
  CString RegistryPath(const char* profile) const;

  CMap<UINT, UINT, HMENU, HMENU> m_Menus;
  CMap<CString, const char*, HMENU, HMENU> m_MenuNames;
  UINT m_nLastCommandId = 0;
  BOOL m_bTrackMode = FALSE;

  static CTKContextMenuManager* s_pInstance;
};

// The process-wide manager, or null before one is made.
inline CTKContextMenuManager* GetContextMenuManager() { return CTKContextMenuManager::Instance(); }
