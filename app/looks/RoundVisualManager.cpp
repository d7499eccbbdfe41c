#include "app/looks/RoundVisualManager.h"

#include "toolkit/frames/GlobalData.h"

namespace {
COLORREF HalfWay(COLORREF a, COLORREF b) {
  return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
             (GetBValue(a) + GetBValue(b)) / 2);
}

bool IsMenuButton(const CTKToolbarButton* button) {
  return button && button->LookKind() == CTKToolbarButton::kMenuButton;
}

// The left of a popup menu's text column: past the image column.
int MenuTextLeft(CTKBaseControlBar* bar, int margin) { return bar->m_menuImageSize.cx + 2 * margin + 4; }
}  // namespace

CRoundVisualManager::CRoundVisualManager() {
  m_faceBrush.CreateSolidBrush(kFace);
  RecomputeColors();
}

void CRoundVisualManager::RecomputeColors() {
  m_shadow = ::GetSysColor(COLOR_BTNSHADOW);
  m_highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  m_darkShadow = ::GetSysColor(COLOR_3DDKSHADOW);
  m_light = ::GetSysColor(COLOR_3DLIGHT);
  m_faceShadowMid = HalfWay(m_face, m_shadow);
  m_shadowDarkMid = HalfWay(m_shadow, m_darkShadow);
}

void CRoundVisualManager::PaintBarBackground(CDC* dc, CTKBaseControlBar*, CRect client, CRect, BOOL) {
  dc->FillRect(&client, &m_faceBrush);
}

void CRoundVisualManager::PaintTabAreaBackground(CDC* dc, CRect rect, CWnd*) {
  dc->FillRect(&rect, &m_faceBrush);
}

void CRoundVisualManager::PaintTabAreaBackground(CDC* dc, CRect rect, CTKTabWndBase*) {
  dc->FillRect(&rect, &m_faceBrush);
}

void CRoundVisualManager::PaintGripper(CDC* dc, CRect gripper, BOOL horizontal, CTKBaseControlBar* bar) {
  const bool sizing = bar && bar->LookKind() == CTKBaseControlBar::kSizingBar;
  if (sizing)
    gripper.DeflateRect(2, 2);
  else if (horizontal)
    gripper.DeflateRect(2, 4);
  else
    gripper.DeflateRect(4, 2);
  if (!sizing || !bar->m_hWnd) {
    CTKVisualManager::PaintGripper(dc, gripper, horizontal, bar);
    return;
  }
  // A sizing bar's gripper carries its title.
  char title[256] = " ";
  ::GetWindowTextA(bar->m_hWnd, title + 1, sizeof title - 1);
  HGDIOBJ oldFont = dc->SelectObject(::GetStockObject(DEFAULT_GUI_FONT));
  const COLORREF oldText = dc->SetTextColor(m_shadow);
  const COLORREF oldBk = dc->SetBkColor(m_face);
  dc->DrawText(title, -1, &gripper, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  dc->SetBkColor(oldBk);
  dc->SetTextColor(oldText);
  dc->SelectObject(oldFont);
}

void CRoundVisualManager::PaintSeparator(CDC* dc, CTKBaseControlBar* bar, CRect rect, BOOL horizontal) {
  if (!bar || bar->LookKind() != CTKBaseControlBar::kPopupMenuBar) return;
  if (horizontal) {
    dc->FillSolidRect(rect.left + rect.Width() / 2, rect.top, 1, rect.Height(), m_shadow);
  } else {
    const int left = rect.left + MenuTextLeft(bar, GetMenuImageMargin());
    dc->FillSolidRect(left, rect.top + rect.Height() / 2, rect.right - left, 1, m_shadow);
  }
}

void CRoundVisualManager::PaintCaptionButton(CDC*, CTKCaptionButton*, BOOL, BOOL, BOOL) {}

void CRoundVisualManager::PaintButtonFace(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  if (!button || IsMenuButton(button)) {
    CTKVisualManager::PaintButtonFace(dc, button, rect, state);
    return;
  }
  const bool highlighted = state == 2;
  CPen outline(PS_SOLID, 1, m_darkShadow);
  CBrush fill(highlighted ? m_faceShadowMid : m_face);
  HGDIOBJ oldPen = dc->SelectObject(&outline);
  HGDIOBJ oldBrush = dc->SelectObject(&fill);
  ::RoundRect(dc->m_hDC, rect.left, rect.top, rect.right, rect.bottom, 6, 6);
  dc->SelectObject(oldBrush);
  dc->SelectObject(oldPen);
  // A light line inside the top and left edges, and softened corners.
  const COLORREF inner = highlighted ? m_shadow : m_highlight;
  dc->FillSolidRect(rect.left + 2, rect.top + 1, rect.Width() - 4, 1, inner);
  dc->FillSolidRect(rect.left + 1, rect.top + 2, 1, rect.Height() - 4, inner);
  const POINT corners[] = {{rect.left + 1, rect.top + 1},
                           {rect.right - 2, rect.top + 1},
                           {rect.left + 1, rect.bottom - 2},
                           {rect.right - 2, rect.bottom - 2}};
  for (int i = 0; i < 4; ++i)
    dc->SetPixel(corners[i].x, corners[i].y, i == 0 ? m_faceShadowMid : m_shadowDarkMid);
}

void CRoundVisualManager::PaintButtonEdge(CDC* dc, CTKToolbarButton* button, CRect rect, int state) {
  if (IsMenuButton(button)) CTKVisualManager::PaintButtonEdge(dc, button, rect, state);
}
