#include "options/sheet/OptionsFileOutputDlg.h"

#include "options/sheet/DialogControls.h"
#include "options/sheet/OptionsHost.h"
#include "options/sheet/OptionsText.h"

#include "app/controls/FolderDialog.h"

#include "platform/afx/linux_headers_begin.h"
#include <strings.h>
#include <string>
#include "app/settings/SettingsPlatform.h"
#include "platform/afx/linux_headers_end.h"

using namespace dialogcontrols;

namespace {

constexpr int kMaxFolderChars = 266;
constexpr int kMaxLeadChars = 12;
constexpr int kMaxSpaceChars = 20;

// A folder text ends in a separator; a missing one is a backslash.
std::string WithBackslash(std::string path) {
  if (path.empty() || !settings::IsPathSeparator(path.back())) path += '\\';
  return path;
}

// The folder dialog showing only file-system folders, starting at the folder given and
// showing the selected folder's path in its status line; false when the user cancels.
bool ChooseFolder(CWnd* owner, std::string* folder) {
  CFolderDialogEx dialog(owner);
  dialog.SetTitle(options_text::kChooseDirectory);
  dialog.SetStartFolder(folder->c_str());
  if (!dialog.DoModal()) return false;
  *folder = static_cast<const char*>(dialog.GetFolderPath());
  return true;
}

// A whole number in [low, high] from the edit, or the message and a failed exchange.
void ExchangeWhole(CDataExchange* dx, int id, int& value, int low, int high, const char* message) {
  DDX_Text(dx, id, value);
  if (dx->m_bSaveAndValidate && (value < low || value > high)) {
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    dx->Fail();
  }
}

void ExchangeCheck(CDataExchange* dx, int id, std::int32_t& value) {
  HWND dialog = dx->m_pDlgWnd->m_hWnd;
  if (dx->m_bSaveAndValidate)
    value = IsChecked(dialog, id) ? 1 : 0;
  else
    SetChecked(dialog, id, value != 0);
}

}  // namespace

COptionsFileOutputDlg::COptionsFileOutputDlg() : CTKPropertyPage(IDD) {
  if (const FileOutputOptions* output = GetOptionsHost().output) m_options = *output;
}

COptionsFileOutputDlg::COptionsFileOutputDlg(const FileOutputOptions& options)
    : CTKPropertyPage(IDD), m_options(options) {}

std::string COptionsFileOutputDlg::CleanLeadName(std::string text) {
  const size_t space = text.rfind(' ');
  if (space != std::string::npos) text.resize(space);
  for (char c : {'\\', '/', ':', '*', '?', '"', '<', '>', '|', '.'}) {
    const size_t at = text.find(c);
    if (at != std::string::npos) text.resize(at);
  }
  return text;
}

BOOL COptionsFileOutputDlg::OnInitDialog() {
  // The counter's digit count and start number are shown as stored.
  m_nDigits = static_cast<int>(m_options.uFileNameDigitCount);
  m_nStartNo = static_cast<int>(m_options.uStartNO);
  m_nThresholdMB = static_cast<int>(m_options.TempSpaceThreshold / 1000000u);
  m_strFolder = m_options.strAutoNameFolder.c_str();
  m_strLeadName = m_options.strFileLeadName.c_str();
  m_strTempFolder = m_options.strTempFolder.c_str();

  for (const char* type : options_text::kFileTypes)
    SendDlgItemMessage(IDC_FO_FILE_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type));
  SelectCombo(m_hWnd, IDC_FO_FILE_TYPE, m_options.eFileType);
  SendDlgItemMessage(IDC_FO_FOLDER, EM_LIMITTEXT, kMaxFolderChars);
  SendDlgItemMessage(IDC_FO_TEMP_FOLDER, EM_LIMITTEXT, kMaxFolderChars);
  SendDlgItemMessage(IDC_FO_LEAD_NAME, EM_LIMITTEXT, kMaxLeadChars);
  SendDlgItemMessage(IDC_FO_DISK_SPACE, EM_LIMITTEXT, kMaxSpaceChars);
  SendDlgItemMessage(IDC_FO_FREE_SPACE, EM_LIMITTEXT, kMaxSpaceChars);
  // Spin ranges inside the validated ones.
  SendDlgItemMessage(IDC_FO_DIGITS_SPIN, UDM_SETRANGE32, 2, 6);
  SendDlgItemMessage(IDC_FO_START_NO_SPIN, UDM_SETRANGE32, 1, 999999);
  SendDlgItemMessage(IDC_FO_THRESHOLD_SPIN, UDM_SETRANGE32, 0, 0x7FFFFFFF);
  CTKPropertyPage::OnInitDialog();
  ShowDiskSpace(m_options.strTempFolder.c_str());
  return TRUE;
}

void COptionsFileOutputDlg::DoDataExchange(CDataExchange* dx) {
  ExchangeCheck(dx, IDC_FO_AUTO_NAME, m_options.bAutoName);
  ExchangeCheck(dx, IDC_FO_REPLACE, m_options.bReplaceExistingFile);
  ExchangeCheck(dx, IDC_FO_RESET_COUNTER, m_options.bResetCountOnStartup);
  ExchangeCheck(dx, IDC_FO_SAVE_FILE, m_options.bSaveFile);
  ExchangeCheck(dx, IDC_FO_WRAP, m_options.bWrapCounter);
  ExchangeCheck(dx, IDC_FO_ALARM, m_options.bTempSpaceAlarm);
  DDX_Text(dx, IDC_FO_FOLDER, m_strFolder);
  DDX_Text(dx, IDC_FO_LEAD_NAME, m_strLeadName);
  ExchangeWhole(dx, IDC_FO_DIGITS, m_nDigits, 2, 6, options_text::kDigitCountRange);
  ExchangeWhole(dx, IDC_FO_START_NO, m_nStartNo, 1, 999999, options_text::kStartNumberRange);
  DDX_Text(dx, IDC_FO_TEMP_FOLDER, m_strTempFolder);
  ExchangeWhole(dx, IDC_FO_THRESHOLD, m_nThresholdMB, 0, 0x7FFFFFFF, options_text::kThresholdNumber);
}

void COptionsFileOutputDlg::ShowDiskSpace(const char* folder) {
  ULARGE_INTEGER available{}, total{}, free{};
  if (!::GetDiskFreeSpaceExA(folder, &available, &total, &free)) total.QuadPart = free.QuadPart = 0;
  SetItemDouble(m_hWnd, IDC_FO_DISK_SPACE, options_text::kMegabytesFormat,
                static_cast<double>(total.QuadPart) * 0.000001);
  SetItemDouble(m_hWnd, IDC_FO_FREE_SPACE, options_text::kMegabytesFormat,
                static_cast<double>(free.QuadPart) * 0.000001);
}

void COptionsFileOutputDlg::TellFileType() {
  const int type = ComboSelection(m_hWnd, IDC_FO_FILE_TYPE);
  if (m_pFileFormatPage && m_pFileFormatPage->m_hWnd)
    m_pFileFormatPage->SendMessage(kFileTypeMessage, static_cast<WPARAM>(type));
}

void COptionsFileOutputDlg::OnFileType() { TellFileType(); }

BOOL COptionsFileOutputDlg::OnKillActive() {
  if (!CTKPropertyPage::OnKillActive()) return FALSE;
  TellFileType();
  return TRUE;
}

void COptionsFileOutputDlg::OnBrowseFolder() {
  std::string folder = ItemText(m_hWnd, IDC_FO_FOLDER);
  if (ChooseFolder(this, &folder)) SetDlgItemText(IDC_FO_FOLDER, folder.c_str());
}

void COptionsFileOutputDlg::OnBrowseTemp() {
  std::string folder = ItemText(m_hWnd, IDC_FO_TEMP_FOLDER);
  if (!ChooseFolder(this, &folder)) return;
  SetDlgItemText(IDC_FO_TEMP_FOLDER, folder.c_str());
  ShowDiskSpace(folder.c_str());
}

void COptionsFileOutputDlg::OnOK() {
  CTKPropertyPage::OnOK();
  UpdateData(TRUE);
  const int type = ComboSelection(m_hWnd, IDC_FO_FILE_TYPE);
  if (type >= 0 && type <= 2) m_options.eFileType = type;
  m_options.TempSpaceThreshold = static_cast<std::uint64_t>(m_nThresholdMB) * 1000000u;
  // The digit count and the start number are kept as the user typed them (validated
  // 2..6 and 1..999999 on the way in).
  m_options.uFileNameDigitCount = static_cast<std::uint32_t>(m_nDigits);
  m_options.uStartNO = static_cast<std::uint32_t>(m_nStartNo);

  const std::string temp = WithBackslash(static_cast<const char*>(m_strTempFolder));
  const bool tempChanged = ::strcasecmp(temp.c_str(), m_options.strTempFolder.c_str()) != 0;
  m_options.strTempFolder = temp;
  m_options.strAutoNameFolder = WithBackslash(static_cast<const char*>(m_strFolder));
  CreateDirectoryPath(m_options.strAutoNameFolder);
  m_options.strFileLeadName = CleanLeadName(static_cast<const char*>(m_strLeadName));
  if (tempChanged) AfxMessageBox(options_text::kTempFolderNextStart);
  PostToActiveView(kRepaintInfoMessage, 0);
}

BEGIN_MESSAGE_MAP(COptionsFileOutputDlg, CTKPropertyPage)
  ON_CBN_SELCHANGE(IDC_FO_FILE_TYPE, OnFileType)
  ON_BN_CLICKED(IDC_FO_FOLDER_BROWSE, OnBrowseFolder)
  ON_BN_CLICKED(IDC_FO_TEMP_BROWSE, OnBrowseTemp)
END_MESSAGE_MAP()
