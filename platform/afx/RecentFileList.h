#pragma once
// The most recently opened files, newest first, kept in the application's profile
// under a section of "File1", "File2", ... entries.
#include "platform/afx/String.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CRecentFileList {
public:
  // section and entryFormat (with one %d, counted from 1) name the profile values.
  CRecentFileList(UINT firstCommandId, const char* section, const char* entryFormat, int maxSize);
  virtual ~CRecentFileList() = default;

  int GetSize() const { return m_nSize; }
  int GetCount() const { return static_cast<int>(m_files.size()); }
  const CString& operator[](int index) const { return m_files[static_cast<size_t>(index)]; }

  // Puts path first; an entry of the same path (compared without case) moves up.
  virtual void Add(const char* path);
  virtual void Remove(int index);
  virtual void ReadList();
  virtual void WriteList();
  UINT GetFirstCommandId() const { return m_nFirstId; }

private:
  UINT m_nFirstId;
  CString m_strSection;
  CString m_strEntryFormat;
  int m_nSize;
  std::vector<CString> m_files;
};
