#pragma once
// The toolkit's colour dialog: a Standard and a Custom page of pickers in a sheet
// inside the dialog, and a swatch of the new colour over the current one. On a
// display of fewer than 256 colours the system's colour dialog stands in for it.
#include "platform/afx/Dialog.h"
#include "toolkit/bars/ColorPage1.h"
#include "toolkit/bars/ColorPage2.h"
#include "toolkit/bars/ColorPickerCtrl.h"
#include "toolkit/bars/PropertySheetCtrl.h"

// Control ids of the dialog and its pages.
enum : UINT {
  IDD_TKCOLOR_DIALOG = 16961,
  IDD_TKCOLOR_STANDARD = 16962,
  IDD_TKCOLOR_CUSTOM = 16963,
  IDC_TKCOLOR_SWATCH = 16662,  // also the custom page's hue/saturation field
  IDC_TKCOLOR_RED = 16964,
  IDC_TKCOLOR_GREEN = 16965,
  IDC_TKCOLOR_BLUE = 16966,
  IDC_TKCOLOR_LIGHTNESS = 16967,
  IDC_TKCOLOR_SATURATION = 16968,
  IDC_TKCOLOR_HUE = 16969,
  IDC_TKCOLOR_TABS = 16970,
  IDC_TKCOLOR_GREYS = 16972,
  IDC_TKCOLOR_LIGHTNESS_BAR = 16973,
  IDC_TKCOLOR_HEXAGONS = 16974,
  IDC_TKCOLOR_RED_SPIN = 16976,  // to 16981: the spins of red, green, blue, lightness, saturation, hue
};

class CTKColorPickerDialog : public CDialog {
public:
  CTKColorPickerDialog(COLORREF colour, BOOL pickerOnly = FALSE, CWnd* parent = nullptr,
                       HPALETTE palette = nullptr);
  ~CTKColorPickerDialog() override;

  INT_PTR DoModal() override;

  // Stores the colour (on a 256-colour display, the nearest palette entry as an
  // index) and shows it in the swatch; answers the colour kept.
  COLORREF SetNewColor(COLORREF colour);
  COLORREF GetColor() const { return m_NewColor; }
  COLORREF GetCurrentColor() const { return m_CurrentColor; }
  void SetPageOne(BYTE red, BYTE green, BYTE blue);
  void SetPageTwo(BYTE red, BYTE green, BYTE blue);
  HPALETTE GetPalette() const { return m_hPalette; }

  CPropertySheetCtrl* GetSheet() const { return m_pPropSheet; }
  CColorPage1& GetStandardPage() { return m_pColourSheetOne; }
  CColorPage2& GetCustomPage() { return m_pColourSheetTwo; }
  CColorPickerCtrl& GetSwatch() { return m_wndColors; }

  // The in-memory templates of the two pages.
  static const DLGTEMPLATE* StandardPageTemplate();
  static const DLGTEMPLATE* CustomPageTemplate();

protected:
  BOOL OnInitDialog() override;
  void OnSysColorChange();

  DECLARE_MESSAGE_MAP()

private:
  // Runs the system's colour dialog instead; IDOK when a colour was chosen.
  INT_PTR RunSystemDialog(HWND owner);
  void RebuildPalette();
  static int ScreenBits();

  COLORREF m_CurrentColor;
  COLORREF m_NewColor;
  CPropertySheetCtrl* m_pPropSheet = nullptr;
  CColorPage1 m_pColourSheetOne;
  CColorPage2 m_pColourSheetTwo;
  CColorPickerCtrl m_wndColors;
  HPALETTE m_hPalette = nullptr;
  BOOL m_bIsMyPalette = FALSE;
  BOOL m_bPickerOnly = FALSE;
};
