#pragma once
// The File Output Encode page: a tab control over the WAV, MP3 and Ogg Vorbis encoding
// panels, which edit the page's copy of the encoding record.
#include "options/sheet/PageGroup.h"
#include "toolkit/frames/TKPropertyPage.h"
#include "resources/resource.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/FileEncodeOptions.h"
#include "platform/afx/linux_headers_end.h"

class CMP3FileFormatPage;
class FileOutputOptions;

class COptionsFileFormatPage : public CTKPropertyPage {
public:
  enum { IDD = IDD_OPTIONS_FILE_FORMAT };
  // A copy of the application's record, or of the one given.
  COptionsFileFormatPage();
  explicit COptionsFileFormatPage(const FileEncodeOptions& options);

  // The output record whose file type picks the first tab (none: the MP3 tab).
  void SetFileOutputOptions(const FileOutputOptions* output) { m_pOutput = output; }
  const FileEncodeOptions& GetOptions() const { return m_options; }

  BOOL OnKillActive() override;

protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnTabChanged(NMHDR* header, LRESULT* result);
  LRESULT OnFileType(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  void ShowTab(int tab);

  FileEncodeOptions m_options;
  const FileOutputOptions* m_pOutput = nullptr;
  CPageGroup m_group;
  CMP3FileFormatPage* m_pMP3Panel = nullptr;
};
