// The whole user interface kept between runs by the workspace: what a user changed in
// the bars, the menus, the class-wide options, the user tools, the views' double-click
// commands and the context menus goes into the registry under the names the program
// has always used, and comes back in a new frame.
#include "support/wine/GTestWin.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"

#include "toolkit/bars/TKContextMenuManager.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKMouseManager.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/bars/TKToolbarImageList.h"
#include "toolkit/bars/menu_test_resource.h"
#include "toolkit/bars/menu_test_support.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKRegistry.h"
#include "toolkit/frames/TKUserToolsManager.h"
#include "toolkit/frames/TKWorkspace.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

using namespace menutest;

namespace {

constexpr UINT kFileBarId = AFX_IDW_CONTROLBAR_FIRST + 80;
const char* const kSettings = "Software\\TarvelTest\\WSMenus\\Settings";

// A frame of the test resources: its menu bar and the file toolbar.
struct BarsFrame {
  CTKFrameWnd* frame = nullptr;
  HWND hwnd = nullptr;
  std::unique_ptr<CTKMenuBar> menuBar = std::make_unique<CTKMenuBar>();
  std::unique_ptr<CTKToolBar> fileBar = std::make_unique<CTKToolBar>();

  bool Build() {
    frame = new CTKFrameWnd;
    if (!frame->Create(nullptr, "Kept", WS_OVERLAPPEDWINDOW, CRect(80, 80, 600, 420), nullptr,
                       MAKEINTRESOURCEA(IDR_ITEMS_MENU)))
      return false;
    hwnd = frame->m_hWnd;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    if (!menuBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP)) return false;
    if (!fileBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId)) return false;
    if (!fileBar->LoadToolBar(IDR_FILE_TOOLBAR)) return false;
    fileBar->SetWindowText("File");
    frame->DockControlBar(menuBar.get(), AFX_IDW_DOCKBAR_TOP);
    frame->DockControlBar(fileBar.get(), AFX_IDW_DOCKBAR_TOP);
    frame->ShowWindow(SW_SHOWNORMAL);
    frame->RecalcLayout();
    Pump(150);
    return true;
  }
  ~BarsFrame() {
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    Pump(50);
    menuBar.reset();
    fileBar.reset();
    CTKPopupMenu::DeleteClosedMenus();
  }
  std::vector<std::string> Titles() const { return menutest::TitlesOf(*menuBar); }
  std::vector<UINT> Commands() const {
    std::vector<UINT> ids;
    for (int i = 0; i < fileBar->GetCount(); ++i) ids.push_back(fileBar->GetButton(i)->m_nID);
    return ids;
  }
};

class WorkspaceState : public ::testing::Test {
protected:
  WorkspaceState() : app("WSMenus") { app.SetRegistryKey("TarvelTest"); }
  void SetUp() override {
    Clean();
    savedAnimation = CTKToolBar::s_nMenuAnimation;
    savedShadows = CTKToolBar::s_bMenuShadows;
  }
  void TearDown() override {
    CTKToolBar::s_nMenuAnimation = savedAnimation;
    CTKToolBar::s_bMenuShadows = savedShadows;
    Clean();
  }
  static void Clean() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\WSMenus");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvelTest");
  }
  static bool ReadDword(const std::string& key, const char* name, DWORD& value) {
    DWORD size = sizeof value;
    return ::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
  }
  static DWORD BinarySize(const std::string& key, const char* name) {
    DWORD size = 0, type = 0;
    HKEY handle;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return 0;
    const bool ok = ::RegQueryValueExA(handle, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
                    type == REG_BINARY;
    ::RegCloseKey(handle);
    return ok ? size : 0;
  }

  CWinApp app;
  int savedAnimation = 0;
  BOOL savedShadows = TRUE;
};

TEST_F(WorkspaceState, WhatTheUserChangedIsStoredAndComesBackInANewFrame) {
  CTKWorkspace workspace;
  workspace.SetStateKeyName("Settings");
  ASSERT_TRUE(
      workspace.InitUserToolsManager(ID_TEST_TOOLS_ENTRY, ID_TEST_TOOL_FIRST, ID_TEST_TOOL_FIRST + 4));
  std::vector<UINT> keptCommands;
  {
    BarsFrame first;
    ASSERT_TRUE(first.Build());
    // The user's changes: a toolbar button and a menu title taken away, menus that
    // slide open without shadows, and a tool of their own.
    const std::vector<UINT> original = first.Commands();
    ASSERT_EQ(original.back(), static_cast<UINT>(ID_TEST_PRINT));
    first.fileBar->RemoveButton(first.fileBar->GetCount() - 1);
    first.fileBar->AdjustSize();
    keptCommands = first.Commands();
    ASSERT_EQ(first.Titles(), (std::vector<std::string>{"&File", "&Tools"}));
    first.menuBar->RemoveButton(1);
    CTKToolBar::s_nMenuAnimation = CTKPopupMenu::kAnimationSlide;
    CTKToolBar::s_bMenuShadows = FALSE;
    CTKUserTool* tool = g_pUserToolsManager->NewTool();
    ASSERT_NE(tool, nullptr);
    tool->m_strLabel = "Cleaner";
    tool->SetCommand("cleaner.exe");
    EXPECT_TRUE(workspace.SaveState(nullptr, &first.frame->m_Impl));
  }

  // In the registry, under the names the program has always used.
  const std::string settings = kSettings;
  DWORD value = 0;
  EXPECT_TRUE(ReadDword(settings + "\\TKVersion", "Major", value) && value == 6);
  EXPECT_TRUE(ReadDword(settings + "\\TKVersion", "Minor", value) && value == 50);
  EXPECT_TRUE(ReadDword(settings + "\\TKToolbarParameters", "MenuAnimation", value) && value == 2);
  EXPECT_TRUE(ReadDword(settings + "\\TKToolbarParameters", "MenuShadows", value) && value == 0);
  EXPECT_GT(BinarySize(settings, "Tools"), 0u) << "the user tools are kept in the base key itself";
  EXPECT_GT(BinarySize(settings + "\\TKToolBar-" + std::to_string(kFileBarId), "Buttons"), 0u);

  // A new run: everything as the resources have it, then the stored state.
  CTKToolBar::s_nMenuAnimation = CTKPopupMenu::kAnimationNone;
  CTKToolBar::s_bMenuShadows = TRUE;
  while (!g_pUserToolsManager->GetUserTools().IsEmpty())
    g_pUserToolsManager->EraseTool(
        static_cast<CTKUserTool*>(const_cast<CObList&>(g_pUserToolsManager->GetUserTools()).GetHead()));
  BarsFrame second;
  ASSERT_TRUE(second.Build());
  EXPECT_EQ(second.Titles(), (std::vector<std::string>{"&File", "&Tools"}));
  EXPECT_TRUE(workspace.LoadState(nullptr, &second.frame->m_Impl));
  Pump(100);
  EXPECT_EQ(second.Commands(), keptCommands);
  EXPECT_EQ(second.Titles(), (std::vector<std::string>{"&File"}));
  EXPECT_EQ(CTKToolBar::s_nMenuAnimation, CTKPopupMenu::kAnimationSlide);
  EXPECT_FALSE(CTKToolBar::s_bMenuShadows);
  ASSERT_EQ(g_pUserToolsManager->GetUserTools().GetCount(), 1);
  auto* tool = static_cast<CTKUserTool*>(const_cast<CObList&>(g_pUserToolsManager->GetUserTools()).GetHead());
  EXPECT_STREQ(tool->m_strLabel, "Cleaner");
  EXPECT_STREQ(tool->GetCommand(), "cleaner.exe");
  EXPECT_EQ(tool->m_uiCmdId, static_cast<UINT>(ID_TEST_TOOL_FIRST));
}

// A toolbar that notes whether buttons give their images to their commands while the
// workspace loads it.
struct ProbeBar : CTKToolBar {
  int loads = 0;
  BOOL registeredWhileLoading = TRUE;
  BOOL LoadState(const char* profile, int index, UINT id) override {
    ++loads;
    registeredWhileLoading = CTKToolbarButton::s_registerImages;
    return CTKToolBar::LoadState(profile, index, id);
  }
};

// The images the user drew go back to their file when the state is saved; a workspace
// told that the resources were updated loads the bars without letting their stored
// buttons give their images to the commands, and lets them do so again afterwards.
TEST_F(WorkspaceState, UserImagesGoToTheirFileAndUpdatedResourcesKeepTheirImages) {
  winetest::TempFolder folder("wsimages");
  const std::string file = folder.File("user images.bmp");
  std::string source = std::string("Z:") + TARVEL_SOURCE_DIR + "/tests/toolkit/bars/file_toolbar.bmp";
  std::replace(source.begin(), source.end(), '/', '\\');
  ASSERT_TRUE(::CopyFileA(source.c_str(), file.c_str(), FALSE));
  CTKToolbarImageList userImages;
  ASSERT_TRUE(userImages.LoadFromFile(file.c_str()));
  ASSERT_EQ(userImages.GetCount(), 4);
  CTKToolBar::SetUserImages(&userImages);
  struct Case {
    const char* name;
    BOOL resourceUpdate;
  } cases[] = {{"resources as they were", FALSE}, {"resources updated", TRUE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTKWorkspace workspace(c.resourceUpdate);
    workspace.SetStateKeyName("Settings");
    BarsFrame frame;
    ASSERT_TRUE(frame.Build());
    ProbeBar probe;
    ASSERT_TRUE(probe.Create(frame.frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kFileBarId + 1));
    ASSERT_TRUE(probe.LoadToolBar(IDR_FILE_TOOLBAR));
    frame.frame->DockControlBar(&probe, AFX_IDW_DOCKBAR_TOP);
    // The user drew one more image.
    CTKToolbarImageList drawn;
    ASSERT_TRUE(drawn.Load(IDR_EDIT_TOOLBAR));
    ASSERT_GE(userImages.AddImage(drawn.GetImageWell()), 0);
    ASSERT_TRUE(workspace.SaveState(nullptr, &frame.frame->m_Impl));
    EXPECT_FALSE(userImages.IsModified());
    CTKToolbarImageList again;
    ASSERT_TRUE(again.LoadFromFile(file.c_str()));
    EXPECT_EQ(again.GetCount(), userImages.GetCount()) << "the file holds the drawn images";

    EXPECT_TRUE(workspace.LoadState(nullptr, &frame.frame->m_Impl));
    EXPECT_EQ(probe.loads, 1);
    EXPECT_EQ(probe.registeredWhileLoading, !c.resourceUpdate);
    EXPECT_TRUE(CTKToolbarButton::s_registerImages);
    probe.DestroyWindow();
  }
  CTKToolBar::SetUserImages(nullptr);
}

// A view of the program: a double click asks the workspace to run the view's command.
class DoubleClickView : public CWnd {
public:
  static constexpr int kViewId = 7;
  BOOL Make(CWnd* parent) {
    return Create(AfxRegisterWndClass(CS_DBLCLKS), "view", WS_CHILD | WS_VISIBLE | WS_BORDER,
                  CRect(20, 60, 220, 200), parent, 1);
  }

protected:
  void OnLButtonDblClk(UINT, CPoint) { CurrentWorkspace()->OnViewDoubleClick(this, kViewId); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DoubleClickView, CWnd)
  ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

class CommandsFrame : public CTKFrameWnd {
public:
  std::vector<UINT> commands;

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (lParam == 0 && LOWORD(wParam) >= ID_TEST_NEW && LOWORD(wParam) <= ID_TEST_PASTE) {
      commands.push_back(LOWORD(wParam));
      return TRUE;
    }
    return CTKFrameWnd::OnCommand(wParam, lParam);
  }
};

std::vector<UINT> IdsOf(CTKPopupMenu* popup) {
  std::vector<UINT> ids;
  for (int i = 0; popup && i < popup->GetMenuItemCount(); ++i) ids.push_back(popup->GetMenuItem(i)->m_nID);
  return ids;
}

// The double-click command the user gave a view on the Mouse page, and a context menu
// the user changed, are stored with the rest; in the next run the view's double
// click runs that command and the menu shows the user's items.
TEST_F(WorkspaceState, DoubleClickCommandsAndContextMenusComeBackInANewRun) {
  auto* frame = new CommandsFrame;
  ASSERT_TRUE(frame->Create(nullptr, "Views", WS_OVERLAPPEDWINDOW, CRect(80, 80, 520, 380)));
  const HWND frameHwnd = frame->m_hWnd;
  frame->ShowWindow(SW_SHOWNORMAL);
  DoubleClickView view;
  ASSERT_TRUE(view.Make(frame));
  Pump(150);
  std::vector<UINT> customised;
  {
    CTKWorkspace workspace;
    workspace.SetStateKeyName("Settings");
    ASSERT_TRUE(workspace.InitMouseManager());
    ASSERT_TRUE(workspace.CreateContextMenuManager());
    EXPECT_FALSE(workspace.InitMouseManager());
    EXPECT_FALSE(workspace.CreateContextMenuManager());
    ASSERT_TRUE(g_pMouseManager->AddView(DoubleClickView::kViewId, "Waveform"));
    g_pMouseManager->SetCommandForDblClick(DoubleClickView::kViewId, ID_TEST_SAVE);
    ASSERT_TRUE(GetContextMenuManager()->AddMenu("Waveform", IDR_TEST_MENU));
    // The user takes Open out of the menu.
    ASSERT_TRUE(workspace.ShowPopupMenu(IDR_TEST_MENU, POINT{300, 200}, frame));
    winetest::WaitUntil([] { return OpenPopup() != nullptr; }, 5000);
    CTKPopupMenu* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    std::vector<UINT> ids = IdsOf(popup);
    const auto open = std::find(ids.begin(), ids.end(), static_cast<UINT>(ID_TEST_OPEN));
    ASSERT_NE(open, ids.end());
    ASSERT_TRUE(popup->RemoveItem(static_cast<int>(open - ids.begin())));
    customised = IdsOf(popup);
    ASSERT_TRUE(ToolbarButtonsArchive(*popup->GetMenuBar())
                    .SaveTo(::GetSubMenu(GetContextMenuManager()->GetMenuById(IDR_TEST_MENU), 0)));
    popup->DestroyWindow();
    Pump(50);
    EXPECT_TRUE(workspace.SaveState());
  }
  // The managers went with the workspace that made them.
  EXPECT_EQ(g_pMouseManager, nullptr);
  EXPECT_EQ(GetContextMenuManager(), nullptr);
  EXPECT_GT(BinarySize(std::string(kSettings) + "\\TKMouseManager", "Mouse"), 0u);

  CTKWorkspace workspace;
  workspace.SetStateKeyName("Settings");
  ASSERT_TRUE(workspace.InitMouseManager());
  ASSERT_TRUE(workspace.CreateContextMenuManager());
  ASSERT_TRUE(g_pMouseManager->AddView(DoubleClickView::kViewId, "Waveform"));
  ASSERT_TRUE(GetContextMenuManager()->AddMenu("Waveform", IDR_TEST_MENU));
  EXPECT_TRUE(workspace.LoadState());

  const POINT centre = CentreOf(view.m_hWnd, CRect(0, 0, 200, 140));
  MoveMouse(centre);
  Pump(100);
  for (bool down : {true, false, true, false}) Button(down);
  Pump(200);
  EXPECT_EQ(frame->commands, (std::vector<UINT>{ID_TEST_SAVE}));

  ASSERT_TRUE(workspace.ShowPopupMenu(IDR_TEST_MENU, POINT{300, 200}, frame));
  winetest::WaitUntil([] { return OpenPopup() != nullptr; }, 5000);
  EXPECT_EQ(IdsOf(OpenPopup()), customised);
  if (CTKPopupMenu* popup = OpenPopup()) popup->DestroyWindow();
  Pump(50);
  if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
  Pump(50);
}

}  // namespace
