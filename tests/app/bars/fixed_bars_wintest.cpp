// The program's bars in a docking frame, used with the mouse as a user would: the fixed
// bars keep their place and size whatever is clicked, double-clicked or dragged on
// them, show a thin edge and a thin (or no) caption; the program's toolbar and menu bar
// get their window class, borders and styles, and the toolbar's buttons follow the
// command handlers on every fourth idle update.
#include "support/wine/GTestWin.h"

#include "app/bars/TVLFixingControlBar.h"
#include "app/bars/TVLFixingDialogBar.h"
#include "app/bars/TVLMenuBar.h"
#include "app/bars/TVLToolBar.h"
#include "resources/PanelResource.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKFrameWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

inline void PrintTo(const CRect& rect, std::ostream* out) {
  *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

namespace {

constexpr UINT kMeterId = 33002;
constexpr UINT kPanelId = AFX_IDW_CONTROLBAR_FIRST + 16;
constexpr DWORD kMeterStyle = WS_CHILD | WS_VISIBLE | CBRS_GRIPPER | CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT |
                              CBRS_FLYBY | CBRS_SIZE_DYNAMIC;
constexpr DWORD kPanelStyle = WS_CHILD | WS_VISIBLE | CBRS_GRIPPER | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP |
                              CBRS_FLYBY | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC;

INPUT MouseAt(POINT screen, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  input.mi.dx = static_cast<LONG>((screen.x * 65536 + cx - 1) / cx);
  input.mi.dy = static_cast<LONG>((screen.y * 65536 + cy - 1) / cy);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

enum class Gesture { kClick, kDoubleClick, kDrag };

// The user's hand at the system's input queue.
void Perform(Gesture gesture, POINT at) {
  std::vector<INPUT> inputs{MouseAt(at, 0), MouseAt(at, MOUSEEVENTF_LEFTDOWN)};
  POINT end = at;
  if (gesture == Gesture::kDrag)
    for (int i = 1; i <= 6; ++i) {
      end = POINT{at.x - 20 * i, at.y - 15 * i};
      inputs.push_back(MouseAt(end, 0));
    }
  inputs.push_back(MouseAt(end, MOUSEEVENTF_LEFTUP));
  if (gesture == Gesture::kDoubleClick) {
    inputs.push_back(MouseAt(at, MOUSEEVENTF_LEFTDOWN));
    inputs.push_back(MouseAt(at, MOUSEEVENTF_LEFTUP));
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  PumpPendingMessages(300);
}

CRect ScreenRect(HWND hwnd) {
  CRect rect;
  ::GetWindowRect(hwnd, &rect);
  return rect;
}

CRect ClientInWindow(HWND hwnd) {
  CRect client;
  ::GetClientRect(hwnd, &client);
  ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const CRect window = ScreenRect(hwnd);
  client.OffsetRect(-window.left, -window.top);
  return client;
}

// A frame of 720 x 460 with the docking of the toolkit, deleted with its window.
class BarsFrame : public ::testing::Test {
protected:
  void SetUp() override {
    frame = new CTKFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW, CRect(20, 20, 740, 480)));
    frameHwnd = frame->m_hWnd;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(frameHwnd);
  }
  void TearDown() override {
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    PumpPendingMessages(50);
  }
  void Dock(CControlBar& bar, UINT side) {
    bar.EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(frame->DockControlBar(&bar, side));
    frame->RecalcLayout();
    PumpPendingMessages(100);
  }
  CTKFrameWnd* frame = nullptr;
  HWND frameHwnd = nullptr;
};

TEST_F(BarsFrame, FixedBarsGetAThinCaptionOrNone) {
  const int global = GlobalData::Get().textHeight;
  ASSERT_GT(global, 4);
  struct Case {
    bool dialog, caption;
    int expected;
  } cases[] = {
      {false, true, std::min(global, 4)},
      {false, false, 0},
      {true, true, std::max(global, 12)},
      {true, false, 0},
  };
  for (const Case& c : cases) {
    if (c.dialog) {
      CTVLFixingDialogBar bar;
      ASSERT_TRUE(
          bar.Create("", frame, c.caption, MAKEINTRESOURCEA(IDD_RECORD_PANEL), kPanelStyle, kPanelId));
      EXPECT_EQ(bar.m_captionHeight, c.expected) << "dialog bar, caption " << c.caption;
      EXPECT_EQ(bar.m_edgeWidth, 4);
      ::DestroyWindow(bar.m_hWnd);
    } else {
      CTVLFixingControlBar bar;
      ASSERT_TRUE(bar.Create("Meter", frame, 32, 200, c.caption, kMeterId, kMeterStyle));
      EXPECT_EQ(bar.m_captionHeight, c.expected) << "control bar, caption " << c.caption;
      EXPECT_EQ(bar.m_edgeWidth, 3);
      EXPECT_EQ(bar.m_dockedHorzSize, CSize(32, 200));
      EXPECT_EQ(bar.m_dockedVertSize, CSize(32, 200));
      EXPECT_EQ(bar.m_floatSize, CSize(32, 200));
      EXPECT_TRUE(bar.GetBarStyleBits() & CBRS_SIZE_DYNAMIC);
      EXPECT_TRUE(::GetWindowLongA(bar.m_hWnd, GWL_STYLE) & WS_CLIPCHILDREN);
      ::DestroyWindow(bar.m_hWnd);
    }
  }
}

TEST_F(BarsFrame, FixedBarsStayPutWhateverTheMouseDoesOnThem) {
  CTVLFixingControlBar meter;
  ASSERT_TRUE(meter.Create("Meter", frame, 32, 200, TRUE, kMeterId, kMeterStyle));
  CTVLFixingDialogBar panel;
  ASSERT_TRUE(panel.Create("", frame, TRUE, MAKEINTRESOURCEA(IDD_RECORD_PANEL), kPanelStyle, kPanelId));
  Dock(meter, AFX_IDW_DOCKBAR_RIGHT);
  Dock(panel, AFX_IDW_DOCKBAR_BOTTOM);
  ASSERT_TRUE(::IsWindowVisible(meter.m_hWnd));
  ASSERT_TRUE(::IsWindowVisible(panel.m_hWnd));

  // A thin edge towards the frame's middle: 3 pixels for the meter on the right (on its
  // left), 4 for the panel at the bottom (on its top), inside the bars' borders.
  const CRect meterClient = ClientInWindow(meter.m_hWnd), panelClient = ClientInWindow(panel.m_hWnd);
  EXPECT_EQ(meterClient.left, meter.m_borderSize + 3);
  EXPECT_EQ(ScreenRect(meter.m_hWnd).Width() - meterClient.right, meter.m_borderSize);
  EXPECT_EQ(panelClient.left, panel.m_borderSize + panel.m_captionHeight) << "the caption runs down the left";
  EXPECT_EQ(panelClient.top, panel.m_borderSize + 4);
  // The edge is drawn that thin, inside the bar's outermost pixel: its light line on
  // the outside, its dark line 3 (or 4) pixels further in, as the screen shows it.
  ::RedrawWindow(frameHwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPendingMessages(100);
  const CapturedImage screen = CaptureWindow(::GetDesktopWindow(), false);
  ASSERT_FALSE(screen.Empty());
  const GlobalData& colours = GlobalData::Get();
  auto dark = [&](COLORREF c) { return c == colours.barDarkShadow || c == colours.barShadow; };
  const CRect meterRect = ScreenRect(meter.m_hWnd), panelRect = ScreenRect(panel.m_hWnd);
  const int meterMiddle = (meterRect.top + meterRect.bottom) / 2,
            panelMiddle = (panelRect.left + panelRect.right) / 2;
  EXPECT_EQ(screen.At(meterRect.left + 1, meterMiddle), colours.barHighlight);
  EXPECT_TRUE(dark(screen.At(meterRect.left + 3, meterMiddle)))
      << std::hex << screen.At(meterRect.left + 3, meterMiddle);
  EXPECT_EQ(screen.At(panelMiddle, panelRect.top + 1), colours.barHighlight);
  EXPECT_TRUE(dark(screen.At(panelMiddle, panelRect.top + 4)))
      << std::hex << screen.At(panelMiddle, panelRect.top + 4);

  struct Bar {
    const char* name;
    CTKSizingControlBar* bar;
  } bars[] = {{"meter", &meter}, {"panel", &panel}};
  for (const Bar& b : bars) {
    const HWND hwnd = b.bar->m_hWnd, side = ::GetParent(hwnd);
    const CRect before = ScreenRect(hwnd);
    // The caption strip, the thin edge, the border and the bar's own surface.
    const bool top = b.bar == &panel;
    const POINT points[] = {
        {before.left + b.bar->m_borderSize + 1, before.top + before.Height() / 2},
        top ? POINT{before.left + before.Width() / 2, before.top + b.bar->m_borderSize + 1}
            : POINT{before.left + b.bar->m_borderSize + 1, before.top + 40},
        {before.left + 1, before.top + 1},
        {before.right - b.bar->m_borderSize - 1, before.bottom - b.bar->m_borderSize - 1},
    };
    for (const POINT& p : points)
      EXPECT_EQ(::SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTTRANSPARENT) << b.name;
    for (Gesture g : {Gesture::kClick, Gesture::kDoubleClick, Gesture::kDrag}) {
      for (const POINT& p : points) {
        Perform(g, p);
        const std::string what = std::string(b.name) + " gesture " + std::to_string(static_cast<int>(g)) +
                                 " at " + std::to_string(p.x) + "," + std::to_string(p.y);
        EXPECT_FALSE(b.bar->IsFloating()) << what;
        EXPECT_EQ(::GetParent(hwnd), side) << what;
        EXPECT_TRUE(::IsWindowVisible(hwnd)) << what;
        EXPECT_EQ(ScreenRect(hwnd), before) << what;
        EXPECT_EQ(::GetCapture(), nullptr) << what;
      }
    }
    // The caption buttons cannot be pressed either: a press sent to the bar finds none.
    ::SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(before.left + 2, before.top + 2));
    ::SendMessageA(hwnd, WM_LBUTTONUP, 0, 0);
    PumpPendingMessages(50);
    EXPECT_TRUE(::IsWindowVisible(hwnd)) << b.name;
  }
}

TEST_F(BarsFrame, ProgramToolbarAndMenuBarGetTheirClassBordersAndStyles) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  char expectedClass[96];
  std::snprintf(expectedClass, sizeof expectedClass, "Afx:%x:8:%x:10",
                static_cast<unsigned>(reinterpret_cast<UINT_PTR>(instance)),
                static_cast<unsigned>(reinterpret_cast<UINT_PTR>(::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW))));
  struct Case {
    bool menu;
    UINT id;
    CRect borders;
    CRect expectedBorders;  // left, top, right, bottom
    bool firstToolBar;
  } cases[] = {
      {false, AFX_IDW_TOOLBAR, CRect(1, 1, 1, 1), CRect(1, 1, 1, 1), true},
      {false, 32882, CRect(1, 1, 1, 1), CRect(1, 1, 1, 1), false},
      {false, 32895, CRect(0, -3, 0, -2), CRect(1, 1, 0, -2), false},
      {false, 32896, CRect(4, 5, 6, 7), CRect(4, 5, 6, 7), false},
      {true, CTKMenuBar::kMenuBarId, CRect(0, 0, 0, 0), CRect(1, 1, 0, 0), false},
  };
  for (const Case& c : cases) {
    CTVLToolBar toolBar;
    CTVLMenuBar menuBar;
    CTKToolBar& bar = c.menu ? static_cast<CTKToolBar&>(menuBar) : toolBar;
    const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC;
    const BOOL made = c.menu ? menuBar.CreateEx(frame, TBSTYLE_FLAT, style, c.borders, c.id)
                             : toolBar.CreateEx(frame, TBSTYLE_FLAT, style, c.borders, c.id);
    ASSERT_TRUE(made) << c.id;
    char cls[96] = "";
    ::GetClassNameA(bar.m_hWnd, cls, sizeof cls);
    EXPECT_STREQ(cls, expectedClass) << c.id;
    EXPECT_EQ(CRect(bar.m_cxLeftBorder, bar.m_cyTopBorder, bar.m_cxRightBorder, bar.m_cyBottomBorder),
              c.expectedBorders)
        << c.id;
    // (The menu bar always hides in place, which takes the same bit.)
    if (!c.menu)
      EXPECT_EQ((bar.GetBarStyleBits() & CTVLToolBar::kFirstToolBarStyle) != 0, c.firstToolBar) << c.id;
    EXPECT_TRUE(bar.GetBarStyleBits() & CBRS_GRIPPER) << c.id;
    EXPECT_TRUE(bar.GetBarStyleBits() & CBRS_SIZE_DYNAMIC) << c.id;
    const DWORD windowStyle = static_cast<DWORD>(::GetWindowLongA(bar.m_hWnd, GWL_STYLE));
    EXPECT_EQ(windowStyle & 0x4E, 0x4Eu) << c.id;
    EXPECT_TRUE(windowStyle & TBSTYLE_FLAT) << c.id;
    EXPECT_TRUE(windowStyle & WS_VISIBLE) << c.id;
    EXPECT_EQ(::GetParent(bar.m_hWnd), frameHwnd) << c.id;
    if (c.menu) {
      EXPECT_EQ(menuBar.m_pParentFrame, frame);
    }
    ::DestroyWindow(bar.m_hWnd);
  }
  // Create is CreateEx with the flat control style and borders of 1.
  CTVLToolBar plain;
  ASSERT_TRUE(plain.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR));
  EXPECT_EQ(CRect(plain.m_cxLeftBorder, plain.m_cyTopBorder, plain.m_cxRightBorder, plain.m_cyBottomBorder),
            CRect(1, 1, 1, 1));
  EXPECT_TRUE(::GetWindowLongA(plain.m_hWnd, GWL_STYLE) & 0x800);
  ::DestroyWindow(plain.m_hWnd);
}

TEST_F(BarsFrame, ToolbarButtonsFollowTheHandlersOnEveryFourthIdleUpdate) {
  CTVLToolBar bar;
  ASSERT_TRUE(bar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 32882));
  // A command nobody handles: the update disables its button.
  ASSERT_GE(bar.InsertButton(new CTKToolbarButton(40123, -1, "Nobody")), 0);
  Dock(bar, AFX_IDW_DOCKBAR_TOP);
  for (int update = 1; update <= 8; ++update) {
    if (update == 5) bar.SetButtonStyle(0, bar.GetButtonStyle(0) & ~TBBS_DISABLED);
    // The frame's idle-time update of its bars.
    ::SendMessageA(frameHwnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    const bool disabled = (bar.GetButtonStyle(0) & TBBS_DISABLED) != 0;
    EXPECT_EQ(disabled, update % 4 == 0) << "update " << update;
    EXPECT_EQ(bar.GetUpdateCount(), update);
  }
}

}  // namespace
