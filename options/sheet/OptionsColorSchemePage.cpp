#include "options/sheet/OptionsColorSchemePage.h"

#include "options/sheet/DialogControls.h"
#include "options/sheet/OptionsHost.h"
#include "options/sheet/OptionsText.h"

using namespace dialogcontrols;

namespace {
constexpr COLORREF kPlainBarColor = RGB(98, 108, 123);
}

COptionsColorSchemePage::COptionsColorSchemePage() : CTKPropertyPage(IDD) {
  if (const ColorSchemeOptions* colors = GetOptionsHost().colors) m_options = *colors;
}

void COptionsColorSchemePage::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_CS_WF_FG, m_wfForeground);
  DDX_Control(dx, IDC_CS_WF_BG, m_wfBackground);
  DDX_Control(dx, IDC_CS_ST_FG, m_stForeground);
  DDX_Control(dx, IDC_CS_ST_BG, m_stBackground);
  DDX_Control(dx, IDC_CS_TIME_INDICATOR, m_timeIndicator);
  DDX_Control(dx, IDC_CS_CONTROL_BAR, m_controlBar);
}

BOOL COptionsColorSchemePage::OnInitDialog() {
  CTKPropertyPage::OnInitDialog();
  HWND presets = ::GetDlgItem(m_hWnd, IDC_CS_PRESETS);
  for (const char* name : options_text::kColorSchemes)
    ::SendMessageA(presets, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  const struct {
    CTKColorButton* button;
    ColorRef color;
  } buttons[] = {
      {&m_wfForeground, m_options.WaveformForeground},  {&m_wfBackground, m_options.WaveformBackground},
      {&m_stForeground, m_options.SelectionForeground}, {&m_stBackground, m_options.SelectionBackground},
      {&m_timeIndicator, m_options.TimeIndicator},      {&m_controlBar, m_options.ControlBar}};
  for (const auto& b : buttons) {
    b.button->SetAutomaticEntry(options_text::kAutomaticColor, b.color);
    b.button->SetOtherEntry(options_text::kOtherColor);
    b.button->SetColor(b.color);
    b.button->SetColumnsNumber(10);
  }
  SetChecked(m_hWnd, IDC_CS_SYSTEM_3D, m_bSystem3D);
  return TRUE;
}

void COptionsColorSchemePage::OnPreset() {
  const int index = ComboSelection(m_hWnd, IDC_CS_PRESETS);
  if (index < 0 || index >= ColorSchemeOptions::kPresetCount) return;
  m_nPreset = index;
  const ColorSchemeOptions::PresetRow& row = ColorSchemeOptions::Preset(index);
  m_controlBar.SetColor(row[0]);
  m_wfForeground.SetColor(row[1]);
  m_wfBackground.SetColor(row[2]);
  m_stForeground.SetColor(row[3]);
  m_stBackground.SetColor(row[4]);
  m_timeIndicator.SetColor(row[5]);
  m_bSystem3D = FALSE;
  SetChecked(m_hWnd, IDC_CS_SYSTEM_3D, false);
}

void COptionsColorSchemePage::OnSystem3D() {
  m_bSystem3D = IsChecked(m_hWnd, IDC_CS_SYSTEM_3D);
  m_controlBar.SetColor(m_bSystem3D ? ::GetSysColor(COLOR_3DFACE) : kPlainBarColor);
}

void COptionsColorSchemePage::OnOK() {
  CTKPropertyPage::OnOK();
  m_options.SetControlBarColor(m_controlBar.GetColor());
  m_options.WaveformForeground = m_wfForeground.GetColor();
  m_options.WaveformBackground = m_wfBackground.GetColor();
  m_options.SelectionForeground = m_stForeground.GetColor();
  m_options.SelectionBackground = m_stBackground.GetColor();
  m_options.TimeIndicator = m_timeIndicator.GetColor();
  // This page does not wait for the sheet's owner: the scheme is in force at once.
  OptionsHost& host = GetOptionsHost();
  if (host.colors) {
    *host.colors = m_options;
    host.colors->Save();
  }
  if (host.colorsChanged) host.colorsChanged();
}

BEGIN_MESSAGE_MAP(COptionsColorSchemePage, CTKPropertyPage)
  ON_CBN_SELCHANGE(IDC_CS_PRESETS, OnPreset)
  ON_BN_CLICKED(IDC_CS_SYSTEM_3D, OnSystem3D)
END_MESSAGE_MAP()
