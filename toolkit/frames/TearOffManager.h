#pragma once
// The command ids of tear-off menu bars, handed out from a fixed range, and the marker
// that a tear-off menu item carries at the start of its text: the character 1, the id
// in decimal, the character 1, then the item's own text.
#include "platform/afx/afxwin.h"

class TearOffManager {
public:
  TearOffManager() = default;

  void SetRange(UINT firstId, UINT lastId);
  UINT GetFreeId();  // 0 when no range is set or every id is in use
  void AssignIds(HMENU menu);
  void ReleaseIds(HMENU menu);  // null releases every id
  void ChangeUseCount(UINT id, BOOL increase);
  int UseCount(UINT id) const;

  static UINT ReadIdFromText(CString& text);
  static void PrefixItemText(UINT id, CString& text);

private:
  UINT m_first = 0;
  UINT m_last = 0;
  CArray<int, int> m_counts;
};

extern TearOffManager* g_pTearOffManager;
