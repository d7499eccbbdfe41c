#pragma once
// The Advance recording setting page: recording mode, time limit, silence detection
// (algorithms, logic, factors, delays and the actions it takes) and automatic splitting.
// Its "Auto-Detect" button measures the factors on the live input.
#include "app/controls/NumSpinCtrl.h"
#include "toolkit/frames/TKPropertyPage.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/AdvanceRecordSetting.h"
#include "platform/afx/linux_headers_end.h"

class COptionsAdvanceRecordSettingPage : public CTKPropertyPage {
public:
  enum { IDD = IDD_OPTIONS_ADVANCE_RECORD };
  COptionsAdvanceRecordSettingPage();
  explicit COptionsAdvanceRecordSettingPage(const AdvanceRecordSetting& options);

  const AdvanceRecordSetting& GetOptions() const { return m_options; }
  // Factors measured by the silence monitor: zero-crossing and energy, left and right.
  void SetFactors(double zcrLeft, double zcrRight, double seLeft, double seRight);

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  void OnLimit();
  void OnSilence();
  void OnAutoSplit();
  void OnDefault();
  void OnAutoDetect();

  DECLARE_MESSAGE_MAP()

private:
  void ShowValues();
  void EnableGroups();

  AdvanceRecordSetting m_options;
  CNumSpinCtrl m_limitSpin;
  CNumSpinCtrl m_zcrLeftSpin;
  CNumSpinCtrl m_zcrRightSpin;
  CNumSpinCtrl m_zcrDelaySpin;
  CNumSpinCtrl m_seLeftSpin;
  CNumSpinCtrl m_seRightSpin;
  CNumSpinCtrl m_seDelaySpin;
  CNumSpinCtrl m_splitSpin;
  bool m_bSpinsReady = false;
};
