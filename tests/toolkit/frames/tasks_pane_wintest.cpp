// The tasks pane down the left of a frame: the history of visited pages walked with
// the navigation toolbar's Back, Forward and Home and the page list, task links that
// send their commands, group captions that collapse and expand their group with an
// animation, scrolling when the groups do not fit, and the pane in each look.
#include "toolkit/frames/pane_test_support.h"

#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/TKPopupMenuBar.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKTasksPane.h"

namespace {

using namespace panetest;

constexpr UINT kTasksPaneId = AFX_IDW_CONTROLBAR_FIRST + 72;
constexpr UINT kStart = 951, kOpenLog = 952, kImport = 953, kAmplify = 961, kNewItem = 971;

class TasksPaneFrame : public ::testing::Test {
protected:
  void TearDown() override {
    CTKVisualManager::SelectLookClass(nullptr);
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    pane.reset();
  }
  // Page 0 with two groups; with pages, "Effects" and "Schedule" as well.
  void Build(int frameHeight, bool pages) {
    frame = MakeFrame("Tasks pane", CRect(40, 40, 640, 40 + frameHeight));
    ASSERT_TRUE(frame);
    frameHwnd = frame->m_hWnd;
    pane = std::make_unique<CTKTasksPane>();
    ASSERT_TRUE(pane->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_LEFT, kTasksPaneId));
    const int recording = pane->AddGroup(0, "Recording");
    ASSERT_EQ(pane->AddTask(recording, "Start recording", -1, kStart), 0);
    ASSERT_EQ(pane->AddTask(recording, "Open the recording log", -1, kOpenLog), 1);
    ASSERT_EQ(pane->AddTask(recording, "Nothing to click here"), 2);
    const int files = pane->AddGroup(0, "Files");
    ASSERT_EQ(pane->AddTask(files, "Import a file", -1, kImport), 0);
    if (pages) {
      ASSERT_EQ(pane->AddPage("Effects"), 1);
      ASSERT_EQ(pane->AddPage("Schedule"), 2);
      pane->AddTask(pane->AddGroup(1, "Effects"), "Amplify", -1, kAmplify);
      pane->AddTask(pane->AddGroup(2, "Schedule"), "New item", -1, kNewItem);
    }
    ShowFrame(frame);
  }
  CRect TaskRect(int group, int task) const { return pane->GetTask(group, task)->m_rect; }
  void ClickNavigation(UINT command) {
    CTasksPaneToolBar& bar = pane->GetNavigationToolBar();
    CRect rect;
    bar.GetItemRect(bar.CommandToIndex(command), &rect);
    ClickAt(CentreOn(bar, rect));
  }
  BOOL NavigationEnabled(UINT command) {
    CTasksPaneToolBar& bar = pane->GetNavigationToolBar();
    return !(bar.GetButtonStyle(bar.CommandToIndex(command)) & TBBS_DISABLED);
  }
  std::string WindowText() const {
    char text[128] = "";
    ::GetWindowTextA(pane->m_hWnd, text, sizeof text);
    return text;
  }

  RecordingFrame* frame = nullptr;
  HWND frameHwnd = nullptr;
  std::unique_ptr<CTKTasksPane> pane;
};

TEST_F(TasksPaneFrame, BackForwardAndHomeWalkTheHistoryOfVisitedPages) {
  Build(480, true);
  ASSERT_TRUE(pane->IsNavigationToolBarShown());
  EXPECT_EQ(WindowText(), "Tasks Pane");
  CTasksPaneToolBar& bar = pane->GetNavigationToolBar();
  const int listButton = bar.CommandToIndex(ID_TKTASKS_OTHER);
  EXPECT_EQ(std::string(bar.GetButtonText(listButton)), "Tasks Pane");

  pane->SetActivePage(1);
  pane->SetActivePage(2);
  EXPECT_EQ(pane->GetHistory(), (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(NavigationEnabled(ID_TKTASKS_BACK));
  EXPECT_FALSE(NavigationEnabled(ID_TKTASKS_FORWARD));
  EXPECT_EQ(std::string(bar.GetButtonText(listButton)), "Schedule");

  // Each step: the button pressed, then the page and which of Back and Forward
  // can be used.
  struct Step {
    UINT button;
    int page;
    bool back, forward;
  };
  const Step steps[] = {{ID_TKTASKS_BACK, 1, true, true},     {ID_TKTASKS_BACK, 0, false, true},
                        {ID_TKTASKS_BACK, 0, false, true},    {ID_TKTASKS_FORWARD, 1, true, true},
                        {ID_TKTASKS_FORWARD, 2, true, false}, {ID_TKTASKS_FORWARD, 2, true, false},
                        {ID_TKTASKS_HOME, 0, true, false}};
  for (const Step& step : steps) {
    ClickNavigation(step.button);
    EXPECT_EQ(pane->GetActivePage(), step.page) << step.button;
    EXPECT_EQ(NavigationEnabled(ID_TKTASKS_BACK), step.back) << step.button;
    EXPECT_EQ(NavigationEnabled(ID_TKTASKS_FORWARD), step.forward) << step.button;
    EXPECT_EQ(std::string(bar.GetButtonText(listButton)), std::string(pane->GetPageName(step.page)));
  }
  EXPECT_EQ(pane->GetHistory(), (std::vector<int>{0, 1, 2, 0}));
  // A page chosen after going back replaces the pages ahead.
  ClickNavigation(ID_TKTASKS_BACK);
  ClickNavigation(ID_TKTASKS_BACK);
  pane->SetActivePage(2);
  EXPECT_EQ(pane->GetHistory(), (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(NavigationEnabled(ID_TKTASKS_FORWARD));
  // A full history forgets its oldest page.
  pane->m_nMaxHistory = 3;
  pane->SetActivePage(0);
  EXPECT_EQ(pane->GetHistory(), (std::vector<int>{1, 2, 0}));
  EXPECT_EQ(pane->GetHistoryPosition(), 2);
  // Each page shows its own groups only.
  pane->SetActivePage(1);
  EXPECT_FALSE(pane->GetGroup(0)->m_rect.IsRectEmpty() && pane->GetGroup(2)->m_rect.IsRectEmpty());
  EXPECT_TRUE(pane->GetGroup(0)->m_rect.IsRectEmpty());
  EXPECT_FALSE(pane->GetGroup(2)->m_rect.IsRectEmpty());
}

TEST_F(TasksPaneFrame, TheArrowsOfBackAndForwardListThePagesThatWayAndThePickedOneIsReachedAtOnce) {
  Build(480, true);
  pane->SetActivePage(1);
  pane->SetActivePage(2);
  CTasksPaneToolBar& bar = pane->GetNavigationToolBar();
  // From Schedule: Back lists the pages behind, newest first; from the start page
  // again, Forward lists those ahead in order. The second entry is picked each time.
  struct Case {
    UINT button;
    std::vector<std::string> listed;
    int page;
  } cases[] = {{ID_TKTASKS_BACK, {"Effects", "Tasks Pane"}, 0},
               {ID_TKTASKS_FORWARD, {"Effects", "Schedule"}, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    auto* button = dynamic_cast<CTasksPaneHistoryButton*>(bar.GetButton(bar.CommandToIndex(c.button)));
    ASSERT_NE(button, nullptr);
    CRect rect;
    bar.GetItemRect(bar.CommandToIndex(c.button), &rect);
    ClickAt(ScreenPointOf(bar, CPoint(rect.right - 4, rect.CenterPoint().y)));  // the arrow
    ASSERT_TRUE(winetest::WaitUntil([&] { return button->GetPopupMenu() != nullptr; }, 3000));
    CTKPopupMenuBar* items = button->GetPopupMenu()->GetMenuBar();
    std::vector<std::string> listed;
    for (int i = 0; i < items->GetCount(); ++i) listed.push_back(std::string(items->GetButtonText(i)));
    EXPECT_EQ(listed, c.listed);
    CRect second;
    items->GetItemRect(1, &second);
    ClickAt(CentreOn(*items, second));
    EXPECT_EQ(pane->GetActivePage(), c.page);
    // Two steps along the same history, nothing added to it.
    EXPECT_EQ(pane->GetHistory(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(pane->GetHistoryPosition(), c.page);
  }
}

TEST_F(TasksPaneFrame, ThePageListOpensAMenuOfThePagesAndThePickedOneJoinsTheHistory) {
  Build(480, true);
  CTasksPaneToolBar& bar = pane->GetNavigationToolBar();
  CRect list;
  bar.GetItemRect(bar.CommandToIndex(ID_TKTASKS_OTHER), &list);
  // The menu: Tasks Pane (checked), Effects, Schedule; the third is picked.
  constexpr unsigned long kDown = 0xFF54, kReturn = 0xFF0D;
  ClickThenKeys(CentreOn(bar, list), {kDown, kDown, kDown, kReturn});
  EXPECT_EQ(pane->GetActivePage(), 2);
  EXPECT_EQ(pane->GetHistory(), (std::vector<int>{0, 2}));
  EXPECT_EQ(std::string(bar.GetButtonText(bar.CommandToIndex(ID_TKTASKS_OTHER))), "Schedule");
  // Escape closes the menu and leaves the page.
  ClickThenKeys(CentreOn(bar, list), {0xFF1B});
  EXPECT_EQ(pane->GetActivePage(), 2);
}

TEST_F(TasksPaneFrame, APaneOfOnePageHasNoNavigationAndIsNamedAfterItsPage) {
  Build(480, false);
  EXPECT_FALSE(pane->IsNavigationToolBarShown());
  EXPECT_FALSE(::IsWindowVisible(pane->GetNavigationToolBar().m_hWnd));
  EXPECT_EQ(WindowText(), "Tasks Pane");
  CRect client;
  pane->GetClientRect(&client);
  EXPECT_EQ(pane->GetGroup(0)->m_rect.top,
            client.top + CTKVisualManager::GetInstance()->m_tasksPaneMetrics[0]);
  // A second page brings the toolbar, above the groups.
  pane->AddPage("Effects");
  EXPECT_TRUE(::IsWindowVisible(pane->GetNavigationToolBar().m_hWnd));
  EXPECT_GT(pane->GetGroup(0)->m_rect.top, pane->GetNavigationToolBar().Height());
}

TEST_F(TasksPaneFrame, TaskLinksSendTheirCommandsAndCaptionsCollapseTheirGroup) {
  Build(480, false);
  ClickAt(CentreOn(*pane, TaskRect(0, 1)));
  ClickAt(CentreOn(*pane, TaskRect(1, 0)));
  ClickAt(CentreOn(*pane, TaskRect(0, 2)));  // a plain line sends nothing
  EXPECT_EQ(frame->commands, (std::vector<UINT>{kOpenLog, kImport}));

  // A click on the caption folds the group away in steps; the next group moves up.
  const CRect files = pane->GetGroup(1)->m_rect;
  const int full = pane->GetGroup(0)->m_rectGroup.Height();
  ClickAt(CentreOn(*pane, pane->GetGroup(0)->m_rect));
  std::vector<int> heights;
  winetest::WaitUntil(
      [&] {
        const int height = pane->GetGroup(0)->m_rectGroup.Height();
        if (heights.empty() || heights.back() != height) heights.push_back(height);
        return height == 0;
      },
      3000);
  EXPECT_TRUE(pane->GetGroup(0)->m_bIsCollapsed);
  ASSERT_FALSE(heights.empty());
  EXPECT_EQ(heights.back(), 0);
  EXPECT_LT(heights.front(), full);
  for (size_t i = 1; i < heights.size(); ++i) EXPECT_LT(heights[i], heights[i - 1]);
  EXPECT_TRUE(TaskRect(0, 0).IsRectEmpty());
  EXPECT_EQ(pane->GetGroup(1)->m_rect.top, files.top - full);
  // Where Start was is now nothing to click.
  frame->commands.clear();
  ClickAt(ScreenPointOf(*pane, POINT{files.CenterPoint().x, pane->GetGroup(0)->m_rect.bottom + 10}));
  EXPECT_TRUE(frame->commands.empty());

  // A second click unfolds it again, and its tasks work.
  ClickAt(CentreOn(*pane, pane->GetGroup(0)->m_rect));
  EXPECT_TRUE(winetest::WaitUntil([&] { return pane->GetGroup(0)->m_rectGroup.Height() == full; }, 3000));
  EXPECT_EQ(pane->GetGroup(1)->m_rect, files);
  ClickAt(CentreOn(*pane, TaskRect(0, 0)));
  EXPECT_EQ(frame->commands, std::vector<UINT>{kStart});
}

TEST_F(TasksPaneFrame, AScrollBarAppearsWhenTheGroupsDoNotFit) {
  Build(260, false);
  EXPECT_FALSE(pane->IsScrollBarShown());
  for (int i = 0; i < 12; ++i) pane->AddTask(1, "Another file", -1, kImport);
  PumpPendingMessages();
  ASSERT_TRUE(pane->IsScrollBarShown());
  HWND scroll = ::GetDlgItem(pane->m_hWnd, CTKTasksPane::kScrollBarId);
  CRect bar;
  ::GetWindowRect(scroll, &bar);
  const CRect first = TaskRect(0, 0);
  // The scroll bar's down arrow, clicked twice: two task lines up.
  const POINT down{bar.CenterPoint().x, bar.bottom - 5};
  ClickFromAnotherThread(down);
  ClickFromAnotherThread(down);
  EXPECT_EQ(pane->GetScrollPosition(), 2);
  EXPECT_EQ(TaskRect(0, 0).top, first.top - 2 * pane->GetTaskLineHeight());
  // To the end and back: the position stays within the range.
  pane->SendMessage(WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(scroll));
  const int last = pane->GetScrollPosition();
  EXPECT_GT(last, 2);
  pane->SendMessage(WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(scroll));
  EXPECT_EQ(pane->GetScrollPosition(), last);
  CRect client;
  pane->GetClientRect(&client);
  EXPECT_LT(TaskRect(1, 12).bottom, client.bottom);
  pane->SendMessage(WM_VSCROLL, SB_TOP, reinterpret_cast<LPARAM>(scroll));
  EXPECT_EQ(TaskRect(0, 0), first);
}

TEST_F(TasksPaneFrame, WithScrollButtonsThePointerRestingOnAScrollAreaScrollsTheGroups) {
  Build(260, false);
  pane->m_bUseScrollButtons = TRUE;
  for (int i = 0; i < 12; ++i) pane->AddTask(1, "Another file", -1, kImport);
  PumpPendingMessages();
  // No bar: a strip above and below the groups, which lie between them.
  EXPECT_FALSE(pane->IsScrollBarShown());
  const CRect up = pane->GetScrollUpArea(), down = pane->GetScrollDownArea();
  ASSERT_FALSE(up.IsRectEmpty());
  ASSERT_FALSE(down.IsRectEmpty());
  CRect client;
  pane->GetClientRect(&client);
  EXPECT_EQ(down.bottom, client.bottom);
  EXPECT_GE(pane->GetGroup(0)->m_rect.top, up.bottom);
  const int line = pane->GetTaskLineHeight();
  const CRect first = TaskRect(0, 0);

  // Resting on the lower strip scrolls line by line to the end and stops there;
  // resting on the upper one goes back to the top. Off the strips, it stops at once.
  EXPECT_TRUE(MoveMouseAndWait(CentreOn(*pane, down), true));
  EXPECT_TRUE(winetest::WaitUntil([&] { return pane->GetScrollPosition() >= 3; }, 5000));
  EXPECT_TRUE(MoveMouseAndWait(CentreOn(*pane, pane->GetGroup(1)->m_rect), true));
  PumpPendingMessages(300);
  const int stopped = pane->GetScrollPosition();
  PumpPendingMessages(300);
  EXPECT_EQ(pane->GetScrollPosition(), stopped);
  EXPECT_EQ(TaskRect(0, 0).top, first.top - stopped * line);
  EXPECT_TRUE(MoveMouseAndWait(CentreOn(*pane, down), true));
  int last = -1;
  EXPECT_TRUE(winetest::WaitUntil(
      [&] {
        const bool same = pane->GetScrollPosition() == last;
        last = pane->GetScrollPosition();
        PumpPendingMessages(200);
        return same && pane->GetScrollPosition() == last;
      },
      10000));
  EXPECT_LE(TaskRect(1, 12).bottom, down.top + line);
  EXPECT_TRUE(MoveMouseAndWait(CentreOn(*pane, up), true));
  EXPECT_TRUE(winetest::WaitUntil([&] { return pane->GetScrollPosition() == 0; }, 10000));
  EXPECT_EQ(TaskRect(0, 0), first);
}

TEST_F(TasksPaneFrame, EachLookPaintsCaptionsAndTaskLinks) {
  Build(480, true);
  for (const LookCase& look : AllLooks()) {
    ASSERT_TRUE(CTKVisualManager::SelectLookClass(look.cls));
    ::RedrawWindow(frameHwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPendingMessages();
    EXPECT_TRUE(SavePng(CaptureWindow(frameHwnd, false),
                        ScreenshotPath(std::string("tasks-pane-") + look.name + ".png")));
    CapturedImage image = CaptureWindow(pane->m_hWnd, true);
    ASSERT_FALSE(image.Empty());
    // Task links in the link colour; the plain line is not one.
    EXPECT_GT(CountColour(image, TaskRect(0, 0), GlobalData::Get().hotLinkText), 20) << look.name;
    EXPECT_EQ(CountColour(image, TaskRect(0, 2), GlobalData::Get().hotLinkText), 0) << look.name;
  }
}

}  // namespace
