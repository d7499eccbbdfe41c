// Context menus kept by the toolkit's manager: shown as the toolkit's popup menus at
// the point asked (or just inside the owner), their choice reaching the frame that
// holds the owner; a modal track returning the chosen command; a quit arriving during
// a track; and a customised menu kept in the registry across managers. Input comes
// through SendInput.
#include "support/wine/GTestWin.h"

#include "toolkit/bars/TKContextMenuManager.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/menu_test_resource.h"
#include "toolkit/bars/menu_test_support.h"
#include "toolkit/frames/TKDialog.h"
#include "toolkit/frames/TKFrameWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace menutest;

const char* const kProfile = "Software\\Tarvel Tests\\ContextMenus\\";

class RecordingFrame : public CTKFrameWnd {
public:
  std::vector<UINT> commands;

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) >= ID_TEST_NEW && LOWORD(wParam) <= ID_TEST_CUSTOMIZE && lParam == 0) {
      commands.push_back(LOWORD(wParam));
      return TRUE;
    }
    return CTKFrameWnd::OnCommand(wParam, lParam);
  }
  void OnTestCommand() {}
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingFrame, CTKFrameWnd)
  ON_COMMAND_RANGE(ID_TEST_NEW, ID_TEST_VIEW_BAR, OnTestCommand)
END_MESSAGE_MAP()

void SendMouse(DWORD flags, POINT screen = {0, 0}) {
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_MOVE) {
    in.mi.dx = (screen.x * 65536 + w - 1) / w;
    in.mi.dy = (screen.y * 65536 + h - 1) / h;
    in.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
  }
  ::SendInput(1, &in, sizeof in);
}

int IndexOf(CTKPopupMenu* popup, UINT id) {
  for (int i = 0; popup && i < popup->GetMenuItemCount(); ++i)
    if (popup->GetMenuItem(i)->m_nID == id) return i;
  return -1;
}

// The centre of the item with that command, on the screen.
POINT CommandCentre(CTKPopupMenu* popup, UINT id) {
  const int index = IndexOf(popup, id);
  POINT point{0, 0};
  if (index < 0) return point;
  point = popup->GetMenuItem(index)->m_rect.CenterPoint();
  ::ClientToScreen(popup->GetMenuBar()->m_hWnd, &point);
  return point;
}

// Chooses an item of the tracked popup from inside the track's own loop, one step per
// timer tick: the pointer moves onto it until the item is lit (the popup passes over the
// first move, a move to where the pointer is already comes to nothing, and the display
// can bring an older pointer position back after a move: so it moves by a pixel each
// time), then presses and releases there.
UINT g_trackChoice = 0;
int g_trackStep = 0;
int g_trackMoves = 0;

VOID CALLBACK ChooseWhileTracking(HWND, UINT, UINT_PTR timer, DWORD) {
  CTKPopupMenu* popup = OpenPopup();
  if (!popup) return;
  POINT item = CommandCentre(popup, g_trackChoice);
  CTKToolbarMenuButton* lit = popup->GetSelItem();
  switch (g_trackStep) {
    case 0:
      if (lit && lit->m_nID == g_trackChoice) {
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, item);
        g_trackStep = 1;
      } else {
        item.x += g_trackMoves++ % 2;
        SendMouse(MOUSEEVENTF_MOVE, item);
      }
      break;
    case 1:
      SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP, item);
      ::KillTimer(nullptr, timer);
      g_trackStep = 2;
      break;
    default:
      break;
  }
}

VOID CALLBACK QuitWhileTracking(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  ::PostQuitMessage(7);
}

class ContextMenuTest : public ::testing::Test {
protected:
  void SetUp() override {
    frame = new RecordingFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Context menus", WS_OVERLAPPEDWINDOW, CRect(40, 40, 600, 420)));
    frameHwnd = frame->m_hWnd;
    ASSERT_TRUE(child.Create("STATIC", "", WS_CHILD | WS_VISIBLE, CRect(100, 80, 300, 200), frame, 77));
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(frameHwnd);
    Pump(150);
    manager = std::make_unique<CTKContextMenuManager>();
    ASSERT_TRUE(manager->AddMenu("Test menu", IDR_TEST_MENU));
  }
  void TearDown() override {
    if (CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu(); popup && popup->m_hWnd) popup->DestroyWindow();
    Pump(30);
    CTKPopupMenu::DeleteClosedMenus();
    manager.reset();
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    Pump(50);
  }

  RecordingFrame* frame = nullptr;
  HWND frameHwnd = nullptr;
  CWnd child;
  std::unique_ptr<CTKContextMenuManager> manager;
};

TEST_F(ContextMenuTest, ShownMenusSitWhereAskedAndTheirChoiceReachesTheOwnersFrame) {
  EXPECT_EQ(CTKContextMenuManager::Instance(), manager.get());
  UINT id = 0;
  EXPECT_EQ(manager->GetMenuByName("Test menu", &id), manager->GetMenuById(IDR_TEST_MENU));
  EXPECT_EQ(id, static_cast<UINT>(IDR_TEST_MENU));
  CStringList names;
  manager->GetMenuNames(names);
  ASSERT_EQ(names.GetCount(), 1);
  EXPECT_EQ(names.GetHead().str(), "Test menu");

  POINT childOrigin{0, 0};
  ::ClientToScreen(child.m_hWnd, &childOrigin);
  struct Case {
    const char* what;
    UINT menuId;
    int x, y;
    bool shown;
    POINT expected;
    UINT choice;
  } cases[] = {
      {"an id no menu has", 999, 200, 200, false, {0, 0}, 0},
      {"at a point", IDR_TEST_MENU, 260, 230, true, {260, 230}, ID_TEST_SAVE},
      {"inside the owner", IDR_TEST_MENU, -1, -1, true, {childOrigin.x + 5, childOrigin.y + 5}, ID_TEST_OPEN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    frame->commands.clear();
    EXPECT_EQ(manager->ShowPopupMenu(c.menuId, c.x, c.y, &child) != FALSE, c.shown);
    Pump(100);
    CTKPopupMenu* popup = OpenPopup();
    ASSERT_EQ(popup != nullptr, c.shown);
    if (!popup) continue;
    CRect rect;
    popup->GetWindowRect(&rect);
    EXPECT_EQ(rect.left, c.expected.x);
    EXPECT_EQ(rect.top, c.expected.y);
    EXPECT_EQ(ItemsOf(popup),
              (std::vector<std::string>{"&New\tCtrl+N", "&Open...", "-", "&Recent", "&Save"}));
    Click(CommandCentre(popup, c.choice));
    EXPECT_EQ(OpenPopup(), nullptr) << "a choice closes the menu";
    EXPECT_EQ(frame->commands, std::vector<UINT>{c.choice});
  }

  // A dialog takes commands only when asked to: without that it gets no menu.
  CTKDialog dialog;
  HMENU popupMenu = ::GetSubMenu(manager->GetMenuById(IDR_TEST_MENU), 0);
  EXPECT_EQ(manager->ShowPopupMenu(popupMenu, 200, 200, &dialog, FALSE, FALSE), nullptr);
  EXPECT_EQ(OpenPopup(), nullptr);
  EXPECT_TRUE(::IsMenu(popupMenu)) << "the manager's menu outlives its popups";
}

TEST_F(ContextMenuTest, TrackingReturnsTheChosenCommandAndAQuitEndsIt) {
  HMENU popupMenu = ::GetSubMenu(manager->GetMenuById(IDR_TEST_MENU), 0);
  g_trackChoice = ID_TEST_SAVE;
  g_trackStep = g_trackMoves = 0;
  ::SetTimer(nullptr, 0, 100, ChooseWhileTracking);
  EXPECT_EQ(manager->TrackPopupMenu(popupMenu, 250, 200, frame), static_cast<UINT>(ID_TEST_SAVE));
  EXPECT_FALSE(manager->IsTracking());
  Pump(100);
  EXPECT_TRUE(frame->commands.empty()) << "a tracked choice is returned, not sent";
  EXPECT_EQ(OpenPopup(), nullptr);

  ::SetTimer(nullptr, 0, 150, QuitWhileTracking);
  EXPECT_EQ(manager->TrackPopupMenu(popupMenu, 250, 200, frame), 0u);
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit stays queued";
  EXPECT_EQ(msg.wParam, 7u);
  Pump(50);
  EXPECT_EQ(OpenPopup(), nullptr);
  EXPECT_TRUE(::IsMenu(popupMenu));
}

TEST_F(ContextMenuTest, CustomisedItemsAreKeptInTheRegistryAcrossRuns) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kProfile);
  HMENU popupMenu = ::GetSubMenu(manager->GetMenuById(IDR_TEST_MENU), 0);
  // The user drops "Open" from the menu: the customised items go to the menu's store.
  ASSERT_TRUE(manager->ShowPopupMenu(IDR_TEST_MENU, 200, 200, &child));
  Pump(80);
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(popup->RemoveItem(IndexOf(popup, ID_TEST_OPEN)));
  ASSERT_TRUE(ToolbarButtonsArchive(*popup->GetMenuBar()).SaveTo(popupMenu));
  popup->DestroyWindow();
  Pump(30);
  ASSERT_TRUE(manager->SaveState(kProfile));

  // The next run registers the same menu afresh and loads the user's items.
  manager.reset();
  EXPECT_EQ(CTKContextMenuManager::Instance(), nullptr);
  manager = std::make_unique<CTKContextMenuManager>();
  ASSERT_TRUE(manager->AddMenu("Test menu", IDR_TEST_MENU));
  ASSERT_TRUE(manager->LoadState(kProfile));
  ASSERT_TRUE(manager->ShowPopupMenu(IDR_TEST_MENU, 200, 200, &child));
  Pump(80);
  EXPECT_EQ(ItemsOf(OpenPopup()), (std::vector<std::string>{"&New\tCtrl+N", "-", "&Recent", "&Save"}));
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kProfile);
}

}  // namespace
