// The toolkit's MDI frame as a user meets it: two document windows in the client
// area; a maximized one puts its icon and its minimize, restore and close buttons on
// the menu bar, and those buttons act on it; the Window menu lists the documents and
// ends with "Windows..."; the documents can show as tabs; print preview of a document
// takes the whole frame and gives it back; the "Windows" dialog activates, tiles, saves and
// closes the windows chosen in its list. Input comes from the X display (pointer and keys) and is handled as
// the program's message loop handles it.
#include "toolkit/bars/keyboard_input_support.h"

#include "support/wine/DialogTestSupport.h"
#include "support/wine/TempFolder.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolbarMenuButtonsButton.h"
#include "toolkit/bars/TKToolbarSystemMenuButton.h"
#include "toolkit/frames/TKMDIChildWnd.h"
#include "toolkit/frames/TKMDIFrameWnd.h"
#include "toolkit/frames/TKPrintPreviewView.h"
#include "toolkit/frames/TKTabWnd.h"
#include "toolkit/frames/TKWindowsDialog.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace toolbartest;

constexpr UINT kWindowsCommand = 40301;

// A document that writes its text to its file.
class TakeDoc : public CDocument {
  DECLARE_DYNCREATE(TakeDoc)

public:
  BOOL OnSaveDocument(const char* path) override {
    HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    DWORD written = 0;
    ::WriteFile(file, GetTitle().str().c_str(), static_cast<DWORD>(GetTitle().GetLength()), &written,
                nullptr);
    ::CloseHandle(file);
    SetModifiedFlag(FALSE);
    return TRUE;
  }
};
IMPLEMENT_DYNCREATE(TakeDoc, CDocument)

class TakeView : public CView {
  DECLARE_DYNCREATE(TakeView)

public:
  void OnDraw(CDC* dc) override {
    RECT r;
    GetClientRect(&r);
    dc->FillSolidRect(&r, RGB(250, 250, 250));
  }
};
IMPLEMENT_DYNCREATE(TakeView, CView)

class MdiFrame : public ::testing::Test {
protected:
  void SetUp() override {
    HMENU menu = ::CreateMenu();
    HMENU file = ::CreatePopupMenu();
    ::AppendMenuA(file, MF_STRING, ID_TEST_SAVE, "&Save");
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    HMENU window = ::CreatePopupMenu();
    ::AppendMenuA(window, MF_STRING, ID_WINDOW_CASCADE, "&Cascade");
    ::AppendMenuA(window, MF_STRING, ID_WINDOW_TILE_HORZ, "&Tile");
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
    frame = new CTKMDIFrameWnd;
    ASSERT_TRUE(frame->CreateEx(0, nullptr, "Takes", WS_OVERLAPPEDWINDOW, 40, 40, 640, 460, nullptr, menu));
    frameHwnd = frame->m_hWnd;
    frame->EnableWindowsDialog(kWindowsCommand, "&Windows...");
    frame->EnableDocking(CBRS_ALIGN_ANY);
    menuBar = std::make_unique<CTKMenuBar>();
    ASSERT_TRUE(menuBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(frame->DockControlBar(menuBar.get(), AFX_IDW_DOCKBAR_TOP));
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(frameHwnd);
    frame->RecalcLayout();
    for (const char* title : {"Take 1", "Take 2"}) children.push_back(AddChild(title));
    PumpAsTheProgram(200);
  }
  void TearDown() override {
    if (CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu(); popup && popup->m_hWnd) popup->DestroyWindow();
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    PumpAsTheProgram(50);
    menuBar.reset();
    CTKPopupMenu::DeleteClosedMenus();
    for (TakeDoc* doc : docs) delete doc;
  }
  HWND AddChild(const char* title) {
    auto* doc = new TakeDoc;
    doc->SetTitle(title);
    docs.push_back(doc);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(TakeView);
    context.m_pCurrentDoc = doc;
    auto* child = new CTKMDIChildWnd;
    if (!child->Create(nullptr, title, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(10, 10, 300, 200),
                       frame, &context))
      return nullptr;
    child->InitialUpdateFrame(doc, TRUE);
    return child->m_hWnd;
  }
  HWND Active(BOOL* maximized = nullptr) const {
    CMDIChildWnd* child = frame->MDIGetActive(maximized);
    return child ? child->m_hWnd : nullptr;
  }
  POINT ButtonCentre(int index) const {
    CRect rect;
    menuBar->GetItemRect(index, &rect);
    return ScreenPointOf(*menuBar, rect.CenterPoint());
  }
  void Click(POINT screen) {
    EXPECT_TRUE(MoveMouseAndWait(screen, true));
    MouseButton(true);
    PumpAsTheProgram(60);
    MouseButton(false);
    PumpAsTheProgram(250);
  }
  // The menu bar's title button with this text.
  int TitleIndex(const char* text) const {
    for (int i = 0; i < menuBar->GetCount(); ++i)
      if (menuBar->GetButton(i)->m_strText == text) return i;
    return -1;
  }
  static CTKPopupMenu* OpenPopup() {
    CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu();
    return popup && popup->m_hWnd && ::IsWindowVisible(popup->m_hWnd) ? popup : nullptr;
  }
  static std::vector<std::string> ItemsOf(CTKPopupMenu* popup) {
    std::vector<std::string> items;
    for (int i = 0; popup && i < popup->GetMenuItemCount(); ++i) {
      CTKToolbarMenuButton* item = popup->GetMenuItem(i);
      items.push_back(item->IsSeparator() ? "-" : item->m_strText.str());
    }
    return items;
  }
  // The window menu opened from the menu bar, and the item with that text chosen.
  void ChooseFromWindowMenu(const char* item) {
    Click(ButtonCentre(TitleIndex("&Window")));
    CTKPopupMenu* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    for (int i = 0; i < popup->GetMenuItemCount(); ++i) {
      if (popup->GetMenuItem(i)->m_strText != item) continue;
      CRect rect = popup->GetMenuItem(i)->m_rect;
      Click(ScreenPointOf(*popup->GetMenuBar(), rect.CenterPoint()));
      return;
    }
    ADD_FAILURE() << "no item " << item << " in the window menu";
  }

  CTKMDIFrameWnd* frame = nullptr;
  HWND frameHwnd = nullptr;
  std::unique_ptr<CTKMenuBar> menuBar;
  std::vector<HWND> children;
  std::vector<TakeDoc*> docs;
};

TEST_F(MdiFrame, AMaximizedDocumentShowsItsIconAndCaptionButtonsOnTheMenuBarAndTheyActOnIt) {
  ASSERT_EQ(children.size(), 2u);
  ASSERT_NE(children[0], nullptr);
  ASSERT_NE(children[1], nullptr);
  EXPECT_EQ(::GetMenu(frameHwnd), nullptr) << "the menu bar takes the window menu's place";
  EXPECT_EQ(dynamic_cast<CTKToolbarSystemMenuButton*>(menuBar->GetButton(0)), nullptr) << "nothing maximized";

  // The Window menu lists both documents, the active one checked, then "Windows...".
  Click(ButtonCentre(TitleIndex("&Window")));
  CTKPopupMenu* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(ItemsOf(popup),
            (std::vector<std::string>{"&Cascade", "&Tile", "-", "&1 Take 1", "&2 Take 2", "&Windows..."}));
  EXPECT_TRUE(popup->GetMenuItem(4)->m_nStyle & TBBS_CHECKED) << "Take 2 is the active one";
  PressKey(kKeyEscape);
  PressKey(kKeyEscape);
  EXPECT_TRUE(winetest::WaitUntil([] { return OpenPopup() == nullptr; }, 1000));

  frame->MDIMaximize(CWnd::FromHandle(children[1]));
  PumpAsTheProgram(150);
  auto* icon = dynamic_cast<CTKToolbarSystemMenuButton*>(menuBar->GetButton(0));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->GetSystemMenu(), ::GetSystemMenu(children[1], FALSE));
  const int last = menuBar->GetCount() - 1;
  std::vector<UINT> commands;
  for (int i = last - 2; i <= last; ++i)
    if (auto* b = dynamic_cast<CTKToolbarMenuButtonsButton*>(menuBar->GetButton(i)))
      commands.push_back(b->GetSystemCommand());
  EXPECT_EQ(commands, (std::vector<UINT>{SC_MINIMIZE, SC_RESTORE, SC_CLOSE}));
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  CapturedImage bar = CaptureWindow(menuBar->m_hWnd, true);
  EXPECT_TRUE(SavePng(bar, TARVEL_TEST_BINARY_DIR "/screenshots/mdi-menubar-maximized.png"));
  // The icon is drawn: its button is not one flat colour.
  CRect iconRect = icon->m_rect;
  bool varied = false;
  for (int x = iconRect.left; x < iconRect.right && !varied; ++x)
    for (int y = iconRect.top; y < iconRect.bottom && !varied; ++y)
      varied = bar.At(x, y) != bar.At(iconRect.left, iconRect.top);
  EXPECT_TRUE(varied) << "the document's icon shows on the menu bar";

  // Another document chosen in the Window menu comes up maximized: the buttons are its.
  ChooseFromWindowMenu("&1 Take 1");
  PumpAsTheProgram(150);
  BOOL maximized = FALSE;
  EXPECT_EQ(Active(&maximized), children[0]);
  EXPECT_TRUE(maximized);
  icon = dynamic_cast<CTKToolbarSystemMenuButton*>(menuBar->GetButton(0));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->GetSystemMenu(), ::GetSystemMenu(children[0], FALSE));

  // Restore brings the document back to its own size and the buttons go; maximized
  // again, close closes it.
  Click(ButtonCentre(menuBar->GetCount() - 2));
  EXPECT_TRUE(winetest::WaitUntil([&] { return !::IsZoomed(children[0]); }, 1000));
  PumpAsTheProgram(150);
  EXPECT_EQ(dynamic_cast<CTKToolbarSystemMenuButton*>(menuBar->GetButton(0)), nullptr);
  frame->MDIMaximize(CWnd::FromHandle(children[0]));
  PumpAsTheProgram(150);
  Click(ButtonCentre(menuBar->GetCount() - 1));
  EXPECT_TRUE(winetest::WaitUntil([&] { return !::IsWindow(children[0]); }, 1000));
  PumpAsTheProgram(150);
  EXPECT_EQ(Active(), children[1]);
}

TEST_F(MdiFrame, TheMenuBarOffersOnlyTheCaptionButtonsTheMaximizedDocumentHas) {
  struct Case {
    const char* what;
    LONG boxes;
    bool closeGreyed;
    std::vector<UINT> commands;
  };
  const Case cases[] = {
      {"both boxes", WS_MINIMIZEBOX | WS_MAXIMIZEBOX, false, {SC_MINIMIZE, SC_RESTORE, SC_CLOSE}},
      {"no minimize box", WS_MAXIMIZEBOX, false, {SC_RESTORE, SC_CLOSE}},
      {"no maximize box", WS_MINIMIZEBOX, false, {SC_MINIMIZE, SC_CLOSE}},
      {"no boxes, Close greyed", 0, true, {SC_CLOSE}},
  };
  for (const Case& c : cases) {
    auto* doc = new TakeDoc;
    docs.push_back(doc);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(TakeView);
    context.m_pCurrentDoc = doc;
    auto* child = new CTKMDIChildWnd;
    ASSERT_TRUE(child->Create(nullptr, c.what,
                              WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | c.boxes,
                              CRect(10, 10, 300, 200), frame, &context));
    const HWND hwnd = child->m_hWnd;
    if (c.closeGreyed) ::EnableMenuItem(::GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    frame->MDIMaximize(child);
    PumpAsTheProgram(150);
    ASSERT_NE(dynamic_cast<CTKToolbarSystemMenuButton*>(menuBar->GetButton(0)), nullptr) << c.what;
    std::vector<UINT> commands;
    for (int i = 0; i < menuBar->GetCount(); ++i)
      if (auto* b = dynamic_cast<CTKToolbarMenuButtonsButton*>(menuBar->GetButton(i)))
        commands.push_back(b->GetSystemCommand());
    EXPECT_EQ(commands, c.commands) << c.what;
    const int close = menuBar->GetCount() - 1;
    EXPECT_EQ(bool(menuBar->GetButton(close)->m_nStyle & TBBS_DISABLED), c.closeGreyed) << c.what;
    if (!c.closeGreyed) {
      // Greyed only now, while the button stands enabled: a click still keeps the
      // document open.
      ::EnableMenuItem(::GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    }
    Click(ButtonCentre(close));
    PumpAsTheProgram(150);
    EXPECT_TRUE(::IsWindow(hwnd)) << c.what << ": a document whose Close is greyed stays open";
    ::EnableMenuItem(::GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    frame->MDIRestore(child);
    ::DestroyWindow(hwnd);
    PumpAsTheProgram(100);
  }
}

TEST_F(MdiFrame, ADocumentWithoutASystemMenuLivesMaximizedAndGetsItsPlaceBackWithOne) {
  // Made without one: maximized from the start, with no system-menu or caption
  // buttons on the menu bar (it has none of its own to show there).
  auto* plain = new CTKMDIChildWnd;
  ASSERT_TRUE(plain->Create(nullptr, "Take 3", WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME,
                            CRect(20, 20, 320, 220), frame));
  HWND plainHwnd = plain->m_hWnd;
  PumpAsTheProgram(150);
  EXPECT_TRUE(::IsZoomed(plainHwnd));
  auto captionButtons = [&] {
    int count = 0;
    for (int i = 0; i < menuBar->GetCount(); ++i)
      count += dynamic_cast<CTKToolbarSystemMenuButton*>(menuBar->GetButton(i)) != nullptr ||
               dynamic_cast<CTKToolbarMenuButtonsButton*>(menuBar->GetButton(i)) != nullptr;
    return count;
  };
  EXPECT_EQ(captionButtons(), 0);
  ::SendMessageA(plainHwnd, WM_CLOSE, 0, 0);
  PumpAsTheProgram(150);
  ASSERT_FALSE(::IsWindow(plainHwnd));

  // Losing it maximizes a document; getting it back returns it to where it was.
  // (The next document comes up maximized after a maximized one closes.)
  HWND child = children[0];
  frame->MDIActivate(CWnd::FromHandle(child));
  frame->MDIRestore(CWnd::FromHandle(child));
  PumpAsTheProgram(100);
  ASSERT_FALSE(::IsZoomed(child));
  CRect before;
  ::GetWindowRect(child, &before);
  const LONG style = ::GetWindowLongA(child, GWL_STYLE);
  ::SetWindowLongA(child, GWL_STYLE, style & ~WS_SYSMENU);
  PumpAsTheProgram(150);
  EXPECT_TRUE(::IsZoomed(child));
  EXPECT_EQ(captionButtons(), 0);
  ::SetWindowLongA(child, GWL_STYLE, style);
  PumpAsTheProgram(150);
  EXPECT_FALSE(::IsZoomed(child));
  CRect after;
  ::GetWindowRect(child, &after);
  EXPECT_EQ(after.TopLeft(), before.TopLeft());
  EXPECT_EQ(after.Size(), before.Size());
  EXPECT_EQ(dynamic_cast<CTKToolbarSystemMenuButton*>(menuBar->GetButton(0)), nullptr);
}

TEST_F(MdiFrame, TabsStandForTheDocumentsAndAClickOnOneActivatesIt) {
  frame->EnableMDITabs(TRUE);
  PumpAsTheProgram(200);
  CTKTabWnd& tabs = frame->m_wndClientArea.m_wndTab;
  auto labels = [&] {
    std::vector<std::string> texts;
    for (int i = 0; i < tabs.GetTabsNum(); ++i) {
      CString label;
      tabs.GetTabLabel(i, label);
      texts.push_back(label.str());
    }
    return texts;
  };
  auto activeTabWindow = [&] {
    CWnd* wnd = tabs.GetActiveWnd();
    return wnd ? wnd->m_hWnd : nullptr;
  };
  ASSERT_TRUE(::IsWindowVisible(tabs.m_hWnd));
  EXPECT_EQ(labels(), (std::vector<std::string>{"Take 1", "Take 2"}));
  EXPECT_EQ(activeTabWindow(), Active());
  // The strip sits on top of the client area, which keeps the rest.
  CRect strip, client;
  ::GetWindowRect(tabs.m_hWnd, &strip);
  ::GetWindowRect(frame->m_hWndMDIClient, &client);
  EXPECT_EQ(strip.bottom, client.top);
  EXPECT_EQ(strip.left, client.left);
  EXPECT_EQ(strip.right, client.right);
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  EXPECT_TRUE(SavePng(CaptureWindow(frameHwnd, false), TARVEL_TEST_BINARY_DIR "/screenshots/mdi-tabs.png"));

  // A click on a tab activates its document.
  CRect first;
  ASSERT_TRUE(tabs.GetTabRect(0, first));
  ClickInWindow(tabs.m_hWnd, first.CenterPoint());
  EXPECT_EQ(Active(), children[0]);
  EXPECT_EQ(activeTabWindow(), children[0]);

  // A new title shows on the tab; a closed document loses its tab; with none left the
  // strip goes and the client has the room again.
  ::SetWindowTextA(children[1], "Take 2, edited");
  PumpAsTheProgram(150);
  EXPECT_EQ(labels(), (std::vector<std::string>{"Take 1", "Take 2, edited"}));
  ::SendMessageA(children[1], WM_CLOSE, 0, 0);
  PumpAsTheProgram(150);
  EXPECT_EQ(labels(), std::vector<std::string>{"Take 1"});
  ::SendMessageA(children[0], WM_CLOSE, 0, 0);
  PumpAsTheProgram(150);
  EXPECT_EQ(tabs.GetTabsNum(), 0);
  EXPECT_FALSE(::IsWindowVisible(tabs.m_hWnd));
  ::GetWindowRect(frame->m_hWndMDIClient, &client);
  EXPECT_EQ(client.top, strip.top);
}

TEST_F(MdiFrame, PrintPreviewOfADocumentTakesTheWholeFrameAndGivesItBack) {
  frame->EnableMDITabs(TRUE);
  frame->MDIActivate(CWnd::FromHandle(children[0]));
  PumpAsTheProgram(150);
  CTKTabWnd& tabs = frame->m_wndClientArea.m_wndTab;
  ASSERT_TRUE(::IsWindowVisible(tabs.m_hWnd));
  CView* view = frame->MDIGetActive()->GetActiveView();
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(StartLibraryPrintPreview(view));
  PumpAsTheProgram(150);
  auto* preview = dynamic_cast<CTKPrintPreviewView*>(frame->GetActiveView());
  ASSERT_NE(preview, nullptr) << "the preview is the frame's view, above the documents";
  EXPECT_EQ(::GetParent(preview->m_hWnd), frameHwnd);
  struct Shown {
    const char* what;
    HWND window;
  } const hidden[] = {
      {"documents", frame->m_hWndMDIClient}, {"tabs", tabs.m_hWnd}, {"menu bar", menuBar->m_hWnd}};
  for (const Shown& s : hidden) EXPECT_FALSE(::IsWindowVisible(s.window)) << s.what << " step aside";
  CRect client, area;
  ::GetClientRect(frameHwnd, &client);
  preview->GetWindowRect(&area);
  EXPECT_GT(area.Height(), client.Height() / 2);

  // Escape closes it: everything is back, the same document active.
  ::SetFocus(preview->m_hWnd);
  PressKey(kKeyEscape);
  PumpAsTheProgram(150);
  EXPECT_EQ(frame->GetActiveView(), nullptr);
  for (const Shown& s : hidden) EXPECT_TRUE(::IsWindowVisible(s.window)) << s.what << " are back";
  EXPECT_EQ(Active(), children[0]);
}

// The "Windows" dialog, opened from the Window menu, with its list driven by clicks
// (Ctrl-click adds to the selection).
TEST_F(MdiFrame, TheWindowsDialogActsOnTheWindowsChosenInItsList) {
  winetest::TempFolder folder("mdiwindows");
  const std::string path = folder.Path() + "\\take 1.take";
  docs[0]->SetPathName(path.c_str(), FALSE);
  docs[0]->SetTitle("Take 1");

  struct Case {
    const char* what;
    std::vector<const char*> pick;  // the windows' rows, the later ones Ctrl-clicked
    UINT button;
    // What the buttons allowed with that selection: activate, tile.
    bool activateEnabled, tileEnabled;
    std::function<void()> check;
  };
  const Case cases[] = {
      {"activate the first",
       {"Take 1"},
       CTKWindowsDialog::kActivate,
       true,
       false,
       [this] { EXPECT_EQ(Active(), children[0]); }},
      {"tile both side by side",
       {"Take 1", "Take 2"},
       CTKWindowsDialog::kTileVertically,
       false,
       true,
       [this] {
         CRect a, b;
         ::GetWindowRect(children[0], &a);
         ::GetWindowRect(children[1], &b);
         EXPECT_EQ(a.top, b.top);
         EXPECT_NE(a.left, b.left);
         EXPECT_EQ(a.Width(), b.Width());
       }},
      {"save the first",
       {"Take 1"},
       CTKWindowsDialog::kSave,
       true,
       false,
       [&] { EXPECT_NE(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES); }},
      {"close the second",
       {"Take 2"},
       CTKWindowsDialog::kClose,
       true,
       false,
       [this] { EXPECT_FALSE(::IsWindow(children[1])); }},
  };
  for (const Case& c : cases) {
    bool activate = false, tile = false;
    int rowsAfter = -1;
    dialogtest::DriveModal(
        "Windows",
        [&](HWND dialog) {
          HWND list = ::GetDlgItem(dialog, CTKWindowsDialog::kList);
          for (size_t i = 0; i < c.pick.size(); ++i) {
            const LRESULT at = ::SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(c.pick[i]));
            ASSERT_GE(at, 0) << c.what << ": " << c.pick[i] << " is listed";
            RECT row;
            ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&row));
            if (i > 0) ControlAtDisplay(true);
            ClickInWindow(list, POINT{row.left + 40, (row.top + row.bottom) / 2});
            if (i > 0) ControlAtDisplay(false);
          }
          PumpAsTheProgram(100);
          activate = ::IsWindowEnabled(::GetDlgItem(dialog, CTKWindowsDialog::kActivate));
          tile = ::IsWindowEnabled(::GetDlgItem(dialog, CTKWindowsDialog::kTileVertically));
          ClickInWindow(::GetDlgItem(dialog, static_cast<int>(c.button)), POINT{10, 6});
          if (dialogtest::StillOpen(dialog)) {
            rowsAfter = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
            dialogtest::Press(dialog, IDOK);
          }
        },
        [&] { ChooseFromWindowMenu("&Windows..."); });
    EXPECT_EQ(activate, c.activateEnabled) << c.what;
    EXPECT_EQ(tile, c.tileEnabled) << c.what;
    c.check();
    if (c.button == CTKWindowsDialog::kClose) EXPECT_EQ(rowsAfter, 1) << "the list shows what is left";
    PumpAsTheProgram(100);
  }
}

}  // namespace
