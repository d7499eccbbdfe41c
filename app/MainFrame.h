#pragma once
// The main window of the program: the frame the document template makes, with the
// wave frame (time ruler, level ruler and the waveform view) as its client, and the
// program's heartbeat timer that keeps the view following the play and record
// position.
#include "app/view/WaveFrame.h"
#include "platform/afx/afxwin.h"

// Zoom the view to fit (sent by the application once the window is shown).
inline constexpr UINT kZoomToFitMessage = 0x5F4;

class CMainFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CMainFrame)

public:
  CMainFrame();

  static constexpr UINT_PTR kHeartbeatTimer = 1;
  static constexpr UINT kHeartbeatMs = 50;
  // Ticks between two changes of the blink flag.
  static constexpr int kBlinkTicks = 30;

  CWaveFrame* GetWaveFrame() { return &m_waveFrame; }
  BOOL IsBlinkOn() const { return m_bBlink; }

protected:
  BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context) override;
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  // Closing the main window closes the document (after the save question) with it,
  // so the project is gone before the program's exit tears down what it uses.
  void OnClose();
  void OnTimer(UINT_PTR id);
  LRESULT OnZoomToFit(WPARAM, LPARAM);

private:
  CWaveFrame m_waveFrame;
  UINT_PTR m_nTimer = 0;
  BOOL m_bBlink = FALSE;

  DECLARE_MESSAGE_MAP()
};
