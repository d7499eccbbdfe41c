#include "toolkit/frames/TKUserToolsManager.h"

#include "toolkit/bars/TKToolBar.h"
#include "toolkit/frames/TKRegistry.h"

CTKUserToolsManager* g_pUserToolsManager = nullptr;

CTKUserToolsManager::CTKUserToolsManager(UINT toolsEntryCmd, UINT firstId, UINT lastId,
                                         const CRuntimeClass* toolClass)
    : m_toolsEntryCmd(toolsEntryCmd), m_firstId(firstId), m_lastId(lastId), m_toolClass(toolClass) {}

CTKUserToolsManager::~CTKUserToolsManager() { RemoveAllTools(); }

void CTKUserToolsManager::RemoveAllTools() {
  while (!m_tools.IsEmpty()) delete m_tools.RemoveHead();
}

BOOL CTKUserToolsManager::LoadState(const char* path) {
  CString regPath = GetRegistryPath("TKUserToolsManager", path);
  RemoveAllTools();
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
  BOOL ok = reg.Open(regPath) && reg.ReadObList("Tools", m_tools);
  // Only tools of the tool class are kept: anything else in the list would be used as
  // a tool later.
  for (POSITION pos = m_tools.GetHeadPosition(); ok && pos;) {
    CObject* object = m_tools.GetNext(pos);
    if (!object || !object->IsKindOf(RUNTIME_CLASS(CTKUserTool))) ok = FALSE;
  }
  if (!ok) RemoveAllTools();
  return ok;
}

BOOL CTKUserToolsManager::SaveState(const char* path) {
  CString regPath = GetRegistryPath("TKUserToolsManager", path);
  RegistryHolder holder;
  CTKRegistry& reg = holder.Obtain(FALSE, FALSE);
  if (!reg.CreateKey(regPath)) return FALSE;
  return reg.WriteObject("Tools", m_tools);
}

CTKUserTool* CTKUserToolsManager::NewTool() {
  if (m_tools.GetCount() >= GetMaxTools()) return nullptr;
  UINT id = m_firstId;
  for (; id <= m_lastId; ++id)
    if (!LookupTool(id)) break;
  if (id > m_lastId) return nullptr;
  CTKUserTool* tool = static_cast<CTKUserTool*>(m_toolClass->CreateObject());
  if (!tool) return nullptr;
  tool->m_uiCmdId = id;
  m_tools.AddTail(tool);
  return tool;
}

BOOL CTKUserToolsManager::EraseTool(CTKUserTool* tool) {
  POSITION pos = m_tools.Find(tool);
  if (!pos) return FALSE;
  m_tools.RemoveAt(pos);
  const UINT command = tool->m_uiCmdId;
  delete tool;
  // No toolbar or menu keeps a button of a tool that is gone.
  for (POSITION at = CTKToolBar::GetAllToolbars().GetHeadPosition(); at;) {
    CTKToolBar* bar = CTKToolBar::GetAllToolbars().GetNext(at);
    BOOL lost = FALSE;
    for (int i = bar->GetCount() - 1; i >= 0; --i)
      if (CTKToolbarButton* button = bar->GetButton(i); button && button->m_nID == command)
        lost |= bar->RemoveButton(i);
    if (lost && bar->m_hWnd) bar->AdjustSize();
  }
  return TRUE;
}

BOOL CTKUserToolsManager::ShiftToolUp(CTKUserTool* tool) {
  POSITION pos = m_tools.Find(tool);
  if (!pos || pos == m_tools.GetHeadPosition()) return FALSE;
  POSITION before = pos;
  m_tools.GetPrev(before);
  m_tools.RemoveAt(pos);
  m_tools.InsertBefore(before, tool);
  return TRUE;
}

BOOL CTKUserToolsManager::ShiftToolDown(CTKUserTool* tool) {
  POSITION pos = m_tools.Find(tool);
  if (!pos || pos == m_tools.GetTailPosition()) return FALSE;
  POSITION after = pos;
  m_tools.GetNext(after);
  m_tools.RemoveAt(pos);
  m_tools.InsertAfter(after, tool);
  return TRUE;
}

CTKUserTool* CTKUserToolsManager::LookupTool(UINT command) const {
  if (command < m_firstId || command > m_lastId) return nullptr;
  for (POSITION pos = m_tools.GetHeadPosition(); pos;) {
    auto* tool = static_cast<CTKUserTool*>(m_tools.GetNext(pos));
    if (tool->m_uiCmdId == command) return tool;
  }
  return nullptr;
}

BOOL CTKUserToolsManager::RunToolCommand(UINT command) {
  CTKUserTool* tool = LookupTool(command);
  return tool ? tool->Invoke() : FALSE;
}
