#include "toolkit/bars/TKColorPickerDialog.h"

#include "toolkit/bars/ColorDialogText.h"
#include "toolkit/bars/DialogTemplateWriter.h"

#include <commdlg.h>

namespace {

using namespace color_dialog_text;

constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_3DLOOK;
constexpr DWORD kPickerStyle = BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kLabelStyle = SS_LEFT | WS_VISIBLE;
constexpr DWORD kEditStyle = ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kSpinStyle = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | WS_VISIBLE;

const DialogTemplateWriter& DialogTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kTitle, 214, 180, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK);
    w.Control(0x82, IDC_TKCOLOR_TABS, "", SS_LEFT, 4, 4, 154, 172);
    w.Control(0x80, IDOK, kOk, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 164, 8, 46, 14);
    w.Control(0x80, IDCANCEL, kCancel, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 164, 26, 46, 14);
    w.Control(0x82, -1, kNew, SS_CENTER | WS_VISIBLE, 164, 112, 46, 8);
    w.Control(0x80, IDC_TKCOLOR_SWATCH, "", BS_PUSHBUTTON | WS_VISIBLE, 168, 122, 38, 40);
    w.Control(0x82, -1, kCurrent, SS_CENTER | WS_VISIBLE, 164, 164, 46, 8);
    return w;
  }();
  return writer;
}

const DialogTemplateWriter& StandardTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kStandard, 146, 152, kPageStyle);
    w.Control(0x82, -1, kColors, kLabelStyle, 4, 4, 60, 8);
    w.Control(0x80, IDC_TKCOLOR_HEXAGONS, "", kPickerStyle, 4, 14, 138, 104);
    w.Control(0x80, IDC_TKCOLOR_GREYS, "", kPickerStyle, 4, 120, 138, 28);
    return w;
  }();
  return writer;
}

const DialogTemplateWriter& CustomTemplate() {
  static const DialogTemplateWriter writer = [] {
    DialogTemplateWriter w(kCustom, 146, 152, kPageStyle);
    w.Control(0x82, -1, kColors, kLabelStyle, 4, 4, 60, 8);
    w.Control(0x80, IDC_TKCOLOR_SWATCH, "", kPickerStyle, 4, 14, 108, 84);
    w.Control(0x80, IDC_TKCOLOR_LIGHTNESS_BAR, "", kPickerStyle, 116, 14, 26, 84);
    struct Field {
      const char* label;
      int edit;
      int spin;
      short x, y;
    };
    const Field fields[] = {
        {kHue, IDC_TKCOLOR_HUE, IDC_TKCOLOR_RED_SPIN + 5, 4, 104},
        {kSaturation, IDC_TKCOLOR_SATURATION, IDC_TKCOLOR_RED_SPIN + 4, 4, 120},
        {kLightness, IDC_TKCOLOR_LIGHTNESS, IDC_TKCOLOR_RED_SPIN + 3, 4, 136},
        {kRed, IDC_TKCOLOR_RED, IDC_TKCOLOR_RED_SPIN, 76, 104},
        {kGreen, IDC_TKCOLOR_GREEN, IDC_TKCOLOR_RED_SPIN + 1, 76, 120},
        {kBlue, IDC_TKCOLOR_BLUE, IDC_TKCOLOR_RED_SPIN + 2, 76, 136},
    };
    for (const Field& f : fields) {
      w.Control(0x82, -1, f.label, kLabelStyle, f.x, static_cast<short>(f.y + 2), 28, 8);
      w.Control(0x81, f.edit, "", kEditStyle, static_cast<short>(f.x + 30), f.y, 34, 12);
      w.Control(UPDOWN_CLASSA, f.spin, "", kSpinStyle, static_cast<short>(f.x + 64), f.y, 10, 12);
    }
    return w;
  }();
  return writer;
}

}  // namespace

const DLGTEMPLATE* CTKColorPickerDialog::StandardPageTemplate() { return StandardTemplate().Get(); }
const DLGTEMPLATE* CTKColorPickerDialog::CustomPageTemplate() { return CustomTemplate().Get(); }

CTKColorPickerDialog::CTKColorPickerDialog(COLORREF colour, BOOL pickerOnly, CWnd* parent, HPALETTE palette)
    : m_CurrentColor(colour),
      m_NewColor(colour),
      m_pColourSheetOne(*this),
      m_pColourSheetTwo(*this),
      m_bPickerOnly(pickerOnly) {
  InitModalIndirect(DialogTemplate().Get(), parent);
  if (palette) {
    // A palette passed in is copied; the dialog owns only palettes it made.
    const int count = ::GetPaletteEntries(palette, 0, 0, nullptr);
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(count));
    auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(count);
    ::GetPaletteEntries(palette, 0, static_cast<UINT>(count), logical->palPalEntry);
    m_hPalette = ::CreatePalette(logical);
  }
}

CTKColorPickerDialog::~CTKColorPickerDialog() {
  delete m_pPropSheet;
  if (m_hPalette) ::DeleteObject(m_hPalette);
}

int CTKColorPickerDialog::ScreenBits() {
  HDC screen = ::GetDC(nullptr);
  const int bits = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
  ::ReleaseDC(nullptr, screen);
  return bits;
}

INT_PTR CTKColorPickerDialog::DoModal() {
  if (ScreenBits() < 8) return RunSystemDialog(AfxGetSafeHwnd(m_pParentWnd));
  return CDialog::DoModal();
}

INT_PTR CTKColorPickerDialog::RunSystemDialog(HWND owner) {
  static COLORREF custom[16] = {};
  CHOOSECOLORA choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = owner;
  choose.rgbResult = m_CurrentColor;
  choose.lpCustColors = custom;
  choose.Flags = CC_FULLOPEN | CC_RGBINIT;
  if (!::ChooseColorA(&choose)) return IDCANCEL;
  m_NewColor = choose.rgbResult;
  return IDOK;
}

void CTKColorPickerDialog::RebuildPalette() {
  if (m_bIsMyPalette && m_hPalette) {
    ::DeleteObject(m_hPalette);
    m_hPalette = nullptr;
  }
  if (m_hPalette) return;
  std::vector<BYTE> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256);
  auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = 256;
  HDC screen = ::GetDC(nullptr);
  const UINT got = ::GetSystemPaletteEntries(screen, 0, 256, logical->palPalEntry);
  ::ReleaseDC(nullptr, screen);
  if (got == 0) {
    // A true-colour display has no system palette: a halftone one stands in.
    HDC dc = ::GetDC(nullptr);
    m_hPalette = ::CreateHalftonePalette(dc);
    ::ReleaseDC(nullptr, dc);
  } else {
    m_hPalette = ::CreatePalette(logical);
  }
  m_bIsMyPalette = TRUE;
}

BOOL CTKColorPickerDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  if (ScreenBits() < 8) {
    EndDialog(static_cast<int>(RunSystemDialog(m_hWnd)));
    return TRUE;
  }
  RebuildPalette();
  m_wndColors.SubclassDlgItem(IDC_TKCOLOR_SWATCH, this);
  m_wndColors.SetType(CColorPickerCtrl::kSwatch);
  m_wndColors.SetPalette(m_hPalette);
  m_wndColors.SetOriginalColor(m_CurrentColor);
  m_wndColors.SetColor(m_NewColor);

  m_pPropSheet = new CPropertySheetCtrl;
  m_pPropSheet->AddPage(&m_pColourSheetOne);
  m_pPropSheet->AddPage(&m_pColourSheetTwo);
  if (!m_pPropSheet->CreateOver(this, IDC_TKCOLOR_TABS)) {
    EndDialog(-1);
    return TRUE;
  }
  SetPageOne(GetRValue(m_NewColor), GetGValue(m_NewColor), GetBValue(m_NewColor));
  SetPageTwo(GetRValue(m_NewColor), GetGValue(m_NewColor), GetBValue(m_NewColor));
  return TRUE;
}

BEGIN_MESSAGE_MAP(CTKColorPickerDialog, CDialog)
  ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

void CTKColorPickerDialog::OnSysColorChange() {
  if (ScreenBits() < 8) {
    EndDialog(static_cast<int>(RunSystemDialog(m_hWnd)));
    return;
  }
  RebuildPalette();
  m_wndColors.SetPalette(m_hPalette);
  m_pColourSheetOne.GetHexagons().SetPalette(m_hPalette);
  m_pColourSheetOne.GetGreys().SetPalette(m_hPalette);
  m_pColourSheetTwo.GetField().SetPalette(m_hPalette);
  m_pColourSheetTwo.GetBar().SetPalette(m_hPalette);
  ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  CDialog::OnSysColorChange();
}

COLORREF CTKColorPickerDialog::SetNewColor(COLORREF colour) {
  m_NewColor = colour;
  if (ScreenBits() == 8 && m_hPalette) m_NewColor = 0x01000000 | ::GetNearestPaletteIndex(m_hPalette, colour);
  if (m_wndColors.m_hWnd) m_wndColors.SetColor(colour);
  return m_NewColor;
}

void CTKColorPickerDialog::SetPageOne(BYTE red, BYTE green, BYTE blue) {
  m_pColourSheetOne.SetRGB(red, green, blue);
}

void CTKColorPickerDialog::SetPageTwo(BYTE red, BYTE green, BYTE blue) {
  m_pColourSheetTwo.Setup(red, green, blue);
}
