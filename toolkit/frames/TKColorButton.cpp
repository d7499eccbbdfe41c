#include "toolkit/frames/TKColorButton.h"

#include "toolkit/bars/ColorPopup.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/MenuImages.h"
#include "toolkit/frames/TKVisualManager.h"

// The popup is the toolkit's colour popup; tests may put their own maker here.
CTKColorButton::PopupMaker CTKColorButton::s_makePopup = CColorPopup::MakeForColorButton;

namespace {
GlobalData& GD() { return GlobalData::Get(); }
}  // namespace

CTKColorButton::CTKColorButton() = default;

CTKColorButton::~CTKColorButton() {
  if (m_pPopup && m_pPopup->m_hWnd && ::IsWindow(m_pPopup->m_hWnd)) m_pPopup->DestroyWindow();
  if (m_Palette) ::DeleteObject(m_Palette);
}

void CTKColorButton::FillDefaultColorTable(std::vector<COLORREF>& colors) {
  // Five rows of eight: blacks and greys, then the strong, middle and light hues.
  static const COLORREF table[] = {
      RGB(0, 0, 0),       RGB(153, 51, 0),    RGB(51, 51, 0),     RGB(0, 51, 0),      RGB(0, 51, 102),
      RGB(0, 0, 128),     RGB(51, 51, 153),   RGB(51, 51, 51),    RGB(128, 0, 0),     RGB(255, 102, 0),
      RGB(128, 128, 0),   RGB(0, 128, 0),     RGB(0, 128, 128),   RGB(0, 0, 255),     RGB(102, 102, 153),
      RGB(128, 128, 128), RGB(255, 0, 0),     RGB(255, 153, 0),   RGB(153, 204, 0),   RGB(51, 153, 102),
      RGB(51, 204, 204),  RGB(51, 102, 255),  RGB(128, 0, 128),   RGB(153, 153, 153), RGB(255, 0, 255),
      RGB(255, 204, 0),   RGB(255, 255, 0),   RGB(0, 255, 0),     RGB(0, 255, 255),   RGB(0, 204, 255),
      RGB(153, 51, 102),  RGB(192, 192, 192), RGB(255, 153, 204), RGB(255, 204, 153), RGB(255, 255, 153),
      RGB(204, 255, 204), RGB(204, 255, 255), RGB(153, 204, 255), RGB(204, 153, 255), RGB(255, 255, 255)};
  colors.assign(std::begin(table), std::end(table));
}

void CTKColorButton::SetColor(COLORREF color) {
  m_Color = color;
  if (m_hWnd) Invalidate();
}

void CTKColorButton::PickColor(COLORREF color) {
  SetColor(color);
  HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  if (parent)
    ::SendMessageA(parent, WM_COMMAND, static_cast<WPARAM>(::GetDlgCtrlID(m_hWnd)),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

void CTKColorButton::SetAutomaticEntry(const char* label, COLORREF color, BOOL) {
  m_strAutoColorText = label ? label : "";
  m_ColorAutomatic = color;
}

void CTKColorButton::SetOtherEntry(const char* label, BOOL enabled, BOOL) {
  m_strOtherText = label ? label : "";
  m_bEnabledInOther = enabled;
}

void CTKColorButton::SetDocumentColors(const char* label, const std::vector<COLORREF>& colors) {
  m_strDocColorsText = label ? label : "";
  m_lstDocColors = colors;
}

void CTKColorButton::RebuildPalette(HPALETTE from) {
  if (m_Palette) ::DeleteObject(m_Palette);
  m_Palette = nullptr;
  PALETTEENTRY entries[256] = {};
  UINT count = 0;
  if (from) {
    count = ::GetPaletteEntries(from, 0, 256, entries);
  } else if (m_hWnd) {
    HDC dc = ::GetDC(m_hWnd);
    count = ::GetSystemPaletteEntries(dc, 0, 256, entries);
    ::ReleaseDC(m_hWnd, dc);
  }
  if (count == 0) {
    count = 1;  // a one-entry palette still selects and realises
  }
  std::vector<BYTE> bytes(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count);
  auto* log = reinterpret_cast<LOGPALETTE*>(bytes.data());
  log->palVersion = 0x300;
  log->palNumEntries = static_cast<WORD>(count);
  for (UINT i = 0; i < count; ++i) log->palPalEntry[i] = entries[i];
  m_Palette = ::CreatePalette(log);
}

void CTKColorButton::ShowColorPopup() {
  if (m_pPopup) {
    // A second press closes the open popup and opens nothing.
    CWnd* popup = m_pPopup;
    m_pPopup = nullptr;
    if (popup->m_hWnd && ::IsWindow(popup->m_hWnd)) ::SendMessageA(popup->m_hWnd, WM_CLOSE, 0, 0);
    return;
  }
  if (m_Colors.empty()) FillDefaultColorTable(m_Colors);
  RECT window{};
  GetWindowRect(&window);
  ColorPopupRequest request;
  request.colors = &m_Colors;
  request.color = m_Color;
  request.automaticLabel = m_strAutoColorText;
  request.otherLabel = m_strOtherText;
  request.documentLabel = m_strDocColorsText;
  request.documentColors = &m_lstDocColors;
  request.columns = m_nColumns;
  request.automaticColor = m_ColorAutomatic;
  request.at = POINT{window.left, window.bottom};
  request.keyboardOpen = m_bAltColorDlg;
  request.takeFocus = m_bFocusPopup;
  m_pPopup = s_makePopup ? s_makePopup(this, request) : nullptr;
  if (m_pPopup && m_bFocusPopup && m_pPopup->m_hWnd) ::SetFocus(m_pPopup->m_hWnd);
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  m_bCaptured = FALSE;
}

int CTKColorButton::ArrowWidth() const { return MenuImages::Size().cx + 8; }

BOOL CTKColorButton::Themed() const {
  return GetGlobalLookFlag() && CTKVisualManager::GetInstance()->IsThemed();
}

void CTKColorButton::FitToContent(SIZE& size, BOOL keepSize) {
  CTKButton::FitToContent(size, TRUE);
  size.cx += MenuImages::Size().cx;
  if (!keepSize)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CTKColorButton::FillBackground(CDC* dc, const CRect& rect) {
  if (Themed())
    dc->FillRect(&rect, ::GetSysColorBrush(COLOR_WINDOW));
  else
    CTKButton::FillBackground(dc, rect);
}

void CTKColorButton::DrawBorder(CDC* dc, CRect& rect, UINT itemState) {
  if (GetGlobalLookFlag() &&
      CTKVisualManager::GetInstance()->DrawComboBorder(dc, rect, (itemState & ODS_DISABLED) != 0,
                                                       m_pPopup != nullptr, m_bHighlighted, 0))
    return;
  const GlobalData& gd = GD();
  dc->Draw3dRect(&rect, gd.buttonHighlight, gd.buttonDarkShadow);
  rect.DeflateRect(1, 1);
  if (m_nFlatStyle == BUTTONSTYLE_3D || m_bHighlighted)
    dc->Draw3dRect(&rect, gd.buttonLight, gd.buttonShadow);
  rect.DeflateRect(1, 1);
}

void CTKColorButton::DrawFocusRectangle(CDC* dc, const CRect& rect) {
  CRect colourPart = rect;
  colourPart.right -= ArrowWidth();
  CTKButton::DrawFocusRectangle(dc, colourPart);
}

void CTKColorButton::PaintContent(CDC* dc, const CRect& rect, UINT itemState) {
  HPALETTE oldPalette = nullptr;
  if (m_Palette) {
    oldPalette = ::SelectPalette(*dc, m_Palette, FALSE);
    ::RealizePalette(*dc);
  }
  const bool disabled = (itemState & ODS_DISABLED) != 0;
  CRect arrow = rect;
  arrow.left = rect.right - ArrowWidth();
  CRect box = rect;
  box.right = arrow.left;

  COLORREF color = m_Color;
  if (color == (COLORREF)-1) {
    color = m_ColorAutomatic;
    if (!m_strAutoColorText.IsEmpty()) {
      CRect label = box;
      box.right = box.left + box.Height();
      label.left = box.right;
      HGDIOBJ oldFont = SelectButtonFont(dc);
      const int oldMode = dc->SetBkMode(TRANSPARENT);
      dc->SetTextColor(disabled ? GD().grayText : GD().buttonText);
      dc->DrawText(m_strAutoColorText, -1, &label, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
      dc->SetBkMode(oldMode);
      dc->SelectObject(oldFont);
    }
  }
  box.DeflateRect(2, 2);
  dc->Draw3dRect(&box, GD().buttonHighlight, GD().buttonHighlight);
  box.DeflateRect(1, 1);
  dc->Draw3dRect(&box, GD().buttonDarkShadow, GD().buttonDarkShadow);
  box.DeflateRect(1, 1);
  if (color != (COLORREF)-1 && !disabled) {
    if (GD().bitsPerPixel == 8 && m_Palette) color = PALETTEINDEX(::GetNearestPaletteIndex(m_Palette, color));
    CBrush brush;
    brush.CreateSolidBrush(color);
    dc->FillRect(&box, &brush);
  }

  const bool lookDrew =
      GetGlobalLookFlag() && CTKVisualManager::GetInstance()->DrawComboDropButton(
                                 dc, arrow, disabled, m_bPushed || m_pPopup, m_bHighlighted, 0);
  if (!lookDrew) {
    dc->FillSolidRect(&arrow, GD().buttonFace);
    SIZE glyph = MenuImages::Size();
    MenuImages::Draw(
        dc, disabled ? MenuImages::kArrowDownDisabled : MenuImages::kArrowDown,
        POINT{arrow.left + (arrow.Width() - glyph.cx) / 2, arrow.top + (arrow.Height() - glyph.cy) / 2});
    CRect frame = arrow;
    dc->Draw3dRect(&frame, GD().buttonLight, GD().buttonDarkShadow);
    frame.DeflateRect(1, 1);
    dc->Draw3dRect(&frame, GD().buttonHighlight, GD().buttonShadow);
  }
  if (oldPalette) ::SelectPalette(*dc, oldPalette, FALSE);
}

BEGIN_MESSAGE_MAP(CTKColorButton, CTKButton)
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_KEYDOWN()
  ON_WM_GETDLGCODE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

// A press opens the popup at once; the release that follows has nothing to do.
void CTKColorButton::OnLButtonDown(UINT, CPoint) {
  ::SetFocus(m_hWnd);
  ShowColorPopup();
}

void CTKColorButton::OnLButtonUp(UINT, CPoint) {}

void CTKColorButton::OnKeyDown(UINT key, UINT repeatCount, UINT flags) {
  if (key == VK_SPACE || key == VK_DOWN) {
    ShowColorPopup();
    return;
  }
  CTKButton::OnKeyDown(key, repeatCount, flags);
}

UINT CTKColorButton::OnGetDlgCode() { return DLGC_WANTARROWS; }

void CTKColorButton::OnSysColorChange() {
  RebuildPalette();
  Invalidate();
  CTKButton::OnSysColorChange();
}

void CTKColorButton::OnMouseMove(UINT flags, CPoint point) {
  // Under a theme the button tracks the mouse as a semi-flat one.
  if (!Themed()) {
    CTKButton::OnMouseMove(flags, point);
    return;
  }
  const int saved = m_nFlatStyle;
  m_nFlatStyle = BUTTONSTYLE_SEMIFLAT;
  CTKButton::OnMouseMove(flags, point);
  m_nFlatStyle = saved;
}
