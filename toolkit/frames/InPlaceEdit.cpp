#include "toolkit/frames/InPlaceEdit.h"

InPlaceEditMouse RouteMouseToInPlaceEdit(HWND edit, const MSG* msg) {
  if (!edit || msg->message < WM_MOUSEFIRST || msg->message > WM_MOUSELAST) return InPlaceEditMouse::kNotMine;
  POINT screen{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
  ::ClientToScreen(msg->hwnd, &screen);
  RECT editRect;
  ::GetWindowRect(edit, &editRect);
  if (::PtInRect(&editRect, screen)) {
    POINT local = screen;
    ::ScreenToClient(edit, &local);
    ::SendMessageA(edit, msg->message, msg->wParam, MAKELPARAM(local.x, local.y));
    return InPlaceEditMouse::kHandled;
  }
  if (msg->message == WM_LBUTTONDOWN || msg->message == WM_RBUTTONDOWN || msg->message == WM_MBUTTONDOWN)
    return InPlaceEditMouse::kPressOutside;
  return InPlaceEditMouse::kIgnored;
}
