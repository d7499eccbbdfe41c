#include "platform/afx/RecentFileList.h"

#include "platform/afx/WinApp.h"

CRecentFileList::CRecentFileList(UINT firstCommandId, const char* section, const char* entryFormat,
                                 int maxSize)
    : m_nFirstId(firstCommandId), m_strSection(section), m_strEntryFormat(entryFormat), m_nSize(maxSize) {}

void CRecentFileList::Add(const char* path) {
  if (!path || !*path || m_nSize <= 0) return;
  for (size_t i = 0; i < m_files.size(); ++i) {
    if (m_files[i].CompareNoCase(path) == 0) {
      m_files.erase(m_files.begin() + static_cast<long>(i));
      break;
    }
  }
  m_files.insert(m_files.begin(), CString(path));
  if (static_cast<int>(m_files.size()) > m_nSize) m_files.resize(static_cast<size_t>(m_nSize));
}

void CRecentFileList::Remove(int index) {
  if (index < 0 || index >= GetCount()) return;
  m_files.erase(m_files.begin() + index);
}

void CRecentFileList::ReadList() {
  m_files.clear();
  CWinApp* app = AfxGetApp();
  if (!app) return;
  for (int i = 0; i < m_nSize; ++i) {
    CString entry;
    entry.Format(m_strEntryFormat, i + 1);
    CString path = app->GetProfileString(m_strSection, entry, "");
    if (!path.IsEmpty()) m_files.push_back(path);
  }
}

void CRecentFileList::WriteList() {
  CWinApp* app = AfxGetApp();
  if (!app) return;
  for (int i = 0; i < m_nSize; ++i) {
    CString entry;
    entry.Format(m_strEntryFormat, i + 1);
    app->WriteProfileString(m_strSection, entry,
                            i < GetCount() ? m_files[static_cast<size_t>(i)].str().c_str() : nullptr);
  }
}
