#pragma once
// The WAV encoding panel: container, sample rate, sample format and channels of the
// WAV-family output. A child dialog of its host; every choice goes into the record at
// once.
#include "platform/afx/afxwin.h"
#include "resources/resource.h"

class WavEncodeOptions;

class CWaveFileFormatPage : public CDialog {
public:
  enum { IDD = IDD_WAV_FORMAT_PANEL };
  // hostSettings: set by a host that fixes the container itself (its combo is then
  // disabled).
  explicit CWaveFileFormatPage(WavEncodeOptions* record, const void* hostSettings = nullptr);

  BOOL Create(CWnd* parent) { return CDialog::Create(IDD, parent); }
  // Container row `index` modulo the number of containers.
  void SelectFileFormat(int index);

protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnContainer();
  void OnRate();
  void OnFormat();
  void OnChannel();

  DECLARE_MESSAGE_MAP()

private:
  WavEncodeOptions* m_pOptions;
  const void* m_pHostSettings;
  int m_nContainer = -1;
  int m_nRate = -1;
  int m_nFormat = -1;
};
