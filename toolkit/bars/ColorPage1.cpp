#include "toolkit/bars/ColorPage1.h"

#include "toolkit/bars/ColorDialogText.h"
#include "toolkit/bars/TKColorPickerDialog.h"

CColorPage1::CColorPage1(CTKColorPickerDialog& dialog)
    : CPropertyPage(CTKColorPickerDialog::StandardPageTemplate(), color_dialog_text::kStandard),
      m_dialog(dialog) {}

BOOL CColorPage1::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_hexPicker.SubclassDlgItem(IDC_TKCOLOR_HEXAGONS, this);
  m_hexPickerGrey.SubclassDlgItem(IDC_TKCOLOR_GREYS, this);
  m_hexPicker.SetPalette(m_dialog.GetPalette());
  m_hexPickerGrey.SetPalette(m_dialog.GetPalette());
  m_hexPicker.SetType(CColorPickerCtrl::kHexagon);
  m_hexPickerGrey.SetType(CColorPickerCtrl::kHexagonGreyScale);
  m_hexPicker.SetColor(m_colour);
  m_hexPickerGrey.SetColor(m_colour);
  return TRUE;
}

void CColorPage1::SetRGB(int red, int green, int blue) {
  m_colour = RGB(red, green, blue);
  if (m_hexPicker.m_hWnd) m_hexPicker.SetColor(m_colour);
  if (m_hexPickerGrey.m_hWnd) m_hexPickerGrey.SetColor(m_colour);
}

BOOL CColorPage1::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  if (HIWORD(wParam) == 0 && lParam && (id == IDC_TKCOLOR_HEXAGONS || id == IDC_TKCOLOR_GREYS)) {
    CColorPickerCtrl& picked = id == IDC_TKCOLOR_HEXAGONS ? m_hexPicker : m_hexPickerGrey;
    const COLORREF colour = picked.GetColor();
    SetRGB(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    m_dialog.SetNewColor(colour);
    m_dialog.SetPageTwo(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return TRUE;
  }
  return CPropertyPage::OnCommand(wParam, lParam);
}
