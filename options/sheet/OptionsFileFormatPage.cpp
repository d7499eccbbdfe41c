#include "options/sheet/OptionsFileFormatPage.h"

#include "options/sheet/MP3FileFormatPage.h"
#include "options/sheet/OGGFileFormatPage.h"
#include "options/sheet/OptionsHost.h"
#include "options/sheet/OptionsText.h"
#include "options/sheet/WaveFileFormatPage.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/FileOutputOptions.h"
#include "platform/afx/linux_headers_end.h"

namespace {
// Tabs in the order of the panels: Wav, Mp3, Ogg; file types are 0 MP3, 1 WAV, 2 OGG.
int TabOfFileType(int type) { return type == 1 ? 0 : type == 2 ? 2 : 1; }
}  // namespace

COptionsFileFormatPage::COptionsFileFormatPage() : CTKPropertyPage(IDD) {
  if (const FileEncodeOptions* encode = GetOptionsHost().encode) m_options = *encode;
}

COptionsFileFormatPage::COptionsFileFormatPage(const FileEncodeOptions& options)
    : CTKPropertyPage(IDD), m_options(options) {}

BOOL COptionsFileFormatPage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  auto* wav = new CWaveFileFormatPage(&m_options);
  auto* ogg = new COGGFileFormatPage(&m_options);
  m_pMP3Panel = new CMP3FileFormatPage(&m_options);
  wav->Create(this);
  ogg->Create(this);
  m_pMP3Panel->Create(this);

  HWND tab = ::GetDlgItem(m_hWnd, IDC_FF_TAB);
  for (size_t i = 0; i < options_text::kEncodeTabs.size(); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(options_text::kEncodeTabs[i]);
    ::SendMessageA(tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  RECT frame;
  ::GetWindowRect(tab, &frame);
  ::SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&frame));
  m_group.SetFrame(frame);
  m_group.SetCentered(true);
  m_group.AddPage(wav);
  m_group.AddPage(m_pMP3Panel);
  m_group.AddPage(ogg);
  m_group.SetAutoDelete(true);
  // The panels sit above the tab control.
  for (int i = 0; i < m_group.GetPageCount(); ++i)
    ::SetWindowPos(m_group.GetPage(i)->m_hWnd, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowTab(TabOfFileType(m_pOutput ? m_pOutput->eFileType : 0));
  return TRUE;
}

void COptionsFileFormatPage::ShowTab(int tab) {
  ::SendDlgItemMessageA(m_hWnd, IDC_FF_TAB, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  m_group.ShowPage(tab);
}

void COptionsFileFormatPage::OnTabChanged(NMHDR*, LRESULT* result) {
  const int tab = static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_FF_TAB, TCM_GETCURSEL, 0, 0));
  if (tab >= 0) m_group.ShowPage(tab);
  *result = 0;
}

LRESULT COptionsFileFormatPage::OnFileType(WPARAM wParam, LPARAM) {
  const int type = static_cast<int>(wParam);
  if (type >= 0 && type <= 2) ShowTab(TabOfFileType(type));
  return 0;
}

BOOL COptionsFileFormatPage::OnKillActive() {
  if (!CTKPropertyPage::OnKillActive()) return FALSE;
  // The ABR bit rate is checked when the page is left or the sheet confirmed.
  return m_pMP3Panel && m_pMP3Panel->m_hWnd ? m_pMP3Panel->UpdateData(TRUE) : TRUE;
}

void COptionsFileFormatPage::OnOK() {
  CTKPropertyPage::OnOK();
  // The panels wrote every choice into the copy as it was made.
  PostToActiveView(kRepaintInfoMessage, 0);
}

BEGIN_MESSAGE_MAP(COptionsFileFormatPage, CTKPropertyPage)
  ON_NOTIFY(TCN_SELCHANGE, IDC_FF_TAB, OnTabChanged)
  ON_MESSAGE(kFileTypeMessage, OnFileType)
END_MESSAGE_MAP()
