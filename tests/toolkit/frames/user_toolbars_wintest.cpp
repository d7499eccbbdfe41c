// User-defined and torn-off toolbars of the toolkit's frame: made on request up to the
// reserved ids, deleted on request, stored through the workspace and back in a new
// frame. The toolbars here are small stand-ins that keep a count of buttons.
#include "support/wine/GTestWin.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

#include "support/wine/DialogTestSupport.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/TKToolbarButton.h"
#include "toolkit/frames/TKBaseControlBar.h"
#include "toolkit/frames/TKMiniDockFrameWnd.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKPopupMenuBase.h"
#include "toolkit/frames/TKRegistry.h"
#include "toolkit/frames/TKWorkspace.h"

namespace {

// A toolbar of `buttons` buttons, 24 pixels a button, that keeps its count in the
// application's profile and in archives.
class StubToolBar : public CTKBaseControlBar {
public:
  int buttons = 0;
  Kind LookKind() const override { return kToolBar; }
  BOOL CreateBar(CWnd* parent, DWORD style, UINT id) override {
    SetBarStyle(style & CBRS_ALL);
    return CWnd::Create(AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), nullptr,
                        (style & ~static_cast<DWORD>(CBRS_ALL & 0xFFFF)) | WS_CHILD, CRect(0, 0, 0, 0),
                        parent, id);
  }
  CSize CalcFixedLayout(BOOL, BOOL horizontal) override {
    const int length = 24 * (buttons ? buttons : 1) + 8;
    return horizontal ? CSize(length, 26) : CSize(26, length);
  }
  CSize CalcDynamicLayout(int, DWORD mode) override { return CalcFixedLayout(FALSE, (mode & LM_HORZ) != 0); }
  CString Section(const char* profile) const {
    CString section;
    section.Format("%sTKToolBar-%d", profile ? profile : "", GetDlgCtrlID());
    return section;
  }
  BOOL LoadState(const char* profile, int, UINT) override {
    const int stored = static_cast<int>(AfxGetApp()->GetProfileInt(Section(profile), "Buttons", -1));
    if (stored < 0) return FALSE;
    buttons = stored;
    return TRUE;
  }
  BOOL SaveState(const char* profile, int, UINT) override {
    return AfxGetApp()->WriteProfileInt(Section(profile), "Buttons", buttons);
  }
  BOOL RemoveStateFromRegistry(const char* profile, int, UINT) override {
    HKEY key;
    CString path = CString("Software\\TarvelTest\\UserBars\\") + Section(profile);
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\TarvelTest\\UserBars", 0, KEY_ALL_ACCESS, &key) != 0)
      return FALSE;
    LONG status = ::RegDeleteTreeA(key, Section(profile));
    ::RegCloseKey(key);
    return status == 0;
  }
  void SerializeBar(CArchive& ar) override {
    if (ar.IsStoring())
      ar << static_cast<DWORD>(buttons);
    else {
      DWORD count = 0;
      ar >> count;
      buttons = static_cast<int>(count);
    }
  }
};

CTKBaseControlBar* NewStub() { return new StubToolBar; }

// The workspace's registry tree and the toolbar maker live as long as the test.
class UserBarsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\UserBars");
    app.SetRegistryKey("TarvelTest");
    FrameHelper::s_pfnNewToolBar = NewStub;
  }
  void TearDown() override {
    FrameHelper::s_pfnNewToolBar = nullptr;
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarvelTest\\UserBars");
  }
  CTKFrameWnd* NewFrame() {
    auto* frame = new CTKFrameWnd;
    EXPECT_TRUE(frame->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW, CRect(10, 10, 610, 410)));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    frame->m_Impl.ReserveUserBarIds(200, 204);
    frame->ShowWindow(SW_SHOWNORMAL);
    return frame;
  }
  static std::vector<UINT> IdsOf(const CList<CWnd*, CWnd*>& bars) {
    std::vector<UINT> ids;
    for (POSITION pos = bars.GetHeadPosition(); pos;) ids.push_back(bars.GetNext(pos)->GetDlgCtrlID());
    return ids;
  }
  CWinApp app{"UserBars"};
  CTKWorkspace workspace;
};

TEST_F(UserBarsTest, MadeUpToTheReservedIdsDeletedAndBackInANewFrame) {
  CTKFrameWnd* frame = NewFrame();
  HWND frameHwnd = frame->m_hWnd;
  const UINT create = ::RegisterWindowMessageA("TKTOOLBAR_CREATE");
  const UINT remove = ::RegisterWindowMessageA("TKTOOLBAR_DELETE");
  const char* names[] = {"Mine", "Editing", "Effects", "Views", "Spare"};
  for (int i = 0; i < 5; ++i) {
    auto* bar = reinterpret_cast<StubToolBar*>(
        ::SendMessageA(frameHwnd, create, 0, reinterpret_cast<LPARAM>(names[i])));
    ASSERT_TRUE(bar) << i;
    bar->buttons = i + 1;
    // A new user toolbar floats, named as asked, with tooltips and docking on every side.
    EXPECT_TRUE(bar->IsFloating()) << i;
    CString text;
    bar->GetWindowText(text);
    EXPECT_STREQ(text, names[i]);
    EXPECT_TRUE(bar->m_dwStyle & CBRS_TOOLTIPS);
    EXPECT_EQ(bar->m_dwDockStyle & CBRS_ALIGN_ANY, static_cast<DWORD>(CBRS_ALIGN_ANY));
    EXPECT_TRUE(::IsWindowVisible(CMiniDockFrameWnd::FrameOf(bar)->m_hWnd));
  }
  EXPECT_EQ(IdsOf(frame->m_Impl.m_userBars), (std::vector<UINT>{200, 201, 202, 203, 204}));
  {
    // A sixth: the user is told how many there may be, and nothing is made.
    dialogtest::RecordedMessageBoxes boxes;
    EXPECT_EQ(::SendMessageA(frameHwnd, create, 0, reinterpret_cast<LPARAM>("Sixth")), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "You can't create more than 5 user-defined toolbars!");
    EXPECT_TRUE(boxes.shown[0].flags & MB_ICONINFORMATION);
    EXPECT_EQ(frame->m_Impl.m_userBars.GetCount(), 5);
  }
  ASSERT_TRUE(workspace.SaveState(nullptr, &frame->m_Impl));
  // Deleting one takes its stored state with it; its id is free again.
  CWnd* second = frame->m_Impl.m_userBars.GetAt(frame->m_Impl.m_userBars.FindIndex(1));
  EXPECT_TRUE(::SendMessageA(frameHwnd, remove, 0, reinterpret_cast<LPARAM>(second)));
  EXPECT_EQ(frame->m_Impl.FirstFreeUserBarId(), 201);
  ::DestroyWindow(frameHwnd);

  CTKFrameWnd* again = NewFrame();
  ASSERT_TRUE(workspace.LoadState(nullptr, &again->m_Impl));
  EXPECT_EQ(IdsOf(again->m_Impl.m_userBars), (std::vector<UINT>{200, 202, 203, 204}));
  std::vector<int> counts;
  for (POSITION pos = again->m_Impl.m_userBars.GetHeadPosition(); pos;) {
    auto* bar = static_cast<StubToolBar*>(again->m_Impl.m_userBars.GetNext(pos));
    counts.push_back(bar->buttons);
    // Where they were comes back with the frame's dock layout: floating.
    EXPECT_TRUE(bar->IsFloating());
  }
  EXPECT_EQ(counts, (std::vector<int>{1, 3, 4, 5}));
  ::DestroyWindow(again->m_hWnd);
}

TEST_F(UserBarsTest, TornOffBarsAreStoredWithTheirButtonsAndLeaveNoStaleKey) {
  CTKFrameWnd* frame = NewFrame();
  HWND frameHwnd = frame->m_hWnd;
  struct Torn {
    UINT id;
    const char* name;
    int buttons;
  };
  const Torn torn[] = {{301, "Effects", 3}, {302, "Transport", 7}};
  for (const Torn& t : torn) {
    auto* bar = new StubToolBar;
    ASSERT_TRUE(bar->CreateBar(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, t.id));
    bar->SetWindowText(t.name);
    bar->buttons = t.buttons;
    frame->FloatControlBar(bar, CPoint(200, 200));
    frame->m_Impl.RememberTearOffBar(bar);
  }
  ASSERT_TRUE(workspace.SaveState(nullptr, &frame->m_Impl));
  const CString path = workspace.GetSectionPath("") + "ControlBars-TearOff";
  {
    RegistryHolder holder;
    CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
    EXPECT_TRUE(reg.KeyExists(path + "-0"));
    EXPECT_TRUE(reg.KeyExists(path + "-1"));
  }
  // One closed: saving again leaves one key only.
  CWnd* first = frame->m_Impl.m_tearOffBars.GetHead();
  frame->m_Impl.ForgetTearOffBar(first);
  first->DestroyWindow();
  delete first;
  ASSERT_TRUE(workspace.SaveState(nullptr, &frame->m_Impl));
  {
    RegistryHolder holder;
    CTKRegistry& reg = holder.Obtain(FALSE, TRUE);
    EXPECT_TRUE(reg.KeyExists(path + "-0"));
    EXPECT_FALSE(reg.KeyExists(path + "-1"));
  }
  ::DestroyWindow(frameHwnd);

  CTKFrameWnd* again = NewFrame();
  ASSERT_TRUE(workspace.LoadState(nullptr, &again->m_Impl));
  ASSERT_EQ(again->m_Impl.TearOffBarCount(), 1);
  auto* bar = static_cast<StubToolBar*>(again->m_Impl.m_tearOffBars.GetHead());
  EXPECT_EQ(bar->GetDlgCtrlID(), 302);
  CString name;
  bar->GetWindowText(name);
  EXPECT_STREQ(name, "Transport");
  EXPECT_EQ(bar->buttons, 7);
  EXPECT_TRUE(bar->IsFloating());
  ::DestroyWindow(again->m_hWnd);
}

// A bar that takes one menu character and records the characters it was offered.
class LetterBar : public StubToolBar {
public:
  LetterBar(Kind kind, char letter) : m_kind(kind), m_letter(letter) {}
  Kind LookKind() const override { return m_kind; }
  BOOL TranslateMenuChar(UINT character) override {
    offered.push_back(static_cast<char>(character));
    return ::CharUpperA(reinterpret_cast<char*>(static_cast<ULONG_PTR>(character))) ==
           reinterpret_cast<char*>(static_cast<ULONG_PTR>(static_cast<unsigned char>(m_letter)));
  }
  std::string offered;

private:
  Kind m_kind;
  char m_letter;
};

// Holds a key down or lets it go in the thread's key state, the state the key
// messages the frame handles were made in.
void HoldKey(BYTE key, bool down) {
  BYTE state[256];
  ::GetKeyboardState(state);
  state[key] = down ? 0x80 : 0;
  ::SetKeyboardState(state);
}

TEST(ToolkitFrameKeys, MenuCharactersGoToTheMenuBarThenTheVisibleToolbars) {
  auto* frame = new CTKFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "Keys", WS_OVERLAPPEDWINDOW, CRect(10, 10, 610, 410)));
  HWND frameHwnd = frame->m_hWnd;
  frame->EnableDocking(CBRS_ALIGN_ANY);
  LetterBar menuBar(CTKBaseControlBar::kMenuBar, 'F'), tools(CTKBaseControlBar::kToolBar, 'E'),
      hidden(CTKBaseControlBar::kToolBar, 'H');
  ASSERT_TRUE(menuBar.CreateBar(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 300));
  ASSERT_TRUE(tools.CreateBar(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 301));
  ASSERT_TRUE(hidden.CreateBar(frame, WS_CHILD | CBRS_TOP, 302));
  frame->DockControlBar(&menuBar, AFX_IDW_DOCKBAR_TOP);
  frame->DockControlBar(&tools, AFX_IDW_DOCKBAR_TOP);
  frame->DockControlBar(&hidden, AFX_IDW_DOCKBAR_TOP);
  frame->m_Impl.AttachMenuBar(&menuBar);
  frame->ShowWindow(SW_SHOWNORMAL);
  ::SetForegroundWindow(frameHwnd);
  // The menu bar takes the whole top side.
  CRect side, bar;
  ::GetWindowRect(::GetParent(menuBar.m_hWnd), &side);
  menuBar.GetWindowRect(&bar);
  EXPECT_EQ(bar.Width(), side.Width());
  struct Case {
    char letter;
    bool taken;
    const char* menuBarSaw;
    const char* toolsSaw;
  };
  const Case cases[] = {
      {'F', true, "F", ""}, {'E', true, "E", "E"}, {'H', false, "H", "H"}, {'Q', false, "Q", "Q"}};
  for (const Case& c : cases) {
    menuBar.offered.clear();
    tools.offered.clear();
    const LRESULT result = ::SendMessageA(frameHwnd, WM_MENUCHAR, MAKEWPARAM(c.letter, MF_POPUP), 0);
    EXPECT_EQ(static_cast<DWORD>(result) == 0xFFFF0002u, c.taken) << c.letter;
    EXPECT_EQ(menuBar.offered, c.menuBarSaw) << c.letter;
    EXPECT_EQ(tools.offered, c.toolsSaw) << c.letter;
  }
  EXPECT_TRUE(hidden.offered.empty());
  // Alt held with a letter: the key goes to the bars before the accelerators.
  tools.offered.clear();
  HoldKey(VK_MENU, true);
  MSG altE{frameHwnd, WM_SYSKEYDOWN, 'E', 0x20000001};
  const BOOL consumed = frame->PreTranslateMessage(&altE);
  HoldKey(VK_MENU, false);
  EXPECT_TRUE(consumed);
  EXPECT_EQ(tools.offered, "E");
  ::DestroyWindow(frameHwnd);
}

// A popup menu whose right 5 pixels are its shadow, opened by a button at a place the
// test chooses, that records being closed instead of closing.
class StubPopup : public CTKPopupMenuBase {
public:
  CRect opener;
  BOOL fromMenuBar = FALSE;
  BOOL keepsOpen = FALSE;
  int closes = 0;
  int HitTest(POINT screen) const override {
    CRect rect;
    ::GetWindowRect(m_hWnd, &rect);
    if (!rect.PtInRect(screen)) return kOutside;
    return screen.x >= rect.right - 5 ? kRightShadow : kInside;
  }
  CRect OpenerButtonRect() const override { return opener; }
  BOOL IsOpenedFromMenuBar() const override { return fromMenuBar; }
  BOOL KeepsOpenOnClickOutside() const override { return keepsOpen; }
  void CloseMenu() override { ++closes; }
};

TEST(ToolkitFrameMouse, ClicksAroundAnOpenPopupMenuCloseItAsTheyShould) {
  auto* frame = new CTKFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "Mouse", WS_OVERLAPPEDWINDOW, CRect(10, 10, 610, 410)));
  HWND frameHwnd = frame->m_hWnd;
  frame->ShowWindow(SW_SHOWNORMAL);
  StubPopup popup;
  ASSERT_TRUE(popup.CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), "popup", WS_POPUP | WS_VISIBLE, 300,
                             200, 100, 120, frameHwnd, nullptr));
  popup.opener = CRect(250, 150, 300, 170);
  struct Case {
    const char* what;
    POINT screen;
    BOOL fromMenuBar, keepsOpen;
    BOOL consumed;
    int closes;
  };
  const Case cases[] = {
      {"inside: the popup's own", {340, 250}, FALSE, FALSE, FALSE, 0},
      {"on its shadow: closed, used up", {398, 250}, FALSE, FALSE, TRUE, 1},
      {"on the button that opened it: used up, left to the button", {260, 160}, TRUE, FALSE, TRUE, 0},
      {"elsewhere, from a menu bar: closed, used up", {100, 300}, TRUE, FALSE, TRUE, 1},
      {"elsewhere, from a toolbar: closed, passed on", {100, 300}, FALSE, FALSE, FALSE, 1},
      {"elsewhere, a popup that stays: passed on", {100, 300}, FALSE, TRUE, FALSE, 0},
  };
  for (const Case& c : cases) {
    frame->NotifyPopupMenuOpen(&popup);
    popup.closes = 0;
    popup.fromMenuBar = c.fromMenuBar;
    popup.keepsOpen = c.keepsOpen;
    POINT client = c.screen;
    ::ScreenToClient(frameHwnd, &client);
    MSG click{frameHwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y)};
    EXPECT_EQ(frame->PreTranslateMessage(&click), c.consumed) << c.what;
    EXPECT_EQ(popup.closes, c.closes) << c.what;
    frame->OnMenuPopupClosed(&popup);
  }
  popup.DestroyWindow();
  ::DestroyWindow(frameHwnd);
}

INPUT MouseInput(POINT screen, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  input.mi.dx = static_cast<LONG>((screen.x * 65536 + cx - 1) / cx);
  input.mi.dy = static_cast<LONG>((screen.y * 65536 + cy - 1) / cy);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

TEST(TornOffToolbar, FollowsTheMouseUntilPlacedOrGoesWhenCancelled) {
  auto* frame = new CTKFrameWnd;
  ASSERT_TRUE(frame->Create(nullptr, "TearOff", WS_OVERLAPPEDWINDOW, CRect(10, 10, 610, 460)));
  HWND frameHwnd = frame->m_hWnd;
  frame->EnableDocking(CBRS_ALIGN_ANY);
  frame->ShowWindow(SW_SHOWNORMAL);
  StubPopup popup;
  ASSERT_TRUE(popup.CreateEx(WS_EX_TOOLWINDOW, AfxRegisterWndClass(0), "popup", WS_POPUP | WS_VISIBLE, 60, 80,
                             120, 150, frameHwnd, nullptr));
  auto tearOff = [&](UINT id) {
    auto* bar = new CTKToolBar;
    EXPECT_TRUE(bar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, id));
    for (UINT i = 0; i < 3; ++i) bar->InsertButton(new CTKToolbarButton(40001 + i, -1, "T"));
    bar->EnableDocking(CBRS_ALIGN_ANY);
    frame->FloatControlBar(bar, CPoint(100, 120));
    frame->m_Impl.RememberTearOffBar(bar);
    return bar;
  };
  // The user still holds the button pressed on the popup's tear-off strip.
  auto holdButton = [&] {
    INPUT down[] = {MouseInput(POINT{300, 350}, 0), MouseInput(POINT{300, 350}, MOUSEEVENTF_LEFTDOWN)};
    ::SendInput(2, down, sizeof(INPUT));
    PumpPendingMessages(50);
  };

  // Moved and let go: the frame stays where the cursor left it, the popup closes.
  CTKToolBar* placed = tearOff(AFX_IDW_TOOLBAR + 60);
  auto* mini = dynamic_cast<CTKMiniDockFrameWnd*>(CMiniDockFrameWnd::FrameOf(placed));
  ASSERT_TRUE(mini);
  HWND miniHwnd = mini->m_hWnd;
  const CRect before = [&] {
    CRect r;
    ::GetWindowRect(miniHwnd, &r);
    return r;
  }();
  holdButton();
  INPUT moves[] = {MouseInput(POINT{350, 260}, 0), MouseInput(POINT{360, 270}, 0),
                   MouseInput(POINT{360, 270}, MOUSEEVENTF_LEFTUP)};
  ::SendInput(3, moves, sizeof(INPUT));
  EXPECT_TRUE(mini->TrackTearOff(&popup));
  CRect after;
  ::GetWindowRect(miniHwnd, &after);
  EXPECT_EQ(after.left, 360 - before.Width() / 2);
  EXPECT_EQ(after.top, 270 - 5);
  EXPECT_EQ(after.Size(), before.Size());
  EXPECT_EQ(popup.closes, 1);
  EXPECT_EQ(frame->m_Impl.TearOffBarCount(), 1);
  EXPECT_EQ(placed->m_dwDockStyle & CBRS_ALIGN_ANY, static_cast<DWORD>(CBRS_ALIGN_ANY));

  // Cancelled with the right button: the popup shows again, the new bar is gone.
  ::ShowWindow(popup.m_hWnd, SW_SHOWNA);
  CTKToolBar* cancelled = tearOff(AFX_IDW_TOOLBAR + 61);
  HWND cancelledHwnd = cancelled->m_hWnd;
  mini = dynamic_cast<CTKMiniDockFrameWnd*>(CMiniDockFrameWnd::FrameOf(cancelled));
  ASSERT_TRUE(mini);
  holdButton();
  INPUT cancel[] = {MouseInput(POINT{320, 240}, 0), MouseInput(POINT{320, 240}, MOUSEEVENTF_RIGHTDOWN),
                    MouseInput(POINT{320, 240}, MOUSEEVENTF_RIGHTUP),
                    MouseInput(POINT{320, 240}, MOUSEEVENTF_LEFTUP)};
  ::SendInput(4, cancel, sizeof(INPUT));
  EXPECT_FALSE(mini->TrackTearOff(&popup));
  PumpPendingMessages(100);
  EXPECT_TRUE(::IsWindowVisible(popup.m_hWnd));
  EXPECT_FALSE(::IsWindow(cancelledHwnd));
  EXPECT_EQ(frame->m_Impl.TearOffBarCount(), 1);
  EXPECT_EQ(popup.closes, 1);
  popup.DestroyWindow();
  ::DestroyWindow(frameHwnd);
}

}  // namespace
