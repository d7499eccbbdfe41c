// The message map's dispatcher: every kind of entry receives its message with
// wParam and lParam decoded into the handler's arguments, the handler's answer is
// what the sender gets, and an entry whose signature the dispatcher does not know
// stops the program naming the message.
#include "support/wine/GTestWin.h"

#include "platform/afx/afxwin.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstddef>
#include <new>
#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

enum { kControlId = 42, kOtherId = 43 };
constexpr UINT kRawMessage = WM_USER + 7;
UINT g_registeredMessage = 0;

std::string Format(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

std::string Pt(CPoint point) { return Format("(%d,%d)", point.x, point.y); }

// A window whose map holds one entry of each kind; each handler writes what it was
// given as one line, and answers a value of its own where the message has an answer.
class MapWindow : public CWnd {
public:
  std::vector<std::string> calls;
  // The window the CWnd* arguments are compared against.
  HWND other = nullptr;
  HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));

  std::string Who(CWnd* wnd) const {
    if (!wnd) return "null";
    if (wnd == this) return "self";
    return wnd->m_hWnd == other ? "other" : "?";
  }

protected:
  void Add(const std::string& line) { calls.push_back(line); }

  void OnClose() { Add("Close"); }
  void OnSize(UINT type, int cx, int cy) { Add(Format("Size %u %d %d", type, cx, cy)); }
  void OnGetMinMaxInfo(MINMAXINFO* info) { Add(Format("GetMinMaxInfo %d", info->ptMaxSize.x)); }
  void OnWindowPosChanging(WINDOWPOS* pos) { Add(Format("WindowPosChanging %d", pos->x)); }
  void OnWindowPosChanged(WINDOWPOS* pos) { Add(Format("WindowPosChanged %d", pos->cy)); }
  void OnShowWindow(BOOL show, UINT status) { Add(Format("ShowWindow %d %u", show, status)); }
  void OnEnable(BOOL enable) { Add(Format("Enable %d", enable)); }
  void OnActivate(UINT state, CWnd* wnd, BOOL minimized) {
    Add(Format("Activate %u ", state) + Who(wnd) + Format(" %d", minimized));
  }
  void OnTimer(UINT_PTR id) { Add(Format("Timer %u", static_cast<unsigned>(id))); }
  void OnSysCommand(UINT id, LPARAM lParam) { Add(Format("SysCommand %x %d", id, static_cast<int>(lParam))); }
  void OnSysColorChange() { Add("SysColorChange"); }
  void OnSettingChange(UINT flags, LPCSTR section) { Add(Format("SettingChange %u %s", flags, section)); }
  void OnCancelMode() { Add("CancelMode"); }
  void OnCaptureChanged(CWnd* wnd) { Add("CaptureChanged " + Who(wnd)); }
  void OnPaint() {
    CPaintDC dc(this);
    Add(dc.m_hDC ? "Paint dc" : "Paint no dc");
  }
  BOOL OnEraseBkgnd(CDC* dc) {
    Add(Format("EraseBkgnd %d", dc->m_hDC != nullptr));
    return TRUE;
  }
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    Add(Format("CtlColor %d ", dc->m_hDC != nullptr) + Who(wnd) + Format(" %u", ctlColor));
    return brush;
  }
  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params) {
    Add(Format("NcCalcSize %d %d", calcValidRects, params->rgrc[0].right));
  }
  LRESULT OnNcHitTest(CPoint point) {
    Add("NcHitTest " + Pt(point));
    return HTCAPTION;
  }
  void OnNcPaint() { Add("NcPaint"); }
  BOOL OnNcActivate(BOOL active) {
    Add(Format("NcActivate %d", active));
    return TRUE;
  }
  void OnNcLButtonDown(UINT hit, CPoint point) { Add(Format("NcLButtonDown %u ", hit) + Pt(point)); }
  void OnNcLButtonUp(UINT hit, CPoint point) { Add(Format("NcLButtonUp %u ", hit) + Pt(point)); }
  void OnNcLButtonDblClk(UINT hit, CPoint point) { Add(Format("NcLButtonDblClk %u ", hit) + Pt(point)); }
  void OnNcRButtonDown(UINT hit, CPoint point) { Add(Format("NcRButtonDown %u ", hit) + Pt(point)); }
  void OnNcRButtonUp(UINT hit, CPoint point) { Add(Format("NcRButtonUp %u ", hit) + Pt(point)); }
  void OnNcMouseMove(UINT hit, CPoint point) { Add(Format("NcMouseMove %u ", hit) + Pt(point)); }
  void OnMouseMove(UINT flags, CPoint point) { Add(Format("MouseMove %u ", flags) + Pt(point)); }
  void OnLButtonDown(UINT flags, CPoint point) { Add(Format("LButtonDown %u ", flags) + Pt(point)); }
  void OnLButtonUp(UINT flags, CPoint point) { Add(Format("LButtonUp %u ", flags) + Pt(point)); }
  void OnLButtonDblClk(UINT flags, CPoint point) { Add(Format("LButtonDblClk %u ", flags) + Pt(point)); }
  void OnRButtonDown(UINT flags, CPoint point) { Add(Format("RButtonDown %u ", flags) + Pt(point)); }
  void OnRButtonUp(UINT flags, CPoint point) { Add(Format("RButtonUp %u ", flags) + Pt(point)); }
  void OnRButtonDblClk(UINT flags, CPoint point) { Add(Format("RButtonDblClk %u ", flags) + Pt(point)); }
  void OnMButtonDown(UINT flags, CPoint point) { Add(Format("MButtonDown %u ", flags) + Pt(point)); }
  void OnMButtonUp(UINT flags, CPoint point) { Add(Format("MButtonUp %u ", flags) + Pt(point)); }
  void OnMButtonDblClk(UINT flags, CPoint point) { Add(Format("MButtonDblClk %u ", flags) + Pt(point)); }
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point) {
    Add(Format("MouseWheel %u %d ", flags, delta) + Pt(point));
    return TRUE;
  }
  int OnMouseActivate(CWnd* topLevel, UINT hit, UINT message) {
    Add("MouseActivate " + Who(topLevel) + Format(" %u %x", hit, message));
    return MA_NOACTIVATE;
  }
  void OnMouseLeave() { Add("MouseLeave"); }
  BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT message) {
    Add("SetCursor " + Who(wnd) + Format(" %u %x", hit, message));
    return TRUE;
  }
  void OnContextMenu(CWnd* wnd, CPoint point) { Add("ContextMenu " + Who(wnd) + " " + Pt(point)); }
  void OnKeyDown(UINT key, UINT repeat, UINT flags) { Add(Format("KeyDown %x %u %x", key, repeat, flags)); }
  void OnKeyUp(UINT key, UINT repeat, UINT flags) { Add(Format("KeyUp %x %u %x", key, repeat, flags)); }
  void OnSysKeyDown(UINT key, UINT repeat, UINT flags) {
    Add(Format("SysKeyDown %x %u %x", key, repeat, flags));
  }
  void OnSysKeyUp(UINT key, UINT repeat, UINT flags) { Add(Format("SysKeyUp %x %u %x", key, repeat, flags)); }
  void OnChar(UINT character, UINT repeat, UINT flags) {
    Add(Format("Char %c %u %x", character, repeat, flags));
  }
  UINT OnGetDlgCode() {
    Add("GetDlgCode");
    return DLGC_WANTALLKEYS;
  }
  void OnSetFocus(CWnd* wnd) { Add("SetFocus " + Who(wnd)); }
  void OnKillFocus(CWnd* wnd) { Add("KillFocus " + Who(wnd)); }
  void OnHScroll(UINT code, UINT position, CWnd* bar) {
    Add(Format("HScroll %u %u ", code, position) + Who(bar));
  }
  void OnVScroll(UINT code, UINT position, CWnd* bar) {
    Add(Format("VScroll %u %u ", code, position) + Who(bar));
  }
  LRESULT OnRaw(WPARAM wParam, LPARAM lParam) {
    Add(Format("Raw %d %d", static_cast<int>(wParam), static_cast<int>(lParam)));
    return 1234;
  }
  LRESULT OnRegistered(WPARAM wParam, LPARAM lParam) {
    Add(Format("Registered %d %d", static_cast<int>(wParam), static_cast<int>(lParam)));
    return 5678;
  }
  void OnClickNotify(NMHDR* header, LRESULT* result) {
    Add(Format("Notify %u %d", static_cast<unsigned>(header->idFrom), static_cast<int>(header->code)));
    *result = 77;
  }
  void OnEditChange() { Add("EditChange"); }
  void OnButtonClicked() { Add("ButtonClicked"); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MapWindow, CWnd)
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_WM_GETMINMAXINFO()
  ON_WM_WINDOWPOSCHANGING()
  ON_WM_WINDOWPOSCHANGED()
  ON_WM_SHOWWINDOW()
  ON_WM_ENABLE()
  ON_WM_ACTIVATE()
  ON_WM_TIMER()
  ON_WM_SYSCOMMAND()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_SETTINGCHANGE()
  ON_WM_CANCELMODE()
  ON_WM_CAPTURECHANGED()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_CTLCOLOR()
  ON_WM_NCCALCSIZE()
  ON_WM_NCHITTEST()
  ON_WM_NCPAINT()
  ON_WM_NCACTIVATE()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_NCLBUTTONUP()
  ON_WM_NCLBUTTONDBLCLK()
  ON_WM_NCRBUTTONDOWN()
  ON_WM_NCRBUTTONUP()
  ON_WM_NCMOUSEMOVE()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_RBUTTONDBLCLK()
  ON_WM_MBUTTONDOWN()
  ON_WM_MBUTTONUP()
  ON_WM_MBUTTONDBLCLK()
  ON_WM_MOUSEWHEEL()
  ON_WM_MOUSEACTIVATE()
  ON_WM_MOUSELEAVE()
  ON_WM_SETCURSOR()
  ON_WM_CONTEXTMENU()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_SYSKEYDOWN()
  ON_WM_SYSKEYUP()
  ON_WM_CHAR()
  ON_WM_GETDLGCODE()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_MESSAGE(kRawMessage, OnRaw)
  ON_REGISTERED_MESSAGE(g_registeredMessage, OnRegistered)
  ON_NOTIFY(NM_CLICK, kControlId, OnClickNotify)
  ON_CONTROL(EN_CHANGE, kControlId, OnEditChange)
  ON_BN_CLICKED(kOtherId, OnButtonClicked)
END_MESSAGE_MAP()

LPARAM Points(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

struct Case {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool post;  // through the queue, as input arrives; else sent
  std::string expected;
  LRESULT result;
};

TEST(MessageMap, EachEntryKindGetsItsDecodedArgumentsAndItsAnswerReachesTheSender) {
  g_registeredMessage = ::RegisterWindowMessageA("TarvelMessageMapTest");
  MapWindow window;
  ASSERT_TRUE(window.CreateEx(0, nullptr, "map", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
  HWND other =
      ::CreateWindowExA(0, "BUTTON", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  window.other = other;
  const WPARAM otherW = reinterpret_cast<WPARAM>(other);
  const LPARAM otherL = reinterpret_cast<LPARAM>(other);
  const LPARAM selfL = reinterpret_cast<LPARAM>(window.m_hWnd);
  HDC dc = ::GetDC(window.m_hWnd);
  const WPARAM dcW = reinterpret_cast<WPARAM>(dc);

  MINMAXINFO minMax{};
  minMax.ptMaxSize.x = 640;
  WINDOWPOS pos{};
  pos.x = 17;
  pos.cy = 33;
  NCCALCSIZE_PARAMS calc{};
  calc.rgrc[0] = RECT{0, 0, 150, 80};
  const char section[] = "intl";
  NMHDR click{other, kControlId, static_cast<UINT>(NM_CLICK)};
  NMHDR elsewhere{other, kOtherId, static_cast<UINT>(NM_CLICK)};

  const Case cases[] = {
      {WM_CLOSE, 0, 0, false, "Close", 0},
      {WM_SIZE, SIZE_MAXIMIZED, Points(300, 200), false, "Size 2 300 200", 0},
      {WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&minMax), false, "GetMinMaxInfo 640", 0},
      {WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos), false, "WindowPosChanging 17", 0},
      {WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos), false, "WindowPosChanged 33", 0},
      {WM_SHOWWINDOW, TRUE, SW_PARENTOPENING, false, "ShowWindow 1 3", 0},
      {WM_ENABLE, FALSE, 0, false, "Enable 0", 0},
      {WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), otherL, false, "Activate 2 other 1", 0},
      {WM_ACTIVATE, WA_INACTIVE, 0, false, "Activate 0 null 0", 0},
      {WM_TIMER, 9, 0, true, "Timer 9", 0},
      {WM_SYSCOMMAND, SC_SIZE | 8, Points(5, 6), false, "SysCommand f008 393221", 0},
      {WM_SYSCOLORCHANGE, 0, 0, false, "SysColorChange", 0},
      {WM_SETTINGCHANGE, 3, reinterpret_cast<LPARAM>(section), false, "SettingChange 3 intl", 0},
      {WM_CANCELMODE, 0, 0, false, "CancelMode", 0},
      {WM_CAPTURECHANGED, 0, otherL, false, "CaptureChanged other", 0},
      {WM_ERASEBKGND, dcW, 0, false, "EraseBkgnd 1", TRUE},
      {WM_CTLCOLORBTN, dcW, otherL, false, "CtlColor 1 other 3", reinterpret_cast<LRESULT>(window.brush)},
      {WM_CTLCOLORSTATIC, dcW, selfL, false, "CtlColor 1 self 6", reinterpret_cast<LRESULT>(window.brush)},
      {WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&calc), false, "NcCalcSize 1 150", 0},
      {WM_NCHITTEST, 0, Points(-5, 700), false, "NcHitTest (-5,700)", HTCAPTION},
      {WM_NCPAINT, 1, 0, false, "NcPaint", 0},
      {WM_NCACTIVATE, TRUE, 0, false, "NcActivate 1", TRUE},
      {WM_NCLBUTTONDOWN, HTCAPTION, Points(10, 20), true, "NcLButtonDown 2 (10,20)", 0},
      {WM_NCLBUTTONUP, HTLEFT, Points(-10, 20), true, "NcLButtonUp 10 (-10,20)", 0},
      {WM_NCLBUTTONDBLCLK, HTCAPTION, Points(1, 2), true, "NcLButtonDblClk 2 (1,2)", 0},
      {WM_NCRBUTTONDOWN, HTCAPTION, Points(3, 4), true, "NcRButtonDown 2 (3,4)", 0},
      {WM_NCRBUTTONUP, HTBOTTOM, Points(5, 6), true, "NcRButtonUp 15 (5,6)", 0},
      {WM_NCMOUSEMOVE, HTRIGHT, Points(7, 8), true, "NcMouseMove 11 (7,8)", 0},
      {WM_MOUSEMOVE, MK_SHIFT, Points(-3, 40), true, "MouseMove 4 (-3,40)", 0},
      {WM_LBUTTONDOWN, MK_LBUTTON, Points(11, 12), true, "LButtonDown 1 (11,12)", 0},
      {WM_LBUTTONUP, 0, Points(13, 14), true, "LButtonUp 0 (13,14)", 0},
      {WM_LBUTTONDBLCLK, MK_LBUTTON | MK_CONTROL, Points(15, 16), true, "LButtonDblClk 9 (15,16)", 0},
      {WM_RBUTTONDOWN, MK_RBUTTON, Points(17, 18), true, "RButtonDown 2 (17,18)", 0},
      {WM_RBUTTONUP, 0, Points(19, 20), true, "RButtonUp 0 (19,20)", 0},
      {WM_RBUTTONDBLCLK, MK_RBUTTON, Points(21, 22), true, "RButtonDblClk 2 (21,22)", 0},
      {WM_MBUTTONDOWN, MK_MBUTTON, Points(23, 24), true, "MButtonDown 16 (23,24)", 0},
      {WM_MBUTTONUP, 0, Points(25, 26), true, "MButtonUp 0 (25,26)", 0},
      {WM_MBUTTONDBLCLK, MK_MBUTTON, Points(27, 28), true, "MButtonDblClk 16 (27,28)", 0},
      {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-240)), Points(300, -2), false,
       "MouseWheel 8 -240 (300,-2)", TRUE},
      {WM_MOUSEACTIVATE, otherW, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN), false, "MouseActivate other 1 201",
       MA_NOACTIVATE},
      {WM_MOUSELEAVE, 0, 0, true, "MouseLeave", 0},
      {WM_SETCURSOR, otherW, MAKELPARAM(HTLEFT, WM_MOUSEMOVE), false, "SetCursor other 10 200", TRUE},
      {WM_CONTEXTMENU, otherW, Points(-1, -1), false, "ContextMenu other (-1,-1)", 0},
      {WM_KEYDOWN, VK_DOWN, MAKELPARAM(3, 0x0150), true, "KeyDown 28 3 150", 0},
      {WM_KEYUP, VK_SPACE, MAKELPARAM(1, 0xC039), true, "KeyUp 20 1 c039", 0},
      {WM_SYSKEYDOWN, VK_MENU, MAKELPARAM(1, 0x2038), true, "SysKeyDown 12 1 2038", 0},
      {WM_SYSKEYUP, VK_F10, MAKELPARAM(1, 0xC044), true, "SysKeyUp 79 1 c044", 0},
      {WM_CHAR, 'q', MAKELPARAM(2, 0x0010), true, "Char q 2 10", 0},
      {WM_GETDLGCODE, VK_TAB, 0, false, "GetDlgCode", DLGC_WANTALLKEYS},
      {WM_SETFOCUS, otherW, 0, false, "SetFocus other", 0},
      {WM_KILLFOCUS, 0, 0, false, "KillFocus null", 0},
      {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 250), otherL, false, "HScroll 5 250 other", 0},
      {WM_VSCROLL, SB_LINEDOWN, 0, false, "VScroll 1 0 null", 0},
      {kRawMessage, 5, -6, true, "Raw 5 -6", 1234},
      {g_registeredMessage, 7, 8, false, "Registered 7 8", 5678},
      {WM_NOTIFY, kControlId, reinterpret_cast<LPARAM>(&click), false, "Notify 42 -2", 77},
      {WM_COMMAND, MAKEWPARAM(kControlId, EN_CHANGE), otherL, false, "EditChange", 0},
      {WM_COMMAND, MAKEWPARAM(kOtherId, BN_CLICKED), otherL, true, "ButtonClicked", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    window.calls.clear();
    LRESULT result = 0;
    if (c.post) {
      ASSERT_TRUE(::PostMessageA(window.m_hWnd, c.message, c.wParam, c.lParam));
      MSG msg;
      while (::PeekMessageA(&msg, window.m_hWnd, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    } else {
      result = ::SendMessageA(window.m_hWnd, c.message, c.wParam, c.lParam);
    }
    EXPECT_EQ(window.calls, std::vector<std::string>{c.expected});
    if (!c.post) {
      EXPECT_EQ(result, c.result);
    }
  }

  // A notification from a control the map does not name, and a command nobody
  // handles, go past the map to the window's own procedure.
  window.calls.clear();
  EXPECT_EQ(::SendMessageA(window.m_hWnd, WM_NOTIFY, kOtherId, reinterpret_cast<LPARAM>(&elsewhere)), 0);
  ::SendMessageA(window.m_hWnd, WM_COMMAND, MAKEWPARAM(kOtherId, EN_CHANGE), otherL);
  EXPECT_TRUE(window.calls.empty());

  // Painting through CPaintDC validates what was invalid.
  ::ShowWindow(window.m_hWnd, SW_SHOWNOACTIVATE);
  ::InvalidateRect(window.m_hWnd, nullptr, FALSE);
  window.calls.clear();
  ::UpdateWindow(window.m_hWnd);
  EXPECT_EQ(std::count(window.calls.begin(), window.calls.end(), "Paint dc"), 1);
  EXPECT_EQ(std::count(window.calls.begin(), window.calls.end(), "Paint no dc"), 0);
  EXPECT_FALSE(::GetUpdateRect(window.m_hWnd, nullptr, FALSE));

  EXPECT_EQ(AfxGetSafeHwnd(&window), window.m_hWnd);
  EXPECT_EQ(AfxGetSafeHwnd(nullptr), nullptr);
  ::ReleaseDC(window.m_hWnd, dc);
  ::DestroyWindow(other);
  window.DestroyWindow();
}

// A map entry made by hand with a signature no dispatcher case takes.
class BadEntryWindow : public CWnd {
protected:
  void OnBad() {}
  DECLARE_MESSAGE_MAP()
};

constexpr UINT kBadMessage = WM_USER + 0x21;
constexpr UINT_PTR kUnknownSignature = 999;

BEGIN_MESSAGE_MAP(BadEntryWindow, CWnd)
  {kBadMessage, 0, 0, 0, kUnknownSignature, AFX_HANDLER(void(CWnd::*)(), &ThisClass::OnBad), nullptr},
END_MESSAGE_MAP()

// Instead of stopping the program, the failure comes back to the test as an exception.
void ThrowFailure(const char* text) { throw std::runtime_error(text); }

TEST(MessageMap, EntryWithAnUnknownSignatureStopsTheProgramNamingTheMessage) {
  BadEntryWindow window;
  ASSERT_TRUE(window.CreateEx(0, nullptr, "bad", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr));
  AfxFailureHook previous = AfxSetFailureHook(ThrowFailure);
  std::string failure;
  LRESULT result = 0;
  try {
    window.OnWndMsg(kBadMessage, 1, 2, &result);
  } catch (const std::runtime_error& error) {
    failure = error.what();
  }
  AfxSetFailureHook(previous);
  EXPECT_NE(failure.find("0x0421"), std::string::npos) << failure;
  EXPECT_NE(failure.find("999"), std::string::npos) << failure;
  // Messages the map does not name still reach the window's own procedure.
  EXPECT_EQ(::SendMessageA(window.m_hWnd, WM_GETTEXTLENGTH, 0, 0), 3);
  window.DestroyWindow();
}

// A window made with new that deletes itself with its window, as frames do; its
// storage is a fixed block that the deletion fills with a mark, so any write to the
// object after it was deleted shows.
class SelfDeletingWindow : public CWnd {
public:
  alignas(std::max_align_t) static unsigned char s_storage[4096];
  static bool s_deleted;
  static void* operator new(std::size_t size) {
    if (size > sizeof s_storage) throw std::bad_alloc();
    s_deleted = false;
    return s_storage;
  }
  static void operator delete(void*, std::size_t size) {
    std::fill(s_storage, s_storage + size, 0xDD);
    s_deleted = true;
  }
  static bool StorageUntouched(std::size_t size) {
    return std::all_of(s_storage, s_storage + size, [](unsigned char b) { return b == 0xDD; });
  }

protected:
  // Closing destroys the window from inside its own handler.
  void OnClose() { DestroyWindow(); }
  void PostNcDestroy() override { delete this; }
  DECLARE_MESSAGE_MAP()
};
alignas(std::max_align_t) unsigned char SelfDeletingWindow::s_storage[4096];
bool SelfDeletingWindow::s_deleted = false;

BEGIN_MESSAGE_MAP(SelfDeletingWindow, CWnd)
  ON_WM_CLOSE()
END_MESSAGE_MAP()

TEST(MessageMap, AWindowThatDeletesItselfInItsHandlerIsNotTouchedAfterwards) {
  auto* window = new SelfDeletingWindow;
  ASSERT_TRUE(window->CreateEx(0, nullptr, "closing", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr, nullptr));
  HWND hwnd = window->m_hWnd;
  ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(hwnd));
  ASSERT_TRUE(SelfDeletingWindow::s_deleted);
  EXPECT_TRUE(SelfDeletingWindow::StorageUntouched(sizeof(SelfDeletingWindow)))
      << "the dispatcher wrote into the deleted window";
}

}  // namespace
