#pragma once
// Keys pressed at the X display, and a message pump that offers each message to the
// windows from its target up first, as the program's own loop does (the toolkit's
// controls handle Enter, Tab and Escape there).
#include "toolkit/bars/toolbar_test_support.h"

namespace toolbartest {

inline void PumpAsTheProgram(DWORD ms) {
  const DWORD start = ::GetTickCount();
  do {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      BOOL handled = FALSE;
      for (HWND hwnd = msg.hwnd; hwnd && !handled; hwnd = ::GetParent(hwnd))
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd)) handled = wnd->PreTranslateMessage(&msg);
      if (!handled) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (::GetTickCount() - start < ms);
}

// The program's loop while it is idle: messages through the windows' own
// pre-translation, then the main window's bars bring their state up to date.
inline void PumpAsTheIdleProgram(DWORD ms) {
  const DWORD start = ::GetTickCount();
  do {
    PumpAsTheProgram(20);
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd)
      ::SendMessageA(main->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
  } while (::GetTickCount() - start < ms);
}

// X keysyms of the keys the tests press; letters and digits are their ASCII codes.
constexpr unsigned long kKeyReturn = 0xFF0D;
constexpr unsigned long kKeyEscape = 0xFF1B;
constexpr unsigned long kKeyInsert = 0xFF63;
constexpr unsigned long kKeyDelete = 0xFFFF;
constexpr unsigned long kKeyUp = 0xFF52;
constexpr unsigned long kKeyDown = 0xFF54;
constexpr unsigned long kKeyAlt = 0xFFE9;
constexpr unsigned long kKeyF1 = 0xFFBE;

// A key pressed and released, with a modifier held around it when given.
inline void PressKey(unsigned long keysym, unsigned long modifier = 0) {
  if (modifier) {
    XDisplayInput::Get().Key(modifier, true);
    PumpAsTheProgram(30);
  }
  XDisplayInput::Get().Key(keysym, true);
  PumpAsTheProgram(30);
  XDisplayInput::Get().Key(keysym, false);
  PumpAsTheProgram(30);
  if (modifier) {
    XDisplayInput::Get().Key(modifier, false);
    PumpAsTheProgram(30);
  }
}

inline void TypeText(const char* text) {
  for (const char* c = text; *c; ++c) PressKey(static_cast<unsigned char>(*c));
  PumpAsTheProgram(100);
}

// Pumps until this thread has taken the left button's press or release from its queue:
// on a busy machine the display hands it to wine well after it was sent.
inline void PumpUntilButtonIs(bool down) {
  for (int i = 0; i < 250 && (::GetKeyState(VK_LBUTTON) < 0) != down; ++i) PumpAsTheProgram(20);
}

// A click of the left button at a point of the window's client area.
inline void ClickInWindow(HWND window, POINT client) {
  ::ClientToScreen(window, &client);
  EXPECT_TRUE(MoveMouseAndWait(client, true));
  PumpAsTheProgram(100);
  MouseButton(true);
  PumpAsTheProgram(100);
  PumpUntilButtonIs(true);
  MouseButton(false);
  PumpAsTheProgram(100);
  PumpUntilButtonIs(false);
  PumpAsTheProgram(150);
}

}  // namespace toolbartest
