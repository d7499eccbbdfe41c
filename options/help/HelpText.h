#pragma once
// What the help commands tell the user.
#include "platform/afx/linux_headers_begin.h"
#include <string>
#include "platform/afx/linux_headers_end.h"

namespace help_text {

// No web browser could be started to show the help page at pagePath.
std::string NoBrowser(const std::string& pagePath);

}  // namespace help_text
