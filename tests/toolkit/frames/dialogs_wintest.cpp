// The toolkit's dialog, property sheet and property page: library popup menus closed
// by keys, accelerators and clicks elsewhere; the dialog's background; a sheet that
// opens, switches pages and closes.
#include "support/wine/GTestWin.h"

#include "support/wine/DialogTestSupport.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/frames/TKDialog.h"
#include "toolkit/frames/TKPropertySheet.h"
#include "toolkit/frames/TKTabWnd.h"
#include "toolkit/frames/TKVisualManager.h"

namespace {

using namespace dialogtest;

// A stand-in library popup: a small popup window that records what it is sent.
struct RecordingPopup : CTKPopupMenuBase {
  std::vector<std::pair<UINT, WPARAM>> got;
  // The bar the popup was opened from, when the test gives it one.
  CWnd* bar = nullptr;
  CWnd* MenuBarAt(POINT screen) const override {
    RECT rect{};
    return bar && ::GetWindowRect(bar->m_hWnd, &rect) && ::PtInRect(&rect, screen) ? bar : nullptr;
  }
  BOOL Make(int x, int y) {
    return CreateEx(WS_EX_TOOLWINDOW, nullptr, "", WS_POPUP | WS_VISIBLE, x, y, 60, 40, nullptr, nullptr);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CLOSE || message == WM_KEYDOWN) {
      got.emplace_back(message, wParam);
      if (message == WM_CLOSE) ::ShowWindow(m_hWnd, SW_HIDE);
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
  bool Got(UINT message, WPARAM wParam) const {
    for (auto& m : got)
      if (m.first == message && m.second == wParam) return true;
    return false;
  }
};

// A window that records the mouse moves and context-menu requests it gets.
struct RecordingWindow : CWnd {
  std::vector<LPARAM> moves;
  std::vector<std::pair<WPARAM, LPARAM>> menuRequests;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    static const UINT menuMessage = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
    if (message == WM_MOUSEMOVE) moves.push_back(lParam);
    if (message == menuMessage) menuRequests.emplace_back(wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

constexpr int kCommand = 4321;

struct TestDialog : CTKDialog {
  int commandRuns = 0;
  void OnTestCommand() { ++commandRuns; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestDialog, CTKDialog)
  ON_COMMAND(kCommand, OnTestCommand)
END_MESSAGE_MAP()

MSG Message(HWND hwnd, UINT message, WPARAM wParam, POINT screen = {0, 0}) {
  MSG msg{};
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.pt = screen;
  return msg;
}

TEST(ToolkitDialog, OpenPopupTakesKeysAcceleratorsAndClosesOnClicksElsewhere) {
  DialogTemplate tpl("Popup host", 160, 90);
  tpl.Control(0x82, 100, "Label", SS_LEFT, 10, 10, 60, 10);
  TestDialog dialog;
  ASSERT_TRUE(dialog.CreateIndirect(tpl.Get()));
  RECT dialogRect{};
  ::GetWindowRect(dialog.m_hWnd, &dialogRect);

  // No popup: keys and accelerators take their usual road.
  MSG key = Message(dialog.m_hWnd, WM_KEYDOWN, VK_DOWN);
  EXPECT_FALSE(dialog.m_Impl.PreTranslateMessage(&key));
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kCommand, 1), 0);
  EXPECT_EQ(dialog.commandRuns, 1);

  RecordingPopup popup;
  ASSERT_TRUE(popup.Make(dialogRect.left + 20, dialogRect.top + 30));
  dialog.SetOpenMenu(&popup);
  EXPECT_TRUE(DialogHelper::IsHookInstalled());
  EXPECT_EQ(DialogHelper::GetHookingHelper(), &dialog.m_Impl);

  // Keys go to the popup and stop there.
  EXPECT_TRUE(dialog.PreTranslateMessage(&key));
  EXPECT_TRUE(popup.Got(WM_KEYDOWN, VK_DOWN));
  MSG keyUp = Message(dialog.m_hWnd, WM_SYSKEYUP, VK_MENU);
  EXPECT_TRUE(dialog.PreTranslateMessage(&keyUp));
  // An accelerator closes the popup (Escape) and is not run.
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kCommand, 1), 0);
  EXPECT_EQ(dialog.commandRuns, 1);
  EXPECT_TRUE(popup.Got(WM_KEYDOWN, VK_ESCAPE));
  // Alt closes it and is used up; other system keys pass.
  MSG alt = Message(dialog.m_hWnd, WM_SYSKEYDOWN, VK_MENU);
  EXPECT_TRUE(dialog.PreTranslateMessage(&alt));
  EXPECT_TRUE(popup.Got(WM_CLOSE, 0));
  MSG f4 = Message(dialog.m_hWnd, WM_SYSKEYDOWN, VK_F4);
  EXPECT_FALSE(dialog.m_Impl.PreTranslateMessage(&f4));

  // A click inside the popup is left to it.
  popup.got.clear();
  RECT popupRect{};
  ::GetWindowRect(popup.m_hWnd, &popupRect);
  MSG inside = Message(popup.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, {popupRect.left + 5, popupRect.top + 5});
  EXPECT_FALSE(dialog.m_Impl.PreTranslateMessage(&inside));
  EXPECT_TRUE(popup.got.empty());
  // A move outside it over no bar of its menus is used up (the controls under the
  // cursor do not follow it); over the bar it came from, the bar takes it: addressed to
  // the bar it goes on, addressed elsewhere it is handed to the bar in its coordinates.
  RecordingWindow bar;
  ASSERT_TRUE(bar.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 140, 40, 60, 20, dialog.m_hWnd, nullptr));
  popup.bar = &bar;
  auto moveTo = [](HWND hwnd, POINT screen) {
    POINT client = screen;
    ::ScreenToClient(hwnd, &client);
    MSG msg = Message(hwnd, WM_MOUSEMOVE, 0, screen);
    msg.lParam = MAKELPARAM(client.x, client.y);
    return msg;
  };
  const POINT away{popupRect.right + 5, popupRect.bottom + 5};
  MSG move = moveTo(dialog.m_hWnd, away);
  EXPECT_TRUE(dialog.PreTranslateMessage(&move));
  MSG overPopup = moveTo(popup.m_hWnd, {popupRect.left + 5, popupRect.top + 5});
  EXPECT_FALSE(dialog.m_Impl.PreTranslateMessage(&overPopup));
  RECT barRect{};
  ::GetWindowRect(bar.m_hWnd, &barRect);
  ASSERT_FALSE(::PtInRect(&popupRect, POINT{barRect.left + 5, barRect.top + 5}));
  MSG toBar = moveTo(bar.m_hWnd, {barRect.left + 5, barRect.top + 5});
  EXPECT_FALSE(dialog.m_Impl.PreTranslateMessage(&toBar));
  EXPECT_TRUE(bar.moves.empty());
  MSG toDialog = moveTo(dialog.m_hWnd, {barRect.left + 5, barRect.top + 6});
  EXPECT_TRUE(dialog.m_Impl.PreTranslateMessage(&toDialog));
  EXPECT_EQ(bar.moves, (std::vector<LPARAM>{MAKELPARAM(5, 6)}));
  popup.bar = nullptr;

  // A click elsewhere closes it, the hook goes and the dialog has the focus again.
  ::SetFocus(popup.m_hWnd);
  MSG outside =
      Message(dialog.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, {popupRect.right + 30, popupRect.bottom + 5});
  EXPECT_FALSE(dialog.m_Impl.PreTranslateMessage(&outside));
  EXPECT_TRUE(popup.Got(WM_CLOSE, 0));
  EXPECT_EQ(DialogHelper::GetOpenMenu(), nullptr);
  EXPECT_FALSE(DialogHelper::IsHookInstalled());
  HWND focus = ::GetFocus();
  EXPECT_TRUE(focus == dialog.m_hWnd || ::IsChild(dialog.m_hWnd, focus));
  // Once closed, keys reach the dialog again.
  EXPECT_FALSE(dialog.m_Impl.PreTranslateMessage(&key));

  // A dialog destroyed with a popup open takes its hook with it.
  dialog.SetOpenMenu(&popup);
  EXPECT_TRUE(DialogHelper::IsHookInstalled());
  dialog.DestroyWindow();
  EXPECT_FALSE(DialogHelper::IsHookInstalled());
  EXPECT_EQ(DialogHelper::GetHookingHelper(), nullptr);
  dialog.SetOpenMenu(nullptr);
  popup.DestroyWindow();
}

// A dialog that records the bars' context-menu requests it gets.
struct MenuRequestDialog : CTKDialog {
  std::vector<std::pair<WPARAM, LPARAM>> requests;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    static const UINT menuMessage = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
    if (message == menuMessage) requests.emplace_back(wParam, lParam);
    return CTKDialog::WindowProc(message, wParam, lParam);
  }
};

TEST(ToolkitDialog, RightButtonReleasedOnADockBarAsksTheDialogForTheBarsMenu) {
  DialogTemplate tpl("Dock host", 160, 90);
  tpl.Control(0x82, 100, "Label", SS_LEFT, 10, 60, 60, 10);
  MenuRequestDialog dialog;
  ASSERT_TRUE(dialog.CreateIndirect(tpl.Get()));
  auto* dock = new CDockBar;  // a side deletes itself with its window
  ASSERT_TRUE(dock->Create(&dialog, WS_VISIBLE | CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP));
  ::SetWindowPos(dock->m_hWnd, nullptr, 0, 0, 200, 24, SWP_NOZORDER);
  auto releaseOn = [](HWND hwnd, POINT client) {
    POINT screen = client;
    ::ClientToScreen(hwnd, &screen);
    MSG msg = Message(hwnd, WM_RBUTTONUP, 0, screen);
    msg.lParam = MAKELPARAM(client.x, client.y);
    return msg;
  };
  MSG onDock = releaseOn(dock->m_hWnd, {30, 7});
  EXPECT_FALSE(dialog.m_Impl.PreTranslateMessage(&onDock));
  ASSERT_EQ(dialog.requests.size(), 1u);
  EXPECT_EQ(dialog.requests[0].first, reinterpret_cast<WPARAM>(dialog.m_hWnd));
  EXPECT_EQ(dialog.requests[0].second,
            static_cast<LPARAM>((static_cast<DWORD>(onDock.pt.y) << 16) | (onDock.pt.x & 0xFFFF)));

  // Not on a control of the dialog, and not while toolbars are being customized.
  MSG onLabel = releaseOn(::GetDlgItem(dialog.m_hWnd, 100), {5, 5});
  EXPECT_FALSE(dialog.m_Impl.PreTranslateMessage(&onLabel));
  g_toolbarsCustomizing = TRUE;
  EXPECT_FALSE(dialog.m_Impl.PreTranslateMessage(&onDock));
  g_toolbarsCustomizing = FALSE;
  EXPECT_EQ(dialog.requests.size(), 1u);
  dialog.DestroyWindow();
}

TEST(ToolkitDialog, BackgroundColourShowsBehindStaticTextAndPlainDialogKeepsFace) {
  DialogTemplate tpl("Background", 120, 60);
  tpl.Control(0x82, 100, "", SS_LEFT, 10, 10, 80, 20);
  CTKDialog plain, coloured;
  ASSERT_TRUE(plain.CreateIndirect(tpl.Get()));
  coloured.SetBackgroundColor(RGB(200, 40, 40), FALSE);
  ASSERT_TRUE(coloured.CreateIndirect(tpl.Get()));
  ::SetWindowPos(coloured.m_hWnd, HWND_TOP, 300, 10, 0, 0, SWP_NOSIZE);
  ::SetWindowPos(plain.m_hWnd, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
  PumpPendingMessages();

  RECT label{};
  ::GetWindowRect(::GetDlgItem(coloured.m_hWnd, 100), &label);
  POINT inLabel{label.left + 5, label.top + 5};
  ::ScreenToClient(coloured.m_hWnd, &inLabel);
  CapturedImage c = CaptureWindow(coloured.m_hWnd, true);
  CapturedImage p = CaptureWindow(plain.m_hWnd, true);
  ASSERT_FALSE(c.Empty());
  ASSERT_FALSE(p.Empty());
  EXPECT_EQ(c.At(2, 2), RGB(200, 40, 40));
  EXPECT_EQ(c.At(inLabel.x, inLabel.y), RGB(200, 40, 40)) << "the label is see-through";
  EXPECT_EQ(p.At(2, 2), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(p.At(inLabel.x, inLabel.y), ::GetSysColor(COLOR_BTNFACE));
  plain.DestroyWindow();
  coloured.DestroyWindow();
}

struct RecordingPage : CTKPropertyPage {
  using CTKPropertyPage::CTKPropertyPage;
  int applied = 0;
  BOOL OnApply() override {
    ++applied;
    return TRUE;
  }
};

struct RecordingSheet : CTKPropertySheet {
  using CTKPropertySheet::CTKPropertySheet;
  std::vector<int> activated;
  BOOL initialised = FALSE;
  BOOL OnInitDialog() override {
    initialised = TRUE;
    return CTKPropertySheet::OnInitDialog();
  }
  void OnActivatePage(CPropertyPage* page) override {
    activated.push_back(GetPageIndex(page));
    CTKPropertySheet::OnActivatePage(page);
  }
};

TEST(ToolkitPropertySheet, ModalSheetStartsOnChosenPageSwitchesAndClosesWithOk) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&icc);
  DialogTemplate pageTpl("", 150, 80, WS_CHILD | WS_CAPTION | DS_CONTROL);
  pageTpl.Edit(200, 10, 10);
  RecordingPage first(pageTpl.Get(), "First"), second(pageTpl.Get(), "Second"), third(pageTpl.Get(), "Third");
  RecordingSheet sheet("Options", nullptr, 1);
  sheet.AddPage(&first);
  sheet.AddPage(&second);
  sheet.AddPage(&third);

  INT_PTR result = 0;
  bool tabsKept = false;
  int activeAtStart = -1, activeAfterSwitch = -1;
  bool thirdShown = false, secondHidden = false;
  dialogtest::DriveModal(
      "Options",
      [&](HWND hwnd) {
        activeAtStart = sheet.GetActiveIndex();
        CWnd* tab = sheet.GetTabControl();
        tabsKept = tab && ::IsWindowVisible(tab->m_hWnd);
        EXPECT_TRUE(sheet.SetActivePage(&third));
        activeAfterSwitch = sheet.GetActiveIndex();
        thirdShown = third.m_hWnd && ::IsWindowVisible(third.m_hWnd);
        secondHidden = second.m_hWnd && !::IsWindowVisible(second.m_hWnd);
        sheet.PressButton(PSBTN_OK);
        (void)hwnd;
      },
      [&] { result = sheet.DoModal(); });

  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(sheet.initialised);
  EXPECT_TRUE(tabsKept);
  EXPECT_EQ(activeAtStart, 1);
  EXPECT_EQ(activeAfterSwitch, 2);
  EXPECT_TRUE(thirdShown);
  EXPECT_TRUE(secondHidden);
  EXPECT_EQ(sheet.activated, (std::vector<int>{1, 2}));
  EXPECT_EQ(second.applied + third.applied, 2) << "OK applies every page that was shown";
  EXPECT_EQ(first.applied, 0) << "a page never shown has nothing to apply";
  EXPECT_EQ(sheet.m_hWnd, nullptr);
}

// The sheet's OK button 5 pixels above its bottom edge, left of Cancel.
bool OkIsAtTheBottomBeforeCancel(HWND sheet) {
  RECT client{}, ok{}, cancel{};
  ::GetClientRect(sheet, &client);
  ::GetWindowRect(::GetDlgItem(sheet, IDOK), &ok);
  ::MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&ok), 2);
  ::GetWindowRect(::GetDlgItem(sheet, IDCANCEL), &cancel);
  ::MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&cancel), 2);
  return ok.bottom == client.bottom - 5 && ok.right <= cancel.left;
}

TEST(ToolkitPropertySheet, TreeLookChoosesPagesFromItsCategoriesAndKeepsButtonsBottomRight) {
  DialogTemplate pageTpl("", 150, 80, WS_CHILD | WS_CAPTION | DS_CONTROL);
  pageTpl.Edit(200, 10, 10);
  RecordingPage first(pageTpl.Get(), "First"), second(pageTpl.Get(), "Second"), third(pageTpl.Get(), "Third");
  RecordingSheet sheet("Tree sheet");
  sheet.AddPage(&first);
  sheet.AddPage(&second);
  sheet.AddPage(&third);
  sheet.SetLook(CTKPropertySheet::PropSheetLook_Tree, 120);
  CTKPropSheetCategory* general = sheet.AddTreeCategory("General");
  general->m_lstPages.push_back(&first);
  general->m_lstPages.push_back(&second);

  INT_PTR result = 0;
  int treeItems = 0, activeAfterTree = -1;
  bool tabsOutOfSight = false, thirdRightOfTree = false, okBottomRight = false;
  HTREEITEM selectedAfterSwitch = nullptr;
  dialogtest::DriveModal(
      "Tree sheet",
      [&](HWND hwnd) {
        HWND tree = sheet.GetNavigationTree();
        ASSERT_NE(tree, nullptr);
        treeItems = static_cast<int>(::SendMessageA(tree, TVM_GETCOUNT, 0, 0));
        RECT tab{};
        ::GetWindowRect(sheet.GetTabControl()->m_hWnd, &tab);
        ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&tab), 2);
        // The tab strip has gone up over the top edge.
        tabsOutOfSight = tab.top < 0;
        // Choosing the third page in the tree shows it, right of the tree.
        ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(third.m_hTreeNode));
        activeAfterTree = sheet.GetActiveIndex();
        RECT treeRect{}, pageRect{};
        ::GetWindowRect(tree, &treeRect);
        if (third.m_hWnd) ::GetWindowRect(third.m_hWnd, &pageRect);
        thirdRightOfTree = third.m_hWnd && ::IsWindowVisible(third.m_hWnd) && pageRect.left >= treeRect.right;
        // Switching pages otherwise moves the tree's selection along.
        sheet.SetActivePage(&second);
        selectedAfterSwitch =
            reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        okBottomRight = OkIsAtTheBottomBeforeCancel(hwnd);
        sheet.PressButton(PSBTN_CANCEL);
      },
      [&] { result = sheet.DoModal(); });

  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(treeItems, 4) << "the category and three pages";
  EXPECT_TRUE(tabsOutOfSight);
  EXPECT_EQ(activeAfterTree, 2);
  EXPECT_TRUE(thirdRightOfTree);
  EXPECT_EQ(selectedAfterSwitch, second.m_hTreeNode);
  EXPECT_TRUE(okBottomRight);
}

TEST(ToolkitPropertySheet, TabWindowLookSwitchesPagesByItsTabs) {
  DialogTemplate pageTpl("", 150, 80, WS_CHILD | WS_CAPTION | DS_CONTROL);
  pageTpl.Edit(200, 10, 10);
  RecordingPage first(pageTpl.Get(), "First"), second(pageTpl.Get(), "Second"), third(pageTpl.Get(), "Third");
  RecordingSheet sheet("Tab window sheet");
  sheet.AddPage(&first);
  sheet.AddPage(&second);
  sheet.AddPage(&third);
  sheet.SetLook(CTKPropertySheet::PropSheetLook_OneNoteTabs);

  INT_PTR result = 0;
  int tabCount = 0, activeAfterClick = -1, tabAfterSwitch = -1;
  CString thirdLabel;
  bool standardTabsHidden = false, thirdFillsTheArea = false, firstHidden = false, okBottomRight = false;
  dialogtest::DriveModal(
      "Tab window sheet",
      [&](HWND hwnd) {
        CTKTabWnd* tabs = sheet.GetNavigationTabWnd();
        ASSERT_NE(tabs, nullptr);
        ASSERT_TRUE(tabs->m_hWnd && ::IsWindowVisible(tabs->m_hWnd));
        tabCount = tabs->GetTabsNum();
        tabs->GetTabLabel(2, thirdLabel);
        standardTabsHidden = !::IsWindowVisible(sheet.GetTabControl()->m_hWnd);
        // The user clicks the third tab: its page shows, filling the tab window's area.
        CRect tab;
        ASSERT_TRUE(tabs->GetTabRect(2, tab));
        const LPARAM at = MAKELPARAM(tab.CenterPoint().x, tab.CenterPoint().y);
        ::SendMessageA(tabs->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageA(tabs->m_hWnd, WM_LBUTTONUP, 0, at);
        activeAfterClick = sheet.GetActiveIndex();
        if (third.m_hWnd) {
          CRect area = tabs->GetWndArea(), page;
          ::MapWindowPoints(tabs->m_hWnd, nullptr, reinterpret_cast<POINT*>(&area), 2);
          ::GetWindowRect(third.m_hWnd, &page);
          thirdFillsTheArea = ::IsWindowVisible(third.m_hWnd) && page == area;
        }
        firstHidden = !::IsWindowVisible(first.m_hWnd);
        ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        SavePng(CaptureWindow(hwnd, false), TARVEL_TEST_BINARY_DIR "/screenshots/sheet-tab-window-look.png");
        // A page switched otherwise (the keys, the program) moves the tabs along.
        sheet.SetActivePage(&second);
        tabAfterSwitch = tabs->GetActiveTab();
        okBottomRight = OkIsAtTheBottomBeforeCancel(hwnd);
        sheet.PressButton(PSBTN_OK);
      },
      [&] { result = sheet.DoModal(); });

  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(tabCount, 3);
  EXPECT_EQ(thirdLabel, CString("Third"));
  EXPECT_TRUE(standardTabsHidden);
  EXPECT_EQ(activeAfterClick, 2);
  EXPECT_TRUE(thirdFillsTheArea);
  EXPECT_TRUE(firstHidden);
  EXPECT_EQ(tabAfterSwitch, 1);
  EXPECT_TRUE(okBottomRight);
  EXPECT_EQ(sheet.activated, (std::vector<int>{0, 2, 1}));
  EXPECT_EQ(first.applied + second.applied + third.applied, 3);
}

}  // namespace
