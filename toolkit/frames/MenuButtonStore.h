#pragma once
// Per menu handle, a copy of a menu bar's buttons in a temporary file that deletes
// itself when closed, so that a customised menu can be rebuilt when it is shown again.
// The files stay open until the toolkit cleans up at exit.
#include "platform/afx/afxwin.h"

class MenuButtonStore {
public:
  MenuButtonStore() = default;
  ~MenuButtonStore();
  MenuButtonStore(const MenuButtonStore&) = delete;
  MenuButtonStore& operator=(const MenuButtonStore&) = delete;

  // bar: the menu bar's serialisable button list (null when the bar is no menu bar).
  BOOL SaveButtons(HMENU menu, CObject* bar);
  BOOL LoadButtons(HMENU menu, CObject* bar);
  // The open file kept for the menu, INVALID_HANDLE_VALUE when none.
  HANDLE FileOf(HMENU menu) const;
  // Closes (and so deletes) the menu's copy, for a menu that goes.
  void Forget(HMENU menu);
  // Closes (and so deletes) every copy.
  void RemoveAll();

  static MenuButtonStore& Instance();

private:
  CMap<HMENU, HMENU, HANDLE, HANDLE> m_files;
};
