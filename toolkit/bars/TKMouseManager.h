#pragma once
// Which command a double click runs in each kind of view: the application registers
// its views (name, id, icon), the customization sheet's Mouse page assigns commands,
// and a view asks here on a double click. The assignments are kept in the registry.
// One object per process, reached through g_pMouseManager.
#include "platform/afx/Map.h"
#include "platform/afx/afxwin.h"

class CTKMouseManager : public CObject {
  DECLARE_SERIAL(CTKMouseManager)

public:
  CTKMouseManager();
  ~CTKMouseManager() override;

  // Archive record: a 32-bit count, then a 32-bit view id and a 32-bit command per
  // assignment. Loading replaces the assignments.
  void Serialize(CArchive& ar) override;

  // A view the user may assign a double-click command to.
  BOOL AddView(int viewId, const char* name, UINT iconId = 0);
  UINT GetViewDblClickCommand(int viewId) const;
  UINT GetViewIconId(int viewId) const;
  int GetViewIdByName(const char* name) const;
  void GetViewNames(CStringList& names) const;
  // A non-zero command assigns it; 0 removes the assignment.
  void SetCommandForDblClick(int viewId, UINT command);

  // The value "Mouse" (REG_BINARY) of the "TKMouseManager" section.
  BOOL LoadState(const char* profile = nullptr);
  BOOL SaveState(const char* profile = nullptr);

private:
  CMap<CString, const char*, int, int> m_ViewsNames;
  CMap<int, int, UINT, UINT> m_ViewsToCommands;
  CMap<int, int, UINT, UINT> m_ViewsToIcons;
};

extern CTKMouseManager* g_pMouseManager;
