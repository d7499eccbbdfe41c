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

  // The menus beside the arguments and the initial folder on the Tools page (0: none,
  // the menu's first popup is offered): an item types the string resource of its
  // command into the box, a placeholder the program fills in when it runs the tool.
  void SetArgumentsMenus(UINT argumentsMenuId, UINT initialDirMenuId) {
    m_uiArgumentsMenuId = argumentsMenuId;
    m_uiInitialDirMenuId = initialDirMenuId;
  }
  UINT GetArgumentsMenuId() const { return m_uiArgumentsMenuId; }
  UINT GetInitialDirMenuId() const { return m_uiInitialDirMenuId; }

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
  UINT m_uiArgumentsMenuId = 0;
  UINT m_uiInitialDirMenuId = 0;
};

extern CTKUserToolsManager* g_pUserToolsManager;
