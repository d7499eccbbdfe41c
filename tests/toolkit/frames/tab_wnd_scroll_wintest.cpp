// The tab window's buttons beside the tabs: scrolling a strip longer than the window
// by clicks and by holding a button down, scrolling a tab into view when it becomes
// active, and the close button, all clicked with the user's mouse.
#include "toolkit/frames/pane_test_support.h"

#include "toolkit/bars/TKContextMenuManager.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKTabWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using panetest::ClickAt;
using panetest::ScreenshotPath;
using toolbartest::MouseButton;
using toolbartest::MoveMouseAndWait;
using toolbartest::ScreenPointOf;

struct Owner : CWnd {
  std::vector<std::pair<int, int>> moves;    // old index, drop position
  std::vector<std::pair<int, int>> changes;  // new active, previous
  std::vector<int> hscrolls;                 // scroll codes of the shared bar
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == TKM_ON_HSCROLL) hscrolls.push_back(LOWORD(wParam));
    if (message == TKM_ONCHANGE_ACTIVE_TAB)
      changes.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
    if (message == TKM_ON_MOVE_TAB) moves.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
    return CWnd::WindowProc(message, wParam, lParam);
  }
  BOOL Make(int width) {
    return CreateEx(0, nullptr, "tabs", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, width, 160, nullptr,
                    nullptr);
  }
};

// A hosted window that keeps count of the requests to close it (and stays).
struct Page : CWnd {
  int closes = 0;
  BOOL Make(CWnd* parent) {
    return CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent->m_hWnd, nullptr);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CLOSE) {
      ++closes;
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// A hosted window wider than it shows: 1000 units, 100 of them at a time, ten to a
// line; it scrolls itself as a window does on WM_HSCROLL.
struct WidePage : CWnd {
  BOOL Make(CWnd* parent) {
    if (!CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL, 0, 0, 10, 10, parent->m_hWnd, nullptr))
      return FALSE;
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 999, 100, 0, 0};
    ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
    return TRUE;
  }
  int Position() const { return ::GetScrollPos(m_hWnd, SB_HORZ); }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message != WM_HSCROLL) return CWnd::WindowProc(message, wParam, lParam);
    int position = Position();
    switch (LOWORD(wParam)) {
      case SB_LINERIGHT:
        position += 10;
        break;
      case SB_LINELEFT:
        position -= 10;
        break;
      case SB_PAGERIGHT:
        position += 100;
        break;
      case SB_PAGELEFT:
        position -= 100;
        break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION:
        position = static_cast<short>(HIWORD(wParam));
        break;
    }
    SCROLLINFO info{sizeof(info), SIF_POS, 0, 0, 0, std::max(0, std::min(position, 900)), 0};
    ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
    return 0;
  }
};

// Tabs "Take 1", "Take 2", ... of the style in a shown owner window of the width.
void MakeStrip(Owner& owner, CTKTabWnd& tabs, int style, int width, Page* pages, int count) {
  ASSERT_TRUE(owner.Make(width));
  ASSERT_TRUE(tabs.Create(style, CRect(0, 0, width, 160), &owner, 1));
  for (int i = 0; i < count; ++i) {
    ASSERT_TRUE(pages[i].Make(&tabs));
    tabs.AppendTab(&pages[i], ("Take " + std::to_string(i + 1)).c_str());
  }
  ::SetForegroundWindow(owner.m_hWnd);
  PumpPendingMessages();
}

CRect ChildRect(CWnd& parent, HWND child) {
  CRect r;
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(nullptr, parent.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

CRect ButtonRect(CTKTabWnd& tabs, CTKTabWnd::TabButton which) {
  CRect r;
  HWND button = tabs.GetTabButton(which);
  if (!button) return r;
  ::GetWindowRect(button, &r);
  ::MapWindowPoints(nullptr, tabs.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

POINT ButtonCentre(CTKTabWnd& tabs, CTKTabWnd::TabButton which) {
  return ScreenPointOf(tabs, ButtonRect(tabs, which).CenterPoint());
}

// Holds the mouse button down on a point for a while, then lets go.
void HoldAt(POINT screen, DWORD ms) {
  EXPECT_TRUE(MoveMouseAndWait(screen, true));
  PumpPendingMessages(100);
  MouseButton(true);
  PumpPendingMessages(ms);
  MouseButton(false);
  PumpPendingMessages(200);
}

// Pixels clearly more blue than grey: the glyphs of buttons that can act.
int ColouredPixels(const CapturedImage& image, const CRect& rect) {
  int count = 0;
  for (int y = std::max<int>(0, rect.top); y < std::min<int>(image.height, rect.bottom); ++y)
    for (int x = std::max<int>(0, rect.left); x < std::min<int>(image.width, rect.right); ++x) {
      const COLORREF p = image.At(x, y);
      if (GetBValue(p) > GetRValue(p) + 40) ++count;
    }
  return count;
}

// A quick click: pressed and let go before the button's repeat could start.
void QuickClickAt(POINT screen) {
  EXPECT_TRUE(MoveMouseAndWait(screen, true));
  PumpPendingMessages(100);
  MouseButton(true);
  MouseButton(false);
  PumpPendingMessages(200);
}

void CtrlKey(CTKTabWnd& tabs, WPARAM key) {
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  MSG msg{tabs.m_hWnd, WM_KEYDOWN, key, 0, 0, {0, 0}};
  EXPECT_TRUE(tabs.PreTranslateMessage(&msg));
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
}

TEST(TabWndScrollTest, ButtonsScrollALongStripAndCloseTheActiveWindow) {
  struct Case {
    int style;
    const char* name;
    bool flat;
  } cases[] = {{CTKTabWnd::STYLE_FLAT, "flat", true}, {CTKTabWnd::STYLE_3D_SCROLLED, "3d", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Owner owner;
    ASSERT_TRUE(owner.Make(260));
    CTKTabWnd tabs;
    ASSERT_TRUE(tabs.Create(c.style, CRect(0, 0, 260, 160), &owner, 1, CTKTabWnd::LOCATION_BOTTOM, TRUE));
    Page pages[10];
    for (int i = 0; i < 10; ++i) {
      ASSERT_TRUE(pages[i].Make(&tabs));
      tabs.AppendTab(&pages[i], ("Take " + std::to_string(i + 1)).c_str());
    }
    ::SetForegroundWindow(owner.m_hWnd);
    PumpPendingMessages();

    // The strip is longer than the window: the buttons sit beside it, the tabs start
    // at its left and nothing is scrolled yet.
    const CRect area = tabs.GetTabsArea();
    ASSERT_GT(tabs.GetMaxScrollOffset(), 0);
    EXPECT_EQ(tabs.GetScrollOffset(), 0);
    const CRect right = ButtonRect(tabs, CTKTabWnd::BUTTON_RIGHT);
    ASSERT_FALSE(right.IsRectEmpty());
    EXPECT_TRUE(::IsWindowVisible(tabs.GetTabButton(CTKTabWnd::BUTTON_CLOSE)));
    if (c.flat)
      EXPECT_LE(right.right, area.left);  // flat tabs keep their buttons on the left
    else
      EXPECT_GE(right.left, area.right);
    CRect overlap;
    EXPECT_FALSE(overlap.IntersectRect(right, area));
    CRect first;
    ASSERT_TRUE(tabs.GetTabRect(0, first));
    EXPECT_EQ(first.left, area.left);
    if (!c.flat) {
      EXPECT_FALSE(::IsWindowEnabled(tabs.GetTabButton(CTKTabWnd::BUTTON_LEFT)));
      EXPECT_TRUE(::IsWindowEnabled(tabs.GetTabButton(CTKTabWnd::BUTTON_RIGHT)));
    }

    // One click moves the tabs one step left.
    QuickClickAt(ButtonCentre(tabs, CTKTabWnd::BUTTON_RIGHT));
    EXPECT_EQ(tabs.GetScrollOffset(), 20);
    CRect moved;
    ASSERT_TRUE(tabs.GetTabRect(0, moved));
    EXPECT_EQ(moved.left, first.left - 20);
    if (!c.flat) EXPECT_TRUE(::IsWindowEnabled(tabs.GetTabButton(CTKTabWnd::BUTTON_LEFT)));

    // Held down, the button keeps scrolling until the last tab ends at the strip's end.
    HoldAt(ButtonCentre(tabs, CTKTabWnd::BUTTON_RIGHT), 2500);
    EXPECT_EQ(tabs.GetScrollOffset(), tabs.GetMaxScrollOffset());
    CRect last;
    ASSERT_TRUE(tabs.GetTabRect(9, last));
    EXPECT_LE(last.right, area.right + area.Height());
    EXPECT_GT(last.right, area.right - 20);
    if (!c.flat) EXPECT_FALSE(::IsWindowEnabled(tabs.GetTabButton(CTKTabWnd::BUTTON_RIGHT)));

    PumpPendingMessages();
    CapturedImage image = CaptureWindow(tabs.m_hWnd, true);
    ASSERT_FALSE(image.Empty());
    EXPECT_TRUE(SavePng(image, ScreenshotPath(std::string("tab_scroll_") + c.name + ".png")));
    // The arrow that can still scroll is drawn in colour; in 3D tabs the one at its end
    // is greyed.
    EXPECT_GT(ColouredPixels(image, ButtonRect(tabs, CTKTabWnd::BUTTON_LEFT)), 0);
    if (!c.flat) EXPECT_EQ(ColouredPixels(image, ButtonRect(tabs, CTKTabWnd::BUTTON_RIGHT)), 0);

    // Becoming active by the keyboard brings a tab scrolled out of sight back in.
    CtrlKey(tabs, VK_NEXT);
    ASSERT_EQ(tabs.GetActiveTab(), 1);
    CRect second;
    ASSERT_TRUE(tabs.GetTabRect(1, second));
    EXPECT_EQ(second.left, area.left);
    EXPECT_LT(tabs.GetScrollOffset(), tabs.GetMaxScrollOffset());

    if (c.flat) {
      // First and last jump to either end.
      ClickAt(ButtonCentre(tabs, CTKTabWnd::BUTTON_LAST));
      EXPECT_EQ(tabs.GetScrollOffset(), tabs.GetMaxScrollOffset());
      ClickAt(ButtonCentre(tabs, CTKTabWnd::BUTTON_FIRST));
      EXPECT_EQ(tabs.GetScrollOffset(), 0);
    } else {
      const int before = tabs.GetScrollOffset();
      QuickClickAt(ButtonCentre(tabs, CTKTabWnd::BUTTON_LEFT));
      EXPECT_EQ(tabs.GetScrollOffset(), std::max(0, before - 20));
    }

    // Close asks the active tab's window to close, and only that one.
    ClickAt(ButtonCentre(tabs, CTKTabWnd::BUTTON_CLOSE));
    EXPECT_EQ(pages[1].closes, 1);
    EXPECT_EQ(pages[0].closes + pages[2].closes, 0);

    // Wide enough for every tab, the strip scrolls back and the buttons have nothing to do.
    ::SetWindowPos(owner.m_hWnd, nullptr, 0, 0, 1600, 160, SWP_NOMOVE | SWP_NOZORDER);
    ::SetWindowPos(tabs.m_hWnd, nullptr, 0, 0, 1600, 160, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(tabs.GetMaxScrollOffset(), 0);
    EXPECT_EQ(tabs.GetScrollOffset(), 0);
    if (!c.flat) {
      EXPECT_FALSE(::IsWindowEnabled(tabs.GetTabButton(CTKTabWnd::BUTTON_LEFT)));
      EXPECT_FALSE(::IsWindowEnabled(tabs.GetTabButton(CTKTabWnd::BUTTON_RIGHT)));
    }
    tabs.DestroyWindow();
    owner.DestroyWindow();
  }
}

TEST(TabWndScrollTest, ATabDraggedPastTheEndOfTheStripScrollsItAlong) {
  Owner owner;
  ASSERT_TRUE(owner.Make(260));
  CTKTabWnd tabs;
  ASSERT_TRUE(tabs.Create(CTKTabWnd::STYLE_3D_SCROLLED, CRect(0, 0, 260, 160), &owner, 1));
  tabs.SetTabsMovable();
  Page pages[10];
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(pages[i].Make(&tabs));
    tabs.AppendTab(&pages[i], ("Take " + std::to_string(i + 1)).c_str());
  }
  ::SetForegroundWindow(owner.m_hWnd);
  PumpPendingMessages();
  const CRect area = tabs.GetTabsArea();
  CRect first;
  ASSERT_TRUE(tabs.GetTabRect(0, first));

  // The first tab is taken and held to the right of the strip, over the buttons: the
  // strip scrolls under it; brought back to the strip's right end, it is let go there.
  const int y = first.CenterPoint().y;
  EXPECT_TRUE(MoveMouseAndWait(ScreenPointOf(tabs, first.CenterPoint()), true));
  PumpPendingMessages(100);
  MouseButton(true);
  PumpPendingMessages(100);
  EXPECT_TRUE(MoveMouseAndWait(ScreenPointOf(tabs, CPoint(area.right + 4, y)), true));
  PumpPendingMessages(1300);
  EXPECT_GE(tabs.GetScrollOffset(), 60);
  EXPECT_TRUE(MoveMouseAndWait(ScreenPointOf(tabs, CPoint(area.right - 3, y)), true));
  const int scrolled = tabs.GetScrollOffset();
  PumpPendingMessages(600);
  EXPECT_EQ(tabs.GetScrollOffset(), scrolled);  // back over the strip, scrolling stops
  MouseButton(false);
  PumpPendingMessages(200);

  // The tab now sits where it was dropped, far along the strip, and is still active.
  ASSERT_EQ(owner.moves.size(), 1u);
  EXPECT_EQ(owner.moves[0].first, 0);
  const int now = owner.moves[0].second - 1;
  EXPECT_GE(now, 4);
  CString label;
  ASSERT_TRUE(tabs.GetTabLabel(now, label));
  EXPECT_STREQ(label, "Take 1");
  EXPECT_EQ(tabs.GetActiveTab(), now);
  EXPECT_EQ(tabs.GetActiveWnd(), &pages[0]);
  tabs.DestroyWindow();
  owner.DestroyWindow();
}

// Reads the open tab list and picks an item in it with the mouse, one step per tick of
// a timer that runs inside the list's own loop.
std::vector<std::string> g_listed;
std::string g_pick;
int g_step = 0;
VOID CALLBACK PickFromList(HWND, UINT, UINT_PTR timer, DWORD) {
  CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu();
  if (!popup || !popup->m_hWnd || !::IsWindowVisible(popup->m_hWnd)) {
    if (g_step > 4) ::KillTimer(nullptr, timer);  // picked and closed
    return;
  }
  POINT target{-1, -1};
  for (int i = 0; i < popup->GetMenuItemCount(); ++i) {
    if (static_cast<const char*>(popup->GetMenuItem(i)->m_strText) != g_pick) continue;
    target = popup->GetMenuItem(i)->m_rect.CenterPoint();
    ::ClientToScreen(popup->GetMenuBar()->m_hWnd, &target);
  }
  POINT at;
  ::GetCursorPos(&at);
  switch (g_step++) {
    case 0:
      g_listed.clear();
      for (int i = 0; i < popup->GetMenuItemCount(); ++i)
        g_listed.push_back(static_cast<const char*>(popup->GetMenuItem(i)->m_strText));
      SavePng(CaptureWindow(popup->m_hWnd, false), ScreenshotPath("tab_list.png"));
      toolbartest::MoveMouse(target);
      break;
    case 1:
    case 2:
      // Under the virtual display a move can get lost: the pointer is brought again.
      if (at.x != target.x || at.y != target.y) toolbartest::MoveMouse(target);
      break;
    case 3:
      MouseButton(true);
      break;
    case 4:
      MouseButton(false);
      break;
    default:
      if (g_step > 40) {  // never picked: close the list so the test goes on
        ::KillTimer(nullptr, timer);
        popup->SendMessage(WM_CLOSE);
      }
      break;
  }
}

TEST(TabWndScrollTest, TheTabListModeLeavesOutWhatDoesNotFitAndListsEveryTab) {
  auto manager = std::make_unique<CTKContextMenuManager>();
  Owner owner;
  ASSERT_TRUE(owner.Make(260));
  CTKTabWnd tabs;
  ASSERT_TRUE(tabs.Create(CTKTabWnd::STYLE_3D_SCROLLED, CRect(0, 0, 260, 160), &owner, 1));
  tabs.SetTabsListMenu();
  const char* labels[] = {"Take 3", "mix & master", "Intro", "B&&W", "Outro", "drums", "Alpha", "Zed"};
  Page pages[8];
  for (int i = 0; i < 8; ++i) {
    ASSERT_TRUE(pages[i].Make(&tabs));
    tabs.AppendTab(&pages[i], labels[i]);
  }
  ::SetForegroundWindow(owner.m_hWnd);
  PumpPendingMessages();

  // Only the right button, always enabled; tabs past the strip's end are left out.
  const CRect area = tabs.GetTabsArea();
  EXPECT_FALSE(::IsWindowVisible(tabs.GetTabButton(CTKTabWnd::BUTTON_LEFT)));
  EXPECT_TRUE(::IsWindowVisible(tabs.GetTabButton(CTKTabWnd::BUTTON_RIGHT)));
  EXPECT_TRUE(::IsWindowEnabled(tabs.GetTabButton(CTKTabWnd::BUTTON_RIGHT)));
  int shown = 0;
  for (int i = 0; i < 8; ++i) {
    CRect r;
    if (!tabs.GetTabRect(i, r) || r.IsRectEmpty()) continue;
    ++shown;
    EXPECT_LE(r.right, area.right);
  }
  EXPECT_GE(shown, 1);
  EXPECT_LT(shown, 8);
  CRect outro;
  EXPECT_TRUE(!tabs.GetTabRect(4, outro) || outro.IsRectEmpty());

  // The right button lists every tab by label, whatever the case, each label as it
  // reads (a single '&' is shown, not taken as a mnemonic); the pick comes to the front.
  g_pick = "Outro";
  g_step = 0;
  ::SetTimer(nullptr, 0, 150, PickFromList);
  ClickAt(ButtonCentre(tabs, CTKTabWnd::BUTTON_RIGHT));
  EXPECT_TRUE(winetest::WaitUntil([] { return g_step >= 5; }, 5000));
  PumpPendingMessages(300);
  EXPECT_EQ(g_listed, (std::vector<std::string>{"Alpha", "B&&W", "drums", "Intro", "mix && master", "Outro",
                                                "Take 3", "Zed"}));
  EXPECT_EQ(tabs.GetActiveTab(), 0);
  EXPECT_EQ(tabs.GetActiveWnd(), &pages[4]);
  EXPECT_TRUE(pages[4].IsWindowVisible());
  CRect front;
  ASSERT_TRUE(tabs.GetTabRect(0, front));
  EXPECT_FALSE(front.IsRectEmpty());
  ASSERT_FALSE(owner.changes.empty());
  EXPECT_EQ(owner.changes.back(), std::make_pair(0, 0));
  tabs.DestroyWindow();
  owner.DestroyWindow();
}

TEST(TabWndScrollTest, TheSharedScrollBarScrollsTheActiveWindowAndTheSplitterSharesTheStrip) {
  Owner owner;
  CTKTabWnd tabs;
  ASSERT_NO_FATAL_FAILURE(MakeStrip(owner, tabs, CTKTabWnd::STYLE_FLAT_SHARED_HORZ_SCROLL, 420, nullptr, 0));
  WidePage wide;
  Page notes;
  ASSERT_TRUE(wide.Make(&tabs));
  ASSERT_TRUE(notes.Make(&tabs));
  tabs.AppendTab(&wide, "Waveform");
  tabs.AppendTab(&notes, "Notes");
  ::SetForegroundWindow(owner.m_hWnd);
  PumpPendingMessages();

  // The bar takes half of what the client leaves, at the right end of the strip, with
  // the splitter between it and the tabs.
  const HWND bar = tabs.GetScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(::IsWindowVisible(bar));
  CRect client;
  tabs.GetClientRect(&client);
  const int width = (client.Width() - 2 * (3 + 2 * ::GetSystemMetrics(SM_CXVSCROLL))) / 2;
  CRect barRect = ChildRect(tabs, bar);
  EXPECT_EQ(barRect.Width(), width);
  EXPECT_EQ(tabs.GetSplitterRect().right, barRect.left);
  EXPECT_EQ(tabs.GetTabsArea().right, tabs.GetSplitterRect().left);

  // The active window gave its own bar up; the shared one shows its range.
  EXPECT_FALSE(::GetWindowLongA(wide.m_hWnd, GWL_STYLE) & WS_HSCROLL);
  auto barInfo = [&] {
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    ::GetScrollInfo(bar, SB_CTL, &info);
    return info;
  };
  EXPECT_EQ(barInfo().nMax, 999);
  EXPECT_EQ(barInfo().nPage, 100u);

  // The user clicks the bar's right arrow, then the trough: the window scrolls, the bar
  // follows it, the window's own bar stays away, and the parent hears of each step.
  const int arrow = ::GetSystemMetrics(SM_CXHSCROLL);
  struct Click {
    int x;
    int code;
    int position;
  } clicks[] = {{barRect.right - arrow / 2, SB_LINERIGHT, 10},
                {barRect.right - arrow - 3, SB_PAGERIGHT, 110}};
  for (const Click& c : clicks) {
    SCOPED_TRACE(c.code);
    owner.hscrolls.clear();
    panetest::ClickFromAnotherThread(ScreenPointOf(tabs, CPoint(c.x, barRect.CenterPoint().y)));
    EXPECT_EQ(wide.Position(), c.position);
    EXPECT_EQ(barInfo().nPos, c.position);
    ASSERT_FALSE(owner.hscrolls.empty());
    EXPECT_EQ(owner.hscrolls.front(), c.code);
    EXPECT_FALSE(::GetWindowLongA(wide.m_hWnd, GWL_STYLE) & WS_HSCROLL);
  }

  // A window with nothing to scroll leaves the bar disabled; back on the wide one it
  // is where that window is.
  CRect notesTab;
  ASSERT_TRUE(tabs.GetTabRect(1, notesTab));
  ClickAt(ScreenPointOf(tabs, notesTab.CenterPoint()));
  ASSERT_EQ(tabs.GetActiveTab(), 1);
  EXPECT_FALSE(::IsWindowEnabled(bar));
  CRect wideTab;
  ASSERT_TRUE(tabs.GetTabRect(0, wideTab));
  ClickAt(ScreenPointOf(tabs, wideTab.CenterPoint()));
  ASSERT_EQ(tabs.GetActiveTab(), 0);
  EXPECT_TRUE(::IsWindowEnabled(bar));
  EXPECT_EQ(barInfo().nPos, 110);

  // Over the splitter the pointer is the splitter cursor. Dragged left, the bar gets
  // wider and the tabs narrower; dragged past the right end, the bar keeps room for
  // its two arrows.
  const POINT grip = ScreenPointOf(tabs, tabs.GetSplitterRect().CenterPoint());
  EXPECT_TRUE(MoveMouseAndWait(grip, true));
  PumpPendingMessages(100);
  EXPECT_EQ(::GetCursor(), GlobalData::Get().GetStretchCursor());
  const int right = barRect.right;
  struct Drag {
    int dx;
    bool atLeast;  // pushed past the right end: only the arrows' room is left
  } drags[] = {{-80, false}, {+400, true}};
  for (const Drag& d : drags) {
    SCOPED_TRACE(d.dx);
    const POINT from = ScreenPointOf(tabs, tabs.GetSplitterRect().CenterPoint());
    const POINT to{from.x + d.dx, from.y};
    toolbartest::RunDrag(toolbartest::DragScript(from, to));
    EXPECT_FALSE(tabs.IsSplitterDragging());
    POINT released = to;
    ::ScreenToClient(tabs.m_hWnd, &released);
    barRect = ChildRect(tabs, bar);
    EXPECT_EQ(barRect.Width(), d.atLeast ? 2 * arrow : right - released.x);
    EXPECT_EQ(barRect.right, right);
    EXPECT_EQ(tabs.GetScrollBarWidth(), barRect.Width());
    EXPECT_EQ(tabs.GetTabsArea().right, tabs.GetSplitterRect().left);
    EXPECT_EQ(tabs.GetSplitterRect().right, barRect.left);
  }
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST(TabWndScrollTest, DraggingTheSharedBarsThumbScrollsAListViewByItsPixels) {
  Owner owner;
  CTKTabWnd tabs;
  ASSERT_NO_FATAL_FAILURE(MakeStrip(owner, tabs, CTKTabWnd::STYLE_FLAT_SHARED_HORZ_SCROLL, 420, nullptr, 0));
  // A report list three times wider than it shows.
  CWnd list;
  ASSERT_TRUE(list.CreateEx(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | LVS_REPORT, 0, 0, 10,
                            10, tabs.m_hWnd, nullptr));
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = 300;
    column.pszText = const_cast<char*>("Take");
    ::SendMessageA(list.m_hWnd, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  tabs.SetDestroyHostedWindows(FALSE);
  tabs.AppendTab(&list, "Files");
  ::SetForegroundWindow(owner.m_hWnd);
  PumpPendingMessages();
  const HWND bar = tabs.GetScrollBar();
  ASSERT_TRUE(::IsWindowEnabled(bar));
  EXPECT_EQ(::GetScrollPos(list.m_hWnd, SB_HORZ), 0);

  // The user drags the thumb to the right: the list scrolls to where the thumb was let
  // go, and the bar shows the list's position.
  const CRect barRect = ChildRect(tabs, bar);
  const int arrow = ::GetSystemMetrics(SM_CXHSCROLL);
  const POINT thumb = ScreenPointOf(tabs, CPoint(barRect.left + arrow + 4, barRect.CenterPoint().y));
  toolbartest::RunDrag(toolbartest::DragScript(thumb, POINT{thumb.x + barRect.Width() / 3, thumb.y}));
  const int position = ::GetScrollPos(list.m_hWnd, SB_HORZ);
  EXPECT_GT(position, 100);
  EXPECT_EQ(::GetScrollPos(bar, SB_CTL), position);
  EXPECT_FALSE(::GetWindowLongA(list.m_hWnd, GWL_STYLE) & WS_HSCROLL);
  list.DestroyWindow();
}

TEST(TabWndScrollTest, TheActiveFlatTabTakesItsOwnFaceColour) {
  Owner owner;
  CTKTabWnd tabs;
  Page pages[2];
  ASSERT_NO_FATAL_FAILURE(MakeStrip(owner, tabs, CTKTabWnd::STYLE_FLAT, 400, pages, 2));
  CRect active;
  ASSERT_TRUE(tabs.GetTabRect(0, active));
  // Just inside the slanted left edge, half way down: the face, not the label.
  const POINT face{active.left + tabs.GetTabsArea().Height() / 2 + 2, active.CenterPoint().y};
  struct Case {
    COLORREF set;
    COLORREF seen;
  } cases[] = {{RGB(255, 230, 0), RGB(255, 230, 0)}, {(COLORREF)-1, ::GetSysColor(COLOR_WINDOW)}};
  for (const Case& c : cases) {
    tabs.SetActiveTabColor(c.set);
    ::RedrawWindow(tabs.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(CaptureWindow(tabs.m_hWnd, true).At(face.x, face.y), c.seen);
  }
}

TEST(TabWndScrollTest, SlantedTabsScrollByWholeTabs) {
  Owner owner;
  CTKTabWnd tabs;
  constexpr int kCount = 8;
  Page pages[kCount];
  ASSERT_NO_FATAL_FAILURE(MakeStrip(owner, tabs, CTKTabWnd::STYLE_3D_SLANTED, 300, pages, kCount));
  const CRect area = tabs.GetTabsArea();
  const HWND left = tabs.GetTabButton(CTKTabWnd::BUTTON_LEFT),
             right = tabs.GetTabButton(CTKTabWnd::BUTTON_RIGHT);
  EXPECT_FALSE(::IsWindowEnabled(left));
  ASSERT_TRUE(::IsWindowEnabled(right));
  auto startOf = [&](int tab) {
    CRect r;
    tabs.GetTabRect(tab, r);
    return r.left;
  };

  // Each click on the right button: the next tab starts right at the strip's left,
  // until the last tab is in view.
  int clicks = 0;
  while (::IsWindowEnabled(right) && clicks < kCount) {
    QuickClickAt(ButtonCentre(tabs, CTKTabWnd::BUTTON_RIGHT));
    ++clicks;
    EXPECT_EQ(tabs.GetFirstShownTab(), clicks);
    EXPECT_EQ(startOf(clicks), area.left) << clicks;
  }
  EXPECT_GT(clicks, 0);
  EXPECT_LT(clicks, kCount - 1);
  CRect last;
  ASSERT_TRUE(tabs.GetTabRect(kCount - 1, last));
  EXPECT_LE(last.right, area.right);
  EXPECT_TRUE(::IsWindowEnabled(left));

  // The left button goes back a tab at a time, to the first at offset 0.
  for (int first = clicks - 1; first >= 0; --first) {
    ASSERT_TRUE(::IsWindowEnabled(left)) << first;
    QuickClickAt(ButtonCentre(tabs, CTKTabWnd::BUTTON_LEFT));
    EXPECT_EQ(tabs.GetFirstShownTab(), first);
    EXPECT_EQ(startOf(first), area.left) << first;
  }
  EXPECT_EQ(tabs.GetScrollOffset(), 0);
  EXPECT_FALSE(::IsWindowEnabled(left));

  // Ctrl+PageUp wraps to the last tab, which comes into view by whole tabs; back on
  // the first, it is the first shown again.
  CtrlKey(tabs, VK_PRIOR);
  ASSERT_EQ(tabs.GetActiveTab(), kCount - 1);
  ASSERT_TRUE(tabs.GetTabRect(kCount - 1, last));
  EXPECT_LE(last.right, area.right);
  EXPECT_EQ(startOf(tabs.GetFirstShownTab()), area.left);
  CtrlKey(tabs, VK_NEXT);
  EXPECT_EQ(tabs.GetActiveTab(), 0);
  EXPECT_EQ(tabs.GetFirstShownTab(), 0);
  EXPECT_EQ(startOf(0), area.left);
}

TEST(TabWndScrollTest, SlantedTabsLightUpUnderTheMouse) {
  Owner owner;
  CTKTabWnd tabs;
  Page pages[3];
  ASSERT_NO_FATAL_FAILURE(MakeStrip(owner, tabs, CTKTabWnd::STYLE_3D_SLANTED, 400, pages, 3));
  CRect second;
  ASSERT_TRUE(tabs.GetTabRect(1, second));
  // A point of the tab's face away from its label.
  const POINT face{second.CenterPoint().x, second.top + 2};
  auto faceColour = [&] {
    ::RedrawWindow(tabs.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return CaptureWindow(tabs.m_hWnd, true).At(face.x, face.y);
  };
  const COLORREF plain = faceColour();

  // The pointer on the inactive second tab lights it up; off the tabs, it goes out.
  struct Step {
    POINT at;
    int highlighted;
    bool lit;
  } steps[] = {{second.CenterPoint(), 1, true}, {tabs.GetWndArea().CenterPoint(), -1, false}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.highlighted);
    EXPECT_TRUE(MoveMouseAndWait(ScreenPointOf(tabs, step.at), true));
    PumpPendingMessages(100);
    EXPECT_EQ(tabs.GetHighlightedTab(), step.highlighted);
    EXPECT_EQ(faceColour() != plain, step.lit);
    EXPECT_EQ(::GetCapture() == tabs.m_hWnd, step.lit);
  }
  // A click on the lit tab makes it the active one, no longer lit.
  ClickAt(ScreenPointOf(tabs, second.CenterPoint()));
  EXPECT_EQ(tabs.GetActiveTab(), 1);
}

TEST(TabWndScrollTest, OnlyStylesWithScrollButtonsHaveThem) {
  struct Case {
    int style;
    bool buttons, firstAndLast;
  } cases[] = {{CTKTabWnd::STYLE_3D, false, false},
               {CTKTabWnd::STYLE_FLAT, true, true},
               {CTKTabWnd::STYLE_3D_SCROLLED, true, false},
               {CTKTabWnd::STYLE_3D_SLANTED, true, false},
               {CTKTabWnd::STYLE_3D_HALF_SLANTED, false, false}};
  Owner owner;
  ASSERT_TRUE(owner.Make(300));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    CTKTabWnd tabs;
    ASSERT_TRUE(tabs.Create(c.style, CRect(0, 0, 300, 160), &owner, 1));
    Page page;
    ASSERT_TRUE(page.Make(&tabs));
    tabs.AppendTab(&page, "Take");
    EXPECT_EQ(tabs.GetTabButton(CTKTabWnd::BUTTON_RIGHT) != nullptr, c.buttons);
    EXPECT_EQ(tabs.GetTabButton(CTKTabWnd::BUTTON_LAST) != nullptr, c.firstAndLast);
    // Without the close button asked for, it is not shown.
    if (c.buttons) EXPECT_FALSE(::IsWindowVisible(tabs.GetTabButton(CTKTabWnd::BUTTON_CLOSE)));
    // 3D tabs end where their buttons begin; slanted ones keep the left button before
    // the strip, which starts right after it.
    const CRect area = tabs.GetTabsArea();
    if (c.style == CTKTabWnd::STYLE_3D_SCROLLED)
      EXPECT_EQ(ButtonRect(tabs, CTKTabWnd::BUTTON_LEFT).left, area.right);
    if (c.style == CTKTabWnd::STYLE_3D_SLANTED)
      EXPECT_EQ(ButtonRect(tabs, CTKTabWnd::BUTTON_RIGHT).left, area.right);
    if (c.style == CTKTabWnd::STYLE_3D_SLANTED)
      EXPECT_EQ(ButtonRect(tabs, CTKTabWnd::BUTTON_LEFT).right, area.left);
    tabs.DestroyWindow();
  }
  owner.DestroyWindow();
}

}  // namespace
