// Menus in a frame made from a menu resource, beside two toolbars made from toolbar
// resources: the menu bar's titles and their popups opened by clicks and by the keys
// (Alt, F10, arrows, Enter, Escape, access keys), sub-menus after the user's delay,
// the chosen command reaching the frame, the toolbar chevron listing exactly the
// buttons that do not fit and running the one chosen, the "Add or Remove Buttons"
// entries, menus in each look, the menu bar's state in the registry, and a toolbar
// button that drops down a second toolbar. Input comes through SendInput and is
// handled as the program's message loop handles it.
#include "support/wine/GTestWin.h"

#include "support/wine/HelpRequests.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/CustomizeButton.h"
#include "toolkit/bars/TKCustomizeMenuButton.h"
#include "toolkit/bars/TKDropDownFrame.h"
#include "toolkit/bars/TKDropDownToolbarButton.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKShowAllButton.h"
#include "toolkit/bars/TKToolbarMenuButtonsButton.h"
#include "toolkit/bars/TKToolbarSystemMenuButton.h"
#include "toolkit/frames/CommandUsageCounter.h"
#include "toolkit/bars/menu_test_resource.h"
#include "toolkit/bars/menu_test_support.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKVisualManagerXP.h"
#include "toolkit/frames/TKWinXPVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace menutest;

constexpr UINT kFileBarId = AFX_IDW_CONTROLBAR_FIRST + 70;
constexpr UINT kEditBarId = AFX_IDW_CONTROLBAR_FIRST + 71;
constexpr UINT kDropSourceBarId = AFX_IDW_CONTROLBAR_FIRST + 72;
const char* const kProfile = "Software\\Tarvel Tests\\Menus\\";

// A frame that records the commands it gets. It handles every test command but the
// status bar's, so menus show that one as the resource has it (greyed) and enable
// the others.
class CommandFrame : public CTKFrameWnd {
public:
  std::vector<UINT> commands;
  // A logo of this size and side for every popup that opens, drawn in one colour.
  int logoSize = 0;
  int logoLocation = CTKPopupMenu::kLogoLeft;
  static constexpr COLORREF kLogoColour = RGB(200, 30, 120);

  BOOL OnMenuPopupShown(CWnd* popup) override {
    if (auto* menu = dynamic_cast<CTKPopupMenu*>(popup); menu && logoSize > 0)
      menu->EnableMenuLogo(logoSize, logoLocation);
    return CTKFrameWnd::OnMenuPopupShown(popup);
  }
  void OnDrawMenuLogo(CDC* dc, CWnd*, const RECT* rect) override { dc->FillSolidRect(rect, kLogoColour); }
  // The image of this command, which the image lists lack, is the frame's; the
  // commands whose images it was asked for.
  UINT ownImageCommand = 0;
  std::vector<UINT> imagesAskedFor;
  BOOL OnDrawMenuImage(CDC* dc, CTKToolbarMenuButton* button, const RECT* column) override {
    imagesAskedFor.push_back(button->m_nID);
    if (button->m_nID != ownImageCommand) return FALSE;
    CRect image = *column;
    image.DeflateRect(4, 4);
    dc->FillSolidRect(&image, kLogoColour);
    return TRUE;
  }

  // A command nothing handles now (0: none).
  UINT unhandled = 0;
  BOOL OnCmdMsg(UINT id, int code, void* extra) override {
    return id != unhandled && CTKFrameWnd::OnCmdMsg(id, code, extra);
  }
  // The toolbars whose "Add or Remove Buttons" list the frame was offered to fill.
  std::vector<CWnd*> customizeListsFilled;
  BOOL OnFillCustomizeList(CWnd* popup, CWnd* toolbar) override {
    customizeListsFilled.push_back(toolbar);
    return CTKFrameWnd::OnFillCustomizeList(popup, toolbar);
  }

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

BEGIN_MESSAGE_MAP(CommandFrame, CTKFrameWnd)
  ON_COMMAND_RANGE(ID_TEST_NEW, ID_TEST_VIEW_BAR, OnTestCommand)
  ON_COMMAND(ID_TEST_CUSTOMIZE, OnTestCommand)
END_MESSAGE_MAP()

class MenuFrame : public ::testing::Test {
protected:
  void SetUp() override { Build(); }
  void TearDown() override {
    if (CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu(); popup && popup->m_hWnd) popup->DestroyWindow();
    Destroy();
    CTKPopupMenuBar::s_menuShowDelay = -1;
  }
  void Build() {
    frame = new CommandFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Menus", WS_OVERLAPPEDWINDOW, CRect(40, 40, 600, 420), nullptr,
                              MAKEINTRESOURCEA(IDR_TEST_MENU)));
    frameHwnd = frame->m_hWnd;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    menuBar = std::make_unique<CTKMenuBar>();
    ASSERT_TRUE(menuBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    fileBar = std::make_unique<CTKToolBar>();
    editBar = std::make_unique<CTKToolBar>();
    ASSERT_TRUE(fileBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId));
    ASSERT_TRUE(fileBar->LoadToolBar(IDR_FILE_TOOLBAR));
    fileBar->SetWindowText("File");
    ASSERT_TRUE(editBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_LEFT, kEditBarId));
    ASSERT_TRUE(editBar->LoadToolBar(IDR_EDIT_TOOLBAR));
    editBar->SetWindowText("Edit");
    ASSERT_TRUE(frame->DockControlBar(menuBar.get(), AFX_IDW_DOCKBAR_TOP));
    ASSERT_TRUE(frame->DockControlBar(fileBar.get(), AFX_IDW_DOCKBAR_TOP));
    ASSERT_TRUE(frame->DockControlBar(editBar.get(), AFX_IDW_DOCKBAR_LEFT));
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(frameHwnd);
    ::SetFocus(frameHwnd);
    frame->RecalcLayout();
    Pump(200);
    // The mouse rests away from the bars, as the keyboard tests expect.
    CRect client;
    ::GetClientRect(frameHwnd, &client);
    MoveMouse(CentreOf(*frame,
                       CRect(client.right - 30, client.bottom - 30, client.right - 20, client.bottom - 20)));
    Pump(50);
  }
  void Destroy() {
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    Pump(50);
    menuBar.reset();
    fileBar.reset();
    editBar.reset();
    frame = nullptr;
    CTKPopupMenu::DeleteClosedMenus();
  }
  POINT TitleCentre(int index) const {
    CRect rect;
    menuBar->GetItemRect(index, &rect);
    return CentreOf(*menuBar, rect);
  }
  POINT ItemCentre(CTKPopupMenu* popup, int index) const {
    CRect rect = popup->GetMenuItem(index)->m_rect;
    return CentreOf(*popup->GetMenuBar(), rect);
  }
  // The chevron gets the buttons that a bar with a client area only this wide leaves
  // over.
  void SqueezeFileBar(int width) {
    CRect rect, client;
    fileBar->GetWindowRect(&rect);
    fileBar->GetClientRect(&client);
    ::SetWindowPos(fileBar->m_hWnd, nullptr, 0, 0, width + rect.Width() - client.Width(), rect.Height(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(100);
  }
  std::vector<UINT> HiddenCommands() const {
    std::vector<UINT> ids;
    for (POSITION pos = fileBar->GetCustomizeButton()->GetInvisibleButtons().GetHeadPosition(); pos;) {
      auto* button =
          static_cast<CTKToolbarButton*>(fileBar->GetCustomizeButton()->GetInvisibleButtons().GetNext(pos));
      if (!button->IsSeparator()) ids.push_back(button->m_nID);
    }
    return ids;
  }

  CommandFrame* frame = nullptr;
  HWND frameHwnd = nullptr;
  std::unique_ptr<CTKMenuBar> menuBar;
  std::unique_ptr<CTKToolBar> fileBar;
  std::unique_ptr<CTKToolBar> editBar;
};

TEST_F(MenuFrame, TheMenuBarShowsTheFramesMenuAndClicksSendTheChosenCommand) {
  // The window menu gives way to the bar: one title per popup of the resource.
  EXPECT_EQ(::GetMenu(frameHwnd), nullptr);
  ASSERT_EQ(menuBar->GetCount(), 3);
  EXPECT_STREQ(menuBar->GetButton(0)->m_strText, "&File");
  EXPECT_STREQ(menuBar->GetButton(2)->m_strText, "&View");
  CRect bar, client;
  menuBar->GetWindowRect(&bar);
  ::GetClientRect(frameHwnd, &client);
  EXPECT_EQ(bar.Width(), client.Width());

  // A click opens the popup under its title, without extra separators.
  Click(TitleCentre(0));
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(ItemsOf(popup), (std::vector<std::string>{"&New\tCtrl+N", "&Open...", "-", "&Recent", "&Save"}));
  CRect title, window;
  menuBar->GetItemRect(0, &title);
  ::MapWindowPoints(menuBar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&title), 2);
  popup->GetWindowRect(&window);
  EXPECT_EQ(window.left, title.left);
  EXPECT_EQ(window.top, title.bottom - 1);
  EXPECT_EQ(popup->GetParentButton(), menuBar->GetButton(0));

  // A second click on the title, a moment later (a quick one makes a double click),
  // closes it and sends nothing.
  Pump(::GetDoubleClickTime());
  Click(TitleCentre(0));
  EXPECT_EQ(OpenPopup(), nullptr);

  // An item sends its command and closes the menu.
  Click(TitleCentre(0));
  ASSERT_NE(popup = OpenPopup(), nullptr);
  Click(ItemCentre(popup, 4));
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_SAVE});
  EXPECT_EQ(OpenPopup(), nullptr);

  // A click beside the menu closes it without a command; the View popup keeps the
  // resource's check and greyed states.
  frame->commands.clear();
  Click(TitleCentre(2));
  ASSERT_NE(popup = OpenPopup(), nullptr);
  EXPECT_EQ(ItemsOf(popup), (std::vector<std::string>{"&Toolbar", "&Status Bar"}));
  EXPECT_TRUE(popup->GetMenuItem(0)->m_nStyle & TBBS_CHECKED);
  EXPECT_TRUE(popup->GetMenuItem(1)->m_nStyle & TBBS_DISABLED);
  Click(ItemCentre(popup, 1));  // disabled: nothing happens, the menu stays
  EXPECT_NE(OpenPopup(), nullptr);
  CRect frameClient;
  ::GetClientRect(frameHwnd, &frameClient);
  Click(CentreOf(*frame, CRect(frameClient.right - 40, frameClient.bottom - 40, frameClient.right - 20,
                               frameClient.bottom - 20)));
  EXPECT_EQ(OpenPopup(), nullptr);
  Pump(100);
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(MenuFrame, KeysOpenWalkAndChooseFromTheMenus) {
  struct Step {
    const char* what;
    std::function<void()> keys;
    int focusedTitle;     // highlighted title while the bar has the focus, -1: not focused
    int openTitle;        // title whose popup is open, -1: none
    int highlightedItem;  // in the innermost popup, -1: none or no popup
    UINT command;         // sent by the step, 0: none
  };
  auto openTitle = [&]() -> int {
    CTKPopupMenu* popup = OpenPopup();
    while (popup && popup->GetParentPopupMenu()) popup = popup->GetParentPopupMenu();
    return popup ? menuBar->ButtonToIndex(popup->GetParentButton()) : -1;
  };
  const Step steps[] = {
      {"F10 focuses the bar", [] { Tap(VK_F10); }, 0, -1, -1, 0},
      {"Right moves to Edit", [] { Tap(VK_RIGHT); }, 1, -1, -1, 0},
      {"Left wraps from File to View", [] { Tap(VK_LEFT), Tap(VK_LEFT); }, 2, -1, -1, 0},
      {"Down drops View", [] { Tap(VK_DOWN); }, 2, 2, 0, 0},
      {"Escape closes it", [] { Tap(VK_ESCAPE); }, 2, -1, -1, 0},
      {"Escape leaves the bar", [] { Tap(VK_ESCAPE); }, -1, -1, -1, 0},
      {"Alt+E drops Edit", [] { AltTap('E'); }, -2, 1, 0, 0},
      {"Down, Enter chooses Copy", [] { Tap(VK_DOWN), Tap(VK_RETURN); }, -2, -1, -1, ID_TEST_COPY},
      {"Alt+F drops File", [] { AltTap('F'); }, -2, 0, 0, 0},
      {"Right moves the open menu to Edit", [] { Tap(VK_RIGHT); }, -2, 1, 0, 0},
      {"Left moves it back", [] { Tap(VK_LEFT); }, -2, 0, 0, 0},
      {"R opens the sub-menu", [] { Tap('R'); }, -2, 0, 0, 0},
      {"Left closes only the sub-menu", [] { Tap(VK_LEFT); }, -2, 0, 3, 0},
      {"Right opens it again, S chooses Second", [] { Tap(VK_RIGHT), Tap('S'); }, -2, -1, -1, ID_TEST_SECOND},
      {"Alt+E then P chooses Paste by its key", [] { AltTap('E'), Tap('P'); }, -2, -1, -1, ID_TEST_PASTE},
  };
  // Keys go to the foreground window: the frame must be it before the first one.
  for (int attempt = 0; attempt < 3 && ::GetForegroundWindow() != frameHwnd; ++attempt) {
    ::SetForegroundWindow(frameHwnd);
    WaitFor([&] { return ::GetForegroundWindow() == frameHwnd; }, 1000);
  }
  ASSERT_EQ(::GetForegroundWindow(), frameHwnd);
  ::SetFocus(frameHwnd);
  for (const Step& step : steps) {
    frame->commands.clear();
    step.keys();
    // On a busy machine the keys can take longer than the pause after them: the state
    // the step leads to is awaited (for a while) before it is checked.
    WaitFor(
        [&] {
          const bool focused = ::GetFocus() == menuBar->m_hWnd;
          const bool focusAsExpected = step.focusedTitle >= 0
                                           ? focused && menuBar->GetHighlightedButton() == step.focusedTitle
                                           : step.focusedTitle != -1 || !focused;
          return focusAsExpected && openTitle() == step.openTitle &&
                 (!step.command || !frame->commands.empty());
        },
        2000);
    if (step.command) {
      EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000)) << step.what;
      EXPECT_EQ(frame->commands, std::vector<UINT>{step.command}) << step.what;
    } else {
      EXPECT_TRUE(frame->commands.empty()) << step.what;
    }
    EXPECT_EQ(openTitle(), step.openTitle) << step.what;
    if (step.focusedTitle >= 0) {
      EXPECT_EQ(::GetFocus(), menuBar->m_hWnd) << step.what;
      EXPECT_EQ(menuBar->GetHighlightedButton(), step.focusedTitle) << step.what;
    } else if (step.focusedTitle == -1) {
      EXPECT_NE(::GetFocus(), menuBar->m_hWnd) << step.what;
    }
    if (step.openTitle >= 0) {
      CTKPopupMenu* popup = OpenPopup();
      ASSERT_NE(popup, nullptr) << step.what;
      EXPECT_EQ(popup->GetMenuBar()->GetHighlightedButton(), step.highlightedItem) << step.what;
    }
  }
}

TEST_F(MenuFrame, ASubMenuOpensAfterTheUsersDelayAndItsItemsSendTheirCommands) {
  CTKPopupMenuBar::s_menuShowDelay = 400;
  Click(TitleCentre(0));
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  CTKToolbarMenuButton* recent = popup->GetMenuItem(3);
  ASSERT_STREQ(recent->m_strText, "&Recent");
  MoveMouse(ItemCentre(popup, 2));
  Pump(50);
  const DWORD start = ::GetTickCount();
  MoveMouse(ItemCentre(popup, 3));
  Pump(100);
  EXPECT_FALSE(recent->IsDroppedDown()) << "open before the delay";
  ASSERT_TRUE(WaitFor([&] { return recent->IsDroppedDown(); }, 3000));
  EXPECT_GE(::GetTickCount() - start, 300u);
  CTKPopupMenu* sub = recent->GetPopupMenu();
  ASSERT_EQ(OpenPopup(), sub);
  EXPECT_EQ(ItemsOf(sub), (std::vector<std::string>{"&First", "&Second"}));
  // Beside its item, to the right of the parent.
  CRect parentRect, subRect;
  popup->GetMenuBar()->GetWindowRect(&parentRect);
  sub->GetWindowRect(&subRect);
  EXPECT_GT(subRect.left, parentRect.right - 5);
  Click(ItemCentre(sub, 1));
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_SECOND});
  EXPECT_EQ(OpenPopup(), nullptr) << "the whole chain closes";
}

TEST(MenuShowDelay, TheUsersValueIsReadAndBoundedAndAZeroDelayClosesSoundly) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
            ERROR_SUCCESS);
  char saved[32] = "";
  DWORD savedSize = sizeof saved - 1, type = 0;
  const bool hadValue = ::RegQueryValueExA(key, "MenuShowDelay", nullptr, &type,
                                           reinterpret_cast<BYTE*>(saved), &savedSize) == ERROR_SUCCESS;
  struct Case {
    const char* stored;  // null: no value
    int delay;
    UINT closeDelay;
  };
  const Case cases[] = {{"0", 0, 1},          {"1", 1, 1},        {"400", 400, 399},
                        {"9000", 5000, 4999}, {"-5", 5000, 4999}, {nullptr, 500, 499}};
  for (const Case& c : cases) {
    if (c.stored)
      ::RegSetValueExA(key, "MenuShowDelay", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.stored),
                       static_cast<DWORD>(strlen(c.stored) + 1));
    else
      ::RegDeleteValueA(key, "MenuShowDelay");
    CTKPopupMenuBar::s_menuShowDelay = CTKPopupMenuBar::ReadMenuShowDelay();
    EXPECT_EQ(CTKPopupMenuBar::s_menuShowDelay, c.delay) << (c.stored ? c.stored : "none");
    EXPECT_EQ(CTKPopupMenuBar::CloseDelay(), c.closeDelay) << (c.stored ? c.stored : "none");
  }
  if (hadValue)
    ::RegSetValueExA(key, "MenuShowDelay", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved), savedSize);
  else
    ::RegDeleteValueA(key, "MenuShowDelay");
  ::RegCloseKey(key);
  CTKPopupMenuBar::s_menuShowDelay = -1;
}

TEST_F(MenuFrame, TheChevronListsExactlyTheHiddenButtonsAndRunsTheOneChosen) {
  ASSERT_TRUE(fileBar->EnableCustomizeButton(TRUE, 0, nullptr));
  // A second separator in a row: New, Open, separator, separator, Save, Print.
  auto* extra = new CTKToolbarButton;
  extra->m_nStyle = TBBS_SEPARATOR;
  ASSERT_EQ(fileBar->InsertButton(extra, 3), 3);
  struct Case {
    int width;                         // of the squeezed bar
    std::vector<UINT> hidden;          // the buttons the chevron gets
    std::vector<std::string> entries;  // of its popup
    int chosen;                        // entry clicked
    UINT command;
  };
  const Case cases[] = {
      // Hidden: Open, separator, separator, Save, Print.
      {40, {ID_TEST_OPEN, ID_TEST_SAVE, ID_TEST_PRINT}, {"Open", "-", "Save", "Print"}, 3, ID_TEST_PRINT},
      // Hidden: separator, separator, Save, Print (the list starts with separators).
      {62, {ID_TEST_SAVE, ID_TEST_PRINT}, {"Save", "Print"}, 0, ID_TEST_SAVE},
      {62, {ID_TEST_SAVE, ID_TEST_PRINT}, {"Save", "Print"}, 1, ID_TEST_PRINT},
  };
  for (const Case& c : cases) {
    frame->commands.clear();
    SqueezeFileBar(c.width);
    EXPECT_EQ(HiddenCommands(), c.hidden) << c.width;
    CCustomizeButton* chevron = fileBar->GetCustomizeButton();
    ASSERT_FALSE(chevron->m_rect.IsRectEmpty());
    CRect client;
    fileBar->GetClientRect(&client);
    EXPECT_LE(chevron->m_rect.right, client.right);
    Click(CentreOf(*fileBar, chevron->m_rect));
    CTKPopupMenu* popup = OpenPopup();
    ASSERT_NE(popup, nullptr) << c.width;
    EXPECT_EQ(ItemsOf(popup), c.entries) << c.width;
    Click(ItemCentre(popup, c.chosen));
    EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000)) << c.width;
    EXPECT_EQ(frame->commands, std::vector<UINT>{c.command}) << c.width << " entry " << c.chosen;
    EXPECT_EQ(OpenPopup(), nullptr);
  }
  // With room for everything nothing is hidden.
  SqueezeFileBar(300);
  EXPECT_TRUE(HiddenCommands().empty());
}

TEST_F(MenuFrame, AddOrRemoveButtonsHidesAndShowsButtonsWhileTheMenuStaysOpen) {
  ASSERT_TRUE(fileBar->EnableCustomizeButton(TRUE, ID_TEST_CUSTOMIZE, "&Customize..."));
  SqueezeFileBar(300);  // room for every button
  Click(CentreOf(*fileBar, fileBar->GetCustomizeButton()->m_rect));
  CTKPopupMenu* chevronPopup = OpenPopup();
  ASSERT_NE(chevronPopup, nullptr);
  EXPECT_EQ(ItemsOf(chevronPopup), std::vector<std::string>{"&Add or Remove Buttons"});
  // End, Right: the bars of the row; Right: the file bar's entries.
  Tap(VK_END);
  Tap(VK_RIGHT);
  CTKPopupMenu* bars = OpenPopup();
  ASSERT_NE(bars, chevronPopup);
  EXPECT_EQ(ItemsOf(bars), (std::vector<std::string>{"File", "&Customize..."}));
  Tap(VK_RIGHT);
  CTKPopupMenu* entries = OpenPopup();
  ASSERT_NE(entries, bars);
  ASSERT_EQ(ItemsOf(entries),
            (std::vector<std::string>{"New", "Open", "Save", "Print", "-", "&Reset Toolbar"}));
  auto entry = [&](int i) { return static_cast<CTKCustomizeMenuButton*>(entries->GetMenuItem(i)); };
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(entry(i)->m_bChecked) << i;
  auto visible = [&] {
    std::vector<bool> shown;
    for (int i = 0; i < fileBar->GetCount() - 1; ++i) shown.push_back(fileBar->GetButton(i)->IsVisible());
    return shown;
  };
  struct Case {
    const char* what;
    int entry;
    std::vector<bool> visible;  // New, Open, separator, Save, Print
  };
  const Case cases[] = {
      {"Open goes, and the separator after it", 1, {true, false, false, true, true}},
      {"Open comes back", 1, {true, true, true, true, true}},
      {"Print goes", 3, {true, true, true, true, false}},
      {"Save goes, the last before the chevron, and the separator in front of it",
       2,
       {true, true, false, false, false}},
      {"Save comes back, and the separator with it", 2, {true, true, true, true, false}},
  };
  for (const Case& c : cases) {
    Click(ItemCentre(entries, c.entry));
    EXPECT_EQ(visible(), c.visible) << c.what;
    EXPECT_EQ(OpenPopup(), entries) << c.what << ": the menu stays open";
    EXPECT_EQ(entry(c.entry)->m_bChecked,
              fileBar->GetButton(c.entry < 2 ? c.entry : c.entry + 1)->IsVisible())
        << c.what;
  }
  EXPECT_TRUE(fileBar->GetButton(4)->m_rect.IsRectEmpty()) << "a hidden button takes no room";
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
  EXPECT_EQ(OpenPopup(), nullptr);
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(MenuFrame, AButtonTakenOffTheToolbarIsPutBackFromItsEntryAtItsPlace) {
  ASSERT_TRUE(fileBar->EnableCustomizeButton(TRUE, ID_TEST_CUSTOMIZE, "&Customize..."));
  // The user dragged Save off the bar.
  ASSERT_EQ(fileBar->GetButton(3)->m_nID, static_cast<UINT>(ID_TEST_SAVE));
  fileBar->RemoveButton(3);
  fileBar->AdjustSize();
  SqueezeFileBar(300);
  Click(CentreOf(*fileBar, fileBar->GetCustomizeButton()->m_rect));
  ASSERT_NE(OpenPopup(), nullptr);
  Tap(VK_END);
  Tap(VK_RIGHT);
  Tap(VK_RIGHT);
  CTKPopupMenu* entries = OpenPopup();
  ASSERT_NE(entries, nullptr);
  // Save comes after the bar's own buttons, unticked.
  ASSERT_EQ(ItemsOf(entries),
            (std::vector<std::string>{"New", "Open", "Print", "Save", "-", "&Reset Toolbar"}));
  EXPECT_EQ(frame->customizeListsFilled, std::vector<CWnd*>{fileBar.get()}) << "the frame may add entries";
  auto entry = [&](int i) { return static_cast<CTKCustomizeMenuButton*>(entries->GetMenuItem(i)); };
  EXPECT_FALSE(entry(3)->m_bChecked);
  auto commands = [&] {
    std::vector<UINT> ids;
    for (int i = 0; i < fileBar->GetCount(); ++i)
      if (!dynamic_cast<CCustomizeButton*>(fileBar->GetButton(i)))
        ids.push_back(fileBar->GetButton(i)->m_nID);
    return ids;
  };
  // A click puts it back where the resource had it, and the menu stays open.
  Click(ItemCentre(entries, 3));
  EXPECT_EQ(commands(), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}));
  EXPECT_TRUE(entry(3)->m_bChecked);
  EXPECT_FALSE(fileBar->GetButton(3)->m_rect.IsRectEmpty()) << "it takes its room on the bar";
  EXPECT_EQ(OpenPopup(), entries);
  // The entries after it still act on their own buttons: Print hides Print.
  Click(ItemCentre(entries, 2));
  EXPECT_FALSE(fileBar->GetButton(4)->IsVisible());
  EXPECT_TRUE(fileBar->GetButton(3)->IsVisible());
  // A second click hides Save again, as any of the bar's buttons.
  Click(ItemCentre(entries, 3));
  EXPECT_FALSE(fileBar->GetButton(3)->IsVisible());
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
  EXPECT_EQ(OpenPopup(), nullptr);
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(MenuFrame, AnOpenMenuGreysAnItemWhoseCommandLostItsHandlerAndTakesItBack) {
  Click(TitleCentre(0));
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(ItemsOf(popup)[4], "&Save");
  auto saveGreyed = [&] { return (popup->GetMenuItem(4)->m_nStyle & TBBS_DISABLED) != 0; };
  EXPECT_FALSE(saveGreyed());
  // Nothing handles Save now: the idle time greys it while the menu is open.
  frame->unhandled = ID_TEST_SAVE;
  ::SendMessageA(frameHwnd, WM_IDLEUPDATECMDUI, TRUE, 0);
  Pump(50);
  EXPECT_TRUE(saveGreyed());
  Click(ItemCentre(popup, 4));
  EXPECT_EQ(OpenPopup(), popup) << "a greyed item does not close the menu";
  EXPECT_TRUE(frame->commands.empty()) << "and sends nothing";
  // Handled again, it is given back at the next idle time.
  frame->unhandled = 0;
  ::SendMessageA(frameHwnd, WM_IDLEUPDATECMDUI, TRUE, 0);
  Pump(50);
  EXPECT_FALSE(saveGreyed());
  Click(ItemCentre(popup, 4));
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_SAVE});
}

TEST_F(MenuFrame, TitlesWithImagesMakeTheMenuBarAsHighAsAButton) {
  const int textOnly = menuBar->GetRowHeight();
  CTKToolbarButton* title = menuBar->GetButton(0);
  title->SetImage(0);
  title->m_bImage = TRUE;
  EXPECT_EQ(menuBar->GetRowHeight(), std::max<int>(menuBar->GetButtonSize().cy, textOnly));
  EXPECT_GT(menuBar->GetRowHeight(), textOnly);
  title->m_bImage = FALSE;
  EXPECT_EQ(menuBar->GetRowHeight(), textOnly);
}

// A popup paints its items with its own painting as it opens: what it shows then, and
// again in a window kept from an earlier popup, is what the items' bar paints itself.
TEST_F(MenuFrame, APopupShowsItsItemsAtOnceAsTheirBarPaintsThem) {
  auto capture = [&](CTKPopupMenu* popup) {
    Pump(100);
    return CaptureWindow(popup->m_hWnd, false);
  };
  AltTap('F');
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  const CapturedImage opened = capture(popup);
  ASSERT_FALSE(opened.Empty());
  // The items are there: dark text in the bar's place.
  CRect barRect, popupRect;
  popup->GetMenuBar()->GetWindowRect(&barRect);
  popup->GetWindowRect(&popupRect);
  int dark = 0;
  for (int y = barRect.top; y < barRect.bottom; ++y)
    for (int x = barRect.left; x < barRect.right; ++x) {
      const COLORREF c = opened.At(x - popupRect.left, y - popupRect.top);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++dark;
    }
  EXPECT_GT(dark, 100);
  // The bar painting itself changes no pixel.
  ::RedrawWindow(popup->GetMenuBar()->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const CapturedImage barPainted = capture(popup);
  EXPECT_TRUE(barPainted.pixels == opened.pixels);
  // Closed and opened again: the same picture.
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
  Pump(100);
  AltTap('F');
  popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  const CapturedImage reopened = capture(popup);
  EXPECT_EQ(reopened.width, opened.width);
  EXPECT_EQ(reopened.height, opened.height);
  EXPECT_TRUE(reopened.pixels == opened.pixels);
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
}

TEST_F(MenuFrame, EachLookDrawsTheMenusWithTheirHighlightChecksAndGlyphs) {
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  // The glyph font is the real symbol font, not a letter face standing in for it.
  CClientDC dc(frame);
  HGDIOBJ old = dc.SelectObject(&GlobalData::Get().glyphFont);
  char face[64] = "";
  ::GetTextFaceA(dc.GetSafeHdc(), sizeof face, face);
  dc.SelectObject(old);
  EXPECT_STREQ(face, "Marlett");
  struct Look {
    CRuntimeClass* cls;
    const char* file;
  };
  const Look looks[] = {{RUNTIME_CLASS(CTKVisualManager), "menu-base.png"},
                        {RUNTIME_CLASS(CTKVisualManagerXP), "menu-xp.png"},
                        {RUNTIME_CLASS(CTKWinXPVisualManager), "menu-themed.png"}};
  for (const Look& look : looks) {
    ASSERT_TRUE(CTKVisualManager::SelectLookClass(look.cls));
    CTKVisualManager::GetInstance();
    // File with Open highlighted, then its sub-menu open beside it.
    AltTap('F');
    Tap(VK_DOWN);
    CTKPopupMenu* popup = OpenPopup();
    ASSERT_NE(popup, nullptr) << look.file;
    CTKToolbarMenuButton* recent = popup->GetMenuItem(3);
    ::RedrawWindow(popup->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(150);
    CapturedImage image = CaptureWindow(popup->m_hWnd, false);
    ASSERT_FALSE(image.Empty());
    EXPECT_TRUE(SavePng(image, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/") + look.file));
    CRect barRect;
    popup->GetMenuBar()->GetWindowRect(&barRect);
    CRect popupRect;
    popup->GetWindowRect(&popupRect);
    auto at = [&](CTKToolbarMenuButton* item, int x) {
      return image.At(barRect.left - popupRect.left + x,
                      barRect.top - popupRect.top + item->m_rect.CenterPoint().y);
    };
    // The highlighted item stands out from the others at the same place in its row.
    const int x = popup->GetMenuItem(1)->m_rect.right - 6;
    EXPECT_NE(at(popup->GetMenuItem(1), x), at(popup->GetMenuItem(4), x)) << look.file;
    // The sub-menu arrow is drawn at the right end of its row.
    int dark = 0;
    for (int dx = 4; dx < 14; ++dx) {
      const COLORREF c = at(recent, recent->m_rect.right - dx);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++dark;
    }
    EXPECT_GT(dark, 0) << look.file << ": no arrow";
    Tap(VK_ESCAPE);
    Tap(VK_ESCAPE);
    // View's checked item shows its check mark in the image column.
    AltTap('V');
    popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    ::RedrawWindow(popup->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(150);
    image = CaptureWindow(popup->m_hWnd, false);
    ASSERT_FALSE(image.Empty());
    popup->GetMenuBar()->GetWindowRect(&barRect);
    popup->GetWindowRect(&popupRect);
    CTKToolbarMenuButton* checked = popup->GetMenuItem(0);
    int checkPixels = 0;
    for (int dx = 2; dx < 20; ++dx) {
      const COLORREF c = at(checked, dx);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++checkPixels;
    }
    EXPECT_GT(checkPixels, 0) << look.file << ": no check mark";
    SavePng(image, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/view-") + look.file);
    Tap(VK_ESCAPE);
    Tap(VK_ESCAPE);
  }
  CTKVisualManager::SelectLookClass(nullptr);
}

// The tooltip window that a window owns, found among the thread's windows.
struct TooltipSearch {
  HWND owner;
  HWND found;
};
BOOL CALLBACK FindOwnedTooltip(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TooltipSearch*>(param);
  char name[64] = "";
  ::GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || ::GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  search->found = window;
  return FALSE;
}
HWND TooltipOf(HWND owner) {
  TooltipSearch search{owner, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), FindOwnedTooltip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A menu title has no tooltip of its own: resting on "File" and opening it shows the
// menu, with no tip standing over its first item.
TEST_F(MenuFrame, AMenuTitleShowsNoTooltipAndNothingCoversItsMenu) {
  CRect title;
  menuBar->GetItemRect(0, &title);
  TOOLINFOA info{};
  info.cbSize = sizeof info;
  EXPECT_EQ(menuBar->OnToolHitTest(title.CenterPoint(), &info), -1);
  MoveMouse(TitleCentre(0));
  Pump(1200);
  const HWND tip = TooltipOf(menuBar->m_hWnd);
  EXPECT_TRUE(!tip || !::IsWindowVisible(tip)) << "a tip over the title";
  Click(TitleCentre(0));
  ASSERT_NE(OpenPopup(), nullptr);
  Pump(800);
  EXPECT_TRUE(!tip || !::IsWindowVisible(tip)) << "a tip over the open menu";
  Tap(VK_ESCAPE);
}

TEST_F(MenuFrame, TheTearOffBandOfAMenuTellsWhatItIsForAndLightsWhileItSays) {
  auto* file = dynamic_cast<CTKToolbarMenuButton*>(menuBar->GetButton(0));
  ASSERT_NE(file, nullptr);
  file->SetTearOff(0xE900);
  Click(TitleCentre(0));
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  const CRect band = popup->GetTearOffBand();
  ASSERT_FALSE(band.IsRectEmpty());
  // The tooltip of the band belongs to the popup.
  const HWND tip = TooltipOf(popup->m_hWnd);
  ASSERT_NE(tip, nullptr);
  EXPECT_FALSE(::IsWindowVisible(tip));
  // The mouse rests on the band: the tip shows its text and the band is lit.
  // (The pointer glides onto it: the popup takes a first move as the pointer's arrival.)
  const POINT onBand = CentreOf(*popup, band);
  MoveMouse(POINT{onBand.x - 3, onBand.y});
  MoveMouse(onBand);
  ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(tip); }, 5000));
  char text[80] = "";
  ::GetWindowTextA(tip, text, sizeof text);
  EXPECT_STREQ(text, "Drag to make this menu float");
  Pump(50);
  CapturedImage image = CaptureWindow(popup->m_hWnd, false);
  ASSERT_FALSE(image.Empty());
  EXPECT_EQ(image.At(band.left + 1, band.top + 1), GlobalData::Get().highlight);
  // On an item the tip goes and the band is plain again.
  MoveMouse(ItemCentre(popup, 0));
  ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(tip); }, 5000));
  Pump(50);
  image = CaptureWindow(popup->m_hWnd, false);
  EXPECT_EQ(image.At(band.left + 1, band.top + 1), GlobalData::Get().barFace);
  Tap(VK_ESCAPE);
  file->SetTearOff(0);
}

// What an accessibility client sees: the window events of popups, and the object it
// asks a popup for.
struct AccessibilityClient {
  static std::vector<std::pair<DWORD, HWND>> events;
  static const void* askedFor;
  static LONG askedChild;
  static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_WINDOW) events.emplace_back(event, hwnd);
  }
  static LRESULT Answer(void* object, LONG child) {
    askedFor = static_cast<TKAccessibleObjectRequest*>(object)->popup;
    askedChild = child;
    return 0x5A;
  }
  static int Count(DWORD event, HWND hwnd) {
    int n = 0;
    for (const auto& [e, h] : events) n += e == event && h == hwnd;
    return n;
  }
};
std::vector<std::pair<DWORD, HWND>> AccessibilityClient::events;
const void* AccessibilityClient::askedFor = nullptr;
LONG AccessibilityClient::askedChild = -1;

TEST_F(MenuFrame, AccessibilityClientsLearnOfPopupsAndFindTheirItemsOnlyWhileSupportIsOn) {
  using Client = AccessibilityClient;
  const HWINEVENTHOOK hook =
      ::SetWinEventHook(EVENT_SYSTEM_MENUEND, EVENT_SYSTEM_MENUPOPUPSTART, nullptr, Client::OnEvent,
                        ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  for (const bool on : {false, true}) {
    SCOPED_TRACE(on ? "support on" : "support off");
    GlobalData::Get().accessibilityHook = on ? Client::Answer : nullptr;
    Client::events.clear();
    Client::askedFor = nullptr;
    Click(TitleCentre(0));
    CTKPopupMenu* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    const HWND hwnd = popup->m_hWnd;
    // A client asking for the popup's object gets the installed answer.
    const LRESULT object = ::SendMessageA(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    EXPECT_EQ(object, on ? 0x5A : 0);
    EXPECT_EQ(Client::askedFor, on ? popup : nullptr);
    // New, Open, a separator, the Recent sub-menu, Save: as a plain menu too.
    ASSERT_EQ(ItemsOf(popup),
              (std::vector<std::string>{"&New\tCtrl+N", "&Open...", "-", "&Recent", "&Save"}));
    const HMENU copy = popup->GetTempMenu();
    EXPECT_EQ(copy != nullptr, on);
    if (copy) {
      EXPECT_EQ(::GetMenuItemCount(copy), 5);
      EXPECT_EQ(::GetMenuItemID(copy, 4), static_cast<UINT>(ID_TEST_SAVE));
      EXPECT_EQ(::GetMenuItemCount(::GetSubMenu(copy, 3)), 2);
      EXPECT_TRUE(::GetMenuState(copy, 2, MF_BYPOSITION) & MF_SEPARATOR);
    }
    // Which item lies under a screen point, and each item's state.
    CRect window;
    popup->GetWindowRect(&window);
    const struct {
      POINT at;
      LRESULT index;
    } points[] = {{ItemCentre(popup, 0), 0},
                  {ItemCentre(popup, 3), 3},
                  {ItemCentre(popup, 4), 4},
                  {ItemCentre(popup, 2), -1},
                  {POINT{window.right + 20, window.top + 5}, -1}};
    for (const auto& point : points)
      EXPECT_EQ(
          ::SendMessageA(hwnd, CTKPopupMenu::s_accHitTestMessage, 0, MAKELPARAM(point.at.x, point.at.y)),
          point.index);
    EXPECT_EQ(::SendMessageA(hwnd, CTKPopupMenu::s_accGetStateMessage, 4, 0),
              static_cast<LRESULT>(popup->GetMenuItem(4)->m_nStyle));
    EXPECT_TRUE(::SendMessageA(hwnd, CTKPopupMenu::s_accGetStateMessage, 2, 0) & TBBS_SEPARATOR);
    EXPECT_EQ(::SendMessageA(hwnd, CTKPopupMenu::s_accGetStateMessage, 5, 0), -1);
    EXPECT_EQ(::SendMessageA(hwnd, CTKPopupMenu::s_accGetStateMessage, static_cast<WPARAM>(-1), 0), -1);
    Tap(VK_ESCAPE);
    Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([] { return OpenPopup() == nullptr; }, 2000));
    Pump(100);
    // The popup's start and end reach the client only while the support is on.
    EXPECT_EQ(Client::Count(EVENT_SYSTEM_MENUPOPUPSTART, hwnd) > 0, on);
    EXPECT_EQ(Client::Count(EVENT_SYSTEM_MENUEND, hwnd) > 0, on);
  }
  GlobalData::Get().accessibilityHook = nullptr;
  ::UnhookWinEvent(hook);
}

TEST_F(MenuFrame, APopupLeavesRoomForTheLogoItsFrameDeclaresOnTheChosenSideAndTheFrameDrawsIt) {
  Click(TitleCentre(0));
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(popup->GetLogoRect().IsRectEmpty());
  CRect plain;
  popup->GetWindowRect(&plain);
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([] { return OpenPopup() == nullptr; }, 2000));
  constexpr int kSize = 24;
  for (const int side : {CTKPopupMenu::kLogoLeft, CTKPopupMenu::kLogoRight, CTKPopupMenu::kLogoTop,
                         CTKPopupMenu::kLogoBottom}) {
    SCOPED_TRACE(side);
    frame->logoSize = kSize;
    frame->logoLocation = side;
    Click(TitleCentre(0));
    popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    const bool across = side == CTKPopupMenu::kLogoTop || side == CTKPopupMenu::kLogoBottom;
    CRect window;
    popup->GetWindowRect(&window);
    EXPECT_EQ(window.Width(), plain.Width() + (across ? 0 : kSize));
    EXPECT_EQ(window.Height(), plain.Height() + (across ? kSize : 0));
    // The band lies on its side, and the items beside it.
    const CRect logo = popup->GetLogoRect();
    EXPECT_EQ(across ? logo.Height() : logo.Width(), kSize);
    CRect items;
    popup->GetMenuBar()->GetWindowRect(&items);
    ::MapWindowPoints(nullptr, popup->m_hWnd, reinterpret_cast<POINT*>(&items), 2);
    CRect overlap;
    EXPECT_FALSE(overlap.IntersectRect(&items, &logo));
    const int gap = side == CTKPopupMenu::kLogoLeft    ? items.left - logo.right
                    : side == CTKPopupMenu::kLogoRight ? logo.left - items.right
                    : side == CTKPopupMenu::kLogoTop   ? items.top - logo.bottom
                                                       : logo.top - items.bottom;
    EXPECT_GE(gap, 0);
    EXPECT_LE(gap, 1);
    POINT centre = logo.CenterPoint();
    ::ClientToScreen(popup->m_hWnd, &centre);
    EXPECT_EQ(popup->HitTest(centre), CTKPopupMenu::kHitLogo);
    Pump(50);
    const CapturedImage image = CaptureWindow(popup->m_hWnd, false);
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.At(logo.CenterPoint().x, logo.CenterPoint().y), CommandFrame::kLogoColour);
    EXPECT_EQ(image.At(logo.left, logo.top), CommandFrame::kLogoColour);
    EXPECT_EQ(image.At(logo.right - 1, logo.bottom - 1), CommandFrame::kLogoColour);
    Tap(VK_ESCAPE);
    Tap(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([] { return OpenPopup() == nullptr; }, 2000));
  }
}

TEST_F(MenuFrame, TheFrameDrawsTheImagesOfMenuCommandsThatTheImageListsLack) {
  frame->ownImageCommand = ID_TEST_VIEW_STATUS;
  // The File menu's commands have their toolbar images: the frame is not asked.
  Click(TitleCentre(0));
  ASSERT_NE(OpenPopup(), nullptr);
  Pump(50);
  for (const UINT id : {ID_TEST_NEW, ID_TEST_OPEN, ID_TEST_SAVE})
    EXPECT_EQ(std::count(frame->imagesAskedFor.begin(), frame->imagesAskedFor.end(), id), 0) << id;
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([] { return OpenPopup() == nullptr; }, 2000));
  // The View menu's have none: the frame draws the one it knows, in its column.
  Click(TitleCentre(2));
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(ItemsOf(popup), (std::vector<std::string>{"&Toolbar", "&Status Bar"}));
  Pump(50);
  EXPECT_GT(std::count(frame->imagesAskedFor.begin(), frame->imagesAskedFor.end(), ID_TEST_VIEW_STATUS), 0);
  const CapturedImage image = CaptureWindow(popup->GetMenuBar()->m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  const CRect own = popup->GetMenuItem(1)->m_rect;
  const CRect other = popup->GetMenuItem(0)->m_rect;
  const int columnCentre = own.left + (popup->GetMenuBar()->m_menuImageSize.cx + 2) / 2 + 2;
  EXPECT_EQ(image.At(columnCentre, own.CenterPoint().y), CommandFrame::kLogoColour);
  EXPECT_NE(image.At(columnCentre, other.CenterPoint().y), CommandFrame::kLogoColour);
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
}

// Input made while a modal loop that the next call enters runs: the ticks of a timer
// handled by that loop take the steps in turn (a step that returns false is tried
// again on the next tick), so that the input reaches the loop and no other. When the
// steps are done and the loop still runs, the next tick leaves help mode, so that a
// test whose input went astray fails instead of waiting for ever.
struct InputInLoop {
  using Step = std::function<bool()>;
  static std::deque<Step>& Steps() {
    static std::deque<Step> steps;
    return steps;
  }
  static CFrameWnd*& Frame() {
    static CFrameWnd* frame = nullptr;
    return frame;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    // A step may pump messages itself: the ticks it handles wait for it.
    static bool busy = false;
    if (busy) return;
    if (!Steps().empty()) {
      busy = true;
      if (Steps().front()()) Steps().pop_front();
      busy = false;
      return;
    }
    ::KillTimer(nullptr, id);
    if (Frame()) Frame()->m_bHelpMode = FALSE;
  }
  static void Run(CFrameWnd* frame, UINT command, std::deque<Step> steps) {
    Steps() = std::move(steps);
    Frame() = frame;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, Tick);
    frame->SendMessage(WM_COMMAND, command);
    ::KillTimer(nullptr, timer);
    Steps().clear();
    Frame() = nullptr;
  }
};

// The buttons pressed and released where the pointer is.
bool Buttons(DWORD down, DWORD up) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = down;
  in[1].mi.dwFlags = up;
  ::SendInput(2, in, sizeof(INPUT));
  return true;
}

TEST_F(MenuFrame, ContextHelpGivesTheHelpOfTheClickedButtonsCommandWithTheToolbarsHookOnWhileItRuns) {
  bool hookWhileHelping = false;
  helptest::Recorder help([&] { hookWhileHelping = CTKToolBar::HasHotTrackHook(); });
  CRect openButton, client;
  fileBar->GetItemRect(1, &openButton);
  ASSERT_EQ(fileBar->GetButton(1)->m_nID, static_cast<UINT>(ID_TEST_OPEN));
  const POINT open = CentreOf(*fileBar, openButton);
  ::GetClientRect(frameHwnd, &client);
  const POINT nothing =
      CentreOf(*frame, CRect(client.right - 30, client.bottom - 30, client.right - 20, client.bottom - 20));
  const auto leftClick = [] { return Buttons(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); };
  const struct {
    const char* name;
    POINT start;
    std::deque<InputInLoop::Step> steps;
    bool helped;
  } cases[] = {
      {"a click on a button", open, {leftClick}, true},
      {"Escape",
       open,
       {[] {
         Key(VK_ESCAPE, true);
         Key(VK_ESCAPE, false);
         return true;
       }},
       false},
      // The right button leaves help mode, and its release does not reach the toolbar
      // (which would open its menu).
      {"the right button on a toolbar",
       open,
       {[] { return Buttons(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }},
       false},
      // A spot without help leaves the user in help mode for the next click.
      {"a click where nothing has help, then on a button",
       nothing,
       {leftClick,
        // The pointer glides onto the button and rests there before the click.
        [&] {
          MoveMouse(open);
          Pump(80);
          return CursorAt(open);
        },
        [&] { return CursorAt(open) && leftClick(); }},
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MoveMouse(c.start);
    Pump(30);
    helptest::Recorder::Requests().clear();
    hookWhileHelping = false;
    InputInLoop::Run(frame, ID_CONTEXT_HELP, c.steps);
    Pump(50);
    const auto& requests = helptest::Recorder::Requests();
    ASSERT_EQ(requests.size(), c.helped ? 1u : 0u);
    if (c.helped) {
      EXPECT_EQ(requests[0].window, frameHwnd);
      EXPECT_TRUE(helptest::IsProgramHelpFile(requests[0].file)) << requests[0].file;
      EXPECT_EQ(requests[0].command, static_cast<UINT>(HELP_CONTEXT));
      EXPECT_EQ(requests[0].data, static_cast<ULONG_PTR>(HID_BASE_COMMAND + ID_TEST_OPEN));
      EXPECT_TRUE(hookWhileHelping);
    }
    EXPECT_FALSE(frame->m_bHelpMode);
    EXPECT_FALSE(CTKToolBar::HasHotTrackHook());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(OpenPopup(), nullptr);
  }
}

TEST_F(MenuFrame, ADropDownButtonOnAToolbarRunsItsCommandOrOpensItsMenuFromTheArrow) {
  // Open with the File menu's items under an arrow at its right end.
  HMENU resource = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TEST_MENU));
  ASSERT_NE(resource, nullptr);
  auto* button =
      new CTKToolbarMenuButton(ID_TEST_OPEN, ::GetSubMenu(resource, 0), fileBar->GetButton(1)->GetImage());
  ::DestroyMenu(resource);
  ASSERT_EQ(fileBar->InsertButton(button), 5);
  fileBar->AdjustSize();
  Pump(100);
  CRect rect = button->m_rect;
  ASSERT_GT(rect.Width(), 22) << "the arrow widens the button";
  struct Case {
    const char* what;
    POINT at;  // client point on the button
    UINT command;
    bool opens;
  };
  const Case cases[] = {
      {"the image part runs the command", {rect.left + 4, rect.CenterPoint().y}, ID_TEST_OPEN, false},
      {"the arrow opens the menu", {rect.right - 3, rect.CenterPoint().y}, 0, true},
  };
  for (const Case& c : cases) {
    frame->commands.clear();
    Click(CentreOf(*fileBar, CRect(c.at.x, c.at.y, c.at.x + 1, c.at.y + 1)));
    Pump(100);
    EXPECT_EQ(button->IsDroppedDown(), c.opens) << c.what;
    if (c.command) {
      EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000)) << c.what;
      EXPECT_EQ(frame->commands, std::vector<UINT>{c.command}) << c.what;
    } else {
      EXPECT_TRUE(frame->commands.empty()) << c.what;
    }
  }
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(ItemsOf(popup), (std::vector<std::string>{"&New\tCtrl+N", "&Open...", "-", "&Recent", "&Save"}));
  Click(ItemCentre(popup, 0));
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_NEW});
  EXPECT_FALSE(button->IsDroppedDown());
}

TEST_F(MenuFrame, TheMenuBarsStateComesBackFromTheRegistry) {
  // The user dropped the Edit title; the stored bar keeps that, and its titles still
  // open their popups.
  ASSERT_TRUE(menuBar->RemoveButton(1));
  menuBar->AdjustSize();
  ASSERT_TRUE(menuBar->SaveState(kProfile));
  Destroy();
  Build();
  ASSERT_EQ(menuBar->GetCount(), 3);
  ASSERT_TRUE(menuBar->LoadState(kProfile));
  ASSERT_EQ(menuBar->GetCount(), 2);
  EXPECT_STREQ(menuBar->GetButton(0)->m_strText, "&File");
  EXPECT_STREQ(menuBar->GetButton(1)->m_strText, "&View");
  Click(TitleCentre(1));
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(ItemsOf(popup), (std::vector<std::string>{"&Toolbar", "&Status Bar"}));
  Click(ItemCentre(popup, 0));
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_VIEW_BAR});
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Menus");
}

// A drop-down button on the File toolbar standing for a hidden Edit toolbar.
class DropDownFrame : public MenuFrame {
protected:
  void SetUp() override {
    MenuFrame::SetUp();
    source = std::make_unique<CTKDropDownToolBar>();
    ASSERT_TRUE(source->Create(frame, WS_CHILD | CBRS_TOP, kDropSourceBarId));
    ASSERT_TRUE(source->LoadToolBar(IDR_EDIT_TOOLBAR));
    button = new CTKDropDownToolbarButton("Edit tools", source.get());
    ASSERT_EQ(fileBar->InsertButton(button), 5);
    fileBar->AdjustSize();
    frame->RecalcLayout();
    Pump(100);
  }
  void TearDown() override {
    MenuFrame::TearDown();
    source.reset();
  }
  POINT ImagePart() const { return CentreOf(*fileBar, CRect(button->m_rect.TopLeft(), CSize(8, 8))); }
  POINT ArrowCorner() const {
    return CentreOf(*fileBar, CRect(button->m_rect.right - 4, button->m_rect.bottom - 4,
                                    button->m_rect.right - 3, button->m_rect.bottom - 3));
  }
  CTKDropDownFrame* OpenFrame() const {
    CTKDropDownFrame* open = button->GetFrame();
    return open && open->m_hWnd && ::IsWindowVisible(open->m_hWnd) ? open : nullptr;
  }
  void Press(POINT at, DWORD holdMs) {
    // The cursor must rest on the point before the press, as in Click.
    for (int attempt = 0; attempt < 3; ++attempt) {
      MoveMouse(at);
      Pump(80);
      POINT now;
      ::GetCursorPos(&now);
      if (now.x == at.x && now.y == at.y) break;
    }
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    ::SendInput(1, &in, sizeof in);
    Pump(holdMs);
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof in);
    Pump(150);
  }

  std::unique_ptr<CTKDropDownToolBar> source;
  CTKDropDownToolbarButton* button = nullptr;
};

TEST_F(DropDownFrame, AClickRunsTheShownCommandAndHoldingOrTheArrowOpensTheSecondToolbar) {
  // At first the button carries the first command of the second toolbar.
  EXPECT_EQ(button->m_nID, static_cast<UINT>(ID_TEST_CUT));
  EXPECT_EQ(button->GetImage(), source->GetButton(0)->GetImage());
  struct Case {
    const char* what;
    bool onArrow;
    DWORD holdMs;
    UINT command;  // 0: none runs, the frame opens instead
  };
  const Case cases[] = {
      {"a quick click runs the shown command", false, 60, ID_TEST_CUT},
      {"a press on the arrow opens the frame", true, 60, 0},
      {"holding the button opens the frame", false, 3 * CTKDropDownToolbarButton::s_dropDownDelay, 0},
  };
  for (const Case& c : cases) {
    frame->commands.clear();
    Press(c.onArrow ? ArrowCorner() : ImagePart(), c.holdMs);
    Pump(150);
    if (c.command) {
      EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000)) << c.what;
      EXPECT_EQ(frame->commands, std::vector<UINT>{c.command}) << c.what;
      EXPECT_EQ(OpenFrame(), nullptr) << c.what;
      continue;
    }
    EXPECT_TRUE(frame->commands.empty()) << c.what;
    CTKDropDownFrame* open = OpenFrame();
    ASSERT_NE(open, nullptr) << c.what;
    // Right under the button, holding the second toolbar's buttons, not activated.
    CRect frameRect, buttonRect = button->m_rect;
    open->GetWindowRect(&frameRect);
    ::MapWindowPoints(fileBar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&buttonRect), 2);
    EXPECT_EQ(frameRect.left, buttonRect.left) << c.what;
    EXPECT_EQ(frameRect.top, buttonRect.bottom) << c.what;
    EXPECT_EQ(::GetActiveWindow(), frameHwnd) << c.what;
    std::vector<UINT> ids;
    for (int i = 0; i < open->GetToolBar()->GetCount(); ++i) ids.push_back(open->GetToolBar()->GetItemID(i));
    EXPECT_EQ(ids, (std::vector<UINT>{ID_TEST_CUT, ID_TEST_COPY, ID_TEST_PASTE})) << c.what;
    // A second click on the button closes it again.
    Press(ImagePart(), 60);
    EXPECT_TRUE(WaitFor([&] { return OpenFrame() == nullptr; }, 1000)) << c.what;
    EXPECT_TRUE(frame->commands.empty()) << c.what;
    EXPECT_FALSE(button->m_nStyle & TBBS_PRESSED) << c.what;
  }
}

TEST_F(DropDownFrame, TheButtonChosenInTheFrameRunsAndBecomesTheButtonsCommandAndImage) {
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  Click(ArrowCorner());
  CTKDropDownFrame* open = OpenFrame();
  ASSERT_NE(open, nullptr);
  Pump(100);
  CapturedImage image = CaptureWindow(open->m_hWnd, false);
  EXPECT_TRUE(SavePng(image, TARVEL_TEST_BINARY_DIR "/screenshots/dropdown-frame.png"));
  CTKDropDownToolBar* bar = open->GetToolBar();
  CRect paste;
  bar->GetItemRect(2, &paste);
  frame->commands.clear();
  Click(CentreOf(*bar, paste));
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_PASTE});
  EXPECT_TRUE(WaitFor([&] { return button->GetFrame() == nullptr; }, 1000));
  EXPECT_EQ(button->m_nID, static_cast<UINT>(ID_TEST_PASTE));
  EXPECT_EQ(button->GetImage(), source->GetButton(2)->GetImage());
  image = CaptureWindow(fileBar->m_hWnd, true);
  EXPECT_TRUE(SavePng(image, TARVEL_TEST_BINARY_DIR "/screenshots/dropdown-button.png"));
  // The next quick click runs the command chosen last.
  frame->commands.clear();
  Click(ImagePart());
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_PASTE});
  // Stored and read back (toolbar state, drag data), the button keeps its source and
  // its command.
  CMemFile file;
  {
    CArchive out(&file, CArchive::store);
    button->Serialize(out);
    out.Close();
  }
  file.Seek(0, CFile::begin);
  CTKDropDownToolbarButton loaded;
  {
    CArchive in(&file, CArchive::load);
    loaded.Serialize(in);
  }
  CTKDropDownToolbarButton* copy = &loaded;
  EXPECT_EQ(copy->GetSourceToolBar(), source.get());
  EXPECT_EQ(copy->m_nID, static_cast<UINT>(ID_TEST_PASTE));
  EXPECT_EQ(copy->GetCurrentIndex(), 2);
}

// The File menu personalised: only New is used often, so Open and Save hide behind
// the show-all entry at the end.
class ShortMenus : public MenuFrame {
protected:
  void SetUp() override {
    MenuFrame::SetUp();
    CTKToolBar::AddBasicCommand(ID_TEST_NEW);
    g_pCommandUsageCounter = &counter;
    CTKMenuBar::SetRecentlyUsedMenus(TRUE);
    CTKMenuBar::SetShowAllCommands(FALSE);
    CTKPopupMenuBar::s_menuShowDelay = 100;
  }
  void TearDown() override {
    MenuFrame::TearDown();
    g_pCommandUsageCounter = nullptr;
    CTKToolBar::s_basicCommands.RemoveAll();
    CTKMenuBar::SetRecentlyUsedMenus(FALSE);
    CTKMenuBar::SetShowAllMenusAfterDelay(FALSE);
    CTKMenuBar::SetShowAllCommands(FALSE);
  }
  CommandUsageCounter counter;
};

TEST_F(ShortMenus, TheShowAllEntryExpandsTheMenuOnAClickOrAfterRestingOnItWhenWanted) {
  const std::vector<std::string> shortMenu{"&New\tCtrl+N", "-", "&Recent", ""};
  const std::vector<std::string> fullMenu{"&New\tCtrl+N", "&Open...", "-", "&Recent", "&Save"};
  struct Case {
    const char* what;
    BOOL afterDelay;  // the user's option
    bool click;       // else the pointer only rests on the entry
    bool expands;
  };
  const Case cases[] = {
      {"a click expands", FALSE, true, true},
      {"resting expands with the option on", TRUE, false, true},
      {"resting does nothing with the option off", FALSE, false, false},
  };
  for (const Case& c : cases) {
    CTKMenuBar::SetShowAllMenusAfterDelay(c.afterDelay);
    CTKMenuBar::SetShowAllCommands(FALSE);
    // Only New counts as used often (a command chosen below counts too).
    counter.Clear();
    for (int i = 0; i < 5; ++i) counter.CountUse(ID_TEST_NEW);
    frame->commands.clear();
    Click(TitleCentre(0));
    CTKPopupMenu* popup = OpenPopup();
    ASSERT_NE(popup, nullptr) << c.what;
    ASSERT_EQ(ItemsOf(popup), shortMenu) << c.what;
    auto* showAll = dynamic_cast<CTKShowAllButton*>(popup->GetMenuItem(3));
    ASSERT_NE(showAll, nullptr) << c.what;
    EXPECT_EQ(showAll->m_strTooltip.Find("Expand (Ctrl+"), 0) << c.what;
    if (c.click) {
      Click(ItemCentre(popup, 3));
    } else {
      // The pointer comes to rest on the entry (the popup sees a first move only as
      // the pointer's arrival).
      POINT at = ItemCentre(popup, 3);
      MoveMouse(POINT{at.x - 6, at.y});
      Pump(60);
      MoveMouse(at);
      Pump(6 * CTKPopupMenuBar::s_menuShowDelay);
    }
    // The pointer may now rest on the sub-menu's title and open it.
    popup = OpenPopup();
    ASSERT_NE(popup, nullptr) << c.what << ": the menu stays open";
    popup = popup->GetOutermost();
    EXPECT_EQ(ItemsOf(popup), c.expands ? fullMenu : shortMenu) << c.what;
    Pump(100);
    EXPECT_TRUE(frame->commands.empty()) << c.what << ": no command runs";
    if (c.expands) {
      // The expanded menu works as any other.
      Click(ItemCentre(popup, 4));
      EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000)) << c.what;
      EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_SAVE}) << c.what;
    } else {
      Tap(VK_ESCAPE);
      Tap(VK_ESCAPE);
    }
    EXPECT_TRUE(WaitFor([&] { return OpenPopup() == nullptr; }, 1000)) << c.what;
  }
}

TEST_F(ShortMenus, ADoubleClickOnATitleOpensItsMenuWithEveryCommand) {
  const std::vector<std::string> shortMenu{"&New\tCtrl+N", "-", "&Recent", ""};
  const std::vector<std::string> fullMenu{"&New\tCtrl+N", "&Open...", "-", "&Recent", "&Save"};
  counter.Clear();
  for (int i = 0; i < 5; ++i) counter.CountUse(ID_TEST_NEW);
  // A click shows the short menu.
  Click(TitleCentre(0));
  ASSERT_NE(OpenPopup(), nullptr);
  EXPECT_EQ(ItemsOf(OpenPopup()), shortMenu);
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return OpenPopup() == nullptr; }, 1000));
  // A double click opens it again with every command.
  const POINT title = TitleCentre(0);
  MoveMouse(POINT{title.x - 3, title.y});
  Pump(30);
  MoveMouse(title);
  Pump(80);
  Button(true);
  Button(false);
  Button(true);
  Button(false);
  Pump(300);
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr) << "the menu is open after the double click";
  EXPECT_EQ(ItemsOf(popup), fullMenu);
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return OpenPopup() == nullptr; }, 1000));
  EXPECT_FALSE(CTKMenuBar::IsShowAllCommands()) << "the next menu is short again";
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(ShortMenus, AnExpandedMenuSetsTheItemsTheShortMenuLeftOutApart) {
  counter.Clear();
  for (int i = 0; i < 5; ++i) counter.CountUse(ID_TEST_NEW);
  Click(TitleCentre(0));
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  // A point near the right end of an item, clear of its text, in the bar's picture.
  auto colourOf = [](CTKPopupMenu* menu, const CapturedImage& image, int index) {
    const CRect rect = menu->GetMenuItem(index)->m_rect;
    return image.At(rect.right - 4, rect.top + 2);
  };
  Pump(50);
  CapturedImage image = CaptureWindow(popup->GetMenuBar()->m_hWnd, false);
  ASSERT_FALSE(image.Empty());
  const COLORREF plain = colourOf(popup, image, 0);
  EXPECT_EQ(colourOf(popup, image, 2), plain) << "the short menu marks nothing";
  Click(ItemCentre(popup, 3));  // the show-all entry
  popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  popup = popup->GetOutermost();
  ASSERT_EQ(ItemsOf(popup), (std::vector<std::string>{"&New\tCtrl+N", "&Open...", "-", "&Recent", "&Save"}));
  Pump(50);
  image = CaptureWindow(popup->GetMenuBar()->m_hWnd, false);
  ASSERT_FALSE(image.Empty());
  EXPECT_EQ(colourOf(popup, image, 0), plain) << "New is used often";
  EXPECT_NE(colourOf(popup, image, 1), plain) << "Open is rarely used";
  EXPECT_NE(colourOf(popup, image, 4), plain) << "Save is rarely used";
  EXPECT_EQ(colourOf(popup, image, 1), colourOf(popup, image, 4)) << "both in the same background";
  Tap(VK_ESCAPE);
  Tap(VK_ESCAPE);
}

LRESULT CALLBACK DocumentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefMDIChildProcA(hwnd, message, wParam, lParam);
}

// A frame whose client area holds a maximized document window; the menu bar shows its
// icon and its minimize, restore and close buttons.
class DocumentFrame : public MenuFrame {
protected:
  void SetUp() override {
    MenuFrame::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = &DocumentProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "TarvelTestDocument";
    ::RegisterClassA(&wc);
    CLIENTCREATESTRUCT ccs{};
    ccs.idFirstChild = 50000;
    clientHwnd = ::CreateWindowExA(
        WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100,
        frameHwnd, reinterpret_cast<HMENU>(AFX_IDW_PANE_FIRST), ::GetModuleHandleA(nullptr), &ccs);
    ASSERT_NE(clientHwnd, nullptr);
    frame->RecalcLayout();
    AddDocument();
    icon = static_cast<HICON>(::LoadImageA(nullptr, IDI_APPLICATION, IMAGE_ICON, 16, 16, LR_SHARED));
    systemButton = new CTKToolbarSystemMenuButton(::GetSystemMenu(documentHwnd, FALSE), icon);
    ASSERT_EQ(menuBar->InsertButton(systemButton, 0), 0);
    for (UINT command : {SC_MINIMIZE, SC_RESTORE, SC_CLOSE})
      ASSERT_GE(menuBar->InsertButton(new CTKToolbarMenuButtonsButton(command)), 0);
    menuBar->AdjustSize();
    frame->RecalcLayout();
    Pump(150);
  }
  void AddDocument() {
    MDICREATESTRUCTA mcs{};
    mcs.szClass = "TarvelTestDocument";
    mcs.szTitle = "Take 1";
    mcs.hOwner = ::GetModuleHandleA(nullptr);
    mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
    documentHwnd =
        reinterpret_cast<HWND>(::SendMessageA(clientHwnd, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    ASSERT_NE(documentHwnd, nullptr);
    ::SendMessageA(clientHwnd, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(documentHwnd), 0);
    Pump(50);
  }
  POINT ButtonCentre(int index) const { return TitleCentre(index); }
  void DoubleClick(POINT at) {
    MoveMouse(at);
    Pump(80);
    INPUT in[4] = {};
    for (INPUT& one : in) one.type = INPUT_MOUSE;
    in[0].mi.dwFlags = in[2].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = in[3].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(4, in, sizeof in[0]);
    Pump(300);
  }

  HWND clientHwnd = nullptr;
  HWND documentHwnd = nullptr;
  HICON icon = nullptr;
  CTKToolbarSystemMenuButton* systemButton = nullptr;
};

TEST_F(DocumentFrame, TheIconOpensTheDocumentsSystemMenuAndADoubleClickClosesItUnlessCloseIsGreyed) {
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  CapturedImage image = CaptureWindow(menuBar->m_hWnd, true);
  EXPECT_TRUE(SavePng(image, TARVEL_TEST_BINARY_DIR "/screenshots/menubar-document-buttons.png"));
  CRect iconRect = systemButton->m_rect;
  EXPECT_EQ(iconRect.Width(), ::GetSystemMetrics(SM_CXSMICON));
  struct Case {
    const char* what;
    bool closeGreyed;
    bool closes;
  };
  const Case cases[] = {
      {"close greyed: the document stays", true, false},
      {"close enabled: the document closes", false, true},
  };
  for (const Case& c : cases) {
    HMENU systemMenu = ::GetSystemMenu(documentHwnd, FALSE);
    ::EnableMenuItem(systemMenu, SC_CLOSE, MF_BYCOMMAND | (c.closeGreyed ? MF_GRAYED : MF_ENABLED));
    // A click shows the window's own menu, with Close greyed as the window has it.
    Click(ButtonCentre(0));
    CTKPopupMenu* popup = OpenPopup();
    ASSERT_NE(popup, nullptr) << c.what;
    CTKToolbarMenuButton* close = nullptr;
    for (int i = 0; i < popup->GetMenuItemCount(); ++i)
      if (popup->GetMenuItem(i)->m_nID == SC_CLOSE) close = popup->GetMenuItem(i);
    ASSERT_NE(close, nullptr) << c.what;
    EXPECT_EQ((close->m_nStyle & TBBS_DISABLED) != 0, c.closeGreyed) << c.what;
    Tap(VK_ESCAPE);
    Tap(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return OpenPopup() == nullptr; }, 1000)) << c.what;
    DoubleClick(ButtonCentre(0));
    EXPECT_EQ(::IsWindow(documentHwnd) == FALSE, c.closes) << c.what;
    if (CTKPopupMenu* open = OpenPopup()) open->DestroyWindow();
    Pump(100);
  }
}

TEST_F(DocumentFrame, TheCaptionButtonsOnTheMenuBarActOnTheDocument) {
  const int last = menuBar->GetCount() - 1;
  for (int i = last - 2; i <= last; ++i) {
    CRect rect = menuBar->GetButton(i)->m_rect;
    EXPECT_EQ(rect.Width(), ::GetSystemMetrics(SM_CXMENUSIZE)) << i;
  }
  // Minimize, then close: what each does shows on the document window.
  Click(ButtonCentre(last - 2));
  EXPECT_TRUE(WaitFor([&] { return ::IsIconic(documentHwnd) != FALSE; }, 1000));
  Click(ButtonCentre(last));
  EXPECT_TRUE(WaitFor([&] { return !::IsWindow(documentHwnd); }, 1000));
  EXPECT_TRUE(frame->commands.empty());
}

}  // namespace
