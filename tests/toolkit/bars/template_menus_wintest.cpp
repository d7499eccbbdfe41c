// Each kind of document brings its own menu: the MDI frame's menu bar shows the
// menu of the active window's kind and the frame's own menu when no window is open;
// what the user changed in a kind's menu is kept in the registry under that kind's
// resource id and comes back in a new frame. The Customize sheet's Menu and Keyboard
// pages list the kinds beside the frame's own menu and keys and edit each kind's.
#include "support/wine/DialogTestSupport.h"
#include "support/wine/GTestWin.h"

#include "platform/afx/DocManager.h"
#include "platform/afx/DocTemplate.h"
#include "toolkit/bars/TKKeyboardPage.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKMenuPage.h"
#include "toolkit/bars/TKToolbarCustomize.h"
#include "toolkit/bars/menu_test_resource.h"
#include "toolkit/bars/menu_test_support.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKMDIChildWnd.h"
#include "toolkit/frames/TKMDIFrameWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

using namespace menutest;

namespace {

class KindDoc : public CDocument {
  DECLARE_DYNCREATE(KindDoc)
};
IMPLEMENT_DYNCREATE(KindDoc, CDocument)

// The commands that reach a document's view.
std::vector<UINT> g_viewCommands;

class KindView : public CView {
  DECLARE_DYNCREATE(KindView)

public:
  BOOL OnCmdMsg(UINT id, int code, void* extra) override {
    if (id != ID_TEST_CUT) return CView::OnCmdMsg(id, code, extra);
    if (code == static_cast<int>(CN_COMMAND)) g_viewCommands.push_back(id);
    return TRUE;
  }
  void OnDraw(CDC* dc) override {
    RECT r;
    GetClientRect(&r);
    dc->FillSolidRect(&r, RGB(250, 250, 250));
  }
};
IMPLEMENT_DYNCREATE(KindView, CView)

class KindChild : public CTKMDIChildWnd {
  DECLARE_DYNCREATE(KindChild)
};
IMPLEMENT_DYNCREATE(KindChild, CMDIChildWnd)

const char* const kMenuBarKey = "Software\\TarvelTest\\TplMenus\\TKMenuBar\\TKToolBar-59418";

// An MDI frame that notes the menus it was told to make its changes to again.
class ResetNotingFrame : public CTKMDIFrameWnd {
public:
  std::vector<UINT> menuResets;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == CTKToolBar::s_resetMenuMessage) menuResets.push_back(static_cast<UINT>(wParam));
    return CTKMDIFrameWnd::WindowProc(message, wParam, lParam);
  }
};

// An MDI frame of the test resources with its menu bar.
struct KindsFrame {
  ResetNotingFrame* frame = nullptr;
  HWND hwnd = nullptr;
  std::unique_ptr<CTKMenuBar> menuBar = std::make_unique<CTKMenuBar>();

  bool Build() {
    frame = new ResetNotingFrame;
    if (!frame->LoadFrame(IDR_MDI_MENU, WS_OVERLAPPEDWINDOW)) return false;
    hwnd = frame->m_hWnd;
    AfxGetApp()->m_pMainWnd = frame;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    if (!menuBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP)) return false;
    frame->DockControlBar(menuBar.get(), AFX_IDW_DOCKBAR_TOP);
    ::SetWindowPos(hwnd, nullptr, 60, 60, 640, 460, SWP_NOZORDER);
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd);
    frame->RecalcLayout();
    Pump(150);
    return true;
  }
  ~KindsFrame() {
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
    Pump(50);
    AfxGetApp()->m_pMainWnd = nullptr;
    menuBar.reset();
    CTKPopupMenu::DeleteClosedMenus();
  }
  std::vector<std::string> Titles() const { return TitlesOf(*menuBar); }
  ::testing::AssertionResult Shows(const std::vector<std::string>& titles) const {
    if (WaitFor([&] { return Titles() == titles; }, 2000)) return ::testing::AssertionSuccess();
    std::string shown;
    for (const std::string& title : Titles()) shown += " " + title;
    return ::testing::AssertionFailure() << "the menu bar shows:" << shown;
  }
};

class TemplateMenus : public ::testing::Test {
protected:
  TemplateMenus() : app("TplMenus") {
    app.SetRegistryKey("TarvelTest");
    takes = new CMultiDocTemplate(IDR_TAKE_DOC, RUNTIME_CLASS(KindDoc), RUNTIME_CLASS(KindChild),
                                  RUNTIME_CLASS(KindView));
    markers = new CMultiDocTemplate(IDR_MARKER_DOC, RUNTIME_CLASS(KindDoc), RUNTIME_CLASS(KindChild),
                                    RUNTIME_CLASS(KindView));
    app.AddDocTemplate(takes);
    app.AddDocTemplate(markers);
  }
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\TplMenus");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvelTest");
  }
  static DWORD ButtonsSize(UINT resourceId) {
    char key[256];
    snprintf(key, sizeof key, "%s%x", kMenuBarKey, resourceId);
    DWORD size = 0, type = 0;
    HKEY handle;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return 0;
    const bool ok = ::RegQueryValueExA(handle, "Buttons", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
                    type == REG_BINARY;
    ::RegCloseKey(handle);
    return ok ? size : 0;
  }
  static void CtrlF6() {
    Key(VK_CONTROL, true);
    Tap(VK_F6);
    Key(VK_CONTROL, false);
    Pump(150);
  }

  CWinApp app;
  CMultiDocTemplate* takes = nullptr;
  CMultiDocTemplate* markers = nullptr;
};

const std::vector<std::string> kFrameMenu{"&File", "&Window"};
const std::vector<std::string> kTakeMenu{"&File", "&Edit", "&Window"};
const std::vector<std::string> kMarkerMenu{"&File", "&Markers", "&Window"};

TEST_F(TemplateMenus, TheMenuBarShowsTheMenuOfTheActiveWindowsKind) {
  KindsFrame kinds;
  ASSERT_TRUE(kinds.Build());
  EXPECT_TRUE(kinds.Shows(kFrameMenu));

  CDocument* take = takes->OpenDocumentFile(nullptr);
  ASSERT_NE(take, nullptr);
  EXPECT_TRUE(kinds.Shows(kTakeMenu));
  CDocument* marker = markers->OpenDocumentFile(nullptr);
  ASSERT_NE(marker, nullptr);
  EXPECT_TRUE(kinds.Shows(kMarkerMenu));

  // Ctrl+F6 walks the windows; the bar follows each one's kind.
  CtrlF6();
  EXPECT_TRUE(kinds.Shows(kTakeMenu));
  CtrlF6();
  EXPECT_TRUE(kinds.Shows(kMarkerMenu));

  // A click on a title opens that kind's own popup.
  int markersIndex = -1;
  for (int i = 0; i < kinds.menuBar->GetCount(); ++i)
    if (kinds.menuBar->GetButton(i)->m_strText == "&Markers") markersIndex = i;
  ASSERT_GE(markersIndex, 0);
  CRect rect;
  kinds.menuBar->GetItemRect(markersIndex, &rect);
  Click(CentreOf(kinds.menuBar->m_hWnd, rect));
  CTKPopupMenu* popup = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (popup = OpenPopup()) != nullptr; }, 2000));
  EXPECT_EQ(ItemsOf(popup), (std::vector<std::string>{"&Add"}));
  Tap(VK_ESCAPE);
  Pump(100);

  // With every window closed the frame's own menu is back.
  marker->OnCloseDocument();
  EXPECT_TRUE(kinds.Shows(kTakeMenu));
  take->OnCloseDocument();
  EXPECT_TRUE(kinds.Shows(kFrameMenu));
}

TEST_F(TemplateMenus, AKindsChangedMenuIsKeptUnderItsIdAndComesBackInANewFrame) {
  {
    KindsFrame first;
    ASSERT_TRUE(first.Build());
    CDocument* take = takes->OpenDocumentFile(nullptr);
    ASSERT_NE(take, nullptr);
    ASSERT_TRUE(first.Shows(kTakeMenu));
    // The user takes "Edit" off the takes' menu.
    first.menuBar->RemoveButton(1);
    first.menuBar->AdjustSize();
    // The markers' menu has been shown once too, unchanged.
    CDocument* marker = markers->OpenDocumentFile(nullptr);
    ASSERT_NE(marker, nullptr);
    ASSERT_TRUE(first.Shows(kMarkerMenu));
    EXPECT_TRUE(first.menuBar->SaveState());
    EXPECT_EQ(first.Titles(), kMarkerMenu) << "saving leaves the shown menu as it was";
  }
  EXPECT_GT(ButtonsSize(IDR_TAKE_DOC), 0u);
  EXPECT_GT(ButtonsSize(IDR_MARKER_DOC), 0u);
  EXPECT_GT(ButtonsSize(0), 0u);

  // A new run: the kinds' menus fresh from the resources, nothing remembered of them.
  for (CMultiDocTemplate* kind : {takes, markers}) {
    HMENU fresh = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kind->GetResourceId()));
    ASSERT_NE(fresh, nullptr);
    ::DestroyMenu(kind->m_hMenuShared);
    kind->m_hMenuShared = fresh;
  }
  KindsFrame second;
  ASSERT_TRUE(second.Build());
  EXPECT_TRUE(second.menuBar->LoadState());
  EXPECT_TRUE(second.Shows(kFrameMenu));
  CDocument* marker = markers->OpenDocumentFile(nullptr);
  ASSERT_NE(marker, nullptr);
  EXPECT_TRUE(second.Shows(kMarkerMenu));
  CDocument* take = takes->OpenDocumentFile(nullptr);
  ASSERT_NE(take, nullptr);
  EXPECT_TRUE(second.Shows((std::vector<std::string>{"&File", "&Window"})));
  EXPECT_EQ(second.menuBar->GetMenu(), takes->m_hMenuShared);
}

TEST_F(TemplateMenus, AMenuWithNothingKeptShowsItsOwnItemsAndTheFrameIsTold) {
  KindsFrame kinds;
  ASSERT_TRUE(kinds.Build());
  EXPECT_TRUE(kinds.menuBar->LoadState());
  // Each kind's menu, then the frame's own, by the resource it comes from.
  EXPECT_EQ(kinds.frame->menuResets, (std::vector<UINT>{IDR_TAKE_DOC, IDR_MARKER_DOC, IDR_MDI_MENU}));
  EXPECT_TRUE(kinds.Shows(kFrameMenu));
  CDocument* take = takes->OpenDocumentFile(nullptr);
  ASSERT_NE(take, nullptr);
  EXPECT_TRUE(kinds.Shows(kTakeMenu));
}

TEST_F(TemplateMenus, ResetGivesEveryKindItsMenuFromTheResourceAgain) {
  KindsFrame kinds;
  ASSERT_TRUE(kinds.Build());
  // The user takes "Edit" off the takes' menu and "Markers" off the markers' menu.
  CDocument* take = takes->OpenDocumentFile(nullptr);
  ASSERT_NE(take, nullptr);
  ASSERT_TRUE(kinds.Shows(kTakeMenu));
  kinds.menuBar->RemoveButton(1);
  kinds.menuBar->AdjustSize();
  CDocument* marker = markers->OpenDocumentFile(nullptr);
  ASSERT_NE(marker, nullptr);
  ASSERT_TRUE(kinds.Shows(kMarkerMenu));
  kinds.menuBar->RemoveButton(1);
  kinds.menuBar->AdjustSize();
  ASSERT_TRUE(kinds.Shows((std::vector<std::string>{"&File", "&Window"})));
  CtrlF6();
  ASSERT_TRUE(kinds.Shows((std::vector<std::string>{"&File", "&Window"})));

  EXPECT_TRUE(kinds.menuBar->RestoreOriginalState());
  // The active window's kind shows its whole menu at once, and so does the other kind.
  EXPECT_TRUE(kinds.Shows(kTakeMenu));
  EXPECT_EQ(kinds.menuBar->GetMenu(), takes->m_hMenuShared);
  CtrlF6();
  EXPECT_TRUE(kinds.Shows(kMarkerMenu));
  EXPECT_EQ(kinds.menuBar->GetMenu(), markers->m_hMenuShared);
  // With the windows gone, the frame's own menu.
  marker->OnCloseDocument();
  take->OnCloseDocument();
  EXPECT_TRUE(kinds.Shows(kFrameMenu));
}

// The Customize sheet of the MDI frame, its pages driven with the mouse and keys.
class TemplatePages : public TemplateMenus {
protected:
  void SetUp() override {
    TemplateMenus::SetUp();
    g_pKeyboardManager = &keyboard;
    ASSERT_TRUE(kinds.Build());
    ACCEL open{FVIRTKEY | FCONTROL, 'O', ID_TEST_OPEN};
    kinds.frame->m_hAccelTable = ::CreateAcceleratorTableA(&open, 1);
  }
  void TearDown() override {
    if (::IsWindow(sheetHwnd)) ::DestroyWindow(sheetHwnd);
    Pump(100);
    g_pKeyboardManager = nullptr;
    TemplateMenus::TearDown();
  }
  // Opens the sheet, set up from the frame's document kinds, on its page of that name.
  void Open(const char* pageName) {
    auto* sheet = new CTKToolbarCustomize(kinds.frame, TRUE);
    ASSERT_TRUE(sheet->Create());
    sheetHwnd = sheet->m_hWnd;
    ::SetWindowPos(sheetHwnd, nullptr, 200, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetForegroundWindow(sheetHwnd);
    Pump(300);
    const std::vector<std::string> tabs = dialogtest::SheetTabs(sheetHwnd);
    const auto at = std::find(tabs.begin(), tabs.end(), pageName);
    ASSERT_NE(at, tabs.end()) << "no page " << pageName;
    HWND tab = reinterpret_cast<HWND>(::SendMessageA(sheetHwnd, PSM_GETTABCONTROL, 0, 0));
    RECT rect{};
    ::SendMessageA(tab, TCM_GETITEMRECT, at - tabs.begin(), reinterpret_cast<LPARAM>(&rect));
    Click(CentreOf(tab, CRect(rect)));
  }
  HWND Page() const {
    return reinterpret_cast<HWND>(::SendMessageA(sheetHwnd, PSM_GETCURRENTPAGEHWND, 0, 0));
  }
  HWND PageItem(int id) const { return ::GetDlgItem(Page(), id); }
  void ClickItem(int id) {
    CRect rect;
    ::GetClientRect(PageItem(id), &rect);
    Click(CentreOf(PageItem(id), rect));
  }
  static std::vector<std::string> ComboTexts(HWND combo) {
    std::vector<std::string> texts;
    const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[128] = "";
      ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      texts.emplace_back(text);
    }
    return texts;
  }
  // Chooses the entry as the drop-down list does: selection, then its notification.
  void Choose(int id, const std::string& text) {
    HWND combo = PageItem(id);
    const std::vector<std::string> texts = ComboTexts(combo);
    const auto at = std::find(texts.begin(), texts.end(), text);
    ASSERT_NE(at, texts.end()) << text;
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at - texts.begin()), 0);
    ::SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    Pump(100);
  }
  void CloseSheet() {
    HWND cancel = ::GetDlgItem(sheetHwnd, IDCANCEL);
    CRect rect;
    ::GetClientRect(cancel, &rect);
    Click(CentreOf(cancel, rect));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(sheetHwnd); }, 2000));
  }

  CTKKeyboardManager keyboard;
  KindsFrame kinds;
  HWND sheetHwnd = nullptr;
};

TEST_F(TemplatePages, TheMenuPageShowsAndEditsEachKindsMenuAndGivesTheFrameItsMenuBack) {
  CDocument* take = takes->OpenDocumentFile(nullptr);
  ASSERT_NE(take, nullptr);
  ASSERT_TRUE(kinds.Shows(kTakeMenu));
  Open("Menu");
  HWND frames = PageItem(IDC_TKMENU_FRAMES);
  EXPECT_EQ(ComboTexts(frames), (std::vector<std::string>{"Take", "Markers", "Default Menu"}));
  // The page opens on the menu the bar shows: the take's.
  EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKMENU_FRAMES), "Take");
  EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKMENU_DESCRIPTION), "Take");

  struct Case {
    const char* entry;
    std::vector<std::string> titles;
    const char* description;
  };
  const Case cases[] = {
      {"Markers", kMarkerMenu, "Markers"},
      {"Default Menu", kFrameMenu, "Default application menu. Appears when no documents are open."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    Choose(IDC_TKMENU_FRAMES, c.entry);
    EXPECT_TRUE(kinds.Shows(c.titles));
    EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKMENU_DESCRIPTION), c.description);
  }
  // The user takes "Markers" off the markers' menu; a reset asks by the menu's name
  // and, told No, keeps the change.
  Choose(IDC_TKMENU_FRAMES, "Markers");
  kinds.menuBar->RemoveButton(1);
  kinds.menuBar->AdjustLayout();
  {
    dialogtest::RecordedMessageBoxes boxes(IDNO);
    ClickItem(IDC_TKMENU_RESET_FRAME);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "All your changes will be lost! Do you really want to reset the menu 'Markers'?");
  }
  EXPECT_TRUE(kinds.Shows({"&File", "&Window"}));
  CloseSheet();

  // The take's window is active again with its own menu; a markers window shows the
  // changed markers menu.
  EXPECT_TRUE(kinds.Shows(kTakeMenu));
  ASSERT_NE(markers->OpenDocumentFile(nullptr), nullptr);
  EXPECT_TRUE(kinds.Shows({"&File", "&Window"}));
  EXPECT_EQ(kinds.menuBar->GetMenu(), markers->m_hMenuShared);

  // A reset with Yes brings the markers' own items back.
  Open("Menu");
  EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKMENU_FRAMES), "Markers");
  {
    dialogtest::RecordedMessageBoxes boxes(IDYES);
    ClickItem(IDC_TKMENU_RESET_FRAME);
  }
  EXPECT_TRUE(kinds.Shows(kMarkerMenu));
  CloseSheet();
  EXPECT_TRUE(kinds.Shows(kMarkerMenu));
}

TEST_F(TemplatePages, AShortcutAssignedForAKindRunsInItsWindowsOnly) {
  CDocument* take = takes->OpenDocumentFile(nullptr);
  ASSERT_NE(take, nullptr);
  Open("Keyboard");
  HWND target = PageItem(IDC_TKCUSTOMIZE_KEY_TARGET);
  EXPECT_EQ(ComboTexts(target), (std::vector<std::string>{"Take", "Markers", "Default"}));
  EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKCUSTOMIZE_KEY_TARGET), "Default");

  // For the takes: Ctrl+K cuts.
  Choose(IDC_TKCUSTOMIZE_KEY_TARGET, "Take");
  Choose(IDC_TKCUSTOMIZE_CATEGORIES, "Edit");
  HWND commands = PageItem(IDC_TKCUSTOMIZE_KEY_COMMANDS);
  const int count = static_cast<int>(::SendMessageA(commands, LB_GETCOUNT, 0, 0));
  int cut = -1;
  for (int i = 0; i < count; ++i) {
    char text[128] = "";
    ::SendMessageA(commands, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    if (std::string(text) == "Cut") cut = i;
  }
  ASSERT_GE(cut, 0);
  RECT rect{};
  ::SendMessageA(commands, LB_GETITEMRECT, cut, reinterpret_cast<LPARAM>(&rect));
  Click(CentreOf(commands, CRect(rect)));
  ClickItem(IDC_TKCUSTOMIZE_KEY_EDIT);
  Key(VK_CONTROL, true);
  Tap('K');
  Key(VK_CONTROL, false);
  Pump(100);
  EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKCUSTOMIZE_ASSIGNED_TEXT), "[Unassigned]");
  ClickItem(IDC_TKCUSTOMIZE_ASSIGN);
  ASSERT_NE(takes->m_hAccelTable, nullptr);
  EXPECT_EQ(::CopyAcceleratorTableA(takes->m_hAccelTable, nullptr, 0), 1);
  EXPECT_EQ(::CopyAcceleratorTableA(kinds.frame->m_hAccelTable, nullptr, 0), 1) << "the default keys stay";
  CloseSheet();

  // Ctrl+K cuts in the take's window, and does nothing in a markers window.
  struct Case {
    CMultiDocTemplate* kind;
    std::vector<UINT> commands;
  };
  for (const Case& c : {Case{takes, {ID_TEST_CUT}}, Case{markers, {}}}) {
    if (c.kind == markers) ASSERT_NE(markers->OpenDocumentFile(nullptr), nullptr);
    ::SetForegroundWindow(kinds.hwnd);
    Pump(150);
    g_viewCommands.clear();
    Key(VK_CONTROL, true);
    Tap('K');
    Key(VK_CONTROL, false);
    Pump(150);
    EXPECT_EQ(g_viewCommands, c.commands);
  }
}

}  // namespace
