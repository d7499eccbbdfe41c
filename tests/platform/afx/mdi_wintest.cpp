// Document windows inside a frame: each child window made through the MDI client
// gets its view from a context, the window menu lists the children and choosing one
// there activates it, commands go to the active child's view first, and closing a
// child with a modified document asks its document first.
#include "support/wine/GTestWin.h"

#include "platform/afx/afxwin.h"
#include "support/wine/DialogTestSupport.h"
#include "support/wine/Wait.h"

#include "platform/afx/linux_headers_begin.h"
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

enum : UINT { kViewCommand = 40101, kFrameCommand = 40102 };
std::vector<std::string> g_calls;

class TakeDoc : public CDocument {
  DECLARE_DYNCREATE(TakeDoc)
};
IMPLEMENT_DYNCREATE(TakeDoc, CDocument)

class TakeView : public CView {
  DECLARE_DYNCREATE(TakeView)

public:
  void OnDraw(CDC* dc) override {
    RECT r;
    GetClientRect(&r);
    dc->FillSolidRect(&r, RGB(0, 120, 200));
  }
  void OnViewCommand() { g_calls.push_back(GetDocument()->GetTitle().str()); }

protected:
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TakeView, CView)
BEGIN_MESSAGE_MAP(TakeView, CView)
  ON_COMMAND(kViewCommand, OnViewCommand)
END_MESSAGE_MAP()

class TakesFrame : public CMDIFrameWnd {
public:
  void OnFrameCommand() { g_calls.push_back("frame"); }

protected:
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TakesFrame, CMDIFrameWnd)
  ON_COMMAND(kFrameCommand, OnFrameCommand)
END_MESSAGE_MAP()

struct MdiFixture : ::testing::Test {
  TakesFrame* frame = new TakesFrame;
  HWND frameHwnd = nullptr;
  HMENU windowMenu = nullptr;
  std::vector<TakeDoc*> docs;

  void SetUp() override {
    HMENU menu = ::CreateMenu();
    windowMenu = ::CreatePopupMenu();
    ::AppendMenuA(windowMenu, MF_STRING, ID_WINDOW_CASCADE, "&Cascade");
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(windowMenu), "&Window");
    ASSERT_TRUE(frame->CreateEx(0, nullptr, "Takes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 600, 440,
                                nullptr, menu));
    frameHwnd = frame->m_hWnd;
    ASSERT_NE(frame->m_hWndMDIClient, nullptr);
  }
  void TearDown() override {
    if (::IsWindow(frameHwnd)) ::DestroyWindow(frameHwnd);
    for (TakeDoc* doc : docs) delete doc;
    winetest::PumpMessages();
  }
  CMDIChildWnd* AddChild(const char* title) {
    auto* doc = new TakeDoc;
    doc->SetTitle(title);
    docs.push_back(doc);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(TakeView);
    context.m_pCurrentDoc = doc;
    auto* child = new CMDIChildWnd;
    if (!child->Create(nullptr, title, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CFrameWnd::rectDefault,
                       frame, &context))
      return nullptr;
    child->InitialUpdateFrame(doc, TRUE);
    winetest::PumpMessages();
    return child;
  }
  std::vector<std::string> WindowMenuChildren() const {
    std::vector<std::string> texts;
    for (int i = 0, n = ::GetMenuItemCount(windowMenu); i < n; ++i) {
      if (::GetMenuItemID(windowMenu, i) < AFX_IDM_FIRST_MDICHILD) continue;
      char text[64] = "";
      ::GetMenuStringA(windowMenu, i, text, sizeof text, MF_BYPOSITION);
      texts.push_back(text);
    }
    return texts;
  }
};

TEST_F(MdiFixture, ChildrenAreListedInTheWindowMenuAndCommandsReachTheActiveOnesView) {
  CMDIChildWnd* first = AddChild("Take 1");
  CMDIChildWnd* second = AddChild("Take 2");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(::GetParent(first->m_hWnd), frame->m_hWndMDIClient);
  EXPECT_EQ(first->GetMDIFrame(), frame);
  ASSERT_NE(dynamic_cast<TakeView*>(first->GetActiveView()), nullptr);
  EXPECT_EQ(WindowMenuChildren(), (std::vector<std::string>{"&1 Take 1", "&2 Take 2"}));
  EXPECT_EQ(frame->MDIGetActive(), second) << "the newest child is active";

  // Choosing a child in the window menu activates it; commands follow the active child,
  // and what no view handles reaches the frame.
  struct Case {
    UINT menuId;
    CMDIChildWnd* active;
    const char* handledBy;
  } cases[] = {{AFX_IDM_FIRST_MDICHILD, first, "Take 1"}, {AFX_IDM_FIRST_MDICHILD + 1, second, "Take 2"}};
  for (const Case& c : cases) {
    ::SendMessageA(frameHwnd, WM_COMMAND, MAKEWPARAM(c.menuId, 0), 0);
    winetest::PumpMessages();
    EXPECT_EQ(frame->MDIGetActive(), c.active) << c.handledBy;
    ASSERT_NE(frame->GetActiveDocument(), nullptr) << c.handledBy;
    EXPECT_EQ(frame->GetActiveDocument()->GetTitle().str(), c.handledBy);
    for (UINT command : {kViewCommand, kFrameCommand}) {
      g_calls.clear();
      ::SendMessageA(frameHwnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
      EXPECT_EQ(g_calls, std::vector<std::string>{command == kViewCommand ? c.handledBy : "frame"});
    }
  }

  // Maximized, the child fills the client area.
  frame->MDIMaximize(first);
  winetest::PumpMessages();
  BOOL maximized = FALSE;
  EXPECT_EQ(frame->MDIGetActive(&maximized), first);
  EXPECT_TRUE(maximized);
  CRect client, child;
  ::GetClientRect(frame->m_hWndMDIClient, &client);
  ::GetClientRect(first->m_hWnd, &child);
  EXPECT_EQ(child.Width(), client.Width());
  EXPECT_EQ(child.Height(), client.Height());
}

TEST_F(MdiFixture, ClosingAChildWithAModifiedDocumentAsksFirst) {
  struct Case {
    int answer;
    bool closes;
  } cases[] = {{IDCANCEL, false}, {IDNO, true}};
  for (const Case& c : cases) {
    CMDIChildWnd* child = AddChild("Take 3");
    ASSERT_NE(child, nullptr);
    HWND hwnd = child->m_hWnd;
    docs.back()->SetModifiedFlag(TRUE);
    dialogtest::RecordedMessageBoxes boxes(c.answer);
    ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
    winetest::PumpMessages();
    EXPECT_EQ(boxes.shown.size(), 1u) << c.answer;
    EXPECT_EQ(::IsWindow(hwnd) == FALSE, c.closes) << c.answer;
    EXPECT_EQ(WindowMenuChildren().size(), c.closes ? 0u : 1u) << c.answer;
    if (!c.closes) {
      docs.back()->SetModifiedFlag(FALSE);
      ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
      winetest::PumpMessages();
      EXPECT_FALSE(::IsWindow(hwnd));
    }
  }
}

}  // namespace
