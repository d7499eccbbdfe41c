#pragma once
// Which toolbar image belongs to each command: images from the toolbar resources and
// images the user assigned, in two maps, and the commands the user chose to show without
// an image (the only part that is stored). One toolkit-wide object (GetCommandManager).
#include "platform/afx/afxwin.h"

class CTKCommandManager {
public:
  CTKCommandManager() = default;
  virtual ~CTKCommandManager() = default;
  CTKCommandManager(const CTKCommandManager&) = delete;
  CTKCommandManager& operator=(const CTKCommandManager&) = delete;

  // A command with an image in the other map keeps it; commands 0 and -1 are ignored.
  void StoreImageOf(UINT command, int image, BOOL user = FALSE);
  int FindImageOf(UINT command, BOOL user = FALSE) const;  // -1 when absent
  void RemoveImageOf(UINT command);                        // from the user images
  void RemoveAllImages();

  BOOL LoadState(const char* path = nullptr);
  BOOL SaveState(const char* path = nullptr);

  CList<UINT, UINT>& CommandsWithoutImages() { return m_commandsWithoutImages; }
  // Menu items show the command's image unless the user chose text alone for it.
  void EnableMenuItemImage(UINT command, BOOL enable = TRUE);
  BOOL IsMenuItemWithoutImage(UINT command) const;

private:
  CMap<UINT, UINT, int, int> m_defaultImages;
  CMap<UINT, UINT, int, int> m_userImages;
  CMap<UINT, UINT, int, int> m_unused;
  CList<UINT, UINT> m_commandsWithoutImages;
};

CTKCommandManager* GetCommandManager();
