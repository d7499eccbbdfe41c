#include "options/sheet/MP3FileFormatPage.h"

#include "options/sheet/DialogControls.h"
#include "options/sheet/OptionsText.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdlib>
#include "app/settings/FileEncodeOptions.h"
#include "platform/afx/linux_headers_end.h"

using namespace dialogcontrols;

namespace {
// A combo filled from a table selects the last row when the value is not there.
int FillOrLast(HWND dialog, int id, std::span<const settings::ValueName> table, std::int32_t value) {
  int index = FillCombo(dialog, id, table, value);
  if (index < 0 && !table.empty()) {
    index = static_cast<int>(table.size()) - 1;
    SelectCombo(dialog, id, index);
  }
  return index;
}
std::int32_t ValueAt(std::span<const settings::ValueName> table, int index, std::int32_t otherwise) {
  if (index < 0 || index >= static_cast<int>(table.size())) return otherwise;
  return table[static_cast<size_t>(index)].value;
}
}  // namespace

CMP3FileFormatPage::CMP3FileFormatPage(MP3EncodeOptions* record) : m_pOptions(record) {}

BOOL CMP3FileFormatPage::OnInitDialog() {
  CDialog::OnInitDialog();
  m_bFilling = true;
  m_nVersion = FillOrLast(m_hWnd, IDC_MP3_VERSION, settings::MPEGVersions(), m_pOptions->MP3Version);
  m_nChannel = FillOrLast(m_hWnd, IDC_MP3_CHANNEL, settings::MP3ChannelModes(), m_pOptions->MP3ChannelMode);
  m_nMode = FillOrLast(m_hWnd, IDC_MP3_MODE, settings::MP3EncodeModes(), m_pOptions->MP3EncodeMode);
  m_nQuality =
      FillOrLast(m_hWnd, IDC_MP3_VBR_QUALITY, settings::MP3VBRQualities(), m_pOptions->MP3VBRQuality);
  // Steps of 1000 bit/s on the ABR spin.
  UDACCEL accel{0, 1000};
  SendDlgItemMessage(IDC_MP3_ABR_SPIN, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  FillVersionLists();
  EnableByMode();
  m_bFilling = false;
  return TRUE;
}

void CMP3FileFormatPage::FillVersionLists() {
  MP3EncodeOptions& o = *m_pOptions;
  if (o.MP3BitRate > o.MP3VBRMaxBitRate) o.MP3BitRate = o.MP3VBRMaxBitRate;
  m_nRate = FillOrLast(m_hWnd, IDC_MP3_RATE, GetMP3SampleRateTable(o.MP3Version), o.MP3SampleRate);
  m_nBitRate = FillOrLast(m_hWnd, IDC_MP3_BITRATE, GetMP3BitRateTable(o.MP3Version), o.MP3BitRate);
  m_nMaxBitRate =
      FillOrLast(m_hWnd, IDC_MP3_MAX_BITRATE, GetMP3BitRateTable(o.MP3Version), o.MP3VBRMaxBitRate);
  std::int32_t low = 0, high = 0;
  GetMP3ABRRange(o.MP3Version, &low, &high);
  SendDlgItemMessage(IDC_MP3_ABR_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
  if (o.MP3ABRBitRate < low || o.MP3ABRBitRate > high) o.MP3ABRBitRate = (low + high) / 2;
  const bool filling = m_bFilling;
  m_bFilling = true;
  ::SetDlgItemInt(m_hWnd, IDC_MP3_ABR, static_cast<UINT>(o.MP3ABRBitRate), FALSE);
  SendDlgItemMessage(IDC_MP3_ABR_SPIN, UDM_SETPOS32, 0, o.MP3ABRBitRate);
  m_bFilling = filling;
}

void CMP3FileFormatPage::EnableByMode() {
  const int mode = m_pOptions->MP3EncodeMode;
  const bool abr = mode == 1;
  const bool vbr = mode == 2;
  EnableItem(m_hWnd, IDC_MP3_VBR_QUALITY, vbr);
  EnableItem(m_hWnd, IDC_MP3_MAX_BITRATE, abr || vbr);
  EnableItem(m_hWnd, IDC_MP3_ABR, abr);
  EnableItem(m_hWnd, IDC_MP3_ABR_SPIN, abr);
}

bool CMP3FileFormatPage::LimitedByMaximum() const {
  return m_pOptions->MP3EncodeMode == 1 || m_pOptions->MP3EncodeMode == 2;
}

void CMP3FileFormatPage::DoDataExchange(CDataExchange* dx) {
  if (!dx->m_bSaveAndValidate || !::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_MP3_ABR))) return;
  int abr = 0;
  DDX_Text(dx, IDC_MP3_ABR, abr);
  if (abr < 8000 || abr > 320000) {
    AfxMessageBox(options_text::kAbrRange, MB_ICONEXCLAMATION);
    dx->Fail();
  }
  m_pOptions->MP3ABRBitRate = abr;
}

void CMP3FileFormatPage::OnVersion() {
  const int index = ComboSelection(m_hWnd, IDC_MP3_VERSION);
  if (index < 0) return;
  m_nVersion = index;
  MP3EncodeOptions& o = *m_pOptions;
  o.MP3Version = ValueAt(settings::MPEGVersions(), index, o.MP3Version);
  FillVersionLists();
  const auto bitRates = GetMP3BitRateTable(o.MP3Version);
  o.MP3BitRate = ValueAt(bitRates, m_nBitRate, o.MP3BitRate);
  o.MP3VBRMaxBitRate = ValueAt(bitRates, m_nMaxBitRate, o.MP3VBRMaxBitRate);
  o.MP3SampleRate = ValueAt(GetMP3SampleRateTable(o.MP3Version), m_nRate, o.MP3SampleRate);
  o.MP3ABRBitRate = static_cast<std::int32_t>(::GetDlgItemInt(m_hWnd, IDC_MP3_ABR, nullptr, FALSE));
}

void CMP3FileFormatPage::OnRate() {
  m_nRate = ComboSelection(m_hWnd, IDC_MP3_RATE);
  MP3EncodeOptions& o = *m_pOptions;
  o.MP3SampleRate = ValueAt(GetMP3SampleRateTable(o.MP3Version), m_nRate, o.MP3SampleRate);
}

void CMP3FileFormatPage::OnChannel() {
  m_nChannel = ComboSelection(m_hWnd, IDC_MP3_CHANNEL);
  m_pOptions->MP3ChannelMode = ValueAt(settings::MP3ChannelModes(), m_nChannel, m_pOptions->MP3ChannelMode);
}

void CMP3FileFormatPage::OnQuality() {
  m_nQuality = ComboSelection(m_hWnd, IDC_MP3_VBR_QUALITY);
  if (m_nQuality >= 0) m_pOptions->MP3VBRQuality = m_nQuality;
}

void CMP3FileFormatPage::OnMode() {
  m_nMode = ComboSelection(m_hWnd, IDC_MP3_MODE);
  MP3EncodeOptions& o = *m_pOptions;
  o.MP3EncodeMode = ValueAt(settings::MP3EncodeModes(), m_nMode, o.MP3EncodeMode);
  EnableByMode();
  if (LimitedByMaximum() && o.MP3BitRate > o.MP3VBRMaxBitRate) {
    AfxMessageBox(options_text::kBitRateAboveMaximum);
    o.MP3BitRate = o.MP3VBRMaxBitRate;
    m_nBitRate = FillOrLast(m_hWnd, IDC_MP3_BITRATE, GetMP3BitRateTable(o.MP3Version), o.MP3BitRate);
  }
}

void CMP3FileFormatPage::OnBitRate() {
  MP3EncodeOptions& o = *m_pOptions;
  const int index = ComboSelection(m_hWnd, IDC_MP3_BITRATE);
  const std::int32_t chosen = ValueAt(GetMP3BitRateTable(o.MP3Version), index, o.MP3BitRate);
  if (LimitedByMaximum() && chosen > o.MP3VBRMaxBitRate) {
    AfxMessageBox(options_text::kBitRateAboveMaximum);
    SelectCombo(m_hWnd, IDC_MP3_BITRATE, m_nBitRate);
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_MP3_BITRATE));
    return;
  }
  m_nBitRate = index;
  o.MP3BitRate = chosen;
}

void CMP3FileFormatPage::OnMaxBitRate() {
  MP3EncodeOptions& o = *m_pOptions;
  m_nMaxBitRate = ComboSelection(m_hWnd, IDC_MP3_MAX_BITRATE);
  o.MP3VBRMaxBitRate = ValueAt(GetMP3BitRateTable(o.MP3Version), m_nMaxBitRate, o.MP3VBRMaxBitRate);
  if (LimitedByMaximum() && o.MP3BitRate > o.MP3VBRMaxBitRate) {
    AfxMessageBox(options_text::kBitRateAboveMaximum);
    ::SetFocus(::GetDlgItem(m_hWnd, IDC_MP3_MAX_BITRATE));
  }
}

void CMP3FileFormatPage::OnAbrChange() {
  if (m_bFilling || !m_pOptions) return;
  BOOL ok = FALSE;
  const UINT value = ::GetDlgItemInt(m_hWnd, IDC_MP3_ABR, &ok, FALSE);
  if (ok) m_pOptions->MP3ABRBitRate = static_cast<std::int32_t>(value);
}

BEGIN_MESSAGE_MAP(CMP3FileFormatPage, CDialog)
  ON_CBN_SELCHANGE(IDC_MP3_VERSION, OnVersion)
  ON_CBN_SELCHANGE(IDC_MP3_RATE, OnRate)
  ON_CBN_SELCHANGE(IDC_MP3_CHANNEL, OnChannel)
  ON_CBN_SELCHANGE(IDC_MP3_VBR_QUALITY, OnQuality)
  ON_CBN_SELCHANGE(IDC_MP3_MODE, OnMode)
  ON_CBN_SELCHANGE(IDC_MP3_BITRATE, OnBitRate)
  ON_CBN_SELCHANGE(IDC_MP3_MAX_BITRATE, OnMaxBitRate)
  ON_EN_CHANGE(IDC_MP3_ABR, OnAbrChange)
END_MESSAGE_MAP()
