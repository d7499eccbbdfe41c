// The main frame made by the program's own start-up, driven by the keyboard and the
// mouse at the X display: the menus show every frame command with the state its
// update rule gives (greyed, checked), each command does what it says and the menu
// shows the change, the bars come and go from the View menu's Toolbars entries and
// from the toolbars' context menu, the dialog commands open their dialogs, and the
// low-storage warning comes once per fall below the threshold; the program draws in
// its own look and the look commands switch it.
#include "support/wine/GTestWin.h"

#include "app/MainFrame.h"
#include "app/TVLApp.h"
#include "app/looks/GradientVisualManager.h"
#include "app/looks/LookSwitch.h"
#include "app/looks/RoundVisualManager.h"
#include "app/looks/TVLVisualManager.h"
#include "resources/PanelResource.h"
#include "resources/resource.h"
#include "support/wine/AudioRigForWine.h"
#include "support/wine/DialogTestSupport.h"
#include "support/wine/ProgramDriver.h"
#include "support/wine/TempFolder.h"
#include "support/wine/Wait.h"
#include "support/wine/WindowCapture.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/bars/keyboard_input_support.h"
#include "toolkit/frames/TKVisualManagerXP.h"

#include "platform/afx/linux_headers_begin.h"
#include <map>
#include <string>
#include <vector>
#include "platform/afx/linux_headers_end.h"

namespace {

using toolbartest::PressKey;

using winetest::kProgramKey;
constexpr unsigned long kAlt = toolbartest::kKeyAlt;

DWORD ReadDword(const char* section, const char* name) {
  return winetest::ReadProgramDword(section, name, 0xFFFFFFFF);
}
void WriteDword(const char* section, const char* name, DWORD value) {
  ASSERT_TRUE(winetest::WriteProgramDword(section, name, value));
}
void WriteString(const char* section, const char* name, const std::string& value) {
  ASSERT_TRUE(winetest::WriteProgramString(section, name, value));
}

void Pump(DWORD ms) { toolbartest::PumpAsTheIdleProgram(ms); }

CTKPopupMenu* OpenPopup() {
  CTKPopupMenu* popup = CTKPopupMenu::GetActiveMenu();
  return popup && popup->m_hWnd && ::IsWindowVisible(popup->m_hWnd) ? popup : nullptr;
}

struct ItemState {
  bool present = false;
  bool enabled = false;
  bool checked = false;
  std::string text;
};

// What the open popup shows of each command.
std::map<UINT, ItemState> ItemsOf(CTKPopupMenu* popup) {
  std::map<UINT, ItemState> items;
  for (int i = 0; popup && i < popup->GetMenuItemCount(); ++i) {
    CTKToolbarMenuButton* item = popup->GetMenuItem(i);
    if (item->IsSeparator()) continue;
    ItemState& s = items[item->m_nID];
    s.present = true;
    s.enabled = !(item->m_nStyle & TBBS_DISABLED);
    s.checked = (item->m_nStyle & TBBS_CHECKED) != 0;
    s.text = static_cast<const char*>(item->m_strText);
  }
  return items;
}

// The user clicks the first item of the open popup that matches.
template <typename Match>
bool ClickItem(Match match) {
  CTKPopupMenu* popup = OpenPopup();
  for (int i = 0; popup && i < popup->GetMenuItemCount(); ++i) {
    CTKToolbarMenuButton* item = popup->GetMenuItem(i);
    if (item->IsSeparator() || !match(item)) continue;
    POINT at = item->m_rect.CenterPoint();
    ::ClientToScreen(popup->GetMenuBar()->m_hWnd, &at);
    if (!toolbartest::MoveMouseAndWait(at, true)) return false;
    toolbartest::MouseButton(true);
    Pump(60);
    toolbartest::MouseButton(false);
    Pump(400);
    return true;
  }
  return false;
}
bool ClickCommand(UINT id) {
  return ClickItem([id](CTKToolbarMenuButton* item) { return item->m_nID == id; });
}
bool ClickSubMenu(const char* text) {
  return ClickItem([text](CTKToolbarMenuButton* item) { return item->m_strText == text; });
}

void CloseMenus() {
  for (int i = 0; i < 4 && OpenPopup(); ++i) {
    PressKey(toolbartest::kKeyEscape);
    Pump(100);
  }
  if (CTKPopupMenu* popup = OpenPopup()) popup->DestroyWindow();
  Pump(100);
}

class FrameCommandsTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    // The rig's sound server before the engine looks for devices.
    s_rig = new winetest::AudioRigForWine;
    s_rig->StartSine(1000);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    WriteString("SoundDeviceOptions", "PlaybackDeviceName", "testspk");
    WriteString("SoundDeviceOptions", "RecordDeviceName", "testmic");
    WriteDword("SoundDeviceOptions", "ChannelCount", 2);
    WriteDword("SoundDeviceOptions", "SampleFormat", 0x20001);
    WriteDword("SoundDeviceOptions", "SampleRate", 44100);
    s_temp = new winetest::TempFolder("frame-commands-temp");
    s_output = new winetest::TempFolder("frame commands output");
    WriteString("FileOutputOptions", "strTempFolder", s_temp->Path() + "\\");
    WriteString("FileOutputOptions", "strAutoNameFolder", s_output->Path() + "\\");
    // A known start: editing mode, no silence detection, WAV, no auto-save, schedules off.
    WriteDword("AdvanceRecordSetting", "ActiveRecordingMode", 0);
    WriteDword("AdvanceRecordSetting", "EnableSilenceDetection", 0);
    WriteDword("FileOutputOptions", "eFileType", 1);
    WriteDword("FileOutputOptions", "bSaveFile", 0);
    WriteDword("FileOutputOptions", "bAutoName", 0);
    WriteDword("ScheduleSettings", "Active", 0);
    s_app = new CTVLApp;
    s_started = s_app->InitInstance();
  }
  static void TearDownTestSuite() {
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) {
      dialogtest::RecordedMessageBoxes no(IDNO);
      main->SendMessage(WM_CLOSE);
      Pump(200);
    }
    if (s_started) s_app->ExitInstance();
    // The application object stays: the framework keeps pointing at it until the
    // process ends.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    delete s_output;
    delete s_temp;
    delete s_rig;
  }

  void SetUp() override {
    ASSERT_TRUE(s_started) << "the program's start-up failed";
    ASSERT_TRUE(toolbartest::XDisplayInput::Get().Ready()) << "no X display to type and click at";
    m_frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    ASSERT_NE(m_frame, nullptr);
    ::SetWindowPos(m_frame->m_hWnd, HWND_TOP, 30, 30, 900, 560, SWP_SHOWWINDOW);
    ::SetForegroundWindow(m_frame->m_hWnd);
    m_frame->RecalcLayout();
    Pump(200);
    // The user clicks into the waveform area first: keys go to this window.
    RECT client;
    m_frame->GetWaveFrame()->GetClientRect(&client);
    toolbartest::ClickInWindow(m_frame->GetWaveFrame()->m_hWnd, POINT{client.right / 2, client.bottom / 2});
    Pump(100);
  }
  void TearDown() override { CloseMenus(); }

  // Alt and the menu's letter: the popup that opens, its items.
  std::map<UINT, ItemState> OpenMenu(unsigned long letter) {
    CloseMenus();
    PressKey(letter, kAlt);
    Pump(250);
    return ItemsOf(OpenPopup());
  }
  // In the open popup, a sub-menu or command by its underlined letter.
  std::map<UINT, ItemState> Choose(unsigned long letter) {
    PressKey(letter);
    Pump(300);
    return ItemsOf(OpenPopup());
  }

  static winetest::AudioRigForWine* s_rig;
  static CTVLApp* s_app;
  static BOOL s_started;
  static winetest::TempFolder* s_temp;
  static winetest::TempFolder* s_output;
  CMainFrame* m_frame = nullptr;
};
winetest::AudioRigForWine* FrameCommandsTest::s_rig = nullptr;
CTVLApp* FrameCommandsTest::s_app = nullptr;
BOOL FrameCommandsTest::s_started = FALSE;
winetest::TempFolder* FrameCommandsTest::s_temp = nullptr;
winetest::TempFolder* FrameCommandsTest::s_output = nullptr;

TEST_F(FrameCommandsTest, AtFirstStartTheEffectToolbarDocksOnTheStandardToolbarsRowToItsRight) {
  // The first start (no stored layout): the menu bar on top, below it one row with the
  // standard toolbar and the effect toolbar right after it, the shortcuts toolbar down
  // the left side.
  auto where = [&](CWnd& bar) {
    CRect rect;
    bar.GetWindowRect(&rect);
    ::MapWindowPoints(nullptr, m_frame->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  const CRect menu = where(*m_frame->GetMenuBar()), standard = where(*m_frame->GetMainToolBar()),
              effect = where(*m_frame->GetEffectToolBar()),
              shortcuts = where(*m_frame->GetShortcutsToolBar());
  CapturedImage shot = CaptureWindow(m_frame->m_hWnd, true);
  EXPECT_TRUE(SavePng(shot, TARVEL_TEST_BINARY_DIR "/screenshots/main-frame-first-start-bars.png"));
  auto side = [](CTVLToolBar* bar) { return bar->m_pDockBar ? bar->m_pDockBar->GetDlgCtrlID() : 0; };
  EXPECT_EQ(side(m_frame->GetMainToolBar()), AFX_IDW_DOCKBAR_TOP);
  EXPECT_EQ(side(m_frame->GetEffectToolBar()), AFX_IDW_DOCKBAR_TOP);
  EXPECT_EQ(side(m_frame->GetShortcutsToolBar()), AFX_IDW_DOCKBAR_LEFT);
  EXPECT_GE(standard.top, menu.bottom);
  EXPECT_EQ(effect.top, standard.top) << "the effect toolbar shares the standard toolbar's row";
  EXPECT_GE(effect.left, standard.right);
  EXPECT_LT(effect.left, standard.right + 8) << "right beside it";
  EXPECT_GE(shortcuts.top, standard.bottom);
  EXPECT_LT(shortcuts.right, effect.left);
  // Too narrow for both, the effect toolbar goes below; with room again, back beside.
  const struct {
    int width;
    bool beside;
  } widths[] = {{700, false}, {900, true}};
  for (const auto& w : widths) {
    ::SetWindowPos(m_frame->m_hWnd, nullptr, 0, 0, w.width, 560, SWP_NOMOVE | SWP_NOZORDER);
    Pump(200);
    const CRect s = where(*m_frame->GetMainToolBar()), e = where(*m_frame->GetEffectToolBar());
    EXPECT_EQ(e.top == s.top && e.left >= s.right, w.beside) << w.width;
    if (!w.beside) {
      EXPECT_GE(e.top, s.bottom) << w.width;
    }
  }
}

TEST_F(FrameCommandsTest, MenusShowEveryFrameCommandWithItsStateWhileIdle) {
  struct Expect {
    unsigned long menu;
    UINT id;
    bool enabled;
    bool checked;
  } rows[] = {
      // Record/Play: the panel's buttons while idle, the editing mode checked.
      {'r', ID_CONTROL_RECORD, true, false},
      {'r', ID_CONTROL_PLAY, true, false},
      {'r', ID_CONTROL_STOP, false, false},
      {'r', ID_LOOP_PLAY, true, false},
      {'r', ID_MODE_EDITING, true, true},
      {'r', ID_MODE_DIRECT, true, false},
      {'r', ID_PLAYBACK_VOLUME, true, false},
      {'r', ID_RECORD_VOLUME, true, false},
      // Options: the panel's buttons, the idle project, the stored switches.
      {'o', ID_OPTIONS, true, false},
      {'o', ID_RECORD_WIZARD, true, false},
      {'o', ID_ADVANCED_SETTINGS, true, false},
      {'o', ID_SILENCE_DETECTION, true, false},
      {'o', ID_AUTO_SAVE, true, false},
      {'o', ID_SCHEDULE_FEATURE, true, false},
      {'o', ID_SCHEDULE_SETTINGS, true, false},
      // View: the status bar shows; nothing to zoom in an empty project.
      {'v', ID_VIEW_STATUS_BAR, true, true},
      {'v', ID_ZOOM_IN, false, false},
      {'v', ID_ZOOM_FIT, false, false},
      {'v', ID_VIEW_REFRESH, true, false},
      {'v', ID_EXPLORE_OUTPUT, true, false},
      // Edit and Effect: nothing to edit yet.
      {'e', ID_EDIT_UNDO, false, false},
      {'e', ID_EDIT_CUT, false, false},
      {'e', ID_EDIT_SELECT_ALL, false, false},
      {'c', ID_EFFECT_FADE_IN, false, false},
      {'c', ID_EFFECT_AMPLIFY, false, false},
      // File and Help.
      {'f', ID_FILE_NEW, true, false},
      {'f', ID_FILE_NEW_NEW_WINDOW, true, false},
      {'h', ID_LOG_HISTORY, true, false},
      {'h', ID_BROWSE_HOMEPAGE, true, false},
      {'h', ID_APP_ABOUT, true, false},
  };
  unsigned long shown = 0;
  std::map<UINT, ItemState> items;
  for (const Expect& row : rows) {
    if (row.menu != shown) {
      items = OpenMenu(row.menu);
      shown = row.menu;
      ASSERT_FALSE(items.empty()) << "no menu opened for Alt+" << static_cast<char>(row.menu);
    }
    SCOPED_TRACE(std::to_string(row.id));
    const ItemState& item = items[row.id];
    ASSERT_TRUE(item.present);
    EXPECT_EQ(item.enabled, row.enabled) << item.text;
    EXPECT_EQ(item.checked, row.checked) << item.text;
  }
}

TEST_F(FrameCommandsTest, WhileRecordingTheModesAreGreyedAndTheTransportFollowsThePanel) {
  struct Expect {
    UINT id;
    bool enabled, checked;
  };
  auto check = [&](const char* when, std::initializer_list<Expect> rows) {
    SCOPED_TRACE(when);
    std::map<UINT, ItemState> items = OpenMenu('r');
    for (const Expect& row : rows) {
      EXPECT_EQ(items[row.id].enabled, row.enabled) << items[row.id].text;
      EXPECT_EQ(items[row.id].checked, row.checked) << items[row.id].text;
    }
    CloseMenus();
  };
  OpenMenu('r');
  ASSERT_TRUE(ClickCommand(ID_CONTROL_RECORD));
  Pump(1500);
  check("recording", {{ID_CONTROL_RECORD, true, true},
                      {ID_CONTROL_PLAY, false, false},
                      {ID_CONTROL_STOP, true, false},
                      {ID_MODE_EDITING, false, true},
                      {ID_MODE_DIRECT, false, false}});
  OpenMenu('r');
  ASSERT_TRUE(ClickCommand(ID_CONTROL_STOP));
  // The take is finished once Play is offered again (it takes longer on a busy machine).
  const DWORD stopped = ::GetTickCount();
  while (!OpenMenu('r')[ID_CONTROL_PLAY].enabled && ::GetTickCount() - stopped < 10000) Pump(200);
  ASSERT_TRUE(ClickCommand(ID_CONTROL_PLAY));
  Pump(500);
  check("playing", {{ID_CONTROL_PLAY, true, true},
                    {ID_CONTROL_RECORD, false, false},
                    {ID_CONTROL_STOP, true, false},
                    {ID_MODE_EDITING, true, true},
                    {ID_MODE_DIRECT, true, false}});
  OpenMenu('r');
  ASSERT_TRUE(ClickCommand(ID_CONTROL_STOP));
  Pump(300);
  check("stopped", {{ID_CONTROL_RECORD, true, false}, {ID_CONTROL_STOP, false, false}});
}

TEST_F(FrameCommandsTest, SettingCommandsStoreTheirValueAndTheMenuShowsIt) {
  struct Case {
    const char* what;
    unsigned long menu;
    const char* subMenu;  // null: the command is on the menu itself
    UINT id;
    const char* section;
    const char* value;
    DWORD stored;
  } cases[] = {
      {"directly saving mode", 'r', nullptr, ID_MODE_DIRECT, "AdvanceRecordSetting", "ActiveRecordingMode",
       1},
      {"editing mode", 'r', nullptr, ID_MODE_EDITING, "AdvanceRecordSetting", "ActiveRecordingMode", 0},
      {"silence detection", 'o', nullptr, ID_SILENCE_DETECTION, "AdvanceRecordSetting",
       "EnableSilenceDetection", 1},
      {"auto-save", 'o', nullptr, ID_AUTO_SAVE, "FileOutputOptions", "bSaveFile", 1},
      {"schedules", 'o', nullptr, ID_SCHEDULE_FEATURE, "ScheduleSettings", "Active", 1},
      {"MP3 output", 'o', "Output &Format", ID_OUTPUT_MP3, "FileOutputOptions", "eFileType", 0},
      {"Ogg output", 'o', "Output &Format", ID_OUTPUT_OGG, "FileOutputOptions", "eFileType", 2},
      {"WAV output", 'o', "Output &Format", ID_OUTPUT_WAV, "FileOutputOptions", "eFileType", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OpenMenu(c.menu);
    if (c.subMenu) ASSERT_TRUE(ClickSubMenu(c.subMenu));
    ASSERT_TRUE(ClickCommand(c.id));
    Pump(200);
    EXPECT_EQ(OpenPopup(), nullptr) << "the command closed the menu";
    EXPECT_EQ(ReadDword(c.section, c.value), c.stored);
    // The menu shows the new state: the item is checked.
    std::map<UINT, ItemState> items = OpenMenu(c.menu);
    if (c.subMenu) {
      ASSERT_TRUE(ClickSubMenu(c.subMenu));
      items = ItemsOf(OpenPopup());
    }
    EXPECT_TRUE(items[c.id].checked) << items[c.id].text;
    CloseMenus();
  }
  // Auto-save switched the automatic names on with it.
  EXPECT_EQ(ReadDword("FileOutputOptions", "bAutoName"), 1u);
  // Each toggle turns off again.
  const struct {
    UINT id;
    const char* section;
    const char* value;
  } toggles[] = {{ID_SILENCE_DETECTION, "AdvanceRecordSetting", "EnableSilenceDetection"},
                 {ID_SCHEDULE_FEATURE, "ScheduleSettings", "Active"},
                 {ID_AUTO_SAVE, "FileOutputOptions", "bSaveFile"}};
  for (const auto& t : toggles) {
    OpenMenu('o');
    ASSERT_TRUE(ClickCommand(t.id));
    EXPECT_EQ(ReadDword(t.section, t.value), 0u) << t.value;
  }
}

TEST_F(FrameCommandsTest, ColourSchemeCommandsRecolourTheProgram) {
  struct Case {
    UINT id;
    int row;
  } cases[] = {{ID_COLOR_3D, 1}, {ID_COLOR_MIDNIGHT, 8}, {ID_COLOR_XP_SILVER, 16}, {ID_COLOR_DEFAULT, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    OpenMenu('o');
    ASSERT_TRUE(ClickSubMenu("&Colour Scheme"));
    ASSERT_TRUE(ClickCommand(c.id));
    Pump(200);
    const ColorSchemeOptions::PresetRow& preset = ColorSchemeOptions::Preset(c.row);
    EXPECT_EQ(s_app->m_colorScheme.ControlBar, preset[0]);
    EXPECT_EQ(s_app->m_colorScheme.WaveformForeground, preset[1]);
    EXPECT_EQ(s_app->m_colorScheme.WaveformBackground, preset[2]);
  }
}

TEST_F(FrameCommandsTest, BarsComeAndGoFromTheViewMenuAndTheToolbarMenu) {
  const struct {
    UINT id;
    const char* text;
    CWnd* bar;
  } rows[] = {
      {ID_VIEW_TOOLBAR, "Standard Toolbar", m_frame->GetMainToolBar()},
      {ID_VIEW_EFFECT_TOOLBAR, "Effect Toolbar", m_frame->GetEffectToolBar()},
      {ID_VIEW_PEAK_METER, "Peak Meter Controlbar", m_frame->GetPeakMeter()},
      {ID_VIEW_CONTROL_PANEL, "Play Control Bar", m_frame->GetControlPanel()},
      {ID_VIEW_SHORTCUTS_BAR, "Application Shortcuts Bar", m_frame->GetShortcutsToolBar()},
  };
  // View > Toolbars lists the bars, each checked while it shows; choosing an entry
  // hides its bar and unchecks it, choosing it again brings it back.
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const bool states[] = {true, false, true};
    for (int step = 0; step < 3; ++step) {
      OpenMenu('v');
      ASSERT_TRUE(ClickSubMenu("&Toolbars"));
      std::map<UINT, ItemState> bars = ItemsOf(OpenPopup());
      EXPECT_EQ(bars.size(), 5u);
      EXPECT_EQ(bars[row.id].text, row.text);
      EXPECT_EQ(bars[row.id].checked, states[step]);
      EXPECT_EQ(row.bar->IsWindowVisible() != FALSE, states[step]);
      if (step < 2) ASSERT_TRUE(ClickCommand(row.id));
    }
    CloseMenus();
  }

  // A right click on a toolbar shows the same five entries.
  CRect rect;
  m_frame->GetMainToolBar()->GetWindowRect(&rect);
  POINT at{rect.right - 4, rect.top + rect.Height() / 2};
  ASSERT_TRUE(toolbartest::MoveMouseAndWait(at, true));
  toolbartest::XDisplayInput::Get().Button(true, 3);
  Pump(60);
  toolbartest::XDisplayInput::Get().Button(false, 3);
  Pump(400);
  std::map<UINT, ItemState> context = ItemsOf(OpenPopup());
  ASSERT_EQ(context.size(), 5u);
  for (const auto& row : rows) EXPECT_EQ(context[row.id].text, row.text);
}

TEST_F(FrameCommandsTest, DialogCommandsOpenTheirDialogs) {
  struct Case {
    UINT id;
    const char* caption;
  } cases[] = {
      {ID_SCHEDULE_SETTINGS, "Schedule Setting Dialog"},
      {ID_ADVANCED_SETTINGS, "Options"},
      {ID_COLOR_CUSTOM, "Options"},
      {ID_LOG_HISTORY, "Recording log view"},
      {ID_APP_ABOUT, "About Tarvel"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    bool seen = false;
    dialogtest::DriveModal(
        c.caption,
        [&](HWND dialog) {
          seen = true;
          dialogtest::Press(dialog, IDCANCEL);
        },
        [&] { m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(c.id, 0), 0); });
    EXPECT_TRUE(seen);
  }
}

// How many pixels of an icon, drawn on white at its own size, are the red of the
// microphone's head: our artwork, not a blank or the system's stock icon.
int RedPixelsOf(HICON icon, int size) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB};
  void* bits = nullptr;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP dib = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(dc, dib);
  RECT all{0, 0, size, size};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  ::GdiFlush();
  int red = 0;
  for (int i = 0; i < size * size; ++i) {
    const DWORD p = static_cast<const DWORD*>(bits)[i];
    red += ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) < 90 && (p & 0xFF) < 90;
  }
  ::SelectObject(dc, old);
  ::DeleteObject(dib);
  ::DeleteDC(dc);
  return red;
}

TEST_F(FrameCommandsTest, TheMainWindowAndTheAboutBoxShowTheProgramsIcon) {
  HWND main = m_frame->m_hWnd;
  const auto classIcon = reinterpret_cast<HICON>(::GetClassLongPtrA(main, GCLP_HICON));
  ASSERT_NE(classIcon, nullptr);
  EXPECT_NE(classIcon, ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
  EXPECT_GT(RedPixelsOf(classIcon, 32), 40);
  // The caption's and the task switcher's images, each drawn at its own size.
  struct Case {
    WPARAM kind;
    int size;
    int minRed;
  } cases[] = {{ICON_SMALL, 16, 6}, {ICON_BIG, 32, 40}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    const auto icon = reinterpret_cast<HICON>(m_frame->SendMessage(WM_GETICON, c.kind, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO iconInfo{};
    ASSERT_TRUE(::GetIconInfo(icon, &iconInfo));
    BITMAP bitmap{};
    ::GetObjectA(iconInfo.hbmColor ? iconInfo.hbmColor : iconInfo.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, c.size);
    if (iconInfo.hbmColor) ::DeleteObject(iconInfo.hbmColor);
    if (iconInfo.hbmMask) ::DeleteObject(iconInfo.hbmMask);
    EXPECT_GE(RedPixelsOf(icon, c.size), c.minRed);
  }

  // The About box shows it beside the product's name: red pixels where its icon sits.
  int shownRed = -1;
  bool hasIcon = false;
  dialogtest::DriveModal(
      "About Tarvel",
      [&](HWND dialog) {
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
          if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
          hasIcon = ::SendMessageA(child, STM_GETICON, 0, 0) != 0;
          ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
          const CapturedImage shot = CaptureWindow(child, false);
          shownRed = 0;
          for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x) {
              const COLORREF p = shot.At(x, y);
              shownRed += GetRValue(p) > 150 && GetGValue(p) < 90 && GetBValue(p) < 90;
            }
          SavePng(shot, TARVEL_TEST_BINARY_DIR "/screenshots/about-icon.png");
          break;
        }
        dialogtest::Press(dialog, IDCANCEL);
      },
      [&] { m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0); });
  EXPECT_TRUE(hasIcon) << "the About box has no icon control showing an icon";
  EXPECT_GT(shownRed, 40) << "the About box's icon is blank";
}

TEST_F(FrameCommandsTest, LowStorageWarningComesOncePerFallBelowTheThreshold) {
  dialogtest::RecordedMessageBoxes boxes;
  FileOutputOptions& output = s_app->m_output;
  const FileOutputOptions saved = output;
  output.bTempSpaceAlarm = 1;
  output.TempSpaceThreshold = ~0ull;  // more than any disk has
  Pump(2000);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(
      boxes.shown[0].text,
      "There are not enough storage space for temporary file, please delete some other temporary files or "
      "select new driver for temparary files!");
  Pump(1500);
  EXPECT_EQ(boxes.shown.size(), 1u) << "once while space stays low";
  // Space rises above the threshold, then falls again: a second warning.
  output.TempSpaceThreshold = 0;
  Pump(1000);
  output.TempSpaceThreshold = ~0ull;
  Pump(1500);
  EXPECT_EQ(boxes.shown.size(), 2u);
  output.bTempSpaceAlarm = saved.bTempSpaceAlarm;
  output.TempSpaceThreshold = saved.TempSpaceThreshold;
  Pump(500);
}

TEST_F(FrameCommandsTest, TheProgramDrawsInItsOwnLookAndTheLookCommandsSwitchIt) {
  EXPECT_NE(dynamic_cast<CTVLVisualManager*>(CTKVisualManager::GetInstance()), nullptr);
  struct Case {
    UINT command;
    bool (*is)(CTKVisualManager*);
  } cases[] = {
      {looks::kRoundLookCommand,
       [](CTKVisualManager* m) { return dynamic_cast<CRoundVisualManager*>(m) != nullptr; }},
      {looks::kGradientLookCommand,
       [](CTKVisualManager* m) { return dynamic_cast<CGradientVisualManager*>(m) != nullptr; }},
      {looks::kFlatLookCommand,
       [](CTKVisualManager* m) { return dynamic_cast<CTKVisualManagerXP*>(m) != nullptr; }},
  };
  for (const Case& c : cases) {
    m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(c.command, 0), 0);
    Pump(100);
    EXPECT_TRUE(c.is(CTKVisualManager::GetInstance())) << c.command;
  }
}

TEST_F(FrameCommandsTest, ThePanelRepaintsWholeWhenTheWindowGrows) {
  // The user widens the window in steps: the panel's time display moves to its right
  // edge and the sliders widen over where it stood; nothing of it stays behind.
  CMMDialogBar* panel = m_frame->GetControlPanel();
  HWND time = ::GetDlgItem(panel->m_hWnd, IDC_PANEL_TIME);
  ASSERT_NE(time, nullptr);
  for (int width : {700, 820, 960}) {
    ::SetWindowPos(m_frame->m_hWnd, nullptr, 0, 0, width, 560, SWP_NOMOVE | SWP_NOZORDER);
    Pump(300);
  }
  CapturedImage shot = CaptureWindow(panel->m_hWnd, true);
  ASSERT_FALSE(shot.Empty());
  EXPECT_TRUE(SavePng(shot, TARVEL_TEST_BINARY_DIR "/screenshots/main-frame-wide-panel.png"));
  RECT digits;
  ::GetWindowRect(time, &digits);
  ::MapWindowPoints(nullptr, panel->m_hWnd, reinterpret_cast<POINT*>(&digits), 2);
  // The display's lit digits, and whether the sliders' stretch shows them too.
  std::map<COLORREF, int> inside;
  for (int y = digits.top; y < digits.bottom; ++y)
    for (int x = digits.left; x < digits.right; ++x)
      if (GetGValue(shot.At(x, y)) > 150) ++inside[shot.At(x, y)];
  COLORREF lit = 0;
  int most = 0;
  for (const auto& [colour, count] : inside)
    if (count > most) lit = colour, most = count;
  ASSERT_GT(most, 20) << "the digits show";
  RECT slider;
  ::GetWindowRect(::GetDlgItem(panel->m_hWnd, IDC_PANEL_OUTPUT_VOLUME), &slider);
  ::MapWindowPoints(nullptr, panel->m_hWnd, reinterpret_cast<POINT*>(&slider), 2);
  int elsewhere = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = slider.left; x < digits.left - 12; ++x) elsewhere += shot.At(x, y) == lit;
  EXPECT_EQ(elsewhere, 0) << "digits left behind where the time display stood";
}

TEST_F(FrameCommandsTest, TheStatusLineShowsThePromptUnderThePointerAndReadyAfterwards) {
  // The pointer rests on a menu item or a toolbar button: the status bar's first pane
  // shows the command's prompt; the menu closed or the pointer gone, it says "Ready".
  CTKStatusBar* status = m_frame->GetStatusBar();
  auto line = [&] { return std::string(static_cast<const char*>(status->GetPaneText(0))); };
  auto away = [&] {
    RECT view;
    ::GetWindowRect(m_frame->GetWaveFrame()->m_hWnd, &view);
    toolbartest::MoveMouseAndWait(POINT{(view.left + view.right) / 2, (view.top + view.bottom) / 2}, true);
    Pump(200);
  };
  away();
  EXPECT_EQ(line(), "Ready");
  struct Case {
    unsigned long menu;  // 0: the command's button on the standard toolbar
    UINT id;
    const char* prompt;
  } cases[] = {
      {'r', ID_CONTROL_RECORD, "Start recording"}, {'r', ID_LOOP_PLAY, "Play over and over"},
      {'f', ID_FILE_OPEN, "Open a sound file"},    {0, ID_CONTROL_RECORD, "Start recording"},
      {0, ID_FILE_OPEN, "Open a sound file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prompt);
    away();
    POINT at{};
    if (c.menu) {
      OpenMenu(c.menu);
      CTKPopupMenu* popup = OpenPopup();
      ASSERT_NE(popup, nullptr);
      CTKToolbarMenuButton* item = nullptr;
      for (int i = 0; i < popup->GetMenuItemCount() && !item; ++i)
        if (popup->GetMenuItem(i)->m_nID == c.id) item = popup->GetMenuItem(i);
      ASSERT_NE(item, nullptr);
      at = item->m_rect.CenterPoint();
      ::ClientToScreen(popup->GetMenuBar()->m_hWnd, &at);
    } else {
      CTVLToolBar* bar = m_frame->GetMainToolBar();
      const int index = bar->CommandToIndex(c.id);
      ASSERT_GE(index, 0);
      CRect rect;
      bar->GetItemRect(index, &rect);
      at = rect.CenterPoint();
      ::ClientToScreen(bar->m_hWnd, &at);
    }
    // Onto the item from a little above it, as a hand moves.
    ASSERT_TRUE(toolbartest::MoveMouseAndWait(POINT{at.x - 3, at.y - 2}, true));
    Pump(100);
    ASSERT_TRUE(toolbartest::MoveMouseAndWait(at, true));
    Pump(300);
    EXPECT_EQ(line(), c.prompt);
    // A menu closes with Escape; the pointer leaves the toolbar for the waveform.
    if (c.menu) CloseMenus();
    away();
    EXPECT_EQ(line(), "Ready");
  }
}

TEST(MainFrameTexts, StatusPanesFormatTheirValues) {
  struct Remaining {
    double seconds;
    const char* text;
  } remaining[] = {
      {210, "Remaining: 210 seconds"},
      {1.5, "Out of disk space"},
      {239.9, "Remaining: 239 seconds"},
      {240, "Remaining: 4 minutes"},
      {3599, "Remaining: 59 minutes"},
      {3600, "Remaining: 1 hour and 0 minutes"},
      {7199, "Remaining: 1 hour and 59 minutes"},
      {7200 + 65 * 60, "Remaining: 3 hours and 5 minutes"},
  };
  for (const Remaining& r : remaining)
    EXPECT_EQ(CMainFrame::RemainingTimeText(r.seconds), r.text) << r.seconds;
  struct Selection {
    double t0, t1, length;
    const char* text;
  } selections[] = {
      {1.5, 62.25, 62.25 - 1.5, "Sel: 000:01.500 - 001:02.250 Len: 001:00.750"},
      // Ends held a hair below their milliseconds still show them, and the length is
      // what the two shown ends say.
      {2.0, 4.008, 4.008 - 2.0, "Sel: 000:02.000 - 000:04.008 Len: 000:02.008"},
      {0.1, 0.3, 0.3 - 0.1, "Sel: 000:00.100 - 000:00.300 Len: 000:00.200"},
      {59.9995, 60.0005, 60.0005 - 59.9995, "Sel: 000:59.999 - 001:00.000 Len: 000:00.001"},
      // No selection: the length of the tracks.
      {3.0, 3.0, 125.4, "Sel: 000:03.000 - 000:03.000 Len: 002:05.400"},
  };
  for (const Selection& c : selections)
    EXPECT_EQ(CMainFrame::SelectionText(c.t0, c.t1, c.length), c.text) << c.t0 << " " << c.t1;
  EXPECT_EQ(CMainFrame::RateText(44100, false), " Rate 44.10K");
  EXPECT_EQ(CMainFrame::RateText(22050, true), " Rate 22.05K?");
  EXPECT_EQ(CMainFrame::FreeSpaceText(123456789), "Free: 123.46 MB");
}

}  // namespace
