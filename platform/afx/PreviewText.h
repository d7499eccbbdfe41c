#pragma once
// The texts print preview shows when the program's string table has none.

namespace preview_text {

// The page number: the one-page form, then the two-page form (split at '\n').
extern const char kPageDescription[];
// The buttons of the number-of-pages command: what it switches to.
extern const char kOnePage[];
extern const char kTwoPages[];

}  // namespace preview_text
