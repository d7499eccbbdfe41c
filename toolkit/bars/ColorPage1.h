#pragma once
// The colour dialog's Standard page: a honeycomb of colours and a row of greys.
#include "platform/afx/PropertyPage.h"
#include "toolkit/bars/ColorPickerCtrl.h"

class CTKColorPickerDialog;

class CColorPage1 : public CPropertyPage {
public:
  explicit CColorPage1(CTKColorPickerDialog& dialog);

  // Both pickers take the colour (the matching cell shows picked).
  void SetRGB(int red, int green, int blue);
  CColorPickerCtrl& GetHexagons() { return m_hexPicker; }
  CColorPickerCtrl& GetGreys() { return m_hexPickerGrey; }

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
  CTKColorPickerDialog& m_dialog;
  CColorPickerCtrl m_hexPicker;
  CColorPickerCtrl m_hexPickerGrey;
  COLORREF m_colour = RGB(0, 0, 0);
};
