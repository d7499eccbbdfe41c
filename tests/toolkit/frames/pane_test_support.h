#pragma once
// What the window tests of the caption bar, the outlook bar and the tasks pane share:
// a frame that records the commands and bar-menu requests it gets, solid-colour icons
// whose pixels show where an image was drawn, and the user's mouse at the display.
#include "support/wine/GTestWin.h"

#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/toolbar_test_support.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKVisualManagerXP.h"
#include "toolkit/frames/TKWinXPVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <utility>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace panetest {

using toolbartest::MouseButton;
using toolbartest::MoveMouseAndWait;
using toolbartest::ScreenPointOf;

constexpr UINT kFirstCommand = 900;
constexpr UINT kLastCommand = 999;

class RecordingFrame : public CTKFrameWnd {
public:
  std::vector<UINT> commands;
  std::vector<std::pair<HWND, POINT>> menuRequests;

  // Every test command has a handler, so the bars keep their buttons enabled.
  BOOL OnCmdMsg(UINT id, int code, void* extra) override {
    if (id < kFirstCommand || id > kLastCommand) return CTKFrameWnd::OnCmdMsg(id, code, extra);
    if (code == static_cast<int>(CN_UPDATE_COMMAND_UI) && extra) static_cast<CCmdUI*>(extra)->Enable(TRUE);
    return TRUE;
  }

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    static const UINT popupMenu = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
    if (message == popupMenu) {
      menuRequests.push_back(
          {reinterpret_cast<HWND>(wParam), POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)}});
      return 0;
    }
    return CTKFrameWnd::WindowProc(message, wParam, lParam);
  }
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) >= kFirstCommand && LOWORD(wParam) <= kLastCommand && lParam == 0) {
      commands.push_back(LOWORD(wParam));
      return TRUE;
    }
    return CTKFrameWnd::OnCommand(wParam, lParam);
  }
};

// An icon of one colour, so that a pixel tells whether (and where) it was drawn.
inline HICON SolidIcon(COLORREF colour, int size) {
  HDC screen = ::GetDC(nullptr);
  HBITMAP color = ::CreateCompatibleBitmap(screen, size, size);
  HBITMAP mask = ::CreateBitmap(size, size, 1, 1, nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(memory, color);
  RECT all{0, 0, size, size};
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(memory, &all, brush);
  ::DeleteObject(brush);
  ::SelectObject(memory, mask);
  ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));  // opaque everywhere
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  ICONINFO info{TRUE, 0, 0, mask, color};
  HICON icon = ::CreateIconIndirect(&info);
  ::DeleteObject(color);
  ::DeleteObject(mask);
  return icon;
}

// A click as the user makes it: the pointer brought to the point, then the button,
// each press and release handled here before the next step (or the caller's check).
inline void ClickAt(POINT screen) {
  EXPECT_TRUE(MoveMouseAndWait(screen, true));
  PumpPendingMessages(100);
  EXPECT_TRUE(toolbartest::MouseButtonAndWait(true)) << "the press reached no window of this thread";
  EXPECT_TRUE(toolbartest::MouseButtonAndWait(false)) << "the release reached no window of this thread";
  PumpPendingMessages(200);
}

// A click on a control that follows the mouse in a loop of its own while the button
// is down (a scroll bar): the input comes from another thread meanwhile.
inline void ClickFromAnotherThread(POINT screen) {
  toolbartest::InputScript script;
  script.steps = {{toolbartest::InputStep::kMove, screen},
                  {toolbartest::InputStep::kDown, screen},
                  {toolbartest::InputStep::kUp, screen}};
  toolbartest::RunDrag(script);
}

// A click that opens a menu, then keys for the open menu (X keysyms), all from
// another thread, since the menu runs a loop of its own on this one.
struct ClickAndKeys {
  POINT click;
  std::vector<unsigned long> keys;
};
inline DWORD WINAPI RunClickAndKeys(void* param) {
  auto* script = static_cast<ClickAndKeys*>(param);
  MoveMouseAndWait(script->click, false);
  MouseButton(true);
  ::Sleep(60);
  MouseButton(false);
  ::Sleep(400);
  for (unsigned long key : script->keys) {
    toolbartest::XDisplayInput::Get().Key(key, true);
    toolbartest::XDisplayInput::Get().Key(key, false);
    ::Sleep(80);
  }
  return 0;
}
inline void ClickThenKeys(POINT screen, std::vector<unsigned long> keys) {
  EXPECT_TRUE(MoveMouseAndWait(screen, true));
  PumpPendingMessages(100);
  ClickAndKeys script{screen, std::move(keys)};
  HANDLE thread = ::CreateThread(nullptr, 0, RunClickAndKeys, &script, 0, nullptr);
  ASSERT_TRUE(thread);
  EXPECT_TRUE(winetest::WaitUntil([&] { return ::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 20000));
  ::WaitForSingleObject(thread, 5000);
  ::CloseHandle(thread);
  PumpPendingMessages(300);
}

inline POINT CentreOn(const CWnd& window, const CRect& rect) {
  return ScreenPointOf(window, rect.CenterPoint());
}

// Pixels of a colour inside a rectangle of a captured image.
inline int CountColour(const CapturedImage& image, const CRect& rect, COLORREF colour) {
  int count = 0;
  for (int y = std::max<int>(0, rect.top); y < std::min<int>(image.height, rect.bottom); ++y)
    for (int x = std::max<int>(0, rect.left); x < std::min<int>(image.width, rect.right); ++x)
      if (image.At(x, y) == colour) ++count;
  return count;
}

struct LookCase {
  CRuntimeClass* cls;
  const char* name;
};
inline std::vector<LookCase> AllLooks() {
  return {{RUNTIME_CLASS(CTKVisualManager), "base"},
          {RUNTIME_CLASS(CTKVisualManagerXP), "xp"},
          {RUNTIME_CLASS(CTKWinXPVisualManager), "themed"}};
}

inline std::string ScreenshotPath(const std::string& name) {
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  return std::string(TARVEL_TEST_BINARY_DIR "/screenshots/") + name;
}

// A frame of the given size, shown; it deletes itself when its window goes.
inline RecordingFrame* MakeFrame(const char* title, CRect place) {
  auto* frame = new RecordingFrame;
  if (!frame->Create(nullptr, title, WS_OVERLAPPEDWINDOW, place)) return nullptr;
  return frame;
}

inline void ShowFrame(CFrameWnd* frame) {
  frame->ShowWindow(SW_SHOWNORMAL);
  ::SetForegroundWindow(frame->m_hWnd);
  frame->RecalcLayout();
  PumpPendingMessages();
}

}  // namespace panetest
