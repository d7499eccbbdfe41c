// The "Customize" sheet driven as a user drives it, with the mouse and keys at the
// display: opening it puts the toolbars into customize mode, commands are dragged
// from its Commands page onto a toolbar, toolbars are shown, hidden, reset, made and
// deleted on its Toolbars page, shortcuts are assigned on its Keyboard page and then
// run their command, user tools are added on its Tools page, and menus and context
// menus are edited and reset on its Menu page.
#include "support/wine/DialogTestSupport.h"
#include "support/wine/HelpRequests.h"
#include "toolkit/bars/ShortcutKeyText.h"
#include "toolkit/bars/TKContextMenuManager.h"
#include "toolkit/bars/TKCustomizePage.h"
#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKMenuPage.h"
#include "toolkit/bars/TKMouseManager.h"
#include "toolkit/bars/TKMousePage.h"
#include "toolkit/bars/TKOptionsPage.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKToolbarCustomize.h"
#include "toolkit/bars/TKToolbarsPage.h"
#include "toolkit/bars/TKToolsPage.h"
#include "toolkit/bars/keyboard_input_support.h"
#include "toolkit/frames/TKKeyboardManager.h"
#include "toolkit/frames/TKUserToolsManager.h"

namespace {

using namespace toolbartest;
using Texts = std::vector<std::string>;

constexpr UINT kRecentFile = 0xE110;
constexpr UINT kToolsEntry = 41000;
constexpr UINT kFirstTool = 41001;

// The frame's menu as the catalogue reads it: File and Edit popups, with a recent
// file entry that is never offered and a shortcut text after a tab.
HMENU MakeMenu() {
  HMENU file = ::CreatePopupMenu();
  ::AppendMenuA(file, MF_STRING, ID_TEST_NEW, "&New");
  ::AppendMenuA(file, MF_STRING, ID_TEST_OPEN, "&Open...");
  ::AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(file, MF_STRING, ID_TEST_PRINT, "&Print\tCtrl+P");
  ::AppendMenuA(file, MF_STRING, kRecentFile, "&1 take.wav");
  HMENU edit = ::CreatePopupMenu();
  ::AppendMenuA(edit, MF_STRING, ID_TEST_CUT, "Cu&t");
  ::AppendMenuA(edit, MF_STRING, ID_TEST_COPY, "&Copy");
  ::AppendMenuA(edit, MF_STRING, ID_TEST_PASTE, "&Paste");
  HMENU menu = ::CreateMenu();
  ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
  return menu;
}

class CustomizeSheet : public ToolbarFrame {
protected:
  void SetUp() override {
    ToolbarFrame::SetUp();
    ASSERT_TRUE(XDisplayInput::Get().Ready());
    m_menu = MakeMenu();
  }
  void TearDown() override {
    if (::IsWindow(sheetHwnd)) ::DestroyWindow(sheetHwnd);
    PumpAsTheProgram(100);
    ::DestroyMenu(m_menu);
    ToolbarFrame::TearDown();
  }

  // Opens the sheet with the menu's commands, one command more in File (named by its
  // string resource) and one command given twice.
  void Open(BOOL userToolbars = FALSE, UINT moreFlags = 0) {
    sheet =
        new CTKToolbarCustomize(frame, FALSE,
                                TKCUSTOMIZE_MENU_SHADOWS | TKCUSTOMIZE_TEXT_LABELS | TKCUSTOMIZE_LOOK2000 |
                                    TKCUSTOMIZE_MENU_ANIMATIONS | TKCUSTOMIZE_NOHELP | moreFlags);
    ASSERT_TRUE(sheet->AddMenuCommands(m_menu));
    sheet->AddButton("File", CTKToolbarButton(ID_TEST_EXPORT, -1));
    sheet->AddButton("File", CTKToolbarButton(ID_TEST_OPEN, -1, "Open again"));
    sheet->EnableUserDefinedToolbars(userToolbars);
    ASSERT_TRUE(sheet->Create());
    sheetHwnd = sheet->m_hWnd;
    // Off the toolbars, as a user puts it, so that they are in reach.
    ::SetWindowPos(sheetHwnd, nullptr, 150, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetForegroundWindow(sheetHwnd);
    PumpAsTheProgram(300);
  }

  HWND Page() const {
    return reinterpret_cast<HWND>(::SendMessageA(sheetHwnd, PSM_GETCURRENTPAGEHWND, 0, 0));
  }
  HWND PageItem(int id) const { return ::GetDlgItem(Page(), id); }

  Texts Tabs() const { return dialogtest::SheetTabs(sheetHwnd); }
  void ClickTab(int index) {
    HWND tab = reinterpret_cast<HWND>(::SendMessageA(sheetHwnd, PSM_GETTABCONTROL, 0, 0));
    RECT rect{};
    ASSERT_TRUE(::SendMessageA(tab, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)));
    ClickInWindow(tab, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
  }
  void ClickControl(HWND control) {
    ASSERT_TRUE(::IsWindowVisible(control));
    RECT rect;
    ::GetClientRect(control, &rect);
    ClickInWindow(control, POINT{rect.right / 2, rect.bottom / 2});
  }
  static POINT ListItemCentre(HWND list, int index, int x = -1) {
    RECT rect{};
    ::SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return POINT{x >= 0 ? rect.left + x : (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  void ClickListItem(HWND list, int index, int x = -1) {
    ClickInWindow(list, ListItemCentre(list, index, x));
  }
  // A press on a command may begin a drag, which waits for the mouse: the click
  // comes from a thread of its own then.
  void ClickCommand(int index) {
    HWND list = sheet->GetCommandsPage()->m_wndTools.m_hWnd;
    POINT at = ListItemCentre(list, index, 60);
    ::ClientToScreen(list, &at);
    InputScript script;
    script.steps = {{InputStep::kMove, at}, {InputStep::kDown, at}, {InputStep::kUp, at}};
    RunDrag(script);
  }
  // The entries of a list box or a combo box, asked with its count and text messages.
  static Texts EntryTexts(HWND control, UINT countMessage, UINT textMessage) {
    Texts texts;
    const int count = static_cast<int>(::SendMessageA(control, countMessage, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[256] = "";
      ::SendMessageA(control, textMessage, i, reinterpret_cast<LPARAM>(text));
      texts.emplace_back(text);
    }
    return texts;
  }
  static Texts ListTexts(HWND list) { return EntryTexts(list, LB_GETCOUNT, LB_GETTEXT); }
  static Texts ComboTexts(HWND combo) { return EntryTexts(combo, CB_GETCOUNT, CB_GETLBTEXT); }
  // An entry chosen in a drop-down list, as its selection change reaches the page.
  void ChooseInCombo(HWND combo, int index) {
    ::SendMessageA(combo, CB_SETCURSEL, index, 0);
    ::SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    PumpAsTheProgram(200);
  }
  // The commands of a popup's items; 0 for an entry that is no menu item.
  static std::vector<UINT> ItemIds(CTKPopupMenu& popup) {
    std::vector<UINT> ids;
    for (int i = 0; i < popup.GetMenuItemCount(); ++i) {
      const CTKToolbarMenuButton* item = popup.GetMenuItem(i);
      ids.push_back(item && item->m_bText ? item->m_nID : 0);
    }
    return ids;
  }
  static int IndexOf(const Texts& texts, const std::string& text) {
    auto at = std::find(texts.begin(), texts.end(), text);
    return at == texts.end() ? -1 : static_cast<int>(at - texts.begin());
  }
  // The commands page shows buttons: their texts.
  Texts CommandTexts() const {
    Texts texts;
    auto* page = sheet->GetCommandsPage();
    const int count = static_cast<int>(::SendMessageA(page->m_wndTools.m_hWnd, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
      texts.emplace_back(static_cast<const char*>(page->m_wndTools.GetButton(i)->m_strText));
    return texts;
  }

  CTKToolbarCustomize* sheet = nullptr;
  HWND sheetHwnd = nullptr;
  HMENU m_menu = nullptr;
};

TEST_F(CustomizeSheet, WhileTheSheetIsOpenTheToolbarsAreInCustomizeModeAndTheFrameElseIsDisabled) {
  HWND child = ::CreateWindowExA(0, "STATIC", "view", WS_CHILD | WS_VISIBLE, 100, 100, 50, 20, frameHwnd,
                                 nullptr, nullptr, nullptr);
  ASSERT_TRUE(child);
  Open();
  EXPECT_EQ(CTKToolbarCustomize::GetOpenSheet(), sheet);
  EXPECT_TRUE(CTKToolBar::IsCustomizeMode());
  EXPECT_FALSE(::IsWindowEnabled(child));
  EXPECT_TRUE(::IsWindowEnabled(fileBar->m_hWnd));
  char title[64] = "";
  ::GetWindowTextA(sheetHwnd, title, sizeof title);
  EXPECT_STREQ(title, "Customize");
  EXPECT_EQ(Tabs(), (Texts{"Commands", "Toolbars", "Options"}));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(sheetHwnd, IDOK)));
  EXPECT_EQ(dialogtest::ItemText(sheetHwnd, IDCANCEL), "Close");
  // A second sheet is refused while one is open.
  CTKToolbarCustomize second(frame);
  EXPECT_FALSE(second.Create());

  ClickControl(::GetDlgItem(sheetHwnd, IDCANCEL));
  EXPECT_FALSE(::IsWindow(sheetHwnd));
  EXPECT_EQ(CTKToolbarCustomize::GetOpenSheet(), nullptr);
  EXPECT_FALSE(CTKToolBar::IsCustomizeMode());
  EXPECT_TRUE(::IsWindowEnabled(child));
}

// F1 anywhere in the sheet asks the frame for help on the page shown.
TEST_F(CustomizeSheet, F1AsksTheFrameForHelpOnThePageShown) {
  Open();
  for (int tab : {1, 0}) {
    ClickTab(tab);
    PressKey(kKeyF1);
  }
  EXPECT_EQ(frame->helpRequests, (std::vector<WPARAM>{1, 0}));
}

// With context help, help asked on one of the sheet's controls is the control's popup
// in the program's help file; help on the sheet itself stays the frame's.
TEST_F(CustomizeSheet, WithContextHelpHelpOnAControlIsItsPopupAndOtherHelpStaysTheFrames) {
  helptest::Recorder help;
  Open(FALSE, TKCUSTOMIZE_CONTEXT_HELP);
  EXPECT_TRUE(::GetWindowLongA(sheetHwnd, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
  const HWND categories = PageItem(IDC_TKCUSTOMIZE_CATEGORIES);
  ASSERT_TRUE(categories);
  HELPINFO onControl{sizeof(HELPINFO), HELPINFO_WINDOW, IDC_TKCUSTOMIZE_CATEGORIES, categories, 0, {0, 0}};
  ::SendMessageA(categories, WM_HELP, 0, reinterpret_cast<LPARAM>(&onControl));
  const auto& requests = helptest::Recorder::Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].window, categories);
  EXPECT_TRUE(helptest::IsProgramHelpFile(requests[0].file)) << requests[0].file;
  EXPECT_EQ(requests[0].command, static_cast<UINT>(HELP_CONTEXTPOPUP));
  EXPECT_EQ(requests[0].data, static_cast<ULONG_PTR>(0x41000 + IDC_TKCUSTOMIZE_CATEGORIES));
  EXPECT_TRUE(frame->helpRequests.empty());
  HELPINFO onSheet{sizeof(HELPINFO), HELPINFO_WINDOW, 0, sheetHwnd, 0, {0, 0}};
  ::SendMessageA(sheetHwnd, WM_HELP, 0, reinterpret_cast<LPARAM>(&onSheet));
  EXPECT_EQ(requests.size(), 1u);
  EXPECT_EQ(frame->helpRequests, (std::vector<WPARAM>{0}));
}

TEST_F(CustomizeSheet, TheCommandsPageOffersTheMenusCommandsByCategory) {
  Open();
  HWND categories = PageItem(IDC_TKCUSTOMIZE_CATEGORIES);
  const Texts names = ListTexts(categories);
  EXPECT_EQ(names, (Texts{"New Menu", "File", "Edit", "All Commands"}));
  struct Case {
    const char* category;
    Texts commands;
  };
  // The sheet's own "New Menu" comes first, then the menu's popups. The recent file
  // is never offered; a command given twice is listed once; the
  // command without text is named by its string resource's short name; "All
  // Commands" reads alphabetically, the others in the order the commands came.
  const Case cases[] = {
      {"File", {"New", "Open...", "Print", "Export"}},
      {"Edit", {"Cut", "Copy", "Paste"}},
      {"All Commands", {"Copy", "Cut", "Export", "New", "New Menu", "Open...", "Paste", "Print"}},
  };
  for (const Case& c : cases) {
    const int index = IndexOf(names, c.category);
    ASSERT_GE(index, 0) << c.category;
    ClickListItem(categories, index);
    EXPECT_EQ(CommandTexts(), c.commands) << c.category;
  }
  // Choosing a command shows its prompt.
  ClickListItem(categories, IndexOf(names, "File"));
  ClickCommand(IndexOf(CommandTexts(), "Print"));
  EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKCUSTOMIZE_DESCRIPTION), "Print the waveform");
  EXPECT_EQ(std::string(sheet->GetCommandName(ID_TEST_PASTE)), "Paste");
  EXPECT_EQ(std::string(sheet->GetCommandName(kRecentFile)), "");
}

TEST_F(CustomizeSheet, DraggingACommandFromTheCommandsPageOntoAToolbarAddsItsButton) {
  Open();
  HWND categories = PageItem(IDC_TKCUSTOMIZE_CATEGORIES);
  ClickListItem(categories, IndexOf(ListTexts(categories), "Edit"));
  HWND commands = sheet->GetCommandsPage()->m_wndTools.m_hWnd;
  const int paste = IndexOf(CommandTexts(), "Paste");
  ASSERT_GE(paste, 0);
  CRect open;
  fileBar->GetItemRect(1, &open);
  const POINT from = ScreenPointOf(*CWnd::FromHandle(commands), ListItemCentre(commands, paste, 60));
  const POINT to = ScreenPointOf(*fileBar, POINT{open.left + 3, open.CenterPoint().y});
  RunDrag(DragScript(from, to));

  EXPECT_EQ(IdsOf(*fileBar),
            (std::vector<UINT>{ID_TEST_NEW, ID_TEST_PASTE, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}));
  EXPECT_EQ(IdsOf(*editBar), (std::vector<UINT>{ID_TEST_CUT, ID_TEST_COPY, ID_TEST_PASTE}));
  EXPECT_TRUE(sheet->GetCommandsPage()->m_pSelButton != nullptr);

  // The new button shows the command's image: the same picture as on the edit bar.
  MoveMouseAndWait(POINT{5, 740}, true);
  PumpAsTheProgram(200);
  CRect dropped, original;
  fileBar->GetItemRect(1, &dropped);
  editBar->GetItemRect(2, &original);
  const CapturedImage fileShot = CaptureWindow(fileBar->m_hWnd, true);
  const CapturedImage editShot = CaptureWindow(editBar->m_hWnd, true);
  ASSERT_FALSE(fileShot.Empty());
  ASSERT_FALSE(editShot.Empty());
  const POINT a = dropped.CenterPoint();
  const POINT b = original.CenterPoint();
  int same = 0, differentFromFace = 0;
  for (int dy = -5; dy <= 5; ++dy)
    for (int dx = -6; dx <= 6; ++dx) {
      const COLORREF pixel = fileShot.At(a.x + dx, a.y + dy);
      same += pixel == editShot.At(b.x + dx, b.y + dy);
      differentFromFace += pixel != ::GetSysColor(COLOR_BTNFACE);
    }
  EXPECT_GT(same, 11 * 13 * 9 / 10);
  EXPECT_GT(differentFromFace, 10);
}

TEST_F(CustomizeSheet, TheToolbarsPageTicksShowAndHideTheBarsThatMayClose) {
  editBar->SetWindowText("");
  fileBar->m_bPermament = TRUE;
  Open();
  ClickTab(1);
  auto* list = &sheet->GetToolbarsPage()->m_wndToolbarList;
  ASSERT_EQ(ListTexts(list->m_hWnd), (Texts{"File", "<Untitled>"}));
  EXPECT_TRUE(list->GetCheck(0));
  EXPECT_TRUE(list->GetCheck(1));
  // Without user toolbars there is no New, Rename or Delete.
  for (int id : {IDC_TKCUSTOMIZE_NEW, IDC_TKCUSTOMIZE_RENAME, IDC_TKCUSTOMIZE_DELETE})
    EXPECT_FALSE(::IsWindowVisible(PageItem(id))) << id;
  struct Case {
    const char* what;
    int item;
    bool ticked;
    bool editShown;
    bool fileShown;
  };
  const Case cases[] = {
      {"the edit bar's tick cleared hides it", 1, false, false, true},
      {"ticked again it shows", 1, true, true, true},
      {"the file bar may not close: it stays ticked", 0, true, true, true},
  };
  for (const Case& c : cases) {
    ClickListItem(list->m_hWnd, c.item, 8);
    PumpAsTheProgram(200);
    EXPECT_EQ(list->GetCheck(c.item) != FALSE, c.ticked) << c.what;
    EXPECT_EQ(::IsWindowVisible(editBar->m_hWnd) != FALSE, c.editShown) << c.what;
    EXPECT_EQ(::IsWindowVisible(fileBar->m_hWnd) != FALSE, c.fileShown) << c.what;
  }
}

TEST_F(CustomizeSheet, AFloatingBarClosedByItsOwnCaptionLosesItsTickAndOffersOnlyMoveAndClose) {
  // Both bars float; the file bar may not close.
  fileBar->m_bPermament = TRUE;
  frame->FloatControlBar(editBar.get(), CPoint(420, 120));
  frame->FloatControlBar(fileBar.get(), CPoint(420, 260));
  PumpAsTheProgram(200);
  Open();
  ClickTab(1);
  auto* list = &sheet->GetToolbarsPage()->m_wndToolbarList;
  int edit = -1;
  for (int i = 0; i < list->GetCount(); ++i)
    if (list->GetBar(i) == editBar.get()) edit = i;
  ASSERT_GE(edit, 0);
  ASSERT_TRUE(list->GetCheck(edit));
  // Sized while customizing (the user took a button off each), each floating frame
  // offers only what customizing allows.
  for (CTKToolBar* bar : {editBar.get(), fileBar.get()}) {
    ASSERT_NE(CMiniDockFrameWnd::FrameOf(bar), nullptr);
    bar->RemoveButton(0);
    bar->AdjustSize();
  }
  PumpAsTheProgram(200);
  struct Case {
    CTKToolBar* bar;
    UINT closeState;
  } cases[] = {{editBar.get(), MF_ENABLED}, {fileBar.get(), MF_GRAYED}};
  for (const Case& c : cases) {
    HMENU system = ::GetSystemMenu(CMiniDockFrameWnd::FrameOf(c.bar)->m_hWnd, FALSE);
    ASSERT_NE(system, nullptr);
    for (UINT command : {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE})
      EXPECT_EQ(::GetMenuState(system, command, MF_BYCOMMAND), static_cast<UINT>(-1)) << command;
    EXPECT_EQ(::GetMenuState(system, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED, c.closeState & MF_GRAYED);
  }
  // The edit bar's own Close hides it, and the page takes its tick away; shown again by
  // the frame, it is ticked again.
  ::SendMessageA(CMiniDockFrameWnd::FrameOf(editBar.get())->m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpAsTheProgram(200);
  EXPECT_FALSE(::IsWindowVisible(editBar->m_hWnd));
  EXPECT_FALSE(list->GetCheck(edit));
  frame->ShowControlBar(editBar.get(), TRUE, FALSE);
  PumpAsTheProgram(200);
  EXPECT_TRUE(list->GetCheck(edit));
}

TEST_F(CustomizeSheet, ResetAsksAndThenRestoresTheToolbarsButtons) {
  const std::vector<UINT> original = IdsOf(*fileBar);
  struct Case {
    int answer;
    bool restored;
  };
  const Case cases[] = {{IDNO, false}, {IDYES, true}};
  Open();
  ClickTab(1);
  auto* list = &sheet->GetToolbarsPage()->m_wndToolbarList;
  ClickListItem(list->m_hWnd, IndexOf(ListTexts(list->m_hWnd), "File"));
  for (const Case& c : cases) {
    fileBar->RemoveButton(1);
    const std::vector<UINT> changed = IdsOf(*fileBar);
    dialogtest::RecordedMessageBoxes boxes(c.answer);
    ClickControl(PageItem(IDC_TKCUSTOMIZE_RESET));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "All your changes will be lost! Do you really want to reset the toolbar 'File'?");
    EXPECT_EQ(boxes.shown[0].flags & (MB_YESNO | MB_ICONQUESTION), unsigned(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IdsOf(*fileBar), c.restored ? original : changed);
  }
}

TEST_F(CustomizeSheet, NewMakesAUserToolbarByNameAndDeleteRemovesIt) {
  frame->m_Impl.ReserveUserBarIds(AFX_IDW_CONTROLBAR_FIRST + 80, AFX_IDW_CONTROLBAR_FIRST + 84);
  Open(TRUE);
  ClickTab(1);
  auto* list = &sheet->GetToolbarsPage()->m_wndToolbarList;
  const Texts before = ListTexts(list->m_hWnd);
  bool okWhileEmpty = true, okWithName = false;
  dialogtest::DriveModal(
      "Toolbar Name",
      [&](HWND dialog) {
        okWhileEmpty = ::IsWindowEnabled(::GetDlgItem(dialog, IDOK));
        dialogtest::SetItemText(dialog, IDC_TKCUSTOMIZE_TOOLBAR_NAME, "Takes");
        okWithName = ::IsWindowEnabled(::GetDlgItem(dialog, IDOK));
        dialogtest::Press(dialog, IDOK);
      },
      [&] { ClickControl(PageItem(IDC_TKCUSTOMIZE_NEW)); });
  PumpAsTheProgram(200);
  EXPECT_FALSE(okWhileEmpty);
  EXPECT_TRUE(okWithName);
  Texts after = before;
  after.push_back("Takes");
  ASSERT_EQ(ListTexts(list->m_hWnd), after);
  EXPECT_TRUE(list->GetCheck(list->GetCount() - 1));
  EXPECT_EQ(list->GetCurSel(), list->GetCount() - 1);
  ASSERT_EQ(frame->m_Impl.m_userBars.GetCount(), 1);
  HWND made = frame->m_Impl.m_userBars.GetHead()->m_hWnd;
  ASSERT_TRUE(::IsWindow(made));
  EXPECT_TRUE(::IsWindowVisible(made));
  EXPECT_TRUE(::IsWindowEnabled(PageItem(IDC_TKCUSTOMIZE_DELETE)));

  dialogtest::RecordedMessageBoxes boxes(IDYES);
  ClickControl(PageItem(IDC_TKCUSTOMIZE_DELETE));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Do you really want to delete the toolbar 'Takes'?");
  EXPECT_EQ(ListTexts(list->m_hWnd), before);
  EXPECT_EQ(frame->m_Impl.m_userBars.GetCount(), 0);
  EXPECT_FALSE(::IsWindow(made));
}

// The names are the keyboard layout's own (here the X server's through Wine): only
// their first letter is a capital.
TEST(ShortcutKeyText, NamesTheModifiersAndTheKeyAsTheKeyboardLayoutDoes) {
  struct Case {
    BYTE flags;
    WORD key;
    const char* text;
  };
  const Case cases[] = {
      {FCONTROL | FALT | FVIRTKEY, VK_DELETE, "Control+Alt+Delete"},
      {FCONTROL | FSHIFT | FVIRTKEY, 'S', "Control+Shift+S"},
      {FSHIFT | FVIRTKEY, VK_F5, "Shift+F5"},
      {FVIRTKEY, VK_PRIOR, "Prior"},
      {FCONTROL, 27, "Control+"},
      {0, 'q', "q"},
  };
  for (const Case& c : cases) {
    ACCEL accel{c.flags, c.key, 1};
    EXPECT_EQ(std::string(CShortcutKeyText(&accel).Format()), c.text) << c.text;
  }
}

TEST_F(CustomizeSheet, AShortcutAssignedOnTheKeyboardPageRunsItsCommand) {
  ACCEL open{FVIRTKEY | FCONTROL, 'O', ID_TEST_OPEN};
  frame->m_hAccelTable = ::CreateAcceleratorTableA(&open, 1);
  CTKKeyboardManager keyboard;
  CTKKeyboardManager* previous = g_pKeyboardManager;
  g_pKeyboardManager = &keyboard;
  Open();
  ASSERT_EQ(Tabs(), (Texts{"Commands", "Toolbars", "Keyboard", "Options"}));
  ClickTab(2);
  HWND commands = PageItem(IDC_TKCUSTOMIZE_KEY_COMMANDS);
  HWND keys = PageItem(IDC_TKCUSTOMIZE_CURRENT_KEYS);
  ASSERT_EQ(ListTexts(commands), (Texts{"New", "Open...", "Print", "Export"}));
  ClickListItem(commands, 1);
  EXPECT_EQ(ListTexts(keys), (Texts{"Control+O"}));
  ClickListItem(commands, 2);
  EXPECT_EQ(ListTexts(keys), Texts{});

  struct Case {
    unsigned long key;
    const char* shown;
    const char* assignedTo;
    bool assignEnabled;
  };
  const Case cases[] = {
      {'o', "Control+O", "Open...", false},
      {'k', "Control+K", "[Unassigned]", true},
  };
  for (const Case& c : cases) {
    ClickControl(PageItem(IDC_TKCUSTOMIZE_KEY_EDIT));
    PressKey(c.key, 0xFFE3 /* Control_L */);
    EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKCUSTOMIZE_KEY_EDIT), c.shown);
    EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKCUSTOMIZE_ASSIGNED_TEXT), c.assignedTo);
    EXPECT_TRUE(::IsWindowVisible(PageItem(IDC_TKCUSTOMIZE_ASSIGNED_LABEL)));
    EXPECT_EQ(::IsWindowEnabled(PageItem(IDC_TKCUSTOMIZE_ASSIGN)) != FALSE, c.assignEnabled) << c.shown;
  }
  ClickControl(PageItem(IDC_TKCUSTOMIZE_ASSIGN));
  EXPECT_EQ(ListTexts(keys), (Texts{"Control+K"}));
  EXPECT_EQ(::CopyAcceleratorTableA(frame->m_hAccelTable, nullptr, 0), 2);

  ClickControl(::GetDlgItem(sheetHwnd, IDCANCEL));
  ASSERT_FALSE(::IsWindow(sheetHwnd));
  ::SetForegroundWindow(frameHwnd);
  ::SetFocus(frameHwnd);
  PumpAsTheProgram(200);
  frame->commands.clear();
  PressKey('k', 0xFFE3);
  PressKey('o', 0xFFE3);
  EXPECT_EQ(frame->commands, (std::vector<UINT>{ID_TEST_PRINT, ID_TEST_OPEN}));
  g_pKeyboardManager = previous;
}

TEST_F(CustomizeSheet, ARemovedShortcutNoLongerRunsItsCommand) {
  ACCEL table[] = {{FVIRTKEY | FCONTROL, 'O', ID_TEST_OPEN}, {FVIRTKEY | FCONTROL, 'K', ID_TEST_PRINT}};
  frame->m_hAccelTable = ::CreateAcceleratorTableA(table, 2);
  CTKKeyboardManager keyboard;
  CTKKeyboardManager* previous = g_pKeyboardManager;
  g_pKeyboardManager = &keyboard;
  Open();
  ClickTab(2);
  HWND commands = PageItem(IDC_TKCUSTOMIZE_KEY_COMMANDS);
  HWND keys = PageItem(IDC_TKCUSTOMIZE_CURRENT_KEYS);
  ClickListItem(commands, IndexOf(ListTexts(commands), "Print"));
  ASSERT_EQ(ListTexts(keys), (Texts{"Control+K"}));
  EXPECT_FALSE(::IsWindowEnabled(PageItem(IDC_TKCUSTOMIZE_REMOVE)));
  ClickListItem(keys, 0);
  EXPECT_TRUE(::IsWindowEnabled(PageItem(IDC_TKCUSTOMIZE_REMOVE)));
  ClickControl(PageItem(IDC_TKCUSTOMIZE_REMOVE));
  EXPECT_EQ(ListTexts(keys), Texts{});
  EXPECT_EQ(::CopyAcceleratorTableA(frame->m_hAccelTable, nullptr, 0), 1);

  ClickControl(::GetDlgItem(sheetHwnd, IDCANCEL));
  ASSERT_FALSE(::IsWindow(sheetHwnd));
  ::SetForegroundWindow(frameHwnd);
  ::SetFocus(frameHwnd);
  PumpAsTheProgram(200);
  frame->commands.clear();
  PressKey('k', 0xFFE3);
  PressKey('o', 0xFFE3);
  EXPECT_EQ(frame->commands, (std::vector<UINT>{ID_TEST_OPEN}));
  g_pKeyboardManager = previous;
}

TEST_F(CustomizeSheet, TheToolsPageAddsUserToolsUpToItsRange) {
  CTKUserToolsManager tools(kToolsEntry, kFirstTool, kFirstTool + 1);
  CTKUserToolsManager* previous = g_pUserToolsManager;
  g_pUserToolsManager = &tools;
  Open();
  ASSERT_EQ(Tabs(), (Texts{"Commands", "Toolbars", "Tools", "Options"}));
  ClickTab(2);
  CTKToolsList& list = sheet->GetToolsPage()->m_wndToolsList;
  EXPECT_FALSE(::IsWindowEnabled(PageItem(IDC_TKCUSTOMIZE_TOOL_COMMAND)));
  auto clickNew = [&] {
    const int index = list.FindButton(CTKEditListBase::kNewCommand);
    ASSERT_GE(index, 0);
    ClickControl(list.GetButton(index)->m_hWnd);
  };
  for (const char* label : {"sketch", "wave"}) {
    clickNew();
    TypeText(label);
    PressKey(kKeyReturn);
  }
  dialogtest::RecordedMessageBoxes boxes(IDOK);
  clickNew();
  TypeText("third");
  PressKey(kKeyReturn);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "You may define up to 2 tools.");
  ASSERT_EQ(list.GetCount(), 2);

  // The second tool chosen, its program is typed into the command box.
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  ASSERT_TRUE(::SendMessageA(list.GetListHwnd(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
  ClickInWindow(list.GetListHwnd(), POINT{row.left + 30, (row.top + row.bottom) / 2});
  ASSERT_TRUE(::IsWindowEnabled(PageItem(IDC_TKCUSTOMIZE_TOOL_COMMAND)));
  ClickControl(PageItem(IDC_TKCUSTOMIZE_TOOL_COMMAND));
  TypeText("notepad");
  ASSERT_EQ(tools.GetUserTools().GetCount(), 2);
  struct Expected {
    const char* label;
    UINT id;
    const char* command;
  };
  const Expected expected[] = {{"sketch", kFirstTool, ""}, {"wave", kFirstTool + 1, "notepad"}};
  int i = 0;
  for (POSITION pos = tools.GetUserTools().GetHeadPosition(); pos; ++i) {
    auto* tool = static_cast<CTKUserTool*>(tools.GetUserTools().GetNext(pos));
    EXPECT_EQ(std::string(tool->m_strLabel), expected[i].label);
    EXPECT_EQ(tool->m_uiCmdId, expected[i].id);
    EXPECT_EQ(std::string(tool->GetCommand()), expected[i].command);
  }
  ::DestroyWindow(sheetHwnd);
  g_pUserToolsManager = previous;
}

// The menus beside the arguments and the start folder type their placeholders into
// the boxes, and so into the chosen tool; with no tool chosen they are grey.
TEST_F(CustomizeSheet, TheToolsPageMenusTypePlaceholdersIntoTheChosenTool) {
  CTKUserToolsManager tools(kToolsEntry, kFirstTool, kFirstTool + 1);
  tools.SetArgumentsMenus(IDR_TOOL_ARGUMENTS_MENU, IDR_TOOL_FOLDER_MENU);
  CTKUserTool* tool = tools.NewTool();
  ASSERT_NE(tool, nullptr);
  tool->m_strLabel = "sketch";
  CTKUserToolsManager* previous = g_pUserToolsManager;
  g_pUserToolsManager = &tools;
  Open();
  ClickTab(2);
  for (int id : {IDC_TKCUSTOMIZE_TOOL_ARGUMENTS_MENU, IDC_TKCUSTOMIZE_TOOL_DIRECTORY_MENU}) {
    EXPECT_TRUE(::IsWindowVisible(PageItem(id))) << id;
    EXPECT_FALSE(::IsWindowEnabled(PageItem(id))) << id;
  }
  CTKToolsList& list = sheet->GetToolsPage()->m_wndToolsList;
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  ASSERT_TRUE(::SendMessageA(list.GetListHwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)));
  ClickInWindow(list.GetListHwnd(), POINT{row.left + 30, (row.top + row.bottom) / 2});
  ASSERT_EQ(sheet->GetToolsPage()->GetSelectedTool(), tool);

  struct Case {
    int button;
    int edit;
    int downs;  // the item's place in the menu
    const char* typed;
  };
  const Case cases[] = {
      {IDC_TKCUSTOMIZE_TOOL_ARGUMENTS_MENU, IDC_TKCUSTOMIZE_TOOL_ARGUMENTS, 2, "$(FileName)"},
      {IDC_TKCUSTOMIZE_TOOL_DIRECTORY_MENU, IDC_TKCUSTOMIZE_TOOL_DIRECTORY, 1, "$(FileDir)"},
  };
  for (const Case& c : cases) {
    HWND button = PageItem(c.button);
    ASSERT_TRUE(::IsWindowEnabled(button));
    RECT rect;
    ::GetWindowRect(button, &rect);
    const POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    // The button held, the menu's item chosen with the keys.
    InputScript script;
    script.steps = {{InputStep::kMove, at}, {InputStep::kDown, at}, {InputStep::kMenuShown, at}};
    for (int i = 0; i < c.downs; ++i) script.steps.push_back({InputStep::kKey, at, kKeyDown});
    script.steps.push_back({InputStep::kKey, at, kKeyReturn});
    script.steps.push_back({InputStep::kUp, at});
    RunDrag(script);
    EXPECT_EQ(dialogtest::ItemText(Page(), c.edit), c.typed) << c.button;
  }
  EXPECT_EQ(std::string(tool->m_strArguments), "$(FileName)");
  EXPECT_EQ(std::string(tool->m_strInitialDirectory), "$(FileDir)");
  ::DestroyWindow(sheetHwnd);
  g_pUserToolsManager = previous;
}

TEST_F(CustomizeSheet, EachOptionsBoxTakesEffectAtOnce) {
  const BOOL tooltips = CTKToolBar::s_bShowTooltips, shortcuts = CTKToolBar::s_bShowShortcutKeys;
  CTKToolBar::s_bShowTooltips = TRUE;
  CTKToolBar::s_bShowShortcutKeys = TRUE;
  Open();
  ClickTab(2);
  // No menu bar here: no personalised menus to set.
  EXPECT_FALSE(::IsWindowVisible(PageItem(IDC_TKOPTIONS_RECENTLY_USED)));
  EXPECT_FALSE(::IsWindowVisible(PageItem(IDC_TKOPTIONS_VISUALIZATIONS)));
  const LONG smallHeight = fileBar->GetButtonSize().cy;
  struct Case {
    const char* what;
    int box;
    BOOL tooltips, shortcuts, shortcutsBoxEnabled, large;
  };
  const Case cases[] = {
      {"tooltips off: the shortcut box goes grey", IDC_TKOPTIONS_TOOLTIPS, FALSE, TRUE, FALSE, FALSE},
      {"tooltips on again", IDC_TKOPTIONS_TOOLTIPS, TRUE, TRUE, TRUE, FALSE},
      {"shortcut keys off", IDC_TKOPTIONS_SHORTCUT_KEYS, TRUE, FALSE, TRUE, FALSE},
      {"large icons on", IDC_TKOPTIONS_LARGE_ICONS, TRUE, FALSE, TRUE, TRUE},
      {"large icons off", IDC_TKOPTIONS_LARGE_ICONS, TRUE, FALSE, TRUE, FALSE},
  };
  for (const Case& c : cases) {
    ClickControl(PageItem(c.box));
    EXPECT_EQ(CTKToolBar::s_bShowTooltips, c.tooltips) << c.what;
    EXPECT_EQ(CTKToolBar::s_bShowShortcutKeys, c.shortcuts) << c.what;
    EXPECT_EQ(::IsWindowEnabled(PageItem(IDC_TKOPTIONS_SHORTCUT_KEYS)) != FALSE,
              c.shortcutsBoxEnabled != FALSE)
        << c.what;
    EXPECT_EQ(CTKToolBar::IsLargeIcons(), c.large) << c.what;
    if (c.large)
      EXPECT_GT(fileBar->GetButtonSize().cy, smallHeight) << c.what;
    else
      EXPECT_EQ(fileBar->GetButtonSize().cy, smallHeight) << c.what;
  }
  CTKToolBar::SetLargeIcons(FALSE);
  CTKToolBar::s_bShowTooltips = tooltips;
  CTKToolBar::s_bShowShortcutKeys = shortcuts;
}

TEST_F(CustomizeSheet, TheMousePageAssignsADoubleClickCommandToAView) {
  CTKMouseManager mouse;
  mouse.AddView(7, "Waveform");
  mouse.AddView(8, "Rulers");
  Open();
  ASSERT_EQ(Tabs(), (Texts{"Commands", "Toolbars", "Mouse", "Options"}));
  ClickTab(2);
  HWND views = PageItem(IDC_TKMOUSE_VIEWS);
  HWND commands = PageItem(IDC_TKMOUSE_COMMANDS);
  auto clickView = [&](int index) {
    RECT row{LVIR_LABEL, 0, 0, 0};
    ASSERT_TRUE(::SendMessageA(views, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)));
    ClickInWindow(views, POINT{row.left + 10, (row.top + row.bottom) / 2});
  };
  auto checked = [&](int id) { return ::IsDlgButtonChecked(Page(), id) == BST_CHECKED; };
  // Sorted by name, the first chosen; it has no double-click command.
  EXPECT_EQ(sheet->GetMousePage()->GetSelectedView(), 8);
  EXPECT_TRUE(checked(IDC_TKMOUSE_NO_DBLCLICK));
  EXPECT_FALSE(::IsWindowEnabled(commands));

  ClickControl(PageItem(IDC_TKMOUSE_USE_DBLCLICK));
  EXPECT_TRUE(::IsWindowEnabled(commands));
  const int print = IndexOf(ListTexts(commands), "Print");
  ASSERT_GE(print, 0);
  ClickListItem(commands, print);
  EXPECT_EQ(mouse.GetViewDblClickCommand(8), UINT(ID_TEST_PRINT));
  EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKMOUSE_DESCRIPTION), "Print the waveform");

  struct Case {
    const char* what;
    int view;
    bool associated;
  };
  const Case cases[] = {{"the other view has none", 1, false}, {"back to the first: its command", 0, true}};
  for (const Case& c : cases) {
    clickView(c.view);
    EXPECT_EQ(checked(IDC_TKMOUSE_USE_DBLCLICK), c.associated) << c.what;
    EXPECT_EQ(::IsWindowEnabled(commands) != FALSE, c.associated) << c.what;
    EXPECT_EQ(::SendMessageA(commands, LB_GETCURSEL, 0, 0), c.associated ? print : LB_ERR) << c.what;
  }
  ClickControl(PageItem(IDC_TKMOUSE_NO_DBLCLICK));
  EXPECT_EQ(mouse.GetViewDblClickCommand(8), 0u);
  EXPECT_EQ(mouse.GetViewDblClickCommand(7), 0u);
}

// A tool shows its program's icon: a bare name is looked for along the search path,
// a name found nowhere shows the default tool icon.
TEST(UserTool, ShowsItsProgramsIconOrTheDefaultOne) {
  struct Case {
    const char* command;
    bool defaultIcon;
  };
  const Case cases[] = {
      {"notepad.exe", false},
      {"C:\\windows\\notepad.exe", false},
      {"no-such-program-here.exe", true},
  };
  for (const Case& c : cases) {
    CTKUserTool tool;
    EXPECT_EQ(tool.GetIcon(), nullptr);
    tool.SetCommand(c.command);
    ASSERT_NE(tool.GetIcon(), nullptr) << c.command;
    EXPECT_EQ(tool.GetIcon() == CTKUserTool::DefaultIcon(), c.defaultIcon) << c.command;
    // The same text again keeps the icon.
    const HICON icon = tool.GetIcon();
    tool.SetCommand(c.command);
    EXPECT_EQ(tool.GetIcon(), icon) << c.command;

    // Drawn centred in a cell: the middle changes, the corners stay white.
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 40, 40);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT all{0, 0, 40, 40};
    ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    CDC dc(memory);
    tool.DrawToolIcon(&dc, CRect(0, 0, 40, 40));
    int drawn = 0;
    for (int y = 12; y < 28; ++y)
      for (int x = 12; x < 28; ++x) drawn += ::GetPixel(memory, x, y) != RGB(255, 255, 255);
    EXPECT_GT(drawn, 16) << c.command;
    EXPECT_EQ(::GetPixel(memory, 2, 2), RGB(255, 255, 255)) << c.command;
    EXPECT_EQ(::GetPixel(memory, 37, 37), RGB(255, 255, 255)) << c.command;
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
  }
  CTKUserTool empty;
  EXPECT_FALSE(empty.Invoke());
}

TEST_F(CustomizeSheet, TheMenuPageResetsTheMenuBarAndSetsTheMenuOptions) {
  ::SetMenu(frameHwnd, MakeMenu());
  auto menuBar = std::make_unique<CTKMenuBar>();
  ASSERT_TRUE(menuBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP));
  ASSERT_TRUE(frame->DockControlBar(menuBar.get(), AFX_IDW_DOCKBAR_TOP));
  frame->RecalcLayout();
  PumpAsTheProgram(200);
  ASSERT_EQ(menuBar->GetCount(), 2);
  const int animation = CTKToolBar::s_nMenuAnimation;
  const BOOL shadows = CTKToolBar::s_bMenuShadows;
  CTKToolBar::s_nMenuAnimation = 0;
  CTKToolBar::s_bMenuShadows = TRUE;

  Open();
  ASSERT_EQ(Tabs(), (Texts{"Commands", "Toolbars", "Menu", "Options"}));
  ClickTab(2);
  EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKMENU_DESCRIPTION),
            "Default application menu. Appears when no documents are open.");
  // The user takes the Edit menu off the bar, then resets the menu: first saying No,
  // then Yes.
  menuBar->RemoveButton(1);
  menuBar->AdjustLayout();
  struct Case {
    int answer;
    int titles;
  };
  for (const Case& c : {Case{IDNO, 1}, Case{IDYES, 2}}) {
    dialogtest::RecordedMessageBoxes boxes(c.answer);
    ClickControl(PageItem(IDC_TKMENU_RESET_FRAME));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "All your changes will be lost! Do you really want to reset the menu 'Default Menu'?");
    EXPECT_EQ(menuBar->GetCount(), c.titles);
  }
  // The options take effect when the page closes.
  HWND combo = PageItem(IDC_TKMENU_ANIMATION);
  ChooseInCombo(combo, 3);
  ClickControl(PageItem(IDC_TKMENU_SHADOWS));
  EXPECT_EQ(CTKToolBar::s_nMenuAnimation, 0);
  ClickControl(::GetDlgItem(sheetHwnd, IDCANCEL));
  ASSERT_FALSE(::IsWindow(sheetHwnd));
  EXPECT_EQ(CTKToolBar::s_nMenuAnimation, 3);
  EXPECT_FALSE(CTKToolBar::s_bMenuShadows);
  EXPECT_EQ(menuBar->GetCount(), 2);
  CTKToolBar::s_nMenuAnimation = animation;
  CTKToolBar::s_bMenuShadows = shadows;
  if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
}

// The context-menu manager's menus are edited on the Menu page: the chosen one opens
// as a popup beside the sheet, moves by its caption (and opens again where it was
// left), takes a command dragged from the Commands page, keeps it after the sheet has
// closed, and its Reset brings back the resource's items.
TEST_F(CustomizeSheet, TheMenuPageEditsAndResetsTheContextMenus) {
  CTKContextMenuManager menus;
  ASSERT_TRUE(menus.AddMenu("Waveform", IDR_WAVE_CONTEXT_MENU));
  ASSERT_TRUE(menus.AddMenu("Track", IDR_TRACK_CONTEXT_MENU));
  Open();
  // No menu bar, but context menus: the page is there for them alone.
  ASSERT_EQ(Tabs(), (Texts{"Commands", "Toolbars", "Menu", "Options"}));
  ClickTab(2);
  CTKMenuPage* page = sheet->GetMenuPage();
  HWND combo = PageItem(IDC_TKMENU_CONTEXT);
  EXPECT_EQ(dialogtest::ItemText(Page(), IDC_TKMENU_DESCRIPTION), "Can't customize menues!");
  EXPECT_FALSE(::IsWindowEnabled(PageItem(IDC_TKMENU_FRAMES)));
  EXPECT_EQ(ComboTexts(combo), (Texts{"-------------------------", "Track", "Waveform"}));
  EXPECT_TRUE(::IsWindowEnabled(combo));
  EXPECT_FALSE(::IsWindowEnabled(PageItem(IDC_TKMENU_RESET_CONTEXT)));

  ChooseInCombo(combo, 2);
  CTKPopupMenu* popup = page->GetContextMenu();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(::IsWindowVisible(popup->m_hWnd));
  EXPECT_TRUE(::IsWindowEnabled(PageItem(IDC_TKMENU_RESET_CONTEXT)));
  ASSERT_EQ(ItemIds(*popup), (std::vector<UINT>{ID_TEST_CUT, ID_TEST_COPY}));
  CRect sheetRect, popupRect;
  ::GetWindowRect(sheetHwnd, &sheetRect);
  ::GetWindowRect(popup->m_hWnd, &popupRect);
  EXPECT_GE(popupRect.left, sheetRect.right);
  // The user moves it by its caption, which names the menu.
  char caption[64] = "";
  ::GetWindowTextA(popup->m_hWnd, caption, sizeof caption);
  EXPECT_STREQ(caption, "Waveform");
  POINT grip{10, 0};
  ::ClientToScreen(popup->m_hWnd, &grip);
  grip.y -= ::GetSystemMetrics(SM_CYSMCAPTION) / 2;
  RunDrag(DragScript(grip, POINT{grip.x + 40, grip.y + 150}));
  CRect moved;
  ::GetWindowRect(popup->m_hWnd, &moved);
  EXPECT_EQ(moved.left, popupRect.left + 40);
  EXPECT_EQ(moved.top, popupRect.top + 150);

  // Paste dragged from the Commands page in between the two items.
  ClickTab(0);
  HWND categories = PageItem(IDC_TKCUSTOMIZE_CATEGORIES);
  ClickListItem(categories, IndexOf(ListTexts(categories), "Edit"));
  HWND commands = sheet->GetCommandsPage()->m_wndTools.m_hWnd;
  ASSERT_EQ(page->GetContextMenu(), popup);
  CTKPopupMenuBar* items = popup->GetMenuBar();
  CRect copy;
  items->GetItemRect(1, &copy);
  const POINT from = ScreenPointOf(*CWnd::FromHandle(commands),
                                   ListItemCentre(commands, IndexOf(CommandTexts(), "Paste"), 60));
  RunDrag(DragScript(from, ScreenPointOf(*items, POINT{copy.CenterPoint().x, copy.top + 2})));
  ASSERT_EQ(page->GetContextMenu(), popup);
  EXPECT_EQ(ItemIds(*popup), (std::vector<UINT>{ID_TEST_CUT, ID_TEST_PASTE, ID_TEST_COPY}));

  // The dashes close it; chosen again it shows the user's items.
  ClickTab(2);
  ChooseInCombo(combo, 0);
  EXPECT_EQ(page->GetContextMenu(), nullptr);
  EXPECT_FALSE(::IsWindowEnabled(PageItem(IDC_TKMENU_RESET_CONTEXT)));
  ChooseInCombo(combo, 2);
  ASSERT_NE(page->GetContextMenu(), nullptr);
  EXPECT_EQ(ItemIds(*page->GetContextMenu()), (std::vector<UINT>{ID_TEST_CUT, ID_TEST_PASTE, ID_TEST_COPY}));
  CRect again;
  ::GetWindowRect(page->GetContextMenu()->m_hWnd, &again);
  EXPECT_EQ(again.left, moved.left);
  EXPECT_EQ(again.top, moved.top);

  // Closing the sheet closes the popup; the program's own showing of the menu has
  // the user's items.
  ClickControl(::GetDlgItem(sheetHwnd, IDCANCEL));
  ASSERT_FALSE(::IsWindow(sheetHwnd));
  PumpAsTheProgram(200);
  EXPECT_EQ(CTKPopupMenu::GetActiveMenu(), nullptr);
  ASSERT_TRUE(menus.ShowPopupMenu(IDR_WAVE_CONTEXT_MENU, 100, 100, frame));
  ASSERT_NE(CTKPopupMenu::GetActiveMenu(), nullptr);
  EXPECT_EQ(ItemIds(*CTKPopupMenu::GetActiveMenu()),
            (std::vector<UINT>{ID_TEST_CUT, ID_TEST_PASTE, ID_TEST_COPY}));
  CTKPopupMenu::GetActiveMenu()->SendMessage(WM_CLOSE);
  PumpAsTheProgram(100);

  // Reset: No keeps the user's items, Yes brings back the resource's and tells the frame.
  Open();
  ClickTab(2);
  combo = PageItem(IDC_TKMENU_CONTEXT);
  ChooseInCombo(combo, 2);
  popup = sheet->GetMenuPage()->GetContextMenu();
  ASSERT_NE(popup, nullptr);
  struct Case {
    int answer;
    std::vector<UINT> ids;
    std::vector<UINT> resets;
  };
  const Case cases[] = {
      {IDNO, {ID_TEST_CUT, ID_TEST_PASTE, ID_TEST_COPY}, {}},
      {IDYES, {ID_TEST_CUT, ID_TEST_COPY}, {IDR_WAVE_CONTEXT_MENU}},
  };
  for (const Case& c : cases) {
    dialogtest::RecordedMessageBoxes boxes(c.answer);
    ClickControl(PageItem(IDC_TKMENU_RESET_CONTEXT));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "All your changes will be lost! Do you really want to reset the menu 'Waveform'?");
    ASSERT_EQ(sheet->GetMenuPage()->GetContextMenu(), popup);
    EXPECT_EQ(ItemIds(*popup), c.ids);
    EXPECT_EQ(frame->contextMenuResets, c.resets);
  }
  ClickControl(::GetDlgItem(sheetHwnd, IDCANCEL));
  ASSERT_FALSE(::IsWindow(sheetHwnd));
  ASSERT_TRUE(menus.ShowPopupMenu(IDR_WAVE_CONTEXT_MENU, 100, 100, frame));
  ASSERT_NE(CTKPopupMenu::GetActiveMenu(), nullptr);
  EXPECT_EQ(ItemIds(*CTKPopupMenu::GetActiveMenu()), (std::vector<UINT>{ID_TEST_CUT, ID_TEST_COPY}));
  CTKPopupMenu::GetActiveMenu()->SendMessage(WM_CLOSE);
  PumpAsTheProgram(100);
}

}  // namespace
