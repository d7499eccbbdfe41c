#include "toolkit/frames/TKSizingDockContext.h"

void CTKSizingDockContext::StartResize(int hitTest, CPoint point) {
  CMiniDockFrameWnd* mini = CMiniDockFrameWnd::FrameOf(m_pBar);
  if (!mini) return;
  m_pDockSite = m_pBar->GetDockingFrame();
  m_bDragging = FALSE;
  m_nHitTest = hitTest;
  // The frame as the bar would have it now, its borders around the bar's size.
  CRect frame;
  mini->GetWindowRect(&frame);
  CSize size = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
  CRect borders = CMiniDockFrameWnd::Borders(m_pBar);
  m_rectResize = CRect(frame.left, frame.top, frame.left + size.cx + borders.left + borders.right,
                       frame.top + size.cy + borders.top + borders.bottom);
  m_ptStart = m_ptLast = point;
  m_rectLastDrawn = CRect(0, 0, 0, 0);
  Stretch(point);
  Track();
}

void CTKSizingDockContext::Stretch(CPoint point) {
  const int dx = point.x - m_ptLast.x;
  const int dy = point.y - m_ptLast.y;
  m_ptLast = point;
  const int hit = m_nHitTest;
  const bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
  const bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
  const bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
  const bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
  CRect borders = CMiniDockFrameWnd::Borders(m_pBar);
  CRect rect = m_rectResize;
  CSize size(rect.Width() - borders.left - borders.right, rect.Height() - borders.top - borders.bottom);
  if ((left || right) && dx) size = m_pBar->CalcDynamicLayout(size.cx + (left ? -dx : dx), LM_HORZ);
  if ((top || bottom) && dy)
    size = m_pBar->CalcDynamicLayout(size.cy + (top ? -dy : dy), LM_HORZ | LM_LENGTHY);
  const int width = size.cx + borders.left + borders.right;
  const int height = size.cy + borders.top + borders.bottom;
  // The edge opposite the dragged one stays where it is.
  if (left)
    rect.left = rect.right - width;
  else
    rect.right = rect.left + width;
  if (top)
    rect.top = rect.bottom - height;
  else
    rect.bottom = rect.top + height;
  CRect desktop, common;
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  if (::IntersectRect(&common, &desktop, &rect)) m_rectResize = rect;
  DrawFocusRect();
}
