#include "app/MainFrame.h"

#include "app/AppText.h"
#include "app/TVLApp.h"
#include "app/looks/LookSwitch.h"
#include "app/looks/TVLVisualManager.h"
#include "app/view/ShellServices.h"
#include "options/log/LogCommands.h"
#include "options/schedule/ScheduleCommands.h"
#include "options/sheet/OptionsCommands.h"
#include "platform/seams/win32/Win32Seams.h"
#include "resources/PanelResource.h"
#include "resources/resource.h"
#include "toolkit/bars/TKPopupMenu.h"
#include "toolkit/frames/TKVisualManager.h"

#include <shellapi.h>

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include "core/engine/AudioIO.h"
#include "core/model/SystemUtils.h"
#include "core/model/TrackList.h"
#include "core/project/Project.h"
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

namespace {
const UINT g_toolbarMenuMessage = ::RegisterWindowMessageA("TKTOOLBAR_POPUPMENU");
}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CTKFrameWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_WM_TIMER()
  ON_WM_GETMINMAXINFO()
  ON_MESSAGE(WM_TIMECHANGE, OnTimeChange)
  ON_MESSAGE(kZoomToFitMessage, OnZoomToFit)
  ON_MESSAGE(kHomePageMessage, OnHomePage)
  ON_MESSAGE(kSchedulingAllowedMessage, OnSchedulingAllowed)
  ON_MESSAGE(kLowStorageMessage, OnLowStorage)
  ON_REGISTERED_MESSAGE(g_toolbarMenuMessage, OnToolbarContextMenu)
  ON_COMMAND(ID_CONTROL_PLAY, OnPlay)
  ON_COMMAND(ID_CONTROL_PAUSE, OnPause)
  ON_COMMAND(ID_CONTROL_STOP, OnStop)
  ON_COMMAND(ID_CONTROL_RECORD, OnRecord)
  ON_COMMAND(ID_PLAYBACK_VOLUME, OnPlaybackVolume)
  ON_COMMAND(ID_RECORD_VOLUME, OnRecordVolume)
  ON_COMMAND(ID_LOOP_PLAY, OnLoopPlay)
  ON_COMMAND(ID_OPTIONS, OnOptions)
  ON_COMMAND(ID_RECORD_WIZARD, OnRecordWizard)
  ON_UPDATE_COMMAND_UI(ID_CONTROL_PLAY, OnUpdatePlay)
  ON_UPDATE_COMMAND_UI(ID_CONTROL_PAUSE, OnUpdatePause)
  ON_UPDATE_COMMAND_UI(ID_CONTROL_STOP, OnUpdateStop)
  ON_UPDATE_COMMAND_UI(ID_CONTROL_RECORD, OnUpdateRecord)
  ON_UPDATE_COMMAND_UI(ID_LOOP_PLAY, OnUpdateLoopPlay)
  ON_UPDATE_COMMAND_UI(ID_OPTIONS, OnUpdateOptions)
  ON_UPDATE_COMMAND_UI(ID_RECORD_WIZARD, OnUpdateRecordWizard)
  ON_COMMAND(ID_VIEW_TOOLBAR, OnViewToolBar)
  ON_COMMAND(ID_VIEW_PEAK_METER, OnViewPeakMeter)
  ON_COMMAND(ID_VIEW_CONTROL_PANEL, OnViewControlPanel)
  ON_COMMAND(ID_VIEW_EFFECT_TOOLBAR, OnViewEffectToolBar)
  ON_COMMAND(ID_VIEW_SHORTCUTS_BAR, OnViewShortcutsBar)
  ON_COMMAND(ID_VIEW_STATUS_BAR, OnViewStatusBar)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateViewToolBar)
  ON_UPDATE_COMMAND_UI(ID_VIEW_PEAK_METER, OnUpdateViewPeakMeter)
  ON_UPDATE_COMMAND_UI(ID_VIEW_CONTROL_PANEL, OnUpdateViewControlPanel)
  ON_UPDATE_COMMAND_UI(ID_VIEW_EFFECT_TOOLBAR, OnUpdateViewEffectToolBar)
  ON_UPDATE_COMMAND_UI(ID_VIEW_SHORTCUTS_BAR, OnUpdateViewShortcutsBar)
  ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateViewStatusBar)
  ON_COMMAND(ID_VIEW_REFRESH, OnRefresh)
  ON_COMMAND(ID_EXPLORE_OUTPUT, OnExploreOutput)
  ON_COMMAND(ID_BROWSE_HOMEPAGE, OnBrowseHomepage)
  ON_COMMAND(ID_MODE_EDITING, OnEditingMode)
  ON_COMMAND(ID_MODE_DIRECT, OnDirectMode)
  ON_COMMAND(ID_SILENCE_DETECTION, OnSilenceDetection)
  ON_COMMAND(ID_SCHEDULE_FEATURE, OnScheduleFeature)
  ON_COMMAND(ID_AUTO_SAVE, OnAutoSave)
  ON_COMMAND(ID_OUTPUT_MP3, OnOutputMp3)
  ON_COMMAND(ID_OUTPUT_WAV, OnOutputWav)
  ON_COMMAND(ID_OUTPUT_OGG, OnOutputOgg)
  ON_COMMAND(ID_SCHEDULE_SETTINGS, OnScheduleSetting)
  ON_COMMAND(ID_ADVANCED_SETTINGS, OnAdvancedSettings)
  ON_COMMAND(ID_COLOR_CUSTOM, OnColorCustom)
  ON_COMMAND(ID_LOG_HISTORY, OnLogHistory)
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
  ON_UPDATE_COMMAND_UI(ID_MODE_EDITING, OnUpdateEditingMode)
  ON_UPDATE_COMMAND_UI(ID_MODE_DIRECT, OnUpdateDirectMode)
  ON_UPDATE_COMMAND_UI(ID_SILENCE_DETECTION, OnUpdateSilenceDetection)
  ON_UPDATE_COMMAND_UI(ID_SCHEDULE_FEATURE, OnUpdateScheduleFeature)
  ON_UPDATE_COMMAND_UI(ID_AUTO_SAVE, OnUpdateAutoSave)
  ON_UPDATE_COMMAND_UI(ID_OUTPUT_MP3, OnUpdateOutputMp3)
  ON_UPDATE_COMMAND_UI(ID_OUTPUT_WAV, OnUpdateOutputWav)
  ON_UPDATE_COMMAND_UI(ID_OUTPUT_OGG, OnUpdateOutputOgg)
  ON_UPDATE_COMMAND_UI(ID_ADVANCED_SETTINGS, OnUpdateAdvancedSettings)
  ON_UPDATE_COMMAND_UI(ID_PANE_RATE, OnUpdateRatePane)
  ON_UPDATE_COMMAND_UI(ID_PANE_SELECTION, OnUpdateSelectionPane)
  ON_UPDATE_COMMAND_UI(ID_PANE_FREE, OnUpdateFreePane)
END_MESSAGE_MAP()

namespace {
// The tick counter and the low-storage state the timer saw last live outside the
// frame: one heartbeat per program.
int g_tickCount = 0;
BOOL g_lastLowStorage = FALSE;
// The heartbeat tick handled last asks for the idle update of every bar.
BOOL g_barsIdleTick = FALSE;
// What the bars' buttons and controls were last brought up to date for.
UINT g_barsState = ~0u;
// Heartbeat idle updates of every bar still to come after the last change: enough for
// the toolbars, which follow every fourth idle update, to show it.
int g_barsRounds = 0;
constexpr int kBarsRounds = 4;
// The next frame's first showing waits for CMainFrame::ShowComplete.
BOOL g_holdFirstShow = FALSE;

constexpr UINT kPanelPlay = 1058;
constexpr UINT kPanelRecord = 1059;
constexpr UINT kPanelPause = 1060;
constexpr UINT kPanelStop = 1061;
constexpr UINT kPanelOptions = 1062;
constexpr UINT kPanelWizard = 1063;
constexpr UINT kPanelSpeaker = 1065;
constexpr UINT kPanelMicrophone = 1066;
constexpr UINT kPanelBarId = 0xE810;

// The bars that dock: the toolbars at the top or the left only.
constexpr DWORD kToolbarDocking = CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT;
constexpr DWORD kFlatToolbar = TBSTYLE_FLAT;
constexpr DWORD kBarBase = WS_CHILD | WS_VISIBLE | CBRS_GRIPPER;

// The colour preset row that a menu command selects; -1 for none.
int PresetRowOf(UINT id) {
  for (int row = 0; row < ColorSchemeOptions::kPresetCount; ++row)
    if (static_cast<UINT>(ColorSchemeOptions::PresetCommand(row)) == id) return row;
  return -1;
}

// The engine records into a stream now (either mode).
bool EngineRecords() {
  return gAudioIO && gAudioIO->IsStreamActive() && gAudioIO->GetNumCaptureChannels() > 0;
}

void ColorsApplied(ColorSchemeOptions&) {
  if (auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd())) frame->ApplyColorScheme();
}

// Whole milliseconds of a time: a time meant as 4.008 s may be held as
// 4.00799999..., which must not show as 4.007.
long long WholeMillis(double t) { return t < 0 ? 0 : static_cast<long long>(std::floor(t * 1000 + 1e-6)); }

void SplitTime(long long ms, int* minutes, int* seconds, int* millis) {
  *minutes = static_cast<int>(ms / 60000);
  *seconds = static_cast<int>(ms / 1000 % 60);
  *millis = static_cast<int>(ms % 1000);
}
}  // namespace

CMainFrame::CMainFrame() : m_waveFrame(GetViewInfo()) {}

CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
  if (!m_waveFrame.Create(this, context ? context->m_pNewViewClass : nullptr, context)) return FALSE;
  const LONG exStyle = ::GetWindowLongA(m_hWnd, GWL_EXSTYLE);
  if (exStyle & WS_EX_CLIENTEDGE) {
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, exStyle & ~WS_EX_CLIENTEDGE);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
  if (CTKFrameWnd::OnCreate(cs) == -1) return -1;
  CTKVisualManager::SelectLookClass(RUNTIME_CLASS(CTVLVisualManager));
  if (!CreateBars()) return -1;
  m_hAccelTable = ::LoadAcceleratorsA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
  // The caption and the task switcher take the icon's own 16 x 16 and 32 x 32 images
  // rather than one scaled from the other.
  for (const int kind : {ICON_SMALL, ICON_BIG}) {
    const int size = kind == ICON_SMALL ? 16 : 32;
    if (HANDLE icon = ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size,
                                   size, LR_SHARED))
      SendMessage(WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
  }
  settings::SetColorSchemeAppliedHook(ColorsApplied);
  m_nTimer = SetTimer(kHeartbeatTimer, kHeartbeatMs);
  ReadFreeSpace();
  return 0;
}

BOOL CMainFrame::CreateBars() {
  // The menu bar.
  if (!m_wndMenuBar.Create(this, kBarBase | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_HIDE_INPLACE,
                           IDW_MENU_BAR))
    return FALSE;
  m_wndMenuBar.SetBarStyle(m_wndMenuBar.GetBarStyleBits() | CBRS_SIZE_DYNAMIC);

  // The toolbars: 256-colour images only on screens that show more than 256 colours.
  HDC screen = ::GetDC(nullptr);
  const BOOL colours = ::GetDeviceCaps(screen, BITSPIXEL) > 8;
  ::ReleaseDC(nullptr, screen);
  auto image = [colours](UINT id) { return colours ? id : 0u; };
  // Disabled buttons and menu items are drawn greyed from their main images: the
  // toolkit draws nothing at all for a disabled button that takes its image from a
  // disabled list, so the grey strips (IDB_*_DISABLED) stay unloaded.
  constexpr UINT kDisabledImages = 0;
  CTKToolBar::SetSizes(CSize(23, 23), CSize(16, 16));
  const DWORD toolbarStyle =
      kBarBase | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_FLYBY | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC;
  if (!m_wndToolBar.CreateEx(this, kFlatToolbar, toolbarStyle, CRect(1, 1, 1, 1), IDW_MAIN_TOOLBAR) ||
      !m_wndToolBar.LoadToolBar(IDR_MAINFRAME, image(IDB_MAIN_COLD), image(IDB_MAIN_COLD), FALSE,
                                kDisabledImages, kDisabledImages, image(IDB_MAIN_HOT)))
    return FALSE;
  if (!m_wndEffectBar.CreateEx(this, kFlatToolbar, toolbarStyle | CBRS_HIDE_INPLACE, CRect(1, 1, 1, 1),
                               ID_VIEW_EFFECT_TOOLBAR) ||
      !m_wndEffectBar.LoadToolBar(IDR_EFFECT_TOOLBAR, image(IDB_EFFECT_COLD), image(IDB_EFFECT_COLD), FALSE,
                                  kDisabledImages, kDisabledImages, image(IDB_EFFECT_HOT)))
    return FALSE;
  const DWORD shortcutsStyle = kBarBase | CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT | CBRS_FLYBY | CBRS_TOOLTIPS |
                               CBRS_HIDE_INPLACE | CBRS_SIZE_DYNAMIC;
  if (!m_wndShortcutsBar.CreateEx(this, kFlatToolbar, shortcutsStyle, CRect(1, 1, 1, 1),
                                  ID_VIEW_SHORTCUTS_BAR) ||
      !m_wndShortcutsBar.LoadToolBar(IDR_SHORTCUTS_TOOLBAR, image(IDB_SHORTCUTS_COLD),
                                     image(IDB_SHORTCUTS_COLD), FALSE, kDisabledImages, kDisabledImages,
                                     image(IDB_SHORTCUTS_COLD)))
    return FALSE;

  // Images for menu items that no toolbar carries.
  CTKToolBar::AddToolBarImages(IDR_MENU_IMAGES);

  // The status bar and its panes.
  static const UINT kPanes[] = {0, ID_PANE_RATE, ID_PANE_SELECTION, ID_PANE_FREE};
  if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP,
                             IDW_STATUS_BAR) ||
      !m_wndStatusBar.SetIndicators(kPanes, 4))
    return FALSE;

  // The control panel at the bottom and the peak meter at the right.
  if (!m_wndPanel.Create(
          "", this, FALSE, MAKEINTRESOURCEA(IDD_RECORD_PANEL),
          kBarBase | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP | CBRS_FLYBY | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC,
          kPanelBarId))
    return FALSE;
  if (!m_wndPeakMeter.Create("", this, 32, 200, FALSE, IDW_PEAK_METER,
                             kBarBase | CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT | CBRS_FLYBY | CBRS_SIZE_DYNAMIC))
    return FALSE;
  CTKSizingControlBar::SetCaptionLook(0, 0, 1);
  ConnectMeter();

  // Titles.
  CString title;
  title.LoadString(IDS_MAIN_TOOLBAR);
  m_wndToolBar.SetWindowText(title);
  title.LoadString(IDS_EFFECT_TOOLBAR);
  m_wndEffectBar.SetWindowText(title);
  m_wndShortcutsBar.SetWindowText(app_text::kShortcutsBarTitle);

  // Docking.
  m_wndMenuBar.EnableDocking(CBRS_ALIGN_ANY);
  m_wndToolBar.EnableDocking(kToolbarDocking);
  m_wndEffectBar.EnableDocking(kToolbarDocking);
  m_wndShortcutsBar.EnableDocking(kToolbarDocking);
  m_wndPanel.EnableDocking(CBRS_ALIGN_ANY);
  m_wndPeakMeter.EnableDocking(CBRS_ALIGN_ANY);
  EnableDocking(CBRS_ALIGN_ANY);
  DockControlBar(&m_wndMenuBar, AFX_IDW_DOCKBAR_TOP);
  DockControlBar(&m_wndToolBar, AFX_IDW_DOCKBAR_TOP);
  DockControlBarBeside(&m_wndEffectBar, &m_wndToolBar);
  DockControlBar(&m_wndShortcutsBar, AFX_IDW_DOCKBAR_LEFT);
  DockControlBar(&m_wndPanel, AFX_IDW_DOCKBAR_BOTTOM);
  DockControlBar(&m_wndPeakMeter, AFX_IDW_DOCKBAR_RIGHT);
  return TRUE;
}

void CMainFrame::ConnectMeter() {
  if (!gAudioIO) return;
  gAudioIO->SetMeterWindow(seams::ToWindowHandle(m_wndPeakMeter.m_hWnd));
  // The heartbeat brings the engine's levels to the meter (no message per period).
  gAudioIO->SetLevelsPolled(true);
}

void CMainFrame::ConnectEngine() {
  if (!gAudioIO) return;
  ConnectMeter();
  if (PanelExists()) m_wndPanel.ConnectEngine();
  if (CView* view = GetActiveView())
    view->SendMessage(kRecordingModeMessage, IsDirectToFileMode() ? 1 : 0, 0);
}

void CMainFrame::HoldFirstShow() { g_holdFirstShow = TRUE; }

void CMainFrame::InitialUpdateFrame(CDocument* doc, BOOL makeVisible) {
  if (g_holdFirstShow && !IsWindowVisible()) {
    m_bShowHeld = m_bShowHeld || makeVisible;
    makeVisible = FALSE;
  }
  CTKFrameWnd::InitialUpdateFrame(doc, makeVisible);
}

void CMainFrame::ShowComplete() {
  g_holdFirstShow = FALSE;
  // What the first idle moments would bring: the bars where the layout puts them and
  // the panes and buttons with their values.
  RecalcLayout();
  SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
  if (!m_bShowHeld) return;
  m_bShowHeld = FALSE;
  ShowInitialFrame();
}

void CMainFrame::OnDestroy() {
  if (m_nTimer) KillTimer(m_nTimer);
  m_nTimer = 0;
  if (gAudioIO && m_wndPeakMeter.m_hWnd &&
      gAudioIO->GetMeterWindow() == seams::ToWindowHandle(m_wndPeakMeter.m_hWnd)) {
    gAudioIO->SetMeterWindow(0);
    gAudioIO->SetLevelsPolled(false);
  }
  settings::SetColorSchemeAppliedHook(nullptr);
  CTKFrameWnd::OnDestroy();
}

void CMainFrame::OnClose() {
  if (m_wndPanel.m_hWnd && !m_wndPanel.QueryStopRecordingToClose()) return;
  // The window's place is kept for the next start, as every toolkit frame keeps it.
  m_Impl.OnClosingFrame();
  CDocument* doc = GetActiveDocument();
  if (doc && !doc->CanCloseFrame(this)) return;
  if (doc)
    doc->OnCloseDocument();
  else
    DestroyWindow();
}

BOOL CMainFrame::OnCmdMsg(UINT id, int code, void* extra) {
  if (m_waveFrame.m_hWnd && m_waveFrame.OnCmdMsg(id, code, extra)) return TRUE;
  // The colour presets and the looks: one handler for each range of commands.
  if (id >= looks::kFlatLookCommand && id <= looks::kGradientLookCommand) {
    if (code == static_cast<int>(CN_UPDATE_COMMAND_UI))
      static_cast<CCmdUI*>(extra)->Enable(TRUE);
    else if (code == static_cast<int>(CN_COMMAND))
      looks::SwitchLook(id);
    return TRUE;
  }
  if (PresetRowOf(id) >= 0) {
    if (code == static_cast<int>(CN_UPDATE_COMMAND_UI))
      static_cast<CCmdUI*>(extra)->Enable(TRUE);
    else if (code == static_cast<int>(CN_COMMAND))
      OnColorPreset(id);
    return TRUE;
  }
  return CTKFrameWnd::OnCmdMsg(id, code, extra);
}

BOOL CMainFrame::PreTranslateMessage(MSG* msg) {
  if (CTKFrameWnd::PreTranslateMessage(msg)) return TRUE;
  return msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hAccelTable &&
         ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg);
}

CString CMainFrame::GetMessageString(UINT id) const {
  if (m_wndPanel.m_hWnd) {
    CString text = m_wndPanel.GetMessageString(id);
    if (!text.IsEmpty()) return text;
  }
  return CTKFrameWnd::GetMessageString(id);
}

BOOL CMainFrame::OnMenuPopupShown(CWnd* popup) {
  CTKFrameWnd::OnMenuPopupShown(popup);
  auto* menu = dynamic_cast<CTKPopupMenu*>(popup);
  if (!menu || CTKToolBar::IsCustomizeMode() || menu->GetMenuBar()->CommandToIndex(ID_VIEW_BARS_PLACE) < 0)
    return TRUE;
  HMENU bars = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_BARS_MENU));
  if (!bars) return TRUE;
  menu->RemoveAllItems();
  menu->GetMenuBar()->ImportFromMenu(::GetSubMenu(bars, 0));
  ::DestroyMenu(bars);
  // The entries show whether their bars are visible.
  menu->GetMenuBar()->OnUpdateCmdUI(this, FALSE);
  menu->RecalcLayout();
  return TRUE;
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id != kHeartbeatTimer) {
    Default();
    return;
  }
  if (++g_tickCount % kBlinkTicks == 0) m_bBlink = !m_bBlink;
  // The latest levels of a running stream; those left over from a stream that ended
  // are dropped, as the panel has emptied the bars by then.
  std::uintptr_t left = 0;
  std::intptr_t right = 0;
  if (gAudioIO && m_wndPeakMeter.m_hWnd && gAudioIO->AreLevelsPolled() &&
      gAudioIO->TakeLevels(&left, &right) && gAudioIO->IsStreamActive())
    m_wndPeakMeter.ShowLevels(left, right);
  if (IsWindowVisible()) {
    if (m_waveFrame.m_hWnd) m_waveFrame.OnRefreshTick(static_cast<int>(kHeartbeatMs));
    if (m_wndPanel.m_hWnd && g_tickCount % 3 == 0) m_wndPanel.OnTick();
  }
  // Every few ticks the status panes follow the clock (remaining time, free space,
  // blinking); the other bars for a few rounds after the program's or the engine's
  // state moved or a message that may change them came, and not while nothing does.
  g_barsIdleTick = FALSE;
  if (g_tickCount % kIdleUpdateTicks == 0) {
    UINT state = GetCommandState();
    if (gAudioIO) {
      if (gAudioIO->IsStreamActive()) state |= 1u << 28;
      if (gAudioIO->IsPaused()) state |= 1u << 29;
      if (gAudioIO->GetNumCaptureChannels() > 0) state |= 1u << 30;
    }
    if (state != g_barsState) g_barsRounds = kBarsRounds;
    g_barsState = state;
    g_barsIdleTick = g_barsRounds > 0;
    if (g_barsIdleTick) --g_barsRounds;
    if (!g_barsIdleTick && m_wndStatusBar.m_hWnd && m_wndStatusBar.IsVisible())
      m_wndStatusBar.OnUpdateCmdUI(this, TRUE);
  }
  CTVLApp* app = GetTVLApp();
  // A primary copy that crashed hands nothing on: the copies that run look for that
  // every two seconds.
  if (app && g_tickCount % 40 == 0) app->m_instances.TakeOverFromGonePrimary();
  if (app && app->m_scheduler.GetActive() && app->m_bSchedulingAllowed) app->m_scheduler.CheckSchedule();
  if (m_bLowStorage != g_lastLowStorage) {
    g_lastLowStorage = m_bLowStorage;
    if (m_bLowStorage) PostMessage(kLowStorageMessage, 0, 0);
  }
}

BOOL CMainFrame::IsIdleTick() { return g_barsIdleTick; }

void CMainFrame::NoteIdleMessage() { g_barsRounds = kBarsRounds; }

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* info) {
  info->ptMinTrackSize.x = kMinTrackWidth;
  info->ptMinTrackSize.y = kMinTrackHeight;
  Default();
}

LRESULT CMainFrame::OnTimeChange(WPARAM, LPARAM) {
  Default();
  if (CTVLApp* app = GetTVLApp()) app->m_scheduler.RebuildToday();
  return 0;
}

LRESULT CMainFrame::OnZoomToFit(WPARAM, LPARAM) {
  if (m_waveFrame.m_hWnd) m_waveFrame.ZoomToFit();
  return 1;
}

LRESULT CMainFrame::OnHomePage(WPARAM wParam, LPARAM) {
  if (wParam != 1) return 1;
  ::ShellExecuteA(m_hWnd, "open", app_text::kHomePage, nullptr, nullptr, SW_SHOWNORMAL);
  return 0;
}

LRESULT CMainFrame::OnSchedulingAllowed(WPARAM, LPARAM) {
  if (CTVLApp* app = GetTVLApp()) app->m_bSchedulingAllowed = TRUE;
  return 0;
}

LRESULT CMainFrame::OnLowStorage(WPARAM, LPARAM) {
  AfxMessageBox(app_text::kLowStorage);
  return 0;
}

LRESULT CMainFrame::OnToolbarContextMenu(WPARAM, LPARAM point) {
  HMENU bars = ::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_BARS_MENU));
  if (!bars) return 0;
  // The popup owns the sub-menu it shows: take it out of the loaded menu first.
  HMENU sub = ::GetSubMenu(bars, 0);
  ::RemoveMenu(bars, 0, MF_BYPOSITION);
  ::DestroyMenu(bars);
  auto* popup = new CTKPopupMenu;
  if (!popup->Create(this, static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point)), sub))
    delete popup;
  return 0;
}

// ---------------------------------------------------------------------------------
// The transport and the panel's buttons.

BOOL CMainFrame::PanelExists() const { return m_wndPanel.m_hWnd && ::IsWindow(m_wndPanel.m_hWnd); }

void CMainFrame::PostToPanel(UINT command) {
  if (!PanelExists()) return;
  ::PostMessageA(m_wndPanel.m_hWnd, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(m_wndPanel.m_hWnd, static_cast<int>(command))));
}

void CMainFrame::OnPlay() { PostToPanel(kPanelPlay); }
void CMainFrame::OnPause() { PostToPanel(kPanelPause); }
void CMainFrame::OnStop() { PostToPanel(kPanelStop); }
void CMainFrame::OnRecord() { PostToPanel(kPanelRecord); }
void CMainFrame::OnPlaybackVolume() { PostToPanel(kPanelSpeaker); }
void CMainFrame::OnRecordVolume() { PostToPanel(kPanelMicrophone); }
void CMainFrame::OnOptions() { PostToPanel(kPanelOptions); }
void CMainFrame::OnRecordWizard() { PostToPanel(kPanelWizard); }

void CMainFrame::OnLoopPlay() {
  if (PanelExists()) m_wndPanel.ToggleLoopPlay();
}

void CMainFrame::OnUpdatePlay(CCmdUI* ui) {
  if (PanelExists()) m_wndPanel.OnUpdatePlay(ui);
}
void CMainFrame::OnUpdatePause(CCmdUI* ui) {
  if (PanelExists()) m_wndPanel.OnUpdatePause(ui);
}
void CMainFrame::OnUpdateStop(CCmdUI* ui) {
  if (PanelExists()) m_wndPanel.OnUpdateStop(ui);
}
void CMainFrame::OnUpdateRecord(CCmdUI* ui) {
  if (PanelExists()) m_wndPanel.OnUpdateRecord(ui);
}
void CMainFrame::OnUpdateOptions(CCmdUI* ui) {
  if (PanelExists()) m_wndPanel.OnUpdateOptions(ui);
}
void CMainFrame::OnUpdateRecordWizard(CCmdUI* ui) {
  if (PanelExists()) m_wndPanel.OnUpdateWizard(ui);
}
void CMainFrame::OnUpdateLoopPlay(CCmdUI* ui) {
  if (PanelExists()) m_wndPanel.OnUpdateLoopPlay(ui);
}

// ---------------------------------------------------------------------------------
// Bars.

void CMainFrame::ToggleBar(CWnd& bar) {
  if (!bar.m_hWnd) return;
  ShowControlBar(&bar, !bar.IsWindowVisible(), FALSE);
  RecalcLayout();
}

void CMainFrame::OnViewToolBar() { ToggleBar(m_wndToolBar); }
void CMainFrame::OnViewPeakMeter() { ToggleBar(m_wndPeakMeter); }
void CMainFrame::OnViewControlPanel() { ToggleBar(m_wndPanel); }
void CMainFrame::OnViewEffectToolBar() { ToggleBar(m_wndEffectBar); }
void CMainFrame::OnViewShortcutsBar() { ToggleBar(m_wndShortcutsBar); }
void CMainFrame::OnViewStatusBar() { ToggleBar(m_wndStatusBar); }

namespace {
void CheckVisible(CWnd& bar, CCmdUI* ui) { ui->SetCheck(bar.m_hWnd && bar.IsWindowVisible() ? 1 : 0); }
}  // namespace

void CMainFrame::OnUpdateViewToolBar(CCmdUI* ui) { CheckVisible(m_wndToolBar, ui); }
void CMainFrame::OnUpdateViewPeakMeter(CCmdUI* ui) { CheckVisible(m_wndPeakMeter, ui); }
void CMainFrame::OnUpdateViewControlPanel(CCmdUI* ui) { CheckVisible(m_wndPanel, ui); }
void CMainFrame::OnUpdateViewEffectToolBar(CCmdUI* ui) { CheckVisible(m_wndEffectBar, ui); }
void CMainFrame::OnUpdateViewShortcutsBar(CCmdUI* ui) { CheckVisible(m_wndShortcutsBar, ui); }
void CMainFrame::OnUpdateViewStatusBar(CCmdUI* ui) { CheckVisible(m_wndStatusBar, ui); }

// ---------------------------------------------------------------------------------
// Refresh, folders, home page.

namespace {
BOOL CALLBACK InvalidateDescendant(HWND window, LPARAM) {
  ::InvalidateRect(window, nullptr, TRUE);
  return TRUE;
}
}  // namespace

void CMainFrame::OnRefresh() {
  ::EnumChildWindows(m_hWnd, InvalidateDescendant, 0);
  CTKVisualManager::GetInstance();
  CTKVisualManager::RedrawAllBars();
  if (m_waveFrame.m_hWnd) m_waveFrame.RedrawAll(TRUE);
  if (PanelExists()) {
    CRect client;
    m_wndPanel.GetClientRect(&client);
    m_wndPanel.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
  }
}

void CMainFrame::OnExploreOutput() {
  CTVLApp* app = GetTVLApp();
  if (!app || app->m_output.strAutoNameFolder.empty()) return;
  ::ShellExecuteA(m_hWnd, "explore", app->m_output.strAutoNameFolder.c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

void CMainFrame::OnBrowseHomepage() { PostMessage(kHomePageMessage, 1, 0); }

// ---------------------------------------------------------------------------------
// Modes, output formats and colours.

void CMainFrame::SetRecordingMode(int mode) {
  CTVLApp* app = GetTVLApp();
  if (!app) return;
  app->m_advance.ActiveRecordingMode = mode;
  app->m_advance.SaveRecordingMode();
  PostToActiveView(kRecordingModeMessage, static_cast<WPARAM>(mode));
}

void CMainFrame::OnEditingMode() { SetRecordingMode(0); }
void CMainFrame::OnDirectMode() { SetRecordingMode(1); }

void CMainFrame::OnSilenceDetection() {
  if (CTVLApp* app = GetTVLApp()) {
    app->m_advance.EnableSilenceDetection = !app->m_advance.EnableSilenceDetection;
    app->m_advance.SaveSilenceDetection();
  }
}

void CMainFrame::OnScheduleFeature() {
  if (CTVLApp* app = GetTVLApp()) {
    app->m_scheduler.SetActive(!app->m_scheduler.GetActive());
    app->m_scheduler.SaveActive();
  }
}

void CMainFrame::OnAutoSave() {
  if (CTVLApp* app = GetTVLApp()) {
    app->m_output.bSaveFile = !app->m_output.bSaveFile;
    if (app->m_output.bSaveFile) app->m_output.bAutoName = 1;
    app->m_output.SaveAutoSave();
  }
}

void CMainFrame::OnColorPreset(UINT id) {
  CTVLApp* app = GetTVLApp();
  const int row = PresetRowOf(id);
  if (app && row >= 0) app->m_colorScheme.ApplyPreset(row);
}

void CMainFrame::SetFileType(int type) {
  if (CTVLApp* app = GetTVLApp()) {
    app->m_output.eFileType = type;
    app->m_output.SaveFileType();
  }
}

void CMainFrame::OnOutputMp3() { SetFileType(0); }
void CMainFrame::OnOutputWav() { SetFileType(1); }
void CMainFrame::OnOutputOgg() { SetFileType(2); }

void CMainFrame::OnUpdateEditingMode(CCmdUI* ui) {
  CTVLApp* app = GetTVLApp();
  ui->SetCheck(app && app->m_advance.ActiveRecordingMode == 0 ? 1 : 0);
  ui->Enable(!EngineRecords());
}

void CMainFrame::OnUpdateDirectMode(CCmdUI* ui) {
  CTVLApp* app = GetTVLApp();
  ui->SetCheck(app && app->m_advance.ActiveRecordingMode == 1 ? 1 : 0);
  ui->Enable(!EngineRecords());
}

void CMainFrame::OnUpdateSilenceDetection(CCmdUI* ui) {
  CTVLApp* app = GetTVLApp();
  ui->SetCheck(app && app->m_advance.EnableSilenceDetection ? 1 : 0);
}

void CMainFrame::OnUpdateScheduleFeature(CCmdUI* ui) {
  CTVLApp* app = GetTVLApp();
  ui->SetCheck(app && app->m_scheduler.GetActive() ? 1 : 0);
}

void CMainFrame::OnUpdateAutoSave(CCmdUI* ui) {
  CTVLApp* app = GetTVLApp();
  ui->SetCheck(app && app->m_output.bSaveFile ? 1 : 0);
}

void CMainFrame::OnUpdateOutputMp3(CCmdUI* ui) {
  CTVLApp* app = GetTVLApp();
  ui->SetCheck(app && app->m_output.eFileType == 0 ? 1 : 0);
}

void CMainFrame::OnUpdateOutputWav(CCmdUI* ui) {
  CTVLApp* app = GetTVLApp();
  ui->SetCheck(app && app->m_output.eFileType == 1 ? 1 : 0);
}

void CMainFrame::OnUpdateOutputOgg(CCmdUI* ui) {
  CTVLApp* app = GetTVLApp();
  ui->SetCheck(app && app->m_output.eFileType == 2 ? 1 : 0);
}

void CMainFrame::OnUpdateAdvancedSettings(CCmdUI* ui) { ui->Enable((GetCommandState() & kStateIdle) != 0); }

void CMainFrame::ApplyColorScheme() {
  CTKVisualManager::GetInstance();
  CTKVisualManager::RedrawAllBars();
  if (m_waveFrame.m_hWnd) m_waveFrame.OnColorSchemeChanged();
  if (PanelExists()) m_wndPanel.ApplyColorScheme();
}

// ---------------------------------------------------------------------------------
// Dialogs.

void CMainFrame::OnScheduleSetting() {
  CTVLApp* app = GetTVLApp();
  if (!app) return;
  RunScheduleSettingDialog(this, &app->m_scheduler,
                           static_cast<int>(app->m_instances.GetLiveInstanceCount()));
}

void CMainFrame::OnAdvancedSettings() { RunAdvanceRecordSettingSheet(this); }

void CMainFrame::OnColorCustom() { RunColorSchemeSheet(this); }

void CMainFrame::OnLogHistory() {
  CTVLApp* app = GetTVLApp();
  if (!app) return;
  std::string folder = app->m_output.strAutoNameFolder;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  RunRecordingLogDialog(this, folder, [](const std::string& path) {
    if (CWinApp* application = AfxGetApp()) application->OpenDocumentFile(path.c_str());
  });
}

void CMainFrame::OnAppExit() { PostMessage(WM_CLOSE, 0, 0); }

// ---------------------------------------------------------------------------------
// Status panes.

std::string CMainFrame::RateText(double rate, bool unsure) {
  char text[64];
  std::snprintf(text, sizeof text, app_text::kRatePane, rate / 1000.0, unsure ? "?" : "");
  return text;
}

std::string CMainFrame::RemainingTimeText(double seconds) {
  char text[128];
  const int minutes = static_cast<int>(seconds) / 60;
  if (minutes >= 120)
    std::snprintf(text, sizeof text, app_text::kRemainingHours, minutes / 60, minutes % 60);
  else if (minutes >= 60)
    std::snprintf(text, sizeof text, app_text::kRemainingOneHour, minutes - 60);
  else if (minutes < 4) {
    if (seconds < 2)
      std::snprintf(text, sizeof text, "%s", app_text::kOutOfDiskSpace);
    else
      std::snprintf(text, sizeof text, app_text::kRemainingSeconds, static_cast<int>(seconds));
  } else
    std::snprintf(text, sizeof text, app_text::kRemainingMinutes, minutes);
  return text;
}

std::string CMainFrame::SelectionText(double t0, double t1, double length) {
  int m0, s0, ms0, m1, s1, ms1, ml, sl, msl;
  SplitTime(WholeMillis(t0), &m0, &s0, &ms0);
  SplitTime(WholeMillis(t1), &m1, &s1, &ms1);
  // A selection's length is what its two shown ends say: 2.000 to 4.008 is 2.008 long.
  const bool selection = t1 - t0 >= 1e-7 && std::fabs(length - (t1 - t0)) < 1e-9;
  SplitTime(selection ? WholeMillis(t1) - WholeMillis(t0) : WholeMillis(length), &ml, &sl, &msl);
  char text[128];
  std::snprintf(text, sizeof text, app_text::kSelectionPane, m0, s0, ms0, m1, s1, ms1, ml, sl, msl);
  return text;
}

std::string CMainFrame::FreeSpaceText(std::uint64_t freeBytes) {
  char text[64];
  std::snprintf(text, sizeof text, app_text::kFreePane, static_cast<double>(freeBytes) * 1e-6);
  return text;
}

void CMainFrame::OnUpdateRatePane(CCmdUI* ui) {
  ui->Enable(TRUE);
  if (Project* project = GetCurrentProject())
    ui->SetText(RateText(project->GetRate(), project->IsRateUnsupported()).c_str());
}

void CMainFrame::OnUpdateSelectionPane(CCmdUI* ui) {
  Project* project = GetCurrentProject();
  if (CTVLApp::IsRecordingInEditingMode()) {
    ui->Enable(m_bBlink);
    CTVLApp* app = GetTVLApp();
    const int bytesPerSample = app ? SampleSize(static_cast<SampleFormat>(app->m_devices.SampleFormat)) : 2;
    const int channels = gAudioIO ? gAudioIO->GetNumCaptureChannels() : 1;
    double seconds = static_cast<double>(m_nFreeBytes) / (bytesPerSample * std::max(1, channels));
    if (project) seconds /= project->GetRate();
    ui->SetText(RemainingTimeText(seconds).c_str());
    return;
  }
  ui->Enable(TRUE);
  ViewInfo* info = GetViewInfo();
  if (!info) return;
  const double t0 = info->t0, t1 = info->t1;
  double length = t1 - t0;
  if (length < 1e-7) {
    length = 0;
    if (project && !project->GetTracks()->IsEmpty())
      length = project->GetTracks()->GetEndTime() - project->GetTracks()->GetStartTime();
  }
  ui->SetText(SelectionText(t0, t1, length).c_str());
}

void CMainFrame::ReadFreeSpace() {
  CTVLApp* app = GetTVLApp();
  std::uint64_t total = 0, free = 0;
  if (app && GetDiskFreeSpace64(app->m_instances.GetInstanceDir(), &total, &free)) {
    m_nTotalBytes = total;
    m_nFreeBytes = free;
  }
}

void CMainFrame::OnUpdateFreePane(CCmdUI* ui) {
  ReadFreeSpace();
  ui->SetText(FreeSpaceText(m_nFreeBytes).c_str());
  CTVLApp* app = GetTVLApp();
  const bool low = app && app->m_output.bTempSpaceAlarm && m_nFreeBytes < app->m_output.TempSpaceThreshold;
  const bool editingRecording = CTVLApp::IsRecordingInEditingMode();
  if (!low && !editingRecording) {
    m_bLowStorage = FALSE;
    ui->Enable(TRUE);
    return;
  }
  ui->Enable(m_bBlink);
  m_bLowStorage = low && !editingRecording;
}
