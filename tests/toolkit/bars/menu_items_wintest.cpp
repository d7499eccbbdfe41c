// What popups generate and how they come back: the recent-file entry becoming the
// recent files and the user-tools entry the user's tools (each running what it
// stands for), and popups opened again and again looking and acting as the first
// time. Input comes through SendInput and is handled as the program's loop handles
// it.
#include "support/wine/GTestWin.h"

#include "support/wine/WindowCapture.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/menu_test_resource.h"
#include "toolkit/bars/menu_test_support.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TKWorkspace.h"
#include "toolkit/frames/TearOffManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <memory>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

using namespace menutest;

namespace {

// A frame that records the commands it gets from the menus; it handles the test
// commands and the recent files, so their items are enabled.
class RecordingFrame : public CTKFrameWnd {
public:
  std::vector<UINT> commands;

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (lParam == 0 && HIWORD(wParam) == 0) {
      commands.push_back(LOWORD(wParam));
      return TRUE;
    }
    return CTKFrameWnd::OnCommand(wParam, lParam);
  }
  void OnHandled() {}
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingFrame, CTKFrameWnd)
  ON_COMMAND_RANGE(ID_TEST_NEW, ID_TEST_ABOUT, OnHandled)
  ON_COMMAND_RANGE(ID_TEST_CUT, ID_TEST_PASTE, OnHandled)
  ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + 15, OnHandled)
END_MESSAGE_MAP()

// A tool that notes that it ran instead of starting a program.
class NotingTool : public CTKUserTool {
  DECLARE_SERIAL(NotingTool)

public:
  BOOL Invoke() override {
    ran.push_back(static_cast<const char*>(m_strLabel));
    return TRUE;
  }
  static std::vector<std::string> ran;
};
IMPLEMENT_SERIAL(NotingTool, CTKUserTool, 1)
std::vector<std::string> NotingTool::ran;

class ItemsFrame : public ::testing::Test {
protected:
  void SetUp() override {
    frame = new RecordingFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Items", WS_OVERLAPPEDWINDOW, CRect(60, 60, 560, 400), nullptr,
                              MAKEINTRESOURCEA(menuId)));
    frameHwnd = frame->m_hWnd;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    menuBar = std::make_unique<CTKMenuBar>();
    ASSERT_TRUE(menuBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(frame->DockControlBar(menuBar.get(), AFX_IDW_DOCKBAR_TOP));
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(frameHwnd);
    frame->RecalcLayout();
    Pump(200);
    CRect client;
    ::GetClientRect(frameHwnd, &client);
    MoveMouse(CentreOf(frameHwnd,
                       CRect(client.right - 30, client.bottom - 30, client.right - 20, client.bottom - 20)));
  }
  void TearDown() override {
    if (CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu(); popup && popup->m_hWnd) popup->DestroyWindow();
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    Pump(50);
    menuBar.reset();
    CTKPopupMenu::DeleteClosedMenus();
  }
  POINT TitleCentre(int index) const {
    CRect rect;
    menuBar->GetItemRect(index, &rect);
    return CentreOf(menuBar->m_hWnd, rect);
  }
  CTKPopupMenu* OpenTitle(int index) {
    Click(TitleCentre(index));
    WaitFor([] { return OpenPopup() != nullptr; }, 2000);
    return OpenPopup();
  }
  // An item chosen by a click; the menu closes.
  void Choose(CTKPopupMenu* popup, int item) {
    Click(ItemCentre(popup, item));
    WaitFor([] { return OpenPopup() == nullptr; }, 2000);
  }
  void CloseWithEscape() {
    Tap(VK_ESCAPE);
    WaitFor([] { return OpenPopup() == nullptr; }, 2000);
  }

  UINT menuId = IDR_ITEMS_MENU;
  RecordingFrame* frame = nullptr;
  HWND frameHwnd = nullptr;
  std::unique_ptr<CTKMenuBar> menuBar;
};

// What a popup shows, without its shadow (which shows what lies under it).
CapturedImage MenuPicture(CTKPopupMenu* popup) {
  PumpPendingMessages();
  const CapturedImage whole = CaptureWindow(popup->m_hWnd, false);
  const int depth = popup->GetShadowDepth();
  CapturedImage image;
  image.width = whole.width - depth;
  image.height = whole.height - depth;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      image.pixels.push_back(whole.pixels[static_cast<size_t>(y) * whole.width + x]);
  return image;
}

std::string CurrentFolder() {
  char folder[MAX_PATH] = "";
  ::GetCurrentDirectoryA(sizeof folder, folder);
  std::string path = folder;
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

TEST_F(ItemsFrame, TheRecentFileEntryBecomesTheRecentFilesAndOpensTheOneChosen) {
  CWinApp app("Tarvel Menu Tests");
  const std::string here = CurrentFolder();
  struct Case {
    const char* what;
    std::vector<std::string> added;  // oldest first: the newest shows first
    std::vector<std::string> items;
    int choose;  // item chosen, -1: none
    UINT command;
  };
  const Case cases[] = {
      {"no recent files: the entry goes with one separator", {}, {"&New", "-", "E&xit"}, -1, 0},
      {"a file of the current folder shows by its name",
       {here + "take.wav"},
       {"&New", "-", "&1 take.wav", "-", "E&xit"},
       2,
       ID_FILE_MRU_FILE1},
      {"others show whole, with their ampersands shown",
       {"Z:\\elsewhere\\a & b.mp3", here + "take.wav"},
       {"&New", "-", "&1 take.wav", "&2 Z:\\elsewhere\\a && b.mp3", "-", "E&xit"},
       3,
       ID_FILE_MRU_FILE1 + 1},
  };
  for (const Case& c : cases) {
    auto* files = new CRecentFileList(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 4);
    for (const std::string& path : c.added) files->Add(path.c_str());
    app.m_pRecentFileList = files;
    frame->commands.clear();
    CTKPopupMenu* popup = OpenTitle(0);
    ASSERT_NE(popup, nullptr) << c.what;
    EXPECT_EQ(ItemsOf(popup), c.items) << c.what;
    if (c.choose >= 0) {
      Choose(popup, c.choose);
      EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000)) << c.what;
      EXPECT_EQ(frame->commands, std::vector<UINT>{c.command}) << c.what;
    } else {
      CloseWithEscape();
    }
    EXPECT_EQ(OpenPopup(), nullptr) << c.what;
    app.m_pRecentFileList = nullptr;
    delete files;
  }
}

TEST_F(ItemsFrame, TheUserToolsEntryBecomesTheToolsAndChoosingOneRunsIt) {
  CTKUserToolsManager tools(ID_TEST_TOOLS_ENTRY, ID_TEST_TOOL_FIRST, ID_TEST_TOOL_FIRST + 4,
                            RUNTIME_CLASS(NotingTool));
  g_pUserToolsManager = &tools;
  struct Case {
    const char* what;
    std::vector<std::string> labels;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"no tools: the entry vanishes", {}, {"&Options", "&About"}},
      {"the tools between separators",
       {"Record &Log", "Cleaner"},
       {"&Options", "-", "Record &Log", "Cleaner", "-", "&About"}},
  };
  for (const Case& c : cases) {
    for (const std::string& label : c.labels) {
      CTKUserTool* tool = tools.NewTool();
      ASSERT_NE(tool, nullptr);
      tool->m_strLabel = label.c_str();
    }
    CTKPopupMenu* popup = OpenTitle(1);
    ASSERT_NE(popup, nullptr) << c.what;
    EXPECT_EQ(ItemsOf(popup), c.items) << c.what;
    CloseWithEscape();
  }
  // The second tool, chosen, runs; the frame gets no command for it.
  frame->commands.clear();
  NotingTool::ran.clear();
  CTKPopupMenu* popup = OpenTitle(1);
  ASSERT_NE(popup, nullptr);
  Choose(popup, 3);
  EXPECT_TRUE(WaitFor([&] { return !NotingTool::ran.empty(); }, 2000));
  EXPECT_EQ(NotingTool::ran, std::vector<std::string>{"Cleaner"});
  Pump(100);
  EXPECT_TRUE(frame->commands.empty());

  // A tool the user deletes takes its buttons with it, here one put on the menu bar.
  auto* second = static_cast<CTKUserTool*>(const_cast<CObList&>(tools.GetUserTools()).GetTail());
  ASSERT_GE(menuBar->InsertButton(new CTKToolbarButton(second->m_uiCmdId, -1, "Cleaner")), 0);
  const int titles = menuBar->GetCount();
  EXPECT_TRUE(tools.EraseTool(second));
  EXPECT_EQ(menuBar->GetCount(), titles - 1);
  EXPECT_EQ(menuBar->CommandToIndex(ID_TEST_TOOL_FIRST + 1), -1);
  g_pUserToolsManager = nullptr;
}

// Every popup of a session, opened again and again, shows the same picture in the same
// place as the first time, whichever popup was open before it.
TEST_F(ItemsFrame, APopupOpenedAgainLooksAndSitsAsTheFirstTime) {
  struct Shot {
    CRect window;
    CapturedImage image;  // the menu without its shadow, which shows what lies under it
  };
  auto shoot = [&](int title) {
    Shot shot;
    CTKPopupMenu* popup = OpenTitle(title);
    if (!popup) return shot;
    Pump(100);
    popup->GetWindowRect(&shot.window);
    shot.image = MenuPicture(popup);
    CloseWithEscape();
    return shot;
  };
  const Shot firstFile = shoot(0), firstTools = shoot(1);
  ASSERT_FALSE(firstFile.image.Empty());
  ASSERT_FALSE(firstTools.image.Empty());
  EXPECT_NE(firstFile.window.Size(), firstTools.window.Size());
  for (int round = 0; round < 3; ++round) {
    for (int title : {1, 0, 0, 1}) {
      const Shot& first = title ? firstTools : firstFile;
      const Shot again = shoot(title);
      EXPECT_EQ(again.window, first.window) << "round " << round << ", title " << title;
      EXPECT_TRUE(again.image.pixels == first.image.pixels) << "round " << round << ", title " << title;
    }
  }
  // A popup still works after its window came back: an item sends its command.
  frame->commands.clear();
  CTKPopupMenu* popup = OpenTitle(0);
  ASSERT_NE(popup, nullptr);
  Choose(popup, 0);
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_NEW});
}

// Each way of appearing ends in the popup as it is without one: the same picture, and
// items that work.
TEST_F(ItemsFrame, EachAnimationEndsInThePopupAsItShowsWithoutOne) {
  const int saved = CTKToolBar::s_nMenuAnimation;
  struct Case {
    const char* what;
    int type;
  };
  const Case cases[] = {{"none", CTKPopupMenu::kAnimationNone},
                        {"unfold", CTKPopupMenu::kAnimationUnfold},
                        {"slide", CTKPopupMenu::kAnimationSlide},
                        {"fade", CTKPopupMenu::kAnimationFade}};
  CapturedImage plain;
  for (const Case& c : cases) {
    CTKToolBar::s_nMenuAnimation = c.type;
    frame->commands.clear();
    CTKPopupMenu* popup = OpenTitle(0);
    ASSERT_NE(popup, nullptr) << c.what;
    EXPECT_EQ(popup->GetAnimationType(), c.type) << c.what;
    EXPECT_TRUE(WaitFor([&] { return popup->IsIdle(); }, 5000)) << c.what;
    EXPECT_TRUE(::IsWindowVisible(popup->GetMenuBar()->m_hWnd)) << c.what;
    Pump(100);
    const CapturedImage picture = MenuPicture(popup);
    if (c.type == CTKPopupMenu::kAnimationNone)
      plain = picture;
    else
      EXPECT_TRUE(picture.pixels == plain.pixels) << c.what;
    Choose(popup, 0);
    EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000)) << c.what;
    EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_NEW}) << c.what;
  }
  // Opened by the keys, a menu appears at once.
  CTKToolBar::s_nMenuAnimation = CTKPopupMenu::kAnimationSlide;
  for (WORD key : {VK_DOWN, VK_RIGHT}) {
    if (key == VK_DOWN) Tap(VK_F10);
    Tap(key);
    ASSERT_TRUE(WaitFor([] { return OpenPopup() != nullptr; }, 2000));
    EXPECT_EQ(OpenPopup()->GetAnimationType(), CTKPopupMenu::kAnimationNone)
        << (key == VK_DOWN ? "Down" : "Right");
  }
  CloseWithEscape();
  CTKToolBar::s_nMenuAnimation = saved;
}

// Menus marked for it can be torn off: the tear-off manager hands out the ids.
class TearOffFrame : public ItemsFrame {
protected:
  TearOffFrame() { menuId = IDR_TEAROFF_MENU; }
  void SetUp() override {
    g_pTearOffManager = &tearOffs;
    tearOffs.SetRange(ID_TEST_TEAROFF_FIRST, ID_TEST_TEAROFF_FIRST + 3);
    ItemsFrame::SetUp();
  }
  void TearDown() override {
    ItemsFrame::TearDown();
    g_pTearOffManager = nullptr;
  }
  // The band held and dragged off the menu, then let go.
  void DragBandTo(CTKPopupMenu* popup, POINT to) {
    const CRect band = popup->GetTearOffBand();
    const HWND window = popup->m_hWnd;
    // The band holds the pointer once pressed (a press that came too early is made
    // again, as a hand would).
    for (int attempt = 0; attempt < 3 && ::GetCapture() != window; ++attempt) {
      MoveMouse(CentreOf(window, CRect(band.left, band.top, band.right - 6, band.bottom)));
      MoveMouse(CentreOf(window, band));
      Pump(80);
      Button(true);
      if (!WaitFor([&] { return ::GetCapture() == window; }, 1000)) {
        Button(false);
        Pump(80);
      }
    }
    MoveMouse(POINT{to.x - 10, to.y - 10});
    Pump(80);
    MoveMouse(to);
    Pump(80);
    Button(false);
    Pump(200);
  }
  TearOffManager tearOffs;
};

TEST_F(TearOffFrame, AMenuDraggedByItsBandBecomesAFloatingToolbarThatSendsItsCommands) {
  CWinApp app("WSTearOff");
  app.SetRegistryKey("TarvelTest");
  CTKPopupMenu* popup = OpenTitle(0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(ItemsOf(popup), (std::vector<std::string>{"Cu&t", "&Copy", "&Paste"}));
  ASSERT_FALSE(popup->GetTearOffBand().IsRectEmpty());
  const UINT id = popup->GetParentButton()->m_uiTearOffBarID;
  EXPECT_GE(id, static_cast<UINT>(ID_TEST_TEAROFF_FIRST));
  CRect frameRect;
  ::GetWindowRect(frameHwnd, &frameRect);
  DragBandTo(popup, POINT{frameRect.right - 150, frameRect.bottom - 120});
  EXPECT_TRUE(WaitFor([] { return OpenPopup() == nullptr; }, 2000)) << "the menu closes";

  // A floating toolbar named after the menu, with its commands.
  auto* bar = dynamic_cast<CTKToolBar*>(frame->GetControlBar(id));
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(::IsWindowVisible(bar->m_hWnd));
  EXPECT_TRUE(bar->IsFloating());
  CString name;
  bar->GetWindowText(name);
  EXPECT_STREQ(name, "Edit");
  std::vector<UINT> ids;
  for (int i = 0; i < bar->GetCount(); ++i) ids.push_back(bar->GetButton(i)->m_nID);
  EXPECT_EQ(ids, (std::vector<UINT>{ID_TEST_CUT, ID_TEST_COPY, ID_TEST_PASTE}));
  frame->commands.clear();
  CRect copy;
  bar->GetItemRect(1, &copy);
  Click(CentreOf(bar->m_hWnd, copy));
  EXPECT_TRUE(WaitFor([&] { return !frame->commands.empty(); }, 2000));
  EXPECT_EQ(frame->commands, std::vector<UINT>{ID_TEST_COPY});

  // Torn off again, the same bar comes: no second one.
  ASSERT_NE(popup = OpenTitle(0), nullptr);
  DragBandTo(popup, POINT{frameRect.left + 150, frameRect.bottom - 60});
  EXPECT_TRUE(WaitFor([] { return OpenPopup() == nullptr; }, 2000));
  EXPECT_EQ(frame->m_Impl.TearOffBarCount(), 1);
  EXPECT_EQ(frame->GetControlBar(id), bar);

  // The workspace keeps it, and a new frame gets it back.
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\WSTearOff");
  CTKWorkspace workspace;
  workspace.SetStateKeyName("Settings");
  EXPECT_TRUE(workspace.SaveState(nullptr, &frame->m_Impl));
  char stored[64] = "";
  DWORD size = sizeof stored;
  EXPECT_EQ(
      ::RegGetValueA(HKEY_CURRENT_USER, "Software\\TarvelTest\\WSTearOff\\Settings\\ControlBars-TearOff-0",
                     "Name", RRF_RT_REG_SZ, nullptr, stored, &size),
      ERROR_SUCCESS);
  EXPECT_STREQ(stored, "Edit");
  ItemsFrame::TearDown();
  tearOffs.ReleaseIds(nullptr);
  ItemsFrame::SetUp();
  EXPECT_TRUE(workspace.LoadState(nullptr, &frame->m_Impl));
  Pump(100);
  ASSERT_EQ(frame->m_Impl.TearOffBarCount(), 1);
  auto* back = dynamic_cast<CTKToolBar*>(frame->GetControlBar(id));
  ASSERT_NE(back, nullptr);
  back->GetWindowText(name);
  EXPECT_STREQ(name, "Edit");
  EXPECT_EQ(back->GetCount(), 3);
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\WSTearOff");
}

}  // namespace
