#include "toolkit/bars/EditListText.h"

namespace edit_list_text {
const char* const kNew = "New";
const char* const kDelete = "Delete";
const char* const kMoveItemUp = "Move Item Up";
const char* const kMoveItemDown = "Move Item Down";
}  // namespace edit_list_text
