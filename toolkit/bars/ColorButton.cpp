#include "toolkit/bars/ColorButton.h"

#include "toolkit/bars/ColorBarText.h"
#include "toolkit/bars/TKColorBar.h"
#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"

#include "platform/afx/linux_headers_begin.h"
#include <cstdio>
#include "platform/afx/linux_headers_end.h"

IMPLEMENT_SERIAL(CColorButton, CTKToolbarButton, 1)

std::map<COLORREF, CString> CColorButton::s_colorNames;

namespace {

// Drawn as a palette-relative colour, so that a realized palette gives its nearest
// entry on a 256-colour display.
COLORREF PaletteRelative(COLORREF color) { return 0x02000000 | (color & 0x00FFFFFF); }

void FillWithoutPen(CDC* dc, const CRect& rect, COLORREF color) {
  HBRUSH brush = ::CreateSolidBrush(PaletteRelative(color));
  ::FillRect(dc->GetSafeHdc(), &rect, brush);
  ::DeleteObject(brush);
}

}  // namespace

CColorButton::CColorButton() { m_bLocked = TRUE; }

CColorButton::CColorButton(COLORREF color, BOOL selected, CTKColorBar* bar)
    : m_Color(color), m_bHighlight(selected), m_pParentBar(bar) {
  m_bLocked = TRUE;
  m_bImage = FALSE;
}

CString CColorButton::ColorName(COLORREF color) {
  auto named = s_colorNames.find(color);
  if (named != s_colorNames.end()) return named->second;
  char text[64];
  snprintf(text, sizeof text, color_bar_text::kHexFormat, GetRValue(color), GetGValue(color),
           GetBValue(color));
  return CString(text);
}

void CColorButton::OnChangeParentWnd(CWnd* parent) {
  CTKToolbarButton::OnChangeParentWnd(parent);
  m_pParentBar = dynamic_cast<CTKColorBar*>(parent);
}

BOOL CColorButton::OnToolHitTest(const CWnd*, TOOLINFOA*) {
  // The bar shows the tooltip text made here afresh for each hit: the colour's name,
  // or for the automatic and other entries their text.
  if (m_bIsLabel || m_bIsOther || m_bIsAutomatic)
    m_strTooltip = m_strText;
  else
    m_strTooltip = ColorName(m_Color);
  return FALSE;
}

void CColorButton::OnDraw(CDC* dc, const CRect& rect, CTKToolbarImageList*, BOOL, BOOL customizeMode,
                          BOOL highlighted, BOOL drawBorder, BOOL) {
  if (rect.IsRectEmpty()) return;
  HPALETTE palette = m_pParentBar ? m_pParentBar->GetDrawPalette() : nullptr;
  HPALETTE oldPalette = nullptr;
  if (palette) {
    oldPalette = ::SelectPalette(dc->GetSafeHdc(), palette, FALSE);
    ::RealizePalette(dc->GetSafeHdc());
  }
  const GlobalData& gd = GlobalData::Get();
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  const UINT saved = m_nStyle;
  if (m_bHighlight) m_nStyle |= TBBS_CHECKED;
  const BOOL disabled = (m_nStyle & TBBS_DISABLED) != 0;
  if (!m_bIsLabel) DrawButtonFrame(dc, rect, highlighted && !disabled);
  if (!disabled && !m_bIsLabel && !customizeMode && HaveHotBorder() && drawBorder) {
    if (m_nStyle & (TBBS_PRESSED | TBBS_CHECKED))
      look->PaintButtonEdge(dc, this, rect, 1);
    else if (highlighted && !(m_nStyle & TBBS_INDETERMINATE))
      look->PaintButtonEdge(dc, this, rect, 2);
  }
  const int border = 2 * ::GetSystemMetrics(SM_CXBORDER);
  CRect text = rect;
  if (m_bIsAutomatic) {
    CRect box(rect.left, rect.top, rect.left + rect.Height(), rect.bottom);
    box.DeflateRect(border + 1, border + 1);
    if (disabled) {
      dc->Draw3dRect(&box, gd.buttonShadow, gd.buttonHighlight);
      CRect inner = box;
      inner.DeflateRect(1, 1);
      dc->Draw3dRect(&inner, gd.buttonHighlight, gd.buttonShadow);
    } else {
      CRect fill = box;
      fill.DeflateRect(1, 1);
      FillWithoutPen(dc, fill, m_pParentBar ? m_pParentBar->m_ColorAutomatic : m_Color);
      dc->Draw3dRect(&box, gd.buttonShadow, gd.buttonShadow);
    }
    CRect frame = rect;
    frame.DeflateRect(1, 1);
    if (disabled) {
      dc->Draw3dRect(&frame, gd.buttonShadow, gd.buttonHighlight);
    } else {
      dc->Draw3dRect(&frame, gd.buttonShadow, gd.buttonShadow);
    }
    text.left = box.right + border;
  } else if (!m_bIsOther && !m_bIsLabel) {
    CRect cell = rect;
    cell.DeflateRect(border, border);
    if (m_Color != (COLORREF)-1) FillWithoutPen(dc, cell, m_Color);
  }
  if (m_bIsAutomatic || m_bIsOther || m_bIsLabel) {
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor(disabled ? gd.grayText : gd.buttonText);
    text.DeflateRect(2, 0);
    const UINT align = m_bIsLabel ? DT_LEFT : DT_CENTER;
    CString shown = m_strText;
    ::DrawTextA(dc->GetSafeHdc(), shown, shown.GetLength(), &text,
                align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
  }
  m_nStyle = saved;
  if (oldPalette) ::SelectPalette(dc->GetSafeHdc(), oldPalette, FALSE);
}
