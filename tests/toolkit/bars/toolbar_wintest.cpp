// Toolbars in a frame, made from toolbar resources: their layout docked on a side and
// wrapped, the commands clicks and access keys send, tooltips, the state kept in the
// registry, customize-mode drag and drop between two bars, and how each look paints
// them. Input comes through SendInput, as a user's would.
#include "support/wine/GTestWin.h"

#include "platform/afx/afxole.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/toolbar_test_resource.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKVisualManagerXP.h"
#include "toolkit/frames/TKWinXPVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

#include "platform/afx/linux_headers_begin.h"
#include <dlfcn.h>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

constexpr UINT kFileBarId = AFX_IDW_CONTROLBAR_FIRST + 60;
constexpr UINT kEditBarId = AFX_IDW_CONTROLBAR_FIRST + 61;
const char* const kProfile = "Software\\Tarvel Tests\\Toolbars\\";
const COLORREF kNewColour = RGB(220, 0, 0);
const COLORREF kCutColour = RGB(200, 0, 200);

// A frame that records the commands it gets; Save is enabled only when asked.
class CommandFrame : public CTKFrameWnd {
public:
  std::vector<UINT> commands;
  BOOL saveEnabled = FALSE;

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) >= ID_TEST_NEW && LOWORD(wParam) <= ID_TEST_PASTE && lParam == 0) {
      commands.push_back(LOWORD(wParam));
      return TRUE;
    }
    return CTKFrameWnd::OnCommand(wParam, lParam);
  }
  void OnTestCommand() {}
  void OnUpdateSave(CCmdUI* ui) { ui->Enable(saveEnabled); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CommandFrame, CTKFrameWnd)
  ON_COMMAND_RANGE(ID_TEST_NEW, ID_TEST_PASTE, OnTestCommand)
  ON_UPDATE_COMMAND_UI(ID_TEST_SAVE, OnUpdateSave)
END_MESSAGE_MAP()

// The mouse as the user moves it.
void MoveMouse(POINT screen) {
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = (screen.x * 65536 + w - 1) / w;
  in.mi.dy = (screen.y * 65536 + h - 1) / h;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof in);
}
// Moves the mouse and waits until the cursor is there (a move can get lost under the
// virtual display; it is sent again then). Pumps this thread's messages when asked.
bool MoveMouseAndWait(POINT screen, bool pump) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    MoveMouse(screen);
    for (int wait = 0; wait < 20; ++wait) {
      POINT at;
      ::GetCursorPos(&at);
      if (at.x == screen.x && at.y == screen.y) return true;
      if (pump)
        PumpPendingMessages(10);
      else
        ::Sleep(10);
    }
  }
  return false;
}
void MouseButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &in, sizeof in);
}

// Holds or releases Ctrl at the X display itself. Wine takes the modifier state from
// the display with every mouse event, so a Ctrl sent only through SendInput does not
// stay down while the mouse moves; a user's Ctrl is down at the display.
bool ControlAtDisplay(bool down) {
  typedef void* (*OpenDisplay)(const char*);
  typedef unsigned char (*KeysymToKeycode)(void*, unsigned long);
  typedef int (*FakeKeyEvent)(void*, unsigned int, int, unsigned long);
  typedef int (*Flush)(void*);
  static void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_GLOBAL);
  static void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
  static void* display = nullptr;
  if (!x11 || !xtst) return false;
  if (!display) {
    char name[64] = "";
    if (!::GetEnvironmentVariableA("DISPLAY", name, sizeof name)) return false;
    display = reinterpret_cast<OpenDisplay>(dlsym(x11, "XOpenDisplay"))(name);
    if (!display) return false;
  }
  const unsigned char code =
      reinterpret_cast<KeysymToKeycode>(dlsym(x11, "XKeysymToKeycode"))(display, 0xFFE3);
  reinterpret_cast<FakeKeyEvent>(dlsym(xtst, "XTestFakeKeyEvent"))(display, code, down ? 1 : 0, 0);
  reinterpret_cast<Flush>(dlsym(x11, "XFlush"))(display);
  return true;
}

POINT ScreenPointOf(const CWnd& window, POINT client) {
  ::ClientToScreen(window.m_hWnd, &client);
  return client;
}

std::vector<UINT> IdsOf(const CTKToolBar& bar) {
  std::vector<UINT> ids;
  for (int i = 0; i < bar.GetCount(); ++i) ids.push_back(bar.GetItemID(i));
  return ids;
}

// A frame of 480 x 360 with the file toolbar docked at the top and the edit toolbar
// down the left side.
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
    ASSERT_TRUE(frame->Create(nullptr, "Toolbars", WS_OVERLAPPEDWINDOW, CRect(40, 40, 520, 400)));
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

  CommandFrame* frame = nullptr;
  HWND frameHwnd = nullptr;
  std::unique_ptr<CTKToolBar> fileBar;
  std::unique_ptr<CTKToolBar> editBar;
};

TEST_F(ToolbarFrame, ButtonsLieInARowAtTheTopAndInAColumnDownTheSide) {
  // The resource's ids, a separator in the middle, images numbered from the bar's
  // first image in the shared strip.
  EXPECT_EQ(IdsOf(*fileBar), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}));
  const int first = fileBar->GetImagesOffset();
  EXPECT_EQ(fileBar->GetButton(0)->GetImage(), first);
  EXPECT_EQ(fileBar->GetButton(1)->GetImage(), first + 1);
  EXPECT_TRUE(fileBar->GetButton(2)->IsSeparator());
  EXPECT_EQ(fileBar->GetButton(3)->GetImage(), first + 2);
  EXPECT_EQ(editBar->GetButton(0)->GetImage(), editBar->GetImagesOffset());
  EXPECT_NE(editBar->GetImagesOffset(), first);

  // Buttons are the image size plus 6 each way; the row starts one pixel in, the
  // separator is 8 wide.
  struct Expected {
    int left, width;
  };
  const Expected row[] = {{1, 22}, {23, 22}, {45, 8}, {53, 22}, {75, 22}};
  for (int i = 0; i < 5; ++i) {
    CRect rect;
    fileBar->GetItemRect(i, &rect);
    EXPECT_EQ(rect, CRect(row[i].left, 0, row[i].left + row[i].width, 21)) << "button " << i;
  }
  for (int i = 0; i < 3; ++i) {
    CRect rect;
    editBar->GetItemRect(i, &rect);
    EXPECT_EQ(rect, CRect(0, 1 + 21 * i, 22, 22 + 21 * i)) << "button " << i;
  }
  // The bars lie on their sides of the frame: the file bar at the start of the top
  // side, which runs across the frame as tall as a row plus the bar's borders; the
  // edit bar below it on the left.
  CRect client, file, edit;
  ::GetClientRect(frameHwnd, &client);
  fileBar->GetWindowRect(&file);
  editBar->GetWindowRect(&edit);
  ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&file), 2);
  ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&edit), 2);
  CRect fileClient;
  fileBar->GetClientRect(&fileClient);
  EXPECT_EQ(file.TopLeft(), CPoint(0, 0));
  CRect topSide;
  ::GetWindowRect(::GetParent(fileBar->m_hWnd), &topSide);
  ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&topSide), 2);
  EXPECT_EQ(topSide, CRect(0, 0, client.Width(), file.Height()));
  EXPECT_EQ(file.Width(), fileBar->CalcFixedLayout(FALSE, TRUE).cx);
  EXPECT_EQ(fileClient.Height(), 21);
  EXPECT_EQ(edit.top, file.bottom);
  EXPECT_EQ(edit.left, 0);
  CRect editClient;
  editBar->GetClientRect(&editClient);
  EXPECT_EQ(editClient.Width(), 22);

  // The common-control messages answer as a toolbar control would.
  EXPECT_EQ(fileBar->SendMessage(TB_BUTTONCOUNT), 5);
  TBBUTTON info{};
  EXPECT_TRUE(fileBar->SendMessage(TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&info)));
  EXPECT_EQ(info.idCommand, ID_TEST_SAVE);
  char text[32] = "x";
  fileBar->SetButtonText(1, "Open");
  EXPECT_EQ(fileBar->SendMessage(TB_GETBUTTONTEXTA, ID_TEST_OPEN, reinterpret_cast<LPARAM>(text)), 4);
  EXPECT_STREQ(text, "Open");
}

TEST_F(ToolbarFrame, ANarrowHorizontalBarWrapsIntoRowsWithALineBetweenThem) {
  // A bar of its own in a plain window, sized by the layout it asks for.
  CWnd host;
  ASSERT_TRUE(
      host.CreateEx(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE, 200, 150, 200, 150, frameHwnd, nullptr));
  CTKToolBar bar;
  ASSERT_TRUE(bar.Create(&host, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC, kFileBarId + 5));
  ASSERT_TRUE(bar.LoadToolBar(IDR_FILE_TOOLBAR));
  CRect inside(0, 0, 0, 0);
  bar.CalcInsideRect(inside, TRUE);
  // Room for 50 pixels of buttons: New and Open fit, the separator ends the first row.
  CSize size = bar.CalcDynamicLayout(50 - inside.Width(), LM_HORZ | LM_COMMIT);
  EXPECT_EQ(size.cy, 21 + 5 + 21 - inside.Height());
  ::SetWindowPos(bar.m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  PumpPendingMessages();
  EXPECT_TRUE(bar.GetButton(2)->m_bWrap);
  CRect open, save, print;
  bar.GetItemRect(1, &open);
  bar.GetItemRect(3, &save);
  bar.GetItemRect(4, &print);
  EXPECT_EQ(save.left, 1);
  EXPECT_EQ(save.top, open.bottom + 5);
  EXPECT_EQ(print.left, save.right);
  EXPECT_EQ(print.top, save.top);
  // The wrapping separator is a line across the gap between the rows.
  CapturedImage image = CaptureWindow(bar.m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  bool line = false;
  for (int y = open.bottom; y < save.top; ++y)
    if (image.At(20, y) == GlobalData::Get().barShadow) line = true;
  EXPECT_TRUE(line);
  // A vertical layout of the same bar is one column of five (its gripper on top).
  CSize column = bar.CalcDynamicLayout(-1, LM_VERTDOCK);
  CRect vertical(0, 0, 0, 0);
  bar.CalcInsideRect(vertical, FALSE);
  EXPECT_EQ(column.cy, 4 * 21 + 8 - vertical.Height());
  EXPECT_EQ(column.cx, 22 - vertical.Width());
}

TEST_F(ToolbarFrame, ClicksSendTheButtonsCommandButNotFromDisabledButtonsOrWhenReleasedElsewhere) {
  struct Case {
    int index;
    BOOL saveEnabled;
    bool sent;
  };
  const Case cases[] = {
      {0, FALSE, true}, {1, FALSE, true}, {3, FALSE, false}, {3, TRUE, true}, {4, FALSE, true}};
  for (const Case& c : cases) {
    frame->commands.clear();
    frame->saveEnabled = c.saveEnabled;
    ClickAt(CentreOf(*fileBar, c.index));
    const UINT id = fileBar->GetItemID(c.index);
    winetest::WaitUntil([&] { return !frame->commands.empty(); }, c.sent ? 2000 : 300);
    if (c.sent)
      EXPECT_EQ(frame->commands, std::vector<UINT>{id}) << "button " << c.index;
    else
      EXPECT_TRUE(frame->commands.empty()) << "button " << c.index;
    // A disabled button is never drawn pressed.
    EXPECT_FALSE(fileBar->GetButtonStyle(c.index) & TBBS_PRESSED);
  }
  EXPECT_TRUE(fileBar->GetButtonStyle(3) & TBBS_DISABLED ? false : true);

  // Pressed on New and released over Open: nothing. Pressed on New, out and back in:
  // New.
  frame->commands.clear();
  EXPECT_TRUE(MoveMouseAndWait(CentreOf(*fileBar, 0), true));
  PumpPendingMessages(100);
  MouseButton(true);
  PumpPendingMessages(100);
  EXPECT_TRUE(fileBar->GetButtonStyle(0) & TBBS_PRESSED);
  EXPECT_TRUE(MoveMouseAndWait(CentreOf(*fileBar, 1), true));
  PumpPendingMessages(100);
  EXPECT_FALSE(fileBar->GetButtonStyle(0) & TBBS_PRESSED);
  MouseButton(false);
  PumpPendingMessages(300);
  EXPECT_TRUE(frame->commands.empty());
  EXPECT_TRUE(MoveMouseAndWait(CentreOf(*fileBar, 0), true));
  PumpPendingMessages(100);
  MouseButton(true);
  PumpPendingMessages(100);
  EXPECT_TRUE(MoveMouseAndWait(CentreOf(*editBar, 0), true));
  PumpPendingMessages(100);
  EXPECT_TRUE(MoveMouseAndWait(CentreOf(*fileBar, 0), true));
  PumpPendingMessages(100);
  EXPECT_TRUE(fileBar->GetButtonStyle(0) & TBBS_PRESSED);
  MouseButton(false);
  winetest::WaitUntil([&] { return !frame->commands.empty(); }, 2000);
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_NEW});
}

TEST_F(ToolbarFrame, AccessKeysOfButtonsWithTextSendTheirCommands) {
  ASSERT_TRUE(fileBar->SetButtonDisplay(1, "&Open", TRUE, TRUE));
  ASSERT_TRUE(fileBar->SetButtonDisplay(4, "P&rint", TRUE, FALSE));
  ASSERT_TRUE(fileBar->SetButtonDisplay(0, "&&New", TRUE, TRUE));  // a literal ampersand
  fileBar->AdjustSize();
  struct Case {
    UINT key;
    UINT command;
  };
  const Case cases[] = {{'O', ID_TEST_OPEN}, {'R', ID_TEST_PRINT}, {'N', 0}, {'Z', 0}};
  for (const Case& c : cases) {
    frame->commands.clear();
    EXPECT_EQ(fileBar->ProcessMnemonic(c.key), c.command != 0) << static_cast<char>(c.key);
    winetest::WaitUntil([&] { return !frame->commands.empty(); }, c.command ? 2000 : 100);
    if (c.command)
      EXPECT_EQ(frame->commands, std::vector<UINT>{c.command});
    else
      EXPECT_TRUE(frame->commands.empty());
  }
  // Text makes the button wider by the text; a text-only button loses its image width.
  CRect open, print;
  fileBar->GetItemRect(1, &open);
  fileBar->GetItemRect(4, &print);
  EXPECT_GT(open.Width(), 22 + 20);
  EXPECT_LT(print.Width(), open.Width());
}

TEST_F(ToolbarFrame, TooltipsShowTheCommandsShortTextAndItsShortcut) {
  ACCEL accel{FVIRTKEY | FCONTROL, 'O', ID_TEST_OPEN};
  frame->m_hAccelTable = ::CreateAcceleratorTableA(&accel, 1);
  CTKKeyboardManager keyboard;
  CTKKeyboardManager* previous = g_pKeyboardManager;
  g_pKeyboardManager = &keyboard;
  struct Case {
    int index;
    std::string text;
  };
  const Case cases[] = {{1, "Open (" + std::string(CTKKeyboardManager::ShortcutText(accel)) + ")"},
                        {3, "Save"}};
  for (const Case& c : cases) {
    MoveMouseAndWait(POINT{10, 700}, true);
    PumpPendingMessages(200);
    POINT centre = CentreOf(*fileBar, c.index);
    for (int step = 0; step < 4; ++step) {
      MoveMouse(POINT{centre.x - 3 + step, centre.y});
      PumpPendingMessages(50);
    }
    const bool shown = winetest::WaitUntil(
        [&] { return fileBar->m_hToolTip && ::IsWindowVisible(fileBar->m_hToolTip); }, 4000);
    EXPECT_TRUE(shown) << c.text;
    char text[80] = "";
    TOOLINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = fileBar->m_hWnd;
    info.uId = 1;
    info.lpszText = text;
    ::SendMessageA(fileBar->m_hToolTip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::string(text), c.text);
    if (shown) {
      CapturedImage tip = CaptureWindow(fileBar->m_hToolTip, false);
      ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
      if (c.index == 1) SavePng(tip, TARVEL_TEST_BINARY_DIR "/screenshots/toolbar-tooltip.png");
    }
  }
  g_pKeyboardManager = previous;
}

// Everything of a bar a user can change, to compare two bars.
std::vector<std::string> Describe(const CTKToolBar& bar) {
  std::vector<std::string> lines;
  CString name;
  bar.GetWindowText(name);
  lines.push_back(std::string("name ") + static_cast<const char*>(name));
  for (int i = 0; i < bar.GetCount(); ++i) {
    const CTKToolbarButton* b = bar.GetButton(i);
    char line[160];
    snprintf(line, sizeof line, "%u style %x image %d text '%s' show %d%d user %d", b->m_nID,
             b->m_nStyle & ~TBBS_WRAPPED, b->GetImage(), static_cast<const char*>(b->m_strText), b->m_bText,
             b->m_bImage, b->m_bUserImage);
    lines.push_back(line);
  }
  return lines;
}

TEST_F(ToolbarFrame, StateKeptInTheRegistryComesBackIdenticalInAFreshBar) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  // The user's edits: Print gone, Open with its text, New moved to the end, a name.
  ASSERT_TRUE(fileBar->RemoveButton(4));
  ASSERT_TRUE(fileBar->SetButtonDisplay(1, "&Open", TRUE, TRUE));
  ASSERT_GE(fileBar->InsertButtonCopy(*fileBar->GetButton(0)), 0);
  ASSERT_TRUE(fileBar->RemoveButton(0));
  fileBar->SetWindowText("My files");
  fileBar->AdjustSize();
  const std::vector<std::string> edited = Describe(*fileBar);
  ASSERT_TRUE(fileBar->SaveState(kProfile));

  // The values under the bar's key.
  HKEY key = nullptr;
  const std::string path = std::string(kProfile) + "TKToolBar-" + std::to_string(kFileBarId);
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS) << path;
  char name[40] = "";
  DWORD type = 0, size = sizeof name;
  EXPECT_EQ(::RegQueryValueExA(key, "Name", nullptr, &type, reinterpret_cast<BYTE*>(name), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(name, "My files");
  size = 0;
  EXPECT_EQ(::RegQueryValueExA(key, "Buttons", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  ::RegCloseKey(key);

  // A new bar, made from the resource as at every start, takes the stored state.
  CTKToolBar fresh;
  ASSERT_TRUE(fresh.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId + 10));
  ASSERT_TRUE(fresh.LoadToolBar(IDR_FILE_TOOLBAR));
  EXPECT_NE(Describe(fresh), edited);
  ASSERT_TRUE(fresh.LoadState(kProfile, kFileBarId));
  EXPECT_EQ(Describe(fresh), edited);
  // A bar with nothing stored keeps its resource buttons.
  CTKToolBar other;
  ASSERT_TRUE(other.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId + 11));
  ASSERT_TRUE(other.LoadToolBar(IDR_FILE_TOOLBAR));
  EXPECT_FALSE(other.LoadState(kProfile));
  EXPECT_EQ(IdsOf(other), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}));
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
}

TEST_F(ToolbarFrame, CommandsAddedToOrRemovedFromTheResourceShowOnTheUsersStoredBar) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  CTKWorkspace workspace(TRUE);           // toolbars keep their original items
  ASSERT_TRUE(fileBar->RemoveButton(1));  // the user removed Open
  ASSERT_TRUE(fileBar->SaveState(kProfile));
  struct Case {
    UINT resource;
    std::vector<UINT> ids;
    BOOL changed;
  };
  const Case cases[] = {
      // Export appears at its resource position (the third); Open stays removed.
      {IDR_FILE_TOOLBAR_GROWN, {ID_TEST_NEW, 0, ID_TEST_EXPORT, ID_TEST_SAVE, ID_TEST_PRINT}, TRUE},
      // Save left the program: it leaves the user's bar.
      {IDR_FILE_TOOLBAR_SHRUNK, {ID_TEST_NEW, 0, ID_TEST_PRINT}, TRUE},
      {IDR_FILE_TOOLBAR, {ID_TEST_NEW, 0, ID_TEST_SAVE, ID_TEST_PRINT}, FALSE},
  };
  int n = 0;
  for (const Case& c : cases) {
    CTKToolBar later;
    ASSERT_TRUE(later.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId + 20 + n++));
    ASSERT_TRUE(later.LoadToolBar(c.resource, 0, 0, FALSE, 0, 0, IDR_FILE_TOOLBAR));
    ASSERT_TRUE(later.LoadState(kProfile, kFileBarId));
    EXPECT_EQ(IdsOf(later), c.ids) << c.resource;
    EXPECT_EQ(later.IsResourceChanged(), c.changed) << c.resource;
  }
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
}

TEST(ToolbarParameters, SaveAndLoadTheClassWideOptionsAndAShortKeyLeavesTheRest) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  CTKToolBar::s_bShowTooltips = FALSE;
  CTKToolBar::s_nMenuAnimation = 2;
  CTKVisualManager::GetInstance()->m_lookFlag = TRUE;
  ASSERT_TRUE(CTKToolBar::SaveParameters(kProfile));
  CTKToolBar::s_bShowTooltips = TRUE;
  CTKToolBar::s_nMenuAnimation = 0;
  CTKVisualManager::GetInstance()->m_lookFlag = FALSE;
  ASSERT_TRUE(CTKToolBar::LoadParameters(kProfile));
  EXPECT_FALSE(CTKToolBar::s_bShowTooltips);
  EXPECT_EQ(CTKToolBar::s_nMenuAnimation, 2);
  EXPECT_TRUE(CTKVisualManager::GetInstance()->m_lookFlag);

  // A key with only the first two values: those are read, large icons stay as they
  // are, the menu animation and the look flag fall to 0.
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars\\TKToolbarParameters", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD one = 1, zero = 0;
  ::RegSetValueExA(key, "Tooltips", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4);
  ::RegSetValueExA(key, "ShortcutKeys", 0, REG_DWORD, reinterpret_cast<BYTE*>(&zero), 4);
  ::RegCloseKey(key);
  CTKToolBar::s_bShowShortcutKeys = TRUE;
  EXPECT_FALSE(CTKToolBar::LoadParameters(kProfile));
  EXPECT_TRUE(CTKToolBar::s_bShowTooltips);
  EXPECT_FALSE(CTKToolBar::s_bShowShortcutKeys);
  EXPECT_FALSE(CTKToolBar::IsLargeIcons());
  EXPECT_EQ(CTKToolBar::s_nMenuAnimation, 0);
  EXPECT_FALSE(CTKVisualManager::GetInstance()->m_lookFlag);
  CTKToolBar::s_bShowShortcutKeys = TRUE;
  // No key at all changes nothing.
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  CTKToolBar::s_bShowTooltips = FALSE;
  EXPECT_FALSE(CTKToolBar::LoadParameters(kProfile));
  EXPECT_FALSE(CTKToolBar::s_bShowTooltips);
  CTKToolBar::s_bShowTooltips = TRUE;
}

// Runs a script of mouse and key input from a thread of its own, so that the test's
// thread can sit in the modal drag loop meanwhile.
struct InputStep {
  enum Kind { kMove, kDown, kUp } kind;
  POINT point;
};
struct InputScript {
  std::vector<InputStep> steps;
};
DWORD WINAPI RunInputScript(void* param) {
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
    }
    ::Sleep(60);
  }
  return 0;
}

// A drag from one point to another in steps.
InputScript DragScript(POINT from, POINT to) {
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
void RunDrag(const InputScript& script, bool ctrl = false) {
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

TEST_F(ToolbarFrame, CustomizeModeMovesCopiesAndRemovesButtonsByDraggingThem) {
  struct Case {
    const char* what;
    bool ctrl;
    bool toDesktop;
    std::vector<UINT> file, edit;
  };
  const Case cases[] = {
      {"move",
       false,
       false,
       {ID_TEST_NEW, 0, ID_TEST_SAVE, ID_TEST_PRINT},
       {ID_TEST_CUT, ID_TEST_OPEN, ID_TEST_COPY, ID_TEST_PASTE}},
      {"copy",
       true,
       false,
       {ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT},
       {ID_TEST_CUT, ID_TEST_OPEN, ID_TEST_COPY, ID_TEST_PASTE}},
      {"remove",
       false,
       true,
       {ID_TEST_NEW, 0, ID_TEST_SAVE, ID_TEST_PRINT},
       {ID_TEST_CUT, ID_TEST_COPY, ID_TEST_PASTE}},
  };
  bool first = true;
  for (const Case& c : cases) {
    if (!first) {
      CTKToolBar::SetCustomizeMode(FALSE);
      Destroy();
      Build();
    }
    first = false;
    ASSERT_TRUE(CTKToolBar::SetCustomizeMode(TRUE));
    EXPECT_FALSE(CTKToolBar::SetCustomizeMode(TRUE));  // already on
    frame->commands.clear();
    // Into the upper half of Copy on the edit bar: before Copy.
    CRect copy;
    editBar->GetItemRect(1, &copy);
    POINT target = ScreenPointOf(*editBar, POINT{copy.CenterPoint().x, copy.top + 4});
    if (c.toDesktop) {
      CRect window;
      ::GetWindowRect(frameHwnd, &window);
      target = POINT{window.right + 60, window.top + 100};
    }
    RunDrag(DragScript(CentreOf(*fileBar, 1), target), c.ctrl);
    EXPECT_EQ(IdsOf(*fileBar), c.file) << c.what;
    EXPECT_EQ(IdsOf(*editBar), c.edit) << c.what;
    EXPECT_TRUE(frame->commands.empty()) << c.what << ": no command in customize mode";
    EXPECT_EQ(editBar->GetInsertionIndex(), -1) << c.what;
  }
  // A moved button draws its image on the new bar.
  PumpPendingMessages();
  CRect open;
  editBar->GetItemRect(1, &open);
  CapturedImage image = CaptureWindow(editBar->m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  EXPECT_NE(image.At(open.CenterPoint().x, open.CenterPoint().y), kCutColour);
}

TEST_F(ToolbarFrame, OutsideCustomizeModeNoBarTakesADraggedButton) {
  // Dragging a button normally is just a press that ends elsewhere.
  RunDrag(DragScript(CentreOf(*fileBar, 1), CentreOf(*editBar, 1)));
  EXPECT_EQ(IdsOf(*fileBar), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}));
  EXPECT_EQ(IdsOf(*editBar), (std::vector<UINT>{ID_TEST_CUT, ID_TEST_COPY, ID_TEST_PASTE}));
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(ToolbarFrame, EachLookPaintsTheBarsWithTheirImages) {
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  struct Look {
    CRuntimeClass* cls;
    const char* file;
  };
  const Look looks[] = {{RUNTIME_CLASS(CTKVisualManager), "toolbars-base.png"},
                        {RUNTIME_CLASS(CTKVisualManagerXP), "toolbars-xp.png"},
                        {RUNTIME_CLASS(CTKWinXPVisualManager), "toolbars-themed.png"}};
  frame->saveEnabled = FALSE;
  fileBar->OnUpdateCmdUI(frame, TRUE);  // Save disabled
  fileBar->SetButtonStyle(4, fileBar->GetButtonStyle(4) | TBBS_CHECKED);
  for (const Look& look : looks) {
    ASSERT_TRUE(CTKVisualManager::SelectLookClass(look.cls));
    CTKVisualManager::GetInstance();
    ::RedrawWindow(frameHwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPendingMessages();
    CapturedImage image = CaptureWindow(frameHwnd, true);
    ASSERT_FALSE(image.Empty());
    EXPECT_TRUE(SavePng(image, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/") + look.file));
    auto at = [&](const CTKToolBar& bar, int index) {
      CRect rect;
      bar.GetItemRect(index, &rect);
      POINT p = rect.CenterPoint();
      ::MapWindowPoints(bar.m_hWnd, frameHwnd, &p, 1);
      return image.At(p.x, p.y);
    };
    EXPECT_EQ(at(*fileBar, 0), kNewColour) << look.file;
    EXPECT_EQ(at(*editBar, 0), kCutColour) << look.file;
    // Save is disabled: its shape in the shadow colour, not its own blue.
    EXPECT_EQ(at(*fileBar, 3), GlobalData::Get().buttonShadow) << look.file;
  }
  CTKVisualManager::SelectLookClass(nullptr);
}

}  // namespace
