// The control panel's own controls driven with the mouse and the keys in a plain
// parent window: the skinned button's latching, toggling, shift and disabled rules and
// its tinted faces; the volume slider's clamping, keys and drag rule; the drop-down
// selector's sorted list above the button and its choice.
#include "support/wine/GTestWin.h"

#include "app/skin/BitmapSlider.h"
#include "app/skin/MMButton.h"
#include "app/skin/PopupComboButton.h"
#include "app/skin/SkinCache.h"
#include "app/view/ShellServices.h"
#include "resources/PanelResource.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"

#include "platform/afx/linux_headers_begin.h"
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
  ::CreateWindowExA(0, "BUTTON", "None", WS_CHILD | WS_VISIBLE, 20, 150, 120, 20, m_parent.m_hWnd,
                    reinterpret_cast<HMENU>(1071), AfxGetInstanceHandle(), nullptr);
  CPopupComboButton selector;
  ASSERT_TRUE(selector.CreateFromControl(&m_parent, 1071));
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

}  // namespace
