// The outlook bar docked down the left of a frame: its page buttons stacked around
// the active page, the slide of a page button when the user picks its page, the
// large buttons of the active page sending their commands, scrolling through buttons
// that do not fit, and the bar in each look.
#include "toolkit/frames/pane_test_support.h"

#include "support/wine/DialogTestSupport.h"
#include "toolkit/bars/keyboard_input_support.h"
#include "toolkit/frames/TKPropertySheet.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKOutlookBar.h"
#include "toolkit/frames/TKOutlookButton.h"
#include "toolkit/frames/TKWorkspace.h"
#include "toolkit/frames/panes_test_resource.h"

namespace {

using namespace panetest;

constexpr UINT kOutlookBarId = AFX_IDW_CONTROLBAR_FIRST + 71;
constexpr UINT kRecordings = 1, kSchedule = 2, kLog = 3;
constexpr COLORREF kColours[] = {RGB(200, 30, 30), RGB(30, 160, 30), RGB(30, 30, 200), RGB(200, 160, 0)};

// Remembers where the page button it watches was each time the button area was
// painted, which the slide does at every step.
class WatchedOutlookBar : public CTKOutlookBar {
public:
  UINT watchedPage = 0;
  std::vector<int> watchedTops;
  std::vector<UINT> activations;

  void OnActivatePage() override { activations.push_back(GetActivePage()); }

  void OnFillButtonArea(CDC* dc, CRect rect) override {
    if (CTKOutlookBarPage* page = FindPage(watchedPage); page && page->m_pButton) {
      CRect now;
      page->m_pButton->GetWindowRect(&now);
      ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
      if (watchedTops.empty() || watchedTops.back() != now.top) watchedTops.push_back(now.top);
    }
    CTKOutlookBar::OnFillButtonArea(dc, rect);
  }
};

class OutlookBarFrame : public ::testing::Test {
protected:
  void SetUp() override {
    for (COLORREF colour : kColours) icons.push_back(SolidIcon(colour, 32));
  }
  void TearDown() override {
    CTKToolBar::SetCustomizeMode(FALSE);
    CTKVisualManager::SelectLookClass(nullptr);
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    bar.reset();
    for (HICON icon : icons) ::DestroyIcon(icon);
  }
  // A frame with the bar down its left side; pages when asked for.
  void Build(int frameHeight, bool pages, DWORD extraStyle = 0) {
    frame = MakeFrame("Outlook bar", CRect(40, 40, 640, 40 + frameHeight));
    ASSERT_TRUE(frame);
    frameHwnd = frame->m_hWnd;
    bar = std::make_unique<WatchedOutlookBar>();
    ASSERT_TRUE(bar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_LEFT | extraStyle, kOutlookBarId));
    if (pages) {
      ASSERT_TRUE(bar->AddPage(kRecordings, "Recordings"));
      ASSERT_TRUE(bar->AddPage(kSchedule, "Schedule"));
      ASSERT_TRUE(bar->AddPage(kLog, "Log"));
      ASSERT_TRUE(bar->AddButton(icons[0], "New recording", 901, kRecordings));
      ASSERT_TRUE(bar->AddButton(icons[1], "Open folder", 902, kRecordings));
      ASSERT_TRUE(bar->AddButton(icons[2], "Timetable", 911, kSchedule));
      ASSERT_TRUE(bar->AddButton(icons[3], "Recording log", 921, kLog));
      ASSERT_TRUE(bar->AddButton(icons[0], "Player", 922, kLog));
    }
    ShowFrame(frame);
  }
  CRect ButtonRect(UINT command) const {
    const int index = bar->CommandToIndex(command);
    return index < 0 ? CRect() : bar->GetButton(index)->m_rect;
  }

  std::vector<HICON> icons;
  RecordingFrame* frame = nullptr;
  HWND frameHwnd = nullptr;
  std::unique_ptr<WatchedOutlookBar> bar;
};

TEST_F(OutlookBarFrame, PageButtonsStackAboveAndBelowTheActivePageAndOnlyItsButtonsAreLaidOut) {
  Build(480, true);
  CRect client, window;
  ::GetClientRect(frameHwnd, &client);
  bar->GetWindowRect(&window);
  EXPECT_EQ(window.Width(), 2 * (2 * 32 + 6));  // the default width for 32-pixel images
  EXPECT_EQ(window.Height(), client.Height());

  // The first page added is active; Schedule becomes active without a slide.
  EXPECT_EQ(bar->GetActivePage(), kRecordings);
  bar->SetActivePage(kSchedule, FALSE);
  EXPECT_EQ(bar->GetActivePage(), kSchedule);
  const int height = bar->PageButtonHeight();
  const CRect area = bar->GetButtonArea();
  const CRect recordings = bar->GetPageButtonRect(kRecordings), schedule = bar->GetPageButtonRect(kSchedule),
              log = bar->GetPageButtonRect(kLog);
  EXPECT_EQ(recordings.Height(), height);
  EXPECT_EQ(schedule.top, recordings.bottom);
  EXPECT_EQ(area.top, schedule.bottom);
  EXPECT_EQ(log.top, area.bottom);
  CRect inside;
  bar->GetClientRect(&inside);
  EXPECT_EQ(log.bottom, inside.bottom - 2);

  // Only Schedule's button has a place, centred in the button area.
  const CRect timetable = ButtonRect(911);
  EXPECT_TRUE(area.PtInRect(timetable.TopLeft()));
  EXPECT_NEAR(timetable.CenterPoint().x, area.CenterPoint().x, 1);
  for (UINT other : {901u, 902u, 921u, 922u}) EXPECT_EQ(ButtonRect(other), CRect(-1, -1, -1, -1)) << other;

  // Names: renaming changes the page button's text; absent pages have none.
  EXPECT_STREQ(bar->GetPageName(kLog), "Log");
  EXPECT_TRUE(bar->SetPageName(kLog, "History"));
  CString text;
  bar->FindPage(kLog)->m_pButton->GetWindowText(text);
  EXPECT_STREQ(static_cast<const char*>(text), "History");
  EXPECT_EQ(bar->GetPageName(77), nullptr);
}

TEST_F(OutlookBarFrame, ClickingAPageButtonSlidesItIntoPlaceAndShowsThatPagesButtons) {
  Build(480, true);
  bar->SetActivePage(kSchedule, FALSE);
  PumpPendingMessages();
  const CRect logBefore = bar->GetPageButtonRect(kLog);
  const CRect scheduleRect = bar->GetPageButtonRect(kSchedule);
  bar->watchedPage = kLog;
  bar->watchedTops.clear();

  ClickAt(CentreOn(*bar, logBefore));
  EXPECT_EQ(bar->GetActivePage(), kLog);
  // Log's button now sits under Schedule's, and it got there in steps of one
  // page-button height, each painted.
  const CRect logAfter = bar->GetPageButtonRect(kLog);
  EXPECT_EQ(logAfter.top, scheduleRect.bottom);
  ASSERT_GE(bar->watchedTops.size(), 3u);
  EXPECT_EQ(bar->watchedTops.back(), logAfter.top);
  for (size_t i = 1; i < bar->watchedTops.size(); ++i) {
    EXPECT_LT(bar->watchedTops[i], bar->watchedTops[i - 1]);
    EXPECT_LE(bar->watchedTops[i - 1] - bar->watchedTops[i], bar->PageButtonHeight());
  }
  EXPECT_EQ(ButtonRect(911), CRect(-1, -1, -1, -1));
  EXPECT_TRUE(bar->GetButtonArea().PtInRect(ButtonRect(921).TopLeft()));

  // Clicking the active page's button again changes nothing; without animation the
  // button jumps straight there.
  ClickAt(CentreOn(*bar, logAfter));
  EXPECT_EQ(bar->GetActivePage(), kLog);
  bar->m_bEnableAnimation = FALSE;
  bar->watchedPage = kRecordings;
  bar->watchedTops.clear();
  bar->SetActivePage(kRecordings, TRUE);
  PumpPendingMessages();
  EXPECT_EQ(bar->GetPageButtonRect(kSchedule).top, bar->GetButtonArea().bottom);
}

TEST_F(OutlookBarFrame, TheActivePagesButtonsSendTheirCommandsAndPagesRefuseWrongButtons) {
  Build(480, true);
  ClickAt(CentreOn(*bar, ButtonRect(902)));
  bar->SetActivePage(kLog, FALSE);
  PumpPendingMessages();
  ClickAt(CentreOn(*bar, ButtonRect(922)));
  EXPECT_EQ(frame->commands, (std::vector<UINT>{902, 922}));

  // Buttons go to the first page when none is named; not to an absent page nor to a
  // page that shows a window.
  HWND list =
      ::CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 10, 10, bar->m_hWnd, nullptr, nullptr, nullptr);
  ASSERT_TRUE(bar->AddPage(4, "Folders", list));
  ASSERT_TRUE(bar->AddButton(icons[1], "Anywhere", 930));
  EXPECT_EQ(static_cast<CTKOutlookButton*>(bar->GetButton(bar->CommandToIndex(930)))->m_dwPageID,
            kRecordings);
  EXPECT_FALSE(bar->AddButton(icons[1], "Nowhere", 931, 77));
  EXPECT_FALSE(bar->AddButton(icons[1], "Hidden", 932, 4));
  EXPECT_FALSE(bar->AddPage(kLog, "Again"));
  // The window page shows its window while active and hides it when left.
  bar->SetActivePage(4, FALSE);
  EXPECT_TRUE(::IsWindowVisible(list));
  bar->SetActivePage(kLog, FALSE);
  EXPECT_FALSE(::IsWindowVisible(list));
}

TEST_F(OutlookBarFrame, ScrollButtonsAppearWhileButtonsLieBeyondTheArea) {
  Build(300, false);
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(bar->AddButton(icons[i % 4], "Shortcut", 940 + i));
  PumpPendingMessages();
  // A bar without pages lays out all its buttons.
  for (int i = 0; i < 8; ++i) EXPECT_NE(ButtonRect(940 + i), CRect(-1, -1, -1, -1));
  EXPECT_FALSE(bar->IsScrollUpShown());
  ASSERT_TRUE(bar->IsScrollDownShown());

  CWnd* down = CWnd::FromHandle(::GetDlgItem(bar->m_hWnd, CTKOutlookBar::kScrollDownId));
  CRect downRect;
  down->GetClientRect(&downRect);
  int clicks = 0;
  while (bar->IsScrollDownShown() && clicks < 10) {
    ClickAt(CentreOn(*down, downRect));
    ++clicks;
  }
  // Scrolling stops when the last button is in view; the first ones scrolled away.
  EXPECT_FALSE(bar->IsScrollDownShown());
  EXPECT_GT(bar->GetFirstVisibleButton(), 0);
  EXPECT_EQ(bar->GetFirstVisibleButton(), clicks);
  EXPECT_LE(ButtonRect(947).bottom, bar->GetButtonArea().bottom);
  EXPECT_TRUE(bar->IsScrollUpShown());

  CWnd* up = CWnd::FromHandle(::GetDlgItem(bar->m_hWnd, CTKOutlookBar::kScrollUpId));
  CRect upRect;
  up->GetClientRect(&upRect);
  for (int i = 0; i < clicks && bar->IsScrollUpShown(); ++i) ClickAt(CentreOn(*up, upRect));
  EXPECT_EQ(bar->GetFirstVisibleButton(), 0);
  EXPECT_FALSE(bar->IsScrollUpShown());
  EXPECT_TRUE(bar->IsScrollDownShown());
  EXPECT_EQ(ButtonRect(940).top, bar->GetButtonArea().top + 4);
}

TEST_F(OutlookBarFrame, DraggingTheSplitterEdgeResizesTheBarInItsFrame) {
  Build(480, true);
  CRect before;
  bar->GetWindowRect(&before);
  CRect client;
  bar->GetClientRect(&client);
  // The edge on the free side of a bar docked left: its right, inside the frame line.
  const CRect splitter = bar->GetSplitterRect();
  ASSERT_FALSE(splitter.IsRectEmpty());
  EXPECT_EQ(splitter.right, client.right - 2);
  EXPECT_LE(bar->GetButtonArea().right, splitter.left);
  // Over it the pointer becomes the splitter cursor.
  const POINT grip = CentreOn(*bar, splitter);
  EXPECT_TRUE(MoveMouseAndWait(grip, true));
  PumpPendingMessages(100);
  EXPECT_EQ(::GetCursor(), GlobalData::Get().GetStretchCursor());

  // Dragged by the user to the right and back left: the bar follows, and so does what
  // its frame lays out beside it.
  struct Step {
    int dx;
    int expected;
  } steps[] = {{40, before.Width() + 40}, {-70, before.Width() - 30}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.dx);
    const POINT from = CentreOn(*bar, bar->GetSplitterRect());
    toolbartest::RunDrag(toolbartest::DragScript(from, POINT{from.x + step.dx, from.y}));
    CRect now;
    bar->GetWindowRect(&now);
    EXPECT_EQ(now.Width(), step.expected);
    EXPECT_EQ(now.left, before.left);
    EXPECT_FALSE(bar->IsResizing());
    EXPECT_EQ(::GetCapture(), nullptr);
    bar->GetClientRect(&client);
    EXPECT_EQ(bar->GetSplitterRect().right, client.right - 2);
  }
}

// A double click as the user makes it on a point of the screen.
void DoubleClickAt(POINT screen) {
  EXPECT_TRUE(MoveMouseAndWait(screen, true));
  toolbartest::PumpAsTheProgram(100);
  for (int i = 0; i < 2; ++i) {
    MouseButton(true);
    MouseButton(false);
  }
  toolbartest::PumpAsTheProgram(300);
}

TEST_F(OutlookBarFrame, APageIsRenamedInPlaceOverItsPageButton) {
  Build(480, true);
  bar->SetActivePage(kSchedule, FALSE);
  PumpPendingMessages();
  const CRect pageButton = bar->GetPageButtonRect(kSchedule);
  DoubleClickAt(CentreOn(*bar, pageButton));
  HWND edit = bar->GetRenameEdit();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(bar->GetRenamedPage(), kSchedule);
  // The edit lies over the page button, holding the name, all of it selected.
  CRect editRect;
  ::GetWindowRect(edit, &editRect);
  ::MapWindowPoints(nullptr, bar->m_hWnd, reinterpret_cast<POINT*>(&editRect), 2);
  EXPECT_EQ(editRect, pageButton);
  DWORD start = 0, end = 0;
  ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 8u);

  // Typing replaces the name; Enter applies it to the page and its button.
  toolbartest::TypeText("timers");
  toolbartest::PressKey(toolbartest::kKeyReturn);
  EXPECT_EQ(bar->GetRenameEdit(), nullptr);
  EXPECT_FALSE(::IsWindow(edit));
  EXPECT_STREQ(bar->GetPageName(kSchedule), "timers");
  CString text;
  bar->FindPage(kSchedule)->m_pButton->GetWindowText(text);
  EXPECT_STREQ(static_cast<const char*>(text), "timers");

  // An emptied name is refused and the edit stays; Esc leaves the name as it was; a
  // click elsewhere applies what was typed.
  struct Case {
    const char* typed;
    unsigned long key;  // 0: a click on the button area instead
    bool stillOpen;
    const char* name;
  } cases[] = {{"", toolbartest::kKeyReturn, true, "timers"},
               {"plans", toolbartest::kKeyEscape, false, "timers"},
               {"plans", 0, false, "plans"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    if (!bar->GetRenameEdit()) DoubleClickAt(CentreOn(*bar, pageButton));
    ASSERT_NE(bar->GetRenameEdit(), nullptr);
    ::SendMessageA(bar->GetRenameEdit(), EM_SETSEL, 0, -1);
    if (*c.typed)
      toolbartest::TypeText(c.typed);
    else
      toolbartest::PressKey(toolbartest::kKeyDelete);
    if (c.key) {
      toolbartest::PressKey(c.key);
    } else {
      toolbartest::ClickInWindow(bar->m_hWnd, bar->GetButtonArea().CenterPoint());
    }
    EXPECT_EQ(bar->GetRenameEdit() != nullptr, c.stillOpen);
    EXPECT_STREQ(bar->GetPageName(kSchedule), c.name);
  }
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(OutlookBarFrame, ThePagesAreStoredWithTheBarAndAResetBringsBackTheProgramsPages) {
  const char* const profile = "Software\\Tarvel Tests\\Outlook\\";
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Outlook");
  Build(480, true);
  CTKWorkspace workspace(TRUE);  // bars keep the program's original items
  ASSERT_TRUE(bar->SetPageName(kLog, "History"));
  ASSERT_TRUE(bar->SaveState(profile));
  // The program's pages are kept beside the user's.
  CString key;
  key.Format("Software\\Tarvel Tests\\Outlook\\TKToolBar-%u", kOutlookBarId);
  HKEY opened = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(::RegQueryValueExA(opened, "OriginalPages", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_GT(size, 0u);
  ::RegCloseKey(opened);

  // The bar the program builds next time, with its own pages or with a page more.
  struct Case {
    const char* name;
    bool extraPage;
    std::vector<std::string> pages;
  } cases[] = {{"same program", false, {"Recordings", "Schedule", "History"}},
               {"program with a new page", true, {"Recordings", "Schedule", "Log", "Markers"}}};
  UINT id = kOutlookBarId + 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTKOutlookBar later;
    ASSERT_TRUE(later.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_LEFT, id++));
    ASSERT_TRUE(later.AddPage(kRecordings, "Recordings"));
    ASSERT_TRUE(later.AddPage(kSchedule, "Schedule"));
    ASSERT_TRUE(later.AddPage(kLog, "Log"));
    if (c.extraPage) ASSERT_TRUE(later.AddPage(4, "Markers"));
    ASSERT_TRUE(later.AddButton(icons[0], "New recording", 901, kRecordings));
    ASSERT_TRUE(later.AddButton(icons[3], "Recording log", 921, kLog));
    ASSERT_TRUE(later.LoadState(profile, kOutlookBarId));
    std::vector<std::string> pages, buttons;
    for (POSITION pos = later.GetDefaultPages().GetHeadPosition(); pos;) {
      const UINT page = static_cast<CTKOutlookBarPage*>(later.GetDefaultPages().GetNext(pos))->m_nId;
      if (!later.GetPageName(page)) continue;
      pages.push_back(later.GetPageName(page));
      CString text;
      later.FindPage(page)->m_pButton->GetWindowText(text);
      buttons.push_back(static_cast<const char*>(text));
    }
    EXPECT_EQ(pages, c.pages);
    EXPECT_EQ(buttons, c.pages);  // what the user reads on the page buttons
    EXPECT_EQ(later.GetActivePage(), kRecordings);
    // The stored buttons kept their pages.
    ASSERT_EQ(later.GetCount(), 5);
    EXPECT_EQ(static_cast<CTKOutlookButton*>(later.GetButton(later.CommandToIndex(921)))->m_dwPageID, kLog);

    // A reset brings back the program's pages under their first names.
    later.SetActivePage(kLog, FALSE);
    ASSERT_TRUE(later.RestoreOriginalState());
    EXPECT_STREQ(later.GetPageName(kLog), "Log");
    EXPECT_EQ(later.GetActivePage(), kLog);
    EXPECT_EQ(later.GetPageCount(), c.extraPage ? 4 : 3);
    later.DestroyWindow();
  }
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Outlook");
}

TEST_F(OutlookBarFrame, TheNavigationPaneStacksPageButtonsAtTheBottomAndItsSplitterMovesPagesToTheStrip) {
  Build(480, true);
  bar->SetNavigationPaneMode();
  PumpPendingMessages();
  const int height = bar->PageButtonHeight();
  const CRect strip = bar->GetPageStripRect();
  ASSERT_FALSE(strip.IsRectEmpty());
  EXPECT_FALSE(bar->GetCaptionRect().IsRectEmpty());
  // Every page button, in order, right above the strip of small buttons, which is
  // empty; the splitter above them ends the button area; the active page is pressed.
  EXPECT_EQ(bar->GetVisiblePageButtons(), 3);
  EXPECT_EQ(bar->GetPageButtonRect(kLog).bottom, strip.top);
  EXPECT_EQ(bar->GetPageButtonRect(kSchedule).bottom, bar->GetPageButtonRect(kLog).top);
  EXPECT_EQ(bar->GetPageButtonRect(kRecordings).top, bar->GetPageSplitterRect().bottom);
  EXPECT_EQ(bar->GetButtonArea().bottom, bar->GetPageSplitterRect().top);
  EXPECT_TRUE(bar->FindPage(kRecordings)->m_pButton->IsShownActive());
  EXPECT_FALSE(bar->FindPage(kLog)->m_pButton->IsShownActive());
  EXPECT_EQ(bar->GetPageStripButton(kLog), nullptr);
  EXPECT_TRUE(bar->GetButtonArea().PtInRect(ButtonRect(901).TopLeft()));

  // The user drags the splitter down by two and a half page buttons: the last two
  // pages leave the stack for small buttons in the strip.
  const POINT grip = CentreOn(*bar, bar->GetPageSplitterRect());
  EXPECT_TRUE(MoveMouseAndWait(grip, true));
  PumpPendingMessages(100);
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, (LPCSTR)IDC_SIZENS));
  toolbartest::RunDrag(toolbartest::DragScript(grip, POINT{grip.x, grip.y + 2 * height + height / 2}));
  EXPECT_EQ(bar->GetVisiblePageButtons(), 1);
  EXPECT_NE(::GetCapture(), bar->m_hWnd);
  EXPECT_FALSE(::IsWindowVisible(bar->FindPage(kLog)->m_pButton->m_hWnd));
  EXPECT_EQ(bar->GetPageButtonRect(kRecordings).bottom, strip.top);
  for (UINT page : {kSchedule, kLog}) {
    HWND stripButton = bar->GetPageStripButton(page);
    ASSERT_NE(stripButton, nullptr) << page;
    EXPECT_TRUE(::IsWindowVisible(stripButton));
    CRect at;
    ::GetWindowRect(stripButton, &at);
    ::MapWindowPoints(nullptr, bar->m_hWnd, reinterpret_cast<POINT*>(&at), 2);
    EXPECT_TRUE(strip.PtInRect(at.CenterPoint())) << page;
  }
  // A click on Log's small button opens Log's page.
  CRect logSmall;
  ::GetClientRect(bar->GetPageStripButton(kLog), &logSmall);
  ClickAt(CentreOn(*CWnd::FromHandle(bar->GetPageStripButton(kLog)), logSmall));
  EXPECT_EQ(bar->GetActivePage(), kLog);
  EXPECT_TRUE(bar->GetButtonArea().PtInRect(ButtonRect(921).TopLeft()));
  EXPECT_EQ(ButtonRect(901), CRect(-1, -1, -1, -1));
  PumpPendingMessages();
  EXPECT_TRUE(SavePng(CaptureWindow(frameHwnd, false), ScreenshotPath("outlook-navigation-pane.png")));

  // Show more and show fewer, as the chevron's menu gives them, one page at a time
  // and never past none or all.
  struct Step {
    UINT command;
    int shown;
  } steps[] = {{CTKOutlookBar::kShowMoreButtons, 2},  {CTKOutlookBar::kShowMoreButtons, 3},
               {CTKOutlookBar::kShowMoreButtons, 3},  {CTKOutlookBar::kShowFewerButtons, 2},
               {CTKOutlookBar::kShowFewerButtons, 1}, {CTKOutlookBar::kShowFewerButtons, 0},
               {CTKOutlookBar::kShowFewerButtons, 0}};
  for (const Step& step : steps) {
    bar->SendMessage(WM_COMMAND, step.command);
    EXPECT_EQ(bar->GetVisiblePageButtons(), step.shown) << step.command;
  }
  EXPECT_NE(bar->GetPageStripButton(kRecordings), nullptr);
  // The same from the chevron's menu: Show More Buttons, then Show Fewer Buttons.
  CRect chevron;
  ::GetClientRect(bar->GetChevronButton(), &chevron);
  const POINT chevronAt = CentreOn(*CWnd::FromHandle(bar->GetChevronButton()), chevron);
  constexpr unsigned long kDown = 0xFF54, kReturn = 0xFF0D;
  ClickThenKeys(chevronAt, {kDown, kReturn});
  EXPECT_EQ(bar->GetVisiblePageButtons(), 1);
  ClickThenKeys(chevronAt, {kDown, kDown, kReturn});
  EXPECT_EQ(bar->GetVisiblePageButtons(), 0);
  // A short bar shows no more page buttons than fit.
  bar->SendMessage(WM_COMMAND, CTKOutlookBar::kShowMoreButtons);
  bar->SendMessage(WM_COMMAND, CTKOutlookBar::kShowMoreButtons);
  bar->SendMessage(WM_COMMAND, CTKOutlookBar::kShowMoreButtons);
  ::SetWindowPos(frameHwnd, nullptr, 0, 0, 600, 4 * height + 120, SWP_NOMOVE | SWP_NOZORDER);
  frame->RecalcLayout();
  PumpPendingMessages();
  EXPECT_LT(bar->GetVisiblePageButtons(), 3);
  EXPECT_EQ(bar->GetVisiblePageButtons(), bar->GetMaxVisiblePageButtons());
}

TEST_F(OutlookBarFrame, ACaptionStyleGivesACaptionStripNamingTheActivePage) {
  Build(480, true, WS_CAPTION);
  EXPECT_FALSE(bar->GetStyle() & WS_CAPTION) << "the window itself has no caption";
  const CRect caption = bar->GetCaptionRect();
  ASSERT_FALSE(caption.IsRectEmpty());
  EXPECT_EQ(caption.Height(), bar->PageButtonHeight() + 2);
  EXPECT_EQ(bar->GetPageButtonRect(kRecordings).top, caption.bottom);
  // The strip shows the page's name: different names, different pixels.
  auto strip = [&] {
    ::RedrawWindow(bar->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpPendingMessages();
    CapturedImage image = CaptureWindow(bar->m_hWnd, true);
    return CountColour(image, caption, GlobalData::Get().barText);
  };
  const int recordings = strip();
  EXPECT_GT(recordings, 10);
  bar->SetActivePage(kLog, FALSE);
  EXPECT_NE(strip(), recordings);

  // The close button at the right end of the strip hides the bar in its frame.
  HWND close = bar->GetCloseButton();
  ASSERT_TRUE(::IsWindowVisible(close));
  CRect closeRect;
  ::GetWindowRect(close, &closeRect);
  ::MapWindowPoints(nullptr, bar->m_hWnd, reinterpret_cast<POINT*>(&closeRect), 2);
  EXPECT_TRUE(caption.PtInRect(closeRect.TopLeft()));
  EXPECT_EQ(closeRect.right, caption.right - 2);
  ClickAt(CentreOn(*bar, closeRect));
  EXPECT_FALSE(::IsWindowVisible(bar->m_hWnd));
}

TEST_F(OutlookBarFrame, EachLookPaintsThePageButtonsAndTheActivePagesImages) {
  Build(480, true);
  bar->SetActivePage(kSchedule, FALSE);
  for (const LookCase& look : AllLooks()) {
    ASSERT_TRUE(CTKVisualManager::SelectLookClass(look.cls));
    ::RedrawWindow(frameHwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPendingMessages();
    EXPECT_TRUE(SavePng(CaptureWindow(frameHwnd, false),
                        ScreenshotPath(std::string("outlook-bar-") + look.name + ".png")));
    CapturedImage image = CaptureWindow(bar->m_hWnd, true);
    ASSERT_FALSE(image.Empty());
    // Timetable's blue image in the middle of its button's image area.
    const CRect timetable = ButtonRect(911);
    EXPECT_EQ(image.At(timetable.CenterPoint().x, timetable.top + 5 + 16), kColours[2]) << look.name;
    // The page buttons carry their names.
    EXPECT_GT(CountColour(image, bar->GetPageButtonRect(kLog), GlobalData::Get().buttonText), 5) << look.name;
  }
}

TEST_F(OutlookBarFrame, ABackImageIsTiledBehindTheButtonsUntilItIsRemoved) {
  Build(480, true);
  // A button whose command nobody handles: disabled.
  ASSERT_TRUE(bar->AddButton(icons[2], "Archive", 1200, kRecordings));
  const int archive = bar->CommandToIndex(1200);
  bar->SetButtonStyle(archive, bar->GetButtonStyle(archive) | TBBS_DISABLED);
  constexpr COLORREF kBlue = RGB(0, 128, 255), kYellow = RGB(255, 200, 0);
  const CRect area = bar->GetButtonArea();
  auto shot = [&] {
    ::RedrawWindow(bar->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPendingMessages();
    return CaptureWindow(bar->m_hWnd, true);
  };
  CapturedImage plain = shot();
  EXPECT_EQ(CountColour(plain, area, kBlue) + CountColour(plain, area, kYellow), 0);

  bar->SetBackImage(IDB_OUTLOOK_BACK);
  EXPECT_TRUE(bar->HasBackImage());
  CapturedImage tiled = shot();
  EXPECT_TRUE(SavePng(tiled, ScreenshotPath("outlook-back-image.png")));
  // The 16-pixel picture, blue then yellow, repeats from the area's top left corner,
  // behind the buttons, which stay on top.
  for (int tile : {0, 16, 32}) {
    EXPECT_EQ(tiled.At(area.left + tile + 1, area.top + 1), kBlue) << tile;
    EXPECT_EQ(tiled.At(area.left + tile + 9, area.top + 1), kYellow) << tile;
  }
  EXPECT_GT(CountColour(tiled, CRect(area.left, area.bottom - 16, area.right, area.bottom), kYellow), 100);
  const CRect recording = ButtonRect(901);
  EXPECT_EQ(tiled.At(recording.CenterPoint().x, recording.top + 5 + 16), kColours[0]);
  // On the picture labels are in the window text colour, a disabled one grey.
  auto label = [&](UINT command) {
    CRect rect = ButtonRect(command);
    rect.top += 5 + 32 + 7;
    return rect;
  };
  const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT), grey = ::GetSysColor(COLOR_GRAYTEXT);
  EXPECT_GT(CountColour(tiled, label(901), text), 5);
  EXPECT_GT(CountColour(tiled, label(1200), grey), 5);
  EXPECT_EQ(CountColour(tiled, label(1200), text), 0);

  // Removed, the plain background comes back.
  bar->SetBackImage(0);
  EXPECT_FALSE(bar->HasBackImage());
  CapturedImage again = shot();
  EXPECT_EQ(CountColour(again, area, kBlue) + CountColour(again, area, kYellow), 0);
  EXPECT_EQ(again.At(area.left + 1, area.top + 1), plain.At(area.left + 1, area.top + 1));
}

// The bar in customize mode, where its buttons are dragged by the user.
class OutlookBarCustomizing : public OutlookBarFrame {
protected:
  void SetUp() override {
    ASSERT_TRUE(AfxOleInit());
    OutlookBarFrame::SetUp();
  }
  void StartCustomizing() {
    ASSERT_TRUE(CTKToolBar::SetCustomizeMode(TRUE));
    PumpPendingMessages();
  }
  POINT At(const CRect& rect) const { return ScreenPointOf(*bar, rect.CenterPoint()); }
  // The user drags a button of the open page to a point of the bar; given a page, the
  // drag first rests on its page button (reached in one move) until that page opens.
  void DragButton(UINT command, UINT via, POINT drop) {
    using toolbartest::InputStep;
    const POINT from = At(ButtonRect(command));
    toolbartest::InputScript script;
    script.steps = {
        {InputStep::kMove, from}, {InputStep::kDown, from}, {InputStep::kMove, {from.x, from.y + 10}}};
    if (via) {
      const CRect area = bar->GetButtonArea();
      const POINT page = At(bar->GetPageButtonRect(via));
      script.steps.push_back(
          {InputStep::kMove, ScreenPointOf(*bar, POINT{area.CenterPoint().x, area.bottom - 30})});
      script.steps.push_back({InputStep::kMove, page});
      InputStep opened{InputStep::kWaitUntil, page};
      opened.until = [this, via] { return bar->GetActivePage() == via; };
      script.steps.push_back(opened);
    }
    const POINT to = ScreenPointOf(*bar, drop);
    script.steps.push_back({InputStep::kMove, POINT{to.x, to.y + 10}});
    script.steps.push_back({InputStep::kMove, to});
    script.steps.push_back({InputStep::kUp, to});
    toolbartest::RunDrag(script);
  }
  std::vector<UINT> PageOf(UINT page) const {
    std::vector<UINT> ids;
    for (int i = 0; i < bar->GetCount(); ++i)
      if (static_cast<CTKOutlookButton*>(bar->GetButton(i))->m_dwPageID == page)
        ids.push_back(bar->GetItemID(i));
    return ids;
  }
};

TEST_F(OutlookBarCustomizing, AButtonRestingOnAPageButtonOpensThatPageAndJoinsItWhenDropped) {
  Build(480, true);
  // Where Log's first button lies once Log is open.
  bar->SetActivePage(kLog, FALSE);
  const CRect logFirst = ButtonRect(921);
  bar->SetActivePage(kRecordings, FALSE);
  bar->activations.clear();
  StartCustomizing();

  // Open folder goes from Recordings onto Log's page button and rests there until Log
  // opens; then into the upper half of Log's first button.
  DragButton(902, kLog, POINT{logFirst.CenterPoint().x, logFirst.top + 4});

  // One tick of the hover timer opened Log, and nothing else opened on the way.
  EXPECT_EQ(bar->activations, std::vector<UINT>{kLog});
  EXPECT_EQ(bar->GetDragHoverPage(), (UINT)-1);
  // Moved, not copied: Open folder now belongs to Log, before Recording log.
  EXPECT_EQ(bar->GetCount(), 5);
  EXPECT_EQ(PageOf(kRecordings), std::vector<UINT>{901});
  EXPECT_EQ(PageOf(kLog), (std::vector<UINT>{902, 921, 922}));
  EXPECT_TRUE(bar->GetButtonArea().PtInRect(ButtonRect(902).TopLeft()));
  EXPECT_LE(ButtonRect(902).bottom, ButtonRect(921).top);
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(OutlookBarCustomizing, AButtonDroppedPastThePagesLastButtonOrOnAnEmptyPageGoesToItsEnd) {
  Build(480, true);
  ASSERT_TRUE(bar->AddPage(4, "Markers"));
  StartCustomizing();
  // A point of the button area below the buttons, whichever page is open.
  const POINT empty{bar->GetButtonArea().CenterPoint().x, bar->GetButtonArea().bottom - 10};
  struct Case {
    const char* what;
    UINT command, via;
    bool ontoItself;  // into its own lower half, else below the buttons
    std::vector<UINT> recordings, markers;
  } cases[] = {{"onto itself, which starts no group", 902, 0, true, {901, 902}, {}},
               {"past New recording, on its own page", 901, 0, false, {902, 901}, {}},
               {"onto the empty Markers page", 902, 4, false, {901}, {902}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bar->SetActivePage(kRecordings, FALSE);
    PumpPendingMessages();
    const CRect own = ButtonRect(c.command);
    DragButton(c.command, c.via, c.ontoItself ? POINT{own.CenterPoint().x, own.CenterPoint().y + 12} : empty);
    EXPECT_EQ(PageOf(kRecordings), c.recordings);
    EXPECT_EQ(PageOf(4), c.markers);
    EXPECT_EQ(bar->GetCount(), 5);
    EXPECT_EQ(bar->GetInsertionIndex(), -1);
  }
  EXPECT_EQ(bar->GetActivePage(), 4u);
  EXPECT_EQ(ButtonRect(902).top, bar->GetButtonArea().top + 4);
}

TEST_F(OutlookBarCustomizing, AButtonHeldBelowOrAboveTheButtonAreaScrollsThroughTheButtons) {
  Build(300, false);
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(bar->AddButton(icons[i % 4], "Shortcut", 940 + i));
  PumpPendingMessages();
  ASSERT_TRUE(bar->IsScrollDownShown());
  StartCustomizing();
  std::vector<UINT> before;
  for (int i = 0; i < bar->GetCount(); ++i) before.push_back(bar->GetItemID(i));

  // Held on the bar's lower edge, below the button area, the drag scrolls down a
  // button at a time until the last is in view; held on the upper edge, back up.
  using toolbartest::InputStep;
  CRect client;
  bar->GetClientRect(&client);
  const POINT from = At(ButtonRect(941));
  const POINT below = ScreenPointOf(*bar, POINT{client.CenterPoint().x, client.bottom - 1});
  const POINT above = ScreenPointOf(*bar, POINT{client.CenterPoint().x, client.top});
  int deepest = -1, lastBottom = 0, top = -1;
  InputStep down{InputStep::kWaitUntil, below};
  down.until = [&] {
    if (bar->IsScrollDownShown()) return false;
    deepest = bar->GetFirstVisibleButton();
    lastBottom = ButtonRect(947).bottom;
    return true;
  };
  InputStep up{InputStep::kWaitUntil, above};
  up.until = [&] {
    if (bar->GetFirstVisibleButton() != 0) return false;
    top = ButtonRect(940).top;
    return true;
  };
  toolbartest::InputScript script;
  script.steps = {{InputStep::kMove, from},
                  {InputStep::kDown, from},
                  {InputStep::kMove, POINT{from.x, from.y + 10}},
                  {InputStep::kMove, below},
                  down,
                  {InputStep::kMove, above},
                  up,
                  {InputStep::kEscape, above},
                  {InputStep::kUp, above}};
  toolbartest::RunDrag(script);

  EXPECT_GT(deepest, 0);
  EXPECT_LE(lastBottom, bar->GetButtonArea().bottom);
  EXPECT_EQ(top, bar->GetButtonArea().top + 4);
  EXPECT_EQ(bar->GetFirstVisibleButton(), 0);
  // Escape cancelled the drag: the buttons are as they were.
  std::vector<UINT> after;
  for (int i = 0; i < bar->GetCount(); ++i) after.push_back(bar->GetItemID(i));
  EXPECT_EQ(after, before);
}

TEST_F(OutlookBarCustomizing, AButtonsMenuOffersOnlyDelete) {
  Build(480, true);
  StartCustomizing();
  using toolbartest::InputStep;
  const POINT at = At(ButtonRect(902));
  std::vector<std::pair<UINT, bool>> items;
  InputStep read{InputStep::kWaitUntil, at};
  read.until = [&] {
    HWND menu = ::FindWindowA("#32768", nullptr);
    auto popup = reinterpret_cast<HMENU>(menu ? ::SendMessageA(menu, MN_GETHMENU, 0, 0) : 0);
    if (!popup) return false;
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
      const UINT id = ::GetMenuItemID(popup, i);
      if (id != 0 && id != (UINT)-1)
        items.emplace_back(id, !(::GetMenuState(popup, i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)));
    }
    return true;
  };
  toolbartest::InputScript script;
  script.steps = {{InputStep::kMove, at},
                  {InputStep::kRightClick, at},
                  {InputStep::kMenuShown, at},
                  read,
                  {InputStep::kKey, at, 'd'}};
  toolbartest::RunDrag(script);
  const std::vector<std::pair<UINT, bool>> expected = {{16910, false}, {16911, false}, {16912, true},
                                                       {16913, false}, {16914, false}, {16915, false},
                                                       {16916, false}, {16917, false}};
  EXPECT_EQ(items, expected);
  // Delete took Open folder off its page.
  EXPECT_EQ(bar->CommandToIndex(902), -1);
  EXPECT_EQ(PageOf(kRecordings), std::vector<UINT>{901});
}

TEST(OutlookBarSheet, ASheetWithTheOutlookLookOffersItsPagesAsButtonsDownTheLeft) {
  dialogtest::DialogTemplate pageTpl("", 150, 80, WS_CHILD | WS_CAPTION | DS_CONTROL);
  pageTpl.Edit(200, 10, 10);
  CTKPropertyPage first(pageTpl.Get(), "General"), second(pageTpl.Get(), "Devices"),
      third(pageTpl.Get(), "Folders");
  CTKPropertySheet sheet("Outlook sheet");
  sheet.AddPage(&first);
  sheet.AddPage(&second);
  sheet.AddPage(&third);
  sheet.SetLook(CTKPropertySheet::PropSheetLook_OutlookBar, 110);

  std::vector<std::string> labels;
  int activeAfterClick = -1;
  bool thirdRightOfBar = false, thirdChecked = false, secondCheckedAfter = false, thirdClearedAfter = false;
  dialogtest::DriveModal(
      "Outlook sheet",
      [&](HWND hwnd) {
        CTKOutlookBar* bar = sheet.GetNavigationOutlookBar();
        ASSERT_NE(bar, nullptr);
        for (int i = 0; i < bar->GetCount(); ++i) labels.push_back(std::string(bar->GetButtonText(i)));
        CRect barRect;
        bar->GetWindowRect(&barRect);
        EXPECT_EQ(barRect.Width(), 110);
        // The user clicks Folders' button: its page shows, right of the bar.
        const int folders = bar->CommandToIndex(CTKPropertySheet::kFirstPageCommand + 2);
        ClickAt(CentreOn(*bar, bar->GetButton(folders)->m_rect));
        activeAfterClick = sheet.GetActiveIndex();
        CRect page;
        if (third.m_hWnd) ::GetWindowRect(third.m_hWnd, &page);
        thirdRightOfBar = third.m_hWnd && ::IsWindowVisible(third.m_hWnd) && page.left >= barRect.right;
        thirdChecked = (bar->GetButtonStyle(folders) & TBBS_CHECKED) != 0;
        // Another page chosen otherwise moves the check along.
        sheet.SetActivePage(&second);
        secondCheckedAfter = (bar->GetButtonStyle(folders - 1) & TBBS_CHECKED) != 0;
        thirdClearedAfter = !(bar->GetButtonStyle(folders) & TBBS_CHECKED);
        ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
        PumpPendingMessages();
        SavePng(CaptureWindow(hwnd, false), ScreenshotPath("outlook-sheet.png"));
        sheet.PressButton(PSBTN_CANCEL);
      },
      [&] { sheet.DoModal(); });

  EXPECT_EQ(labels, (std::vector<std::string>{"General", "Devices", "Folders"}));
  EXPECT_EQ(activeAfterClick, 2);
  EXPECT_TRUE(thirdRightOfBar);
  EXPECT_TRUE(thirdChecked);
  EXPECT_TRUE(secondCheckedAfter);
  EXPECT_TRUE(thirdClearedAfter);
}

TEST(OutlookButton, StoredStateFromBeforeVersionFourSeventyOneLoadsItsButtonsOntoPageZero) {
  CTKOutlookButton button;
  button.m_nID = 950;
  button.m_strText = "Timetable";
  button.SetImage(2);
  button.m_dwPageID = kSchedule;
  auto roundTrip = [&]() {
    CMemFile file;
    {
      CArchive ar(&file, CArchive::store);
      ar.WriteObject(&button);
      ar.Close();
    }
    const ULONGLONG length = file.GetLength();
    file.Seek(0, CFile::begin);
    CArchive ar(&file, CArchive::load);
    std::unique_ptr<CTKOutlookButton> back(
        dynamic_cast<CTKOutlookButton*>(ar.ReadObject(RUNTIME_CLASS(CTKOutlookButton))));
    return std::make_pair(length, std::move(back));
  };
  // Without a workspace nothing of the page travels.
  auto [plainLength, plain] = roundTrip();
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->m_dwPageID, 0u);
  struct Case {
    int major, minor;
    bool pageStored;
  };
  const Case cases[] = {{4, 70, false}, {4, 71, true}, {5, 0, true}, {3, 99, false}, {-1, -1, true}};
  CTKWorkspace workspace;
  for (const Case& c : cases) {
    workspace.m_savedMajor = c.major;
    workspace.m_savedMinor = c.minor;
    auto [length, back] = roundTrip();
    ASSERT_TRUE(back) << c.major << "." << c.minor;
    EXPECT_EQ(back->m_nID, 950u);
    EXPECT_EQ(back->m_strText, "Timetable");
    EXPECT_EQ(back->GetImage(), 2);
    EXPECT_EQ(back->m_dwPageID, c.pageStored ? kSchedule : 0u) << c.major << "." << c.minor;
    EXPECT_GE(length, plainLength + (c.pageStored ? 4 : 0)) << c.major << "." << c.minor;
  }
}

}  // namespace
