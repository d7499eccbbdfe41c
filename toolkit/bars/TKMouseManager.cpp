#include "toolkit/bars/TKMouseManager.h"

#include "toolkit/frames/TKRegistry.h"

IMPLEMENT_SERIAL(CTKMouseManager, CObject, 1)

CTKMouseManager* g_pMouseManager = nullptr;

namespace {
constexpr const char* kSection = "TKMouseManager";
constexpr const char* kValue = "Mouse";
// The section below the profile's path, or below the application's key.
CString SectionPath(const char* profile) {
  if (profile && *profile) return CString(profile) + kSection;
  return GetRegistryPath(kSection, nullptr);
}
}  // namespace

CTKMouseManager::CTKMouseManager() { g_pMouseManager = this; }

CTKMouseManager::~CTKMouseManager() {
  if (g_pMouseManager == this) g_pMouseManager = nullptr;
}

void CTKMouseManager::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<DWORD>(m_ViewsToCommands.GetCount());
    for (POSITION pos = m_ViewsToCommands.GetStartPosition(); pos;) {
      int view = 0;
      UINT command = 0;
      m_ViewsToCommands.GetNextAssoc(pos, view, command);
      ar << static_cast<DWORD>(view) << static_cast<DWORD>(command);
    }
    return;
  }
  m_ViewsToCommands.RemoveAll();
  DWORD count = 0;
  ar >> count;
  for (DWORD i = 0; i < count; ++i) {
    DWORD view = 0, command = 0;
    ar >> view >> command;
    m_ViewsToCommands.SetAt(static_cast<int>(view), command);
  }
}

BOOL CTKMouseManager::AddView(int viewId, const char* name, UINT iconId) {
  if (!name || !*name) return FALSE;
  int existing = 0;
  if (m_ViewsNames.Lookup(name, existing)) return FALSE;
  m_ViewsNames.SetAt(name, viewId);
  if (iconId) m_ViewsToIcons.SetAt(viewId, iconId);
  return TRUE;
}

UINT CTKMouseManager::GetViewDblClickCommand(int viewId) const {
  UINT command = 0;
  return m_ViewsToCommands.Lookup(viewId, command) ? command : 0;
}

UINT CTKMouseManager::GetViewIconId(int viewId) const {
  UINT icon = 0;
  return m_ViewsToIcons.Lookup(viewId, icon) ? icon : 0;
}

int CTKMouseManager::GetViewIdByName(const char* name) const {
  int view = -1;
  return m_ViewsNames.Lookup(name ? name : "", view) ? view : -1;
}

void CTKMouseManager::GetViewNames(CStringList& names) const {
  names.RemoveAll();
  for (POSITION pos = m_ViewsNames.GetStartPosition(); pos;) {
    CString name;
    int view = 0;
    m_ViewsNames.GetNextAssoc(pos, name, view);
    names.AddTail(name);
  }
}

void CTKMouseManager::SetCommandForDblClick(int viewId, UINT command) {
  if (command)
    m_ViewsToCommands.SetAt(viewId, command);
  else
    m_ViewsToCommands.RemoveKey(viewId);
}

BOOL CTKMouseManager::LoadState(const char* profile) {
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
  if (!reg.Open(SectionPath(profile))) return FALSE;
  return reg.ReadObject(kValue, *this);
}

BOOL CTKMouseManager::SaveState(const char* profile) {
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
  if (!reg.CreateKey(SectionPath(profile))) return FALSE;
  return reg.WriteObject(kValue, *this);
}
