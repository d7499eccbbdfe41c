#include "support/wine/GTestWin.h"

#include "app/controls/ProgressWnd.h"
#include "app/controls/ProgressWndFactory.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"

namespace {

std::string WindowText(HWND hwnd) {
  char text[256] = {};
  ::GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

// A top-level window standing for the program's main window, which the progress
// window disables while it is shown.
class ProgressFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(owner_.CreateEx(0, nullptr, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 600, 400,
                                nullptr, nullptr));
  }
  void TearDown() override {
    if (owner_.m_hWnd) owner_.DestroyWindow();
    winetest::PumpMessages();
  }
  CWnd owner_;
};

TEST_F(ProgressFixture, ShowsTextBarAndPercentageWhileItsOwnerIsDisabled) {
  HWND hwnd = nullptr;
  {
    CProgressWnd progress;
    ASSERT_TRUE(progress.Create(&owner_, "Importing"));
    ASSERT_TRUE(progress.Show("Importing"));
    hwnd = progress.m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    EXPECT_FALSE(::IsWindowEnabled(owner_.m_hWnd));
    EXPECT_EQ(WindowText(hwnd), "Importing");
    HWND bar = ::GetDlgItem(hwnd, CProgressWnd::kProgressId);
    HWND button = ::GetDlgItem(hwnd, CProgressWnd::kCancelButtonId);
    HWND text = ::GetDlgItem(hwnd, CProgressWnd::kTextId);
    ASSERT_TRUE(bar && button && text);
    EXPECT_EQ(WindowText(button), " Cancel ");

    progress.SetRange(0, 1000, 5);
    PBRANGE range{};
    ::SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 1000);

    // Positions 49.4 % and 49.6 % of the range show 49 and 50.
    EXPECT_EQ(progress.SetPos(494), 0);
    EXPECT_EQ(WindowText(hwnd), "Importing [49%]");
    EXPECT_EQ(::SendMessageA(bar, PBM_GETPOS, 0, 0), 494);
    EXPECT_EQ(progress.SetPos(496), 494);
    EXPECT_EQ(WindowText(hwnd), "Importing [50%]");
    progress.SetPos(1000);
    EXPECT_EQ(WindowText(hwnd), "Importing [100%]");

    progress.SetText("Reading %s\nblock %d", "song.mp3", 12);
    EXPECT_EQ(WindowText(text), "Reading song.mp3\nblock 12");

    // Laid out inside the window: text above, bar left of the button.
    RECT client, barRect, buttonRect, textRect;
    ::GetClientRect(hwnd, &client);
    ::GetWindowRect(bar, &barRect);
    ::GetWindowRect(button, &buttonRect);
    ::GetWindowRect(text, &textRect);
    EXPECT_LT(barRect.right, buttonRect.left);
    EXPECT_LE(textRect.bottom, buttonRect.top);
    EXPECT_GT(barRect.right - barRect.left, 100);

    // A hidden window comes back with the next step, without taking the activation.
    progress.Hide();
    EXPECT_FALSE(::IsWindowVisible(hwnd));
    progress.SetPos(10);
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    EXPECT_FALSE(progress.Cancelled());
  }
  EXPECT_FALSE(::IsWindow(hwnd)) << "the window goes with the object";
  EXPECT_TRUE(::IsWindowEnabled(owner_.m_hWnd)) << "the owner gets its input back";
}

TEST_F(ProgressFixture, EmptyRangeKeepsThePlainCaption) {
  CProgressWnd progress;
  ASSERT_TRUE(progress.Create(&owner_, "Saving"));
  progress.SetRange(0, 0);
  progress.SetPos(5);
  EXPECT_EQ(WindowText(progress.m_hWnd), "Saving");
  // Without a window nothing is drawn, and the position asked is the last one set.
  CProgressWnd none;
  none.SetRange(0, 10);
  none.SetText("nothing");
  EXPECT_EQ(none.SetPos(3), 0);
  EXPECT_FALSE(none.Cancelled());
}

TEST_F(ProgressFixture, CancelButtonCancelsClosesAndGivesTheOwnerBack) {
  CProgressWnd progress;
  ASSERT_TRUE(progress.Create(&owner_, "Progress"));
  ASSERT_TRUE(progress.Show("Progress"));
  HWND hwnd = progress.m_hWnd;
  ::SendDlgItemMessageA(hwnd, CProgressWnd::kCancelButtonId, BM_CLICK, 0, 0);
  EXPECT_TRUE(progress.Cancelled());
  EXPECT_FALSE(::IsWindowVisible(hwnd));
  winetest::PumpMessages();  // the window closes itself
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_TRUE(::IsWindowEnabled(owner_.m_hWnd));
  // The work may go on asking; nothing breaks.
  progress.SetPos(50);
  progress.SetText("after");
  progress.PumpMessages(TRUE);
  progress.Hide();
  EXPECT_TRUE(progress.Cancelled());
}

TEST_F(ProgressFixture, EscapeCancelsOnlyWhenThePumpAllowsIt) {
  CProgressWnd progress;
  ASSERT_TRUE(progress.Create(&owner_, "Progress"));
  ASSERT_TRUE(progress.Show("Progress"));
  ::PostMessageA(progress.m_hWnd, WM_CHAR, VK_ESCAPE, 0);
  progress.PumpMessages(FALSE);
  EXPECT_FALSE(progress.Cancelled());
  ::PostMessageA(progress.m_hWnd, WM_CHAR, VK_ESCAPE, 0);
  progress.PumpMessages(TRUE);
  EXPECT_TRUE(progress.Cancelled());
}

TEST_F(ProgressFixture, QuitRequestEndsThePumpAndStaysForTheProgram) {
  CProgressWnd progress;
  ASSERT_TRUE(progress.Create(&owner_, "Progress"));
  ::PostQuitMessage(3);
  progress.PumpMessages(TRUE);
  MSG msg{};
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u) << "the program's exit code is kept";
  EXPECT_FALSE(progress.Cancelled());
}

// What the portable tier's long work gets from the installed factory.
TEST_F(ProgressFixture, FactoryGivesThePortableTierRealProgressWindows) {
  seams::ProgressFactory* previous = seams::SetProgressFactory(&ProgressWndFactory::Instance());
  {
    std::unique_ptr<seams::ProgressWindow> progress = seams::CreateProgressWindow();
    ASSERT_TRUE(progress->Show("Amplify..."));
    progress->SetRange(0, 1000, 1);
    progress->SetText("Applied effect: 100%d");  // shown as it is, not as a format
    EXPECT_EQ(progress->SetPos(250), 0);
    HWND hwnd = ::FindWindowA(nullptr, "Amplify... [25%]");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(hwnd, CProgressWnd::kTextId)), "Applied effect: 100%d");

    PumpPendingMessages(100);
    CapturedImage image = CaptureWindow(hwnd, false);
    EXPECT_FALSE(image.Empty());
    EXPECT_TRUE(SavePng(image, TARVEL_TEST_BINARY_DIR "/screenshots/progress-window.png"));

    progress->PumpMessages(false);
    EXPECT_FALSE(progress->Cancelled());
    ::SendDlgItemMessageA(hwnd, CProgressWnd::kCancelButtonId, BM_CLICK, 0, 0);
    EXPECT_TRUE(progress->Cancelled());
    progress->Hide();
  }
  seams::SetProgressFactory(previous);
}

}  // namespace
