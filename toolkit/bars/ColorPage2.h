#pragma once
// The colour dialog's Custom page: a hue/saturation field, a lightness bar, and the
// six fields of red, green, blue, hue, saturation and lightness, each 0 to 255.
#include "platform/afx/PropertyPage.h"
#include "toolkit/bars/ColorPickerCtrl.h"

class CTKColorPickerDialog;

class CColorPage2 : public CPropertyPage {
public:
  explicit CColorPage2(CTKColorPickerDialog& dialog);

  // Shows the colour in the fields and both pickers.
  void Setup(int red, int green, int blue);
  CColorPickerCtrl& GetField() { return m_hsPicker; }
  CColorPickerCtrl& GetBar() { return m_luminancePicker; }

  int m_r = 0, m_g = 0, m_b = 0;
  int m_h = 0, m_s = 0, m_l = 0;

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
  // Writes the six values into their fields, each without feeding back.
  void ShowValues();
  // The value typed into a field; FALSE (and the field shows its last good value
  // again) when it is not a number from 0 to 255.
  BOOL ReadField(int id, int& value);
  void FromRgb();
  void FromHls();
  void FromPickers(BOOL fromField);

  CTKColorPickerDialog& m_dialog;
  CColorPickerCtrl m_hsPicker;
  CColorPickerCtrl m_luminancePicker;
  BOOL m_bIsReady = FALSE;
  BOOL m_bInUpdate = FALSE;
};
