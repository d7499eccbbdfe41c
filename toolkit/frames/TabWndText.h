#pragma once
// The texts the tab window shows to the user.

namespace tab_wnd_text {
extern const char* const kClose;       // tooltip of the close button
extern const char* const kScrollLeft;  // tooltips of the scroll buttons
extern const char* const kScrollRight;
}  // namespace tab_wnd_text
