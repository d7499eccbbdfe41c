#include "toolkit/bars/ColorPage2.h"

#include "toolkit/bars/ColorDialogText.h"
#include "toolkit/bars/TKColorPickerDialog.h"
#include "toolkit/frames/DrawManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <algorithm>
#include <cstdlib>
#include "platform/afx/linux_headers_end.h"

namespace {

// A 0..1 component as the fields show it.
int Shown(double value) { return std::min(255, static_cast<int>(value * 255 + 0.5)); }
// A field's value as a 0..1 component.
double Component(int value) { return std::min(1.0, (value + 0.5) / 255); }

}  // namespace

CColorPage2::CColorPage2(CTKColorPickerDialog& dialog)
    : CPropertyPage(CTKColorPickerDialog::CustomPageTemplate(), color_dialog_text::kCustom),
      m_dialog(dialog) {}

BOOL CColorPage2::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_hsPicker.SubclassDlgItem(IDC_TKCOLOR_SWATCH, this);
  m_luminancePicker.SubclassDlgItem(IDC_TKCOLOR_LIGHTNESS_BAR, this);
  m_hsPicker.SetPalette(m_dialog.GetPalette());
  m_luminancePicker.SetPalette(m_dialog.GetPalette());
  m_hsPicker.SetType(CColorPickerCtrl::kPicker);
  m_luminancePicker.SetType(CColorPickerCtrl::kLuminanceBar);
  m_luminancePicker.SetLuminanceBarWidth(14);
  for (int spin = IDC_TKCOLOR_RED_SPIN; spin <= IDC_TKCOLOR_RED_SPIN + 5; ++spin)
    SendDlgItemMessage(spin, UDM_SETRANGE, 0, MAKELPARAM(255, 0));
  m_bIsReady = TRUE;
  Setup(m_r, m_g, m_b);
  return TRUE;
}

void CColorPage2::Setup(int red, int green, int blue) {
  m_r = red;
  m_g = green;
  m_b = blue;
  double hue = 0, saturation = 0, lightness = 0;
  DrawManager::RgbToHls(RGB(red, green, blue), &hue, &saturation, &lightness);
  m_h = Shown(hue);
  m_s = Shown(saturation);
  m_l = Shown(lightness);
  if (!m_bIsReady) return;
  ShowValues();
  m_hsPicker.SetHLS(hue, lightness, saturation);
  m_luminancePicker.SetHLS(hue, lightness, saturation);
}

void CColorPage2::ShowValues() {
  if (!m_hWnd) return;
  const BOOL was = m_bInUpdate;
  m_bInUpdate = TRUE;
  const struct {
    int id;
    int value;
  } fields[] = {{IDC_TKCOLOR_RED, m_r}, {IDC_TKCOLOR_GREEN, m_g},      {IDC_TKCOLOR_BLUE, m_b},
                {IDC_TKCOLOR_HUE, m_h}, {IDC_TKCOLOR_SATURATION, m_s}, {IDC_TKCOLOR_LIGHTNESS, m_l}};
  for (const auto& field : fields) {
    // A field the user is typing in keeps its text while it says the same value.
    char text[16] = "";
    ::GetDlgItemTextA(m_hWnd, field.id, text, sizeof text);
    if (text[0] == 0 || std::atoi(text) != field.value) ::SetDlgItemInt(m_hWnd, field.id, field.value, FALSE);
  }
  m_bInUpdate = was;
}

BOOL CColorPage2::ReadField(int id, int& value) {
  char text[16] = "";
  ::GetDlgItemTextA(m_hWnd, id, text, sizeof text);
  char* end = nullptr;
  const long read = std::strtol(text, &end, 10);
  if (text[0] != 0 && end && *end == 0 && read >= 0 && read <= 255) {
    value = static_cast<int>(read);
    return TRUE;
  }
  if (text[0] == 0) return FALSE;  // an emptied field waits for the new number
  // Out of range: the field shows its last good value again.
  m_bInUpdate = TRUE;
  ::SetDlgItemInt(m_hWnd, id, static_cast<UINT>(value), FALSE);
  ::SendDlgItemMessageA(m_hWnd, id, EM_SETSEL, 0, -1);
  m_bInUpdate = FALSE;
  ::MessageBeep(MB_ICONWARNING);
  return FALSE;
}

void CColorPage2::FromRgb() {
  const COLORREF colour = RGB(m_r, m_g, m_b);
  m_dialog.SetNewColor(colour);
  m_dialog.SetPageOne(static_cast<BYTE>(m_r), static_cast<BYTE>(m_g), static_cast<BYTE>(m_b));
  double hue = 0, saturation = 0, lightness = 0;
  DrawManager::RgbToHls(colour, &hue, &saturation, &lightness);
  m_h = Shown(hue);
  m_s = Shown(saturation);
  m_l = Shown(lightness);
  ShowValues();
  m_hsPicker.SetHLS(hue, lightness, saturation);
  m_luminancePicker.SetHLS(hue, lightness, saturation);
}

void CColorPage2::FromHls() {
  const double hue = Component(m_h), saturation = Component(m_s), lightness = Component(m_l);
  const COLORREF colour = DrawManager::HlsToRgb(hue, lightness, saturation);
  m_r = GetRValue(colour);
  m_g = GetGValue(colour);
  m_b = GetBValue(colour);
  ShowValues();
  m_dialog.SetNewColor(colour);
  m_dialog.SetPageOne(static_cast<BYTE>(m_r), static_cast<BYTE>(m_g), static_cast<BYTE>(m_b));
  m_hsPicker.SetHLS(hue, lightness, saturation);
  m_luminancePicker.SetHLS(hue, lightness, saturation);
}

void CColorPage2::FromPickers(BOOL fromField) {
  double hue = 0, saturation = 0, lightness = 0;
  if (fromField) {
    m_hsPicker.GetHLS(&hue, nullptr, &saturation);
    m_luminancePicker.GetHLS(nullptr, &lightness, nullptr);
    m_luminancePicker.SetHLS(hue, -1.0, saturation);
  } else {
    m_luminancePicker.GetHLS(&hue, &lightness, &saturation);
    m_hsPicker.SetHLS(-1.0, lightness, -1.0, FALSE);
  }
  const COLORREF colour = DrawManager::HlsToRgb(hue, lightness, saturation);
  m_r = GetRValue(colour);
  m_g = GetGValue(colour);
  m_b = GetBValue(colour);
  m_h = Shown(hue);
  m_s = Shown(saturation);
  m_l = Shown(lightness);
  ShowValues();
  m_dialog.SetNewColor(colour);
  m_dialog.SetPageOne(static_cast<BYTE>(m_r), static_cast<BYTE>(m_g), static_cast<BYTE>(m_b));
}

BOOL CColorPage2::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (lParam && code == 0 && (id == IDC_TKCOLOR_SWATCH || id == IDC_TKCOLOR_LIGHTNESS_BAR)) {
    if (m_bIsReady && !m_bInUpdate) FromPickers(id == IDC_TKCOLOR_SWATCH);
    return TRUE;
  }
  if (lParam && code == EN_CHANGE && id >= IDC_TKCOLOR_RED && id <= IDC_TKCOLOR_HUE) {
    if (!m_bIsReady || m_bInUpdate) return TRUE;
    switch (id) {
      case IDC_TKCOLOR_RED:
        if (ReadField(id, m_r)) FromRgb();
        break;
      case IDC_TKCOLOR_GREEN:
        if (ReadField(id, m_g)) FromRgb();
        break;
      case IDC_TKCOLOR_BLUE:
        if (ReadField(id, m_b)) FromRgb();
        break;
      case IDC_TKCOLOR_HUE:
        if (ReadField(id, m_h)) FromHls();
        break;
      case IDC_TKCOLOR_SATURATION:
        if (ReadField(id, m_s)) FromHls();
        break;
      default:
        if (ReadField(id, m_l)) FromHls();
        break;
    }
    return TRUE;
  }
  return CPropertyPage::OnCommand(wParam, lParam);
}
