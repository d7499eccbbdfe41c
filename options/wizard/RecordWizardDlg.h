#pragma once
// The Record Wizard: every recording setting as a coloured summary in five steps; a
// double click on a step opens that step's options page on the wizard's own copies,
// OK stores the copies in the application's records, "&Record" also starts recording.
#include "app/controls/SummaryListBox.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/AdvanceRecordSetting.h"
#include "app/settings/FileEncodeOptions.h"
#include "app/settings/FileOutputOptions.h"
#include "app/settings/InputSourceSetting.h"
#include "app/settings/SoundDeviceOptions.h"
#include "platform/afx/linux_headers_end.h"

class CRecordWizardDlg : public CDialog {
public:
  enum { IDD = IDD_RECORD_WIZARD };
  // The steps, as the flag byte of their summary lines.
  enum Step { kStepDevice = 0, kStepSource = 1, kStepOutput = 2, kStepEncoding = 3, kStepAdvance = 4 };

  explicit CRecordWizardDlg(CWnd* parent = nullptr);

  void FillSummary();
  const CSummaryListBox& GetSummaryList() const { return m_summary; }

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnSummaryDblClk();
  void OnRecord();
  LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
  LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  void AddStep(Step step, const char* header, const std::vector<std::string>& lines);

  SoundDeviceOptions m_devices;
  AdvanceRecordSetting m_advance;
  FileEncodeOptions m_encode;
  FileOutputOptions m_output;
  InputSourceSetting m_inputSource;
  CSummaryListBox m_summary;
  int m_nSelection = -1;
};

// The wizard command of the control panel: the wizard, modal; it applies its own results.
INT_PTR RunRecordWizard(CWnd* parent);
