#include "platform/afx/DockState.h"

#include "platform/afx/WinApp.h"

namespace {
CString BarSection(const char* profile, int index) {
  CString section;
  section.Format("%s-Bar%d", profile, index);
  return section;
}

CString SummarySection(const char* profile) {
  CString section;
  section.Format("%s-Summary", profile);
  return section;
}
}  // namespace

BOOL CControlBarInfo::operator==(const CControlBarInfo& other) const {
  return m_nBarID == other.m_nBarID && m_bVisible == other.m_bVisible && m_nDockBarID == other.m_nDockBarID &&
         m_nRow == other.m_nRow && m_nColumn == other.m_nColumn && m_pointPos == other.m_pointPos &&
         m_uMRUDockID == other.m_uMRUDockID && m_rectMRUDockPos == other.m_rectMRUDockPos &&
         m_bHasMRUFloatPos == other.m_bHasMRUFloatPos &&
         (!m_bHasMRUFloatPos || m_ptMRUFloatPos == other.m_ptMRUFloatPos);
}

int CDockState::Find(UINT barId) const {
  for (int i = 0; i < m_arrBarInfo.GetSize(); ++i)
    if (m_arrBarInfo[i].m_nBarID == barId) return i;
  return -1;
}

BOOL CDockState::LoadState(const char* profile) {
  Clear();
  CWinApp* app = AfxGetApp();
  if (!app || !profile) return FALSE;
  const int count = static_cast<int>(app->GetProfileInt(SummarySection(profile), "Bars", -1));
  if (count < 0) return FALSE;
  for (int i = 0; i < count; ++i) {
    CString section = BarSection(profile, i);
    auto get = [&](const char* name, int fallback) {
      return static_cast<int>(app->GetProfileInt(section, name, fallback));
    };
    CControlBarInfo info;
    info.m_nBarID = static_cast<UINT>(get("BarID", 0));
    // A bar without an id cannot be found again: the rest of it is of no use.
    if (info.m_nBarID == 0) continue;
    info.m_bVisible = get("Visible", 1) != 0;
    info.m_nDockBarID = static_cast<UINT>(get("DockBarID", 0));
    info.m_nRow = get("Row", 0);
    info.m_nColumn = get("Column", 0);
    info.m_pointPos = CPoint(get("XPos", 0), get("YPos", 0));
    info.m_uMRUDockID = static_cast<UINT>(get("MRUDockID", 0));
    info.m_rectMRUDockPos = CRect(get("MRUDockLeftPos", 0), get("MRUDockTopPos", 0),
                                  get("MRUDockRightPos", 0), get("MRUDockBottomPos", 0));
    info.m_bHasMRUFloatPos = get("MRUFloatStored", 0) != 0;
    info.m_ptMRUFloatPos = CPoint(get("MRUFloatXPos", 0), get("MRUFloatYPos", 0));
    m_arrBarInfo.Add(info);
  }
  return TRUE;
}

BOOL CDockState::SaveState(const char* profile) const {
  CWinApp* app = AfxGetApp();
  if (!app || !profile) return FALSE;
  BOOL ok = TRUE;
  for (int i = 0; i < m_arrBarInfo.GetSize(); ++i) {
    const CControlBarInfo& info = m_arrBarInfo[i];
    CString section = BarSection(profile, i);
    auto put = [&](const char* name, int value) { ok = app->WriteProfileInt(section, name, value) && ok; };
    put("BarID", static_cast<int>(info.m_nBarID));
    put("Visible", info.m_bVisible);
    put("DockBarID", static_cast<int>(info.m_nDockBarID));
    put("Row", info.m_nRow);
    put("Column", info.m_nColumn);
    put("XPos", info.m_pointPos.x);
    put("YPos", info.m_pointPos.y);
    put("MRUDockID", static_cast<int>(info.m_uMRUDockID));
    put("MRUDockLeftPos", info.m_rectMRUDockPos.left);
    put("MRUDockTopPos", info.m_rectMRUDockPos.top);
    put("MRUDockRightPos", info.m_rectMRUDockPos.right);
    put("MRUDockBottomPos", info.m_rectMRUDockPos.bottom);
    put("MRUFloatStored", info.m_bHasMRUFloatPos);
    put("MRUFloatXPos", info.m_ptMRUFloatPos.x);
    put("MRUFloatYPos", info.m_ptMRUFloatPos.y);
  }
  ok = app->WriteProfileInt(SummarySection(profile), "Bars", m_arrBarInfo.GetSize()) && ok;
  return ok;
}
