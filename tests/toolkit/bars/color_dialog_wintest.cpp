// The colour dialog used with the mouse and keys at the display: picking from the
// Standard page's honeycomb and grey row, typing values and picking in the field and
// the lightness bar of the Custom page, and what the swatch and the dialog's result
// then say.
#include "support/wine/GTestWin.h"

#include "toolkit/bars/TKColorPickerDialog.h"
#include "toolkit/bars/keyboard_input_support.h"
#include "toolkit/frames/DrawManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <functional>
#include "platform/afx/linux_headers_end.h"

namespace {

using namespace toolbartest;

// Runs the script once the dialog is up, from inside its modal loop; the script ends
// the dialog (and the dialog is ended with IDABORT when it forgot).
std::function<void()> g_script;
CTKColorPickerDialog* g_dialog = nullptr;

void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!g_dialog || !g_dialog->m_hWnd || !::IsWindowVisible(g_dialog->m_hWnd)) return;
  ::KillTimer(nullptr, timer);
  auto script = std::move(g_script);
  g_script = nullptr;
  if (script) script();
  if (g_dialog->m_hWnd && ::IsWindowVisible(g_dialog->m_hWnd)) g_dialog->EndDialog(IDABORT);
}

INT_PTR RunDialog(CTKColorPickerDialog& dialog, std::function<void()> script) {
  g_dialog = &dialog;
  g_script = std::move(script);
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, RunScript);
  const INT_PTR result = dialog.DoModal();
  ::KillTimer(nullptr, timer);
  g_dialog = nullptr;
  return result;
}

// The colour shown in the middle of the swatch's upper (new colour) half.
COLORREF SwatchNewColour(CTKColorPickerDialog& dialog) {
  const CapturedImage image = CaptureWindow(dialog.GetSwatch().m_hWnd, true);
  return image.Empty() ? CLR_INVALID : image.At(image.width / 2, image.height / 4);
}

std::string FieldText(CWnd& page, int id) {
  char text[16] = "";
  ::GetDlgItemTextA(page.m_hWnd, id, text, sizeof text);
  return text;
}

// Replaces a field's text as a user does: a click in it, everything selected, typed.
void TypeIntoField(CWnd& page, int id, const char* text) {
  HWND field = ::GetDlgItem(page.m_hWnd, id);
  ClickInWindow(field, POINT{6, 6});
  ::SendMessageA(field, EM_SETSEL, 0, -1);
  TypeText(text);
}

TEST(ColorPicker, ComponentsSnapToTheUsualValuesWithinTheTolerance) {
  const struct {
    int value, tolerance, snapped;
  } cases[] = {{245, 16, 255}, {200, 16, 192}, {10, 16, 0},   {135, 16, 128}, {100, 16, 100},
               {100, 0, 100},  {250, 7, 255},  {247, 7, 247}, {6, 7, 0},      {185, 7, 185}};
  for (const auto& c : cases)
    EXPECT_EQ(CColorPickerCtrl::SnapComponent(c.value, c.tolerance), c.snapped)
        << c.value << " with tolerance " << c.tolerance;
}

TEST(ColorDialog, CellsPickedOnTheStandardPageBecomeTheNewColourOnBothPagesAndTheResult) {
  ASSERT_TRUE(XDisplayInput::Get().Ready());
  const COLORREF start = RGB(10, 20, 30);
  CTKColorPickerDialog dialog(start);
  COLORREF honeycombPick = 0, greyPick = 0;
  const INT_PTR result = RunDialog(dialog, [&] {
    ::SetForegroundWindow(dialog.m_hWnd);
    PumpAsTheProgram(200);
    CColorPickerCtrl& hexagons = dialog.GetStandardPage().GetHexagons();
    CColorPickerCtrl& greys = dialog.GetStandardPage().GetGreys();
    ASSERT_TRUE(hexagons.m_hWnd && greys.m_hWnd);
    // A white centre in six rings of 6, 12, ... 36 cells; a large white, 15 greys, a
    // large black.
    const auto cells = hexagons.GetCells();
    ASSERT_EQ(cells.size(), 127u);
    EXPECT_EQ(cells.front().colour, RGB(255, 255, 255));
    const auto greyCells = greys.GetCells();
    ASSERT_EQ(greyCells.size(), 17u);
    EXPECT_EQ(greyCells.front().colour, RGB(255, 255, 255));
    EXPECT_EQ(greyCells.back().colour, RGB(0, 0, 0));
    EXPECT_EQ(SwatchNewColour(dialog), start);

    const auto& cell = cells[30];
    ClickInWindow(hexagons.m_hWnd, cell.centre);
    honeycombPick = cell.colour;
    EXPECT_EQ(dialog.GetColor(), honeycombPick);
    EXPECT_EQ(SwatchNewColour(dialog), honeycombPick);
    const CColorPage2& custom = dialog.GetCustomPage();
    EXPECT_EQ(RGB(custom.m_r, custom.m_g, custom.m_b), honeycombPick);
    ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
    SavePng(CaptureWindow(dialog.m_hWnd, false),
            TARVEL_TEST_BINARY_DIR "/screenshots/colour-dialog-standard.png");

    const auto& grey = greyCells[5];  // 180, too far from 192 to snap
    ClickInWindow(greys.m_hWnd, grey.centre);
    greyPick = grey.colour;
    EXPECT_EQ(greyPick, RGB(180, 180, 180));
    EXPECT_EQ(dialog.GetColor(), greyPick);
    EXPECT_EQ(SwatchNewColour(dialog), greyPick);
    // A click between cells changes nothing.
    ClickInWindow(hexagons.m_hWnd, POINT{1, 1});
    EXPECT_EQ(dialog.GetColor(), greyPick);
    // The Custom page shows the picked colour once the user turns to it.
    CWnd* tabs = dialog.GetSheet()->GetTabControl();
    RECT tab{};
    ::SendMessageA(tabs->m_hWnd, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    ClickInWindow(tabs->m_hWnd, POINT{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
    CColorPage2& page = dialog.GetCustomPage();
    ASSERT_TRUE(page.m_hWnd && ::IsWindowVisible(page.m_hWnd));
    EXPECT_EQ(FieldText(page, IDC_TKCOLOR_RED), "180");
    EXPECT_EQ(FieldText(page, IDC_TKCOLOR_BLUE), "180");
    EXPECT_EQ(FieldText(page, IDC_TKCOLOR_SATURATION), "0");
    ClickInWindow(::GetDlgItem(dialog.m_hWnd, IDOK), POINT{10, 6});
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.GetColor(), greyPick);
  EXPECT_EQ(dialog.GetCurrentColor(), start);
}

TEST(ColorDialog, TheCustomPagesFieldsFieldAndBarSetTheColourAndEachOther) {
  ASSERT_TRUE(XDisplayInput::Get().Ready());
  CTKColorPickerDialog dialog(RGB(0, 0, 255));
  COLORREF last = 0;
  const INT_PTR result = RunDialog(dialog, [&] {
    ::SetForegroundWindow(dialog.m_hWnd);
    PumpAsTheProgram(200);
    CWnd* tabs = dialog.GetSheet()->GetTabControl();
    RECT tab{};
    ::SendMessageA(tabs->m_hWnd, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    ClickInWindow(tabs->m_hWnd, POINT{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
    CColorPage2& page = dialog.GetCustomPage();
    ASSERT_TRUE(page.m_hWnd && ::IsWindowVisible(page.m_hWnd));
    EXPECT_EQ(FieldText(page, IDC_TKCOLOR_BLUE), "255");

    // Red typed: the colour, and hue, saturation and lightness, follow.
    TypeIntoField(page, IDC_TKCOLOR_RED, "200");
    EXPECT_EQ(dialog.GetColor(), RGB(200, 0, 255));
    EXPECT_EQ(SwatchNewColour(dialog), RGB(200, 0, 255));
    double h = 0, s = 0, l = 0;
    DrawManager::RgbToHls(RGB(200, 0, 255), &h, &s, &l);
    EXPECT_EQ(FieldText(page, IDC_TKCOLOR_HUE),
              std::to_string(std::min(255, static_cast<int>(h * 255 + 0.5))));
    EXPECT_EQ(FieldText(page, IDC_TKCOLOR_LIGHTNESS), std::to_string(static_cast<int>(l * 255 + 0.5)));
    // 256 is refused: the field keeps 25 and so does the colour.
    TypeIntoField(page, IDC_TKCOLOR_GREEN, "256");
    EXPECT_EQ(FieldText(page, IDC_TKCOLOR_GREEN), "25");
    EXPECT_EQ(dialog.GetColor(), RGB(200, 25, 255));
    // A hue of 255 is the whole turn.
    TypeIntoField(page, IDC_TKCOLOR_HUE, "255");
    double hue = 0;
    page.GetField().GetHLS(&hue, nullptr, nullptr);
    EXPECT_DOUBLE_EQ(hue, 1.0);

    // A pick in the field sets hue and saturation, the bar the lightness; the fields
    // and the dialog follow each.
    CColorPickerCtrl& field = page.GetField();
    CColorPickerCtrl& bar = page.GetBar();
    CRect area;
    field.GetClientRect(&area);
    ClickInWindow(field.m_hWnd, POINT{area.Width() / 4, area.Height() / 4});
    double fieldHue = 0, fieldSaturation = 0, barLightness = 0;
    field.GetHLS(&fieldHue, nullptr, &fieldSaturation);
    bar.GetHLS(nullptr, &barLightness, nullptr);
    EXPECT_NEAR(fieldHue, 0.25, 0.02);
    EXPECT_NEAR(fieldSaturation, 0.75, 0.02);
    COLORREF expected = DrawManager::HlsToRgb(fieldHue, barLightness, fieldSaturation);
    EXPECT_EQ(dialog.GetColor(), expected);
    EXPECT_EQ(FieldText(page, IDC_TKCOLOR_RED), std::to_string(GetRValue(expected)));
    // Left takes 0.05 off the hue.
    PressKey(0xFF51);
    field.GetHLS(&hue, nullptr, nullptr);
    EXPECT_NEAR(hue, fieldHue - 0.05, 1e-9);
    bar.GetClientRect(&area);
    ClickInWindow(bar.m_hWnd, POINT{4, 5 + (area.Height() - 10) * 3 / 4});
    bar.GetHLS(nullptr, &barLightness, nullptr);
    EXPECT_NEAR(barLightness, 0.25, 0.02);
    field.GetHLS(&fieldHue, nullptr, &fieldSaturation);
    expected = DrawManager::HlsToRgb(fieldHue, barLightness, fieldSaturation);
    EXPECT_EQ(dialog.GetColor(), expected);
    EXPECT_EQ(SwatchNewColour(dialog), expected);
    EXPECT_EQ(FieldText(page, IDC_TKCOLOR_GREEN), std::to_string(GetGValue(expected)));
    last = expected;
    ::CreateDirectoryA(TARVEL_TEST_BINARY_DIR "/screenshots", nullptr);
    SavePng(CaptureWindow(dialog.m_hWnd, false),
            TARVEL_TEST_BINARY_DIR "/screenshots/colour-dialog-custom.png");
    ClickInWindow(::GetDlgItem(dialog.m_hWnd, IDOK), POINT{10, 6});
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.GetColor(), last);
}

}  // namespace

// Turning to a page places it in the display area of the sheet's tabs, inside their
// edge, as the page shown first was placed.
TEST(ColorDialog, APageTurnedToFillsTheTabsDisplayArea) {
  ASSERT_TRUE(XDisplayInput::Get().Ready());
  CTKColorPickerDialog dialog(RGB(40, 80, 120));
  const INT_PTR result = RunDialog(dialog, [&] {
    ::SetForegroundWindow(dialog.m_hWnd);
    PumpAsTheProgram(200);
    CPropertySheetCtrl* sheet = dialog.GetSheet();
    ASSERT_NE(sheet, nullptr);
    CRect display;
    ::GetClientRect(sheet->m_hWnd, &display);
    ::SendMessageA(sheet->GetTabControl()->m_hWnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    display.InflateRect(-::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    auto placeOf = [&](CWnd& page) {
      CRect rect;
      ::GetWindowRect(page.m_hWnd, &rect);
      ::MapWindowPoints(nullptr, sheet->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
      return rect;
    };
    EXPECT_EQ(placeOf(dialog.GetStandardPage()), display);

    CWnd* tabs = sheet->GetTabControl();
    RECT tab{};
    ::SendMessageA(tabs->m_hWnd, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    ClickInWindow(tabs->m_hWnd, POINT{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
    CColorPage2& page = dialog.GetCustomPage();
    ASSERT_TRUE(page.m_hWnd && ::IsWindowVisible(page.m_hWnd));
    EXPECT_EQ(placeOf(page), display);
    ClickInWindow(::GetDlgItem(dialog.m_hWnd, IDCANCEL), POINT{10, 6});
  });
  EXPECT_EQ(result, IDCANCEL);
}
