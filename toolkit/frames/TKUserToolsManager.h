#pragma once
// The list of user-defined external tools, each bound to a command id of the manager's
// range, stored in the registry as one archived object list.
#include "toolkit/frames/TKUserTool.h"

class CTKUserToolsManager {
public:
  // toolsEntryCmd: the menu entry that stands for the tools list; the tools get ids
  // firstId..lastId; toolClass makes them (CTKUserTool or a class derived from it).
  CTKUserToolsManager(UINT toolsEntryCmd, UINT firstId, UINT lastId,
                      const CRuntimeClass* toolClass = RUNTIME_CLASS(CTKUserTool));
  virtual ~CTKUserToolsManager();
  CTKUserToolsManager(const CTKUserToolsManager&) = delete;
  CTKUserToolsManager& operator=(const CTKUserToolsManager&) = delete;

  BOOL LoadState(const char* path = nullptr);
  BOOL SaveState(const char* path = nullptr);

  CTKUserTool* NewTool();
  BOOL EraseTool(CTKUserTool* tool);
  BOOL ShiftToolUp(CTKUserTool* tool);
  BOOL ShiftToolDown(CTKUserTool* tool);
  CTKUserTool* LookupTool(UINT command) const;
  BOOL RunToolCommand(UINT command);

  const CObList& GetUserTools() const { return m_tools; }
  UINT GetToolsEntryCmd() const { return m_toolsEntryCmd; }
  int GetMaxTools() const { return static_cast<int>(m_lastId - m_firstId + 1); }

private:
  void RemoveAllTools();

  CObList m_tools;
  UINT m_toolsEntryCmd;
  UINT m_firstId;
  UINT m_lastId;
  const CRuntimeClass* m_toolClass;
};

extern CTKUserToolsManager* g_pUserToolsManager;
