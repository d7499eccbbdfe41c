// The control panel's own controls driven with the mouse and the keys in a plain
// parent window: the skinned button's latching, toggling, shift and disabled rules and
// its tinted faces; the volume slider's clamping, keys and drag rule; the drop-down
// selector's sorted list above the button and its choice, its list closing when the
// user turns elsewhere, its hot look only under the pointer, and the list's colours
// and bold header lines.
#include "support/wine/GTestWin.h"

#include "app/skin/BitmapSlider.h"
#include "app/skin/MMButton.h"
#include "app/skin/PopupComboButton.h"
#include "app/skin/SkinCache.h"
#include "app/view/ShellServices.h"
#include "resources/PanelResource.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/menu_test_support.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

// Notes the commands and messages its controls send it.
class Parent : public CWnd {
public:
  struct Note {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Note> notes;
  int Count(UINT message) const {
    int n = 0;
    for (const Note& note : notes) n += note.message == message;
    return n;
  }

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND || message == CBitmapSlider::kSliderMoving ||
        message == CBitmapSlider::kSliderMoved || message == CPopupComboButton::kChosen ||
        message == CPopupComboButton::kShown)
      notes.push_back(Note{message, wParam, lParam});
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class SkinControlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0, nullptr, (HBRUSH)(COLOR_BTNFACE + 1)), "Controls",
                                  WS_POPUP | WS_VISIBLE | WS_CAPTION, 60, 300, 420, 200, nullptr, nullptr));
  }
  void TearDown() override { ::DestroyWindow(m_parent.m_hWnd); }

  void Click(HWND w, int x, int y, WPARAM keys = 0) {
    ::SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
    ::SendMessageA(w, WM_LBUTTONUP, keys, MAKELPARAM(x, y));
    PumpPendingMessages(30);
  }

  // The selector in place of a placeholder near the bottom of the parent, so that its
  // list opens above it.
  void MakeSelector(CPopupComboButton& selector, COLORREF background = CLR_INVALID,
                    COLORREF hotBackground = CLR_INVALID, HFONT font = nullptr) {
    ::CreateWindowExA(0, "BUTTON", "None", WS_CHILD | WS_VISIBLE, 20, 150, 120, 20, m_parent.m_hWnd,
                      reinterpret_cast<HMENU>(1071), AfxGetInstanceHandle(), nullptr);
    ASSERT_TRUE(selector.CreateFromControl(&m_parent, 1071, background, hotBackground, 0, font));
  }
  static POINT ScreenPoint(HWND window, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(window, &point);
    return point;
  }
  static POINT LineCentre(HWND list, int index) {
    RECT line;
    ::SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&line));
    return ScreenPoint(list, (line.left + line.right) / 2, (line.top + line.bottom) / 2);
  }
  int CountShown(WPARAM shown) const {
    int n = 0;
    for (const Parent::Note& note : m_parent.notes)
      n += note.message == CPopupComboButton::kShown && note.wParam == shown;
    return n;
  }

  skin::SkinHolder m_holder;
  Parent m_parent;
};

TEST_F(SkinControlsTest, SkinTintMapsTheReferenceColourExactlyAndTintsOncePerColour) {
  ASSERT_TRUE(skin::SetSkinColor(RGB(200, 120, 40)));
  const int tints = skin::TintCount();
  EXPECT_TRUE(skin::SetSkinColor(RGB(200, 120, 40)));
  EXPECT_EQ(skin::TintCount(), tints) << "the same colour again tints nothing";

  CMMButton button;
  ASSERT_TRUE(button.Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 58, 58}, &m_parent, IDC_PANEL_RECORD));
  ASSERT_TRUE(button.SetImages(IDB_RECORD, IDB_RECORD_DISABLED, IDB_RECORD_HOVER, IDB_RECORD_MASK));
  PumpPendingMessages(30);
  CapturedImage face = CaptureWindow(button.m_hWnd, true);
  ASSERT_EQ(face.width, 48);
  EXPECT_EQ(face.At(0, 0), RGB(200, 120, 40)) << "the skin's corner is the skin colour itself";
  // The glyph sits in the middle: the red dot of Record.
  const COLORREF middle = face.At(24, 24);
  EXPECT_GT(GetRValue(middle), 150);
  EXPECT_LT(GetGValue(middle), 80);
  SavePng(face, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/skin-record-button.png"));

  button.Disable();
  CapturedImage disabled = CaptureWindow(button.m_hWnd, true);
  EXPECT_EQ(GetRValue(disabled.At(24, 24)), GetGValue(disabled.At(24, 24))) << "the disabled glyph is grey";
}

TEST_F(SkinControlsTest, SkinnedButtonsLatchToggleAndReportShift) {
  CMMButton plain, toggle, bare;
  ASSERT_TRUE(plain.Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 48, 48}, &m_parent, 1059));
  ASSERT_TRUE(toggle.Create(WS_CHILD | WS_VISIBLE, RECT{50, 0, 98, 48}, &m_parent, 1060, TRUE));
  ASSERT_TRUE(bare.Create(WS_CHILD | WS_VISIBLE, RECT{100, 0, 148, 48}, &m_parent, 1058));
  plain.SetImages(IDB_RECORD, IDB_RECORD_DISABLED, IDB_RECORD_HOVER, IDB_RECORD_MASK);
  toggle.SetImages(IDB_PAUSE, IDB_PAUSE_DISABLED, IDB_PAUSE_HOVER, IDB_PAUSE_MASK);

  // A plain button latches down at the click and ignores the mouse until raised.
  Click(plain.m_hWnd, 20, 20, MK_SHIFT);
  EXPECT_EQ(m_parent.Count(WM_COMMAND), 1);
  EXPECT_EQ(m_parent.notes.back().wParam, 1059u);
  EXPECT_EQ(m_parent.notes.back().lParam, reinterpret_cast<LPARAM>(plain.m_hWnd));
  EXPECT_TRUE(plain.WasShiftHeld());
  EXPECT_TRUE(plain.IsDown());
  EXPECT_EQ(plain.GetImageIndex(), CMMButton::kDown);
  Click(plain.m_hWnd, 20, 20);
  EXPECT_EQ(m_parent.Count(WM_COMMAND), 1) << "a latched button posts nothing";
  plain.SetUp();
  Click(plain.m_hWnd, 20, 20);
  EXPECT_EQ(m_parent.Count(WM_COMMAND), 2);
  EXPECT_FALSE(plain.WasShiftHeld());

  // Let go outside: no command, the face as before.
  plain.SetUp();
  ::SendMessageA(plain.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  EXPECT_EQ(plain.GetImageIndex(), CMMButton::kDown);
  ::SendMessageA(plain.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(200, 20));
  PumpPendingMessages(30);
  EXPECT_EQ(m_parent.Count(WM_COMMAND), 2);
  EXPECT_EQ(plain.GetImageIndex(), CMMButton::kNormal);
  EXPECT_FALSE(plain.IsDown());

  // A toggle button flips at each click and says so each time.
  Click(toggle.m_hWnd, 20, 20);
  EXPECT_TRUE(toggle.IsDown());
  Click(toggle.m_hWnd, 20, 20);
  EXPECT_FALSE(toggle.IsDown());
  EXPECT_EQ(m_parent.Count(WM_COMMAND), 4);

  // Disabled: face 3, no command.
  toggle.Disable();
  Click(toggle.m_hWnd, 20, 20);
  EXPECT_EQ(toggle.GetImageIndex(), CMMButton::kDisabled);
  EXPECT_EQ(m_parent.Count(WM_COMMAND), 4);

  // A button without faces shows the colour scheme's bar colour.
  PumpPendingMessages(30);
  CapturedImage image = CaptureWindow(bare.m_hWnd, true);
  EXPECT_EQ(image.At(24, 24), static_cast<COLORREF>(GetColorScheme().ControlBar));
}

TEST_F(SkinControlsTest, SliderClampsStepsByKeysAndMovesOnlyWhenItsThumbIsDragged) {
  ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 60, 200, 24, m_parent.m_hWnd,
                    reinterpret_cast<HMENU>(1068), AfxGetInstanceHandle(), nullptr);
  CBitmapSlider slider;
  ASSERT_TRUE(slider.SubclassFromControl(1068, &m_parent));
  slider.SetRange(0, 100);
  slider.SetBitmapThumb(skin::GetSmallSkin(TRUE));
  struct {
    int set, expected;
  } clamps[] = {{150, 100}, {-5, 0}, {40, 40}};
  for (const auto& c : clamps) {
    slider.SetPos(c.set);
    EXPECT_EQ(slider.GetPos(), c.expected) << c.set;
  }
  slider.SetPos(90);
  ::SendMessageA(slider.m_hWnd, WM_KEYDOWN, VK_NEXT, 1);
  PumpPendingMessages(30);
  EXPECT_EQ(slider.GetPos(), 100);
  ASSERT_EQ(m_parent.Count(CBitmapSlider::kSliderMoved), 1);
  EXPECT_EQ(m_parent.notes.back().wParam, 1068u);
  EXPECT_EQ(m_parent.notes.back().lParam, 100);
  ::SendMessageA(slider.m_hWnd, WM_KEYDOWN, VK_HOME, 1);
  EXPECT_EQ(slider.GetPos(), 0);
  PumpPendingMessages(30);

  // A press beside the thumb and a drag: nothing moves, nothing is said.
  slider.SetPos(20);
  m_parent.notes.clear();
  const int thumb = slider.PixelOfPos(20);
  ::SendMessageA(slider.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(thumb + 60, 12));
  ::SendMessageA(slider.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(thumb + 90, 12));
  ::SendMessageA(slider.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(thumb + 90, 12));
  PumpPendingMessages(30);
  EXPECT_EQ(slider.GetPos(), 20);
  EXPECT_TRUE(m_parent.notes.empty());

  // Dragging the thumb itself moves it and reports the moves and the end.
  ::SendMessageA(slider.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(thumb, 12));
  for (int dx = 10; dx <= 80; dx += 10)
    ::SendMessageA(slider.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(thumb + dx, 12));
  ::SendMessageA(slider.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(thumb + 80, 12));
  PumpPendingMessages(30);
  EXPECT_EQ(slider.PixelOfPos(slider.GetPos()), thumb + 80);
  EXPECT_GE(m_parent.Count(CBitmapSlider::kSliderMoving), 7);
  ASSERT_EQ(m_parent.Count(CBitmapSlider::kSliderMoved), 1);
  EXPECT_EQ(m_parent.notes.back().lParam, slider.GetPos());

  slider.SetRange(5, 5);
  EXPECT_EQ(slider.GetRatio(), 1.0);
}

TEST_F(SkinControlsTest, SelectorOpensASortedListAboveItselfAndTellsTheChoice) {
  // The list's lines are as high as its font.
  HFONT font = ::CreateFontA(16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
  struct FontGuard {
    HFONT font;
    ~FontGuard() { ::DeleteObject(font); }
  } fontGuard{font};
  CPopupComboButton selector;
  MakeSelector(selector, CLR_INVALID, CLR_INVALID, font);
  ASSERT_EQ(::SendMessageA(selector.GetListWindow(), LB_GETITEMHEIGHT, 0, 0), 16);
  for (const char* line : {"mic", "Line In", "CD"}) selector.AddLine(line);
  ASSERT_EQ(selector.GetCount(), 3);
  EXPECT_EQ(std::string(selector.GetLineText(0)), "CD");
  EXPECT_EQ(std::string(selector.GetLineText(1)), "Line In");
  EXPECT_EQ(std::string(selector.GetLineText(2)), "mic");

  Click(selector.m_hWnd, 30, 10);
  ASSERT_TRUE(selector.IsDropped());
  RECT drop = selector.GetDropRect(), button;
  ::GetWindowRect(selector.m_hWnd, &button);
  EXPECT_EQ(drop.bottom - drop.top, 48) << "three lines of 16 pixels";
  EXPECT_EQ(drop.bottom, button.top - 1) << "directly above the button";
  EXPECT_EQ(m_parent.Count(CPopupComboButton::kShown), 1);

  // The user clicks "Line In" in the list.
  HWND list = selector.GetListWindow();
  ASSERT_TRUE(::IsWindowVisible(list));
  RECT line;
  ::SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&line));
  POINT at{(line.left + line.right) / 2, (line.top + line.bottom) / 2};
  POINT screen = at;
  ::ClientToScreen(list, &screen);
  ::SetCursorPos(screen.x, screen.y);
  PumpPendingMessages(30);
  POINT cursor;
  ::GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, screen.x);
  EXPECT_EQ(cursor.y, screen.y);
  ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ::SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  PumpPendingMessages(50);
  EXPECT_FALSE(selector.IsDropped());
  ASSERT_EQ(m_parent.Count(CPopupComboButton::kChosen), 1);
  for (const Parent::Note& n : m_parent.notes)
    if (n.message == CPopupComboButton::kChosen) {
      EXPECT_EQ(n.wParam, 1071u);
      EXPECT_EQ(n.lParam, 1);
    }
  CString text;
  selector.GetWindowText(text);
  EXPECT_EQ(std::string(text), "Line In");

  // Ten lines make a list of the maximum height that scrolls.
  for (int i = 0; i < 7; ++i) selector.AddLine(("Source " + std::to_string(i)).c_str());
  Click(selector.m_hWnd, 30, 10);
  ASSERT_TRUE(selector.IsDropped());
  drop = selector.GetDropRect();
  EXPECT_EQ(drop.bottom - drop.top, 100);
  selector.HideDropDown();
}

// The open list is topmost; it must not stay when the user turns to anything else.
TEST_F(SkinControlsTest, SelectorListClosesWhenTheUserTurnsElsewhere) {
  using namespace menutest;
  CPopupComboButton selector;
  MakeSelector(selector);
  for (const char* line : {"CD", "Line In", "Microphone"}) selector.AddLine(line);
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0, nullptr, (HBRUSH)(COLOR_WINDOW + 1)), "Other",
                             WS_POPUP | WS_VISIBLE | WS_CAPTION, 520, 300, 200, 150, nullptr, nullptr));
  const POINT button = ScreenPoint(selector.m_hWnd, 60, 10);
  const POINT away = ScreenPoint(m_parent.m_hWnd, 300, 40);
  auto open = [&] { menutest::Click(button); };
  struct Case {
    const char* what;
    std::function<void()> open, close;
  } cases[] = {
      {"a click on the parent's empty area", open, [&] { menutest::Click(away); }},
      {"a click on another window", open, [&] { menutest::Click(ScreenPoint(other.m_hWnd, 100, 60)); }},
      {"a click on the button itself", open, [&] { menutest::Click(button); }},
      // As when the user switches to another program.
      {"another window coming to the front", open, [&] { ::SetForegroundWindow(other.m_hWnd); }},
      // The button holds the pointer while it is pressed.
      {"the pressed pointer dragged off the button and the list",
       [&] {
         MoveMouse(button);
         Button(true);
         Pump(60);
       },
       [&] {
         MoveMouse(POINT{button.x + 20, button.y});
         Pump(60);
         MoveMouse(away);
         Pump(60);
         Button(false);
         Pump(100);
       }},
      // A line taken with the keys while the pointer is away is no choice.
      {"a line picked with the pointer away from the list", open,
       [&] {
         MoveMouse(away);
         Tap(VK_DOWN);
       }},
  };
  for (const Case& c : cases) {
    m_parent.notes.clear();
    ::SetForegroundWindow(m_parent.m_hWnd);
    c.open();
    ASSERT_TRUE(WaitFor([&] { return selector.IsDropped() != FALSE; }, 1000)) << c.what;
    EXPECT_EQ(::GetFocus(), selector.GetListWindow()) << c.what;
    c.close();
    EXPECT_TRUE(WaitFor([&] { return !selector.IsDropped(); }, 1000)) << c.what;
    Pump(100);
    EXPECT_FALSE(selector.IsDropped()) << c.what << ": the closing press does not reopen it";
    EXPECT_EQ(CountShown(1), 1) << c.what;
    EXPECT_EQ(CountShown(0), 1) << c.what;
    EXPECT_EQ(m_parent.Count(CPopupComboButton::kChosen), 0) << c.what;
    // The release reaches the button through the display's queue, perhaps after the list closed.
    EXPECT_TRUE(WaitFor([&] { return ::GetCapture() != selector.m_hWnd; }, 1000)) << c.what;
  }
  EXPECT_EQ(selector.GetList().GetCurSel(), -1) << "the selection is as it was";
  // Closed however it was, the next press opens it again.
  open();
  EXPECT_TRUE(WaitFor([&] { return selector.IsDropped() != FALSE; }, 1000));
  selector.HideDropDown();
  ::DestroyWindow(other.m_hWnd);
}

TEST_F(SkinControlsTest, SelectorLooksHotOnlyWhileThePointerIsOverIt) {
  using namespace menutest;
  const COLORREF normal = RGB(200, 200, 200), hot = RGB(250, 240, 120);
  CPopupComboButton selector;
  MakeSelector(selector, normal, hot);
  selector.AddLine("Microphone");
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0, nullptr, (HBRUSH)(COLOR_WINDOW + 1)), "Other",
                             WS_POPUP | WS_VISIBLE | WS_CAPTION, 520, 300, 200, 150, nullptr, nullptr));
  // The face between the frame and the text.
  auto face = [&] {
    Pump(60);
    return CaptureWindow(selector.m_hWnd, true).At(2, 10);
  };
  const POINT over = ScreenPoint(selector.m_hWnd, 60, 10);
  const struct {
    const char* where;
    POINT to;
  } leaves[] = {
      {"onto the parent", ScreenPoint(m_parent.m_hWnd, 300, 40)},
      {"onto another window", ScreenPoint(other.m_hWnd, 100, 60)},
      {"straight off every window", POINT{900, 40}},
  };
  // The pointer brought to rest at a point: the display may echo an earlier position
  // after a move, so the move is made again until the pointer stays there.
  auto restAt = [&](POINT at, COLORREF look) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      MoveMouse(at);
      if (WaitFor([&] { return CursorAt(at) && face() == look; }, 700)) return true;
    }
    return false;
  };
  ::SetForegroundWindow(m_parent.m_hWnd);
  Pump(100);
  for (const auto& leave : leaves) {
    EXPECT_TRUE(restAt(over, hot)) << leave.where;
    EXPECT_TRUE(restAt(leave.to, normal)) << leave.where;
    EXPECT_NE(::GetCapture(), selector.m_hWnd) << leave.where << ": the pointer is let go";
  }
  ::DestroyWindow(other.m_hWnd);
}

TEST_F(SkinControlsTest, SelectorListDrawsItsColoursAndBoldHeaderLinesAndHeadersChooseNothing) {
  using namespace menutest;
  constexpr COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(200, 0, 0), kGreen = RGB(0, 150, 0),
                     kHeader = RGB(0, 0, 160);
  CPopupComboButton selector;
  MakeSelector(selector);
  for (const char* line : {"Microphone", "Line In", "Inputs"}) selector.AddLine(line);
  // A header of the same text as the first line, to compare the weights.
  ASSERT_EQ(selector.AddHeader("Inputs", kHeader), 3);
  CPopupListBox& list = selector.GetList();
  list.SetLineColors(1, kRed, kGreen);
  ASSERT_EQ(selector.SelectLine("Line In"), 1);
  selector.ShowDropDown();
  Pump(100);
  const CapturedImage image = CaptureWindow(list.m_hWnd, true);
  SavePng(image, std::string(TARVEL_TEST_BINARY_DIR "/screenshots/selector-list.png"));
  const int height = static_cast<int>(::SendMessageA(list.m_hWnd, LB_GETITEMHEIGHT, 0, 0));
  ASSERT_EQ(image.height, 4 * height);

  // What a row shows: its colour at the right end, and its ink (other than the back
  // colour, off the middle row where a header's rule runs).
  struct Ink {
    int pixels = 0, reddish = 0, greenish = 0;
  };
  auto inkOf = [&](int row, COLORREF back) {
    Ink ink;
    for (int y = row * height + 1; y < (row + 1) * height - 1; ++y)
      for (int x = 0; x < image.width / 2; ++x) {
        const COLORREF p = image.At(x, y);
        if (y == row * height + height / 2 || p == back) continue;
        ++ink.pixels;
        ink.reddish += GetRValue(p) > GetGValue(p) + 60;
        ink.greenish += GetGValue(p) > GetRValue(p) + 60;
      }
    return ink;
  };
  auto rightEnd = [&](int row) { return image.At(image.width - 8, row * height + 3); };
  EXPECT_EQ(rightEnd(0), kWhite) << "a line on white";
  EXPECT_EQ(rightEnd(1), CPopupListBox::kSelectionColor) << "the selected line";
  EXPECT_EQ(rightEnd(2), kWhite);
  const Ink normal = inkOf(0, kWhite), selected = inkOf(1, CPopupListBox::kSelectionColor),
            plain = inkOf(2, kWhite), header = inkOf(3, kWhite);
  EXPECT_GT(selected.greenish, 5) << "the selected line in its selected-text colour";
  EXPECT_EQ(selected.reddish, 0);
  EXPECT_GT(plain.pixels, 20);
  EXPECT_EQ(plain.greenish + plain.reddish, 0) << "black text";
  EXPECT_GT(header.pixels, normal.pixels * 6 / 5) << "the header is bold";
  // The header's rule, in its colour, up to 2 pixels from the right edge.
  const int rule = 3 * height + height / 2;
  EXPECT_EQ(image.At(image.width - 3, rule), kHeader);
  EXPECT_EQ(image.At(image.width - 20, rule), kHeader);
  EXPECT_EQ(image.At(image.width - 2, rule), kWhite);

  // Choosing the header chooses nothing and leaves the list open; a line closes it.
  m_parent.notes.clear();
  menutest::Click(LineCentre(list.m_hWnd, 3));
  EXPECT_TRUE(selector.IsDropped());
  EXPECT_EQ(m_parent.Count(CPopupComboButton::kChosen), 0);
  menutest::Click(LineCentre(list.m_hWnd, 2));
  EXPECT_FALSE(selector.IsDropped());
  ASSERT_EQ(m_parent.Count(CPopupComboButton::kChosen), 1);
  for (const Parent::Note& n : m_parent.notes)
    if (n.message == CPopupComboButton::kChosen) EXPECT_EQ(n.lParam, 2);
  CString text;
  selector.GetWindowText(text);
  EXPECT_EQ(std::string(text), "Microphone");
}

}  // namespace
