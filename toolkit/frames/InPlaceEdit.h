#pragma once
// An edit control opened over part of a window to change a name in place (a tab's
// label, an outlook page's name). While it is open it holds the mouse, so its owner
// sees every mouse message first and decides what a press elsewhere means.
#include "platform/afx/afxwin.h"

enum class InPlaceEditMouse {
  kNotMine,       // not a mouse message for the edit: the usual handling applies
  kHandled,       // a mouse message inside the edit, passed on to it
  kPressOutside,  // a button pressed outside the edit: the owner ends the editing
  kIgnored,       // a move or release outside the edit: dropped
};

// Sends a mouse message that falls inside the edit on to it, in its own client
// coordinates, and tells the owner what the message was.
InPlaceEditMouse RouteMouseToInPlaceEdit(HWND edit, const MSG* msg);
