// Customize mode: buttons moved, copied and removed by dragging them between two
// toolbars with the mouse (real OLE drag and drop), group separators made by
// dragging a button along its own bar, and menu items changed in their open popups.
#include "toolkit/bars/toolbar_test_support.h"

#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/frames/TKCommandManager.h"
#include "toolkit/frames/TKWorkspace.h"

namespace {

using namespace toolbartest;

TEST_F(ToolbarFrame, CustomizeModeMovesCopiesAndRemovesButtonsByDraggingThem) {
  struct Case {
    const char* what;
    bool ctrl;
    bool toDesktop;
    bool escape;
    std::vector<UINT> file, edit;
  };
  const Case cases[] = {
      {"move",
       false,
       false,
       false,
       {ID_TEST_NEW, 0, ID_TEST_SAVE, ID_TEST_PRINT},
       {ID_TEST_CUT, ID_TEST_OPEN, ID_TEST_COPY, ID_TEST_PASTE}},
      {"copy",
       true,
       false,
       false,
       {ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT},
       {ID_TEST_CUT, ID_TEST_OPEN, ID_TEST_COPY, ID_TEST_PASTE}},
      {"remove",
       false,
       true,
       false,
       {ID_TEST_NEW, 0, ID_TEST_SAVE, ID_TEST_PRINT},
       {ID_TEST_CUT, ID_TEST_COPY, ID_TEST_PASTE}},
      {"escape",
       false,
       false,
       true,
       {ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT},
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
    InputScript script = DragScript(CentreOf(*fileBar, 1), target);
    if (c.escape) script.steps.insert(script.steps.end() - 1, InputStep{InputStep::kEscape, target});
    RunDrag(script, c.ctrl);
    EXPECT_EQ(IdsOf(*fileBar), c.file) << c.what;
    EXPECT_EQ(IdsOf(*editBar), c.edit) << c.what;
    EXPECT_TRUE(frame->commands.empty()) << c.what << ": no command in customize mode";
    EXPECT_EQ(editBar->GetInsertionIndex(), -1) << c.what;
    // The dropped copy shows Open's green image on the edit bar.
    const int dropped = editBar->CommandToIndex(ID_TEST_OPEN);
    if (dropped >= 0) {
      PumpPendingMessages();
      CRect open;
      editBar->GetItemRect(dropped, &open);
      CapturedImage image = CaptureWindow(editBar->m_hWnd, true);
      ASSERT_FALSE(image.Empty());
      EXPECT_EQ(image.At(open.CenterPoint().x, open.CenterPoint().y), RGB(0, 160, 0)) << c.what;
    }
  }
}

TEST_F(ToolbarFrame, OutsideCustomizeModeNoBarTakesADraggedButton) {
  // Dragging a button normally is just a press that ends elsewhere.
  RunDrag(DragScript(CentreOf(*fileBar, 1), CentreOf(*editBar, 1)));
  EXPECT_EQ(IdsOf(*fileBar), (std::vector<UINT>{ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}));
  EXPECT_EQ(IdsOf(*editBar), (std::vector<UINT>{ID_TEST_CUT, ID_TEST_COPY, ID_TEST_PASTE}));
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(ToolbarFrame, DraggingAButtonAlongItsOwnBarStartsOrEndsAGroup) {
  ASSERT_TRUE(CTKToolBar::SetCustomizeMode(TRUE));
  struct Case {
    const char* what;
    int index;
    int dx;
    std::vector<UINT> ids;
  };
  const Case cases[] = {
      {"Open 6 to the right: a group starts",
       1,
       6,
       {ID_TEST_NEW, 0, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}},
      {"Open 6 to the left: the group ends",
       2,
       -6,
       {ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}},
      {"Open 5 to the right: too short", 1, 5, {ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}},
      {"Save 8 to the left: its group ends", 3, -8, {ID_TEST_NEW, ID_TEST_OPEN, ID_TEST_SAVE, ID_TEST_PRINT}},
  };
  for (const Case& c : cases) {
    const POINT from = CentreOf(*fileBar, c.index);
    RunDrag(DragScript(from, POINT{from.x + c.dx, from.y}));
    EXPECT_EQ(IdsOf(*fileBar), c.ids) << c.what;
    EXPECT_EQ(IdsOf(*editBar), (std::vector<UINT>{ID_TEST_CUT, ID_TEST_COPY, ID_TEST_PASTE})) << c.what;
  }
}

}  // namespace

TEST_F(ToolbarFrame, CustomizeModeContextMenuChangesTheButtonUnderTheMouse) {
  ASSERT_TRUE(CTKToolBar::SetCustomizeMode(TRUE));
  struct Case {
    const char* what;
    int index;
    unsigned long key;  // the item's access key
    std::vector<UINT> ids;
    UINT textOnly;  // the command whose button shows its text alone afterwards, if any
  };
  const Case cases[] = {
      {"Start Group on Open", 1, 's', {ID_TEST_NEW, 0, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}, 0},
      {"Start Group again on Open: the group ends",
       2,
       's',
       {ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT},
       0},
      {"Text on New", 0, 't', {ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}, ID_TEST_NEW},
      {"Image on New", 0, 'i', {ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE, ID_TEST_PRINT}, 0},
      {"Delete Print", 4, 'd', {ID_TEST_NEW, ID_TEST_OPEN, 0, ID_TEST_SAVE}, 0},
  };
  for (const Case& c : cases) {
    const POINT at = CentreOf(*fileBar, c.index);
    const LONG width = [&] {
      CRect rect;
      fileBar->GetItemRect(0, &rect);
      return rect.Width();
    }();
    InputScript script;
    script.steps = {{InputStep::kMove, at},
                    {InputStep::kRightClick, at},
                    {InputStep::kMenuShown, at},
                    {InputStep::kKey, at, c.key}};
    RunDrag(script);
    EXPECT_FALSE(::FindWindowA("#32768", nullptr) && ::IsWindowVisible(::FindWindowA("#32768", nullptr)))
        << c.what << ": the menu closed";
    EXPECT_EQ(IdsOf(*fileBar), c.ids) << c.what;
    const CTKToolbarButton* newButton = fileBar->GetButton(0);
    ASSERT_TRUE(newButton);
    EXPECT_EQ(bool(newButton->m_bText && !newButton->m_bImage), c.textOnly == ID_TEST_NEW) << c.what;
    // The text "New" needs more room than the image alone.
    CRect rect;
    fileBar->GetItemRect(0, &rect);
    if (c.textOnly == ID_TEST_NEW) EXPECT_GT(rect.Width(), width) << c.what;
    EXPECT_TRUE(frame->commands.empty()) << c.what << ": no command in customize mode";
  }
}

namespace {

// A frame with a menu bar above the toolbars, in customize mode.
class MenuCustomizeFrame : public ToolbarFrame {
protected:
  MenuCustomizeFrame() { menuId = IDR_CUSTOMIZE_MENU; }
  void SetUp() override {
    ToolbarFrame::SetUp();
    menuBar = std::make_unique<CTKMenuBar>();
    ASSERT_TRUE(menuBar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(frame->DockControlBar(menuBar.get(), AFX_IDW_DOCKBAR_TOP));
    frame->RecalcLayout();
    PumpPendingMessages();
    ASSERT_TRUE(CTKToolBar::SetCustomizeMode(TRUE));
  }
  void TearDown() override {
    if (CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu(); popup && popup->m_hWnd) popup->DestroyWindow();
    ToolbarFrame::TearDown();
    menuBar.reset();
    CTKPopupMenu::DeleteClosedMenus();
    GetCommandManager()->CommandsWithoutImages().RemoveAll();
  }
  // In customize mode a press waits for the mouse to move (a drag) or to come up (a
  // click), so the input comes from a thread of its own.
  void ClickWhileCustomizing(POINT at) {
    InputScript script;
    script.steps = {{InputStep::kMove, at}, {InputStep::kDown, at}, {InputStep::kUp, at}};
    RunDrag(script);
  }
  CTKPopupMenu* MenuOf(int title) const {
    auto* button = dynamic_cast<CTKToolbarMenuButton*>(menuBar->GetButton(title));
    return button ? button->GetPopupMenu() : nullptr;
  }
  // A title's popup, opened by a click on the title.
  CTKPopupMenu* OpenTitle(int index) {
    ClickWhileCustomizing(CentreOf(*menuBar, index));
    return MenuOf(index);
  }
  // A click on a popup's item: a sub-menu item opens its sub-menu.
  CTKPopupMenu* OpenSubMenu(CTKPopupMenu* popup, int index) {
    ClickWhileCustomizing(CentreOf(*popup->GetMenuBar(), index));
    CTKToolbarMenuButton* item = popup->GetMenuItem(index);
    return item ? item->GetPopupMenu() : nullptr;
  }
  static std::vector<std::string> TextsOf(const CTKToolBar& bar) {
    std::vector<std::string> texts;
    for (int i = 0; i < bar.GetCount(); ++i)
      texts.push_back(static_cast<const char*>(bar.GetButton(i)->m_strText));
    return texts;
  }
  // The pixels of the colour inside an item of the popup, as the popup shows.
  static int PixelsOf(CTKPopupMenu* popup, int item, COLORREF colour) {
    PumpPendingMessages();
    CTKPopupMenuBar* bar = popup->GetMenuBar();
    CapturedImage image = CaptureWindow(bar->m_hWnd, true);
    CRect rect;
    bar->GetItemRect(item, &rect);
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x) count += image.At(x, y) == colour;
    return count;
  }

  std::unique_ptr<CTKMenuBar> menuBar;
};

constexpr COLORREF kCopyColour = RGB(0, 180, 180);

// The state of a context-menu item while the menu shows (asked from the input
// thread; the menu window belongs to the test's thread, which is tracking it).
struct ShownItemState {
  bool enabled = false, checked = false;
};
ShownItemState ShownStateOf(UINT id) {
  HWND window = ::FindWindowA("#32768", nullptr);
  HMENU menu = window ? reinterpret_cast<HMENU>(::SendMessageA(window, MN_GETHMENU, 0, 0)) : nullptr;
  const UINT state = menu ? ::GetMenuState(menu, id, MF_BYCOMMAND) : (UINT)-1;
  if (state == (UINT)-1) return {};
  return {(state & (MF_GRAYED | MF_DISABLED)) == 0, (state & MF_CHECKED) != 0};
}

TEST_F(MenuCustomizeFrame, AClickOnATitleOpensOrClosesItsMenuAndSelectsTheTitle) {
  struct Case {
    const char* what;
    int title;  // the title clicked
    int open;   // the title whose menu shows afterwards (-1: none)
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"File opens", 0, 0, {"&New", "&Recent"}},
      {"File again closes", 0, -1, {}},
      {"Edit opens", 1, 1, {"Cu&t", "&Copy", "&Paste"}},
      {"File takes Edit's place", 0, 0, {"&New", "&Recent"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClickWhileCustomizing(CentreOf(*menuBar, c.title));
    for (int title = 0; title < 2; ++title) {
      CTKPopupMenu* popup = MenuOf(title);
      EXPECT_EQ(popup != nullptr, title == c.open) << title;
      if (popup && title == c.open) {
        EXPECT_TRUE(::IsWindowVisible(popup->m_hWnd));
        EXPECT_EQ(TextsOf(*popup->GetMenuBar()), c.items);
      }
    }
    EXPECT_EQ(menuBar->GetSelectedButton(), c.title);
    EXPECT_EQ(TextsOf(*menuBar), (std::vector<std::string>{"&File", "&Edit"})) << "a click moves no title";
    EXPECT_TRUE(frame->commands.empty());
  }
  // A title's access key opens its menu too, and the menu stays open.
  const POINT at = CentreOf(*menuBar, 0);
  constexpr unsigned long kAlt = 0xFFE9;
  InputScript keys;
  keys.steps = {{InputStep::kCall, at, 0, [] { XDisplayInput::Get().Key(kAlt, true); }},
                {InputStep::kKey, at, 'e'},
                {InputStep::kCall, at, 0, [] { XDisplayInput::Get().Key(kAlt, false); }}};
  RunDrag(keys);
  EXPECT_EQ(MenuOf(0), nullptr);
  EXPECT_NE(MenuOf(1), nullptr);
}

TEST_F(MenuCustomizeFrame, ADropInAMenuGoesToTheNearerEdgeOfTheItemUnderIt) {
  // Where the Edit menu shows (opened and closed again by clicks on its title).
  CTKPopupMenu* popup = OpenTitle(1);
  ASSERT_NE(popup, nullptr);
  CRect cut;
  popup->GetMenuBar()->GetItemRect(0, &cut);
  const POINT title = CentreOf(*menuBar, 1);
  const LONG lowerHalfOfCut = ScreenPointOf(*popup->GetMenuBar(), POINT{cut.left, cut.bottom - 3}).y;
  ClickWhileCustomizing(title);
  ASSERT_EQ(MenuOf(1), nullptr);

  // New (a button with its text: a menu takes no item without one) dragged onto the
  // title opens its menu, and down into the lower half of Cut it lands after Cut.
  fileBar->GetButton(0)->m_strText = "&New";
  InputScript script = DragScript(CentreOf(*fileBar, 0), title);
  script.steps.pop_back();
  for (int i = 1; i <= 10; ++i)
    script.steps.push_back({InputStep::kMove, POINT{title.x, title.y + (lowerHalfOfCut - title.y) * i / 10}});
  script.steps.push_back({InputStep::kUp, POINT{title.x, lowerHalfOfCut}});
  RunDrag(script);
  popup = MenuOf(1);
  ASSERT_NE(popup, nullptr);
  CTKPopupMenuBar* bar = popup->GetMenuBar();
  EXPECT_EQ(IdsOf(*bar), (std::vector<UINT>{ID_TEST_CUT, ID_TEST_NEW, ID_TEST_COPY, ID_TEST_PASTE}));
  EXPECT_TRUE(frame->commands.empty());

  // The marker: a line 6 pixels high across the item, centred on the edge.
  bar->GetItemRect(0, &cut);
  CRect last;
  bar->GetItemRect(3, &last);
  const LONG x = cut.CenterPoint().x;
  struct Case {
    const char* what;
    POINT point;
    int index;
    LONG edge;
  };
  const Case cases[] = {
      {"on the top edge of the first item", {x, cut.top}, 0, cut.top},
      {"in the upper half of the first item", {x, cut.top + 3}, 0, cut.top},
      {"in the lower half of the first item", {x, cut.bottom - 3}, 1, cut.bottom},
      {"in the lower half of the last item", {x, last.bottom - 3}, 4, last.bottom},
      {"below the last item", {x, last.bottom + 4}, 4, last.bottom},
  };
  for (const Case& c : cases) {
    CRect marker;
    EXPECT_EQ(bar->FindDropIndex(CPoint(c.point), marker), c.index) << c.what;
    EXPECT_EQ((std::vector<LONG>{marker.left, marker.top, marker.right, marker.bottom}),
              (std::vector<LONG>{cut.left, c.edge - 3, cut.right, c.edge + 3}))
        << c.what;
  }
  // An empty menu takes the drop as its first item.
  bar->RemoveAllButtons();
  CRect marker, client;
  bar->GetClientRect(&client);
  EXPECT_EQ(bar->FindDropIndex(CPoint(x, cut.bottom - 3), marker), 0);
  EXPECT_EQ(marker.Height(), 6);
  EXPECT_EQ(marker.Width(), client.Width());
}

TEST_F(MenuCustomizeFrame, AMenuItemShowsItsTextAloneOrWithItsImageAsChosenAndKeepsIt) {
  CWinApp app("MenuImages");
  app.SetRegistryKey("TarvelTest");
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\MenuImages");
  CTKPopupMenu* popup = OpenTitle(1);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(TextsOf(*popup->GetMenuBar()), (std::vector<std::string>{"Cu&t", "&Copy", "&Paste"}));
  EXPECT_GT(PixelsOf(popup, 0, kCutColour), 0);
  struct Case {
    const char* what;
    unsigned long key;  // the access key of the display choice taken
    bool textCheckedBefore;
    bool withoutImage;
  };
  const Case cases[] = {
      {"Text", 't', false, true},
      {"Image and Text", 'a', true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const POINT at = CentreOf(*popup->GetMenuBar(), 0);
    ShownItemState image, text, both;
    InputScript script;
    script.steps = {{InputStep::kMove, at},
                    {InputStep::kRightClick, at},
                    {InputStep::kMenuShown, at},
                    {InputStep::kCall, at, 0,
                     [&] {
                       image = ShownStateOf(ID_TKTOOLBAR_IMAGE);
                       text = ShownStateOf(ID_TKTOOLBAR_TEXT);
                       both = ShownStateOf(ID_TKTOOLBAR_IMAGE_AND_TEXT);
                     }},
                    {InputStep::kKey, at, c.key}};
    RunDrag(script);
    EXPECT_FALSE(image.enabled);
    EXPECT_TRUE(text.enabled);
    EXPECT_TRUE(both.enabled);
    EXPECT_EQ(text.checked, c.textCheckedBefore);
    EXPECT_EQ(both.checked, !c.textCheckedBefore);
    EXPECT_EQ(bool(GetCommandManager()->IsMenuItemWithoutImage(ID_TEST_CUT)), c.withoutImage);
    ASSERT_EQ(CTKPopupMenu::GetActiveMenu(), popup) << "the popup stays open";
    EXPECT_EQ(PixelsOf(popup, 0, kCutColour) > 0, !c.withoutImage);
    EXPECT_GT(PixelsOf(popup, 1, kCopyColour), 0) << "the other items keep their images";
    EXPECT_EQ(TextsOf(*popup->GetMenuBar()), (std::vector<std::string>{"Cu&t", "&Copy", "&Paste"}));
    EXPECT_TRUE(frame->commands.empty());

    // The choice is part of the stored state of the user interface.
    CTKWorkspace workspace;
    workspace.SetStateKeyName("Settings");
    ASSERT_TRUE(workspace.SaveState(nullptr, nullptr));
    GetCommandManager()->EnableMenuItemImage(ID_TEST_CUT, c.withoutImage);
    ASSERT_TRUE(workspace.LoadState(nullptr, nullptr));
    EXPECT_EQ(bool(GetCommandManager()->IsMenuItemWithoutImage(ID_TEST_CUT)), c.withoutImage);
    popup->GetMenuBar()->Invalidate();
    EXPECT_EQ(PixelsOf(popup, 0, kCutColour) > 0, !c.withoutImage);
  }
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\MenuImages");
}

TEST_F(MenuCustomizeFrame, AMenuTakesNoMoveOfTheTitleItOpensFrom) {
  struct Case {
    const char* what;
    bool intoSubMenu;
    bool ctrl;
    std::vector<std::string> titles;
    std::vector<std::string> items;  // the File popup's items afterwards (when File stays)
  };
  // Dropped where no menu takes it, a moved title leaves the bar, as off any bar.
  const Case cases[] = {
      {"moved into its popup", false, false, {"&Edit"}, {}},
      {"moved into a sub-menu of its popup", true, false, {"&Edit"}, {}},
      {"copied into its popup", false, true, {"&File", "&Edit"}, {"&File", "&New", "&Recent"}},
  };
  bool first = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!first) {
      TearDown();
      SetUp();
    }
    first = false;
    CTKPopupMenu* popup = OpenTitle(0);
    ASSERT_NE(popup, nullptr);
    CTKPopupMenu* target = c.intoSubMenu ? OpenSubMenu(popup, 1) : popup;
    ASSERT_NE(target, nullptr);
    // Onto the top of the target's first item: from the title out of the frame at once
    // (the menu bar beside the title would close the menu) and back along the target's
    // first row, so that no other item of the popup is crossed (which would close its
    // sub-menu). While the title rests there the target shows no insertion mark unless
    // it is a copy.
    CTKPopupMenuBar* targetBar = target->GetMenuBar();
    const HWND targetWindow = targetBar->m_hWnd;
    CRect item;
    targetBar->GetItemRect(0, &item);
    const POINT to = ScreenPointOf(*targetBar, POINT{item.CenterPoint().x, item.top + 3});
    const POINT from = CentreOf(*menuBar, 0);
    CRect window;
    ::GetWindowRect(frameHwnd, &window);
    const POINT outside{window.left - 30, to.y};
    InputScript script;
    script.steps = {{InputStep::kMove, from}, {InputStep::kDown, from}, {InputStep::kMove, outside}};
    for (int i = 1; i <= 10; ++i)
      script.steps.push_back({InputStep::kMove, POINT{outside.x + (to.x - outside.x) * i / 10, to.y}});
    bool targetShown = false;
    int markedIndex = -2;
    script.steps.push_back({InputStep::kCall, to, 0, [&] {
                              targetShown = ::IsWindow(targetWindow) && ::IsWindowVisible(targetWindow);
                              if (targetShown) markedIndex = targetBar->GetInsertionIndex();
                            }});
    script.steps.push_back({InputStep::kUp, to});
    RunDrag(script, c.ctrl);
    EXPECT_TRUE(targetShown);
    EXPECT_EQ(markedIndex, c.ctrl ? 0 : -1);
    EXPECT_EQ(TextsOf(*menuBar), c.titles);
    EXPECT_TRUE(frame->commands.empty());
    if (c.items.empty()) {
      EXPECT_EQ(CTKPopupMenu::GetActiveMenu(), nullptr) << "the removed title's menu closed";
      continue;
    }
    CTKPopupMenu* open = dynamic_cast<CTKToolbarMenuButton*>(menuBar->GetButton(0))->GetPopupMenu();
    if (!open) open = OpenTitle(0);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(TextsOf(*open->GetMenuBar()), c.items);
  }
}

}  // namespace
