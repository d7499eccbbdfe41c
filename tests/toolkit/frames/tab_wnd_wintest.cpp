// The tab window: inserting, activating (by click and by Ctrl+PageUp/PageDown) and
// removing tabs with the messages its parent gets, the layout of the tabs strip and the
// hosted windows, automatic colours, and drawing through the current look.
#include "support/wine/GTestWin.h"

#include "support/wine/WindowCapture.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKTabWnd.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <string>
#include <utility>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

struct TabOwner : CWnd {
  std::vector<std::pair<int, int>> changes;             // new, previous
  std::vector<std::pair<int, int>> beforeMoves, moves;  // tab, drop position
  LRESULT moveAnswer = 0;
  std::vector<std::pair<int, std::string>> renames;
  LRESULT renameAnswer = 0;
  int doubleClicks = 0;
  BOOL Make() {
    return CreateEx(0, nullptr, "tabs", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 30, 30, 320, 220, nullptr,
                    nullptr);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == TKM_ONCHANGE_ACTIVE_TAB)
      changes.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
    if (message == TKM_ON_BEFOREMOVE_TAB) {
      beforeMoves.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
      return moveAnswer;
    }
    if (message == TKM_ON_RENAME_TAB) {
      renames.emplace_back(static_cast<int>(wParam), reinterpret_cast<const char*>(lParam));
      return renameAnswer;
    }
    if (message == WM_LBUTTONDBLCLK) ++doubleClicks;
    if (message == TKM_ON_MOVE_TAB) moves.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// A hosted window: a plain child of the tab window.
struct Page : CWnd {
  BOOL Make(CWnd* parent) {
    return CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent->m_hWnd, nullptr);
  }
};

CPoint Centre(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

void Click(CTKTabWnd& tabs, CPoint p) {
  ::SendMessageA(tabs.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  ::SendMessageA(tabs.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
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

TEST(TabWndTest, TabsActivateAndRemoveWithMessagesToTheParent) {
  TabOwner owner;
  ASSERT_TRUE(owner.Make());
  CTKTabWnd tabs;
  ASSERT_TRUE(tabs.Create(CTKTabWnd::STYLE_3D, CRect(0, 0, 320, 220), &owner, 1));
  Page pages[3];
  const char* labels[] = {"Alpha", "Beta", "Gamma"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(pages[i].Make(&tabs));
    tabs.AppendTab(&pages[i], labels[i]);
  }
  // The first tab became active at once; the others' windows are hidden.
  EXPECT_EQ(tabs.GetTabsNum(), 3);
  EXPECT_EQ(tabs.GetActiveTab(), 0);
  EXPECT_EQ(tabs.GetActiveWnd(), &pages[0]);
  EXPECT_TRUE(pages[0].IsWindowVisible());
  EXPECT_FALSE(pages[1].IsWindowVisible());
  EXPECT_EQ(tabs.GetTabFromHwnd(pages[2].m_hWnd), 2);

  // Indexes outside the tabs are refused.
  CRect rect;
  CString label;
  EXPECT_EQ(tabs.GetTabWnd(3), nullptr);
  EXPECT_EQ(tabs.GetTabWnd(-1), nullptr);
  EXPECT_FALSE(tabs.GetTabRect(3, rect));
  EXPECT_FALSE(tabs.SetActiveTab(3));
  EXPECT_FALSE(tabs.RemoveTab(3));
  EXPECT_FALSE(tabs.SetTabLabel(0, CString("")));
  EXPECT_TRUE(tabs.GetTabLabel(1, label));
  EXPECT_STREQ(label, "Beta");

  // Tabs side by side in the strip at the bottom; a click activates one.
  CRect r0, r1, r2;
  ASSERT_TRUE(tabs.GetTabRect(0, r0) && tabs.GetTabRect(1, r1) && tabs.GetTabRect(2, r2));
  EXPECT_LT(r0.right, r1.right);
  EXPECT_LT(r1.right, r2.right);
  EXPECT_GE(r0.top, tabs.GetTabsArea().top);
  EXPECT_EQ(tabs.GetTabFromPoint(Centre(r1)), 1);
  EXPECT_EQ(tabs.GetTabFromPoint(CPoint(5, 5)), -1);
  Click(tabs, Centre(r2));
  EXPECT_EQ(tabs.GetActiveTab(), 2);
  EXPECT_TRUE(pages[2].IsWindowVisible());
  EXPECT_FALSE(pages[0].IsWindowVisible());
  ASSERT_EQ(owner.changes.size(), 1u);
  EXPECT_EQ(owner.changes.back(), std::make_pair(2, 0));
  Click(tabs, Centre(r2));  // the active tab again: nothing
  EXPECT_EQ(owner.changes.size(), 1u);

  // Ctrl+PageDown from the last tab wraps to the first visible one, skipping hidden tabs.
  tabs.ShowTab(0, FALSE);
  CtrlKey(tabs, VK_NEXT);
  EXPECT_EQ(tabs.GetActiveTab(), 1);
  EXPECT_EQ(owner.changes.back(), std::make_pair(1, 2));
  CtrlKey(tabs, VK_PRIOR);  // back, wrapping past the hidden first tab
  EXPECT_EQ(tabs.GetActiveTab(), 2);
  tabs.ShowTab(0, TRUE);
  MSG plain{tabs.m_hWnd, WM_KEYDOWN, VK_NEXT, 0, 0, {0, 0}};
  EXPECT_FALSE(tabs.PreTranslateMessage(&plain));  // without Ctrl the key is not ours

  // Removing the active last tab activates the one before it and destroys its window.
  HWND gone = pages[2].m_hWnd;
  EXPECT_TRUE(tabs.RemoveTab(2));
  EXPECT_FALSE(::IsWindow(gone));
  EXPECT_EQ(tabs.GetActiveTab(), 1);
  EXPECT_EQ(owner.changes.back(), std::make_pair(1, -1));
  EXPECT_TRUE(pages[1].IsWindowVisible());
  // Removing a tab before the active one keeps the same window active.
  EXPECT_TRUE(tabs.RemoveTab(0));
  EXPECT_EQ(tabs.GetActiveTab(), 0);
  EXPECT_EQ(tabs.GetActiveWnd(), &pages[1]);
  // Removing the only tab leaves none active.
  EXPECT_TRUE(tabs.RemoveTab(0));
  EXPECT_EQ(tabs.GetTabsNum(), 0);
  EXPECT_EQ(tabs.GetActiveTab(), -1);
  EXPECT_EQ(tabs.GetActiveWnd(), nullptr);
  owner.DestroyWindow();
}

TEST(TabWndTest, LayoutOfStripAndHostedWindow) {
  TabOwner owner;
  ASSERT_TRUE(owner.Make());
  struct Case {
    int style;
    int location;
    BOOL hideSingle;
  } cases[] = {{CTKTabWnd::STYLE_3D, CTKTabWnd::LOCATION_BOTTOM, FALSE},
               {CTKTabWnd::STYLE_3D, CTKTabWnd::LOCATION_TOP, FALSE},
               {CTKTabWnd::STYLE_3D, CTKTabWnd::LOCATION_BOTTOM, TRUE},
               {CTKTabWnd::STYLE_FLAT, CTKTabWnd::LOCATION_BOTTOM, FALSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style * 10 + c.location + (c.hideSingle ? 100 : 0));
    CTKTabWnd tabs;
    ASSERT_TRUE(tabs.Create(c.style, CRect(0, 0, 300, 200), &owner, 1, c.location));
    tabs.HideSingleTab(c.hideSingle);
    Page page;
    ASSERT_TRUE(page.Make(&tabs));
    tabs.AppendTab(&page, "Only");
    const int height = c.style == CTKTabWnd::STYLE_FLAT ? ::GetSystemMetrics(SM_CYHSCROLL) + 2
                                                        : GlobalData::Get().textHeight + 5;
    EXPECT_EQ(tabs.GetTabsHeight(), height);
    CRect placed;
    page.GetWindowRect(&placed);
    ::MapWindowPoints(nullptr, tabs.m_hWnd, reinterpret_cast<POINT*>(&placed), 2);
    CRect tab;
    tabs.GetTabRect(0, tab);
    if (c.hideSingle) {
      // No strip: the window fills the client less the border.
      EXPECT_TRUE(tab.IsRectEmpty());
      EXPECT_EQ(placed, CRect(4, 4, 296, 196));
      continue;
    }
    EXPECT_FALSE(tab.IsRectEmpty());
    EXPECT_EQ(placed, tabs.GetWndArea());
    CRect strip = tabs.GetTabsArea();
    EXPECT_EQ(strip.Height(), height);
    // Flat tabs start after their four scroll buttons (first, left, right, last).
    const int buttons = c.style == CTKTabWnd::STYLE_FLAT ? 4 * std::min(height - 4, 15) : 0;
    EXPECT_EQ(strip.left, 2 + buttons);
    EXPECT_EQ(strip.right, 298);
    if (c.location == CTKTabWnd::LOCATION_TOP) {
      EXPECT_LE(placed.top, strip.bottom + 4 + 2);
      EXPECT_GE(placed.top, strip.bottom);
      EXPECT_EQ(tab.top, strip.top + 2);  // moved down off the outer edge
    } else {
      EXPECT_LE(placed.bottom, strip.top);
      EXPECT_EQ(tab.top, strip.top);
    }
  }
  owner.DestroyWindow();
}

TEST(TabWndTest, AutomaticAndOwnColours) {
  TabOwner owner;
  ASSERT_TRUE(owner.Make());
  CTKTabWnd tabs;
  ASSERT_TRUE(tabs.Create(CTKTabWnd::STYLE_3D, CRect(0, 0, 300, 200), &owner, 1));
  Page pages[10];
  for (Page& p : pages) {
    ASSERT_TRUE(p.Make(&tabs));
    tabs.AppendTab(&p, "t");
  }
  const COLORREF five[] = {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0), RGB(5, 0, 0)};
  EXPECT_EQ(tabs.GetTabBkColor(9), (COLORREF)-1);  // automatic colours are off at first
  EXPECT_FALSE(tabs.IsColored());
  tabs.SetAutoColors(five, 5);
  tabs.EnableAutoColor(TRUE);
  EXPECT_EQ(tabs.GetTabBkColor(9), five[4]);
  EXPECT_EQ(tabs.GetTabBkColor(10), (COLORREF)-1);
  tabs.SetTabBkColor(9, RGB(9, 9, 9));
  EXPECT_EQ(tabs.GetTabBkColor(9), RGB(9, 9, 9));
  EXPECT_TRUE(tabs.IsColored());
  // Back to the default set: eight colours on a true-colour screen.
  tabs.SetAutoColors(nullptr, 0);
  EXPECT_EQ(tabs.GetTabBkColor(8), RGB(148, 175, 230));
  owner.DestroyWindow();
}

TEST(TabWndTest, DrawsThroughTheLook) {
  TabOwner owner;
  ASSERT_TRUE(owner.Make());
  struct Case {
    int style;
    bool ownColour;
  } cases[] = {
      {CTKTabWnd::STYLE_3D, true}, {CTKTabWnd::STYLE_3D_HALF_SLANTED, false}, {CTKTabWnd::STYLE_FLAT, false}};
  const COLORREF red = RGB(200, 30, 30);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    CTKTabWnd tabs;
    ASSERT_TRUE(tabs.Create(c.style, CRect(0, 0, 320, 220), &owner, 1));
    Page pages[2];
    for (Page& p : pages) ASSERT_TRUE(p.Make(&tabs));
    tabs.AppendTab(&pages[0], "Alpha");
    tabs.AppendTab(&pages[1], "Beta");
    if (c.ownColour) tabs.SetTabBkColor(0, red);
    ::RedrawWindow(tabs.m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPendingMessages();
    CapturedImage image = CaptureWindow(tabs.m_hWnd, true);
    ASSERT_FALSE(image.Empty());
    CRect active, other;
    ASSERT_TRUE(tabs.GetTabRect(0, active) && tabs.GetTabRect(1, other));
    const CRect area = tabs.GetWndArea();
    if (c.style == CTKTabWnd::STYLE_3D) {
      // The active tab's own colour rings the window area; the other tab has the face.
      EXPECT_EQ(image.At(area.left - 1, area.top + 10), red);
      EXPECT_EQ(image.At(other.left + 2, (other.top + other.bottom) / 2), GlobalData::Get().barFace);
    } else if (c.style == CTKTabWnd::STYLE_3D_HALF_SLANTED) {
      // An uncoloured active slanted tab is white inside, whatever the face.
      EXPECT_EQ(image.At(active.right - 5, active.top + 3), RGB(255, 255, 255));
      EXPECT_EQ(image.At(area.left - 1, area.top + 10), GlobalData::Get().barFace);
    } else {
      // The active flat tab in the window colour, the other in the face.
      const int mid = (active.top + active.bottom) / 2;
      const int lean = tabs.GetTabsArea().Height() / 2;
      EXPECT_EQ(image.At(active.left + lean + 1, mid), ::GetSysColor(COLOR_WINDOW));
      EXPECT_EQ(image.At(other.right - lean - 2, mid), GlobalData::Get().barFace);
    }
  }
  owner.DestroyWindow();
}

TEST(TabWndTest, TabsMoveByDragWhenTheParentAgrees) {
  TabOwner owner;
  ASSERT_TRUE(owner.Make());
  struct Case {
    int from;
    bool rightHalf;  // of the target tab
    int onto;
    LRESULT answer;
    const char* order;  // first letters of the labels afterwards
    int moveMessages;
  } cases[] = {{0, true, 2, 0, "BCA", 1},   // to the far end
               {2, false, 0, 0, "CAB", 1},  // to the front
               {1, false, 1, 0, "ABC", 0},  // dropped where it was
               {1, true, 1, 0, "ABC", 0},   // just after itself is where it was too
               {0, true, 2, 1, "ABC", 0}};  // the parent refuses
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from * 100 + c.onto * 10 + (c.rightHalf ? 1 : 0) + static_cast<int>(c.answer) * 1000);
    owner.beforeMoves.clear();
    owner.moves.clear();
    owner.moveAnswer = c.answer;
    CTKTabWnd tabs;
    ASSERT_TRUE(tabs.Create(CTKTabWnd::STYLE_3D, CRect(0, 0, 320, 220), &owner, 1));
    tabs.SetTabsMovable();
    Page pages[3];
    const char* labels[] = {"Alpha", "Beta", "Charlie"};
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(pages[i].Make(&tabs));
      tabs.AppendTab(&pages[i], labels[i]);
    }
    CRect from, onto;
    tabs.GetTabRect(c.from, from);
    tabs.GetTabRect(c.onto, onto);
    CPoint press = Centre(from);
    CPoint drop(c.rightHalf ? onto.right - 3 : onto.left + 3, press.y);
    ::SendMessageA(tabs.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    EXPECT_TRUE(tabs.IsMoving());
    ::SendMessageA(tabs.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(drop.x, drop.y));
    ::SendMessageA(tabs.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(drop.x, drop.y));
    EXPECT_FALSE(tabs.IsMoving());

    std::string order;
    for (int i = 0; i < tabs.GetTabsNum(); ++i) order += tabs.GetTabLabel(i)[0];
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(static_cast<int>(owner.moves.size()), c.moveMessages);
    EXPECT_EQ(owner.beforeMoves.size(), c.answer || c.moveMessages ? 1u : 0u);
    // The pressed tab is the active one, wherever it went.
    EXPECT_EQ(tabs.GetActiveWnd(), &pages[c.from]);
    EXPECT_STREQ(tabs.GetTabLabel(tabs.GetActiveTab()), labels[c.from]);
  }
  owner.DestroyWindow();
}

TEST(TabWndTest, TabsRenamedInPlace) {
  TabOwner owner;
  ASSERT_TRUE(owner.Make());
  CTKTabWnd tabs;
  ASSERT_TRUE(tabs.Create(CTKTabWnd::STYLE_3D, CRect(0, 0, 320, 220), &owner, 1));
  Page pages[2];
  for (Page& p : pages) ASSERT_TRUE(p.Make(&tabs));
  tabs.AppendTab(&pages[0], "Alpha");
  tabs.AppendTab(&pages[1], "Beta");
  CRect rect;
  tabs.GetTabRect(1, rect);
  const CPoint at = Centre(rect);
  auto doubleClick = [&] {
    ::SendMessageA(tabs.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  };
  auto key = [&](WPARAM vk) {
    MSG msg{tabs.GetRenameEdit(), WM_KEYDOWN, vk, 0, 0, {0, 0}};
    return tabs.PreTranslateMessage(&msg);
  };

  // Not allowed: the double click is the parent's.
  doubleClick();
  EXPECT_EQ(tabs.GetRenameEdit(), nullptr);
  EXPECT_EQ(owner.doubleClicks, 1);

  tabs.EnableInPlaceEdit();
  struct Case {
    const char* typed;
    WPARAM key;
    LRESULT parentAnswer;
    const char* label;  // afterwards
    bool offered;       // to the parent
    bool stillOpen;
  } cases[] = {{"Delta", VK_RETURN, 0, "Delta", true, false},   // applied
               {"Echo", VK_RETURN, 1, "Delta", true, false},    // the parent took it over
               {"", VK_RETURN, 0, "Delta", false, true},        // empty: refused, edit stays
               {"Golf", VK_ESCAPE, 0, "Delta", false, false}};  // cancelled
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    owner.renames.clear();
    owner.renameAnswer = c.parentAnswer;
    if (!tabs.GetRenameEdit()) doubleClick();
    HWND edit = tabs.GetRenameEdit();
    ASSERT_NE(edit, nullptr);
    ::SetWindowTextA(edit, c.typed);
    EXPECT_TRUE(key(c.key));
    EXPECT_EQ(tabs.GetRenameEdit() != nullptr, c.stillOpen);
    EXPECT_EQ(::IsWindow(edit) != FALSE, c.stillOpen);
    CString label;
    tabs.GetTabLabel(1, label);
    EXPECT_STREQ(label, c.label);
    ASSERT_EQ(owner.renames.size(), c.offered ? 1u : 0u);
    if (c.offered) {
      EXPECT_EQ(owner.renames[0], std::make_pair(1, std::string(c.typed)));
    }
  }
  // The edit opens with the label, all of it selected; other keys are the edit's.
  doubleClick();
  ASSERT_NE(tabs.GetRenameEdit(), nullptr);
  char text[32] = "";
  ::GetWindowTextA(tabs.GetRenameEdit(), text, sizeof(text));
  EXPECT_STREQ(text, "Delta");
  DWORD start = 0, end = 0;
  ::SendMessageA(tabs.GetRenameEdit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 5u);
  EXPECT_FALSE(key('X'));
  // Cancelling the mode closes it.
  ::SendMessageA(tabs.m_hWnd, WM_CANCELMODE, 0, 0);
  EXPECT_EQ(tabs.GetRenameEdit(), nullptr);
  owner.DestroyWindow();
}

TEST(TabWndTest, TabImagesFromABitmapWithATransparentColour) {
  TabOwner owner;
  ASSERT_TRUE(owner.Make());
  // Two 16x16 images: red with a magenta left edge, and blue.
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = 32;
  bi.bmiHeader.biHeight = -16;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP strip = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(strip, nullptr);
  auto* px = static_cast<DWORD*>(bits);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) px[y * 32 + x] = x >= 16 ? 0x0000FF : x < 4 ? 0xFF00FF : 0xFF0000;

  CTKTabWnd tabs;
  ASSERT_TRUE(tabs.Create(CTKTabWnd::STYLE_3D, CRect(0, 0, 320, 220), &owner, 1));
  Page pages[3];
  for (Page& p : pages) ASSERT_TRUE(p.Make(&tabs));
  tabs.AppendTab(&pages[0], "Same", 0);
  tabs.AppendTab(&pages[1], "Same");
  tabs.AppendTab(&pages[2], "Same", 1);
  EXPECT_FALSE(tabs.HasImage(0));  // no images yet
  ASSERT_TRUE(tabs.SetTabImages(strip, 16, RGB(255, 0, 255)));
  EXPECT_TRUE(tabs.HasImage(0));
  EXPECT_FALSE(tabs.HasImage(1));
  const int text = GlobalData::Get().textHeight + 5;
  EXPECT_EQ(tabs.GetTabsHeight(), text > 23 ? text : 23);
  CRect withImage, without;
  tabs.GetTabRect(0, withImage);
  tabs.GetTabRect(1, without);
  EXPECT_EQ(withImage.Width() - without.Width(), 16);

  ::RedrawWindow(tabs.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpPendingMessages();
  CapturedImage image = CaptureWindow(tabs.m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  const int y = withImage.top + (withImage.Height() - 16) / 2 + 8;
  EXPECT_EQ(image.At(withImage.left + 4 + 10, y), RGB(255, 0, 0));
  EXPECT_EQ(image.At(withImage.left + 4 + 1, y), GlobalData::Get().barFace);  // magenta left out
  CRect third;
  tabs.GetTabRect(2, third);
  EXPECT_EQ(image.At(third.left + 4 + 10, third.top + (third.Height() - 16) / 2 + 8), RGB(0, 0, 255));

  // Flat windows take no images; a missing bitmap leaves none.
  EXPECT_FALSE(tabs.LoadTabImages(0x7FFF, 16, RGB(255, 0, 255)));
  EXPECT_FALSE(tabs.HasImage(0));
  CTKTabWnd flat;
  ASSERT_TRUE(flat.Create(CTKTabWnd::STYLE_FLAT, CRect(0, 0, 100, 100), &owner, 2));
  EXPECT_FALSE(flat.SetTabImages(strip, 16, (COLORREF)-1));
  ::DeleteObject(strip);
  owner.DestroyWindow();
}

// A tab's tool in the tab window's tooltip: its rectangle and text.
bool Tool(CTKTabWnd& tabs, int tab, RECT& rect, std::string& text) {
  char buffer[80] = "";
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = tabs.m_hWnd;
  tool.uId = tabs.GetTabId(tab);
  tool.lpszText = buffer;
  if (!::SendMessageA(tabs.GetToolTip(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) return false;
  rect = tool.rect;
  text = buffer;
  return true;
}

TEST(TabWndTest, TooltipsForLabelsTheStripCutsOff) {
  TabOwner owner;
  ASSERT_TRUE(owner.Make());
  CTKTabWnd flat;
  ASSERT_TRUE(flat.Create(CTKTabWnd::STYLE_FLAT, CRect(0, 0, 100, 100), &owner, 2));
  EXPECT_EQ(flat.GetToolTip(), nullptr);

  struct Case {
    int width;
    const char* labels[3];
    bool cut;
  } cases[] = {{320, {"Alpha", "Beta", "Gamma"}, false},
               {120, {"A rather long first label", "Another long label", "And a third long one"}, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    CTKTabWnd tabs;
    ASSERT_TRUE(tabs.Create(CTKTabWnd::STYLE_3D, CRect(0, 0, c.width, 200), &owner, 1));
    ASSERT_NE(tabs.GetToolTip(), nullptr);
    Page pages[3];
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(pages[i].Make(&tabs));
      tabs.AppendTab(&pages[i], c.labels[i]);
    }
    EXPECT_EQ(::SendMessageA(tabs.GetToolTip(), TTM_GETTOOLCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
      RECT rect;
      std::string text;
      ASSERT_TRUE(Tool(tabs, i, rect, text)) << i;
      EXPECT_EQ(text, c.labels[i]);
      CRect tab;
      tabs.GetTabRect(i, tab);
      if (c.cut)
        EXPECT_EQ(CRect(rect), tab) << i;  // the whole tab shows the tip
      else
        EXPECT_TRUE(::IsRectEmpty(&rect)) << i;
    }
    // A new label reaches the tip; a removed tab takes its tool along.
    tabs.SetTabLabel(1, CString("Bravo"));
    RECT rect;
    std::string text;
    ASSERT_TRUE(Tool(tabs, 1, rect, text));
    EXPECT_EQ(text, "Bravo");
    tabs.RemoveTab(0);
    EXPECT_EQ(::SendMessageA(tabs.GetToolTip(), TTM_GETTOOLCOUNT, 0, 0), 2);
  }
  owner.DestroyWindow();
}

}  // namespace
