#pragma once
// The texts the toolbars show to the user.
namespace bars_text {
extern const char* const kCantCopyImage;
extern const char* const kUntitled;
// "%s" is the toolbar's name.
extern const char* const kResetToolbarPrompt;
extern const char* const kMenuBar;
extern const char* const kMoreButtons;
extern const char* const kAddOrRemoveButtons;
extern const char* const kResetToolbar;
}  // namespace bars_text
