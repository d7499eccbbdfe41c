#include "support/wine/GTestWin.h"

#include "app/MainFrame.h"
#include "resources/resource.h"
#include "support/wine/WindowCapture.h"

namespace {

TEST(MainWindow, ShowsTheProgramTitleAndPaintsItsClientArea) {
  auto* frame = new CMainFrame;  // deletes itself with its window
  ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
  HWND hwnd = frame->m_hWnd;
  ::SetWindowPos(hwnd, HWND_TOP, 40, 40, 640, 420, SWP_SHOWWINDOW);
  frame->UpdateWindow();
  PumpPendingMessages();

  char title[64] = {};
  ::GetWindowTextA(hwnd, title, sizeof title);
  EXPECT_STREQ(title, "Tarvel") << "the title comes from the program's string table";

  CapturedImage client = CaptureWindow(hwnd, true);
  ASSERT_FALSE(client.Empty());
  // The corners are the painted background (the centre has the title text).
  for (auto [x, y] : {std::pair{2, 2},
                      {client.width - 3, 2},
                      {2, client.height - 3},
                      {client.width - 3, client.height - 3}})
    EXPECT_EQ(client.At(x, y), CMainFrame::kBackground) << "at " << x << "," << y;
  // Some pixels differ: the title was drawn.
  int text_pixels = 0;
  for (int y = 0; y < client.height; ++y)
    for (int x = 0; x < client.width; ++x)
      if (client.At(x, y) != CMainFrame::kBackground) ++text_pixels;
  EXPECT_GT(text_pixels, 20);

  CapturedImage whole = CaptureWindow(hwnd, false);
  EXPECT_TRUE(SavePng(whole, TARVEL_TEST_BINARY_DIR "/screenshots/main-window.png"));

  EXPECT_TRUE(::DestroyWindow(hwnd));
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

}  // namespace
