#pragma once
// The texts the toolbars show to the user.
namespace bars_text {
extern const char* const kCantCopyImage;
extern const char* const kUntitled;
// "%s" is the toolbar's name.
extern const char* const kResetToolbarPrompt;
}  // namespace bars_text
