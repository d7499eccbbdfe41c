#pragma once
// Help Topics: the help file "TVLHelp.chm" beside the program file, opened at its first
// page in the system's HTML help viewer.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

// The address Help Topics opens for a program file: its folder, the help file and the
// first page ("...\TVLHelp.chm::/index.html").
std::string HelpTopicsAddress(const std::string& programPath);
// Opens it on the desktop window; answers the viewer's window, or null when the help
// could not be shown. programPath: the program file's full path; empty for this
// process's own.
HWND ShowHelpTopics(const std::string& programPath = {});
