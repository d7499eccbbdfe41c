#pragma once
// The save dialog of documents: the common save dialog with the program's file types
// and, below its controls, the encoding panel of the chosen type (Ogg Vorbis, MP3, or
// WAV with the container of the chosen sound-file type). The panels edit a working
// copy of the encoding settings, which a confirmed save hands to the exporters.
#include "platform/afx/afxwin.h"

#include <commdlg.h>

#include "platform/afx/linux_headers_begin.h"
#include <memory>
#include <string>
#include "app/settings/FileEncodeOptions.h"
#include "platform/afx/linux_headers_end.h"

#include "options/sheet/PageGroup.h"

class COGGFileFormatPage;
class CMP3FileFormatPage;
class CWaveFileFormatPage;

class CCustomSaveDlg {
public:
  // proposedName: the name offered (its extension chooses the initial type); title
  // may be null (the system's title).
  CCustomSaveDlg(const char* proposedName, const char* title, DWORD flags, HWND owner);
  ~CCustomSaveDlg();
  CCustomSaveDlg(const CCustomSaveDlg&) = delete;
  CCustomSaveDlg& operator=(const CCustomSaveDlg&) = delete;

  // IDOK or IDCANCEL. On IDOK the working copy of the encoding settings becomes the
  // record that saves and exports read.
  INT_PTR DoModal();
  CString GetPathName() const { return CString(m_szFileName); }
  const FileEncodeOptions& GetEncodeOptions() const { return m_encode; }

  // The panel shown for a 0-based file type: 0 Ogg Vorbis, 1 MP3, 2 and above WAV.
  static int PageOfType(int typeIndex) { return typeIndex < 2 ? (typeIndex < 0 ? 0 : typeIndex) : 2; }

private:
  static UINT_PTR CALLBACK HookProc(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog(HWND hook);
  void OnTypeChange();
  void ShowPageOfType(int typeIndex);

  OPENFILENAMEA m_ofn{};
  char m_szFileName[260] = {};
  std::string m_strFilter;
  std::string m_strDefExt;
  std::string m_strTitle;

  CPageGroup m_pageGroup;
  RECT m_rcPanels{0, 0, 0, 0};
  BOOL m_bPanelsRect = FALSE;
  std::unique_ptr<COGGFileFormatPage> m_pOggPage;
  std::unique_ptr<CMP3FileFormatPage> m_pMp3Page;
  std::unique_ptr<CWaveFileFormatPage> m_pWavPage;
  CWnd m_wndHook;
  // The working copy, laid out as the encoding record.
  FileEncodeOptions m_encode;
};
