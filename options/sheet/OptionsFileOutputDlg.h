#pragma once
// The File Output page: automatic naming and saving, the output folder, the file names'
// lead text, digit count and start number, the output file type, and the temporary
// folder with its free-space alarm.
#include "toolkit/frames/TKPropertyPage.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/FileOutputOptions.h"
#include "platform/afx/linux_headers_end.h"

class COptionsFileOutputDlg : public CTKPropertyPage {
public:
  enum { IDD = IDD_OPTIONS_FILE_OUTPUT };
  COptionsFileOutputDlg();
  explicit COptionsFileOutputDlg(const FileOutputOptions& options);

  // The File Output Encode page that shows the panel of the chosen file type.
  void SetFileFormatPage(CWnd* page) { m_pFileFormatPage = page; }
  const FileOutputOptions& GetOptions() const { return m_options; }

  BOOL OnKillActive() override;
  // The name lead text as it is stored: cut at its last space, then at the first of
  // each character a file name cannot hold.
  static std::string CleanLeadName(std::string text);

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  void OnFileType();
  void OnBrowseFolder();
  void OnBrowseTemp();

  DECLARE_MESSAGE_MAP()

private:
  void ShowDiskSpace(const char* folder);
  void TellFileType();

  FileOutputOptions m_options;
  CWnd* m_pFileFormatPage = nullptr;
  int m_nDigits = 5;
  int m_nStartNo = 1;
  int m_nThresholdMB = 0;
  CString m_strFolder;
  CString m_strLeadName;
  CString m_strTempFolder;
};
