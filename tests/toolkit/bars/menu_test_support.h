#pragma once
// Driving menus as a user does: keys and clicks through SendInput, and a message pump
// that offers each message to the windows from its target up first, as the program's
// own loop does.
#include "support/wine/GTestWin.h"

#include "toolkit/bars/TKPopupMenu.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace menutest {

inline void Pump(DWORD ms) {
  const DWORD start = ::GetTickCount();
  do {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      BOOL taken = FALSE;
      for (HWND hwnd = msg.hwnd; hwnd && !taken; hwnd = ::GetParent(hwnd))
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd)) taken = wnd->PreTranslateMessage(&msg);
      if (!taken) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
    ::Sleep(5);
  } while (::GetTickCount() - start < ms);
}

inline bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > ms) return false;
    Pump(10);
  }
  return true;
}

inline bool CursorAt(POINT screen) {
  POINT at;
  ::GetCursorPos(&at);
  return at.x == screen.x && at.y == screen.y;
}

inline void MoveMouse(POINT screen) {
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  for (int attempt = 0; attempt < 5; ++attempt) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (screen.x * 65536 + w - 1) / w;
    in.mi.dy = (screen.y * 65536 + h - 1) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
    if (WaitFor([&] { return CursorAt(screen); }, 200)) return;
  }
}

inline void Button(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &in, sizeof in);
}

// The pointer glides onto the point (a popup takes no notice of the first move it
// sees), rests, then the button goes down and up.
inline void Click(POINT screen) {
  MoveMouse(POINT{screen.x - 3, screen.y});
  Pump(30);
  for (int attempt = 0; attempt < 3; ++attempt) {
    MoveMouse(screen);
    Pump(80);
    if (CursorAt(screen)) break;
  }
  Button(true);
  Pump(60);
  Button(false);
  Pump(150);
}

inline void Key(WORD vk, bool down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, 0));
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &in, sizeof in);
}

inline void Tap(WORD vk) {
  Key(vk, true);
  Key(vk, false);
  Pump(120);
}

// Alt held while a key is typed.
inline void AltTap(WORD vk) {
  Key(VK_MENU, true);
  Key(vk, true);
  Key(vk, false);
  Key(VK_MENU, false);
  Pump(150);
}

inline POINT CentreOf(HWND window, const CRect& rect) {
  POINT point = rect.CenterPoint();
  ::ClientToScreen(window, &point);
  return point;
}
inline POINT CentreOf(const CWnd& window, const CRect& rect) { return CentreOf(window.m_hWnd, rect); }

// The innermost open popup, when it shows.
inline CTKPopupMenu* OpenPopup() {
  CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu();
  return popup && popup->m_hWnd && ::IsWindowVisible(popup->m_hWnd) ? popup : nullptr;
}

// The items of a popup as their texts, separators as "-".
inline std::vector<std::string> ItemsOf(CTKPopupMenu* popup) {
  std::vector<std::string> items;
  for (int i = 0; popup && i < popup->GetMenuItemCount(); ++i) {
    CTKToolbarMenuButton* item = popup->GetMenuItem(i);
    items.push_back(item->IsSeparator() ? "-" : static_cast<const char*>(item->m_strText));
  }
  return items;
}

// The titles a menu bar shows.
inline std::vector<std::string> TitlesOf(const CTKToolBar& bar) {
  std::vector<std::string> titles;
  for (int i = 0; i < bar.GetCount(); ++i)
    titles.push_back(static_cast<const char*>(bar.GetButton(i)->m_strText));
  return titles;
}

inline POINT ItemCentre(CTKPopupMenu* popup, int index) {
  return CentreOf(popup->GetMenuBar()->m_hWnd, popup->GetMenuItem(index)->m_rect);
}

}  // namespace menutest
