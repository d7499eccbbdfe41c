#pragma once
// The recording control panel: Play, Record, Pause and Stop in the editing and the
// directly saving mode, the current time, the input source and the playback and input
// volumes, rewind and fast forward, and the buttons that open the options and the
// Record Wizard. Every transport command of the program (menus, toolbars, scheduler,
// audio engine) arrives here as WM_COMMAND Play, Record, Pause or Stop.
//
// It is a fixed dialog bar made from template IDD_RECORD_PANEL: the user cannot move,
// size or close it.
#include "app/skin/BitmapSlider.h"
#include "app/skin/MMButton.h"
#include "app/skin/MMSmallButton.h"
#include "app/skin/PopupComboButton.h"
#include "app/skin/SeparatorStatic.h"
#include "app/view/ColorStatic.h"
#include "app/bars/TVLFixingDialogBar.h"

class CMMDialogBar : public CTVLFixingDialogBar {
  DECLARE_DYNCREATE(CMMDialogBar)

public:
  CMMDialogBar();
  ~CMMDialogBar() override;

  // Makes the panel from its template inside the parent, and its controls; registers
  // it with the audio engine as the receiver of the Stop command. Its size is at least
  // the panel's smallest.
  BOOL Create(const char* name, CWnd* parent, BOOL hasCaption, const char* dialogTemplate, DWORD style,
              UINT id);
  // The same from IDD_RECORD_PANEL, without caption, docked at the top of a plain frame.
  BOOL Create(CWnd* parent, UINT id);

  void OnPlay();
  void OnRecord();
  void OnPause();
  void OnStop();
  // Before the main window closes: while a recording runs, asks whether to stop it;
  // Yes stops it (and saves it as Stop does), No keeps the window. TRUE when the
  // window may close.
  BOOL QueryStopRecordingToClose();
  void PlayRange(double t0, double t1, BOOL loop);
  // Every third tick of the frame's 50 ms timer: the current time.
  void OnTick();
  // Volumes and input source from the mixer (not while the engine is busy or a
  // slider is dragged).
  void RefreshFromMixer();
  // Shows the engine's input sources, the selected one and the volumes, and gives the
  // engine the panel's window (its Stop comes here). At creation when the engine
  // exists, else by the frame once the program made it.
  void ConnectEngine();
  void ApplyColorScheme();
  // The status-bar text of a slider (its prompt with the value), empty for others.
  CString GetMessageString(UINT id) const;
  BOOL IsLoopPlay() const;
  void ToggleLoopPlay();
  // The options sheet (its five pages); on OK the selector and the volumes follow the
  // devices chosen there. The answer is the sheet's.
  INT_PTR OnOptions();
  INT_PTR OnWizard();
  // The Locate and Select dialog on the current selection, when the project has tracks
  // and nothing of it plays or records.
  void OnCurrentTime();

  // The frame's command states of the panel's commands: the transport commands are
  // checked while their button is latched down and enabled while it is; Options,
  // Wizard and Loop Play are enabled while their button is, Loop Play checked while
  // the loop box is.
  void OnUpdatePlay(CCmdUI* ui);
  void OnUpdateRecord(CCmdUI* ui);
  void OnUpdatePause(CCmdUI* ui);
  void OnUpdateStop(CCmdUI* ui);
  void OnUpdateOptions(CCmdUI* ui);
  void OnUpdateWizard(CCmdUI* ui);
  void OnUpdateLoopPlay(CCmdUI* ui);

  CMMButton& Button(UINT id);
  CBitmapSlider& OutputSlider() { return m_outputSlider; }
  CBitmapSlider& InputSlider() { return m_inputSlider; }
  CPopupComboButton& InputSource() { return m_inputSource; }
  CColorStatic& TimeDisplay() { return m_time; }
  BOOL IsPaused() const { return m_bPaused; }

  static constexpr int kMinWidth = 601;
  static constexpr int kMinHeight = 56;

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnEraseBkgnd(CDC* dc);
  void OnSize(UINT type, int cx, int cy);
  LRESULT OnSourceChosen(WPARAM id, LPARAM index);
  LRESULT OnSourceShown(WPARAM shown, LPARAM);
  LRESULT OnSliderMoving(WPARAM id, LPARAM position);
  LRESULT OnSliderMoved(WPARAM id, LPARAM position);
  // A press on the time display (a window of its own that sends no command) asks for
  // the Locate and Select dialog.
  LRESULT OnParentNotify(WPARAM event, LPARAM point);

private:
  BOOL CreateControls();
  void SetIdleButtons();
  void SetRecordingButtons();
  void SetPlayingButtons();
  void EnableSmall(UINT id, BOOL enable);
  void StopStream();
  void SaveFinishedRecording();
  void Rewind(BOOL shift);
  void FastForward(BOOL shift);
  void SliderChanged(UINT id, int position);
  void StartVolumeControl(const char* arguments);
  // The selector lists the engine's input sources again.
  void ReloadInputSources();
  void UpdateTransport(CCmdUI* ui, CMMButton& button);
  void LayOut(int cx, int cy);

  CMMButton m_play, m_record, m_pause, m_stop;
  CPopupComboButton m_inputSource;
  CMMSmallButton m_loop, m_rewind, m_ffwd, m_options, m_wizard, m_speaker, m_microphone;
  CBitmapSlider m_outputSlider, m_inputSlider;
  CColorStatic m_time;
  CSeparatorStatic m_separators[3];
  BOOL m_bLoop = FALSE;
  RECT m_initialClient{0, 0, 0, 0};
  BOOL m_bPaused = FALSE;
  int m_nOutputPosition = -1;
  int m_nInputPosition = -1;
  BOOL m_bDragging = FALSE;
  BOOL m_bStartingRecord = FALSE;  // Record waits for the new document
  double m_lastShownTime = -1.0;
  BOOL m_bControlsMade = FALSE;

  DECLARE_MESSAGE_MAP()
};
