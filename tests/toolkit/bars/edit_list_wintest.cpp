// The editable list in a window, used with the mouse and keys at the display: its
// New, Delete, Move Item Up and Move Item Down buttons and their hot keys, and naming
// an item in place.
#include "support/wine/GTestWin.h"

#include "toolkit/bars/TKEditBrowse.h"
#include "toolkit/bars/TKEditListBox.h"
#include "toolkit/bars/keyboard_input_support.h"

namespace {

using namespace toolbartest;

class EditList : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(XDisplayInput::Get().Ready());
    ASSERT_TRUE(host.CreateEx(
        0,
        AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
        "Tools", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 320, 280, nullptr, nullptr));
    ASSERT_TRUE(list.Create("Menu contents:", WS_VISIBLE | WS_TABSTOP, CRect(10, 10, 290, 220), &host, 100));
    ASSERT_TRUE(list.SetStandardButtons());
    for (const char* name : {"One", "Two", "Three"}) list.AddItem(name, reinterpret_cast<DWORD_PTR>(name));
    ::SetForegroundWindow(host.m_hWnd);
    PumpAsTheProgram(200);
  }
  void TearDown() override {
    if (host.m_hWnd) host.DestroyWindow();
    PumpAsTheProgram(100);
  }
  std::vector<std::string> Shown() const {
    std::vector<std::string> items;
    for (int i = 0; i < list.GetCount(); ++i)
      items.emplace_back(static_cast<const char*>(list.GetItemText(i)));
    return items;
  }
  void ClickItem(int index) {
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    ASSERT_TRUE(::SendMessageA(list.GetListHwnd(), LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)));
    ClickInWindow(list.GetListHwnd(), POINT{row.left + 30, (row.top + row.bottom) / 2});
  }
  void ClickButton(int command) {
    const int index = list.FindButton(command);
    ASSERT_GE(index, 0);
    CRect face;
    list.GetButton(index)->GetClientRect(&face);
    ClickInWindow(list.GetButton(index)->m_hWnd, face.CenterPoint());
  }
  // The in-place editor the list shows, null when none.
  HWND Editor() const {
    return reinterpret_cast<HWND>(::SendMessageA(list.GetListHwnd(), LVM_GETEDITCONTROL, 0, 0));
  }

  CWnd host;
  CTKEditListBox list;
};

using Names = std::vector<std::string>;

TEST_F(EditList, TheButtonsMoveDeleteAndAddItemsAndANewItemLeftUnnamedIsDropped) {
  EXPECT_EQ(list.GetButtonCount(), 4);
  // The buttons stand in the caption band, right-aligned, in table order.
  const CRect band = list.GetCaptionRect();
  CRect last;
  list.GetButton(3)->GetWindowRect(&last);
  ::MapWindowPoints(nullptr, list.m_hWnd, reinterpret_cast<POINT*>(&last), 2);
  EXPECT_LE(last.right, band.right);
  EXPECT_GE(last.top, band.top);
  EXPECT_LE(last.bottom, band.bottom);
  EXPECT_EQ(list.GetButtonCommand(0), CTKEditListBase::kNewCommand);
  EXPECT_EQ(list.GetButtonCommand(3), CTKEditListBase::kMoveDownCommand);

  ClickItem(1);
  ASSERT_EQ(list.GetSelItem(), 1);
  struct Step {
    int command;
    Names items;
    int selected;
  };
  const Step steps[] = {
      {CTKEditListBase::kMoveUpCommand, {"Two", "One", "Three"}, 0},
      {CTKEditListBase::kMoveUpCommand, {"Two", "One", "Three"}, 0},  // already first
      {CTKEditListBase::kMoveDownCommand, {"One", "Two", "Three"}, 1},
      {CTKEditListBase::kMoveDownCommand, {"One", "Three", "Two"}, 2},
      {CTKEditListBase::kMoveDownCommand, {"One", "Three", "Two"}, 2},  // already last
      {CTKEditListBase::kDeleteCommand, {"One", "Three"}, 1},
  };
  for (const Step& step : steps) {
    ClickButton(step.command);
    EXPECT_EQ(Shown(), step.items) << "after command " << step.command;
    EXPECT_EQ(list.GetSelItem(), step.selected) << "after command " << step.command;
  }
  // An item's data moves with its text.
  EXPECT_STREQ(reinterpret_cast<const char*>(list.GetItemData(1)), "Three");

  // New adds an item at the end and opens it for naming.
  ClickButton(CTKEditListBase::kNewCommand);
  ASSERT_TRUE(Editor());
  TypeText("four");
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  SavePng(CaptureWindow(host.m_hWnd, true), TARVEL_TEST_BINARY_DIR "/screenshots/edit-list-naming.png");
  PressKey(kKeyReturn);
  EXPECT_FALSE(Editor());
  EXPECT_EQ(Shown(), (Names{"One", "Three", "four"}));
  EXPECT_EQ(list.GetSelItem(), 2);
  // A new item left with Escape, or with no name, is not kept.
  ClickButton(CTKEditListBase::kNewCommand);
  ASSERT_TRUE(Editor());
  PressKey(kKeyEscape);
  PumpAsTheProgram(200);
  EXPECT_EQ(Shown(), (Names{"One", "Three", "four"}));
  SavePng(CaptureWindow(host.m_hWnd, true), TARVEL_TEST_BINARY_DIR "/screenshots/edit-list.png");
}

TEST_F(EditList, HotKeysInTheListActLikeTheButtonsAndADoubleClickRenames) {
  ClickItem(0);
  struct Case {
    unsigned long key, modifier;
    Names items;
    int selected;
  };
  const Case cases[] = {
      {kKeyDown, kKeyAlt, {"Two", "One", "Three"}, 1},
      {kKeyDown, kKeyAlt, {"Two", "Three", "One"}, 2},
      {kKeyUp, kKeyAlt, {"Two", "One", "Three"}, 1},
      {kKeyDelete, 0, {"Two", "Three"}, 1},
  };
  for (const Case& c : cases) {
    PressKey(c.key, c.modifier);
    EXPECT_EQ(Shown(), c.items) << "key " << std::hex << c.key;
    EXPECT_EQ(list.GetSelItem(), c.selected) << "key " << std::hex << c.key;
  }
  PressKey(kKeyInsert);
  ASSERT_TRUE(Editor());
  TypeText("five");
  PressKey(kKeyReturn);
  EXPECT_EQ(Shown(), (Names{"Two", "Three", "five"}));

  // A double click opens the item for a new name.
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  ::SendMessageA(list.GetListHwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  POINT at{row.left + 30, (row.top + row.bottom) / 2};
  ::ClientToScreen(list.GetListHwnd(), &at);
  ASSERT_TRUE(MoveMouseAndWait(at, true));
  for (int click = 0; click < 2; ++click) {
    MouseButton(true);
    PumpAsTheProgram(30);
    MouseButton(false);
    PumpAsTheProgram(30);
  }
  PumpAsTheProgram(300);
  ASSERT_TRUE(Editor());
  PressKey('a', 0);  // the editor starts with the old name selected
  PressKey(kKeyReturn);
  EXPECT_EQ(Shown(), (Names{"a", "Three", "five"}));
  EXPECT_STREQ(reinterpret_cast<const char*>(list.GetItemData(0)), "Two");
}

// A browse field that counts the browse requests it gets.
class CountingBrowse : public CTKEditBrowse {
public:
  int browsed = 0;
  void OnBrowse() override { ++browsed; }
};

TEST_F(EditList, TheBrowseButtonInTheFieldsFrameBrowsesOnlyWhenReleasedOverIt) {
  CountingBrowse field;
  ASSERT_TRUE(field.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "C:\\tools\\run.exe",
                             WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | WS_TABSTOP, 10, 226, 280, 22,
                             host.m_hWnd, reinterpret_cast<HMENU>(101)));
  ::SetWindowPos(field.m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  PumpAsTheProgram(200);
  // The button takes its width off the field's text area.
  CRect window, client;
  field.GetWindowRect(&window);
  field.GetClientRect(&client);
  const int frame = 2 * ::GetSystemMetrics(SM_CXEDGE);
  EXPECT_EQ(client.Width(), window.Width() - frame - CTKEditBrowse::kButtonWidth);
  const CRect button = field.GetButtonRect();
  ASSERT_EQ(button.Width(), CTKEditBrowse::kButtonWidth);

  // Pressed and released over the button: one browse.
  const POINT centre = button.CenterPoint();
  ASSERT_TRUE(MoveMouseAndWait(centre, true));
  MouseButton(true);
  PumpAsTheProgram(150);
  EXPECT_TRUE(field.IsButtonPressed());
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  SavePng(CaptureWindow(host.m_hWnd, true), TARVEL_TEST_BINARY_DIR "/screenshots/edit-browse-pressed.png");
  MouseButton(false);
  PumpAsTheProgram(150);
  EXPECT_FALSE(field.IsButtonPressed());
  EXPECT_EQ(field.browsed, 1);
  // Pressed over it, then moved off before the release: the button comes up, no browse.
  MouseButton(true);
  PumpAsTheProgram(150);
  ASSERT_TRUE(MoveMouseAndWait(POINT{button.left - 60, centre.y}, true));
  PumpAsTheProgram(100);
  EXPECT_FALSE(field.IsButtonPressed());
  MouseButton(false);
  PumpAsTheProgram(150);
  EXPECT_EQ(field.browsed, 1);
  // A click in the text does not browse.
  ClickInWindow(field.m_hWnd, POINT{20, client.Height() / 2});
  EXPECT_EQ(field.browsed, 1);
  EXPECT_EQ(::GetFocus(), field.m_hWnd);
}

}  // namespace
