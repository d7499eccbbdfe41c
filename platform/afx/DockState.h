#pragma once
// Where a frame's bars are, as it can be stored between runs: for each bar its control
// id, whether it shows, and either its side with its row and place in the row, or its
// floating frame's position; and where it was docked and floated last. Stored through
// the application's profile in one section per bar ("<profile>-Bar<n>") and a summary
// section ("<profile>-Summary") with their count.
#include "platform/afx/Array.h"
#include "platform/afx/Rect.h"

struct CControlBarInfo {
  UINT m_nBarID = 0;
  BOOL m_bVisible = TRUE;
  UINT m_nDockBarID = 0;  // AFX_IDW_DOCKBAR_FLOAT while floating
  int m_nRow = 0;
  int m_nColumn = 0;
  CPoint m_pointPos{0, 0};  // the floating frame's top-left corner
  UINT m_uMRUDockID = 0;
  CRect m_rectMRUDockPos;
  CPoint m_ptMRUFloatPos{0, 0};
  BOOL m_bHasMRUFloatPos = FALSE;

  BOOL operator==(const CControlBarInfo& other) const;
};

class CDockState {
public:
  CArray<CControlBarInfo, const CControlBarInfo&> m_arrBarInfo;

  // False when nothing is stored under the profile.
  BOOL LoadState(const char* profile);
  BOOL SaveState(const char* profile) const;
  void Clear() { m_arrBarInfo.SetSize(0); }
  // The index of the bar's entry, -1 when it has none.
  int Find(UINT barId) const;
};
