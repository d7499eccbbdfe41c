// The caption bar across the top of a frame: where it puts its image, text and
// button, what it draws in each look, and what a click on its button, a press taken
// back and a right click send.
#include "toolkit/frames/pane_test_support.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKCaptionBar.h"

namespace {

using namespace panetest;

constexpr UINT kCaptionBarId = AFX_IDW_CONTROLBAR_FIRST + 70;
constexpr UINT kResume = 901;
constexpr COLORREF kIconColour = RGB(200, 30, 30);

class CaptionBarFrame : public ::testing::Test {
protected:
  void SetUp() override {
    icon = SolidIcon(kIconColour, 16);
    frame = MakeFrame("Caption bar", CRect(60, 60, 560, 300));
    ASSERT_TRUE(frame);
    frameHwnd = frame->m_hWnd;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | CBRS_TOP, frame, kCaptionBarId));
    bar.SetIcon(icon);
    bar.SetText("Recording is paused until the disk has room again");
    bar.SetButton("Resume", kResume);
    ShowFrame(frame);
  }
  void TearDown() override {
    CTKVisualManager::SelectLookClass(nullptr);
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    ::DestroyIcon(icon);
  }
  CapturedImage CaptureBar() {
    ::RedrawWindow(bar.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    PumpPendingMessages();
    return CaptureWindow(bar.m_hWnd, true);
  }

  HICON icon = nullptr;
  RecordingFrame* frame = nullptr;
  HWND frameHwnd = nullptr;
  CTKCaptionBar bar;
};

TEST_F(CaptionBarFrame, ImageTextAndButtonSitSideBySideAcrossTheTopOfTheFrame) {
  CRect client, window;
  ::GetClientRect(frameHwnd, &client);
  bar.GetWindowRect(&window);
  ::MapWindowPoints(nullptr, frameHwnd, reinterpret_cast<POINT*>(&window), 2);
  EXPECT_EQ(window.top, 0);
  EXPECT_EQ(window.Width(), client.Width());
  EXPECT_EQ(window.Height(), bar.CalcFixedLayout(TRUE, TRUE).cy);

  // Image at the left margin, button at the right one, the text between, touching
  // neither; every part vertically inside the bar.
  CRect inside;
  bar.GetClientRect(&inside);
  const CRect image = bar.GetImageRect(), text = bar.GetTextRect(), button = bar.GetButtonRect();
  EXPECT_EQ(image.left, 4);
  EXPECT_EQ(image.Size(), CSize(16, 16));
  EXPECT_EQ(button.right, inside.right - 4);
  EXPECT_GT(text.left, image.right);
  EXPECT_LT(text.right, button.left);
  for (const CRect& r : {image, text, button}) {
    EXPECT_GE(r.top, inside.top);
    EXPECT_LE(r.bottom, inside.bottom);
  }
  // In a narrow frame the text gives way and still overlaps nothing.
  ::SetWindowPos(frameHwnd, nullptr, 0, 0, 240, 200, SWP_NOMOVE | SWP_NOZORDER);
  frame->RecalcLayout();
  PumpPendingMessages();
  EXPECT_LT(bar.GetTextRect().right, bar.GetButtonRect().left);
  EXPECT_GT(bar.GetTextRect().left, bar.GetImageRect().right);
}

TEST_F(CaptionBarFrame, EachLookShowsTheImageTheTextAndTheButton) {
  for (const LookCase& look : AllLooks()) {
    ASSERT_TRUE(CTKVisualManager::SelectLookClass(look.cls));
    CapturedImage image = CaptureBar();
    ASSERT_FALSE(image.Empty());
    EXPECT_TRUE(SavePng(CaptureWindow(frameHwnd, false),
                        ScreenshotPath(std::string("caption-bar-") + look.name + ".png")));
    EXPECT_EQ(image.At(bar.GetImageRect().CenterPoint().x, bar.GetImageRect().CenterPoint().y), kIconColour)
        << look.name;
    // The text in the look's caption-bar text colour, the label in the bar text colour.
    const COLORREF textColour = CTKVisualManager::GetInstance()->GetCaptionBarTextColor(&bar);
    EXPECT_GT(CountColour(image, bar.GetTextRect(), textColour), 20) << look.name;
    EXPECT_GT(CountColour(image, bar.GetButtonRect(), GlobalData::Get().barText), 10) << look.name;
  }
}

TEST_F(CaptionBarFrame, AClickOnTheButtonSendsItsCommandToTheOwner) {
  const POINT button = CentreOn(bar, bar.GetButtonRect());
  ASSERT_TRUE(MoveMouseAndWait(button, true));
  PumpPendingMessages(100);
  EXPECT_TRUE(bar.IsButtonHighlighted());
  MouseButton(true);
  PumpPendingMessages(100);
  EXPECT_TRUE(bar.IsButtonPressed());
  MouseButton(false);
  PumpPendingMessages(200);
  EXPECT_EQ(frame->commands, std::vector<UINT>{kResume});
  EXPECT_FALSE(bar.IsButtonPressed());

  // Leaving the bar takes the highlight away.
  ASSERT_TRUE(MoveMouseAndWait(ScreenPointOf(*frame, POINT{250, 150}), true));
  PumpPendingMessages(200);
  EXPECT_FALSE(bar.IsButtonHighlighted());

  // A press released off the button, a click on the text and a click on a disabled
  // button send nothing.
  frame->commands.clear();
  ASSERT_TRUE(MoveMouseAndWait(button, true));
  MouseButton(true);
  PumpPendingMessages(100);
  ASSERT_TRUE(MoveMouseAndWait(CentreOn(bar, bar.GetTextRect()), true));
  MouseButton(false);
  PumpPendingMessages(200);
  ClickAt(CentreOn(bar, bar.GetTextRect()));
  bar.EnableButton(FALSE);
  ClickAt(button);
  EXPECT_TRUE(frame->commands.empty());
  bar.EnableButton(TRUE);
  ClickAt(button);
  EXPECT_EQ(frame->commands, std::vector<UINT>{kResume});
}

TEST_F(CaptionBarFrame, ARightClickAsksTheFrameForTheBarsMenuAtThatPoint) {
  const POINT at = CentreOn(bar, bar.GetTextRect());
  ASSERT_TRUE(MoveMouseAndWait(at, true));
  toolbartest::XDisplayInput::Get().Button(true, 3);
  PumpPendingMessages(100);
  toolbartest::XDisplayInput::Get().Button(false, 3);
  PumpPendingMessages(200);
  ASSERT_EQ(frame->menuRequests.size(), 1u);
  EXPECT_EQ(frame->menuRequests[0].first, bar.m_hWnd);
  EXPECT_EQ(frame->menuRequests[0].second.x, at.x);
  EXPECT_EQ(frame->menuRequests[0].second.y, at.y);
}

}  // namespace
