#pragma once
// The MP3 encoding panel: MPEG version, channel mode, encode mode (CBR, ABR, VBR),
// sample rate, bit rate, maximum bit rate, VBR quality and the ABR bit rate. The rate
// and bit-rate lists follow the version; the controls a mode does not use are
// disabled. Every choice goes into the record at once.
#include "platform/afx/afxwin.h"
#include "resources/resource.h"

class MP3EncodeOptions;

class CMP3FileFormatPage : public CDialog {
public:
  enum { IDD = IDD_MP3_FORMAT_PANEL };
  explicit CMP3FileFormatPage(MP3EncodeOptions* record);

  BOOL Create(CWnd* parent) { return CDialog::Create(IDD, parent); }

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnVersion();
  void OnRate();
  void OnChannel();
  void OnQuality();
  void OnMode();
  void OnBitRate();
  void OnMaxBitRate();
  void OnAbrChange();

  DECLARE_MESSAGE_MAP()

private:
  void FillVersionLists();
  void EnableByMode();
  bool LimitedByMaximum() const;

  MP3EncodeOptions* m_pOptions;
  int m_nVersion = -1;
  int m_nChannel = -1;
  int m_nMode = -1;
  int m_nRate = -1;
  int m_nBitRate = -1;
  int m_nMaxBitRate = -1;
  int m_nQuality = -1;
  bool m_bFilling = false;
};
