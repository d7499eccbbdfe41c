// What a toolbar keeps in the registry: its buttons as an archive record, the
// resource's original items to notice a changed resource, and the class-wide options.
#include "toolkit/bars/TKToolBar.h"

#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/frames/TKRegistry.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

namespace {

BOOL KeepsOriginalItems() {
  CTKWorkspace* workspace = CurrentWorkspace();
  return workspace && workspace->m_resourceUpdate;
}

void DeleteButtons(CObList& list) {
  while (!list.IsEmpty()) delete list.RemoveHead();
}

}  // namespace

CString CTKToolBar::StateKeyName(const char* profile, int index, UINT id) const {
  CString path = GetRegistryPath("TKToolBars", profile);
  const int barId = index == -1 ? (m_hWnd ? GetDlgCtrlID() : 0) : index;
  CString name;
  if (id == (UINT)-1)
    name.Format("%sTKToolBar-%d", static_cast<const char*>(path), barId);
  else
    name.Format("%sTKToolBar-%d%x", static_cast<const char*>(path), barId, id);
  return name;
}

void CTKToolBar::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    CObList stored;
    for (POSITION pos = m_Buttons.GetHeadPosition(); pos;) {
      auto* button = static_cast<CTKToolbarButton*>(m_Buttons.GetNext(pos));
      if (button->CanBeStored()) stored.AddTail(button);
    }
    ar.WriteCount(static_cast<DWORD>(stored.GetCount()));
    for (POSITION pos = stored.GetHeadPosition(); pos;) ar.WriteObject(stored.GetNext(pos));
    ar << static_cast<int>(m_bTextLabels);
    CString name;
    if (m_hWnd) GetWindowText(name);
    ar << name;
    return;
  }
  RemoveAllButtons();
  for (DWORD left = ar.ReadCount(); left > 0; --left) {
    CObject* object = ar.ReadObject(RUNTIME_CLASS(CTKToolbarButton));
    auto* button = dynamic_cast<CTKToolbarButton*>(object);
    if (!button) {
      // A record with a hole is no use: the bar goes back to its resource.
      delete object;
      RemoveAllButtons();
      if (CanBeRestored()) RestoreOriginalState();
      AdjustLayout();
      return;
    }
    button->m_nStyle &= ~(TBBS_PRESSED | TBBS_CHECKED);
    m_Buttons.AddTail(button);
    button->OnChangeParentWnd(this);
  }
  int labels = 0;
  ar >> labels;
  if (AllowTextLabels()) m_bTextLabels = labels;
  AdjustLayout();
  CString name;
  ar >> name;
  if (m_hWnd) SetWindowText(name);
  for (POSITION pos = s_forbiddenCommands.GetHeadPosition(); pos;) {
    const int index = CommandToIndex(s_forbiddenCommands.GetNext(pos));
    if (index >= 0) RemoveButton(index);
  }
}

BOOL CTKToolBar::SaveState(const char* profile, int index, UINT id) {
  const CString key = StateKeyName(profile, index, id);
  try {
    CMemFile file(1024);
    {
      CArchive ar(&file, CArchive::store, 4096);
      Serialize(ar);
      ar.Close();
    }
    const UINT size = static_cast<UINT>(file.GetLength());
    BYTE* bytes = file.Detach();
    BOOL written = FALSE;
    {
      RegistryHolder holder;
      CTKRegistry& registry = holder.Obtain(FALSE, FALSE);
      if (registry.CreateKey(key) && m_hWnd) {
        CString name;
        GetWindowText(name);
        registry.WriteString("Name", name);
        written = registry.WriteBinary("Buttons", bytes, size);
        if (written && KeepsOriginalItems()) SaveOriginalItems(registry);
        if (!m_OrigResetButtons.IsEmpty()) registry.Write("OrigResetItems", m_OrigResetButtons);
      }
    }
    free(bytes);
    return written;
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

BOOL CTKToolBar::LoadState(const char* profile, int index, UINT id) {
  const CString key = StateKeyName(profile, index, id);
  RegistryHolder holder;
  CTKRegistry& registry = holder.Obtain(FALSE, TRUE);
  if (!registry.Open(key)) return FALSE;
  BYTE* bytes = nullptr;
  UINT size = 0;
  if (!registry.ReadBinary("Buttons", bytes, size)) return FALSE;
  try {
    CMemFile file(bytes, size);
    CArchive ar(&file, CArchive::load, 4096);
    Serialize(ar);
  } catch (CArchiveException&) {
    free(bytes);
    return FALSE;
  } catch (const std::bad_alloc&) {
    free(bytes);
    return FALSE;
  }
  free(bytes);
  if (KeepsOriginalItems()) LoadOriginalItems(registry);
  CObList reset;
  if (registry.ReadObList("OrigResetItems", reset)) {
    CObList buttons;
    for (POSITION pos = reset.GetHeadPosition(); pos;) {
      CObject* object = reset.GetNext(pos);
      if (auto* button = dynamic_cast<CTKToolbarButton*>(object))
        buttons.AddTail(button);
      else
        delete object;
    }
    if (!buttons.IsEmpty()) {
      DeleteButtons(m_OrigResetButtons);
      for (POSITION pos = buttons.GetHeadPosition(); pos;) m_OrigResetButtons.AddTail(buttons.GetNext(pos));
    }
  }
  AdjustSize();
  return TRUE;
}

BOOL CTKToolBar::RemoveStateFromRegistry(const char* profile, int index, UINT id) {
  RegistryHolder holder;
  return holder.Obtain(FALSE, FALSE).DeleteKey(StateKeyName(profile, index, id));
}

BOOL CTKToolBar::SaveOriginalItems(CTKRegistry& registry) const {
  if (m_OrigButtons.IsEmpty()) return TRUE;
  return registry.Write("OriginalItems", const_cast<CObList&>(m_OrigButtons));
}

BOOL CTKToolBar::LoadOriginalItems(CTKRegistry& registry) {
  CObList stored;
  if (!registry.ReadObList("OriginalItems", stored)) return FALSE;
  const BOOL changed = UpdateFromOriginalItems(stored);
  DeleteButtons(stored);
  return changed;
}

BOOL CTKToolBar::UpdateFromOriginalItems(const CObList& stored) {
  m_bResourceWasChanged = FALSE;
  auto contains = [](const CObList& list, const CTKToolbarButton* button) {
    for (POSITION pos = list.GetHeadPosition(); pos;)
      if (static_cast<CTKToolbarButton*>(list.GetNext(pos))->CompareWith(*button)) return TRUE;
    return FALSE;
  };
  for (POSITION pos = stored.GetHeadPosition(); pos;) {
    auto* item = static_cast<CTKToolbarButton*>(stored.GetNext(pos));
    if (contains(m_OrigButtons, item)) continue;
    m_bResourceWasChanged = TRUE;
    const int index = CommandToIndex(item->m_nID);
    if (index >= 0) RemoveButton(index);
  }
  int k = 0;
  for (POSITION pos = m_OrigButtons.GetHeadPosition(); pos; ++k) {
    auto* item = static_cast<CTKToolbarButton*>(m_OrigButtons.GetNext(pos));
    if (contains(stored, item)) continue;
    m_bResourceWasChanged = TRUE;
    const int at = std::min(k, GetCount());
    if (item->m_nID == 0) {
      InsertSeparator(at);
    } else {
      CTKToolbarButton button(item->m_nID, GetDefaultImage(item->m_nID), nullptr, FALSE, m_bLocked);
      InsertButtonCopy(button, at);
    }
  }
  if (stored.GetCount() == m_OrigButtons.GetCount()) {
    POSITION a = stored.GetHeadPosition(), b = m_OrigButtons.GetHeadPosition();
    while (a && b) {
      auto* x = static_cast<CTKToolbarButton*>(stored.GetNext(a));
      auto* y = static_cast<CTKToolbarButton*>(m_OrigButtons.GetNext(b));
      if (!x->CompareWith(*y)) m_bResourceWasChanged = TRUE;
    }
  }
  return m_bResourceWasChanged;
}

BOOL CTKToolBar::SaveParameters(const char* profile) {
  CString key;
  key.Format("%sTKToolbarParameters", static_cast<const char*>(GetRegistryPath("TKToolBars", profile)));
  RegistryHolder holder;
  CTKRegistry& registry = holder.Obtain(FALSE, FALSE);
  if (!registry.CreateKey(key)) return FALSE;
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  BOOL ok = registry.WriteInt("Tooltips", s_bShowTooltips) &&
            registry.WriteInt("ShortcutKeys", s_bShowShortcutKeys) &&
            registry.WriteInt("LargeIcons", s_bLargeIcons) &&
            registry.WriteInt("MenuAnimation", s_nMenuAnimation) &&
            registry.WriteInt("RecentlyUsedMenus", s_bRecentlyUsedMenus) &&
            registry.WriteInt("MenuShadows", s_bMenuShadows) &&
            registry.WriteInt("ShowAllMenusAfterDelay", s_bShowAllMenusAfterDelay) &&
            registry.WriteInt("Look2000", look->m_lookFlag);
  if (ok && g_pCommandUsageCounter) ok = registry.WriteObject("CommandsUsage", *g_pCommandUsageCounter);
  return ok;
}

BOOL CTKToolBar::LoadParameters(const char* profile) {
  CString key;
  key.Format("%sTKToolbarParameters", static_cast<const char*>(GetRegistryPath("TKToolBars", profile)));
  RegistryHolder holder;
  CTKRegistry& registry = holder.Obtain(FALSE, TRUE);
  if (!registry.Open(key)) return FALSE;
  int animation = 0, look2000 = 0;
  int value = 0;
  BOOL ok = FALSE;
  // Read in order, stopping at the first value that is missing.
  do {
    if (!registry.ReadInt("Tooltips", value)) break;
    s_bShowTooltips = value;
    if (!registry.ReadInt("ShortcutKeys", value)) break;
    s_bShowShortcutKeys = value;
    if (!registry.ReadInt("LargeIcons", value)) break;
    s_bLargeIcons = value;
    if (!registry.ReadInt("MenuAnimation", animation)) break;
    if (!registry.ReadInt("RecentlyUsedMenus", value)) break;
    s_bRecentlyUsedMenus = value;
    if (!registry.ReadInt("MenuShadows", value)) break;
    s_bMenuShadows = value;
    if (!registry.ReadInt("ShowAllMenusAfterDelay", value)) break;
    s_bShowAllMenusAfterDelay = value;
    if (!registry.ReadInt("Look2000", look2000)) break;
    if (g_pCommandUsageCounter && !registry.ReadObject("CommandsUsage", *g_pCommandUsageCounter)) break;
    ok = TRUE;
  } while (false);
  s_nMenuAnimation = animation;
  SetLargeIcons(s_bLargeIcons);
  CTKVisualManager::GetInstance()->m_lookFlag = look2000;
  return ok;
}

void CTKToolBar::AddBasicCommand(UINT id) {
  if (!s_basicCommands.Find(id)) s_basicCommands.AddTail(id);
}

BOOL CTKToolBar::IsCommandRarelyUsed(UINT id) {
  if (IsCustomizeMode() || id == 0 || id == (UINT)-1 || (id >= 0xE110 && id <= 0xE11F) ||
      (id >= 0xF000 && id <= 0xF1EF) || id >= 0xFF00 || (id >= 0xE210 && id <= 0xE21F))
    return FALSE;
  if (g_pUserToolsManager && id == g_pUserToolsManager->GetToolsEntryCmd()) return FALSE;
  if (s_basicCommands.IsEmpty() || id == 17016 || id == 17017 || id == 17020 || s_basicCommands.Find(id))
    return FALSE;
  return !(g_pCommandUsageCounter && g_pCommandUsageCounter->IsFrequent(id));
}
