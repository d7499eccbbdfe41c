#include "options/sheet/OGGFileFormatPage.h"

#include "options/sheet/DialogControls.h"

#include "platform/afx/linux_headers_begin.h"
#include "app/settings/FileEncodeOptions.h"
#include "platform/afx/linux_headers_end.h"

using namespace dialogcontrols;

namespace {
// Stores the selected row's value; nothing when no row is selected.
int Choose(HWND dialog, int id, std::span<const settings::ValueName> table, std::int32_t* field) {
  const int index = ComboSelection(dialog, id);
  if (index >= 0 && index < static_cast<int>(table.size())) *field = table[static_cast<size_t>(index)].value;
  return index;
}
}  // namespace

COGGFileFormatPage::COGGFileFormatPage(OGGEncodeOptions* record) : m_pOptions(record) {}

BOOL COGGFileFormatPage::OnInitDialog() {
  CDialog::OnInitDialog();
  OGGEncodeOptions& o = *m_pOptions;
  m_nRate = FillCombo(m_hWnd, IDC_OGG_RATE, settings::OGGSampleRates(), o.OGGSampleRate);
  m_nMode = FillCombo(m_hWnd, IDC_OGG_MODE, settings::OGGEncodeModes(), o.OGGEncodeMode);
  m_nChannel = FillCombo(m_hWnd, IDC_OGG_CHANNEL, settings::OGGChannelModes(), o.OGGChannelMode);
  m_nBitRate = FillCombo(m_hWnd, IDC_OGG_BITRATE, settings::OGGBitRates(), o.OGGBitRate);
  m_nQuality = FillCombo(m_hWnd, IDC_OGG_VBR_QUALITY, settings::OGGVBRQualities(), o.OGGVBRQuality);
  EnableByMode();
  return TRUE;
}

void COGGFileFormatPage::EnableByMode() {
  const bool vbr = m_pOptions->OGGEncodeMode == 1;
  EnableItem(m_hWnd, IDC_OGG_BITRATE, !vbr);
  EnableItem(m_hWnd, IDC_OGG_VBR_QUALITY, vbr);
}

void COGGFileFormatPage::OnRate() {
  m_nRate = Choose(m_hWnd, IDC_OGG_RATE, settings::OGGSampleRates(), &m_pOptions->OGGSampleRate);
}

void COGGFileFormatPage::OnMode() {
  m_nMode = Choose(m_hWnd, IDC_OGG_MODE, settings::OGGEncodeModes(), &m_pOptions->OGGEncodeMode);
  EnableByMode();
}

void COGGFileFormatPage::OnChannel() {
  m_nChannel = Choose(m_hWnd, IDC_OGG_CHANNEL, settings::OGGChannelModes(), &m_pOptions->OGGChannelMode);
}

void COGGFileFormatPage::OnBitRate() {
  m_nBitRate = Choose(m_hWnd, IDC_OGG_BITRATE, settings::OGGBitRates(), &m_pOptions->OGGBitRate);
}

void COGGFileFormatPage::OnQuality() {
  m_nQuality = Choose(m_hWnd, IDC_OGG_VBR_QUALITY, settings::OGGVBRQualities(), &m_pOptions->OGGVBRQuality);
}

BEGIN_MESSAGE_MAP(COGGFileFormatPage, CDialog)
  ON_CBN_SELCHANGE(IDC_OGG_RATE, OnRate)
  ON_CBN_SELCHANGE(IDC_OGG_MODE, OnMode)
  ON_CBN_SELCHANGE(IDC_OGG_CHANNEL, OnChannel)
  ON_CBN_SELCHANGE(IDC_OGG_BITRATE, OnBitRate)
  ON_CBN_SELCHANGE(IDC_OGG_VBR_QUALITY, OnQuality)
END_MESSAGE_MAP()
