#pragma once
// The program's help: the help file "TVLHelp.chm" beside the program file, opened at
// its first page in the system's HTML help viewer. Where the viewer cannot draw pages
// (under a wine without its HTML engine it shows the contents beside a blank page) the
// same pages, kept as plain files in the folder "TVLHelp" beside the help file, open in
// the desktop's web browser instead.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

// The address Help Topics opens for a program file: its folder, the help file and the
// first page ("...\TVLHelp.chm::/index.html").
std::string HelpTopicsAddress(const std::string& programPath);
// The first page as a file of its own ("...\TVLHelp\index.html").
std::string HelpPageFile(const std::string& programPath);
// Whether the HTML help viewer draws pages here.
bool HelpViewerDrawsPages();

// Opens the help file in the viewer on the desktop window; answers the viewer's
// window, or null when the help could not be shown. programPath: the program file's
// full path; empty for this process's own.
HWND ShowHelpInViewer(const std::string& programPath = {});
// Opens the first page in the desktop's web browser; false, after telling the user,
// when no browser could be started.
bool ShowHelpInBrowser(const std::string& programPath = {});
// Help Topics: the viewer where it draws pages, else the browser.
void ShowHelpTopics(const std::string& programPath = {});

// Every help request of the framework and the toolkit (context help, the help of a
// window's controls) shows the help's first page the same way: the help file has no
// topics of its own for them.
void InstallProgramHelp();
