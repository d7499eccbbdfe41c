#include "toolkit/frames/TKCommandManager.h"

#include "toolkit/frames/TKRegistry.h"

CTKCommandManager* GetCommandManager() {
  static CTKCommandManager manager;
  return &manager;
}

void CTKCommandManager::StoreImageOf(UINT command, int image, BOOL user) {
  if (command == 0 || command == static_cast<UINT>(-1)) return;
  int existing;
  if ((user ? m_defaultImages : m_userImages).Lookup(command, existing)) return;
  (user ? m_userImages : m_defaultImages).SetAt(command, image);
}

int CTKCommandManager::FindImageOf(UINT command, BOOL user) const {
  int image;
  return (user ? m_userImages : m_defaultImages).Lookup(command, image) ? image : -1;
}

void CTKCommandManager::RemoveImageOf(UINT command) { m_userImages.RemoveKey(command); }

void CTKCommandManager::RemoveAllImages() {
  m_defaultImages.RemoveAll();
  m_userImages.RemoveAll();
  m_commandsWithoutImages.RemoveAll();
}

void CTKCommandManager::EnableMenuItemImage(UINT command, BOOL enable) {
  POSITION pos = m_commandsWithoutImages.Find(command);
  if (enable && pos) m_commandsWithoutImages.RemoveAt(pos);
  if (!enable && !pos) m_commandsWithoutImages.AddTail(command);
}

BOOL CTKCommandManager::IsMenuItemWithoutImage(UINT command) const {
  return m_commandsWithoutImages.Find(command) != nullptr;
}

BOOL CTKCommandManager::LoadState(const char* path) {
  CString key;
  key.Format("%sTKCommandManager", static_cast<const char*>(GetRegistryPath("TKToolBars", path)));
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
  if (!reg.Open(key)) return FALSE;
  // A stored list replaces the one in memory rather than adding to it.
  m_commandsWithoutImages.RemoveAll();
  return reg.ReadObject("CommandsWithoutImages", m_commandsWithoutImages);
}

BOOL CTKCommandManager::SaveState(const char* path) {
  CString key;
  key.Format("%sTKCommandManager", static_cast<const char*>(GetRegistryPath("TKToolBars", path)));
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
  if (!reg.CreateKey(key)) return FALSE;
  return reg.WriteObject("CommandsWithoutImages", m_commandsWithoutImages);
}
