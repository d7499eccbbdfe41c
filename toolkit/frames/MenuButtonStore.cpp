#include "toolkit/frames/MenuButtonStore.h"

#include "platform/afx/linux_headers_begin.h"
#include <new>
#include "platform/afx/linux_headers_end.h"

MenuButtonStore& MenuButtonStore::Instance() {
  // Never destroyed: static destructors run after the process has left Win32, where
  // closing a handle crashes the exit. The toolkit's clean-up empties it instead, and
  // whatever is still open then goes with the process (the files delete themselves).
  static MenuButtonStore* store = new MenuButtonStore;
  return *store;
}

MenuButtonStore::~MenuButtonStore() { RemoveAll(); }

void MenuButtonStore::RemoveAll() {
  POSITION pos = m_files.GetStartPosition();
  while (pos) {
    HMENU menu;
    HANDLE file;
    m_files.GetNextAssoc(pos, menu, file);
    ::CloseHandle(file);
  }
  m_files.RemoveAll();
}

void MenuButtonStore::Forget(HMENU menu) {
  HANDLE file;
  if (!m_files.Lookup(menu, file)) return;
  ::CloseHandle(file);
  m_files.RemoveKey(menu);
}

HANDLE MenuButtonStore::FileOf(HMENU menu) const {
  HANDLE file;
  return m_files.Lookup(menu, file) ? file : INVALID_HANDLE_VALUE;
}

BOOL MenuButtonStore::SaveButtons(HMENU menu, CObject* bar) {
  if (!bar) return FALSE;
  HANDLE old;
  if (m_files.Lookup(menu, old)) {
    ::CloseHandle(old);  // deletes the earlier copy
    m_files.RemoveKey(menu);
  }
  char folder[MAX_PATH], name[MAX_PATH];
  if (!::GetTempPathA(sizeof folder, folder) || !::GetTempFileNameA(folder, "TK", 0, name)) return FALSE;
  HANDLE file = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ::DeleteFileA(name);  // the empty file GetTempFileNameA made
    return FALSE;
  }
  try {
    CFile target(file);
    CArchive ar(&target, CArchive::store, 4096);
    bar->Serialize(ar);
    ar.Flush();
    ar.Close();
  } catch (...) {
    // A copy that could not be written completely would rebuild a broken menu.
    ::CloseHandle(file);
    return FALSE;
  }
  m_files.SetAt(menu, file);
  return TRUE;
}

BOOL MenuButtonStore::LoadButtons(HMENU menu, CObject* bar) {
  HANDLE file;
  if (!bar || !m_files.Lookup(menu, file)) return FALSE;
  if (::SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return FALSE;
  try {
    CFile source(file);
    CArchive ar(&source, CArchive::load, 4096);
    bar->Serialize(ar);
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}
