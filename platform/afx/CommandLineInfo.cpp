#include "platform/afx/CommandLineInfo.h"

void CCommandLineInfo::ParseParam(const char* param, BOOL flag, BOOL) {
  if (flag || !param || !*param) return;
  if (m_strFileName.IsEmpty()) {
    m_strFileName = param;
    m_nShellCommand = FileOpen;
  }
}

std::vector<CString> AfxSplitCommandLine(const char* commandLine) {
  std::vector<CString> params;
  if (!commandLine) return params;
  CString current;
  bool inQuotes = false;
  bool have = false;
  for (const char* p = commandLine; *p; ++p) {
    if (*p == '"') {
      inQuotes = !inQuotes;
      have = true;
    } else if ((*p == ' ' || *p == '\t') && !inQuotes) {
      if (have) params.push_back(current);
      current.Empty();
      have = false;
    } else {
      current += *p;
      have = true;
    }
  }
  if (have) params.push_back(current);
  return params;
}
