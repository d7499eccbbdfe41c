// Each kind of document brings its own menu: the MDI frame's menu bar shows the
// menu of the active window's kind and the frame's own menu when no window is open;
// what the user changed in a kind's menu is kept in the registry under that kind's
// resource id and comes back in a new frame.
#include "support/wine/GTestWin.h"

#include "platform/afx/DocManager.h"
#include "platform/afx/DocTemplate.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/menu_test_resource.h"
#include "toolkit/bars/menu_test_support.h"
#include "toolkit/frames/TKMDIChildWnd.h"
#include "toolkit/frames/TKMDIFrameWnd.h"

#include "platform/afx/linux_headers_begin.h"
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

class KindView : public CView {
  DECLARE_DYNCREATE(KindView)

public:
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

// An MDI frame of the test resources with its menu bar.
struct KindsFrame {
  CTKMDIFrameWnd* frame = nullptr;
  HWND hwnd = nullptr;
  std::unique_ptr<CTKMenuBar> menuBar = std::make_unique<CTKMenuBar>();

  bool Build() {
    frame = new CTKMDIFrameWnd;
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
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (int i = 0; i < menuBar->GetCount(); ++i)
      titles.push_back(static_cast<const char*>(menuBar->GetButton(i)->m_strText));
    return titles;
  }
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

}  // namespace
