#pragma once
// The texts the caption bar, the outlook bar and the tasks pane show to the user.

namespace panes_text {
extern const char* const kShortcuts;  // the outlook bar's window text
extern const char* const kClose;      // tooltip of the outlook bar's close button
extern const char* const kTasksPane;  // the tasks pane's caption and first page
extern const char* const kBack;       // navigation toolbar of the tasks pane
extern const char* const kForward;
extern const char* const kHome;
extern const char* const kOtherTaskPanes;  // the page-list button and its tooltip
// The menu of the navigation pane's chevron.
extern const char* const kShowMoreButtons;
extern const char* const kShowFewerButtons;
}  // namespace panes_text
