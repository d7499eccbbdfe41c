#pragma once
// The main window of the program: the menu bar, the standard, effect and shortcuts
// toolbars, the status bar with the rate, selection and free-space panes, the
// recording control panel at the bottom and the peak meter at the right, with the
// wave frame (time ruler, level ruler and the waveform view) as its client. Its 50 ms
// heartbeat keeps the view following the play and record position, ticks the panel's
// time display, runs the scheduler and watches the temporary folder's free space. It
// forwards the transport commands to the panel and carries the commands for modes,
// output formats, colour schemes, bars and dialogs.
#include "app/bars/TVLMenuBar.h"
#include "app/bars/TVLToolBar.h"
#include "app/panel/MMDialogBar.h"
#include "app/view/PeakMeterWnd.h"
#include "app/view/WaveFrame.h"
#include "platform/afx/afxwin.h"
#include "toolkit/frames/TKFrameWnd.h"
#include "toolkit/frames/TKStatusBar.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdint>
#include <string>
#include "platform/afx/linux_headers_end.h"

// Zoom the view to fit (sent by the application once the window is shown).
inline constexpr UINT kZoomToFitMessage = 0x5F4;
// wParam 1: open the program's home page.
inline constexpr UINT kHomePageMessage = 0x5F6;
// This copy runs the schedules from now on.
inline constexpr UINT kSchedulingAllowedMessage = 0x5FB;
// The temporary folder has fallen below the space alarm's threshold.
inline constexpr UINT kLowStorageMessage = 0x5FC;

class CMainFrame : public CTKFrameWnd {
  DECLARE_DYNCREATE(CMainFrame)

public:
  CMainFrame();
  ~CMainFrame() override;

  static constexpr UINT_PTR kHeartbeatTimer = 1;
  static constexpr UINT kHeartbeatMs = 50;
  // Ticks between two changes of the blink flag.
  static constexpr int kBlinkTicks = 30;
  // Ticks between two idle updates of the panes and buttons that the heartbeat asks
  // for (the blink changes on one of them).
  static constexpr int kIdleUpdateTicks = 5;
  static_assert(kBlinkTicks % kIdleUpdateTicks == 0);
  // The smallest size the user can drag the window to.
  static constexpr int kMinTrackWidth = 606;
  static constexpr int kMinTrackHeight = 336;

  CWaveFrame* GetWaveFrame() { return &m_waveFrame; }
  CMMDialogBar* GetControlPanel() { return &m_wndPanel; }
  CPeakMeterWnd* GetPeakMeter() { return &m_wndPeakMeter; }
  CTKStatusBar* GetStatusBar() { return &m_wndStatusBar; }
  CTVLMenuBar* GetMenuBar() { return &m_wndMenuBar; }
  CTVLToolBar* GetMainToolBar() { return &m_wndToolBar; }
  CTVLToolBar* GetEffectToolBar() { return &m_wndEffectBar; }
  CTVLToolBar* GetShortcutsToolBar() { return &m_wndShortcutsBar; }
  BOOL IsBlinkOn() const { return m_bBlink; }
  BOOL IsLowStorage() const { return m_bLowStorage; }
  // The tick handled last asks for the idle update of every bar (the status bar's
  // panes it brings up to date itself).
  static BOOL IsIdleTick();
  // A message that asks for the idle update came: the heartbeat's next few idle updates
  // include every bar.
  static void NoteIdleMessage();

  // Recolours the bars, the wave frame and the control panel from the colour scheme.
  void ApplyColorScheme();
  // Joins the window to the audio engine made after it: the peak meter gets the
  // levels, the control panel shows the mixer's sources and volumes, the view the
  // recording mode's display. A window made after the engine is joined at creation.
  void ConnectEngine();
  // The program's start holds the main window's first showing (set before the frame
  // is made) until ShowComplete, so that the first picture the user sees is the
  // finished window: the engine joined to it, its bars laid out and every pane,
  // button and control up to date.
  static void HoldFirstShow();
  void InitialUpdateFrame(CDocument* doc, BOOL makeVisible) override;
  void ShowComplete();
  // The status-bar prompt of a command: the panel's own first (its sliders show their
  // value), then the command's string.
  CString GetMessageString(UINT id) const override;

  // Commands go to the wave frame (and its view) first, then to the frame.
  BOOL OnCmdMsg(UINT id, int code, void* extra) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnMenuPopupShown(CWnd* popup) override;

  // The status panes' texts, for the values given (they are the frame's own
  // formatting, shared with the tests).
  static std::string RemainingTimeText(double seconds);
  static std::string SelectionText(double t0, double t1, double length);
  static std::string RateText(double rate, bool unsure);
  static std::string FreeSpaceText(std::uint64_t freeBytes);

protected:
  BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context) override;
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  // Closing the main window closes the document (after the save question) with it,
  // so the project is gone before the program's exit tears down what it uses.
  void OnClose();
  void OnTimer(UINT_PTR id);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  LRESULT OnTimeChange(WPARAM, LPARAM);
  LRESULT OnZoomToFit(WPARAM, LPARAM);
  LRESULT OnHomePage(WPARAM wParam, LPARAM);
  LRESULT OnSchedulingAllowed(WPARAM, LPARAM);
  LRESULT OnLowStorage(WPARAM, LPARAM);
  LRESULT OnToolbarContextMenu(WPARAM, LPARAM point);

  // Transport and panel commands.
  void OnPlay();
  void OnPause();
  void OnStop();
  void OnRecord();
  void OnPlaybackVolume();
  void OnRecordVolume();
  void OnLoopPlay();
  void OnOptions();
  void OnRecordWizard();
  void OnUpdatePlay(CCmdUI* ui);
  void OnUpdatePause(CCmdUI* ui);
  void OnUpdateStop(CCmdUI* ui);
  void OnUpdateRecord(CCmdUI* ui);
  void OnUpdateLoopPlay(CCmdUI* ui);
  void OnUpdateOptions(CCmdUI* ui);
  void OnUpdateRecordWizard(CCmdUI* ui);

  // Bars.
  void OnViewToolBar();
  void OnViewPeakMeter();
  void OnViewControlPanel();
  void OnViewEffectToolBar();
  void OnViewShortcutsBar();
  void OnViewStatusBar();
  void OnUpdateViewToolBar(CCmdUI* ui);
  void OnUpdateViewPeakMeter(CCmdUI* ui);
  void OnUpdateViewControlPanel(CCmdUI* ui);
  void OnUpdateViewEffectToolBar(CCmdUI* ui);
  void OnUpdateViewShortcutsBar(CCmdUI* ui);
  void OnUpdateViewStatusBar(CCmdUI* ui);

  // Settings and dialogs.
  void OnRefresh();
  void OnExploreOutput();
  void OnBrowseHomepage();
  void OnEditingMode();
  void OnDirectMode();
  void OnSilenceDetection();
  void OnScheduleFeature();
  void OnAutoSave();
  void OnColorPreset(UINT id);
  void OnOutputMp3();
  void OnOutputWav();
  void OnOutputOgg();
  void OnScheduleSetting();
  void OnAdvancedSettings();
  void OnColorCustom();
  void OnLogHistory();
  void OnAppExit();
  void OnUpdateEditingMode(CCmdUI* ui);
  void OnUpdateDirectMode(CCmdUI* ui);
  void OnUpdateSilenceDetection(CCmdUI* ui);
  void OnUpdateScheduleFeature(CCmdUI* ui);
  void OnUpdateAutoSave(CCmdUI* ui);
  void OnUpdateOutputMp3(CCmdUI* ui);
  void OnUpdateOutputWav(CCmdUI* ui);
  void OnUpdateOutputOgg(CCmdUI* ui);
  void OnUpdateAdvancedSettings(CCmdUI* ui);

  // Status panes.
  void OnUpdateRatePane(CCmdUI* ui);
  void OnUpdateSelectionPane(CCmdUI* ui);
  void OnUpdateFreePane(CCmdUI* ui);

private:
  BOOL CreateBars();
  void ConnectMeter();
  // Posts a command to the control panel, with its button as the sender.
  void PostToPanel(UINT command);
  BOOL PanelExists() const;
  // Shows the bar when hidden and hides it when shown.
  void ToggleBar(CWnd& bar);
  void SetFileType(int type);
  void SetRecordingMode(int mode);
  void ReadFreeSpace();

  CTVLMenuBar m_wndMenuBar;
  CTKStatusBar m_wndStatusBar;
  CTVLToolBar m_wndToolBar;
  CTVLToolBar m_wndEffectBar;
  CTVLToolBar m_wndShortcutsBar;
  CMMDialogBar m_wndPanel;
  CPeakMeterWnd m_wndPeakMeter;
  CWaveFrame m_waveFrame;
  UINT_PTR m_nTimer = 0;
  BOOL m_bLowStorage = FALSE;
  std::uint64_t m_nTotalBytes = 0;
  std::uint64_t m_nFreeBytes = 0;
  BOOL m_bBlink = FALSE;
  BOOL m_bShowHeld = FALSE;  // the initial update asked to show the frame

  DECLARE_MESSAGE_MAP()
};
