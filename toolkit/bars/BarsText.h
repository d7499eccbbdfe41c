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
// The show-all entry of a short menu; "%s" is the key that expands it too.
extern const char* const kExpandMenu;
}  // namespace bars_text
