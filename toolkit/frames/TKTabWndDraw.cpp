// The tab window's painting: the window area with its frame, then the tabs through the
// current look, all drawn off screen and copied at once.
#include "toolkit/frames/TKTabWnd.h"

#include "toolkit/frames/GlobalData.h"
#include "toolkit/frames/TKVisualManager.h"

namespace {
GlobalData& GD() { return GlobalData::Get(); }
}  // namespace

void CTKTabWnd::OnPaint() {
  CPaintDC screen(this);
  CRect client;
  GetClientRect(&client);
  // Drawn off screen and copied in one go, so nothing flickers.
  CDC memory;
  memory.CreateCompatibleDC(&screen);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(screen, client.Width() > 0 ? client.Width() : 1,
                                client.Height() > 0 ? client.Height() : 1);
  HGDIOBJ oldBitmap = memory.SelectObject(&bitmap);
  Paint(memory);
  screen.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(oldBitmap);
}

BOOL CTKTabWnd::OnEraseBkgnd(CDC* dc) {
  if (m_tabCount == 0 && !m_transparent) {
    CRect client;
    GetClientRect(&client);
    dc->FillRect(&client, GD().barFaceBrush);
  }
  return TRUE;
}

LRESULT CTKTabWnd::OnPrintClient(WPARAM dc, LPARAM) {
  CDC target(reinterpret_cast<HDC>(dc));
  Paint(target);
  return 0;
}

void CTKTabWnd::Paint(CDC& dc) {
  CTKVisualManager* look = CTKVisualManager::GetInstance();
  CRect client;
  GetClientRect(&client);
  COLORREF face, shadow, text, hl, dark, light;
  HBRUSH faceBrush, darkBrush;
  look->GetTabColors(this, face, shadow, text, hl, dark, light, faceBrush, darkBrush);
  dc.FillRect(&client, faceBrush);

  // The window area and its frame.
  CRect frame = m_wndRect;
  frame.InflateRect(1, 1);
  if (!look->PaintTabColor(&dc, frame, this) && !m_drawFrame) dc.FillRect(&frame, faceBrush);
  if (m_drawFrame && !IsFlatStyle()) {
    CRect outer = m_wndRect;
    outer.InflateRect(m_borderSize, m_borderSize);
    dc.Draw3dRect(&outer, hl, dark);
    outer.DeflateRect(1, 1);
    dc.Draw3dRect(&outer, light, shadow);
  } else if (m_drawFrame) {
    dc.Draw3dRect(&frame, shadow, hl);
  }

  if (m_tabsRect.Width() > 5 && m_tabsRect.Height() > 5) PaintTabs(dc, face, text);
  if (!m_splitterRect.IsRectEmpty()) {
    dc.FillRect(&m_splitterRect, faceBrush);
    dc.Draw3dRect(&m_splitterRect, hl, dark);
  }
}

void CTKTabWnd::PaintTabs(CDC& dc, COLORREF face, COLORREF text) {
  CRgn clip;
  clip.CreateRectRgnIndirect(&m_tabsRect);
  dc.SelectClipRgn(&clip);
  HGDIOBJ oldFont = dc.SelectObject(IsFlatStyle() ? (HFONT)m_flatFont : (HFONT)GD().regularFont);
  dc.SetTextColor(text);
  dc.SetBkMode(TRANSPARENT);
  CBrush tabBrush(face);
  for (int i = m_tabCount - 1; i >= 0; --i) {
    if (i == m_activeTab) continue;
    if (IsFlatStyle())
      DrawFlatTab(&dc, &tabBrush, m_tabs[i], FALSE);
    else
      Draw3DTab(&dc, m_tabs[i], FALSE);
  }
  if (m_activeTab >= 0) {
    if (IsFlatStyle()) {
      CBrush activeBrush(GetActiveTabColor());
      dc.SetTextColor(GetActiveTabTextColor());
      dc.SelectObject((HFONT)m_flatBoldFont);
      DrawFlatTab(&dc, &activeBrush, m_tabs[m_activeTab], TRUE);
    } else {
      Draw3DTab(&dc, m_tabs[m_activeTab], TRUE);
    }
  }
  dc.SelectObject(oldFont);
  dc.SelectClipRgn(nullptr);
}

void CTKTabWnd::Draw3DTab(CDC* dc, CTKTabInfo* tab, BOOL active) {
  if (!tab->m_visible) return;
  if (HasSlantedTabs() && tab->m_rect.left < m_tabsRect.left) return;
  int index = -1;
  for (int i = 0; i < m_tabCount; ++i)
    if (m_tabs[i] == tab) index = i;
  m_drawnTab = index;
  CTKVisualManager::GetInstance()->PaintTab(dc, tab->m_rect, index, active, this);
  m_drawnTab = -1;
}

void CTKTabWnd::DrawFlatTab(CDC* dc, CBrush* brush, CTKTabInfo* tab, BOOL active) {
  if (!tab->m_visible || tab->m_rect.IsRectEmpty()) return;
  // A trapezoid, wide at the window area and narrow at the outer edge.
  const CRect& r = tab->m_rect;
  const int lean = m_tabsRect.Height() / 2;
  const bool bottom = m_locationBottom;
  const int inner = bottom ? r.top : r.bottom - 1, outer = bottom ? r.bottom - 1 : r.top;
  POINT pts[4] = {{r.left, inner}, {r.left + lean, outer}, {r.right - lean, outer}, {r.right, inner}};
  HGDIOBJ oldBrush = dc->SelectObject(brush);
  HGDIOBJ oldPen = dc->SelectStockObject(BLACK_PEN);
  dc->Polygon(pts, 4);
  dc->SelectObject(oldPen);
  dc->SelectObject(oldBrush);
  CRect text = r;
  int index = -1;
  for (int i = 0; i < m_tabCount; ++i)
    if (m_tabs[i] == tab) index = i;
  COLORREF color = GetTabTextColor(index);
  COLORREF oldColor = color != (COLORREF)-1 ? dc->SetTextColor(color) : dc->GetTextColor();
  dc->DrawText(GetTabLabel(index), -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  dc->SetTextColor(oldColor);
  (void)active;
}

void CTKTabWnd::DrawFlatTabMarker(CDC* dc, int x, int y, int size) {
  if (!IsFlatStyle()) return;
  // A filled black triangle pointing away from the tabs edge.
  const int dy = m_locationBottom ? 1 : -1;
  POINT pts[3] = {{x, y}, {x + size * 2, y}, {x + size, y + dy * size}};
  HGDIOBJ oldBrush = dc->SelectStockObject(BLACK_BRUSH);
  HGDIOBJ oldPen = dc->SelectStockObject(BLACK_PEN);
  dc->Polygon(pts, 3);
  dc->SelectObject(oldPen);
  dc->SelectObject(oldBrush);
}

COLORREF CTKTabWnd::GetActiveTabColor() const {
  return m_activeTabBk != (COLORREF)-1 ? m_activeTabBk : ::GetSysColor(COLOR_WINDOW);
}

COLORREF CTKTabWnd::GetActiveTabTextColor() const {
  return m_activeTabText != (COLORREF)-1 ? m_activeTabText : ::GetSysColor(COLOR_WINDOWTEXT);
}

void CTKTabWnd::SetActiveTabColor(COLORREF color) {
  m_activeTabBk = color;
  if (m_hWnd && m_activeTab >= 0) InvalidateTab(m_activeTab);
}

void CTKTabWnd::SetActiveTabTextColor(COLORREF color) {
  m_activeTabText = color;
  if (m_hWnd && m_activeTab >= 0) InvalidateTab(m_activeTab);
}
