// The program's own start-up, in this process: the first picture the user gets is the
// finished window. When the main window shows for the first time, its bars already
// stand where they stay, the status panes show their values (not the placeholders
// that size them), the control panel shows the sound card's input sources and
// volumes and the view the recording mode's display, all as the idle moments after
// the start leave them. The audio engine, made on a thread of its own while the
// window is built, is there by then.
#include "support/wine/GTestWin.h"

#include "app/MainFrame.h"
#include "app/TVLApp.h"
#include "app/skin/BitmapSlider.h"
#include "app/view/TVLView.h"
#include "resources/MainFrameResource.h"
#include "resources/PanelResource.h"
#include "support/wine/AudioRigForWine.h"
#include "support/wine/DialogTestSupport.h"
#include "support/wine/ProgramDriver.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"
#include "toolkit/bars/TKToolBar.h"
#include "toolkit/bars/keyboard_input_support.h"

#include "platform/afx/linux_headers_begin.h"
#include <map>
#include <string>
#include "core/engine/AudioIO.h"
#include "platform/afx/linux_headers_end.h"

namespace {

void WriteDword(const char* section, const char* name, DWORD value) {
  ASSERT_TRUE(winetest::WriteProgramDword(section, name, value));
}
void WriteString(const char* section, const char* name, const std::string& value) {
  ASSERT_TRUE(winetest::WriteProgramString(section, name, value));
}

// What the user sees of the main window.
struct Picture {
  bool taken = false;
  bool engine = false;
  std::map<UINT, RECT> bars;  // by id, in the frame's client coordinates
  std::map<UINT, std::string> panes;
  std::string inputSource;
  int outputVolume = -1, inputVolume = -1;
  bool infoDisplay = false;
};

Picture Take(CMainFrame* frame) {
  Picture p;
  p.taken = true;
  p.engine = gAudioIO != nullptr;
  const std::map<UINT, CWnd*> bars = {
      {IDW_MENU_BAR, frame->GetMenuBar()},
      {IDW_MAIN_TOOLBAR, frame->GetMainToolBar()},
      {ID_VIEW_EFFECT_TOOLBAR, frame->GetEffectToolBar()},
      {ID_VIEW_SHORTCUTS_BAR, frame->GetShortcutsToolBar()},
      {IDW_STATUS_BAR, frame->GetStatusBar()},
      {IDW_PEAK_METER, frame->GetPeakMeter()},
      {0, frame->GetControlPanel()},
  };
  for (const auto& [id, bar] : bars) {
    RECT r{};
    ::GetWindowRect(bar->m_hWnd, &r);
    ::MapWindowPoints(nullptr, frame->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    p.bars[id] = r;
  }
  CTKStatusBar* status = frame->GetStatusBar();
  for (UINT id : {ID_PANE_RATE, ID_PANE_SELECTION, ID_PANE_FREE})
    p.panes[id] = static_cast<const char*>(status->GetPaneText(status->CommandToIndex(id)));
  HWND panel = frame->GetControlPanel()->m_hWnd;
  char text[256] = {};
  ::GetWindowTextA(::GetDlgItem(panel, IDC_PANEL_INPUT_SOURCE), text, sizeof text);
  p.inputSource = text;
  auto slider = [&](int id) {
    auto* s = dynamic_cast<CBitmapSlider*>(CWnd::FromHandlePermanent(::GetDlgItem(panel, id)));
    return s ? s->GetPos() : -2;
  };
  p.outputVolume = slider(IDC_PANEL_OUTPUT_VOLUME);
  p.inputVolume = slider(IDC_PANEL_INPUT_VOLUME);
  // Shown (the window itself may not be yet).
  if (auto* view = dynamic_cast<CTVLView*>(frame->GetActiveView()))
    p.infoDisplay = (::GetWindowLongA(view->GetInfoDisplay(), GWL_STYLE) & WS_VISIBLE) != 0;
  return p;
}

// The picture at the moment the main window is told it shows.
Picture g_first;
HHOOK g_hook = nullptr;

LRESULT CALLBACK WatchFirstShow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && !g_first.taken) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (message->message == WM_SHOWWINDOW && message->wParam && frame && message->hwnd == frame->m_hWnd)
      g_first = Take(frame);
  }
  return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

void Pump(DWORD ms) { toolbartest::PumpAsTheIdleProgram(ms); }

// A drop target that takes nothing: only asks the system whether a window takes drops.
struct NoDrops : IDropTarget {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
};

// Whether a window takes drops: the system refuses a second registration.
bool TakesDrops(HWND window) {
  static NoDrops probe;
  const HRESULT hr = ::RegisterDragDrop(window, &probe);
  if (SUCCEEDED(hr)) ::RevokeDragDrop(window);
  return hr == DRAGDROP_E_ALREADYREGISTERED;
}

class StartUpTest : public ::testing::Test {
protected:
  // The program's start in a recording mode (0 editing, 1 directly saving).
  void Start(int mode) {
    ASSERT_TRUE(m_rig.Ok());
    winetest::ClearProgramSettings();
    WriteString("SoundDeviceOptions", "PlaybackDeviceName", "testspk");
    WriteString("SoundDeviceOptions", "RecordDeviceName", "testmic");
    WriteDword("SoundDeviceOptions", "SampleRate", 44100);
    WriteString("FileOutputOptions", "strTempFolder", m_temp.Path() + "\\");
    WriteDword("AdvanceRecordSetting", "ActiveRecordingMode", static_cast<DWORD>(mode));
    WriteDword("ScheduleSettings", "Active", 0);
    g_hook = ::SetWindowsHookExA(WH_CALLWNDPROC, WatchFirstShow, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(g_hook, nullptr);
    m_started = m_app->InitInstance();
    ::UnhookWindowsHookEx(g_hook);
    ASSERT_TRUE(m_started) << "the program's start-up failed";
  }
  void ExpectFinishedAtFirstShow(int mode);
  void TearDown() override {
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) {
      dialogtest::RecordedMessageBoxes no(IDNO);
      main->SendMessage(WM_CLOSE);
      Pump(200);
    }
    // The application object stays: the framework keeps pointing at it until the
    // process ends.
    if (m_started) m_app->ExitInstance();
    winetest::ClearProgramSettings();
  }

  winetest::AudioRigForWine m_rig;
  winetest::TempFolder m_temp{"start-up-temp"};
  CTVLApp* m_app = new CTVLApp;
  BOOL m_started = FALSE;
};

void StartUpTest::ExpectFinishedAtFirstShow(int mode) {
  ASSERT_TRUE(g_first.taken) << "the main window never showed";
  auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(g_first.engine) << "the window showed before the audio engine was there";

  // A while later, after the idle updates and the delayed layout.
  Pump(1000);
  const Picture later = Take(frame);
  for (const auto& [id, rect] : later.bars) {
    SCOPED_TRACE("bar " + std::to_string(id));
    const RECT& first = g_first.bars.at(id);
    EXPECT_GT(rect.right - rect.left, 0);
    EXPECT_TRUE(::EqualRect(&first, &rect))
        << "first at " << first.left << "," << first.top << " " << first.right - first.left << "x"
        << first.bottom - first.top << ", later at " << rect.left << "," << rect.top << " "
        << rect.right - rect.left << "x" << rect.bottom - rect.top;
  }
  CString placeholder;
  placeholder.LoadString(ID_PANE_FREE);
  EXPECT_NE(g_first.panes[ID_PANE_FREE], std::string(placeholder)) << "the free space's placeholder";
  EXPECT_EQ(g_first.panes[ID_PANE_FREE].rfind("Free:", 0), 0u) << g_first.panes[ID_PANE_FREE];
  EXPECT_EQ(g_first.panes[ID_PANE_RATE], later.panes.at(ID_PANE_RATE));
  EXPECT_EQ(g_first.panes[ID_PANE_SELECTION], later.panes.at(ID_PANE_SELECTION));
  EXPECT_FALSE(later.inputSource.empty());
  EXPECT_EQ(g_first.inputSource, later.inputSource);
  EXPECT_EQ(g_first.outputVolume, later.outputVolume);
  EXPECT_EQ(g_first.inputVolume, later.inputVolume);
  EXPECT_EQ(g_first.infoDisplay, later.infoDisplay);
  EXPECT_EQ(later.infoDisplay, mode == 1) << "the directly-saving mode shows the recording's display";

  // From the program's first idle moment on, its bars take the buttons dragged onto them.
  m_app->OnIdle(0);
  int bars = 0;
  for (POSITION pos = CTKToolBar::GetAllToolbars().GetHeadPosition(); pos;) {
    CTKToolBar* bar = CTKToolBar::GetAllToolbars().GetNext(pos);
    if (!bar->m_hWnd || ::GetAncestor(bar->m_hWnd, GA_ROOT) != frame->m_hWnd) continue;
    ++bars;
    EXPECT_TRUE(TakesDrops(bar->m_hWnd)) << "bar " << bar->GetDlgCtrlID();
  }
  EXPECT_GE(bars, 4) << "the menu bar and the three toolbars";
}

// The tip shown for a control: a visible tooltip window whose current tool is the
// control, and its text.
struct ShownTip {
  HWND control;
  std::string text;
};
BOOL CALLBACK FindShownTip(HWND window, LPARAM param) {
  auto* tip = reinterpret_cast<ShownTip*>(param);
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  if (std::string(name) != TOOLTIPS_CLASSA || !::IsWindowVisible(window)) return TRUE;
  char text[128] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.lpszText = text;
  if (::SendMessageA(window, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) &&
      reinterpret_cast<HWND>(tool.uId) == tip->control)
    tip->text = text;
  return TRUE;
}

// Each start in a process of its own: the program starts once.
TEST_F(StartUpTest, TheFirstPictureIsTheFinishedWindowInTheEditingMode) {
  Start(0);
  ExpectFinishedAtFirstShow(0);
}

// The control panel's buttons get their tips' windows only when the pointer comes;
// then the tip shows as it always did: the pointer rests on the button until it does.
TEST_F(StartUpTest, ThePanelsButtonsShowTheirTipsWhenThePointerRestsOnThem) {
  Start(0);
  auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(toolbartest::XDisplayInput::Get().Ready()) << "no X display to move the pointer at";
  ::SetWindowPos(frame->m_hWnd, HWND_TOP, 30, 30, 900, 560, SWP_SHOWWINDOW);
  ::SetForegroundWindow(frame->m_hWnd);
  frame->RecalcLayout();
  Pump(300);
  const HWND panel = frame->GetControlPanel()->m_hWnd;
  const struct {
    int id;
    const char* tip;
  } cases[] = {{IDC_PANEL_RECORD, "Record"}, {IDC_PANEL_OPTIONS, "Options"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tip);
    const HWND button = ::GetDlgItem(panel, c.id);
    ASSERT_NE(button, nullptr);
    RECT r;
    ::GetWindowRect(button, &r);
    const POINT over{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ShownTip tip{button, ""};
    // The pointer comes onto the button from below and rests, moving a little now
    // and then as a hand does, until the tip shows.
    for (int attempt = 0; attempt < 4 && tip.text.empty(); ++attempt) {
      for (int step = 3; step >= 0; --step) {
        toolbartest::MoveMouse(POINT{over.x + (attempt & 1), over.y + step * 2});
        toolbartest::PumpAsTheProgram(30);
      }
      winetest::WaitUntil(
          [&] {
            toolbartest::PumpAsTheProgram(20);
            ::EnumWindows(FindShownTip, reinterpret_cast<LPARAM>(&tip));
            return !tip.text.empty();
          },
          1500);
    }
    EXPECT_EQ(tip.text, c.tip);
  }
  toolbartest::MoveMouse(POINT{10, 700});
}

// The directly-saving mode's view shows the output file's display from the start.
TEST_F(StartUpTest, TheFirstPictureIsTheFinishedWindowInTheDirectlySavingMode) {
  Start(1);
  ExpectFinishedAtFirstShow(1);
}

}  // namespace
