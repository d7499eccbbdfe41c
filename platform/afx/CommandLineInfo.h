#pragma once
// What the program's command line asks for: a new document, or a file to open.
#include "platform/afx/String.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

class CCommandLineInfo {
public:
  enum { FileNew, FileOpen, FileNothing = -1 };

  virtual ~CCommandLineInfo() = default;
  // One parameter, without its leading '/' or '-' when flag; the first plain
  // parameter is the file to open.
  virtual void ParseParam(const char* param, BOOL flag, BOOL last);

  int m_nShellCommand = FileNew;
  CString m_strFileName;
};

// Splits a command line into its parameters: blanks separate them, double quotes
// group blanks into one and are dropped.
std::vector<CString> AfxSplitCommandLine(const char* commandLine);
// A switch is '/' or '-' followed by a word of letters ("/p", "-Embedding"); anything
// else is a plain parameter, a Linux path such as "/home/me/take.wav" among them.
BOOL AfxIsCommandLineSwitch(const char* param);
// The file a plain parameter names, as the program's file calls take it: a Linux
// path becomes its Windows path under wine; any other name stays as it is.
CString AfxCommandLineFileName(const char* param);
