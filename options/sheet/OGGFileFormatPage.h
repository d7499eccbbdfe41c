#pragma once
// The Ogg Vorbis encoding panel: sample rate, encode mode (ABR or VBR), channels, bit
// rate and VBR quality; the control the mode does not use is disabled. Every choice
// goes into the record at once.
#include "platform/afx/afxwin.h"
#include "resources/resource.h"

class OGGEncodeOptions;

class COGGFileFormatPage : public CDialog {
public:
  enum { IDD = IDD_OGG_FORMAT_PANEL };
  explicit COGGFileFormatPage(OGGEncodeOptions* record);

  BOOL Create(CWnd* parent) { return CDialog::Create(IDD, parent); }

protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnRate();
  void OnMode();
  void OnChannel();
  void OnBitRate();
  void OnQuality();

  DECLARE_MESSAGE_MAP()

private:
  void EnableByMode();

  OGGEncodeOptions* m_pOptions;
  int m_nRate = -1;
  int m_nMode = -1;
  int m_nChannel = -1;
  int m_nBitRate = -1;
  int m_nQuality = -1;
};
