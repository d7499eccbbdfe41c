// Print preview as a user meets it: the view's preview command replaces the frame's
// bars and view by the pages and the toolkit's preview toolbar; the toolbar's buttons
// turn the pages, show one or two pages, zoom, print and close; the page number shows
// in the status bar (or as the frame's message without one); closing gives the frame
// its view, bars and status text back.
#include "toolkit/bars/keyboard_input_support.h"

#include "support/wine/DialogTestSupport.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKPrintPreviewView.h"
#include "toolkit/frames/TKStatusBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <memory>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace toolbartest;

constexpr UINT kBarId = AFX_IDW_CONTROLBAR_FIRST + 80;
// Each page has a band of its own colour across its middle.
const COLORREF kPageColours[] = {RGB(220, 0, 0), RGB(0, 170, 0), RGB(0, 0, 230)};
std::vector<UINT> g_viewCommands;

// A view of three pages.
class PagesView : public CView {
  DECLARE_DYNCREATE(PagesView)

public:
  void OnDraw(CDC* dc) override {
    RECT r;
    GetClientRect(&r);
    dc->FillSolidRect(&r, RGB(255, 255, 200));
  }
  BOOL OnPreparePrinting(CPrintInfo* info) override {
    info->SetMaxPage(3);
    return DoPreparePrinting(info);
  }
  void OnPrint(CDC* dc, CPrintInfo* info) override {
    const CRect& page = info->m_rectDraw;
    RECT band = {page.left + page.Width() / 10, page.top + page.Height() / 3, page.right - page.Width() / 10,
                 page.top + 2 * page.Height() / 3};
    HBRUSH brush = ::CreateSolidBrush(kPageColours[(info->m_nCurPage - 1) % 3]);
    ::FillRect(dc->m_hDC, &band, brush);
    ::DeleteObject(brush);
  }
  void OnPreview() { StartLibraryPrintPreview(this); }
  void OnPrintCommand() { g_viewCommands.push_back(ID_FILE_PRINT); }

protected:
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(PagesView, CView)
BEGIN_MESSAGE_MAP(PagesView, CView)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnPreview)
  ON_COMMAND(ID_FILE_PRINT, OnPrintCommand)
END_MESSAGE_MAP()

// A frame that records the message strings it is sent.
class PreviewFrame : public CTKFrameWnd {
public:
  std::vector<std::string> messages;

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SETMESSAGESTRING && wParam == 0 && lParam)
      messages.emplace_back(reinterpret_cast<const char*>(lParam));
    return CTKFrameWnd::WindowProc(message, wParam, lParam);
  }
};

class PrintPreview : public ::testing::Test {
protected:
  void Build(bool withStatusBar) {
    frame = new PreviewFrame;
    ASSERT_TRUE(frame->Create(nullptr, "Pages", WS_OVERLAPPEDWINDOW, CRect(30, 30, 670, 530)));
    frameHwnd = frame->m_hWnd;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    bar = std::make_unique<CTKToolBar>();
    ASSERT_TRUE(bar->Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, kBarId));
    CTKToolbarButton button(40401, -1, "Record");
    button.m_bText = TRUE;
    bar->InsertButtonCopy(button);
    ASSERT_TRUE(frame->DockControlBar(bar.get(), AFX_IDW_DOCKBAR_TOP));
    if (withStatusBar) {
      status = std::make_unique<CTKStatusBar>();
      ASSERT_TRUE(status->Create(frame));
      const UINT panes[] = {0};
      ASSERT_TRUE(status->SetIndicators(panes, 1));
      status->SetPaneText(0, "Ready");
    }
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(PagesView);
    view = dynamic_cast<PagesView*>(frame->CreateView(&context));
    ASSERT_NE(view, nullptr);
    frame->SetActiveView(view, FALSE);
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(frameHwnd);
    frame->RecalcLayout();
    PumpAsTheProgram(150);
  }
  void TearDown() override {
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    PumpAsTheProgram(50);
    bar.reset();
    status.reset();
    g_viewCommands.clear();
  }
  CTKPrintPreviewView* Preview() const { return dynamic_cast<CTKPrintPreviewView*>(frame->GetActiveView()); }
  // Clicks the preview toolbar's button for command, as the user does.
  void Press(UINT command) {
    CTKPrintPreviewView* preview = Preview();
    ASSERT_NE(preview, nullptr);
    const int index = preview->m_wndToolBar.CommandToIndex(command);
    ASSERT_GE(index, 0) << command;
    // The toolbar's buttons take their state at idle time, as the program's loop gives it.
    frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    CRect rect;
    preview->m_wndToolBar.GetItemRect(index, &rect);
    ClickInWindow(preview->m_wndToolBar.m_hWnd, rect.CenterPoint());
    // The pointer leaves the toolbar, whose button showed its prompt meanwhile, for the
    // status bar (or, without one, the frame's bottom edge), where no bar shows a prompt
    // whatever the click changed.
    CRect rest;
    ::GetWindowRect(status ? status->m_hWnd : frameHwnd, &rest);
    MoveMouseAndWait(status ? rest.CenterPoint() : CPoint(rest.CenterPoint().x, rest.bottom - 3), true);
    frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    PumpAsTheProgram(100);
  }
  // The colour in the middle of the shown page (index 0: the left one).
  COLORREF PageColour(int index) {
    CTKPrintPreviewView* preview = Preview();
    CapturedImage image = CaptureWindow(preview->m_hWnd, true);
    CRect page = preview->PageRect(index);
    POINT centre = page.CenterPoint();
    if (image.Empty() || centre.x < 0 || centre.y < 0 || centre.x >= image.width || centre.y >= image.height)
      return CLR_INVALID;
    return image.At(centre.x, centre.y);
  }
  std::string StatusText() const { return status->GetPaneText(0).str(); }

  PreviewFrame* frame = nullptr;
  HWND frameHwnd = nullptr;
  std::unique_ptr<CTKToolBar> bar;
  std::unique_ptr<CTKStatusBar> status;
  PagesView* view = nullptr;
};

TEST_F(PrintPreview, TheToolbarTurnsZoomsAndClosesAndThePageNumberShowsInTheStatusBar) {
  Build(true);
  frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  PumpAsTheProgram(200);
  CTKPrintPreviewView* preview = Preview();
  ASSERT_NE(preview, nullptr) << "the preview takes the frame's view";
  EXPECT_FALSE(::IsWindowVisible(view->m_hWnd));
  EXPECT_FALSE(::IsWindowVisible(bar->m_hWnd)) << "the frame's bars step aside";
  EXPECT_TRUE(::IsWindowVisible(status->m_hWnd));
  EXPECT_EQ(StatusText(), "Page 1");
  EXPECT_EQ(PageColour(0), kPageColours[0]);
  ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
  EXPECT_TRUE(
      SavePng(CaptureWindow(frameHwnd, false), TARVEL_TEST_BINARY_DIR "/screenshots/print-preview.png"));

  struct Step {
    UINT command;
    const char* statusText;
    std::vector<COLORREF> pages;  // the colours of the pages shown, left to right
    int zoom;
  };
  const Step steps[] = {
      {AFX_ID_PREVIEW_NEXT, "Page 2", {kPageColours[1]}, CPreviewView::kZoomOut},
      {AFX_ID_PREVIEW_NEXT, "Page 3", {kPageColours[2]}, CPreviewView::kZoomOut},
      {AFX_ID_PREVIEW_NEXT, "Page 3", {kPageColours[2]}, CPreviewView::kZoomOut},  // the last page stays
      {AFX_ID_PREVIEW_PREV, "Page 2", {kPageColours[1]}, CPreviewView::kZoomOut},
      {AFX_ID_PREVIEW_NUMPAGE, "Pages 2-3", {kPageColours[1], kPageColours[2]}, CPreviewView::kZoomOut},
      {AFX_ID_PREVIEW_NUMPAGE, "Page 2", {kPageColours[1]}, CPreviewView::kZoomOut},
      {AFX_ID_PREVIEW_ZOOMIN, "Page 2", {}, CPreviewView::kZoomMiddle},
      {AFX_ID_PREVIEW_ZOOMOUT, "Page 2", {kPageColours[1]}, CPreviewView::kZoomOut},
  };
  for (const Step& step : steps) {
    const CRect before = preview->PageRect(0);
    Press(step.command);
    EXPECT_EQ(StatusText(), step.statusText) << step.command;
    EXPECT_EQ(preview->GetZoomState(), step.zoom) << step.command;
    EXPECT_EQ(preview->GetPagesShown(), step.pages.empty() ? 1u : step.pages.size()) << step.command;
    for (size_t i = 0; i < step.pages.size(); ++i)
      EXPECT_EQ(PageColour(static_cast<int>(i)), step.pages[i]) << step.command << " page " << i;
    if (step.command == AFX_ID_PREVIEW_ZOOMIN)
      EXPECT_GT(preview->PageRect(0).Height(), before.Height()) << "zoomed in, the page is larger";
  }
  EXPECT_TRUE(
      SavePng(CaptureWindow(frameHwnd, false), TARVEL_TEST_BINARY_DIR "/screenshots/print-preview-2.png"));

  Press(AFX_ID_PREVIEW_CLOSE);
  PumpAsTheProgram(100);
  EXPECT_EQ(frame->GetActiveView(), view) << "closing returns to the view";
  EXPECT_TRUE(::IsWindowVisible(view->m_hWnd));
  EXPECT_TRUE(::IsWindowVisible(bar->m_hWnd));
  EXPECT_EQ(::GetDlgItem(frameHwnd, AFX_IDW_PREVIEW_BAR), nullptr);
  EXPECT_EQ(StatusText(), "Ready") << "the status bar shows what it showed before";
  CRect client, pane;
  ::GetClientRect(frameHwnd, &client);
  view->GetWindowRect(&pane);
  EXPECT_GT(pane.Height(), client.Height() / 2) << "the view has the client area again";
}

TEST_F(PrintPreview, WithoutAStatusBarThePageNumberIsTheFramesMessageAndPrintHandsOverToTheView) {
  Build(false);
  frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  PumpAsTheProgram(200);
  ASSERT_NE(Preview(), nullptr);
  ASSERT_FALSE(frame->messages.empty());
  EXPECT_EQ(frame->messages.back(), "Page 1");
  Press(AFX_ID_PREVIEW_NEXT);
  EXPECT_EQ(frame->messages.back(), "Page 2");

  // Print closes the preview and asks the view to print.
  Press(AFX_ID_PREVIEW_PRINT);
  EXPECT_EQ(frame->GetActiveView(), view);
  EXPECT_EQ(g_viewCommands, std::vector<UINT>{ID_FILE_PRINT});
}

TEST_F(PrintPreview, EscapeClosesThePreview) {
  Build(true);
  frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
  PumpAsTheProgram(200);
  ASSERT_NE(Preview(), nullptr);
  PressKey(kKeyEscape);
  PumpAsTheProgram(100);
  EXPECT_EQ(frame->GetActiveView(), view);
  EXPECT_EQ(StatusText(), "Ready");
}

}  // namespace
