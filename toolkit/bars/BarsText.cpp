#include "toolkit/bars/BarsText.h"

namespace bars_text {
const char* const kCantCopyImage = "Can't copy bitmap image into the clipboard!";
const char* const kUntitled = "<Untitled>";
const char* const kResetToolbarPrompt =
    "All your changes will be lost! Do you really want to reset the toolbar '%s'?";
const char* const kMenuBar = "Menu Bar";
const char* const kMoreButtons = "More Buttons";
const char* const kAddOrRemoveButtons = "&Add or Remove Buttons";
const char* const kResetToolbar = "&Reset Toolbar";
const char* const kExpandMenu = "Expand (%s)";
}  // namespace bars_text
