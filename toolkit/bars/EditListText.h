#pragma once
// The texts of the editable list's buttons, used when the program's string table
// carries none of its own.
namespace edit_list_text {
extern const char* const kNew;
extern const char* const kDelete;
extern const char* const kMoveItemUp;
extern const char* const kMoveItemDown;
}  // namespace edit_list_text
