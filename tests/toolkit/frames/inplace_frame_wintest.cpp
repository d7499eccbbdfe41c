// The in-place frames as a container shows them: a tiny container (its window, and a
// site and a frame of the OLE in-place interfaces) activates a server object's frame
// inside that window. The frame carries its menu bar and a toolbar, is the library's
// active frame while it is active, gives the role back when it is deactivated or
// destroyed, and closes an open popup menu when the user turns to another window.
// Input comes from the X display and is handled as the program's loop handles it.
#include "toolkit/bars/keyboard_input_support.h"

#include "toolkit/bars/TKMenuBar.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/frames/FrameHelper.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKOleIPFrameWnd.h"
#include "toolkit/frames/TKWorkspace.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace toolbartest;

constexpr UINT kRecordCommand = 40501;
constexpr UINT kToolBarId = AFX_IDW_CONTROLBAR_FIRST + 60;

// The container's side of in-place activation for one of its windows: the site the
// object asks and the frame it reports to. It lives on the test's stack and records
// what the object told it.
class Container : public IOleInPlaceSite, public IOleInPlaceFrame {
public:
  Container(HWND window, RECT place) : m_window(window), m_place(place) {}
  ~Container() {
    if (m_active) m_active->Release();
  }
  HWND m_window;
  RECT m_place;
  IOleInPlaceActiveObject* m_active = nullptr;
  std::vector<std::string> m_calls;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ||
        IsEqualIID(riid, IID_IOleInPlaceSite))
      *object = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame))
      *object = static_cast<IOleInPlaceFrame*>(this);
    else
      return *object = nullptr, E_NOINTERFACE;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    *window = m_window;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return Note("in place"); }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return Note("ui"); }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos,
                                             RECT* clip, OLEINPLACEFRAMEINFO* info) override {
    *frame = this;
    *doc = nullptr;
    *pos = m_place;
    ::GetClientRect(m_window, clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = ::GetAncestor(m_window, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return Note("ui end"); }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return Note("in place end"); }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  HRESULT STDMETHODCALLTYPE GetBorder(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
    if (object) object->AddRef();
    if (m_active) m_active->Release();
    m_active = object;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, WORD) override { return S_FALSE; }

private:
  HRESULT Note(const char* call) {
    m_calls.push_back(call);
    return S_OK;
  }
};

// The container's main window: as a container does, it tells the object that is
// active in it when the window itself is activated or deactivated.
class ContainerWindow : public CFrameWnd {
public:
  Container* m_pContainer = nullptr;

protected:
  void OnActivate(UINT state, CWnd* other, BOOL minimized) {
    CFrameWnd::OnActivate(state, other, minimized);
    if (m_pContainer && m_pContainer->m_active)
      m_pContainer->m_active->OnFrameWindowActivate(state != WA_INACTIVE);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ContainerWindow, CFrameWnd)
  ON_WM_ACTIVATE()
END_MESSAGE_MAP()

// An object's in-place frame with a menu bar ("Take" with "Record") and a toolbar
// docked at its top ("Rec"); it counts the Record commands it gets.
template <class Frame>
class ObjectFrame : public Frame {
public:
  CTKMenuBar m_menuBar;
  CTKToolBar m_toolBar;
  int m_records = 0;
  void OnRecord() { ++m_records; }

  BOOL OnCreateControlBars(CWnd*, CWnd*) override {
    this->EnableDocking(CBRS_ALIGN_ANY);
    if (!m_menuBar.Create(this) || !m_toolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, kToolBarId))
      return FALSE;
    HMENU menu = ::CreateMenu();
    HMENU take = ::CreatePopupMenu();
    ::AppendMenuA(take, MF_STRING, kRecordCommand, "&Record");
    ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(take), "&Take");
    m_menuBar.CreateFromMenu(menu, TRUE);
    m_toolBar.InsertButton(new CTKToolbarButton(kRecordCommand, -1, "Rec"));
    m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
    return this->DockControlBar(&m_menuBar, AFX_IDW_DOCKBAR_TOP) &&
           this->DockControlBar(&m_toolBar, AFX_IDW_DOCKBAR_TOP);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_TEMPLATE_MESSAGE_MAP(ObjectFrame, Frame, Frame)
ON_COMMAND(kRecordCommand, OnRecord)
END_MESSAGE_MAP
()

    // The two kinds of in-place frame, made the same way; an embedded object's frame
    // grows around the area the container gives it, a document object's fills it.
    struct FrameKind {
  const char* name;
  std::function<COleIPFrameWnd*()> make;
  bool growsAroundTheArea;
};
const FrameKind kKinds[] = {
    {"embedded object", [] { return new ObjectFrame<CTKOleIPFrameWnd>; }, true},
    {"document object", [] { return new ObjectFrame<CTKOleDocIPFrameWnd>; }, false},
};

CTKMenuBar& MenuBarOf(COleIPFrameWnd* frame) {
  if (auto* object = dynamic_cast<ObjectFrame<CTKOleIPFrameWnd>*>(frame)) return object->m_menuBar;
  return dynamic_cast<ObjectFrame<CTKOleDocIPFrameWnd>*>(frame)->m_menuBar;
}
CTKToolBar& ToolBarOf(COleIPFrameWnd* frame) {
  if (auto* object = dynamic_cast<ObjectFrame<CTKOleIPFrameWnd>*>(frame)) return object->m_toolBar;
  return dynamic_cast<ObjectFrame<CTKOleDocIPFrameWnd>*>(frame)->m_toolBar;
}
int RecordsOf(COleIPFrameWnd* frame) {
  if (auto* object = dynamic_cast<ObjectFrame<CTKOleIPFrameWnd>*>(frame)) return object->m_records;
  return dynamic_cast<ObjectFrame<CTKOleDocIPFrameWnd>*>(frame)->m_records;
}

// A workspace that counts the window placements stored in it.
class CountingWorkspace : public CTKWorkspace {
public:
  int m_stores = 0;
  BOOL StoreWindowPlacement(const RECT&, int, int) override {
    ++m_stores;
    return TRUE;
  }
  BOOL SaveStateOfFrame(FrameHelper*) override { return TRUE; }
};

// A window's rectangle in the client coordinates of another.
CRect WindowRectIn(HWND window, HWND in) {
  CRect rect;
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, in, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class InPlaceFrame : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(AfxOleInit());
    window = new ContainerWindow;
    ASSERT_TRUE(window->Create(nullptr, "Container", WS_OVERLAPPEDWINDOW, CRect(40, 40, 640, 480)));
    windowHwnd = window->m_hWnd;
    window->ShowWindow(SW_SHOWNORMAL);
    ::SetForegroundWindow(windowHwnd);
    PumpAsTheProgram(100);
  }
  void TearDown() override {
    if (CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu(); popup && popup->m_hWnd) popup->DestroyWindow();
    if (::IsWindow(windowHwnd)) ::DestroyWindow(windowHwnd);
    PumpAsTheProgram(50);
    CTKPopupMenu::DeleteClosedMenus();
  }
  static CTKPopupMenu* OpenPopup() {
    CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu();
    return popup && popup->m_hWnd && ::IsWindowVisible(popup->m_hWnd) ? popup : nullptr;
  }

  ContainerWindow* window = nullptr;
  HWND windowHwnd = nullptr;
};

TEST_F(InPlaceFrame, ActiveWhileActivatedInPlaceWithItsBarsAndHandsTheRoleBackWhenItEnds) {
  for (const FrameKind& kind : kKinds) {
    SCOPED_TRACE(kind.name);
    ASSERT_EQ(FrameHelper::GetActiveFrame(), nullptr);
    EXPECT_EQ(CTKPopupMenu::FrameOf(window), window) << "without an active frame, the window's own frame";

    const RECT area{100, 80, 400, 300};
    Container outer(windowHwnd, area);
    window->m_pContainer = &outer;
    COleIPFrameWnd* object = kind.make();
    ASSERT_TRUE(object->ActivateInPlace(&outer, 0));
    const HWND objectHwnd = object->m_hWnd;
    PumpAsTheProgram(100);
    EXPECT_EQ(::GetParent(objectHwnd), windowHwnd);
    EXPECT_TRUE(::IsWindowVisible(objectHwnd));
    EXPECT_EQ(outer.m_calls, (std::vector<std::string>{"in place", "ui"}));
    EXPECT_EQ(outer.m_active, object->GetInPlaceActiveObject());
    EXPECT_EQ(FrameHelper::GetActiveFrame(), object);
    EXPECT_EQ(CTKPopupMenu::FrameOf(window), object) << "the active frame is the popups' frame";

    // Both bars dock at the frame's top; the object's area is what they leave over.
    CTKToolBar& toolBar = ToolBarOf(object);
    const HWND side = ::GetParent(toolBar.m_hWnd);
    EXPECT_EQ(::GetDlgCtrlID(side), static_cast<int>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(::GetParent(side), objectHwnd);
    EXPECT_EQ(::GetParent(::GetParent(MenuBarOf(object).m_hWnd)), objectHwnd);
    EXPECT_GT(WindowRectIn(side, side).Height(), 20);
    CRect left;
    AfxRepositionBars(objectHwnd, 0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &left);
    ::MapWindowPoints(objectHwnd, windowHwnd, reinterpret_cast<POINT*>(&left), 2);
    if (kind.growsAroundTheArea)
      EXPECT_EQ(left, CRect(area)) << "the bars sit above the object's area";
    else
      EXPECT_EQ(WindowRectIn(objectHwnd, windowHwnd), CRect(area)) << "the frame fills the document area";

    // A click on the toolbar's button: the command goes to the object's frame.
    CRect button;
    toolBar.GetItemRect(0, &button);
    ClickInWindow(toolBar.m_hWnd, button.CenterPoint());
    EXPECT_EQ(RecordsOf(object), 1);

    // An object embedded in this one's document, activated in place inside it: it
    // takes the role, and gives it back to the outer one when it is deactivated.
    Container inner(objectHwnd, RECT{10, 10, 150, 120});
    COleIPFrameWnd* nested = kind.make();
    ASSERT_TRUE(nested->ActivateInPlace(&inner, 0));
    PumpAsTheProgram(50);
    EXPECT_EQ(FrameHelper::GetActiveFrame(), nested);
    nested->DeactivateInPlace();
    PumpAsTheProgram(50);
    EXPECT_EQ(inner.m_calls, (std::vector<std::string>{"in place", "ui", "ui end", "in place end"}));
    EXPECT_EQ(inner.m_active, nullptr);
    EXPECT_EQ(FrameHelper::GetActiveFrame(), object);

    // Closed, the outer one hands the role back to none (the window's frame again) and
    // stores no placement: the stored one is the main window's.
    CWinApp app("InPlace");
    CountingWorkspace workspace;
    ::SendMessageA(objectHwnd, WM_CLOSE, 0, 0);
    PumpAsTheProgram(50);
    EXPECT_FALSE(::IsWindow(objectHwnd));
    EXPECT_EQ(workspace.m_stores, 0);
    EXPECT_EQ(outer.m_calls, (std::vector<std::string>{"in place", "ui", "ui end", "in place end"}));
    EXPECT_EQ(outer.m_active, nullptr);
    EXPECT_EQ(FrameHelper::GetActiveFrame(), nullptr);
    EXPECT_EQ(CTKPopupMenu::FrameOf(window), window);
    window->m_pContainer = nullptr;
  }
}

TEST_F(InPlaceFrame, TurningToAnotherWindowClosesTheObjectsOpenMenuAndComingBackMakesItActiveAgain) {
  for (const FrameKind& kind : kKinds) {
    SCOPED_TRACE(kind.name);
    Container container(windowHwnd, RECT{60, 60, 420, 320});
    window->m_pContainer = &container;
    COleIPFrameWnd* object = kind.make();
    ASSERT_TRUE(object->ActivateInPlace(&container, 0));
    const HWND objectHwnd = object->m_hWnd;
    auto* other = new CFrameWnd;
    ASSERT_TRUE(other->Create(nullptr, "Other", WS_OVERLAPPEDWINDOW, CRect(700, 100, 900, 300)));
    const HWND otherHwnd = other->m_hWnd;
    other->ShowWindow(SW_SHOWNOACTIVATE);
    PumpAsTheProgram(150);

    // The user opens the object's "Take" menu from its menu bar.
    CTKMenuBar& menuBar = MenuBarOf(object);
    CRect title;
    menuBar.GetItemRect(0, &title);
    ClickInWindow(menuBar.m_hWnd, title.CenterPoint());
    CTKPopupMenu* popup = OpenPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(CTKFrameWnd::OpenPopupMenu(), popup);
    EXPECT_EQ(CTKPopupMenu::FrameOf(popup), object);

    // ... and turns to another window: the menu closes and the object is no longer
    // the library's active frame.
    ClickInWindow(otherHwnd, POINT{100, 60});
    EXPECT_TRUE(winetest::WaitUntil([] { return OpenPopup() == nullptr; }, 1000));
    EXPECT_EQ(CTKFrameWnd::OpenPopupMenu(), nullptr);
    EXPECT_EQ(FrameHelper::GetActiveFrame(), nullptr);

    // Back to the container (beside the object): the object is the active frame again.
    CRect client;
    ::GetClientRect(windowHwnd, &client);
    ClickInWindow(windowHwnd, POINT{20, client.bottom - 20});
    EXPECT_TRUE(winetest::WaitUntil([&] { return FrameHelper::GetActiveFrame() == object; }, 1000));

    ::DestroyWindow(otherHwnd);
    ::DestroyWindow(objectHwnd);
    PumpAsTheProgram(50);
    EXPECT_EQ(FrameHelper::GetActiveFrame(), nullptr);
    window->m_pContainer = nullptr;
  }
}

}  // namespace
