#include "platform/afx/CommandLineInfo.h"

#include "platform/seams/win32/Win32Paths.h"

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

BOOL AfxIsCommandLineSwitch(const char* param) {
  if (!param || (param[0] != '/' && param[0] != '-') || !param[1]) return FALSE;
  for (const char* p = param + 1; *p; ++p)
    if (!((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z'))) return FALSE;
  return TRUE;
}

CString AfxCommandLineFileName(const char* param) {
  CString name = param ? param : "";
#ifdef __WINE__
  // A Linux path as a shell hands it over: the Windows path the file dialogs would
  // give for the same file.
  if (param && param[0] == '/') {
    const std::string windows = seams::WindowsPathOf(param);
    if (!windows.empty()) name = windows.c_str();
  }
#endif
  return name;
}
