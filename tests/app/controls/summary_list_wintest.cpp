// The list of coloured lines in a window, as the Record Wizard shows it: each line in
// its own colours with its flag, tabs shown as blanks, a full list making room by
// dropping its oldest lines, and Select All, Copy and Clear as commands of the list.
#include "support/wine/GTestWin.h"

#include "app/controls/SummaryListBox.h"
#include "resources/resource.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

CSummaryListBox* g_drawn = nullptr;

// The list's owner: it hands the list its drawing, as the wizard does.
LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWITEM && g_drawn) {
    g_drawn->DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

// A list that runs out of room once it holds g_room lines.
int g_room = 0;
WNDPROC g_listProc = nullptr;
LRESULT CALLBACK CrampedListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LB_ADDSTRING && ::CallWindowProcA(g_listProc, hwnd, LB_GETCOUNT, 0, 0) >= g_room)
    return LB_ERRSPACE;
  return ::CallWindowProcA(g_listProc, hwnd, message, wParam, lParam);
}

class SummaryList : public ::testing::Test {
protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "SummaryListOwner";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    ::RegisterClassA(&wc);
    owner = ::CreateWindowExA(0, "SummaryListOwner", "Summary", WS_POPUP | WS_VISIBLE, 40, 40, 360, 260,
                              nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(owner);
    HWND hwnd = ::CreateWindowExA(0, "LISTBOX", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                      LBS_EXTENDEDSEL | LBS_NOTIFY,
                                  0, 0, 340, 240, owner, reinterpret_cast<HMENU>(100), wc.hInstance, nullptr);
    ASSERT_TRUE(list.SubclassWindow(hwnd));
    list.SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    g_drawn = &list;
  }
  void TearDown() override {
    g_drawn = nullptr;
    ::DestroyWindow(owner);
    PumpPendingMessages(20);
  }
  RECT ItemRect(int index) {
    RECT rect{};
    list.SendMessage(LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
  }
  int PixelsOf(const CapturedImage& image, RECT row, COLORREF colour) {
    int n = 0;
    for (int y = row.top; y < row.bottom; ++y)
      for (int x = row.left; x < row.right; ++x) n += image.At(x, y) == colour;
    return n;
  }
  HWND owner = nullptr;
  CSummaryListBox list;
};

TEST_F(SummaryList, LinesShowTheirOwnColoursAndKeepTheirFlagsAndText) {
  struct Line {
    COLORREF text, background;
    BYTE flag;
    const char* added;
    const char* shown;
  } lines[] = {
      {RGB(255, 255, 255), RGB(0, 0, 160), 3, "Recording:", "Recording:"},
      {RGB(200, 0, 0), RGB(255, 255, 200), 0, "\tFile\ttype: WAV", " File type: WAV"},
      {RGB(0, 0, 0), RGB(200, 255, 200), 255, "", ""},
  };
  for (const Line& l : lines) list.AddLine(l.text, l.background, l.flag, l.added);
  // A line that came in without the prefix.
  list.AddString("short");
  ASSERT_EQ(list.GetCount(), 4);
  EXPECT_EQ(list.SendMessage(LB_GETSELCOUNT), 0) << "nothing is selected";
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list.GetLineFlags(i), lines[i].flag) << i;
    EXPECT_EQ(list.GetVisibleText(i), lines[i].shown) << i;
    EXPECT_EQ(
        list.GetLineText(i),
        CSummaryListBox::EncodePrefix(lines[i].text, lines[i].background, lines[i].flag) + lines[i].shown);
  }
  EXPECT_EQ(list.GetLineFlags(3), 255);
  EXPECT_EQ(list.GetVisibleText(3), "");
  EXPECT_EQ(list.GetLineFlags(-1), -1);
  EXPECT_EQ(list.GetLineFlags(4), -1);

  // Each line shows its background and its text colour; a selected line the system's
  // selection colours.
  list.SendMessage(LB_SETSEL, TRUE, 1);
  ::UpdateWindow(list.m_hWnd);
  PumpPendingMessages(50);
  CapturedImage image = CaptureWindow(list.m_hWnd, true);
  ASSERT_FALSE(image.Empty());
  for (int i : {0, 2}) {
    const RECT row = ItemRect(i);
    EXPECT_EQ(image.At(300, (row.top + row.bottom) / 2), lines[i].background) << i;
    if (*lines[i].shown) EXPECT_GT(PixelsOf(image, row, lines[i].text), 5) << i;
  }
  EXPECT_EQ(image.At(300, (ItemRect(1).top + ItemRect(1).bottom) / 2), ::GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_GT(PixelsOf(image, ItemRect(1), ::GetSysColor(COLOR_HIGHLIGHTTEXT)), 5);
  EXPECT_EQ(PixelsOf(image, ItemRect(1), lines[1].background), 0);

  // Without colour coding every line is black on white, flag 255.
  list.Clear();
  list.m_bColorCoding = FALSE;
  list.AddLine(RGB(255, 0, 0), RGB(0, 0, 255), 4, "plain");
  EXPECT_EQ(list.GetLineFlags(0), 255);
  ::UpdateWindow(list.m_hWnd);
  PumpPendingMessages(50);
  image = CaptureWindow(list.m_hWnd, true);
  EXPECT_EQ(image.At(300, (ItemRect(0).top + ItemRect(0).bottom) / 2), RGB(255, 255, 255));
}

TEST_F(SummaryList, SetFontSpacesTheTabStopsByTheWidthOfADigit) {
  HDC dc = ::GetDC(list.m_hWnd);
  HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  SIZE nine{};
  ::GetTextExtentPoint32A(dc, "9", 1, &nine);
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(list.m_hWnd, dc);
  EXPECT_EQ(list.GetTabStop(0), nine.cx * 8);
  EXPECT_EQ(list.GetTabStop(99), nine.cx * 8 * 100);
  EXPECT_EQ(list.SendMessage(LB_GETITEMHEIGHT, 0), metrics.tmHeight);
}

TEST_F(SummaryList, AFullListDropsItsOldestLinesForTheNewOne) {
  g_listProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(list.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CrampedListProc)));
  struct Case {
    int room;
    int count;          // lines afterwards
    const char* first;  // the oldest line kept
    bool newLineIsThere;
  } cases[] = {
      {30, 11, "line 20", true},  // 20 dropped
      {5, 2, "line 4", true},     // all but one dropped
      {1, 1, "line 0", false},    // too few lines to make room: nothing is added
  };
  for (const Case& c : cases) {
    list.Clear();
    g_room = 1000;
    for (int i = 0; i < c.room; ++i)
      list.AddLine(0, RGB(255, 255, 255), 0, ("line " + std::to_string(i)).c_str());
    g_room = c.room;
    list.AddLine(0, RGB(255, 255, 255), 0, "new");
    EXPECT_EQ(list.GetCount(), c.count) << c.room;
    EXPECT_EQ(list.GetVisibleText(0), c.first) << c.room;
    EXPECT_EQ(list.GetVisibleText(list.GetCount() - 1) == "new", c.newLineIsThere) << c.room;
  }
  ::SetWindowLongPtrA(list.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
}

std::string ClipboardText() {
  std::string text;
  if (!::OpenClipboard(nullptr)) return "(no clipboard)";
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(::GlobalLock(data));
    ::GlobalUnlock(data);
  }
  ::CloseClipboard();
  return text;
}

TEST_F(SummaryList, SelectAllCopyAndClearWorkAsCommandsOfTheList) {
  list.AddLine(0, RGB(255, 255, 255), 1, "Format:");
  list.AddLine(0, RGB(255, 255, 255), 1, "\tWAV 44100 Hz");
  list.AddString((CSummaryListBox::EncodePrefix(0, RGB(255, 255, 255), 2) + "\r\nTwo\nparts\r\n").c_str());
  list.SendMessage(WM_COMMAND, ID_EDIT_SELECT_ALL);
  for (int i = 0; i < 3; ++i) EXPECT_GT(list.GetSel(i), 0) << i;
  list.SendMessage(WM_COMMAND, ID_EDIT_COPY);
  EXPECT_EQ(ClipboardText(), "Format:\n WAV 44100 Hz\nTwo\nparts");
  // Only the selected lines are copied.
  list.SelItemRange(FALSE, 0, 2);
  list.SendMessage(LB_SETSEL, TRUE, 1);
  list.SendMessage(WM_COMMAND, ID_EDIT_COPY);
  EXPECT_EQ(ClipboardText(), " WAV 44100 Hz\n");
  list.SendMessage(WM_COMMAND, ID_EDIT_CLEAR);
  EXPECT_EQ(list.GetCount(), 0);
}

HWND g_menuSeen = nullptr;
void CALLBACK LookForMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = ::FindWindowA("#32768", nullptr);
  if (menu && ::IsWindowVisible(menu)) {
    g_menuSeen = menu;
    ::EndMenu();
  }
}

TEST_F(SummaryList, ContextMenuShowsOnlyWhenTheOwnerGaveOne) {
  ::SetForegroundWindow(owner);
  struct Case {
    int menuId;
    bool shown;
  } cases[] = {{-1, false}, {IDR_VIEW_CONTEXT, true}};
  for (const Case& c : cases) {
    g_menuSeen = nullptr;
    list.SetContextMenuId(c.menuId);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, LookForMenu);
    POINT at{60, 20};
    ::ClientToScreen(list.m_hWnd, &at);
    list.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.m_hWnd), MAKELPARAM(at.x, at.y));
    PumpPendingMessages(100);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(g_menuSeen != nullptr, c.shown) << c.menuId;
  }
}

}  // namespace
