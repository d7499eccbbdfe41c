#pragma once
// What the toolbar window tests share: a frame with the file and edit toolbars made
// from the tests' toolbar resources, a frame that records the commands it gets, and
// mouse input as a user makes it (through SendInput, and Ctrl at the X display).
#include "support/wine/GTestWin.h"

#include "platform/afx/afxole.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/toolbar_test_resource.h"
#include "toolkit/frames/TKFrameWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <dlfcn.h>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace toolbartest {

constexpr UINT kFileBarId = AFX_IDW_CONTROLBAR_FIRST + 60;
constexpr UINT kEditBarId = AFX_IDW_CONTROLBAR_FIRST + 61;
inline const char* const kProfile = "Software\\Tarvel Tests\\Toolbars\\";
constexpr COLORREF kNewColour = RGB(220, 0, 0);
constexpr COLORREF kCutColour = RGB(200, 0, 200);

// A frame that records the commands it gets; Save is enabled only when asked.
class CommandFrame : public CTKFrameWnd {
public:
  std::vector<UINT> commands;
  BOOL saveEnabled = FALSE;

  // Every test command has a handler; only Save has a state handler.
  BOOL OnCmdMsg(UINT id, int code, void* extra) override {
    if (id < ID_TEST_NEW || id > ID_TEST_PASTE) return CTKFrameWnd::OnCmdMsg(id, code, extra);
    if (code == static_cast<int>(CN_UPDATE_COMMAND_UI)) {
      if (id != ID_TEST_SAVE) return FALSE;
      if (extra) static_cast<CCmdUI*>(extra)->Enable(saveEnabled);
      return TRUE;
    }
    return code == CN_COMMAND;
  }

  // The bars' context-menu requests: the bar window and the screen point.
  std::vector<std::pair<HWND, POINT>> menuRequests;
  // The ids of the context menus the Menu page reset.
  std::vector<UINT> contextMenuResets;
  // The customization sheet's requests for help: the index of the page shown.
  std::vector<WPARAM> helpRequests;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    static const UINT popupMenu = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
    static const UINT resetContextMenu = ::RegisterWindowMessageA("TKTOOLBAR_RESETCONTEXTMENU");
    static const UINT customizeHelp = ::RegisterWindowMessageA("TKTOOLBAR_CUSTOMIZEHELP");
    if (message == popupMenu) {
      menuRequests.push_back(
          {reinterpret_cast<HWND>(wParam), POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)}});
      return 0;
    }
    if (message == resetContextMenu) {
      contextMenuResets.push_back(static_cast<UINT>(wParam));
      return 0;
    }
    if (message == customizeHelp) {
      helpRequests.push_back(wParam);
      return 0;
    }
    return CTKFrameWnd::WindowProc(message, wParam, lParam);
  }
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) >= ID_TEST_NEW && LOWORD(wParam) <= ID_TEST_PASTE && lParam == 0) {
      commands.push_back(LOWORD(wParam));
      return TRUE;
    }
    return CTKFrameWnd::OnCommand(wParam, lParam);
  }
};

// The X display under wine, reached through XTest as a user's hands would: the
// pointer moved and its button and Ctrl pressed at the display, so that wine sees the
// same events a user makes (input injected inside wine alone is undone by the
// display's own pointer position and modifier state).
class XDisplayInput {
public:
  static XDisplayInput& Get() {
    static XDisplayInput input;
    return input;
  }
  bool Ready() const { return m_display != nullptr; }
  void Motion(POINT screen) {
    if (!Ready()) return;
    m_fakeMotion(m_display, -1, screen.x, screen.y, 0);
    m_flush(m_display);
  }
  // Button 1 is the left button, 3 the right one.
  void Button(bool down, unsigned int button = 1) {
    if (!Ready()) return;
    m_fakeButton(m_display, button, down ? 1 : 0, 0);
    m_flush(m_display);
  }
  // A key by its X keysym (Control_L 0xFFE3, Escape 0xFF1B).
  void Key(unsigned long keysym, bool down) {
    if (!Ready()) return;
    m_fakeKey(m_display, m_keysymToKeycode(m_display, keysym), down ? 1 : 0, 0);
    m_flush(m_display);
  }
  void Control(bool down) { Key(0xFFE3, down); }

private:
  XDisplayInput() {
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
    void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
    char name[64] = "";
    if (!x11 || !xtst || !::GetEnvironmentVariableA("DISPLAY", name, sizeof name)) return;
    auto open = reinterpret_cast<void* (*)(const char*)>(dlsym(x11, "XOpenDisplay"));
    m_flush = reinterpret_cast<int (*)(void*)>(dlsym(x11, "XFlush"));
    m_keysymToKeycode =
        reinterpret_cast<unsigned char (*)(void*, unsigned long)>(dlsym(x11, "XKeysymToKeycode"));
    m_fakeKey =
        reinterpret_cast<int (*)(void*, unsigned int, int, unsigned long)>(dlsym(xtst, "XTestFakeKeyEvent"));
    m_fakeButton = reinterpret_cast<int (*)(void*, unsigned int, int, unsigned long)>(
        dlsym(xtst, "XTestFakeButtonEvent"));
    m_fakeMotion =
        reinterpret_cast<int (*)(void*, int, int, int, unsigned long)>(dlsym(xtst, "XTestFakeMotionEvent"));
    if (open && m_flush && m_keysymToKeycode && m_fakeKey && m_fakeButton && m_fakeMotion)
      m_display = open(name);
  }
  void* m_display = nullptr;
  int (*m_flush)(void*) = nullptr;
  unsigned char (*m_keysymToKeycode)(void*, unsigned long) = nullptr;
  int (*m_fakeKey)(void*, unsigned int, int, unsigned long) = nullptr;
  int (*m_fakeButton)(void*, unsigned int, int, unsigned long) = nullptr;
  int (*m_fakeMotion)(void*, int, int, int, unsigned long) = nullptr;
};

// The mouse as the user moves it: the pointer of the X display.
inline void MoveMouse(POINT screen) { XDisplayInput::Get().Motion(screen); }
// Moves the mouse and waits until the cursor has stayed there for 100 ms: under the
// virtual display a move can get lost, or an older position can come back after it;
// the move is sent again then. Pumps this thread's messages when asked.
inline bool MoveMouseAndWait(POINT screen, bool pump) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    MoveMouse(screen);
    int steady = 0;
    for (int wait = 0; wait < 25; ++wait) {
      if (pump)
        PumpPendingMessages(10);
      else
        ::Sleep(10);
      POINT at;
      ::GetCursorPos(&at);
      if (at.x != screen.x || at.y != screen.y) {
        if (steady > 0) break;  // moved away again: send once more
        continue;
      }
      if (++steady == 10) return true;
    }
  }
  return false;
}
inline void MouseButton(bool down) { XDisplayInput::Get().Button(down); }
// Presses or lets go of the left button at the display and waits until this thread has
// taken it from its queue: the display hands it to wine a while later, and a check made
// before then sees the windows as they were before the click.
inline bool MouseButtonAndWait(bool down) {
  MouseButton(down);
  return winetest::WaitUntil([down] { return (::GetKeyState(VK_LBUTTON) < 0) == down; }, 5000);
}

inline bool ControlAtDisplay(bool down) {
  if (!XDisplayInput::Get().Ready()) return false;
  XDisplayInput::Get().Control(down);
  return true;
}

inline POINT ScreenPointOf(const CWnd& window, POINT client) {
  ::ClientToScreen(window.m_hWnd, &client);
  return client;
}

inline std::vector<UINT> IdsOf(const CTKToolBar& bar) {
  std::vector<UINT> ids;
  for (int i = 0; i < bar.GetCount(); ++i) ids.push_back(bar.GetItemID(i));
  return ids;
}

// Runs a script of mouse and key input from a thread of its own, so that the test's
// thread can sit in the modal drag loop meanwhile.
struct InputStep {
  // kMenuShown waits until a system popup menu shows (opened by the step before);
  // kRightClick presses and releases the right button; kCall runs the step's call on
  // the script's thread (to look at what shows meanwhile); kWaitUntil waits until its
  // condition holds (what the program does meanwhile, such as a timer's tick).
  enum Kind { kMove, kDown, kUp, kEscape, kKey, kMenuShown, kRightClick, kCall, kWaitUntil } kind;
  POINT point;
  // The X keysym a kKey step presses and releases.
  unsigned long key = 0;
  std::function<void()> call = {};
  std::function<bool()> until = {};
};
struct InputScript {
  std::vector<InputStep> steps;
};
inline DWORD WINAPI RunInputScript(void* param) {
  auto* script = static_cast<InputScript*>(param);
  for (const InputStep& step : script->steps) {
    switch (step.kind) {
      case InputStep::kMove:
        MoveMouseAndWait(step.point, false);
        break;
      case InputStep::kDown:
        MouseButton(true);
        break;
      case InputStep::kUp:
        MouseButton(false);
        break;
      case InputStep::kRightClick:
        XDisplayInput::Get().Button(true, 3);
        ::Sleep(60);
        XDisplayInput::Get().Button(false, 3);
        break;
      case InputStep::kEscape:
        XDisplayInput::Get().Key(0xFF1B, true);
        XDisplayInput::Get().Key(0xFF1B, false);
        break;
      case InputStep::kKey:
        XDisplayInput::Get().Key(step.key, true);
        XDisplayInput::Get().Key(step.key, false);
        break;
      case InputStep::kMenuShown:
        winetest::WaitUntil(
            [] {
              HWND menu = ::FindWindowA("#32768", nullptr);
              return menu && ::IsWindowVisible(menu);
            },
            5000);
        break;
      case InputStep::kWaitUntil:
        winetest::WaitUntil(step.until, 10000);
        break;
      case InputStep::kCall:
        if (step.call) step.call();
        break;
    }
    ::Sleep(60);
  }
  return 0;
}

// A drag from one point to another in steps.
inline InputScript DragScript(POINT from, POINT to) {
  InputScript script;
  script.steps.push_back({InputStep::kMove, from});
  script.steps.push_back({InputStep::kDown, from});
  for (int i = 1; i <= 10; ++i)
    script.steps.push_back(
        {InputStep::kMove, POINT{from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10}});
  script.steps.push_back({InputStep::kMove, POINT{to.x + 1, to.y}});
  script.steps.push_back({InputStep::kMove, to});
  script.steps.push_back({InputStep::kUp, to});
  return script;
}

// Runs the drag with Ctrl held when asked; Ctrl goes down before the drag from this
// thread, so that this thread's keyboard state has it when the drag begins.
inline void RunDrag(const InputScript& script, bool ctrl = false) {
  EXPECT_TRUE(MoveMouseAndWait(script.steps.front().point, true));
  if (ctrl) EXPECT_TRUE(ControlAtDisplay(true));
  PumpPendingMessages(150);
  InputScript copy = script;
  HANDLE thread = ::CreateThread(nullptr, 0, RunInputScript, &copy, 0, nullptr);
  ASSERT_TRUE(thread);
  EXPECT_TRUE(winetest::WaitUntil([&] { return ::WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 20000));
  ::WaitForSingleObject(thread, 5000);
  ::CloseHandle(thread);
  if (ctrl) ControlAtDisplay(false);
  PumpPendingMessages(300);
}

class ToolbarFrame : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(AfxOleInit());
    Build();
  }
  void TearDown() override {
    CTKToolBar::SetCustomizeMode(FALSE);
    Destroy();
  }
  void Build() {
    frame = new CommandFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Toolbars", WS_OVERLAPPEDWINDOW, CRect(40, 40, 520, 400), nullptr,
                              menuId ? MAKEINTRESOURCEA(menuId) : nullptr));
    frameHwnd = frame->m_hWnd;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    fileBar = std::make_unique<CTKToolBar>();
    editBar = std::make_unique<CTKToolBar>();
    ASSERT_TRUE(fileBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId));
    ASSERT_TRUE(fileBar->LoadToolBar(IDR_FILE_TOOLBAR));
    fileBar->SetWindowText("File");
    ASSERT_TRUE(editBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_LEFT, kEditBarId));
    ASSERT_TRUE(editBar->LoadToolBar(IDR_EDIT_TOOLBAR));
    editBar->SetWindowText("Edit");
    ASSERT_TRUE(frame->DockControlBar(fileBar.get(), AFX_IDW_DOCKBAR_TOP));
    ASSERT_TRUE(frame->DockControlBar(editBar.get(), AFX_IDW_DOCKBAR_LEFT));
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(frameHwnd);
    frame->RecalcLayout();
    PumpPendingMessages();
  }
  void Destroy() {
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    fileBar.reset();
    editBar.reset();
    frame = nullptr;
  }
  POINT CentreOf(const CTKToolBar& bar, int index) const {
    CRect rect;
    bar.GetItemRect(index, &rect);
    return ScreenPointOf(bar, rect.CenterPoint());
  }
  // A click on the point, with the mouse brought there first.
  void ClickAt(POINT screen) {
    EXPECT_TRUE(MoveMouseAndWait(screen, true));
    PumpPendingMessages(100);
    MouseButton(true);
    PumpPendingMessages(100);
    MouseButton(false);
    PumpPendingMessages(200);
  }

  // The frame's menu resource (none by default).
  UINT menuId = 0;
  CommandFrame* frame = nullptr;
  HWND frameHwnd = nullptr;
  std::unique_ptr<CTKToolBar> fileBar;
  std::unique_ptr<CTKToolBar> editBar;
};

}  // namespace toolbartest
