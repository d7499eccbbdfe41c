// Edit boxes and combo boxes on toolbars, used with the mouse and keyboard at the
// display: the text and selection they share between items of one command, the
// commands they send, and their state kept with the bar's in the registry.
#include "support/wine/GTestWin.h"

#include "toolkit/bars/TKToolbarComboBoxButton.h"
#include "toolkit/bars/TKToolbarEditBoxButton.h"
#include "toolkit/bars/keyboard_input_support.h"
#include "toolkit/bars/toolbar_test_support.h"
#include "toolkit/frames/TKWorkspace.h"

namespace {

using namespace toolbartest;

std::string WindowTextOf(HWND hwnd) {
  char text[128] = "";
  ::GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

class ToolbarControls : public ToolbarFrame {
protected:
  void SetUp() override {
    ToolbarFrame::SetUp();
    ASSERT_TRUE(XDisplayInput::Get().Ready());
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
  }
  void TearDown() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarvel Tests\\Toolbars");
    ToolbarFrame::TearDown();
  }
  void Relayout() {
    fileBar->AdjustLayout();
    editBar->AdjustLayout();
    frame->RecalcLayout();
    PumpAsTheProgram(200);
  }
  void ClickInside(HWND control, POINT client) { ClickInWindow(control, client); }
  size_t CommandCount(UINT id) const {
    return static_cast<size_t>(std::count(frame->commands.begin(), frame->commands.end(), id));
  }
};

TEST_F(ToolbarControls, EditBoxesOfOneCommandShareTheTypedTextSendTheCommandAndComeBackFromTheState) {
  // One field on the top bar, one of the same command on the side bar (which shows
  // the plain button, its field hidden).
  const int top = fileBar->InsertButton(new CTKToolbarEditBoxButton(ID_TEST_PRINT, -1, 0, 120));
  const int side = editBar->InsertButton(new CTKToolbarEditBoxButton(ID_TEST_PRINT, -1));
  ASSERT_GE(top, 0);
  ASSERT_GE(side, 0);
  Relayout();
  auto* typed = static_cast<CTKToolbarEditBoxButton*>(fileBar->GetButton(top));
  auto* other = static_cast<CTKToolbarEditBoxButton*>(editBar->GetButton(side));
  ASSERT_TRUE(typed->IsEditVisible());
  EXPECT_FALSE(other->IsEditVisible());
  ASSERT_TRUE(other->GetEditBox() && other->GetEditBox()->m_hWnd);
  CRect item;
  fileBar->GetItemRect(top, &item);
  EXPECT_EQ(item.Width(), 120);

  HWND field = typed->GetEditBox()->m_hWnd;
  ClickInside(field, POINT{10, 4});
  ASSERT_EQ(::GetFocus(), field);
  TypeText("mix");
  EXPECT_EQ(WindowTextOf(field), "mix");
  EXPECT_EQ(std::string(other->GetContents()), "mix");
  EXPECT_EQ(WindowTextOf(other->GetEditBox()->m_hWnd), "mix");
  // One command per change the user made; the copy's change sends none.
  PumpAsTheProgram(100);
  EXPECT_EQ(CommandCount(ID_TEST_PRINT), 3u);
  PressKey(kKeyReturn);
  PumpAsTheProgram(100);
  EXPECT_EQ(CommandCount(ID_TEST_PRINT), 4u);
  EXPECT_EQ(WindowTextOf(field), "mix");

  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  SavePng(CaptureWindow(frameHwnd, true), TARVEL_TEST_BINARY_DIR "/screenshots/toolbar-edit-box.png");

  // The text, width and style go with the bar's state into a fresh bar of the same id.
  ASSERT_TRUE(fileBar->SaveState(kProfile));
  ToolbarFrame::Destroy();
  ToolbarFrame::Build();
  CTKToolBar& fresh = *fileBar;
  ASSERT_TRUE(fresh.LoadState(kProfile));
  Relayout();
  auto* restored = dynamic_cast<CTKToolbarEditBoxButton*>(fresh.GetButton(fresh.GetCount() - 1));
  ASSERT_NE(restored, nullptr);
  EXPECT_EQ(restored->m_nID, static_cast<UINT>(ID_TEST_PRINT));
  EXPECT_EQ(restored->GetWidth(), 120);
  ASSERT_TRUE(restored->IsEditVisible());
  EXPECT_EQ(WindowTextOf(restored->GetEditBox()->m_hWnd), "mix");
  EXPECT_TRUE(frame->commands.empty());
}

TEST_F(ToolbarControls, WhileAToolbarEditBoxHasTheKeysTheFramesShortcutsDoNotFire) {
  // M alone is the frame's shortcut for Save.
  ACCEL keys[] = {{FVIRTKEY, 'M', ID_TEST_SAVE}};
  frame->m_hAccelTable = ::CreateAcceleratorTableA(keys, 1);
  const int at = fileBar->InsertButton(new CTKToolbarEditBoxButton(ID_TEST_PRINT, -1, 0, 120));
  ASSERT_GE(at, 0);
  Relayout();
  auto* box = static_cast<CTKToolbarEditBoxButton*>(fileBar->GetButton(at));
  ASSERT_TRUE(box->IsEditVisible());
  HWND field = box->GetEditBox()->m_hWnd;
  ClickInside(field, POINT{10, 4});
  ASSERT_EQ(::GetFocus(), field);
  TypeText("mum");
  PumpAsTheProgram(100);
  EXPECT_EQ(WindowTextOf(field), "mum") << "the letters go into the box";
  EXPECT_EQ(CommandCount(ID_TEST_SAVE), 0u) << "and not to the frame's shortcut";
  // With the frame's window holding the keys, the shortcut works.
  ::SetFocus(frameHwnd);
  PressKey('m');
  PumpAsTheProgram(100);
  EXPECT_EQ(CommandCount(ID_TEST_SAVE), 1u);
}

TEST_F(ToolbarControls, ComboBoxesOfOneCommandShareThePickedItemAndKeepItemsDataAndSelectionInTheState) {
  auto* first = new CTKToolbarComboBoxButton(ID_TEST_EXPORT, -1, 0x50200403, 100);
  const struct {
    const char* text;
    DWORD data;
  } items[] = {{"Low", 10}, {"Medium", 20}, {"High", 30}};
  for (const auto& item : items) first->AddItem(item.text, item.data);
  auto* second = new CTKToolbarComboBoxButton;
  second->CopyFrom(*first);
  const int a = fileBar->InsertButton(first);
  const int b = fileBar->InsertButton(second);
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  Relayout();
  CComboBox* combo = first->GetComboBox();
  ASSERT_TRUE(combo && combo->m_hWnd && (combo->GetStyle() & WS_VISIBLE));
  EXPECT_EQ(combo->GetCount(), 3);
  EXPECT_EQ(second->GetComboBox()->GetCount(), 3);

  // The user opens the first list and picks "High".
  CRect box;
  combo->GetClientRect(&box);
  ClickInside(combo->m_hWnd, POINT{box.right - 8, box.Height() / 2});
  ASSERT_TRUE(combo->GetDroppedState());
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(::GetComboBoxInfo(combo->m_hWnd, &info));
  ASSERT_TRUE(info.hwndList);
  const int itemHeight = static_cast<int>(::SendMessageA(info.hwndList, LB_GETITEMHEIGHT, 0, 0));
  ClickInside(info.hwndList, POINT{20, itemHeight * 2 + itemHeight / 2});
  PumpAsTheProgram(200);
  EXPECT_FALSE(combo->GetDroppedState());
  EXPECT_EQ(first->GetCurSel(), 2);
  EXPECT_EQ(std::string(first->GetText()), "High");
  EXPECT_EQ(second->GetCurSel(), 2);
  EXPECT_EQ(second->GetComboBox()->GetCurSel(), 2);
  EXPECT_EQ(CommandCount(ID_TEST_EXPORT), 1u);

  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  SavePng(CaptureWindow(frameHwnd, true), TARVEL_TEST_BINARY_DIR "/screenshots/toolbar-combo-box.png");

  // Items, their data and the selection come back in a fresh bar, in a new combo box.
  ASSERT_TRUE(fileBar->SaveState(kProfile));
  ToolbarFrame::Destroy();
  ToolbarFrame::Build();
  ASSERT_TRUE(fileBar->LoadState(kProfile));
  Relayout();
  auto* restored = dynamic_cast<CTKToolbarComboBoxButton*>(fileBar->GetButton(fileBar->GetCount() - 2));
  ASSERT_NE(restored, nullptr);
  ASSERT_EQ(restored->GetCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(std::string(restored->GetItem(i)), items[i].text);
    EXPECT_EQ(restored->GetItemData(i), items[i].data);
  }
  EXPECT_EQ(restored->GetCurSel(), 2);
  CComboBox* remade = restored->GetComboBox();
  ASSERT_TRUE(remade && remade->m_hWnd);
  EXPECT_EQ(remade->GetCurSel(), 2);
  EXPECT_EQ(static_cast<DWORD>(remade->GetItemData(1)), 20u);
  EXPECT_EQ(WindowTextOf(remade->m_hWnd), "High");
}

}  // namespace

namespace {

// The combo box record carries the dropped width only from stored version 4.72 on;
// an older record loads with the default width and everything else intact.
TEST(ToolbarComboRecord, TheDroppedWidthIsStoredFromVersion472On) {
  const struct {
    int major, minor;
    bool hasWidth;
  } cases[] = {{4, 71, false}, {4, 72, true}, {3, 90, false}, {5, 0, true}, {-1, -1, true}};
  std::vector<ULONGLONG> sizes;
  for (const auto& c : cases) {
    CTKWorkspace workspace;
    workspace.m_savedMajor = c.major;
    workspace.m_savedMinor = c.minor;
    CTKToolbarComboBoxButton button(ID_TEST_EXPORT, -1, 0x50200403, 90);
    button.AddItem("Low", 10);
    button.AddItem("High", 30);
    ASSERT_TRUE(button.SelectItem(1, FALSE));
    button.m_nDropDownHeight = 220;
    CMemFile file;
    {
      CArchive out(&file, CArchive::store);
      button.Serialize(out);
      out.Close();
    }
    sizes.push_back(file.GetLength());
    file.Seek(0, CFile::begin);
    CTKToolbarComboBoxButton loaded;
    {
      CArchive in(&file, CArchive::load);
      loaded.Serialize(in);
    }
    const std::string version = std::to_string(c.major) + "." + std::to_string(c.minor);
    EXPECT_EQ(loaded.m_nDropDownHeight, c.hasWidth ? 220 : 150) << version;
    EXPECT_EQ(loaded.GetWidth(), 90) << version;
    ASSERT_EQ(loaded.GetCount(), 2) << version;
    EXPECT_EQ(std::string(loaded.GetItem(1)), "High") << version;
    EXPECT_EQ(loaded.GetItemData(1), 30u) << version;
    EXPECT_EQ(loaded.GetCurSel(), 1) << version;
  }
  EXPECT_EQ(sizes[1], sizes[0] + 4);  // 4.72 against 4.71
}

}  // namespace
