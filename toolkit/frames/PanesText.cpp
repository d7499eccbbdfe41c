#include "toolkit/frames/PanesText.h"

namespace panes_text {
const char* const kShortcuts = "Shortcuts";
const char* const kClose = "Close";
const char* const kTasksPane = "Tasks Pane";
const char* const kBack = "Back";
const char* const kForward = "Forward";
const char* const kHome = "Home";
const char* const kOtherTaskPanes = "Other Task Panes";
const char* const kShowMoreButtons = "Show More Buttons";
const char* const kShowFewerButtons = "Show Fewer Buttons";
}  // namespace panes_text
