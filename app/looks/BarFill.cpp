#include "app/looks/BarFill.h"

namespace looks {

CPoint BarWindowOrigin(CWnd* bar, BOOL nonClient) {
  if (nonClient || !bar || !bar->m_hWnd) return CPoint(0, 0);
  RECT window;
  ::GetWindowRect(bar->m_hWnd, &window);
  POINT client{0, 0};
  ::ClientToScreen(bar->m_hWnd, &client);
  return CPoint(window.left - client.x, window.top - client.y);
}

CRect BarFillRect(CTKBaseControlBar* bar, const CRect& rect, BOOL nonClient) {
  CRect fill = rect;
  if (bar && bar->m_hWnd && !bar->IsFloating() && bar->LookKind() != CTKBaseControlBar::kPopupMenuBar) {
    const CPoint origin = BarWindowOrigin(bar, nonClient);
    fill.left = origin.x;
    fill.top = origin.y;
  }
  return fill;
}

ScopedClip::ScopedClip(CDC* dc, const CRect& rect, bool active) : m_pDC(dc) {
  if (!active) return;
  m_nSaved = ::SaveDC(dc->m_hDC);
  ::IntersectClipRect(dc->m_hDC, rect.left, rect.top, rect.right, rect.bottom);
}

ScopedClip::~ScopedClip() {
  if (m_nSaved) ::RestoreDC(m_pDC->m_hDC, m_nSaved);
}

}  // namespace looks
