// The toolkit frame with its bars: the layout of a status bar and a docked sizing bar,
// the status bar's panes and window text, sizing a bar by dragging its edge, and the
// bars painted through the current look.
#include "support/wine/GTestWin.h"

#include "support/wine/DialogTestSupport.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/frames/BarNcHelper.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKDialogBar.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKSizingControlBar.h"
#include "toolkit/frames/TKStatusBar.h"
#include "toolkit/frames/TKTabWnd.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKVisualManagerXP.h"
#include "toolkit/frames/TKWorkspace.h"

// Rectangles and sizes print as numbers in failure messages.
inline void PrintTo(const CRect& rect, std::ostream* out) {
  *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}
inline void PrintTo(const CSize& size, std::ostream* out) { *out << size.cx << " x " << size.cy; }

namespace {

constexpr UINT kSizingBarId = AFX_IDW_CONTROLBAR_FIRST + 40;

// A frame of 640 x 480 with a status bar and a sizing bar docked on the left. The
// frame deletes itself when its window goes.
class FrameFixture : public ::testing::Test {
protected:
  void SetUp() override {
    frame = new CTKFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW, CRect(20, 20, 660, 500)));
    frameHwnd = frame->m_hWnd;
    ASSERT_TRUE(status.Create(frame));
    const UINT indicators[] = {0, 0};
    ASSERT_TRUE(status.SetIndicators(indicators, 2));
    ASSERT_TRUE(sizing.Create("Levels", frame, CSize(150, 120), TRUE, kSizingBarId,
                              WS_CHILD | WS_VISIBLE | CBRS_LEFT));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(frame->DockControlBar(&sizing, AFX_IDW_DOCKBAR_LEFT));
    frame->ShowWindow(SW_SHOWNORMAL);
    frame->RecalcLayout();
    PumpPendingMessages();
  }
  void TearDown() override {
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
  }
  CRect ClientRectOf(CWnd& child) const {
    CRect rect;
    child.GetWindowRect(&rect);
    ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  CTKFrameWnd* frame = nullptr;
  HWND frameHwnd = nullptr;
  CTKStatusBar status;
  CTKSizingControlBar sizing;
};

TEST_F(FrameFixture, StatusBarAtTheBottomAndTheSizingBarDownTheLeftSide) {
  CRect client;
  ::GetClientRect(frameHwnd, &client);
  CRect bar = ClientRectOf(status);
  const int statusHeight = status.CalcFixedLayout(TRUE, TRUE).cy;
  EXPECT_GT(statusHeight, 10);
  EXPECT_EQ(bar, CRect(0, client.bottom - statusHeight, client.right, client.bottom));

  // The left side runs from the top to the status bar; the sizing bar shares its
  // length with no other bar, less the 2 pixels a vertical row keeps free.
  CWnd* leftSide = CWnd::FromHandlePermanent(::GetParent(sizing.m_hWnd));
  ASSERT_TRUE(leftSide);
  EXPECT_EQ(leftSide->GetDlgCtrlID(), AFX_IDW_DOCKBAR_LEFT);
  EXPECT_EQ(ClientRectOf(*leftSide), CRect(0, 0, 150, client.bottom - statusHeight));
  CRect side = ClientRectOf(sizing);
  EXPECT_EQ(side, CRect(0, 0, 150, client.bottom - statusHeight - 2));
  EXPECT_EQ(sizing.m_dockBarId, static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
  EXPECT_TRUE(sizing.IsDockedLeftRight());
  // Its client area: the border of 5 on every side, the caption strip at the top and
  // the sizing edge on the right, the only edge a bar docked on the left can drag.
  CRect inside;
  sizing.GetClientRect(&inside);
  EXPECT_EQ(inside.Width(), 150 - 10 - 6);
  EXPECT_EQ(inside.Height(), side.Height() - 10 - sizing.m_captionHeight);
  EXPECT_TRUE(sizing.CanSizeEdge(11));
  for (int code : {10, 12, 15}) EXPECT_FALSE(sizing.CanSizeEdge(code)) << code;

  // The edge answers the hit test; the middle of the bar is its client area.
  CRect window;
  sizing.GetWindowRect(&window);
  EXPECT_EQ(sizing.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window.right - 3, window.top + 100)), 11);
  EXPECT_EQ(sizing.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window.left + 60, window.top + 100)), HTCLIENT);
  EXPECT_EQ(sizing.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window.left + 20, window.top + 7)), HTCAPTION);
}

TEST_F(FrameFixture, SizingBarFollowsItsDraggedEdgeWithinItsLimits) {
  CRect window;
  sizing.GetWindowRect(&window);
  CRect client;
  ::GetClientRect(frameHwnd, &client);
  POINT edge{window.right - 3, window.top + 100};
  POINT start = edge;
  ::ScreenToClient(sizing.m_hWnd, &start);
  struct Drag {
    int dx;
    int expected;
  };
  // Wider, narrower, then far past the minimum (33) and past the free client area.
  const Drag drags[] = {{40, 190}, {-60, 130}, {-500, 33}, {2000, 150 + client.Width() - 150 - 4}};
  int width = 150;
  for (const Drag& drag : drags) {
    sizing.GetWindowRect(&window);
    edge = POINT{window.right - 3, window.top + 100};
    start = edge;
    ::ScreenToClient(sizing.m_hWnd, &start);
    sizing.SendMessage(WM_NCLBUTTONDOWN, 11, MAKELPARAM(edge.x, edge.y));
    EXPECT_TRUE(sizing.m_isDragging);
    EXPECT_EQ(::GetCapture(), sizing.m_hWnd);
    sizing.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start.x + drag.dx / 2, start.y));
    sizing.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start.x + drag.dx, start.y));
    sizing.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(start.x + drag.dx, start.y));
    EXPECT_FALSE(sizing.m_isDragging);
    EXPECT_NE(::GetCapture(), sizing.m_hWnd);
    int free = client.Width() - width;
    int expected = drag.dx >= 2000 ? width + free - 4 : drag.expected;
    EXPECT_EQ(sizing.m_dockedVertSize.cx, expected) << drag.dx;
    EXPECT_EQ(ClientRectOf(sizing).Width(), expected) << drag.dx;
    width = expected;
  }
  // A right button press ends a drag where it is.
  sizing.GetWindowRect(&window);
  edge = POINT{window.right - 3, window.top + 100};
  start = edge;
  ::ScreenToClient(sizing.m_hWnd, &start);
  sizing.SendMessage(WM_NCLBUTTONDOWN, 11, MAKELPARAM(edge.x, edge.y));
  sizing.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(start.x - 100, start.y));
  sizing.SendMessage(WM_RBUTTONDOWN, 0, MAKELPARAM(start.x - 100, start.y));
  EXPECT_FALSE(sizing.m_isDragging);
  EXPECT_EQ(sizing.m_dockedVertSize.cx, width - 100);
}

TEST_F(FrameFixture, StatusPanesShareTheBarAndAnswerTheWindowTextMessages) {
  CRect inside;
  status.GetClientRect(&inside);
  status.CalcInsideRect(inside, TRUE);
  // The first 0 id is the message pane: stretching and borderless; the second gets a
  // quarter of the screen's width.
  EXPECT_EQ(status.GetPaneStyle(0), static_cast<UINT>(SBPS_STRETCH | SBPS_NOBORDERS));
  EXPECT_EQ(status.GetPaneStyle(1), 0u);
  const int quarter = ::GetSystemMetrics(SM_CXSCREEN) / 4;
  CRect first, second;
  status.GetItemRect(0, &first);
  status.GetItemRect(1, &second);
  EXPECT_EQ(first.left, inside.left);
  EXPECT_EQ(second.left, first.right + 2);
  EXPECT_EQ(second.Width(), quarter + 4);
  // The message pane takes all the spare width, up to the size box at the end.
  ASSERT_TRUE(status.HasSizeBox());
  EXPECT_EQ(second.right, status.SizeBoxRect().left);
  EXPECT_EQ(status.SizeBoxRect().right, inside.right);

  // Pane widths set afterwards lay the panes out again.
  status.SetPaneInfo(1, 0, SBPS_POPOUT, 80);
  status.GetItemRect(1, &second);
  EXPECT_EQ(second.Width(), 84);
  EXPECT_EQ(status.GetPaneStyle(1), static_cast<UINT>(SBPS_POPOUT));

  // The window text is the message pane's text.
  EXPECT_EQ(status.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Recording")), 0);
  EXPECT_STREQ(status.GetPaneText(0), "Recording");
  EXPECT_EQ(status.SendMessage(WM_GETTEXTLENGTH), 9);
  char buffer[16];
  ::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(status.SendMessage(WM_GETTEXT, 9, reinterpret_cast<LPARAM>(buffer)), 9);
  EXPECT_STREQ(buffer, "Recordin");
  EXPECT_EQ(status.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(status.SendMessage(WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 10);
  EXPECT_STREQ(buffer, "Recording");
  EXPECT_TRUE(status.SetPaneText(1, "48 kHz"));
  EXPECT_STREQ(status.GetPaneText(1), "48 kHz");
  EXPECT_TRUE(status.SetPaneText(1, ""));
  EXPECT_STREQ(status.GetPaneText(1), "");
  // Out-of-range panes are ignored.
  EXPECT_FALSE(status.SetPaneText(7, "none"));
  EXPECT_EQ(status.GetPaneStyle(-1), 0u);
  EXPECT_EQ(status.CommandToIndex(4242), -1);

  // A pane whose string is missing ends the filling with false.
  const UINT missing[] = {0, 0xBEEF, 0};
  EXPECT_FALSE(status.SetIndicators(missing, 3));

  // A maximised frame has no size box and answers the corner with the default.
  frame->ShowWindow(SW_SHOWMAXIMIZED);
  PumpPendingMessages();
  EXPECT_FALSE(status.HasSizeBox());
  CRect box = status.SizeBoxRect();
  POINT corner{box.left + 2, box.top + 2};
  ::ClientToScreen(status.m_hWnd, &corner);
  EXPECT_NE(status.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);
  frame->ShowWindow(SW_SHOWNORMAL);
  PumpPendingMessages();
  EXPECT_TRUE(status.HasSizeBox());
  box = status.SizeBoxRect();
  corner = POINT{box.left + 2, box.top + 2};
  ::ClientToScreen(status.m_hWnd, &corner);
  EXPECT_EQ(status.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);
}

TEST_F(FrameFixture, PaneIconWidensThePaneAndStopsItsAnimation) {
  constexpr UINT kPaneId = 4242;
  status.SetPaneInfo(1, kPaneId, 0, 60);
  CRect before;
  status.GetItemRect(1, &before);
  // Three frames of 16 x 16, advanced by the pane's timer and wrapping round.
  HIMAGELIST frames = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 0);
  HICON icon =
      static_cast<HICON>(::LoadImageA(nullptr, (LPCSTR)IDI_APPLICATION, IMAGE_ICON, 16, 16, LR_SHARED));
  ASSERT_TRUE(icon);
  for (int i = 0; i < 3; ++i) ImageList_AddIcon(frames, icon);
  status.SetPaneAnimation(1, frames, 10000);
  ImageList_Destroy(frames);
  const TKStatusPane* pane = status.GetPane(1);
  EXPECT_EQ(pane->frameCount, 3);
  CRect animated;
  status.GetItemRect(1, &animated);
  EXPECT_EQ(animated.Width(), before.Width() + 16 + 4);
  for (int tick = 1; tick <= 4; ++tick) {
    status.SendMessage(WM_TIMER, kPaneId);
    EXPECT_EQ(pane->currentFrame, tick % 3) << tick;
  }
  // An icon replaces the animation and its timer.
  HICON big = ::LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION);
  status.SetPaneIcon(1, big);
  EXPECT_EQ(pane->frameCount, 0);
  EXPECT_FALSE(::KillTimer(status.m_hWnd, kPaneId));
  EXPECT_EQ(pane->iconWidth, ::GetSystemMetrics(SM_CXICON));
  status.SetPaneIcon(1, nullptr);
  CRect after;
  status.GetItemRect(1, &after);
  EXPECT_EQ(after.Width(), before.Width());
}

TEST_F(FrameFixture, DoubleClickOnAPaneSendsItsCommandToTheFrameOnceEnabled) {
  constexpr UINT kPaneId = 4243;
  status.SetPaneInfo(1, kPaneId, 0, 60);
  CRect pane;
  status.GetItemRect(1, &pane);
  PumpPendingMessages();
  auto doubleClickCommand = [&](POINT at) -> WPARAM {
    status.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    MSG msg{};
    return ::PeekMessageA(&msg, frameHwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE) ? msg.wParam : 0;
  };
  const POINT inside{pane.left + 3, pane.top + 3};
  EXPECT_EQ(doubleClickCommand(inside), 0u) << "off by default";
  status.EnablePaneDoubleClick(TRUE);
  EXPECT_EQ(doubleClickCommand(inside), kPaneId);
  EXPECT_EQ(doubleClickCommand(POINT{pane.left - 3, pane.top + 3}), 0u) << "the pane before has id 0";
}

TEST_F(FrameFixture, BarsPaintThroughTheCurrentLook) {
  status.SetPaneText(0, "Ready");
  status.SetPaneText(1, "00:00:12");
  status.SetPaneBackgroundColor(1, RGB(0, 160, 0));
  ::RedrawWindow(frameHwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPendingMessages();
  const GlobalData& gd = GlobalData::Get();

  CapturedImage bar = CaptureWindow(status.m_hWnd, true);
  ASSERT_FALSE(bar.Empty());
  CRect pane;
  status.GetItemRect(1, &pane);
  EXPECT_EQ(bar.At(pane.left + pane.Width() - 6, pane.top + 3), RGB(0, 160, 0));
  // The pane's sunken border: shadow at the top-left, highlight at the bottom-right.
  EXPECT_EQ(bar.At(pane.left + 5, pane.top), gd.barShadow);
  EXPECT_EQ(bar.At(pane.right - 1, pane.bottom - 2), gd.barHighlight);
  EXPECT_EQ(bar.At(1, 1), gd.barFace);

  CapturedImage side = CaptureWindow(sizing.m_hWnd, false);
  ASSERT_FALSE(side.Empty());
  // The sizing edge on the right, drawn as a raised frame inside the border.
  CRect window;
  sizing.GetWindowRect(&window);
  CRect edge = sizing.EdgeRectOf(CRect(0, 0, window.Width(), window.Height()), 11);
  EXPECT_EQ(side.At(edge.left, edge.top + 50), gd.barHighlight);
  EXPECT_EQ(side.At(edge.right - 1, edge.top + 50), gd.barDarkShadow);
  EXPECT_EQ(side.At(2, 60), gd.barFace);

  // Another look paints the bar background in its own colour.
  ASSERT_TRUE(CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTKVisualManagerXP)));
  ::RedrawWindow(frameHwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPendingMessages();
  auto* xpLook = static_cast<CTKVisualManagerXP*>(CTKVisualManager::GetInstance());
  CapturedImage xp = CaptureWindow(status.m_hWnd, true);
  // The flat look frames the pane in one colour all round.
  EXPECT_EQ(xp.At(pane.left + 5, pane.top), xpLook->m_statusPaneBorder);
  EXPECT_EQ(xp.At(pane.right - 1, pane.bottom - 2), xpLook->m_statusPaneBorder);
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  EXPECT_TRUE(SavePng(CaptureWindow(frameHwnd, false), TARVEL_TEST_BINARY_DIR "/screenshots/frame-bars.png"));
  CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTKVisualManager));
}

TEST_F(FrameFixture, DialogBarHostsItsTemplateAndKeepsItsSize) {
  // A control panel of two buttons and an edit, as a child-style template.
  dialogtest::DialogTemplate panel("", 160, 30, WS_CHILD | WS_VISIBLE);
  panel.Button(101, "Record", 4, 4).Button(102, "Stop", 58, 4).Edit(103, 4, 18);
  CTKDialogBar dialogBar;
  ASSERT_TRUE(dialogBar.CreateFromTemplate(frame, panel.Get(), AFX_IDW_CONTROLBAR_FIRST + 41));
  ASSERT_TRUE(frame->DockControlBar(&dialogBar, AFX_IDW_DOCKBAR_TOP));
  PumpPendingMessages();

  // The controls are the bar's children, and the template's size is in pixels.
  HWND record = ::GetDlgItem(dialogBar.m_hWnd, 101);
  ASSERT_TRUE(record);
  EXPECT_EQ(dialogtest::ItemText(dialogBar.m_hWnd, 102), "Stop");
  RECT units{0, 0, 160, 30};
  ::MapDialogRect(dialogBar.m_hWnd, &units);
  EXPECT_EQ(dialogBar.m_templateSize, CSize(units.right, units.bottom));

  // Docked at the top, sizing at its bottom edge: the template plus the border on
  // every side, the caption across and the edge below.
  EXPECT_TRUE(dialogBar.CanSizeEdge(15));
  const int caption = dialogBar.m_captionHeight;
  EXPECT_EQ(dialogBar.CalcFixedLayout(FALSE, TRUE), CSize(units.right + 10 + caption, units.bottom + 16));
  EXPECT_EQ(dialogBar.CalcFixedLayout(TRUE, TRUE), CSize(32767 + 10 + caption, units.bottom + 16));
  CRect place = ClientRectOf(dialogBar);
  CRect client;
  ::GetClientRect(frameHwnd, &client);
  // The top side runs across the frame; the bar keeps its own width on it.
  CWnd* topSide = CWnd::FromHandlePermanent(::GetParent(dialogBar.m_hWnd));
  ASSERT_TRUE(topSide);
  EXPECT_EQ(ClientRectOf(*topSide), CRect(0, 0, client.right, units.bottom + 16));
  EXPECT_EQ(place, CRect(0, 0, units.right + 10 + caption, units.bottom + 16));
  // The sizing bar on the left now starts below it.
  EXPECT_EQ(ClientRectOf(sizing).top, place.bottom);

  // The template of the worked example: 200 x 40 with the usual border, caption, edge.
  dialogBar.m_templateSize = CSize(200, 40);
  dialogBar.m_captionHeight = 12;
  EXPECT_EQ(dialogBar.CalcFixedLayout(FALSE, TRUE), CSize(222, 56));
  // With sizing allowed it is an ordinary sizing bar.
  dialogBar.m_allowSizing = TRUE;
  dialogBar.m_dockedHorzSize = CSize(300, 70);
  EXPECT_EQ(dialogBar.CalcFixedLayout(FALSE, TRUE), CSize(300, 70));
  dialogBar.m_allowSizing = FALSE;

  // Its background is the button face, under the controls.
  ::RedrawWindow(dialogBar.m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPendingMessages();
  CapturedImage image = CaptureWindow(dialogBar.m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  EXPECT_EQ(image.At(image.width - 3, image.height - 3), GlobalData::Get().buttonFace);
  dialogBar.DestroyWindow();
}

TEST_F(FrameFixture, SizingBarSizesAndFlagsRoundTripThroughTheProfile) {
  CWinApp app("SCBarTest");
  app.SetRegistryKey("TarvelTest");
  const CString keyPath = CString("Software\\TarvelTest\\SCBarTest\\") + sizing.StoredStateSection(nullptr);
  auto valueExists = [&](const char* name) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    bool found = ::RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return found;
  };
  sizing.m_dockedHorzSize = CSize(310, 90);
  sizing.m_dockedVertSize = CSize(170, 260);
  sizing.m_floatSize = CSize(220, 140);
  ASSERT_TRUE(sizing.WriteStoredState());
  EXPECT_TRUE(valueExists("sizeVertCX"));
  EXPECT_TRUE(valueExists("Expanded"));
  // Without a rolling type the rolled state is not stored.
  EXPECT_FALSE(valueExists("RolledFloat"));
  EXPECT_FALSE(valueExists("RolledFloatDynamicState"));

  CTKSizingControlBar other;
  other.m_rollingType = 0;
  ASSERT_TRUE(other.Create("Other", frame, CSize(50, 50), FALSE, kSizingBarId, WS_CHILD | CBRS_LEFT));
  ASSERT_TRUE(other.ReadStoredState());
  EXPECT_EQ(other.m_dockedHorzSize, CSize(310, 90));
  EXPECT_EQ(other.m_dockedVertSize, CSize(170, 260));
  EXPECT_EQ(other.m_floatSize, CSize(220, 140));
  EXPECT_FALSE(other.m_isExpanded);

  // A stored size below the minimum comes back as the minimum; a rolling type that
  // rolls by itself rolls the bar.
  app.WriteProfileInt(sizing.StoredStateSection(nullptr), "sizeVertCX", 10);
  sizing.m_rollingType = 4;
  sizing.m_isRolled = FALSE;
  ASSERT_TRUE(sizing.WriteStoredState());
  EXPECT_TRUE(valueExists("RolledFloatDynamicState"));
  ASSERT_TRUE(other.ReadStoredState());
  EXPECT_EQ(other.m_dockedVertSize.cx, 170);  // written again by the second save
  app.WriteProfileInt(sizing.StoredStateSection(nullptr), "sizeVertCX", 10);
  ASSERT_TRUE(other.ReadStoredState());
  EXPECT_EQ(other.m_dockedVertSize.cx, other.m_minSize.cx);
  EXPECT_EQ(other.m_rollingType, 4);
  EXPECT_TRUE(other.m_isRolled);
  other.DestroyWindow();
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\SCBarTest");
}

TEST_F(FrameFixture, SizingBarKeepsTheActiveTabOfItsOneTabWindow) {
  CWinApp app("SCBarTabs");
  app.SetRegistryKey("TarvelTest");
  const CString section = sizing.StoredStateSection(nullptr);
  auto makeTabs = [](CTKTabWnd& tabs, CWnd* parent, CWnd(&pages)[3]) {
    ASSERT_TRUE(tabs.Create(CTKTabWnd::STYLE_3D, CRect(0, 0, 140, 100), parent, 1));
    for (CWnd& page : pages) {
      ASSERT_TRUE(page.CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, tabs.m_hWnd, nullptr));
      tabs.AppendTab(&page, "page");
    }
  };
  CTKTabWnd tabs;
  CWnd pages[3];
  makeTabs(tabs, &sizing, pages);
  ASSERT_TRUE(tabs.SetActiveTab(2));
  ASSERT_TRUE(sizing.WriteStoredState());
  EXPECT_EQ(app.GetProfileInt(section, "ActiveTab", -1), 2u);

  // Read back, the tab window shows the stored tab again.
  ASSERT_TRUE(tabs.SetActiveTab(0));
  ASSERT_TRUE(sizing.ReadStoredState());
  EXPECT_EQ(tabs.GetActiveTab(), 2);
  EXPECT_EQ(tabs.GetActiveWnd(), &pages[2]);

  // A bar told not to keep it, and a bar with two tab windows (whose tab would it be?),
  // store none and leave their tabs alone.
  struct Case {
    const char* name;
    BOOL saveActiveTab;
    bool secondTabWindow;
  } cases[] = {{"not kept", FALSE, false}, {"two tab windows", TRUE, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\SCBarTabs");
    sizing.m_saveActiveTab = c.saveActiveTab;
    CTKTabWnd second;
    CWnd secondPages[3];
    if (c.secondTabWindow) makeTabs(second, &sizing, secondPages);
    ASSERT_TRUE(sizing.WriteStoredState());
    EXPECT_EQ(app.GetProfileInt(section, "ActiveTab", 99), 99u);
    app.WriteProfileInt(section, "ActiveTab", 1);
    ASSERT_TRUE(tabs.SetActiveTab(0));
    ASSERT_TRUE(sizing.ReadStoredState());
    EXPECT_EQ(tabs.GetActiveTab(), 0);
    if (second.m_hWnd) second.DestroyWindow();
  }
  sizing.m_saveActiveTab = TRUE;
  tabs.DestroyWindow();
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\SCBarTabs");
}

// A frame that records the bars' context-menu requests.
struct MenuRequestFrame : CTKFrameWnd {
  UINT popupMessage = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
  std::vector<std::pair<WPARAM, LPARAM>> requests;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == popupMessage) requests.emplace_back(wParam, lParam);
    return CTKFrameWnd::WindowProc(message, wParam, lParam);
  }
};

TEST(ToolkitFrame, SizingBarAsksItsFrameForTheContextMenuAndUserBarsAreDeleted) {
  auto* frame = new MenuRequestFrame;
  ASSERT_TRUE(frame->Create(nullptr, "Menus", WS_OVERLAPPEDWINDOW, CRect(0, 0, 400, 300)));
  HWND frameHwnd = frame->m_hWnd;
  frame->EnableDocking(CBRS_ALIGN_ANY);
  CTKSizingControlBar bar;
  ASSERT_TRUE(
      bar.Create("Bar", frame, CSize(100, 100), TRUE, kSizingBarId, WS_CHILD | WS_VISIBLE | CBRS_LEFT));
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
  POINT client{20, 30};
  POINT screen = client;
  ::ClientToScreen(bar.m_hWnd, &screen);
  bar.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(client.x, client.y));
  bar.SendMessage(WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(screen.x + 1, screen.y));
  ASSERT_EQ(frame->requests.size(), 2u);
  EXPECT_EQ(frame->requests[0].first, reinterpret_cast<WPARAM>(bar.m_hWnd));
  EXPECT_EQ(frame->requests[0].second, static_cast<LPARAM>((screen.y << 16) | (screen.x & 0xFFFF)));
  EXPECT_EQ(frame->requests[1].second, static_cast<LPARAM>((screen.y << 16) | ((screen.x + 1) & 0xFFFF)));
  // Nothing is asked while toolbars are being customised.
  g_toolbarsCustomizing = TRUE;
  bar.SendMessage(WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(screen.x, screen.y));
  g_toolbarsCustomizing = FALSE;
  EXPECT_EQ(frame->requests.size(), 2u);
  // Floating, the bar's frame asks for the menu from its caption, naming itself.
  bar.EnableDocking(CBRS_ALIGN_ANY);
  frame->FloatControlBar(&bar, CPoint(150, 150));
  CMiniDockFrameWnd* floating = CMiniDockFrameWnd::FrameOf(&bar);
  ASSERT_TRUE(floating);
  ::SendMessageA(floating->m_hWnd, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(160, 155));
  ASSERT_EQ(frame->requests.size(), 3u);
  EXPECT_EQ(frame->requests[2].first, reinterpret_cast<WPARAM>(floating->m_hWnd));
  EXPECT_EQ(frame->requests[2].second, static_cast<LPARAM>((155 << 16) | 160));
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);

  // Only a bar of the user-defined list is deleted on request.
  const UINT deleteMessage = ::RegisterWindowMessageA("TKTOOLBAR_DELETE");
  auto* userBar = new CWnd;
  ASSERT_TRUE(userBar->Create(AfxRegisterWndClass(0), "user", WS_CHILD, CRect(0, 0, 10, 10), frame, 201));
  HWND userHwnd = userBar->m_hWnd;
  frame->m_Impl.ReserveUserBarIds(200, 204);
  EXPECT_TRUE(frame->m_Impl.IsUserBarId(userBar));
  EXPECT_FALSE(frame->m_Impl.IsUserBarId(&bar));
  frame->m_Impl.AddUserBar(userBar);
  EXPECT_EQ(frame->m_Impl.FirstFreeUserBarId(), 200);
  EXPECT_FALSE(::SendMessageA(frameHwnd, deleteMessage, 0, reinterpret_cast<LPARAM>(&bar)));
  EXPECT_TRUE(::IsWindow(bar.m_hWnd));
  EXPECT_TRUE(::SendMessageA(frameHwnd, deleteMessage, 0, reinterpret_cast<LPARAM>(userBar)));
  EXPECT_FALSE(::IsWindow(userHwnd));
  EXPECT_EQ(frame->m_Impl.m_userBars.GetCount(), 0);
  ::DestroyWindow(frameHwnd);
}

// A sizing bar that refuses to be hidden from its caption.
struct KeptBar : CTKSizingControlBar {
  BOOL CanHideByCaption() override { return FALSE; }
};

TEST_F(FrameFixture, HideButtonHidesTheBarOnlyWhenTheBarAllowsIt) {
  KeptBar kept;
  ASSERT_TRUE(kept.Create("Kept", frame, CSize(120, 120), TRUE, kSizingBarId + 1,
                          WS_CHILD | WS_VISIBLE | CBRS_RIGHT));
  ASSERT_TRUE(frame->DockControlBar(&kept, AFX_IDW_DOCKBAR_RIGHT));
  // A view in the free part of the client area.
  HWND view =
      ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frameHwnd,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)), nullptr, nullptr);
  frame->RecalcLayout();
  CRect viewRect;
  ::GetWindowRect(view, &viewRect);
  ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&viewRect), 2);
  EXPECT_EQ(viewRect.left, 150);
  CTKSizingControlBar* bars[] = {&sizing, &kept};
  const bool hides[] = {true, false};
  for (int i = 0; i < 2; ++i) {
    CTKSizingControlBar& bar = *bars[i];
    ASSERT_FALSE(bar.m_captionButtons[0].hidden);
    // The expand button of a bar alone in its row is hidden.
    EXPECT_TRUE(bar.m_captionButtons[1].hidden);
    CRect square = bar.m_captionButtons[0].Square();
    CRect window;
    bar.GetWindowRect(&window);
    POINT screen{window.left + square.CenterPoint().x, window.top + square.CenterPoint().y};
    ASSERT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)), 19);
    bar.SendMessage(WM_NCLBUTTONDOWN, 19, MAKELPARAM(screen.x, screen.y));
    EXPECT_TRUE(bar.m_captionButtons[0].pushed);
    POINT client = screen;
    ::ScreenToClient(bar.m_hWnd, &client);
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    EXPECT_FALSE(bar.m_captionButtons[0].pushed);
    EXPECT_EQ(!bar.IsWindowVisible(), hides[i]) << i;
  }
  // The hidden bar's strip went to the view; the kept bar still borders it.
  ::GetWindowRect(view, &viewRect);
  ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&viewRect), 2);
  EXPECT_EQ(viewRect.left, 0);
  EXPECT_EQ(viewRect.right, ClientRectOf(kept).left);
  kept.DestroyWindow();
}

// A window that records the keys it gets (a popup menu as the frame sees it).
struct KeyRecorder : CWnd {
  std::vector<WPARAM> keys;
  int closes = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_KEYDOWN) keys.push_back(wParam);
    if (message == WM_CLOSE) {
      ++closes;
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

TEST_F(FrameFixture, AltAloneTogglesTheMenuBarFocusAndAnOpenPopupTakesTheKeys) {
  KeyRecorder menuBar;
  ASSERT_TRUE(
      menuBar.Create(AfxRegisterWndClass(0), "menu", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), frame, 77));
  frame->m_Impl.AttachMenuBar(&menuBar);
  ::SetForegroundWindow(frameHwnd);
  ::SetFocus(frameHwnd);
  MSG altUp{frameHwnd, WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xC0000001)};
  EXPECT_TRUE(frame->PreTranslateMessage(&altUp));
  EXPECT_EQ(::GetFocus(), menuBar.m_hWnd);
  EXPECT_TRUE(frame->PreTranslateMessage(&altUp));
  EXPECT_EQ(::GetFocus(), frameHwnd);
  // Alt still held (bit 29) moves nothing; other system keys go their way.
  MSG heldUp{frameHwnd, WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xE0000001)};
  EXPECT_TRUE(frame->PreTranslateMessage(&heldUp));
  EXPECT_EQ(::GetFocus(), frameHwnd);
  MSG otherUp{frameHwnd, WM_SYSKEYUP, 'X', static_cast<LPARAM>(0xC0000001)};
  EXPECT_FALSE(frame->PreTranslateMessage(&otherUp));

  // While a library popup is open it takes the keys, Alt closes it, and a plain F1
  // still reaches the frame.
  KeyRecorder popup;
  ASSERT_TRUE(popup.CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), "popup", WS_POPUP, 0, 0, 40, 40,
                             frameHwnd, nullptr));
  frame->NotifyPopupMenuOpen(&popup);
  EXPECT_EQ(CTKFrameWnd::OpenPopupMenu(), &popup);
  MSG down{frameHwnd, WM_KEYDOWN, VK_DOWN, 1};
  EXPECT_TRUE(frame->PreTranslateMessage(&down));
  MSG f1{frameHwnd, WM_KEYDOWN, VK_F1, 1};
  EXPECT_FALSE(frame->PreTranslateMessage(&f1));
  MSG altDown{frameHwnd, WM_SYSKEYDOWN, VK_MENU, 0x20000001};
  EXPECT_TRUE(frame->PreTranslateMessage(&altDown));
  EXPECT_EQ(popup.keys, std::vector<WPARAM>{VK_DOWN});
  EXPECT_EQ(popup.closes, 1);
  // The frame being activated leaves the popup open; losing the activation (here
  // while minimised) closes it.
  frame->SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, FALSE), 0);
  EXPECT_EQ(popup.closes, 1);
  frame->SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, TRUE), 0);
  EXPECT_EQ(popup.closes, 2);
  frame->OnMenuPopupClosed(&popup);
  EXPECT_EQ(CTKFrameWnd::OpenPopupMenu(), nullptr);
  EXPECT_FALSE(frame->PreTranslateMessage(&down));
  popup.DestroyWindow();
  menuBar.DestroyWindow();
}

// A bar 30 pixels high that leaves its non-client area to the helper and fills its
// client area with white.
struct NonClientBar : CTKBaseControlBar {
  BarNcHelper nc{this};
  CSize CalcFixedLayout(BOOL, BOOL) override { return CSize(32767, 30); }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_NCCALCSIZE:
        nc.ShrinkClientRect(reinterpret_cast<RECT*>(lParam));
        return 0;
      case WM_NCPAINT:
        nc.PaintNonClient(reinterpret_cast<HRGN>(wParam));
        return 0;
      case WM_ERASEBKGND: {
        CRect client;
        GetClientRect(&client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client,
                   static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        return TRUE;
      }
      default:
        return CTKBaseControlBar::WindowProc(message, wParam, lParam);
    }
  }
};

TEST_F(FrameFixture, BarNonClientAreaHoldsBordersAndGripperPaintedByTheLook) {
  NonClientBar bar;
  bar.SetBarStyle(CBRS_TOP | CBRS_GRIPPER);
  ASSERT_TRUE(bar.Create(AfxRegisterWndClass(0), "Tools", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), frame,
                         AFX_IDW_CONTROLBAR_FIRST + 42));
  ASSERT_TRUE(frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP));
  PumpPendingMessages();
  const GlobalData& gd = GlobalData::Get();

  // Horizontal insets: the gripper's room and the left border, the right border; the
  // bottom border line and the bar's own borders above and below.
  CRect window, client;
  bar.GetWindowRect(&window);
  bar.GetClientRect(&client);
  ::MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_EQ(window.Height(), 30);
  EXPECT_EQ(client.left - window.left, 14);
  EXPECT_EQ(window.right - client.right, 6);
  EXPECT_EQ(client.top - window.top, 1);
  EXPECT_EQ(window.bottom - client.bottom, 3);

  ::RedrawWindow(bar.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
  CapturedImage image = CaptureWindow(bar.m_hWnd, false);
  ASSERT_FALSE(image.Empty());
  // The gripper's ridge left of the client area, the bottom border line, the face.
  EXPECT_EQ(image.At(4, 12), gd.barHighlight);
  EXPECT_EQ(image.At(6, 12), gd.barShadow);
  EXPECT_EQ(image.At(40, 29), gd.barShadow);
  EXPECT_EQ(image.At(window.Width() - 3, 12), gd.barFace);
  EXPECT_EQ(image.At(40, 12), RGB(255, 255, 255));

  // Floating, the bar draws no gripper and keeps no room for it.
  bar.SetBarStyle(bar.m_dwStyle | CBRS_FLOATING);
  ::SetWindowPos(bar.m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  ::RedrawWindow(bar.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
  bar.GetClientRect(&client);
  ::MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_EQ(client.left - window.left, 6);
  image = CaptureWindow(bar.m_hWnd, false);
  EXPECT_EQ(image.At(4, 12), gd.barFace);
  bar.DestroyWindow();
}

// A workspace whose stored placement is given by the test, recording what the frame
// stores when it closes.
class PlacementWorkspace : public CTKWorkspace {
public:
  BOOL LoadWindowPlacement(RECT& rect, int& flags, int& showCmd) override {
    if (!hasStored) return FALSE;
    rect = storedRect;
    flags = 0;
    showCmd = storedShow;
    return TRUE;
  }
  BOOL StoreWindowPlacement(const RECT& rect, int, int showCmd) override {
    savedRect = rect;
    savedShow = showCmd;
    ++stores;
    return TRUE;
  }
  BOOL SaveStateOfFrame(FrameHelper* helper) override {
    savedHelper = helper;
    return TRUE;
  }
  bool hasStored = false;
  RECT storedRect{};
  int storedShow = SW_SHOWNORMAL;
  RECT savedRect{};
  int savedShow = -1;
  int stores = 0;
  FrameHelper* savedHelper = nullptr;
};

TEST(ToolkitFrame, StoredPlacementIsAppliedBeforeCreationAndStoredOnClose) {
  CWinApp app("Placement");
  PlacementWorkspace workspace;
  struct Case {
    const char* what;
    bool hasStored;
    RECT stored;
    int storedShow;
    int appShow;
    RECT expectedRect;
    int expectedShow;
  };
  const RECT asked{30, 40, 330, 240};
  const Case cases[] = {
      {"stored rectangle, minimised show command not restored",
       true,
       {100, 110, 520, 410},
       SW_SHOWMINIMIZED,
       SW_SHOWNORMAL,
       {100, 110, 520, 410},
       SW_SHOWNORMAL},
      {"rectangle off every work area ignored, maximised kept",
       true,
       {-9000, -9000, -8600, -8700},
       SW_SHOWMAXIMIZED,
       SW_SHOWNORMAL,
       asked,
       SW_SHOWMAXIMIZED},
      {"a minimised start wins over the stored command",
       true,
       {100, 110, 520, 410},
       SW_SHOWMAXIMIZED,
       SW_SHOWMINNOACTIVE,
       {100, 110, 520, 410},
       SW_SHOWMINNOACTIVE},
      {"nothing stored", false, {}, SW_SHOWNORMAL, SW_SHOWNORMAL, asked, SW_SHOWNORMAL},
  };
  for (const Case& c : cases) {
    workspace.hasStored = c.hasStored;
    workspace.storedRect = c.stored;
    workspace.storedShow = c.storedShow;
    app.m_nCmdShow = c.appShow;
    auto* frame = new CTKFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Placed", WS_OVERLAPPEDWINDOW, CRect(asked))) << c.what;
    HWND hwnd = frame->m_hWnd;
    CRect rect;
    ::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect, CRect(c.expectedRect)) << c.what;
    EXPECT_EQ(app.m_nCmdShow, c.expectedShow) << c.what;

    // Closing: hidden torn-off bars go first, then the frame's state and placement
    // are stored.
    auto* hiddenBar = new CWnd;
    ASSERT_TRUE(hiddenBar->CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), "torn", WS_POPUP, 0, 0, 50, 20,
                                    hwnd, nullptr));
    HWND hiddenHwnd = hiddenBar->m_hWnd;
    frame->m_Impl.RememberTearOffBar(hiddenBar);
    FrameHelper* helper = &frame->m_Impl;
    const int storesBefore = workspace.stores;
    ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hiddenHwnd)) << c.what;
    EXPECT_FALSE(::IsWindow(hwnd)) << c.what;
    EXPECT_EQ(workspace.savedHelper, helper) << c.what;
    ASSERT_EQ(workspace.stores, storesBefore + 1) << c.what;
    EXPECT_EQ(CRect(workspace.savedRect), rect) << c.what;
    EXPECT_EQ(workspace.savedShow, SW_SHOWNORMAL) << c.what;
  }
}

}  // namespace
