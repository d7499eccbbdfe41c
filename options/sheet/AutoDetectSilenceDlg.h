#pragma once
// The silence monitor: runs a listening-only stream on the audio engine and shows the
// zero-crossing rate and the signal energy of the live input per channel (minimum,
// maximum, average), and hands factors derived from them to the recording settings
// page. The input source and the volumes of the mixer can be changed meanwhile.
#include "platform/afx/afxwin.h"
#include "resources/resource.h"

class COptionsAdvanceRecordSettingPage;

class CAutoDetectSilenceDlg : public CDialog {
public:
  enum { IDD = IDD_AUTO_DETECT_SILENCE };
  // receiver: the page that takes the factors (also the parent); may be null.
  explicit CAutoDetectSilenceDlg(COptionsAdvanceRecordSettingPage* receiver, CWnd* parent = nullptr);
  ~CAutoDetectSilenceDlg() override;

  bool IsMonitoring() const { return m_nRunning == 0; }
  unsigned GetCount() const { return m_uCount; }

  // The statistics of one channel.
  struct Channel {
    double zcrMin, zcrMax, zcrSum;
    double seMin, seMax, seSum;
  };

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  LRESULT OnStatistics(WPARAM wParam, LPARAM lParam);
  void OnHScroll(UINT code, UINT position, CWnd* scrollBar);
  void OnSetFactors();
  void OnSource();
  void OnDestroy();

  DECLARE_MESSAGE_MAP()

private:
  // The look before any run (false), or the start of a run (true).
  void ResetStatistics(bool forRun);
  void ShowStatistics();
  void SetIdleLook(bool idle, const char* buttonText);
  void StopMonitoring();
  void SetMonitorFlag(int flag);

  COptionsAdvanceRecordSettingPage* m_pReceiver;
  int m_nRunning = 1;  // 1 idle, 0 monitoring
  int m_nChoice = 2;   // 0 minimum, 1 maximum, 2 average
  int m_nSkip = 1;
  int m_nSkipCount = 0;
  Channel m_channels[2]{};
  unsigned m_uCount = 1;
  int m_nSource = 0;
  float m_fInputVolume = 0.0f;
  float m_fOutputVolume = 0.0f;
};
