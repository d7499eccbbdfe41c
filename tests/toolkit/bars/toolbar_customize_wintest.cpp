// Customize mode: buttons moved, copied and removed by dragging them between two
// toolbars with the mouse (real OLE drag and drop), and group separators made by
// dragging a button along its own bar.
#include "toolkit/bars/toolbar_test_support.h"

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
