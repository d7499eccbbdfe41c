#pragma once
// Paths across the boundary between the window tier, which shows and stores Windows
// paths (as the file and folder dialogs give them), and the portable tier, which opens
// native ones. Both sides are strings in the process's ANSI code page, which the
// program's manifest makes UTF-8, the code page of Linux file names.
#include <windows.h>

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace seams {

// The native path of a Windows path; empty when wine cannot place it (its folder or
// drive does not exist), so no file call takes the Windows text for a name of its own.
std::string NativePathOf(const std::string& windowsPath);
// The Windows path of a native one (a missing file in an existing folder has one);
// empty when there is none.
std::string WindowsPathOf(const std::string& nativePath);

}  // namespace seams
