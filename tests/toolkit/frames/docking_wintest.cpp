// Docking the toolkit's bars with the mouse, as a user does it: a sizing bar dragged
// by its caption floats and comes back, docks on another side and shares a row with
// the bar there; where the bars are comes back from the registry in a new frame; the
// bars' controls and caption buttons follow the frame's command handlers and show
// their tooltips.
#include "support/wine/GTestWin.h"

#include "platform/afx/linux_headers_begin.h"
#include <vector>
#include "platform/afx/linux_headers_end.h"

#include "look_canvas.h"
#include "support/wine/DialogTestSupport.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/frames/TKDialogBar.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKMiniDockFrameWnd.h"
#include "toolkit/frames/TKSizingControlBar.h"
#include "toolkit/frames/TKStatusBar.h"
#include "toolkit/frames/TKToolDockBar.h"
#include "toolkit/frames/TKVisualManager.h"
#include "toolkit/frames/TKVisualManagerXP.h"
#include "toolkit/frames/TKWinXPVisualManager.h"
#include "toolkit/frames/TKWorkspace.h"

inline void PrintTo(const CRect& rect, std::ostream* out) {
  *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

namespace {

constexpr UINT kLevelsId = AFX_IDW_CONTROLBAR_FIRST + 40;
constexpr UINT kRulerId = AFX_IDW_CONTROLBAR_FIRST + 41;
constexpr UINT kMeterId = AFX_IDW_CONTROLBAR_FIRST + 42;

// --- The mouse, through the system's input queue ----------------------------------

INPUT MouseAt(POINT screen, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  // The smallest normalised value that lands on the pixel.
  input.mi.dx = static_cast<LONG>((screen.x * 65536 + cx - 1) / cx);
  input.mi.dy = static_cast<LONG>((screen.y * 65536 + cy - 1) / cy);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

// Presses the left button at from, moves in steps to to, and lets go there; the
// windows handle it all before this returns.
void Drag(POINT from, POINT to, int steps = 6) {
  std::vector<INPUT> inputs;
  inputs.push_back(MouseAt(from, 0));
  inputs.push_back(MouseAt(from, MOUSEEVENTF_LEFTDOWN));
  for (int i = 1; i <= steps; ++i)
    inputs.push_back(
        MouseAt(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}, 0));
  inputs.push_back(MouseAt(to, MOUSEEVENTF_LEFTUP));
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  PumpPendingMessages(300);
}

void DoubleClick(POINT at) {
  INPUT inputs[] = {MouseAt(at, 0), MouseAt(at, MOUSEEVENTF_LEFTDOWN), MouseAt(at, MOUSEEVENTF_LEFTUP),
                    MouseAt(at, MOUSEEVENTF_LEFTDOWN), MouseAt(at, MOUSEEVENTF_LEFTUP)};
  ::SendInput(5, inputs, sizeof(INPUT));
  PumpPendingMessages(300);
}

void MoveMouse(POINT to) {
  INPUT input = MouseAt(to, 0);
  ::SendInput(1, &input, sizeof(INPUT));
}

CRect ScreenRect(HWND hwnd) {
  CRect rect;
  ::GetWindowRect(hwnd, &rect);
  return rect;
}

// A point on a docked sizing bar's caption strip, right of its buttons' row or below
// them (bars on the top or bottom carry the caption down their left side).
POINT CaptionPoint(CTKSizingControlBar& bar) {
  CRect window = ScreenRect(bar.m_hWnd);
  POINT point = bar.IsDockedTopBottom() ? POINT{window.left + 10, window.bottom - 20}
                                        : POINT{window.left + 20, window.top + 9};
  EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)), HTCAPTION);
  return point;
}

// A frame of 640 x 480 with a status bar and the docking of the toolkit, deleted
// with its window.
class DockingFixture : public ::testing::Test {
protected:
  void SetUp() override {
    frame = new CTKFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Docking", WS_OVERLAPPEDWINDOW, CRect(20, 20, 660, 500)));
    frameHwnd = frame->m_hWnd;
    ASSERT_TRUE(status.Create(frame));
    const UINT indicators[] = {0};
    ASSERT_TRUE(status.SetIndicators(indicators, 1));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(frameHwnd);
  }
  void TearDown() override {
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    PumpPendingMessages(50);
  }
  void MakeBar(CTKSizingControlBar& bar, const char* name, UINT id, CSize size, UINT side) {
    ASSERT_TRUE(bar.Create(name, frame, size, TRUE, id, WS_CHILD | WS_VISIBLE | CBRS_LEFT));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(frame->DockControlBar(&bar, side));
  }
  CRect InFrame(HWND hwnd) const {
    CRect rect = ScreenRect(hwnd);
    ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  CRect Client() const {
    CRect client;
    ::GetClientRect(frameHwnd, &client);
    return client;
  }
  CTKFrameWnd* frame = nullptr;
  HWND frameHwnd = nullptr;
  CTKStatusBar status;
};

TEST_F(DockingFixture, SizingBarFloatsFromItsCaptionAndDocksBackOnADoubleClick) {
  CTKSizingControlBar levels;
  MakeBar(levels, "Levels", kLevelsId, CSize(150, 120), AFX_IDW_DOCKBAR_LEFT);
  PumpPendingMessages(100);
  const CRect docked = InFrame(levels.m_hWnd);
  ASSERT_EQ(docked.left, 0);
  ASSERT_EQ(docked.Width(), 150);
  HWND leftSide = ::GetParent(levels.m_hWnd);

  // Dragged by its caption into the middle of the frame, it floats there in a frame
  // of its own, and its side of the frame is empty.
  const POINT grab = CaptionPoint(levels);
  const POINT drop{grab.x + 220, grab.y + 140};
  Drag(grab, drop);
  ASSERT_TRUE(levels.IsFloating());
  EXPECT_EQ(levels.m_dockBarId, static_cast<UINT>(AFX_IDW_DOCKBAR_FLOAT));
  auto* floating = dynamic_cast<CTKMiniDockFrameWnd*>(CMiniDockFrameWnd::FrameOf(&levels));
  ASSERT_TRUE(floating);
  HWND floatingHwnd = floating->m_hWnd;
  EXPECT_TRUE(::IsWindowVisible(floatingHwnd));
  EXPECT_TRUE(::GetWindowLongA(floatingHwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(::GetWindow(floatingHwnd, GW_OWNER), frameHwnd);
  char title[32] = {};
  ::GetWindowTextA(floatingHwnd, title, sizeof title);
  EXPECT_STREQ(title, "Levels");
  // The frame moved with the cursor and holds the bar at its floating size.
  const CRect frameRect = ScreenRect(floatingHwnd);
  const CRect borders = CMiniDockFrameWnd::Borders(&levels);
  EXPECT_NEAR(frameRect.left, ScreenRect(leftSide).left + (drop.x - grab.x) - borders.left, 2);
  EXPECT_EQ(ScreenRect(levels.m_hWnd).Size(), levels.m_floatSize);
  EXPECT_EQ(frameRect.Width(), levels.m_floatSize.cx + borders.left + borders.right);
  EXPECT_EQ(InFrame(leftSide).Width(), 0);
  // Floating, the bar draws no caption strip of its own.
  CRect client;
  levels.GetClientRect(&client);
  EXPECT_EQ(client.Width(), levels.m_floatSize.cx - 2 * levels.m_borderSize);

  // Dragging the floating frame's caption moves it, still floating.
  POINT caption{frameRect.left + 30, frameRect.top + borders.top / 2};
  ASSERT_EQ(::SendMessageA(floatingHwnd, WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
  Drag(caption, POINT{caption.x + 40, caption.y + 30});
  ASSERT_TRUE(levels.IsFloating());
  EXPECT_NEAR(ScreenRect(floatingHwnd).left, frameRect.left + 40, 2);
  EXPECT_NEAR(ScreenRect(floatingHwnd).top, frameRect.top + 30, 2);

  // A double click on its caption docks it where it was; the empty floating frame goes.
  caption = POINT{caption.x + 40, caption.y + 30};
  DoubleClick(caption);
  ASSERT_FALSE(levels.IsFloating());
  EXPECT_EQ(levels.m_dockBarId, static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
  EXPECT_EQ(::GetParent(levels.m_hWnd), leftSide);
  EXPECT_EQ(InFrame(levels.m_hWnd), docked);
  PumpPendingMessages(100);
  EXPECT_FALSE(::IsWindow(floatingHwnd));

  // A double click on the docked bar's caption floats it where it floated last.
  DoubleClick(CaptionPoint(levels));
  ASSERT_TRUE(levels.IsFloating());
  EXPECT_NEAR(ScreenRect(CMiniDockFrameWnd::FrameOf(&levels)->m_hWnd).left, frameRect.left + 40, 2);
}

TEST_F(DockingFixture, SizingBarMadeSmallerThanItsMinimumDocksAtTheMinimum) {
  // A meter-like bar narrower than the sizing bar's least width: the frame's layout and
  // the row's placing agree on the least size instead of undoing each other for ever.
  struct Case {
    UINT side;
    CSize size;
  } cases[] = {{AFX_IDW_DOCKBAR_RIGHT, CSize(20, 200)},
               {AFX_IDW_DOCKBAR_LEFT, CSize(20, 200)},
               {AFX_IDW_DOCKBAR_TOP, CSize(300, 20)},
               {AFX_IDW_DOCKBAR_BOTTOM, CSize(300, 20)}};
  for (const Case& c : cases) {
    CTKSizingControlBar bar;
    // Made as the program makes its meter, sizing bits in the style.
    ASSERT_TRUE(bar.Create("Narrow", frame, c.size, TRUE, kMeterId,
                           WS_CHILD | WS_VISIBLE | CBRS_RIGHT | CBRS_SIZE_DYNAMIC));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(frame->DockControlBar(&bar, c.side));
    frame->RecalcLayout();
    PumpPendingMessages(100);
    const CRect placed = InFrame(bar.m_hWnd);
    EXPECT_FALSE(::GetWindowLongA(bar.m_hWnd, GWL_STYLE) & WS_MAXIMIZE);
    EXPECT_EQ(bar.IsDockedTopBottom() ? placed.Height() : placed.Width(),
              bar.IsDockedTopBottom() ? bar.m_minSize.cy : bar.m_minSize.cx)
        << c.side;
    bar.DestroyWindow();
    frame->RecalcLayout();
  }
}

TEST_F(DockingFixture, SizingBarDraggedOntoAnotherSideSharesTheRowThere) {
  CTKSizingControlBar levels, ruler;
  MakeBar(levels, "Levels", kLevelsId, CSize(150, 120), AFX_IDW_DOCKBAR_LEFT);
  MakeBar(ruler, "Ruler", kRulerId, CSize(200, 90), AFX_IDW_DOCKBAR_TOP);
  PumpPendingMessages(100);
  const CRect client = Client();
  // Alone in its row the ruler takes the whole width and hides its expand button.
  EXPECT_EQ(InFrame(ruler.m_hWnd), CRect(0, 0, client.right, 90));
  EXPECT_TRUE(ruler.m_isSingleInRow);
  EXPECT_TRUE(ruler.m_captionButtons[1].hidden);

  // The levels bar dropped on the right half of the ruler's row joins that row after
  // the ruler; the two share the width.
  const CRect rulerRect = ScreenRect(ruler.m_hWnd);
  Drag(CaptionPoint(levels), POINT{rulerRect.right - 60, rulerRect.top + 40});
  PumpPendingMessages(100);
  ASSERT_TRUE(levels.IsDockedTopBottom());
  EXPECT_EQ(levels.m_dockBarId, static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
  EXPECT_EQ(::GetParent(levels.m_hWnd), ::GetParent(ruler.m_hWnd));
  const CRect first = InFrame(ruler.m_hWnd), second = InFrame(levels.m_hWnd);
  EXPECT_EQ(first.top, second.top);
  EXPECT_EQ(first.Height(), second.Height());
  EXPECT_EQ(first.left, 0);
  EXPECT_EQ(second.left, first.right);
  EXPECT_EQ(second.right, client.right);
  EXPECT_FALSE(ruler.m_isSingleInRow);
  EXPECT_FALSE(levels.m_isSingleInRow);
  EXPECT_FALSE(ruler.m_captionButtons[1].hidden);
  // The left side is empty now; the edge between the two bars sizes both.
  EXPECT_EQ(InFrame(::GetDlgItem(frameHwnd, AFX_IDW_DOCKBAR_LEFT)).Width(), 0);
  EXPECT_TRUE(ruler.CanSizeEdge(HTRIGHT));
  EXPECT_FALSE(levels.CanSizeEdge(HTRIGHT));
  const CRect edge = ScreenRect(ruler.m_hWnd);
  POINT onEdge{edge.right - 3, edge.top + 40};
  ASSERT_EQ(ruler.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(onEdge.x, onEdge.y)), HTRIGHT);
  Drag(onEdge, POINT{onEdge.x - 50, onEdge.y});
  PumpPendingMessages(100);
  EXPECT_EQ(InFrame(ruler.m_hWnd).Width(), first.Width() - 50);
  EXPECT_EQ(InFrame(levels.m_hWnd).left, first.right - 50);
  EXPECT_EQ(InFrame(levels.m_hWnd).right, client.right);

  // Dropped over the left part of the side below the row, it starts a new row there.
  const CRect side = ScreenRect(::GetParent(ruler.m_hWnd));
  Drag(CaptionPoint(levels), POINT{side.left + 30, side.bottom + 6});
  PumpPendingMessages(100);
  // The row's bars took its thickest bar's height while they shared it (120).
  ASSERT_TRUE(levels.IsDockedTopBottom());
  EXPECT_EQ(InFrame(ruler.m_hWnd), CRect(0, 0, client.right, 120));
  EXPECT_EQ(InFrame(levels.m_hWnd), CRect(0, 120, client.right, 240));
  EXPECT_TRUE(levels.m_isSingleInRow);
  EXPECT_TRUE(ruler.m_isSingleInRow);

  // Onto the right side of the frame: docked there, down its whole height.
  const CRect frameClient = [&] {
    CRect r = Client();
    ::MapWindowPoints(frameHwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }();
  Drag(CaptionPoint(levels), POINT{frameClient.right - 5, frameClient.top + 330});
  PumpPendingMessages(100);
  ASSERT_TRUE(levels.IsDockedLeftRight());
  EXPECT_EQ(levels.m_dockBarId, static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
  const CRect right = InFrame(levels.m_hWnd);
  EXPECT_EQ(right.right, client.right);
  EXPECT_EQ(right.Width(), levels.m_dockedVertSize.cx);
  EXPECT_EQ(right.top, 120);
}

void Click(POINT at) {
  INPUT inputs[] = {MouseAt(at, 0), MouseAt(at, MOUSEEVENTF_LEFTDOWN), MouseAt(at, MOUSEEVENTF_LEFTUP)};
  ::SendInput(3, inputs, sizeof(INPUT));
  PumpPendingMessages(200);
}

TEST(Mouse, SyntheticInputLandsOnTheExactPixel) {
  for (int x : {0, 1, 2, 3, 100, 101, 333, 500, 767}) {
    MoveMouse(POINT{x + 200, x});
    PumpPendingMessages(20);
    POINT at;
    ::GetCursorPos(&at);
    EXPECT_EQ(at.x, x + 200);
    EXPECT_EQ(at.y, x);
  }
}

TEST_F(DockingFixture, SizingBarsOfARowShareItsLength) {
  CTKSizingControlBar a, b, c;
  MakeBar(a, "A", kLevelsId, CSize(200, 80), AFX_IDW_DOCKBAR_TOP);
  MakeBar(b, "B", kRulerId, CSize(200, 80), AFX_IDW_DOCKBAR_TOP);
  MakeBar(c, "C", kMeterId, CSize(200, 80), AFX_IDW_DOCKBAR_TOP);
  // B and C join A's row, in that order.
  for (CTKSizingControlBar* bar : {&b, &c}) {
    CRect rect = ScreenRect(a.m_hWnd);
    rect.OffsetRect(Client().Width() - 10, 0);
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP, &rect);
  }
  PumpPendingMessages(100);
  const int width = Client().Width();
  auto widths = [&] {
    return std::vector<int>{static_cast<int>(InFrame(a.m_hWnd).Width()),
                            static_cast<int>(InFrame(b.m_hWnd).Width()),
                            static_cast<int>(InFrame(c.m_hWnd).Width())};
  };
  ASSERT_EQ(InFrame(a.m_hWnd).top, InFrame(c.m_hWnd).top);
  struct Case {
    const char* what;
    int sizes[3];
    int minimumOfA;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"7 spare pixels go one at a time in row order", {200, 200, width - 407}, 33, {203, 202, width - 405}},
      {"a bar at its minimum never shrinks", {33, 400, width - 332}, 33, {33, 349, width - 382}},
  };
  for (const Case& t : cases) {
    a.SetMinSize(t.minimumOfA, 32);
    CTKSizingControlBar* bars[] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) bars[i]->m_dockedHorzSize.cx = t.sizes[i];
    frame->RecalcLayout();
    PumpPendingMessages(50);
    EXPECT_EQ(widths(), t.expected) << t.what;
    EXPECT_EQ(InFrame(c.m_hWnd).right, width) << t.what;
  }
  a.SetMinSize(33, 32);

  // The expand button gives the bar the whole row, the others their minimum; pressed
  // again, everything is as it was.
  const std::vector<int> before = widths();
  auto pressExpand = [&](CTKSizingControlBar& bar) {
    ASSERT_FALSE(bar.m_captionButtons[1].hidden);
    CRect square = bar.m_captionButtons[1].Square();
    const CRect window = ScreenRect(bar.m_hWnd);
    Click(POINT{window.left + square.CenterPoint().x, window.top + square.CenterPoint().y});
  };
  pressExpand(b);
  EXPECT_TRUE(b.m_isExpanded);
  EXPECT_EQ(widths(), (std::vector<int>{33, width - 66, 33}));
  pressExpand(b);
  EXPECT_FALSE(b.m_isExpanded);
  EXPECT_EQ(widths(), before);

  // A row whose minima (and 2) pass its length sends its first bar to a row of its
  // own below; a bar alone in its row stays however large its minimum.
  c.SetMinSize(width - 60, 32);
  c.m_dockedHorzSize.cx = width - 60;
  frame->RecalcLayout();
  PumpPendingMessages(50);
  EXPECT_EQ(InFrame(b.m_hWnd).top, InFrame(c.m_hWnd).top);
  EXPECT_GT(InFrame(a.m_hWnd).top, InFrame(b.m_hWnd).top);
  EXPECT_TRUE(a.m_isSingleInRow);
  a.SetMinSize(width + 100, 32);
  frame->RecalcLayout();
  PumpPendingMessages(50);
  EXPECT_GT(InFrame(a.m_hWnd).top, InFrame(b.m_hWnd).top);
  EXPECT_TRUE(a.m_isSingleInRow);
}

TEST_F(DockingFixture, EdgeBetweenTwoBarsMovesBothAndDraggedToTheEndExpands) {
  CTKSizingControlBar a, b;
  MakeBar(a, "A", kLevelsId, CSize(100, 200), AFX_IDW_DOCKBAR_LEFT);
  MakeBar(b, "B", kRulerId, CSize(100, 200), AFX_IDW_DOCKBAR_LEFT);
  CRect rect = ScreenRect(a.m_hWnd);
  rect.OffsetRect(0, rect.Height() - 10);
  frame->DockControlBar(&b, AFX_IDW_DOCKBAR_LEFT, &rect);
  PumpPendingMessages(100);
  ASSERT_EQ(InFrame(a.m_hWnd).left, InFrame(b.m_hWnd).left);
  ASSERT_EQ(InFrame(b.m_hWnd).top, InFrame(a.m_hWnd).bottom);
  const int length = InFrame(a.m_hWnd).Height() + InFrame(b.m_hWnd).Height();
  // The bottom edge of the upper bar lies between the two.
  const CRect upper = ScreenRect(a.m_hWnd);
  POINT edge{upper.left + 50, upper.bottom - 3};
  ASSERT_EQ(a.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTBOTTOM);
  Drag(edge, POINT{edge.x, edge.y + 40});
  PumpPendingMessages(100);
  EXPECT_EQ(InFrame(a.m_hWnd).Height(), upper.Height() + 40);
  EXPECT_EQ(InFrame(a.m_hWnd).Height() + InFrame(b.m_hWnd).Height(), length);
  EXPECT_FALSE(a.m_isExpanded);
  // Dragged as far as it goes, the other bar is at its minimum and this one counts as
  // expanded.
  const CRect now = ScreenRect(a.m_hWnd);
  edge = POINT{now.left + 80, now.bottom - 3};
  ASSERT_EQ(a.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTBOTTOM);
  Drag(edge, POINT{edge.x, edge.y + 150});
  PumpPendingMessages(100);
  EXPECT_EQ(InFrame(b.m_hWnd).Height(), b.m_minSize.cy);
  EXPECT_TRUE(a.m_isExpanded);
  EXPECT_EQ(a.m_captionButtons[1].tooltipId, 16013u);
  EXPECT_FALSE(b.m_isExpanded);
}

// A frame that makes its three bars when its window is made, as a program's main
// frame does, so the workspace finds them when the frame loads its state.
class BarsFrame : public CTKFrameWnd {
public:
  CTKSizingControlBar levels, ruler, meter;

protected:
  int OnCreate(LPCREATESTRUCT cs) {
    if (CTKFrameWnd::OnCreate(cs) == -1) return -1;
    EnableDocking(CBRS_ALIGN_ANY);
    CTKSizingControlBar* bars[] = {&levels, &ruler, &meter};
    const char* names[] = {"Levels", "Ruler", "Meter"};
    const UINT ids[] = {kLevelsId, kRulerId, kMeterId};
    for (int i = 0; i < 3; ++i) {
      if (!bars[i]->Create(names[i], this, CSize(120 + 10 * i, 100), TRUE, ids[i],
                           WS_CHILD | WS_VISIBLE | CBRS_LEFT))
        return -1;
      bars[i]->EnableDocking(CBRS_ALIGN_ANY);
      DockControlBar(bars[i], AFX_IDW_DOCKBAR_LEFT);
    }
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BarsFrame, CTKFrameWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

struct BarPlace {
  UINT dockBarId;
  CRect screen;
  BOOL visible;
  CSize horz, vert, floating;
};

std::vector<BarPlace> PlacesOf(BarsFrame& frame) {
  std::vector<BarPlace> places;
  for (CTKSizingControlBar* bar : {&frame.levels, &frame.ruler, &frame.meter})
    places.push_back(BarPlace{bar->m_dockBarId, ScreenRect(bar->m_hWnd), (bar->GetStyle() & WS_VISIBLE) != 0,
                              bar->m_dockedHorzSize, bar->m_dockedVertSize, bar->m_floatSize});
  return places;
}

TEST(DockState, WhereTheBarsAreComesBackFromTheRegistryInANewFrame) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\DockState");
  CWinApp app("DockState");
  app.SetRegistryKey("TarvelTest");
  CTKWorkspace workspace;

  auto* first = new BarsFrame;
  ASSERT_TRUE(first->LoadFrame(0, WS_OVERLAPPEDWINDOW));
  HWND firstHwnd = first->m_hWnd;
  ::SetWindowPos(firstHwnd, nullptr, 30, 30, 700, 520, SWP_NOZORDER);
  first->ShowWindow(SW_SHOWNORMAL);
  // The user's arrangement: the ruler across the top, the meter beside it in the same
  // row and narrowed, the levels bar floating, the meter then hidden from its caption.
  first->ruler.EnableDocking(CBRS_ALIGN_ANY);
  first->DockControlBar(&first->ruler, AFX_IDW_DOCKBAR_TOP);
  CRect rulerRect = ScreenRect(first->ruler.m_hWnd);
  rulerRect.OffsetRect(rulerRect.Width() - 10, 0);
  first->DockControlBar(&first->meter, AFX_IDW_DOCKBAR_TOP, &rulerRect);
  first->meter.m_dockedHorzSize.cx -= 80;
  first->ruler.m_dockedHorzSize.cx += 80;
  first->RecalcLayout();
  first->FloatControlBar(&first->levels, CPoint(400, 300));
  first->levels.CalcDynamicLayout(260, LM_HORZ);
  first->FloatControlBar(&first->levels, CPoint(400, 300));
  PumpPendingMessages(100);
  ASSERT_EQ(::GetParent(first->meter.m_hWnd), ::GetParent(first->ruler.m_hWnd));
  ASSERT_EQ(ScreenRect(first->meter.m_hWnd).top, ScreenRect(first->ruler.m_hWnd).top);
  CDockState before;
  first->GetDockState(before);
  const std::vector<BarPlace> placed = PlacesOf(*first);
  ASSERT_EQ(before.m_arrBarInfo.GetSize(), 3);
  ASSERT_TRUE(workspace.SaveState(nullptr, &first->m_Impl));
  ::DestroyWindow(firstHwnd);
  PumpPendingMessages(50);

  // A new frame makes its bars down the left side; loading its state puts them back.
  auto* second = new BarsFrame;
  ASSERT_TRUE(second->LoadFrame(0, WS_OVERLAPPEDWINDOW));
  HWND secondHwnd = second->m_hWnd;
  ::SetWindowPos(secondHwnd, nullptr, 30, 30, 700, 520, SWP_NOZORDER);
  second->ShowWindow(SW_SHOWNORMAL);
  ASSERT_TRUE(workspace.LoadState(nullptr, &second->m_Impl));
  second->RecalcLayout();
  PumpPendingMessages(100);
  CDockState after;
  second->GetDockState(after);
  ASSERT_EQ(after.m_arrBarInfo.GetSize(), before.m_arrBarInfo.GetSize());
  for (int i = 0; i < before.m_arrBarInfo.GetSize(); ++i) {
    const int j = after.Find(before.m_arrBarInfo[i].m_nBarID);
    ASSERT_GE(j, 0) << i;
    EXPECT_TRUE(after.m_arrBarInfo[j] == before.m_arrBarInfo[i]) << before.m_arrBarInfo[i].m_nBarID;
  }
  const std::vector<BarPlace> restored = PlacesOf(*second);
  for (size_t i = 0; i < placed.size(); ++i) {
    EXPECT_EQ(restored[i].dockBarId, placed[i].dockBarId) << i;
    EXPECT_EQ(restored[i].screen, placed[i].screen) << i;
    EXPECT_EQ(restored[i].visible, placed[i].visible) << i;
    EXPECT_EQ(restored[i].horz, placed[i].horz) << i;
    EXPECT_EQ(restored[i].vert, placed[i].vert) << i;
    EXPECT_EQ(restored[i].floating, placed[i].floating) << i;
  }
  EXPECT_TRUE(second->levels.IsFloating());
  EXPECT_TRUE(second->ruler.IsDockedTopBottom());

  // A stored layout that names a docked bar the frame does not have is not applied.
  second->meter.DestroyWindow();
  second->DockControlBar(&second->ruler, AFX_IDW_DOCKBAR_LEFT);
  ASSERT_TRUE(workspace.LoadState(nullptr, &second->m_Impl));
  EXPECT_TRUE(second->ruler.IsDockedLeftRight());
  ::DestroyWindow(secondHwnd);
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\DockState");
}

// A frame whose Record command is enabled only while it says so, and which has no
// handler for Stop.
class PanelFrame : public CTKFrameWnd {
public:
  BOOL canRecord = FALSE;

protected:
  void OnUpdateRecord(CCmdUI* ui) { ui->Enable(canRecord); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PanelFrame, CTKFrameWnd)
  ON_UPDATE_COMMAND_UI(101, OnUpdateRecord)
END_MESSAGE_MAP()

TEST(DialogBarCommands, ControlsFollowTheFramesHandlersAtIdleTime) {
  CWinApp app("Panel");
  auto* frame = new PanelFrame;
  ASSERT_TRUE(frame->Create(nullptr, "Panel", WS_OVERLAPPEDWINDOW, CRect(40, 40, 500, 300)));
  HWND frameHwnd = frame->m_hWnd;
  app.m_pMainWnd = frame;
  frame->EnableDocking(CBRS_ALIGN_ANY);
  dialogtest::DialogTemplate panel("", 160, 30, WS_CHILD | WS_VISIBLE);
  panel.Button(101, "Record", 4, 4).Button(102, "Stop", 58, 4).Edit(103, 4, 18);
  CTKDialogBar bar;
  ASSERT_TRUE(bar.CreateFromTemplate(frame, panel.Get(), AFX_IDW_CONTROLBAR_FIRST + 43));
  ASSERT_TRUE(frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP));
  frame->ShowWindow(SW_SHOWNORMAL);
  HWND record = ::GetDlgItem(bar.m_hWnd, 101), stop = ::GetDlgItem(bar.m_hWnd, 102),
       edit = ::GetDlgItem(bar.m_hWnd, 103);
  struct Step {
    BOOL canRecord;
    BOOL recordEnabled;
  };
  // The application's idle time asks the frame; a button nobody answers for is
  // disabled, the edit keeps its state.
  for (const Step& step : {Step{FALSE, FALSE}, Step{TRUE, TRUE}, Step{FALSE, FALSE}}) {
    frame->canRecord = step.canRecord;
    app.OnIdle(0);
    EXPECT_EQ(::IsWindowEnabled(record) != 0, step.recordEnabled != 0) << step.canRecord;
    EXPECT_FALSE(::IsWindowEnabled(stop));
    EXPECT_TRUE(::IsWindowEnabled(edit));
  }
  // Floating, the bar still follows the frame.
  frame->FloatControlBar(&bar, CPoint(300, 300));
  frame->canRecord = TRUE;
  app.OnIdle(0);
  EXPECT_TRUE(::IsWindowEnabled(record));
  app.m_pMainWnd = nullptr;
  ::DestroyWindow(frameHwnd);
}

// Handles messages the way the application's loop does (each window may take a
// message first), until done() or the time is up.
bool PumpLikeTheApplication(CWinApp& app, const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < timeoutMs) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (app.PreTranslateMessage(&msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    if (done()) return true;
    ::Sleep(10);
  }
  return done();
}

std::string CurrentTipText(HWND toolTip) {
  char text[128] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.lpszText = text;
  if (!::SendMessageA(toolTip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) return "";
  return text;
}

TEST_F(DockingFixture, CaptionButtonsShowTheirTooltips) {
  CWinApp app("Tips");
  app.m_pMainWnd = frame;
  CTKSizingControlBar levels, ruler;
  MakeBar(levels, "Levels", kLevelsId, CSize(150, 120), AFX_IDW_DOCKBAR_TOP);
  MakeBar(ruler, "Ruler", kRulerId, CSize(150, 120), AFX_IDW_DOCKBAR_TOP);
  CRect rect = ScreenRect(levels.m_hWnd);
  rect.OffsetRect(rect.Width() - 5, 0);
  frame->DockControlBar(&ruler, AFX_IDW_DOCKBAR_TOP, &rect);
  PumpPendingMessages(100);
  ASSERT_EQ(ScreenRect(levels.m_hWnd).top, ScreenRect(ruler.m_hWnd).top);
  struct Case {
    int button;
    const char* tip;
  };
  for (const Case& c : {Case{0, "Hide docked window"}, Case{1, "Expand docked window"}}) {
    ASSERT_FALSE(levels.m_captionButtons[c.button].hidden) << c.tip;
    CRect square = levels.m_captionButtons[c.button].Square();
    const CRect window = ScreenRect(levels.m_hWnd);
    const POINT over{window.left + square.CenterPoint().x, window.top + square.CenterPoint().y};
    // The cursor comes onto the button from below and rests there, moving a little now
    // and then as a hand does, until the tip shows.
    bool shown = false;
    for (int attempt = 0; attempt < 4 && !shown; ++attempt) {
      for (int step = 3; step >= 0; --step) {
        MoveMouse(POINT{over.x + (attempt & 1), over.y + step * 2});
        PumpLikeTheApplication(
            app, [] { return false; }, 30);
      }
      shown = PumpLikeTheApplication(
          app,
          [&] { return ::IsWindowVisible(levels.m_toolTip) && CurrentTipText(levels.m_toolTip) == c.tip; },
          1500);
    }
    EXPECT_TRUE(shown) << c.tip << ": shown " << ::IsWindowVisible(levels.m_toolTip) << " \""
                       << CurrentTipText(levels.m_toolTip) << "\"";
  }
  // Expanded, the expand button's tip says it contracts.
  levels.ToggleExpansion(TRUE);
  EXPECT_EQ(levels.m_captionButtons[1].tooltipId, 16013u);
  MoveMouse(POINT{10, 700});
  app.m_pMainWnd = nullptr;
}

TEST_F(DockingFixture, StatusPanesShowTheirTooltips) {
  CWinApp app("PaneTips");
  app.m_pMainWnd = frame;
  constexpr UINT kTimeId = 4301;
  const UINT indicators[] = {0, 0};
  ASSERT_TRUE(status.SetIndicators(indicators, 2));
  status.SetPaneInfo(1, kTimeId, 0, 90);
  status.SetTipText(1, "Recording time");
  frame->RecalcLayout();
  PumpPendingMessages(50);
  CRect pane;
  status.GetItemRect(1, &pane);
  ::MapWindowPoints(status.m_hWnd, nullptr, reinterpret_cast<POINT*>(&pane), 2);
  CRect other;
  status.GetItemRect(0, &other);
  ::MapWindowPoints(status.m_hWnd, nullptr, reinterpret_cast<POINT*>(&other), 2);
  // Over the pane with a tip the tip shows; over the message pane, none.
  for (int step = 3; step >= 0; --step) {
    MoveMouse(POINT{pane.left + 20 + step, pane.top + 5});
    PumpLikeTheApplication(
        app, [] { return false; }, 30);
  }
  HWND tip = nullptr;
  EXPECT_TRUE(PumpLikeTheApplication(
      app,
      [&] {
        tip = CWnd::GetThreadToolTip();
        return tip && ::IsWindowVisible(tip) && CurrentTipText(tip) == "Recording time";
      },
      3000));
  for (int step = 3; step >= 0; --step) {
    MoveMouse(POINT{other.left + 40 + step, other.top + 5});
    PumpLikeTheApplication(
        app, [] { return false; }, 30);
  }
  EXPECT_TRUE(PumpLikeTheApplication(
      app, [&] { return !tip || !::IsWindowVisible(tip); }, 2000));
  MoveMouse(POINT{10, 700});
  app.m_pMainWnd = nullptr;
}

TEST_F(DockingFixture, FloatingFrameRollsUpByItselfAndOnItsButton) {
  CWinApp app("Rolling");
  app.SetRegistryKey("TarvelTest");
  CTKSizingControlBar levels;
  MakeBar(levels, "Levels", kLevelsId, CSize(180, 140), AFX_IDW_DOCKBAR_LEFT);
  frame->FloatControlBar(&levels, CPoint(400, 250));
  auto* floating = dynamic_cast<CTKMiniDockFrameWnd*>(CMiniDockFrameWnd::FrameOf(&levels));
  ASSERT_TRUE(floating);
  HWND floatingHwnd = floating->m_hWnd;
  const int openHeight = ScreenRect(floatingHwnd).Height();
  const int rolledHeight = 2 * ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYSMCAPTION) - 1;
  ASSERT_TRUE(floating->RollButtonRect().IsRectEmpty());
  // The stored state of a bar that rolls by itself rolls its frame.
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\Rolling");
  app.WriteProfileInt(levels.StoredStateSection(nullptr), "RolledFloatDynamicState", 2);
  ASSERT_TRUE(levels.ReadStoredState());
  EXPECT_EQ(floating->m_rollingType, 2);
  EXPECT_TRUE(floating->m_isRolled);
  EXPECT_EQ(ScreenRect(floatingHwnd).Height(), rolledHeight);
  ASSERT_FALSE(floating->RollButtonRect().IsRectEmpty());

  // The cursor on the rolled frame opens it; it stays open while the cursor is there.
  MoveMouse(POINT{10, 700});
  PumpPendingMessages(50);
  CRect rect = ScreenRect(floatingHwnd);
  const POINT onCaption{rect.left + 20, rect.top + rolledHeight / 2};
  for (int step = 2; step >= 0; --step) {
    MoveMouse(POINT{onCaption.x + step, onCaption.y});
    PumpPendingMessages(30);
  }
  EXPECT_FALSE(floating->m_isRolled);
  EXPECT_EQ(ScreenRect(floatingHwnd).Height(), openHeight);
  PumpPendingMessages(2200);
  EXPECT_FALSE(floating->m_isRolled) << "rolled up under the cursor";
  // Away from it, it rolls up on the seventh tick of a quarter second.
  const DWORD left = ::GetTickCount();
  MoveMouse(POINT{10, 700});
  PumpPendingMessages(1200);
  EXPECT_FALSE(floating->m_isRolled) << "rolled up too soon";
  EXPECT_TRUE(winetest::WaitUntil([&] { return floating->m_isRolled != FALSE; }, 2000));
  EXPECT_GE(::GetTickCount() - left, 1500u);
  EXPECT_EQ(ScreenRect(floatingHwnd).Height(), rolledHeight);
  EXPECT_TRUE(levels.m_isRolled);

  // The roll button pins the frame open (type 3), and a second click lets it roll
  // by itself again (type 2).
  rect = ScreenRect(floatingHwnd);
  CRect button = floating->RollButtonRect();
  const POINT onButton{rect.left + button.CenterPoint().x, rect.top + button.CenterPoint().y};
  Click(onButton);
  EXPECT_EQ(floating->m_rollingType, 3);
  EXPECT_EQ(levels.m_rollingType, 3);
  EXPECT_FALSE(floating->m_isRolled);
  EXPECT_EQ(ScreenRect(floatingHwnd).Height(), openHeight);
  MoveMouse(POINT{10, 700});
  PumpPendingMessages(2200);
  EXPECT_FALSE(floating->m_isRolled) << "a pinned frame stays open";
  ::Sleep(::GetDoubleClickTime());
  rect = ScreenRect(floatingHwnd);
  button = floating->RollButtonRect();
  Click(POINT{rect.left + button.CenterPoint().x, rect.top + button.CenterPoint().y});
  EXPECT_EQ(floating->m_rollingType, 2);
  MoveMouse(POINT{10, 700});
  EXPECT_TRUE(winetest::WaitUntil([&] { return floating->m_isRolled != FALSE; }, 3000));
  // The bar's stored state carries the rolling.
  ASSERT_TRUE(levels.WriteStoredState());
  EXPECT_EQ(app.GetProfileInt(levels.StoredStateSection(nullptr), "RolledFloatDynamicState", 0), 2u);
  EXPECT_EQ(app.GetProfileInt(levels.StoredStateSection(nullptr), "RolledFloat", 0), 1u);
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\Rolling");
}

// A sizing bar that refuses to be hidden from its caption.
struct KeptBar : CTKSizingControlBar {
  BOOL CanHideByCaption() override { return FALSE; }
};

TEST_F(DockingFixture, FloatingFrameIsSizedThroughItsBarAndStaysReachable) {
  CTKSizingControlBar levels;
  MakeBar(levels, "Levels", kLevelsId, CSize(180, 140), AFX_IDW_DOCKBAR_LEFT);
  // (The system keeps a frame with a caption at least about 112 pixels wide.)
  levels.SetMinSize(150, 50);
  frame->FloatControlBar(&levels, CPoint(400, 250));
  HWND floating = CMiniDockFrameWnd::FrameOf(&levels)->m_hWnd;
  const CRect borders = CMiniDockFrameWnd::Borders(&levels);
  CRect before = ScreenRect(floating);
  // The right border dragged 60 pixels out widens the bar by 60; the left edge stays.
  POINT right{before.right - 2, before.top + before.Height() / 2};
  ASSERT_EQ(::SendMessageA(floating, WM_NCHITTEST, 0, MAKELPARAM(right.x, right.y)), HTRIGHT);
  Drag(right, POINT{right.x + 60, right.y});
  CRect after = ScreenRect(floating);
  EXPECT_EQ(levels.m_floatSize.cx, 240);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.Width(), 240 + borders.left + borders.right);
  EXPECT_EQ(ScreenRect(levels.m_hWnd).Width(), 240);
  // The top-left corner dragged far in stops at the bar's minimum; the bottom-right
  // corner stays.
  before = after;
  POINT corner{before.left + 1, before.top + 1};
  ASSERT_EQ(::SendMessageA(floating, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTTOPLEFT);
  // (Let go over the frame: Wine gives a button released over another program's
  // window to that window even while this one holds the mouse.)
  Drag(corner, POINT{corner.x + 200, corner.y + 130});
  after = ScreenRect(floating);
  EXPECT_EQ(levels.m_floatSize, CSize(150, 50));
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.bottom, before.bottom);

  // Moved so that its caption is below the work area, the frame comes back up until
  // the caption shows.
  RECT work;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  ::SetWindowPos(floating, nullptr, 300, work.bottom + 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(ScreenRect(floating).top, work.bottom - ::GetSystemMetrics(SM_CYSMCAPTION));
  ::SetWindowPos(floating, nullptr, 300, work.top - 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(ScreenRect(floating).top, work.top);

  // Its close button hides the bar, unless the bar says it cannot be hidden.
  ::SendMessageA(floating, WM_CLOSE, 0, 0);
  EXPECT_FALSE(levels.IsWindowVisible());
  EXPECT_FALSE(::IsWindowVisible(floating));
  frame->ShowControlBar(&levels, TRUE, FALSE);
  EXPECT_TRUE(::IsWindowVisible(floating));
  KeptBar kept;
  MakeBar(kept, "Kept", kMeterId, CSize(120, 100), AFX_IDW_DOCKBAR_RIGHT);
  frame->FloatControlBar(&kept, CPoint(200, 200));
  HWND keptFrame = CMiniDockFrameWnd::FrameOf(&kept)->m_hWnd;
  ::SendMessageA(keptFrame, WM_CLOSE, 0, 0);
  EXPECT_TRUE(kept.IsWindowVisible());
  EXPECT_TRUE(::IsWindowVisible(keptFrame));
}

TEST_F(DockingFixture, PlainDockBarsGiveWayToTheToolkitsAndBarsDockBesideOthers) {
  // A plain framework frame's dock bars, then the toolkit's docking over them.
  CFrameWnd* plain = frame;
  CDockBar* before = plain->GetDockBar(AFX_IDW_DOCKBAR_TOP);
  ASSERT_TRUE(dynamic_cast<CTKToolDockBar*>(before));
  CTKSizingControlBar ruler, meter;
  MakeBar(ruler, "Ruler", kRulerId, CSize(200, 80), AFX_IDW_DOCKBAR_BOTTOM);
  MakeBar(meter, "Meter", kMeterId, CSize(200, 80), AFX_IDW_DOCKBAR_LEFT);
  // Beside the ruler: on its side, in its row, after it.
  ASSERT_TRUE(frame->DockControlBarBeside(&meter, &ruler));
  PumpPendingMessages(50);
  EXPECT_EQ(meter.m_dockBarId, static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
  EXPECT_EQ(InFrame(meter.m_hWnd).top, InFrame(ruler.m_hWnd).top);
  EXPECT_EQ(InFrame(meter.m_hWnd).left, InFrame(ruler.m_hWnd).right);
  // The status bar stays below the bottom side.
  EXPECT_EQ(InFrame(ruler.m_hWnd).bottom, InFrame(status.m_hWnd).top);
}

// Presses at from, moves to to and lets go, with the messages handled the way the
// application's loop handles them (bars see their messages first).
void DragLikeTheApplication(CWinApp& app, POINT from, POINT to) {
  std::vector<INPUT> inputs;
  inputs.push_back(MouseAt(from, 0));
  inputs.push_back(MouseAt(from, MOUSEEVENTF_LEFTDOWN));
  for (int i = 1; i <= 6; ++i)
    inputs.push_back(MouseAt(POINT{from.x + (to.x - from.x) * i / 6, from.y + (to.y - from.y) * i / 6}, 0));
  inputs.push_back(MouseAt(to, MOUSEEVENTF_LEFTUP));
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  PumpLikeTheApplication(
      app, [] { return false; }, 300);
}

TEST_F(DockingFixture, ToolbarDraggedByItsGripperFloatsDocksElsewhereAndSharesARow) {
  CWinApp app("Toolbars");
  app.m_pMainWnd = frame;
  CTKToolBar file, edit;
  for (CTKToolBar* bar : {&file, &edit}) {
    ASSERT_TRUE(bar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER,
                            bar == &file ? AFX_IDW_TOOLBAR + 50 : AFX_IDW_TOOLBAR + 51));
    for (UINT id = 0; id < 4; ++id) bar->InsertButton(new CTKToolbarButton(40001 + id, -1, "B"));
    bar->SetWindowText(bar == &file ? "File" : "Edit");
    bar->EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP));
  }
  PumpPendingMessages(100);
  // Two rows at the top, one bar each.
  ASSERT_GT(InFrame(edit.m_hWnd).top, InFrame(file.m_hWnd).top);
  auto gripperOf = [](CTKToolBar& bar) {
    CRect window = ScreenRect(bar.m_hWnd), client;
    bar.GetClientRect(&client);
    ::MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    // Left of the buttons on a horizontal bar, above them on a vertical one.
    return bar.IsHorizontal() ? POINT{(window.left + client.left) / 2, window.top + window.Height() / 2}
                              : POINT{window.left + window.Width() / 2, (window.top + client.top) / 2};
  };

  // Into the middle of the frame: it floats there.
  POINT grip = gripperOf(file);
  DragLikeTheApplication(app, grip, POINT{grip.x + 250, grip.y + 200});
  ASSERT_TRUE(file.IsFloating());
  CMiniDockFrameWnd* floating = CMiniDockFrameWnd::FrameOf(&file);
  ASSERT_TRUE(floating);
  EXPECT_TRUE(::IsWindowVisible(floating->m_hWnd));
  // The top side now holds the edit bar alone, in its first row.
  EXPECT_EQ(InFrame(edit.m_hWnd).top, 0);

  // By its floating frame's caption onto the left side: docked there, upright.
  CRect frameRect = ScreenRect(floating->m_hWnd);
  const CRect borders = CMiniDockFrameWnd::Borders(&file);
  POINT caption{frameRect.left + 12, frameRect.top + borders.top / 2};
  CRect client = Client();
  ::MapWindowPoints(frameHwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  DragLikeTheApplication(app, caption, POINT{client.left + 4, client.top + 200});
  ASSERT_FALSE(file.IsFloating());
  EXPECT_EQ(static_cast<UINT>(::GetDlgCtrlID(::GetParent(file.m_hWnd))),
            static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
  EXPECT_FALSE(file.IsHorizontal());
  EXPECT_GT(InFrame(file.m_hWnd).Height(), InFrame(file.m_hWnd).Width());

  // By its gripper into the edit bar's row, right of it: the two share the row.
  grip = gripperOf(file);
  const CRect editRect = ScreenRect(edit.m_hWnd);
  DragLikeTheApplication(app, grip, POINT{editRect.right + 30, editRect.top + editRect.Height() / 2});
  ASSERT_TRUE(file.IsHorizontal());
  EXPECT_EQ(::GetParent(file.m_hWnd), ::GetParent(edit.m_hWnd));
  EXPECT_EQ(InFrame(file.m_hWnd).top, InFrame(edit.m_hWnd).top);
  EXPECT_EQ(InFrame(file.m_hWnd).left, InFrame(edit.m_hWnd).right);

  // A double click on the gripper floats it where it floated before.
  grip = gripperOf(file);
  ::Sleep(::GetDoubleClickTime());
  INPUT clicks[] = {MouseAt(grip, 0), MouseAt(grip, MOUSEEVENTF_LEFTDOWN), MouseAt(grip, MOUSEEVENTF_LEFTUP),
                    MouseAt(grip, MOUSEEVENTF_LEFTDOWN), MouseAt(grip, MOUSEEVENTF_LEFTUP)};
  ::SendInput(5, clicks, sizeof(INPUT));
  PumpLikeTheApplication(
      app, [] { return false; }, 300);
  EXPECT_TRUE(file.IsFloating());
  app.m_pMainWnd = nullptr;
}

TEST_F(DockingFixture, DockedAndFloatingBarsInEachLook) {
  CTKSizingControlBar levels, ruler, meter;
  MakeBar(levels, "Levels", kLevelsId, CSize(150, 120), AFX_IDW_DOCKBAR_LEFT);
  MakeBar(ruler, "Ruler", kRulerId, CSize(200, 80), AFX_IDW_DOCKBAR_TOP);
  MakeBar(meter, "Meter", kMeterId, CSize(200, 80), AFX_IDW_DOCKBAR_TOP);
  CRect rect = ScreenRect(ruler.m_hWnd);
  rect.OffsetRect(rect.Width() - 5, 0);
  frame->DockControlBar(&meter, AFX_IDW_DOCKBAR_TOP, &rect);
  CTKSizingControlBar floating;
  MakeBar(floating, "Floating", kMeterId + 1, CSize(160, 110), AFX_IDW_DOCKBAR_RIGHT);
  CRect frameRect = ScreenRect(frameHwnd);
  frame->FloatControlBar(&floating, CPoint(frameRect.right - 240, frameRect.bottom - 190));
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  struct Look {
    CRuntimeClass* cls;
    const char* file;
  };
  for (const Look& look : {Look{RUNTIME_CLASS(CTKVisualManager), "/screenshots/docking-base.png"},
                           Look{RUNTIME_CLASS(CTKVisualManagerXP), "/screenshots/docking-xp.png"},
                           Look{RUNTIME_CLASS(CTKWinXPVisualManager), "/screenshots/docking-themed.png"}}) {
    ASSERT_TRUE(CTKVisualManager::SelectLookClass(look.cls));
    ::RedrawWindow(frameHwnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HWND mini = CMiniDockFrameWnd::FrameOf(&floating)->m_hWnd;
    ::RedrawWindow(mini, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPendingMessages(150);
    // The whole desktop area of the frame, the floating frame on top of it.
    CapturedImage shot = CaptureWindow(::GetDesktopWindow(), false);
    ASSERT_FALSE(shot.Empty());
    // Both bars of the top row are painted in the look's bar colour next to each other.
    LookCanvas canvas(8, 8);
    CRect patch(0, 0, 8, 8);
    CTKVisualManager::GetInstance()->PaintBarBackground(&canvas.dc, &ruler, patch, patch, TRUE);
    const COLORREF face = canvas.At(4, 4);
    const CRect ruled = ScreenRect(ruler.m_hWnd), metered = ScreenRect(meter.m_hWnd);
    EXPECT_EQ(shot.At(ruled.right - 20, ruled.top + 2), face) << look.file;
    EXPECT_EQ(shot.At(metered.left + 30, metered.top + 2), face) << look.file;
    EXPECT_TRUE(SavePng(shot, std::string(TARVEL_TEST_BINARY_DIR) + look.file));
  }
  CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTKVisualManager));
}

}  // namespace
